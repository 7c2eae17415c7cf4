// SPDX-License-Identifier: Apache-2.0
// The CSV the programs write: fields, the header of display variables and
// the numbers, byte for byte the same in every program and locale.
#ifndef TOLVANE_CSV_TEXT_H
#define TOLVANE_CSV_TEXT_H

#include <string>
#include <string_view>

// One CSV field, quoted when it holds a comma, quote or line break.
std::string csv_field(std::string_view text);

struct catalogue_record;

// The header row: "time_s", then "name (unit)" ("name" alone for an empty
// unit) of the count display records at displays (the live ones: every one
// but "No display") in UTF-8; fields holding a comma, quote or line break
// are quoted. Ends with "\n".
std::string history_csv_header_text(const catalogue_record* displays, int count);

// The header row of a run's CSV: every display variable but "No display"
// with its unit in mm Hg, whatever units are shown.
std::string run_csv_header_text();

// Significant digits of the CSV numbers: by default 7; 9 write every float
// so that it reads back as the same float.
inline constexpr int csv_default_digits = 7;
inline constexpr int csv_min_digits = 1;
inline constexpr int csv_max_digits = 17;

// Writes value as printf's "%.<digits>g" writes it in the "C" locale (the
// exact value correctly rounded, ties to even: "93.18", "1e-05", "-0",
// "inf", "nan"), at most csv_number_max characters and no terminating NUL,
// and returns the end of the text. digits is clamped to csv_min_digits to
// csv_max_digits. Several times faster than printf, and free of the process
// locale's decimal comma.
inline constexpr int csv_number_max = 32;
char* format_csv_number(char* out, double value, int digits = csv_default_digits);

// Appends value as format_csv_number writes it.
void append_csv_number(std::string& out, double value, int digits = csv_default_digits);

#endif
