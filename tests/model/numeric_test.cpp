// SPDX-License-Identifier: Apache-2.0
// The first-order lag and the table lookup.
#include <gtest/gtest.h>

#include "model_internal.h"

namespace {

TEST(Damp, Weights)
{
    struct row {
        float target, old, w, expected;
    };
    const row rows[] = {
        {10, 0, 1, 5},    // half the gap
        {10, 0, 9, 1},    // a tenth of the gap
        {10, 0, 0, 10},   // weight 0 gives the target
        {10, 3, -5, 10},  // negative weights count as 0
        {7, 7, 60, 7},    // already there
        {-4, 4, 3, 2},    // a quarter of the way down
    };
    for (const row& r : rows) {
        EXPECT_FLOAT_EQ(damp(r.target, r.old, r.w), r.expected) << r.w;
    }
}

TEST(Damp, WeightsAbove120CountAs120)
{
    EXPECT_EQ(damp(121, 0, 500), damp(121, 0, 120));
    EXPECT_FLOAT_EQ(damp(121, 0, 120), 1);
    EXPECT_FLOAT_EQ(damp(121, 0, 1e30f), 1);
}

TEST(Interpolate, EndsInnerPointsAndBetween)
{
    const table_point table[] = {{0, 0}, {3, 2}, {15, 6.7f}, {30, 11.5f}};
    struct row {
        float x, expected;
    };
    const row rows[] = {
        {-10, 0},  // below the first point: first value
        {0, 0},
        {3, 2},  // an inner point gives its value
        {15, 6.7f},
        {30, 11.5f},
        {1000, 11.5f},  // above the last point: no extrapolation
        {1.5f, 1},
        {9, 2 + 4.7f / 12 * 6},
        {20, 6.7f + 4.8f / 15 * 5},
    };
    for (const row& r : rows) {
        EXPECT_FLOAT_EQ(interpolate(r.x, table, 4), r.expected) << r.x;
    }
}

TEST(Interpolate, RepeatedXNeverDividesByZero)
{
    // A step in the table: the search stops at the first x strictly above.
    const table_point table[] = {{0, 0}, {1, 10}, {1, 20}, {2, 30}};
    EXPECT_FLOAT_EQ(interpolate(0.5f, table, 4), 5);
    EXPECT_FLOAT_EQ(interpolate(1, table, 4), 20);
    EXPECT_FLOAT_EQ(interpolate(1.5f, table, 4), 25);
}

TEST(Interpolate, TwoPoints)
{
    const table_point table[] = {{1.5f, 25}, {25, 10}};
    EXPECT_FLOAT_EQ(interpolate(1, table, 2), 25);
    EXPECT_FLOAT_EQ(interpolate(30, table, 2), 10);
    EXPECT_FLOAT_EQ(interpolate(13.25f, table, 2), 17.5f);
}

}  // namespace
