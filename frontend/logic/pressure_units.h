// The front end's unit conversions, one named function each, used everywhere:
// pressures between mm Hg (the model's unit) and kPa (shown on request,
// pressure_mode.h), and simulated seconds as the "mm:ss" text of the panels,
// memo and report (number_text.h), here as Qt strings.
#ifndef TOLVANE_PRESSURE_UNITS_H
#define TOLVANE_PRESSURE_UNITS_H

#include "pressure_mode.h"

#include <QString>
#include <optional>

// format_minutes_seconds as a QString.
QString format_minutes_seconds(int seconds);

// parse_minutes_seconds of a QString.
std::optional<int> parse_minutes_seconds(const QString& text);

#endif
