// What the main window offers beyond its laid-out menus: keyboard shortcuts,
// "Export data ..." and "Export picture ..." in File, the reference run in
// View, and a Help menu with the user guide. The laid-out items stay as they
// are; these come after them.
#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QDesktopServices>
#include <QDir>
#include <QFileInfo>
#include <QKeySequence>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QUrl>

#include <algorithm>

#include "main_window.h"
#include "picture_export.h"
#include "tolvane_model.h"
#include "trend_plot.h"
#include "window_font.h"

namespace {

// The exports ask before replacing a file, in the words of "&Save ...".
bool may_write(ui_port& ui, const QString& path) {
    return !QFileInfo::exists(path) || ui.ask_ok_cancel(QStringLiteral("file exists, overwrite?"));
}

// Grey of the reference values, smaller than the values themselves.
const QColor reference_grey(128, 128, 128);
constexpr int reference_text_pixels = 9;
// The reference's value sits at the right end of the unit label's room
// (330 .. 443), clear of the longest unit text ("litres BTPS").
constexpr int reference_left = 396;
constexpr int reference_width = 47;

}  // namespace

void Tmain_F::build_added_menu_items(QMenu* file, QMenu* view) {
    load_I->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_O));
    save_I->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_S));
    print_I->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_P));
    exit_I->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_Q));

    file->addSeparator();
    export_data_I = file->addAction(QStringLiteral("&Export data ..."), this, &Tmain_F::export_data_IClick);
    export_data_I->setShortcut(QKeySequence(Qt::CTRL | Qt::Key_E));
    export_picture_I =
        file->addAction(QStringLiteral("Export pic&ture ..."), this, &Tmain_F::export_picture_IClick);

    view->addSeparator();
    keep_reference_I =
        view->addAction(QStringLiteral("&Keep as reference"), this, &Tmain_F::keep_reference_IClick);
    clear_reference_I =
        view->addAction(QStringLiteral("&Clear reference"), this, &Tmain_F::clear_reference_IClick);
    clear_reference_I->setEnabled(false);

    QMenu* help = menuBar()->addMenu(QStringLiteral("&Help"));
    guide_I = help->addAction(QStringLiteral("&User guide"), this, &Tmain_F::guide_IClick);
    help_about_I = help->addAction(QStringLiteral("&About"), this, &Tmain_F::about_IClick);

    // F5 runs as a click on RUN would; it is in no menu, RUN's tooltip names it.
    run_key_I = new QAction(QStringLiteral("RUN"), this);
    run_key_I->setShortcut(QKeySequence(Qt::Key_F5));
    run_key_I->setShortcutContext(Qt::WindowShortcut);
    connect(run_key_I, &QAction::triggered, this, &Tmain_F::run_key_pressed);
    addAction(run_key_I);
}

void Tmain_F::run_key_pressed() {
    if (!run_B->isEnabled()) return;
    // As with a click, focus moves to RUN first: a value being typed in a
    // factor or passport field is entered (its focus-out) before the run.
    run_B->setFocus(Qt::ShortcutFocusReason);
    run_BClick();
}

// --- export ----------------------------------------------------------------------

void Tmain_F::export_data_IClick() {
    run_log_.follow(sim_.state());
    const std::optional<QString> path = ui().save_file_dialog(
        {QStringLiteral("Export data"), QStringLiteral("run.csv"),
         QStringLiteral("CSV files (*.csv *.CSV)"), QStringLiteral("csv")});
    if (!path || path->isEmpty() || !may_write(ui(), *path)) return;
    const std::optional<QByteArray> text = run_log_.csv_text();
    if (!text) {
        ui().show_error(QStringLiteral("Sorry, cannot write %1: the run's temporary file could not be read.")
                            .arg(QDir::toNativeSeparators(QFileInfo(*path).absoluteFilePath())));
        return;
    }
    const QString failure = write_exported_file(*path, *text);
    if (!failure.isEmpty()) ui().show_error(failure);
}

QByteArray Tmain_F::plot_picture_bytes(const QString& path) {
    plot_picture picture;
    picture.cw = client_width();
    picture.state = sim_.state();
    prepare_redraw(picture.state, picture.cw);
    picture.display_sel = sim_.selection().display_sel;
    picture.model_version = QString::fromLatin1(mdl_ver);
    picture.logo = &logo();
    picture.reference = reference_ ? &*reference_ : nullptr;
    if (picture_format_for(path) == picture_format::svg) return plot_svg(picture);
    // Twice the resolution of the screen the window is on.
    return plot_png(picture, 2.0 * devicePixelRatioF());
}

