// SPDX-License-Identifier: Apache-2.0
// What the main window adds to its laid-out menus: the shortcuts (and that
// typing in a value field is never one), Export data and Export picture with
// their failures, the reference run in plot, panel and report through RE-RUN,
// RESET and Load, and the user guide opened through an injectable viewer.
#include <QAction>
#include <QComboBox>
#include <QDir>
#include <QFile>
#include <QImage>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QTemporaryDir>
#include <QTextBrowser>
#include <QUrl>
#include <QtTest>

#include <deque>
#include <memory>

#include "history_csv.h"
#include "main_window.h"
#include "scripted_main_window.h"
#include "plot_legend.h"
#include "slot_ids.h"
#include "tolvane_model.h"
#include "trend_plot.h"

namespace {

QByteArray contents(const QString& path)
{
    QFile f(path);
    return f.open(QIODevice::ReadOnly) ? f.readAll() : QByteArray();
}

}  // namespace

class main_window_additions_test : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<scripted_main_F> window;
    std::unique_ptr<QTemporaryDir> dir;

    QString path(const char* name) const { return dir->filePath(QString::fromLatin1(name)); }
    void run_once() { QTest::mouseClick(window->run_B, Qt::LeftButton); }
    QImage plot_image() { return window->surface->grab().toImage().convertToFormat(QImage::Format_RGB32); }
    void set_factor(int row, const QString& text)
    {
        QLineEdit* field = window->factor_rows[static_cast<size_t>(row)].vlu_E;
        field->setFocus(Qt::OtherFocusReason);
        field->setText(text);
        window->run_B->setFocus(Qt::TabFocusReason);
    }
    // Files in the folder other than those named.
    QStringList leftovers(const QStringList& expected) const
    {
        QStringList found = QDir(dir->path()).entryList(QDir::Files | QDir::Hidden);
        for (const QString& e : expected) found.removeAll(e);
        return found;
    }

