// SPDX-License-Identifier: Apache-2.0
// "Export picture ...": the trend plot as a file, SVG (vector, through Qt's
// SVG generator) or PNG (twice the screen's resolution), chosen by the file
// name; and the writing of any exported file with a reason on failure.
#ifndef TOLVANE_PICTURE_EXPORT_H
#define TOLVANE_PICTURE_EXPORT_H

#include <QByteArray>
#include <QImage>
#include <QString>

#include "event_marks.h"
#include "run_state.h"
#include "safe_file.h"
#include "trend_plot.h"

struct reference_run;

enum class picture_format { svg, png, unknown };

// The format a file name asks for: ".svg" or ".png", in any case.
picture_format picture_format_for(const QString& path);

// What the plot shows, as the window paints it.
struct plot_picture {
    int cw = design_client_width;
    run_state state;  // prepared for cw (prepare_redraw)
    display_selection display_sel{};
    QString model_version;
    const QImage* logo = nullptr;
    const reference_run* reference = nullptr;
    QString reference_name;         // named in the legends when a reference is given
    std::vector<event_mark> marks;  // the run's events on the time axis
    // View > Whole run: seconds of the whole run and their values (units in
    // force); a page of the history when whole_run_seconds is 0.
    int whole_run_seconds = 0;
    std::function<double(int d, int t)> whole_run_value;
};

// Height of the picture: the plot area and the band naming the traces.
int picture_height(const plot_picture& picture);

// The plot area (cw x 383 window pixels) and under it the band that names
// the traces in their colours, as an SVG document.
QByteArray plot_svg(const plot_picture& picture);

// The same as a PNG image of scale device pixels per window pixel.
QByteArray plot_png(const plot_picture& picture, double scale);

// Writes bytes to path through a temporary file beside it, renamed over the
// target as subject files are saved. On failure the message is the text to
// show, naming the path and the reason.
save_result write_exported_file(const QString& path, const QByteArray& bytes);

#endif
