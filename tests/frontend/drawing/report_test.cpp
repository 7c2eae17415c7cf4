// SPDX-License-Identifier: Apache-2.0
// The printed report as a reader sees it: drawn into an image for the frame,
// colours and markers, and onto a recording device for the texts and their
// places. Positions are report units (page height / 202) truncated to device
// units.
#include "report.h"
#include "report_pdf.h"
#include "result_text.h"

#include <gtest/gtest.h>

#include <QCoreApplication>
#include <QDir>
#include <QFile>
#include <QProcess>
#include <QStandardPaths>
#include <QFontMetrics>
#include <QImage>
#include <QPaintDevice>
#include <QPaintEngine>
#include <QPainter>
#include <QRegularExpression>
#include <QTemporaryDir>
#include <QTextItem>

#include <cmath>
#include <map>
#include <vector>

namespace {

// A page of A4 landscape proportions at 96 dpi.
constexpr int page_width = 1123;
constexpr int page_height = 794;

int dev(double units) { return static_cast<int>(std::trunc(page_height * units / 202.0)); }

// A small catalogue of the model's kind, code page 1252 texts included.
catalogue_record test_displays[] = {
    {"Arterial O2 partial pressure", 0, 0, 150, "mm Hg"},
    {"Venous pH (of mixed venous blood)", 0, 7, 8, ""},
    {"Tidal volume", 0, 0, 2500, "ml BTPS"},
    // clang-format off
    {"Tissue N2 amount in \x91" "fast\x92" " compartment", 0, 0, 100, "ml STPD"},
    // clang-format on
    {"No display", 0, 0, 0, ""},
};
constexpr int d_pao2 = 0, d_ph = 1, d_tidal = 2, d_n2_fast = 3, d_none = 4;

catalogue_record test_factors[] = {
    {"Inspired O2 percentage", 21, 0, 100, "%"},
    {"Body temperature", 37, 25, 44, "degree centigrade"},
    {"Inspired CO2 percentage", 0.03f, 0, 100, "%"},
};

// An input with every display row on "No display", no factors, and each
// display variable constant at the value set in `values` (default 50).
struct fixture_input {
    std::map<int, std::function<double(int)>> series;
    report_input input;
    fixture_input()
    {
        input.subject_name = QStringLiteral("/tmp/subject.sbj");
        input.date_text = QStringLiteral("07/12/2026 08:30");
        input.sim_time = 300;
        input.cursor_time = 300;
        input.win_start = 0;
        input.display_rows.fill(d_none);
        input.factors = test_factors;
        input.factor_count = 3;
        input.displays = test_displays;
        input.display_count = 5;
        input.height = {"height", 178, 95, 200, "cm"};
        input.weight = {"weight", 70, 20, 200, "kg"};
        input.age = {"age", 40, 8, 100, "year"};
        input.sex = 1;
        input.display_value = [this](int d, int t) {
            auto it = series.find(d);
            return it == series.end() ? 50.0 : it->second(t);
        };
    }
    fixture_input(const fixture_input&) = delete;
};

QImage render_image(const report_input& input)
{
    QImage image(page_width, page_height, QImage::Format_RGB32);
    image.fill(Qt::white);
    QPainter painter(&image);
    draw_report(painter, page_width, page_height, input);
    painter.end();
    return image;
}

// --- A paint device that records what the report draws --------------------

struct recorded_text {
    QString text;
    QPoint top_left;
    QColor colour;
    int point_size;
    int width;  // advance of the text in device units
};
struct recorded_line {
    QLineF line;
    QColor colour;
    Qt::PenStyle style;
};
struct recorded_ellipse {
    QRectF box;
    QColor pen;
    QColor brush;
};
struct recording {
    std::vector<recorded_text> texts;
    std::vector<recorded_line> lines;
    std::vector<recorded_ellipse> ellipses;

