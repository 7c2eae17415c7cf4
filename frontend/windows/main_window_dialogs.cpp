// View and Respiration menus of the main window: the list windows, the about
// window and the respiration dialog.
#include "main_window.h"

void Tmain_F::display_IClick() {}

void Tmain_F::factor_IClick() {}

void Tmain_F::about_IClick() {}

void Tmain_F::respiration_IClick() {}
