// SPDX-License-Identifier: Apache-2.0
// RE-RUN to any second puts back, bit for bit, what the model carried there:
// its step memory (the venous delay line, whose every slot a change of
// haemoglobin or packed cell volume rescales; the bag; the pressures), the
// factors, the display and other values, as a twin that stopped at that
// very second has them. The twin runs second by second and keeps the model
// at each second; the session under test runs minutes, or parts of them,
// and is sent back.
#include "model_state.h"
#include "run_session.h"
#include "slot_ids.h"

#include <gtest/gtest.h>

#include <cstring>
#include <tuple>
#include <vector>

namespace {

constexpr int minutes = 15;

// The settings made at the start of minute m (none at most minutes).
void settings_at(run_session& s, int m, bool si)
{
    respiration_pending pending;
    switch (m) {
    case 1:
        if (si) s.set_pressure_units(true);
        break;
    case 2:
        s.set_factor(factor_id::haemoglobin, 10.0f);
        break;
    case 4:
        s.set_factor(factor_id::packed_cell_volume, 35.0f);
        break;
    case 5:
        s.set_factor(factor_id::barometric_pressure, si ? 80.0f : 600.0f);
        break;
    case 7:
        pending.ventilation = 1;
        pending.bag_state = bag_state_id::rebreathe;
        s.set_respiration(pending, {12, 600, 0, 6000, 0, 20.93});
        break;
    case 10:
        pending.ventilation = 0;
        pending.bag_state = bag_state_id::standard;
        s.set_respiration(pending, {20, 700, 5, 0, 0, 0});
        break;
    case 12:
        s.set_factor(factor_id::inspired_o2, 15.0f);
        break;
    default:
        break;
    }
}

// What a RE-RUN has to put back, as raw bits.
struct carried {
    tolvane_step_memory memory{};
    float factors[TOLVANE_NUM_FACTORS]{};
    float displays[TOLVANE_NUM_DISPLAYS]{};
    float others[TOLVANE_NUM_OTHERS]{};
};

carried carried_now(run_session& s)
{
    return s.with_model([] {
        carried c;
        tolvane_save_step_memory(&c.memory);
        for (int i = 0; i < TOLVANE_NUM_FACTORS; ++i) c.factors[i] = factor[i].value;
        for (int i = 0; i < TOLVANE_NUM_DISPLAYS; ++i) c.displays[i] = display[i].value;
        for (int i = 0; i < TOLVANE_NUM_OTHERS; ++i) c.others[i] = other[i];
        return c;
    });
}

void expect_same(const carried& want, const carried& got, int t)
{
    EXPECT_EQ(std::memcmp(&want.memory, &got.memory, sizeof want.memory), 0) << "step memory at " << t;
    EXPECT_EQ(std::memcmp(want.factors, got.factors, sizeof want.factors), 0) << "factors at " << t;
    EXPECT_EQ(std::memcmp(want.displays, got.displays, sizeof want.displays), 0) << "displays at " << t;
    EXPECT_EQ(std::memcmp(want.others, got.others, sizeof want.others), 0) << "others at " << t;
}

// A client's own change of a value the step reads, made between two parts
// of a minute.
void poke(run_session& s)
{
    s.with_model([] { display[display_id::alveolar_po2].value += 1.0f; });
}

// The twin: second by second, the model kept at every second (after the
// settings made at it), and at each minute mark also before them.
struct twin_run {
    std::vector<carried> at;
    std::vector<carried> before_settings;  // by minute

    twin_run(bool si, int poke_at)
    {
        run_session twin;
        for (int t = 0; t <= minutes * 60; ++t) {
            if (t % 60 == 0) {
                before_settings.push_back(carried_now(twin));
                settings_at(twin, t / 60, si);
            }
            if (t == poke_at) poke(twin);
            at.push_back(carried_now(twin));
            if (t < minutes * 60) EXPECT_EQ(twin.run_step(1).seconds_done, 1) << "twin at " << t;
        }
    }
};

void rerun(run_session& s, int t)
{
    s.state().cursor_time = t;
    s.strip_to_cursor();
    ASSERT_EQ(s.state().sim_time, t);
}

// Kilopascals shown or not; the session under test runs in parts of 60 or
// of 7 seconds (read between parts, and changed by its client once).
class RewindReplay : public testing::TestWithParam<std::tuple<bool, int>> {};

// For each minute E the session runs minutes 0..E-1 (settings included) and
// is sent back to every second of its last minute, latest first; halfway it
// runs on to the minute's end once and must arrive where the twin did.
TEST_P(RewindReplay, EverySecondOfTheLastMinuteComesBackAsTheTwinHadIt)
{
    const auto [si, part] = GetParam();
    const int poke_at = part == 60 ? -1 : 180 + 3 * part;
    const twin_run twin(si, poke_at);
    for (int end = 1; end <= minutes; ++end) {
        run_session s;
        for (int m = 0; m < end; ++m) {
            settings_at(s, m, si);
            while (s.state().sim_time < (m + 1) * 60) {
                if (s.state().sim_time == poke_at) poke(s);
                ASSERT_GT(s.run_step(part).seconds_done, 0);
                carried_now(s);
            }
        }
        // The last second: no settings made at it yet.
        const int last = end * 60, first = last - 60;
        const carried& at_last = twin.before_settings[static_cast<std::size_t>(end)];
        for (int t = last; t >= first; --t) {
            rerun(s, t);
            expect_same(t == last ? at_last : twin.at[static_cast<std::size_t>(t)], carried_now(s), t);
            if (t == first + 31) {
                // A RUN from within the minute goes on as the first did.
                EXPECT_EQ(s.run_to_minute().seconds_done, last - t);
                expect_same(at_last, carried_now(s), last);
                rerun(s, t);
            }
        }
        if (HasFailure()) FAIL() << "minute " << end;
    }
}

INSTANTIATE_TEST_SUITE_P(UnitsAndParts, RewindReplay,
                         testing::Combine(testing::Bool(), testing::Values(60, 7)));

}  // namespace
