// SPDX-License-Identifier: Apache-2.0
// Screenshots of the main window for docs/guide.md, in the order of its
// lesson: start, RUN, a factor changed, the cursor, kPa, the respiration
// dialog, the menus, a reference run and the printed report.
#include <QAction>
#include <QLineEdit>
#include <QPainter>
#include <QPushButton>
#include <QRadioButton>

#include "guide_shots.h"
#include "report.h"
#include "respiration_dialog.h"

namespace {

constexpr int inspired_o2 = 16;   // factor "Inspired O2 percentage"
constexpr int inspired_co2 = 15;  // factor "Inspired CO2 percentage"
constexpr int work_rate = 31;     // factor "Work Rate" (factor row 4)

QImage report_page(Tmain_F& window)
{
    // A4 landscape at 120 dots per inch.
    QImage page(1403, 992, QImage::Format_RGB32);
    page.fill(Qt::white);
    QPainter painter(&page);
    report_input input = window.report_input_now();
    input.date_text = QStringLiteral("(date and time)");
    draw_report(painter, page.width(), page.height(), input);
    painter.end();
    return page;
}

TOLVANE_GUIDE_SHOT("start", [](guide_session& s) { return s.grab_window(); });

TOLVANE_GUIDE_SHOT("first_run", [](guide_session& s) {
    s.run(3);
    return s.grab_window();
});

TOLVANE_GUIDE_SHOT("low_oxygen", [](guide_session& s) {
    s.run(2);
    s.set_factor(0, inspired_o2, QStringLiteral("6"));
    s.set_factor(1, inspired_co2, QStringLiteral("8"));
    s.run(4);
    return s.grab_window();
});

TOLVANE_GUIDE_SHOT("cursor", [](guide_session& s) {
    s.run(2);
    s.set_factor(0, inspired_o2, QStringLiteral("12"));
    s.run(4);
    s.click_plot_at(150);
    return s.grab_window();
});

TOLVANE_GUIDE_SHOT("kpa", [](guide_session& s) {
    s.run(3);
    s.window().metric_RB->click();
    return s.grab_window();
});

TOLVANE_GUIDE_SHOT("respiration", [](guide_session& s) { return s.grab_dialog(&s.respiration()); });

TOLVANE_GUIDE_SHOT("file_menu", [](guide_session& s) {
    s.run(1);
    return s.grab_with_menu(QStringLiteral("File"));
});

TOLVANE_GUIDE_SHOT("view_menu", [](guide_session& s) {
    s.run(1);
    return s.grab_with_menu(QStringLiteral("View"));
});

// The standard subject kept as reference, then the same subject on 12 % O2.
TOLVANE_GUIDE_SHOT("reference_o2", [](guide_session& s) {
    s.run(8);
    s.window().keep_reference_I->trigger();
    s.window().reset_B->click();
    s.set_factor(0, inspired_o2, QStringLiteral("12"));
    s.run(8);
    s.click_plot_at(300);
    return s.grab_window();
});

// Rest kept as reference, then 60 W from the second minute on.
TOLVANE_GUIDE_SHOT("reference_exercise", [](guide_session& s) {
    s.run(8);
    s.window().keep_reference_I->trigger();
    s.window().reset_B->click();
    s.run(2);
    s.set_factor(4, work_rate, QStringLiteral("60"));
    s.run(6);
    s.click_plot_at(360);
    return s.grab_window();
});

TOLVANE_GUIDE_SHOT("report", [](guide_session& s) {
    s.run(6);
    s.window().keep_reference_I->trigger();
    s.window().reset_B->click();
    s.set_factor(0, inspired_o2, QStringLiteral("12"));
    s.run(6);
    return report_page(s.window());
});

}  // namespace
