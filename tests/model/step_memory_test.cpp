// SPDX-License-Identifier: Apache-2.0
// The step's own memory copied out and back: with the exported state, it
// lets a run go on from an earlier second exactly as it went the first time;
// a hand-made copy never sends the delay line's write position outside the
// line; the standard circuit touches only the circuit.
#include <gtest/gtest.h>

#include <cstring>
#include <vector>

#include "model_driver.h"
#include "slot_ids.h"

namespace {

// Everything exported that a step reads or writes.
struct exported_state {
    float factors[TOLVANE_NUM_FACTORS];
    float displays[TOLVANE_NUM_DISPLAYS];
    float others[TOLVANE_NUM_OTHERS];

    static exported_state take()
    {
        exported_state s;
        for (int i = 0; i < TOLVANE_NUM_FACTORS; ++i) s.factors[i] = factor[i].value;
        for (int i = 0; i < TOLVANE_NUM_DISPLAYS; ++i) s.displays[i] = display[i].value;
        std::memcpy(s.others, other, sizeof s.others);
        return s;
    }
    void put_back() const
    {
        for (int i = 0; i < TOLVANE_NUM_FACTORS; ++i) factor[i].value = factors[i];
        for (int i = 0; i < TOLVANE_NUM_DISPLAYS; ++i) display[i].value = displays[i];
        std::memcpy(other, others, sizeof others);
    }
    bool operator==(const exported_state& o) const { return std::memcmp(this, &o, sizeof o) == 0; }
};

// Runs n seconds within the current minute's constants, collecting the states.
std::vector<exported_state> run_seconds(int n)
{
    std::vector<exported_state> states;
    run_outcome out;
    for (int i = 0; i < n && run_second(out); ++i) states.push_back(exported_state::take());
    return states;
}

TEST(StepMemory, RestoredCopyRepeatsTheRunBitForBit)
{
    fresh_standard_subject();
    factor[factor_id::inspired_o2].value = 12;  // hypoxia: the symptom memory and delay line change
    run_minutes(3);
    bag_state = bag_state_id::rebreathe_absorber;  // rebreathing with the absorber: the bag memory too
    factor[factor_id::bag_volume].value = 6000;
    bager(2, nullptr, nullptr);
    constant(60);
    run_seconds(17);
    tolvane_step_memory memory;
    tolvane_save_step_memory(&memory);
    const exported_state at_copy = exported_state::take();
    const std::vector<exported_state> first = run_seconds(40);

    // Disturb everything the copy holds, then put it back.
    run_minutes(2);
    previous_bag_state = bag_state_id::glottis_closed;
    at_copy.put_back();
    tolvane_restore_step_memory(&memory);
    const std::vector<exported_state> again = run_seconds(40);
    ASSERT_EQ(first.size(), 40u);
    ASSERT_EQ(again.size(), first.size());
    for (std::size_t i = 0; i < first.size(); ++i) EXPECT_TRUE(first[i] == again[i]) << "second " << i;

    tolvane_step_memory saved_again;
    tolvane_save_step_memory(&saved_again);
    EXPECT_EQ(saved_again.previous_bag_state, bag_state_id::rebreathe_absorber);
}

TEST(StepMemory, HandMadeWritePositionStaysInTheLine)
{
    fresh_standard_subject();
    tolvane_step_memory memory;
    tolvane_save_step_memory(&memory);
    for (const int32_t write : {-1, 60, 1 << 30}) {
        memory.venous_delay_write = write;
        tolvane_restore_step_memory(&memory);
        tolvane_step_memory back;
        tolvane_save_step_memory(&back);
        EXPECT_EQ(back.venous_delay_write, 0);
        constant(60);
        run_outcome out;
        EXPECT_TRUE(run_second(out));
    }
    tolvane_save_step_memory(nullptr);
    tolvane_restore_step_memory(nullptr);
}

TEST(StepMemory, StandardCircuitTouchesOnlyTheCircuit)
{
    fresh_standard_subject();
    ventilation_flag = 0x100;
    bag_state = bag_state_id::rebreathe;
    previous_bag_state = bag_state_id::glottis_closed;
    factor[factor_id::lung_volume].value = 1234;
    other[other_id::saved_lung_volume] = 999;
    const exported_state before = exported_state::take();
    tolvane_standard_circuit();
    EXPECT_EQ(ventilation_flag, 1);
    EXPECT_EQ(bag_state, bag_state_id::standard);
    EXPECT_EQ(previous_bag_state, bag_state_id::standard);
    EXPECT_TRUE(exported_state::take() == before);
}

}  // namespace