    std::vector<recorded_text> texts_at_y(int y) const
    {
        std::vector<recorded_text> found;
        for (const auto& t : texts)
            if (t.top_left.y() == y) found.push_back(t);
        return found;
    }
    const recorded_text* text_at(int x, int y) const
    {
        for (const auto& t : texts)
            if (t.top_left == QPoint(x, y)) return &t;
        return nullptr;
    }
    const recorded_text* find_text(const QString& text) const
    {
        for (const auto& t : texts)
            if (t.text == text) return &t;
        return nullptr;
    }
    bool has_vertical_line(int x, int y1, int y2, const QColor& colour) const
    {
        for (const auto& l : lines)
            if (l.line == QLineF(x, y1, x, y2) && l.colour == colour) return true;
        return false;
    }
};

class recording_engine : public QPaintEngine {
public:
    explicit recording_engine(recording& out) : QPaintEngine(QPaintEngine::AllFeatures), out_(out) {}
    bool begin(QPaintDevice*) override { return true; }
    bool end() override { return true; }
    void updateState(const QPaintEngineState&) override {}
    Type type() const override { return QPaintEngine::User; }
    void drawPixmap(const QRectF&, const QPixmap&, const QRectF&) override {}
    void drawLines(const QLineF* lines, int count) override
    {
        for (int i = 0; i < count; ++i)
            out_.lines.push_back({lines[i], painter()->pen().color(), painter()->pen().style()});
    }
    void drawPolygon(const QPointF* points, int count, PolygonDrawMode) override
    {
        for (int i = 0; i + 1 < count; ++i)
            out_.lines.push_back(
                {QLineF(points[i], points[i + 1]), painter()->pen().color(), painter()->pen().style()});
    }
    void drawEllipse(const QRectF& box) override
    {
        out_.ellipses.push_back({box, painter()->pen().color(), painter()->brush().color()});
    }
    void drawRects(const QRectF*, int) override {}
    void drawTextItem(const QPointF& baseline, const QTextItem& item) override
    {
        const QFontMetrics metrics(painter()->font(), painter()->device());
        out_.texts.push_back({item.text(),
                              QPoint(qRound(baseline.x()), qRound(baseline.y()) - metrics.ascent()),
                              painter()->pen().color(), painter()->font().pointSize(),
                              metrics.horizontalAdvance(item.text())});
    }

private:
    recording& out_;
};

class recording_device : public QPaintDevice {
public:
    recording_device(recording& out, int width, int height) : engine_(out), width_(width), height_(height) {}
    QPaintEngine* paintEngine() const override { return &engine_; }

protected:
    int metric(PaintDeviceMetric metric) const override
    {
        switch (metric) {
        case PdmWidth:
            return width_;
        case PdmHeight:
            return height_;
        case PdmWidthMM:
            return width_ * 254 / 960;
        case PdmHeightMM:
            return height_ * 254 / 960;
        case PdmNumColors:
            return 0x7fffffff;
        case PdmDepth:
            return 32;
        case PdmDpiX:
        case PdmDpiY:
        case PdmPhysicalDpiX:
        case PdmPhysicalDpiY:
            return 96;
        case PdmDevicePixelRatio:
            return 1;
        case PdmDevicePixelRatioScaled:
            return static_cast<int>(devicePixelRatioFScale());
        default:
            return 0;
        }
    }

private:
    mutable recording_engine engine_;
    int width_, height_;
};

recording record_report(const report_input& input, int width = page_width, int height = page_height)
{
    recording out;
    recording_device device(out, width, height);
    QPainter painter(&device);
    draw_report(painter, width, height, input);
    painter.end();
    return out;
}

// --- The page: frame, title, headings --------------------------------------

TEST(Report, FrameIsOneDeviceUnitAroundTheWholePage)
{
    fixture_input f;
    const QImage image = render_image(f.input);
    for (int x : {0, 1, page_width / 2, page_width - 1}) {
        EXPECT_EQ(image.pixelColor(x, 0), QColor(Qt::black)) << x;
        EXPECT_EQ(image.pixelColor(x, page_height - 1), QColor(Qt::black)) << x;
    }
    for (int y : {0, page_height / 2, page_height - 1}) {
        EXPECT_EQ(image.pixelColor(0, y), QColor(Qt::black)) << y;
        EXPECT_EQ(image.pixelColor(page_width - 1, y), QColor(Qt::black)) << y;
    }
    // One unit wide: the pixels just inside stay white.
    EXPECT_EQ(image.pixelColor(1, page_height / 2), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(page_width - 2, page_height / 2), QColor(Qt::white));
    EXPECT_EQ(image.pixelColor(page_width / 2, page_height - 2), QColor(Qt::white));
}

TEST(Report, TitleSentencesAndHeadingsStandAtTheirPlaces)
{
    fixture_input f;
    const recording r = record_report(f.input);
    struct expected {
        QString text;
        double x, y;
        int points;
    };
    const expected table[] = {
        {QStringLiteral("Tolvane    /tmp/subject.sbj  07/12/2026 08:30"), 10, 2, 12},
        {QStringLiteral("minutes"), 243, 121, 10},
        {QStringLiteral("Values valid at print time, they may not represent conditions during plot."), 42,
         155, 10},
        {QStringLiteral("Clinical notes:"), 5, 128.4, 12},
        {QStringLiteral("Passport factors"), 5, 150, 12},
        {QStringLiteral("Subject factors"), 42, 150, 12},
        {QStringLiteral("Display variables"), 161, 150, 12},
        {QStringLiteral("Height"), 5, 160, 10},
        {QStringLiteral("178.0 cm"), 20, 160, 10},
        {QStringLiteral("Weight"), 5, 165, 10},
        {QStringLiteral("70.0 kg"), 20, 165, 10},
        {QStringLiteral("Age"), 5, 170, 10},
        {QStringLiteral("40 year"), 20, 170, 10},
        {QStringLiteral("Sex"), 5, 175, 10},
        {QStringLiteral("male"), 20, 175, 10},
    };
    for (const expected& e : table) {
        const recorded_text* t = r.find_text(e.text);
        ASSERT_NE(t, nullptr) << e.text.toStdString();
        EXPECT_EQ(t->top_left, QPoint(dev(e.x), dev(e.y))) << e.text.toStdString();
        EXPECT_EQ(t->point_size, e.points) << e.text.toStdString();
        EXPECT_EQ(t->colour, QColor(Qt::black)) << e.text.toStdString();
    }
}

TEST(Report, FemaleSubjectIsSoNamed)
{
    fixture_input f;
    f.input.sex = 0;
    const recording r = record_report(f.input);
    const recorded_text* t = r.text_at(dev(20), dev(175));
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->text, QStringLiteral("female"));
}

