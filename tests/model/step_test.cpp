// The stages of the one-second step and the venous delay line, each on the
// standard subject with its run's constants in place.
#include <gtest/gtest.h>

#include <cmath>

#include "model_driver.h"

namespace {

class Step : public ::testing::Test {
protected:
    void SetUp() override
    {
        fresh_standard_subject();
        constant(60);
    }
};

float damped(float target, float old, float w)
{
    return target / (w + 1) + old * w / (w + 1);
}

}  // namespace

TEST_F(Step, StoppedHeartGivesNoOutputNoRateAndMovesNoBlood)
{
    factor[8].value = 0;  // pump performance 0: the stroke volume is 0 too
    const float o2_amount = display[13].value;
    const float co2_amount = display[8].value;
    const float pool_o2 = display[20].value;
    const float o2_content = display[14].value;
    const float co2_content = display[9].value;
    step_context step;
    stage_cardiac_output(step);
    EXPECT_EQ(display[32].value, 0.0f);
    EXPECT_EQ(display[35].value, 0.0f);
    EXPECT_EQ(step.flow, 0.0f);
    stage_venous_admixture(step);
    const float mix_o2 =
        static_cast<float>(step.shunt * dsp(62) + static_cast<double>(step.unshunted) * dsp(38));
    const float mix_co2 =
        static_cast<float>(step.shunt * dsp(60) + static_cast<double>(step.unshunted) * dsp(37));
    stage_arterial_pool(step);
    EXPECT_EQ(display[13].value, o2_amount);
    EXPECT_EQ(display[8].value, co2_amount);
    EXPECT_EQ(display[20].value, pool_o2);  // not re-derived below 0.25 l/min
    // The largest weight, 120, in place of a division by the zero flow.
    EXPECT_FLOAT_EQ(display[14].value, damped(mix_o2, o2_content, 120));
    EXPECT_FLOAT_EQ(display[9].value, damped(mix_co2, co2_content, 120));
}

TEST_F(Step, StoppedHeartKeepsEveryValueFiniteForTenMinutes)
{
    factor[8].value = 2.9f;  // below 3: stopped, yet a stroke volume exists
    for (int second = 0; second < 600; ++second) {
        if (model() != 0) {
            break;
        }
        ASSERT_TRUE(state_is_finite()) << "second " << second;
        EXPECT_EQ(display[35].value, 0.0f);
    }
}

TEST_F(Step, HeartRateAboveMaximumIsHeldAndOutputRecomputed)
{
    derived[74] = 50;
    step_context step;
    stage_cardiac_output(step);
    EXPECT_EQ(display[35].value, 50.0f);
    EXPECT_FLOAT_EQ(display[32].value, 50 * other[18]);
}

TEST_F(Step, CardiacOutputAboveMaximumIsCutWithoutChangingHeartRate)
{
    factor[20].value = 3;
    step_context step;
    stage_cardiac_output(step);
    EXPECT_EQ(display[32].value, 3.0f);
    EXPECT_NEAR(display[35].value, 63.2, 0.5);  // the rate of the uncut output
}

// A high PEEP against a compliant lung makes the resting output target
// negative; the output is held at 0 instead of running the pump backwards.
TEST_F(Step, NegativeOutputTargetGivesZeroOutputNotNegative)
{
    derived[8] = -20;
    derived[61] = 0;  // no damping: the target at once
    step_context step;
    stage_cardiac_output(step);
    EXPECT_EQ(display[32].value, 0.0f);
    EXPECT_EQ(display[35].value, 0.0f);
    EXPECT_GT(other[18], 0.0f);
}

