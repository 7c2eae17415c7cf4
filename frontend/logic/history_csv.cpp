#include "history_csv.h"

#include "safe_file.h"
#include "tolvane_model.h"

#include <algorithm>
#include <charconv>

QByteArray csv_field(const QByteArray& text)
{
    return QByteArray::fromStdString(csv_field(bytes_view(text)));
}

QByteArray history_csv_header()
{
    return QByteArray::fromStdString(
        history_csv_header_text(display, std::clamp<int>(num_dsy - 1, 0, TOLVANE_NUM_DISPLAYS)));
}

void append_csv_number(QByteArray& out, double value, csv_number_style style)
{
    char text[csv_number_max];
    out.append(text, format_csv_number(text, value, style) - text);
}

QByteArray history_csv_rows(const run_state& state, int first, int last)
{
    QByteArray rows;
    const int columns = std::clamp<int>(num_dsy - 1, 0, TOLVANE_NUM_DISPLAYS);
    rows.reserve(static_cast<qsizetype>(last - first + 1) * (8 + 11 * columns));
    // One row is built in a buffer of its own and appended whole.
    char row[16 + (1 + csv_number_max) * TOLVANE_NUM_DISPLAYS];
    for (int t = first; t <= last; ++t) {
        char* end = std::to_chars(row, row + 16, t).ptr;
        const int column = history_slot(t);
        for (int d = 0; d < columns; ++d) {
            *end++ = ',';
            end = format_csv_number(end, history_value(state, d, column));
        }
        *end++ = '\n';
        rows.append(row, end - row);
    }
    return rows;
}
