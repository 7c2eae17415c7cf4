// SPDX-License-Identifier: Apache-2.0
// The host's second: the same calls in the same order as written out by
// hand, bit for bit, with and without the bag; its messages, history, death
// values and the undo of a second that left values that are not numbers.
#include <gtest/gtest.h>

#include <cmath>
#include <cstring>
#include <string>
#include <vector>

#include "cp1252_text.h"
#include "model_driver.h"
#include "model_host.h"

namespace {

// The state a second leaves, as bytes.
std::vector<unsigned char> state_bytes()
{
    std::vector<unsigned char> bytes(sizeof display + sizeof other + sizeof factor);
    std::memcpy(bytes.data(), display, sizeof display);
    std::memcpy(bytes.data() + sizeof display, other, sizeof other);
    std::memcpy(bytes.data() + sizeof display + sizeof other, factor, sizeof factor);
    return bytes;
}

// The standard subject in the given bag state, chosen as the dialog's OK does.
void start_in_bag_state(int32_t state)
{
    fresh_standard_subject();
    bag_state = state;
    bager(2, nullptr, nullptr);
}

// Three minutes with the calls written out; returns the state after each second.
std::vector<std::vector<unsigned char>> by_hand(int32_t state, std::string& messages)
{
    start_in_bag_state(state);
    std::vector<std::vector<unsigned char>> seconds;
    for (int minute = 0; minute < 3; ++minute) {
        constant(60);
        for (int s = 0; s < 60; ++s) {
            if (*bag_index == bag_state_id::rebreathe || *bag_index == bag_state_id::rebreathe_absorber)
                bager(1, nullptr, nullptr);
            if (model() != 0) return seconds;
            sympt();
            messages += app_buf;
            app_buf[0] = '\0';
            const bool died = death();
            messages += app_buf;
            app_buf[0] = '\0';
            seconds.push_back(state_bytes());
            if (died) return seconds;
        }
    }
    return seconds;
}

// The same three minutes through the host.
std::vector<std::vector<unsigned char>> by_host(int32_t state, std::string& messages)
{
    start_in_bag_state(state);
    model_host host;
    std::vector<std::vector<unsigned char>> seconds;
    int t = 0;
    for (int minute = 0; minute < 3; ++minute) {
        host.derive_constants();
        for (int s = 0; s < 60; ++s) {
            const second_result result = host.run_second(++t);
            if (result.failed()) return seconds;
            for (const std::string& m : result.messages) messages += m;
            seconds.push_back(state_bytes());
            // The second is recorded in its history column.
            EXPECT_EQ(history[display_id::alveolar_po2][model_host::history_slot(t)],
                      display[display_id::alveolar_po2].value);
            if (result.died) return seconds;
        }
    }
    return seconds;
}

}  // namespace

// Standard circuit, glottis closed, collecting, and both rebreathing states
// (the ones that need bager(1) before each second).
TEST(ModelHost, RunsEachSecondExactlyAsTheCallsWrittenOut)
{
    for (int32_t state : {bag_state_id::standard, bag_state_id::glottis_closed, bag_state_id::collect_expired,
                          bag_state_id::rebreathe, bag_state_id::rebreathe_absorber}) {
        std::string hand_messages, host_messages;
        const auto hand = by_hand(state, hand_messages);
        const auto host = by_host(state, host_messages);
        ASSERT_EQ(hand.size(), host.size()) << "bag state " << state;
        EXPECT_GT(hand.size(), 60u) << "bag state " << state;
        for (std::size_t s = 0; s < hand.size(); ++s)
            ASSERT_EQ(hand[s], host[s]) << "bag state " << state << ", second " << s + 1;
        EXPECT_EQ(hand_messages, host_messages) << "bag state " << state;
    }
}

TEST(ModelHost, SymptomNewsAndDeathComeBackWithTheirSentences)
{
    fresh_standard_subject();
    factor[factor_id::inspired_o2].value = 3;  // blue within a minute, then death
    model_host host;
    std::vector<std::string> all;
    bool symptom = false;
    second_result result;
    for (int t = 1; t <= 1800 && !result.died && !result.failed(); ++t) {
        if ((t - 1) % 60 == 0) host.derive_constants();
        result = host.run_second(t);
        symptom = symptom || result.symptom;
        for (const std::string& m : result.messages) {
            EXPECT_FALSE(m.empty());
            all.push_back(m);
        }
        if (result.died) {
            // The samples not kept at death read the value at death.
            const int column = model_host::history_slot(t);
            for (int k = 0; k < num_dsy - 1; ++k) {
                if (s_display[k].kept_at_death == 0) {
                    EXPECT_EQ(history[k][column], s_display[k].at_death) << "display " << k;
                }
            }
        }
    }
    EXPECT_TRUE(symptom);
    ASSERT_TRUE(result.died);
    ASSERT_FALSE(all.empty());
    EXPECT_EQ(app_buf[0], '\0');
}

