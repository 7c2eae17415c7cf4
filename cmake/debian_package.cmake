# SPDX-License-Identifier: Apache-2.0
# The Debian packages: `cpack -G DEB` in the build tree makes one package per
# install component, named <package>_<version>_<arch>.deb:
#
#   programs     tolvane          the programs, their data and documents
#   libraries    libtolvane1      libtolvane_model.so.1 and libtolvane.so.1
#                                 (shared_library.cmake)
#   development  libtolvane-dev   the headers tolvane/tolvane_model.h and
#                                 tolvane/session.h, the two .so links,
#                                 tolvane.pc, the CMake package Tolvane and
#                                 the example of docs/sdk.md
#   python       python3-tolvane  the Python module (python/CMakeLists.txt)
#
# A new package is one tolvane_debian_package() call below plus the
# COMPONENT of its install() rules; a new shared library is one
# tolvane_shared_library() call (shared_library.cmake) naming the components.
# Both libraries share one package: lintian accepts a library package whose
# name matches any one of the SONAMEs it holds, here libtolvane.so.1, and
# libtolvane.so.1 needs the libtolvane_model.so.1 of its own build. Every package carries the copyright file
# and the changelog (NEWS.md); the library package also carries a shlibs file
# naming both libraries and an ldconfig trigger, both written by CPack.
# Dependencies on system libraries come from dpkg-shlibdeps (package
# dpkg-dev), those between our own packages from DEPENDS, pinned to the same
# version.
#
# lintian gives no error and no warning on any of them (test
# debian_package_lintian). Tags it still reports at the info level, and why
# they stay:
#   - binary-has-unneeded-section: the compiler's version note (.comment),
#     which CPack's plain strip leaves; it holds no path and costs bytes only.
#   - no-symbols-control-file: the shlibs file serves dpkg-shlibdeps; the
#     libraries' exported names are pinned by the tests model_exports_nm and
#     c_api_exports_only_the_interface.
#   - package-contains-documentation-outside-usr-share-doc: the example
#     scenarios in /usr/share/tolvane/scenarios are *.txt, but they are data
#     that tolvane-batch --script runs, named there by the manual page.
#   - spelling-error-in-binary ("Addd" in usr/bin/tolvane): bytes of the
#     machine code that happen to read as a word, not a text of the program
#     (no source file holds it); which such runs there are moves with the code.
# debian_package_lintian fails on an info tag this list does not name.
set(CPACK_PACKAGE_NAME tolvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tolvane")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEB_COMPONENT_INSTALL ON)
set(CPACK_DEBIAN_ENABLE_COMPONENT_DEPENDS ON)
set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
# A role, not a person.
set(TOLVANE_MAINTAINER "Tolvane maintainers <maintainers@tolvane.org>")
set(CPACK_DEBIAN_PACKAGE_MAINTAINER ${TOLVANE_MAINTAINER})
set(CPACK_DEBIAN_PACKAGE_HOMEPAGE "https://tolvane.org/")
set(CPACK_DEBIAN_PACKAGE_SOURCE tolvane)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# dpkg-shlibdeps finds our own libraries in the build tree (the programs'
# RUNPATH points into the library package, which another staging folder holds).
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS_PRIVATE_DIRS ${CMAKE_LIBRARY_OUTPUT_DIRECTORY})
# shlibs "libtolvane_model 1 libtolvane1 (>= VERSION)" and "libtolvane 1
# libtolvane1 (>= VERSION)" and the ldconfig trigger, in every package that
# holds a shared library.
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS ON)
set(CPACK_DEBIAN_PACKAGE_GENERATE_SHLIBS_POLICY ">=")

# The changelog every package carries: NEWS.md in Debian's format.
find_program(GZIP_PROGRAM gzip REQUIRED)
set(TOLVANE_DEBIAN_CHANGELOG ${CMAKE_BINARY_DIR}/debian/changelog.gz)
add_custom_command(OUTPUT ${TOLVANE_DEBIAN_CHANGELOG}
  COMMAND ${CMAKE_COMMAND} -DNEWS=${PROJECT_SOURCE_DIR}/NEWS.md -DOUTPUT=${TOLVANE_DEBIAN_CHANGELOG}
          -DSOURCE=${CPACK_DEBIAN_PACKAGE_SOURCE} -DVERSION=${PROJECT_VERSION}
          "-DMAINTAINER=${TOLVANE_MAINTAINER}" -DGZIP=${GZIP_PROGRAM}
          -P ${PROJECT_SOURCE_DIR}/cmake/debian/changelog.cmake
  DEPENDS ${PROJECT_SOURCE_DIR}/NEWS.md ${PROJECT_SOURCE_DIR}/cmake/debian/changelog.cmake
  COMMENT "Writing the Debian changelog from NEWS.md" VERBATIM)
