# SPDX-License-Identifier: Apache-2.0
# Builds tests/web/charconv_float_test.cpp natively (CXX) and for WebAssembly
# (EMXX, with the page's charconv_float.h) in WORK_DIR, runs both (NODE) and
# fails when their outputs differ.
file(MAKE_DIRECTORY ${WORK_DIR})
set(source ${SOURCE_DIR}/tests/web/charconv_float_test.cpp)
set(ENV{NODE_PATH} /usr/share/nodejs)
foreach(step
    "${CXX};-std=c++20;-O2;${source};-o;${WORK_DIR}/native"
    "${EMXX};-std=c++20;-O2;-include;${SOURCE_DIR}/web/wasm/charconv_float.h;${source};-o;${WORK_DIR}/wasm.js")
  execute_process(COMMAND ${step} RESULT_VARIABLE status ERROR_VARIABLE log)
  if(NOT status EQUAL 0)
    message(FATAL_ERROR "${step} failed:\n${log}")
  endif()
endforeach()
execute_process(COMMAND ${WORK_DIR}/native OUTPUT_FILE ${WORK_DIR}/native.txt RESULT_VARIABLE native_status)
execute_process(COMMAND ${NODE} --no-experimental-fetch ${WORK_DIR}/wasm.js OUTPUT_FILE ${WORK_DIR}/wasm.txt
                RESULT_VARIABLE wasm_status)
if(NOT native_status EQUAL 0 OR NOT wasm_status EQUAL 0)
  message(FATAL_ERROR "a conversion program failed: native ${native_status}, WebAssembly ${wasm_status}")
endif()
execute_process(COMMAND ${CMAKE_COMMAND} -E compare_files ${WORK_DIR}/native.txt ${WORK_DIR}/wasm.txt
                RESULT_VARIABLE differ)
if(differ)
  execute_process(COMMAND diff ${WORK_DIR}/native.txt ${WORK_DIR}/wasm.txt OUTPUT_VARIABLE lines)
  string(SUBSTRING "${lines}" 0 2000 lines)
  message(FATAL_ERROR "std::to_chars differs between the native and the WebAssembly build:\n${lines}")
endif()
file(STRINGS ${WORK_DIR}/native.txt rows)
list(LENGTH rows count)
message(STATUS "${count} rows of conversions, the same bytes in both builds")
