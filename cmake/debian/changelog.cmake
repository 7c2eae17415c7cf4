# SPDX-License-Identifier: Apache-2.0
# Writes NEWS.md as a Debian changelog, gzipped as Debian keeps it (no name
# or time stamp inside, so the package is reproducible).
# Usage: cmake -DNEWS=NEWS.md -DOUTPUT=changelog.gz -DSOURCE=tolvane
#              -DVERSION=2.01 -DMAINTAINER="Name <address>" -DGZIP=gzip -P changelog.cmake
# NEWS.md: "## VERSION (YYYY-MM-DD)" opens a release, "- " an item and an
# indented line continues it. The newest release must be VERSION, the
# version the packages carry.
file(STRINGS ${NEWS} lines)
set(text "")
set(entry_open FALSE)
set(newest "")
macro(close_entry)
  if(entry_open)
    string(APPEND text "\n -- ${MAINTAINER}  ${date}\n")
    set(entry_open FALSE)
  endif()
endmacro()
foreach(line IN LISTS lines)
  if(line MATCHES "^## ([^ ]+) \\(([0-9][0-9][0-9][0-9]-[0-9][0-9]-[0-9][0-9])\\)$")
    close_entry()
    set(version ${CMAKE_MATCH_1})
    if(newest STREQUAL "")
      set(newest ${version})
    else()
      string(APPEND text "\n")
    endif()
    execute_process(COMMAND date -u -R -d "${CMAKE_MATCH_2}" OUTPUT_VARIABLE date
                    OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    string(APPEND text "${SOURCE} (${version}) unstable; urgency=medium\n\n")
    set(entry_open TRUE)
  elseif(entry_open AND line MATCHES "^- (.*)$")
    string(APPEND text "  * ${CMAKE_MATCH_1}\n")
  elseif(entry_open AND line MATCHES "^  +([^ ].*)$")
    string(APPEND text "    ${CMAKE_MATCH_1}\n")
  elseif(entry_open AND NOT line STREQUAL "")
    message(FATAL_ERROR "${NEWS}: a release holds only \"- \" items, got: ${line}")
  endif()
endforeach()
close_entry()
if(NOT newest STREQUAL VERSION)
  message(FATAL_ERROR "${NEWS}: the newest release is \"${newest}\", the packages are ${VERSION}; "
                      "add a section \"## ${VERSION} (date)\"")
endif()
get_filename_component(plain ${OUTPUT} NAME_WLE)
get_filename_component(folder ${OUTPUT} DIRECTORY)
file(WRITE ${folder}/${plain} "${text}")
execute_process(COMMAND ${GZIP} -9nf ${folder}/${plain} COMMAND_ERROR_IS_FATAL ANY)
