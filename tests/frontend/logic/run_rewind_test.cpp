// SPDX-License-Identifier: Apache-2.0
// RE-RUN rewinds exactly and every restart starts clean: a re-run to any
// second still in the history, with nothing set after it, repeats the
// straight run bit for bit (window path and script path, with a bag or a
// ventilator attached before the re-run point); what the user set keeps its
// value; a subject loaded after any runs gives the rows of a clean load.
#include "fake_ui.h"
#include "panel_logic.h"
#include "respiration_settings.h"
#include "scenario_script.h"
#include "simulator.h"
#include "tolvane_model.h"

#include <QTemporaryDir>
#include <cstring>
#include <functional>
#include <gtest/gtest.h>
#include <map>
#include <optional>

namespace {

using row = std::array<float, TOLVANE_HISTORY_ROWS>;
using rows = std::map<int, row>;  // second -> every history row of that second

// Setting changes made at whole minutes during a run.
using plan = std::map<int, std::function<void()>>;

void set_factor(int index, const char* text)
{
    enter_value(factor[index], QString::fromLatin1(text), "%.2f");
}

void respiration(std::uint8_t ventilation, int bag_state, const char* rate, const char* tidal,
                 const char* volume, const char* o2, const char* co2)
{
    respiration_texts texts = current_respiration_texts();
    if (rate) texts.rate = QString::fromLatin1(rate);
    if (tidal) texts.tidal = QString::fromLatin1(tidal);
    if (volume) texts.bag_volume = QString::fromLatin1(volume);
    if (o2) texts.bag_o2 = QString::fromLatin1(o2);
    if (co2) texts.bag_co2 = QString::fromLatin1(co2);
    ASSERT_EQ(apply_respiration({ventilation, bag_state}, respiration_numbers_of(texts)),
              respiration_ok_result::accepted);
}

bool same_bits(const row& a, const row& b) { return std::memcmp(a.data(), b.data(), sizeof a) == 0; }

class RunRewindTest : public ::testing::Test {
protected:
    void SetUp() override { sim.start(); }
    run_state& st() { return sim.state(); }

    // Runs to second `until`, applying the plan's changes at their minutes,
    // and keeps every second run (a later branch replaces an earlier one).
    void run_until(int until, const plan& changes = {})
    {
        while (st().sim_time < until) {
            if (st().sim_time % 60 == 0)
                if (auto it = changes.find(st().sim_time); it != changes.end()) it->second();
            const int from = st().sim_time;
            const step_outcome outcome = sim.controller().run_to_minute();
            ASSERT_TRUE(outcome.started);
            ASSERT_EQ(outcome.failure.code(), 0);
            for (int t = from + 1; t <= st().sim_time; ++t) kept[t] = column(t);
        }
    }
    static row column(int t)
    {
        row r;
        for (int k = 0; k < TOLVANE_HISTORY_ROWS; ++k) r[k] = history[k][history_slot(t)];
        return r;
    }
    // RE-RUN from second t as the window does it: cursor, then the button.
    void rerun_to(int t)
    {
        st().cursor_time = t;
        st().cursor_pinned = true;
        sim.rerun_clicked();
        ASSERT_EQ(st().sim_time, t);
    }
    // The seconds from..to of two runs agree bit for bit.
    static void expect_same(const rows& a, const rows& b, int from, int to, const std::string& what)
    {
        for (int t = from; t <= to; ++t) {
            ASSERT_TRUE(a.count(t) && b.count(t)) << what << " second " << t;
            if (!same_bits(a.at(t), b.at(t))) {
                int k = 0;
                while (a.at(t)[k] == b.at(t)[k]) ++k;
                FAIL() << what << ": second " << t << " row " << k << ": " << a.at(t)[k] << " vs "
                       << b.at(t)[k];
            }
        }
    }
    // The straight run of a plan, from a clean restart.
    rows straight(int until, const plan& changes)
    {
        sim.reset_clicked();
        kept.clear();
        run_until(until, changes);
        return kept;
    }

