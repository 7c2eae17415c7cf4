# SPDX-License-Identifier: Apache-2.0
# The option list of PROGRAM --help is the OPTIONS section of its manual page
# PAGE, option for option and in order (both come from one source; this
# checks the built program and the built page).
execute_process(COMMAND ${PROGRAM} --help OUTPUT_VARIABLE help RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "${PROGRAM} --help exited with ${status}")
endif()

# --help: the lines after "Options:" that start "  -", up to a blank line.
string(REGEX MATCH "\nOptions:\n(.*)" after "${help}")
set(after "${CMAKE_MATCH_1}")
string(FIND "${after}" "\n\n" end)
string(SUBSTRING "${after}" 0 ${end} block)
string(REPLACE "\n" ";" lines "${block}")
set(help_options)
foreach(line ${lines})
  if(line MATCHES "^  (-[^ ]+(, -[^ ]+)?( [^ ]+)?)( |$)")
    list(APPEND help_options "${CMAKE_MATCH_1}")
  endif()
endforeach()

# The page: the line after each .TP in the OPTIONS section, fonts and
# escapes taken off.
file(READ ${PAGE} page)
string(REGEX MATCH "\n\\.SH OPTIONS\n(.*)" after "${page}")
string(REGEX REPLACE "\n\\.SH .*" "" section "${CMAKE_MATCH_1}")
string(REGEX MATCHALL "\\.TP\n[^\n]+" entries "${section}")
set(page_options)
foreach(entry ${entries})
  string(REGEX REPLACE "^\\.TP\n" "" entry "${entry}")
  string(REGEX REPLACE "\\\\f[BIRP]" "" entry "${entry}")
  string(REPLACE "\\-" "-" entry "${entry}")
  list(APPEND page_options "${entry}")
endforeach()

list(LENGTH help_options count)
if(count EQUAL 0)
  message(FATAL_ERROR "no options found in ${PROGRAM} --help:\n${help}")
endif()
if(NOT help_options STREQUAL page_options)
  message(FATAL_ERROR "--help and ${PAGE} differ:\n  help: ${help_options}\n  page: ${page_options}")
endif()
message(STATUS "${count} options agree: ${help_options}")
