// File menu of the main window: loading and saving subject files.
#include "main_window.h"

void Tmain_F::load_IClick() {}

void Tmain_F::save_IClick() {}
