// SPDX-License-Identifier: Apache-2.0
// The O2 dissociation curve: the model's curve through the chart's logic,
// P50 and its shifts, the venous point, and the chart drawn into an image.
#include "o2_curve.h"
#include "o2_curve_plot.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <cmath>

#include "fake_ui.h"
#include "simulator.h"
#include "slot_ids.h"
#include "tolvane_model.h"
#include "window_font.h"

namespace {

constexpr int chart_width = 640, chart_height = 440;

QImage draw(const o2_curve_view& view, bool markers = true)
{
    QImage image(chart_width, chart_height, QImage::Format_RGB32);
    QPainter painter(&image);
    painter.setFont(window_font());
    display_selection rows{};
    rows.fill(64);
    draw_o2_curve_chart(painter, chart_width, chart_height, view, o2_point_colours_for(rows), markers);
    return image;
}

class O2Curve : public ::testing::Test {
protected:
    void SetUp() override { sim.start(); }
    void TearDown() override
    {
        sim.set_pressure_units(false);
        sim.reset_clicked();
    }
    o2_curve_view view_after_minutes(int minutes)
    {
        for (int m = 0; m < minutes; ++m) sim.controller().run_to_minute();
        return o2_curve_view_at(sim.state(), sim.state().sim_time);
    }

