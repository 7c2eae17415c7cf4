// SPDX-License-Identifier: Apache-2.0
// The respiration dialog: activation, field styles, radio buttons, and OK with
// the field cases worth knowing, against the model's live state.
#include "respiration_dialog.h"

#include "../fake_ui.h"
#include "tolvane_model.h"

#include <memory>
#include <QAbstractButton>
#include <QDir>
#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QtTest>

class RespirationDialogTest : public QObject {
    Q_OBJECT

private:
    fake_ui ui;
    Trespiration_F* dialog = nullptr;
    // The run whose settings OK enters: the only session, so its state is
    // the live model the tests set and read.
    std::unique_ptr<run_session> session;

    // The standard subject in the standard bag state, natural ventilation.
    static void standard_state()
    {
        load_new();
        *ventilation = 1;
        *bag_index = bag_state_id::standard;
        bager(2, nullptr, nullptr);
    }

    void open_dialog()
    {
        dialog->hide();
        dialog->show();  // runs FormActivate
    }

    static void grab_to(QWidget* widget, const char* name)
    {
        const QByteArray dir = qgetenv("TOLVANE_SCREENSHOT_DIR");
        if (!dir.isEmpty())
            widget->grab().save(QDir(QString::fromLocal8Bit(dir)).filePath(QString::fromLatin1(name)));
    }

private slots:
    void initTestCase()
    {
        estab_pnt();
        session = std::make_unique<run_session>();
        dialog = new Trespiration_F;
        dialog->set_ui_port(&ui);
        dialog->set_session(session.get());
    }

    void cleanupTestCase() { delete dialog; }

    void init()
    {
        standard_state();
        ui = fake_ui();
        dialog->set_ui_port(&ui);
    }

    void instance_and_layout()
    {
        QCOMPARE(respiration_F, dialog);
        QCOMPARE(dialog->windowTitle(), QStringLiteral("Respiration"));
        QCOMPARE(dialog->toolTip(), QStringLiteral("under delopment"));
        QCOMPARE(dialog->ventilation_GB->geometry(), QRect(2, 3, 270, 158));
        QCOMPARE(dialog->bag_GB->geometry(), QRect(2, 168, 270, 225));
        QCOMPARE(dialog->ok_B->geometry(), QRect(64, 400, 57, 25));
        QCOMPARE(dialog->cancel_B->geometry(), QRect(128, 400, 57, 25));
        QCOMPARE(dialog->bag_RB[3]->text(), QStringLiteral("rebreathe from bag with CO2 absorber attached"));
        // Every caption fits inside its control and every control inside its
        // group box and the dialog.
        const auto children = dialog->findChildren<QWidget*>();
        for (QWidget* w : children) {
            const QRect in_parent = w->geometry();
            QVERIFY2(QRect(QPoint(0, 0), w->parentWidget()->size()).contains(in_parent),
                     qPrintable(w->objectName()));
            if (auto* label = qobject_cast<QLabel*>(w))
                QVERIFY2(label->sizeHint().width() <= label->width(), qPrintable(w->objectName()));
            if (auto* radio = qobject_cast<QRadioButton*>(w))
                QVERIFY2(radio->sizeHint().width() <= radio->width(), qPrintable(w->objectName()));
        }
    }

    void activation_warns_and_shows_the_model_settings()
    {
        res_rate->value = 12.345f;
        tidal->value = 512.26f;
        positive->value = 3.0f;
        open_dialog();
        QCOMPARE(
            ui.warnings,
            QStringList{QStringLiteral("Respiration features not yet sensibly implemented.  Jul 22 2013")});
        QVERIFY(dialog->natural_RB->isChecked());
        QVERIFY(!dialog->artificial_RB->isChecked());
        QCOMPARE(dialog->rrate_E->text(), QStringLiteral("12.35"));
        QCOMPARE(dialog->tidal_E->text(), QStringLiteral("512.3"));
        QCOMPARE(dialog->peep_E->text(), QStringLiteral("3.0"));
        QCOMPARE(dialog->bagv_E->text(), QStringLiteral("10000.0"));
        for (QLineEdit* f : {dialog->rrate_E, dialog->tidal_E, dialog->peep_E, dialog->bagv_E, dialog->bagc_E,
                             dialog->bago_E})
            QVERIFY2(Trespiration_F::is_locked(f), qPrintable(f->objectName()));
        QVERIFY(dialog->bag_RB[4]->isChecked());
        grab_to(dialog, "respiration_natural.png");
        // Each showing warns again.
        open_dialog();
        QCOMPARE(ui.warnings.size(), 2);
    }

