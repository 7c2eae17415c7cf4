// SPDX-License-Identifier: Apache-2.0
// The main window offscreen: start-up state, layout, RUN and the plot's
// colours, cursor placement by mouse and keys, panels, units and resizing.
// Message boxes, beeps and file dialogs go to a recording subclass.
#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTextBlock>
#include <QTimer>
#include <QStatusBar>
#include <QtTest>

#include <cstring>
#include <memory>
#include <vector>

#include <sys/wait.h>
#include <unistd.h>

#include "headless_ui.h"
#include "main_window.h"
#include "plot_stage.h"
#include "main_window_layout.h"
#include "scenario_script.h"
#include "simulator.h"
#include "tolvane_model.h"
#include "trend_plot.h"

namespace {

// Tmain_F whose modal parts only record what they were asked.
class recording_main_F : public Tmain_F {
public:
    int beeps = 0;
    QStringList warnings, errors, informations, messages, questions;

    void beep() override { ++beeps; }
    void show_warning(const QString& text) override { warnings << text; }
    void show_error(const QString& text) override { errors << text; }
    void show_information(const QString& text) override { informations << text; }
    void show_message(const QString& text) override { messages << text; }
    bool ask_ok_cancel(const QString& text) override
    {
        questions << text;
        return false;
    }
    std::optional<QString> open_file_dialog(const file_dialog_request&) override { return std::nullopt; }
    std::optional<QString> save_file_dialog(const file_dialog_request&) override { return std::nullopt; }
};

QString hint_of(const Tmain_F& window) { return window.hint_M->toPlainText(); }

// Number of pixels of exactly this colour in a column range of the plot.
int count_colour(const QImage& image, const QColor& colour, int x0, int x1, int y0, int y1)
{
    int n = 0;
    for (int x = x0; x <= x1; ++x)
        for (int y = y0; y <= y1; ++y)
            if (image.pixelColor(x, y).rgb() == colour.rgb()) ++n;
    return n;
}

}  // namespace

