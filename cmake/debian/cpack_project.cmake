# SPDX-License-Identifier: Apache-2.0
# Read by cpack as it starts (CPACK_PROJECT_CONFIG_FILE).
#
# Every time stamp in the packages is SOURCE_DATE_EPOCH, by default the last
# commit's time, so two packings of the same sources give the same bytes.
# Outside a git checkout the time of NEWS.md stands in.
if(NOT DEFINED ENV{SOURCE_DATE_EPOCH})
  execute_process(COMMAND git -C ${CPACK_TOLVANE_SOURCE_DIR} log -1 --format=%ct
                  OUTPUT_VARIABLE epoch OUTPUT_STRIP_TRAILING_WHITESPACE ERROR_QUIET RESULT_VARIABLE status)
  if(NOT status EQUAL 0 OR NOT epoch MATCHES "^[0-9]+$")
    file(TIMESTAMP ${CPACK_TOLVANE_SOURCE_DIR}/NEWS.md epoch "%s" UTC)
  endif()
  set(ENV{SOURCE_DATE_EPOCH} ${epoch})
endif()

# The DEB step with ldconfig triggers (cpack_modules/Internal/CPack/CPackDeb.cmake).
list(PREPEND CMAKE_MODULE_PATH ${CMAKE_CURRENT_LIST_DIR}/cpack_modules)
