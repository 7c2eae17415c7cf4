// SPDX-License-Identifier: Apache-2.0
// Seeded random subjects within the catalogue limits, any bag state, either
// ventilation mode: every call returns and no value becomes NaN or infinite.
#include <gtest/gtest.h>

#include <cstdio>
#include <cstring>
#include <random>

#include "model_driver.h"
#include "slot_ids.h"

namespace {

float uniform(std::mt19937& rng, float low, float high)
{
    return std::uniform_real_distribution<float>(low, high)(rng);
}

// A subject from the standard one: every factor drawn within its limits
// (a third of the subjects), or each factor drawn with chance one in four,
// so that many subjects live long enough to be stepped for minutes.
void draw_subject(std::mt19937& rng, int number)
{
    fresh_standard_subject();
    const bool all_factors = number % 3 == 0;
    for (int i = 0; i < TOLVANE_NUM_FACTORS; ++i) {
        if (all_factors || rng() % 4 == 0) {
            factor[i].value = uniform(rng, factor[i].minimum, factor[i].maximum);
        }
    }
    height.value = uniform(rng, height.minimum, height.maximum);
    weight.value = uniform(rng, weight.minimum, weight.maximum);
    age.value = uniform(rng, age.minimum, age.maximum);
    sex = static_cast<int32_t>(rng() % 2);
    ventilation_flag = static_cast<int32_t>(rng() % 2);
    display[display_id::respiratory_rate].value = uniform(rng, display[display_id::respiratory_rate].minimum,
                                                          display[display_id::respiratory_rate].maximum);
    display[display_id::tidal_volume].value =
        uniform(rng, display[display_id::tidal_volume].minimum, display[display_id::tidal_volume].maximum);
    bag_state = static_cast<int32_t>(9 + rng() % 5);
    bager(2, nullptr, nullptr);
}

}  // namespace

// Ten presses of RUN, as the front end runs them: a failure code ends a
// press (the student may press again), a death ends the subject's run.
TEST(Robustness, RandomSubjectsStayFiniteOverTenRunPresses)
{
    std::mt19937 rng(20100213);
    int deaths = 0;
    int failures = 0;
    long seconds = 0;
    for (int number = 0; number < 600; ++number) {
        draw_subject(rng, number);
        const std::string subject = "subject " + std::to_string(number) + " bag " +
                                    std::to_string(bag_state) + " ventilation " +
                                    std::to_string(ventilation_flag);
        run_outcome out;
        for (int press = 0; press < 10 && !out.died; ++press) {
            constant(60);
            for (int second = 0; second < 60; ++second) {
                const bool going_on = run_second(out);
                ++seconds;
                ASSERT_TRUE(state_is_finite()) << subject << " after " << out.seconds << " s";
                ASSERT_LT(std::strlen(app_buf), static_cast<size_t>(TOLVANE_APP_BUF_SIZE));
                if (!going_on) {
                    if (out.failure != 0) {
                        EXPECT_LE(out.failure, failure_code::capillary_bicarbonate_negative);
                        ++failures;
                        out.failure = 0;
                    }
                    break;
                }
            }
        }
        deaths += out.died ? 1 : 0;
    }
    std::printf("%d deaths, %d failures, %ld seconds\n", deaths, failures, seconds);
    // The draws cover living, failing and dying subjects alike.
    EXPECT_GT(deaths, 30);
    EXPECT_GT(failures, 30);
    EXPECT_GT(seconds, 30000);
}

// A subject switched between every bag state and both modes every few
// seconds, as a student clicking through the respiration dialog might.
TEST(Robustness, SwitchingBagStatesAndModesStaysFinite)
{
    std::mt19937 rng(7);
    for (int trial = 0; trial < 20; ++trial) {
        fresh_standard_subject();
        factor[factor_id::bag_volume].value = uniform(rng, 300, 30000);
        factor[factor_id::bag_co2].value = uniform(rng, 0, 25);
        factor[factor_id::bag_o2].value = uniform(rng, 0, 100);
        run_outcome out;
        for (int press = 0; press < 10 && !out.died; ++press) {
            bag_state = static_cast<int32_t>(9 + rng() % 5);
            ventilation_flag = static_cast<int32_t>(rng() % 2);
            bager(2, nullptr, nullptr);
            constant(60);
            for (int second = 0; second < 60; ++second) {
                const bool going_on = run_second(out);
                ASSERT_TRUE(state_is_finite()) << "trial " << trial << " press " << press;
                if (!going_on) {
                    out.failure = 0;
                    break;
                }
            }
        }
    }
}
