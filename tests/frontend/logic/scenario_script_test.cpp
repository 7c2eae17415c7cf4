// SPDX-License-Identifier: Apache-2.0
// Scenario scripts: every action and time form, every error naming its line,
// and a script giving exactly the history of the same controls used by hand.
#include "fake_ui.h"
#include "panel_logic.h"
#include "respiration_settings.h"
#include "result_text.h"
#include "scenario_script.h"
#include "simulator.h"
#include "tolvane_model.h"

#include <gtest/gtest.h>

#include <cstring>

namespace {

script_action parse_one(const QString& line)
{
    const script_parse_result parsed = parse_scenario_script(line, QStringLiteral("one.txt"));
    EXPECT_TRUE(parsed.status.ok()) << parsed.status.message();
    EXPECT_EQ(parsed.script.actions.size(), 1u) << line.toStdString();
    return parsed.script.actions.empty() ? script_action{} : parsed.script.actions.front();
}

TEST(ScenarioScriptParse, EachActionReadsIntoItsFields)
{
    script_action a = parse_one(QStringLiteral("at 2:00 set 15 5"));
    EXPECT_EQ(a.kind, script_action_kind::set_factor);
    EXPECT_EQ(a.time, 120);
    EXPECT_EQ(a.factor_index, 15);
    EXPECT_EQ(a.value_text, "5");

    a = parse_one(QStringLiteral("  AT 10:00 Ventilation ARTIFICIAL rate 12 tidal 600 peep 0  "));
    EXPECT_EQ(a.kind, script_action_kind::ventilation);
    EXPECT_EQ(a.time, 600);
    EXPECT_FALSE(a.natural);
    EXPECT_EQ(a.rate, "12");
    EXPECT_EQ(a.tidal, "600");
    EXPECT_EQ(a.peep, "0");

    a = parse_one(QStringLiteral("at 3:00 ventilation artificial tidal 700"));
    EXPECT_FALSE(a.rate.has_value());
    EXPECT_EQ(a.tidal, "700");

    for (const char* line : {"at 20:00 natural", "at 20:00 ventilation natural"}) {
        a = parse_one(QString::fromLatin1(line));
        EXPECT_EQ(a.kind, script_action_kind::ventilation);
        EXPECT_TRUE(a.natural);
        EXPECT_EQ(a.time, 1200);
    }

    a = parse_one(QStringLiteral("at 15:00 bag 12 volume 6000 o2 20.93 co2 0 # rebreathe"));
    EXPECT_EQ(a.kind, script_action_kind::bag);
    EXPECT_EQ(a.bag_state, bag_state_id::rebreathe);
    EXPECT_EQ(a.bag_volume, "6000");
    EXPECT_EQ(a.bag_o2, "20.93");
    EXPECT_EQ(a.bag_co2, "0");

    const std::pair<const char*, int> names[] = {
        {"glottis", bag_state_id::glottis_closed},      {"standard", bag_state_id::standard},
        {"collect", bag_state_id::collect_expired},     {"rebreathe", bag_state_id::rebreathe},
        {"absorber", bag_state_id::rebreathe_absorber}, {"9", bag_state_id::glottis_closed}};
    for (const auto& [name, state] : names)
        EXPECT_EQ(parse_one(QStringLiteral("at 1:00 bag %1").arg(QLatin1String(name))).bag_state, state)
            << name;

    a = parse_one(QStringLiteral("run until 40:00"));
    EXPECT_EQ(a.kind, script_action_kind::run_until);
    EXPECT_EQ(a.time, 2400);
    EXPECT_EQ(a.target, 2400);
}

// A factor's short name and its index are the same action.
TEST(ScenarioScriptParse, SetTakesAShortNameWhereverItTakesAnIndex)
{
    const std::pair<const char*, int> cases[] = {
        {"work_rate", 31}, {"inspired_o2", 16}, {"dpg", 0}, {"barometric_pressure", 25}, {"31", 31}};
    for (const auto& [factor, index] : cases) {
        const script_action a = parse_one(QStringLiteral("at 2:00 set %1 100").arg(QLatin1String(factor)));
        EXPECT_EQ(a.kind, script_action_kind::set_factor) << factor;
        EXPECT_EQ(a.factor_index, index) << factor;
        EXPECT_EQ(a.value_text, "100") << factor;
    }
}

TEST(ScenarioScriptParse, RerunMovesTheClockBackAndTheCurrentTimeMayBeUsedAsIs)
{
    const script_parse_result parsed =
        parse_scenario_script(QStringLiteral("# re-run example\n"
                                             "\n"
                                             "at 25:00 rerun 22:30\n"
                                             "at 22:30 set 16 15   # acts at once, no run\n"
                                             "at 23:00 set 16 20.93\n"
                                             "run until 120:00\n"),
                              QStringLiteral("r.txt"));
    ASSERT_TRUE(parsed.status.ok()) << parsed.status.message();
    ASSERT_EQ(parsed.script.actions.size(), 4u);
    const auto& actions = parsed.script.actions;
    EXPECT_EQ(actions[0].kind, script_action_kind::rerun);
    EXPECT_EQ(actions[0].time, 1500);
    EXPECT_EQ(actions[0].target, 1350);
    EXPECT_EQ(actions[0].line, 3);
    EXPECT_EQ(actions[1].time, 1350);
    EXPECT_EQ(actions[1].line, 4);
    EXPECT_EQ(actions[2].time, 1380);
    EXPECT_EQ(actions[3].time, 7200);
    EXPECT_EQ(actions[3].line, 6);
}

TEST(ScenarioScriptParse, EmptyAndCommentOnlyScriptsHaveNoActions)
{
    for (const char* text : {"", "\n\n", "# only a comment\n   # another\n", "\r\n"}) {
        const script_parse_result parsed = parse_scenario_script(QString::fromLatin1(text), "e.txt");
        EXPECT_TRUE(parsed.status.ok()) << text;
        EXPECT_TRUE(parsed.script.actions.empty()) << text;
    }
}

struct error_case {
    const char* text;
    int line;
    const char* fragment;
};

TEST(ScenarioScriptParse, EveryErrorNamesFileLineAndWhatIsWrong)
{
    const error_case cases[] = {
        {"at 1:00 set 15 5\nwalk 2:00", 2, "unknown line starting \"walk\""},
        {"at", 1, "action time missing"},
        {"at 2 set 15 5", 1, "\"2\" is not a time"},
        {"at 1:60 set 15 5", 1, "\"1:60\" is not a time"},
        {"at 1:5 set 15 5", 1, "\"1:5\" is not a time"},
        {"at -1:00 set 15 5", 1, "is not a time"},
        {"at 100001:00 set 15 5", 1, "is not a time"},
        {"at 1:30 set 15 5", 1, "01:30 is not a whole minute"},
        {"at 5:00 set 15 5\nat 4:00 set 15 0", 2, "04:00 is earlier than the simulated time 05:00"},
        {"run until 3:00\n\n# x\nrun until 2:00", 4, "02:00 is earlier"},
        {"run 3:00", 1, "write \"run until TIME\""},
        {"run until 3:00 now", 1, "unexpected \"now\""},
        {"at 1:00", 1, "action missing"},
        {"at 1:00 jump", 1, "unknown action \"jump\""},
        {"at 1:00 set", 1, "factor missing"},
        {"at 1:00 set 32 1", 1, "factor index must be a whole number 0 to 31"},
        {"at 1:00 set -1 1", 1, "factor index must be"},
        {"at 1:00 set x 1", 1, "unknown factor \"x\""},
        {"at 1:00 set work_rat 1", 1, "unknown factor \"work_rat\" (nearest: work_rate;"},
        {"at 1:00 set Inspired_Q2 1", 1, "(nearest: inspired_o2, inspired_co2"},
        {"at 1:00 set 16.0 1", 1, "unknown factor \"16.0\""},
        {"at 1:00 set 15", 1, "value missing"},
        {"at 1:00 set 15 five", 1, "value \"five\" is not a number"},
        {"at 1:00 set 15 5,5", 1, "is not a number"},
        {"at 1:00 set 15 nan", 1, "is not a number"},
        {"at 1:00 set 15 5 6", 1, "unexpected \"6\""},
        {"at 1:00 ventilation", 1, "write \"ventilation natural\""},
        {"at 1:00 ventilation sideways", 1, "write \"ventilation natural\""},
        {"at 1:00 ventilation natural rate 12", 1, "natural ventilation takes no ventilator settings"},
        {"at 1:00 natural now", 1, "natural ventilation takes no"},
        {"at 1:00 ventilation artificial speed 3", 1, "unknown ventilator setting \"speed\""},
        {"at 1:00 ventilation artificial rate", 1, "value of rate missing"},
        {"at 1:00 ventilation artificial rate fast", 1, "value of rate \"fast\" is not a number"},
        {"at 1:00 ventilation artificial rate 12 rate 14", 1, "rate given twice"},
        {"at 1:00 bag", 1, "bag state missing"},
        {"at 1:00 bag 8", 1, "bag state must be 9 to 13"},
        {"at 1:00 bag 14", 1, "bag state must be 9 to 13"},
        {"at 1:00 bag open", 1, "got \"open\""},
        {"at 1:00 bag 9 volume 5000", 1, "bag state 9 takes no volume"},
        {"at 1:00 bag standard o2 21", 1, "bag state 10 takes no volume"},
        {"at 1:00 bag 12 colour 3", 1, "unknown bag setting \"colour\""},
        {"at 1:00 bag 12 co2 25 o2 76", 1, "add up to more than 100"},
        {"at 1:00 bag 12 co2 40 o2 76", 1, "add up to more than 100"},  // 40 clamps to 25 first
        {"at 1:00 rerun", 1, "time to re-run from missing"},
        {"at 1:00 rerun 2:00", 1, "cannot re-run from 02:00: it lies after the current time 01:00"},
        {"run until 40:00\nat 40:00 rerun 10:00", 2, "the history holds only the 30 minutes before 40:00"},
        {"run until 40:00\nat 40:00 rerun 15:00\nat 15:00 rerun 10:00", 3, "30 minutes before 40:00"},
    };
    for (const error_case& c : cases) {
        const script_parse_result parsed = parse_scenario_script(QString::fromLatin1(c.text), "bad.txt");
        const QString prefix = QStringLiteral("bad.txt:%1: ").arg(c.line);
        EXPECT_TRUE(message_text(parsed.status).startsWith(prefix))
            << c.text << " -> " << parsed.status.message();
        EXPECT_TRUE(message_text(parsed.status).contains(QLatin1String(c.fragment)))
            << c.text << " -> " << parsed.status.message();
        EXPECT_EQ(parsed.error_line, c.line) << c.text;
        EXPECT_TRUE(parsed.script.actions.empty()) << c.text;  // nothing runs
    }
}

TEST(ScenarioScriptParse, AcceptedEdgesOfTheRules)
{
    const char* texts[] = {
        "at 1:00 bag 12 co2 25 o2 75",            // exactly 100
        "run until 40:00\nat 40:00 rerun 10:01",  // oldest second the ring still holds
        "at 0:00 set 15 1e-1",                    // exponent form
        "at 0:00 set 15 500",                     // out of limits: clamped when run, not an error
        "at 000:00 rerun 0:00",                   // re-run at the start
        "at 1:00 set Inspired_O2 15",             // a short name in any case
    };
    for (const char* text : texts) {
        const script_parse_result parsed = parse_scenario_script(QString::fromLatin1(text), "ok.txt");
        EXPECT_TRUE(parsed.status.ok()) << text << " -> " << parsed.status.message();
    }
}

TEST(ScenarioScriptParse, UnreadableFileIsNamedWithTheSystemsReason)
{
    const script_parse_result missing = read_scenario_script(QStringLiteral("/nonexistent/s.txt"));
    EXPECT_EQ(message_text(missing.status),
              "/nonexistent/s.txt: cannot read the script: No such file or directory");
    const script_parse_result folder = read_scenario_script(QStringLiteral("/"));
    EXPECT_EQ(folder.status.code(), script_parse_status::cannot_read);
    const QString prefix = QStringLiteral("/: cannot read the script: ");
    EXPECT_TRUE(message_text(folder.status).startsWith(prefix)) << message_text(folder.status).toStdString();
    EXPECT_GT(message_text(folder.status).size(), prefix.size());
}

// --- running ---------------------------------------------------------------

class ScenarioScriptRun : public ::testing::Test {
protected:
    void SetUp() override { fresh_start(); }

