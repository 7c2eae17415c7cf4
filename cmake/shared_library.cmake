# SPDX-License-Identifier: Apache-2.0
# tolvane_shared_library(TARGET SOVERSION N RUNTIME COMPONENT DEVELOPMENT COMPONENT
#                        [EXPORT SET] [HEADERS FILE...]): installs a shared
# library of the project as Debian wants one: in the multiarch folder, its
# SONAME carrying the ABI version (libNAME.so.N, moved only when the ABI
# breaks), no RUNPATH, the versioned file in the RUNTIME component and the
# libNAME.so link for linking, with the headers under include/tolvane/, in the
# DEVELOPMENT component. EXPORT adds the installed target to the export set
# SET (a CMake package's targets file). debian_package.cmake makes each
# component a package.
function(tolvane_shared_library target)
  cmake_parse_arguments(PARSE_ARGV 1 arg "" "SOVERSION;RUNTIME;DEVELOPMENT;EXPORT" "HEADERS")
  set_target_properties(${target} PROPERTIES
    SOVERSION ${arg_SOVERSION}
    VERSION ${arg_SOVERSION}.0.0
    INSTALL_RPATH "")
  set(export)
  if(arg_EXPORT)
    set(export EXPORT ${arg_EXPORT})
  endif()
  install(TARGETS ${target} ${export}
          LIBRARY DESTINATION ${CMAKE_INSTALL_LIBDIR} COMPONENT ${arg_RUNTIME}
                  NAMELINK_COMPONENT ${arg_DEVELOPMENT})
  if(arg_HEADERS)
    install(FILES ${arg_HEADERS} DESTINATION ${CMAKE_INSTALL_INCLUDEDIR}/tolvane COMPONENT ${arg_DEVELOPMENT})
  endif()
endfunction()
