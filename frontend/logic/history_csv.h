// SPDX-License-Identifier: Apache-2.0
// The recorded history as CSV text: one column per display variable, one row
// per simulated second, written a minute at a time so any length works.
#ifndef TOLVANE_HISTORY_CSV_H
#define TOLVANE_HISTORY_CSV_H

#include "run_state.h"

#include <QByteArray>

// The header row: "time_s", then "name (unit)" ("name" alone for an empty
// unit) of display variables 0 to
// num_dsy-2 ("No display" left out) in UTF-8, in the units in force; fields
// holding a comma, quote or line break are quoted. Ends with "\n".
QByteArray history_csv_header();

// Significant digits of the CSV numbers: by default 7; 9 write every float
// so that it reads back as the same float.
inline constexpr int csv_default_digits = 7;
inline constexpr int csv_min_digits = 1;
inline constexpr int csv_max_digits = 17;

// Rows for seconds first..last (inclusive) from the history ring, values as
// history_value gives them (format_csv_number); each row ends with "\n".
// Seconds older than the ring holds (more than 1800 before last) must have
// been written before: the caller writes each minute as it completes.
QByteArray history_csv_rows(const run_state& state, int first, int last, int digits = csv_default_digits);

// Writes value as printf's "%.<digits>g" writes it in the "C" locale (the
// exact value correctly rounded, ties to even: "93.18", "1e-05", "-0",
// "inf", "nan"), at most csv_number_max characters and no terminating NUL,
// and returns the end of the text. digits is clamped to csv_min_digits to
// csv_max_digits. Several times faster than printf, and free of the process
// locale's decimal comma.
inline constexpr int csv_number_max = 32;
char* format_csv_number(char* out, double value, int digits = csv_default_digits);

// Appends value as format_csv_number writes it.
void append_csv_number(QByteArray& out, double value, int digits = csv_default_digits);

// One CSV field, quoted when it holds a comma, quote or line break.
QByteArray csv_field(const QByteArray& text);

#endif
