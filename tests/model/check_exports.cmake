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
