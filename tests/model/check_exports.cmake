# SPDX-License-Identifier: Apache-2.0
# Checks that the shared model library exports exactly the names that its
# public header marks with TOLVANE_API: nothing missing, nothing internal.
# Usage: cmake -DLIBRARY=<path to .so> -DHEADER=<tolvane_model.h> -P check_exports.cmake
file(STRINGS "${HEADER}" header_lines REGEX "^TOLVANE_API")
set(expected "")
foreach(line IN LISTS header_lines)
  string(REGEX REPLACE "//.*" "" line "${line}")
  if(line MATCHES "^TOLVANE_API[^;(\\[]*[^A-Za-z0-9_]([A-Za-z_][A-Za-z0-9_]*) *[(\\[;]")
    list(APPEND expected "${CMAKE_MATCH_1}")
  else()
    message(FATAL_ERROR "cannot read a name from header line: ${line}")
  endif()
endforeach()
list(SORT expected)

# The names every host binds; the library may add more, each with the
# tolvane_ prefix so that it cannot collide with a host's own names.
set(specified a_d_lst a_f_lst age alt_dspy alt_fact app_buf bag_co2 bag_index bag_o2
    bag_vol bager comment constant death display estab_pnt factor height history load_new
    mdl_ver model num_dsy num_fct num_oth other positive res_rate s_age s_display s_factor
    s_height s_other s_sex s_weight sex sympt tidal ventilation weight)
set(additions ${expected})
list(REMOVE_ITEM additions ${specified})
foreach(name IN LISTS additions)
  if(NOT name MATCHES "^tolvane_")
    message(FATAL_ERROR "header name ${name} is neither a specified name nor tolvane_-prefixed")
  endif()
endforeach()
set(missing_specified ${specified})
list(REMOVE_ITEM missing_specified ${expected})
if(missing_specified)
  message(FATAL_ERROR "specified names missing from the header: ${missing_specified}")
endif()

execute_process(COMMAND nm -D --defined-only "${LIBRARY}"
                OUTPUT_VARIABLE nm_output RESULT_VARIABLE nm_result)
if(NOT nm_result EQUAL 0)
  message(FATAL_ERROR "nm failed on ${LIBRARY}")
endif()
string(REPLACE "\n" ";" nm_lines "${nm_output}")
set(exported "")
foreach(line IN LISTS nm_lines)
  if(line MATCHES "^[0-9a-fA-F]* *[A-Za-z] ([^ ]+)$")
    # A sanitizer build adds its own indicator symbols beside each global.
    set(symbol "${CMAKE_MATCH_1}")
    if(NOT symbol MATCHES "^(__odr_asan|__asan|__ubsan|__sanitizer)")
      list(APPEND exported "${symbol}")
    endif()
  endif()
endforeach()
list(SORT exported)

set(missing ${expected})
list(REMOVE_ITEM missing ${exported})
set(unexpected ${exported})
list(REMOVE_ITEM unexpected ${expected})
list(LENGTH expected expected_count)
if(missing OR unexpected)
  message(FATAL_ERROR "exports differ from the header (${expected_count} names)\n"
                      "  missing: ${missing}\n  not in the header: ${unexpected}")
endif()
message(STATUS "all ${expected_count} public names exported, nothing else")
