// SPDX-License-Identifier: Apache-2.0
#include "chart_axes.h"

#include <QFontMetrics>
#include <QPainter>

#include <algorithm>
#include <cmath>

std::vector<double> nice_ticks(double lo, double hi, int max_count)
{
    std::vector<double> ticks;
    if (!std::isfinite(lo) || !std::isfinite(hi) || !(hi > lo) || max_count < 2) return ticks;
    // A step of m x 10^e; the rough step's own rounding (0.2 / 10 is a hair
    // above 0.02) must not push it to the next multiple.
    const double rough = (hi - lo) / (max_count - 1) * (1 - 1e-9);
    int e = static_cast<int>(std::floor(std::log10(rough)));
    double m = 10;
    for (double candidate : {1.0, 2.0, 5.0, 10.0}) {
        if (candidate * std::pow(10.0, e) >= rough) {
            m = candidate;
            break;
        }
    }
    if (m == 10) {
        m = 1;
        ++e;
    }
    // Tick k is k x m x 10^e; below 1 it is divided by the exact power of
    // ten, so 3 x 0.1 is 0.3 and not 0.30000000000000004.
    const double scale = std::pow(10.0, std::abs(e));
    const auto value = [&](double k) { return e < 0 ? k * m / scale : k * m * scale; };
    const double step = value(1);
    const double first = std::ceil(lo / step - 1e-9);
    const double last = std::floor(hi / step + 1e-9);
    for (double k = first; k <= last; ++k) ticks.push_back(k == 0 ? 0.0 : value(k));
    return ticks;
}

double tick_step(const std::vector<double>& ticks) { return ticks.size() < 2 ? 0.0 : ticks[1] - ticks[0]; }

QString tick_text(double value, double step)
{
    int decimals = 0;
    if (step > 0 && step < 1) decimals = std::min(6, static_cast<int>(std::ceil(-std::log10(step) - 1e-9)));
    // 0.25 steps need two decimals: keep adding while the text loses the value.
    while (decimals < 6 &&
           std::fabs(std::round(value * std::pow(10.0, decimals)) - value * std::pow(10.0, decimals)) > 1e-6)
        ++decimals;
    if (std::fabs(value) < step * 1e-9) value = 0;  // no "-0"
    return QString::number(value, 'f', decimals);
}

double chart_scale::pixel(double value) const
{
    if (!(hi > lo) && !(hi < lo)) return (from + to) / 2;
    return from + (value - lo) * (to - from) / (hi - lo);
}

void text_at(QPainter& painter, double x, double y, int align, const QString& text)
{
    const QFontMetrics metrics = painter.fontMetrics();
    const double width = metrics.horizontalAdvance(text);
    const double height = metrics.height();
    double left = x, top = y;
    if (align & Qt::AlignRight) left = x - width;
    if (align & Qt::AlignHCenter) left = x - width / 2;
    if (align & Qt::AlignBottom) top = y - height;
    if (align & Qt::AlignVCenter) top = y - height / 2;
    painter.drawText(QPointF(left, top + metrics.ascent()), text);
}

void upward_text_at(QPainter& painter, double x, double y, const QString& text)
{
    painter.save();
    painter.translate(x, y);
    painter.rotate(-90);
    text_at(painter, 0, 0, Qt::AlignHCenter | Qt::AlignVCenter, text);
    painter.restore();
}

QPainterPath broken_polyline(const std::vector<QPointF>& points)
{
    QPainterPath path;
    bool open = false;
    for (const QPointF& p : points) {
        if (!std::isfinite(p.x()) || !std::isfinite(p.y())) {
            open = false;
            continue;
        }
        const QPointF at(std::clamp(p.x(), -1.0e6, 1.0e6), std::clamp(p.y(), -1.0e6, 1.0e6));
        if (open)
            path.lineTo(at);
        else
            path.moveTo(at);
        open = true;
    }
    return path;
}

QPen chart_pen(const QColor& colour, double width)
{
    QPen pen(colour);
    pen.setWidthF(width);
    pen.setCapStyle(Qt::FlatCap);
    pen.setJoinStyle(Qt::RoundJoin);
    return pen;
}

void draw_chart_grid(QPainter& painter, const QRect& area, const chart_scale& x,
                     const std::vector<double>& x_ticks, const chart_scale& y,
                     const std::vector<double>& y_ticks)
{
    painter.fillRect(area, Qt::white);
    painter.setPen(chart_pen(QColor(220, 220, 220)));
    for (double v : x_ticks) {
        const double px = x.pixel(v);
        painter.drawLine(QPointF(px, area.top()), QPointF(px, area.bottom()));
    }
    for (double v : y_ticks) {
        const double py = y.pixel(v);
        painter.drawLine(QPointF(area.left(), py), QPointF(area.right(), py));
    }
    painter.setPen(chart_pen(Qt::black));
    painter.setBrush(Qt::NoBrush);
    painter.drawRect(area);
}

void draw_tick_texts(QPainter& painter, const QRect& area, const chart_scale& x,
                     const std::vector<double>& x_ticks, const chart_scale& y,
                     const std::vector<double>& y_ticks)
{
    painter.setPen(chart_pen(Qt::black));
    const double x_step = tick_step(x_ticks);
    for (double v : x_ticks) {
        const double px = x.pixel(v);
        painter.drawLine(QPointF(px, area.bottom()), QPointF(px, area.bottom() + 4));
        text_at(painter, px, area.bottom() + 5, Qt::AlignHCenter | Qt::AlignTop, tick_text(v, x_step));
    }
    const double y_step = tick_step(y_ticks);
    for (double v : y_ticks) {
        const double py = y.pixel(v);
        painter.drawLine(QPointF(area.left() - 4, py), QPointF(area.left(), py));
        text_at(painter, area.left() - 6, py, Qt::AlignRight | Qt::AlignVCenter, tick_text(v, y_step));
    }
}
