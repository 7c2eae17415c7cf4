# SPDX-License-Identifier: Apache-2.0
# cmake/debian/changelog.cmake on small NEWS files in WORK_DIR: two releases
# become two Debian changelog entries, newest first, with the item lines
# wrapped as written; a NEWS whose newest release is not the packages'
# version, or with a line that is no item, is refused.
cmake_minimum_required(VERSION 3.25)
set(script ${SOURCE_DIR}/cmake/debian/changelog.cmake)
file(REMOVE_RECURSE ${WORK_DIR})
file(MAKE_DIRECTORY ${WORK_DIR})

# write_changelog(NEWS_TEXT VERSION RESULT): runs the script; RESULT is the
# changelog's text, or "failed: <message>".
function(write_changelog news version result)
  file(WRITE ${WORK_DIR}/NEWS.md "${news}")
  file(REMOVE ${WORK_DIR}/changelog.gz)
  execute_process(COMMAND ${CMAKE_COMMAND} -DNEWS=${WORK_DIR}/NEWS.md -DOUTPUT=${WORK_DIR}/changelog.gz
                          -DSOURCE=tolvane -DVERSION=${version} "-DMAINTAINER=Role <role@example.org>"
                          -DGZIP=gzip -P ${script}
                  RESULT_VARIABLE status ERROR_VARIABLE err)
  if(status EQUAL 0)
    execute_process(COMMAND gzip -dc ${WORK_DIR}/changelog.gz OUTPUT_VARIABLE text COMMAND_ERROR_IS_FATAL ANY)
    set(${result} "${text}" PARENT_SCOPE)
  else()
    # CMake wraps a message at a width that depends on the path's length, so
    # the words are compared with every run of blanks made one space.
    string(REGEX REPLACE "[ \t\n]+" " " err "${err}")
    set(${result} "failed: ${err}" PARENT_SCOPE)
  endif()
endfunction()

set(news "# News\n\nIntroduction.\n\n## 2.02 (2027-01-04)\n\n- First item\n  goes on here.\n- Second.\n\n## 2.01 (2026-12-07)\n\n- Old.\n")
write_changelog("${news}" 2.02 text)
set(expected "tolvane (2.02) unstable; urgency=medium\n\n  * First item\n    goes on here.\n  * Second.\n\n -- Role <role@example.org>  Mon, 04 Jan 2027 00:00:00 +0000\n\ntolvane (2.01) unstable; urgency=medium\n\n  * Old.\n\n -- Role <role@example.org>  Mon, 07 Dec 2026 00:00:00 +0000\n")
if(NOT text STREQUAL expected)
  message(FATAL_ERROR "changelog:\n${text}\nexpected:\n${expected}")
endif()
# gzip -n: the same bytes however often it is written.
file(SHA256 ${WORK_DIR}/changelog.gz first)
execute_process(COMMAND ${CMAKE_COMMAND} -E sleep 1)
write_changelog("${news}" 2.02 text)
file(SHA256 ${WORK_DIR}/changelog.gz second)
if(NOT first STREQUAL second)
  message(FATAL_ERROR "two writings of the same changelog differ")
endif()

write_changelog("${news}" 2.03 text)
if(NOT text MATCHES "^failed: .*newest release is .*2\\.02.*packages are.*2\\.03")
  message(FATAL_ERROR "a version NEWS.md lacks was taken: ${text}")
endif()
write_changelog("## 2.02 (2027-01-04)\n\n- Item.\nA stray line.\n" 2.02 text)
if(NOT text MATCHES "^failed: .*A stray line")
  message(FATAL_ERROR "a line that is no item was taken: ${text}")
endif()
file(REMOVE_RECURSE ${WORK_DIR})
message(STATUS "NEWS.md becomes a Debian changelog")
