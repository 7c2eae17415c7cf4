#include "history_csv.h"

#include "cp1252.h"
#include "tolvane_model.h"

#include <QString>

QByteArray csv_field(const QByteArray& text)
{
    if (!text.contains(',') && !text.contains('"') && !text.contains('\n') && !text.contains('\r'))
        return text;
    QByteArray quoted = text;
    quoted.replace("\"", "\"\"");
    return '"' + quoted + '"';
}

QByteArray history_csv_header()
{
    QByteArray header = "time_s";
    for (int d = 0; d < num_dsy - 1 && d < TOLVANE_NUM_DISPLAYS; ++d) {
        const QString unit = from_cp1252(display[d].unit);
        QString label = from_cp1252(display[d].name);
        if (!unit.isEmpty()) label += QStringLiteral(" (") + unit + QStringLiteral(")");
        header += ',' + csv_field(label.toUtf8());
    }
    return header + '\n';
}

QByteArray history_csv_rows(const run_state& state, int first, int last)
{
    QByteArray rows;
    for (int t = first; t <= last; ++t) {
        QByteArray row = QByteArray::number(t);
        const int column = history_slot(t);
        for (int d = 0; d < num_dsy - 1 && d < TOLVANE_NUM_DISPLAYS; ++d)
            row += ',' + QString::asprintf("%.7g", history_value(state, d, column)).toLatin1();
        rows += row + '\n';
    }
    return rows;
}
