// SPDX-License-Identifier: Apache-2.0
// The two teaching views as windows: their place in the View menu, staying
// open beside the main window, following runs, the cursor and the units, the
// X-Y choosers and fit toggle, and the picture export with its failures.
#include <QAction>
#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QFile>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QRadioButton>
#include <QTemporaryDir>
#include <QtTest>

#include <deque>

#include "main_window.h"
#include "o2_curve_window.h"
#include "slot_ids.h"
#include "tolvane_model.h"
#include "trend_plot.h"
#include "xy_plot.h"
#include "xy_plot_window.h"

namespace {

// Tmain_F whose error boxes and save dialogs answer from a script.
class scripted_main_F : public Tmain_F {
public:
    QStringList errors;
    std::deque<QString> save_answers;  // an empty text cancels
    std::vector<file_dialog_request> save_requests;
    void show_error(const QString& text) override { errors << text; }
    void show_warning(const QString& text) override { errors << text; }
    std::optional<QString> save_file_dialog(const file_dialog_request& r) override
    {
        save_requests.push_back(r);
        if (save_answers.empty()) return std::nullopt;
        const QString answer = save_answers.front();
        save_answers.pop_front();
        if (answer.isEmpty()) return std::nullopt;
        return answer;
    }
};

QStringList view_items(Tmain_F& window)
{
    QStringList texts;
    for (QAction* top : window.menuBar()->actions())
        if (top->text() == QStringLiteral("&View"))
            for (QAction* item : top->menu()->actions()) texts << (item->isSeparator() ? "-" : item->text());
    return texts;
}

}  // namespace

class teaching_views_test : public QObject {
    Q_OBJECT

private:
    std::unique_ptr<scripted_main_F> window;

private slots:
    void init()
    {
        window = std::make_unique<scripted_main_F>();
        window->show();
    }
    void cleanup()
    {
        window->trad_RB->click();  // the catalogue is shared: back to mm Hg
        window.reset();
    }

    void view_items_come_after_the_specified_ones()
    {
        const QStringList items = view_items(*window);
        QVERIFY(items.size() >= 7);
        QCOMPARE(items.mid(0, 4),
                 (QStringList{"&Display Variables ...", "&Factor List ...", "-", "&About ..."}));
        // After the reference items; the classroom items follow them.
        const qsizetype at = items.indexOf(QStringLiteral("O2 dissociation curve"));
        QVERIFY(at > items.indexOf(QStringLiteral("&Clear reference")));
        QCOMPARE(items.mid(at - 1, 3),
                 (QStringList{"-", "O2 dissociation curve", QStringLiteral("X\u2013Y plot")}));
    }

    void o2_curve_stays_open_beside_the_main_window_and_follows_it()
    {
        window->o2_curve_I->trigger();
        To2curve_F* curve = window->o2_curve_F;
        QVERIFY(curve);
        QVERIFY(curve->isVisible());
        QVERIFY(!curve->isModal());
        QVERIFY(curve->isWindow());
        QCOMPARE(QApplication::activeModalWidget(), nullptr);
        QCOMPARE(curve->view().time, 0);

        // A run moves it on; the main window goes on working with it open.
        window->run_B->click();
        window->run_B->click();
        QCOMPARE(curve->view().time, 120);
        const float po2_at_120 = curve->view().arterial.po2;
        QCOMPARE(po2_at_120, history[display_id::arterial_po2][120]);

        // The cursor in the past: the state at the cursor.
        window->sim().cursor_key(cursor_direction::left, true);
        QCOMPARE(curve->view().time, 60);
        QCOMPARE(float(curve->view().arterial.po2), history[display_id::arterial_po2][60]);

        // Units: the PO2 axis in kPa.
        window->metric_RB->click();
        QVERIFY(curve->view().si_pressure);
        window->trad_RB->click();
        QVERIFY(!curve->view().si_pressure);

        // A second click of the item shows the same window.
        window->o2_curve_I->trigger();
        QCOMPARE(window->o2_curve_F, curve);
    }

    void arterial_point_in_the_arterial_rows_colour()
    {
        window->run_B->click();
        // Row 2 shows the arterial saturation: its green marks the point.
        window->display_rows[2].dsn_CB->setCurrentIndex(16);
        window->o2_curve_I->trigger();
        To2curve_F* curve = window->o2_curve_F;
        const QImage image = curve->chart_image();
        const QRect area = o2_chart_area(image.width(), image.height());
        const QPointF at =
            o2_chart_position(area, false, curve->view().arterial.po2, curve->view().arterial.saturation);
        // Row 0 (arterial PO2, black) comes first.
        QCOMPARE(QColor(image.pixel(at.toPoint())), trace_colour(0));
        window->display_rows[0].dsn_CB->setCurrentIndex(64);
        QCOMPARE(QColor(curve->chart_image().pixel(at.toPoint())), trace_colour(2));
    }

