// SPDX-License-Identifier: Apache-2.0
#include "run_session.h"

#include "cp1252_text.h"
#include "csv_text.h"
#include "event_words.h"
#include "flag_scope.h"
#include "number_text.h"
#include "pressure_mode.h"

#include <algorithm>
#include <cstdlib>
#include <new>
#if defined(__linux__)
#include <sys/mman.h>
#endif
#include <charconv>
#include <cstring>
#include <mutex>

run_session::run_session(history_table* table)
    : model_(std::make_unique<model_state>(model_state::pristine())),
      own_table_(table == nullptr ? std::make_unique<owned_table>() : nullptr),
      selection_(initial_selection())
{
    history_table* used = table != nullptr ? table : &own_table_->rows;
    state_.history = used;
    with_model([&] {
        host_ = std::make_unique<model_host>(used);
        rewind_ = std::make_unique<step_rewind>();
    });
    restart_subject(false);
}

run_session::~run_session() { model_lease::forget(*model_); }

void run_session::restart_subject(bool event)
{
    if (busy_) return;
    if (event) events_.record(reset_event(state_.sim_time));
    state_.win_start = state_.sim_time = state_.latest_time = state_.cursor_time = 0;
    state_.credits_shown = true;
    state_.cursor_pinned = false;
    notes_.clear();
    with_model([&] {
        // Every subject starts clean: natural breathing, no bag, and nothing
        // the last run's breathing circuit left behind.
        host_->start_standard_subject();
        // load_new restores the standard values in mm Hg; in kPa mode the
        // listed factors carry the kPa unit and limits, so their values
        // follow them.
        if (state_.si_pressure) scale_listed_factor_values(kpa_per_mmhg);
        host_->record(0);
        rewind_->record(0);
        rewind_->restart();
    });
    resume_pending_ = false;
    dead_ = false;
    last_recorded_ = 0;
    log_.clear();
    logged_seconds_ = 0;
    follow_log();
}

void run_session::append_note(const std::string& text)
{
    if (!text.empty()) notes_.push_back({state_.sim_time, text});
}

bool run_session::rewind_to(int t, float rate_now, float tidal_now)
{
    state_.sim_time = t;
    last_recorded_ = t;
    host_->restore(t);
    return rewind_->restore(t, rate_now, tidal_now, state_.si_pressure);
}

step_outcome run_session::run_step(int limit)
{
    step_outcome outcome;
    if (busy_ || dead_ || limit <= 0) return outcome;
    const flag_scope guard(busy_);
    outcome.started = true;
    with_model([&] {
        // After a RE-RUN into a minute with nothing set since, the step goes
        // on with the constants that minute ran with; otherwise they are
        // derived afresh, so that new settings take effect.
        const bool changed = rewind_->note_user_changes(state_.sim_time);
        const bool resume = resume_pending_ && !changed && state_.sim_time % 60 != 0;
        resume_pending_ = false;
        // A later RE-RUN to this second starts from the settings just made.
        rewind_->record_after_settings(state_.sim_time, resume);
        if (!resume) {
            // The model derives its constants from model units (mm Hg).
            const model_units_scope model_units(state_.si_pressure);
            host_->derive_constants();
        }
        rewind_->begin_seconds(state_.sim_time);
        outcome.start_time = state_.sim_time;
        const int to_mark = 60 - ((outcome.start_time % 60) + 60) % 60;
        outcome.step_length = std::min(to_mark, limit);
        state_.cursor_pinned = false;

        while (outcome.seconds_done < outcome.step_length) {
            const float rate_before = display[display_id::respiratory_rate].value;
            const float tidal_before = display[display_id::tidal_volume].value;
            ++state_.sim_time;
            const second_result second = host_->run_second(state_.sim_time);
            if (!second.failure.ok()) {
                outcome.failure = second.failure;
                // The failed second was not computed: the clock, the cursor
                // and the model go back to the last second that was.
                resume_pending_ = rewind_to(state_.sim_time - 1, rate_before, tidal_before);
                break;
            }
            last_recorded_ = state_.sim_time;
            if (second.symptom) outcome.symptom = true;
            for (const std::string& message : second.messages) append_note(message);
            outcome.died = second.died;
            rewind_->record(state_.sim_time);
            ++outcome.seconds_done;
            if (outcome.died) {
                dead_ = true;
                break;
            }
        }
        if (outcome.failure.ok() && !outcome.died) rewind_->end_seconds(state_.sim_time);
        rewind_->settle();
    });
    // A step the limit stopped within a minute is continued by the next.
    if (outcome.failure.ok() && !outcome.died &&
        outcome.step_length < 60 - ((outcome.start_time % 60) + 60) % 60)
        resume_pending_ = true;
    if (state_.sim_time - state_.win_start > state_.grid_span)
        state_.win_start = state_.sim_time + (outcome.step_length - outcome.seconds_done) - state_.grid_span;
    if (state_.sim_time > state_.latest_time) state_.latest_time = state_.sim_time;
    state_.credits_shown = false;
    follow_log();
    return outcome;
}

