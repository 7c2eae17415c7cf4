# The SDK: libtolvane.so.1 for running programs (component lib), and the
# header, the pkg-config file, the CMake package and the example for
# building them (component dev).
include(CMakePackageConfigHelpers)

install(TARGETS tolvane_c_api EXPORT TolvaneTargets
  LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT lib NAMELINK_COMPONENT dev)
install(FILES ${PROJECT_SOURCE_DIR}/session/include/tolvane/session.h
  DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tolvane COMPONENT dev)

# The prefix is found from the file's own place, so a moved tree still works.
file(RELATIVE_PATH TOLVANE_PC_TO_PREFIX /prefix/${CMAKE_INSTALL_LIBDIR}/pkgconfig /prefix)
configure_file(${CMAKE_CURRENT_LIST_DIR}/tolvane.pc.in ${CMAKE_BINARY_DIR}/sdk/tolvane.pc @ONLY)
install(FILES ${CMAKE_BINARY_DIR}/sdk/tolvane.pc
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/pkgconfig COMPONENT dev)

install(EXPORT TolvaneTargets NAMESPACE Tolvane::
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Tolvane COMPONENT dev)
configure_package_config_file(${CMAKE_CURRENT_LIST_DIR}/TolvaneConfig.cmake.in
  ${CMAKE_BINARY_DIR}/sdk/TolvaneConfig.cmake
  INSTALL_DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Tolvane)
write_basic_package_version_file(${CMAKE_BINARY_DIR}/sdk/TolvaneConfigVersion.cmake
  VERSION 1.0.0 COMPATIBILITY SameMajorVersion)
install(FILES ${CMAKE_BINARY_DIR}/sdk/TolvaneConfig.cmake ${CMAKE_BINARY_DIR}/sdk/TolvaneConfigVersion.cmake
  DESTINATION ${CMAKE_INSTALL_LIBDIR}/cmake/Tolvane COMPONENT dev)

# The example of docs/sdk.md, taken from its fenced c block, so that the
# document and the installed example are one text.
file(READ ${PROJECT_SOURCE_DIR}/docs/sdk.md sdk_text)
string(REGEX MATCH "```c\n(.*)\n```" sdk_block "${sdk_text}")
string(REGEX REPLACE "\n```.*" "" sdk_example "${CMAKE_MATCH_1}")
file(WRITE ${CMAKE_BINARY_DIR}/sdk/tolvane_example.c "${sdk_example}\n")
set_property(DIRECTORY ${PROJECT_SOURCE_DIR} APPEND PROPERTY CMAKE_CONFIGURE_DEPENDS ${PROJECT_SOURCE_DIR}/docs/sdk.md)
install(FILES ${CMAKE_BINARY_DIR}/sdk/tolvane_example.c
  DESTINATION ${CMAKE_INSTALL_DOCDIR}/examples COMPONENT dev)
