// SPDX-License-Identifier: Apache-2.0
// The bag: its four operations, the state transitions of the respiration
// dialog's OK, and breath-holding and rebreathing runs.
#include <gtest/gtest.h>

#include "model_driver.h"
#include "slot_ids.h"

namespace {

class Bag : public ::testing::Test {
protected:
    void SetUp() override
    {
        fresh_standard_subject();
        constant(60);
    }

    // The dialog's OK with a new bag state.
    static void choose(int32_t state)
    {
        bag_state = state;
        bager(2, nullptr, nullptr);
    }
};

double stpd_per_btps_percent()
{
    const double T = fct(factor_id::body_temperature);
    return static_cast<float>(static_cast<float>(fct(factor_id::barometric_pressure) - 0.03 * T * T - 5.92) *
                              0.003592 / (T + 273));
}

}  // namespace

TEST_F(Bag, InspiringFromAnEmptyBagGivesNoO2AndNoCo2)
{
    choose(12);
    display[display_id::bag_co2_amount].value = 0;
    display[display_id::bag_o2_amount].value = 0;
    bager(1, nullptr, nullptr);
    EXPECT_EQ(factor[factor_id::inspired_o2].value, 0.0f);
    EXPECT_EQ(factor[factor_id::inspired_co2].value, 0.0f);
}

TEST_F(Bag, InspiredPercentagesFollowTheBagAndTheAbsorberTakesAllCo2)
{
    for (int32_t state : {12, 13}) {
        choose(state);
        factor[factor_id::bag_volume].value = 5000;
        display[display_id::bag_o2_amount].value = 800;
        display[display_id::bag_co2_amount].value = 200;
        bager(1, nullptr, nullptr);
        const double a = static_cast<float>(1 / (5000 * drv(derived_id::btps_percent_to_stpd)));
        EXPECT_FLOAT_EQ(factor[factor_id::inspired_o2].value, static_cast<float>(800 * a));
        EXPECT_FLOAT_EQ(factor[factor_id::inspired_co2].value,
                        state == 13 ? 0.0f : static_cast<float>(200 * a));
    }
}

TEST_F(Bag, ClosingAndReopeningTheGlottisRestoresLungVolumeAndRoomAir)
{
    factor[factor_id::lung_volume].value = 3100;
    choose(9);
    EXPECT_EQ(other[other_id::saved_lung_volume], 3100.0f);
    factor[factor_id::lung_volume].value = 2500;  // the lung shrank while the breath was held
    factor[factor_id::inspired_o2].value = 15;
    factor[factor_id::inspired_co2].value = 4;
    choose(10);
    EXPECT_EQ(factor[factor_id::lung_volume].value, 3100.0f);
    EXPECT_EQ(factor[factor_id::inspired_o2].value, 20.93f);
    EXPECT_EQ(factor[factor_id::inspired_co2].value, 0.03f);
}

TEST_F(Bag, LeavingTheClosedGlottisForABagRestoresNeitherVolumeNorAir)
{
    factor[factor_id::lung_volume].value = 3100;
    choose(9);
    factor[factor_id::lung_volume].value = 2500;
    factor[factor_id::inspired_o2].value = 15;
    choose(11);
    EXPECT_EQ(factor[factor_id::lung_volume].value, 2500.0f);
    EXPECT_EQ(factor[factor_id::inspired_o2].value, 15.0f);
}

TEST_F(Bag, ClosingTheGlottisTwiceSavesTheLungVolumeAgain)
{
    factor[factor_id::lung_volume].value = 3100;
    choose(9);
    factor[factor_id::lung_volume].value = 2800;
    choose(9);
    EXPECT_EQ(other[other_id::saved_lung_volume], 2800.0f);
}

// Leaving rebreathing puts the subject back on room air instead of the
// bag's last mixture.
TEST_F(Bag, LeavingRebreathingForStandardOrCollectingRestoresRoomAir)
{
    struct row {
        int32_t from, to;
    };
    for (const row& r : {row{12, 10}, row{13, 10}, row{12, 11}, row{13, 11}}) {
        fresh_standard_subject();
        choose(r.from);
        factor[factor_id::inspired_o2].value = 11;
        factor[factor_id::inspired_co2].value = 6;
        choose(r.to);
        EXPECT_EQ(factor[factor_id::inspired_o2].value, 20.93f) << r.from << "->" << r.to;
        EXPECT_EQ(factor[factor_id::inspired_co2].value, 0.03f) << r.from << "->" << r.to;
    }
}