int run_session::earliest_rerun_time() const
{
    return std::max(0, state_.latest_time - (TOLVANE_HISTORY_COLUMNS - 1));
}

void run_session::strip_to_cursor()
{
    if (busy_) return;
    with_model([&] {
        rewind_->note_user_changes(state_.sim_time);
        events_.record(rerun_event(state_.cursor_time, state_.sim_time));
        resume_pending_ = rewind_to(state_.cursor_time, display[display_id::respiratory_rate].value,
                                    display[display_id::tidal_volume].value);
        rewind_->settle();
    });
    const int now = state_.sim_time;
    std::erase_if(notes_, [now](const clinical_note& note) { return note.time > now; });
    follow_log();
}

std::vector<clamped_value> run_session::load_subject(subject_data data, const std::string& name)
{
    if (busy_) return {};
    std::vector<clamped_value> clamped;
    with_model([&] {
        clamped = clamp_subject_to_limits(data);
        store_standard_subject(data);
    });
    selection_ = data.selection;
    events_.record(load_event(name, state_.sim_time));
    restart_subject(false);
    return clamped;
}

std::string run_session::subject_text(std::string_view path, std::string_view date_time)
{
    return with_model([&] { return ::subject_text(path, date_time, selection_, state_.si_pressure); });
}

clamped_entry run_session::set_factor(int index, float value)
{
    return with_model([&] {
        const float before = factor[index].value;
        const clamped_entry entry = enter_number(factor[index], value);
        if (factor[index].value != before)
            events_.record(factor_event(index, state_.sim_time, state_.si_pressure));
        return entry;
    });
}

respiration_ok_result run_session::set_respiration(const respiration_pending& pending,
                                                   const respiration_numbers& numbers)
{
    const respiration_snapshot before = respiration_now();
    const respiration_ok_result result = enter_respiration(pending, numbers);
    record_respiration_change(before, true);
    return result;
}

respiration_snapshot run_session::respiration_now()
{
    return with_model([] { return snapshot_respiration(); });
}

respiration_ok_result run_session::enter_respiration(const respiration_pending& pending,
                                                     const respiration_numbers& numbers)
{
    return with_model([&] { return apply_respiration(pending, numbers); });
}

void run_session::record_respiration_change(const respiration_snapshot& before, bool confirmed)
{
    with_model([&] {
        for (run_event& event : respiration_events(before, confirmed, state_.sim_time))
            events_.record(std::move(event));
    });
}

bool run_session::set_passport(float height_value, float weight_value, float age_value, int sex_value)
{
    const clamped_entry h = set_passport_value(passport_field::height, height_value);
    const clamped_entry w = set_passport_value(passport_field::weight, weight_value);
    const clamped_entry a = set_passport_value(passport_field::age, age_value);
    set_sex(sex_value);
    return h.adjusted || w.adjusted || a.adjusted;
}

clamped_entry run_session::set_passport_value(passport_field field, float value)
{
    return with_model([&] {
        catalogue_record& record = passport_record(field);
        const float before = record.value;
        const clamped_entry entry = enter_number(record, value);
        if (record.value != before)
            events_.record(passport_event(utf8_from_cp1252(record.name, std::strlen(record.name)).c_str(),
                                          record.value, state_.sim_time));
        return entry;
    });
}

void run_session::set_sex(int sex_value)
{
    with_model([&] {
        if ((sex_value != 0 && sex_value != 1) || sex_value == ::sex) return;
        ::sex = sex_value;
        events_.record(passport_event("sex", static_cast<float>(::sex), state_.sim_time));
    });
}

