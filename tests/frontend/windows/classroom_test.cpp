// SPDX-License-Identifier: Apache-2.0
// The classroom additions of the main window: the default window unchanged
// pixel for pixel, the event record with its marks and list, a run saved as a
// scenario and played back in the window and in tolvane-batch to the same CSV
// byte for byte, value entry (click, Enter, the limit named), the question
// before a run is discarded, the status line, the guide compiled into the
// program, the subject named on the command line and the whole-run view.
#include <QAction>
#include <QCloseEvent>
#include <QDialog>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPainter>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QStatusBar>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QTreeWidget>
#include <QtTest>

#include <deque>
#include <memory>

#include "breathing_circuit.h"
#include "chart_window.h"
#include "main_window.h"
#include "scripted_main_window.h"
#include "o2_curve_window.h"
#include "xy_plot_window.h"
#include "plot_stage.h"
#include "report.h"
#include "respiration_dialog.h"
#include "respiration_settings.h"
#include "slot_ids.h"
#include "tolvane_model.h"

#ifndef TOLVANE_BATCH_PATH
#error "TOLVANE_BATCH_PATH must name the built tolvane-batch"
#endif
#ifndef TOLVANE_TEST_DATA
#error "TOLVANE_TEST_DATA must name the folder of the test's pictures"
#endif

namespace {

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

// The run as "Export data ..." writes it.
QByteArray exported_csv(scripted_main_F& window, const QString& path)
{
    window.save_answers.push_back(path);
    window.export_data_I->trigger();
    return contents(path);
}

// Types text into a field as a user does and takes it with Enter.
void enter(QLineEdit* field, const QString& text)
{
    field->setFocus();
    field->selectAll();
    QTest::keyClicks(field, text);
    QTest::keyClick(field, Qt::Key_Return);
}

// True when two CSV texts are equal; else both go to the temporary folder
// (NAME_expected.csv, NAME_actual.csv) for a look.
bool same_csv(const QByteArray& actual, const QByteArray& expected, const QString& name)
{
    if (actual == expected) return true;
    for (auto [text, suffix] : {std::pair{&actual, "_actual.csv"}, {&expected, "_expected.csv"}}) {
        QFile f(QDir::temp().filePath(name + QLatin1String(suffix)));
        if (f.open(QIODevice::WriteOnly)) f.write(*text);
    }
    return false;
}

void run_minutes(scripted_main_F& window, int minutes)
{
    for (int i = 0; i < minutes; ++i) QTest::mouseClick(window.run_B, Qt::LeftButton);
}

// The respiration dialog's OK as the menu records it: the fields show the
// model's settings, the user changes those given (rate, tidal, PEEP, bag
// volume, CO2, O2; empty for unchanged).
void respiration_ok(scripted_main_F& window, int ventilation, int bag_state, const respiration_texts& typed)
{
    respiration_texts texts = current_respiration_texts();
    for (auto [field, entry] : {std::pair{&texts.rate, &typed.rate},
                                {&texts.tidal, &typed.tidal},
                                {&texts.peep, &typed.peep},
                                {&texts.bag_volume, &typed.bag_volume},
                                {&texts.bag_co2, &typed.bag_co2},
                                {&texts.bag_o2, &typed.bag_o2}})
        if (!entry->isEmpty()) *field = *entry;
    window.sim().session().set_respiration({static_cast<std::uint8_t>(ventilation), bag_state},
                                           respiration_numbers_of(texts));
    window.redraw_main();
}

QImage surface_grab(Tmain_F& window)
{
    window.surface->repaint();
    return window.surface->grab().toImage().convertToFormat(QImage::Format_RGB32);
}

int count_colour(const QImage& image, const QRect& area, const QColor& colour)
{
    int n = 0;
    for (int y = area.top(); y <= area.bottom(); ++y)
        for (int x = area.left(); x <= area.right(); ++x)
            if (image.pixelColor(x, y) == colour) ++n;
    return n;
}

}  // namespace

class classroom_test : public QObject {
    Q_OBJECT

    std::unique_ptr<scripted_main_F> window;
    QTemporaryDir dir;

    QString path(const QString& name) const { return dir.filePath(name); }

private slots:
    void init()
    {
        window = std::make_unique<scripted_main_F>();
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }
    void cleanup()
    {
        if (window) restore_standard_breathing(window->sim());
        window.reset();
    }

