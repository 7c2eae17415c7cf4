// SPDX-License-Identifier: Apache-2.0
// The standard subject at rest, and the direction of its responses to the
// classic challenges, driven minute by minute as the front end drives it.
#include <gtest/gtest.h>

#include "model_driver.h"
#include "slot_ids.h"

namespace {

struct resting_values {
    float cardiac_output, heart_rate, arterial_po2, arterial_pco2, arterial_ph, ventilation;
};

resting_values read_resting_values()
{
    return {display[display_id::cardiac_output].value, display[display_id::heart_rate].value,
            display[display_id::arterial_po2].value,   display[display_id::arterial_pco2].value,
            display[display_id::arterial_ph].value,    display[display_id::total_ventilation].value};
}

// Runs the standard subject through a change of factors for some minutes.
run_outcome run_standard_with(void (*change)(), int minutes)
{
    fresh_standard_subject();
    change();
    return run_minutes(minutes);
}

}  // namespace

// The standard subject is a resting adult near steady state: the tolerances
// are a few per cent, wide enough for the slow drift of the stores over half
// an hour, narrow enough to catch any stage that pushes the subject away.
TEST(StandardSubject, StaysAtRestWithinAFewPercentForThirtyMinutes)
{
    fresh_standard_subject();
    for (int minute = 1; minute <= 30; ++minute) {
        const run_outcome out = run_minutes(1);
        ASSERT_EQ(out.failure, 0) << "minute " << minute;
        ASSERT_FALSE(out.died) << "minute " << minute;
        EXPECT_EQ(out.messages, "") << "minute " << minute;
        const resting_values v = read_resting_values();
        EXPECT_NEAR(v.cardiac_output, 5.0, 0.25) << "minute " << minute;
        EXPECT_NEAR(v.heart_rate, 63.0, 2.0) << "minute " << minute;
        EXPECT_NEAR(v.arterial_po2, 93.0, 2.0) << "minute " << minute;
        EXPECT_NEAR(v.arterial_pco2, 40.0, 1.0) << "minute " << minute;
        EXPECT_NEAR(v.arterial_ph, 7.40, 0.01) << "minute " << minute;
        EXPECT_NEAR(v.ventilation, 6.0, 0.3) << "minute " << minute;
    }
}

// Inspired CO2 is the strongest chemical drive: ventilation at least doubles.
TEST(StandardSubjectResponse, FivePercentInspiredCo2AtLeastDoublesVentilationWithinTenMinutes)
{
    fresh_standard_subject();
    run_minutes(10);
    const float resting = display[display_id::total_ventilation].value;
    const run_outcome out = run_standard_with([] { factor[factor_id::inspired_co2].value = 5; }, 10);
    ASSERT_EQ(out.failure, 0);
    ASSERT_FALSE(out.died);
    EXPECT_GE(display[display_id::total_ventilation].value, 2 * resting);
    EXPECT_GT(display[display_id::arterial_pco2].value, 45.0f);  // hypercapnia despite the extra breathing
}

TEST(StandardSubjectResponse, TwelvePercentInspiredO2GivesHypoxaemiaAndMoreBreathing)
{
    fresh_standard_subject();
    run_minutes(10);
    const float resting = display[display_id::total_ventilation].value;
    const run_outcome out = run_standard_with([] { factor[factor_id::inspired_o2].value = 12; }, 10);
    ASSERT_EQ(out.failure, 0);
    ASSERT_FALSE(out.died);
    EXPECT_LT(display[display_id::arterial_po2].value, 60.0f);
    EXPECT_GT(display[display_id::total_ventilation].value, resting * 1.2f);
    EXPECT_LT(display[display_id::arterial_pco2].value, 38.0f);  // the extra breathing blows off CO2
}

TEST(StandardSubjectResponse, HundredWattsRaisesHeartRateMetabolismAndVentilation)
{
    fresh_standard_subject();
    run_minutes(10);
    const resting_values resting = read_resting_values();
    const run_outcome out = run_standard_with([] { factor[factor_id::work_rate].value = 100; }, 10);
    ASSERT_EQ(out.failure, 0);
    ASSERT_FALSE(out.died);
    EXPECT_GT(display[display_id::heart_rate].value, resting.heart_rate * 1.5f);
    EXPECT_GT(display[display_id::metabolic_rate].value, 400.0f);  // metabolic rate, % of rest
    EXPECT_GT(display[display_id::total_ventilation].value, resting.ventilation * 3);
    EXPECT_GT(display[display_id::cardiac_output].value, resting.cardiac_output * 2);
}

// Halving haemoglobin halves what each 100 ml of blood carries; the heart
// makes up by pumping more.
TEST(StandardSubjectResponse, HaemoglobinSevenRoughlyHalvesArterialO2Content)
{
    fresh_standard_subject();
    run_minutes(10);
    const float resting_content = display[display_id::arterial_o2_content].value;
    const float resting_output = display[display_id::cardiac_output].value;
    const run_outcome out = run_standard_with([] { factor[factor_id::haemoglobin].value = 7; }, 10);
    ASSERT_EQ(out.failure, 0);
    ASSERT_FALSE(out.died);
    EXPECT_NEAR(display[display_id::arterial_o2_content].value / resting_content, 7 / 14.8, 0.05);
    EXPECT_GT(display[display_id::cardiac_output].value, resting_output * 1.5f);
}

// A stopped heart moves no blood: the tissues run out of O2 and acid piles
// up, and the subject dies of a low tissue pH within minutes.
TEST(StandardSubjectResponse, StoppedHeartEndsInDeathWithinFiveMinutes)
{
    const run_outcome out = run_standard_with([] { factor[factor_id::cardiac_performance].value = 0; }, 5);
    EXPECT_EQ(out.failure, 0);
    EXPECT_TRUE(out.died);
    EXPECT_EQ(display[display_id::cardiac_output].value, 0.0f);
    EXPECT_EQ(display[display_id::heart_rate].value, 0.0f);
    EXPECT_NE(out.messages.find("I'm sorry, your patient has died."), std::string::npos);
    EXPECT_LT(out.seconds, 5 * 60);
}
