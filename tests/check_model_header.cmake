# SPDX-License-Identifier: Apache-2.0
# Fails when a source outside model/, host/, session/, tests/ and bench/
# includes the model's C header (tolvane_model.h), and names the files: the
# front end, the tools and the other clients read and drive the model
# through the session.
# Usage: cmake -DSOURCE_DIR=<top of the sources> -P check_model_header.cmake
cmake_minimum_required(VERSION 3.20)

set(allowed_folders model host session tests bench)
set(include_line "^[ \t]*#[ \t]*include[ \t]*[<\"]([^<>\"]*/)?tolvane_model\\.h[>\"]")

# The C and C++ sources under folder (relative to SOURCE_DIR), leaving out
# hidden folders, build trees and installed node packages.
function(collect_sources folder out)
  set(found "")
  file(GLOB entries LIST_DIRECTORIES true RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/${folder}/*")
  foreach(entry IN LISTS entries)
    get_filename_component(name "${entry}" NAME)
    if(IS_DIRECTORY "${SOURCE_DIR}/${entry}")
      if(name MATCHES "^\\." OR name STREQUAL "node_modules" OR EXISTS "${SOURCE_DIR}/${entry}/CMakeCache.txt")
        continue()
      endif()
      collect_sources("${entry}" below)
      list(APPEND found ${below})
    elseif(name MATCHES "\\.(c|cc|cpp|cxx|h|hh|hpp|inc)$")
      list(APPEND found "${entry}")
    endif()
  endforeach()
  set(${out} "${found}" PARENT_SCOPE)
endfunction()

file(GLOB tops LIST_DIRECTORIES true RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/*")
set(sources "")
foreach(top IN LISTS tops)
  if(NOT IS_DIRECTORY "${SOURCE_DIR}/${top}" OR top IN_LIST allowed_folders OR top MATCHES "^\\."
     OR EXISTS "${SOURCE_DIR}/${top}/CMakeCache.txt")
    continue()
  endif()
  collect_sources("${top}" below)
  list(APPEND sources ${below})
endforeach()
list(SORT sources)

set(offenders "")
foreach(source IN LISTS sources)
  file(STRINGS "${SOURCE_DIR}/${source}" hits REGEX "${include_line}")
  if(hits)
    list(APPEND offenders "${source}")
  endif()
endforeach()

set(complaint "")
if(offenders)
  list(JOIN offenders "\n  " listed)
  string(APPEND complaint "These files include tolvane_model.h; read and drive the model through the session "
         "(session/catalogue_view.h, respiration.h, run_state.h, run_session.h) instead:\n  ${listed}\n")
endif()
if(complaint)
  message(FATAL_ERROR "${complaint}")
endif()
list(LENGTH sources count)
message(STATUS "${count} sources outside the model's own layers, none including its header")