add_custom_target(debian_changelog ALL DEPENDS ${TOLVANE_DEBIAN_CHANGELOG})

# tolvane_debian_package(COMPONENT PACKAGE NAME SECTION SECTION
#                        DESCRIPTION "synopsis\nlong text"
#                        [DEPENDS COMPONENT...] [EXTRA_DEPENDS "deb, deb"]
#                        [SUGGESTS "deb, deb"] [ARCHITECTURE all]):
# the install component COMPONENT becomes the package NAME, with the
# copyright file and the changelog in /usr/share/doc/NAME. ARCHITECTURE all
# is for a package without machine code.
set(TOLVANE_DEBIAN_COMPONENTS)
macro(tolvane_debian_package component)
  cmake_parse_arguments(package "" "PACKAGE;SECTION;DESCRIPTION;EXTRA_DEPENDS;SUGGESTS;ARCHITECTURE" "DEPENDS"
                        ${ARGN})
  string(TOUPPER ${component} package_variable)
  set(CPACK_DEBIAN_${package_variable}_PACKAGE_NAME ${package_PACKAGE})
  set(CPACK_DEBIAN_${package_variable}_PACKAGE_SECTION ${package_SECTION})
  set(CPACK_DEBIAN_${package_variable}_DESCRIPTION "${package_DESCRIPTION}")
  set(CPACK_COMPONENT_${package_variable}_DEPENDS ${package_DEPENDS})
  if(package_EXTRA_DEPENDS)
    set(CPACK_DEBIAN_${package_variable}_PACKAGE_DEPENDS "${package_EXTRA_DEPENDS}")
  endif()
  if(package_SUGGESTS)
    set(CPACK_DEBIAN_${package_variable}_PACKAGE_SUGGESTS "${package_SUGGESTS}")
  endif()
  if(package_ARCHITECTURE)
    set(CPACK_DEBIAN_${package_variable}_PACKAGE_ARCHITECTURE ${package_ARCHITECTURE})
  endif()
  install(FILES ${PROJECT_SOURCE_DIR}/cmake/debian/copyright ${TOLVANE_DEBIAN_CHANGELOG}
          DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/${package_PACKAGE} COMPONENT ${component})
  list(APPEND TOLVANE_DEBIAN_COMPONENTS ${component})
endmacro()

