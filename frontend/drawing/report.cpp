// SPDX-License-Identifier: Apache-2.0
// Drawing of the printed report. The page is laid out in report units (page
// height / 202, the same in both directions); a position becomes device units
// by truncation toward zero. The painter is never scaled, so point-size fonts
// keep their size on every device.
#include "report.h"

#include <QFontMetrics>
#include <QPainter>
#include <QPen>
#include <QPolygon>
#include <QStringList>

#include <algorithm>
#include <cmath>

#include "cp1252.h"
#include "pressure_units.h"
#include "trend_plot.h"

namespace {

// Plot window in report units: time 48..240 (4/15 unit per second, 720 s),
// values 120 (minimum) .. 20 (maximum).
constexpr double plot_left = 48.0;
constexpr double plot_right = 240.0;
constexpr double plot_bottom = 120.0;
constexpr double plot_top = 20.0;
constexpr double units_per_second = 4.0 / 15.0;
constexpr int plot_seconds = 720;
// A marker moves right by this much for every earlier marker closer than
// marker_near vertically.
constexpr double marker_shift = 4.2;
constexpr double marker_near = 4.0;

double time_x(double seconds_from_start) { return plot_left + 4.0 * seconds_from_start / 15.0; }

// The canvas the report is drawn on: pen, brush and font state kept apart as
// a printer canvas keeps them (the font colour is not the pen colour), over
// a QPainter in device units.
class report_canvas {
public:
    report_canvas(QPainter& painter, int layout_height, double font_scale)
        : painter_(painter), height_(layout_height), font_scale_(font_scale)
    {
        // The layout was made for a typeface of Arial's widths: "Clinical
        // notes:" in 12 points must end before the notes begin 28 units to its
        // right. Liberation Sans has those widths; the condensed DejaVu face is
        // the nearest fallback.
        font_.setFamilies({QStringLiteral("Liberation Sans"), QStringLiteral("Arial"),
                           QStringLiteral("DejaVu Sans Condensed"), QStringLiteral("DejaVu Sans")});
        set_font_size(10);
        apply_pen();
        painter_.setRenderHint(QPainter::Antialiasing, false);
        painter_.setBackground(QBrush(Qt::white));
    }

    // One report unit in device units, truncated toward zero.
    int to_device(double units) const
    {
        return static_cast<int>(
            std::trunc(static_cast<double>(height_) * units / report_units_per_page_height));
    }
    QPoint point(double x, double y) const { return {to_device(x), to_device(y)}; }

    void set_pen_colour(const QColor& colour)
    {
        pen_colour_ = colour;
        apply_pen();
    }
    // Pen width in device units; 0 draws the thinnest line the device has.
    void set_pen_width_device(int width)
    {
        pen_width_ = width;
        apply_pen();
    }
    void set_pen_width_units(double units) { set_pen_width_device(to_device(units)); }
    void set_dashed(bool dashed)
    {
        dashed_ = dashed;
        apply_pen();
    }
    void set_brush_colour(const QColor& colour) { brush_colour_ = colour; }
    void set_font_size(int points) { font_.setPointSizeF(points * font_scale_); }
    void set_font_colour(const QColor& colour) { font_colour_ = colour; }
    const QColor& font_colour() const { return font_colour_; }