void Tmain_F::export_picture_IClick() {
    const std::optional<QString> path = ui().save_file_dialog(
        {QStringLiteral("Export picture"), QStringLiteral("plot.svg"),
         QStringLiteral("SVG pictures (*.svg);;PNG pictures (*.png)"), QString()});
    if (!path || path->isEmpty()) return;
    if (picture_format_for(*path) == picture_format::unknown) {
        ui().show_error(QStringLiteral("Sorry, cannot write %1: the name must end in .svg or .png.")
                            .arg(QDir::toNativeSeparators(QFileInfo(*path).absoluteFilePath())));
        return;
    }
    if (!may_write(ui(), *path)) return;
    const QString failure = write_exported_file(*path, plot_picture_bytes(*path));
    if (!failure.isEmpty()) ui().show_error(failure);
}

// --- reference run ---------------------------------------------------------------

void Tmain_F::keep_reference_IClick() {
    run_log_.follow(sim_.state());
    reference_ = reference_from(run_log_, sim_.subject_name());
    clear_reference_I->setEnabled(true);
    redraw_main();
}

void Tmain_F::clear_reference_IClick() {
    reference_.reset();
    clear_reference_I->setEnabled(false);
    redraw_main();
}

void Tmain_F::build_reference_labels() {
    for (int i = 0; i < panel_rows; ++i) {
        auto* label = new QLabel(display_P);
        label->setFont(window_font(reference_text_pixels));
        label->setAlignment(Qt::AlignRight | Qt::AlignVCenter);
        QPalette palette = label->palette();
        palette.setColor(QPalette::WindowText, reference_grey);
        label->setPalette(palette);
        label->setGeometry(reference_left, 33 + 30 * i, reference_width, 21);
        label->setToolTip(QStringLiteral("value of the reference run at the cursor"));
        label->hide();
        reference_L[static_cast<size_t>(i)] = label;
    }
}

void Tmain_F::show_reference_values(int t) {
    const panel_selection& selection = sim_.selection();
    for (int i = 0; i < panel_rows; ++i) {
        QLabel* label = reference_L[static_cast<size_t>(i)];
        if (!label) continue;
        const int d = selection.display_sel[static_cast<size_t>(i)];
        const bool shown = reference_ && reference_->holds(t) && d >= 0 && d < logged_displays;
        label->setVisible(shown);
        if (!shown) continue;
        const QString text = QString::asprintf("%.2f", reference_->value(sim_.state(), d, t));
        // Clear of the unit text: squeezed rather than over it.
        const QLabel* unit = display_rows[static_cast<size_t>(i)].unit_L;
        const int unit_end = unit->x() + unit->fontMetrics().horizontalAdvance(unit->text()) + 4;
        const int left = std::max(reference_left, unit_end);
        const int right = reference_left + reference_width;
        label->setGeometry(left, label->y(), std::max(1, right - left), label->height());
        label->setFont(font_fitting(window_font(reference_text_pixels), text, label->width()));
        label->setText(text);
    }
}

// --- help -------------------------------------------------------------------------

QString Tmain_F::guide_path() {
    const QString installed = QCoreApplication::applicationDirPath() +
                              QStringLiteral("/../share/doc/tolvane/guide.md");
    if (QFileInfo::exists(installed)) return QFileInfo(installed).canonicalFilePath();
#ifdef TOLVANE_SOURCE_GUIDE
    const QString source = QStringLiteral(TOLVANE_SOURCE_GUIDE);
    if (QFileInfo::exists(source)) return source;
#endif
    return {};
}

bool Tmain_F::open_url(const QUrl& url) { return QDesktopServices::openUrl(url); }

void Tmain_F::guide_IClick() {
    const QString path = guide_path();
    if (path.isEmpty()) {
        ui().show_error(QStringLiteral("Sorry, the user guide is not installed."));
        return;
    }
    if (!open_url(QUrl::fromLocalFile(path)))
        ui().show_error(QStringLiteral("Sorry, cannot open the user guide %1: no viewer for it.")
                            .arg(QDir::toNativeSeparators(path)));
}