    void activation_follows_artificial_ventilation_and_bag_state()
    {
        *ventilation = 0x100;  // low byte 0: artificial
        *bag_index = bag_state_id::rebreathe;
        open_dialog();
        QVERIFY(dialog->artificial_RB->isChecked());
        QVERIFY(!dialog->natural_RB->isChecked());
        QCOMPARE(dialog->pending().ventilation, std::uint8_t(0));
        QVERIFY(!Trespiration_F::is_locked(dialog->rrate_E));
        QVERIFY(!dialog->rrate_E->isReadOnly());
        QCOMPARE(dialog->rrate_E->palette().color(QPalette::Text), QColor(Qt::black));
        QVERIFY(dialog->bag_RB[2]->isChecked());
        QVERIFY(!Trespiration_F::is_locked(dialog->bagv_E));
        grab_to(dialog, "respiration_artificial.png");
        // A bag state outside 9..13 checks no bag button and keeps the styles.
        *bag_index = 7;
        open_dialog();
        for (QRadioButton* b : dialog->bag_RB) QVERIFY(!b->isChecked());
        QVERIFY(!Trespiration_F::is_locked(dialog->bagv_E));
    }

    void radio_buttons_set_the_pending_values_and_styles()
    {
        open_dialog();
        dialog->artificial_RB->click();
        QCOMPARE(dialog->pending().ventilation, std::uint8_t(0));
        QVERIFY(!dialog->natural_RB->isChecked());
        QVERIFY(!Trespiration_F::is_locked(dialog->peep_E));
        dialog->natural_RB->click();
        QCOMPARE(dialog->pending().ventilation, std::uint8_t(1));
        QVERIFY(Trespiration_F::is_locked(dialog->peep_E));

        const int states[] = {9, 11, 12, 13, 10};
        for (int row = 0; row < 5; ++row) {
            dialog->bag_RB[row]->click();
            QCOMPARE(dialog->pending().bag_state, states[row]);
            for (int other_row = 0; other_row < 5; ++other_row)
                QCOMPARE(dialog->bag_RB[other_row]->isChecked(), other_row == row);
            const bool locked = states[row] == 9 || states[row] == 10;
            QCOMPARE(Trespiration_F::is_locked(dialog->bago_E), locked);
        }
        // Clicking the checked button keeps it checked.
        dialog->bag_RB[4]->click();
        QVERIFY(dialog->bag_RB[4]->isChecked());
        // Nothing reaches the model before OK.
        QCOMPARE(*ventilation, 1);
        QCOMPARE(*bag_index, bag_state_id::standard);
    }

    void ok_reads_the_fields_data()
    {
        QTest::addColumn<QString>("rate");
        QTest::addColumn<QString>("tidal_volume");
        QTest::addColumn<QString>("peep");
        QTest::addColumn<QString>("bag_volume");
        QTest::addColumn<QString>("co2");
        QTest::addColumn<QString>("o2");
        QTest::addColumn<bool>("accepted");
        QTest::addColumn<QList<float>>("expected");  // rate, tidal, peep, volume, co2, o2

        QTest::newRow("empty") << ""
                               << ""
                               << ""
                               << ""
                               << ""
                               << "" << true << QList<float>{0, 0, 0, 300, 0, 0};
        QTest::newRow("non-numeric") << "abc"
                                     << "x1"
                                     << "-"
                                     << "none"
                                     << "?"
                                     << "o" << true << QList<float>{0, 0, 0, 300, 0, 0};
        QTest::newRow("comma decimal") << "12,5"
                                       << "600,7"
                                       << "2,5"
                                       << "5000,5"
                                       << "5,5"
                                       << "20,5" << true << QList<float>{12, 600, 2, 5000, 5, 20};
        QTest::newRow("full stop decimal")
            << "12.5"
            << "600.5"
            << "2.5"
            << "5000.5"
            << "5.5"
            << "20.5" << true << QList<float>{12.5f, 600.5f, 2.5f, 5000.5f, 5.5f, 20.5f};
        QTest::newRow("sum exactly 100") << "10"
                                         << "500"
                                         << "0"
                                         << "4000"
                                         << "25"
                                         << "75" << true << QList<float>{10, 500, 0, 4000, 25, 75};
        QTest::newRow("sum 101 rejected") << "10"
                                          << "500"
                                          << "0"
                                          << "4000"
                                          << "25"
                                          << "76" << false << QList<float>{10, 500, 0, 4000, 0, 0};
        QTest::newRow("co2 40 clamped to 25") << "10"
                                              << "500"
                                              << "0"
                                              << "4000"
                                              << "40"
                                              << "75" << true << QList<float>{10, 500, 0, 4000, 25, 75};
        QTest::newRow("above every maximum") << "99"
                                             << "9999"
                                             << "99"
                                             << "99999"
                                             << "30"
                                             << "70" << true << QList<float>{50, 2500, 50, 30000, 25, 70};
        QTest::newRow("below every minimum") << "-1"
                                             << "-1"
                                             << "-1"
                                             << "-1"
                                             << "-1"
                                             << "-1" << true << QList<float>{0, 0, 0, 300, 0, 0};
    }

