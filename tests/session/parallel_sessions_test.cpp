// Sessions in one process: each keeps its own copy of the model's state, so
// two runs stepped in turn give, bit for bit, what each gives alone.
#include "run_session.h"
#include "slot_ids.h"

#include <gtest/gtest.h>

#include <cstring>
#include <functional>
#include <thread>
#include <vector>

namespace {

using setup = std::function<void(run_session&)>;

void breathe_low_o2(run_session& s) { s.set_factor(factor_id::inspired_o2, 12.0f); }

void rest(run_session&) {}

void rebreathe_from_bag(run_session& s)
{
    respiration_pending pending;
    pending.ventilation = 1;
    pending.bag_state = bag_state_id::rebreathe;
    s.set_respiration(pending, {12, 600, 0, 6000, 0, 20.93});
}

void ventilate(run_session& s)
{
    respiration_pending pending;
    pending.ventilation = 0;
    pending.bag_state = bag_state_id::standard;
    s.set_respiration(pending, {20, 700, 5, 0, 0, 0});
}

// Every logged sample of a session, as raw bits.
std::vector<float> log_of(const run_session& s)
{
    std::vector<float> samples;
    for (int t = 0; t < s.logged_seconds(); ++t)
        for (int d = 0; d < logged_displays; ++d) samples.push_back(s.logged(d, t));
    return samples;
}

bool same_bits(const std::vector<float>& a, const std::vector<float>& b)
{
    return a.size() == b.size() && std::memcmp(a.data(), b.data(), a.size() * sizeof(float)) == 0;
}

std::vector<float> alone(const setup& how, int minutes)
{
    run_session s;
    how(s);
    for (int m = 0; m < minutes; ++m) s.run_to_minute();
    return log_of(s);
}

struct pair_case {
    const char* name;
    setup first, second;
};

void PrintTo(const pair_case& c, std::ostream* os) { *os << c.name; }

class SessionsSteppedInTurn : public ::testing::TestWithParam<pair_case> {};

TEST_P(SessionsSteppedInTurn, GiveWhatEachGivesAlone)
{
    constexpr int minutes = 6;
    const std::vector<float> first_alone = alone(GetParam().first, minutes);
    const std::vector<float> second_alone = alone(GetParam().second, minutes);
    ASSERT_FALSE(same_bits(first_alone, second_alone)) << "the two runs must differ to prove anything";

    run_session a, b;
    GetParam().first(a);
    GetParam().second(b);
    for (int m = 0; m < minutes; ++m) {
        a.run_to_minute();
        b.run_to_minute();
    }
    EXPECT_TRUE(same_bits(log_of(a), first_alone));
    EXPECT_TRUE(same_bits(log_of(b), second_alone));
}

INSTANTIATE_TEST_SUITE_P(Runs, SessionsSteppedInTurn,
                         ::testing::Values(pair_case{"rest_against_12_percent_o2", rest, breathe_low_o2},
                                           pair_case{"bag_against_ventilator", rebreathe_from_bag,
                                                     ventilate}),
                         [](const auto& info) { return std::string(info.param.name); });

TEST(SessionsSteppedInTurn, SecondByAndRerunInOneKeepTheOtherExact)
{
    // One session runs in parts of seconds and re-runs while the other runs
    // whole minutes: neither disturbs the other.
    const std::vector<float> low_o2_alone = alone(breathe_low_o2, 4);
    run_session low_o2, busy;
    breathe_low_o2(low_o2);
    for (int m = 0; m < 4; ++m) {
        low_o2.run_to_minute();
        busy.run_step(17);
        busy.run_step(60);
        busy.state().cursor_time = busy.state().sim_time - 30;
        busy.strip_to_cursor();
    }
    EXPECT_TRUE(same_bits(log_of(low_o2), low_o2_alone));
}

TEST(SessionsSteppedInTurn, SecondsInPartsRepeatWholeMinutes)
{
    const std::vector<float> minutes = alone(rest, 3);
    run_session parts;
    while (parts.state().sim_time < 180) parts.run_step(7);
    EXPECT_TRUE(same_bits(log_of(parts), minutes));
}

TEST(SessionsSteppedInTurn, ThreadsEachWithASessionGiveTheSameRuns)
{
    const std::vector<float> low_o2_alone = alone(breathe_low_o2, 3);
    std::vector<std::vector<float>> results(4);
    std::vector<std::thread> threads;
    for (std::size_t i = 0; i < results.size(); ++i) {
        threads.emplace_back([&results, i] {
            run_session s;
            breathe_low_o2(s);
            for (int m = 0; m < 3; ++m) s.run_to_minute();
            results[i] = log_of(s);
        });
    }
    for (std::thread& t : threads) t.join();
    for (const std::vector<float>& r : results) EXPECT_TRUE(same_bits(r, low_o2_alone));
}

}  // namespace