    fake_ui ui;
    simulator sim{ui};
    rows kept;
};

struct rewind_case {
    const char* name;
    std::function<plan()> changes;
    int first_run;            // run to this second, then RE-RUN
    std::vector<int> points;  // re-run points, each tried on a fresh run
    int end;                  // then run on to this second
};

// Re-run points lie at or after the plan's last change: a change after the
// point would be a setting the re-run keeps, no longer the straight run. A
// point at a change's own minute goes back to the values as they were set
// there (the bag just filled, the dose not yet given).
std::vector<rewind_case> rewind_cases()
{
    return {
        {"inspired O2 12 % at 5:00",
         [] {
             return plan{{300, [] { set_factor(16, "12"); }}};
         },
         900,
         {300, 301, 359, 360, 480, 495, 899, 900},
         1200},
        {"rebreathing a 6-l bag from 2:00",
         [] {
             return plan{{120, [] { respiration(1, 12, nullptr, nullptr, "6000", "20.93", "0"); }}};
         },
         600,
         {120, 121, 330, 360, 599},
         720},
        {"bag with CO2 absorber from 1:00",
         [] {
             return plan{{60, [] { respiration(1, 13, nullptr, nullptr, "8000", "40", "0"); }}};
         },
         480,
         {60, 61, 250, 420},
         600},
        {"ventilator 14/min 700 ml from 2:00",
         [] {
             return plan{{120, [] { respiration(0, 10, "14", "700", nullptr, nullptr, nullptr); }}};
         },
         600,
         {120, 150, 250, 540},
         720},
        {"glottis closed 1:00 to 2:00, bicarbonate at 3:00",
         [] {
             return plan{{60, [] { respiration(1, 9, nullptr, nullptr, nullptr, nullptr, nullptr); }},
                         {120, [] { respiration(1, 10, nullptr, nullptr, nullptr, nullptr, nullptr); }},
                         {180, [] { set_factor(1, "20"); }}};
         },
         420,
         {180, 181, 240, 300},
         540},
        {"barometric pressure 760 to 400 mm Hg at 2:00",
         [] {
             return plan{{120, [] { set_factor(25, "400"); }}};
         },
         420,
         {120, 121, 122, 125, 150, 181},
         540},
        {"barometric pressure 760 to 3000 mm Hg at 1:00 and back at 3:00",
         [] {
             return plan{{60, [] { set_factor(25, "3000"); }}, {180, [] { set_factor(25, "760"); }}};
         },
         360,
         {180, 181, 184, 240},
         420},
        {"180 W from 1:00",
         [] {
             return plan{{60, [] { set_factor(31, "180"); }}};
         },
         360,
         {60, 61, 200, 330},
         420},
        {"glottis closed from 1:00",
         [] {
             return plan{{60, [] { respiration(1, 9, nullptr, nullptr, nullptr, nullptr, nullptr); }}};
         },
         150,
         {60, 61, 100},
         180},
    };
}

TEST_F(RunRewindTest, RerunToAnySecondRepeatsTheStraightRunBitForBit)
{
    for (const rewind_case& c : rewind_cases()) {
        const plan changes = c.changes();
        const rows reference = straight(c.end, changes);
        for (int point : c.points) {
            sim.reset_clicked();
            kept.clear();
            run_until(c.first_run, changes);
            rerun_to(point);
            run_until(c.end);
            expect_same(reference, kept, point + 1, c.end,
                        std::string(c.name) + ", re-run to " + std::to_string(point));
        }
    }
}

TEST_F(RunRewindTest, TwoRerunsInARowStillRepeatTheStraightRun)
{
    const plan changes{{120, [] { respiration(1, 13, nullptr, nullptr, "8000", "40", "0"); }}};
    const rows reference = straight(900, changes);
    sim.reset_clicked();
    kept.clear();
    run_until(600, changes);
    rerun_to(430);
    run_until(780);
    rerun_to(200);
    run_until(900);
    expect_same(reference, kept, 201, 900, "two re-runs");
}

TEST_F(RunRewindTest, RerunKeepsWhatTheUserSetSinceThePoint)
{
    run_until(600);
    // Set after 8:00: typed factors (a step-owned one too), the ventilator.
    set_factor(16, "15");
    set_factor(24, "0.9");
    respiration(0, 10, "20", "650", nullptr, nullptr, nullptr);
    rerun_to(480);
    EXPECT_EQ(factor[factor_id::inspired_o2].value, 15.0f);
    EXPECT_EQ(factor[factor_id::tissue_rq].value, 0.9f);
    EXPECT_EQ(display[display_id::respiratory_rate].value, 20.0f);
    EXPECT_EQ(display[display_id::tidal_volume].value, 650.0f);
    EXPECT_EQ(*ventilation, 0);
}

TEST_F(RunRewindTest, RerunRestoresTheFactorsTheStepChangesItself)
{
    run_until(120);
    const float rq = factor[factor_id::tissue_rq].value,
                brain_bicarbonate = factor[factor_id::brain_bicarbonate_deviation].value,
                dpg = factor[factor_id::dpg].value;
    respiration(1, 9, nullptr, nullptr, nullptr, nullptr, nullptr);  // glottis closed
    run_until(180);
    ASSERT_NE(factor[factor_id::lung_volume].value, s_factor[factor_id::lung_volume]);
    respiration(1, 10, nullptr, nullptr, nullptr, nullptr, nullptr);
    set_factor(1, "30");
    run_until(600);
    rerun_to(120);
    // The run since changed them itself; the re-run puts them back.
    EXPECT_EQ(factor[factor_id::tissue_rq].value, rq);
    EXPECT_EQ(factor[factor_id::brain_bicarbonate_deviation].value, brain_bicarbonate);
    EXPECT_EQ(factor[factor_id::dpg].value, dpg);
    EXPECT_EQ(factor[factor_id::lung_volume].value, s_factor[factor_id::lung_volume]);
}

// The script path: the same run with a "rerun" line gives the rows of the
// run without it.
TEST_F(RunRewindTest, ScriptRerunRepeatsTheStraightScript)
{
    const char* straight_text =
        "at 2:00 bag absorber volume 8000 o2 40 co2 0\n"
        "at 5:00 set 16 12\n"
        "run until 20:00\n";
    const char* rerun_text =
        "at 2:00 bag absorber volume 8000 o2 40 co2 0\n"
        "at 5:00 set 16 12\n"
        "run until 15:00\n"
        "at 15:00 rerun 8:15\n"
        "run until 20:00\n";
    script_timeline timelines[2];
    const char* texts[2] = {straight_text, rerun_text};
    for (int i = 0; i < 2; ++i) {
        sim.reset_clicked();
        const script_parse_result parsed = parse_scenario_script(QString::fromLatin1(texts[i]), "s");
        ASSERT_TRUE(parsed.status.ok()) << parsed.status.message();
        const script_run_result result = run_scenario_script(sim, parsed.script);
        ASSERT_EQ(result.status.code(), script_end::finished) << result.status.message();
        timelines[i] = result.timeline;
    }
    ASSERT_EQ(timelines[0].last_time(), 1200);
    ASSERT_EQ(timelines[1].last_time(), 1200);
    for (int t = 0; t <= 1200; ++t)
        for (int k = 0; k < TOLVANE_HISTORY_ROWS; ++k)
            ASSERT_EQ(timelines[0].at(t)[k], timelines[1].at(t)[k]) << "second " << t << " row " << k;
}

// Every subject starts clean: after rebreathing, a ventilator and a closed
// glottis, loading a subject gives the rows of the first load in this run.
TEST_F(RunRewindTest, SubjectLoadedAfterAnyRunsStartsClean)
{
    QTemporaryDir dir;
    ASSERT_TRUE(dir.isValid());
    const QString file = dir.filePath("altitude.sbj");
    factor[factor_id::barometric_pressure].value = 450;
    ASSERT_EQ(sim.save_subject(file).code(), save_status::ok);

    ASSERT_EQ(sim.load_subject(file).status.code(), subject_read_status::ok);
    kept.clear();
    run_until(180);
    const rows clean = kept;

    const std::function<void()> messes[] = {
        [] { respiration(1, 12, nullptr, nullptr, "6000", "20.93", "0"); },
        [] { respiration(1, 13, nullptr, nullptr, "3000", "50", "5"); },
        [] { respiration(0, 11, "30", "900", "9000", "20", "3"); },
        [] { respiration(1, 9, nullptr, nullptr, nullptr, nullptr, nullptr); },
    };
    for (const auto& mess : messes) {
        for (bool reset : {false, true}) {
            sim.reset_clicked();
            run_until(60);
            mess();
            run_until(300);
            if (reset) {
                sim.reset_clicked();
            } else {
                ASSERT_EQ(sim.load_subject(file).status.code(), subject_read_status::ok);
            }
            EXPECT_EQ(*bag_index, bag_state_id::standard);
            EXPECT_EQ(*ventilation, 1);
            // The respiration dialog shows the standard circuit.
            EXPECT_EQ(current_respiration_pending().bag_state, bag_state_id::standard);
            EXPECT_EQ(current_respiration_pending().ventilation, 1);
            kept.clear();
            run_until(180);
            expect_same(clean, kept, 1, 180, reset ? "RESET" : "load");
        }
    }
}

}  // namespace

