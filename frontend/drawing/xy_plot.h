// SPDX-License-Identifier: Apache-2.0
// The X-Y chart drawn onto any QPainter (window, PNG, SVG): the trajectory of
// the recorded seconds joined in order, its start, the cursor second, the
// grid and the labelled axes. Keeps nothing between calls.
#ifndef TOLVANE_XY_PLOT_H
#define TOLVANE_XY_PLOT_H

#include <QColor>
#include <QPointF>
#include <QRect>

#include "xy_trajectory.h"

class QPainter;

inline const QColor xy_trajectory_colour{0, 0, 160};
inline const QColor xy_cursor_colour{255, 0, 0};

// The plotting area inside a picture of width x height pixels.
QRect xy_chart_area(int width, int height);

// Where a point falls in that area for the input's ranges.
QPointF xy_chart_position(const QRect& area, const xy_chart_input& input, const xy_point& point);

// Draws the whole chart.
void draw_xy_chart(QPainter& painter, int width, int height, const xy_chart_input& input);

#endif
