// SPDX-License-Identifier: Apache-2.0
// The logic behind RUN, RE-RUN, BACK, F'WARD and RESET, the plot cursor and
// the hint line, for a window: the run itself (the clock, the model's
// seconds, the history, RE-RUN, notes and events) is the run_session it
// owns; the controller adds what is about the window: the controls' states,
// the warning box, the beep, the clinical memo, the hints and the redraw.
#ifndef TOLVANE_RUN_CONTROLLER_H
#define TOLVANE_RUN_CONTROLLER_H

#include "run_session.h"
#include "ui_port.h"

#include <QString>

enum class cursor_direction { left, right };

class run_controller {
public:
    // Reports through ui, which must outlive the controller. The session
    // records into the model's exported history table, which the plot and
    // the report read.
    explicit run_controller(ui_port& ui);

    // Width of the window's client area for the redraw state (default the design width).
    void set_client_width(int width);
    int client_width() const { return client_width_; }

    // RESET, start-up and subject load: time 0, credits, empty memo, natural
    // ventilation with bag state 10 and no circuit memory, load_new,
    // passport refilled, column 0 recorded, only RUN enabled. In kPa mode the
    // listed factors are converted to kPa after load_new. No redraw.
    void restart_subject();

    // RUN: constant(60) in model units, then second by second to the next
    // minute mark (bag, model, sympt, death, messages, history); stops at a
    // model failure (warning box) or a death (RUN disabled). After a failure
    // the clock and the model stand at the last second computed, as after a
    // RE-RUN to it, so that nothing shows the failed second. Ignored while a
    // step runs or after a death.
    step_outcome run_to_minute();

    // RE-RUN: the cursor time becomes the current time; display and other
    // take their recorded values there, and the model everything else the
    // step carried at that second (step_rewind), while what the user set
    // since keeps its current value. At a second where a RUN started, the
    // values are those after the settings made there. The clinical notes
    // stamped after the cursor time belong to the run thrown away and leave
    // the memo. A RUN from a second
    // within a minute, with nothing changed since the RE-RUN, goes on with
    // the constants that second ran with, so it repeats the earlier run bit
    // for bit.
    void strip_to_cursor();

    // BACK: window 60 s back, clamped at 0 (hint 4) and at latest_time - 1800 (hint 5).
    void page_back();

    // F'WARD: window 60 s forward, clamped at sim_time (hint 6).
    void page_forward();

    // Alt(+Shift)+Left/Right: 1 s, or up to 60 s, within win_start..sim_time;
    // always pins the cursor and redraws.
    void move_cursor(cursor_direction direction, bool large);

    // Left click at client point x, y: moves the cursor into the plotted span
    // or shows hint 3.
    void place_cursor(int x, int y);

    // Shows hint code (0..6; others show nothing new) and (re)starts the 5 s
    // time-out; beeps first when beep is true.
    void show_hint(int code, bool beep);

    // Shows text on the hint line as a hint is shown (timer, optional beep).
    void show_hint_text(const QString& text, bool beep);

    // Hint time-out: stops the timer and empties the hint line.
    void time_out_TTimer();

    // Moves a non-empty app_buf into the clinical memo as "%02d:%02d %s\r\n"
    // stamped with sim_time, then empties app_buf.
    void append_clinical();
    // Appends one message of the model (UTF-8) to the clinical memo as above.
    void append_clinical(const std::string& text);

    // Shows the warning of a failed second ("Item %d is negative - please
    // notify authority."); returns true when the caller must stop the step.
    bool check_model_result(const step_result& failure);

    // Prepares the redraw state and asks the window to redraw.
    void redraw_main();

    // True while run_to_minute runs, its warning box included: other
    // operations are ignored meanwhile.
    bool busy() const { return busy_ || session_.busy(); }
    // True after a death until the next restart_subject (RUN disabled).
    bool subject_dead() const { return session_.dead(); }

    run_state& state() { return session_.state(); }
    const run_state& state() const { return session_.state(); }
    ui_port& ui() { return ui_; }
    run_session& session() { return session_; }
    const run_session& session() const { return session_; }

    // What happened during the run; RE-RUN records itself, the simulator
    // records factor changes, RESET and loads, the window the respiration
    // dialog.
    event_log& events() { return session_.events(); }
    const event_log& events() const { return session_.events(); }

private:
    void enable(ui_control control, bool on);
    // Shows the session's notes from note first on in the memo.
    void show_notes_from(std::size_t first);
    // Writes the memo anew from the session's notes (after RE-RUN dropped some).
    void show_all_notes();

    run_session session_;
    ui_port& ui_;
    int client_width_ = design_client_width;
    bool busy_ = false;
};

#endif