TEST_F(Step, VenousAdmixtureLimits)
{
    struct row {
        float alveolar_po2;
        float expected_p;
    };
    for (const row& r : {row{600, 140}, row{1000, 140}, row{500, 170}, row{30, 55}, row{150, 150}}) {
        display[4].value = r.alveolar_po2;
        step_context step;
        stage_venous_admixture(step);
        const float expected =
            static_cast<float>((drv(18) / r.expected_p + drv(19)) * drv(21) + fct(10));
        EXPECT_FLOAT_EQ(display[56].value, expected) << r.alveolar_po2;
        EXPECT_FLOAT_EQ(step.shunt + step.unshunted, 1.0f);
    }
    factor[10].value = 90;
    display[4].value = 30;
    derived[18] = 100000;
    step_context step;
    stage_venous_admixture(step);
    EXPECT_EQ(display[56].value, 100.0f);
}

TEST_F(Step, VenousDelayReturnsTheValuesStoredEarlierByCardiacOutput)
{
    struct row {
        float cardiac_output;
        int delay;
    };
    for (const row& r : {row{5, 20}, row{1.5f, 25}, row{0, 25}, row{25, 10}, row{40, 10},
                         row{2.5f, 23}, row{11.5f, 16}}) {
        venous_delay(-1);
        // Mark each step's values with its number, then read through the line.
        float seen = -1;
        for (int k = 1; k <= 40; ++k) {
            display[62].value = static_cast<float>(k);
            display[60].value = static_cast<float>(100 + k);
            display[57].value = static_cast<float>(200 + k);
            display[44].value = static_cast<float>(300 + k);
            venous_delay(r.cardiac_output);
            seen = display[62].value;
            if (k > r.delay) {
                EXPECT_EQ(display[62].value, static_cast<float>(k - r.delay));
                EXPECT_EQ(display[60].value, static_cast<float>(100 + k - r.delay));
                EXPECT_EQ(display[57].value, static_cast<float>(200 + k - r.delay));
                EXPECT_EQ(display[44].value, static_cast<float>(300 + k - r.delay));
            }
        }
        EXPECT_EQ(seen, static_cast<float>(40 - r.delay)) << r.cardiac_output;
    }
}

TEST_F(Step, VenousDelayRefillMakesEveryDelayedValueTheCurrentOne)
{
    display[62].value = 11;
    display[60].value = 22;
    display[57].value = 33;
    display[44].value = 44;
    venous_delay(-1);
    EXPECT_EQ(venous_delay_write, 0);
    for (float c : {1.0f, 5.0f, 30.0f}) {
        venous_delay(c);
        EXPECT_EQ(display[62].value, 11.0f);
        EXPECT_EQ(display[60].value, 22.0f);
        EXPECT_EQ(display[57].value, 33.0f);
        EXPECT_EQ(display[44].value, 44.0f);
    }
}

TEST_F(Step, TissueO2AboveTwoHundredFiftySetsTissuePo2Directly)
{
    display[51].value = 400;
    step_context step;
    stage_cardiac_output(step);
    ASSERT_EQ(stage_tissue_oxygen(step), 0);
    EXPECT_FLOAT_EQ(display[53].value, static_cast<float>(45 + 0.09 * (dsp(51) - 250)));
}

TEST_F(Step, TissueRespiratoryQuotientFollowsO2Uptake)
{
    struct row {
        float uptake_per_minute;
        float quotient;
    };
    for (const row& r : {row{100, 0.8f}, row{250, 0.8f}, row{885, 0.865f}, row{3150, 1.0f},
                         row{5000, 1.0f}}) {
        other[7] = r.uptake_per_minute / 60;
        step_context step;
        stage_cardiac_output(step);
        stage_tissue_co2(step);
        EXPECT_NEAR(factor[24].value, r.quotient, 1e-5) << r.uptake_per_minute;
    }
}

TEST_F(Step, NitrogenBelowSaturationWithoutBubblesChangesOnlyTheCompartments)
{
    display[34].value = 0;
    display[6].value = 12;
    step_context step;
    stage_cardiac_output(step);
    stage_nitrogen(step);
    EXPECT_EQ(display[34].value, 0.0f);
    EXPECT_EQ(display[6].value, 12.0f);
}

