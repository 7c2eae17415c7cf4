# SPDX-License-Identifier: Apache-2.0
# Every program and library the packages install (unpacked in WORK_DIR/root):
# no string holds the source folder SOURCE_DIR or the build folder BINARY_DIR;
# hardening-check (devscripts) passes, where installed; a library carries its
# versioned SONAME and no RUNPATH or RPATH.
cmake_minimum_required(VERSION 3.25)
execute_process(COMMAND dpkg-architecture -qDEB_HOST_MULTIARCH OUTPUT_VARIABLE multiarch
                OUTPUT_STRIP_TRAILING_WHITESPACE)
file(GLOB programs ${WORK_DIR}/root/usr/bin/*)
file(GLOB libraries LIST_DIRECTORIES false ${WORK_DIR}/root/usr/lib/${multiarch}/*.so.*.*)
if(NOT programs OR NOT libraries)
  message(FATAL_ERROR "no programs (${programs}) or libraries (${libraries}) in ${WORK_DIR}/root")
endif()
find_program(HARDENING_CHECK hardening-check)
set(problems)
foreach(binary ${programs} ${libraries})
  file(STRINGS ${binary} texts)
  foreach(folder ${SOURCE_DIR} ${BINARY_DIR})
    string(FIND "${texts}" "${folder}" at)
    if(at GREATER_EQUAL 0)
      string(APPEND problems "  ${binary} holds the build path ${folder}\n")
    endif()
  endforeach()
  if(HARDENING_CHECK)
    # PIE and the four protections Debian's build flags give (stack
    # protector, _FORTIFY_SOURCE, RELRO, BIND_NOW); dpkg-buildflags of
    # Debian 12 adds no control flow protection, so that is not asked.
    execute_process(COMMAND ${HARDENING_CHECK} --nocfprotection ${binary}
                    OUTPUT_VARIABLE verdict RESULT_VARIABLE status)
    if(NOT status EQUAL 0)
      string(APPEND problems "  hardening-check fails:\n${verdict}")
    endif()
  endif()
endforeach()
foreach(library ${libraries})
  execute_process(COMMAND readelf -d ${library} OUTPUT_VARIABLE dynamic COMMAND_ERROR_IS_FATAL ANY)
  if(dynamic MATCHES "RUNPATH|RPATH")
    string(APPEND problems "  ${library} has a RUNPATH or RPATH\n")
  endif()
  get_filename_component(name ${library} NAME)
  string(REGEX REPLACE "^(lib[^.]+\\.so\\.[0-9]+)\\..*" "\\1" soname ${name})
  if(NOT dynamic MATCHES "Library soname: \\[${soname}\\]")
    string(APPEND problems "  ${library}: SONAME is not ${soname}\n")
  endif()
endforeach()
if(problems)
  message(FATAL_ERROR "${problems}")
endif()
if(NOT HARDENING_CHECK)
  message(STATUS "hardening-check is not installed (devscripts): only build paths and SONAMEs were checked")
endif()
message(STATUS "no build path, hardened, SONAMEs as named: ${programs} ${libraries}")
