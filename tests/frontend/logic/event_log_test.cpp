// SPDX-License-Identifier: Apache-2.0
// The event record of a run: which events the run as it stands still holds
// after RE-RUN, RESET and load, the script that repeats it (numbers that
// read back bit for bit, times, loads, comments for what a script cannot
// say), what the simulator and the scenario player record, and the hint
// line's words for a value the field did not take as typed.
#include "entry_message.h"
#include "event_log.h"
#include "fake_ui.h"
#include "panel_logic.h"
#include "scenario_player.h"
#include "simulator.h"
#include "slot_ids.h"
#include "tolvane_model.h"

#include <gtest/gtest.h>

#include <cmath>
#include <random>

namespace {

run_event event(run_event_kind kind, int time, int clock, std::string action)
{
    return {kind, time, clock, "what", "value", std::move(action)};
}

std::vector<int> times_of(const std::vector<run_event>& events)
{
    std::vector<int> times;
    for (const run_event& e : events) times.push_back(e.time);
    return times;
}

TEST(EventLog, RerunDropsTheEventsAfterItsCursorAndResetOrLoadAllEarlierOnes)
{
    event_log log;
    EXPECT_FALSE(log.unsaved());
    log.record(event(run_event_kind::factor, 0, 0, "set 15 5"));
    log.record(event(run_event_kind::factor, 120, 120, "set 15 0.03"));
    log.record(event(run_event_kind::factor, 300, 300, "set 16 12"));
    log.record(event(run_event_kind::rerun, 120, 360, "rerun 2:00"));
    EXPECT_EQ(times_of(log.current_branch()), (std::vector<int>{0, 120, 120}));
    log.record(event(run_event_kind::factor, 180, 180, "set 16 15"));
    EXPECT_EQ(times_of(log.current_branch()), (std::vector<int>{0, 120, 120, 180}));
    log.record(event(run_event_kind::reset, 0, 240, "reset"));
    EXPECT_EQ(times_of(log.current_branch()), (std::vector<int>{0}));
    log.record(event(run_event_kind::load, 0, 60, "load a.sbj"));
    EXPECT_EQ(log.current_branch().size(), 1u);
    EXPECT_EQ(log.current_branch()[0].kind, run_event_kind::load);
    EXPECT_EQ(log.all().size(), 7u);
    EXPECT_TRUE(log.unsaved());
    log.mark_kept();
    EXPECT_FALSE(log.unsaved());
    log.clear();
    EXPECT_TRUE(log.all().empty());
}

TEST(EventLog, ScenarioTextRepeatsEveryActionAtItsClock)
{
    event_log log;
    log.record({run_event_kind::load, 0, 0, "Load", "/tmp/x/sub.sbj", "load /tmp/x/sub.sbj"});
    log.record(event(run_event_kind::factor, 120, 120, "set 15 5"));
    log.record({run_event_kind::passport, 120, 120, "Passport height", "180.0", ""});
    log.record(event(run_event_kind::rerun, 90, 6000, "rerun 1:30"));
    const std::string text = log.scenario_text(6030, [](const std::string& path) {
        return path == "/tmp/x/sub.sbj" ? std::string("sub.sbj") : path;
    });
    EXPECT_NE(text.find("at 0:00 load sub.sbj\n"), std::string::npos) << text;
    EXPECT_NE(text.find("at 2:00 set 15 5\n"), std::string::npos) << text;
    EXPECT_NE(text.find("# 2:00 Passport height 180.0 (a script cannot repeat this)\n"), std::string::npos)
        << text;
    // Minutes beyond 99 and the clock, not the cursor, for a re-run.
    EXPECT_NE(text.find("at 100:00 rerun 1:30\n"), std::string::npos) << text;
    EXPECT_TRUE(text.ends_with("run until 100:30\n")) << text;
    // Without a mapping a load names the path as recorded.
    EXPECT_NE(log.scenario_text(0).find("at 0:00 load /tmp/x/sub.sbj\n"), std::string::npos);
}

TEST(ScriptNumbers, ReadBackAsTheSameSinglePrecisionValue)
{
    EXPECT_EQ(script_number_text(5.0f), "5");
    EXPECT_EQ(script_number_text(0.03f), "0.03");
    EXPECT_EQ(script_number_text(20.93f), "20.93");
    EXPECT_EQ(script_time_text(0), "0:00");
    EXPECT_EQ(script_time_text(61), "1:01");
    std::mt19937 random(25);
    std::uniform_real_distribution<float> any(-20000.0f, 20000.0f);
    for (int i = 0; i < 20000; ++i) {
        const float value = i % 2 ? any(random) : std::ldexp(any(random), -20);
        const std::string text = script_number_text(value);
        ASSERT_EQ(atof_value(QString::fromStdString(text)), value) << text;
    }
}

struct entry_case {
    const char* typed;
    float minimum, maximum;
    const char* expected;
};

TEST(EntryMessage, NamesTheLimitOrTheZeroRead)
{
    const entry_case cases[] = {
        {"206.93", 0, 100, "Inspired O2 percentage: 206.93 is above 100; set to 100"},
        {" 3", 10, 50, "Inspired O2 percentage: 3 is below 10; set to 10"},
        {"-1", 0.5f, 100, "Inspired O2 percentage: -1 is below 0.5; set to 0.5"},
        {"abc", 0, 100, "Inspired O2 percentage: \"abc\" is no number, read as 0"},
        {"x1", 10, 50, "Inspired O2 percentage: \"x1\" is no number, read as 0, is below 10; set to 10"},
        {"50", 0, 100, ""},
        {".5", 0, 100, ""},
        {"", 0, 100, ""},
    };
    for (const entry_case& c : cases) {
        catalogue_record record{};
        record.minimum = c.minimum;
        record.maximum = c.maximum;
        const QString typed = QString::fromLatin1(c.typed);
        const entered_value entered = enter_value(record, typed, "%.2f");
        EXPECT_EQ(
            entry_message(QStringLiteral("Inspired O2 percentage"), typed, c.minimum, c.maximum, entered)
                .toStdString(),
            c.expected)
            << c.typed;
    }
    EXPECT_TRUE(reads_as_zero(QStringLiteral("abc")));
    EXPECT_TRUE(reads_as_zero(QStringLiteral("-.")));
    EXPECT_FALSE(reads_as_zero(QStringLiteral("  -.5e3")));
}

class RecordedRun : public ::testing::Test {
protected:
    void SetUp() override { sim.start(); }
    fake_ui ui;
    simulator sim{ui};
    const event_log& events() { return sim.controller().events(); }
};

TEST_F(RecordedRun, FactorChangesRerunAndResetAreRecordedOnceEach)
{
    std::array<QString, panel_rows> texts;
    const panel_view shown = sim.panels(0);
    for (int i = 0; i < panel_rows; ++i) texts[i] = shown.factors[i].value_text;
    // Re-entering the texts the rows show changes nothing and records nothing.
    sim.factor_exit(texts);
    EXPECT_TRUE(events().all().empty());
    texts[1] = QStringLiteral("5");
    sim.factor_exit(texts);
    ASSERT_EQ(events().all().size(), 1u);
    EXPECT_EQ(events().all()[0].action, "set " + std::to_string(factor_id::inspired_co2) + " 5");
    EXPECT_EQ(events().all()[0].value, "5.00");
    sim.run_clicked();
    sim.run_clicked();
    sim.state().cursor_time = 60;
    sim.rerun_clicked();
    ASSERT_EQ(events().all().size(), 2u);
    EXPECT_EQ(events().all()[1].time, 60);
    EXPECT_EQ(events().all()[1].clock, 120);
    sim.reset_clicked();
    EXPECT_EQ(events().all().back().action, "reset");
    EXPECT_EQ(events().current_branch().size(), 1u);
}

TEST_F(RecordedRun, ThePlayerActsAsRunReachesEachTimeAndRecordsWhatChanged)
{
    const script_parse_result parsed =
        parse_scenario_script(QStringLiteral("at 0:00 set inspired_co2 4\nat 2:00 set inspired_co2 0.03\n"
                                             "at 2:00 rerun 1:00\nat 1:00 reset\nrun until 2:00\n"),
                              QStringLiteral("lesson.txt"));
    ASSERT_TRUE(parsed.status.ok()) << parsed.status.message();
    scenario_player player;
    player.start(parsed.script);
    EXPECT_TRUE(player.playing());
    EXPECT_TRUE(player.act_due(sim).status.ok());
    EXPECT_EQ(factor[factor_id::inspired_co2].value, 4.0f);
    sim.run_clicked();
    EXPECT_TRUE(player.act_due(sim).status.ok());  // nothing due at 1:00
    EXPECT_EQ(factor[factor_id::inspired_co2].value, 4.0f);
    sim.run_clicked();
    // At 2:00: the CO2 back to room air, the re-run to 1:00, and the reset now due.
    EXPECT_TRUE(player.act_due(sim).status.ok());
    EXPECT_EQ(sim.state().sim_time, 0);
    // "run until 2:00" is left: the lesson ends when RUN reaches it.
    EXPECT_TRUE(player.playing());
    sim.run_clicked();
    player.pass_reached_end(sim.state().sim_time);
    EXPECT_TRUE(player.playing());
    sim.run_clicked();
    player.pass_reached_end(sim.state().sim_time);
    EXPECT_FALSE(player.playing());
    const std::vector<run_event>& all = events().all();
    ASSERT_EQ(all.size(), 4u);
    EXPECT_EQ(all[0].kind, run_event_kind::factor);
    EXPECT_EQ(all[1].kind, run_event_kind::factor);
    EXPECT_EQ(all[2].kind, run_event_kind::rerun);
    EXPECT_EQ(all[3].kind, run_event_kind::reset);
}

TEST_F(RecordedRun, APlayedLineWhoseTimeHasPassedIsLeftOutAndNamed)
{
    const script_parse_result parsed = parse_scenario_script(
        QStringLiteral("at 1:00 set 15 2\nat 3:00 set 15 1\n"), QStringLiteral("l.txt"));
    ASSERT_TRUE(parsed.status.ok());
    scenario_player player;
    player.start(parsed.script);
    sim.run_clicked();
    sim.run_clicked();  // the teacher ran past 1:00 before opening... or RE-RUN moved on
    const script_run_result done = player.act_due(sim);
    ASSERT_EQ(done.notes.size(), 1);
    EXPECT_TRUE(done.notes[0].startsWith(QStringLiteral("l.txt:1: 01:00 has passed")));
    EXPECT_TRUE(player.playing());
}

}  // namespace