    void default_window_is_unchanged_pixel_for_pixel()
    {
        // The client area and menu bar as they were before these additions
        // (recorded from the earlier program with the same fonts).
        const QImage before = QImage(QStringLiteral(TOLVANE_TEST_DATA "/default_client_area.png"))
                                  .convertToFormat(QImage::Format_RGB32);
        const QImage menu_before = QImage(QStringLiteral(TOLVANE_TEST_DATA "/default_menu_bar.png"))
                                       .convertToFormat(QImage::Format_RGB32);
        QVERIFY(!before.isNull() && !menu_before.isNull());
        const QImage now = surface_grab(*window);
        if (now != before) now.save(QDir::temp().filePath(QStringLiteral("default_client_area_now.png")));
        QCOMPARE(now.size(), before.size());
        QVERIFY(now == before);
        QVERIFY(window->menuBar()->grab().toImage().convertToFormat(QImage::Format_RGB32) == menu_before);
        // The status line lies below it; the menus keep their laid-out items
        // first and Exit last.
        QVERIFY(window->statusBar()->geometry().top() >= window->surface->geometry().bottom());
        const QList<QAction*> file =
            window->load_I->associatedObjects().isEmpty()
                ? QList<QAction*>()
                : qobject_cast<QMenu*>(window->load_I->associatedObjects()[0])->actions();
        QVERIFY(!file.isEmpty());
        QCOMPARE(file.first(), window->load_I);
        QCOMPARE(file.last(), window->exit_I);
        QVERIFY(file.indexOf(window->save_scenario_I) > file.indexOf(window->export_picture_I));
    }

    void events_are_recorded_listed_and_marked()
    {
        enter(window->factor_rows[1].vlu_E, QStringLiteral("5"));  // inspired CO2
        run_minutes(*window, 3);
        respiration_ok(*window, 0, bag_state_id::standard,
                       {QStringLiteral("15"), QStringLiteral("500"), QStringLiteral("0"), {}, {}, {}});
        run_minutes(*window, 2);
        // Cursor to 2:00, then RE-RUN: the events after 2:00 leave the branch.
        window->move_cursor_to(120);
        QTest::mouseClick(window->rerun_B, Qt::LeftButton);
        const event_log& events = window->sim().controller().events();
        QCOMPARE(int(events.all().size()), 3);
        const std::vector<run_event> branch = events.current_branch();
        QCOMPARE(int(branch.size()), 2);
        QCOMPARE(branch[0].kind, run_event_kind::factor);
        QCOMPARE(branch[0].time, 0);
        QCOMPARE(branch[0].action, std::string("set 15 5"));
        QCOMPARE(branch[1].kind, run_event_kind::rerun);
        QCOMPARE(branch[1].time, 120);

        window->events_I->trigger();
        QCOMPARE(window->events_list->topLevelItemCount(), 2);
        QCOMPARE(window->events_list->topLevelItem(1)->text(1), QStringLiteral("02:00"));
        QCOMPARE(window->events_list->topLevelItem(1)->text(2), QStringLiteral("RE-RUN"));
        // Clicking a line moves the cursor to its time.
        window->move_cursor_to(30);
        const QRect line = window->events_list->visualItemRect(window->events_list->topLevelItem(1));
        QTest::mouseClick(window->events_list->viewport(), Qt::LeftButton, {}, line.center());
        QCOMPARE(window->sim().state().cursor_time, 120);

        // Both marks are drawn on the time axis, in their colour, at their seconds.
        const QImage plot = surface_grab(*window);
        const int start = window->sim().state().win_start;
        for (int t : {0, 120}) {
            const int x = plot_time_origin_x + t - start;
            QVERIFY2(count_colour(plot, QRect(x - 4, scale_bottom_y - 8, 9, 8), event_mark_colour) > 10,
                     qPrintable(QStringLiteral("no mark at %1 s").arg(t)));
        }
        // The printed report lists them under the passport.
        const report_input input = window->report_input_now();
        QCOMPARE(input.event_lines.size(), 2);
        QVERIFY2(input.event_lines[0].startsWith(QStringLiteral("1  00:00 Inspired CO2 percentage 5.00")),
                 qPrintable(input.event_lines[0]));
        const auto page = [](const report_input& in) {
            QImage image(1403, 992, QImage::Format_RGB32);
            image.fill(Qt::white);
            QPainter painter(&image);
            draw_report(painter, image.width(), image.height(), in);
            return image;
        };
        report_input without = input;
        without.event_lines.clear();
        const QImage listed = page(input);
        const QImage unlisted = page(without);
        const QRect corner(5, 860, 200, 130);  // under the passport, left of the factor rows
        int differing = 0;
        for (int y = corner.top(); y <= corner.bottom(); ++y)
            for (int x = corner.left(); x <= corner.right(); ++x)
                differing += listed.pixel(x, y) != unlisted.pixel(x, y);
        QVERIFY2(differing > 200, qPrintable(QString::number(differing)));
        int elsewhere = 0;
        for (int y = 0; y < listed.height(); ++y)
            for (int x = 0; x < listed.width(); ++x)
                elsewhere += !corner.contains(x, y) && listed.pixel(x, y) != unlisted.pixel(x, y);
        QCOMPARE(elsewhere, 0);

        // An exported picture shows them too, and names the traces under the plot.
        window->save_answers.push_back(path("plot.png"));
        window->export_picture_I->trigger();
        const QImage picture = QImage(path("plot.png")).convertToFormat(QImage::Format_RGB32);
        QCOMPARE(picture.width(), 2 * window->client_width());  // twice the screen's resolution
        QVERIFY(picture.height() > 2 * (plot_area_height + 30));
        QVERIFY(count_colour(picture, QRect(0, 2 * (scale_bottom_y - 10), picture.width(), 20),
                             event_mark_colour) > 20);
    }

