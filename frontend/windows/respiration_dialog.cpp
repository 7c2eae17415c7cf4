// SPDX-License-Identifier: Apache-2.0
// The respiration dialog's layout and handlers.
#include "respiration_dialog.h"

#include "breathing_circuit.h"

#include "ui_port.h"
#include "window_font.h"

#include <QGroupBox>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QRadioButton>
#include <QShowEvent>

Trespiration_F* respiration_F = nullptr;

namespace {

// Outer size and position of the dialog as laid out; the client area is the
// outer size less the title bar and border.
constexpr int dialog_left = 250;
constexpr int dialog_top = 43;
constexpr int dialog_width = 281;
constexpr int dialog_height = 457;
constexpr int frame_width = 8;
constexpr int frame_height = 31;

const QColor locked_colour(192, 192, 192);

QLineEdit* make_field(QWidget* parent, const char* name, int left, int top)
{
    auto* field = new QLineEdit(QStringLiteral("00,0"), parent);
    field->setObjectName(QString::fromLatin1(name));
    field->setGeometry(left, top, 40, 21);
    // Narrower inner margins, so that a bag volume of "10000.0" fits the
    // laid-out width of 40 pixels.
    field->setTextMargins(-2, 0, -2, 0);
    return field;
}

void make_label(QWidget* parent, const char* name, const char* text, int left, int top)
{
    auto* label = new QLabel(QString::fromLatin1(text), parent);
    label->setObjectName(QString::fromLatin1(name));
    label->move(left, top);
    label->adjustSize();
}

QRadioButton* make_radio(QWidget* parent, const char* name, const char* text, int left, int top, int width)
{
    auto* button = new QRadioButton(QString::fromLatin1(text), parent);
    button->setObjectName(QString::fromLatin1(name));
    button->setGeometry(left, top, width, 17);
    // The handlers check and uncheck the buttons themselves, so that a bag
    // state outside 9..13 can show no button checked.
    button->setAutoExclusive(false);
    return button;
}

void set_field_locked(QLineEdit* field, bool locked)
{
    QPalette palette = field->palette();
    palette.setColor(QPalette::Text, locked ? locked_colour : QColor(Qt::black));
    field->setPalette(palette);
    field->setReadOnly(locked);
}

}  // namespace

Trespiration_F::Trespiration_F(QWidget* parent) : QDialog(parent)
{
    setObjectName(QStringLiteral("respiration_F"));
    setWindowTitle(QStringLiteral("Respiration"));
    setToolTip(QStringLiteral("under delopment"));
    setModal(true);
    // One pixel below the windows' usual size: at 11 pixels the longest
    // label and radio captions would not fit their laid-out widths.
    setFont(window_font(window_text_pixels - 1));
    setFixedSize(dialog_width - frame_width, dialog_height - frame_height);
    move(dialog_left, dialog_top);

    ventilation_GB = new QGroupBox(QStringLiteral("Ventilation"), this);
    ventilation_GB->setObjectName(QStringLiteral("ventilation_GB"));
    ventilation_GB->setGeometry(2, 3, 270, 158);
    natural_RB = make_radio(ventilation_GB, "natural_RB", "Natural", 12, 20, 73);
    natural_RB->setChecked(true);
    artificial_RB = make_radio(ventilation_GB, "artificial_RB", "Artificial", 12, 44, 65);
    rrate_E = make_field(ventilation_GB, "rrate_E", 12, 68);
    make_label(ventilation_GB, "rrate_L", "respiratory rate, cycles/minute", 60, 70);
    tidal_E = make_field(ventilation_GB, "tidal_E", 12, 98);
    make_label(ventilation_GB, "tidal_L", "tidal volume, ml BTPS", 60, 100);
    peep_E = make_field(ventilation_GB, "peep_E", 12, 128);
    make_label(ventilation_GB, "peep_L", "positive end-expiratory pressure, cm water", 60, 130);

    bag_GB = new QGroupBox(QStringLiteral("Bag"), this);
    bag_GB->setObjectName(QStringLiteral("bag_GB"));
    bag_GB->setGeometry(2, 168, 270, 225);
    bag_RB[0] = make_radio(bag_GB, "bag1_RB", "close the glottis", 12, 20, 113);
    bag_RB[1] = make_radio(bag_GB, "bag2_RB", "collect expired air in a bag", 12, 44, 149);
    bag_RB[2] = make_radio(bag_GB, "bag3_RB", "rebreathe from bag", 12, 68, 117);
    bag_RB[3] = make_radio(bag_GB, "bag4_RB", "rebreathe from bag with CO2 absorber attached", 12, 92, 253);
    bag_RB[4] =
        make_radio(bag_GB, "bag5_RB", "standard state - breathing air, glottis open, no bag", 12, 116, 253);
    bag_RB[4]->setChecked(true);
    bagv_E = make_field(bag_GB, "bagv_E", 16, 140);
    make_label(bag_GB, "bagv_L", "bag volume, ml BTPS ", 60, 142);
    bagc_E = make_field(bag_GB, "bagc_E", 16, 170);
    make_label(bag_GB, "bagc_L", "bag carbon dioxide, percentage", 60, 172);
    bago_E = make_field(bag_GB, "bago_E", 16, 200);
    make_label(bag_GB, "bago_L", "bag oxygen, percentage", 60, 202);

    ok_B = new QPushButton(QStringLiteral("OK"), this);
    ok_B->setObjectName(QStringLiteral("ok_B"));
    ok_B->setGeometry(64, 400, 57, 25);
    cancel_B = new QPushButton(QStringLiteral("Cancel"), this);
    cancel_B->setObjectName(QStringLiteral("cancel_B"));
    cancel_B->setGeometry(128, 400, 57, 25);

    connect(natural_RB, &QRadioButton::clicked, this, &Trespiration_F::natural_RBClick);
    connect(artificial_RB, &QRadioButton::clicked, this, &Trespiration_F::artificial_RBClick);
    for (int row = 0; row < int(bag_RB.size()); ++row)
        connect(bag_RB[row], &QRadioButton::clicked, this, [this, row] { bag_RBClick(row); });
    connect(ok_B, &QPushButton::clicked, this, &Trespiration_F::ok_BClick);
    connect(cancel_B, &QPushButton::clicked, this, &Trespiration_F::cancel_BClick);

    respiration_F = this;
}