// --- Time axis and cursor ---------------------------------------------------

struct time_label_case {
    int win_start;
    std::vector<QString> first_labels;  // at s = 0, 60, 120
    QString last_label;                 // at s = 720
};

class ReportTimeAxis : public ::testing::TestWithParam<time_label_case> {};

TEST_P(ReportTimeAxis, LabelsCountMinutesFromTheStartOfTheSimulation)
{
    fixture_input f;
    f.input.win_start = GetParam().win_start;
    f.input.sim_time = f.input.cursor_time = GetParam().win_start + 60;
    const recording r = record_report(f.input);
    const auto labels = r.texts_at_y(dev(121));
    // Thirteen minute labels (0..720 s) and "minutes".
    ASSERT_EQ(labels.size(), 14u);
    for (size_t i = 0; i < GetParam().first_labels.size(); ++i) {
        const recorded_text* t = r.text_at(dev(46 + 4.0 * 60 * i / 15), dev(121));
        ASSERT_NE(t, nullptr) << i;
        EXPECT_EQ(t->text, GetParam().first_labels[i]);
    }
    const recorded_text* last = r.text_at(dev(46 + 192), dev(121));
    ASSERT_NE(last, nullptr);
    EXPECT_EQ(last->text, GetParam().last_label);
}

INSTANTIATE_TEST_SUITE_P(Starts, ReportTimeAxis,
                         ::testing::Values(time_label_case{0, {"0", "1", "2"}, "12"},
                                           time_label_case{300, {"5", "6", "7"}, "17"},
                                           time_label_case{90, {"1", "2", "3"}, "13"}));

TEST(Report, GridTicksAndMinuteLines)
{
    fixture_input f;
    const recording r = record_report(f.input);
    for (int i = 0; i <= 10; ++i) {
        const int y = dev(120 - 10 * i);
        bool found = false;
        for (const auto& l : r.lines) found |= l.line == QLineF(dev(48), y, dev(240), y);
        EXPECT_TRUE(found) << "grid line " << i;
    }
    struct tick {
        int s;
        double top;
    };
    for (const tick& t : {tick{0, 20}, tick{60, 20}, tick{720, 20}, tick{30, 117}, tick{90, 117},
                          tick{15, 118.5}, tick{45, 118.5}, tick{705, 118.5}})
        EXPECT_TRUE(r.has_vertical_line(dev(48 + 4.0 * t.s / 15), dev(120), dev(t.top), Qt::black)) << t.s;
}

struct cursor_case {
    int cursor_time;
    QString readout;
};

class ReportCursor : public ::testing::TestWithParam<cursor_case> {};

TEST_P(ReportCursor, ReadoutUsesTwoDigitsEach)
{
    fixture_input f;
    f.input.cursor_time = GetParam().cursor_time;
    const recording r = record_report(f.input);
    const recorded_text* t = r.text_at(dev(161), dev(155));
    ASSERT_NE(t, nullptr);
    EXPECT_EQ(t->text, QStringLiteral("At cusor position ") + GetParam().readout);
}

INSTANTIATE_TEST_SUITE_P(Times, ReportCursor,
                         ::testing::Values(cursor_case{65, "01:05"}, cursor_case{0, "00:00"},
                                           cursor_case{600, "10:00"}, cursor_case{4500, "75:00"}));

TEST(Report, CursorIsADashedRedLineWithTwoChevronsAndIsNotClipped)
{
    fixture_input f;
    f.input.win_start = 0;
    f.input.sim_time = 1000;
    for (int cursor : {65, 900}) {  // 900 s lies right of the twelve plotted minutes
        f.input.cursor_time = cursor;
        const recording r = record_report(f.input);
        const double xc = 48 + 4.0 * cursor / 15;
        bool dashed = false;
        for (const auto& l : r.lines)
            dashed |= l.line == QLineF(dev(xc), dev(120), dev(xc), dev(20)) && l.colour == QColor(Qt::red) &&
                      l.style == Qt::CustomDashLine;
        EXPECT_TRUE(dashed) << cursor;
        int chevron_segments = 0;
        for (const auto& l : r.lines)
            if (l.colour == QColor(Qt::red) && l.style == Qt::SolidLine &&
                (l.line.p2() == QPointF(dev(xc), dev(19.5)) || l.line.p1() == QPointF(dev(xc), dev(19.5)) ||
                 l.line.p2() == QPointF(dev(xc), dev(125)) || l.line.p1() == QPointF(dev(xc), dev(125))))
                ++chevron_segments;
        EXPECT_EQ(chevron_segments, 4) << cursor;
    }
}

