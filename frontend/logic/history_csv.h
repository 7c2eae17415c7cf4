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

// Rows for seconds first..last (inclusive) from the history ring, values as
// history_value gives them ("%.7g"); each row ends with "\n". Seconds older
// than the ring holds (more than 1800 before last) must have been written
// before: the caller writes each minute as it completes.
QByteArray history_csv_rows(const run_state& state, int first, int last);

// The two "%.7g" texts the CSV files have always had, which differ only for
// a value exactly halfway between two 7-digit decimals and for the sign of
// zero and NaN: the batch runner's minute-by-minute CSV used Qt's
// formatting (ties away from zero, "0", "nan"), a script's CSV the C
// library's (ties to even, "-0", "-nan"). Every CSV now uses Qt's, the
// window's export included, so that one run gives one text.
enum class csv_number_style { qt, c_library };

// Appends value as "%.7g" text ("93.18", "1e-05", "inf") in the given style,
// byte for byte as before, through one scaling in double or std::to_chars:
// several times faster, and free of the process locale's decimal comma.
void append_csv_number(QByteArray& out, double value, csv_number_style style = csv_number_style::qt);

// The same text written at out (at most csv_number_max characters, no
// terminating NUL); returns the end of the text.
inline constexpr int csv_number_max = 32;
char* format_csv_number(char* out, double value, csv_number_style style = csv_number_style::qt);

// One CSV field, quoted when it holds a comma, quote or line break.
QByteArray csv_field(const QByteArray& text);

#endif
