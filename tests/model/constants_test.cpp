// SPDX-License-Identifier: Apache-2.0
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
    for (float v : {display[display_id::metabolic_rate].value, other[other_id::o2_curve_reference_ph],
                    factor[factor_id::dpg].value, factor[factor_id::bicarbonate_addition].value}) {
        if (!std::isfinite(v)) {
            return ::testing::AssertionFailure() << "a written value is " << v;
        }
    }
    return ::testing::AssertionSuccess();
}

TEST_F(Constants, StandardSubjectWorkedValues)
{
    EXPECT_TRUE(constant(60));
    EXPECT_EQ(display[display_id::metabolic_rate].value, 100.0f);
    EXPECT_EQ(derived[derived_id::dry_pressure], static_cast<float>(760 - 41.07 - 5.92));
    EXPECT_NEAR(derived[derived_id::o2_consumption], 241.08, 0.01);
    EXPECT_EQ(derived[derived_id::max_heart_rate], 184.0f);

    // Further entries worked by hand from the standard values.
    EXPECT_FLOAT_EQ(derived[derived_id::venous_bicarbonate_scale], 1000.0f / 3000);
    EXPECT_FLOAT_EQ(derived[derived_id::bicarbonate_per_pco2], 0.0203f * 14.8f);
    EXPECT_FLOAT_EQ(derived[derived_id::slow_acid_rate], 1.0f / 12000);
    EXPECT_FLOAT_EQ(derived[derived_id::flow_per_cardiac_output], 1.0f / 6);
    EXPECT_FLOAT_EQ(derived[derived_id::max_tidal_volume], 3250);
    EXPECT_FLOAT_EQ(derived[derived_id::stpd_percent_to_btps], 0.01 / (713.01 * 0.003592 / 310));
    EXPECT_NEAR(derived[derived_id::drive_to_ventilation],
                std::pow(8.0, 1.5) * 100 * 0.000214 * (356 / 713.01 + 0.5), 1e-6);
    EXPECT_FLOAT_EQ(derived[derived_id::cardiac_output_lag], 1 / 1.5f);  // F = 1 at rest
    EXPECT_NEAR(derived[derived_id::brain_oxygenation_lag], 500 / 241.08, 1e-4);
    EXPECT_FLOAT_EQ(derived[derived_id::dpg_target], 23.3f);
    EXPECT_FLOAT_EQ(derived[derived_id::hypoxic_po2_threshold], 24);  // K = -7 at rest
    EXPECT_FLOAT_EQ(derived[derived_id::stroke_volume_scale], 1.9f * 70);
    EXPECT_EQ(derived[derived_id::always_zero], 0.0f);
    EXPECT_EQ(derived[derived_id::always_one], 1.0f);

    EXPECT_FLOAT_EQ(other[other_id::o2_curve_reference_ph], 7.4f);
    EXPECT_FLOAT_EQ(factor[factor_id::dpg].value, 3.8f);
}

TEST_F(Constants, Entry44UsesBRoundedToFloat)
{
    factor[factor_id::work_rate].value = 45;  // M = 45 * 119 / 14.5
    constant(60);
    const double M = display[display_id::metabolic_rate].value;
    const float B = static_cast<float>(std::pow(M * 0.01, 0.8) * 5 * 0.2);
    EXPECT_EQ(derived[derived_id::co2_drive_gain], static_cast<float>(100 * static_cast<double>(B) * 0.0132));
    EXPECT_EQ(derived[derived_id::hypoxic_drive_gain],
              static_cast<float>(100 * static_cast<double>(B) * 0.008));
}

TEST_F(Constants, MetabolicRateFromWorkRate)
{
    struct row {
        float work, rate;
    };
    const row rows[] = {
        {0, 100},
        {2.99f, 100},
        {3, 178.5f},
        {15, 15 * 119 / 6.7f},
        {200, 200 * 119 / (20.9f + 1.6f * 50 / 75)},
    };
    for (const row& r : rows) {
        factor[factor_id::work_rate].value = r.work;
        constant(60);
        EXPECT_NEAR(display[display_id::metabolic_rate].value, r.rate, 1e-3) << r.work;
    }
    factor[factor_id::work_rate].value = 200;
    constant(60);
    EXPECT_NEAR(display[display_id::metabolic_rate].value, 1083.5, 0.05);
}

// Entry 61: F = (M x 0.01)^1.45 is lowered to 12 before the division by
// 0.015 x cardiac_lag_parameter; with cardiac_lag_parameter = 0 the weight is the largest, 120.
TEST_F(Constants, CardiacOutputWeightCapsFBeforeDividing)
{
    struct row {
        float work, lung_volume, entry61;
    };
    const row rows[] = {
        {0, 100, 1 / 1.5f}, {100, 100, 8},  // F = 12.3 before the cap
        {200, 100, 8},                      // F = 31.5 before the cap
        {100, 50, 16},      {0, 0, 120},   {200, 0, 120},
    };
    for (const row& r : rows) {
        factor[factor_id::work_rate].value = r.work;
        other[other_id::cardiac_lag_parameter] = r.lung_volume;
        constant(60);
        EXPECT_FLOAT_EQ(derived[derived_id::cardiac_output_lag], r.entry61)
            << r.work << " W, other[other_id::cardiac_lag_parameter] " << r.lung_volume;
    }
    factor[factor_id::work_rate].value = 70;  // below the cap: F / 1.5
    other[other_id::cardiac_lag_parameter] = 100;
    constant(60);
    EXPECT_FLOAT_EQ(derived[derived_id::cardiac_output_lag],
                    std::pow(display[display_id::metabolic_rate].value * 0.01f, 1.45f) / 1.5f);
}

