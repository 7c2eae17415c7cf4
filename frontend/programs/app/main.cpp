// The program: the application titled "Tolvane", its three windows created in
// order (main, about, respiration), and the event loop until the main window
// closes.
#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstring>
#include <exception>

#include "about_window.h"
#include "manual_text.h"
#include "main_window.h"
#include "respiration_dialog.h"

namespace {

// Shows an exception that escapes a handler and lets the event loop go on.
class tolvane_application : public QApplication {
public:
    using QApplication::QApplication;
    bool notify(QObject* receiver, QEvent* event) override
    {
        try {
            return QApplication::notify(receiver, event);
        } catch (const std::exception& error) {
            QMessageBox::critical(nullptr, applicationName(), QString::fromLocal8Bit(error.what()));
        } catch (...) {
            QMessageBox::critical(nullptr, applicationName(), QStringLiteral("Unknown exception."));
        }
        return false;
    }
};

// --help and --version print from the manual page's source; no window opens.
bool answered_on_terminal(int argc, char** argv)
{
    for (int i = 1; i < argc; ++i) {
        if (std::strcmp(argv[i], "--help") == 0 || std::strcmp(argv[i], "-h") == 0) {
            std::fputs(help_text(window_manual()).c_str(), stdout);
            return true;
        }
        if (std::strcmp(argv[i], "--version") == 0) {
            std::fputs(version_text(window_manual()).c_str(), stdout);
            return true;
        }
    }
    return false;
}

}  // namespace

int main(int argc, char** argv)
{
    if (answered_on_terminal(argc, argv)) return 0;
    tolvane_application application(argc, argv);
    QApplication::setApplicationName(QStringLiteral("Tolvane"));
    try {
        Tmain_F main_window;
        Tabout_F about_window(&main_window);
        Trespiration_F respiration_window(&main_window);
        // Opens at the laid-out size, or as much of it as the screen holds.
        main_window.resize(main_window.default_size());
        main_window.fit_to_screen();
        main_window.show();
        // "tolvane FILE.sbj" opens that subject.
        main_window.open_from_command_line(QApplication::arguments());
        application.exec();
    } catch (const std::exception& error) {
        QMessageBox::critical(nullptr, QStringLiteral("Tolvane"), QString::fromLocal8Bit(error.what()));
    }
    return 0;
}
