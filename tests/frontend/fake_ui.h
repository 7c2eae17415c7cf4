// SPDX-License-Identifier: Apache-2.0
// A ui_port for tests: records every call, answers from a script, never blocks.
#ifndef TOLVANE_TESTS_FAKE_UI_H
#define TOLVANE_TESTS_FAKE_UI_H

#include "run_state.h"
#include "ui_port.h"

#include <QString>
#include <QStringList>
#include <deque>
#include <functional>
#include <map>
#include <optional>
#include <vector>

class fake_ui : public ui_port {
public:
    // --- recorded calls -----------------------------------------------------
    std::map<ui_control, bool> enabled = {{ui_control::run, true},    {ui_control::rerun, false},
                                          {ui_control::back, false},  {ui_control::forward, false},
                                          {ui_control::reset, false}, {ui_control::print, true}};
    int beeps = 0;
    QStringList warnings, errors, informations, messages, questions;
    QString clinical;
    QString hint;
    QStringList hint_history;
    bool hint_timer_running = false;
    int hint_timer_interval = 0;
    int redraws = 0;
    passport_texts passport;
    QString caption;
    std::vector<file_dialog_request> open_requests, save_requests;

    // --- scripted answers ---------------------------------------------------
    std::deque<bool> question_answers;                // default: false (Cancel)
    std::deque<std::optional<QString>> open_answers;  // default: cancel
    std::deque<std::optional<QString>> save_answers;  // default: cancel
    std::function<void()> on_warning;                 // runs inside show_warning
    std::function<void()> on_clinical;                // runs inside append_clinical_text

    void set_control_enabled(ui_control control, bool on) override { enabled[control] = on; }
    void beep() override { ++beeps; }
    void show_warning(const QString& text) override
    {
        warnings << text;
        if (on_warning) on_warning();
    }
    void show_error(const QString& text) override { errors << text; }
    void show_information(const QString& text) override { informations << text; }
    void show_message(const QString& text) override { messages << text; }
    bool ask_ok_cancel(const QString& text) override
    {
        questions << text;
        if (question_answers.empty()) return false;
        const bool answer = question_answers.front();
        question_answers.pop_front();
        return answer;
    }
    void append_clinical_text(const QString& text) override
    {
        clinical += text;
        if (on_clinical) on_clinical();
    }
    void clear_clinical_text() override { clinical.clear(); }
    QString clinical_text() const override { return clinical; }
    void replace_clinical_text(const QString& text) override { clinical = text; }
    void set_hint_text(const QString& text) override
    {
        hint = text;
        hint_history << text;
    }
    void start_hint_timer(int milliseconds) override
    {
        hint_timer_running = true;
        hint_timer_interval = milliseconds;
        timer_due_ms = now_ms + milliseconds;
    }
    void stop_hint_timer() override { hint_timer_running = false; }
    void redraw_main() override { ++redraws; }
    void set_passport_fields(const passport_texts& texts) override { passport = texts; }
    std::optional<QString> open_file_dialog(const file_dialog_request& request) override
    {
        open_requests.push_back(request);
        return next_answer(open_answers);
    }
    std::optional<QString> save_file_dialog(const file_dialog_request& request) override
    {
        save_requests.push_back(request);
        return next_answer(save_answers);
    }
    void set_caption(const QString& text) override { caption = text; }

    // Virtual clock of the hint timer: advance_time fires on_timer when due.
    int now_ms = 0;
    int timer_due_ms = 0;
    std::function<void()> on_timer;
    void advance_time(int milliseconds)
    {
        for (int t = 0; t < milliseconds; ++t) {
            ++now_ms;
            if (hint_timer_running && now_ms >= timer_due_ms && on_timer) on_timer();
        }
    }

    static std::optional<QString> next_answer(std::deque<std::optional<QString>>& answers)
    {
        if (answers.empty() || !answers.front().has_value()) {
            if (!answers.empty()) answers.pop_front();
            return std::nullopt;
        }
        const QString path = *answers.front();
        answers.pop_front();
        return path;
    }

    bool is_enabled(ui_control control) const { return enabled.at(control); }
};

#endif
