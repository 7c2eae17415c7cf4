# Fails when a source, script or build file of the project lacks its
# licence line ("SPDX-License-Identifier: ...") in its first three lines,
# and names the files.
# Usage: cmake -DSOURCE_DIR=<top of the sources> -P check_spdx.cmake
cmake_minimum_required(VERSION 3.20)

set(folders model host session frontend tests bench tools cmake scripts python web/src web/wasm)
set(patterns "")
foreach(folder IN LISTS folders)
  foreach(name *.cpp *.h *.c *.inc *.ts *.mjs *.cmake *.sh *.py CMakeLists.txt)
    list(APPEND patterns "${SOURCE_DIR}/${folder}/${name}")
  endforeach()
endforeach()
file(GLOB_RECURSE files RELATIVE "${SOURCE_DIR}" ${patterns})
list(FILTER files EXCLUDE REGEX "(^|/)(node_modules|__pycache__|data)/")
# The top folder's own files (a recursive glob there would walk the build trees).
list(APPEND files CMakeLists.txt .ci/run)
# The page's build files beside web/src (web/node_modules is not walked).
file(GLOB web_files RELATIVE "${SOURCE_DIR}" "${SOURCE_DIR}/web/*.mjs" "${SOURCE_DIR}/web/*.cmake")
list(APPEND files ${web_files})
list(SORT files)

set(missing "")
foreach(file IN LISTS files)
  file(STRINGS "${SOURCE_DIR}/${file}" head LIMIT_COUNT 3)
  if(NOT head MATCHES "SPDX-License-Identifier: ")
    list(APPEND missing "${file}")
  endif()
endforeach()
if(missing)
  list(JOIN missing "\n  " listed)
  message(FATAL_ERROR "No SPDX-License-Identifier line in the first three lines:\n  ${listed}")
endif()
list(LENGTH files count)
message(STATUS "${count} files carry their licence line")