    void line(double x1, double y1, double x2, double y2) { painter_.drawLine(point(x1, y1), point(x2, y2)); }
    // A line through many points, so that a dash pattern runs on along it.
    void polyline(const QVector<QPointF>& points_in_units)
    {
        QPolygon polygon;
        for (const QPointF& p : points_in_units) polygon << point(p.x(), p.y());
        painter_.drawPolyline(polygon);
    }
    void polyline(std::initializer_list<QPointF> points_in_units)
    {
        QPolygon polygon;
        for (const QPointF& p : points_in_units) polygon << point(p.x(), p.y());
        painter_.drawPolyline(polygon);
    }
    // Circle or ellipse inside the box (x1, y1)-(x2, y2), filled with the brush.
    void ellipse(double x1, double y1, double x2, double y2)
    {
        const QPoint a = point(x1, y1);
        const QPoint b = point(x2, y2);
        painter_.setBrush(brush_colour_);
        painter_.drawEllipse(QRect(a, QSize(b.x() - a.x(), b.y() - a.y())));
        painter_.setBrush(Qt::NoBrush);
    }
    // Text with its top-left corner at (x, y), on the brush colour.
    void text(double x, double y, const QString& text)
    {
        painter_.setFont(font_);
        const QFontMetrics metrics(font_, painter_.device());
        painter_.setPen(QPen(font_colour_));
        painter_.setBackgroundMode(Qt::OpaqueMode);
        painter_.setBackground(QBrush(brush_colour_));
        const QPoint top_left = point(x, y);
        painter_.drawText(QPoint(top_left.x(), top_left.y() + metrics.ascent()), text);
        painter_.setBackgroundMode(Qt::TransparentMode);
        apply_pen();
    }
    // A border one device unit wide just inside (0, 0)-(width, height), in the brush colour.
    void frame_device(int width, int height)
    {
        const QBrush brush(brush_colour_);
        painter_.fillRect(0, 0, width, 1, brush);
        painter_.fillRect(0, height - 1, width, 1, brush);
        painter_.fillRect(0, 0, 1, height, brush);
        painter_.fillRect(width - 1, 0, 1, height, brush);
    }

private:
    void apply_pen()
    {
        QPen pen(pen_colour_);
        pen.setWidth(pen_width_);
        // Round ends, as a printer's wide pens have: the one-second trace
        // segments then join without notches where the slope changes.
        pen.setCapStyle(Qt::RoundCap);
        pen.setJoinStyle(Qt::RoundJoin);
        if (dashed_) {
            // Dash length is not fixed by the layout: a dash of 1.5 units and
            // a gap of 1 unit stays visible at any device resolution (a device
            // dash pattern would shrink to nothing on a fine printer).
            const qreal width = pen_width_ > 0 ? pen_width_ : 1;
            pen.setDashPattern(
                {std::max<qreal>(1, to_device(1.5) / width), std::max<qreal>(1, to_device(1.0) / width)});
        }
        painter_.setPen(pen);
    }

