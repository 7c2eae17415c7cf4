// SPDX-License-Identifier: Apache-2.0
// What RE-RUN needs beyond the history rows to rewind exactly: for every
// second still in the history, whatever else the model step carries (its
// delay line, the bag state of the last bager() call, the memory of sympt(),
// the run's derived coefficients, the factors the step changes itself and
// the bag state), and which of the user's settings changed since when, so
// that a re-run keeps what the user set. A second at which a RUN started is
// kept as it stood after the settings made there, so that a re-run to it
// starts from the values as set, not from those the step left.
#ifndef TOLVANE_STEP_REWIND_H
#define TOLVANE_STEP_REWIND_H

#include "model_host.h"
#include "slot_ids.h"
#include "tolvane_model.h"

#include <array>
#include <cstdint>
#include <memory>

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

    // Forgets every user change: a restart at time 0.
    void restart();
    // Keeps what the model carries after second t (its history column).
    void record(int t);
    // Keeps what the model carries at second t after the settings made at t
    // (the display and other values too, which the respiration dialog's OK
    // may change), replacing record(t): call when a RUN starts at t, after
    // note_user_changes and before the constants are derived. resumes_minute
    // tells whether that RUN went on with the constants the model held.
    void record_after_settings(int t, bool resumes_minute);
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
    struct carried_second {
        tolvane_step_memory memory;
        std::array<float, TOLVANE_NUM_FACTORS> factors;
        int32_t bag_state;
        // Position among the noted changes when kept: a change noted at the
        // same second later than this is not in it.
        uint64_t kept_as;
        // Kept by record_after_settings: samples holds display and other.
        bool after_settings;
        bool resumes_minute;
        model_host::sample_column samples;
    };
    carried_second& keep(int t);
    // True when the user's setting in slot (a factor, or rate or tidal
    // volume) is newer than what second is kept with.
    bool set_since(int slot, int t, const carried_second& second) const;

    // One per history column, written before it is read (left
    // uninitialised, so that a session costs no zeroing of 2.5 MB).
    std::unique_ptr<carried_second[]> seconds_;
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