Trespiration_F::~Trespiration_F()
{
    if (respiration_F == this) respiration_F = nullptr;
}

void Trespiration_F::set_ui_port(ui_port* port) { ui_ = port; }

bool Trespiration_F::is_locked(const QLineEdit* field)
{
    return field->isReadOnly() && field->palette().color(QPalette::Text) == locked_colour;
}

void Trespiration_F::showEvent(QShowEvent* event)
{
    QDialog::showEvent(event);
    if (!event->spontaneous()) FormActivate();
}

void Trespiration_F::FormActivate()
{
    if (ui_ != nullptr)
        ui_->show_warning(QStringLiteral("Respiration features not yet sensibly implemented.  Jul 22 2013"));

    const respiration_pending current = current_respiration_pending();
    pending_.ventilation = current.ventilation;
    natural_RB->setChecked(pending_.ventilation != 0);
    artificial_RB->setChecked(pending_.ventilation == 0);
    set_ventilator_locked(pending_.ventilation != 0);

    const respiration_texts texts = current_respiration_texts();
    rrate_E->setText(texts.rate);
    tidal_E->setText(texts.tidal);
    peep_E->setText(texts.peep);

    pending_.bag_state = current.bag_state;
    const std::optional<int> row = bag_button_of_state(pending_.bag_state);
    for (int i = 0; i < int(bag_RB.size()); ++i) bag_RB[i]->setChecked(row && *row == i);
    apply_bag_style(pending_.bag_state);

    bagv_E->setText(texts.bag_volume);
    bagc_E->setText(texts.bag_co2);
    bago_E->setText(texts.bag_o2);
    // While a bag is attached its fields show what it holds now.
    if (const std::optional<bag_contents> bag = live_bag()) {
        bagc_E->setText(QString::asprintf("%.1f", bag->co2));
        bago_E->setText(QString::asprintf("%.1f", bag->o2));
    }
}

void Trespiration_F::natural_RBClick()
{
    natural_RB->setChecked(true);
    artificial_RB->setChecked(false);
    set_ventilator_locked(true);
    pending_.ventilation = 1;
}

void Trespiration_F::artificial_RBClick()
{
    artificial_RB->setChecked(true);
    natural_RB->setChecked(false);
    set_ventilator_locked(false);
    pending_.ventilation = 0;
}

void Trespiration_F::bag_RBClick(int sender_row)
{
    pending_.bag_state = bag_button_states[sender_row];
    for (int i = 0; i < int(bag_RB.size()); ++i) bag_RB[i]->setChecked(i == sender_row);
    apply_bag_style(pending_.bag_state);
}

void Trespiration_F::ok_BClick()
{
    // Without a run there is nothing to set.
    if (session_ != nullptr && session_->enter_respiration(pending_, respiration_numbers_of(field_texts())) ==
                                   respiration_ok_result::percentages_exceed_100) {
        // The dialog stays open for a correction or Cancel.
        if (ui_ != nullptr) {
            ui_->beep();
            ui_->show_message(QStringLiteral("Sum of percentages exceeds 100%"));
        }
        return;
    }
    accept();
}

void Trespiration_F::cancel_BClick() { reject(); }

void Trespiration_F::set_ventilator_locked(bool locked)
{
    for (QLineEdit* field : {rrate_E, tidal_E, peep_E}) set_field_locked(field, locked);
}

void Trespiration_F::apply_bag_style(std::int32_t bag_state)
{
    const std::optional<bool> locked = bag_fields_locked(bag_state);
    if (!locked) return;
    for (QLineEdit* field : {bagv_E, bagc_E, bago_E}) set_field_locked(field, *locked);
}

respiration_texts Trespiration_F::field_texts() const
{
    respiration_texts t;
    t.rate = rrate_E->text();
    t.tidal = tidal_E->text();
    t.peep = peep_E->text();
    t.bag_volume = bagv_E->text();
    t.bag_co2 = bagc_E->text();
    t.bag_o2 = bago_E->text();
    return t;
}