private slots:
    void init()
    {
        dir = std::make_unique<QTemporaryDir>();
        window = std::make_unique<scripted_main_F>();
        window->resize(window->minimumSize());
        window->show();
        window->activateWindow();
        QVERIFY(QTest::qWaitForWindowActive(window.get()));
    }
    void cleanup()
    {
        window.reset();
        dir.reset();
    }

    void shortcuts_are_set_and_shown_in_the_menus()
    {
        QCOMPARE(window->load_I->shortcut(), QKeySequence(QStringLiteral("Ctrl+O")));
        QCOMPARE(window->save_I->shortcut(), QKeySequence(QStringLiteral("Ctrl+S")));
        QCOMPARE(window->print_I->shortcut(), QKeySequence(QStringLiteral("Ctrl+P")));
        QCOMPARE(window->exit_I->shortcut(), QKeySequence(QStringLiteral("Ctrl+Q")));
        QCOMPARE(window->export_data_I->shortcut(), QKeySequence(QStringLiteral("Ctrl+E")));
        QCOMPARE(window->run_key_I->shortcut(), QKeySequence(Qt::Key_F5));
        QVERIFY(window->run_B->toolTip().contains(QStringLiteral("F5")));
        // The laid-out texts keep their own access keys.
        QCOMPARE(window->load_I->text(), QStringLiteral("&Load ..."));
        // Ctrl+E from anywhere in the window asks where to export.
        QTest::keyClick(window.get(), Qt::Key_E, Qt::ControlModifier);
        QCOMPARE(window->save_titles, QStringList{QStringLiteral("Export data")});
    }

    // Digits and letters typed in a value field stay in it; F5 then enters the
    // value, as a click on RUN would, before the run.
    void typing_in_a_value_field_is_never_a_shortcut()
    {
        QLineEdit* field = window->factor_rows[0].vlu_E;
        field->setFocus(Qt::MouseFocusReason);
        field->selectAll();
        QTest::keyClicks(field, QStringLiteral("15sope"));
        QCOMPARE(field->text(), QStringLiteral("15sope"));
        field->selectAll();
        QTest::keyClicks(field, QStringLiteral("15"));
        QCOMPARE(field->text(), QStringLiteral("15"));
        QVERIFY(window->save_titles.isEmpty());
        QCOMPARE(window->sim().state().sim_time, 0);
        QTest::keyClick(field, Qt::Key_F5);
        QCOMPARE(window->sim().state().sim_time, 60);
        QCOMPARE(factor[factor_id::inspired_o2].value, 15.0f);
        // The laid-out Alt keys keep working from a value field.
        field->setFocus(Qt::MouseFocusReason);
        QTest::keyClick(field, Qt::Key_Left, Qt::AltModifier);
        QCOMPARE(window->sim().state().cursor_time, 59);
        QVERIFY(window->sim().state().cursor_pinned);
    }

    void export_data_writes_the_batch_csv_of_every_second()
    {
        run_once();
        run_once();
        window->save_answers.push_back(path("run.csv"));
        window->export_data_I->trigger();
        QVERIFY2(window->errors.isEmpty(), qPrintable(window->errors.join('\n')));
        const run_state& state = window->sim().state();
        QCOMPARE(contents(path("run.csv")), history_csv_header() + history_csv_rows(state, 0, 120));
        QCOMPARE(leftovers({QStringLiteral("run.csv")}), QStringList());
        // RE-RUN from 1:30 and run on: the abandoned seconds are gone.
        window->sim().mouse_down(plot_time_origin_x + 90, 200);
        QTest::mouseClick(window->rerun_B, Qt::LeftButton);
        set_factor(0, QStringLiteral("12"));
        run_once();
        window->save_answers.push_back(path("run.csv"));
        window->export_data_I->trigger();
        QCOMPARE(window->questions, QStringList{QStringLiteral("file exists, overwrite?")});
        QCOMPARE(contents(path("run.csv")), history_csv_header() + history_csv_rows(state, 0, 120));
        QCOMPARE(window->sim().session().logged_seconds(), 121);
        // Cancel to the question leaves the file as it is.
        run_once();
        window->answers.push_back(false);
        window->save_answers.push_back(path("run.csv"));
        window->export_data_I->trigger();
        QCOMPARE(contents(path("run.csv")), history_csv_header() + history_csv_rows(state, 0, 120));
    }

    void export_failures_name_the_path_and_the_reason()
    {
        run_once();
        const QString missing = path("no/such/folder/run.csv");
        window->save_answers.push_back(missing);
        window->export_data_I->trigger();
        QCOMPARE(window->errors.size(), 1);
        QVERIFY(window->errors[0].contains(missing));
        QVERIFY2(window->errors[0].contains(QStringLiteral("No such file or directory")),
                 qPrintable(window->errors[0]));
        // A picture name of another kind is refused.
        window->save_answers.push_back(path("plot.jpg"));
        window->export_picture_I->trigger();
        QCOMPARE(window->errors.size(), 2);
        QVERIFY(window->errors[1].contains(QStringLiteral(".svg or .png")));
        // A read-only file stays as it was.
        QFile readonly(path("kept.csv"));
        QVERIFY(readonly.open(QIODevice::WriteOnly));
        readonly.write("old");
        readonly.close();
        readonly.setPermissions(QFileDevice::ReadOwner);
        window->save_answers.push_back(path("kept.csv"));
        window->export_data_I->trigger();
        if (QFileInfo(path("kept.csv")).isWritable()) QSKIP("root writes read-only files");
        QCOMPARE(window->errors.size(), 3);
        QVERIFY(window->errors[2].contains(path("kept.csv")));
        QCOMPARE(contents(path("kept.csv")), QByteArray("old"));
        QCOMPARE(leftovers({QStringLiteral("kept.csv")}), QStringList());
    }

    void export_picture_as_svg_or_png_by_the_name()
    {
        run_once();
        window->save_answers.push_back(path("plot.svg"));
        window->save_answers.push_back(path("plot.PNG"));
        window->export_picture_I->trigger();
        window->export_picture_I->trigger();
        QVERIFY2(window->errors.isEmpty(), qPrintable(window->errors.join('\n')));
        const QByteArray svg = contents(path("plot.svg"));
        QVERIFY(svg.contains("<svg"));
        QVERIFY(svg.contains("minutes"));  // text stays text
        QImage png;
        QVERIFY(png.load(path("plot.PNG")));
        const double twice = 2.0 * window->devicePixelRatioF();
        // The plot area and under it the band that names the traces.
        QCOMPARE(png.size(), QSize(qRound(window->client_width() * twice),
                                   qRound((383 + trace_legend_height(false)) * twice)));
        // Same picture as on the screen: the grid line at y = 154 is black.
        QCOMPARE(png.pixelColor(qRound(410 * twice), qRound(154 * twice)), QColor(Qt::black));
        QCOMPARE(leftovers({QStringLiteral("plot.svg"), QStringLiteral("plot.PNG")}), QStringList());
    }

    // Standard subject kept, then 12 % O2: the plot adds the reference's
    // traces in the rows' colours and nothing else; the panel shows the
    // reference's values; RE-RUN, RESET and Load keep it; Clear drops it.
    void reference_run_survives_rerun_reset_and_load()
    {
        QVERIFY(!window->clear_reference_I->isEnabled());
        for (int i = 0; i < 3; ++i) run_once();
        window->keep_reference_I->trigger();
        QVERIFY(window->reference().has_value());
        QCOMPARE(window->reference()->seconds, 181);
        QVERIFY(window->clear_reference_I->isEnabled());
        const float kept_pao2 = window->reference()->samples[180 * logged_displays + 15];

        QTest::mouseClick(window->reset_B, Qt::LeftButton);
        set_factor(0, QStringLiteral("12"));
        for (int i = 0; i < 3; ++i) run_once();
        QVERIFY(window->reference().has_value());
        const QImage with = plot_image();
        // The panel: the reference's value at the panel time, in grey.
        QLabel* beside = window->reference_L[0];
        QVERIFY(beside->isVisible());
        QCOMPARE(beside->text(), QString::asprintf("%.2f", double(kept_pao2)));
        QVERIFY(beside->geometry().right() < window->display_P->width());
        QVERIFY(beside->font().pixelSize() < window->display_rows[0].vlu_E->font().pixelSize());
        // Another variable in the row: the reference's value of that variable.
        window->display_rows[0].dsn_CB->setCurrentIndex(35);  // heart rate
        QCOMPARE(beside->text(),
                 QString::asprintf("%.2f", double(window->reference()->samples[180 * logged_displays + 35])));
        // The widest unit ("% resting value") and a wide value: the value
        // stays clear of the unit text and whole.
        window->display_rows[0].dsn_CB->setCurrentIndex(36);
        QLabel* unit = window->display_rows[0].unit_L;
        QVERIFY(beside->x() >= unit->x() + unit->fontMetrics().horizontalAdvance(unit->text()));
        QVERIFY(beside->fontMetrics().horizontalAdvance(beside->text()) <= beside->width());
        window->display_rows[0].dsn_CB->setCurrentIndex(15);

        window->clear_reference_I->trigger();
        QVERIFY(!window->reference().has_value());
        QVERIFY(!beside->isVisible());
        const QImage without = plot_image();
        // Every pixel the reference adds is in a row colour, and it adds many.
        int added = 0;
        for (int y = 0; y < 383; ++y)
            for (int x = 0; x < with.width(); ++x)
                if (with.pixel(x, y) != without.pixel(x, y)) {
                    // The legend naming the reference, above the scales at the right.
                    if (y < 16 && x > with.width() - 520) continue;
                    ++added;
                    bool row_colour = false;
                    for (int k = 0; k < 8; ++k) row_colour |= with.pixelColor(x, y) == trace_colour(k);
                    QVERIFY2(row_colour, qPrintable(QStringLiteral("%1,%2").arg(x).arg(y)));
                }
        QVERIFY(added > 300);

        // The low-O2 run kept: RE-RUN and Load leave it; the report names it.
        window->keep_reference_I->trigger();
        const float low_pao2 = window->reference()->samples[180 * logged_displays + 15];
        QVERIFY(low_pao2 < kept_pao2 - 20);
        window->sim().mouse_down(plot_time_origin_x + 90, 200);
        QTest::mouseClick(window->rerun_B, Qt::LeftButton);
        QCOMPARE(window->reference()->seconds, 181);
        QVERIFY(window->sim().save_subject(path("low.sbj")).ok());
        window->open_answers.push_back(path("low.sbj"));
        window->load_I->trigger();
        QVERIFY2(window->errors.isEmpty(), qPrintable(window->errors.join('\n')));
        QCOMPARE(window->sim().state().sim_time, 0);
        QCOMPARE(window->reference()->seconds, 181);
        QCOMPARE(window->report_input_now().reference_name, QStringLiteral("standard subject"));
        QCOMPARE(window->report_input_now().reference_value(15, 180), double(low_pao2));
        window->clear_reference_I->trigger();
        QVERIFY(window->report_input_now().reference_name.isEmpty());
        factor[factor_id::inspired_o2].value = 20.93f;
    }

    void help_shows_the_guide_without_the_desktop_viewer()
    {
        window->guide_I->trigger();
        QVERIFY(window->opened.isEmpty());
        QVERIFY(window->errors.isEmpty());
        QVERIFY(window->guide_browser->source().toString().endsWith(QStringLiteral("guide.md")));
    }
};

QTEST_MAIN(main_window_additions_test)
#include "main_window_additions_test.moc"