    QPainter& painter_;
    int height_;
    double font_scale_;
    QColor pen_colour_ = Qt::black;
    int pen_width_ = 1;
    bool dashed_ = false;
    QColor brush_colour_ = Qt::white;
    QColor font_colour_ = Qt::black;
    QFont font_;
};

bool valid_index(int index, int count) { return index >= 0 && index < count; }

// A display variable's vertical scale in the plot: y = v N + (120 - N lo),
// both factors single precision as the plot holds them.
struct value_scale {
    float n;
    float offset;
    explicit value_scale(const catalogue_record& record)
        : n(static_cast<float>(100.0 / (static_cast<double>(record.minimum) - record.maximum))),
          offset(static_cast<float>(plot_bottom - static_cast<double>(n) * record.minimum))
    {
    }
    double y(double value) const { return value * static_cast<double>(n) + offset; }
    // y kept within the plot's frame: a value beyond the scale is drawn at
    // the frame's edge (also one that is not a number, at the top).
    double y_within_frame(double value) const
    {
        const double at = y(value);
        return at >= plot_top ? std::min(at, plot_bottom) : plot_top;
    }
};

QString value_with_unit(double value, const char* unit)
{
    return QString::asprintf("%.1f ", value) + from_cp1252(unit);
}

// Marker register: the ym of every marker placed so far in this report.
class marker_register {
public:
    // Number of placed markers whose ym lies strictly within marker_near of ym.
    int close_to(double ym) const
    {
        int count = 0;
        for (int k = 0; k < 8; ++k)
            if (placed_[k] && std::fabs(ym_[k] - ym) < marker_near) ++count;
        return count;
    }
    void place(int row, double ym)
    {
        ym_[row] = ym;
        placed_[row] = true;
    }

private:
    std::array<double, 8> ym_{};
    std::array<bool, 8> placed_{};
};

void draw_title(report_canvas& canvas, const report_input& input)
{
    canvas.set_font_size(12);
    QString title = QStringLiteral("Tolvane    %1  %2").arg(input.subject_name, input.date_text);
    if (!input.reference_name.isEmpty())
        title += QStringLiteral("    reference (dashed): %1").arg(input.reference_name);
    canvas.text(10, 2, title);
    canvas.set_font_size(10);
}

void draw_grid_and_time_axis(report_canvas& canvas, const report_input& input)
{
    canvas.set_pen_width_device(1);
    for (int i = 0; i <= 10; ++i) {
        const double y = plot_bottom - 10.0 * i;
        canvas.line(plot_left, y, plot_right, y);
    }
    for (int s = 0; s <= plot_seconds; s += 15) {
        const double x = time_x(s);
        if (s % 60 == 0) {
            canvas.line(x, plot_bottom, x, plot_top);
            canvas.text(46.0 + 4.0 * s / 15.0, 121, QString::number((input.win_start + s) / 60));
        } else if (s % 30 == 0) {
            canvas.line(x, plot_bottom, x, 117);
        } else {
            canvas.line(x, plot_bottom, x, 118.5);
        }
    }
    canvas.text(243, 121, QStringLiteral("minutes"));
}

double scale_x(int row) { return row < 4 ? 4.0 + 11.0 * row : 200.0 + 11.0 * row; }

// The display variable of a row when it gets a scale, trace and marker.
const catalogue_record* plotted_record(const report_input& input, int row)
{
    const int d = input.display_rows[row];
    if (!valid_index(d, input.display_count)) return nullptr;
    const catalogue_record& record = input.displays[d];
    return record.maximum == record.minimum ? nullptr : &record;
}

void draw_scales(report_canvas& canvas, const report_input& input)
{
    for (int k = 0; k < 8; ++k) {
        const catalogue_record* record = plotted_record(input, k);
        if (!record) continue;
        const double x0 = scale_x(k);
        const QColor colour = trace_colour(k);
        canvas.set_pen_colour(colour);
        canvas.set_font_colour(colour);
        canvas.line(x0, plot_bottom, x0, plot_top);
        const double lo = record->minimum;
        const double hi = record->maximum;
        const char* format = scale_format(hi);
        for (int p = 0; p <= 10; ++p)
            canvas.text(x0 + 1, 117 - 10 * p, QString::asprintf(format, lo + p * 0.1 * (hi - lo)));
        canvas.text(x0 + 2, 13, QStringLiteral("(%1)").arg(k + 1));
    }
    // The pen goes back to black; the font colour stays that of the last
    // scale, and the marker numbers are written in it.
    canvas.set_pen_colour(Qt::black);
}

double cursor_x(const report_input& input) { return time_x(input.cursor_time - input.win_start); }

void draw_cursor(report_canvas& canvas, const report_input& input, marker_register& markers)
{
    const double xc = cursor_x(input);
    canvas.set_pen_colour(Qt::red);
    canvas.set_dashed(true);
    canvas.line(xc, plot_bottom, xc, plot_top);
    canvas.set_dashed(false);
    canvas.set_pen_width_units(0.5);
    canvas.polyline({{xc - 1.5, 17.5}, {xc, 19.5}, {xc + 1.5, 17.5}});
    canvas.polyline({{xc - 1.5, 127}, {xc, 125}, {xc + 1.5, 127}});
    canvas.set_pen_width_device(1);
    markers = marker_register{};
}

void draw_traces_and_markers(report_canvas& canvas, const report_input& input, marker_register& markers)
{
    canvas.set_pen_width_units(0.3);
    const double xc = cursor_x(input);
    const int span = input.sim_time - input.win_start;
    for (int k = 0; k < 8; ++k) {
        const catalogue_record* record = plotted_record(input, k);
        if (!record) continue;
        const int d = input.display_rows[k];
        const value_scale scale(*record);
        const double lo = record->minimum;
        const double hi = record->maximum;
        canvas.set_pen_colour(trace_colour(k));
        // Only the end value of a segment is tested against the limits.
        for (int j = 0; j < span && j < plot_seconds; ++j) {
            const double w = input.display_value(d, input.win_start + j + 1);
            if (lo < w && w < hi) {
                const double a = input.display_value(d, input.win_start + j);
                canvas.line(time_x(j), scale.y_within_frame(a), time_x(j + 1), scale.y(w));
            }
        }
        // Marker of this row at the cursor, shifted right past earlier close ones.
        const double ym = scale.y_within_frame(input.display_value(d, input.cursor_time));
        const double xm = xc + marker_shift * markers.close_to(ym);
        markers.place(k, ym);
        canvas.ellipse(xm - 2, ym - 2, xm + 2, ym + 2);
        canvas.text(xm - 1, ym - 2, QString::number(k + 1));
    }
}

// The reference run's traces: thin dashed lines in the rows' colours, with
// the live traces' rule, ending where the reference ends.
void draw_reference_traces(report_canvas& canvas, const report_input& input)
{
    if (input.reference_name.isEmpty() || !input.reference_value) return;
    canvas.set_pen_width_units(0.2);
    canvas.set_dashed(true);
    const int span = input.reference_seconds - 1 - input.win_start;
    for (int k = 0; k < 8; ++k) {
        const catalogue_record* record = plotted_record(input, k);
        if (!record) continue;
        const int d = input.display_rows[k];
        const value_scale scale(*record);
        const double lo = record->minimum;
        const double hi = record->maximum;
        canvas.set_pen_colour(trace_colour(k));
        QVector<QPointF> line;
        const auto flush = [&] {
            if (line.size() > 1) canvas.polyline(line);
            line.clear();
        };
        for (int j = 0; j < span && j < plot_seconds; ++j) {
            const double w = input.reference_value(d, input.win_start + j + 1);
            if (lo < w && w < hi) {
                if (line.isEmpty())
                    line << QPointF(time_x(j),
                                    scale.y_within_frame(input.reference_value(d, input.win_start + j)));
                line << QPointF(time_x(j + 1), scale.y(w));
            } else {
                flush();
            }
        }
        flush();
    }
    canvas.set_dashed(false);
    canvas.set_pen_width_device(1);
    canvas.set_pen_colour(Qt::black);
}

void draw_clinical_notes(report_canvas& canvas, const report_input& input)
{
    canvas.set_font_colour(Qt::red);
    const QStringList lines = report_clinical_lines(input.clinical_notes);
    for (int i = 0; i < lines.size(); ++i) canvas.text(33, 129 + 5 * i, lines[i]);
}

void draw_passport(report_canvas& canvas, const report_input& input)
{
    canvas.set_font_colour(Qt::black);
    canvas.text(5, 160, QStringLiteral("Height"));
    canvas.text(20, 160, value_with_unit(input.height.value, input.height.unit));
    canvas.text(5, 165, QStringLiteral("Weight"));
    canvas.text(20, 165, value_with_unit(input.weight.value, input.weight.unit));
    canvas.text(5, 170, QStringLiteral("Age"));
    canvas.text(
        20, 170,
        QString::asprintf("%.0f ", static_cast<double>(input.age.value)) + from_cp1252(input.age.unit));
    canvas.text(5, 175, QStringLiteral("Sex"));
    canvas.text(20, 175, input.sex != 0 ? QStringLiteral("male") : QStringLiteral("female"));
}

// Under the passport: the events, as many as the corner holds, then how
// many more there were.
void draw_events(report_canvas& canvas, const report_input& input)
{
    if (input.event_lines.isEmpty()) return;
    constexpr int shown_lines = 4;
    constexpr int line_characters = 40;
    canvas.set_font_colour(Qt::black);
    canvas.text(5, 180.5, QStringLiteral("Events"));
    canvas.set_font_size(7);
    const qsizetype count = input.event_lines.size();
    const qsizetype listed = count > shown_lines ? shown_lines - 1 : count;
    for (qsizetype i = 0; i < listed; ++i) {
        QString line = input.event_lines[i];
        if (line.size() > line_characters) line = line.left(line_characters - 1) + QChar(0x2026);
        canvas.text(5, 185 + 3.2 * double(i), line);
    }
    if (listed < count)
        canvas.text(5, 185 + 3.2 * double(listed), QStringLiteral("... and %1 more").arg(count - listed));
    canvas.set_font_size(10);
}

void draw_factor_rows(report_canvas& canvas, const report_input& input)
{
    for (int k = 0; k < 8; ++k) {
        const int f = input.factor_rows[k];
        if (!valid_index(f, input.factor_count)) continue;
        const catalogue_record& record = input.factors[f];
        canvas.text(42, 160 + 5 * k, from_cp1252(record.name));
        canvas.text(119, 160 + 5 * k, value_with_unit(record.value, record.unit));
    }
}

void draw_display_rows(report_canvas& canvas, const report_input& input)
{
    for (int k = 0; k < 8; ++k) {
        const int d = input.display_rows[k];
        if (!valid_index(d, input.display_count)) continue;
        const catalogue_record& record = input.displays[d];
        canvas.text(161, 160 + 5 * k, QStringLiteral("%1:").arg(k + 1));
        canvas.text(165, 160 + 5 * k, from_cp1252(record.name));
        canvas.text(248, 160 + 5 * k,
                    value_with_unit(input.display_value(d, input.cursor_time), record.unit));
    }
}

void draw_sentences_and_headings(report_canvas& canvas, const report_input& input)
{
    canvas.text(42, 155,
                QStringLiteral("Values valid at print time, they may not represent conditions during plot."));
    canvas.text(161, 155, QStringLiteral("At cusor position ") + format_minutes_seconds(input.cursor_time));
    canvas.set_font_size(12);
    canvas.text(5, 128.4, QStringLiteral("Clinical notes:"));
    canvas.text(5, 150, QStringLiteral("Passport factors"));
    canvas.text(42, 150, QStringLiteral("Subject factors"));
    canvas.text(161, 150, QStringLiteral("Display variables"));
}

}  // namespace

