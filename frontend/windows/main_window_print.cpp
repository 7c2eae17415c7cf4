// File menu of the main window: the printed report.
#include "main_window.h"

void Tmain_F::print_IClick() {}
