# SPDX-License-Identifier: Apache-2.0
# PROGRAM (the window program) where no display can open: one clear line on
# standard error, nothing on standard output, and exit status 1, not an abort.
# "--" ends the options, so "-- --help" opens (tries to open) the window.
foreach(arguments "" "--;--help")
  execute_process(COMMAND ${CMAKE_COMMAND} -E env --unset=DISPLAY --unset=WAYLAND_DISPLAY QT_QPA_PLATFORM=xcb
                          ${PROGRAM} ${arguments}
                  RESULT_VARIABLE status OUTPUT_VARIABLE out ERROR_VARIABLE err)
  string(REGEX MATCHALL "\n" newlines "${err}")
  list(LENGTH newlines lines)
  if(NOT status EQUAL 1 OR NOT out STREQUAL "" OR NOT lines EQUAL 1 OR NOT err MATCHES "^tolvane: .*display")
    message(FATAL_ERROR "tolvane ${arguments} without a display: status ${status}, stdout \"${out}\", "
                        "stderr (${lines} lines):\n${err}")
  endif()
endforeach()
message(STATUS "without a display: ${err}")