    fake_ui ui;
    simulator sim{ui};
};

TEST_F(O2Curve, StandardCurveThroughTheModel)
{
    const curve_conditions standard = standard_curve_conditions();
    EXPECT_EQ(standard.dpg, 3.8f);
    EXPECT_EQ(standard.haemoglobin, 14.8f);
    EXPECT_NEAR(curve_at(standard, 100).saturation, 0.9749, 5e-5);
    EXPECT_NEAR(curve_at(standard, 5).saturation, 0.033015, 1e-6);
    const double half = p50(standard);
    EXPECT_NEAR(half, 26.8, 0.3);
    EXPECT_NEAR(curve_at(standard, half).saturation, 0.5, 1e-6);

    // The model's curve rises everywhere but at a virtual PO2 of 10, where
    // its low-pressure quadratic (0.0951 just below) hands over to Kelman's
    // equation (0.0866 at 10): the chart draws that step as it is.
    const std::vector<curve_point> points = curve_points(standard, 120, 480);
    ASSERT_EQ(points.size(), 481u);
    EXPECT_EQ(points.back().po2, 120);
    EXPECT_NEAR(curve_at(standard, 9.999).saturation - curve_at(standard, 10).saturation, 0.0085, 1e-4);
    for (size_t i = 1; i < points.size(); ++i) {
        if (points[i].po2 == 10) continue;
        EXPECT_GE(points[i].saturation, points[i - 1].saturation) << points[i].po2;
    }
}

TEST_F(O2Curve, P50RisesAsPhFallsOrTemperatureRises)
{
    curve_conditions c = standard_curve_conditions();
    double previous = 0;
    for (float ph : {7.7f, 7.5f, 7.4f, 7.3f, 7.1f, 6.9f}) {
        c.ph = ph;
        const double now = p50(c);
        EXPECT_GT(now, previous) << ph;
        previous = now;
    }
    c = standard_curve_conditions();
    previous = 0;
    for (float t : {30.0f, 34.0f, 37.0f, 39.0f, 42.0f}) {
        c.temperature = t;
        const double now = p50(c);
        EXPECT_GT(now, previous) << t;
        previous = now;
    }
    // The Bohr shift of a PCO2 of 60 at the pH it brings.
    c = standard_curve_conditions();
    const double rest = p50(c);
    c.pco2 = 60;
    c.ph = 7.25f;
    EXPECT_GT(p50(c), rest + 3);
}

TEST_F(O2Curve, ContentIsFoundBackOnTheCurve)
{
    const curve_conditions c = standard_curve_conditions();
    for (double content : {2.0, 10.0, 14.5, 19.6}) {
        const double po2 = po2_for_content(c, content);
        EXPECT_NEAR(curve_at(c, po2).content, content, 1e-4) << content;
    }
    EXPECT_EQ(po2_for_content(c, -1), 0);
    EXPECT_EQ(po2_for_content(c, 0), 0);
    EXPECT_EQ(po2_for_content(c, 60), curve_search_max_mmhg);
    // A refused condition gives no point and no crash.
    curve_conditions broken = c;
    broken.pco2 = 0;
    EXPECT_TRUE(std::isnan(curve_at(broken, 50).saturation));
    EXPECT_TRUE(std::isnan(p50(broken)));
    o2_curve_view view;
    view.subject = broken;
    view.subject_p50 = p50(broken);
    EXPECT_TRUE(o2_curve_summary(view).startsWith(QStringLiteral("P50 -    arterial")));
}

TEST_F(O2Curve, ViewOfTheStandardSubjectAfterARun)
{
    const o2_curve_view view = view_after_minutes(3);
    EXPECT_EQ(view.time, 180);
    EXPECT_NEAR(view.arterial.po2, 93, 3);
    EXPECT_NEAR(view.arterial.content, 19.5, 0.2);
    EXPECT_NEAR(view.venous.content, 14.5, 1);
    // The venous point sits on the subject's curve at its recorded content.
    EXPECT_NEAR(curve_at(view.subject, view.venous.po2).content, view.venous.content, 1e-4);
    EXPECT_NEAR(view.venous.po2, 40, 5);
    EXPECT_NEAR(view.subject_p50, view.standard_p50, 0.5);
    EXPECT_EQ(o2_curve_summary(view).left(3), QStringLiteral("P50"));
    EXPECT_TRUE(o2_curve_summary(view).contains(QString::asprintf("%.2f", view.arterial.content)));
}

TEST_F(O2Curve, ViewFollowsACursorInThePast)
{
    sim.controller().run_to_minute();
    const o2_curve_view at_minute = o2_curve_view_at(sim.state(), 60);
    factor[factor_id::inspired_o2].value = 12;  // hypoxic gas from here on
    view_after_minutes(3);
    const o2_curve_view later = o2_curve_view_at(sim.state(), sim.state().sim_time);
    const o2_curve_view back = o2_curve_view_at(sim.state(), 60);
    EXPECT_FALSE(later.in_the_past);
    EXPECT_TRUE(back.in_the_past);
    EXPECT_LT(later.arterial.po2, at_minute.arterial.po2 - 20);
    EXPECT_EQ(back.arterial.po2, at_minute.arterial.po2);
    EXPECT_EQ(back.arterial.content, at_minute.arterial.content);
    EXPECT_EQ(back.venous.content, at_minute.venous.content);
    // The venous point's PO2 comes from the curve, which takes the live
    // 2,3-DPG (not recorded); it drifts a little in hypoxia.
    EXPECT_NEAR(back.venous.po2, at_minute.venous.po2, 0.1);
    factor[factor_id::inspired_o2].value = 20.93f;
}

// Darkest grey level in column x, rows y - 1 .. y + 1.
int darkest_near(const QImage& image, int x, int y)
{
    int darkest = 255;
    for (int dy = -1; dy <= 1; ++dy) darkest = std::min(darkest, qGray(image.pixel(x, y + dy)));
    return darkest;
}

TEST_F(O2Curve, ArterialPointLiesOnTheDrawnCurveWithinOnePixel)
{
    for (bool si : {false, true}) {
        sim.set_pressure_units(si);
        for (float inspired_o2 : {20.93f, 12.0f}) {
            factor[factor_id::inspired_o2].value = inspired_o2;
            const o2_curve_view view = view_after_minutes(2);
            const QImage curve = draw(view, false);
            const QPointF at = o2_chart_position(o2_chart_area(chart_width, chart_height), si,
                                                 view.arterial.po2, view.arterial.saturation);
            const int x = static_cast<int>(std::lround(at.x()));
            const int y = static_cast<int>(std::lround(at.y()));
            EXPECT_LT(darkest_near(curve, x, y), 100) << si << " " << inspired_o2 << " at " << x << "," << y;
            // And the marker covers that place once drawn.
            const QRect around(x - 6, y - 6, 13, 13);
            EXPECT_NE(draw(view).copy(around), curve.copy(around));
        }
        factor[factor_id::inspired_o2].value = 20.93f;
        sim.reset_clicked();
    }
}

TEST_F(O2Curve, AnaemiaHalvesTheContentAxisAndKeepsTheSaturationCurve)
{
    o2_curve_view normal = o2_curve_view_at(sim.state(), 0);
    o2_curve_view anaemic = normal;
    anaemic.subject.haemoglobin = normal.subject.haemoglobin / 2;  // 7.4
    // Every content tick of half the haemoglobin sits where twice that content sat.
    const std::vector<content_tick> full = content_axis_ticks(normal.subject.haemoglobin);
    const std::vector<content_tick> half = content_axis_ticks(anaemic.subject.haemoglobin);
    ASSERT_GE(half.size(), 3u);
    for (const content_tick& h : half)
        for (const content_tick& f : full)
            if (f.content == 2 * h.content) {
                EXPECT_NEAR(f.saturation, h.saturation, 1e-12);
            }
    EXPECT_NEAR(half.back().content / half.back().saturation,
                full.back().content / full.back().saturation / 2, 1e-9);

    // Hb 7, as the lesson has it: the curve's pixels stay.
    anaemic.subject.haemoglobin = 7;
    const QRect area = o2_chart_area(chart_width, chart_height).adjusted(2, 2, -2, -2);
    const QImage a = draw(normal, false).copy(area);
    const QImage b = draw(anaemic, false).copy(area);
    EXPECT_EQ(a, b);
    EXPECT_NE(draw(normal, false), draw(anaemic, false));  // the content axis differs
}

TEST_F(O2Curve, StandardCurveIsGreyAndPointsTakeTheirRowColours)
{
    const o2_curve_view view = view_after_minutes(1);
    o2_curve_view shifted = view;
    shifted.subject.ph = 7.1f;  // move the subject's curve clear of the standard one
    const QImage image = draw(shifted, false);
    const QRect area = o2_chart_area(chart_width, chart_height);
    const QPointF on_standard = o2_chart_position(area, false, 40, curve_at(view.standard, 40).saturation);
    const QRgb standard_pixel =
        image.pixel(int(std::lround(on_standard.x())), int(std::lround(on_standard.y())));
    EXPECT_LT(std::abs(qGray(standard_pixel) - standard_curve_colour.lightness()), 40);
    EXPECT_EQ(qRed(standard_pixel), qBlue(standard_pixel));  // grey

    display_selection rows{};
    rows.fill(64);
    rows[2] = 16;
    rows[5] = 62;
    const o2_point_colours colours = o2_point_colours_for(rows);
    EXPECT_EQ(colours.arterial, trace_colour(2));
    EXPECT_EQ(colours.venous, trace_colour(5));
    rows.fill(64);
    EXPECT_EQ(o2_point_colours_for(rows).arterial, trace_colour(0));
}

}  // namespace