class main_window_test : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<recording_main_F> window;

    // The plot as painted, in client (central widget) coordinates.
    QImage plot_image() { return window->surface->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    void run_once() { QTest::mouseClick(window->run_B, Qt::LeftButton); }
    void leave_field(QWidget* field)
    {
        field->setFocus(Qt::OtherFocusReason);
        window->run_B->setFocus(Qt::TabFocusReason);
    }

private slots:
    void init()
    {
        window = std::make_unique<recording_main_F>();
        window->resize(window->minimumSize());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    void cleanup() { window.reset(); }

    void start_up_state()
    {
        QCOMPARE(window->windowTitle(), QStringLiteral("Tolvane"));
        QCOMPARE(main_F, window.get());
        QVERIFY(window->run_B->isEnabled());
        for (QPushButton* off : {window->rerun_B, window->reset_B, window->back_B, window->forward_B})
            QVERIFY2(!off->isEnabled(), qPrintable(off->text()));
        QVERIFY(!window->print_I->isEnabled());
        QVERIFY(window->tolvane_I->isVisible());
        QCOMPARE(window->tolvane_I->geometry(), QRect(310, 30, 350, 190));
        QVERIFY(!window->tolvane_I->pixmap().isNull());
        QVERIFY(window->trad_RB->isChecked());
        QVERIFY(!window->metric_RB->isChecked());
        // Credits box: white inside a black frame at its laid-out corners.
        const QImage plot = plot_image();
        QCOMPARE(plot.pixelColor(275, 200), QColor(Qt::black));
        QCOMPARE(plot.pixelColor(705, 200), QColor(Qt::black));
        QCOMPARE(plot.pixelColor(690, 260), QColor(Qt::white));
        // Panels for time 0 with the standard subject.
        QCOMPARE(window->time_E->text(), QStringLiteral("00:00"));
        QCOMPARE(window->factor_rows[0].dsn_CB->currentText(), QStringLiteral("Inspired O2 percentage"));
        QCOMPARE(window->factor_rows[0].vlu_E->text(), QStringLiteral("20.93"));
        QCOMPARE(window->factor_rows[0].unit_L->text(), QStringLiteral("%"));
        QCOMPARE(window->factor_rows[5].dsn_CB->currentIndex(), -1);
        QCOMPARE(window->factor_rows[5].vlu_E->text(), QStringLiteral(" - - - - -"));
        QCOMPARE(window->display_rows[0].dsn_CB->currentText(),
                 QStringLiteral("Arterial O2 partial pressure"));
        QCOMPARE(window->display_rows[0].vlu_E->text(), QStringLiteral("93.18"));
        QCOMPARE(window->display_rows[0].unit_L->text(), QStringLiteral("mm Hg"));
        QCOMPARE(window->height_E->text(), QStringLiteral("178.0"));
        QCOMPARE(window->weight_E->text(), QStringLiteral("70.0"));
        QCOMPARE(window->bmi_E->text(), QStringLiteral("22.1"));
        QCOMPARE(window->age_E->text(), QStringLiteral("40.0"));
        QCOMPARE(window->sex_CB->currentText(), QStringLiteral("male"));
        QCOMPARE(window->hint_M->toPlainText(), QString());
        QVERIFY(!window->time_out_T->isActive());
    }

    void lists_hold_the_catalogue_in_order()
    {
        for (int i = 0; i < panel_rows; ++i) {
            QCOMPARE(window->factor_rows[i].dsn_CB->count(), 32);
            QCOMPARE(window->display_rows[i].dsn_CB->count(), 65);
        }
        const QComboBox* list = window->display_rows[0].dsn_CB;
        QCOMPARE(list->itemText(64), QStringLiteral("No display"));
        QCOMPARE(list->itemText(47), QString::fromUtf8("Tissue N2 amount in \u2018fast\u2019 compartment"));
        QCOMPARE(list->itemText(50), QString::fromUtf8("Tissue N2 partial in \u2018slow\u2019 compartment"));
        QCOMPARE(window->factor_rows[0].dsn_CB->itemText(25), QStringLiteral("Total barometric pressure,"));
        // Display values are written in their trace colours.
        for (int i = 0; i < panel_rows; ++i)
            QCOMPARE(window->display_rows[i].vlu_E->palette().color(QPalette::Text), trace_colour(i));
    }

    // Every control of main_window_layout, each row of both panels, and the
    // captions' texts.
    void controls_sit_where_laid_out_data()
    {
        QTest::addColumn<QString>("name");
        QTest::addColumn<QRect>("expected");
        QTest::addColumn<QString>("text");
        const std::map<QString, QString> texts = {{"run_B", "RUN"},
                                                  {"rerun_B", "RE-RUN"},
                                                  {"reset_B", "RESET"},
                                                  {"back_B", "BACK"},
                                                  {"forward_B", "F'WARD"},
                                                  {"hint_L", "Hint:"},
                                                  {"clinical_L", "Clinical:"},
                                                  {"control_L", "Control:"},
                                                  {"passport_L", "Passport:"},
                                                  {"factor_L", "Subject factors:"},
                                                  {"display_L", "Display variables:"},
                                                  {"time_L", "cursor position:"},
                                                  {"trad_RB", "mm Hg"},
                                                  {"metric_RB", "kPa"},
                                                  {"press_L", "pressure units:"}};
        const QString caption = QStringLiteral("passport caption ");
        for (const control_place& place : main_window_layout) {
            const QString name = QString::fromLatin1(place.name.data(), place.name.size());
            QRect expected(place.left, place.top, place.width, place.height);
            // FormResize places the passport at h - 178, three pixels below its design top.
            if (name == "passport_P") expected.moveTop(694 - 178);
            if (name == "press_L") continue;    // kept clear of trad_RB: no_text_is_clipped
            if (name == "tolvane_I") continue;  // drawn over the credits box (logo_left, logo_top)
            if (name.startsWith(QLatin1String("row_"))) {
                for (int i = 0; i < panel_rows; ++i)
                    for (const char* side : {"f_", "d_"}) {
                        const QString row_name = side + name.mid(4) + QString::number(i);
                        // A row's unit follows its selection: one is checked.
                        QString text;
                        if (row_name == "f_unit_L2") text = QStringLiteral("degree centigrade");
                        QTest::newRow(qPrintable(row_name))
                            << row_name << expected.translated(0, row_pitch * i) << text;
                    }
                continue;
            }
            const auto text = texts.find(name);
            QTest::newRow(qPrintable(name)) << name << expected
                                            << (name.startsWith(caption) ? name.mid(caption.size())
                                                : text != texts.end()    ? text->second
                                                                         : QString());
        }
        // The design's own coordinates, as a check on the table.
        QCOMPARE(QRect(place_of("message_P").left, place_of("message_P").top, 1012, 32),
                 QRect(2, 384, 1012, 32));
    }

    void controls_sit_where_laid_out()
    {
        QFETCH(QString, name);
        QFETCH(QRect, expected);
        QFETCH(QString, text);
        // The design height: the client area of the laid-out window.
        window->setMinimumHeight(0);
        window->resize(Tmain_F::window_width,
                       window->menuBar()->height() + window->statusBar()->height() + 694);
        QTRY_COMPARE(window->surface->height(), 694);
        std::map<QString, QWidget*> controls = {
            {"tolvane_I", window->tolvane_I},   {"message_P", window->message_P},
            {"hint_M", window->hint_M},         {"clinical_M", window->clinical_M},
            {"control_P", window->control_P},   {"run_B", window->run_B},
            {"rerun_B", window->rerun_B},       {"reset_B", window->reset_B},
            {"back_B", window->back_B},         {"forward_B", window->forward_B},
            {"passport_P", window->passport_P}, {"height_E", window->height_E},
            {"weight_E", window->weight_E},     {"bmi_E", window->bmi_E},
            {"age_E", window->age_E},           {"sex_CB", window->sex_CB},
            {"factor_P", window->factor_P},     {"display_P", window->display_P},
            {"time_E", window->time_E},         {"hint_L", window->hint_L},
            {"clinical_L", window->clinical_L}, {"control_L", window->control_L},
            {"passport_L", window->passport_L}, {"factor_L", window->factor_L},
            {"display_L", window->display_L},   {"time_L", window->time_L},
            {"trad_RB", window->trad_RB},       {"metric_RB", window->metric_RB}};
        for (int i = 0; i < panel_rows; ++i) {
            const QString n = QString::number(i);
            controls["f_dsn_CB" + n] = window->factor_rows[i].dsn_CB;
            controls["f_vlu_E" + n] = window->factor_rows[i].vlu_E;
            controls["f_unit_L" + n] = window->factor_rows[i].unit_L;
            controls["d_dsn_CB" + n] = window->display_rows[i].dsn_CB;
            controls["d_vlu_E" + n] = window->display_rows[i].vlu_E;
            controls["d_unit_L" + n] = window->display_rows[i].unit_L;
        }
        for (QLabel* label : window->passport_P->findChildren<QLabel*>())
            if (label != window->passport_L) controls["passport caption " + label->text()] = label;
        QVERIFY2(controls.count(name) == 1, qPrintable(name));
        QWidget* control = controls.at(name);
        if (expected.width() == 0)  // captions sized to their text: the position counts
            QCOMPARE(control->pos(), expected.topLeft());
        else
            QCOMPARE(control->geometry(), expected);
        if (auto* label = qobject_cast<QLabel*>(control); label && !text.isNull())
            QCOMPARE(label->text(), text);
        if (auto* radio = qobject_cast<QRadioButton*>(control)) QCOMPARE(radio->text(), text);
        if (auto* button = qobject_cast<QPushButton*>(control)) {
            QCOMPARE(button->text(), text);
            // No caption is wider than its button.
            QVERIFY(button->fontMetrics().horizontalAdvance(text) + 6 <= button->width());
        }
    }

    void no_text_is_clipped()
    {
        // Every label fits its text, and no label runs into the next control.
        for (QLabel* label : window->findChildren<QLabel*>()) {
            if (label == window->tolvane_I || label->text().isEmpty()) continue;
            QVERIFY2(label->fontMetrics().horizontalAdvance(label->text()) <= label->width(),
                     qPrintable(label->text()));
        }
        QVERIFY(window->press_L->geometry().right() < window->trad_RB->x());
        QVERIFY(window->time_L->geometry().right() < window->time_E->x());
        QVERIFY(window->factor_L->geometry().right() < window->press_L->x());
        for (QRadioButton* button : {window->trad_RB, window->metric_RB})
            QVERIFY(button->sizeHint().width() <= button->width());
        QVERIFY(window->trad_RB->geometry().right() < window->metric_RB->x());
    }

    void size_limits_and_tooltips()
    {
        // It opens with the client area 1014 wide and 694 + 105 high, the
        // tallest laid-out height; it may then be resized and maximised.
        window->resize(window->default_size());
        QTRY_COMPARE(window->surface->size(), QSize(1014, 694 + 105));
        QVERIFY(!window->stage->scaled());
        QCOMPARE(window->minimumWidth(), 1014);
        QCOMPARE(window->maximumWidth(), QWIDGETSIZE_MAX);
        QCOMPARE(window->maximumHeight(), QWIDGETSIZE_MAX);
        // The client area is as wide as the panels with their 2-pixel margins:
        // the plot's right border (cw - 1) meets their right edge.
        QCOMPARE(window->client_width(), 1014);
        QCOMPARE(window->client_width() - 1, window->message_P->geometry().right());
        QCOMPARE(window->client_width() - 1, window->display_P->geometry().right());
        // The laid-out text, then the key that runs.
        QCOMPARE(window->run_B->toolTip(), QStringLiteral("run model to next minute mark  (F5)"));
        QCOMPARE(window->display_P->toolTip(),
                 QStringLiteral("select variables to be displayed and plotted"));
        QCOMPARE(window->clinical_M->toolTip(), QStringLiteral("subject symptoms, or subject comments"));
        QCOMPARE(window->bmi_E->toolTip(), QStringLiteral("read only"));
        QCOMPARE(window->time_E->toolTip(), QStringLiteral("cursor position mm:ss"));
        QVERIFY(window->bmi_E->isReadOnly());
        QVERIFY(window->display_rows[3].vlu_E->isReadOnly());
        QVERIFY(!window->factor_rows[3].vlu_E->isReadOnly());
    }

    void menus_hold_every_entry()
    {
        QStringList titles;
        for (QAction* menu : window->menuBar()->actions()) {
            titles << menu->text();
            for (QAction* item : menu->menu()->actions())
                titles << (item->isSeparator() ? QStringLiteral("-") : item->text());
        }
        // The laid-out entries, each added entry after those of its menu (Exit
        // still last in File) and the Help menu after the laid-out menus.
        QCOMPARE(titles, QStringList({"&File",
                                      "&Load ...",
                                      "&Save ...",
                                      "-",
                                      "&Print ...",
                                      "-",
                                      "&Export data ...",
                                      "Export pic&ture ...",
                                      "-",
                                      "Open sce&nario ...",
                                      "Save as scenar&io ...",
                                      "-",
                                      "E&xit",
                                      "&View",
                                      "&Display Variables ...",
                                      "&Factor List ...",
                                      "-",
                                      "&About ...",
                                      "-",
                                      "&Keep as reference",
                                      "&Clear reference",
                                      "-",
                                      "O2 dissociation curve",
                                      QStringLiteral("X\u2013Y plot"),
                                      "-",
                                      "E&vents",
                                      "&Whole run",
                                      "F&ull screen",
                                      "&Respiration",
                                      "&Respiration ...",
                                      "&Help",
                                      "&User guide",
                                      "&About"}));
    }

    void run_records_a_minute_and_draws_each_trace_in_its_colour()
    {
        run_once();
        QCOMPARE(window->sim().state().sim_time, 60);
        for (int row : {15, 10, 40, 52}) QCOMPARE(history[row][history_slot(60)], display[row].value);
        QVERIFY(!window->tolvane_I->isVisible());
        for (QPushButton* on :
             {window->run_B, window->rerun_B, window->reset_B, window->back_B, window->forward_B})
            QVERIFY2(on->isEnabled(), qPrintable(on->text()));
        QVERIFY(window->print_I->isEnabled());
        QCOMPARE(window->time_E->text(), QStringLiteral("01:00"));
        // Rows 6 and 7 show the same variable: row 7 (grey) is drawn over row 6.
        window->display_rows[6].dsn_CB->setCurrentIndex(17);  // "Arterial pH"
        const QImage plot = plot_image();
        for (int k = 0; k < panel_rows; ++k) {
            const int pixels = count_colour(plot, trace_colour(k), 162, 221, 21, 352);
            QVERIFY2(pixels >= 30, qPrintable(QStringLiteral("row %1: %2 pixels").arg(k).arg(pixels)));
        }
        // The cursor sits at the end of the trace, red, at x = 160 + 60.
        QCOMPARE(plot.pixelColor(220, 17), QColor(255, 0, 0));
        QVERIFY(count_colour(plot, QColor(255, 0, 0), 220, 220, 20, 353) > 100);
        // No coloured trace goes past the last recorded second (black is the grid's).
        for (int k = 1; k < panel_rows; ++k)
            QCOMPARE(count_colour(plot, trace_colour(k), 223, 400, 21, 352), 0);
    }

    void cursor_placed_by_click_and_alt_keys()
    {
        run_once();
        run_once();
        QTest::mouseClick(window->surface, Qt::LeftButton, {}, QPoint(160 + 30, 200));
        QCOMPARE(window->sim().state().cursor_time, 30);
        QCOMPARE(window->time_E->text(), QStringLiteral("00:30"));
        // Away from the current time the factor values turn silver.
        QCOMPARE(window->factor_rows[0].vlu_E->palette().color(QPalette::Text), QColor(192, 192, 192));
        // Outside the plotted span: hint 3 with a beep; right button: nothing.
        const int beeps = window->beeps;
        QTest::mouseClick(window->surface, Qt::LeftButton, {}, QPoint(160 + 200, 200));
        QCOMPARE(hint_of(*window), QStringLiteral(" click within time spanned by the plot"));
        QCOMPARE(window->beeps, beeps + 1);
        window->hint_M->clear();
        QTest::mouseClick(window->surface, Qt::RightButton, {}, QPoint(160 + 10, 200));
        QCOMPARE(window->sim().state().cursor_time, 30);
        QCOMPARE(hint_of(*window), QString());

        QWidget* focus = window->factor_rows[1].vlu_E;
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_Left, Qt::AltModifier);
        QCOMPARE(window->sim().state().cursor_time, 29);
        QTest::keyClick(focus, Qt::Key_Right, Qt::AltModifier | Qt::ShiftModifier);
        QCOMPARE(window->sim().state().cursor_time, 89);
        QCOMPARE(window->time_E->text(), QStringLiteral("01:29"));
        QTest::keyClick(focus, Qt::Key_Right, Qt::AltModifier | Qt::ShiftModifier);
        QCOMPARE(window->sim().state().cursor_time, 120);
        // Back at the current time the factor values are black again.
        QCOMPARE(window->factor_rows[0].vlu_E->palette().color(QPalette::Text), QColor(Qt::black));
        // Without Alt the key is the field's own.
        QTest::keyClick(focus, Qt::Key_Left);
        QCOMPARE(window->sim().state().cursor_time, 120);
        // The cursor line follows at x = 160 + 120.
        QCOMPARE(plot_image().pixelColor(280, 17), QColor(255, 0, 0));
    }

    void time_field_turns_yellow_while_the_cursor_is_off_the_plot()
    {
        run_once();
        run_once();
        QTest::mouseClick(window->surface, Qt::LeftButton, {}, QPoint(160 + 10, 200));
        const QColor normal = QApplication::palette(window->time_E).color(QPalette::Base);
        QCOMPARE(window->time_E->palette().color(QPalette::Base), normal);
        QTest::mouseClick(window->forward_B, Qt::LeftButton);  // win_start 60, cursor at 10
        QCOMPARE(window->sim().state().win_start, 60);
        QCOMPARE(window->time_E->palette().color(QPalette::Base), QColor(255, 255, 0));
        QCOMPARE(window->time_E->text(), QStringLiteral("00:10"));
        QTest::mouseClick(window->back_B, Qt::LeftButton);
        QCOMPARE(window->time_E->palette().color(QPalette::Base), normal);
        // RE-RUN makes the cursor time the current time.
        QTest::mouseClick(window->rerun_B, Qt::LeftButton);
        QCOMPARE(window->sim().state().sim_time, 10);
        QCOMPARE(window->factor_rows[0].vlu_E->palette().color(QPalette::Text), QColor(Qt::black));
    }

    void wide_values_are_squeezed_into_their_field()
    {
        window->display_rows[3].dsn_CB->setCurrentIndex(2);  // "Alveolar N2 amount", about 1987
        QLineEdit* field = window->display_rows[3].vlu_E;
        QVERIFY(field->text().size() >= 7);
        QVERIFY(field->font().stretch() < 100);
        QVERIFY(field->fontMetrics().horizontalAdvance(field->text()) <= field->width() - 8);
        window->display_rows[3].dsn_CB->setCurrentIndex(52);
        QCOMPARE(field->font().stretch(), 100);
    }

    void alt_left_at_the_window_start_pins_the_cursor_in_place()
    {
        run_once();
        QVERIFY(!window->sim().state().cursor_pinned);
        QTest::mouseClick(window->surface, Qt::LeftButton, {}, QPoint(160 + 1, 200));
        QWidget* focus = window->run_B;
        focus->setFocus();
        QTest::keyClick(focus, Qt::Key_Left, Qt::AltModifier);
        QCOMPARE(window->sim().state().cursor_time, 0);
        QTest::keyClick(focus, Qt::Key_Left, Qt::AltModifier);
        QCOMPARE(window->sim().state().cursor_time, 0);
        QVERIFY(window->sim().state().cursor_pinned);
        QCOMPARE(window->time_E->text(), QStringLiteral("00:00"));
    }

    void presses_on_child_controls_are_theirs()
    {
        run_once();
        QTest::mouseClick(window->hint_L, Qt::LeftButton);
        QTest::mouseClick(window->control_P, Qt::LeftButton, {}, QPoint(100, 90));
        QCOMPARE(hint_of(*window), QString());
        // The window's own surface between the panels is the plot's caller.
        QTest::mouseClick(window->surface, Qt::LeftButton, {}, QPoint(115, 500));
        QCOMPARE(hint_of(*window), QStringLiteral(" click within time spanned by the plot"));
    }

    void alt_i_shows_the_model_comment()
    {
        QWidget* focus = QApplication::focusWidget() ? QApplication::focusWidget() : window.get();
        QTest::keyClick(focus, Qt::Key_I, Qt::AltModifier);
        QCOMPARE(window->informations, QStringList{QString::fromLatin1(comment)});
    }

    void duplicate_factor_choice_empties_the_row()
    {
        const int beeps = window->beeps;
        window->factor_rows[1].dsn_CB->setCurrentIndex(16);  // row 0's "Inspired O2 percentage"
        QCOMPARE(window->factor_rows[1].dsn_CB->currentIndex(), -1);
        QCOMPARE(window->factor_rows[1].vlu_E->text(), QStringLiteral(" - - - - -"));
        QCOMPARE(window->factor_rows[1].unit_L->text(), QString());
        QCOMPARE(hint_of(*window), QStringLiteral(" duplicate subject factor, not accepted"));
        QCOMPARE(window->beeps, beeps + 1);
        QCOMPARE(window->factor_rows[0].dsn_CB->currentIndex(), 16);
        QCOMPARE(window->factor_rows[0].vlu_E->text(), QStringLiteral("20.93"));
    }

    // Leaving a factor field enters nothing unless its text was changed:
    // 2,3-DPG, which the model moves itself, is not pinned to the two
    // decimals its field shows, and a RE-RUN after clicking through every
    // field runs what a script with the same actions runs, bit for bit.
    void leaving_unchanged_fields_enters_nothing()
    {
        for (int minute = 0; minute < 3; ++minute) run_once();
        const float dpg = factor[factor_id::dpg].value;
        QVERIFY(QString::asprintf("%.2f", dpg).toFloat() != dpg);
        for (const auto& row : window->factor_rows) leave_field(row.vlu_E);
        QCOMPARE(factor[factor_id::dpg].value, dpg);
        QTest::mouseClick(window->surface, Qt::LeftButton, {}, QPoint(160 + 90, 200));
        QTest::mouseClick(window->rerun_B, Qt::LeftButton);
        run_once();
        run_once();
        std::vector<float> window_run;
        for (int t = 1; t <= 180; ++t)
            for (int k = 0; k < TOLVANE_HISTORY_ROWS; ++k) window_run.push_back(history[k][t]);
        const float window_dpg = factor[factor_id::dpg].value;

        headless_ui ui;
        simulator script_sim(ui);
        script_sim.start();
        const script_parse_result parsed = parse_scenario_script(
            QStringLiteral("at 3:00 rerun 1:30\nrun until 3:00\n"), QStringLiteral("rerun.txt"));
        QVERIFY(parsed.status.ok());
        QVERIFY(run_scenario_script(script_sim, parsed.script).status.ok());
        std::vector<float> script_run;
        for (int t = 1; t <= 180; ++t)
            for (int k = 0; k < TOLVANE_HISTORY_ROWS; ++k) script_run.push_back(history[k][t]);
        QVERIFY(std::memcmp(window_run.data(), script_run.data(), window_run.size() * sizeof(float)) == 0);
        QCOMPARE(window_dpg, factor[factor_id::dpg].value);
    }

    void clamped_entry_raises_hint_2_until_the_time_out()
    {
        QLineEdit* field = window->factor_rows[0].vlu_E;
        field->setFocus();
        field->setText(QStringLiteral("25"));
        window->run_B->setFocus(Qt::TabFocusReason);
        QCOMPARE(factor[factor_id::inspired_o2].value, 25.0f);
        QCOMPARE(field->text(), QStringLiteral("25.00"));
        QCOMPARE(hint_of(*window), QString());

        field->setFocus();
        field->setText(QStringLiteral("150"));
        window->run_B->setFocus(Qt::TabFocusReason);
        QCOMPARE(factor[factor_id::inspired_o2].value, 100.0f);
        QCOMPARE(field->text(), QStringLiteral("100.00"));
        QCOMPARE(hint_of(*window), QStringLiteral("Inspired O2 percentage: 150 is above 100; set to 100"));
        // The longest hint stays on the memo's one line, whole.
        QVERIFY(QFontMetrics(window->hint_M->font()).horizontalAdvance(hint_of(*window)) <
                window->hint_M->viewport()->width());
        QVERIFY(window->time_out_T->isActive());
        QCOMPARE(window->time_out_T->interval(), 5000);
        // The time-out empties the hint line and stops the timer.
        window->time_out_T->setInterval(50);
        QTRY_COMPARE_WITH_TIMEOUT(hint_of(*window), QString(), 2000);
        QVERIFY(!window->time_out_T->isActive());
    }

    void passport_entry_updates_bmi()
    {
        window->height_E->setFocus();
        window->height_E->setText(QStringLiteral("170"));
        window->weight_E->setFocus(Qt::TabFocusReason);
        QCOMPARE(height.value, 170.0f);
        QCOMPARE(window->height_E->text(), QStringLiteral("170.0"));
        QCOMPARE(window->bmi_E->text(), QStringLiteral("24.2"));
        window->weight_E->setText(QStringLiteral("500"));
        window->run_B->setFocus(Qt::TabFocusReason);
        QCOMPARE(window->weight_E->text(), QStringLiteral("200.0"));
        QCOMPARE(hint_of(*window), QStringLiteral("weight: 500 is above 200; set to 200"));
    }

    void kpa_switch_converts_values_units_and_scales()
    {
        window->factor_rows[5].dsn_CB->setCurrentIndex(25);
        QCOMPARE(window->factor_rows[5].vlu_E->text(), QStringLiteral("760.00"));
        QCOMPARE(window->factor_rows[5].unit_L->text(), QStringLiteral("mm Hg"));
        QTest::mouseClick(window->metric_RB, Qt::LeftButton);
        QVERIFY(window->metric_RB->isChecked());
        QVERIFY(!window->trad_RB->isChecked());
        QVERIFY(window->sim().state().si_pressure);
        QVERIFY(!window->tolvane_I->isVisible());
        QCOMPARE(window->factor_rows[5].vlu_E->text(), QStringLiteral("101.23"));
        QCOMPARE(window->factor_rows[5].unit_L->text(), QStringLiteral("kPa"));
        QCOMPARE(window->display_rows[0].vlu_E->text(), QString::asprintf("%.2f", 93.18f * 0.1332));
        QCOMPARE(window->display_rows[0].unit_L->text(), QStringLiteral("kPa"));
        QCOMPARE(display[display_id::arterial_po2].maximum, 20.0f);
        // Clicking the checked button again converts nothing.
        QTest::mouseClick(window->metric_RB, Qt::LeftButton);
        QCOMPARE(window->factor_rows[5].vlu_E->text(), QStringLiteral("101.23"));
        // The first scale (row 0, x = 12) is relabelled: 20 in kPa at the top
        // instead of 150 in mm Hg.
        const QImage kpa_labels = plot_image().copy(16, 8, 30, 20);
        QTest::mouseClick(window->trad_RB, Qt::LeftButton);
        QVERIFY(plot_image().copy(16, 8, 30, 20) != kpa_labels);
        QCOMPARE(window->factor_rows[5].vlu_E->text(), QStringLiteral("760.00"));
        QCOMPARE(window->factor_rows[5].unit_L->text(), QStringLiteral("mm Hg"));
        QCOMPARE(window->display_rows[0].unit_L->text(), QStringLiteral("mm Hg"));
        QCOMPARE(display[display_id::arterial_po2].maximum, 150.0f);
    }

    void resizing_moves_the_panels_and_grows_the_clinical_memo()
    {
        QTRY_COMPARE(window->surface->height(), Tmain_F::minimum_client_height);
        const int h = window->surface->height();
        QCOMPARE(window->message_P->height(), h - 662);
        QCOMPARE(window->clinical_M->height(), h - 673);
        const QRect control = window->control_P->geometry();
        const QRect passport = window->passport_P->geometry();
        QCOMPARE(control.top(), h - 275);
        QCOMPARE(passport.top(), h - 178);
        window->resize(window->width(), window->height() + 100);
        QTRY_COMPARE(window->surface->height(), h + 100);
        QCOMPARE(window->clinical_M->height(), h - 673 + 100);
        QCOMPARE(window->message_P->height(), h - 662 + 100);
        QCOMPARE(window->control_P->geometry(), control.translated(0, 100));
        QCOMPARE(window->passport_P->geometry(), passport.translated(0, 100));
        QCOMPARE(window->factor_P->y(), h - 275 + 100);
        QCOMPARE(window->display_P->y(), h - 275 + 100);
        // The plot area keeps its height; the panels stay inside the window.
        QVERIFY(window->message_P->y() == 384);
        QVERIFY(window->display_P->geometry().bottom() < window->surface->height());
    }

    void exit_ends_the_process_at_once_with_status_0()
    {
        std::fflush(nullptr);
        const pid_t child = fork();
        QVERIFY(child >= 0);
        if (child == 0) {
            window->exit_I->trigger();
            std::_Exit(7);  // not reached when Exit works
        }
        int status = 0;
        QCOMPARE(waitpid(child, &status, 0), child);
        QVERIFY(WIFEXITED(status));
        QCOMPARE(WEXITSTATUS(status), 0);
    }

    void one_line_clinical_memo_shows_the_newest_message()
    {
        // At the smallest height the memo is one line high (21 pixels).
        QTRY_COMPARE(window->surface->height(), Tmain_F::minimum_client_height);
        QCOMPARE(window->clinical_M->height(), 21);
        window->clear_clinical_text();
        window->append_clinical_text(QStringLiteral("00:14 Your patient is blue.\r\n"));
        window->append_clinical_text(QStringLiteral("\r\n"));
        window->append_clinical_text(QStringLiteral("00:15 Better.\r\n"));
        QCOMPARE(window->clinical_text(),
                 QStringLiteral("00:14 Your patient is blue.\r\n\r\n00:15 Better.\r\n"));
        QCOMPARE(window->clinical_M->toPlainText(),
                 QStringLiteral("00:14 Your patient is blue.\n\n00:15 Better."));
        QCoreApplication::processEvents();
        const QTextBlock top = window->clinical_M->cursorForPosition(QPoint(4, 4)).block();
        QCOMPARE(top.text(), QStringLiteral("00:15 Better."));
    }

    void reset_returns_to_the_fresh_subject()
    {
        run_once();
        QTest::mouseClick(window->reset_B, Qt::LeftButton);
        QCOMPARE(window->sim().state().sim_time, 0);
        QVERIFY(window->tolvane_I->isVisible());
        QVERIFY(!window->reset_B->isEnabled());
        QCOMPARE(window->time_E->text(), QStringLiteral("00:00"));
        QCOMPARE(window->clinical_M->toPlainText(), QString());
    }
};

QTEST_MAIN(main_window_test)
#include "main_window_test.moc"
