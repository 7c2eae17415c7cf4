// SPDX-License-Identifier: Apache-2.0
// A sudden change of haemoglobin or packed cell volume: the blood keeps its
// saturation and its PCO2, not its contents. The first steps after a
// change, after a load and after a rewind of the step memory.
#include <gtest/gtest.h>

#include <algorithm>
#include <iterator>
#include <string>
#include <vector>

#include "model_driver.h"
#include "slot_ids.h"

namespace {

// Dissolved O2 per mm Hg (ml/100 ml), as the blood chemistry counts it.
constexpr double solubility = 0.003;

// The O2 bound to haemoglobin in a content of blood at po2.
double bound(double content, double po2) { return content - solubility * po2; }

struct blood_trace {
    int failure = 0;
    std::string messages;
    float highest_po2_above_alveolar = -1e9f;
    float lowest_saturation = 1e9f;
    float highest_saturation = -1e9f;
};

// Runs whole minutes from the current moment, following the arterial blood
// second by second.
blood_trace run_following_blood(int minutes)
{
    blood_trace trace;
    run_outcome out;
    for (int minute = 0; minute < minutes; ++minute) {
        constant(60);
        for (int second = 0; second < 60; ++second) {
            if (!run_second(out)) {
                trace.failure = out.failure != 0 ? out.failure : -1;
                break;
            }
            trace.highest_po2_above_alveolar =
                std::max(trace.highest_po2_above_alveolar,
                         display[display_id::arterial_po2].value - display[display_id::alveolar_po2].value);
            trace.lowest_saturation =
                std::min(trace.lowest_saturation, display[display_id::arterial_saturation].value);
            trace.highest_saturation =
                std::max(trace.highest_saturation, display[display_id::arterial_saturation].value);
        }
    }
    trace.messages = out.messages;
    return trace;
}

// A display variable over the first seconds of a run from the current moment.
std::vector<float> display_of_seconds(int d, int seconds)
{
    std::vector<float> values;
    constant(60);
    run_outcome out;
    for (int second = 0; second < seconds; ++second) {
        EXPECT_TRUE(run_second(out));
        values.push_back(display[d].value);
    }
    return values;
}

}  // namespace

// The arterial PO2 of every second after 2:00, while the subject breathes
// air at rest with a haemoglobin of 3 to 25 g/100 ml set at 2:00. Before the
// mend a fall to 10 read 2040 mm Hg at 2:01, and a rise to 25 left the blood
// 60 % saturated ("Your patient is very blue.").
TEST(HaemoglobinChange, ArterialBloodKeepsItsSaturationAfterEveryChange)
{
    for (int haemoglobin = 3; haemoglobin <= 25; ++haemoglobin) {
        fresh_standard_subject();
        ASSERT_EQ(run_minutes(2).failure, 0);
        const float saturation = display[display_id::arterial_saturation].value;
        factor[factor_id::haemoglobin].value = static_cast<float>(haemoglobin);
        const blood_trace trace = run_following_blood(5);
        ASSERT_EQ(trace.failure, 0) << haemoglobin;
        EXPECT_LE(trace.highest_po2_above_alveolar, 15.0f) << haemoglobin;
        // The standard subject's lungs saturate any haemoglobin: the
        // saturation stays within a point and a half of where it was (a
        // little higher in the deepest anaemia, whose cardiac output rises),
        // and nobody is blue.
        EXPECT_GE(trace.lowest_saturation, saturation - 1.5f) << haemoglobin;
        EXPECT_LE(trace.highest_saturation, saturation + 1.5f) << haemoglobin;
        EXPECT_EQ(trace.messages.find("blue"), std::string::npos) << haemoglobin << trace.messages;
    }
}

// In the step of the change the O2 bound to haemoglobin is scaled in every
// blood store, the dissolved O2 kept; the next step with the same
// haemoglobin touches nothing.
TEST(HaemoglobinChange, BoundO2ScalesInEveryBloodStoreInTheStepOfTheChangeOnly)
{
    fresh_standard_subject();
    ASSERT_EQ(run_minutes(2).failure, 0);
    const double pao2 = display[display_id::arterial_po2].value;
    const double arterial = display[display_id::arterial_o2_content].value;
    const double pool = display[display_id::arterial_pool_o2_content].value;
    const double amount = display[display_id::arterial_o2_amount].value;
    const double tissue_po2 = display[display_id::tissue_po2].value;
    const double venous = display[display_id::venous_o2_content].value;
    const double delayed = venous_delay_line[7].o2_content;
    const double capillary = display[display_id::capillary_o2_content].value;
    const float tissue_store = display[display_id::tissue_o2_amount].value;

    const double k = 10.0 / factor[factor_id::haemoglobin].value;
    factor[factor_id::haemoglobin].value = 10;
    constant(60);
    ASSERT_TRUE(follow_blood_make_up());
    EXPECT_NEAR(display[display_id::arterial_o2_content].value, solubility * pao2 + bound(arterial, pao2) * k,
                1e-5);
    EXPECT_NEAR(display[display_id::arterial_pool_o2_content].value,
                solubility * pao2 + bound(pool, pao2) * k, 1e-5);
    EXPECT_NEAR(display[display_id::arterial_o2_amount].value,
                10 * (solubility * pao2 + bound(amount / 10, pao2) * k), 1e-4);
    EXPECT_NEAR(display[display_id::venous_o2_content].value,
                solubility * tissue_po2 + bound(venous, tissue_po2) * k, 1e-5);
    EXPECT_NEAR(venous_delay_line[7].o2_content, solubility * tissue_po2 + bound(delayed, tissue_po2) * k,
                1e-5);
    EXPECT_NEAR(display[display_id::capillary_o2_content].value,
                solubility * display[display_id::alveolar_po2].value +
                    bound(capillary, display[display_id::alveolar_po2].value) * k,
                1e-5);
    // O2 held in the tissues themselves is no blood.
    EXPECT_EQ(display[display_id::tissue_o2_amount].value, tissue_store);

    const float scaled = display[display_id::arterial_o2_content].value;
    EXPECT_FALSE(follow_blood_make_up());
    EXPECT_EQ(display[display_id::arterial_o2_content].value, scaled);
}

