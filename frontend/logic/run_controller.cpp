#include "run_controller.h"

#include "cp1252.h"
#include "flag_scope.h"
#include "panel_logic.h"
#include "plot_geometry.h"
#include "pressure_units.h"
#include "result_text.h"
#include "tolvane_model.h"

#include <string>

namespace {

constexpr int hint_time_out_ms = 5000;

}  // namespace

run_controller::run_controller(run_state& state, ui_port& ui) : state_(state), ui_(ui) {}

void run_controller::set_client_width(int width) { client_width_ = width; }

void run_controller::enable(ui_control control, bool on) { ui_.set_control_enabled(control, on); }

void run_controller::redraw_main()
{
    prepare_redraw(state_, client_width_);
    ui_.redraw_main();
}

void run_controller::restart_subject()
{
    if (busy_) return;
    state_.win_start = state_.sim_time = state_.latest_time = state_.cursor_time = 0;
    state_.credits_shown = true;
    state_.cursor_pinned = false;
    ui_.clear_clinical_text();
    // Every subject starts clean: natural breathing, no bag, and nothing the
    // last run's breathing circuit left behind.
    host_.start_standard_subject();
    // load_new restores the standard values in mm Hg; in kPa mode the listed
    // factors carry the kPa unit and limits, so their values follow them.
    if (state_.si_pressure) scale_listed_factor_values(kpa_per_mmhg);
    ui_.set_passport_fields(current_passport_texts());
    model_host::record_history(0);
    rewind_.record(0);
    rewind_.restart();
    resume_pending_ = false;
    dead_ = false;
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

void run_controller::append_clinical() { append_clinical(model_host::take_messages()); }

void run_controller::append_clinical(const std::string& text)
{
    if (text.empty()) return;
    ui_.append_clinical_text(format_minutes_seconds(state_.sim_time) + QLatin1Char(' ') +
                             QString::fromStdString(text) + QStringLiteral("\r\n"));
}

step_outcome run_controller::run_to_minute()
{
    step_outcome outcome;
    if (busy_ || dead_) return outcome;
    const flag_scope guard(busy_);
    outcome.started = true;

    // After a RE-RUN into a minute with nothing set since, the step goes on
    // with the constants that minute ran with; otherwise they are derived
    // afresh, so that new settings take effect.
    const bool changed = rewind_.note_user_changes(state_.sim_time);
    const bool resume = resume_pending_ && !changed && state_.sim_time % 60 != 0;
    resume_pending_ = false;
    if (!resume) {
        // The model derives its constants from model units (mm Hg).
        const model_units_scope model_units(state_.si_pressure);
        host_.derive_constants();
    }
    outcome.start_time = state_.sim_time;
    outcome.step_length = 60 - ((outcome.start_time % 60) + 60) % 60;
    state_.cursor_pinned = false;

    while (outcome.seconds_done < outcome.step_length) {
        ++state_.sim_time;
        const second_result second = host_.run_second(state_.sim_time);
        if (check_model_result(second.failure)) {
            outcome.failure = second.failure;
            break;
        }
        if (second.symptom) outcome.symptom = true;
        for (const std::string& message : second.messages) append_clinical(message);
        outcome.died = second.died;
        rewind_.record(state_.sim_time);
        ++outcome.seconds_done;
        if (outcome.died) {
            dead_ = true;
            enable(ui_control::run, false);
            break;
        }
    }

    rewind_.settle();
    if (outcome.symptom || outcome.died) ui_.beep();
    if (state_.sim_time - state_.win_start > state_.grid_span)
        state_.win_start = state_.sim_time + (outcome.step_length - outcome.seconds_done) - state_.grid_span;
    if (state_.sim_time > state_.latest_time) state_.latest_time = state_.sim_time;
    state_.credits_shown = false;
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
    if (busy_) return;
    rewind_.note_user_changes(state_.sim_time);
    const float rate_now = display[display_id::respiratory_rate].value;
    const float tidal_now = display[display_id::tidal_volume].value;
    state_.sim_time = state_.cursor_time;
    model_host::restore_from_history(state_.sim_time);
    rewind_.restore(state_.sim_time, rate_now, tidal_now, state_.si_pressure);
    rewind_.settle();
    resume_pending_ = true;
    redraw_main();
}

void run_controller::page_back()
{
    if (busy_) return;
    state_.cursor_pinned = true;
    state_.win_start -= 60;
    if (state_.win_start < 0) {
        state_.win_start = 0;
        show_hint(hint_negative_time, true);
    }
    if (state_.win_start < state_.latest_time - TOLVANE_HISTORY_COLUMNS) {
        state_.win_start = state_.latest_time - TOLVANE_HISTORY_COLUMNS;
        show_hint(hint_history_capacity, true);
    }
    redraw_main();
}

void run_controller::page_forward()
{
    if (busy_) return;
    state_.win_start += 60;
    if (state_.win_start > state_.sim_time) {
        state_.win_start = state_.sim_time;
        show_hint(hint_future_time, true);
    }
    redraw_main();
}

void run_controller::move_cursor(cursor_direction direction, bool large)
{
    if (busy_) return;
    const int steps = large ? 60 : 1;
    for (int n = 0; n < steps; ++n) {
        if (direction == cursor_direction::left) {
            if (state_.cursor_time <= state_.win_start) break;
            --state_.cursor_time;
        } else {
            if (state_.cursor_time >= state_.sim_time) break;
            ++state_.cursor_time;
        }
    }
    state_.cursor_pinned = true;
    redraw_main();
}

void run_controller::place_cursor(int x, int y)
{
    if (busy_) return;
    const int dx = x - plot_time_origin_x;
    if (dx > 0 && dx <= state_.sim_time - state_.win_start && y > click_band_top_y &&
        y < click_band_bottom_y) {
        state_.cursor_time = state_.win_start + dx;
        state_.cursor_pinned = true;
        redraw_main();
    } else {
        show_hint(hint_click_within_plot, true);
    }
}

void run_controller::show_hint(int code, bool beep)
{
    if (code < 0 || code >= static_cast<int>(hint_texts.size())) return;
    if (beep) ui_.beep();
    ui_.set_hint_text(QString::fromLatin1(hint_texts[code]));
    ui_.start_hint_timer(hint_time_out_ms);
}

void run_controller::time_out_TTimer()
{
    ui_.stop_hint_timer();
    ui_.set_hint_text(QString());
}
