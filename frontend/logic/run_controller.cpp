// SPDX-License-Identifier: Apache-2.0
#include "run_controller.h"

#include "cp1252.h"
#include "flag_scope.h"
#include "model_host.h"
#include "panel_logic.h"
#include "plot_geometry.h"
#include "pressure_units.h"
#include "result_text.h"

#include <algorithm>
#include <string>

namespace {

constexpr int hint_time_out_ms = 5000;

}  // namespace

run_controller::run_controller(ui_port& ui) : session_(model_host::exported_table()), ui_(ui) {}

void run_controller::set_client_width(int width) { client_width_ = width; }

void run_controller::enable(ui_control control, bool on) { ui_.set_control_enabled(control, on); }

void run_controller::redraw_main()
{
    prepare_redraw(state(), client_width_);
    ui_.redraw_main();
}

void run_controller::restart_subject()
{
    if (busy()) return;
    ui_.clear_clinical_text();
    session_.restart_subject(false);
    ui_.set_passport_fields(current_passport_texts());
    enable(ui_control::back, false);
    enable(ui_control::forward, false);
    enable(ui_control::print, false);
    enable(ui_control::rerun, false);
    enable(ui_control::reset, false);
    enable(ui_control::run, true);
}

bool run_controller::check_model_result(const step_result& failure)
{
    if (failure.ok()) return false;
    ui_.show_warning(message_text(failure));
    return true;
}

namespace {

// One line of the clinical memo: "MM:SS text\r\n".
QString memo_line(const clinical_note& note)
{
    return format_minutes_seconds(note.time) + QLatin1Char(' ') + QString::fromStdString(note.text) +
           QStringLiteral("\r\n");
}

}  // namespace

void run_controller::show_notes_from(std::size_t first)
{
    const std::vector<clinical_note>& notes = session_.notes();
    for (std::size_t k = first; k < notes.size(); ++k) ui_.append_clinical_text(memo_line(notes[k]));
}

void run_controller::show_all_notes()
{
    QString text;
    for (const clinical_note& note : session_.notes()) text += memo_line(note);
    ui_.replace_clinical_text(text);
}

void run_controller::append_clinical() { append_clinical(model_host::take_messages()); }

void run_controller::append_clinical(const std::string& text)
{
    const std::size_t before = session_.notes().size();
    session_.append_note(text);
    show_notes_from(before);
}

step_outcome run_controller::run_to_minute()
{
    if (busy()) return {};
    const flag_scope guard(busy_);
    const std::size_t notes_before = session_.notes().size();
    const step_outcome outcome = session_.run_to_minute();
    if (!outcome.started) return outcome;
    show_notes_from(notes_before);
    check_model_result(outcome.failure);
    if (outcome.died) enable(ui_control::run, false);
    if (outcome.symptom || outcome.died) ui_.beep();
    redraw_main();
    enable(ui_control::back, true);
    enable(ui_control::forward, true);
    enable(ui_control::print, true);
    enable(ui_control::rerun, true);
    enable(ui_control::reset, true);
    return outcome;
}

void run_controller::strip_to_cursor()
{
    if (busy()) return;
    const std::size_t notes_before = session_.notes().size();
    session_.strip_to_cursor();
    if (session_.notes().size() != notes_before) show_all_notes();
    redraw_main();
}

void run_controller::page_back()
{
    if (busy()) return;
    state().cursor_pinned = true;
    state().win_start -= 60;
    if (state().win_start < 0) {
        state().win_start = 0;
        show_hint(hint_negative_time, true);
    }
    if (state().win_start < state().latest_time - history_table_columns) {
        state().win_start = state().latest_time - history_table_columns;
        show_hint(hint_history_capacity, true);
    }
    redraw_main();
}

void run_controller::page_forward()
{
    if (busy()) return;
    state().win_start += 60;
    if (state().win_start > state().sim_time) {
        state().win_start = state().sim_time;
        show_hint(hint_future_time, true);
    }
    redraw_main();
}

void run_controller::move_cursor(cursor_direction direction, bool large)
{
    if (busy()) return;
    const int steps = large ? 60 : 1;
    // The window may start one second before the oldest second the history
    // holds (its column already holds the newest one).
    const int leftmost = std::max(state().win_start, session_.earliest_rerun_time());
    for (int n = 0; n < steps; ++n) {
        if (direction == cursor_direction::left) {
            if (state().cursor_time <= leftmost) break;
            --state().cursor_time;
        } else {
            if (state().cursor_time >= state().sim_time) break;
            ++state().cursor_time;
        }
    }
    state().cursor_pinned = true;
    redraw_main();
}

void run_controller::place_cursor(int x, int y)
{
    if (busy()) return;
    const int dx = x - plot_time_origin_x;
    if (dx > 0 && dx <= state().sim_time - state().win_start && y > click_band_top_y &&
        y < click_band_bottom_y) {
        state().cursor_time = state().win_start + dx;
        state().cursor_pinned = true;
        redraw_main();
    } else {
        show_hint(hint_click_within_plot, true);
    }
}

void run_controller::show_hint(int code, bool beep)
{
    if (code < 0 || code >= static_cast<int>(hint_texts.size())) return;
    show_hint_text(QString::fromLatin1(hint_texts[code]), beep);
}

void run_controller::show_hint_text(const QString& text, bool beep)
{
    if (beep) ui_.beep();
    ui_.set_hint_text(text);
    ui_.start_hint_timer(hint_time_out_ms);
}

void run_controller::time_out_TTimer()
{
    ui_.stop_hint_timer();
    ui_.set_hint_text(QString());
}
