# SPDX-License-Identifier: Apache-2.0
# tolvane_session_sources(VARIABLE SOURCE_DIR): the session library's
# sources under SOURCE_DIR/session, in its folders too, without fuzz targets,
# examples and tests.
function(tolvane_session_sources variable source_dir)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${source_dir}/session/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/(fuzz|examples?|tests?)/|_(fuzz|test)\\.cpp$")
  set(${variable} ${sources} PARENT_SCOPE)
endfunction()
