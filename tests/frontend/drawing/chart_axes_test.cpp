// SPDX-License-Identifier: Apache-2.0
// Ticks and tick texts of the teaching charts: round steps, ends included,
// no drift from adding decimals, no "-0", and no ticks for empty ranges.
#include "chart_axes.h"

#include <gtest/gtest.h>

#include <cmath>
#include <vector>

namespace {

struct ticks_case {
    double lo, hi;
    int max_count;
    std::vector<double> expected;
};

class NiceTicks : public ::testing::TestWithParam<ticks_case> {};

TEST_P(NiceTicks, RoundStepsWithinTheRange)
{
    const ticks_case& c = GetParam();
    EXPECT_EQ(nice_ticks(c.lo, c.hi, c.max_count), c.expected);
}

INSTANTIATE_TEST_SUITE_P(
    Ranges, NiceTicks,
    ::testing::Values(ticks_case{0, 120, 13, {0, 10, 20, 30, 40, 50, 60, 70, 80, 90, 100, 110, 120}},
                      ticks_case{0, 16, 9, {0, 2, 4, 6, 8, 10, 12, 14, 16}},
                      ticks_case{0, 19.832, 11, {0, 2, 4, 6, 8, 10, 12, 14, 16, 18}},
                      ticks_case{39.5, 50.5, 11, {40, 42, 44, 46, 48, 50}},
                      ticks_case{
                          7.3, 7.5, 11, {7.3, 7.32, 7.34, 7.36, 7.38, 7.4, 7.42, 7.44, 7.46, 7.48, 7.5}},
                      ticks_case{-0.3, 0.3, 7, {-0.3, -0.2, -0.1, 0, 0.1, 0.2, 0.3}},
                      ticks_case{5, 5, 11, {}}, ticks_case{5, 4, 11, {}}, ticks_case{0, INFINITY, 11, {}},
                      ticks_case{NAN, 1, 11, {}}, ticks_case{0, 1, 1, {}}));

TEST(NiceTicks, MultiplesAreExactAndCountStaysWithinTheBound)
{
    for (double hi : {0.7, 3.3, 19.83, 75.0, 150.0, 4000.0, 30000.0}) {
        for (int count : {5, 8, 11, 13}) {
            const std::vector<double> ticks = nice_ticks(0, hi, count);
            EXPECT_LE(static_cast<int>(ticks.size()), count) << hi << " " << count;
            EXPECT_GE(ticks.size(), 2u) << hi << " " << count;
            const double step = tick_step(ticks);
            for (double t : ticks) EXPECT_NEAR(std::remainder(t, step), 0, step * 1e-9);
        }
    }
}

TEST(TickText, DecimalsFromTheStep)
{
    EXPECT_EQ(tick_text(120, 10), QStringLiteral("120"));
    EXPECT_EQ(tick_text(0.30000000000000004, 0.1), QStringLiteral("0.3"));
    EXPECT_EQ(tick_text(7.42, 0.02), QStringLiteral("7.42"));
    EXPECT_EQ(tick_text(2.25, 0.25), QStringLiteral("2.25"));
    EXPECT_EQ(tick_text(-1e-17, 0.1), QStringLiteral("0.0"));
}

TEST(ChartScale, MapsValuesOntoPixelsAndGuardsAZeroRange)
{
    const chart_scale up{0, 100, 400, 20};  // a vertical axis: 0 at the bottom
    EXPECT_DOUBLE_EQ(up.pixel(0), 400);
    EXPECT_DOUBLE_EQ(up.pixel(100), 20);
    EXPECT_DOUBLE_EQ(up.pixel(50), 210);
    const chart_scale flat{3, 3, 0, 100};
    EXPECT_DOUBLE_EQ(flat.pixel(3), 50);
    EXPECT_DOUBLE_EQ(flat.pixel(1e9), 50);
}

}  // namespace
