# SPDX-License-Identifier: Apache-2.0
# Included by the package tests: the path of each package the build makes,
# deb_<name> (deb_tolvane, deb_libtolvane1, ...), and all of them as
# debs, from WORK_DIR/debs of build_debs.cmake; arch is dpkg's architecture.
execute_process(COMMAND dpkg --print-architecture OUTPUT_VARIABLE arch OUTPUT_STRIP_TRAILING_WHITESPACE)
file(GLOB debs ${WORK_DIR}/debs/*.deb)
foreach(deb ${debs})
  get_filename_component(file ${deb} NAME)
  string(REGEX REPLACE "_.*" "" name ${file})
  set(deb_${name} ${deb})
endforeach()