    void a_saved_scenario_repeats_the_run_byte_for_byte()
    {
        // A lesson: CO2, a ventilator, a rebreathing bag, a re-run and a
        // value typed with more digits than the field shows.
        enter(window->factor_rows[1].vlu_E, QStringLiteral("4.567"));
        run_minutes(*window, 2);
        respiration_ok(*window, 0, bag_state_id::standard,
                       {QStringLiteral("14"), QStringLiteral("650.5"), QStringLiteral("2"), {}, {}, {}});
        run_minutes(*window, 2);
        respiration_ok(*window, 1, bag_state_id::rebreathe,
                       {QStringLiteral("14"), QStringLiteral("650.5"), QStringLiteral("2"),
                        QStringLiteral("6000"), QStringLiteral("0"), QStringLiteral("20.93")});
        run_minutes(*window, 3);
        window->move_cursor_to(150);
        QTest::mouseClick(window->rerun_B, Qt::LeftButton);
        enter(window->factor_rows[1].vlu_E, QStringLiteral("0.03"));
        run_minutes(*window, 3);
        QVERIFY(window->sim().controller().events().unsaved());
        const QByteArray lesson = exported_csv(*window, path("lesson_window.csv"));
        QCOMPARE(lesson.count('\n'), 1 + 301);

        window->save_answers.push_back(path("lesson1"));
        window->save_scenario_I->trigger();
        QVERIFY2(window->errors.isEmpty(), qPrintable(window->errors.join('\n')));
        const QByteArray script = contents(path("lesson1.txt"));
        QFile::remove(QDir::temp().filePath(QStringLiteral("lesson1.txt")));
        QFile::copy(path("lesson1.txt"), QDir::temp().filePath(QStringLiteral("lesson1.txt")));
        QVERIFY2(script.contains("at 0:00 set 15 4.567\n"), script.constData());
        QVERIFY2(script.contains("rerun 2:30\n"), script.constData());
        QVERIFY2(script.endsWith("run until 5:00\n"), script.constData());

        // tolvane-batch gives the same CSV.
        QProcess batch;
        batch.start(QStringLiteral(TOLVANE_BATCH_PATH), {QStringLiteral("--script"), path("lesson1.txt"),
                                                         QStringLiteral("--csv"), path("batch.csv")});
        QVERIFY(batch.waitForFinished(120000));
        QVERIFY2(batch.exitCode() == 0, batch.readAllStandardError().constData());
        QVERIFY(same_csv(contents(path("batch.csv")), lesson, QStringLiteral("lesson_batch")));

        // Played in a new window as the teacher presses RUN, so does the window.
        restore_standard_breathing(window->sim());
        window.reset();
        window = std::make_unique<scripted_main_F>();
        window->show();
        window->open_answers.push_back(path("lesson1.txt"));
        window->open_scenario_I->trigger();
        QVERIFY2(window->errors.isEmpty(), qPrintable(window->errors.join('\n')));
        QVERIFY(window->player().playing());
        for (int guard = 0; guard < 40 && window->player().playing(); ++guard)
            QTest::mouseClick(window->run_B, Qt::LeftButton);
        QVERIFY(!window->player().playing());
        QCOMPARE(window->sim().state().sim_time, 300);
        QVERIFY(same_csv(exported_csv(*window, path("played.csv")), lesson, QStringLiteral("lesson_played")));
        // Its events are marked as the lesson's were: the CO2 as typed, the
        // ventilator, the re-run and the CO2 entered at 2:30 (a field left
        // unchanged enters nothing, so nothing else is an event).
        QCOMPARE(int(window->sim().controller().events().current_branch().size()), 4);
    }

