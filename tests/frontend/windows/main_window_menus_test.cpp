// SPDX-License-Identifier: Apache-2.0
// The main window's Load and Save commands through scripted file dialogs and
// questions, and the View and Respiration menus with their modal windows
// closed by a timer (so no test waits for a user).
#include <QAction>
#include <QComboBox>
#include <QLabel>
#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QLineEdit>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QTimer>
#include <QtTest>

#include <cstring>
#include <deque>
#include <functional>
#include <memory>
#include <vector>

#include "about_window.h"
#include "main_window.h"
#include "respiration_dialog.h"
#include "tolvane_model.h"

namespace {

// Tmain_F whose message boxes, questions and file dialogs answer from a script.
class scripted_main_F : public Tmain_F {
public:
    int beeps = 0;
    int redraws = 0;
    QStringList warnings, errors, informations, messages, questions;
    std::deque<bool> answers;                                       // default Cancel
    std::deque<std::optional<QString>> open_answers, save_answers;  // default cancel
    std::vector<file_dialog_request> open_requests, save_requests;

    void beep() override { ++beeps; }
    void show_warning(const QString& text) override { warnings << text; }
    void show_error(const QString& text) override { errors << text; }
    void show_information(const QString& text) override { informations << text; }
    void show_message(const QString& text) override { messages << text; }
    bool ask_ok_cancel(const QString& text) override
    {
        questions << text;
        if (answers.empty()) return false;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<QString> open_file_dialog(const file_dialog_request& r) override
    {
        return next(open_requests, open_answers, r);
    }
    std::optional<QString> save_file_dialog(const file_dialog_request& r) override
    {
        return next(save_requests, save_answers, r);
    }
    void redraw_main() override
    {
        ++redraws;
        Tmain_F::redraw_main();
    }

private:
    static std::optional<QString> next(std::vector<file_dialog_request>& requests,
                                       std::deque<std::optional<QString>>& answers,
                                       const file_dialog_request& r)
    {
        requests.push_back(r);
        // Copying the QString out (not the optional) keeps g++ -O2 free of a
        // false maybe-uninitialized warning.
        if (answers.empty() || !answers.front().has_value()) {
            if (!answers.empty()) answers.pop_front();
            return std::nullopt;
        }
        const QString path = *answers.front();
        answers.pop_front();
        return path;
    }
};

const QString report_filter = QStringLiteral("Report Files (*.sbj *.SBJ);;Text files (*.txt *.TXT)");

// Runs action once the next modal window is up, then lets exec() return.
void when_modal(std::function<void(QWidget*)> action)
{
    QTimer::singleShot(0, [action] {
        QWidget* modal = QApplication::activeModalWidget();
        QVERIFY(modal != nullptr);
        action(modal);
    });
}

}  // namespace

class main_window_menus_test : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<scripted_main_F> window;
    std::unique_ptr<Tabout_F> about;
    std::unique_ptr<Trespiration_F> respiration;
    QTemporaryDir dir;

    QString path(const char* name) const { return dir.filePath(QString::fromLatin1(name)); }
    void run_once() { QTest::mouseClick(window->run_B, Qt::LeftButton); }
    static QByteArray contents(const QString& p)
    {
        QFile f(p);
        return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
    }
    static void write(const QString& p, const QByteArray& bytes)
    {
        QFile f(p);
        QVERIFY(f.open(QIODevice::WriteOnly));
        f.write(bytes);
    }
    // A cancelled or unreadable load keeps the run, caption and subject name.
    void expect_run_kept(const QString& caption)
    {
        QCOMPARE(window->sim().state().sim_time, 60);
        QVERIFY(!window->sim().state().credits_shown);
        QVERIFY(window->rerun_B->isEnabled());
        QVERIFY(window->print_I->isEnabled());
        QCOMPARE(window->windowTitle(), caption);
        QCOMPARE(window->sim().subject_name(), QString());
        QCOMPARE(window->redraws, 0);
    }

    // The subject was restarted: time 0, only RUN usable, credits due.
    void expect_restarted()
    {
        QCOMPARE(window->sim().state().sim_time, 0);
        QVERIFY(window->sim().state().credits_shown);
        QVERIFY(window->run_B->isEnabled());
        QVERIFY(!window->rerun_B->isEnabled());
        QVERIFY(!window->print_I->isEnabled());
        QVERIFY(window->tolvane_I->isVisible());
    }

private slots:
    void initTestCase() { QVERIFY(dir.isValid()); }

    void init()
    {
        window = std::make_unique<scripted_main_F>();
        about = std::make_unique<Tabout_F>(window.get());
        respiration = std::make_unique<Trespiration_F>(window.get());
        window->resize(window->minimumSize());
        window->show();
        QVERIFY(QTest::qWaitForWindowExposed(window.get()));
    }

