# SPDX-License-Identifier: Apache-2.0
# Packs the build tree BINARY_DIR a second time and compares every package,
# byte for byte, with the ones build_debs.cmake made in WORK_DIR: with the same
# SOURCE_DATE_EPOCH (by default the last commit's time) the packages are the
# same, whatever the clock and whoever packs them.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${WORK_DIR}/again)
file(MAKE_DIRECTORY ${WORK_DIR}/again)
execute_process(COMMAND cpack -G DEB --config ${BINARY_DIR}/CPackConfig.cmake -B ${WORK_DIR}/again
                WORKING_DIRECTORY ${WORK_DIR}/again RESULT_VARIABLE status OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cpack failed:\n${log}")
endif()
file(GLOB first RELATIVE ${WORK_DIR}/debs ${WORK_DIR}/debs/*.deb)
file(GLOB second RELATIVE ${WORK_DIR}/again ${WORK_DIR}/again/*.deb)
if(NOT first STREQUAL second)
  message(FATAL_ERROR "the packages differ in name: ${first} / ${second}")
endif()
set(problems)
foreach(deb ${first})
  file(SHA256 ${WORK_DIR}/debs/${deb} one)
  file(SHA256 ${WORK_DIR}/again/${deb} two)
  if(NOT one STREQUAL two)
    string(APPEND problems "  ${deb} differs between two packings\n")
  endif()
endforeach()
file(REMOVE_RECURSE ${WORK_DIR}/again)
if(problems)
  message(FATAL_ERROR "${problems}")
endif()
message(STATUS "byte-identical: ${first}")
