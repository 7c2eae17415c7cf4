# SPDX-License-Identifier: Apache-2.0
# Writes the bytes of a file as a C++ array, so that a picture is part of the
# program. Run as: cmake -DINPUT=file -DOUTPUT=file.cpp -DNAME=symbol -P embed_bytes.cmake
# The result defines `const unsigned char NAME[]` and `const std::size_t NAME_size`.
file(READ "${INPUT}" hex HEX)
string(LENGTH "${hex}" hex_length)
math(EXPR size "${hex_length} / 2")
string(REGEX REPLACE "([0-9a-f][0-9a-f])" "0x\\1," bytes "${hex}")
# CMake regular expressions have no {n}: spell out sixteen bytes a line.
string(REPEAT "0x..," 16 line)
string(REGEX REPLACE "(${line})" "\\1\n" bytes "${bytes}")
file(WRITE "${OUTPUT}.tmp"
"// Generated from ${INPUT}; do not edit.\n#include <cstddef>\n"
"extern const unsigned char ${NAME}[] = {\n${bytes}\n};\n"
"extern const std::size_t ${NAME}_size = ${size};\n")
file(COPY_FILE "${OUTPUT}.tmp" "${OUTPUT}" ONLY_IF_DIFFERENT)
file(REMOVE "${OUTPUT}.tmp")
