#include "step_rewind.h"

#include "pressure_mode.h"
#include "run_state.h"

#include <climits>
#include <cstring>

namespace {

constexpr int rate_slot = TOLVANE_NUM_FACTORS;
constexpr int tidal_slot = TOLVANE_NUM_FACTORS + 1;
constexpr int never = INT_MIN;

// Bitwise equality, so that a value typed over itself is no change and a
// NaN equals itself.
bool same(float a, float b) { return std::memcmp(&a, &b, sizeof a) == 0; }

}  // namespace

user_inputs user_inputs::current()
{
    user_inputs in;
    for (int i = 0; i < TOLVANE_NUM_FACTORS; ++i) in.factors[i] = factor[i].value;
    in.rate = display[display_id::respiratory_rate].value;
    in.tidal = display[display_id::tidal_volume].value;
    in.height = ::height.value;
    in.weight = ::weight.value;
    in.age = ::age.value;
    in.sex = ::sex;
    in.ventilation = ::ventilation != nullptr ? *::ventilation : 0;
    in.bag_state = bag_index != nullptr ? *bag_index : 0;
    return in;
}

step_rewind::step_rewind() : seconds_(new carried_second[TOLVANE_HISTORY_COLUMNS]) { restart(); }

void step_rewind::restart()
{
    set_at_.fill(never);
    settle();
}

void step_rewind::record(int t)
{
    carried_second& second = seconds_[history_slot(t)];
    tolvane_save_step_memory(&second.memory);
    for (int i = 0; i < TOLVANE_NUM_FACTORS; ++i) second.factors[i] = factor[i].value;
    second.bag_state = bag_index != nullptr ? *bag_index : 0;
}

bool step_rewind::note_user_changes(int now)
{
    const user_inputs in = user_inputs::current();
    bool changed = false;
    auto note = [&](int slot, float before, float after) {
        if (same(before, after)) return;
        set_at_[slot] = now;
        changed = true;
    };
    for (int i = 0; i < TOLVANE_NUM_FACTORS; ++i) note(i, settled_.factors[i], in.factors[i]);
    note(rate_slot, settled_.rate, in.rate);
    note(tidal_slot, settled_.tidal, in.tidal);
    changed = changed || !same(settled_.height, in.height) || !same(settled_.weight, in.weight) ||
              !same(settled_.age, in.age) || settled_.sex != in.sex ||
              settled_.ventilation != in.ventilation || settled_.bag_state != in.bag_state;
    settled_ = in;
    return changed;
}

void step_rewind::settle() { settled_ = user_inputs::current(); }

void step_rewind::restore(int t, float rate_now, float tidal_now, bool si_pressure)
{
    const carried_second& second = seconds_[history_slot(t)];
    tolvane_restore_step_memory(&second.memory);
    for (int i : step_owned_factors)
        if (set_at_[i] < t) factor[i].value = second.factors[i];
    if (set_at_[rate_slot] >= t) display[display_id::respiratory_rate].value = rate_now;
    if (set_at_[tidal_slot] >= t) display[display_id::tidal_volume].value = tidal_now;
    // In the branch that starts here, a setting kept from later was set at t.
    for (int& when : set_at_)
        if (when > t) when = t;
    if (bag_index != nullptr && *bag_index != second.bag_state) {
        // The bag state of the last bager() call is second t's (restored
        // with the memory); the circuit chosen since takes effect now.
        const model_units_scope model_units(si_pressure);
        bager(2, nullptr, nullptr);
    }
}