void run_session::set_pressure_units(bool si)
{
    if (busy_ || si == state_.si_pressure) return;
    state_.si_pressure = si;
    state_.credits_shown = false;
    with_model([&] { swap_pressure_units(si); });
}

float run_session::recorded(int row, int t) const
{
    if (t < earliest_rerun_time() || t > state_.latest_time || row < 0 || row >= history_table_rows) return 0;
    return table()[row][model_host::history_slot(t)];
}

namespace {

// Log chunks given back by the sessions of the process (a restart, a load,
// a session's end), kept for the next log up to a day's worth: memory the
// process holds already, which the kernel need not clear and fault in
// again. Never destroyed, so that a session ending at exit may still give
// its chunks back.
constexpr std::size_t kept_chunks_max = 11;
std::mutex& kept_chunks_mutex()
{
    static std::mutex mutex;
    return mutex;
}
std::vector<float*>& kept_chunks()
{
    static auto* chunks = new std::vector<float*>();
    return *chunks;
}

}  // namespace

void run_session::chunk_free::operator()(float* chunk) const
{
    {
        const std::lock_guard<std::mutex> lock(kept_chunks_mutex());
        if (kept_chunks().size() < kept_chunks_max) {
            kept_chunks().push_back(chunk);
            return;
        }
    }
    std::free(chunk);
}

run_session::log_chunk run_session::new_log_chunk()
{
    {
        const std::lock_guard<std::mutex> lock(kept_chunks_mutex());
        if (!kept_chunks().empty()) {
            float* chunk = kept_chunks().back();
            kept_chunks().pop_back();
            return log_chunk(chunk);
        }
    }
    constexpr std::size_t bytes = std::size_t{log_chunk_seconds} * logged_displays * sizeof(float);
    static_assert(bytes == std::size_t{2} << 20, "a chunk fills one huge page");
    void* memory = std::aligned_alloc(bytes, bytes);
    if (memory == nullptr) throw std::bad_alloc();
#if defined(MADV_HUGEPAGE)
    // A day's log is some 22 MB, written once: faulting it in by huge pages
    // instead of small ones halves a simulated day's time through the C
    // interface (session_bench: 173 ms of CPU before, 82 after).
    ::madvise(memory, bytes, MADV_HUGEPAGE);
#endif
    return log_chunk(static_cast<float*>(memory));
}

void run_session::follow_log()
{
    // Seconds after the last recorded one are gone (a RE-RUN); the last one
    // is taken again, and every one up to it from the history.
    logged_seconds_ = std::min(logged_seconds_, last_recorded_);
    const history_table& h = table();
    while (logged_seconds_ <= last_recorded_) {
        // The seconds up to the end of the chunk the next one falls in.
        const int first = logged_seconds_;
        const int last = std::min(last_recorded_, (first / log_chunk_seconds + 1) * log_chunk_seconds - 1);
        const std::size_t index = static_cast<std::size_t>(first / log_chunk_seconds);
        if (log_.size() <= index) log_.resize(index + 1);
        // Left uninitialised: every second is written before it is read.
        if (log_[index] == nullptr) log_[index] = new_log_chunk();
        float* chunk = log_[index].get();
        // Second by second, the history column found once for each; the
        // log's row of a second is written in one sweep.
        for (int t = first; t <= last; ++t) {
            const int slot = model_host::history_slot(t);
            float* row = chunk + static_cast<std::size_t>(t % log_chunk_seconds) * logged_displays;
            for (int d = 0; d < logged_displays; ++d) row[d] = h[d][slot];
        }
        logged_seconds_ = last + 1;
    }
}

std::string run_session::csv_text(int digits)
{
    // The header names the mm Hg units the rows are written in, whatever
    // units are shown.
    std::string text = run_csv_header_text();
    const int seconds = logged_seconds();
    text.reserve(text.size() + static_cast<std::size_t>(seconds) * (8 + 11 * logged_displays));
    char row[16 + (1 + csv_number_max) * logged_displays];
    for (int t = 0; t < seconds; ++t) {
        char* end = std::to_chars(row, row + 16, t).ptr;
        for (int d = 0; d < logged_displays; ++d) {
            *end++ = ',';
            end = format_csv_number(end, logged(d, t), digits);
        }
        *end++ = '\n';
        text.append(row, static_cast<std::size_t>(end - row));
    }
    return text;
}
