// SPDX-License-Identifier: Apache-2.0
// Scripts that restart the subject ("reset", "load FILE") and scripts whose
// timeline streams: the clock starts again at 0:00 after either action, a
// load path is taken from the script's folder, the run after a restart
// equals a fresh run of that subject, and a streamed timeline gives the same
// CSV as one kept whole, with the restarted run only.
#include "fake_ui.h"
#include "history_csv.h"
#include "result_text.h"
#include "scenario_script.h"
#include "simulator.h"
#include "tolvane_model.h"

#include <QDir>
#include <QTemporaryDir>
#include <gtest/gtest.h>

namespace {

script_parse_result parse(const char* text, const char* file = "dir/s.txt")
{
    return parse_scenario_script(QString::fromLatin1(text), QString::fromLatin1(file));
}

TEST(ScriptRestartParse, ResetAndLoadStartTheClockAgain)
{
    const script_parse_result ok = parse(
        "run until 10:00\n"
        "at 10:00 reset\n"
        "run until 3:00\n"
        "at 3:00 load subjects/a.sbj\n"
        "at 1:00 load /abs/b.sbj   # comment\n"
        "run until 2:00\n");
    ASSERT_TRUE(ok.status.ok()) << ok.status.message();
    ASSERT_EQ(ok.script.actions.size(), 6u);
    EXPECT_EQ(ok.script.actions[1].kind, script_action_kind::reset);
    EXPECT_EQ(ok.script.actions[3].kind, script_action_kind::load);
    EXPECT_EQ(ok.script.actions[3].load_path, "dir/subjects/a.sbj");
    EXPECT_EQ(ok.script.actions[4].load_path, "/abs/b.sbj");
    EXPECT_EQ(ok.script.actions[4].time, 60);

    struct bad_case {
        const char* text;
        const char* message;
    };
    const bad_case bad[] = {
        // Nothing before the restart can be re-run to.
        {"run until 10:00\nat 10:00 reset\nrun until 2:00\nat 2:00 rerun 0:30\n", nullptr},
        {"at 1:00 load\n", "subject file missing"},
        {"at 1:00 reset now\n", "unexpected \"now\""},
        {"at 1:00 load a.sbj b.sbj\n", "unexpected \"b.sbj\""},
        {"at 1:00 restart\n", "reset or load"},
    };
    for (const bad_case& c : bad) {
        const script_parse_result r = parse(c.text);
        if (c.message == nullptr) {
            EXPECT_TRUE(r.status.ok()) << c.text;  // 0:30 lies in the new run
            continue;
        }
        EXPECT_TRUE(message_text(r.status).contains(QLatin1String(c.message))) << r.status.message();
    }
    const script_parse_result before_restart =
        parse("run until 10:00\nat 10:00 reset\nrun until 1:00\nat 1:00 rerun 5:00\n");
    EXPECT_TRUE(message_text(before_restart.status).contains("after the current time"))
        << before_restart.status.message();
}

// Collects what a streaming timeline sends.
class collected_stream : public timeline_stream {
public:
    QByteArray text;
    int restarts = 0;
    void restart() override
    {
        ++restarts;
        text = history_csv_header();
    }
    void second(int t, const history_column& column) override
    {
        append_timeline_csv_row(text, t, column, csv_default_digits);
    }
};

class ScriptRestartRun : public ::testing::Test {
protected:
    void SetUp() override
    {
        ASSERT_TRUE(dir.isValid());
        sim.start();
    }
    script_run_result run(const QByteArray& text, timeline_stream* stream = nullptr)
    {
        const script_parse_result parsed =
            parse_scenario_script(QString::fromLatin1(text), dir.filePath(QStringLiteral("s.txt")));
        EXPECT_TRUE(parsed.status.ok()) << parsed.status.message();
        sim.reset_clicked();
        return run_scenario_script(sim, parsed.script, {}, stream);
    }
    QTemporaryDir dir;
    fake_ui ui;
    simulator sim{ui};
};

TEST_F(ScriptRestartRun, StreamedTimelineGivesTheWholeCsv)
{
    // Re-runs reaching back to the oldest second the ring still holds.
    const QByteArray text =
        "at 3:00 set 16 14\n"
        "run until 40:00\n"
        "at 40:00 rerun 10:01\n"
        "run until 45:00\n"
        "at 45:00 rerun 15:01\n"
        "run until 50:00\n";
    const script_run_result whole = run(text);
    ASSERT_EQ(whole.status.code(), script_end::finished) << whole.status.message();
    collected_stream stream;
    const script_run_result streamed = run(text, &stream);
    ASSERT_EQ(streamed.status.code(), script_end::finished);
    EXPECT_EQ(stream.restarts, 1);
    EXPECT_EQ(stream.text, whole.timeline.csv());
    EXPECT_EQ(whole.timeline.last_time(), 3000);
}

TEST_F(ScriptRestartRun, ResetAndLoadGiveTheRunOfAFreshSubject)
{
    const script_run_result fresh_standard = run("run until 3:00\n");
    const QByteArray mess =
        "at 1:00 bag rebreathe volume 6000 o2 20.93 co2 0\n"
        "run until 6:00\n"
        "at 6:00 ventilation artificial rate 30 tidal 900\n"
        "run until 8:00\n";
    collected_stream stream;
    const script_run_result reset = run(mess + "at 8:00 reset\nrun until 3:00\n", &stream);
    ASSERT_EQ(reset.status.code(), script_end::finished) << reset.status.message();
    EXPECT_EQ(stream.restarts, 2);
    EXPECT_EQ(stream.text, fresh_standard.timeline.csv());
    EXPECT_EQ(reset.end_time, 180);

    factor[factor_id::barometric_pressure].value = 450;
    const QString file = dir.filePath(QStringLiteral("altitude.sbj"));
    ASSERT_EQ(sim.save_subject(file).code(), save_status::ok);
    factor[factor_id::barometric_pressure].value = 760;

    const script_run_result fresh_altitude = run("at 0:00 load altitude.sbj\nrun until 3:00\n");
    ASSERT_EQ(fresh_altitude.status.code(), script_end::finished) << fresh_altitude.status.message();

    const script_run_result loaded = run(mess + "at 8:00 load altitude.sbj\nrun until 3:00\n");
    ASSERT_EQ(loaded.status.code(), script_end::finished) << loaded.status.message();
    EXPECT_EQ(loaded.timeline.csv(), fresh_altitude.timeline.csv());
    EXPECT_EQ(*bag_index, bag_state_id::standard);
    EXPECT_EQ(sim.subject_name(), file);

    const script_run_result missing = run("run until 1:00\nat 1:00 load none.sbj\nrun until 2:00\n");
    EXPECT_FALSE(missing.status.ok());
    EXPECT_EQ(missing.status.code(), script_end::load_failed);
    EXPECT_TRUE(message_text(missing.status).contains("none.sbj")) << missing.status.message();
    // Found before anything runs: nothing ran, no error box.
    EXPECT_EQ(missing.end_time, 0);
    EXPECT_EQ(missing.stopped_line, 2);
    EXPECT_TRUE(ui.errors.isEmpty());
}

}  // namespace
