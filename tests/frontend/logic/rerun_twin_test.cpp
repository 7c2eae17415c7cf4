// SPDX-License-Identifier: Apache-2.0
// Randomised RE-RUN check: generated scripts mix factors, ventilation, bags,
// the glottis, bicarbonate, resets and loads; each is run straight and again
// with detours (run on past the script, then "rerun" back to a second at or
// after its last setting, then the script goes on, with or without its
// settings at that second typed once more). The detours must leave every
// recorded second of the run bit for bit as the straight run has it.
#include "fake_ui.h"
#include "scenario_script.h"
#include "simulator.h"
#include "standard_subject_data.h"

#include <QStringList>
#include <algorithm>
#include <cstdint>
#include <cstring>
#include <filesystem>
#include <gtest/gtest.h>
#include <random>
#include <string>
#include <vector>

namespace {

// This file lives in tests/frontend/logic of the checkout.
const std::filesystem::path subjects_dir =
    std::filesystem::path(__FILE__).parent_path().parent_path().parent_path().parent_path() / "subjects";

// The settings a generated script makes; each is one script line's action.
const char* const settings[] = {
    "set work_rate 0",
    "set work_rate 60",
    "set inspired_o2 14",
    "set inspired_o2 20.93",
    "set inspired_co2 4",
    "set inspired_co2 0.03",
    "set dpg 6",
    "set dpg 2.5",
    "set bicarbonate_addition 40",
    "set bicarbonate_addition 120",
    "set barometric_pressure 600",
    "set haemoglobin 11",
    "set central_drive 1.5",
    "ventilation artificial rate 14 tidal 650",
    "ventilation artificial rate 9 tidal 500 peep 3",
    "natural",
    "bag glottis",
    "bag standard",
    "bag collect volume 7000 o2 20.93 co2 0",
    "bag rebreathe volume 6000 o2 20.93 co2 0",
    "bag rebreathe volume 5000 o2 60 co2 2",
    "bag absorber volume 8000 o2 40 co2 0",
    "bag absorber volume 4000 o2 90 co2 0",
};

QString clock(int t) { return QStringLiteral("%1:%2").arg(t / 60).arg(t % 60, 2, 10, QLatin1Char('0')); }

// One minute of a generated script: the actions at its start, then RUN.
struct script_minute {
    QStringList actions;  // at the minute's start, in order
};

// A generated script: straight() is the plain run; with_detours() the same
// run with detours at the chosen minutes.
class generated_script {
public:
    explicit generated_script(std::mt19937& random)
    {
        auto pick = [&random](int n) { return static_cast<int>(random() % static_cast<unsigned>(n)); };
        const int length = 4 + pick(9);
        for (int m = 0; m < length; ++m) {
            script_minute minute;
            const int roll = pick(20);
            if (m > 0 && roll == 0) {
                minute.actions << QStringLiteral("reset");
            } else if (m > 0 && roll == 1) {
                const char* files[] = {"exercise_100W.sbj", "altitude_450mmHg.sbj", "severe_anaemia.sbj"};
                minute.actions << QStringLiteral("load %1").arg(
                    QString::fromStdString((subjects_dir / files[pick(3)]).string()));
            }
            const int count = pick(4) == 0 ? 0 : 1 + pick(2);
            for (int k = 0; k < count; ++k)
                minute.actions << QString::fromLatin1(settings[pick(std::size(settings))]);
            minutes_.push_back(minute);
            // A detour after this minute's RUN: run on, then back.
            detour_.push_back(pick(3) == 0);
            retype_.push_back(pick(2) == 0);
            detour_extra_.push_back(1 + pick(4));
            detour_back_.push_back(pick(1000));
        }
    }

