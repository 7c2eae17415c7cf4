// The batch runner's ui_port: prints what a window would show and never
// blocks. Clinical lines and step warnings go to standard output, errors to
// standard error; questions are answered Cancel and dialogs cancelled.
#ifndef TOLVANE_BATCH_CONSOLE_UI_H
#define TOLVANE_BATCH_CONSOLE_UI_H

#include "ui_port.h"

#include <cstdio>

class console_ui : public ui_port {
public:
    console_ui(std::FILE* out, std::FILE* err) : out_(out), err_(err) {}

    void set_control_enabled(ui_control, bool) override {}
    void beep() override {}
    void show_warning(const QString& text) override;
    void show_error(const QString& text) override;
    void show_information(const QString& text) override;
    bool ask_ok_cancel(const QString& text) override;
    void append_clinical_text(const QString& text) override;
    void clear_clinical_text() override { clinical_.clear(); }
    QString clinical_text() const override { return clinical_; }
    void set_hint_text(const QString&) override {}
    void start_hint_timer(int) override {}
    void stop_hint_timer() override {}
    void redraw_main() override {}
    void set_passport_fields(const passport_texts&) override {}
    std::optional<QString> open_file_dialog(const file_dialog_request&) override { return std::nullopt; }
    std::optional<QString> save_file_dialog(const file_dialog_request&) override { return std::nullopt; }
    void set_caption(const QString&) override {}

private:
    void print(std::FILE* stream, const QString& text);

    std::FILE* out_;
    std::FILE* err_;
    QString clinical_;
};

#endif
