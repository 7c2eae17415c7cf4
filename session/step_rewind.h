// What RE-RUN needs beyond the history rows to rewind exactly: for every
// second still in the history, whatever else the model step carries (its
// delay line, the bag state of the last bager() call, the memory of sympt(),
// the run's derived coefficients, the factors the step changes itself and
// the bag state), and which of the user's settings changed since when, so
// that a re-run keeps what the user set.
#ifndef TOLVANE_STEP_REWIND_H
#define TOLVANE_STEP_REWIND_H

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
    // Compares the model's user inputs with those the last step, restart
    // or rewind left, notes every change as made at time now, and returns
    // true when anything differed. Call before a RUN and a RE-RUN.
    bool note_user_changes(int now);
    // Takes the model's inputs as the ones the step left (after a RUN or a
    // RE-RUN).
    void settle();

    // Puts back what second t carried: the step's memory and the step-owned
    // factors the user has not set at or after t. The ventilator's rate and
    // tidal volume (already restored from the history by the caller) return
    // to their current values when the user set them at or after t. When
    // the circuit differs from the one of second t, the current circuit
    // takes effect at t as the respiration dialog's OK does (bager(2) in
    // model units). si_pressure tells the units barometric_pressure is held in.
    void restore(int t, float rate_now, float tidal_now, bool si_pressure);

private:
    struct carried_second {
        tolvane_step_memory memory;
        std::array<float, TOLVANE_NUM_FACTORS> factors;
        int32_t bag_state;
    };
    // One per history column, written before it is read (left
    // uninitialised, so that a session costs no zeroing of 2.5 MB).
    std::unique_ptr<carried_second[]> seconds_;
    user_inputs settled_;
    // Time of the user's last change of each factor, then of rate and
    // tidal volume; before every recorded second when never changed.
    std::array<int, TOLVANE_NUM_FACTORS + 2> set_at_{};
};

#endif
