// SPDX-License-Identifier: Apache-2.0
// The trend plot of the main window: white area, value grid, time axis, the
// eight scales and traces, the cursor and the credits box. Every function
// draws straight onto a QPainter in client pixels of a window cw pixels wide;
// none keeps a picture or state of its own. The run state must have been
// prepared for the same width (prepare_redraw) before drawing.
#ifndef TOLVANE_TREND_PLOT_H
#define TOLVANE_TREND_PLOT_H

#include <array>
#include <cstdint>

#include <QColor>
#include <QImage>
#include <QString>

#include "plot_geometry.h"
#include "run_state.h"

class QPainter;
struct reference_run;

// The colour of each display row, its scale, trace and value field, as stored
// words 0x00BBGGRR: black, red, green, blue, fuchsia, olive, teal, grey.
inline constexpr std::array<uint32_t, 8> trace_colours = {
    0x000000, 0x0000FF, 0x008000, 0xFF0000, 0xFF00FF, 0x008080, 0x808000, 0x808080,
};

// The colour of a stored 0x00BBGGRR word.
QColor colour_of(uint32_t bgr);

// Row k's colour as a QColor (k in 0..7).
QColor trace_colour(int row);

// printf format of the labels of a scale with this maximum: "%.0f" from 100
// up, "%.1f" from 10, "%0.1f" from 1, "%.0f" below 1.
const char* scale_format(double maximum);

// The display catalogue indices shown in the eight display rows.
using display_selection = std::array<int, 8>;

// White area with its border, value grid, time axis with minute labels and
// quarter/half-minute ticks, the right-hand line and "minutes".
void draw_plot_frame(QPainter& painter, int cw, const run_state& state);

// Scale k for each display row whose variable has distinct limits.
void draw_scales(QPainter& painter, int cw, const display_selection& display_sel);

// The traces of the rows with distinct limits. A segment is drawn only when
// the value it ends at lies strictly inside the limits. Returns the last
// plotted time (last_plotted_time), whatever the values.
int draw_traces(QPainter& painter, int cw, const run_state& state, const display_selection& display_sel);

// The reference run's traces for the same rows, scales and time axis: thin
// dashed lines in each row's colour, drawn under the live traces, with the
// live traces' rule (a segment only where its end value lies strictly
// inside the limits). They end where the reference ends.
void draw_reference_traces(QPainter& painter, int cw, const run_state& state,
                           const display_selection& display_sel, const reference_run& reference);

// True when time t lies within the plotted window of width cw, where the
// cursor can be drawn (x from 160 to cw - 160).
bool cursor_within_plot(const run_state& state, int cw, int t);

// The dashed red cursor with its arrowheads at time t. Returns false, and
// draws nothing, when t lies outside the plotted window (the caller then
// marks the time field yellow).
bool draw_cursor(QPainter& painter, int cw, const run_state& state, int t);

// The credits box with its texts when shown; logo, when not null, is drawn
// into the logo's place (a window may show the logo as a control instead).
// model_version is the model library's mdl_ver text.
void draw_credits(QPainter& painter, bool shown, const QString& model_version, const QImage* logo);

// Where the logo sits inside the credits box (left, top, width, height).
inline constexpr int logo_left = 310, logo_top = 30, logo_width = 350, logo_height = 190;

// Colour of the time field while the cursor lies outside the plot (yellow).
inline constexpr uint32_t cursor_outside_colour = 0x00FFFF;

// The whole plot (frame, scales, reference traces when a reference is given,
// traces or credits, cursor) in that order. Returns whether the cursor was
// drawn. The painter's font is used for text.
bool paint_trend_plot(QPainter& painter, int cw, const run_state& state, const display_selection& display_sel,
                      const QString& model_version, const QImage* logo,
                      const reference_run* reference = nullptr);

#endif