    void ok_reads_the_fields()
    {
        QFETCH(QString, rate);
        QFETCH(QString, tidal_volume);
        QFETCH(QString, peep);
        QFETCH(QString, bag_volume);
        QFETCH(QString, co2);
        QFETCH(QString, o2);
        QFETCH(bool, accepted);
        QFETCH(QList<float>, expected);

        bag_co2->value = 0;
        bag_o2->value = 0;
        open_dialog();
        dialog->artificial_RB->click();
        dialog->bag_RB[1]->click();  // collect expired air: fields open
        dialog->rrate_E->setText(rate);
        dialog->tidal_E->setText(tidal_volume);
        dialog->peep_E->setText(peep);
        dialog->bagv_E->setText(bag_volume);
        dialog->bagc_E->setText(co2);
        dialog->bago_E->setText(o2);
        QTest::mouseClick(dialog->ok_B, Qt::LeftButton);

        QCOMPARE(dialog->isVisible(), !accepted);
        QCOMPARE(ui.beeps, accepted ? 0 : 1);
        // A plain message, not a message box of a kind.
        QCOMPARE(ui.messages,
                 accepted ? QStringList{} : QStringList{QStringLiteral("Sum of percentages exceeds 100%")});
        QVERIFY(ui.informations.isEmpty() && ui.errors.isEmpty());
        // The ventilation and the bag state are written either way.
        QCOMPARE(*ventilation, 0);
        QCOMPARE(*bag_index, bag_state_id::collect_expired);
        QCOMPARE(res_rate->value, expected[0]);
        QCOMPARE(tidal->value, expected[1]);
        QCOMPARE(positive->value, expected[2]);
        QCOMPARE(bag_vol->value, expected[3]);
        QCOMPARE(bag_co2->value, expected[4]);
        QCOMPARE(bag_o2->value, expected[5]);
    }

    void rejected_ok_can_be_corrected()
    {
        open_dialog();
        dialog->bag_RB[2]->click();
        dialog->bagc_E->setText(QStringLiteral("25"));
        dialog->bago_E->setText(QStringLiteral("76"));
        dialog->ok_B->click();
        QVERIFY(dialog->isVisible());
        dialog->bago_E->setText(QStringLiteral("70"));
        dialog->ok_B->click();
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Accepted));
        QCOMPARE(bag_o2->value, 70.0f);
    }

    void cancel_writes_nothing()
    {
        const float rate = res_rate->value;
        open_dialog();
        dialog->artificial_RB->click();
        dialog->bag_RB[0]->click();
        dialog->rrate_E->setText(QStringLiteral("33"));
        dialog->cancel_B->click();
        QVERIFY(!dialog->isVisible());
        QCOMPARE(dialog->result(), int(QDialog::Rejected));
        QCOMPARE(*ventilation, 1);
        QCOMPARE(*bag_index, bag_state_id::standard);
        QCOMPARE(res_rate->value, rate);
    }

    void ok_untouched_keeps_mode_and_bag_and_saves_lung_volume_again()
    {
        *bag_index = bag_state_id::glottis_closed;
        bager(2, nullptr, nullptr);
        other[other_id::saved_lung_volume] = 1.0f;  // a stale saved volume
        open_dialog();
        dialog->ok_B->click();
        QVERIFY(!dialog->isVisible());
        QCOMPARE(*ventilation, 1);
        QCOMPARE(*bag_index, bag_state_id::glottis_closed);
        QCOMPARE(other[other_id::saved_lung_volume], factor[factor_id::lung_volume].value);  // bager(2) ran
    }

    void glottis_closed_then_standard_state_restores_lung_volume_and_room_air()
    {
        const float lung_volume = factor[factor_id::lung_volume].value;
        open_dialog();
        dialog->bag_RB[0]->click();
        dialog->ok_B->click();
        constant(60);
        for (int i = 0; i < 30; ++i) QCOMPARE(model(), 0);
        factor[factor_id::inspired_o2].value = 12;
        factor[factor_id::inspired_co2].value = 4;
        open_dialog();
        QVERIFY(dialog->bag_RB[0]->isChecked());
        dialog->bag_RB[4]->click();
        dialog->ok_B->click();
        QCOMPARE(factor[factor_id::lung_volume].value, lung_volume);
        QCOMPARE(factor[factor_id::inspired_o2].value, 20.93f);
        QCOMPARE(factor[factor_id::inspired_co2].value, 0.03f);
    }
};

QTEST_MAIN(RespirationDialogTest)
#include "respiration_dialog_test.moc"