// Attaching a bag fills it from the dialog's volume and percentages; the
// conversion is worked out from the current pressure and temperature, not
// taken from the run's constants.
TEST_F(Bag, AttachingABagFillsItFromVolumeAndPercentages)
{
    for (int32_t state : {11, 12, 13}) {
        for (int32_t before : {9, 10}) {
            fresh_standard_subject();
            choose(before);
            derived[derived_id::btps_percent_to_stpd] = 0;  // stale constants must not matter
            factor[factor_id::bag_volume].value = 6000;
            factor[factor_id::bag_o2].value = 21;
            factor[factor_id::bag_co2].value = 4;
            choose(state);
            const double k = stpd_per_btps_percent();
            EXPECT_FLOAT_EQ(display[display_id::bag_o2_amount].value, static_cast<float>(6000 * 21 * k));
            EXPECT_FLOAT_EQ(display[display_id::bag_co2_amount].value, static_cast<float>(6000 * 4 * k));
        }
    }
    constant(60);
    EXPECT_FLOAT_EQ(static_cast<float>(stpd_per_btps_percent()), derived[derived_id::btps_percent_to_stpd]);
}

TEST_F(Bag, OkWhileRebreathingLeavesTheBagContents)
{
    factor[factor_id::bag_o2].value = 21;
    choose(12);
    display[display_id::bag_o2_amount].value = 300;
    display[display_id::bag_co2_amount].value = 150;
    choose(13);
    choose(13);
    EXPECT_EQ(display[display_id::bag_o2_amount].value, 300.0f);
    EXPECT_EQ(display[display_id::bag_co2_amount].value, 150.0f);
}

TEST_F(Bag, EveryOperationRecordsThePreviousBagState)
{
    for (uint32_t op : {1u, 2u, 11u, 12u, 99u}) {
        previous_bag_state = 0;
        bag_state = bag_state_id::rebreathe;
        float p = 0;
        float q = 0;
        bager(op, &p, &q);
        EXPECT_EQ(previous_bag_state, bag_state_id::rebreathe) << op;
    }
}

TEST_F(Bag, ClosedGlottisLungVolumeFollowsTheAlveolarGas)
{
    float amount = 2500;
    bager(11, &amount, nullptr);
    EXPECT_FLOAT_EQ(factor[factor_id::lung_volume].value,
                    static_cast<float>(2500 * 0.01 / drv(derived_id::btps_percent_to_stpd)));
}

TEST_F(Bag, BreathLargerThanTheBagMarksTheVentilationAndChangesNothing)
{
    bag_state = bag_state_id::rebreathe;
    factor[factor_id::bag_volume].value = 400;
    display[display_id::tidal_volume].value = 400.5f;
    display[display_id::bag_o2_amount].value = 50;
    float excess = 100;
    float ventilation = 6;
    bager(12, &excess, &ventilation);
    EXPECT_EQ(ventilation, -10000.0f);
    EXPECT_EQ(factor[factor_id::bag_volume].value, 400.0f);
    EXPECT_EQ(display[display_id::bag_o2_amount].value, 50.0f);

    display[display_id::tidal_volume].value = 400;  // exactly the bag volume: allowed
    ventilation = 6;
    bager(12, &excess, &ventilation);
    EXPECT_EQ(ventilation, 6.0f);
}

TEST_F(Bag, ExchangeMovesGasBetweenLungsAndBag)
{
    bag_state = bag_state_id::rebreathe;
    factor[factor_id::bag_volume].value = 6000;
    display[display_id::bag_co2_amount].value = 100;
    display[display_id::bag_o2_amount].value = 900;
    other[other_id::alveolar_ventilation_per_step] = 70;
    other[other_id::o2_uptake_per_step] = 4;
    other[other_id::co2_output_per_step] = 3;
    float excess = 65;
    float ventilation = 0.2f;
    bager(12, &excess, &ventilation);
    EXPECT_EQ(display[display_id::bag_co2_amount].value, 103.0f);
    EXPECT_EQ(display[display_id::bag_o2_amount].value, 896.0f);
    EXPECT_EQ(factor[factor_id::bag_volume].value, 5995.0f);
}

// Collecting expired air from an empty bag: the uptake is taken from the bag's
// O2 as in rebreathing, but the amount stops at 0 instead of going negative.
TEST_F(Bag, CollectingIntoAnEmptyBagNeverHoldsNegativeO2)
{
    bag_state = bag_state_id::collect_expired;
    factor[factor_id::bag_volume].value = 6000;
    display[display_id::bag_o2_amount].value = 2;
    other[other_id::o2_uptake_per_step] = 4;
    float excess = 0;
    float ventilation = 0;
    bager(12, &excess, &ventilation);
    EXPECT_EQ(display[display_id::bag_o2_amount].value, 0.0f);
    bager(12, &excess, &ventilation);
    EXPECT_EQ(display[display_id::bag_o2_amount].value, 0.0f);
}

