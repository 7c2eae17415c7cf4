// SPDX-License-Identifier: Apache-2.0
#include "xy_plot.h"

#include <QPainter>
#include <QPainterPath>

#include <algorithm>
#include <cmath>

#include "chart_axes.h"
#include "pressure_units.h"

namespace {

constexpr int margin_left = 64, margin_right = 20, margin_top = 28, margin_bottom = 48;

chart_scale x_scale(const QRect& area, const xy_chart_input& input)
{
    return {input.x_range.lo, input.x_range.hi, double(area.left()), double(area.right())};
}

chart_scale y_scale(const QRect& area, const xy_chart_input& input)
{
    return {input.y_range.lo, input.y_range.hi, double(area.bottom()), double(area.top())};
}

bool finite(const xy_point& p) { return std::isfinite(p.x) && std::isfinite(p.y); }

// The trajectory as one path, broken where a value is not a number.
QPainterPath trajectory_path(const QRect& area, const xy_chart_input& input)
{
    std::vector<QPointF> points;
    points.reserve(input.trajectory.points.size());
    for (const xy_point& p : input.trajectory.points) points.push_back(xy_chart_position(area, input, p));
    return broken_polyline(points);
}

QString chart_title(const xy_chart_input& input)
{
    const xy_trajectory& t = input.trajectory;
    const int last = t.first_time + static_cast<int>(t.points.size()) - 1;
    QString title = QStringLiteral("X\u2013Y plot, %1 to %2")
                        .arg(format_minutes_seconds(t.first_time), format_minutes_seconds(last));
    if (t.cursor_index >= 0)
        title += QStringLiteral(", cursor at %1").arg(format_minutes_seconds(input.cursor_time));
    return title;
}

}  // namespace

QRect xy_chart_area(int width, int height)
{
    return QRect(margin_left, margin_top, std::max(10, width - margin_left - margin_right),
                 std::max(10, height - margin_top - margin_bottom));
}

QPointF xy_chart_position(const QRect& area, const xy_chart_input& input, const xy_point& point)
{
    return {x_scale(area, input).pixel(point.x), y_scale(area, input).pixel(point.y)};
}

void draw_xy_chart(QPainter& painter, int width, int height, const xy_chart_input& input)
{
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.fillRect(QRect(0, 0, width, height), QColor(240, 240, 240));

    const QRect area = xy_chart_area(width, height);
    const chart_scale x = x_scale(area, input);
    const chart_scale y = y_scale(area, input);
    const std::vector<double> x_ticks = nice_ticks(input.x_range.lo, input.x_range.hi, 11);
    const std::vector<double> y_ticks = nice_ticks(input.y_range.lo, input.y_range.hi, 11);
    draw_chart_grid(painter, area, x, x_ticks, y, y_ticks);
    draw_tick_texts(painter, area, x, x_ticks, y, y_ticks);

    painter.setPen(chart_pen(Qt::black));
    text_at(painter, area.center().x(), area.bottom() + 22, Qt::AlignHCenter | Qt::AlignTop, input.x_title);
    upward_text_at(painter, 12, area.center().y(), input.y_title);
    text_at(painter, area.left(), 8, Qt::AlignLeft | Qt::AlignTop, chart_title(input));

    const std::vector<xy_point>& points = input.trajectory.points;
    painter.save();
    painter.setClipRect(area.adjusted(1, 1, 0, 0));
    painter.setPen(chart_pen(xy_trajectory_colour, 1.5));
    painter.drawPath(trajectory_path(area, input));
    // The start: a small hollow square, so the direction of travel reads.
    if (!points.empty() && finite(points.front())) {
        const QPointF start = xy_chart_position(area, input, points.front());
        painter.setBrush(Qt::white);
        painter.drawRect(QRectF(start.x() - 3.5, start.y() - 3.5, 7, 7));
    }
    const int cursor = input.trajectory.cursor_index;
    if (cursor >= 0 && finite(points[static_cast<size_t>(cursor)])) {
        const QPointF at = xy_chart_position(area, input, points[static_cast<size_t>(cursor)]);
        painter.setPen(chart_pen(Qt::white, 1.0));
        painter.setBrush(xy_cursor_colour);
        painter.drawEllipse(at, 5.0, 5.0);
    }
    painter.setBrush(Qt::NoBrush);
    painter.restore();
}
