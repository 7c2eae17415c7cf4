# SPDX-License-Identifier: Apache-2.0
# The page web/dist/tolvane.html (built by scripts/web.sh, not by this build):
# installed under share/tolvane/web when it was built, and tested when its
# tools are here: emscripten, Node.js with npm, and Chromium
# (scripts/setup.sh web installs them; scripts/test.sh does).
install(FILES ${PROJECT_SOURCE_DIR}/web/dist/tolvane.html DESTINATION ${CMAKE_INSTALL_DATADIR}/tolvane/web COMPONENT programs
        OPTIONAL)

find_program(EMCC emcc)
find_program(NODE node)
find_program(NPM npm)
find_program(CHROMIUM NAMES chromium chromium-browser)
if(NOT (EMCC AND NODE AND NPM AND CHROMIUM))
  message(STATUS "The page's tests need emcc, node, npm and chromium (bash scripts/setup.sh web); skipped")
  return()
endif()

# The page is built once before its tests (incrementally; npm ci only when the
# lock file changed), and so is the package that installs it.
add_test(NAME web_page_build COMMAND bash ${PROJECT_SOURCE_DIR}/scripts/web.sh --no-install)
set_tests_properties(web_page_build PROPERTIES FIXTURES_SETUP web_page TIMEOUT 1200)
if(TEST debian_packages_build)
  set_tests_properties(debian_packages_build PROPERTIES FIXTURES_REQUIRED web_page)
endif()

set(web_test_dir ${PROJECT_SOURCE_DIR}/tests/web)
# The page's own logic: texts, the plot's window, the trend plot's drawing.
add_test(NAME web_page_logic COMMAND ${NODE} ${web_test_dir}/page_logic_test.mjs)
set_tests_properties(web_page_logic PROPERTIES FIXTURES_REQUIRED web_page TIMEOUT 120)

# The WebAssembly build's std::to_chars for doubles writes what the native one does.
find_program(EMXX em++)
add_test(NAME web_charconv_float
  COMMAND ${CMAKE_COMMAND} -DSOURCE_DIR=${PROJECT_SOURCE_DIR} -DWORK_DIR=${CMAKE_CURRENT_BINARY_DIR}/web_charconv_float
          -DCXX=${CMAKE_CXX_COMPILER} -DEMXX=${EMXX} -DNODE=${NODE} -P ${web_test_dir}/charconv_float.cmake)
set_tests_properties(web_charconv_float PROPERTIES TIMEOUT 300)

# The simulator under node runs the shipped scenarios and teaching subjects;
# its CSVs must equal tolvane-batch's byte for byte. The page in Chromium
# does a lesson, exports its CSV and saves a loaded subject back.
# Scripts are also run by the native session library (script_csv).
add_executable(web_script_csv ${web_test_dir}/script_csv.c)
target_link_libraries(web_script_csv PRIVATE tolvane_c_api)
add_test(NAME web_session_csv
  COMMAND ${NODE} --no-experimental-fetch ${web_test_dir}/session_csv_test.mjs
          $<TARGET_FILE:tolvane-batch> ${CMAKE_CURRENT_BINARY_DIR}/web_session_csv
          $<TARGET_FILE:web_script_csv>)
add_test(NAME web_page_browser
  COMMAND ${NODE} ${web_test_dir}/page_test.mjs $<TARGET_FILE:tolvane-batch>
          ${CMAKE_CURRENT_BINARY_DIR}/web_page_browser)
set_tests_properties(web_session_csv web_page_browser PROPERTIES
  FIXTURES_REQUIRED web_page TIMEOUT 300 ENVIRONMENT "NODE_PATH=/usr/share/nodejs;CHROMIUM=${CHROMIUM}")
