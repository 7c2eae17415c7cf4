# SPDX-License-Identifier: Apache-2.0
# CPack's own DEB step, then one change: a package with a shared library runs
# ldconfig through a trigger (the control file "triggers"), as Debian wants,
# instead of the postinst and postrm that call ldconfig, which CPack of
# CMake 3.25 writes. cpack finds this file first through CMAKE_MODULE_PATH
# (cpack_project.cmake).
include(${CMAKE_ROOT}/Modules/Internal/CPack/CPackDeb.cmake)
if(GEN_CPACK_DEBIAN_PACKAGE_SHLIBS)
  set(GEN_CPACK_DEBIAN_GENERATE_POSTINST 0)
  set(GEN_CPACK_DEBIAN_GENERATE_POSTRM 0)
  list(APPEND GEN_CPACK_DEBIAN_PACKAGE_CONTROL_EXTRA ${CMAKE_CURRENT_LIST_DIR}/triggers)
endif()
