// SPDX-License-Identifier: Apache-2.0
// A ui_port for programs without windows (tolvane-batch, tolvane-validate):
// every window operation does nothing, the clinical memo is kept as text,
// questions are answered Cancel and file dialogs are cancelled. Subclasses
// override what they want to show.
#ifndef TOLVANE_HEADLESS_UI_H
#define TOLVANE_HEADLESS_UI_H

#include "ui_port.h"

class headless_ui : public ui_port {
public:
    void set_control_enabled(ui_control, bool) override {}
    void beep() override {}
    void show_warning(const QString&) override {}
    void show_error(const QString&) override {}
    void show_information(const QString&) override {}
    bool ask_ok_cancel(const QString&) override { return false; }
    void append_clinical_text(const QString& text) override { clinical_ += text; }
    void clear_clinical_text() override { clinical_.clear(); }
    QString clinical_text() const override { return clinical_; }
    void replace_clinical_text(const QString& text) override { clinical_ = text; }
    void set_hint_text(const QString&) override {}
    void start_hint_timer(int) override {}
    void stop_hint_timer() override {}
    void redraw_main() override {}
    void set_passport_fields(const passport_texts&) override {}
    std::optional<QString> open_file_dialog(const file_dialog_request&) override { return std::nullopt; }
    std::optional<QString> save_file_dialog(const file_dialog_request&) override { return std::nullopt; }
    void set_caption(const QString&) override {}

private:
    QString clinical_;
};

#endif