    void a_subject_load_and_reset_are_replayed()
    {
        QVERIFY(window->sim().save_subject(path("warm.sbj")).ok());
        window->open_answers.push_back(path("warm.sbj"));
        window->load_I->trigger();
        run_minutes(*window, 2);
        QTest::mouseClick(window->reset_B, Qt::LeftButton);
        enter(window->factor_rows[4].vlu_E, QStringLiteral("50"));  // work rate
        run_minutes(*window, 2);
        const QByteArray csv = exported_csv(*window, path("w.csv"));
        QVERIFY(window->save_scenario(path("load.txt")));
        const QByteArray script = contents(path("load.txt"));
        // The subject beside the script is named relative to it.
        QVERIFY2(script.contains("at 0:00 load warm.sbj\n"), script.constData());
        QVERIFY2(script.contains("at 2:00 reset\n"), script.constData());
        QProcess batch;
        batch.start(QStringLiteral(TOLVANE_BATCH_PATH),
                    {QStringLiteral("--script"), path("load.txt"), QStringLiteral("--csv"), path("b.csv")});
        QVERIFY(batch.waitForFinished(120000));
        QCOMPARE(batch.exitCode(), 0);
        QVERIFY(same_csv(contents(path("b.csv")), csv, QStringLiteral("load_batch")));
    }

    void value_entry_selects_takes_and_names_the_limit()
    {
        QLineEdit* o2 = window->factor_rows[0].vlu_E;
        // A click selects the whole text, so "6" replaces it.
        window->run_B->setFocus();
        QTest::mouseClick(o2, Qt::LeftButton, {}, QPoint(5, 5));
        QTest::qWait(20);
        QCOMPARE(o2->selectedText(), o2->text());
        QTest::keyClicks(o2, QStringLiteral("6"));
        QTest::keyClick(o2, Qt::Key_Tab);
        QCOMPARE(factor[factor_id::inspired_o2].value, 6.0f);
        // Enter takes a value as leaving the field does; a clamped one names its limit.
        enter(o2, QStringLiteral("206.93"));
        QCOMPARE(factor[factor_id::inspired_o2].value, 100.0f);
        QCOMPARE(o2->text(), QStringLiteral("100.00"));
        QCOMPARE(window->hint_M->toPlainText(),
                 QStringLiteral("Inspired O2 percentage: 206.93 is above 100; set to 100"));
        // Letters read as 0 keep that reading, and the hint line says so.
        enter(window->factor_rows[4].vlu_E, QStringLiteral("abc"));
        QCOMPARE(factor[factor_id::work_rate].value, 0.0f);
        QVERIFY2(window->hint_M->toPlainText().contains(QStringLiteral("\"abc\" is no number, read as 0")),
                 qPrintable(window->hint_M->toPlainText()));
        factor[factor_id::inspired_o2].value = 20.93f;
    }

    void discarding_a_run_with_events_asks()
    {
        // Nothing done: closing asks nothing.
        QCloseEvent quiet;
        QApplication::sendEvent(window.get(), &quiet);
        QVERIFY(quiet.isAccepted());
        QVERIFY(window->questions.isEmpty());
        enter(window->factor_rows[1].vlu_E, QStringLiteral("3"));
        run_minutes(*window, 1);
        window->answers.push_back(false);
        QCloseEvent refused;
        QApplication::sendEvent(window.get(), &refused);
        QVERIFY(!refused.isAccepted());
        QCOMPARE(window->questions.size(), 1);
        // Exporting keeps the run: no question after it.
        exported_csv(*window, path("kept.csv"));
        QCloseEvent after_export;
        QApplication::sendEvent(window.get(), &after_export);
        QVERIFY(after_export.isAccepted());
        QCOMPARE(window->questions.size(), 1);
        factor[factor_id::inspired_co2].value = 0.03f;
    }

