// SPDX-License-Identifier: Apache-2.0
// Shared pieces of the two teaching charts (O2 dissociation curve, X-Y plot):
// round tick values, a linear scale between values and pixels, tick texts and
// anchored text. Drawing goes onto any QPainter in its own device pixels.
#ifndef TOLVANE_CHART_AXES_H
#define TOLVANE_CHART_AXES_H

#include <QColor>
#include <QPainterPath>
#include <QPen>
#include <QPointF>
#include <QRect>
#include <QString>
#include <vector>

class QPainter;

// Tick values at multiples of 1, 2 or 5 x 10^k inside [lo, hi] (ends
// included when they fall on a multiple), at most max_count of them and as
// many as that allows. Empty when the range is empty or not finite.
std::vector<double> nice_ticks(double lo, double hi, int max_count);

// The spacing of nice_ticks' values (0 when fewer than two).
double tick_step(const std::vector<double>& ticks);

// A tick value with as many decimals as its step needs ("0.5", "12", "2.25").
QString tick_text(double value, double step);

// Linear map of [lo, hi] onto the pixels [from, to] (to may be below from,
// as a vertical axis runs upward). A range of zero width maps to its middle.
struct chart_scale {
    double lo = 0, hi = 1;
    double from = 0, to = 1;
    double pixel(double value) const;
};

// Text with the given point of its box at (x, y): align is a combination of
// Qt::AlignLeft/Right/HCenter and Qt::AlignTop/Bottom/VCenter.
void text_at(QPainter& painter, double x, double y, int align, const QString& text);

// The same, turned a quarter left (reads upward), centred on (x, y).
void upward_text_at(QPainter& painter, double x, double y, const QString& text);

// A line through the points in order, broken where a point is not finite;
// coordinates far off the chart are held at +-1e6 pixels so that the
// rasteriser stays exact (the caller clips to its area).
QPainterPath broken_polyline(const std::vector<QPointF>& points);

// A pen of the given colour and width in device pixels.
QPen chart_pen(const QColor& colour, double width = 1.0);

// White chart area with a black frame, grid lines at the ticks in light grey.
void draw_chart_grid(QPainter& painter, const QRect& area, const chart_scale& x,
                     const std::vector<double>& x_ticks, const chart_scale& y,
                     const std::vector<double>& y_ticks);

// Tick texts below the area (x) and left of it (y).
void draw_tick_texts(QPainter& painter, const QRect& area, const chart_scale& x,
                     const std::vector<double>& x_ticks, const chart_scale& y,
                     const std::vector<double>& y_ticks);

#endif
