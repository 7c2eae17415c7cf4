// SPDX-License-Identifier: Apache-2.0
// The stages of the one-second step and the venous delay line, each on the
// standard subject with its run's constants in place.
#include <gtest/gtest.h>

#include <cmath>

#include "model_driver.h"
#include "slot_ids.h"

namespace {

class Step : public ::testing::Test {
protected:
    void SetUp() override
    {
        fresh_standard_subject();
        constant(60);
    }
};

float damped(float target, float old, float w) { return target / (w + 1) + old * w / (w + 1); }

}  // namespace

TEST_F(Step, StoppedHeartGivesNoOutputNoRateAndMovesNoBlood)
{
    factor[factor_id::cardiac_performance].value = 0;  // pump performance 0: the stroke volume is 0 too
    const float o2_amount = display[display_id::arterial_o2_amount].value;
    const float co2_amount = display[display_id::arterial_co2_amount].value;
    const float pool_o2 = display[display_id::arterial_pool_o2_content].value;
    const float o2_content = display[display_id::arterial_o2_content].value;
    const float co2_content = display[display_id::arterial_co2_content].value;
    step_context step;
    stage_cardiac_output(step);
    EXPECT_EQ(display[display_id::cardiac_output].value, 0.0f);
    EXPECT_EQ(display[display_id::heart_rate].value, 0.0f);
    EXPECT_EQ(step.flow, 0.0f);
    stage_venous_admixture(step);
    const float mix_o2 =
        static_cast<float>(step.shunt * dsp(display_id::venous_o2_content) +
                           static_cast<double>(step.unshunted) * dsp(display_id::capillary_o2_content));
    const float mix_co2 =
        static_cast<float>(step.shunt * dsp(display_id::venous_co2_content) +
                           static_cast<double>(step.unshunted) * dsp(display_id::capillary_co2_content));
    stage_arterial_pool(step);
    EXPECT_EQ(display[display_id::arterial_o2_amount].value, o2_amount);
    EXPECT_EQ(display[display_id::arterial_co2_amount].value, co2_amount);
    EXPECT_EQ(display[display_id::arterial_pool_o2_content].value,
              pool_o2);  // not re-derived below 0.25 l/min
    // The largest weight, 120, in place of a division by the zero flow.
    EXPECT_FLOAT_EQ(display[display_id::arterial_o2_content].value, damped(mix_o2, o2_content, 120));
    EXPECT_FLOAT_EQ(display[display_id::arterial_co2_content].value, damped(mix_co2, co2_content, 120));
}

TEST_F(Step, StoppedHeartKeepsEveryValueFiniteForTenMinutes)
{
    factor[factor_id::cardiac_performance].value = 2.9f;  // below 3: stopped, yet a stroke volume exists
    for (int second = 0; second < 600; ++second) {
        if (model() != 0) {
            break;
        }
        ASSERT_TRUE(state_is_finite()) << "second " << second;
        EXPECT_EQ(display[display_id::heart_rate].value, 0.0f);
    }
}

TEST_F(Step, HeartRateAboveMaximumIsHeldAndOutputRecomputed)
{
    derived[derived_id::max_heart_rate] = 50;
    step_context step;
    stage_cardiac_output(step);
    EXPECT_EQ(display[display_id::heart_rate].value, 50.0f);
    EXPECT_FLOAT_EQ(display[display_id::cardiac_output].value, 50 * other[other_id::stroke_volume]);
}

TEST_F(Step, CardiacOutputAboveMaximumIsCutWithoutChangingHeartRate)
{
    factor[factor_id::max_cardiac_output].value = 3;
    step_context step;
    stage_cardiac_output(step);
    EXPECT_EQ(display[display_id::cardiac_output].value, 3.0f);
    EXPECT_NEAR(display[display_id::heart_rate].value, 63.2, 0.5);  // the rate of the uncut output
}

// A high PEEP against a compliant lung makes the resting output target
// negative; the output is held at 0 instead of running the pump backwards.
TEST_F(Step, NegativeOutputTargetGivesZeroOutputNotNegative)
{
    derived[derived_id::cardiac_output_base] = -20;
    derived[derived_id::cardiac_output_lag] = 0;  // no damping: the target at once
    step_context step;
    stage_cardiac_output(step);
    EXPECT_EQ(display[display_id::cardiac_output].value, 0.0f);
    EXPECT_EQ(display[display_id::heart_rate].value, 0.0f);
    EXPECT_GT(other[other_id::stroke_volume], 0.0f);
}

