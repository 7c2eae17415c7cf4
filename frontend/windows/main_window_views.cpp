// SPDX-License-Identifier: Apache-2.0
// View menu, after the other items: the two teaching views, each a window of
// its own that stays open beside the main window and follows its redraws.
#include <QAction>
#include <QMenu>

#include "main_window.h"
#include "o2_curve_window.h"
#include "xy_plot_window.h"

void Tmain_F::build_view_items(QMenu* view)
{
    view->addSeparator();
    o2_curve_I = view->addAction(QStringLiteral("O2 dissociation curve"), this, &Tmain_F::o2_curve_IClick);
    xy_plot_I = view->addAction(QStringLiteral("X\u2013Y plot"), this, &Tmain_F::xy_plot_IClick);
}

void Tmain_F::o2_curve_IClick()
{
    if (!o2_curve_F) o2_curve_F = new To2curve_F(*this);
    o2_curve_F->show_beside_main();
}

void Tmain_F::xy_plot_IClick()
{
    if (!xy_plot_F) xy_plot_F = new Txyplot_F(*this);
    xy_plot_F->show_beside_main();
}
