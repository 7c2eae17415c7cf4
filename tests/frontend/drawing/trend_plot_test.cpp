// SPDX-License-Identifier: Apache-2.0
// The trend plot drawn into an image: frame, grid and ticks, trace colours,
// the strict-range rule, the one-pixel offset, equal limits, cursor, credits.
#include "trend_plot.h"

#include <gtest/gtest.h>

#include <QCryptographicHash>
#include <QImage>
#include <QPainter>

#include <algorithm>
#include <cmath>
#include <cstring>

#include "reference_run.h"
#include "run_state.h"
#include "slot_ids.h"
#include "tolvane_model.h"
#include "window_font.h"

namespace {

constexpr int cw = 1022;
// The trend rows below use alveolar_po2, scaled 0 .. 150 mm Hg.

QImage blank_image()
{
    QImage image(cw, 400, QImage::Format_RGB32);
    image.fill(QColor(200, 200, 200));
    return image;
}

bool is(const QImage& image, int x, int y, const QColor& colour)
{
    return image.pixelColor(x, y).rgb() == colour.rgb();
}

int count(const QImage& image, const QColor& colour, QRect area)
{
    int n = 0;
    for (int x = area.left(); x <= area.right(); ++x)
        for (int y = area.top(); y <= area.bottom(); ++y) n += is(image, x, y, colour);
    return n;
}

display_selection only_row(int row, int variable)
{
    display_selection selection;
    selection.fill(display_id::no_display);
    selection[static_cast<size_t>(row)] = variable;
    return selection;
}

class TrendPlot : public ::testing::Test {
protected:
    void SetUp() override { std::memset(history, 0, sizeof history); }
    void set_samples(int variable, int from, int to, float value)
    {
        for (int t = from; t <= to; ++t) history[variable][history_slot(t)] = value;
    }
    QImage draw(run_state state, const display_selection& selection, bool* cursor_drawn = nullptr)
    {
        QImage image = blank_image();
        QPainter painter(&image);
        painter.setFont(window_font());
        prepare_redraw(state, cw);
        const bool drawn = paint_trend_plot(painter, cw, state, selection, "1.00", nullptr);
        if (cursor_drawn) *cursor_drawn = drawn;
        return image;
    }
};

struct format_case {
    double maximum;
    const char* format;
};

class ScaleFormat : public ::testing::TestWithParam<format_case> {};

TEST_P(ScaleFormat, FollowsTheMaximum)
{
    EXPECT_STREQ(scale_format(GetParam().maximum), GetParam().format) << GetParam().maximum;
}

INSTANTIATE_TEST_SUITE_P(Limits, ScaleFormat,
                         ::testing::Values(format_case{2500, "%.0f"}, format_case{100, "%.0f"},
                                           format_case{99.99, "%.1f"}, format_case{50, "%.1f"},
                                           format_case{10, "%.1f"}, format_case{9.99, "%0.1f"},
                                           format_case{8, "%0.1f"}, format_case{1, "%0.1f"},
                                           format_case{0.99, "%.0f"}, format_case{0, "%.0f"}));

TEST(TraceColours, AreTheStoredBgrWords)
{
    const QColor expected[] = {{0, 0, 0},     {255, 0, 0},   {0, 128, 0},   {0, 0, 255},
                               {255, 0, 255}, {128, 128, 0}, {0, 128, 128}, {128, 128, 128}};
    for (int k = 0; k < 8; ++k) EXPECT_EQ(trace_colour(k), expected[k]) << "row " << k;
}

TEST_F(TrendPlot, FrameGridAndTicks)
{
    run_state state;
    state.sim_time = 0;
    const QImage image = draw(state, only_row(0, display_id::no_display));
    // White area inside a black border from x = 2 to cw - 1, y = 0 to 381.
    EXPECT_TRUE(is(image, 1, 200, QColor(200, 200, 200)));
    EXPECT_TRUE(is(image, 2, 200, Qt::black));
    EXPECT_TRUE(is(image, cw - 1, 200, Qt::black));
    EXPECT_TRUE(is(image, 500, 381, Qt::black));
    EXPECT_TRUE(is(image, 500, 0, Qt::black));
    EXPECT_TRUE(is(image, 500, 382, Qt::white));
    EXPECT_TRUE(is(image, 500, 383, QColor(200, 200, 200)));
    // Value grid lines at 353, 320, ..., 20 between x = 161 and cw - 160.
    for (int y : {353, 320, 287, 254, 220, 187, 154, 120, 87, 54, 20}) {
        EXPECT_TRUE(is(image, 170, y, Qt::black)) << y;
        EXPECT_TRUE(is(image, cw - 160, y, Qt::black)) << y;
        EXPECT_TRUE(is(image, cw - 159, y, Qt::white)) << y;
    }
    EXPECT_TRUE(is(image, 170, 300, Qt::white));
    // Minute lines every 60 pixels from x = 160, up to the last one below cw - 321.
    EXPECT_EQ(state.grid_span, 0);  // the state copy passed in is not written
    for (int x = 160; x < 160 + 701; x += 60) EXPECT_TRUE(is(image, x, 300, Qt::black)) << x;
    EXPECT_TRUE(is(image, cw - 160, 300, Qt::black));
    // Half-minute ticks 9 pixels tall, quarter-minute ticks 6.
    EXPECT_TRUE(is(image, 190, 344, Qt::black));
    EXPECT_TRUE(is(image, 190, 343, Qt::white));
    EXPECT_TRUE(is(image, 175, 347, Qt::black));
    EXPECT_TRUE(is(image, 175, 346, Qt::white));
    EXPECT_TRUE(is(image, 205, 347, Qt::black));
    EXPECT_TRUE(is(image, 205, 346, Qt::white));
}

TEST_F(TrendPlot, GridSpanIsTheLastLabelledMinute)
{
    run_state state;
    prepare_redraw(state, cw);
    EXPECT_EQ(state.grid_span, 660);  // largest multiple of 60 below 701
}

TEST_F(TrendPlot, TraceSitsOnePixelRightOfItsTimeInItsRowColour)
{
    set_samples(display_id::alveolar_po2, 0, 60, 75.0f);
    run_state state;
    state.sim_time = 60;
    for (int row = 1; row < 8; ++row) {
        const QImage image = draw(state, only_row(row, display_id::alveolar_po2));
        // y = trunc(-2.22 * 75 + 353) = 186; the sample of time 0 lies at x = 161.
        EXPECT_TRUE(is(image, 161, 186, trace_colour(row))) << row;
        EXPECT_TRUE(is(image, 221, 186, trace_colour(row))) << row;
        EXPECT_FALSE(is(image, 160, 186, trace_colour(row))) << row;
        EXPECT_FALSE(is(image, 222, 186, trace_colour(row))) << row;
    }
}

TEST_F(TrendPlot, ValuesAtTheLimitsAreNotDrawn)
{
    run_state state;
    state.sim_time = 10;
    const QRect upper(161, 14, 20, 80);
    set_samples(display_id::alveolar_po2, 0, 9, 75.0f);
    set_samples(display_id::alveolar_po2, 10, 10, 150.0f);  // the maximum itself: the last segment is omitted
    EXPECT_EQ(count(draw(state, only_row(2, display_id::alveolar_po2)), trace_colour(2), upper), 0);
    set_samples(display_id::alveolar_po2, 10, 10, 149.0f);  // just below: drawn up to y = 22
    EXPECT_GT(count(draw(state, only_row(2, display_id::alveolar_po2)), trace_colour(2), upper), 0);
    // A segment that leaves the range from inside is omitted, one that comes
    // back starts at the frame's edge (only its end point is tested).
    set_samples(display_id::alveolar_po2, 0, 10, 75.0f);
    set_samples(display_id::alveolar_po2, 5, 5, 400.0f);
    const QImage image = draw(state, only_row(2, display_id::alveolar_po2));
    EXPECT_TRUE(is(image, 165, 186, trace_colour(2)));                   // segment 3: 164 -> 165
    EXPECT_GT(count(image, trace_colour(2), QRect(166, 0, 1, 100)), 0);  // segment 5 from far above
}

TEST_F(TrendPlot, EqualLimitsGetNeitherScaleNorTrace)
{
    ASSERT_EQ(display[display_id::no_display].minimum, display[display_id::no_display].maximum);
    set_samples(display_id::no_display, 0, 60, 0.0f);
    run_state state;
    state.sim_time = 60;
    display_selection selection;
    selection.fill(display_id::no_display);
    const QImage image = draw(state, selection);
    // (Row 1's red is also the cursor's.)
    for (int k = 2; k < 8; ++k) EXPECT_EQ(count(image, trace_colour(k), QRect(161, 21, 700, 332)), 0) << k;
    // Scale 0's axis at x = 12 is not drawn either.
    EXPECT_TRUE(is(image, 12, 200, Qt::white));
}

TEST_F(TrendPlot, ScalesStandAtTheirColumnsInTheirColours)
{
    display_selection selection = {15, 10, 40, 52, 36, 35, 63, 17};
    run_state state;
    state.credits_shown = true;
    const QImage image = draw(state, selection);
    for (int k = 0; k < 8; ++k) {
        const int x = k < 4 ? 12 + 38 * k : cw - 302 + 38 * k;
        EXPECT_TRUE(is(image, x, 14, trace_colour(k))) << k;
        EXPECT_TRUE(is(image, x, 353, trace_colour(k))) << k;
        EXPECT_FALSE(is(image, x, 13, trace_colour(k))) << k;
    }
}

TEST_F(TrendPlot, CursorInsideIsRedAndOutsideIsNotDrawn)
{
    run_state state;
    state.sim_time = 120;
    state.win_start = 0;
    state.cursor_pinned = true;
    state.cursor_time = 30;
    bool drawn = false;
    QImage image = draw(state, only_row(0, display_id::no_display), &drawn);
    EXPECT_TRUE(drawn);
    const QColor red(255, 0, 0);
    EXPECT_TRUE(is(image, 190, 17, red));
    EXPECT_TRUE(is(image, 190, 367, red));
    EXPECT_GT(count(image, red, QRect(190, 20, 1, 334)), 150);  // dashed: not every pixel
    EXPECT_LT(count(image, red, QRect(190, 20, 1, 334)), 334);
    state.win_start = 60;  // the cursor now lies left of the window
    image = draw(state, only_row(0, display_id::no_display), &drawn);
    EXPECT_FALSE(drawn);
    EXPECT_EQ(count(image, red, QRect(0, 0, cw, 383)), 0);
    EXPECT_FALSE(cursor_within_plot(state, cw, 59));
    EXPECT_TRUE(cursor_within_plot(state, cw, 60));
    EXPECT_TRUE(cursor_within_plot(state, cw, 60 + cw - 320));
    EXPECT_FALSE(cursor_within_plot(state, cw, 61 + cw - 320));
}

TEST_F(TrendPlot, UnpinnedCursorFollowsTheLastPlottedTime)
{
    run_state state;
    state.sim_time = 900;  // more than the plot holds: 702 seconds from win_start
    state.win_start = 100;
    prepare_redraw(state, cw);
    EXPECT_EQ(state.cursor_time, 100 + cw - 320);
    QImage image = blank_image();
    QPainter painter(&image);
    EXPECT_EQ(draw_traces(painter, cw, state, only_row(1, display_id::alveolar_po2)), 100 + cw - 320);
}

TEST_F(TrendPlot, CreditsBoxWithLogo)
{
    run_state state;
    state.credits_shown = true;
    QImage logo(350, 190, QImage::Format_RGB32);
    logo.fill(QColor(10, 200, 30));
    QImage image = blank_image();
    QPainter painter(&image);
    painter.setFont(window_font());
    prepare_redraw(state, cw);
    paint_trend_plot(painter, cw, state, only_row(0, display_id::no_display), "1.00", &logo);
    painter.end();
    EXPECT_TRUE(is(image, 275, 100, Qt::black));
    EXPECT_TRUE(is(image, 705, 100, Qt::black));
    EXPECT_TRUE(is(image, 500, 25, Qt::black));
    EXPECT_TRUE(is(image, 500, 340, Qt::black));
    EXPECT_TRUE(is(image, 300, 100, Qt::white));  // the grid is covered
    EXPECT_TRUE(is(image, 310, 30, QColor(10, 200, 30)));
    EXPECT_TRUE(is(image, 659, 219, QColor(10, 200, 30)));
    EXPECT_FALSE(is(image, 660, 220, QColor(10, 200, 30)));
    int dark = 0;  // the credit text, smoothed: count dark pixels
    for (int x = 283; x < 483; ++x)
        for (int y = 225; y < 237; ++y) dark += qGray(image.pixel(x, y)) < 100;
    EXPECT_GT(dark, 50);
}

// A reference of `seconds` seconds holding `value` for every variable.
reference_run constant_reference(int seconds, float value)
{
    reference_run reference;
    reference.seconds = seconds;
    reference.samples.assign(static_cast<size_t>(seconds) * logged_displays, value);
    return reference;
}

// A value beyond the scale is drawn to the frame's edge, never beyond it:
// the segment coming back from 2040 mm Hg starts at the top of the frame
// (y = 20), the one coming back from below the minimum at its bottom
// (y = 353), and no trace pixel lies outside (before, the first ran up into
// the menu bar); the same for a reference run.
TEST_F(TrendPlot, ValuesBeyondTheScaleAreDrawnToTheFrameAndNoFurther)
{
    run_state state;
    state.sim_time = 20;
    set_samples(display_id::alveolar_po2, 0, 20, 75.0f);
    set_samples(display_id::alveolar_po2, 5, 5, 2040.0f);
    set_samples(display_id::alveolar_po2, 12, 12, -500.0f);
    const QImage image = draw(state, only_row(2, display_id::alveolar_po2));
    const QColor colour = trace_colour(2);
    EXPECT_EQ(count(image, colour, QRect(161, 0, 30, 20)), 0);
    EXPECT_EQ(count(image, colour, QRect(161, 354, 30, 46)), 0);
    EXPECT_TRUE(is(image, 166, 20, colour));   // segment 5 -> 6 from the top edge
    EXPECT_TRUE(is(image, 173, 352, colour));  // segment 12 -> 13 from the bottom edge

    reference_run reference = constant_reference(21, 75.0f);
    reference.samples[5 * logged_displays + display_id::alveolar_po2] = 2040.0f;
    reference.samples[12 * logged_displays + display_id::alveolar_po2] = -500.0f;
    QImage with_reference = blank_image();
    {
        QPainter painter(&with_reference);
        draw_reference_traces(painter, cw, state, only_row(2, display_id::alveolar_po2), reference);
    }
    EXPECT_EQ(count(with_reference, colour, QRect(161, 0, 30, 20)), 0);
    EXPECT_EQ(count(with_reference, colour, QRect(161, 354, 30, 46)), 0);
    EXPECT_GT(count(with_reference, colour, QRect(161, 20, 30, 1)), 0);
}

// The reference is drawn as the live traces are, dashed, thin, in the row's
// colour, on the row's scale, up to its own last second; changing the row's
// variable shows the reference's values of the new variable.
TEST_F(TrendPlot, ReferenceTracesAreDashedInTheRowColourUpToTheReferenceEnd)
{
    run_state state;
    state.sim_time = 60;  // the live run is shorter than the reference
    state.cursor_pinned = true;
    state.cursor_time = 0;
    reference_run reference = constant_reference(301, 75.0f);  // half way up 0..150
    QImage image = blank_image();
    {
        QPainter painter(&image);
        prepare_redraw(state, cw);
        draw_reference_traces(painter, cw, state, only_row(3, display_id::alveolar_po2), reference);
    }
    const QColor blue(0, 0, 255);
    const int y = 186;  // trunc(s * 75 + o) = trunc(186.5) with s = -333/150, o = 353
    // Dashed: part of the pixels from x = 162 to 461 (seconds 1 .. 300).
    const int on = count(image, blue, QRect(162, y, 300, 1));
    EXPECT_GT(on, 150);
    EXPECT_LT(on, 300);
    EXPECT_EQ(count(image, blue, QRect(462, 0, cw - 462, 400)), 0);  // ends with the reference
    EXPECT_EQ(count(image, blue, QRect(0, 0, cw, y)), 0);            // one pixel thin
    EXPECT_EQ(count(image, blue, QRect(0, y + 1, cw, 400 - y - 1)), 0);
    // A reference value at the limit leaves a gap, as on the live trace.
    for (int t = 100; t < 110; ++t)
        reference.samples[static_cast<size_t>(t) * logged_displays + display_id::alveolar_po2] = 150.0f;
    image = blank_image();
    {
        QPainter painter(&image);
        draw_reference_traces(painter, cw, state, only_row(3, display_id::alveolar_po2), reference);
    }
    EXPECT_EQ(count(image, blue, QRect(161 + 100, y, 9, 1)), 0);
    // The whole plot puts the reference under the live trace of the same row.
    set_samples(display_id::alveolar_po2, 0, 60, 75.0f);
    bool drawn = false;
    image = blank_image();
    {
        QPainter painter(&image);
        painter.setFont(window_font());
        drawn = paint_trend_plot(painter, cw, state, only_row(3, display_id::alveolar_po2), "1.00", nullptr,
                                 &reference);
    }
    EXPECT_TRUE(drawn);
    EXPECT_EQ(count(image, blue, QRect(162, y, 60, 1)), 60);  // the live trace covers it: solid
    EXPECT_GT(count(image, blue, QRect(230, y, 60, 1)), 0);   // the reference goes on
    EXPECT_LT(count(image, blue, QRect(230, y, 60, 1)), 60);
}

// A full scene at 1x: eight rows with traces wandering in and out of range,
// a pinned cursor, then the credits box over a grid. Its hash was taken from
// the drawing with one-pixel cosmetic pens (and taken again for the traces
// when a segment coming back from beyond the scale began to start at the
// frame's edge); the drawing at the window's own scale must stay
// pixel-identical to it.
QByteArray scene_hash(bool credits)
{
    std::memset(history, 0, sizeof history);
    const int rows[8] = {15, 10, 40, 52, 36, 35, 63, display_id::alveolar_po2};
    for (int k = 0; k < 8; ++k) {
        const catalogue_record& r = display[rows[k]];
        for (int t = 0; t <= 700; ++t) {
            const double phase = 0.013 * t * (k + 1) + k;
            const double v = r.minimum + (r.maximum - r.minimum) * (0.5 + 0.6 * std::sin(phase));
            history[rows[k]][history_slot(t)] = static_cast<float>(v);
        }
    }
    run_state state;
    state.sim_time = 700;
    state.win_start = 0;
    state.cursor_pinned = true;
    state.cursor_time = 333;
    state.credits_shown = credits;
    display_selection selection;
    std::copy(std::begin(rows), std::end(rows), selection.begin());
    QImage image = blank_image();
    QPainter painter(&image);
    painter.setFont(window_font());
    prepare_redraw(state, cw);
    paint_trend_plot(painter, cw, state, selection, "1.00", nullptr);
    painter.end();
    const QByteArray bytes(reinterpret_cast<const char*>(image.constBits()),
                           static_cast<int>(image.sizeInBytes()));
    return QCryptographicHash::hash(bytes, QCryptographicHash::Sha256).toHex().left(16);
}

TEST_F(TrendPlot, OneTimesPictureIsUnchanged)
{
    EXPECT_EQ(scene_hash(false).toStdString(), "a82334300a4b4c2f");
    EXPECT_EQ(scene_hash(true).toStdString(), "154c98d65be1927b");
}

// On a screen of two device pixels per window pixel (QT_SCALE_FACTOR=2) the
// frame, grid, traces and cursor are two device pixels wide, fully coloured
// (no smoothing): they scale with the window instead of staying hairlines.
TEST_F(TrendPlot, LinesScaleWithTheScreen)
{
    set_samples(display_id::alveolar_po2, 0, 120, 75.0f);  // a flat trace at y = 353 - 166.5
    run_state state;
    state.sim_time = 120;
    state.cursor_pinned = true;
    state.cursor_time = 30;
    QImage image(2 * cw, 800, QImage::Format_RGB32);
    image.setDevicePixelRatio(2.0);
    image.fill(QColor(200, 200, 200));
    QPainter painter(&image);
    painter.setFont(window_font());
    prepare_redraw(state, cw);
    paint_trend_plot(painter, cw, state, only_row(1, display_id::alveolar_po2), "1.00", nullptr);
    painter.end();
    const auto run_length = [&](int x, int from, int to, const QColor& colour) {
        int n = 0;
        for (int y = from; y <= to; ++y) n += is(image, x, y, colour);
        return n;
    };
    const auto row_length = [&](int y, int from, int to, const QColor& colour) {
        int n = 0;
        for (int x = from; x <= to; ++x) n += is(image, x, y, colour);
        return n;
    };
    // Value grid line at y = 154 seen in a column between minute lines.
    EXPECT_EQ(run_length(2 * 410, 2 * 150, 2 * 158, Qt::black), 2);
    // Minute line at x = 220 seen in a row between grid lines.
    EXPECT_EQ(row_length(2 * 100, 2 * 216, 2 * 224, Qt::black), 2);
    // Frame: bottom border at y = 381.
    EXPECT_EQ(run_length(2 * 600, 2 * 376, 2 * 383 + 1, Qt::black), 2);
    // The red trace of row 1 (x = 161 + t), and the cursor at x = 190.
    EXPECT_EQ(run_length(2 * 200, 2 * 180, 2 * 195, QColor(255, 0, 0)), 2);
    EXPECT_EQ(row_length(2 * 17 - 1, 2 * 186, 2 * 194, QColor(255, 0, 0)) > 0, true);
    EXPECT_EQ(row_length(2 * 100, 2 * 188, 2 * 192, QColor(255, 0, 0)) % 2, 0);
    // No smoothing: nothing but the background, white, black and red at the grid crossing.
    for (int x = 2 * 215; x < 2 * 225; ++x)
        for (int y = 2 * 150; y < 2 * 158; ++y) {
            const QRgb p = image.pixel(x, y);
            EXPECT_TRUE(p == qRgb(255, 255, 255) || p == qRgb(0, 0, 0)) << x << "," << y;
        }
}

}  // namespace