// The absorber takes the CO2 of this breath, co2_output_per_step, not the alveolar CO2
// store (display 0), which would empty a 6 litre bag within half a minute.
TEST_F(Bag, AbsorberTakesTheBreathsCo2FromTheBagVolume)
{
    bag_state = bag_state_id::rebreathe_absorber;
    factor[factor_id::bag_volume].value = 6000;
    display[display_id::bag_co2_amount].value = 100;
    display[display_id::alveolar_co2_amount].value = 144;
    other[other_id::alveolar_ventilation_per_step] = 70;
    other[other_id::o2_uptake_per_step] = 4;
    other[other_id::co2_output_per_step] = 3;
    float excess = 70;
    float ventilation = 0.2f;
    bager(12, &excess, &ventilation);
    EXPECT_EQ(display[display_id::bag_co2_amount].value, 0.0f);
    EXPECT_FLOAT_EQ(factor[factor_id::bag_volume].value,
                    static_cast<float>(6000 - 3 * 0.01 / drv(derived_id::btps_percent_to_stpd)));
}

TEST_F(Bag, BagSmallerThanABreathStopsTheRunWithCodeFive)
{
    choose(12);
    factor[factor_id::bag_volume].value = 300;
    constant(60);
    run_outcome out = run_minutes(1);
    EXPECT_EQ(out.failure, failure_code::bag_too_small);
    EXPECT_EQ(out.seconds, 0);
}

TEST_F(Bag, RebreathingWithoutAbsorberBuildsUpCo2AndDrivesBreathing)
{
    factor[factor_id::bag_volume].value = 6000;
    factor[factor_id::bag_o2].value = 21;
    factor[factor_id::bag_co2].value = 0;
    choose(12);
    const run_outcome out = run_minutes(3);
    ASSERT_EQ(out.failure, 0);
    EXPECT_GT(display[display_id::bag_co2_amount].value, 200.0f);    // bag CO2, ml
    EXPECT_GT(factor[factor_id::inspired_co2].value, 5.0f);          // inspired CO2 %
    EXPECT_LT(factor[factor_id::inspired_o2].value, 12.0f);          // inspired O2 %
    EXPECT_GT(display[display_id::arterial_pco2].value, 45.0f);      // arterial PCO2
    EXPECT_GT(display[display_id::total_ventilation].value, 10.0f);  // ventilation
    EXPECT_GT(factor[factor_id::bag_volume].value, 5000.0f);         // the bag keeps most of its gas
}

TEST_F(Bag, RebreathingWithAbsorberKeepsCo2DownAndEmptiesTheBagOnlySlowly)
{
    factor[factor_id::bag_volume].value = 6000;
    factor[factor_id::bag_o2].value = 21;
    factor[factor_id::bag_co2].value = 0;
    choose(13);
    const run_outcome half_minute = [] {
        run_outcome out;
        constant(60);
        for (int second = 0; second < 30 && run_second(out); ++second) {}
        return out;
    }();
    ASSERT_EQ(half_minute.failure, 0);
    EXPECT_GT(factor[factor_id::bag_volume].value, 5700.0f);
    const run_outcome out = run_minutes(3);
    ASSERT_EQ(out.failure, 0);
    EXPECT_EQ(display[display_id::bag_co2_amount].value, 0.0f);
    EXPECT_EQ(factor[factor_id::inspired_co2].value, 0.0f);
    EXPECT_LT(display[display_id::arterial_pco2].value, 41.0f);  // no CO2 build-up
    EXPECT_LT(display[display_id::arterial_po2].value, 65.0f);   // the O2 runs down
    EXPECT_GT(factor[factor_id::bag_volume].value, 4500.0f);
}

TEST_F(Bag, BreathHoldRaisesCo2AndStopsTheLungExpiring)
{
    choose(9);
    const float volume = factor[factor_id::lung_volume].value;
    const run_outcome out = run_minutes(1);
    ASSERT_EQ(out.failure, 0);
    EXPECT_EQ(display[display_id::total_ventilation].value, 0.0f);
    EXPECT_GT(display[display_id::arterial_pco2].value, 45.0f);
    EXPECT_LT(factor[factor_id::lung_volume].value, volume);  // O2 taken up faster than CO2 given
    choose(10);
    EXPECT_EQ(factor[factor_id::lung_volume].value, volume);
    const run_outcome after = run_minutes(2);
    ASSERT_EQ(after.failure, 0);
    EXPECT_GT(display[display_id::total_ventilation].value, 3.0f);
}
