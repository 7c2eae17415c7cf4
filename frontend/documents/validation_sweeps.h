// SPDX-License-Identifier: Apache-2.0
// The figure sweeps of the validation report, read from a data file beside
// the cases (validation/figures.tsv): for each figure the script run at
// every x of its sweep, and for each of its panels the measure drawn and
// the published values beside it.
//
// File format: UTF-8 lines "key<TAB>value<TAB>...", "#" comments and blank
// lines ignored. A figure opens with "figure FILE.png" and takes "caption
// TEXT", "sweep FROM TO STEP", and either "script LINE" lines (joined into
// the script; "{x}" is replaced by x, "{x*A/B %.Nf}" by x*A/B with N
// decimals) or "ascent STEP HOLD" (from 760 mm Hg down to x by STEP a
// minute, then HOLD minutes there). Each "panel" then takes "title",
// "x_label", "y_label", "x_range MIN MAX", "y_range MIN MAX", "measure M"
// (as validation_runner::simple_measure), any number of "point X Y [SD]",
// "range X LOW HIGH HALF_WIDTH" and "line X1 Y1 X2 Y2", "published_label",
// and the flags "x_reversed", "legend_right", "legend_bottom".
#ifndef TOLVANE_VALIDATION_SWEEPS_H
#define TOLVANE_VALIDATION_SWEEPS_H

#include "validation.h"
#include "validation_figures.h"

#include <QString>
#include <vector>

// One panel: the chart (its model values still empty) and the measure it draws.
struct sweep_panel {
    chart_panel chart;
    QString measure;
};

// One figure of sweeps.
struct sweep_figure {
    validation_figure figure;
    double from = 0, to = 0, step = 1;
    QStringList script_lines;  // empty for an ascent
    int ascent_step = 0, ascent_hold = 0;
    std::vector<sweep_panel> panels;

    // The x values of the sweep: from, from + step, ... up to to.
    std::vector<double> xs() const;
    // The script run for x.
    QString script(double x) const;
};

struct sweep_figures {
    std::vector<sweep_figure> figures;
    table_result status;  // not ok: no figures, the message says "PATH:LINE: what"
};

// Parses the text of a figures file; name is used in error messages.
sweep_figures parse_sweep_figures(const QString& text, const QString& name);
// Reads and parses a figures file.
sweep_figures read_sweep_figures(const QString& path);

// Runs each figure's sweep (each x once per figure) and fills the panels'
// model values.
std::vector<std::pair<validation_figure, std::vector<chart_panel>>> run_sweeps(
    validation_runner& runner, const std::vector<sweep_figure>& figures);

#endif
