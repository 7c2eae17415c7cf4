// The logic behind RUN, RE-RUN, BACK, F'WARD and RESET, the plot cursor and
// the hint line: it owns the subject's simulated clock, drives the model one
// second at a time up to the next whole minute and records every second.
#ifndef TOLVANE_RUN_CONTROLLER_H
#define TOLVANE_RUN_CONTROLLER_H

#include "model_host.h"
#include "run_session.h"
#include "run_state.h"
#include "step_rewind.h"
#include "ui_port.h"

#include <QString>

enum class cursor_direction { left, right };

class run_controller {
public:
    // Works on state and reports through ui; both must outlive the controller.
    run_controller(run_state& state, ui_port& ui);

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
    // model failure (warning box) or a death (RUN disabled). Ignored while a
    // step runs or after a death.
    step_outcome run_to_minute();

    // RE-RUN: the cursor time becomes the current time; display and other
    // take their recorded values there, and the model everything else the
    // step carried at that second (step_rewind), while what the user set
    // keeps its current value. A RUN from a second within a minute, with
    // nothing changed since the RE-RUN, goes on with the constants that
    // second ran with, so it repeats the earlier run bit for bit.
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

    // True while run_to_minute runs: other operations are ignored meanwhile.
    bool busy() const { return busy_; }
    // True after a death until the next restart_subject (RUN disabled).
    bool subject_dead() const { return dead_; }

    run_state& state() { return state_; }
    const run_state& state() const { return state_; }
    ui_port& ui() { return ui_; }

private:
    void enable(ui_control control, bool on);

    model_host host_;
    run_state& state_;
    ui_port& ui_;
    int client_width_ = design_client_width;
    bool busy_ = false;
    bool dead_ = false;
    step_rewind rewind_;
    // Set by RE-RUN until the next RUN: that RUN may resume the minute.
    bool resume_pending_ = false;
};

#endif
