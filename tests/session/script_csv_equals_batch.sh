#!/bin/bash
# SPDX-License-Identifier: Apache-2.0
# One simulation core: every shipped scenario, and a run of every teaching
# subject, gives through the C interface the CSV tolvane-batch writes for
# the same script, byte for byte at 9 significant digits (every float as it
# is) and at the default 7.
# Arguments: SOURCE_DIR SCRIPT_CSV TOLVANE_BATCH
set -euo pipefail
source_dir=$1
script_csv=$2
batch=$3
work=$(mktemp -d)
trap 'rm -rf "$work"' EXIT

compare() {  # compare NAME SCRIPT BASE_DIR DIGITS
  local name=$1 script=$2 base=$3 digits=$4
  "$script_csv" "$script" "$base" "$work/api.csv" "$digits"
  (cd "$base" && "$batch" --script "$script" --csv "$work/batch.csv" --digits "$digits" > /dev/null 2>&1) || true
  if ! cmp -s "$work/api.csv" "$work/batch.csv"; then
    echo "$name at $digits digits: the C interface's CSV differs from tolvane-batch's:"
    diff <(head -c 2000 "$work/api.csv") <(head -c 2000 "$work/batch.csv") | head -n 6 || true
    cmp "$work/api.csv" "$work/batch.csv" || true
    exit 1
  fi
  echo "$name at $digits digits: equal ($(wc -l < "$work/api.csv") lines)"
}

for script in "$source_dir"/scenarios/*.txt; do
  for digits in 9 7; do
    compare "$(basename "$script")" "$script" "$source_dir/scenarios" "$digits"
  done
done
for subject in "$source_dir"/subjects/*.sbj; do
  # Load, ten minutes, a RE-RUN into the sixth and four more.
  printf 'at 0:00 load %s\nrun until 10:00\nat 10:00 rerun 5:30\nrun until 14:00\n' "$subject" > "$work/subject.txt"
  compare "$(basename "$subject")" "$work/subject.txt" "$work" 9
done