// --- Scales, traces, markers -------------------------------------------------

TEST(Report, NoDisplayRowHasNoScaleButIsListed)
{
    fixture_input f;
    f.input.display_rows = {d_pao2, d_none, d_ph, d_none, d_tidal, d_none, d_none, d_none};
    const recording r = record_report(f.input);
    // Rows 1 and 3 (no display): no scale line, no tag.
    EXPECT_FALSE(r.has_vertical_line(dev(15), dev(120), dev(20), Qt::red));
    EXPECT_EQ(r.find_text(QStringLiteral("(2)")), nullptr);
    EXPECT_EQ(r.find_text(QStringLiteral("(4)")), nullptr);
    // Rows 0, 2, 4 have their scales in their colours, with the tag.
    EXPECT_TRUE(r.has_vertical_line(dev(4), dev(120), dev(20), Qt::black));
    EXPECT_TRUE(r.has_vertical_line(dev(26), dev(120), dev(20), QColor(0, 128, 0)));
    EXPECT_TRUE(r.has_vertical_line(dev(244), dev(120), dev(20), QColor(255, 0, 255)));
    const recorded_text* tag = r.text_at(dev(28), dev(13));
    ASSERT_NE(tag, nullptr);
    EXPECT_EQ(tag->text, QStringLiteral("(3)"));
    EXPECT_EQ(tag->colour, QColor(0, 128, 0));
    // Still listed with number, name and value.
    const recorded_text* number = r.text_at(dev(161), dev(165));
    ASSERT_NE(number, nullptr);
    EXPECT_EQ(number->text, QStringLiteral("2:"));
    const recorded_text* name = r.text_at(dev(165), dev(165));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text, QStringLiteral("No display"));
    const recorded_text* value = r.text_at(dev(248), dev(165));
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->text, QStringLiteral("50.0 "));
    // And it has no marker: three markers for three plotted rows.
    EXPECT_EQ(r.ellipses.size(), 3u);
}

struct scale_case {
    int display;
    std::vector<QString> labels;  // p = 0, 1, 10
};

class ReportScale : public ::testing::TestWithParam<scale_case> {};

TEST_P(ReportScale, LabelsInTheRowColourAndTheFormatOfTheMaximum)
{
    fixture_input f;
    f.input.display_rows[5] = GetParam().display;
    const recording r = record_report(f.input);
    const double x0 = 200 + 11 * 5;
    const int ps[] = {0, 1, 10};
    for (int i = 0; i < 3; ++i) {
        const recorded_text* t = r.text_at(dev(x0 + 1), dev(117 - 10 * ps[i]));
        ASSERT_NE(t, nullptr) << i;
        EXPECT_EQ(t->text, GetParam().labels[i]);
        EXPECT_EQ(t->colour, QColor(128, 128, 0));
    }
}

INSTANTIATE_TEST_SUITE_P(Formats, ReportScale,
                         ::testing::Values(scale_case{d_ph, {"7.0", "7.1", "8.0"}},
                                           scale_case{d_tidal, {"0", "250", "2500"}},
                                           scale_case{d_pao2, {"0", "15", "150"}},
                                           scale_case{d_n2_fast, {"0", "10", "100"}}));

TEST(Report, TraceIsDrawnInItsRowColour)
{
    fixture_input f;
    f.input.display_rows[1] = d_n2_fast;  // red row; constant 50: half way up
    f.series[d_n2_fast] = [](int) { return 50.0; };
    const QImage image = render_image(f.input);
    const int y = dev(70);
    int red = 0;
    for (int x = dev(60); x < dev(120); ++x) red += image.pixelColor(x, y) == QColor(Qt::red);
    EXPECT_EQ(red, dev(120) - dev(60));
}

TEST(Report, TraceEndsAtSimTimeAndSkipsSegmentsEndingAtTheLimits)
{
    fixture_input f;
    f.input.win_start = 60;
    f.input.sim_time = 360;  // 300 s plotted
    f.input.cursor_time = 120;
    f.input.display_rows[0] = d_n2_fast;
    // At the maximum from 200 s to 209 s: the segments ending there are left out.
    f.series[d_n2_fast] = [](int t) { return t >= 200 && t < 210 ? 100.0 : 40.0; };
    const recording r = record_report(f.input);
    std::vector<QLineF> trace;
    for (const auto& l : r.lines)
        if (l.colour == QColor(Qt::black) && l.line.y2() == dev(80) && l.line.dx() < dev(1))
            trace.push_back(l.line);
    // 300 segments minus the 10 that end at 200..209 s; the one starting at
    // 209 s (value 150) ending at 210 s (60) is drawn from outside the range.
    EXPECT_EQ(trace.size(), 290u);
    double right = 0;
    for (const auto& l : trace) right = std::max(right, l.x2());
    EXPECT_EQ(right, dev(48 + 4.0 * 300 / 15));
    bool entering = false;
    for (const auto& l : r.lines)
        entering |= l.line == QLineF(dev(48 + 4.0 * 149 / 15), dev(20), dev(48 + 4.0 * 150 / 15), dev(80));
    EXPECT_TRUE(entering);
}

