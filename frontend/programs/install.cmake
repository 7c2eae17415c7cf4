# Installation of the desktop program beyond its targets: the desktop entry and
# its icon. The programs find libtolvane_model.so through their RPATH
# ($ORIGIN/../<libdir>, set at the top level), in the build tree and wherever
# the installed tree is moved.
install(FILES ${PROJECT_SOURCE_DIR}/assets/tolvane.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/assets/tolvane.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps)

# Documents under share/doc/tolvane: the validation report with its figures,
# and the guide with its pictures (every file of docs/, so documents added
# later are installed too).
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${CMAKE_INSTALL_DOCDIR})
# Teaching subjects and example scenarios under share/tolvane, where the
# window's Load dialog finds the subjects (installed_data.h).
install(DIRECTORY ${PROJECT_SOURCE_DIR}/subjects ${PROJECT_SOURCE_DIR}/scenarios
        DESTINATION ${CMAKE_INSTALL_DATADIR}/tolvane)
