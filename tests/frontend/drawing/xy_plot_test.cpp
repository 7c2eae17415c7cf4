// SPDX-License-Identifier: Apache-2.0
// The X-Y plot: the trajectory read from the history (length, order, units,
// capacity, cursor), the two kinds of scale, and the chart drawn into an image.
#include "xy_plot.h"
#include "xy_trajectory.h"

#include <gtest/gtest.h>

#include <QImage>
#include <QPainter>

#include <cmath>
#include <cstring>

#include "pressure_units.h"
#include "tolvane_model.h"
#include "window_font.h"

namespace {

constexpr int arterial_pco2 = 10;      // 0..75 mm Hg, has a kPa record
constexpr int total_ventilation = 55;  // 0..50 litres/min
constexpr int no_display = 64;
constexpr int chart_width = 600, chart_height = 420;

class XyPlot : public ::testing::Test {
protected:
    void SetUp() override
    {
        std::memset(history, 0, sizeof history);
        // A CO2 response: PCO2 40 -> 50 mm Hg, ventilation 6 -> 26 l/min.
        for (int t = 0; t <= 300; ++t) {
            history[arterial_pco2][history_slot(t)] = static_cast<float>(40 + t / 30.0);
            history[total_ventilation][history_slot(t)] = static_cast<float>(6 + 2 * t / 30.0);
        }
        state.sim_time = 300;
    }
    QImage draw(const xy_chart_input& input)
    {
        QImage image(chart_width, chart_height, QImage::Format_RGB32);
        QPainter painter(&image);
        painter.setFont(window_font());
        draw_xy_chart(painter, chart_width, chart_height, input);
        return image;
    }
    run_state state;
};

TEST_F(XyPlot, TrajectoryHasOnePointPerRecordedSecond)
{
    const xy_trajectory t = xy_trajectory_from(state, arterial_pco2, total_ventilation, 120);
    ASSERT_EQ(t.points.size(), 301u);
    EXPECT_EQ(t.first_time, 0);
    EXPECT_EQ(t.cursor_index, 120);
    EXPECT_FLOAT_EQ(t.points[120].x, 44);
    EXPECT_FLOAT_EQ(t.points[120].y, 14);
    EXPECT_EQ(xy_trajectory_from(state, arterial_pco2, total_ventilation, 301).cursor_index, -1);

    // Only what the history still holds: the last 1800 seconds.
    state.sim_time = 2100;
    const xy_trajectory long_run = xy_trajectory_from(state, arterial_pco2, total_ventilation, 2100);
    EXPECT_EQ(long_run.points.size(), 1800u);
    EXPECT_EQ(long_run.first_time, 301);
    EXPECT_EQ(long_run.cursor_index, 1799);
    EXPECT_EQ(xy_trajectory_from(state, arterial_pco2, total_ventilation, 300).cursor_index, -1);

    // Before the first run: the one recorded second.
    state.sim_time = 0;
    EXPECT_EQ(xy_trajectory_from(state, arterial_pco2, total_ventilation, 0).points.size(), 1u);
}

TEST_F(XyPlot, PressuresInTheUnitsInForce)
{
    state.si_pressure = true;
    const xy_trajectory t = xy_trajectory_from(state, arterial_pco2, total_ventilation, 0);
    EXPECT_NEAR(t.points[0].x, mmhg_to_kpa(40), 1e-9);
    EXPECT_FLOAT_EQ(t.points[0].y, 6);  // not a pressure: unchanged
}

TEST_F(XyPlot, ScalesFromTheCatalogueOrFittedToTheData)
{
    const xy_chart_input catalogue = xy_chart_input_from(state, arterial_pco2, total_ventilation, 0, false);
    EXPECT_EQ(catalogue.x_range.lo, 0);
    EXPECT_EQ(catalogue.x_range.hi, 75);
    EXPECT_EQ(catalogue.y_range.hi, 50);
    const xy_chart_input fitted = xy_chart_input_from(state, arterial_pco2, total_ventilation, 0, true);
    EXPECT_NEAR(fitted.x_range.lo, 40 - 0.5, 1e-5);
    EXPECT_NEAR(fitted.x_range.hi, 50 + 0.5, 1e-5);
    EXPECT_NEAR(fitted.y_range.lo, 6 - 1, 1e-5);

    // Equal limits, equal values, no finite values: never an empty range.
    EXPECT_LT(catalogue_range(no_display).lo, catalogue_range(no_display).hi);
    EXPECT_NEAR(fitted_range({7, 7}).lo, 6.93, 1e-9);
    EXPECT_EQ(fitted_range({0, 0}).hi, 1);
    EXPECT_EQ(fitted_range({NAN}).hi, 1);
    EXPECT_EQ(fitted_range({NAN, 3, 5}).lo, 2.9);
}

TEST_F(XyPlot, AxisTitlesNameTheVariablesAndUnits)
{
    EXPECT_EQ(axis_title(arterial_pco2), QStringLiteral("Arterial CO2 partial pressure (mm Hg)"));
    EXPECT_EQ(axis_title(17), QStringLiteral("Arterial pH"));
    EXPECT_EQ(axis_title(54), QStringLiteral("Tissue pH"));
    EXPECT_EQ(axis_title(47), QStringLiteral("Tissue N2 amount in \u2018fast\u2019 compartment (ml STPD)"));
}

bool near_colour(QRgb pixel, const QColor& colour, int tolerance)
{
    return std::abs(qRed(pixel) - colour.red()) <= tolerance &&
           std::abs(qGreen(pixel) - colour.green()) <= tolerance &&
           std::abs(qBlue(pixel) - colour.blue()) <= tolerance;
}

// Bounding box of the pixels close to a colour inside the area.
QRect box_of(const QImage& image, const QRect& area, const QColor& colour)
{
    QRect box;
    for (int x = area.left(); x <= area.right(); ++x)
        for (int y = area.top(); y <= area.bottom(); ++y)
            if (near_colour(image.pixel(x, y), colour, 60)) box |= QRect(x, y, 1, 1);
    return box;
}

TEST_F(XyPlot, DrawsTheTrajectoryTheCursorAndTheFit)
{
    const QRect area = xy_chart_area(chart_width, chart_height);
    const xy_chart_input input = xy_chart_input_from(state, arterial_pco2, total_ventilation, 150, false);
    const QImage image = draw(input);
    // The line runs from (40, 6) to (50, 26) on the catalogue's scales.
    const QRect line = box_of(image, area, xy_trajectory_colour);
    const QPointF start = xy_chart_position(area, input, {40, 6});
    const QPointF end = xy_chart_position(area, input, {50, 26});
    EXPECT_NEAR(line.left(), start.x(), 5);
    EXPECT_NEAR(line.right(), end.x(), 3);
    EXPECT_NEAR(line.top(), end.y(), 3);
    EXPECT_NEAR(line.bottom(), start.y(), 5);
    // The cursor second is a red dot at (45, 16).
    const QPointF cursor = xy_chart_position(area, input, {45, 16});
    EXPECT_TRUE(near_colour(image.pixel(cursor.toPoint()), xy_cursor_colour, 10));
    // Labels below and left of the area.
    int dark = 0;
    for (int x = area.left(); x < area.right(); ++x)
        for (int y = area.bottom() + 20; y < chart_height; ++y) dark += qGray(image.pixel(x, y)) < 100;
    EXPECT_GT(dark, 100);

    // Fitted, the trajectory spans the area.
    const QImage fitted = draw(xy_chart_input_from(state, arterial_pco2, total_ventilation, 150, true));
    const QRect wide = box_of(fitted, area, xy_trajectory_colour);
    EXPECT_GT(wide.width(), area.width() * 0.85);
    EXPECT_GT(wide.height(), area.height() * 0.85);
}

TEST_F(XyPlot, ValuesFarOutsideTheScaleStayInsideTheArea)
{
    history[total_ventilation][history_slot(100)] = 1e30f;
    history[total_ventilation][history_slot(101)] = NAN;
    const QRect area = xy_chart_area(chart_width, chart_height);
    const QImage image = draw(xy_chart_input_from(state, arterial_pco2, total_ventilation, 150, false));
    for (int x = 0; x < chart_width; ++x)
        for (int y = 0; y < area.top() - 1; ++y)
            ASSERT_FALSE(near_colour(image.pixel(x, y), xy_trajectory_colour, 40)) << x << "," << y;
}

}  // namespace