    void a_subject_saved_without_extension_gets_sbj()
    {
        window->save_answers.push_back(path("lesson1"));
        window->save_I->trigger();
        QVERIFY(QFile::exists(path("lesson1.sbj")));
        QVERIFY(!QFile::exists(path("lesson1")));
    }

    void status_line_and_dialog_follow_the_breathing_circuit()
    {
        QVERIFY(window->breathing_L->text().contains(QStringLiteral("room air, natural ventilation")));
        respiration_ok(*window, 1, bag_state_id::rebreathe,
                       {QStringLiteral("12"), QStringLiteral("500"), QStringLiteral("0"),
                        QStringLiteral("6000"), QStringLiteral("0"), QStringLiteral("20.93")});
        run_minutes(*window, 3);
        const std::optional<bag_contents> bag = live_bag();
        QVERIFY(bag);
        QVERIFY2(bag->co2 > 2.0 && bag->co2 < 10.0, qPrintable(QString::number(bag->co2)));
        QVERIFY(bag->o2 < 20.0);
        // The respiration dialog's bag fields show the bag as it is now.
        {
            Trespiration_F dialog(window.get());
            dialog.FormActivate();
            QCOMPARE(dialog.bagc_E->text(), QString::asprintf("%.1f", bag->co2));
            QCOMPARE(dialog.bago_E->text(), QString::asprintf("%.1f", bag->o2));
            QCOMPARE(dialog.bagv_E->text(), QString::asprintf("%.1f", bag->volume));
        }
        const QString line = window->breathing_L->text();
        QVERIFY2(line.contains(QStringLiteral("rebreathing from the bag")), qPrintable(line));
        QVERIFY2(line.contains(QStringLiteral("CO2 %1 %").arg(bag->co2, 0, 'f', 1)), qPrintable(line));
        respiration_ok(*window, 0, bag_state_id::glottis_closed,
                       {QStringLiteral("12"), QStringLiteral("500"), QStringLiteral("5"), {}, {}, {}});
        QVERIFY2(window->breathing_L->text().contains(QStringLiteral("glottis closed")),
                 qPrintable(window->breathing_L->text()));
        QVERIFY(window->breathing_L->text().contains(QStringLiteral("ventilator rate 12.00 /min")));
    }

    void the_guide_is_shown_from_the_program_itself()
    {
        window->guide_I->trigger();
        QVERIFY(window->errors.isEmpty());
        QVERIFY(window->guide_F->isVisible());
        QTextDocument* document = window->guide_browser->document();
        QVERIFY(document->toPlainText().contains(QStringLiteral("RUN")));
        // Its pictures come with it.
        const QVariant picture =
            document->resource(QTextDocument::ImageResource, QUrl(QStringLiteral("qrc:/guide/start.png")));
        QVERIFY(picture.isValid());
        QVERIFY(!contents(QStringLiteral(":/guide/start.png")).isEmpty());
    }

    void a_subject_named_on_the_command_line_is_loaded()
    {
        enter(window->factor_rows[4].vlu_E, QStringLiteral("75"));
        QVERIFY(window->sim().save_subject(path("exercise.sbj")).ok());
        window->reset_B->setEnabled(true);
        factor[factor_id::work_rate].value = 0;
        QVERIFY(!window->open_from_command_line({QStringLiteral("tolvane"), QStringLiteral("--flag")}));
        QVERIFY(window->open_from_command_line({QStringLiteral("tolvane"), path("exercise.sbj")}));
        QCOMPARE(window->sim().subject_name(), path("exercise.sbj"));
        QCOMPARE(factor[factor_id::work_rate].value, 75.0f);
        QVERIFY(!window->open_from_command_line({QStringLiteral("tolvane"), path("missing.sbj")}));
        QCOMPARE(window->errors.size(), 1);
    }

