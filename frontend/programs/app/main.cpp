// SPDX-License-Identifier: Apache-2.0
// The program: the application titled "Tolvane", its three windows created in
// order (main, about, respiration), and the event loop until the main window
// closes.
#include <QApplication>
#include <QMessageBox>

#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <exception>
#include <utility>
#include <vector>

#include "about_window.h"
#include "manual_text.h"
#include "main_window.h"
#include "respiration_dialog.h"

namespace {

// The exit status when no window can open (the manual's EXIT STATUS).
constexpr int window_cannot_open = 1;

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
// "--" ends the options: what follows is never taken for one.
bool answered_on_terminal(int argc, char** argv)
{
    for (int i = 1; i < argc && std::strcmp(argv[i], "--") != 0; ++i) {
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

// While the application starts, Qt's messages wait here: a platform that
// cannot open (no display) ends in a fatal message, which becomes one line
// and exit status 1 instead of an abort; otherwise they go out as usual.
struct start_up_messages {
    static inline std::vector<std::pair<QtMsgType, QString>> held;
    static inline QtMessageHandler previous = nullptr;

    static void handler(QtMsgType type, const QMessageLogContext&, const QString& message)
    {
        if (type != QtFatalMsg) {
            held.emplace_back(type, message);
            return;
        }
        std::fputs(
            "tolvane: cannot open a window: no display could be opened (is DISPLAY set? "
            "without a display, run it under xvfb-run)\n",
            stderr);
        std::_Exit(window_cannot_open);
    }

    static void release()
    {
        qInstallMessageHandler(previous);
        for (const auto& [type, message] : held) qt_message_output(type, QMessageLogContext(), message);
        held.clear();
    }
};

}  // namespace

int main(int argc, char** argv)
{
    if (answered_on_terminal(argc, argv)) return 0;
    start_up_messages::previous = qInstallMessageHandler(start_up_messages::handler);
    tolvane_application application(argc, argv);
    start_up_messages::release();
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
