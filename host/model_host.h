// SPDX-License-Identifier: Apache-2.0
// The one door to the model library: every program of the project (the
// window, tolvane-batch, validation, the envelope, the model's own tests
// and the benchmarks) drives the library's C interface through this class,
// so the order of calls in a simulated second is written once.
//
// A second is: bager(1) when the bag state is a rebreathing one, model(),
// sympt(), death(), app_buf drained after each of the last two, and the
// second's display and other values recorded into the history.
//
// Toolkit-free and linked with nothing but the model: the programs link the
// shared library, the model's tests its objects.
#ifndef TOLVANE_MODEL_HOST_H
#define TOLVANE_MODEL_HOST_H

#include "result.h"
#include "slot_ids.h"

#include "tolvane_model.h"

#include <array>
#include <string>
#include <vector>

// How a simulated second failed: the failure item model() returned and the
// warning the user sees for it ("Item 7 is negative - please notify
// authority."); ok when the second completed.
using step_result = result<failure_code::failure_item>;

// What one simulated second gave.
struct second_result {
    // Not ok: model() returned a failure item, and the second ran no
    // further (no symptoms, no death judgement, no history).
    step_result failure;
    bool symptom = false;  // sympt() reported news
    bool died = false;     // death() judged the subject dead
    // The texts sympt() and death() left in app_buf, in that order, decoded
    // from code page 1252 to UTF-8; empty texts are left out.
    std::vector<std::string> messages;

    bool failed() const { return !failure.ok(); }
};

// The recorded seconds: rows 0..64 the display variables, 65..84 the
// other variables; column history_slot(t) holds second t. Laid out as the
// model's exported history table.
inline constexpr int history_table_rows = 85;
inline constexpr int history_table_columns = 1800;
using history_table = float[history_table_rows][history_table_columns];

class model_host {
public:
    // The failure item of a step that left a value that is not a finite number.
    static constexpr int item_not_finite = failure_code::not_finite;

    // The failure of a second whose model() returned item (ok for 0), with
    // the warning "Item %d is negative - please notify authority." ("... is
    // not a number ..." for a value that is not a finite number).
    static step_result step_failure(int item);

    // Binds the library's references (estab_pnt; binding again changes
    // nothing). The seconds are recorded into table, or into the model's
    // exported history table when table is null; a given table must
    // outlive the host.
    explicit model_host(history_table* table = nullptr);

    // A fresh standard subject: natural ventilation, bag state 10, no
    // memory of an earlier circuit, then load_new. app_buf is left as it is.
    void start_standard_subject();

    // Derives the run's constants (constant(60)), as at each minute mark;
    // the argument is 60 also when fewer seconds remain to the mark.
    void derive_constants();

    // Runs second t (the time the second ends at) as described above and
    // records it into history column history_slot(t). After a death the
    // display samples whose kept-at-death flag is 0 hold the standard
    // record's value at death. After failure item 9 (a value that is not a
    // number) display and other go back to the recorded second t - 1, so
    // such values are never saved.
    second_result run_second(int t);

    // Runs one second as run_second does, without recording it: for a
    // second computed again from the model as an earlier second left it.
    static second_result compute_second();

    // Display 0..num_dsy-1, then other 0..num_oth-1: one history column.
    using sample_column = std::array<float, TOLVANE_HISTORY_ROWS>;
    // The model's display and other values as one history column would hold them.
    static sample_column current_samples();
    // Sets display and other from a column taken by current_samples.
    static void set_samples(const sample_column& samples);

    // The table this host records into.
    history_table& table() const { return *table_; }
    // Stores display and other into this host's table at column
    // history_slot(t) / copies them back from there.
    void record(int t) const;
    void restore(int t) const;

    // Stores display 0..num_dsy-1 and other 0..num_oth-1 into column
    // history_slot(t) of table (of the model's exported table when null).
    static void record_history(int t, history_table* table = nullptr);

    // Copies display and other back from column history_slot(t) of table.
    static void restore_from_history(int t, history_table* table = nullptr);

    // Returns the text in app_buf decoded to UTF-8 (empty when there is
    // none) and empties app_buf.
    static std::string take_messages();
    // The model's exported history table, which the window's plot and report read.
    static history_table* exported_table();
    // The model's comment text (code page 1252).
    static const char* comment();

    // The catalogue as windows show it: the counts of factors and display
    // variables (the last display being the placeholder "No display") and
    // their names, in catalogue order, decoded to UTF-8; an index outside
    // the catalogue gives an empty name.
    static int factor_count();
    static int display_count();
    static std::string factor_name(int i);
    static std::string display_name(int i);
    // The library's version text (mdl_ver), decoded to UTF-8.
    static std::string version();

    // True for a display variable shown in kPa while kPa is chosen (one
    // listed in a_d_lst).
    static bool pressure_display(int d);

    // The stored sample of history row and column; 0 outside the table.
    static float history_sample(int row, int column);

    // The history column of second t: t modulo the history's length, also
    // for negative t.
    static int history_slot(int t);

private:
    history_table* table_;
};

#endif
