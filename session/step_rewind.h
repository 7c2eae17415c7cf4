// SPDX-License-Identifier: Apache-2.0
// What RE-RUN needs beyond the history rows to rewind exactly: for every
// second still in the history, whatever else the model step carries (its
// delay line, the bag state of the last bager() call, the memory of sympt(),
// the run's derived coefficients, the factors the step changes itself and
// the bag state), and which of the user's settings changed since when, so
// that a re-run keeps what the user set. A second at which a RUN started is
// kept as it stood after the settings made there, so that a re-run to it
// starts from the values as set, not from those the step left.
//
// Nothing of the model is copied for each second: each RUN keeps the whole
// model as its seconds began, and a re-run to a second within it computes
// the seconds up to it again from there (at most 59). The model is a
// function of its whole state, which that copy holds as a session's lease
// does, so the seconds computed again are those the RUN computed, bit for
// bit.
#ifndef TOLVANE_STEP_REWIND_H
#define TOLVANE_STEP_REWIND_H

#include "model_host.h"
#include "model_state.h"
#include "slot_ids.h"
#include "tolvane_model.h"

#include <array>
#include <cstdint>
#include <memory>
#include <vector>

// Factors that the step (or constant() at the start of a RUN) changes by
// itself: inspired CO2 and O2 while rebreathing, lung volume while the
// glottis is closed.
inline constexpr std::array<int, 8> step_owned_factors = {
    factor_id::dpg,          factor_id::bicarbonate_addition,
    factor_id::bag_volume,   factor_id::brain_bicarbonate_deviation,
    factor_id::inspired_co2, factor_id::inspired_o2,
    factor_id::lung_volume,  factor_id::tissue_rq,
};

// The values the user can set between steps: every factor, the ventilator's
// rate and tidal volume (respiratory_rate and tidal_volume), the passport and
// the circuit.
struct user_inputs {
    std::array<float, TOLVANE_NUM_FACTORS> factors{};
    float rate = 0;
    float tidal = 0;
    float height = 0, weight = 0, age = 0;
    int32_t sex = 0, ventilation = 0, bag_state = 0;

    // The model's current values (requires estab_pnt()).
    static user_inputs current();
};

class step_rewind {
public:
    step_rewind();

    // Forgets every user change: a restart at time 0, with the model as it
    // stands kept as second 0.
    void restart();
    // Keeps second t (its history column) as a second of the RUN whose
    // seconds began last.
    void record(int t);
    // Keeps what the model carries at second t after the settings made at t
    // (the display and other values too, which the respiration dialog's OK
    // may change), replacing record(t): call when a RUN starts at t, after
    // note_user_changes and before the constants are derived. resumes_minute
    // tells whether that RUN went on with the constants the model held.
    void record_after_settings(int t, bool resumes_minute);
    // Keeps the whole model as the seconds of the RUN that started at t
    // begin from: call after record_after_settings(t) and the constants,
    // before the first second.
    void begin_seconds(int t);
    // The RUN's seconds ended at t with neither a failure nor a death. A RUN
    // that resumes the minute from t with the model as this one left it
    // (nothing set, no value changed) goes on from the same kept model, so
    // a client that runs second by second keeps one model a minute.
    void end_seconds(int t);
    // Compares the model's user inputs with those the last step, restart
    // or rewind left, notes every change as made at time now, and returns
    // true when anything differed. Call before a RUN and a RE-RUN.
    bool note_user_changes(int now);
    // Takes the model's inputs as the ones the step left (after a RUN or a
    // RE-RUN).
    void settle();

    // Puts back what second t carried: the step's memory and the step-owned
    // factors the user has not set since it was kept; for a second kept by
    // record_after_settings also its display and other values. The
    // ventilator's rate and tidal volume (already restored from the history
    // by the caller) return to their current values when the user set them
    // since. When the circuit differs from the one of second t, the current
    // circuit takes effect at t as the respiration dialog's OK does
    // (bager(2) in model units). si_pressure tells the units
    // barometric_pressure is held in. Returns true when a RUN from t, with
    // nothing set meanwhile, may go on with the constants the model now holds
    // (false when the RUN that started at t derived them afresh).
    bool restore(int t, float rate_now, float tidal_now, bool si_pressure);

private:
    // A second as its RUN left it: what restore puts back.
    struct carried_second {
        tolvane_step_memory memory;
        std::array<float, TOLVANE_NUM_FACTORS> factors;
        int32_t bag_state;
    };
    // What a RUN keeps: its start second as kept after the settings made
    // there, and the model as its seconds began.
    struct kept_run {
        carried_second at_start;
        bool resumes_minute;
        model_host::sample_column samples;
        model_state model;
    };
    // One per history column: how to find what the second carried.
    struct kept_second {
        // Position among the noted changes when kept: a change noted at the
        // same second later than this is not in it.
        uint64_t kept_as;
        // The RUN (or restart) whose kept model the second follows from.
        int32_t run_start;
        // Kept by record_after_settings: the RUN's start as set.
        bool after_settings;
    };
    // The model as second t carried it (the caller's model is left as it
    // was): computed again from the kept model of its RUN.
    carried_second carried(const kept_second& second, int t) const;
    // What the live model carries now.
    static carried_second carried_now();
    kept_run& run_at(int t);
    void keep(int t, int32_t run_start, bool after_settings);
    // True when the user's setting in slot (a factor, or rate or tidal
    // volume) is newer than what second is kept with.
    bool set_since(int slot, int t, const kept_second& second) const;

    // What the model carried where the last RUN's seconds ended, beyond
    // the user's inputs (note_user_changes compares those).
    struct seconds_end {
        bool valid = false;
        int t = 0;
        bool kpa = false;
        model_host::sample_column samples{};
        tolvane_step_memory memory{};
    };
    // True when the model stands as the last RUN's seconds left it at t.
    bool model_as_left(int t) const;

    std::unique_ptr<kept_second[]> seconds_;  // by history column
    seconds_end end_;
    bool continued_ = false;  // the RUN that started last goes on from the last kept model
    // The kept RUNs by start second, modulo one history plus one minute:
    // a RUN that started within it may still hold seconds in the history.
    // Each is made when first needed and reused.
    std::vector<std::unique_ptr<kept_run>> runs_;
    int32_t current_run_ = 0;
    user_inputs settled_;
    // Time of the user's last change of each factor, then of rate and
    // tidal volume; before every recorded second when never changed.
    std::array<int, TOLVANE_NUM_FACTORS + 2> set_at_{};
    // Position of each of those changes, and of the latest change or kept
    // second, in the order they happened.
    std::array<uint64_t, TOLVANE_NUM_FACTORS + 2> noted_as_{};
    uint64_t order_ = 0;
};

#endif