TEST_F(Step, VenousAdmixtureLimits)
{
    struct row {
        float alveolar_po2;
        float expected_p;
    };
    for (const row& r : {row{600, 140}, row{1000, 140}, row{500, 170}, row{30, 55}, row{150, 150}}) {
        display[display_id::alveolar_po2].value = r.alveolar_po2;
        step_context step;
        stage_venous_admixture(step);
        const float expected = static_cast<float>(
            (drv(derived_id::admixture_base) / r.expected_p + drv(derived_id::admixture_exercise)) *
                drv(derived_id::admixture_peep_scale) +
            fct(factor_id::right_to_left_shunt));
        EXPECT_FLOAT_EQ(display[display_id::total_venous_admixture].value, expected) << r.alveolar_po2;
        EXPECT_FLOAT_EQ(step.shunt + step.unshunted, 1.0f);
    }
    factor[factor_id::right_to_left_shunt].value = 90;
    display[display_id::alveolar_po2].value = 30;
    derived[derived_id::admixture_base] = 100000;
    step_context step;
    stage_venous_admixture(step);
    EXPECT_EQ(display[display_id::total_venous_admixture].value, 100.0f);
}

TEST_F(Step, VenousDelayReturnsTheValuesStoredEarlierByCardiacOutput)
{
    struct row {
        float cardiac_output;
        int delay;
    };
    for (const row& r :
         {row{5, 20}, row{1.5f, 25}, row{0, 25}, row{25, 10}, row{40, 10}, row{2.5f, 23}, row{11.5f, 16}}) {
        venous_delay(-1);
        // Mark each step's values with its number, then read through the line.
        float seen = -1;
        for (int k = 1; k <= 40; ++k) {
            display[display_id::venous_o2_content].value = static_cast<float>(k);
            display[display_id::venous_co2_content].value = static_cast<float>(100 + k);
            display[display_id::venous_bicarbonate_amount].value = static_cast<float>(200 + k);
            display[display_id::tissue_pco2].value = static_cast<float>(300 + k);
            venous_delay(r.cardiac_output);
            seen = display[display_id::venous_o2_content].value;
            if (k > r.delay) {
                EXPECT_EQ(display[display_id::venous_o2_content].value, static_cast<float>(k - r.delay));
                EXPECT_EQ(display[display_id::venous_co2_content].value,
                          static_cast<float>(100 + k - r.delay));
                EXPECT_EQ(display[display_id::venous_bicarbonate_amount].value,
                          static_cast<float>(200 + k - r.delay));
                EXPECT_EQ(display[display_id::tissue_pco2].value, static_cast<float>(300 + k - r.delay));
            }
        }
        EXPECT_EQ(seen, static_cast<float>(40 - r.delay)) << r.cardiac_output;
    }
}

TEST_F(Step, VenousDelayRefillMakesEveryDelayedValueTheCurrentOne)
{
    display[display_id::venous_o2_content].value = 11;
    display[display_id::venous_co2_content].value = 22;
    display[display_id::venous_bicarbonate_amount].value = 33;
    display[display_id::tissue_pco2].value = 44;
    venous_delay(-1);
    EXPECT_EQ(venous_delay_write, 0);
    for (float c : {1.0f, 5.0f, 30.0f}) {
        venous_delay(c);
        EXPECT_EQ(display[display_id::venous_o2_content].value, 11.0f);
        EXPECT_EQ(display[display_id::venous_co2_content].value, 22.0f);
        EXPECT_EQ(display[display_id::venous_bicarbonate_amount].value, 33.0f);
        EXPECT_EQ(display[display_id::tissue_pco2].value, 44.0f);
    }
}

TEST_F(Step, TissueO2AboveTwoHundredFiftySetsTissuePo2Directly)
{
    display[display_id::tissue_o2_amount].value = 400;
    step_context step;
    stage_cardiac_output(step);
    ASSERT_EQ(stage_tissue_oxygen(step), 0);
    EXPECT_FLOAT_EQ(display[display_id::tissue_po2].value,
                    static_cast<float>(45 + 0.09 * (dsp(display_id::tissue_o2_amount) - 250)));
}

