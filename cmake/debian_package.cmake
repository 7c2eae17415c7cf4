# The Debian package: `cpack -G DEB` in the build tree makes
# tolvane_<version>_amd64.deb of everything `cmake --install` installs,
# under /usr. Its dependencies are read by dpkg-shlibdeps from the shared
# libraries the programs link (package dpkg-dev), not written by hand.
set(CPACK_PACKAGE_NAME tolvane)
set(CPACK_PACKAGE_VERSION ${PROJECT_VERSION})
set(CPACK_PACKAGE_VENDOR "Tolvane")
set(CPACK_PACKAGE_DESCRIPTION_SUMMARY "teaching simulator of human respiration")
set(CPACK_PACKAGING_INSTALL_PREFIX /usr)
set(CPACK_STRIP_FILES ON)

set(CPACK_DEBIAN_FILE_NAME DEB-DEFAULT)
set(CPACK_DEBIAN_PACKAGE_MAINTAINER "Tolvane developers <tolvane@localhost>")
set(CPACK_DEBIAN_PACKAGE_SECTION science)
set(CPACK_DEBIAN_PACKAGE_SHLIBDEPS ON)
# Not libraries, so dpkg-shlibdeps cannot see them: the window's face and the
# report's Arial-width face, both looked up by name at run time. Merged with
# the shlibdeps list.
set(CPACK_DEBIAN_PACKAGE_DEPENDS "fonts-dejavu-core, fonts-dejavu-extra, fonts-liberation2")
set(CPACK_DEBIAN_PACKAGE_DESCRIPTION
  "A student takes a simulated person (a passport and 32 subject factors),\n\
runs it a simulated minute at a time and watches 64 display variables as\n\
numbers and coloured trends; the subject reports symptoms in plain\n\
sentences and can die. The package holds the window program tolvane,\n\
tolvane-batch for scripted runs and data export, the model library,\n\
teaching subjects, example scenarios, manual pages, the guide and the\n\
validation report.")

include(CPack)

# The package's file list and dependencies (builds the package into a
# folder of its own, so it can run beside a cpack by hand).
add_test(NAME debian_package_contents
  COMMAND ${CMAKE_COMMAND} -DBINARY_DIR=${CMAKE_BINARY_DIR} -DSOURCE_DIR=${PROJECT_SOURCE_DIR}
          -DVERSION=${PROJECT_VERSION} -DWORK_DIR=${CMAKE_BINARY_DIR}/package_test
          -P ${PROJECT_SOURCE_DIR}/tests/package/check_deb.cmake)