// Bubbles that dissolved in full can leave a small negative excess; when the
// slow compartment then becomes supersaturated, the risk index counts the
// negative excess as no bubbles at all.
TEST_F(Step, NegativeExcessNitrogenCountsAsZeroInTheRiskIndex)
{
    display[34].value = -0.5f;
    display[48].value = 5000;  // well above saturation
    display[6].value = 99;
    step_context step;
    stage_cardiac_output(step);
    stage_nitrogen(step);
    EXPECT_EQ(display[6].value, 0.0f);
    EXPECT_GT(display[34].value, -0.5f);  // the excess grows as before
    EXPECT_TRUE(std::isfinite(display[34].value));
}

TEST_F(Step, DissolvingBubblesRaiseTheRiskIndexFromTheExcessHeld)
{
    display[34].value = 2;
    step_context step;
    stage_cardiac_output(step);
    stage_nitrogen(step);
    EXPECT_FLOAT_EQ(display[6].value, static_cast<float>(std::pow(2.0, 1.2) * drv(23)));
    EXPECT_LT(display[34].value, 2.0f);  // they dissolve
}

TEST_F(Step, CapillaryBicarbonateNegativeIsCodeEightZeroKeepsTheContents)
{
    derived[3] = 0;
    display[57].value = -1;
    EXPECT_EQ(stage_capillary_blood(), 8);

    // Exactly 0: no pH exists; the contents stay as they were.
    display[57].value = 0;
    display[37].value = 47.25f;
    display[38].value = 19.65f;
    EXPECT_EQ(stage_capillary_blood(), 0);
    EXPECT_EQ(display[37].value, 47.25f);
    EXPECT_EQ(display[38].value, 19.65f);
}

TEST_F(Step, GlottisClosedStopsBreathingInBothModes)
{
    for (int mode : {1, 0}) {
        fresh_standard_subject();
        ventilation_flag = mode;
        bag_state = 9;
        bager(2, nullptr, nullptr);
        constant(60);
        ASSERT_EQ(model(), 0);
        EXPECT_EQ(display[55].value, 0.0f);
        EXPECT_EQ(display[40].value, 0.0001f);
        EXPECT_EQ(display[41].value, 0.0f);
        EXPECT_EQ(other[0], 0.0f);
        EXPECT_EQ(display[5].value, 0.0f);
    }
}

TEST_F(Step, ArtificialVentilationGivesTheSetMinuteVolumeWhateverTheDrive)
{
    ventilation_flag = 0;
    display[40].value = 20;
    display[41].value = 600;
    constant(60);
    for (int second = 0; second < 120; ++second) {
        ASSERT_EQ(model(), 0);
        EXPECT_FLOAT_EQ(display[55].value, 12.0f);
        EXPECT_EQ(display[40].value, 20.0f);
        EXPECT_NEAR(display[41].value, 600.0f, 0.01);
    }
    EXPECT_GT(other[11], 0.0f);  // the demand is still worked out and kept
}

// An artificial rate of 0 is taken as apnoea: no tidal volume is worked out
// by dividing by it, nothing becomes NaN.
TEST_F(Step, ArtificialRateZeroIsApnoeaNotADivisionByZero)
{
    ventilation_flag = 0;
    display[40].value = 0;
    constant(60);
    for (int second = 0; second < 120; ++second) {
        ASSERT_EQ(model(), 0) << second;
        ASSERT_TRUE(state_is_finite()) << second;
        EXPECT_EQ(display[41].value, 0.0f);
        EXPECT_EQ(display[55].value, 0.0f);
        EXPECT_EQ(other[0], 0.0f);
    }
}

// Even with the rate set to 0 after a minute of breathing (other[0] still
// high in the first second), stage 10 takes no inspiratory weight from it.
TEST_F(Step, RateSetToZeroWhileBreathingStaysFinite)
{
    for (int mode : {0, 1}) {
        fresh_standard_subject();
        ventilation_flag = mode;
        factor[14].value = 0;  // inspiratory ratio 0: derived[37] = 0, 0/0 if divided
        constant(60);
        display[40].value = 0;
        for (int second = 0; second < 60; ++second) {
            ASSERT_EQ(model(), 0) << mode;
            ASSERT_TRUE(state_is_finite()) << mode;
        }
    }
}