    void cleanup()
    {
        respiration.reset();
        about.reset();
        window.reset();
        // The next window starts from the program's own standard subject.
        *bag_index = bag_state_id::standard;
        *ventilation = 1;
        bager(2, nullptr, nullptr);
    }

    void load_cancelled_keeps_the_run()
    {
        run_once();
        QCOMPARE(window->sim().state().sim_time, 60);
        const QString caption = window->windowTitle();
        window->redraws = 0;
        window->load_I->trigger();
        QCOMPARE(window->open_requests.size(), std::size_t(1));
        const file_dialog_request& r = window->open_requests[0];
        QCOMPARE(r.title, QStringLiteral("Select new subject to load"));
        QCOMPARE(r.file_name, QStringLiteral("*.sbj"));
        QCOMPARE(r.filter, report_filter);
        QCOMPARE(r.default_extension, QStringLiteral("sbj"));
        QVERIFY(window->errors.isEmpty());
        expect_run_kept(caption);
    }

    void load_unreadable_file_reports_and_keeps_the_run()
    {
        run_once();
        const QString caption = window->windowTitle();
        const QString missing = path("no such subject.sbj");
        window->open_answers.push_back(missing);
        window->redraws = 0;
        window->load_I->trigger();
        QCOMPARE(window->errors, QStringList{QStringLiteral("Sorry, cannot open subject file.")});
        expect_run_kept(caption);
    }

    void load_invalid_first_line_changes_nothing()
    {
        const QString good = path("good.sbj");
        window->save_answers.push_back(good);
        window->save_I->trigger();
        window->open_answers.push_back(good);
        window->load_I->trigger();
        QVERIFY(window->errors.isEmpty());
        run_once();
        const float s_weight_before = s_weight;

        const QString bad = path("bad.sbj");
        write(bad, "// #002 not a subject\n170 70 40 1\n");
        window->open_answers.push_back(bad);
        window->redraws = 0;
        window->load_I->trigger();
        QCOMPARE(window->errors, QStringList{QStringLiteral("Invalid subject file format.")});
        QCOMPARE(window->windowTitle(), QStringLiteral("Tolvane    ") + good);
        QCOMPARE(window->sim().subject_name(), good);
        QCOMPARE(window->sim().state().sim_time, 60);  // not restarted
        QCOMPARE(s_weight, s_weight_before);
        QCOMPARE(window->redraws, 0);
        // A first line shorter than seven characters is refused the same way.
        write(bad, "// #1\n");
        window->open_answers.push_back(bad);
        window->load_I->trigger();
        QCOMPARE(window->errors.size(), 2);
        QCOMPARE(window->sim().state().sim_time, 60);
    }

    void save_proposes_subject_sbj_and_asks_before_overwriting()
    {
        const QString target = path("overwrite.sbj");
        write(target, "old contents");
        // Refused: the file keeps its contents.
        window->save_answers.push_back(target);
        window->save_I->trigger();
        const file_dialog_request& r = window->save_requests.at(0);
        QCOMPARE(r.title, QStringLiteral("Enter subject file name"));
        QCOMPARE(r.file_name, QStringLiteral("subject.sbj"));
        QCOMPARE(r.filter, report_filter);
        QCOMPARE(r.default_extension, QString());
        QCOMPARE(window->questions, QStringList{QStringLiteral("file exists, overwrite?")});
        QCOMPARE(contents(target), QByteArray("old contents"));
        // Accepted: the subject replaces it.
        window->save_answers.push_back(target);
        window->answers.push_back(true);
        window->save_I->trigger();
        QCOMPARE(window->questions.size(), 2);
        QVERIFY(contents(target).startsWith("// #001 " + target.toUtf8()));
        QVERIFY(window->errors.isEmpty());
        // Saving changes neither the caption nor the subject name; the next
        // save proposes subject.sbj again.
        QCOMPARE(window->windowTitle(), QStringLiteral("Tolvane"));
        QCOMPARE(window->sim().subject_name(), QString());
        window->save_I->trigger();  // cancelled
        QCOMPARE(window->save_requests.at(2).file_name, QStringLiteral("subject.sbj"));
        // A new file is written without a question.
        window->save_answers.push_back(path("fresh.sbj"));
        window->save_I->trigger();
        QCOMPARE(window->questions.size(), 2);
        QVERIFY(QFile::exists(path("fresh.sbj")));
    }

    void save_into_a_missing_folder_is_reported()
    {
        window->save_answers.push_back(path("no/such/folder/x.sbj"));
        window->save_I->trigger();
        QCOMPARE(window->errors, QStringList{QStringLiteral("Sorry, cannot open subject file.")});
    }

