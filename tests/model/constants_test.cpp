// Derived constants: worked values of the standard subject, the metabolic
// rate, the in-place changes, the guards, and finiteness over all limits.
#include <gtest/gtest.h>

#include <cmath>
#include <random>
#include <string>

#include "model_internal.h"
#include "standard_subject.h"

namespace {

class Constants : public ::testing::Test {
protected:
    void SetUp() override { make_standard_subject_live(); }
};

// Every value that constant() writes is a finite number.
::testing::AssertionResult all_outputs_finite()
{
    for (int i = 0; i < 76; ++i) {
        if (!std::isfinite(derived[i])) {
            return ::testing::AssertionFailure() << "derived[" << i << "] = " << derived[i];
        }
    }
    for (float v : {display[36].value, other[4], factor[0].value, factor[1].value}) {
        if (!std::isfinite(v)) {
            return ::testing::AssertionFailure() << "a written value is " << v;
        }
    }
    return ::testing::AssertionSuccess();
}

TEST_F(Constants, StandardSubjectWorkedValues)
{
    EXPECT_TRUE(constant(60));
    EXPECT_EQ(display[36].value, 100.0f);
    EXPECT_EQ(derived[11], static_cast<float>(760 - 41.07 - 5.92));
    EXPECT_NEAR(derived[7], 241.08, 0.01);
    EXPECT_EQ(derived[74], 184.0f);

    // Further entries worked by hand from the standard values.
    EXPECT_FLOAT_EQ(derived[1], 1000.0f / 3000);
    EXPECT_FLOAT_EQ(derived[3], 0.0203f * 14.8f);
    EXPECT_FLOAT_EQ(derived[10], 1.0f / 12000);
    EXPECT_FLOAT_EQ(derived[17], 1.0f / 6);
    EXPECT_FLOAT_EQ(derived[20], 3250);
    EXPECT_FLOAT_EQ(derived[35], 0.01 / (713.01 * 0.003592 / 310));
    EXPECT_NEAR(derived[47], std::pow(8.0, 1.5) * 100 * 0.000214 * (356 / 713.01 + 0.5), 1e-6);
    EXPECT_FLOAT_EQ(derived[61], 1 / 1.5f);  // F = 1 at rest
    EXPECT_NEAR(derived[63], 500 / 241.08, 1e-4);
    EXPECT_FLOAT_EQ(derived[71], 23.3f);
    EXPECT_FLOAT_EQ(derived[73], 24);  // K = -7 at rest
    EXPECT_FLOAT_EQ(derived[75], 1.9f * 70);
    EXPECT_EQ(derived[0], 0.0f);
    EXPECT_EQ(derived[57], 1.0f);

    EXPECT_FLOAT_EQ(other[4], 7.4f);
    EXPECT_FLOAT_EQ(factor[0].value, 3.8f);
}

TEST_F(Constants, Entry44UsesBRoundedToFloat)
{
    factor[31].value = 45;  // M = 45 * 119 / 14.5
    constant(60);
    const double M = display[36].value;
    const float B = static_cast<float>(std::pow(M * 0.01, 0.8) * 5 * 0.2);
    EXPECT_EQ(derived[44], static_cast<float>(100 * static_cast<double>(B) * 0.0132));
    EXPECT_EQ(derived[45], static_cast<float>(100 * static_cast<double>(B) * 0.008));
}

TEST_F(Constants, MetabolicRateFromWorkRate)
{
    struct row {
        float work, rate;
    };
    const row rows[] = {
        {0, 100}, {2.99f, 100}, {3, 178.5f}, {15, 15 * 119 / 6.7f}, {200, 200 * 119 / (20.9f + 1.6f * 50 / 75)},
    };
    for (const row& r : rows) {
        factor[31].value = r.work;
        constant(60);
        EXPECT_NEAR(display[36].value, r.rate, 1e-3) << r.work;
    }
    factor[31].value = 200;
    constant(60);
    EXPECT_NEAR(display[36].value, 1083.5, 0.05);
}

// Entry 61: F = (M x 0.01)^1.45 is lowered to 12 before the division by
// 0.015 x other[19]; with other[19] = 0 the weight is the largest, 120.
TEST_F(Constants, CardiacOutputWeightCapsFBeforeDividing)
{
    struct row {
        float work, lung_volume, entry61;
    };
    const row rows[] = {
        {0, 100, 1 / 1.5f},
        {100, 100, 8},  // F = 12.3 before the cap
        {200, 100, 8},  // F = 31.5 before the cap
        {100, 50, 16},
        {0, 0, 120},
        {200, 0, 120},
    };
    for (const row& r : rows) {
        factor[31].value = r.work;
        other[19] = r.lung_volume;
        constant(60);
        EXPECT_FLOAT_EQ(derived[61], r.entry61) << r.work << " W, other[19] " << r.lung_volume;
    }
    factor[31].value = 70;  // below the cap: F / 1.5
    other[19] = 100;
    constant(60);
    EXPECT_FLOAT_EQ(derived[61], std::pow(display[36].value * 0.01f, 1.45f) / 1.5f);
}

TEST_F(Constants, BicarbonateSpreadOverTheRunAtEveryCall)
{
    factor[1].value = 120;
    constant(60);
    EXPECT_FLOAT_EQ(factor[1].value, 2);
    constant(60);
    EXPECT_FLOAT_EQ(factor[1].value, 120.0f / 3600);
}

TEST_F(Constants, RunOfNoStepsLeavesTheAdditionFinite)
{
    factor[1].value = -90;
    constant(0);
    EXPECT_EQ(factor[1].value, -90.0f);
    constant(-5);
    EXPECT_EQ(factor[1].value, -90.0f);
}

TEST_F(Constants, DpgReferencePhAndCap)
{
    struct row {
        float dpg, reference_ph, dpg_after;
    };
    const row rows[] = {
        {15, 7.58f, 13},               // maximum: both capped
        {13.5f, 7.58f, 13},
        {13, 7.58f, 13},
        {11, 7.58f, 11},               // 7.58 reached before the cap of 13
        {10.5f, 7.4f + 6.7f * 0.025f, 10.5f},
        {10, 7.4f + 6.2f * 0.025f, 10},
        {1, 7.4f - 2.8f * 0.025f, 1},
    };
    for (const row& r : rows) {
        factor[0].value = r.dpg;
        constant(60);
        EXPECT_FLOAT_EQ(other[4], r.reference_ph) << r.dpg;
        EXPECT_EQ(factor[0].value, r.dpg_after) << r.dpg;
    }
}

TEST_F(Constants, ColdBodyStopsConsumptionAndDrive)
{
    for (float T : {25.0f, 25.5f, 26.0f}) {
        factor[5].value = T;
        constant(60);
        EXPECT_EQ(derived[7], 0.0f) << T;
        EXPECT_EQ(derived[47], 0.0f) << T;
        EXPECT_EQ(derived[63], 120.0f) << T;  // the largest damping weight
        EXPECT_FLOAT_EQ(derived[9], -2.4f) << T;
        EXPECT_TRUE(all_outputs_finite()) << T;
    }
    factor[5].value = 29;
    constant(60);
    EXPECT_GT(derived[7], 0.0f);
    EXPECT_EQ(derived[47], 0.0f);
    factor[5].value = 30;
    constant(60);
    EXPECT_GT(derived[47], 0.0f);
}

TEST_F(Constants, ZeroLungElastance)
{
    factor[18].value = 0;
    constant(60);
    EXPECT_FLOAT_EQ(derived[8], 30 * 0.0016 * 4.6 * (37 - 12.2));
    EXPECT_FLOAT_EQ(derived[49], 9);
    factor[22].value = 50;
    constant(60);
    EXPECT_TRUE(all_outputs_finite());
    EXPECT_LT(derived[8], 0.0f);
}

TEST_F(Constants, ExtraDeadSpaceWidensEntry20OnlyWhenNotNegative)
{
    factor[11].value = 64;
    constant(60);
    EXPECT_FLOAT_EQ(derived[20], 3250 + 15 * 8);
    factor[11].value = -4;  // below its limits: no square root of it
    constant(60);
    EXPECT_FLOAT_EQ(derived[20], 3250);
}

TEST_F(Constants, DryPressureAtOrBelowZeroIsHeldAtOneMmHg)
{
    factor[25].value = 50;
    factor[5].value = 44;  // 50 - 58.08 - 5.92 < 0
    constant(60);
    EXPECT_EQ(derived[11], 1.0f);
    EXPECT_GT(derived[12], 0.0f);
    EXPECT_GT(derived[34], 0.0f);
    EXPECT_GT(derived[35], 0.0f);
    EXPECT_TRUE(all_outputs_finite());
    // At 37 degrees 50 mm Hg still leaves 2.99 mm Hg of dry gas.
    factor[5].value = 37;
    constant(60);
    EXPECT_FLOAT_EQ(derived[11], 50 - 41.07f - 5.92f);
}

TEST_F(Constants, EveryFactorAndPassportValueAtItsLimits)
{
    for (int i = 0; i < TOLVANE_NUM_FACTORS; ++i) {
        for (bool high : {false, true}) {
            make_standard_subject_live();
            factor[i].value = high ? factor[i].maximum : factor[i].minimum;
            constant(60);
            EXPECT_TRUE(all_outputs_finite()) << "factor " << i << (high ? " max" : " min");
        }
    }
    for (catalogue_record* passport : {&height, &weight, &age}) {
        for (bool high : {false, true}) {
            make_standard_subject_live();
            passport->value = high ? passport->maximum : passport->minimum;
            constant(60);
            EXPECT_TRUE(all_outputs_finite()) << passport->name << (high ? " max" : " min");
        }
    }
    make_standard_subject_live();
    sex = 0;
    constant(60);
    EXPECT_TRUE(all_outputs_finite());
    EXPECT_FLOAT_EQ(derived[71], 21.7f);
}

TEST_F(Constants, RandomSubjectsWithinLimits)
{
    std::mt19937 random(20100213);
    auto within = [&](const catalogue_record& r) {
        // Draw the limits themselves now and then; they are the hard cases.
        const int pick = std::uniform_int_distribution<int>(0, 9)(random);
        if (pick == 0) {
            return r.minimum;
        }
        if (pick == 1) {
            return r.maximum;
        }
        return std::uniform_real_distribution<float>(r.minimum, r.maximum)(random);
    };
    for (int trial = 0; trial < 400; ++trial) {
        make_standard_subject_live();
        for (catalogue_record& r : factor) {
            r.value = within(r);
        }
        height.value = within(height);
        weight.value = within(weight);
        age.value = within(age);
        sex = trial % 2;
        display[40].value = within(display[40]);
        display[41].value = within(display[41]);
        constant(60);
        ASSERT_TRUE(all_outputs_finite()) << "trial " << trial;
    }
}

}  // namespace
