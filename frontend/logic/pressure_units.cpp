#include "pressure_units.h"

#include "number_text.h"

QString format_minutes_seconds(int seconds) { return QString::fromStdString(minutes_seconds_text(seconds)); }

std::optional<int> parse_minutes_seconds(const QString& text)
{
    return read_minutes_seconds(text.toStdString());
}