// A value beyond the scale is drawn to the frame's edge and no further: the
// segments coming back start on the frame (top at 20 units, bottom at 120)
// and the cursor's marker of such a value sits on the frame's edge.
TEST(Report, ValuesBeyondTheScaleAreDrawnToTheFrameAndNoFurther)
{
    fixture_input f;
    f.input.win_start = 60;
    f.input.sim_time = 360;
    f.input.cursor_time = 205;
    f.input.display_rows[0] = d_n2_fast;
    f.series[d_n2_fast] = [](int t) {
        return t >= 200 && t < 210 ? 2040.0 : t >= 250 && t < 260 ? -500.0 : 40.0;
    };
    const recording r = record_report(f.input);
    int segments = 0;
    bool from_top = false, from_bottom = false;
    for (const auto& l : r.lines) {
        if (l.colour != QColor(Qt::black) || l.line.dx() >= dev(1) || l.line.dx() <= 0) continue;
        ++segments;
        EXPECT_GE(std::min(l.line.y1(), l.line.y2()), dev(20));
        EXPECT_LE(std::max(l.line.y1(), l.line.y2()), dev(120));
        from_top |= l.line.y1() == dev(20);
        from_bottom |= l.line.y1() == dev(120);
    }
    EXPECT_EQ(segments, 280);
    EXPECT_TRUE(from_top);
    EXPECT_TRUE(from_bottom);
    ASSERT_FALSE(r.ellipses.empty());
    EXPECT_NEAR(r.ellipses.front().box.center().y(), dev(20), 1.0);
}

// A reference run: its traces dashed and thin in the row's colour, up to the
// reference's last second, and its name in the title line.
TEST(Report, ReferenceTracesAreDashedAndTheTitleNamesTheReference)
{
    fixture_input f;
    f.input.sim_time = 60;
    f.input.display_rows[1] = d_n2_fast;  // red row
    f.input.reference_name = QStringLiteral("base.sbj");
    f.input.reference_seconds = 201;
    f.input.reference_value = [](int, int) { return 30.0; };
    const recording r = record_report(f.input);
    EXPECT_NE(r.find_text(QStringLiteral(
                  "Tolvane    /tmp/subject.sbj  07/12/2026 08:30    reference (dashed): base.sbj")),
              nullptr);
    double right = 0;
    int segments = 0;
    for (const auto& l : r.lines)
        if (l.colour == QColor(Qt::red) && l.style == Qt::CustomDashLine && l.line.dy() == 0 &&
            l.line.y1() == dev(90)) {
            ++segments;
            right = std::max(right, l.line.x2());
        }
    EXPECT_EQ(segments, 200);
    EXPECT_EQ(right, dev(48 + 4.0 * 200 / 15));
    // Without a reference: no dashed horizontal line, and the title as laid out.
    f.input.reference_name.clear();
    const recording plain = record_report(f.input);
    for (const auto& l : plain.lines) EXPECT_FALSE(l.style == Qt::CustomDashLine && l.line.dy() == 0);
    EXPECT_NE(plain.find_text(QStringLiteral("Tolvane    /tmp/subject.sbj  07/12/2026 08:30")), nullptr);
}

TEST(Report, TraceStopsAtTheRightEdgeAfterTwelveMinutes)
{
    fixture_input f;
    f.input.win_start = 0;
    f.input.sim_time = 1500;
    f.input.display_rows[2] = d_pao2;
    const recording r = record_report(f.input);
    int segments = 0;
    double right = 0;
    for (const auto& l : r.lines)
        if (l.colour == QColor(0, 128, 0) && l.line.y1() == l.line.y2() && l.line.dx() < dev(1)) {
            ++segments;
            right = std::max(right, l.line.x2());
        }
    EXPECT_EQ(segments, 720);
    EXPECT_EQ(right, dev(240));
}

struct marker_case {
    const char* name;
    std::array<double, 3> values;  // rows 0, 1, 2 on the 0..150 scale
    std::array<double, 3> shifts;  // expected x shift of each marker, units
};

class ReportMarkers : public ::testing::TestWithParam<marker_case> {};