    void a_resized_window_scales_the_layout_to_fit()
    {
        const QImage laid_out = surface_grab(*window);
        // A projector's 1920 x 1080: the plot gets more pixels, the same minutes.
        window->resize(1920, 1080);
        QTRY_VERIFY(window->stage->scaled());
        QCOMPARE(window->client_width(), 1014);
        QVERIFY2(window->stage->scale() > 1.4, qPrintable(QString::number(window->stage->scale())));
        QVERIFY(window->surface->width() * window->stage->scale() <= window->stage->width() + 1);
        QVERIFY(window->surface->height() * window->stage->scale() <= window->stage->height() + 1);
        QImage big = window->stage->grab().toImage().convertToFormat(QImage::Format_RGB32);
        // The plot's white area spans most of the window's width.
        int white = 0;
        for (int x = 0; x < big.width(); ++x)
            if (big.pixelColor(x, int(377 * window->stage->scale())) == QColor(Qt::white)) ++white;
        QVERIFY2(white > 1400, qPrintable(QString::number(white)));
        // A screen smaller than the laid-out window: it shrinks to fit and
        // the layout with it (1280 x 720 at 1.5 times is 853 x 480).
        window->resize(window->default_size());
        window->fit_to_screen();
        QVERIFY(window->minimumHeight() < 694);
        window->resize(853, 430);
        QTRY_VERIFY(window->stage->scale() < 0.7);
        QVERIFY(window->surface->width() * window->stage->scale() <= window->stage->width() + 1);
        QVERIFY(window->surface->height() * window->stage->scale() <= window->stage->height() + 1);
        // Back at the laid-out size, the window is as it was.
        window->resize(window->default_size());
        QTRY_VERIFY(!window->stage->scaled());
        QVERIFY(surface_grab(*window) == laid_out);
        // F11 toggles full screen.
        window->full_screen_I->trigger();
        QTRY_VERIFY(window->isFullScreen());
        window->full_screen_I->trigger();
        QTRY_VERIFY(!window->isFullScreen());
    }

    void the_views_stay_in_front_and_name_the_reference()
    {
        run_minutes(*window, 2);
        window->keep_reference_I->trigger();
        window->o2_curve_I->trigger();
        window->xy_plot_I->trigger();
        for (chart_window* view : {static_cast<chart_window*>(window->o2_curve_F),
                                   static_cast<chart_window*>(window->xy_plot_F)}) {
            // A tool window of the main window: kept in front of it.
            QCOMPARE(view->windowType(), Qt::Tool);
            QVERIFY(view->reference_L->isVisibleTo(view));
            QCOMPARE(view->reference_L->text(),
                     QStringLiteral("reference: standard subject (dashed on the main plot)"));
        }
        // The plot names the reference in a legend at its top right.
        const QImage plot = surface_grab(*window);
        int dark = 0;
        for (int x = window->client_width() - 400; x < window->client_width() - 164; ++x)
            for (int y = 2; y < 14; ++y)
                if (plot.pixelColor(x, y).lightness() < 100) ++dark;
        QVERIFY2(dark > 100, qPrintable(QString::number(dark)));
        window->clear_reference_I->trigger();
        QVERIFY(!window->o2_curve_F->reference_L->isVisibleTo(window->o2_curve_F));
    }

    void whole_run_fits_every_minute_and_goes_back()
    {
        run_minutes(*window, 14);  // more than the page's 11.5 minutes
        const QImage page = surface_grab(*window);
        window->whole_run_I->trigger();
        QVERIFY(window->whole_run());
        const QImage whole = surface_grab(*window);
        QVERIFY(whole != page);
        // The run's first second lies at the plot's left edge, its last at the right.
        QCOMPARE(whole_run_x(window->client_width(), window->sim().session().logged_seconds(), 0),
                 double(plot_time_origin_x));
        QCOMPARE(whole_run_x(window->client_width(), window->sim().session().logged_seconds(),
                             window->sim().session().logged_seconds() - 1),
                 double(window->client_width() - 161));
        // A click places the cursor at the time under it.
        QTest::mouseClick(
            window->surface, Qt::LeftButton, {},
            QPoint(int(whole_run_x(window->client_width(), window->sim().session().logged_seconds(), 300)),
                   200));
        QVERIFY(std::abs(window->sim().state().cursor_time - 300) <= 2);
        window->whole_run_I->trigger();
        QVERIFY(!window->whole_run());
        QVERIFY(window->sim().state().cursor_time >= window->sim().state().win_start);
    }
};

QTEST_MAIN(classroom_test)
#include "classroom_test.moc"
