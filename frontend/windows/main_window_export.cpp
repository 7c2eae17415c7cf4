// SPDX-License-Identifier: Apache-2.0
// File menu of the main window, added after the laid-out items: "Export
// data ..." (the whole run as tolvane-batch --csv writes it) and "Export
// picture ..." (the trend plot as SVG or PNG). Both go through the file
// dialog of ui_port, ask before replacing a file and name path and reason
// when writing fails.
#include <QDir>
#include <QFileInfo>

#include "main_window.h"
#include "picture_export.h"
#include "result_text.h"
#include "model_host.h"

namespace {

// The exports ask before replacing a file, in the words of "&Save ...".
bool may_write(ui_port& ui, const QString& path)
{
    return !QFileInfo::exists(path) || ui.ask_ok_cancel(QStringLiteral("file exists, overwrite?"));
}

}  // namespace

void Tmain_F::export_data_IClick()
{
    const std::optional<QString> path =
        ui().save_file_dialog({QStringLiteral("Export data"), QStringLiteral("run.csv"),
                               QStringLiteral("CSV files (*.csv *.CSV)"), QStringLiteral("csv"), QString()});
    if (!path || path->isEmpty() || !may_write(ui(), *path)) return;
    const save_result written =
        write_exported_file(*path, QByteArray::fromStdString(sim_.session().csv_text()));
    if (!written.ok())
        ui().show_error(message_text(written));
    else
        sim_.controller().events().mark_kept();
}

QByteArray Tmain_F::plot_picture_bytes(const QString& path)
{
    plot_picture picture;
    picture.cw = client_width();
    picture.state = sim_.state();
    prepare_redraw(picture.state, picture.cw);
    picture.display_sel = sim_.selection().display_sel;
    picture.model_version = QString::fromStdString(model_host::version());
    picture.logo = &logo();
    picture.reference = reference_ ? &*reference_ : nullptr;
    if (reference_) picture.reference_name = reference_title(*reference_);
    picture.marks = current_marks();
    if (whole_run_ && !picture.state.credits_shown) {
        picture.whole_run_seconds = sim_.session().logged_seconds();
        picture.whole_run_value = [this](int d, int t) { return whole_run_value(d, t); };
    }
    if (picture_format_for(path) == picture_format::svg) return plot_svg(picture);
    // Twice the resolution of the screen the window is on.
    return plot_png(picture, 2.0 * devicePixelRatioF());
}

void Tmain_F::export_picture_IClick()
{
    const std::optional<QString> path = ui().save_file_dialog(
        {QStringLiteral("Export picture"), QStringLiteral("plot.svg"),
         QStringLiteral("SVG pictures (*.svg);;PNG pictures (*.png)"), QString(), QString()});
    if (!path || path->isEmpty()) return;
    if (picture_format_for(*path) == picture_format::unknown) {
        ui().show_error(QStringLiteral("Sorry, cannot write %1: the name must end in .svg or .png.")
                            .arg(QDir::toNativeSeparators(QFileInfo(*path).absoluteFilePath())));
        return;
    }
    if (!may_write(ui(), *path)) return;
    const save_result written = write_exported_file(*path, plot_picture_bytes(*path));
    if (!written.ok())
        ui().show_error(message_text(written));
    else
        sim_.controller().events().mark_kept();
}
