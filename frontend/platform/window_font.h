// SPDX-License-Identifier: Apache-2.0
// The one font family of the windows, the plot and the report's screen-like
// parts. The layout was drawn for a narrow 8-point face of 11 pixels; DejaVu
// Sans Condensed (Debian package fonts-dejavu-extra) is the closest shipped
// face, and at the laid-out sizes no caption or label is clipped with it.
#ifndef TOLVANE_WINDOW_FONT_H
#define TOLVANE_WINDOW_FONT_H

#include <QFont>

inline constexpr const char* window_font_family = "DejaVu Sans Condensed";

// Pixel heights of the two sizes in use: every control (and the plot) 11,
// the panel headings 13.
inline constexpr int window_text_pixels = 11;
inline constexpr int heading_text_pixels = 13;

// Returns the window font at the given pixel height, named explicitly so that
// no substitution changes the metrics between machines.
QFont window_font(int pixel_height = window_text_pixels);

// Returns font, squeezed horizontally (stretch down to 50%) just enough for
// text to fit into room pixels; unstretched when it fits already. For the
// narrow fields laid out for a narrower face, so that no digit is cut off.
QFont font_fitting(const QFont& font, const QString& text, int room);

#endif