TEST_P(ReportMarkers, CloseMarkersMoveRight)
{
    fixture_input f;
    f.input.cursor_time = 100;
    // Three rows on one variable of scale 0..100 (y = 120 - v exactly), told
    // apart by the order in which the report asks for their cursor values.
    f.input.display_rows = {d_n2_fast, d_n2_fast, d_n2_fast, d_none, d_none, d_none, d_none, d_none};
    int call = 0;
    const auto values = GetParam().values;
    f.input.sim_time = 0;  // no traces: only the marker queries remain
    f.series[d_n2_fast] = [&call, values](int) { return values[std::min(call++, 2)]; };
    const recording r = record_report(f.input);
    ASSERT_GE(r.ellipses.size(), 3u);
    const double xc = 48 + 4.0 * 100 / 15;
    for (int k = 0; k < 3; ++k) {
        const double ym = 120 - values[k];
        const double xm = xc + GetParam().shifts[k];
        EXPECT_EQ(r.ellipses[k].box,
                  QRectF(QPoint(dev(xm - 2), dev(ym - 2)), QPoint(dev(xm + 2), dev(ym + 2))))
            << GetParam().name << " row " << k;
        EXPECT_EQ(r.ellipses[k].brush, QColor(Qt::white));
        const recorded_text* number = r.text_at(dev(xm - 1), dev(ym - 2));
        ASSERT_NE(number, nullptr) << GetParam().name << " row " << k;
        EXPECT_EQ(number->text, QString::number(k + 1));
    }
}

INSTANTIATE_TEST_SUITE_P(Shifts, ReportMarkers,
                         ::testing::Values(marker_case{"all three together", {50, 50, 50}, {0, 4.2, 8.4}},
                                           marker_case{"two close one far", {50, 52, 70}, {0, 4.2, 0}},
                                           marker_case{"exactly four apart", {50, 54, 58}, {0, 0, 0}},
                                           marker_case{
                                               "compares ym not shifted x", {50, 53.5, 57}, {0, 4.2, 4.2}}),
                         [](const auto& info) {
                             std::string name = info.param.name;
                             for (char& c : name)
                                 if (c == ' ') c = '_';
                             return name;
                         });

TEST(Report, TwoCloseMarkersAreSeenApartOnThePage)
{
    fixture_input f;
    f.input.display_rows[0] = d_n2_fast;
    f.input.display_rows[1] = d_n2_fast;
    f.series[d_n2_fast] = [](int) { return 45.0; };
    f.input.sim_time = 0;  // no traces through the markers
    f.input.cursor_time = 150;
    const QImage image = render_image(f.input);
    // Row 2's ring (red) stands 4.2 units right of row 1's (black) at the same height.
    const double ym = 120 - 45;
    const double xc = 48 + 4.0 * 150 / 15;
    auto count_near = [&](double x_units, const QColor& colour) {
        int count = 0;
        for (int x = dev(x_units) - 1; x <= dev(x_units) + 1; ++x)
            for (int y = dev(ym) - 1; y <= dev(ym) + 1; ++y) count += image.pixelColor(x, y) == colour;
        return count;
    };
    EXPECT_GT(count_near(xc + 4.2 + 2, Qt::red), 0);
    EXPECT_GT(count_near(xc + 4.2 - 2, Qt::red), 0);
    EXPECT_GT(count_near(xc - 2, Qt::black), 0);
    EXPECT_EQ(count_near(xc - 2, Qt::red), 0);
}

TEST(Report, MarkerNumbersTakeTheColourOfTheLastScale)
{
    fixture_input f;
    f.input.display_rows = {d_pao2, d_none, d_none, d_ph, d_none, d_none, d_none, d_none};
    const recording r = record_report(f.input);
    // Scale 4 (blue) was the last labelled; the time labels are black.
    int numbers = 0;
    for (const auto& t : r.texts) {
        if ((t.text == "1" || t.text == "4") && t.top_left.y() != dev(121)) {
            EXPECT_EQ(t.colour, QColor(Qt::blue));
            ++numbers;
        }
    }
    EXPECT_EQ(numbers, 2);
}

// --- Notes, factor and display rows -----------------------------------------

struct notes_case {
    const char* name;
    QString notes;
    QStringList printed;
};

class ReportNotes : public ::testing::TestWithParam<notes_case> {};

TEST_P(ReportNotes, FirstFourLinesInRed)
{
    fixture_input f;
    f.input.clinical_notes = GetParam().notes;
    const recording r = record_report(f.input);
    std::vector<recorded_text> lines;
    for (const auto& t : r.texts)
        if (t.top_left.x() == dev(33)) lines.push_back(t);
    ASSERT_EQ(lines.size(), static_cast<size_t>(GetParam().printed.size()));
    for (size_t i = 0; i < lines.size(); ++i) {
        EXPECT_EQ(lines[i].text, GetParam().printed[static_cast<qsizetype>(i)]);
        EXPECT_EQ(lines[i].top_left.y(), dev(129 + 5.0 * i));
        EXPECT_EQ(lines[i].colour, QColor(Qt::red));
    }
}

