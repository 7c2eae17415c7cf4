// View and Respiration menus of the main window: the list windows, the about
// window and the respiration dialog, each shown modally over the main window.
#include "main_window.h"

#include "about_window.h"
#include "respiration_dialog.h"

void Tmain_F::display_IClick()
{
    if (about_F == nullptr)
        return;
    about_F->apply(display_list_settings(), this);
    about_F->exec();
}

void Tmain_F::factor_IClick()
{
    if (about_F == nullptr)
        return;
    about_F->apply(factor_list_settings(), this);
    about_F->exec();
}

void Tmain_F::about_IClick()
{
    if (about_F == nullptr)
        return;
    about_F->apply(about_settings(), this);
    about_F->exec();
}

void Tmain_F::respiration_IClick()
{
    if (respiration_F == nullptr)
        return;
    respiration_F->set_ui_port(&ui());
    respiration_F->exec();
    // OK (and a rejected OK left with Cancel) may have changed the bag volume,
    // the bag percentages and the PEEP: the factor rows must show the new
    // values, or the next focus loss of a row would write the old ones back.
    redraw_main();
}
