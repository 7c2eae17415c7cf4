# SPDX-License-Identifier: Apache-2.0
# Manual pages tolvane(1) and tolvane-batch(1), written at build time by
# tolvane-manpage from program_manuals.cpp, the source --help also prints, so
# the pages and --help cannot drift apart. Installed gzipped, as Debian
# keeps manual pages.
set_source_files_properties(${CMAKE_CURRENT_SOURCE_DIR}/logic/manual_text.cpp
  PROPERTIES COMPILE_DEFINITIONS TOLVANE_VERSION="${PROJECT_VERSION}")
add_executable(tolvane-manpage ${CMAKE_CURRENT_SOURCE_DIR}/programs/manpage/main.cpp)
target_link_libraries(tolvane-manpage PRIVATE tolvane_logic)

find_program(GZIP_PROGRAM gzip REQUIRED)
set(TOLVANE_MAN_DIR ${CMAKE_BINARY_DIR}/man)
set(TOLVANE_MAN_DIR ${TOLVANE_MAN_DIR} PARENT_SCOPE)  # for the tests
set(man_pages)
foreach(program tolvane tolvane-batch)
  set(page ${TOLVANE_MAN_DIR}/${program}.1)
  add_custom_command(OUTPUT ${page} ${page}.gz
    COMMAND ${CMAKE_COMMAND} -E make_directory ${TOLVANE_MAN_DIR}
    COMMAND tolvane-manpage ${program} ${page}
    # -n: no name or time stamp inside, so the package is reproducible.
    COMMAND ${GZIP_PROGRAM} -9n -c ${page} > ${page}.gz
    DEPENDS tolvane-manpage
    COMMENT "Writing the manual page ${program}(1)")
  list(APPEND man_pages ${page} ${page}.gz)
  install(FILES ${page}.gz DESTINATION ${CMAKE_INSTALL_MANDIR}/man1)
endforeach()
add_custom_target(man_pages ALL DEPENDS ${man_pages})
