# SPDX-License-Identifier: Apache-2.0
cmake_minimum_required(VERSION 3.25)
# Checks the file lists and control fields of the packages that
# build_debs.cmake made in WORK_DIR against the source tree SOURCE_DIR:
# tolvane holds the programs, the desktop's files, the manual pages, every
# document of docs/, every teaching subject and example scenario;
# libtolvane1 both versioned libraries with a shlibs file naming both and an
# ldconfig trigger; libtolvane-dev both headers, both links, the pkg-config
# file, the CMake package and the example; python3-tolvane the module's
# sources for the system Python, for every architecture; each its copyright
# and changelog; nothing else, and nothing outside /usr. Dependencies on system
# libraries come from dpkg-shlibdeps, those between the packages are pinned.
include(${CMAKE_CURRENT_LIST_DIR}/package_names.cmake)
set(problems)

# package_files(DEB VARIABLE): the paths of the files and links in DEB.
function(package_files deb variable)
  execute_process(COMMAND dpkg-deb -c ${deb} OUTPUT_VARIABLE listing COMMAND_ERROR_IS_FATAL ANY)
  # "-rw-r--r-- root/root 123 2026-01-01 12:00 ./usr/bin/tolvane" -> /usr/bin/tolvane;
  # a link's " -> target" is left off.
  string(REGEX MATCHALL "\\./[^\n]*[^/\n]\n" entries "${listing}")
  set(files)
  foreach(entry ${entries})
    string(REGEX REPLACE "^\\.(.*)\n$" "\\1" path "${entry}")
    string(REGEX REPLACE " -> .*" "" path "${path}")
    list(APPEND files ${path})
  endforeach()
  set(${variable} ${files} PARENT_SCOPE)
endfunction()

# The files each package must hold, and only those.
execute_process(COMMAND dpkg-architecture -qDEB_HOST_MULTIARCH OUTPUT_VARIABLE multiarch
                OUTPUT_STRIP_TRAILING_WHITESPACE)
set(libdir /usr/lib/${multiarch})
set(expected_tolvane
  /usr/bin/tolvane
  /usr/bin/tolvane-batch
  /usr/share/applications/org.tolvane.Tolvane.desktop
  /usr/share/metainfo/org.tolvane.Tolvane.metainfo.xml
  /usr/share/mime/packages/tolvane.xml
  /usr/share/icons/hicolor/scalable/apps/tolvane.svg
  /usr/share/man/man1/tolvane.1.gz
  /usr/share/man/man1/tolvane-batch.1.gz)
foreach(size 48 64 128 256)
  list(APPEND expected_tolvane /usr/share/icons/hicolor/${size}x${size}/apps/tolvane.png)
