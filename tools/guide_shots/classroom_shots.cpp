// SPDX-License-Identifier: Apache-2.0
// Screenshots of the classroom additions for docs/guide.md: the events marked
// on the plot and listed, the whole run, the window on a projector's screen
// and a lesson played from a scenario.
#include <QAction>
#include <QDialog>
#include <QLineEdit>
#include <QPushButton>

#include "guide_shots.h"

namespace {

constexpr int inspired_co2 = 15;  // factor "Inspired CO2 percentage" (factor row 1)
constexpr int work_rate = 31;     // factor "Work Rate" (factor row 4)

// 5 % CO2 from minute 2, room air again from minute 6, a re-run from 4:00 with
// 60 W of exercise instead: the events of a short lesson.
void co2_lesson(guide_session& s)
{
    s.run(2);
    s.set_factor(1, inspired_co2, QStringLiteral("5"));
    s.run(4);
    s.set_factor(1, inspired_co2, QStringLiteral("0.03"));
    s.run(3);
    s.click_plot_at(240);
    s.window().rerun_B->click();
    s.set_factor(4, work_rate, QStringLiteral("60"));
    s.run(5);
}

TOLVANE_GUIDE_SHOT("events", [](guide_session& s) {
    co2_lesson(s);
    return s.grab_window();
});

TOLVANE_GUIDE_SHOT("events_list", [](guide_session& s) {
    co2_lesson(s);
    s.window().events_I->trigger();
    return s.grab_dialog(s.window().events_F);
});

// "Export picture ..." of the same lesson with the standard subject kept as
// reference: the marks, the reference's legend and the traces' names.
TOLVANE_GUIDE_SHOT("exported", [](guide_session& s) {
    s.run(9);
    s.window().keep_reference_I->trigger();
    s.window().reset_B->click();
    co2_lesson(s);
    QImage picture;
    picture.loadFromData(s.window().plot_picture_bytes(QStringLiteral("plot.png")), "PNG");
    return picture;
});

TOLVANE_GUIDE_SHOT("whole_run", [](guide_session& s) {
    s.run(2);
    s.set_factor(1, inspired_co2, QStringLiteral("5"));
    s.run(10);
    s.set_factor(1, inspired_co2, QStringLiteral("0.03"));
    s.run(8);
    s.window().whole_run_I->trigger();
    return s.grab_window();
});

// The window maximised on a 1600 x 900 projector: the same layout, larger.
TOLVANE_GUIDE_SHOT("projected", [](guide_session& s) {
    s.run(2);
    s.set_factor(1, inspired_co2, QStringLiteral("5"));
    s.run(4);
    s.window().resize(1600, 900);
    return s.grab_window();
});

}  // namespace
