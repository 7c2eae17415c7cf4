// SPDX-License-Identifier: Apache-2.0
// The front end's unit conversions, one named function each, used everywhere:
// pressures between mm Hg (the model's unit) and kPa (shown on request), and
// simulated seconds as the "mm:ss" text of the panels, memo and report.
#ifndef TOLVANE_PRESSURE_UNITS_H
#define TOLVANE_PRESSURE_UNITS_H

#include <QString>
#include <optional>

// 1 mm Hg = 0.1332 kPa; the inverse is written out as the model's catalogue
// conversion uses it (1 / 0.1332).
inline constexpr double kpa_per_mmhg = 0.1332;
inline constexpr double mmhg_per_kpa = 7.507507507507507;

// Returns the pressure in kPa of a pressure given in mm Hg (double precision).
double mmhg_to_kpa(double mmhg);

// Returns the pressure in mm Hg of a pressure given in kPa (double precision).
double kpa_to_mmhg(double kpa);

// Returns "%02d:%02d" of seconds / 60 and seconds % 60; minutes are not
// wrapped at 60 (75 minutes read "75:00"); negative times keep C division.
QString format_minutes_seconds(int seconds);

// Reads "m:ss" or "mm:ss" (any count of minute digits, exactly two second
// digits below 60) back into seconds; nullopt for any other text.
std::optional<int> parse_minutes_seconds(const QString& text);

#endif
