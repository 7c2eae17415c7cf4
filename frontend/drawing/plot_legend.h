// SPDX-License-Identifier: Apache-2.0
// Legends of the trend plot: the key to the reference run drawn on the plot
// while one is kept, and the band under an exported picture that names the
// eight traces in their colours (and the reference run).
#ifndef TOLVANE_PLOT_LEGEND_H
#define TOLVANE_PLOT_LEGEND_H

#include <QString>

#include "trend_plot.h"

class QPainter;

// A solid and a dashed stroke with "live run" and "reference: NAME", at the
// plot's top right (inside the scales on the right-hand side). Nothing for an
// empty name.
void draw_reference_legend(QPainter& painter, int cw, const QString& reference_name);

// Height of the band under an exported picture: two rows of four names, and
// a third row for the reference when there is one.
int trace_legend_height(bool with_reference);

// The band's rows from y = top: each display row's variable name in its
// trace colour after a short stroke ("No display" rows are left out), then
// the reference run's key.
void draw_trace_legend(QPainter& painter, int cw, int top, const display_selection& display_sel,
                       const QString& reference_name);

#endif
