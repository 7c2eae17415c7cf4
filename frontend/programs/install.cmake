# SPDX-License-Identifier: Apache-2.0
# Installation of the desktop program beyond its targets: what the desktop
# needs to know Tolvane (the desktop entry, the AppStream metadata, the
# subject files' MIME type, the icon in every hicolor size). The programs
# find libtolvane_model.so.1 through their RUNPATH ($ORIGIN/../<libdir>, set
# at the top level), in the build tree and wherever the installed tree is
# moved.
install(FILES ${PROJECT_SOURCE_DIR}/assets/org.tolvane.Tolvane.desktop
        DESTINATION ${CMAKE_INSTALL_DATADIR}/applications)
install(FILES ${PROJECT_SOURCE_DIR}/assets/org.tolvane.Tolvane.metainfo.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/metainfo)
install(FILES ${PROJECT_SOURCE_DIR}/assets/tolvane-mime.xml
        DESTINATION ${CMAKE_INSTALL_DATADIR}/mime/packages RENAME tolvane.xml)
install(FILES ${PROJECT_SOURCE_DIR}/assets/icons/tolvane.svg
        DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/scalable/apps)
# Rendered from the SVG by tools/icon_renderer.
foreach(size 48 64 128 256)
  install(FILES ${PROJECT_SOURCE_DIR}/assets/icons/tolvane-${size}.png
          DESTINATION ${CMAKE_INSTALL_DATADIR}/icons/hicolor/${size}x${size}/apps RENAME tolvane.png)
endforeach()

# Documents under share/doc/tolvane: the validation report with its figures,
# and the guide with its pictures (every file of docs/, so documents added
# later are installed too).
install(DIRECTORY ${PROJECT_SOURCE_DIR}/docs/ DESTINATION ${CMAKE_INSTALL_DOCDIR})
# Teaching subjects and example scenarios under share/tolvane, where the
# window's Load dialog finds the subjects (installed_data.h).
install(DIRECTORY ${PROJECT_SOURCE_DIR}/subjects ${PROJECT_SOURCE_DIR}/scenarios
        DESTINATION ${CMAKE_INSTALL_DATADIR}/tolvane)