TEST_F(Step, TissueRespiratoryQuotientFollowsO2Uptake)
{
    struct row {
        float uptake_per_minute;
        float quotient;
    };
    for (const row& r :
         {row{100, 0.8f}, row{250, 0.8f}, row{885, 0.865f}, row{3150, 1.0f}, row{5000, 1.0f}}) {
        other[other_id::o2_uptake_per_step] = r.uptake_per_minute / 60;
        step_context step;
        stage_cardiac_output(step);
        stage_tissue_co2(step);
        EXPECT_NEAR(factor[factor_id::tissue_rq].value, r.quotient, 1e-5) << r.uptake_per_minute;
    }
}

TEST_F(Step, NitrogenBelowSaturationWithoutBubblesChangesOnlyTheCompartments)
{
    display[display_id::excess_n2].value = 0;
    display[display_id::decompression_risk].value = 12;
    step_context step;
    stage_cardiac_output(step);
    stage_nitrogen(step);
    EXPECT_EQ(display[display_id::excess_n2].value, 0.0f);
    EXPECT_EQ(display[display_id::decompression_risk].value, 12.0f);
}

// Bubbles that dissolved in full can leave a small negative excess; when the
// slow compartment then becomes supersaturated, the risk index counts the
// negative excess as no bubbles at all.
TEST_F(Step, NegativeExcessNitrogenCountsAsZeroInTheRiskIndex)
{
    display[display_id::excess_n2].value = -0.5f;
    display[display_id::tissue_n2_slow].value = 5000;  // well above saturation
    display[display_id::decompression_risk].value = 99;
    step_context step;
    stage_cardiac_output(step);
    stage_nitrogen(step);
    EXPECT_EQ(display[display_id::decompression_risk].value, 0.0f);
    EXPECT_GT(display[display_id::excess_n2].value, -0.5f);  // the excess grows as before
    EXPECT_TRUE(std::isfinite(display[display_id::excess_n2].value));
}

TEST_F(Step, DissolvingBubblesRaiseTheRiskIndexFromTheExcessHeld)
{
    display[display_id::excess_n2].value = 2;
    step_context step;
    stage_cardiac_output(step);
    stage_nitrogen(step);
    EXPECT_FLOAT_EQ(display[display_id::decompression_risk].value,
                    static_cast<float>(std::pow(2.0, 1.2) * drv(derived_id::decompression_risk_scale)));
    EXPECT_LT(display[display_id::excess_n2].value, 2.0f);  // they dissolve
}

TEST_F(Step, CapillaryBicarbonateNegativeIsCodeEightZeroKeepsTheContents)
{
    derived[derived_id::bicarbonate_per_pco2] = 0;
    display[display_id::venous_bicarbonate_amount].value = -1;
    EXPECT_EQ(stage_capillary_blood(), failure_code::capillary_bicarbonate_negative);

    // Exactly 0: no pH exists; the contents stay as they were.
    display[display_id::venous_bicarbonate_amount].value = 0;
    display[display_id::capillary_co2_content].value = 47.25f;
    display[display_id::capillary_o2_content].value = 19.65f;
    EXPECT_EQ(stage_capillary_blood(), 0);
    EXPECT_EQ(display[display_id::capillary_co2_content].value, 47.25f);
    EXPECT_EQ(display[display_id::capillary_o2_content].value, 19.65f);
}

TEST_F(Step, GlottisClosedStopsBreathingInBothModes)
{
    for (int mode : {1, 0}) {
        fresh_standard_subject();
        ventilation_flag = mode;
        bag_state = bag_state_id::glottis_closed;
        bager(2, nullptr, nullptr);
        constant(60);
        ASSERT_EQ(model(), 0);
        EXPECT_EQ(display[display_id::total_ventilation].value, 0.0f);
        EXPECT_EQ(display[display_id::respiratory_rate].value, 0.0001f);
        EXPECT_EQ(display[display_id::tidal_volume].value, 0.0f);
        EXPECT_EQ(other[other_id::alveolar_ventilation_per_step], 0.0f);
        EXPECT_EQ(display[display_id::alveolar_ventilation].value, 0.0f);
    }
}