    void xy_plot_choosers_fit_and_cursor()
    {
        window->run_B->click();
        window->run_B->click();
        window->xy_plot_I->trigger();
        Txyplot_F* xy = window->xy_plot_F;
        QVERIFY(xy && xy->isVisible() && !xy->isModal());
        QCOMPARE(xy->x_CB->count(), num_dsy - 1);
        QCOMPARE(xy->input().x_variable, 10);
        QCOMPARE(xy->input().y_variable, 55);
        QCOMPARE(int(xy->input().trajectory.points.size()), 121);
        QCOMPARE(xy->input().trajectory.cursor_index, 120);
        QCOMPARE(xy->input().x_range.hi, 75.0);

        xy->x_CB->setCurrentIndex(4);  // alveolar PO2
        QCOMPARE(xy->input().x_variable, 4);
        QCOMPARE(xy->input().trajectory.points[30].x, double(history[display_id::alveolar_po2][30]));
        xy->fit_CB->setChecked(true);
        QVERIFY(xy->input().x_range.hi < 150);

        window->sim().cursor_key(cursor_direction::left, false);
        QCOMPARE(xy->input().trajectory.cursor_index, 119);
        window->metric_RB->click();
        QCOMPARE(xy->input().x_range.hi < 20, true);  // kPa, fitted

        // The cursor's point is drawn in red.
        const QImage image = xy->chart_image();
        const QRect area = xy_chart_area(image.width(), image.height());
        const QPointF at = xy_chart_position(area, xy->input(), xy->input().trajectory.points[119]);
        QCOMPARE(QColor(image.pixel(at.toPoint())), xy_cursor_colour);
    }

    void pictures_export_as_svg_and_png()
    {
        QTemporaryDir dir;
        window->run_B->click();
        window->o2_curve_I->trigger();
        window->xy_plot_I->trigger();
        for (chart_window* chart : {static_cast<chart_window*>(window->o2_curve_F),
                                    static_cast<chart_window*>(window->xy_plot_F)}) {
            const QString svg = dir.filePath(QStringLiteral("picture.svg"));
            const QString png = dir.filePath(QStringLiteral("picture.PNG"));
            window->save_answers = {svg, png, QString()};
            chart->export_B->click();
            chart->export_B->click();
            chart->export_B->click();  // cancelled: nothing written, nothing said
            QCOMPARE(window->errors, QStringList());
            QCOMPARE(window->save_requests.back().title, QStringLiteral("Export picture"));
            QFile svg_file(svg);
            QVERIFY(svg_file.open(QIODevice::ReadOnly));
            const QByteArray svg_text = svg_file.readAll();
            QVERIFY(svg_text.contains("<svg"));
            QVERIFY(svg_text.contains("</svg>"));
            const QImage image(png);
            QVERIFY(!image.isNull());
            // Twice the resolution of the chart on the screen.
            QCOMPARE(image.size(), chart->chart()->size() * 2 * chart->devicePixelRatioF());
            // No temporary file stays beside them.
            QCOMPARE(QDir(dir.path()).entryList(QDir::Files).size(), 2);
            QFile::remove(svg);
            QFile::remove(png);
            window->save_requests.clear();
        }
    }

    void export_failures_name_the_path_and_the_reason()
    {
        QTemporaryDir dir;
        window->o2_curve_I->trigger();
        const QString missing = dir.filePath(QStringLiteral("no/such/folder/curve.png"));
        const QString wrong = dir.filePath(QStringLiteral("curve.jpg"));
        window->save_answers = {missing, wrong};
        window->o2_curve_F->export_B->click();
        window->o2_curve_F->export_B->click();
        QCOMPARE(window->errors.size(), 2);
        QVERIFY(window->errors[0].contains(QStringLiteral("no/such/folder/curve.png")));
        QVERIFY(window->errors[0].startsWith(QStringLiteral("Sorry, cannot write ")));
        QVERIFY(window->errors[0].contains(QStringLiteral(": ")));
        QVERIFY(window->errors[1].contains(QStringLiteral("curve.jpg")));
        QVERIFY(window->errors[1].contains(QStringLiteral(".svg or .png")));
        QVERIFY(!QFile::exists(wrong));
    }

    void views_close_with_the_main_window()
    {
        window->o2_curve_I->trigger();
        window->xy_plot_I->trigger();
        QPointer<QWidget> curve = window->o2_curve_F;
        QPointer<QWidget> xy = window->xy_plot_F;
        window.reset();
        QVERIFY(curve.isNull());
        QVERIFY(xy.isNull());
        window = std::make_unique<scripted_main_F>();
    }
};

QTEST_MAIN(teaching_views_test)
#include "teaching_views_test.moc"
