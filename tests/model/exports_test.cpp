// SPDX-License-Identifier: Apache-2.0
// Exported additions, called through the shared library as a host would.

// --- tolvane_o2_saturation ---------------------------------------------------
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <limits>
#include <vector>

#include "tolvane_model.h"

namespace {

// Every exported variable as bytes, so that a comparison sees any change.
std::vector<unsigned char> exported_state()
{
    std::vector<unsigned char> bytes;
    auto add = [&bytes](const void* p, size_t n) {
        const size_t at = bytes.size();
        bytes.resize(at + n);
        std::memcpy(bytes.data() + at, p, n);
    };
    add(&num_fct, sizeof num_fct);
    add(&num_dsy, sizeof num_dsy);
    add(&num_oth, sizeof num_oth);
    add(factor, sizeof factor);
    add(display, sizeof display);
    add(other, sizeof other);
    add(&height, sizeof height);
    add(&weight, sizeof weight);
    add(&age, sizeof age);
    add(&sex, sizeof sex);
    add(&s_height, sizeof s_height);
    add(&s_weight, sizeof s_weight);
    add(&s_age, sizeof s_age);
    add(&s_sex, sizeof s_sex);
    add(s_factor, sizeof s_factor);
    add(s_display, sizeof s_display);
    add(s_other, sizeof s_other);
    add(alt_fact, sizeof alt_fact);
    add(a_f_lst, sizeof a_f_lst);
    add(alt_dspy, sizeof alt_dspy);
    add(a_d_lst, sizeof a_d_lst);
    add(history, sizeof history);
    add(&comment, sizeof comment);
    add(&mdl_ver, sizeof mdl_ver);
    add(app_buf, sizeof app_buf);
    add(&ventilation, sizeof ventilation);
    add(&res_rate, sizeof res_rate);
    add(&tidal, sizeof tidal);
    add(&positive, sizeof positive);
    add(&bag_index, sizeof bag_index);
    add(&bag_vol, sizeof bag_vol);
    add(&bag_co2, sizeof bag_co2);
    add(&bag_o2, sizeof bag_o2);
    add(ventilation, sizeof *ventilation);
    add(bag_index, sizeof *bag_index);
    return bytes;
}

struct o2_result {
    bool ok = false;
    float saturation = -1;
    float content = -1;
};

o2_result o2_at(float po2, float pco2 = 40, float ph = 7.4f, float temperature = 37, float dpg = 3.8f,
                float hb = 14.8f)
{
    o2_result r;
    r.ok = tolvane_o2_saturation(po2, pco2, ph, temperature, dpg, hb, &r.saturation, &r.content);
    return r;
}

class O2Saturation : public ::testing::Test {
protected:
    static void SetUpTestSuite()
    {
        estab_pnt();
        load_new();
        // A live subject a minute into a run, with history written, so that
        // there is state to disturb.
        constant(60);
        for (int second = 0; second < 60; ++second) {
            ASSERT_EQ(model(), 0);
        }
        for (int row = 0; row < TOLVANE_HISTORY_ROWS; ++row) {
            history[row][7] = static_cast<float>(row) + 0.5f;
        }
    }
};

TEST_F(O2Saturation, WorkedValuesOfTheStandardCurve)
{
    const o2_result high = o2_at(100);
    ASSERT_TRUE(high.ok);
    EXPECT_NEAR(high.saturation, 0.9749, 5e-5);
    EXPECT_NEAR(high.content, 19.63, 5e-3);
    EXPECT_NEAR(o2_at(5).saturation, 0.033015, 1e-6);
}

TEST_F(O2Saturation, ConditionsMoveTheCurve)
{
    const float standard = o2_at(27).saturation;
    EXPECT_LT(o2_at(27, 40, 7.2f).saturation, standard);         // acid: right
    EXPECT_LT(o2_at(27, 40, 7.4f, 40).saturation, standard);     // warm: right
    EXPECT_LT(o2_at(27, 60).saturation, standard);               // CO2: right
    EXPECT_LT(o2_at(27, 40, 7.4f, 37, 8).saturation, standard);  // DPG: right
    EXPECT_GT(o2_at(27, 40, 7.4f, 32).saturation, standard);     // cold: left
    // DPG beyond the cap acts as the cap.
    EXPECT_EQ(o2_at(27, 40, 7.4f, 37, 15).saturation, o2_at(27, 40, 7.4f, 37, 11).saturation);
    // Haemoglobin scales the bound O2 only.
    const o2_result anaemic = o2_at(100, 40, 7.4f, 37, 3.8f, 7.4f);
    EXPECT_EQ(anaemic.saturation, o2_at(100).saturation);
    EXPECT_NEAR(anaemic.content - 0.3, (o2_at(100).content - 0.3) / 2, 1e-5);
}

TEST_F(O2Saturation, RefusesInputsOutsideItsRangeAndWritesNothing)
{
    const float nan = std::numeric_limits<float>::quiet_NaN();
    const float inf = std::numeric_limits<float>::infinity();
    const struct {
        float po2, pco2, ph, t, dpg, hb;
    } refused[] = {
        {nan, 40, 7.4f, 37, 3.8f, 14.8f}, {100, nan, 7.4f, 37, 3.8f, 14.8f},
        {100, 40, nan, 37, 3.8f, 14.8f},  {100, 40, 7.4f, inf, 3.8f, 14.8f},
        {100, 40, 7.4f, 37, -inf, 14.8f}, {100, 40, 7.4f, 37, 3.8f, nan},
        {-1, 40, 7.4f, 37, 3.8f, 14.8f},  {100, 0, 7.4f, 37, 3.8f, 14.8f},
        {100, -5, 7.4f, 37, 3.8f, 14.8f}, {100, 40, 7.4f, 37, 3.8f, -0.1f},
    };
    for (const auto& in : refused) {
        float s = -7, c = -7;
        EXPECT_FALSE(tolvane_o2_saturation(in.po2, in.pco2, in.ph, in.t, in.dpg, in.hb, &s, &c))
            << in.po2 << " " << in.pco2 << " " << in.ph << " " << in.t << " " << in.dpg << " " << in.hb;
        EXPECT_EQ(s, -7);
        EXPECT_EQ(c, -7);
    }
    // Null outputs are allowed; PO2 0 and Hb 0 are real blood.
    EXPECT_TRUE(tolvane_o2_saturation(0, 40, 7.4f, 37, 3.8f, 0, nullptr, nullptr));
}

TEST_F(O2Saturation, ChangesNoExportedVariable)
{
    const std::vector<unsigned char> before = exported_state();
    float s = 0, c = 0;
    for (float po2 = 0; po2 <= 700; po2 += 0.7f) {
        for (float ph : {6.8f, 7.4f, 7.9f}) {
            tolvane_o2_saturation(po2, 40 + po2 / 10, ph, 20 + po2 / 35, po2 / 50, po2 / 30, &s, &c);
        }
    }
    tolvane_o2_saturation(100, 0, 7.4f, 37, 3.8f, 14.8f, &s, &c);
    const std::vector<unsigned char> after = exported_state();
    ASSERT_EQ(before.size(), after.size());
    EXPECT_EQ(std::memcmp(before.data(), after.data(), before.size()), 0);
}

}  // namespace
