# SPDX-License-Identifier: Apache-2.0
# What the desktop reads from the unpacked packages in WORK_DIR/root: the
# desktop entry passes desktop-file-validate without even a hint, the
# AppStream metadata passes appstreamcli validate and names this VERSION, and
# a subject file (*.sbj, any case) is of the type application/x-tolvane-subject,
# whose default application is Tolvane's desktop entry (xdg-mime). A
# validator that is not installed is named and its check skipped.
cmake_minimum_required(VERSION 3.25)
set(share ${WORK_DIR}/root/usr/share)
set(entry ${share}/applications/org.tolvane.Tolvane.desktop)
set(metainfo ${share}/metainfo/org.tolvane.Tolvane.metainfo.xml)
set(problems)
set(skipped)

find_program(DESKTOP_FILE_VALIDATE desktop-file-validate)
if(DESKTOP_FILE_VALIDATE)
  execute_process(COMMAND ${DESKTOP_FILE_VALIDATE} ${entry} OUTPUT_VARIABLE said ERROR_VARIABLE said
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR NOT said STREQUAL "")
    string(APPEND problems "  desktop-file-validate ${entry}:\n${said}")
  endif()
else()
  list(APPEND skipped desktop-file-validate)
endif()
file(READ ${entry} text)
foreach(line "Exec=tolvane %f" "MimeType=application/x-tolvane-subject;" "Categories=Education;" "Keywords=")
  string(FIND "${text}" "\n${line}" at)
  if(at LESS 0)
    string(APPEND problems "  ${entry} lacks a line starting ${line}\n")
  endif()
endforeach()

find_program(APPSTREAMCLI appstreamcli)
if(APPSTREAMCLI)
  execute_process(COMMAND ${APPSTREAMCLI} validate --no-net ${metainfo} OUTPUT_VARIABLE said ERROR_VARIABLE said
                  RESULT_VARIABLE status)
  if(NOT status EQUAL 0)
    string(APPEND problems "  appstreamcli validate ${metainfo}:\n${said}")
  endif()
else()
  list(APPEND skipped appstreamcli)
endif()
file(READ ${metainfo} text)
if(NOT text MATCHES "<release version=\"${VERSION}\"")
  string(APPEND problems "  ${metainfo} names no release ${VERSION}\n")
endif()

# The MIME database and the desktop entries' cache, built in the unpacked
# tree as the packages' triggers build them in /usr/share.
find_program(UPDATE_MIME_DATABASE update-mime-database)
find_program(UPDATE_DESKTOP_DATABASE update-desktop-database)
find_program(XDG_MIME xdg-mime)
if(UPDATE_MIME_DATABASE AND UPDATE_DESKTOP_DATABASE AND XDG_MIME)
  execute_process(COMMAND ${UPDATE_MIME_DATABASE} ${share}/mime COMMAND_ERROR_IS_FATAL ANY)
  execute_process(COMMAND ${UPDATE_DESKTOP_DATABASE} ${share}/applications OUTPUT_QUIET ERROR_QUIET
                  COMMAND_ERROR_IS_FATAL ANY)
  file(READ ${share}/mime/globs2 globs)
  if(NOT globs MATCHES ":application/x-tolvane-subject:\\*\\.sbj\n")
    string(APPEND problems "  the MIME database has no *.sbj glob:\n${globs}")
  endif()
  execute_process(COMMAND ${CMAKE_COMMAND} -E env XDG_DATA_DIRS=${share} XDG_DATA_HOME=${WORK_DIR}/home
                          XDG_CONFIG_HOME=${WORK_DIR}/home XDG_CURRENT_DESKTOP= DE=
                          ${XDG_MIME} query default application/x-tolvane-subject
                  OUTPUT_VARIABLE default ERROR_VARIABLE default OUTPUT_STRIP_TRAILING_WHITESPACE)
  if(NOT default STREQUAL "org.tolvane.Tolvane.desktop")
    string(APPEND problems "  xdg-mime query default application/x-tolvane-subject: \"${default}\"\n")
  endif()
else()
  list(APPEND skipped "update-mime-database, update-desktop-database or xdg-mime")
endif()

if(problems)
  message(FATAL_ERROR "${problems}")
endif()
if(skipped)
  message(STATUS "not installed, so not checked: ${skipped}")
endif()
message(STATUS "desktop entry, AppStream metadata and the subject files' type as expected")
