// SPDX-License-Identifier: Apache-2.0
// The batch runner's ui_port: prints what a window would show and never
// blocks. Clinical lines and step warnings go to standard output, errors to
// standard error; questions are answered Cancel and dialogs cancelled.
#ifndef TOLVANE_BATCH_CONSOLE_UI_H
#define TOLVANE_BATCH_CONSOLE_UI_H

#include "headless_ui.h"

#include <QString>
#include <cstdio>

// Writes text to stream in UTF-8 and flushes it, so that standard output and
// standard error keep their order on a terminal. On a terminal, control
// characters other than line feed and tab are shown escaped
// (terminal_safe), so that a crafted name cannot retitle or clear it. A
// failed write leaves the stream's error flag set (see
// standard_output_status).
void print(std::FILE* stream, const QString& text);

// text with every control character but line feed and tab (C0, DEL, C1)
// written as "\xHH".
QString terminal_safe(const QString& text);

// Completes standard output at the end of the program: flushes it and
// returns status, or batch_file_error (1) after printing "tolvane-batch:
// cannot write to standard output: REASON" to standard error when a write
// to it failed (a full disk, a closed pipe) and status was 0.
int standard_output_status(int status);

class console_ui : public headless_ui {
public:
    console_ui(std::FILE* out, std::FILE* err) : out_(out), err_(err) {}

    void show_warning(const QString& text) override;
    void show_error(const QString& text) override;
    void show_information(const QString& text) override;
    bool ask_ok_cancel(const QString& text) override;
    void append_clinical_text(const QString& text) override;

private:
    std::FILE* out_;
    std::FILE* err_;
};

#endif
