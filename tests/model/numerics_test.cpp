// Numerical soundness of the step where a lesson takes it: the cardiac
// output's response to exercise, sudden barometric pressure changes, the
// alveolar gas at high work rates, and no step that leaves a value that is
// not a number.
#include <gtest/gtest.h>

#include <algorithm>
#include <cmath>
#include <vector>

#include "model_driver.h"

namespace {

// Standard subject after two minutes at rest, the work rate then set, as the
// factor panel does at 2:00.
void rest_two_minutes_then_work(float watts)
{
    fresh_standard_subject();
    ASSERT_EQ(run_minutes(2).seconds, 120);
    factor[31].value = watts;
    constant(60);
}

}  // namespace

// The first second at 200 W after rest: the cardiac output moves by 1/9 of
// the way to its target (weight 8), from 5.02 to about 7.43 l/min.
TEST(CardiacOutputResponse, FirstSecondAtTwoHundredWatts)
{
    rest_two_minutes_then_work(200);
    EXPECT_NEAR(display[32].value, 5.02, 0.01);
    ASSERT_EQ(model(), 0);
    EXPECT_NEAR(display[32].value, 7.43, 0.01);
}

// A weight of 0 divides by zero in the derived constants: the first step
// leaves values that are not numbers and reports code 9 instead of 0.
TEST(NotFinite, StepLeavingAValueNotANumberReturnsNine)
{
    fresh_standard_subject();
    weight.value = 0;
    constant(60);
    EXPECT_EQ(model(), 9);
    weight.value = 70;
}

// A value made infinite by hand between steps is written on by the step and
// reported; a finite state is not.
TEST(NotFinite, OnlyANonFiniteStateIsReported)
{
    fresh_standard_subject();
    constant(60);
    EXPECT_EQ(model(), 0);
    other[6] = INFINITY;  // anoxia index, carried on by stage 13
    EXPECT_EQ(model(), 9);
}

namespace {

struct pressure_leg {
    int failure = 0;              // step failure code, 0 when none
    std::vector<float> alveolar_po2;  // display[4] after every second of the leg
};

// Sets the barometric pressure at a minute mark and runs whole minutes.
pressure_leg run_at_pressure(float pressure, int minutes)
{
    pressure_leg leg;
    factor[25].value = pressure;
    run_outcome out;
    for (int minute = 0; minute < minutes; ++minute) {
        constant(60);
        for (int second = 0; second < 60; ++second) {
            if (!run_second(out)) {
                leg.failure = out.failure != 0 ? out.failure : -1;
                return leg;
            }
            leg.alveolar_po2.push_back(display[4].value);
        }
    }
    return leg;
}

// How far the alveolar PO2 falls in the first 30 s below its value at 60 s.
float dip_below_minute_value(const pressure_leg& leg)
{
    const float at_minute = leg.alveolar_po2.at(59);
    float lowest = at_minute;
    for (int second = 0; second < 30; ++second) {
        lowest = std::min(lowest, leg.alveolar_po2.at(second));
    }
    return at_minute - lowest;
}

}  // namespace

// From 760 mm Hg to any pressure the teaching range allows and back, each
// held 5 minutes: no step failure. After each drop the alveolar PO2 shows no
// artificial dip: what remains (at most about 6.5 mm Hg, largest near
// 350 mm Hg) is the model's own transient while the CO2 that the expansion
// expelled comes back from the blood and before the hypoxic drive has raised
// the breathing.
TEST(PressureChange, SuddenChangesUpAndDownNeverFailTheStep)
{
    for (float pressure : {253.0f, 300.0f, 350.0f, 400.0f, 450.0f, 600.0f, 1000.0f, 2000.0f,
                           3000.0f, 3800.0f}) {
        fresh_standard_subject();
        ASSERT_EQ(run_minutes(2).failure, 0);
        const pressure_leg there = run_at_pressure(pressure, 5);
        ASSERT_EQ(there.failure, 0) << pressure << " mm Hg";
        const pressure_leg back = run_at_pressure(760, 5);
        ASSERT_EQ(back.failure, 0) << pressure << " mm Hg and back";
        const pressure_leg& drop = pressure < 760 ? there : back;
        EXPECT_LE(dip_below_minute_value(drop), 7.0f) << pressure << " mm Hg";
    }
}

// The alveolar pressures follow the dry pressure at once (the gas keeps its
// make-up), in the step of the change only.
TEST(PressureChange, AlveolarPressuresScaleWithTheDryPressureInTheStepOfTheChange)
{
    fresh_standard_subject();
    ASSERT_EQ(run_minutes(2).failure, 0);
    const float before_dry = derived[11];
    const float po2 = display[4].value, pco2 = display[1].value;
    factor[25].value = 400;
    constant(60);
    EXPECT_TRUE(follow_dry_pressure());
    EXPECT_FLOAT_EQ(display[4].value, po2 * derived[11] / before_dry);
    EXPECT_FLOAT_EQ(display[1].value, pco2 * derived[11] / before_dry);
    const float scaled = display[4].value;
    EXPECT_FALSE(follow_dry_pressure());
    EXPECT_EQ(display[4].value, scaled);
}

// A subject file made at sea level but holding 450 mm Hg (the altitude
// teaching subject): the first step takes the alveolar gas as made at sea
// level. The alveolar PO2 used to fall to about 20 mm Hg within 6 s and the
// subject turned "very blue"; now it settles near 58 mm Hg.
TEST(PressureChange, SubjectMadeAtAnotherPressureLoadsWithoutAnArtificialDip)
{
    fresh_standard_subject();
    factor[25].value = 450;
    const pressure_leg leg = run_at_pressure(450, 2);
    ASSERT_EQ(leg.failure, 0);
    for (int second = 0; second < 120; ++second) {
        EXPECT_GT(leg.alveolar_po2[second], 50.0f) << second;
    }
    EXPECT_LE(dip_below_minute_value(leg), 7.0f);
}

// A subject loaded at the pressure its gas was made at is left alone in its
// first step, as every step without a change of pressure is.
TEST(PressureChange, SubjectLoadedAtItsOwnPressureIsLeftAlone)
{
    fresh_standard_subject();
    constant(60);
    const float po2 = display[4].value, pco2 = display[1].value;
    EXPECT_FALSE(follow_dry_pressure());
    EXPECT_EQ(display[4].value, po2);
    EXPECT_EQ(display[1].value, pco2);
}