    void saved_subject_loads_back_with_caption_and_name()
    {
        const QString file = path("round trip.sbj");
        factor[factor_id::haemoglobin].value = 9.5f;  // haemoglobin of the live subject
        window->save_answers.push_back(file);
        window->save_I->trigger();
        run_once();
        window->open_answers.push_back(file);
        window->load_I->trigger();
        QVERIFY(window->errors.isEmpty());
        QCOMPARE(window->windowTitle(), QStringLiteral("Tolvane    ") + file);
        QCOMPARE(window->sim().subject_name(), file);
        expect_restarted();
        QCOMPARE(factor[factor_id::haemoglobin].value, 9.5f);
        // The standard subject of the program comes back for the next tests.
        s_factor[factor_id::haemoglobin] = 14.8f;
    }

    void list_windows_then_about_through_the_menus()
    {
        int list_height = 0, about_height = 0;
        bool about_scroll = true;
        when_modal([&](QWidget* modal) {
            QCOMPARE(modal, static_cast<QWidget*>(about_F));
            QCOMPARE(modal->windowTitle(), QStringLiteral("Tolvane Display Variables"));
            list_height = about_F->window_height();
            about_F->okay_B->click();
        });
        window->display_I->trigger();
        QCOMPARE(list_height, 672);
        when_modal([&](QWidget*) {
            QCOMPARE(about_F->windowTitle(), QStringLiteral("Tolvane Subject Factors"));
            list_height = about_F->window_height();
            about_F->okay_B->click();
        });
        window->factor_I->trigger();
        QCOMPARE(list_height, 650);
        when_modal([&](QWidget*) {
            about_height = about_F->window_height();
            about_scroll = about_F->text_M->verticalScrollBarPolicy() != Qt::ScrollBarAlwaysOff;
            about_F->okay_B->click();
        });
        window->about_I->trigger();
        QCOMPARE(about_height, 682);
        QVERIFY(!about_scroll);
        QCOMPARE(about_F->windowTitle(), QStringLiteral("Tolvane  About"));
    }

    void artificial_ventilation_through_the_menu_changes_the_next_run()
    {
        when_modal([](QWidget* modal) {
            QCOMPARE(modal, static_cast<QWidget*>(respiration_F));
            respiration_F->artificial_RB->click();
            respiration_F->rrate_E->setText(QStringLiteral("24"));
            respiration_F->tidal_E->setText(QStringLiteral("800"));
            respiration_F->ok_B->click();
        });
        window->respiration_I->trigger();
        QCOMPARE(
            window->warnings,
            QStringList{QStringLiteral("Respiration features not yet sensibly implemented.  Jul 22 2013")});
        QCOMPARE(*ventilation, 0);
        run_once();
        QCOMPARE(window->sim().state().sim_time, 60);
        QVERIFY(qAbs(display[display_id::respiratory_rate].value - 24.0f) < 0.01f);
        QVERIFY(qAbs(display[display_id::tidal_volume].value - 800.0f) < 0.5f);
    }

    // RESET after a ventilator and a rebreathing bag: the dialog shows natural
    // ventilation and the standard bag state again.
    void reset_shows_the_standard_circuit_in_the_dialog()
    {
        when_modal([](QWidget*) {
            respiration_F->artificial_RB->click();
            respiration_F->bag_RB[2]->click();  // rebreathe from bag
            respiration_F->ok_B->click();
        });
        window->respiration_I->trigger();
        QCOMPARE(*ventilation, 0);
        QCOMPARE(*bag_index, bag_state_id::rebreathe);
        run_once();
        QTest::mouseClick(window->reset_B, Qt::LeftButton);
        QCOMPARE(*ventilation, 1);
        QCOMPARE(*bag_index, bag_state_id::standard);
        bool natural = false, standard = false;
        when_modal([&](QWidget*) {
            natural = respiration_F->natural_RB->isChecked();
            standard = respiration_F->bag_RB[4]->isChecked();
            const QByteArray shots = qgetenv("TOLVANE_SCREENSHOT_DIR");
            if (!shots.isEmpty())
                respiration_F->grab().save(QDir(QString::fromLocal8Bit(shots))
                                               .filePath(QStringLiteral("respiration_after_reset.png")));
            respiration_F->cancel_B->click();
        });
        window->respiration_I->trigger();
        QVERIFY(natural);
        QVERIFY(standard);
    }

