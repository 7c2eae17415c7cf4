# SPDX-License-Identifier: Apache-2.0
# The SDK: libtolvane.so.1 for running programs (component libraries, beside
# libtolvane_model.so.1), and the header, the libtolvane.so link, the
# pkg-config file, the CMake package and the example for building them
# (component development).
include(CMakePackageConfigHelpers)

# The API's version is the SONAME's: libtolvane.so.1.
tolvane_shared_library(tolvane_c_api SOVERSION 1 RUNTIME libraries DEVELOPMENT development
                       EXPORT TolvaneTargets HEADERS ${PROJECT_SOURCE_DIR}/session/include/tolvane/session.h)

# The prefix is found from the file's own place, so a moved tree still works.
file(RELATIVE_PATH TOLVANE_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
configure_file(${CMAKE_CURRENT_LIST_DIR}/tolvane.pc.in ${CMAKE_BINARY_DIR}/sdk/tolvane.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/sdk/tolvane.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT development)

install(EXPORT TolvaneTargets NAMESPACE Tolvane::
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Tolvane COMPONENT development)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/TolvaneConfig.cmake.in
  ${CMAKE_BINARY_DIR}/sdk/TolvaneConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Tolvane)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/sdk/TolvaneConfigVersion.cmake
  VERSION 1.0.0 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/sdk/TolvaneConfig.cmake ${CMAKE_BINARY_DIR}/sdk/TolvaneConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Tolvane COMPONENT development)

# The example of docs/sdk.md, taken from its fenced c block, so that the
# document and the installed example are one text. It goes with the
# development files, in the examples of their package's documents (package
# libtolvane-dev, debian_package.cmake).
file(READ ${PROJECT_SOURCE_DIR}/docs/sdk.md sdk_text)
string(REGEX MATCH "```c\n(.*)\n```" sdk_block "${sdk_text}")
string(REGEX REPLACE "\n```.*" "" sdk_example "${CMAKE_MATCH_1}")
file(WRITE ${CMAKE_BINARY_DIR}/sdk/tolvane_example.c "${sdk_example}\n")
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/sdk.md)
install(FILES ${CMAKE_BINARY_DIR}/sdk/tolvane_example.c
  DESTINATION ${CMAKE_INSTALL_DATAROOTDIR}/doc/libtolvane-dev/examples COMPONENT development)