endforeach()
file(GLOB_RECURSE docs RELATIVE ${SOURCE_DIR}/docs ${SOURCE_DIR}/docs/*)
foreach(doc ${docs})
  list(APPEND expected_tolvane /usr/share/doc/tolvane/${doc})
endforeach()
foreach(folder subjects scenarios)
  file(GLOB data RELATIVE ${SOURCE_DIR}/${folder} ${SOURCE_DIR}/${folder}/*)
  foreach(name ${data})
    list(APPEND expected_tolvane /usr/share/tolvane/${folder}/${name})
  endforeach()
endforeach()
# The page, when it was built (scripts/web.sh).
if(EXISTS ${SOURCE_DIR}/web/dist/tolvane.html)
  list(APPEND expected_tolvane /usr/share/tolvane/web/tolvane.html)
endif()
set(expected_libtolvane1)
set(expected_libtolvane-dev
  /usr/include/tolvane/tolvane_model.h
  /usr/include/tolvane/session.h
  ${libdir}/pkgconfig/tolvane.pc
  ${libdir}/cmake/Tolvane/TolvaneConfig.cmake
  ${libdir}/cmake/Tolvane/TolvaneConfigVersion.cmake
  ${libdir}/cmake/Tolvane/TolvaneTargets.cmake
  /usr/share/doc/libtolvane-dev/examples/tolvane_example.c)
foreach(library tolvane_model tolvane)
  list(APPEND expected_libtolvane1 ${libdir}/lib${library}.so.1 ${libdir}/lib${library}.so.1.0.0)
  list(APPEND expected_libtolvane-dev ${libdir}/lib${library}.so)
endforeach()

file(GLOB module_sources RELATIVE ${SOURCE_DIR}/python/tolvane ${SOURCE_DIR}/python/tolvane/*.py)
set(expected_python3-tolvane)
foreach(name ${module_sources})
  list(APPEND expected_python3-tolvane /usr/lib/python3/dist-packages/tolvane/${name})
endforeach()

foreach(package tolvane libtolvane1 libtolvane-dev python3-tolvane)
  if(NOT deb_${package})
    string(APPEND problems "  no package ${package} among: ${debs}\n")
    continue()
  endif()
  list(APPEND expected_${package} /usr/share/doc/${package}/copyright /usr/share/doc/${package}/changelog.gz)
  package_files(${deb_${package}} files)
  # The CMake package's per-configuration targets file is named after the
  # build type (TolvaneTargets-release.cmake): one of them.
  if(package STREQUAL "libtolvane-dev")
    set(configurations ${files})
    list(FILTER configurations INCLUDE REGEX "/TolvaneTargets-[a-z]+\\.cmake$")
    list(LENGTH configurations count)
    if(NOT count EQUAL 1)
      string(APPEND problems "  libtolvane-dev: not one per-configuration targets file: ${configurations}\n")
    endif()
    list(APPEND expected_${package} ${configurations})
  endif()
  foreach(path ${expected_${package}})
    if(NOT path IN_LIST files)
      string(APPEND problems "  ${package} lacks ${path}\n")
    endif()
  endforeach()
  foreach(path ${files})
    if(NOT path IN_LIST expected_${package})
      string(APPEND problems "  ${package} holds what is not expected: ${path}\n")
    endif()
  endforeach()
  execute_process(COMMAND dpkg-deb -f ${deb_${package}} Maintainer Version Source OUTPUT_VARIABLE fields)
  if(NOT fields MATCHES "Maintainer: [^\n]*<[^@>]+@[a-z0-9.-]+\\.[a-z]+>\nVersion: ${VERSION}\nSource: tolvane\n"
     OR fields MATCHES "localhost")
    string(APPEND problems "  ${package}: control fields ${fields}")
  endif()
endforeach()
list(LENGTH debs count)
if(NOT count EQUAL 4)
  string(APPEND problems "  4 packages expected, made: ${debs}\n")
endif()

# Dependencies: the Qt libraries from dpkg-shlibdeps, the fonts by hand, our
# own packages at exactly this version.
execute_process(COMMAND dpkg-deb -f ${deb_tolvane} Depends OUTPUT_VARIABLE depends)
foreach(library libc6 libqt6core6 libqt6widgets6 libjpeg62-turbo)
  if(NOT depends MATCHES "(^|, )${library} \\(>= ")
    string(APPEND problems "  tolvane's Depends lacks a versioned ${library}: ${depends}\n")
  endif()
endforeach()
foreach(required "libtolvane1 (= ${VERSION})" fonts-dejavu-core fonts-liberation2)
  string(FIND "${depends}" "${required}" at)
  if(at LESS 0)
    string(APPEND problems "  tolvane's Depends lacks ${required}: ${depends}\n")
  endif()
endforeach()
execute_process(COMMAND dpkg-deb -f ${deb_libtolvane-dev} Depends OUTPUT_VARIABLE depends)
if(NOT depends MATCHES "^libtolvane1 \\(= ${VERSION}\\)\n$")
  string(APPEND problems "  libtolvane-dev's Depends: ${depends}\n")
endif()

# The libraries need only system libraries: libtolvane_model.so.1, which
# libtolvane.so.1 needs, is in their own package.
execute_process(COMMAND dpkg-deb -f ${deb_libtolvane1} Depends OUTPUT_VARIABLE depends)
if(NOT depends MATCHES "(^|, )libc6 \\(>= " OR depends MATCHES "tolvane")
  string(APPEND problems "  libtolvane1's Depends: ${depends}\n")
endif()

# The Python module: no machine code, so one package for every
# architecture; the library it loads at this version; numpy, and the
# optional pandas and matplotlib offered.
execute_process(COMMAND dpkg-deb -f ${deb_python3-tolvane} Architecture Depends Suggests Section
                OUTPUT_VARIABLE fields)
string(CONCAT wanted "Architecture: all\nDepends: libtolvane1 (= ${VERSION}), python3, python3-numpy\n"
       "Suggests: python3-pandas, python3-matplotlib\nSection: python\n")
if(NOT fields STREQUAL wanted)
  string(APPEND problems "  python3-tolvane's control fields: ${fields}")
endif()

# The library package tells dpkg-shlibdeps which package provides each
# SONAME, and ldconfig runs through a trigger, not a maintainer script.
execute_process(COMMAND dpkg-deb -I ${deb_libtolvane1} shlibs OUTPUT_VARIABLE shlibs)
string(REGEX MATCHALL "[^\n]+" shlibs_lines "${shlibs}")
list(SORT shlibs_lines)
if(NOT shlibs_lines STREQUAL "libtolvane 1 libtolvane1 (>= ${VERSION});libtolvane_model 1 libtolvane1 (>= ${VERSION})")
  string(APPEND problems "  libtolvane1's shlibs: ${shlibs}\n")
endif()
execute_process(COMMAND dpkg-deb -I ${deb_libtolvane1} triggers OUTPUT_VARIABLE triggers)
if(NOT triggers MATCHES "activate-noawait ldconfig")
  string(APPEND problems "  libtolvane1 has no ldconfig trigger: ${triggers}\n")
endif()
foreach(script postinst postrm)
  execute_process(COMMAND dpkg-deb -I ${deb_libtolvane1} ${script} OUTPUT_VARIABLE text ERROR_QUIET)
  if(text MATCHES "ldconfig")
    string(APPEND problems "  libtolvane1's ${script} calls ldconfig\n")
  endif()
endforeach()

if(problems)
  message(FATAL_ERROR "${WORK_DIR}:\n${problems}")
endif()
message(STATUS "${debs}: files and dependencies as expected")