tolvane_debian_package(programs PACKAGE tolvane SECTION science
  # Not libraries, so dpkg-shlibdeps cannot see them: the window's face and
  # the report's Arial-width face, both looked up by name at run time.
  # Merged with the shlibdeps list.
  EXTRA_DEPENDS "fonts-dejavu-core, fonts-dejavu-extra, fonts-liberation2"
  DEPENDS libraries
  DESCRIPTION "teaching simulator of human respiration
A student takes a simulated person (a passport and 32 subject factors),
runs it a simulated minute at a time and watches 64 display variables as
numbers and coloured trends; the subject reports symptoms in plain
sentences and can die. The package holds the window program tolvane,
tolvane-batch for scripted runs and data export, teaching subjects,
example scenarios, manual pages, the guide and the validation report.")

tolvane_debian_package(libraries PACKAGE libtolvane1 SECTION libs
  DESCRIPTION "respiration model and session libraries of the Tolvane simulator
The libraries of Tolvane, a teaching simulator of human respiration.
libtolvane_model is the physiological model: one call advances a simulated
person by one second, and the whole state lives in exported variables with
C linkage, so any host can bind it. libtolvane runs whole lessons through a
C interface: sessions with their clock, history, RE-RUN, notes and events,
subject files, scenario scripts and CSV output.")

tolvane_debian_package(development PACKAGE libtolvane-dev SECTION libdevel
  DEPENDS libraries
  DESCRIPTION "development files of the Tolvane respiration libraries
The headers tolvane/session.h and tolvane/tolvane_model.h, the links
libtolvane.so and libtolvane_model.so, the pkg-config file tolvane.pc and
the CMake package Tolvane (target Tolvane::tolvane), with an example, for C
and C++ programs built against Tolvane, a teaching simulator of human
respiration.")

tolvane_debian_package(python PACKAGE python3-tolvane SECTION python ARCHITECTURE all
  # Pure Python: the session library it loads by its SONAME comes from
  # libtolvane1, pinned to this version as the other packages pin theirs.
  EXTRA_DEPENDS "libtolvane1 (= ${PROJECT_VERSION}), python3, python3-numpy"
  SUGGESTS "python3-pandas, python3-matplotlib"
  DESCRIPTION "Python module of the Tolvane respiration simulator
The module tolvane runs lessons of Tolvane, a teaching simulator of human
respiration, from Python scripts and notebooks: sessions with a subject,
its factors, RUN and RE-RUN, clinical notes and events, subject files and
scenario scripts, every display variable at every second as numpy arrays,
and parameter sweeps over processes. pandas and matplotlib are used when
installed. Its numbers are those of tolvane-batch, bit for bit.")
# Byte-code compiled on installing, removed before removing.
set(CPACK_DEBIAN_PYTHON_PACKAGE_CONTROL_EXTRA ${PROJECT_SOURCE_DIR}/cmake/debian/python3-tolvane/postinst
    ${PROJECT_SOURCE_DIR}/cmake/debian/python3-tolvane/prerm)
set(CPACK_DEBIAN_PACKAGE_CONTROL_STRICT_PERMISSION ON)

set(CPACK_COMPONENTS_ALL ${TOLVANE_DEBIAN_COMPONENTS})
set(CPACK_TOLVANE_SOURCE_DIR ${PROJECT_SOURCE_DIR})
set(CPACK_PROJECT_CONFIG_FILE ${PROJECT_SOURCE_DIR}/cmake/debian/cpack_project.cmake)
include(CPack)

# NEWS.md to a Debian changelog, on small examples.
add_test(NAME debian_changelog_from_news
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DWORK_DIR=${CMAKE_BINARY_DIR}/changelog_test
          -P ${PROJECT_SOURCE_DIR}/tests/package/check_changelog.cmake)

# The packages' tests: one packing (into a folder of its own, so the tests
# can run beside a cpack by hand) that the others read.
set(package_test_dir ${CMAKE_BINARY_DIR}/package_test)
add_test(NAME debian_packages_build
  COMMAND ${CMAKE_COMMAND} -DBINARY_DIR=${CMAKE_BINARY_DIR} -DWORK_DIR=${package_test_dir}
          -P ${PROJECT_SOURCE_DIR}/tests/package/build_debs.cmake)
set_tests_properties(debian_packages_build PROPERTIES FIXTURES_SETUP debian_packages)
# tolvane_package_test(NAME SCRIPT): tests/package/SCRIPT on the packing.
function(tolvane_package_test name script)
  add_test(NAME ${name}
    COMMAND ${CMAKE_COMMAND} -DBINARY_DIR=${CMAKE_BINARY_DIR} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
            -DVERSION=${PROJECT_VERSION} -DWORK_DIR=${package_test_dir}
            -DEXPLAINED=${CMAKE_CURRENT_LIST_FILE}
            -P ${PROJECT_SOURCE_DIR}/tests/package/${script})
  set_tests_properties(${name} PROPERTIES FIXTURES_REQUIRED debian_packages RESOURCE_LOCK debian_packages
                       SKIP_REGULAR_EXPRESSION "SKIPPED: ")
endfunction()
tolvane_package_test(debian_package_contents check_deb.cmake)
tolvane_package_test(debian_package_lintian check_lintian.cmake)
tolvane_package_test(debian_package_binaries check_installed_binaries.cmake)
tolvane_package_test(debian_package_desktop check_desktop.cmake)
tolvane_package_test(debian_package_man_examples check_man_examples.cmake)
tolvane_package_test(debian_package_python_module check_python_module.cmake)
tolvane_package_test(debian_package_reproducible check_reproducible.cmake)
# The second packing runs alone: a test writing into the build tree beside it
# would be packed into one of the two packings and not the other.
set_tests_properties(debian_package_reproducible PROPERTIES RUN_SERIAL TRUE)

# The packages installed into a fresh Debian root (debootstrap, network and
# root needed; skipped where they are missing). Minutes, not seconds, so the
# label keeps it out of the main run: scripts/test.sh runs it on its own.
add_test(NAME debian_package_debootstrap
  COMMAND ${PROJECT_SOURCE_DIR}/tests/package/debootstrap_install.sh ${package_test_dir}/debs
          ${CMAKE_BINARY_DIR}/debootstrap_test)
set_tests_properties(debian_package_debootstrap PROPERTIES LABELS debootstrap
                     FIXTURES_REQUIRED debian_packages RESOURCE_LOCK debian_packages
                     SKIP_RETURN_CODE 77 TIMEOUT 3600)
