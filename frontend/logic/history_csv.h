// The recorded history as CSV text: one column per display variable, one row
// per simulated second, written a minute at a time so any length works.
#ifndef TOLVANE_HISTORY_CSV_H
#define TOLVANE_HISTORY_CSV_H

#include "csv_text.h"
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

// append_csv_number (csv_text.h) onto a byte array.
void append_csv_number(QByteArray& out, double value, csv_number_style style = csv_number_style::qt);

// One CSV field, quoted when it holds a comma, quote or line break.
QByteArray csv_field(const QByteArray& text);

#endif