    // The window path of RE-RUN: a ventilator set in the dialog, three RUNs,
    // the cursor placed at 1:15 and the RE-RUN button, then RUN on: the
    // seconds after 1:15 are those of the first run, bit for bit.
    void rerun_button_repeats_the_run_exactly()
    {
        when_modal([](QWidget*) {
            respiration_F->artificial_RB->click();
            respiration_F->rrate_E->setText(QStringLiteral("14"));
            respiration_F->tidal_E->setText(QStringLiteral("700"));
            respiration_F->ok_B->click();
        });
        window->respiration_I->trigger();
        for (int minute = 0; minute < 3; ++minute) run_once();
        QCOMPARE(window->sim().state().sim_time, 180);
        std::vector<float> first;
        for (int t = 76; t <= 180; ++t)
            for (int row = 0; row < TOLVANE_HISTORY_ROWS; ++row) first.push_back(history[row][t]);
        window->sim().mouse_down(160 + 75 - window->sim().state().win_start, 200);
        QCOMPARE(window->sim().state().cursor_time, 75);
        QTest::mouseClick(window->rerun_B, Qt::LeftButton);
        QCOMPARE(window->sim().state().sim_time, 75);
        run_once();
        run_once();
        QCOMPARE(window->sim().state().sim_time, 180);
        std::vector<float> again;
        for (int t = 76; t <= 180; ++t)
            for (int row = 0; row < TOLVANE_HISTORY_ROWS; ++row) again.push_back(history[row][t]);
        QVERIFY(std::memcmp(first.data(), again.data(), first.size() * sizeof(float)) == 0);
    }

    void teaching_subject_loads_with_its_rows_and_runs()
    {
        const QString file = QFileInfo(QString::fromUtf8(__FILE__))
                                 .dir()
                                 .filePath(QStringLiteral("../../../subjects/altitude_450mmHg.sbj"));
        window->open_answers.push_back(file);
        window->load_I->trigger();
        QVERIFY(window->errors.isEmpty());
        QCOMPARE(window->sim().selection().factor_sel[0], 25);
        QCOMPARE(window->factor_rows[0].dsn_CB->currentIndex(), 25);
        QCOMPARE(window->factor_rows[0].vlu_E->text().toDouble(), 450.0);
        for (int minute = 0; minute < 5; ++minute) run_once();
        QVERIFY(window->warnings.isEmpty());
        QCOMPARE(window->sim().state().sim_time, 300);
        QVERIFY(display[display_id::arterial_po2].value < 60.0f);  // arterial PO2: hypoxaemia at altitude
        const QByteArray shots = qgetenv("TOLVANE_SCREENSHOT_DIR");
        if (!shots.isEmpty())
            window->grab().save(
                QDir(QString::fromLocal8Bit(shots)).filePath(QStringLiteral("main_altitude.png")));
        // Restore the program's standard subject for the next tests.
        s_factor[factor_id::barometric_pressure] = 760;
    }

    void respiration_dialog_end_to_end_with_the_real_warning_box()
    {
        // A plain main window: its warning is a real message box over the
        // dialog. A polling timer answers whatever modal window is up.
        respiration.reset();
        about.reset();
        window.reset();
        Tmain_F plain;
        Trespiration_F dialog(&plain);
        plain.show();
        QStringList seen;
        QTimer poll;
        poll.setInterval(10);
        QObject::connect(&poll, &QTimer::timeout, [&] {
            QWidget* modal = QApplication::activeModalWidget();
            if (auto* box = qobject_cast<QMessageBox*>(modal)) {
                seen << box->text();
                box->button(QMessageBox::Ok)->click();
            } else if (modal == &dialog && !seen.isEmpty()) {
                seen << dialog.windowTitle();
                dialog.bag_RB[0]->click();
                dialog.ok_B->click();
                poll.stop();
            }
        });
        poll.start();
        plain.respiration_I->trigger();
        QCOMPARE(seen, (QStringList{
                           QStringLiteral("Respiration features not yet sensibly implemented.  Jul 22 2013"),
                           QStringLiteral("Respiration")}));
        QCOMPARE(*bag_index, bag_state_id::glottis_closed);
        QCOMPARE(dialog.result(), int(QDialog::Accepted));
    }

    void bag_volume_set_in_the_dialog_shows_in_its_factor_row()
    {
        // Row 0 shows the bag volume; a focus loss after the dialog must not
        // write the old text back.
        window->factor_rows[0].dsn_CB->setCurrentIndex(4);
        QCOMPARE(window->sim().selection().factor_sel[0], 4);
        when_modal([](QWidget*) {
            respiration_F->bag_RB[1]->click();
            respiration_F->bagv_E->setText(QStringLiteral("2500"));
            respiration_F->ok_B->click();
        });
        window->respiration_I->trigger();
        QCOMPARE(bag_vol->value, 2500.0f);
        QCOMPARE(window->factor_rows[0].vlu_E->text().toDouble(), 2500.0);
    }
};

QTEST_MAIN(main_window_menus_test)
#include "main_window_menus_test.moc"
