// Binding the references and making the standard subject live.
#include <gtest/gtest.h>

#include <cstring>

#include "model_driver.h"

namespace {

bool same_bits(float a, float b)
{
    return std::memcmp(&a, &b, sizeof a) == 0;
}

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
    EXPECT_EQ(res_rate, &display[40]);
    EXPECT_EQ(tidal, &display[41]);
    EXPECT_EQ(positive, &factor[22]);
    EXPECT_EQ(bag_index, &bag_state);
    EXPECT_EQ(bag_vol, &factor[4]);
    EXPECT_EQ(bag_co2, &factor[2]);
    EXPECT_EQ(bag_o2, &factor[3]);
    int32_t* const first = ventilation;
    catalogue_record* const volume = bag_vol;
    estab_pnt();
    EXPECT_EQ(ventilation, first);
    EXPECT_EQ(bag_vol, volume);
}

TEST(Loading, LoadNewAfterARunGivesTheStandardSubjectBitForBitAndTwiceIsOnce)
{
    fresh_standard_subject();
    factor[31].value = 150;
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
    bag_state = 13;
    previous_bag_state = 12;
    display[64].value = 0;
    history[3][7] = 1.5f;
    std::strcpy(app_buf, "kept");
    derived[40] = 123;
    load_new();
    EXPECT_EQ(ventilation_flag, 0);
    EXPECT_EQ(bag_state, 13);
    EXPECT_EQ(previous_bag_state, 12);
    EXPECT_EQ(history[3][7], 1.5f);
    EXPECT_STREQ(app_buf, "kept");
    EXPECT_EQ(derived[40], 123.0f);
    history[3][7] = 0;
    app_buf[0] = '\0';
    fresh_standard_subject();
}

// A loaded subject starts its venous delay line from its own venous values.
TEST(Loading, DelayLineStartsFromTheLoadedSubjectsVenousValues)
{
    const float saved[4] = {s_display[62].standard, s_display[60].standard,
                            s_display[57].standard, s_display[44].standard};
    s_display[62].standard = 12.5f;
    s_display[60].standard = 53;
    s_display[57].standard = 70;
    s_display[44].standard = 47;
    fresh_standard_subject();
    for (const venous_delay_slot& slot : venous_delay_line) {
        EXPECT_EQ(slot.o2_content, 12.5f);
        EXPECT_EQ(slot.co2_content, 53.0f);
        EXPECT_EQ(slot.bicarbonate, 70.0f);
        EXPECT_EQ(slot.tissue_pco2, 47.0f);
    }
    EXPECT_EQ(venous_delay_write, 0);
    s_display[62].standard = saved[0];
    s_display[60].standard = saved[1];
    s_display[57].standard = saved[2];
    s_display[44].standard = saved[3];
    fresh_standard_subject();
}

// Two runs from a reset are the same run: nothing of the first survives it.
TEST(Loading, RunsAfterResetRepeatExactly)
{
    fresh_standard_subject();
    factor[16].value = 14;
    run_minutes(2);
    float first[TOLVANE_NUM_DISPLAYS];
    for (int i = 0; i < TOLVANE_NUM_DISPLAYS; ++i) {
        first[i] = display[i].value;
    }
    factor[31].value = 80;
    display[40].value = 30;
    run_minutes(2);
    fresh_standard_subject();
    factor[16].value = 14;
    run_minutes(2);
    for (int i = 0; i < TOLVANE_NUM_DISPLAYS; ++i) {
        EXPECT_TRUE(same_bits(display[i].value, first[i])) << "display " << i;
    }
}
