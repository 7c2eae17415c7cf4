// Numerical soundness of the step where a lesson takes it: the cardiac
// output's response to exercise, sudden barometric pressure changes, the
// alveolar gas at high work rates, and no step that leaves a value that is
// not a number.
#include <gtest/gtest.h>

#include <cmath>

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
