#!/bin/bash
# The SDK as a user meets it: install the build into a fresh prefix, build
# the example of docs/sdk.md with pkg-config and with CMake against that
# tree only, run both, and compare their arterial PO2 with tolvane-batch's
# CSV for the same run.
# Arguments: BUILD_DIR TOLVANE_BATCH
set -euo pipefail
build=$1
batch=$2
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT
prefix=$work/prefix

cmake --install "$build" --prefix "$prefix" > /dev/null
libdir=$(dirname "$(find "$prefix" -name 'libtolvane.so.1' | head -n 1)")
example=$(find "$prefix" -name tolvane_example.c | head -n 1)
test -n "$example"

# pkg-config
export PKG_CONFIG_PATH=$libdir/pkgconfig
cc -std=c99 -Wall -Wextra -Werror "$example" $(pkg-config --cflags --libs tolvane) -o "$work/with_pkg_config"

# CMake
mkdir -p "$work/project"
cp "$example" "$work/project/"
cat > "$work/project/CMakeLists.txt" <<'CMAKE'
cmake_minimum_required(VERSION 3.25)
project(hypoxia C)
find_package(Tolvane 1 REQUIRED)
add_executable(hypoxia tolvane_example.c)
target_link_libraries(hypoxia PRIVATE Tolvane::tolvane)
CMAKE
cmake -S "$work/project" -B "$work/project/build" -DCMAKE_PREFIX_PATH="$prefix" > /dev/null
cmake --build "$work/project/build" > /dev/null

export LD_LIBRARY_PATH=$libdir
"$work/with_pkg_config" > "$work/pkg_config.txt"
"$work/project/build/hypoxia" > "$work/cmake.txt"
cmp "$work/pkg_config.txt" "$work/cmake.txt"
test "$(wc -l < "$work/pkg_config.txt")" -eq 10

"$batch" --set inspired_o2=12 --minutes 10 --csv "$work/batch.csv"
# Column of arterial_po2 (display 15, the 17th field after time_s) at seconds 60..600.
python3 - "$work/batch.csv" "$work/pkg_config.txt" <<'PY'
import csv, sys
rows = list(csv.reader(open(sys.argv[1], encoding="utf-8")))
column = 1 + 15  # time_s, then display variables 0, 1, ...
assert rows[0][column].startswith("Arterial O2 partial pressure"), rows[0][column]
expected = [float(rows[1 + 60 * m][column]) for m in range(1, 11)]
printed = [float(line.split()[4]) for line in open(sys.argv[2])]
for m, (want, got) in enumerate(zip(expected, printed), start=1):
    assert abs(want - got) <= 1e-6 * abs(want), f"minute {m}: batch {want}, example {got}"
assert len(printed) == 10
print("ten minutes agree:", printed[0], "...", printed[-1])
PY
