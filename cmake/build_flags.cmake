# SPDX-License-Identifier: Apache-2.0
# Compiler and linker flags every program and library of the project shares.
#
# Build paths: the source and build folders never reach an object file.
# __FILE__ and debug information name a source file relative to the build
# tree's top (where the tests run, so a test can still find a file of the
# checkout from its own __FILE__), and a generated file relative to the build
# tree itself. The later map wins where both match, so the build tree inside
# the checkout maps to ".".
file(RELATIVE_PATH tolvane_source_from_build ${CMAKE_BINARY_DIR} ${PROJECT_SOURCE_DIR})
string(REGEX REPLACE "/$" "" tolvane_source_from_build "${tolvane_source_from_build}")
if(tolvane_source_from_build STREQUAL "")
  set(tolvane_source_from_build .)
endif()
add_compile_options(-ffile-prefix-map=${PROJECT_SOURCE_DIR}=${tolvane_source_from_build}
                    -ffile-prefix-map=${CMAKE_BINARY_DIR}=.)

# Release builds take Debian's hardening flags from dpkg-buildflags (stack
# protector, _FORTIFY_SOURCE, format checks, RELRO and BIND_NOW), so every
# installed binary passes hardening-check. The optimisation level stays the
# build type's own (-O3): the model's results are bit-identical with and
# without these flags, which the model's bit-identity test and the validation
# and envelope documents check. -g is left out (the package strips it) and so
# is dpkg's own -ffile-prefix-map, which names the folder dpkg-buildflags ran
# in; the maps above take its place.
option(TOLVANE_HARDENING "Release builds take Debian's hardening flags from dpkg-buildflags" ON)
find_program(DPKG_BUILDFLAGS dpkg-buildflags)
if(TOLVANE_HARDENING AND DPKG_BUILDFLAGS AND CMAKE_BUILD_TYPE STREQUAL "Release" AND NOT TOLVANE_SANITIZE)
  # tolvane_dpkg_buildflags(KIND VARIABLE): dpkg-buildflags --get KIND as a list.
  function(tolvane_dpkg_buildflags kind variable)
    execute_process(COMMAND ${CMAKE_COMMAND} -E env DEB_BUILD_MAINT_OPTIONS=hardening=+all
                            ${DPKG_BUILDFLAGS} --get ${kind}
                    OUTPUT_VARIABLE flags OUTPUT_STRIP_TRAILING_WHITESPACE COMMAND_ERROR_IS_FATAL ANY)
    separate_arguments(flags UNIX_COMMAND "${flags}")
    list(FILTER flags EXCLUDE REGEX "^-O|^-g$|^-ffile-prefix-map=|^-fdebug-prefix-map=")
    set(${variable} ${flags} PARENT_SCOPE)
  endfunction()
  tolvane_dpkg_buildflags(CPPFLAGS tolvane_cppflags)
  tolvane_dpkg_buildflags(CXXFLAGS tolvane_cxxflags)
  tolvane_dpkg_buildflags(LDFLAGS tolvane_ldflags)
  add_compile_options(${tolvane_cppflags} ${tolvane_cxxflags})
  add_link_options(${tolvane_ldflags})
  message(STATUS "Hardening from dpkg-buildflags: ${tolvane_cppflags} ${tolvane_cxxflags} ${tolvane_ldflags}")
endif()
