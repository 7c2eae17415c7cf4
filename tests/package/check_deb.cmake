cmake_minimum_required(VERSION 3.25)
# Builds the Debian package with cpack from the build tree BINARY_DIR and
# checks its file list and dependencies against the source tree SOURCE_DIR:
# the programs, the library, desktop entry and icon, manual pages, every
# document of docs/, every teaching subject and example scenario; nothing
# outside /usr and no other program; dependencies from dpkg-shlibdeps.
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})
execute_process(COMMAND cpack -G DEB --config ${BINARY_DIR}/CPackConfig.cmake -B ${WORK_DIR}
                WORKING_DIRECTORY ${WORK_DIR} RESULT_VARIABLE status OUTPUT_VARIABLE log ERROR_VARIABLE log)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "cpack failed:\n${log}")
endif()
execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE arch OUTPUT_STRIP_TRAILING_WHITESPACE)
set(deb ${WORK_DIR}/tolvane_${VERSION}_${arch}.deb)
if(NOT EXISTS ${deb})
  file(GLOB made ${WORK_DIR}/*.deb)
  message(FATAL_ERROR "expected ${deb}, cpack made: ${made}")
endif()

execute_process(COMMAND dpkg-deb -c ${deb} OUTPUT_VARIABLE listing RESULT_VARIABLE status)
if(NOT status EQUAL 0)
  message(FATAL_ERROR "dpkg-deb -c ${deb} failed")
endif()
# "-rw-r--r-- root/root 123 2026-01-01 12:00 ./usr/bin/tolvane" -> /usr/bin/tolvane
string(REGEX MATCHALL "\\./[^\n]*[^/\n]\n" entries "${listing}")
set(files)
foreach(entry ${entries})
  string(REGEX REPLACE "^\\.(.*)\n$" "\\1" path "${entry}")
  list(APPEND files ${path})
endforeach()

set(expected
  /usr/bin/tolvane
  /usr/bin/tolvane-batch
  /usr/lib/libtolvane_model.so
  /usr/share/applications/tolvane.desktop
  /usr/share/icons/hicolor/128x128/apps/tolvane.png
  /usr/share/man/man1/tolvane.1.gz
  /usr/share/man/man1/tolvane-batch.1.gz
  /usr/share/doc/tolvane/validation.md
  # The SDK: the session library, its header, pkg-config file, CMake
  # package and example.
  "/usr/lib/libtolvane.so -> libtolvane.so.1"
  "/usr/lib/libtolvane.so.1 -> libtolvane.so.1.0.0"
  /usr/lib/libtolvane.so.1.0.0
  /usr/include/tolvane/session.h
  /usr/lib/pkgconfig/tolvane.pc
  /usr/lib/cmake/Tolvane/TolvaneConfig.cmake
  /usr/lib/cmake/Tolvane/TolvaneConfigVersion.cmake
  /usr/lib/cmake/Tolvane/TolvaneTargets.cmake
  /usr/lib/cmake/Tolvane/TolvaneTargets-release.cmake
  /usr/share/doc/tolvane/examples/tolvane_example.c)
file(GLOB_RECURSE docs RELATIVE ${SOURCE_DIR}/docs ${SOURCE_DIR}/docs/*)
foreach(doc ${docs})
  list(APPEND expected /usr/share/doc/tolvane/${doc})
endforeach()
foreach(folder subjects scenarios)
  file(GLOB data RELATIVE ${SOURCE_DIR}/${folder} ${SOURCE_DIR}/${folder}/*)
  foreach(name ${data})
    list(APPEND expected /usr/share/tolvane/${folder}/${name})
  endforeach()
endforeach()
list(REMOVE_DUPLICATES expected)

set(problems)
foreach(path ${expected})
  if(NOT path IN_LIST files)
    string(APPEND problems "  missing: ${path}\n")
  endif()
endforeach()
foreach(path ${files})
  if(NOT path IN_LIST expected)
    string(APPEND problems "  not expected: ${path}\n")
  endif()
endforeach()

# Dependencies: the Qt libraries come from dpkg-shlibdeps; the package's own
# model library is no dependency.
execute_process(COMMAND dpkg-deb -f ${deb} Depends OUTPUT_VARIABLE depends)
foreach(library libc6 libqt6core6 libqt6widgets6 libjpeg62-turbo)
  if(NOT depends MATCHES "(^|, )${library} \\(>= ")
    string(APPEND problems "  Depends lacks a versioned ${library}: ${depends}\n")
  endif()
endforeach()
if(depends MATCHES "tolvane")
  string(APPEND problems "  Depends names the package's own library: ${depends}\n")
endif()

if(problems)
  message(FATAL_ERROR "${deb}:\n${problems}")
endif()
list(LENGTH files count)
message(STATUS "${deb}: ${count} files as expected; Depends: ${depends}")
file(REMOVE_RECURSE ${WORK_DIR})
