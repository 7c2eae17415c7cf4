// SPDX-License-Identifier: Apache-2.0
// Binding the references and making the standard subject live.
#include <gtest/gtest.h>

#include <cstring>

#include "model_driver.h"
#include "slot_ids.h"

namespace {

bool same_bits(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

void expect_live_state_is_standard()
{
    for (int i = 0; i < TOLVANE_NUM_FACTORS; ++i) {
        EXPECT_TRUE(same_bits(factor[i].value, s_factor[i])) << "factor " << i;
    }
    for (int i = 0; i < TOLVANE_NUM_DISPLAYS - 1; ++i) {
        EXPECT_TRUE(same_bits(display[i].value, s_display[i].standard)) << "display " << i;
    }
    for (int i = 0; i < TOLVANE_NUM_OTHERS; ++i) {
        EXPECT_TRUE(same_bits(other[i], s_other[i])) << "other " << i;
    }
    EXPECT_TRUE(same_bits(height.value, s_height));
    EXPECT_TRUE(same_bits(weight.value, s_weight));
    EXPECT_TRUE(same_bits(age.value, s_age));
    EXPECT_EQ(sex, s_sex);
}

}  // namespace

TEST(Loading, EstabPntBindsTheEightReferencesAndAgainChangesNothing)
{
    estab_pnt();
    EXPECT_EQ(ventilation, &ventilation_flag);
    EXPECT_EQ(res_rate, &display[display_id::respiratory_rate]);
    EXPECT_EQ(tidal, &display[display_id::tidal_volume]);
    EXPECT_EQ(positive, &factor[factor_id::peep]);
    EXPECT_EQ(bag_index, &bag_state);
    EXPECT_EQ(bag_vol, &factor[factor_id::bag_volume]);
    EXPECT_EQ(bag_co2, &factor[factor_id::bag_co2]);
    EXPECT_EQ(bag_o2, &factor[factor_id::bag_o2]);
    int32_t* const first = ventilation;
    catalogue_record* const volume = bag_vol;
    estab_pnt();
    EXPECT_EQ(ventilation, first);
    EXPECT_EQ(bag_vol, volume);
}

TEST(Loading, LoadNewAfterARunGivesTheStandardSubjectBitForBitAndTwiceIsOnce)
{
    fresh_standard_subject();
    factor[factor_id::work_rate].value = 150;
    run_minutes(3);
    height.value = 120;
    sex = 0;
    ASSERT_TRUE(load_new());
    expect_live_state_is_standard();
    ASSERT_TRUE(load_new());
    expect_live_state_is_standard();
}

TEST(Loading, LoadNewKeepsModeBagHistoryAndBuffer)
{
    fresh_standard_subject();
    ventilation_flag = 0;
    bag_state = bag_state_id::rebreathe_absorber;
    previous_bag_state = bag_state_id::rebreathe;
    display[display_id::no_display].value = 0;
    history[display_id::alveolar_o2_amount][7] = 1.5f;
    std::strcpy(app_buf, "kept");
    derived[derived_id::max_lactate_production] = 123;
    load_new();
    EXPECT_EQ(ventilation_flag, 0);
    EXPECT_EQ(bag_state, bag_state_id::rebreathe_absorber);
    EXPECT_EQ(previous_bag_state, bag_state_id::rebreathe);
    EXPECT_EQ(history[display_id::alveolar_o2_amount][7], 1.5f);
    EXPECT_STREQ(app_buf, "kept");
    EXPECT_EQ(derived[derived_id::max_lactate_production], 123.0f);
    history[display_id::alveolar_o2_amount][7] = 0;
    app_buf[0] = '\0';
    fresh_standard_subject();
}

// A loaded subject starts its venous delay line from its own venous values.
TEST(Loading, DelayLineStartsFromTheLoadedSubjectsVenousValues)
{
    const float saved[4] = {s_display[display_id::venous_o2_content].standard,
                            s_display[display_id::venous_co2_content].standard,
                            s_display[display_id::venous_bicarbonate_amount].standard,
                            s_display[display_id::tissue_pco2].standard};
    s_display[display_id::venous_o2_content].standard = 12.5f;
    s_display[display_id::venous_co2_content].standard = 53;
    s_display[display_id::venous_bicarbonate_amount].standard = 70;
    s_display[display_id::tissue_pco2].standard = 47;
    fresh_standard_subject();
    for (const venous_delay_slot& slot : venous_delay_line) {
        EXPECT_EQ(slot.o2_content, 12.5f);
        EXPECT_EQ(slot.co2_content, 53.0f);
        EXPECT_EQ(slot.bicarbonate, 70.0f);
        EXPECT_EQ(slot.tissue_pco2, 47.0f);
    }
    EXPECT_EQ(venous_delay_write, 0);
    s_display[display_id::venous_o2_content].standard = saved[0];
    s_display[display_id::venous_co2_content].standard = saved[1];
    s_display[display_id::venous_bicarbonate_amount].standard = saved[2];
    s_display[display_id::tissue_pco2].standard = saved[3];
    fresh_standard_subject();
}

// Two runs from a reset are the same run: nothing of the first survives it.
TEST(Loading, RunsAfterResetRepeatExactly)
{
    fresh_standard_subject();
    factor[factor_id::inspired_o2].value = 14;
    run_minutes(2);
    float first[TOLVANE_NUM_DISPLAYS];
    for (int i = 0; i < TOLVANE_NUM_DISPLAYS; ++i) {
        first[i] = display[i].value;
    }
    factor[factor_id::work_rate].value = 80;
    display[display_id::respiratory_rate].value = 30;
    run_minutes(2);
    fresh_standard_subject();
    factor[factor_id::inspired_o2].value = 14;
    run_minutes(2);
    for (int i = 0; i < TOLVANE_NUM_DISPLAYS; ++i) {
        EXPECT_TRUE(same_bits(display[i].value, first[i])) << "display " << i;
    }
}
