// SPDX-License-Identifier: Apache-2.0
#include "validation_figures.h"

#include <QFont>
#include <QFontMetrics>
#include <QPainter>
#include <QPainterPath>
#include <cmath>

namespace {

const QColor model_colour(25, 90, 190);
const QColor published_colour(200, 30, 30);
const QColor band_colour(200, 30, 30, 50);
const QColor grid_colour(225, 225, 225);

// A "nice" tick step giving about `count` ticks over span.
double tick_step(double span, int count)
{
    const double raw = span / count;
    const double power = std::pow(10.0, std::floor(std::log10(raw)));
    for (double m : {1.0, 2.0, 2.5, 5.0, 10.0})
        if (raw <= m * power) return m * power;
    return 10 * power;
}

QString tick_text(double v, double step)
{
    const int decimals = step >= 1 ? 0 : static_cast<int>(std::ceil(-std::log10(step)));
    return QString::number(v, 'f', decimals);
}

void draw_panel(QPainter& p, const chart_panel& c, const QRect& area)
{
    const QFont font(QStringLiteral("DejaVu Sans"), 9);
    const QFont title_font(QStringLiteral("DejaVu Sans"), 10, QFont::Bold);
    p.setFont(font);
    const QFontMetrics fm(font);
    const QRect plot(area.left() + 70, area.top() + 30, area.width() - 90, area.height() - 75);

    auto X = [&](double x) {
        double f = (x - c.x_min) / (c.x_max - c.x_min);
        if (c.x_reversed) f = 1 - f;
        return plot.left() + f * plot.width();
    };
    auto Y = [&](double y) { return plot.bottom() - (y - c.y_min) / (c.y_max - c.y_min) * plot.height(); };

    // Grid and ticks.
    const double xs = tick_step(c.x_max - c.x_min, 8), ys = tick_step(c.y_max - c.y_min, 6);
    for (double x = std::ceil(c.x_min / xs) * xs; x <= c.x_max + xs * 1e-6; x += xs) {
        p.setPen(grid_colour);
        p.drawLine(QPointF(X(x), plot.top()), QPointF(X(x), plot.bottom()));
        p.setPen(Qt::black);
        const QString t = tick_text(x, xs);
        p.drawText(QPointF(X(x) - fm.horizontalAdvance(t) / 2.0, plot.bottom() + fm.ascent() + 4), t);
    }
    for (double y = std::ceil(c.y_min / ys) * ys; y <= c.y_max + ys * 1e-6; y += ys) {
        p.setPen(grid_colour);
        p.drawLine(QPointF(plot.left(), Y(y)), QPointF(plot.right(), Y(y)));
        p.setPen(Qt::black);
        const QString t = tick_text(y, ys);
        p.drawText(QPointF(plot.left() - 6 - fm.horizontalAdvance(t), Y(y) + fm.ascent() / 2.0 - 1), t);
    }
    p.setPen(QPen(Qt::black, 1));
    p.setBrush(Qt::NoBrush);
    p.drawRect(plot);

    // Labels.
    p.drawText(QRect(plot.left(), plot.bottom() + 20, plot.width(), 20), Qt::AlignHCenter | Qt::AlignTop,
               c.x_label);
    p.save();
    p.translate(area.left() + 14, plot.center().y());
    p.rotate(-90);
    p.drawText(QRect(-plot.height() / 2, -10, plot.height(), 20), Qt::AlignCenter, c.y_label);
    p.restore();
    p.setFont(title_font);
    p.drawText(QRect(plot.left(), area.top() + 5, plot.width(), 20), Qt::AlignLeft | Qt::AlignVCenter,
               c.title);
    p.setFont(font);

    p.save();
    p.setClipRect(plot.adjusted(-6, -6, 6, 6));
    // Published ranges.
    for (const published_range& r : c.ranges) {
        const double x0 = X(r.x - r.half_width), x1 = X(r.x + r.half_width);
        const QRectF band(QPointF(std::min(x0, x1), Y(r.y_high)), QPointF(std::max(x0, x1), Y(r.y_low)));
        p.fillRect(band, band_colour);
        p.setPen(QPen(published_colour, 1));
        p.drawRect(band);
    }
    // The model: line through consecutive values, dots at each.
    p.setPen(QPen(model_colour, 2));
    for (std::size_t i = 1; i < c.model.size(); ++i)
        if (c.model[i - 1].second && c.model[i].second)
            p.drawLine(QPointF(X(c.model[i - 1].first), Y(*c.model[i - 1].second)),
                       QPointF(X(c.model[i].first), Y(*c.model[i].second)));
    p.setBrush(model_colour);
    for (const auto& [x, y] : c.model)
        if (y) p.drawEllipse(QPointF(X(x), Y(*y)), 2.5, 2.5);
    // A published relation.
    if (c.published_line.size() >= 2) {
        p.setPen(QPen(published_colour, 1.5, Qt::DashLine));
        QPainterPath path;
        path.moveTo(X(c.published_line[0].first), Y(c.published_line[0].second));
        for (std::size_t i = 1; i < c.published_line.size(); ++i)
            path.lineTo(X(c.published_line[i].first), Y(c.published_line[i].second));
        p.drawPath(path);
    }
    // Published points with error bars.
    p.setPen(QPen(published_colour, 1.5));
    p.setBrush(published_colour);
    for (const published_point& q : c.points) {
        if (q.y_high > q.y_low) {
            p.drawLine(QPointF(X(q.x), Y(q.y_low)), QPointF(X(q.x), Y(q.y_high)));
            p.drawLine(QPointF(X(q.x) - 5, Y(q.y_low)), QPointF(X(q.x) + 5, Y(q.y_low)));
            p.drawLine(QPointF(X(q.x) - 5, Y(q.y_high)), QPointF(X(q.x) + 5, Y(q.y_high)));
        }
        p.drawEllipse(QPointF(X(q.x), Y(q.y)), 4.5, 4.5);
    }
    p.restore();

    // Legend, top right inside the plot.
    const bool has_published = !c.points.empty() || !c.ranges.empty() || c.published_line.size() >= 2;
    const int lw =
        std::max(fm.horizontalAdvance(c.model_label), fm.horizontalAdvance(c.published_label)) + 40;
    const int lh = has_published ? 40 : 22;
    const QRect legend(c.legend_right ? plot.right() - lw - 8 : plot.left() + 8,
                       c.legend_bottom ? plot.bottom() - lh - 8 : plot.top() + 8, lw, lh);
    p.setPen(QPen(Qt::gray, 1));
    p.setBrush(Qt::white);
    p.drawRect(legend);
    p.setPen(QPen(model_colour, 2));
    p.drawLine(legend.left() + 6, legend.top() + 11, legend.left() + 26, legend.top() + 11);
    p.setPen(Qt::black);
    p.drawText(QPointF(legend.left() + 32, legend.top() + 11 + fm.ascent() / 2.0 - 1), c.model_label);
    if (has_published) {
        if (c.points.empty() && c.ranges.empty()) {
            p.setPen(QPen(published_colour, 1.5, Qt::DashLine));
            p.drawLine(legend.left() + 6, legend.top() + 29, legend.left() + 26, legend.top() + 29);
        } else {
            p.setPen(QPen(published_colour, 1.5));
            p.setBrush(published_colour);
            p.drawEllipse(QPointF(legend.left() + 16, legend.top() + 29), 4, 4);
        }
        p.setPen(Qt::black);
        p.drawText(QPointF(legend.left() + 32, legend.top() + 29 + fm.ascent() / 2.0 - 1), c.published_label);
    }
}

}  // namespace

QImage draw_chart_panels(const std::vector<chart_panel>& panels, int width, int panel_height)
{
    QImage image(width, panel_height * static_cast<int>(std::max<std::size_t>(panels.size(), 1)),
                 QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter p(&image);
    p.setRenderHint(QPainter::Antialiasing, true);
    p.setRenderHint(QPainter::TextAntialiasing, true);
    for (std::size_t i = 0; i < panels.size(); ++i)
        draw_panel(p, panels[i], QRect(0, static_cast<int>(i) * panel_height, width, panel_height));
    p.end();
    return image;
}
