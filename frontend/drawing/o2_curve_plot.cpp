// SPDX-License-Identifier: Apache-2.0
#include "o2_curve_plot.h"

#include <QPainter>
#include <QPainterPath>
#include <QPolygonF>

#include <cmath>

#include "chart_axes.h"
#include "pressure_units.h"
#include "slot_ids.h"

namespace {

// Margins: saturation labels and title left, content axis right, PO2 labels,
// axis title and the text line below.
constexpr int margin_left = 58, margin_right = 66, margin_top = 28, margin_bottom = 66;

// Bound O2 per gram of haemoglobin (ml), as the model's chemistry takes it.
constexpr double o2_per_gram_hb = 1.34;

// Points of a drawn curve per chart: one every 0.25 mm Hg.
constexpr int curve_intervals = 480;

// Radius of the point markers.
constexpr double marker_radius = 5.5;

// The display variables that count as arterial O2 and as mixed venous O2
// when the chart looks for a row colour; display 53's kPa record reads
// "Venous partial O2".
bool is_arterial_o2(int v)
{
    using namespace display_id;
    return v == arterial_po2 || v == arterial_saturation || v == arterial_o2_content ||
           v == arterial_o2_amount || v == arterial_pool_o2_content;
}
bool is_venous_o2(int v)
{
    using namespace display_id;
    return v == venous_o2_content || v == venous_o2_amount || v == tissue_po2;
}

QColor first_row_colour(const display_selection& selection, bool (*wanted)(int))
{
    for (int row = 0; row < 8; ++row)
        if (wanted(selection[static_cast<size_t>(row)])) return trace_colour(row);
    return trace_colour(0);
}

double po2_axis_max(bool si) { return si ? curve_po2_max_kpa : curve_po2_max_mmhg; }

// The curve as a path through its points, clipped to the chart's PO2 range.
QPainterPath curve_path(const QRect& area, bool si, const curve_conditions& conditions)
{
    const double po2_max = si ? kpa_to_mmhg(curve_po2_max_kpa) : curve_po2_max_mmhg;
    std::vector<QPointF> points;
    for (const curve_point& p : curve_points(conditions, po2_max, curve_intervals))
        points.push_back(o2_chart_position(area, si, p.po2, p.saturation));
    return broken_polyline(points);
}

void draw_marker(QPainter& painter, QPointF at, const QColor& colour, bool filled)
{
    painter.setPen(chart_pen(filled ? Qt::white : colour, filled ? 1.0 : 2.0));
    painter.setBrush(filled ? QBrush(colour) : QBrush(Qt::white));
    painter.drawEllipse(at, marker_radius, marker_radius);
    painter.setBrush(Qt::NoBrush);
}

void draw_content_axis(QPainter& painter, const QRect& area, double haemoglobin)
{
    painter.setPen(chart_pen(Qt::black));
    const std::vector<content_tick> ticks = content_axis_ticks(haemoglobin);
    std::vector<double> contents;
    for (const content_tick& t : ticks) contents.push_back(t.content);
    const double step = tick_step(contents);
    for (const content_tick& t : ticks) {
        const double y = area.bottom() - t.saturation * area.height();
        painter.drawLine(QPointF(area.right(), y), QPointF(area.right() + 4, y));
        text_at(painter, area.right() + 6, y, Qt::AlignLeft | Qt::AlignVCenter, tick_text(t.content, step));
    }
    upward_text_at(painter, area.right() + 50, area.center().y(),
                   QStringLiteral("O2 content bound to Hb (ml/100 ml)"));
}

bool finite_point(const curve_point& p) { return std::isfinite(p.po2) && std::isfinite(p.saturation); }

// A point beyond the PO2 scale (breathing O2, or CO2 that drives the
// ventilation up) is a triangle on the right edge pointing on, with its PO2.
void draw_point_beyond_scale(QPainter& painter, QPointF at, bool si, double po2, const QColor& colour,
                             bool filled)
{
    const QPolygonF arrow{QPointF(at.x() - 12, at.y() - 6.5), at, QPointF(at.x() - 12, at.y() + 6.5)};
    painter.setPen(chart_pen(colour, filled ? 1.0 : 2.0));
    painter.setBrush(filled ? QBrush(colour) : QBrush(Qt::white));
    painter.drawPolygon(arrow);
    painter.setBrush(Qt::NoBrush);
    painter.setPen(chart_pen(Qt::black));
    const QString text =
        si ? QString::asprintf("PO2 %.1f kPa", mmhg_to_kpa(po2)) : QString::asprintf("PO2 %.0f mm Hg", po2);
    text_at(painter, at.x() - 4, at.y() + 8, Qt::AlignRight | Qt::AlignTop, text);
}

void draw_point(QPainter& painter, const QRect& area, bool si, const curve_point& p, const QColor& colour,
                bool filled)
{
    if (!finite_point(p)) return;
    QPointF at = o2_chart_position(area, si, p.po2, p.saturation);
    if (at.x() <= area.right() + 0.5) {
        draw_marker(painter, at, colour, filled);
        return;
    }
    at.setX(area.right());
    draw_point_beyond_scale(painter, at, si, p.po2, colour, filled);
}

}  // namespace

