#include "main_window.h"

Tmain_F::Tmain_F(QWidget* parent) : QMainWindow(parent) {}

Tmain_F::~Tmain_F() = default;