INSTANTIATE_TEST_SUITE_P(
    Texts, ReportNotes,
    ::testing::Values(
        notes_case{"empty", "", {}}, notes_case{"six characters", "01:00 ", {}},
        notes_case{"seven characters", "01:00 I", {"01:00 I"}},
        notes_case{"two lines CR LF",
                   "01:00 I feel dizzy.\r\n02:00 I am unwell.\r\n",
                   {"01:00 I feel dizzy.", "02:00 I am unwell."}},
        notes_case{"six lines LF", "a1 ....\nb2\nc3\nd4\ne5\nf6\n", {"a1 ....", "b2", "c3", "d4"}},
        notes_case{"no final line end", "01:00 line one\r\n02:00 two", {"01:00 line one", "02:00 two"}}),
    [](const auto& info) {
        std::string name = info.param.name;
        for (char& c : name)
            if (c == ' ') c = '_';
        return name;
    });

TEST(Report, EmptyFactorRowsStayBlank)
{
    fixture_input f;
    f.input.factor_rows = {0, -1, 1, 3 /* past the catalogue */, -1, 2, -1, -1};
    const recording r = record_report(f.input);
    for (int k = 0; k < 8; ++k) {
        const bool listed = k == 0 || k == 2 || k == 5;
        EXPECT_EQ(r.text_at(dev(42), dev(160 + 5 * k)) != nullptr, listed) << k;
        EXPECT_EQ(r.text_at(dev(119), dev(160 + 5 * k)) != nullptr, listed) << k;
    }
    EXPECT_EQ(r.text_at(dev(42), dev(160))->text, QStringLiteral("Inspired O2 percentage"));
    EXPECT_EQ(r.text_at(dev(119), dev(160))->text, QStringLiteral("21.0 %"));
    EXPECT_EQ(r.text_at(dev(119), dev(170))->text, QStringLiteral("37.0 degree centigrade"));
    EXPECT_EQ(r.text_at(dev(119), dev(185))->text, QStringLiteral("0.0 %"));
}

TEST(Report, DisplayRowsShowTheirValueAtTheCursorWithCodePage1252Names)
{
    fixture_input f;
    f.input.cursor_time = 65;
    f.input.display_rows[6] = d_n2_fast;
    f.series[d_n2_fast] = [](int t) { return t == 65 ? 12.34 : 99.0; };
    const recording r = record_report(f.input);
    const recorded_text* number = r.text_at(dev(161), dev(190));
    ASSERT_NE(number, nullptr);
    EXPECT_EQ(number->text, QStringLiteral("7:"));
    const recorded_text* name = r.text_at(dev(165), dev(190));
    ASSERT_NE(name, nullptr);
    EXPECT_EQ(name->text, QString::fromUtf8("Tissue N2 amount in \u2018fast\u2019 compartment"));
    const recorded_text* value = r.text_at(dev(248), dev(190));
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->text, QStringLiteral("12.3 ml STPD"));
}

TEST(Report, ClinicalLineSplitting)
{
    EXPECT_TRUE(report_clinical_lines(QStringLiteral("abcdef")).isEmpty());
    EXPECT_EQ(report_clinical_lines(QStringLiteral("a\r\n\r\nbcdef")), (QStringList{"a", "", "bcdef"}));
}

// --- Page shapes -------------------------------------------------------------

struct page_case {
    const char* name;
    int width, height;
    int layout_height;  // device units the report units are taken from
};

class ReportPage : public ::testing::TestWithParam<page_case> {};

TEST_P(ReportPage, EverythingStaysOnThePage)
{
    fixture_input f;
    // Wide texts at the right: the 0..2500 scale last, long names and units.
    f.input.display_rows = {d_pao2, d_ph, d_tidal, d_n2_fast, d_pao2, d_ph, d_n2_fast, d_tidal};
    f.input.factor_rows = {0, 1, 2, -1, -1, -1, -1, -1};
    f.series[d_tidal] = [](int) { return 2499.9; };
    f.input.clinical_notes =
        QStringLiteral("01:20 Your patient is blue.\r\n02:30 I am rather short of breath.\r\n");
    const auto [name, width, height, layout_height] = GetParam();
    EXPECT_EQ(report_layout_height(width, height), layout_height) << name;
    const recording r = record_report(f.input, width, height);
    for (const auto& t : r.texts) {
        EXPECT_GE(t.top_left.x(), 0) << name << " " << t.text.toStdString();
        EXPECT_LE(t.top_left.x() + t.width, width - 1) << name << " " << t.text.toStdString();
        EXPECT_LT(t.top_left.y(), height) << name << " " << t.text.toStdString();
    }
    for (const auto& l : r.lines) {
        EXPECT_LT(std::max(l.line.x1(), l.line.x2()), width) << name;
        EXPECT_LT(std::max(l.line.y1(), l.line.y2()), height) << name;
    }
}

