// SPDX-License-Identifier: Apache-2.0
#include "event_marks.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPolygonF>

#include <algorithm>
#include <cmath>

#include "catalogue_view.h"
#include "slot_ids.h"

namespace {

QString numbers_label(int first, int last)
{
    if (first == last) return QString::number(first);
    if (last == first + 1) return QStringLiteral("%1,%2").arg(first).arg(last);
    return QStringLiteral("%1-%2").arg(first).arg(last);
}

QPen plain_pen(const QColor& colour)
{
    QPen pen(colour);
    pen.setWidth(1);
    pen.setCosmetic(false);
    return pen;
}

// Pixels of the plot's time axis: x = 160 is second 0 of the page, the last
// pixel cw - 161.
int axis_pixels(int cw) { return std::max(cw - 321, 1); }

}  // namespace

std::vector<event_mark> event_marks(const std::vector<run_event>& branch)
{
    std::vector<event_mark> marks;
    int number = 0;
    int first = 0;
    for (std::size_t i = 0; i < branch.size(); ++i) {
        ++number;
        if (i == 0 || branch[i].time != branch[i - 1].time) first = number;
        const bool last_of_time = i + 1 == branch.size() || branch[i + 1].time != branch[i].time;
        if (last_of_time) marks.push_back({branch[i].time, numbers_label(first, number)});
    }
    return marks;
}

void draw_event_marks(QPainter& painter, const std::vector<event_mark>& marks,
                      const std::function<double(int)>& x_of, int left, int right)
{
    if (marks.empty()) return;
    painter.save();
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setPen(plain_pen(event_mark_colour));
    painter.setBrush(event_mark_colour);
    const QFontMetrics metrics = painter.fontMetrics();
    for (const event_mark& mark : marks) {
        const double x = x_of(mark.time);
        if (x < left || x > right) continue;
        const double tip = scale_bottom_y - 1;
        const QPointF triangle[] = {{x, tip}, {x - 4, tip - 7}, {x + 4, tip - 7}};
        painter.drawPolygon(triangle, 3);
        const int width = metrics.horizontalAdvance(mark.label);
        painter.drawText(QPointF(x - width / 2.0, tip - 9 - metrics.descent()), mark.label);
    }
    painter.restore();
}

void draw_page_event_marks(QPainter& painter, int cw, const run_state& state,
                           const std::vector<event_mark>& marks)
{
    draw_event_marks(
        painter, marks, [&](int t) { return double(t - state.win_start + plot_time_origin_x); },
        plot_time_origin_x, cw - 160);
}

double whole_run_x(int cw, int seconds, int t)
{
    const int last = std::max(seconds - 1, 1);
    const int pixels = axis_pixels(cw);
    if (last <= pixels) return plot_time_origin_x + t;
    return plot_time_origin_x + double(t) * pixels / last;
}

int whole_run_time(int cw, int seconds, int x)
{
    const int last = std::max(seconds - 1, 1);
    const int pixels = axis_pixels(cw);
    const double t =
        last <= pixels ? double(x - plot_time_origin_x) : double(x - plot_time_origin_x) * last / pixels;
    return std::clamp(static_cast<int>(std::lround(t)), 0, std::max(seconds - 1, 0));
}

namespace {

// Minutes between labelled lines so that labels stand at least 40 pixels apart.
int label_step_minutes(double pixels_per_minute)
{
    for (int step : {1, 2, 5, 10, 15, 20, 30, 60, 120, 240, 480, 960})
        if (step * pixels_per_minute >= 40) return step;
    return 1920;
}

void text_at(QPainter& painter, double x, int y, const QString& text)
{
    painter.drawText(QPointF(x, y + painter.fontMetrics().ascent()), text);
}

}  // namespace

void paint_whole_run(QPainter& painter, int cw, const run_state& state, const display_selection& display_sel,
                     int seconds, const std::function<double(int d, int t)>& value,
                     const std::vector<event_mark>& marks)
{
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    // The frame and scales of the page, without its minute labels.
    painter.fillRect(QRect(QPoint(2, 0), QPoint(cw - 1, plot_area_height - 1)), Qt::white);
    painter.setPen(plain_pen(Qt::black));
    const QPoint border[] = {{2, 381}, {cw - 1, 381}, {cw - 1, 0}, {2, 0}, {2, 381}};
    painter.drawPolyline(border, 5);
    for (int k = 0; k <= 10; ++k) {
        const int y = scale_bottom_y - 333 * k / 10;
        painter.drawLine(161, y, cw - 160, y);
    }
    const double per_minute = whole_run_x(cw, seconds, 60) - whole_run_x(cw, seconds, 0);
    const int step = label_step_minutes(per_minute);
    for (int minute = 0;; minute += step) {
        const double x = whole_run_x(cw, seconds, minute * 60);
        if (x > cw - 160) break;
        painter.drawLine(QPointF(x, scale_bottom_y), QPointF(x, scale_top_y));
        // A label that would run into "minutes" is left out; its line stays.
        const QString label = QString::number(minute);
        if (x - 4 + painter.fontMetrics().horizontalAdvance(label) < cw - 156)
            text_at(painter, x - 4, 355, label);
    }
    painter.drawLine(cw - 160, scale_bottom_y, cw - 160, scale_top_y);
    text_at(painter, cw - 152, 355, QStringLiteral("minutes"));
    text_at(painter, 166, 2,
            QStringLiteral("whole run: 0:00 to %1:%2")
                .arg(std::max(seconds - 1, 0) / 60)
                .arg(std::max(seconds - 1, 0) % 60, 2, 10, QLatin1Char('0')));
    draw_scales(painter, cw, display_sel);

    // Traces: every second as a point of one polyline per stretch inside the limits.
    const std::span<const catalogue_record> displays = display_records();
    for (int k = 0; k < 8; ++k) {
        const int v = display_sel[static_cast<size_t>(k)];
        if (v < 0 || static_cast<size_t>(v) >= displays.size() || v >= display_id::no_display) continue;
        const double minimum = displays[static_cast<size_t>(v)].minimum;
        const double maximum = displays[static_cast<size_t>(v)].maximum;
        if (minimum == maximum) continue;
        painter.setPen(plain_pen(trace_colour(k)));
        QPolygonF line;
        const auto flush = [&] {
            if (line.size() > 1) painter.drawPolyline(line);
            line.clear();
        };
        for (int t = 0; t < seconds; ++t) {
            const double b = value(v, t);
            if (minimum < b && b < maximum) {
                line << QPointF(whole_run_x(cw, seconds, t),
                                353.0 - 333.0 * (b - minimum) / (maximum - minimum));
            } else {
                flush();
            }
        }
        flush();
    }
    if (state.cursor_time >= 0 && state.cursor_time < seconds) {
        QPen red = plain_pen(colour_of(0x0000FF));
        red.setStyle(Qt::DashLine);
        painter.setPen(red);
        const double x = whole_run_x(cw, seconds, state.cursor_time);
        painter.drawLine(QPointF(x, scale_bottom_y), QPointF(x, scale_top_y));
    }
    painter.setPen(plain_pen(Qt::black));
    draw_event_marks(
        painter, marks, [&](int t) { return whole_run_x(cw, seconds, t); }, plot_time_origin_x, cw - 160);
}
