// SPDX-License-Identifier: Apache-2.0
#include "trend_plot.h"

#include <algorithm>
#include <cmath>
#include <vector>

#include <QFontMetrics>
#include <QLine>
#include <QPainter>
#include <QPoint>
#include <QPolygon>

#include "catalogue_view.h"
#include "reference_run.h"

namespace {

// Writes text with its cell's top-left corner at (x, y).
void text_out(QPainter& painter, int x, int y, const QString& text)
{
    painter.drawText(x, y + painter.fontMetrics().ascent(), text);
}

// One window pixel wide and not cosmetic: on a screen of two device pixels
// per window pixel the lines grow with the window instead of staying
// hairlines. At one device pixel per window pixel the raster engine draws a
// one-wide pen exactly as a cosmetic pen, so the picture there is unchanged.
QPen solid_pen(const QColor& colour)
{
    QPen pen(colour);
    pen.setWidth(1);
    pen.setCosmetic(false);
    pen.setCapStyle(Qt::SquareCap);
    return pen;
}

// y of value-grid line or scale label j (0..10): 333 * j / 10 above the bottom.
int grid_step(int j) { return 333 * j / 10; }

int scale_x(int cw, int k) { return k < 4 ? 12 + 38 * k : cw - 302 + 38 * k; }

// A variable whose limits are equal (the "No display" placeholder) has no
// scale and no trace; any other index outside the catalogue neither.
const catalogue_record* plotted_variable(int v)
{
    const std::span<const catalogue_record> displays = display_records();
    if (v < 0 || static_cast<size_t>(v) >= displays.size()) return nullptr;
    const catalogue_record& record = displays[static_cast<size_t>(v)];
    if (record.maximum == record.minimum) return nullptr;
    return &record;
}

// A y of the plot kept within the frame, from the scale's maximum to its
// minimum: a value beyond the scale is drawn at the frame's edge (also one
// that is not a number, at the top).
double y_within_frame(double y)
{
    return y >= scale_top_y ? std::min(y, double(scale_bottom_y)) : double(scale_top_y);
}

}  // namespace

QColor colour_of(uint32_t bgr)
{
    return QColor(static_cast<int>(bgr & 0xFF), static_cast<int>((bgr >> 8) & 0xFF),
                  static_cast<int>((bgr >> 16) & 0xFF));
}

QColor trace_colour(int row) { return colour_of(trace_colours[static_cast<size_t>(row)]); }

const char* scale_format(double maximum)
{
    if (maximum >= 100) return "%.0f";
    if (maximum >= 10) return "%.1f";
    if (maximum >= 1) return "%0.1f";
    return "%.0f";
}

void draw_plot_frame(QPainter& painter, int cw, const run_state& state)
{
    const QPen black = solid_pen(Qt::black);
    painter.fillRect(QRect(QPoint(2, 0), QPoint(cw - 1, plot_area_height - 1)), Qt::white);
    painter.setPen(black);
    const QPoint border[] = {{2, 381}, {cw - 1, 381}, {cw - 1, 0}, {2, 0}, {2, 381}};
    painter.drawPolyline(border, 5);

    std::vector<QLine> lines;
    lines.reserve(128);
    for (int k = 0; k <= 10; ++k) {
        const int y = scale_bottom_y - grid_step(k);
        lines.emplace_back(161, y, cw - 160, y);
    }
    for (int offset = 0; offset < cw - 321; offset += 15) {
        const int x = plot_time_origin_x + offset;
        if (offset % 60 == 0) {
            lines.emplace_back(x, scale_bottom_y, x, scale_top_y);
            text_out(painter, 156 + offset, 355, QString::number((state.win_start + offset) / 60));
        }
        if ((offset + 30) % 4 == 0) lines.emplace_back(x, scale_bottom_y, x, 344);
        if ((offset + 15) % 2 == 0) lines.emplace_back(x, scale_bottom_y, x, 347);
    }
    lines.emplace_back(cw - 160, scale_bottom_y, cw - 160, scale_top_y);
    painter.drawLines(lines.data(), static_cast<int>(lines.size()));
    text_out(painter, cw - 152, 355, QStringLiteral("minutes"));
}

void draw_scales(QPainter& painter, int cw, const display_selection& display_sel)
{
    for (int k = 0; k < 8; ++k) {
        const catalogue_record* record = plotted_variable(display_sel[static_cast<size_t>(k)]);
        if (!record) continue;
        const int x = scale_x(cw, k);
        painter.setPen(solid_pen(trace_colour(k)));
        painter.drawLine(x, scale_bottom_y, x, 14);
        const double minimum = record->minimum;
        const double maximum = record->maximum;
        const char* format = scale_format(maximum);
        for (int j = 0; j <= 10; ++j) {
            const double value = minimum + j * 0.1 * (maximum - minimum);
            text_out(painter, x + 4, 344 - grid_step(j), QString::asprintf(format, value));
        }
    }
    painter.setPen(solid_pen(Qt::black));
}

