# Installation of the desktop program beyond its targets: the desktop entry and
# its icon. The programs find libtolvane_model.so through their RPATH
# ($ORIGIN/../<libdir>, set at the top level), in the build tree and wherever
# the installed tree is moved.
install(FILES ${PROJECT_SOURCE_DIR}/assets/tolvane.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/assets/tolvane.png
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/128x128/apps)