TEST_F(Step, ArtificialVentilationGivesTheSetMinuteVolumeWhateverTheDrive)
{
    ventilation_flag = 0;
    display[display_id::respiratory_rate].value = 20;
    display[display_id::tidal_volume].value = 600;
    constant(60);
    for (int second = 0; second < 120; ++second) {
        ASSERT_EQ(model(), 0);
        EXPECT_FLOAT_EQ(display[display_id::total_ventilation].value, 12.0f);
        EXPECT_EQ(display[display_id::respiratory_rate].value, 20.0f);
        EXPECT_NEAR(display[display_id::tidal_volume].value, 600.0f, 0.01);
    }
    EXPECT_GT(other[other_id::ventilation_demand], 0.0f);  // the demand is still worked out and kept
}

// An artificial rate of 0 is taken as apnoea in every second of the pause:
// no tidal volume is worked out by dividing by it, nothing becomes NaN, and
// the dead space is kept as in a natural apnoea (it used to fall from 129.8
// to 77.7 ml, the apnoea's own rate of 0.0001 no longer counting as one).
TEST_F(Step, ArtificialRateZeroIsApnoeaNotADivisionByZero)
{
    ventilation_flag = 0;
    display[display_id::respiratory_rate].value = 0;
    constant(60);
    const float dead_space = display[display_id::dead_space].value;
    for (int second = 0; second < 120; ++second) {
        ASSERT_EQ(model(), 0) << second;
        ASSERT_TRUE(state_is_finite()) << second;
        EXPECT_EQ(display[display_id::tidal_volume].value, 0.0f);
        EXPECT_EQ(display[display_id::total_ventilation].value, 0.0f);
        EXPECT_EQ(other[other_id::alveolar_ventilation_per_step], 0.0f);
        EXPECT_EQ(display[display_id::dead_space].value, dead_space) << second;
    }
}

// Even with the rate set to 0 after a minute of breathing (alveolar_ventilation_per_step still
// high in the first second), stage 10 takes no inspiratory weight from it.
TEST_F(Step, RateSetToZeroWhileBreathingStaysFinite)
{
    for (int mode : {0, 1}) {
        fresh_standard_subject();
        ventilation_flag = mode;
        factor[factor_id::inspiratory_time_ratio].value =
            0;  // inspiratory ratio 0: inspiratory_weight_scale = 0, 0/0 if divided
        constant(60);
        display[display_id::respiratory_rate].value = 0;
        for (int second = 0; second < 60; ++second) {
            ASSERT_EQ(model(), 0) << mode;
            ASSERT_TRUE(state_is_finite()) << mode;
        }
    }
}

TEST_F(Step, NaturalTidalVolumeIsCutToTheMaximumKeepingMinuteVolume)
{
    factor[factor_id::vital_capacity].value = 0.5f;  // vital capacity: maximum tidal volume 325 ml
    constant(60);
    ASSERT_EQ(model(), 0);
    EXPECT_FLOAT_EQ(display[display_id::tidal_volume].value, derived[derived_id::max_tidal_volume]);
    EXPECT_NEAR(display[display_id::respiratory_rate].value * display[display_id::tidal_volume].value / 1000,
                display[display_id::total_ventilation].value, 1e-4);
}

TEST_F(Step, NoVitalCapacityIsApnoea)
{
    factor[factor_id::vital_capacity].value = 0;
    constant(60);
    ASSERT_EQ(model(), 0);
    EXPECT_EQ(display[display_id::total_ventilation].value, 0.0f);
    EXPECT_EQ(display[display_id::tidal_volume].value, 0.0f);
    EXPECT_TRUE(state_is_finite());
}

// A failing stage ends the step at once; the stages before it keep what they
// wrote and the next call starts from there.
TEST_F(Step, FailureCodeLeavesEarlierStagesResults)
{
    display[display_id::tissue_o2_amount].value = -50;  // tissue O2 gone: stage 6 fails
    const float dpg = factor[factor_id::dpg].value;
    const float lactate = display[display_id::tissue_lactate].value;
    EXPECT_EQ(model(), failure_code::tissue_o2_gone);
    EXPECT_NE(factor[factor_id::dpg].value, dpg);                   // stage 2 ran
    EXPECT_NE(display[display_id::arterial_ph].value, 0.0f);        // stage 5 ran
    EXPECT_LE(display[display_id::tissue_o2_amount].value, 0.0f);   // stage 6 wrote the amount, then stopped
    EXPECT_EQ(display[display_id::tissue_lactate].value, lactate);  // the rest of stage 6 did not run
}