TEST_F(Constants, BicarbonateSpreadOverTheRunAtEveryCall)
{
    factor[factor_id::bicarbonate_addition].value = 120;
    constant(60);
    EXPECT_FLOAT_EQ(factor[factor_id::bicarbonate_addition].value, 2);
    constant(60);
    EXPECT_FLOAT_EQ(factor[factor_id::bicarbonate_addition].value, 120.0f / 3600);
}

TEST_F(Constants, RunOfNoStepsLeavesTheAdditionFinite)
{
    factor[factor_id::bicarbonate_addition].value = -90;
    constant(0);
    EXPECT_EQ(factor[factor_id::bicarbonate_addition].value, -90.0f);
    constant(-5);
    EXPECT_EQ(factor[factor_id::bicarbonate_addition].value, -90.0f);
}

TEST_F(Constants, DpgReferencePhAndCap)
{
    struct row {
        float dpg, reference_ph, dpg_after;
    };
    const row rows[] = {
        {15, 7.58f, 13},  // maximum: both capped
        {13.5f, 7.58f, 13},
        {13, 7.58f, 13},
        {11, 7.58f, 11},  // 7.58 reached before the cap of 13
        {10.5f, 7.4f + 6.7f * 0.025f, 10.5f},
        {10, 7.4f + 6.2f * 0.025f, 10},
        {1, 7.4f - 2.8f * 0.025f, 1},
    };
    for (const row& r : rows) {
        factor[factor_id::dpg].value = r.dpg;
        constant(60);
        EXPECT_FLOAT_EQ(other[other_id::o2_curve_reference_ph], r.reference_ph) << r.dpg;
        EXPECT_EQ(factor[factor_id::dpg].value, r.dpg_after) << r.dpg;
    }
}

TEST_F(Constants, ColdBodyStopsConsumptionAndDrive)
{
    for (float T : {25.0f, 25.5f, 26.0f}) {
        factor[factor_id::body_temperature].value = T;
        constant(60);
        EXPECT_EQ(derived[derived_id::o2_consumption], 0.0f) << T;
        EXPECT_EQ(derived[derived_id::drive_to_ventilation], 0.0f) << T;
        EXPECT_EQ(derived[derived_id::brain_oxygenation_lag], 120.0f) << T;  // the largest damping weight
        EXPECT_FLOAT_EQ(derived[derived_id::cardiac_output_exercise], -2.4f) << T;
        EXPECT_TRUE(all_outputs_finite()) << T;
    }
    factor[factor_id::body_temperature].value = 29;
    constant(60);
    EXPECT_GT(derived[derived_id::o2_consumption], 0.0f);
    EXPECT_EQ(derived[derived_id::drive_to_ventilation], 0.0f);
    factor[factor_id::body_temperature].value = 30;
    constant(60);
    EXPECT_GT(derived[derived_id::drive_to_ventilation], 0.0f);
}

TEST_F(Constants, ZeroLungElastance)
{
    factor[factor_id::lung_elastance].value = 0;
    constant(60);
    EXPECT_FLOAT_EQ(derived[derived_id::cardiac_output_base], 30 * 0.0016 * 4.6 * (37 - 12.2));
    EXPECT_FLOAT_EQ(derived[derived_id::respiratory_rate_offset], 9);
    factor[factor_id::peep].value = 50;
    constant(60);
    EXPECT_TRUE(all_outputs_finite());
    EXPECT_LT(derived[derived_id::cardiac_output_base], 0.0f);
}

TEST_F(Constants, ExtraDeadSpaceWidensEntry20OnlyWhenNotNegative)
{
    factor[factor_id::extra_dead_space].value = 64;
    constant(60);
    EXPECT_FLOAT_EQ(derived[derived_id::max_tidal_volume], 3250 + 15 * 8);
    factor[factor_id::extra_dead_space].value = -4;  // below its limits: no square root of it
    constant(60);
    EXPECT_FLOAT_EQ(derived[derived_id::max_tidal_volume], 3250);
}

TEST_F(Constants, DryPressureAtOrBelowZeroIsHeldAtOneMmHg)
{
    factor[factor_id::barometric_pressure].value = 50;
    factor[factor_id::body_temperature].value = 44;  // 50 - 58.08 - 5.92 < 0
    constant(60);
    EXPECT_EQ(derived[derived_id::dry_pressure], 1.0f);
    EXPECT_GT(derived[derived_id::btps_percent_to_stpd], 0.0f);
    EXPECT_GT(derived[derived_id::dead_space_adjust_scale], 0.0f);
    EXPECT_GT(derived[derived_id::stpd_percent_to_btps], 0.0f);
    EXPECT_TRUE(all_outputs_finite());
    // At 37 degrees 50 mm Hg still leaves 2.99 mm Hg of dry gas.
    factor[factor_id::body_temperature].value = 37;
    constant(60);
    EXPECT_FLOAT_EQ(derived[derived_id::dry_pressure], 50 - 41.07f - 5.92f);
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
    EXPECT_FLOAT_EQ(derived[derived_id::dpg_target], 21.7f);
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
        display[display_id::respiratory_rate].value = within(display[display_id::respiratory_rate]);
        display[display_id::tidal_volume].value = within(display[display_id::tidal_volume]);
        constant(60);
        ASSERT_TRUE(all_outputs_finite()) << "trial " << trial;
    }
}

}  // namespace
