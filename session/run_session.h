// SPDX-License-Identifier: Apache-2.0
// One subject's run, without a toolkit: the model host and the clock, the
// 30-minute history and the rewind memory (RE-RUN), the log of every second
// since the subject's start, the clinical notes, the events, the panel rows
// and the unit mode. The window, tolvane-batch and the C interface drive a
// run through this class, so RUN, RE-RUN, RESET and Load mean the same in
// each.
//
// Several sessions may live in one process: each keeps its own copy of the
// model's state and makes it live for its work on the model (model_lease).
// Every member that touches the model takes the lease itself; with_model
// gives a client the same for its own reads and writes of the model.
#ifndef TOLVANE_RUN_SESSION_H
#define TOLVANE_RUN_SESSION_H

#include "event_log.h"
#include "event_words.h"
#include "model_host.h"
#include "model_state.h"
#include "panel_rows.h"
#include "respiration.h"
#include "run_state.h"
#include "step_rewind.h"
#include "subject_io.h"
#include "subject_limits.h"

#include <memory>
#include <string>
#include <vector>

// How one run step (RUN, or part of a minute) ended.
struct step_outcome {
    bool started = false;  // false when the call was ignored (busy or dead)
    int start_time = 0;    // sim_time when the step began
    int step_length = 0;   // seconds to the next minute mark (or the limit), 1..60
    int seconds_done = 0;  // seconds run and recorded
    step_result failure;   // not ok: model() returned its item, the step stopped
                           // with the clock at the last second recorded
    bool symptom = false;  // sympt() reported news during the step
    bool died = false;     // death() ended the step

    // The second that failed (start_time + seconds_done + 1); meaningful
    // only when failure is not ok.
    int failed_time() const { return start_time + seconds_done + 1; }
};

// A clinical note: what the model reported, stamped with the time it came.
struct clinical_note {
    int time = 0;
    std::string text;  // UTF-8, without the time stamp
};

class run_session {
public:
    // Records the seconds into table (null: a table of the session's own)
    // and starts the standard subject at time 0. A given table must outlive
    // the session.
    explicit run_session(history_table* table = nullptr);
    ~run_session();
    run_session(const run_session&) = delete;
    run_session& operator=(const run_session&) = delete;

    // Runs f with this session's subject live in the model and returns its
    // result; no other session works on the model meanwhile.
    template <typename F>
    decltype(auto) with_model(F&& f)
    {
        const model_lease lease(*model_);
        return f();
    }

    run_state& state() { return state_; }
    const run_state& state() const { return state_; }
    panel_selection& selection() { return selection_; }
    const panel_selection& selection() const { return selection_; }
    // True while a step runs: other operations are ignored meanwhile.
    bool busy() const { return busy_; }
    // True after a death until the next restart (RUN refused).
    bool dead() const { return dead_; }
    // The last second recorded: sim_time (a failed step goes back to it).
    int last_recorded() const { return last_recorded_; }

    // RESET, start-up and subject load: time 0, credits, no notes, natural
    // ventilation with bag state 10 and no circuit memory, load_new, column
    // 0 recorded. In kPa mode the listed factors are converted to kPa after
    // load_new. Records a reset event when event is set. Ignored while a
    // step runs.
    void restart_subject(bool event = true);

    // RUN: constant(60) in model units, then second by second to the next
    // minute mark (bag, model, sympt, death, notes, history, log); stops at
    // a model failure or a death. After a failure the clock and the model
    // stand at the last second computed, as after a RE-RUN to it, so that
    // nothing shows the failed second. Ignored while a step runs or after a
    // death.
    step_outcome run_to_minute() { return run_step(60); }

    // As run_to_minute, but at most limit seconds. A step stopped short by
    // the limit is followed by the next one with the same constants when
    // nothing was set in between, so seconds run in parts repeat a minute
    // run bit for bit.
    step_outcome run_step(int limit);

    // RE-RUN to state().cursor_time: it becomes the current time; display
    // and other take their recorded values there, and the model everything
    // else the step carried at that second (step_rewind), while what the
    // user set since keeps its current value. At a second where a RUN
    // started, the values are those after the settings made there. Notes
    // after it are dropped, the log is cut there, and a rerun event is
    // recorded. A RUN from a second within a minute, with nothing changed
    // since, goes on with the constants that second ran with, so it repeats
    // the earlier run bit for bit. Ignored while a step runs.
    void strip_to_cursor();

    // The first second RE-RUN can reach: max(0, latest_time - 1799).
    int earliest_rerun_time() const;

