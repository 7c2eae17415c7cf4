# SPDX-License-Identifier: Apache-2.0
# tolvane_session_api_found(RESULT SOURCE_DIR): RESULT is TRUE when the
# session library under SOURCE_DIR/session implements its C interface (a
# source defines tolvane_create). Until then the page runs on a stand-in.
function(tolvane_session_api_found result source_dir)
  file(GLOB sources ${source_dir}/session/*.cpp)
  foreach(source ${sources})
    file(STRINGS ${source} creates REGEX "tolvane_create\\(")
    if(creates)
      set(${result} TRUE PARENT_SCOPE)
      return()
    endif()
  endforeach()
  set(${result} FALSE PARENT_SCOPE)
endfunction()
