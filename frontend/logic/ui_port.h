// SPDX-License-Identifier: Apache-2.0
// The one small interface through which the front-end logic reaches a window.
// The main window implements it; tests and tolvane-batch provide their own
// (recording fakes, printers). No call may block on anything but the user.
#ifndef TOLVANE_UI_PORT_H
#define TOLVANE_UI_PORT_H

#include <QString>
#include <optional>

// The controls whose enabled state the run controller sets.
enum class ui_control { run, rerun, back, forward, reset, print };

// The passport fields as the panel shows them.
struct passport_texts {
    int sex_index = 0;  // item of the sex list: 0 "female", 1 "male"
    QString height;     // "%.1f" cm
    QString weight;     // "%.1f" kg
    QString bmi;        // "%.1f", read-only field
    QString age;        // "%.1f" years
};

// What a file dialog is to show. filter is in Qt's form ("Name (*.a *.b);;...").
struct file_dialog_request {
    QString title;
    QString file_name;  // proposed name, may hold a pattern such as "*.sbj"
    QString filter;
    QString default_extension;  // without the dot; empty for none
    QString folder;             // where the dialog opens; empty for the working folder
};

class ui_port {
public:
    virtual ~ui_port() = default;

    // Enables or disables one control (button or the Print menu item).
    virtual void set_control_enabled(ui_control control, bool enabled) = 0;
    // Sounds the system beep once.
    virtual void beep() = 0;

    // Warning message box with a single OK button; returns when dismissed.
    virtual void show_warning(const QString& text) = 0;
    // Error message box with a single OK button.
    virtual void show_error(const QString& text) = 0;
    // Information message box with a single OK button.
    virtual void show_information(const QString& text) = 0;
    // Plain message with a single OK button: no kind, no icon. Ports without
    // one of their own show it as information.
    virtual void show_message(const QString& text) { show_information(text); }
    // Warning question with OK and Cancel; true only when OK was chosen.
    virtual bool ask_ok_cancel(const QString& text) = 0;

    // Appends text (already stamped and ended by "\r\n") to the clinical memo.
    virtual void append_clinical_text(const QString& text) = 0;
    // Empties the clinical memo.
    virtual void clear_clinical_text() = 0;
    // Returns the clinical memo's whole text.
    virtual QString clinical_text() const = 0;
    // Makes text (stamped lines ended by "\r\n", or empty) the clinical
    // memo's whole text, as if it had been appended to an empty memo, without
    // announcing the lines again where appending announces them.
    virtual void replace_clinical_text(const QString& text)
    {
        clear_clinical_text();
        append_clinical_text(text);
    }

    // Replaces the hint line's text.
    virtual void set_hint_text(const QString& text) = 0;
    // (Re)starts the hint time-out timer; when it fires, the window calls
    // simulator::hint_timeout (run_controller::time_out_TTimer).
    virtual void start_hint_timer(int milliseconds) = 0;
    // Stops the hint time-out timer.
    virtual void stop_hint_timer() = 0;

    // Asks for a full redraw of the trend plot and the panels; the run state
    // has already been prepared (prepare_redraw) when this is called.
    virtual void redraw_main() = 0;

    // Fills the passport fields.
    virtual void set_passport_fields(const passport_texts& texts) = 0;

    // File-open dialog; the chosen path, or nullopt when cancelled.
    virtual std::optional<QString> open_file_dialog(const file_dialog_request& request) = 0;
    // File-save dialog; the chosen path, or nullopt when cancelled. It neither
    // adds an extension nor asks about overwriting.
    virtual std::optional<QString> save_file_dialog(const file_dialog_request& request) = 0;

    // Sets the main window's caption.
    virtual void set_caption(const QString& caption) = 0;
};

#endif