TEST_F(Step, NaturalTidalVolumeIsCutToTheMaximumKeepingMinuteVolume)
{
    factor[30].value = 0.5f;  // vital capacity: maximum tidal volume 325 ml
    constant(60);
    ASSERT_EQ(model(), 0);
    EXPECT_FLOAT_EQ(display[41].value, derived[20]);
    EXPECT_NEAR(display[40].value * display[41].value / 1000, display[55].value, 1e-4);
}

TEST_F(Step, NoVitalCapacityIsApnoea)
{
    factor[30].value = 0;
    constant(60);
    ASSERT_EQ(model(), 0);
    EXPECT_EQ(display[55].value, 0.0f);
    EXPECT_EQ(display[41].value, 0.0f);
    EXPECT_TRUE(state_is_finite());
}

// A failing stage ends the step at once; the stages before it keep what they
// wrote and the next call starts from there.
TEST_F(Step, FailureCodeLeavesEarlierStagesResults)
{
    display[51].value = -50;  // tissue O2 gone: stage 6 fails
    const float dpg = factor[0].value;
    const float lactate = display[46].value;
    EXPECT_EQ(model(), 2);
    EXPECT_NE(factor[0].value, dpg);          // stage 2 ran
    EXPECT_NE(display[17].value, 0.0f);       // stage 5 ran
    EXPECT_LE(display[51].value, 0.0f);       // stage 6 wrote the amount, then stopped
    EXPECT_EQ(display[46].value, lactate);    // the rest of stage 6 did not run
}

TEST_F(Step, FailureCodesOfTheStages)
{
    struct row {
        void (*spoil)();
        int code;
    };
    const row rows[] = {
        {[] { display[57].value = -100; display[10].value = 40; }, 1},
        {[] { display[51].value = -1; }, 2},
        {[] { other[14] = -1000; }, 3},
        {[] { display[57].value = -10; display[10].value = 80; venous_delay(-1); }, 4},
        {[] { display[3].value = -1000; }, 6},
        {[] { display[0].value = -500; }, 7},
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
    other[0] = 19.9f;
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
    other[0] = 0;
    factor[19].value = 2000;  // the lung holds more than its end-expiratory volume
    step_context step;
    stage_cardiac_output(step);
    stage_venous_admixture(step);
    ASSERT_EQ(stage_alveolar_gas(step), 0);
    EXPECT_EQ(other[7], 0.001f);
    EXPECT_EQ(other[8], 0.0f);
    EXPECT_EQ(display[39].value, 0.0f);
}

TEST_F(Step, LowRateOrLowOutputLeavesTheDeadSpaceUnchanged)
{
    display[33].value = 150;
    display[32].value = 0.5f;
    step_context step;
    stage_breathing_control(step);
    EXPECT_EQ(display[33].value, 150.0f);
    EXPECT_GT(display[55].value, 0.0f);

    display[32].value = 5;
    stage_breathing_control(step);
    EXPECT_NE(display[33].value, 150.0f);
}

// Below a brain PO2 of 18 the brain's O2 use falls to nothing near 9.1 mm Hg
// while its CO2 production rises as 19 - PO2.
TEST_F(Step, HypoxicBrainStopsUsingO2AndMakesMoreCo2)
{
    derived[39] = 0;  // no brain blood flow: only metabolism moves the amounts
    display[27].value = 9.0f / 1.6f;
    display[29].value = 9.0f;
    const float o2 = display[27].value;
    const float co2 = display[24].value;
    step_context step;
    step.cardiac_output = 5;
    stage_brain(step);
    const double m = static_cast<float>((oth(1) + 0.25) * drv(41));
    EXPECT_EQ(display[27].value, o2);
    EXPECT_FLOAT_EQ(display[24].value, static_cast<float>(co2 + 2.15 * 10 * m));
}
