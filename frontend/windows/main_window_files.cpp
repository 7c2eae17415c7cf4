// SPDX-License-Identifier: Apache-2.0
// File menu of the main window: loading and saving subject files. The
// dialogs, messages, caption, subject name, restart and redraws are the
// simulator's; the window only passes the menu command on.
#include "main_window.h"

void Tmain_F::load_IClick()
{
    // The logo needs no hiding of its own here: every redraw shows it exactly
    // while the credits box is due, which a load (or a cancelled one) makes so.
    sim_.load_clicked();
}

void Tmain_F::save_IClick() { sim_.save_clicked(); }
