// SPDX-License-Identifier: Apache-2.0
// View and Respiration menus of the main window: the list windows, the about
// window and the respiration dialog, each shown modally over the main window.
#include "main_window.h"

#include "about_window.h"
#include "respiration_dialog.h"

namespace {

// The one about window instance serves the two lists and the about text;
// every showing sets all of its settings first.
void show_about_window(const about_window_settings& settings, QWidget* over)
{
    if (about_F == nullptr) return;
    about_F->apply(settings, over);
    about_F->exec();
}

}  // namespace

void Tmain_F::display_IClick() { show_about_window(display_list_settings(), this); }

void Tmain_F::factor_IClick() { show_about_window(factor_list_settings(), this); }

void Tmain_F::about_IClick() { show_about_window(about_settings(), this); }

void Tmain_F::respiration_IClick()
{
    if (respiration_F == nullptr) return;
    respiration_F->set_ui_port(&ui());
    respiration_F->set_session(&sim_.session());
    const respiration_snapshot before = sim_.session().respiration_now();
    const bool confirmed = respiration_F->exec() == QDialog::Accepted;
    if (!sim_.controller().busy()) sim_.session().record_respiration_change(before, confirmed);
    // OK (and a rejected OK left with Cancel) may have changed the bag volume,
    // the bag percentages and the PEEP: the factor rows must show the new
    // values, or the next focus loss of a row would write the old ones back.
    redraw_main();
}