    void fresh_start()
    {
        std::memset(history, 0, sizeof history);
        sim.start();
        restore_standard_breathing(sim);
    }

    script_run_result run(const char* text)
    {
        const script_parse_result parsed = parse_scenario_script(QString::fromLatin1(text), "s.txt");
        EXPECT_TRUE(parsed.status.ok()) << parsed.status.message();
        return run_scenario_script(sim, parsed.script, [this](const QString& line) { log << line; });
    }

    void run_to(int t)
    {
        while (sim.state().sim_time < t) ASSERT_TRUE(sim.controller().run_to_minute().started);
    }

    fake_ui ui;
    simulator sim{ui};
    QStringList log;
};

// What a user does with the windows, step by step, for the script below.
const char* const sequence_script =
    "at 2:00 set 15 5\n"
    "at 4:00 ventilation artificial rate 14 tidal 700 peep 5\n"
    "at 6:00 natural\n"
    "at 7:00 bag 12 volume 6000 o2 40 co2 0\n"
    "at 9:00 bag standard\n"
    "at 10:00 rerun 8:30\n"
    "at 8:30 set 16 30\n"
    "run until 12:00\n";

TEST_F(ScenarioScriptRun, ScriptGivesTheHistoryOfTheSameControlsUsedByHand)
{
    const script_run_result scripted = run(sequence_script);
    ASSERT_EQ(scripted.status.code(), script_end::finished) << scripted.status.message();
    EXPECT_EQ(scripted.end_time, 720);
    EXPECT_TRUE(scripted.notes.isEmpty());
    static float scripted_history[TOLVANE_HISTORY_ROWS][TOLVANE_HISTORY_COLUMNS];
    std::memcpy(scripted_history, history, sizeof history);
    const QString scripted_memo = ui.clinical;
    catalogue_record scripted_factors[TOLVANE_NUM_FACTORS];
    std::memcpy(scripted_factors, factor, sizeof factor);

    fresh_start();
    run_controller& c = sim.controller();
    run_to(120);
    enter_value(factor[factor_id::inspired_co2], QStringLiteral("5"), "%.2f");
    run_to(240);
    auto dialog = [](std::uint8_t ventilation_flag, int bag, auto edit) {
        respiration_pending pending = current_respiration_pending();
        respiration_texts texts = current_respiration_texts();
        pending.ventilation = ventilation_flag;
        pending.bag_state = bag;
        edit(texts);
        ASSERT_EQ(apply_respiration(pending, respiration_numbers_of(texts)), respiration_ok_result::accepted);
    };
    dialog(0, 10, [](respiration_texts& t) {
        t.rate = "14";
        t.tidal = "700";
        t.peep = "5";
    });
    run_to(360);
    dialog(1, 10, [](respiration_texts&) {});
    run_to(420);
    dialog(1, 12, [](respiration_texts& t) {
        t.bag_volume = "6000";
        t.bag_o2 = "40";
        t.bag_co2 = "0";
    });
    run_to(540);
    dialog(1, 10, [](respiration_texts&) {});
    run_to(600);
    sim.state().cursor_time = 510;
    sim.state().cursor_pinned = true;
    c.strip_to_cursor();
    enter_value(factor[factor_id::inspired_o2], QStringLiteral("30"), "%.2f");
    run_to(720);

    EXPECT_EQ(sim.state().sim_time, 720);
    EXPECT_EQ(std::memcmp(scripted_history, history, sizeof history), 0);
    EXPECT_EQ(scripted_memo, ui.clinical);
    for (int i = 0; i < num_fct; ++i) EXPECT_EQ(scripted_factors[i].value, factor[i].value) << i;

    // The timeline holds the branch run after the re-run, for every second.
    EXPECT_EQ(scripted.timeline.last_time(), 720);
    for (int t = 0; t <= 720; ++t)
        for (int r = 0; r < TOLVANE_HISTORY_ROWS; ++r)
            ASSERT_EQ(scripted.timeline.value(r, t), history[r][history_slot(t)]) << r << " at " << t;
}

TEST_F(ScenarioScriptRun, LogNamesEachActionAtItsTime)
{
    const script_run_result result = run("at 1:00 set 15 5\nat 2:00 bag 9\nat 2:00 bag 10\nrun until 3:00\n");
    ASSERT_EQ(result.status.code(), script_end::finished);
    ASSERT_EQ(log.size(), 3);
    EXPECT_EQ(log[0], "01:00 factor 15 \"Inspired CO2 percentage\" = 5.00");
    EXPECT_TRUE(log[1].startsWith("02:00 bag state 9")) << log[1].toStdString();
    EXPECT_TRUE(log[2].startsWith("02:00 bag state 10")) << log[2].toStdString();
    EXPECT_EQ(result.end_time, 180);
}

TEST_F(ScenarioScriptRun, ClampedValuesAreNotedWithTheirLineAndRaiseHintTwo)
{
    const script_run_result result =
        run("at 0:00 set 16 150\nat 0:00 ventilation artificial rate 80 tidal 600\nrun until 1:00\n");
    ASSERT_EQ(result.status.code(), script_end::finished);
    EXPECT_EQ(factor[factor_id::inspired_o2].value, 100.0f);
    EXPECT_EQ(res_rate->value, 50.0f);
    ASSERT_EQ(result.notes.size(), 2);
    EXPECT_TRUE(result.notes[0].startsWith("s.txt:1: factor 16")) << result.notes[0].toStdString();
    EXPECT_TRUE(result.notes[0].endsWith("set to 100.00"));
    EXPECT_TRUE(result.notes[1].startsWith("s.txt:2: rate 80 is outside 0 to 50"))
        << result.notes[1].toStdString();
    EXPECT_TRUE(ui.hint_history.contains(" entered value was outside limits, it has been adjusted"));
}

TEST_F(ScenarioScriptRun, DeathStopsTheScriptAndNamesTheFirstLineNotCarriedOut)
{
    const script_run_result result = run("at 1:00 set 8 0\nat 10:00 set 15 5\nrun until 20:00\n");
    EXPECT_EQ(result.status.code(), script_end::died);
    EXPECT_EQ(result.stopped_line, 2);
    EXPECT_LT(result.end_time, 600);
    EXPECT_TRUE(message_text(result.status).contains("the subject died; s.txt:2: not carried out"))
        << result.status.message();
    EXPECT_FLOAT_EQ(factor[factor_id::inspired_co2].value, 0.03f);  // line 2 never ran
    EXPECT_EQ(result.timeline.last_time(), result.end_time);
}

TEST_F(ScenarioScriptRun, DialogRefusalOverTwoLinesIsFoundBeforeAnythingRuns)
{
    // Line 2 types only O2; the CO2 field keeps 20 from line 1: 110 % in all.
    const script_run_result result =
        run("at 1:00 bag 12 co2 20 o2 70\nat 2:00 bag 13 o2 90\nrun until 5:00\n");
    EXPECT_EQ(result.status.code(), script_end::refused);
    EXPECT_EQ(result.stopped_line, 2);
    EXPECT_EQ(result.end_time, 0);
    EXPECT_TRUE(message_text(result.status).startsWith("s.txt:2: the respiration dialog would refuse OK"))
        << result.status.message();
    // The CO2 set by "set", a reset back to the standard 0 %, and a load of
    // a subject with its own percentages are followed the same way.
    EXPECT_EQ(run("at 0:00 set bag_co2 30\nat 1:00 bag 12 o2 80\nrun until 2:00\n").stopped_line, 2);
    fresh_start();
    EXPECT_EQ(
        run("at 0:00 set bag_co2 30\nat 1:00 reset\nat 0:00 bag 12 o2 80\nrun until 1:00\n").status.code(),
        script_end::finished);
    fresh_start();
    EXPECT_EQ(run("at 0:00 bag 12 o2 80 co2 20\nrun until 1:00\n").status.code(), script_end::finished);
}

TEST_F(ScenarioScriptRun, RerunToOddSecondContinuesToTheNextMinuteMark)
{
    const script_run_result result = run("at 6:00 rerun 3:20\nrun until 4:00\n");
    ASSERT_EQ(result.status.code(), script_end::finished) << result.status.message();
    EXPECT_EQ(result.end_time, 240);
    EXPECT_EQ(sim.state().latest_time, 360);
    EXPECT_EQ(result.timeline.last_time(), 240);
}

TEST_F(ScenarioScriptRun, RerunReachesBackThroughTheWholeRing)
{
    const script_run_result result = run("run until 40:00\nat 40:00 rerun 10:01\nrun until 11:00\n");
    ASSERT_EQ(result.status.code(), script_end::finished) << result.status.message();
    EXPECT_EQ(result.end_time, 660);
    EXPECT_EQ(result.timeline.last_time(), 660);
}

TEST_F(ScenarioScriptRun, TimelineCsvHasHeaderAndOneRowPerSecond)
{
    const script_run_result result = run("run until 2:00\n");
    const QByteArray csv = result.timeline.csv();
    const QList<QByteArray> lines = csv.split('\n');
    ASSERT_EQ(lines.size(), 1 + 121 + 1);  // header, seconds 0..120, empty after the last "\n"
    EXPECT_TRUE(lines[0].startsWith("time_s,"));
    EXPECT_TRUE(lines[121].startsWith("120,"));
    EXPECT_EQ(lines[1].count(','), lines[0].count(','));
}

}  // namespace
