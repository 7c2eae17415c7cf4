# SPDX-License-Identifier: Apache-2.0
# Fails when a C++ source of the project differs from what .clang-format
# makes of it, and names the files. To mend: clang-format -i FILE...
# Usage: cmake -DSOURCE_DIR=<top of the sources> -DCLANG_FORMAT=<program>
#              -P check_format.cmake
cmake_minimum_required(VERSION 3.20)

set(folders model host frontend tests bench tools)
set(patterns "")
foreach(folder IN LISTS folders)
  list(APPEND patterns "${SOURCE_DIR}/${folder}/*.cpp" "${SOURCE_DIR}/${folder}/*.h")
endforeach()
file(GLOB_RECURSE sources RELATIVE "${SOURCE_DIR}" ${patterns})
list(SORT sources)

execute_process(COMMAND "${CLANG_FORMAT}" --dry-run --Werror ${sources}
                WORKING_DIRECTORY "${SOURCE_DIR}"
                RESULT_VARIABLE status ERROR_VARIABLE report OUTPUT_QUIET)
if(NOT status EQUAL 0)
  string(REGEX MATCHALL "[^\n:]+:[0-9]+:[0-9]+: error" places "${report}")
  set(files "")
  foreach(place IN LISTS places)
    string(REGEX REPLACE ":[0-9]+:[0-9]+: error$" "" file "${place}")
    list(APPEND files "${file}")
  endforeach()
  list(REMOVE_DUPLICATES files)
  list(JOIN files "\n  " listed)
  message(FATAL_ERROR "Not formatted as .clang-format says:\n  ${listed}\n"
                      "Mend with: clang-format -i <file>...")
endif()
list(LENGTH sources count)
message(STATUS "${count} sources formatted as .clang-format says")