// A subject made with the standard haemoglobin and saved with 7 (as a
// subject file written right after the value was typed): its first steps
// take the blood as made with the standard 14.8. Its arterial PO2 used to read 3385 mm Hg
// at 0:01.
TEST(HaemoglobinChange, SubjectMadeWithAnotherHaemoglobinLoadsSettled)
{
    fresh_standard_subject();
    factor[factor_id::haemoglobin].value = 7;
    const float saturation = display[display_id::arterial_saturation].value;
    const blood_trace trace = run_following_blood(2);
    ASSERT_EQ(trace.failure, 0);
    EXPECT_LE(trace.highest_po2_above_alveolar, 15.0f);
    EXPECT_GE(trace.lowest_saturation, saturation - 1.0f);
}

// A subject loaded with the haemoglobin its blood was made with is left
// alone in its first step, as every step without a change is.
TEST(HaemoglobinChange, SubjectLoadedWithItsOwnHaemoglobinIsLeftAlone)
{
    fresh_standard_subject();
    constant(60);
    catalogue_record before[TOLVANE_NUM_DISPLAYS];
    std::copy(std::begin(display), std::end(display), before);
    EXPECT_FALSE(follow_blood_make_up());
    for (int i = 0; i < TOLVANE_NUM_DISPLAYS; ++i) EXPECT_EQ(display[i].value, before[i].value) << i;
}

// The haemoglobin the last step ran with travels with the step memory: a
// moment put back from just before a change (display, other, step memory)
// with the new haemoglobin kept runs the very seconds the change first ran.
TEST(HaemoglobinChange, RewindToTheMomentBeforeAChangeRepeatsItBitForBit)
{
    fresh_standard_subject();
    ASSERT_EQ(run_minutes(2).failure, 0);
    catalogue_record displays[TOLVANE_NUM_DISPLAYS];
    float others[TOLVANE_NUM_OTHERS];
    std::copy(std::begin(display), std::end(display), displays);
    std::copy(std::begin(other), std::end(other), others);
    float factors[TOLVANE_NUM_FACTORS];
    for (int i = 0; i < TOLVANE_NUM_FACTORS; ++i) factors[i] = factor[i].value;
    tolvane_step_memory memory;
    tolvane_save_step_memory(&memory);

    factor[factor_id::haemoglobin].value = 9;
    const std::vector<float> first = display_of_seconds(display_id::arterial_po2, 30);

    for (int i = 0; i < TOLVANE_NUM_DISPLAYS; ++i) display[i].value = displays[i].value;
    std::copy(std::begin(others), std::end(others), other);
    for (int i = 0; i < TOLVANE_NUM_FACTORS; ++i) factor[i].value = factors[i];
    factor[factor_id::haemoglobin].value = 9;
    tolvane_restore_step_memory(&memory);
    EXPECT_EQ(display_of_seconds(display_id::arterial_po2, 30), first);
}

// Cells hold less CO2 than plasma at the same PCO2. Before the mend, a
// packed cell volume raised from 45 to 80 % at 2:00 read an arterial PCO2 of
// 48.8 mm Hg at 2:01, and one lowered to 0 % read 32.9 and 27.7 within the
// minute. Now the arterial PCO2 moves by less than a millimetre in the first
// ten seconds and stays within 3 mm Hg of where it was for the minute.
TEST(PackedCellVolumeChange, ArterialPco2KeepsItsValueAfterEveryChange)
{
    for (float packed_cell_volume : {0.0f, 10.0f, 20.0f, 30.0f, 60.0f, 70.0f, 80.0f}) {
        fresh_standard_subject();
        ASSERT_EQ(run_minutes(2).failure, 0);
        const float before = display[display_id::arterial_pco2].value;
        factor[factor_id::packed_cell_volume].value = packed_cell_volume;
        const std::vector<float> pco2 = display_of_seconds(display_id::arterial_pco2, 60);
        for (int second = 0; second < 60; ++second)
            EXPECT_NEAR(pco2[second], before, second < 10 ? 1.0f : 3.0f)
                << packed_cell_volume << " % " << second;
    }
}

// In the step of the change the arterial CO2 content becomes what blood of
// the new packed cell volume holds at the arterial pH and pressures.
TEST(PackedCellVolumeChange, ArterialCo2ContentFitsTheNewBloodInTheStepOfTheChange)
{
    fresh_standard_subject();
    ASSERT_EQ(run_minutes(2).failure, 0);
    factor[factor_id::packed_cell_volume].value = 70;
    constant(60);
    ASSERT_TRUE(follow_blood_make_up());
    float o2 = 0, co2 = 0, saturation = 0;
    blood_contents(display[display_id::arterial_ph].value, display[display_id::arterial_po2].value,
                   display[display_id::arterial_pco2].value, o2, co2, saturation);
    EXPECT_NEAR(display[display_id::arterial_co2_content].value, co2, 0.02f);
    EXPECT_FALSE(follow_blood_make_up());
}
