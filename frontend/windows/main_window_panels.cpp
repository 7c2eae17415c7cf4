// SPDX-License-Identifier: Apache-2.0
// The factor, display and passport panels of the main window: filling the
// lists, passing the user's choices and entries to the simulator, and showing
// what the simulator says the rows hold.
#include "main_window.h"

#include <QAbstractItemView>
#include <QApplication>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPalette>
#include <QRadioButton>
#include <QSignalBlocker>

#include "model_host.h"
#include "trend_plot.h"

namespace {

void set_text_colour(QLineEdit* field, const QColor& colour)
{
    QPalette palette = field->palette();
    if (palette.color(QPalette::Text) == colour) return;
    palette.setColor(QPalette::Text, colour);
    field->setPalette(palette);
}

// Fills a list with catalogue names in catalogue order (item = index); the
// popup is wide enough for the longest name.
void fill_list(QComboBox* list, int count, std::string (*name)(int))
{
    const QSignalBlocker quiet(list);
    list->clear();
    for (int i = 0; i < count; ++i) list->addItem(QString::fromStdString(name(i)));
    list->view()->setMinimumWidth(list->view()->sizeHintForColumn(0) + 24);
}

void select_quietly(QComboBox* list, int index)
{
    if (list->currentIndex() == index) return;
    const QSignalBlocker quiet(list);
    list->setCurrentIndex(index);
}

void set_text_if_changed(QLineEdit* field, const QString& text)
{
    if (field->text() != text) field->setText(text);
}

}  // namespace

void Tmain_F::FormCreate()
{
    const panel_selection& selection = sim_.selection();
    for (int i = 0; i < panel_rows; ++i) {
        set_text_colour(display_rows[i].vlu_E, trace_colour(i));
        fill_list(factor_rows[i].dsn_CB, model_host::factor_count(), model_host::factor_name);
        fill_list(display_rows[i].dsn_CB, model_host::display_count(), model_host::display_name);
        select_quietly(factor_rows[i].dsn_CB, selection.factor_sel[i]);
        select_quietly(display_rows[i].dsn_CB, selection.display_sel[i]);
        connect(factor_rows[i].dsn_CB, &QComboBox::currentIndexChanged, this,
                [this, i](int index) { dsn_CBChange(true, i, index); });
        connect(display_rows[i].dsn_CB, &QComboBox::currentIndexChanged, this,
                [this, i](int index) { dsn_CBChange(false, i, index); });
    }
    // The unit handlers act only when their button becomes checked.
    connect(trad_RB, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked) trad_RBClick();
    });
    connect(metric_RB, &QRadioButton::toggled, this, [this](bool checked) {
        if (checked) metric_RBClick();
    });
    show_panels(0);
    show_plot_controls();
}

void Tmain_F::dsn_CBChange(bool factor_row, int row, int index)
{
    if (factor_row)
        sim_.factor_selection_changed(row, index);
    else
        sim_.display_selection_changed(row, index);
}

void Tmain_F::factorExit()
{
    std::array<QString, panel_rows> texts;
    for (int i = 0; i < panel_rows; ++i) texts[i] = factor_rows[i].vlu_E->text();
    const std::array<QString, panel_rows> shown = sim_.factor_exit(texts);
    for (int i = 0; i < panel_rows; ++i) set_text_if_changed(factor_rows[i].vlu_E, shown[i]);
    // A changed value is an event: its mark, list line and the status line.
    show_events();
    surface->update();
}

void Tmain_F::passportExit()
{
    set_passport_fields(
        sim_.passport_exit(height_E->text(), weight_E->text(), age_E->text(), sex_CB->currentIndex()));
}

void Tmain_F::show_panels(int t)
{
    const panel_view view = sim_.panels(t);
    for (int i = 0; i < panel_rows; ++i) {
        const factor_row_view& f = view.factors[i];
        select_quietly(factor_rows[i].dsn_CB, f.selected);
        set_text_if_changed(factor_rows[i].vlu_E, f.value_text);
        set_text_colour(factor_rows[i].vlu_E, f.value_colour);
        factor_rows[i].unit_L->setText(f.unit);
        const display_row_view& d = view.displays[i];
        select_quietly(display_rows[i].dsn_CB, d.selected);
        set_text_if_changed(display_rows[i].vlu_E, d.value_text);
        display_rows[i].unit_L->setText(d.unit);
    }
    set_text_if_changed(time_E, view.time_text);
    show_reference_values(t);
}

void Tmain_F::show_plot_controls()
{
    const run_state& state = sim_.state();
    tolvane_I->setVisible(state.credits_shown);
    if (state.credits_shown) tolvane_I->setGeometry(logo_left, logo_top, logo_width, logo_height);
    // The time field turns yellow while the cursor lies outside the plot.
    QPalette palette = time_E->palette();
    const QColor base = cursor_within_plot(state, client_width(), state.cursor_time)
                            ? QApplication::palette(time_E).color(QPalette::Base)
                            : colour_of(cursor_outside_colour);
    if (palette.color(QPalette::Base) != base) {
        palette.setColor(QPalette::Base, base);
        time_E->setPalette(palette);
    }
}