// RE-RUN takes the notes of the run it throws away out of the clinical memo
// (and so out of the report): a symptom noted after the re-run point is
// noted again, once, at the second the new branch reaches it, exactly as in
// the run before. Kept notes would show it twice; a symptom memory left
// as the discarded run left it would never note it again.
TEST_F(RunRewindTest, RerunDropsTheNotesAfterThePointAndTheNewBranchNotesThemOnce)
{
    const plan changes{{60, [] {
                            set_factor(16, "6");
                            set_factor(15, "8");
                        }}};
    run_until(300, changes);
    const QString memo = ui.clinical;
    const QStringList lines = memo.split(QStringLiteral("\r\n"), Qt::SkipEmptyParts);
    ASSERT_FALSE(lines.isEmpty());
    const std::optional<int> first = parse_script_time(lines.first().section(QLatin1Char(' '), 0, 0));
    ASSERT_TRUE(first && *first > 60) << memo.toStdString();

    rerun_to(*first - 1);
    EXPECT_TRUE(ui.clinical.isEmpty()) << ui.clinical.toStdString();
    run_until(300);
    EXPECT_EQ(ui.clinical, memo);

    // A re-run to the note's own second keeps it.
    rerun_to(*first);
    EXPECT_TRUE(ui.clinical.startsWith(lines.first())) << ui.clinical.toStdString();
}

// The script's "rerun" drops them too, from the memo the report prints.
TEST_F(RunRewindTest, ScriptRerunDropsTheNotesAfterThePoint)
{
    const char* straight_text = "at 1:00 set 16 6\nat 1:00 set 15 8\nrun until 5:00\n";
    const char* rerun_text = "at 1:00 set 16 6\nat 1:00 set 15 8\nrun until 5:00\nat 5:00 rerun 1:00\n";
    QString memos[2];
    const char* texts[2] = {straight_text, rerun_text};
    for (int i = 0; i < 2; ++i) {
        sim.reset_clicked();
        const script_parse_result parsed = parse_scenario_script(QString::fromLatin1(texts[i]), "s");
        ASSERT_TRUE(parsed.status.ok()) << parsed.status.message();
        ASSERT_EQ(run_scenario_script(sim, parsed.script).status.code(), script_end::finished);
        memos[i] = ui.clinical;
    }
    EXPECT_FALSE(memos[0].isEmpty());
    EXPECT_TRUE(memos[1].isEmpty()) << memos[1].toStdString();
}
