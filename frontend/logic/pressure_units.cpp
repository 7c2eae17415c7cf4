// SPDX-License-Identifier: Apache-2.0
#include "pressure_units.h"

#include <QRegularExpression>
#include <climits>

double mmhg_to_kpa(double mmhg) { return mmhg * kpa_per_mmhg; }

double kpa_to_mmhg(double kpa) { return kpa * mmhg_per_kpa; }

QString format_minutes_seconds(int seconds)
{
    return QString::asprintf("%02d:%02d", seconds / 60, seconds % 60);
}

std::optional<int> parse_minutes_seconds(const QString& text)
{
    static const QRegularExpression pattern(QStringLiteral("^(\\d{1,7}):([0-5]\\d)$"));
    const QRegularExpressionMatch match = pattern.match(text);
    if (!match.hasMatch()) return std::nullopt;
    const long long minutes = match.captured(1).toLongLong();
    const long long total = minutes * 60 + match.captured(2).toLongLong();
    if (total > INT_MAX) return std::nullopt;
    return static_cast<int>(total);
}