TEST_F(Step, FailureCodesOfTheStages)
{
    struct row {
        void (*spoil)();
        int code;
    };
    const row rows[] = {
        {[] {
             display[display_id::venous_bicarbonate_amount].value = -100;
             display[display_id::arterial_pco2].value = 40;
         },
         1},
        {[] { display[display_id::tissue_o2_amount].value = -1; }, 2},
        {[] { other[other_id::tissue_bicarbonate_amount] = -1000; }, 3},
        {[] {
             display[display_id::venous_bicarbonate_amount].value = -10;
             display[display_id::arterial_pco2].value = 80;
             venous_delay(-1);
         },
         4},
        {[] { display[display_id::alveolar_o2_amount].value = -1000; }, 6},
        {[] { display[display_id::alveolar_co2_amount].value = -500; }, 7},
    };
    for (const row& r : rows) {
        fresh_standard_subject();
        constant(60);
        r.spoil();
        EXPECT_EQ(model(), r.code);
    }
}

TEST_F(Step, LowAlveolarVentilationDropsTheDeadSpaceCorrection)
{
    step_context step;
    stage_cardiac_output(step);
    stage_venous_admixture(step);
    other[other_id::alveolar_ventilation_per_step] = 19.9f;
    step.dead_space_adjust = 99;
    ASSERT_EQ(stage_alveolar_gas(step), 0);
    EXPECT_EQ(step.dead_space_adjust, 0.0f);

    fresh_standard_subject();
    constant(60);
    stage_cardiac_output(step);
    stage_venous_admixture(step);
    ASSERT_EQ(stage_alveolar_gas(step), 0);
    EXPECT_NE(step.dead_space_adjust, 0.0f);
}

TEST_F(Step, ExpirationWithoutVentilationRecordsNoGasExchange)
{
    other[other_id::alveolar_ventilation_per_step] = 0;
    factor[factor_id::lung_volume].value = 2000;  // the lung holds more than its end-expiratory volume
    step_context step;
    stage_cardiac_output(step);
    stage_venous_admixture(step);
    ASSERT_EQ(stage_alveolar_gas(step), 0);
    EXPECT_EQ(other[other_id::o2_uptake_per_step], 0.001f);
    EXPECT_EQ(other[other_id::co2_output_per_step], 0.0f);
    EXPECT_EQ(display[display_id::respiratory_quotient].value, 0.0f);
}

TEST_F(Step, LowRateOrLowOutputLeavesTheDeadSpaceUnchanged)
{
    display[display_id::dead_space].value = 150;
    display[display_id::cardiac_output].value = 0.5f;
    step_context step;
    stage_breathing_control(step);
    EXPECT_EQ(display[display_id::dead_space].value, 150.0f);
    EXPECT_GT(display[display_id::total_ventilation].value, 0.0f);

    display[display_id::cardiac_output].value = 5;
    stage_breathing_control(step);
    EXPECT_NE(display[display_id::dead_space].value, 150.0f);
}

// Below a brain PO2 of 18 the brain's O2 use falls to nothing near 9.1 mm Hg
// while its CO2 production rises as 19 - PO2.
TEST_F(Step, HypoxicBrainStopsUsingO2AndMakesMoreCo2)
{
    derived[derived_id::brain_flow_scale] = 0;  // no brain blood flow: only metabolism moves the amounts
    display[display_id::brain_o2_amount].value = 9.0f / 1.6f;
    display[display_id::brain_po2].value = 9.0f;
    const float o2 = display[display_id::brain_o2_amount].value;
    const float co2 = display[display_id::brain_co2_amount].value;
    step_context step;
    step.cardiac_output = 5;
    stage_brain(step);
    const double m =
        static_cast<float>((oth(other_id::brain_oxygenation) + 0.25) * drv(derived_id::brain_metabolism));
    EXPECT_EQ(display[display_id::brain_o2_amount].value, o2);
    EXPECT_FLOAT_EQ(display[display_id::brain_co2_amount].value, static_cast<float>(co2 + 2.15 * 10 * m));
}
