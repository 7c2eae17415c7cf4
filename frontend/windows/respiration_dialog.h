// SPDX-License-Identifier: Apache-2.0
// The respiration dialog: natural or artificial ventilation, the ventilator
// settings and the bag state. It only wires its controls to the respiration
// settings logic, which writes the model through its references.
#ifndef TOLVANE_RESPIRATION_DIALOG_H
#define TOLVANE_RESPIRATION_DIALOG_H

#include "respiration_settings.h"
#include "run_session.h"

#include <QDialog>

#include <array>

class QGroupBox;
class QLabel;
class QLineEdit;
class QPushButton;
class QRadioButton;
class ui_port;

class Trespiration_F : public QDialog {
    Q_OBJECT
public:
    // Creates the dialog hidden and makes it the instance respiration_F.
    explicit Trespiration_F(QWidget* parent = nullptr);
    ~Trespiration_F() override;

    // Where the warning, the message and the beep go; must be set before the
    // dialog is shown (a null port silences them).
    void set_ui_port(ui_port* port);
    // The run whose settings OK enters (the main window's session).
    void set_session(run_session* session) { session_ = session; }

    // The values the radio buttons have chosen and OK will write.
    const respiration_pending& pending() const { return pending_; }

    // True when a field shows the locked style (silver text, read-only).
    static bool is_locked(const QLineEdit* field);

    QGroupBox* ventilation_GB = nullptr;
    QRadioButton* natural_RB = nullptr;
    QRadioButton* artificial_RB = nullptr;
    QLineEdit* rrate_E = nullptr;
    QLineEdit* tidal_E = nullptr;
    QLineEdit* peep_E = nullptr;
    QGroupBox* bag_GB = nullptr;
    std::array<QRadioButton*, 5> bag_RB{};  // bag1_RB .. bag5_RB
    QLineEdit* bagv_E = nullptr;
    QLineEdit* bagc_E = nullptr;
    QLineEdit* bago_E = nullptr;
    QPushButton* ok_B = nullptr;
    QPushButton* cancel_B = nullptr;

public slots:
    // Each time the dialog is shown: the warning, then the model's settings.
    void FormActivate();
    void natural_RBClick();
    void artificial_RBClick();
    // Shared by the five bag buttons; sender_row is the button's row 0..4.
    void bag_RBClick(int sender_row);
    void ok_BClick();
    void cancel_BClick();

protected:
    void showEvent(QShowEvent* event) override;

private:
    void set_ventilator_locked(bool locked);
    void apply_bag_style(std::int32_t bag_state);
    respiration_texts field_texts() const;

    ui_port* ui_ = nullptr;
    run_session* session_ = nullptr;
    respiration_pending pending_;
};

// The one respiration dialog, set by its constructor; null before and after.
extern Trespiration_F* respiration_F;

#endif
