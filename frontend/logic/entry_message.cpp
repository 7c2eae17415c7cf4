// SPDX-License-Identifier: Apache-2.0
#include "entry_message.h"

#include <QRegularExpression>

namespace {

QString shortest(float value) { return QString::number(static_cast<double>(value), 'g', 7); }

}  // namespace

bool reads_as_zero(const QString& text)
{
    static const QRegularExpression number(QStringLiteral("^\\s*[+-]?(\\d|\\.\\d)"));
    return !number.match(text).hasMatch();
}

QString entry_message(const QString& name, const QString& typed, float minimum, float maximum,
                      const entered_value& entered)
{
    const QString shown = typed.trimmed();
    const bool zero = reads_as_zero(typed) && !shown.isEmpty();
    if (!entered.adjusted && !zero) return {};
    QString text = name + QStringLiteral(": ");
    if (zero) {
        text += QStringLiteral("\"%1\" is no number, read as 0").arg(shown);
        if (!entered.adjusted) return text;
        text += QStringLiteral(", ");
    } else {
        text += shown + QStringLiteral(" ");
    }
    const bool above = atof_value(typed) > maximum;
    text += above ? QStringLiteral("is above %1").arg(shortest(maximum))
                  : QStringLiteral("is below %1").arg(shortest(minimum));
    text += QStringLiteral("; set to %1").arg(shortest(entered.stored));
    return text;
}