o2_point_colours o2_point_colours_for(const display_selection& selection)
{
    return {first_row_colour(selection, is_arterial_o2), first_row_colour(selection, is_venous_o2)};
}

QRect o2_chart_area(int width, int height)
{
    return QRect(margin_left, margin_top, std::max(10, width - margin_left - margin_right),
                 std::max(10, height - margin_top - margin_bottom));
}

QPointF o2_chart_position(const QRect& area, bool si, double po2, double saturation)
{
    const double shown = si ? mmhg_to_kpa(po2) : po2;
    const chart_scale x{0, po2_axis_max(si), double(area.left()), double(area.right())};
    const chart_scale y{0, 1, double(area.bottom()), double(area.top())};
    return {x.pixel(shown), y.pixel(saturation)};
}

std::vector<content_tick> content_axis_ticks(double haemoglobin)
{
    std::vector<content_tick> ticks;
    const double full = o2_per_gram_hb * haemoglobin;
    if (!(full > 0)) return ticks;
    for (double c : nice_ticks(0, full, 11)) ticks.push_back({c, c / full});
    return ticks;
}

void draw_o2_curve_chart(QPainter& painter, int width, int height, const o2_curve_view& view,
                         const o2_point_colours& colours, bool markers)
{
    painter.setRenderHint(QPainter::Antialiasing, true);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    painter.fillRect(QRect(0, 0, width, height), QColor(240, 240, 240));

    const bool si = view.si_pressure;
    const QRect area = o2_chart_area(width, height);
    const chart_scale x{0, po2_axis_max(si), double(area.left()), double(area.right())};
    const chart_scale y{0, 100, double(area.bottom()), double(area.top())};
    const std::vector<double> x_ticks = nice_ticks(0, po2_axis_max(si), si ? 9 : 13);
    const std::vector<double> y_ticks = nice_ticks(0, 100, 11);
    draw_chart_grid(painter, area, x, x_ticks, y, y_ticks);
    draw_tick_texts(painter, area, x, x_ticks, y, y_ticks);
    draw_content_axis(painter, area, view.subject.haemoglobin);

    painter.setPen(chart_pen(Qt::black));
    text_at(painter, area.center().x(), area.bottom() + 22, Qt::AlignHCenter | Qt::AlignTop,
            si ? QStringLiteral("PO2 (kPa)") : QStringLiteral("PO2 (mm Hg)"));
    upward_text_at(painter, 14, area.center().y(), QStringLiteral("O2 saturation (%)"));
    text_at(painter, area.left(), 8, Qt::AlignLeft | Qt::AlignTop,
            QStringLiteral("O2 dissociation curve at %1%2")
                .arg(format_minutes_seconds(view.time),
                     view.in_the_past ? QStringLiteral(" (T, DPG, Hb as now)") : QString()));
    // The legend of the grey curve sits in the corner no curve reaches
    // (high PO2, low saturation).
    painter.setPen(chart_pen(QColor(100, 100, 100)));
    text_at(painter, area.right() - 6, area.bottom() - 4, Qt::AlignRight | Qt::AlignBottom,
            si ? QStringLiteral("grey: standard curve (pH 7.4, PCO2 5.33 kPa, 37 \u00B0C)")
               : QStringLiteral("grey: standard curve (pH 7.4, PCO2 40 mm Hg, 37 \u00B0C)"));
    painter.setPen(chart_pen(Qt::black));
    text_at(painter, area.left(), area.bottom() + 42, Qt::AlignLeft | Qt::AlignTop, o2_curve_summary(view));

    painter.save();
    painter.setClipRect(area.adjusted(-1, -1, 1, 1));
    painter.setPen(chart_pen(standard_curve_colour, 2.0));
    painter.drawPath(curve_path(area, si, view.standard));
    painter.setPen(chart_pen(subject_curve_colour, 1.5));
    painter.drawPath(curve_path(area, si, view.subject));
    painter.restore();

    if (!markers) return;
    // The venous point first, so that the arterial one stays whole where they meet.
    draw_point(painter, area, si, view.venous, colours.venous, false);
    draw_point(painter, area, si, view.arterial, colours.arterial, true);
}