TEST(ModelHost, ASecondLeavingValuesThatAreNotNumbersGoesBackToTheLastRecordedSecond)
{
    fresh_standard_subject();
    model_host host;
    host.derive_constants();
    ASSERT_FALSE(host.run_second(1).failed());
    const auto recorded = state_bytes();
    factor[factor_id::haemoglobin].value = NAN;
    const second_result result = host.run_second(2);
    ASSERT_EQ(result.failure.code(), model_host::item_not_finite);
    EXPECT_TRUE(result.messages.empty());
    // display and other are those of second 1 again.
    EXPECT_EQ(std::memcmp(display, recorded.data(), sizeof display), 0);
    EXPECT_EQ(std::memcmp(other, recorded.data() + sizeof display, sizeof other), 0);
}

TEST(ModelHost, MessagesAreDecodedFromCodePage1252AndTheBufferEmptied)
{
    std::snprintf(app_buf, sizeof app_buf, "%s", "\x93Ouch\x94 \xe9\x81");
    EXPECT_EQ(model_host::take_messages(), "\u201cOuch\u201d \u00e9\ufffd");
    EXPECT_EQ(app_buf[0], '\0');
    EXPECT_EQ(model_host::take_messages(), "");
    EXPECT_EQ(utf8_from_cp1252("\x80\x9f", 2), "\u20ac\u0178");
    EXPECT_EQ(utf8_from_cp1252("a\0b", 3), std::string("a\0b", 3));
}

TEST(ModelHost, HistorySlotWrapsBothWays)
{
    for (auto [t, slot] : std::vector<std::pair<int, int>>{
             {0, 0}, {1799, 1799}, {1800, 0}, {1801, 1}, {-1, 1799}, {-1800, 0}, {3601, 1}})
        EXPECT_EQ(model_host::history_slot(t), slot) << t;
}

TEST(ModelHost, CatalogueNamesAreTheLibrarysInCatalogueOrder)
{
    ASSERT_EQ(model_host::factor_count(), num_fct);
    ASSERT_EQ(model_host::display_count(), num_dsy);
    for (int i = 0; i < num_fct; ++i)
        EXPECT_EQ(model_host::factor_name(i), utf8_from_cp1252(factor[i].name, std::strlen(factor[i].name)));
    for (int i = 0; i < num_dsy; ++i)
        EXPECT_EQ(model_host::display_name(i),
                  utf8_from_cp1252(display[i].name, std::strlen(display[i].name)));
    EXPECT_EQ(model_host::factor_name(factor_id::inspired_o2), "Inspired O2 percentage");
    EXPECT_EQ(model_host::display_name(num_dsy - 1), "No display");
    for (int outside : {-1, num_fct}) EXPECT_EQ(model_host::factor_name(outside), "");
    for (int outside : {-1, num_dsy}) EXPECT_EQ(model_host::display_name(outside), "");
    EXPECT_EQ(model_host::version(), mdl_ver);
}

TEST(ModelHost, PressureDisplaysAreThoseListedAndHistorySamplesAreBounded)
{
    int listed = 0;
    for (int d = -1; d <= num_dsy; ++d) {
        bool in_list = false;
        for (int32_t entry : a_d_lst) in_list = in_list || (entry != -1 && entry == d);
        EXPECT_EQ(model_host::pressure_display(d), in_list) << d;
        listed += in_list ? 1 : 0;
    }
    EXPECT_GT(listed, 0);
    EXPECT_TRUE(model_host::pressure_display(display_id::arterial_po2));
    const int column = model_host::history_slot(7);
    history[display_id::alveolar_o2_amount][column] = 12.5f;
    EXPECT_EQ(model_host::history_sample(display_id::alveolar_o2_amount, column), 12.5f);
    for (auto [row, column] : std::vector<std::pair<int, int>>{
             {-1, 0}, {TOLVANE_HISTORY_ROWS, 0}, {0, -1}, {0, TOLVANE_HISTORY_COLUMNS}})
        EXPECT_EQ(model_host::history_sample(row, column), 0.0f) << row << "," << column;
}
