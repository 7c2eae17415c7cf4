// SPDX-License-Identifier: Apache-2.0
// The run's events on the trend plot's time axis: small numbered triangles,
// and the plot of the whole run that View > Whole run shows instead of the
// 11.5-minute page. Drawn in client pixels like the rest of the trend plot.
#ifndef TOLVANE_EVENT_MARKS_H
#define TOLVANE_EVENT_MARKS_H

#include <QColor>
#include <QString>

#include <functional>
#include <vector>

#include "event_log.h"
#include "run_state.h"
#include "trend_plot.h"

// Events sharing a second share one mark; its label lists their numbers.
struct event_mark {
    int time = 0;
    QString label;  // "3", "3,4" or "3-6"
};

// Colour of the marks: an orange no trace uses.
inline const QColor event_mark_colour{214, 96, 0};

// The marks of the events of the run as it stands, numbered from 1 in order.
std::vector<event_mark> event_marks(const std::vector<run_event>& branch);

// Draws each mark whose x (x_of(time)) lies from left to right: a filled
// triangle pointing down at the time axis, its label above it.
void draw_event_marks(QPainter& painter, const std::vector<event_mark>& marks,
                      const std::function<double(int)>& x_of, int left, int right);

// The marks on the page the plot shows now (one pixel a second from win_start).
void draw_page_event_marks(QPainter& painter, int cw, const run_state& state,
                           const std::vector<event_mark>& marks);

// Where second t lies when the whole run of `seconds` seconds (0 .. seconds
// - 1) is fitted into a plot cw wide; runs shorter than the page keep one
// pixel a second from 0:00.
double whole_run_x(int cw, int seconds, int t);
// The second at x in the whole-run plot (the inverse of whole_run_x, rounded).
int whole_run_time(int cw, int seconds, int x);

// The whole run: frame, value grid, a time axis labelled every few minutes,
// scales, traces of value(d, t) for t in 0 .. seconds - 1 (units in force),
// the cursor at state.cursor_time and the marks.
void paint_whole_run(QPainter& painter, int cw, const run_state& state, const display_selection& display_sel,
                     int seconds, const std::function<double(int d, int t)>& value,
                     const std::vector<event_mark>& marks);

#endif
