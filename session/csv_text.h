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

// The two "%.7g" texts the CSV files have always had, which differ only for
// a value exactly halfway between two 7-digit decimals and for the sign of
// zero and NaN: the batch runner's minute-by-minute CSV used Qt's
// formatting (ties away from zero, "0", "nan"), a script's CSV the C
// library's (ties to even, "-0", "-nan").
enum class csv_number_style { qt, c_library };

// Appends value as "%.7g" text ("93.18", "1e-05", "inf") in the given style,
// byte for byte as before, through one scaling in double or std::to_chars:
// several times faster, and free of the process locale's decimal comma.
void append_csv_number(std::string& out, double value, csv_number_style style = csv_number_style::qt);

// The same text written at out (at most csv_number_max characters, no
// terminating NUL); returns the end of the text.
inline constexpr int csv_number_max = 32;
char* format_csv_number(char* out, double value, csv_number_style style = csv_number_style::qt);

// format_csv_number with digits significant digits: for 7 as above in the
// style given, otherwise printf's "%.*g" (correct rounding of the exact
// value); digits is held to 1..17.
char* format_csv_number(char* out, double value, int digits, csv_number_style style = csv_number_style::qt);

#endif
