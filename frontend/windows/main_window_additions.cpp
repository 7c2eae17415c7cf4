// SPDX-License-Identifier: Apache-2.0
// What the main window offers beyond its laid-out menus: keyboard shortcuts,
// the added File and View items (main_window_export.cpp and
// main_window_reference.cpp hold their handlers), F5 for RUN and a Help menu
// with the user guide, shown from the copy compiled into the program. The laid-out items stay as they are;
// these come after.
#include <QAction>
#include <QDesktopServices>
#include <QDialog>
#include <QKeySequence>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QTextBrowser>
#include <QUrl>
#include <QVBoxLayout>

#include "main_window.h"

void Tmain_F::build_added_menu_items(QMenu* file, QMenu* view)
{
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

void Tmain_F::run_key_pressed()
{
    if (!run_B->isEnabled()) return;
    // As with a click, focus moves to RUN first: a value being typed in a
    // factor or passport field is entered (its focus-out) before the run.
    run_B->setFocus(Qt::ShortcutFocusReason);
    run_BClick();
}

// --- help -------------------------------------------------------------------------

bool Tmain_F::open_url(const QUrl& url) { return QDesktopServices::openUrl(url); }

void Tmain_F::guide_IClick()
{
    // The guide and its pictures are compiled into the program: no document
    // folder and no viewer of the desktop is needed.
    if (!guide_F) {
        guide_F = new QDialog(this, Qt::Window);
        guide_F->setWindowTitle(QStringLiteral("Tolvane user guide"));
        guide_browser = new QTextBrowser(guide_F);
        guide_browser->setOpenLinks(false);
        connect(guide_browser, &QTextBrowser::anchorClicked, this, [this](const QUrl& url) {
            // Places in the guide stay in the window; other documents go to the desktop.
            if (url.scheme() == QLatin1String("qrc") || url.isRelative())
                guide_browser->setSource(guide_browser->source().resolved(url),
                                         QTextDocument::MarkdownResource);
            else
                open_url(url);
        });
        auto* layout = new QVBoxLayout(guide_F);
        layout->setContentsMargins(0, 0, 0, 0);
        layout->addWidget(guide_browser);
        guide_F->resize(1080, 720);
    }
    guide_browser->setSource(QUrl(QString::fromLatin1(guide_resource)), QTextDocument::MarkdownResource);
    if (guide_browser->document()->isEmpty()) {
        ui().show_error(QStringLiteral("Sorry, the user guide is missing from this program."));
        return;
    }
    guide_F->show();
    guide_F->raise();
}