INSTANTIATE_TEST_SUITE_P(Shapes, ReportPage,
                         ::testing::Values(page_case{"a4_landscape", 1123, 794, 794},
                                           page_case{"a4_landscape_5mm_margins", 1085, 756, 756},
                                           page_case{"letter_landscape", 1056, 816, 745},
                                           page_case{"a4_portrait", 794, 1123, 560}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(Report, MissingValueSourceReadsZero)
{
    fixture_input f;
    f.input.display_rows[0] = d_pao2;
    f.input.display_value = nullptr;
    const recording r = record_report(f.input);
    const recorded_text* value = r.text_at(dev(248), dev(160));
    ASSERT_NE(value, nullptr);
    EXPECT_EQ(value->text, QStringLiteral("0.0 mm Hg"));
}

// --- PDF ---------------------------------------------------------------------

TEST(ReportPdf, WritesAOnePageLandscapePdf)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    fixture_input f;
    f.input.display_rows[0] = d_pao2;
    const QString path = dir.filePath(QStringLiteral("report.pdf"));
    EXPECT_EQ(message_text(write_report_pdf(path, f.input)), QString());
    QFile file(path);
    ASSERT_TRUE(file.open(QIODevice::ReadOnly));
    const QByteArray pdf = file.readAll();
    EXPECT_TRUE(pdf.startsWith("%PDF-"));
    EXPECT_EQ(pdf.count("/Type /Page\n") + pdf.count("/Type /Page\r") + pdf.count("/Type /Page "), 1);
    // A4 landscape: 842 x 595 points.
    EXPECT_TRUE(pdf.contains("/MediaBox [0 0 842.000000 595.000000]"));
}

TEST(ReportPdf, UnwritablePathIsReported)
{
    fixture_input f;
    const QString error =
        message_text(write_report_pdf(QStringLiteral("/nonexistent-dir/x/report.pdf"), f.input));
    EXPECT_FALSE(error.isEmpty());
    EXPECT_TRUE(error.contains(QStringLiteral("/nonexistent-dir/x/report.pdf")));
}

// --- tolvane-batch --report, end to end ------------------------------------

struct process_result {
    int exit_code = -1;
    QString out, err;
};

process_result run_program(const QString& program, const QStringList& arguments)
{
    QProcess process;
    process.start(program, arguments);
    process_result result;
    if (!process.waitForFinished(60000)) return result;
    result.exit_code = process.exitStatus() == QProcess::NormalExit ? process.exitCode() : -1;
    result.out = QString::fromUtf8(process.readAllStandardOutput());
    result.err = QString::fromUtf8(process.readAllStandardError());
    return result;
}

QString batch_program()
{
    // Built beside the test programs.
    return QDir(QCoreApplication::applicationDirPath()).filePath(QStringLiteral("tolvane-batch"));
}

TEST(ReportBatch, WritesOneLandscapePageAfterTheRun)
{
    ASSERT_TRUE(QFile::exists(batch_program())) << batch_program().toStdString();
    const QString pdfinfo = QStandardPaths::findExecutable(QStringLiteral("pdfinfo"));
    const QString pdftotext = QStandardPaths::findExecutable(QStringLiteral("pdftotext"));
    ASSERT_FALSE(pdfinfo.isEmpty()) << "pdfinfo (poppler-utils, scripts/setup.sh) is needed";
    ASSERT_FALSE(pdftotext.isEmpty());
    QTemporaryDir dir;
    const QString path = dir.filePath(QStringLiteral("r.pdf"));
    const process_result batch =
        run_program(batch_program(), {"--set", "16=10", "--minutes", "2", "--report", path});
    ASSERT_EQ(batch.exit_code, 0) << batch.err.toStdString();

    const process_result info = run_program(pdfinfo, {path});
    ASSERT_EQ(info.exit_code, 0) << info.err.toStdString();
    EXPECT_TRUE(info.out.contains(QRegularExpression(QStringLiteral("Pages: +1\n"))))
        << info.out.toStdString();
    EXPECT_TRUE(info.out.contains(QRegularExpression(QStringLiteral("Page size: +842 x 595 pts"))))
        << info.out.toStdString();

    const process_result text = run_program(pdftotext, {"-layout", path, "-"});
    ASSERT_EQ(text.exit_code, 0);
    // Cursor at the end of the run, the start-up rows, the factor as set.
    for (const char* expected : {"At cusor position 02:00", "Inspired O2 percentage", "10.0 %",
                                 "Arterial O2 partial pressure", "Display variables", "minutes"})
        EXPECT_TRUE(text.out.contains(QLatin1String(expected))) << expected << "\n" << text.out.toStdString();
}

TEST(ReportBatch, UnwritableReportIsAFileError)
{
    ASSERT_TRUE(QFile::exists(batch_program()));
    const process_result batch =
        run_program(batch_program(), {"--minutes", "1", "--report", "/nonexistent-directory/r.pdf"});
    EXPECT_EQ(batch.exit_code, 1);
    EXPECT_TRUE(batch.err.contains(QStringLiteral("/nonexistent-directory/r.pdf")))
        << batch.err.toStdString();
}

}  // namespace
