#include "respiration_dialog.h"

Trespiration_F* respiration_F = nullptr;

Trespiration_F::Trespiration_F(QWidget* parent) : QDialog(parent)
{
    respiration_F = this;
}

Trespiration_F::~Trespiration_F()
{
    if (respiration_F == this)
        respiration_F = nullptr;
}