    // Load: data (read by read_subject_file/text) is held to the catalogue
    // limits, becomes the standard subject, gives the panel rows and starts
    // at 0; name goes into the load event. Returns the values clamped.
    std::vector<clamped_value> load_subject(subject_data data, const std::string& name);

    // The subject file's text for the live subject and the panel rows.
    std::string subject_text(std::string_view path, std::string_view date_time);

    // Enters value into factor index as a panel field enters a typed value
    // (held to its limits, in the units shown) and records a factor event.
    // The index must name a factor.
    clamped_entry set_factor(int index, float value);

    // The respiration dialog's OK with these settings; records a
    // respiration event (also when the percentages were refused).
    respiration_ok_result set_respiration(const respiration_pending& pending,
                                          const respiration_numbers& numbers);

    // The respiration dialog, which may press OK several times (a refused
    // OK keeps it open) before it closes: each OK enters the settings
    // without an event, and the dialog's close records what changed since
    // it opened (confirmed: closed with OK).
    respiration_snapshot respiration_now();
    respiration_ok_result enter_respiration(const respiration_pending& pending,
                                            const respiration_numbers& numbers);
    void record_respiration_change(const respiration_snapshot& before, bool confirmed);

    // The passport fields' entry: each value held to its limits, sex 0 or 1
    // (another sex keeps the current one); records a passport event.
    // Returns true when a value was held to a limit.
    bool set_passport(float height, float weight, float age, int sex);
    // One passport field's entry, held to its limits; records a passport
    // event when the value changed.
    clamped_entry set_passport_value(passport_field field, float value);
    // Sex 0 or 1 (another number changes nothing); records a passport event
    // when it changed.
    void set_sex(int sex);

    // Switches the pressures shown (kPa when si), as the unit buttons do.
    void set_pressure_units(bool si);

    // Adds a clinical note (UTF-8, without time stamp) at the current time;
    // an empty text adds nothing.
    void append_note(const std::string& text);

    // The stored sample (model units) of history row at second t, 0 when t
    // lies outside the history.
    float recorded(int row, int t) const;
    // The table the seconds are recorded into.
    const history_table& table() const { return host_->table(); }

    const std::vector<clinical_note>& notes() const { return notes_; }
    // What happened during the run: the session records loads, resets,
    // RE-RUNs and what it sets itself; a client that sets the model
    // directly (the window's panels) records its changes here.
    event_log& events() { return events_; }
    const event_log& events() const { return events_; }

    // The log: seconds 0 .. logged_seconds() - 1 of display variables
    // 0..logged_displays-1 in model units, kept for any length of run.
    int logged_seconds() const { return logged_seconds_; }
    float logged(int d, int t) const { return logged_row(t)[d]; }
    // Second t's logged_displays values side by side.
    const float* logged_row(int t) const
    {
        return log_[static_cast<std::size_t>(t / log_chunk_seconds)].get() +
               static_cast<std::size_t>(t % log_chunk_seconds) * logged_displays;
    }

    // The run as CSV from the log: the header with mm Hg units (whatever
    // is shown), then one row a second from 0; digits significant digits
    // (7 the CSV's usual; 1..17).
    std::string csv_text(int digits = 7);

private:
    void follow_log();
    // Puts the clock and the model back at second t of the history as RE-RUN
    // does; rate_now and tidal_now are the ventilator's settings the user's
    // latest changes left. Returns true when a RUN from t may go on with the
    // constants the model now holds (step_rewind::restore).
    bool rewind_to(int t, float rate_now, float tidal_now);

    std::unique_ptr<model_state> model_;
    struct owned_table {
        history_table rows{};
    };
    std::unique_ptr<owned_table> own_table_;
    std::unique_ptr<model_host> host_;
    run_state state_;
    panel_selection selection_;
    std::unique_ptr<step_rewind> rewind_;
    bool busy_ = false;
    bool dead_ = false;
    // Set by RE-RUN (or a step stopped by its limit) until the next step:
    // that step may resume the minute.
    bool resume_pending_ = false;
    int last_recorded_ = 0;
    std::vector<clinical_note> notes_;
    event_log events_;
    // The log in chunks of 2 MiB, so that a long run never moves what it
    // logged before.
    // 8192 seconds of 64 floats: 2 MiB, which the kernel may back by one
    // huge page instead of faulting in 512 small ones.
    static constexpr int log_chunk_seconds = 8192;
    struct chunk_free {
        void operator()(float* chunk) const;
    };
    using log_chunk = std::unique_ptr<float[], chunk_free>;
    static log_chunk new_log_chunk();
    std::vector<log_chunk> log_;
    int logged_seconds_ = 0;
};

#endif
