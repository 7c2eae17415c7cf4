# SPDX-License-Identifier: Apache-2.0
# tolvane_session_sources(VARIABLE SOURCE_DIR): the session library's
# sources under SOURCE_DIR/session, in its folders too, without fuzz targets,
# examples and tests.
function(tolvane_session_sources variable source_dir)
  file(GLOB_RECURSE sources CONFIGURE_DEPENDS ${source_dir}/session/*.cpp)
  list(FILTER sources EXCLUDE REGEX "/(fuzz|examples?|tests?)/|_(fuzz|test)\\.cpp$")
  set(${variable} ${sources} PARENT_SCOPE)
endfunction()

# tolvane_session_api_found(RESULT SOURCE_DIR): RESULT is TRUE when the
# session library under SOURCE_DIR/session implements its C interface (a
# source defines tolvane_create). Until then the page runs on a stand-in.
function(tolvane_session_api_found result source_dir)
  tolvane_session_sources(sources ${source_dir})
  foreach(source ${sources})
    file(STRINGS ${source} creates REGEX "tolvane_create\\(")
    if(creates)
      set(${result} TRUE PARENT_SCOPE)
      return()
    endif()
  endforeach()
  set(${result} FALSE PARENT_SCOPE)
endfunction()
