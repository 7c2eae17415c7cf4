// SPDX-License-Identifier: Apache-2.0
// One object that owns everything the front end keeps about the subject: the
// run state, the panel selections, the subject name and the run controller,
// wired to a ui_port. The main window, tolvane-batch and the report all work
// through it, so none of them repeats this logic.
#ifndef TOLVANE_SIMULATOR_H
#define TOLVANE_SIMULATOR_H

#include "panel_logic.h"
#include "run_controller.h"
#include "run_state.h"
#include "subject_file.h"
#include "subject_limits.h"
#include "ui_port.h"

#include <QString>
#include <array>
#include <vector>

// Texts and requests of the subject-file commands.
inline constexpr const char* subject_file_filter = "Report Files (*.sbj *.SBJ);;Text files (*.txt *.TXT)";

class simulator {
public:
    // The ui must outlive the simulator. Nothing is called until start().
    explicit simulator(ui_port& ui);

    // Main-window construction and first paint: estab_pnt, mm Hg units,
    // restart_subject (the standard subject, credits due), redraw. Call once
    // the window can take ui calls.
    void start();

    // --- state read by windows and the report -------------------------------
    run_state& state() { return controller_.state(); }
    const run_state& state() const { return controller_.state(); }
    const panel_selection& selection() const { return controller_.session().selection(); }
    // The run itself: the session the controller drives.
    run_session& session() { return controller_.session(); }
    const run_session& session() const { return controller_.session(); }
    run_controller& controller() { return controller_; }
    const run_controller& controller() const { return controller_; }
    // Path of the last subject file loaded (empty at start).
    const QString& subject_name() const { return subject_name_; }
    // The time the panels show now: cursor_time when pinned, else sim_time.
    int panel_time() const;
    // Texts and colours of the three panels for time t.
    panel_view panels(int t) const;

    // --- control buttons, mouse, keys, timer ---------------------------------
    void run_clicked();                                       // RUN
    void rerun_clicked();                                     // RE-RUN
    void back_clicked();                                      // BACK
    void forward_clicked();                                   // F'WARD
    void reset_clicked();                                     // RESET: restart_subject then redraw
    void mouse_down(int x, int y);                            // left button on the window's own surface
    void cursor_key(cursor_direction direction, bool large);  // Alt(+Shift)+Left/Right
    void info_key();      // Alt+I: the model's comment in an information box
    void hint_timeout();  // the hint timer fired

    // --- panels ------------------------------------------------------------
    // A factor row's combo box now shows index (-1 none): duplicate rule, hint 1.
    void factor_selection_changed(int row, int index);
    // A display row's combo box now shows index.
    void display_selection_changed(int row, int index);
    // A factor value field lost focus: enters each row whose text differs
    // from what the row shows for its factor's current value (hint 2 per
    // adjusted row) and returns the texts the fields now show. A row whose
    // text the user left as shown keeps its factor's value unrounded, also
    // a value the model moves itself.
    std::array<QString, panel_rows> factor_exit(const std::array<QString, panel_rows>& texts);
    // A passport field lost focus: enters height, weight, age and sex and
    // returns what the fields now show (BMI recomputed).
    passport_texts passport_exit(const QString& height_text, const QString& weight_text,
                                 const QString& age_text, int sex_index);
    // A pressure-unit radio button became checked: si true for kPa. Does
    // nothing when that unit is already in force.
    void set_pressure_units(bool si);

    // --- files -----------------------------------------------------------------
    // "&Load ...": dialog, read, caption, subject name, restart, redraw. A
    // cancel, or a file that cannot be opened or read whole, keeps the run.
    void load_clicked();
    // What "&Load ..." does with the path chosen in its dialog (also a
    // script's "load"): read; on success the standard subject, panel rows,
    // caption and subject name, restart and redraw; on failure an error box
    // and nothing else changes (cannot_open while a step runs).
    load_result load_chosen_file(const QString& path);
    // "&Save ...": dialog, overwrite question, write (old file kept on failure).
    void save_clicked();
    // The subject the program started with, restarted as tolvane-batch starts
    // it (mm Hg, no subject name, start-up panel rows, empty event log): where
    // a scenario is played from. No redraw.
    void restart_builtin_subject();

    // Loads a subject file without dialogs: on success the standard subject
    // and the panel rows take its values, the subject name becomes path and
    // the subject restarts; on failure nothing changes.
    subject_read_result load_subject(const QString& path);
    // Saves the live subject to path without dialogs or questions (see
    // write_subject_file).
    save_result save_subject(const QString& path);
    // Passport and factor values the last successful load set to a limit.
    const std::vector<clamped_value>& clamped_on_load() const { return clamped_on_load_; }

private:
    void redraw();
    // The hint for a typed value the field did not take as typed.
    void show_entry_hint(const catalogue_record& record, const QString& typed, const entered_value& entered);

    ui_port& ui_;
    QString subject_name_;
    // The name the open dialog proposes: "*.sbj" at first, then the path
    // last chosen in it (a cancel leaves it as it was).
    QString load_dialog_name_ = QStringLiteral("*.sbj");
    run_controller controller_;
    std::vector<clamped_value> clamped_on_load_;
    subject_data builtin_subject_;  // the standard subject at start()
};

#endif