int draw_traces(QPainter& painter, int cw, const run_state& state, const display_selection& display_sel)
{
    const int span = state.sim_time - state.win_start;
    const int width_limit = cw - 320;
    std::vector<QLine> segments;
    segments.reserve(static_cast<size_t>(std::max(0, std::min(span, width_limit))));
    for (int k = 0; k < 8; ++k) {
        const int v = display_sel[static_cast<size_t>(k)];
        const catalogue_record* record = plotted_variable(v);
        if (!record) continue;
        // Single precision as in the scale: y = 353 at the minimum, 20 at the maximum.
        const float s = static_cast<float>(333.0 / (double(record->minimum) - double(record->maximum)));
        const float o = static_cast<float>(353.0 - double(s) * double(record->minimum));
        const double minimum = record->minimum;
        const double maximum = record->maximum;
        segments.clear();
        double a = history_value(state, v, history_slot(state.win_start));
        for (int i = 0; i < span && i != width_limit; ++i) {
            const double b = history_value(state, v, history_slot(state.win_start + i + 1));
            // Only the end point is tested: a segment entering the range from
            // outside starts at the frame's edge, never beyond it.
            if (minimum < b && b < maximum) {
                const double ya = y_within_frame(double(s) * a + double(o));
                const double yb = double(s) * b + double(o);
                segments.emplace_back(161 + i, static_cast<int>(std::trunc(ya)), 162 + i,
                                      static_cast<int>(std::trunc(yb)));
            }
            a = b;
        }
        painter.setPen(solid_pen(trace_colour(k)));
        painter.drawLines(segments.data(), static_cast<int>(segments.size()));
    }
    painter.setPen(solid_pen(Qt::black));
    return last_plotted_time(state, cw);
}

void draw_reference_traces(QPainter& painter, int cw, const run_state& state,
                           const display_selection& display_sel, const reference_run& reference)
{
    // Segments up to the reference's last second, not the live run's.
    const int span = reference.seconds - 1 - state.win_start;
    const int width_limit = cw - 320;
    for (int k = 0; k < 8; ++k) {
        const int v = display_sel[static_cast<size_t>(k)];
        const catalogue_record* record = plotted_variable(v);
        if (!record || v >= logged_displays) continue;
        const float s = static_cast<float>(333.0 / (double(record->minimum) - double(record->maximum)));
        const float o = static_cast<float>(353.0 - double(s) * double(record->minimum));
        const double minimum = record->minimum;
        const double maximum = record->maximum;
        const auto y_of = [&](double value) {
            return static_cast<int>(std::trunc(y_within_frame(double(s) * value + double(o))));
        };
        // Consecutive segments form one polyline, so the dashes run on
        // along the trace instead of starting again at every pixel.
        QPen pen = solid_pen(trace_colour(k));
        pen.setDashPattern({3.0, 2.0});
        painter.setPen(pen);
        QPolygon line;
        const auto flush = [&] {
            if (line.size() > 1) painter.drawPolyline(line);
            line.clear();
        };
        double a = reference.value(state, v, state.win_start);
        for (int i = 0; i < span && i != width_limit; ++i) {
            const double b = reference.value(state, v, state.win_start + i + 1);
            if (minimum < b && b < maximum) {
                if (line.isEmpty()) line << QPoint(161 + i, y_of(a));
                line << QPoint(162 + i, y_of(b));
            } else {
                flush();
            }
            a = b;
        }
        flush();
    }
    painter.setPen(solid_pen(Qt::black));
}

bool cursor_within_plot(const run_state& state, int cw, int t)
{
    const int x = t - state.win_start + plot_time_origin_x;
    return x >= plot_time_origin_x && x <= cw - 160;
}

bool draw_cursor(QPainter& painter, int cw, const run_state& state, int t)
{
    if (!cursor_within_plot(state, cw, t)) return false;
    const int x = t - state.win_start + plot_time_origin_x;
    QPen red = solid_pen(colour_of(0x0000FF));
    red.setStyle(Qt::DashLine);
    painter.setPen(red);
    painter.drawLine(x, scale_bottom_y, x, scale_top_y);
    red.setStyle(Qt::SolidLine);
    painter.setPen(red);
    const QPoint top[] = {{x - 4, 11}, {x, 17}, {x + 5, 10}};
    const QPoint bottom[] = {{x - 4, 373}, {x, 367}, {x + 5, 374}};
    painter.drawPolyline(top, 3);
    painter.drawPolyline(bottom, 3);
    painter.setPen(solid_pen(Qt::black));
    return true;
}

void draw_credits(QPainter& painter, bool shown, const QString& model_version, const QImage* logo)
{
    if (!shown) return;
    painter.fillRect(QRect(QPoint(275, 25), QPoint(704, 339)), Qt::white);
    painter.setPen(solid_pen(Qt::black));
    const QPoint box[] = {{275, 25}, {705, 25}, {705, 340}, {275, 340}, {275, 25}};
    painter.drawPolyline(box, 5);
    if (logo && !logo->isNull())
        painter.drawImage(QRect(logo_left, logo_top, logo_width, logo_height), *logo);
    text_out(painter, 283, 225, QStringLiteral("Concept and Physiological Model:"));
    text_out(painter, 295, 240, QStringLiteral("the respiratory physiology teaching group"));
    text_out(painter, 283, 260, QStringLiteral("Contributor:"));
    text_out(painter, 295, 275, QStringLiteral("the clinical teachers who tried every version on students"));
    text_out(painter, 283, 295, QStringLiteral("Graphical Interface:"));
    text_out(painter, 295, 310, QStringLiteral("the Tolvane front-end developers"));
    text_out(painter, 445, 325,
             QStringLiteral("Build: Jul 22 2013    Interface: 2.01    Model: %1").arg(model_version));
}

bool paint_trend_plot(QPainter& painter, int cw, const run_state& state, const display_selection& display_sel,
                      const QString& model_version, const QImage* logo, const reference_run* reference)
{
    painter.setRenderHint(QPainter::Antialiasing, false);
    painter.setRenderHint(QPainter::TextAntialiasing, true);
    draw_plot_frame(painter, cw, state);
    draw_scales(painter, cw, display_sel);
    if (reference) draw_reference_traces(painter, cw, state, display_sel, *reference);
    if (!state.credits_shown) draw_traces(painter, cw, state, display_sel);
    const bool cursor_drawn = draw_cursor(painter, cw, state, state.cursor_time);
    draw_credits(painter, state.credits_shown, model_version, logo);
    return cursor_drawn;
}