    struct text_lines {
        QString text;
        std::vector<int> detour_runs;  // lines that run past the script, to be re-run
    };
    text_lines straight() const { return text(false); }
    text_lines with_detours() const { return text(true); }
    int detours() const
    {
        int n = 0;
        for (bool d : detour_) n += d ? 1 : 0;
        return n;
    }

private:
    // The script text; detours run past the end of minute m, then re-run to
    // a second between the last setting and the end of m, and type that
    // second's settings again when they were made there (retype_).
    text_lines text(bool detours) const
    {
        QStringList lines;
        std::vector<int> detour_runs;
        int clock_start = 0;       // the clock restarts at a reset or load
        int last_setting = 0;      // time of the latest settings in the kept run
        QStringList last_actions;  // the settings made at last_setting
        int now = 0;
        for (std::size_t m = 0; m < minutes_.size(); ++m) {
            for (const QString& action : minutes_[m].actions) {
                if (action == QLatin1String("reset") || action.startsWith(QLatin1String("load "))) {
                    lines << QStringLiteral("at %1 %2").arg(clock(now - clock_start), action);
                    clock_start = now;
                    last_actions.clear();
                    last_setting = now;
                    continue;
                }
                if (last_setting != now) last_actions.clear();
                last_setting = now;
                last_actions << action;
                lines << QStringLiteral("at %1 %2").arg(clock(now - clock_start), action);
            }
            now += 60;
            lines << QStringLiteral("run until %1").arg(clock(now - clock_start));
            if (!detours || !detour_[m]) continue;
            const int past = now + 60 * detour_extra_[m];
            lines << QStringLiteral("run until %1").arg(clock(past - clock_start));
            detour_runs.push_back(static_cast<int>(lines.size()));
            // Back to a second from the last setting to the end of minute m
            // (a script is far shorter than the history); often the
            // setting's own second.
            int back = last_setting;
            if (detour_back_[m] % 3 != 0) back += detour_back_[m] % (now - last_setting + 1);
            lines
                << QStringLiteral("at %1 rerun %2").arg(clock(past - clock_start), clock(back - clock_start));
            if (back == last_setting && retype_[m])
                for (const QString& action : last_actions)
                    lines << QStringLiteral("at %1 %2").arg(clock(back - clock_start), action);
            if (back < now) lines << QStringLiteral("run until %1").arg(clock(now - clock_start));
        }
        return {lines.join(QLatin1Char('\n')) + QLatin1Char('\n'), detour_runs};
    }

    std::vector<script_minute> minutes_;
    std::vector<bool> detour_, retype_;
    std::vector<int> detour_extra_, detour_back_;
};

struct script_outcome {
    script_run_result result;
    QString script;
    // The script stopped on a line that runs past the script: the detour's
    // own run died or failed, and there is nothing to compare.
    bool detour_ended = false;
};

script_outcome run_script(const generated_script::text_lines& script)
{
    // A script's "load" makes its file the subject a later start begins with.
    static const subject_data standard = standard_subject_data();
    store_standard_subject(standard);
    fake_ui ui;
    simulator sim(ui);
    sim.start();
    const script_parse_result parsed = parse_scenario_script(script.text, QStringLiteral("generated.txt"));
    EXPECT_TRUE(parsed.status.ok()) << parsed.status.message() << "\n" << script.text.toStdString();
    script_outcome outcome{run_scenario_script(sim, parsed.script), script.text};
    const auto& runs = script.detour_runs;
    outcome.detour_ended = !outcome.result.status.ok() &&
                           std::find(runs.begin(), runs.end(), outcome.result.stopped_line) != runs.end();
    return outcome;
}

// Both runs ended alike and every second they recorded agrees bit for bit.
::testing::AssertionResult same_run(const script_outcome& straight, const script_outcome& detoured)
{
    const script_run_result& a = straight.result;
    const script_run_result& b = detoured.result;
    auto failure = [&](const std::string& what) {
        return ::testing::AssertionFailure() << what << "\n--- straight:\n"
                                             << straight.script.toStdString() << "--- with detours:\n"
                                             << detoured.script.toStdString();
    };
    if (a.status.code() != b.status.code())
        return failure("ended differently: " + a.status.message() + " / " + b.status.message());
    if (a.timeline.last_time() != b.timeline.last_time())
        return failure("last second " + std::to_string(a.timeline.last_time()) + " vs " +
                       std::to_string(b.timeline.last_time()));
    for (int t = a.timeline.first_time(); t <= a.timeline.last_time(); ++t) {
        const auto& x = a.timeline.at(t);
        const auto& y = b.timeline.at(t);
        if (std::memcmp(x.data(), y.data(), sizeof x) == 0) continue;
        int row = 0;
        while (std::memcmp(&x[row], &y[row], sizeof x[row]) == 0) ++row;
        return failure("second " + std::to_string(t) + " row " + std::to_string(row) + ": " +
                       std::to_string(x[row]) + " vs " + std::to_string(y[row]));
    }
    return ::testing::AssertionSuccess();
}

TEST(RerunTwin, DetoursLeaveTheRunBitForBit)
{
    std::mt19937 random(20261207);
    int compared = 0, detours = 0, skipped = 0;
    for (int n = 0; n < 400; ++n) {
        const generated_script script(random);
        if (script.detours() == 0) continue;
        const script_outcome straight = run_script(script.straight());
        const script_outcome detoured = run_script(script.with_detours());
        if (detoured.detour_ended) {
            ++skipped;
            continue;
        }
        ASSERT_TRUE(same_run(straight, detoured)) << "script " << n;
        ++compared;
        detours += script.detours();
    }
    // Most scripts were compared: the generator makes runs that go on.
    EXPECT_GT(compared, 150);
    EXPECT_LT(skipped, compared / 4);
    std::printf("%d scripts with %d detours compared, %d skipped\n", compared, detours, skipped);
}

}  // namespace
