// SPDX-License-Identifier: Apache-2.0
// The O2 dissociation curve chart drawn onto any QPainter (window, PNG, SVG):
// saturation against PO2, the O2 content axis on the right, the standard
// curve in grey, the subject's curve, the arterial and venous points and the
// text line. Keeps nothing between calls.
#ifndef TOLVANE_O2_CURVE_PLOT_H
#define TOLVANE_O2_CURVE_PLOT_H

#include <QColor>
#include <QPointF>
#include <QRect>
#include <vector>

#include "o2_curve.h"
#include "trend_plot.h"

class QPainter;

// Colours of the two points: each the trace colour of the first display row
// showing an arterial (or mixed venous) O2 variable, else that of row 0.
struct o2_point_colours {
    QColor arterial;
    QColor venous;
};
o2_point_colours o2_point_colours_for(const display_selection& selection);

// Colours of the two curves.
inline const QColor standard_curve_colour{160, 160, 160};
inline const QColor subject_curve_colour{0, 0, 0};

// The chart's plotting area inside a picture of width x height pixels.
QRect o2_chart_area(int width, int height);

// Where a PO2 (mm Hg) and saturation (fraction) fall in that area.
QPointF o2_chart_position(const QRect& area, bool si_pressure, double po2, double saturation);

// Ticks of the right-hand axis: O2 content (ml/100 ml) bound to haemoglobin
// at a saturation, 1.34 ml per g; with half the haemoglobin each content
// sits twice as high.
struct content_tick {
    double content;
    double saturation;
};
std::vector<content_tick> content_axis_ticks(double haemoglobin);

// Draws the whole chart. Without markers the two points are left out (for
// checking the curve beneath them).
void draw_o2_curve_chart(QPainter& painter, int width, int height, const o2_curve_view& view,
                         const o2_point_colours& colours, bool markers = true);

#endif
