#include "about_window.h"

Tabout_F* about_F = nullptr;

Tabout_F::Tabout_F(QWidget* parent) : QDialog(parent)
{
    about_F = this;
}

Tabout_F::~Tabout_F()
{
    if (about_F == this)
        about_F = nullptr;
}
