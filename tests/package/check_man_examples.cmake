# SPDX-License-Identifier: Apache-2.0
# The EXAMPLES of the manual page tolvane-batch(1) work as written, each from
# an empty folder, with the packages unpacked in WORK_DIR/root: every example
# line that calls tolvane-batch runs the unpacked program, with /usr/share
# taken from the unpacked tree, and exits 0.
cmake_minimum_required(VERSION 3.25)
set(root ${WORK_DIR}/root)
execute_process(COMMAND gzip -dc ${root}/usr/share/man/man1/tolvane-batch.1.gz OUTPUT_VARIABLE page
                COMMAND_ERROR_IS_FATAL ANY)
string(REGEX MATCH "\n\\.SH EXAMPLES\n(.*)" examples "${page}")
string(REGEX REPLACE "\n\\.SH .*" "" examples "${CMAKE_MATCH_1}")
# roff back to the text a user types: \- is -, \e is \, and a line ending in
# \ goes on on the next.
string(REPLACE "\\-" "-" examples "${examples}")
string(REPLACE "\\e" "\\" examples "${examples}")
string(REGEX REPLACE "\\\\\n *" "" examples "${examples}")
string(REGEX MATCHALL "\ntolvane-batch [^\n]*" commands "${examples}")
list(LENGTH commands count)
if(count LESS 3)
  message(FATAL_ERROR "too few examples found in tolvane-batch(1):\n${examples}")
endif()
set(problems)
set(n 0)
foreach(command ${commands})
  string(STRIP "${command}" command)
  string(REPLACE "/usr/share/" "${root}/usr/share/" runnable "${command}")
  separate_arguments(arguments UNIX_COMMAND "${runnable}")
  list(POP_FRONT arguments)
  math(EXPR n "${n} + 1")
  set(folder ${WORK_DIR}/example_${n})
  file(REMOVE_RECURSE ${folder})
  file(MAKE_DIRECTORY ${folder})
  execute_process(COMMAND ${root}/usr/bin/tolvane-batch ${arguments} WORKING_DIRECTORY ${folder}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  if(NOT status EQUAL 0)
    string(APPEND problems "  ${command}\n    exit ${status}: ${err}\n")
  endif()
  file(REMOVE_RECURSE ${folder})
endforeach()
if(problems)
  message(FATAL_ERROR "examples of tolvane-batch(1) that fail:\n${problems}")
endif()
message(STATUS "${count} examples of tolvane-batch(1) run as written")
