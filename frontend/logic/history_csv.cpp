// SPDX-License-Identifier: Apache-2.0
#include "history_csv.h"

#include "catalogue_view.h"
#include "safe_file.h"
#include "slot_ids.h"

#include <algorithm>
#include <charconv>

QByteArray csv_field(const QByteArray& text)
{
    return QByteArray::fromStdString(csv_field(bytes_view(text)));
}

namespace {

// The display variables a row holds: every one but "No display".
int csv_columns() { return std::max(static_cast<int>(display_records().size()) - 1, 0); }

}  // namespace

QByteArray history_csv_header()
{
    return QByteArray::fromStdString(history_csv_header_text(display_records().data(), csv_columns()));
}

void append_csv_number(QByteArray& out, double value, int digits)
{
    char text[csv_number_max];
    out.append(text, format_csv_number(text, value, digits) - text);
}

QByteArray history_csv_rows(const run_state& state, int first, int last, int digits)
{
    QByteArray rows;
    const int columns = csv_columns();
    rows.reserve(static_cast<qsizetype>(last - first + 1) * (8 + (4 + digits) * columns));
    // One row is built in a buffer of its own and appended whole.
    char row[16 + (1 + csv_number_max) * display_id::count];
    for (int t = first; t <= last; ++t) {
        char* end = std::to_chars(row, row + 16, t).ptr;
        const int column = history_slot(t);
        for (int d = 0; d < columns; ++d) {
            *end++ = ',';
            end = format_csv_number(end, history_value(state, d, column), digits);
        }
        *end++ = '\n';
        rows.append(row, end - row);
    }
    return rows;
}
