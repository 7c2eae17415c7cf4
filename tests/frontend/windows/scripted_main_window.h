// SPDX-License-Identifier: Apache-2.0
// A main window for tests whose message boxes, file dialogs and document
// viewer only record what they were asked and answer from queues, so that no
// test blocks on a modal window.
#ifndef TOLVANE_TESTS_SCRIPTED_MAIN_WINDOW_H
#define TOLVANE_TESTS_SCRIPTED_MAIN_WINDOW_H

#include <QList>
#include <QStringList>
#include <QUrl>

#include <deque>
#include <optional>

#include "main_window.h"

// Tmain_F whose boxes, dialogs and document viewer only record.
class scripted_main_F : public Tmain_F {
public:
    QStringList errors, others;
    std::deque<std::optional<QString>> save_answers, open_answers;  // default cancel
    QStringList save_titles;
    QList<QUrl> opened;

    void beep() override {}
    void show_warning(const QString& text) override { others << text; }
    void show_error(const QString& text) override { errors << text; }
    void show_information(const QString& text) override { others << text; }
    void show_message(const QString& text) override { others << text; }
    std::deque<bool> answers;  // default OK
    QStringList questions;
    bool ask_ok_cancel(const QString& text) override
    {
        questions << text;
        if (answers.empty()) return true;
        const bool a = answers.front();
        answers.pop_front();
        return a;
    }
    std::optional<QString> open_file_dialog(const file_dialog_request&) override
    {
        return next(open_answers);
    }
    std::optional<QString> save_file_dialog(const file_dialog_request& r) override
    {
        save_titles << r.title;
        return next(save_answers);
    }
    bool open_url(const QUrl& url) override
    {
        opened << url;
        return true;
    }

private:
    static std::optional<QString> next(std::deque<std::optional<QString>>& answers)
    {
        if (answers.empty()) return std::nullopt;
        const std::optional<QString> a = answers.front();
        answers.pop_front();
        return a;
    }
};

#endif