QStringList report_clinical_lines(const QString& notes)
{
    QStringList lines;
    if (notes.size() < 7) return lines;
    qsizetype pos = 0;
    while (lines.size() < 4 && pos < notes.size()) {
        qsizetype end = pos;
        while (end < notes.size() && notes[end] != u'\r' && notes[end] != u'\n') ++end;
        lines << notes.mid(pos, end - pos);
        pos = end;
        if (pos < notes.size() && notes[pos] == u'\r') ++pos;
        if (pos < notes.size() && notes[pos] == u'\n') ++pos;
    }
    return lines;
}

int report_layout_height(int page_width, int page_height)
{
    // The layout needs a page about 1.42 times as wide as high. A4 landscape
    // keeps its units (the last labels may come near the right margin); on a
    // narrower page (Letter landscape, any portrait page) the whole layout is
    // scaled down to the page's width and sits at the top.
    if (page_width >= 1.4 * page_height) return page_height;
    return static_cast<int>(page_width * report_units_per_page_height / report_layout_width_units);
}

void draw_report(QPainter& painter, int page_width, int page_height, const report_input& given)
{
    report_input input = given;
    if (!input.display_value) input.display_value = [](int, int) { return 0.0; };
    painter.save();
    const int layout_height = report_layout_height(page_width, page_height);
    // Texts shrink with a layout scaled down to a narrow page, so they keep
    // their places relative to the lines; on landscape paper the factor is 1.
    const double font_scale =
        std::min(1.0, static_cast<double>(layout_height) / std::min(page_width, page_height));
    report_canvas canvas(painter, layout_height, font_scale);
    marker_register markers;

    // Frame around the whole page in black; afterwards the brush stays white,
    // so texts stand on white and markers are filled white.
    canvas.set_brush_colour(Qt::black);
    canvas.set_font_colour(Qt::black);
    canvas.set_pen_colour(Qt::black);
    canvas.frame_device(page_width, page_height);
    canvas.set_brush_colour(Qt::white);

    draw_title(canvas, input);
    draw_grid_and_time_axis(canvas, input);
    draw_scales(canvas, input);
    draw_cursor(canvas, input, markers);
    draw_reference_traces(canvas, input);
    draw_traces_and_markers(canvas, input, markers);
    draw_clinical_notes(canvas, input);
    draw_passport(canvas, input);
    draw_events(canvas, input);
    draw_factor_rows(canvas, input);
    draw_display_rows(canvas, input);
    draw_sentences_and_headings(canvas, input);
    painter.restore();
}
