# SPDX-License-Identifier: Apache-2.0
# The package tests' common first step: builds every Debian package of the
# build tree BINARY_DIR with cpack into WORK_DIR/debs and unpacks them all
# into WORK_DIR/root, as dpkg would place them.
cmake_minimum_required(VERSION 3.25)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR}/debs ${WORK_DIR}/root)
execute_process(COMMAND cpack -G DEB --config ${BINARY_DIR}/CPackConfig.cmake -B ${WORK_DIR}/debs
                WORKING_DIRECTORY ${WORK_DIR} RESULT_VARIABLE status OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cpack failed:\n${log}")
endif()
file(GLOB debs ${WORK_DIR}/debs/*.deb)
if(NOT debs)
  message(FATAL_ERROR "cpack made no package:\n${log}")
endif()
foreach(deb ${debs})
  execute_process(COMMAND dpkg-deb -x ${deb} ${WORK_DIR}/root COMMAND_ERROR_IS_FATAL ANY)
endforeach()
message(STATUS "made and unpacked: ${debs}")
