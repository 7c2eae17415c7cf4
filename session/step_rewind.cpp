// SPDX-License-Identifier: Apache-2.0
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

namespace {

// Slots of the kept RUNs: a RUN that started up to 59 seconds before the
// history's first second may still hold seconds in it.
constexpr int run_slots = TOLVANE_HISTORY_COLUMNS + 60;

int run_slot(int t)
{
    const int slot = t % run_slots;
    return slot < 0 ? slot + run_slots : slot;
}

}  // namespace

step_rewind::step_rewind() : seconds_(new kept_second[TOLVANE_HISTORY_COLUMNS]()), runs_(run_slots)
{
    restart();
}

void step_rewind::restart()
{
    end_.valid = continued_ = false;
    set_at_.fill(never);
    noted_as_.fill(0);
    settle();
    begin_seconds(0);
    keep(0, 0, false);
}

step_rewind::carried_second step_rewind::carried_now()
{
    carried_second second;
    tolvane_save_step_memory(&second.memory);
    for (int i = 0; i < TOLVANE_NUM_FACTORS; ++i) second.factors[i] = factor[i].value;
    second.bag_state = bag_index != nullptr ? *bag_index : 0;
    return second;
}

step_rewind::kept_run& step_rewind::run_at(int t)
{
    std::unique_ptr<kept_run>& run = runs_[static_cast<std::size_t>(run_slot(t))];
    if (run == nullptr) run = std::make_unique<kept_run>();
    return *run;
}

void step_rewind::keep(int t, int32_t run_start, bool after_settings)
{
    seconds_[history_slot(t)] = {++order_, run_start, after_settings};
}

void step_rewind::record(int t) { keep(t, current_run_, false); }

bool step_rewind::model_as_left(int t) const
{
    if (!end_.valid || end_.t != t || end_.kpa != listed_factors_in_kpa() || app_buf[0] != 0) return false;
    const model_host::sample_column samples = model_host::current_samples();
    tolvane_step_memory memory;
    tolvane_save_step_memory(&memory);
    return std::memcmp(samples.data(), end_.samples.data(), sizeof samples) == 0 &&
           std::memcmp(&memory, &end_.memory, sizeof memory) == 0;
}

void step_rewind::end_seconds(int t)
{
    end_.valid = true;
    end_.t = t;
    end_.kpa = listed_factors_in_kpa();
    end_.samples = model_host::current_samples();
    tolvane_save_step_memory(&end_.memory);
}

void step_rewind::record_after_settings(int t, bool resumes_minute)
{
    // Nothing changed since the last RUN stopped here within its minute: its
    // kept model still gives second t and every second after it.
    continued_ = resumes_minute && model_as_left(t);
    end_.valid = false;
    if (continued_) {
        keep(t, current_run_, false);
        return;
    }
    kept_run& run = run_at(t);
    run.at_start = carried_now();
    run.resumes_minute = resumes_minute;
    run.samples = model_host::current_samples();
    keep(t, t, true);
}

void step_rewind::begin_seconds(int t)
{
    if (continued_) return;
    run_at(t).model.capture();
    current_run_ = t;
}

step_rewind::carried_second step_rewind::carried(const kept_second& second, int t) const
{
    const kept_run& run = *runs_[static_cast<std::size_t>(run_slot(second.run_start))];
    if (second.after_settings) return run.at_start;
    model_state now;
    now.capture();
    run.model.apply();
    for (int k = second.run_start; k < t; ++k) model_host::compute_second();
    const carried_second at_t = carried_now();
    now.apply();
    return at_t;
}

bool step_rewind::note_user_changes(int now)
{
    const user_inputs in = user_inputs::current();
    const uint64_t order = ++order_;
    bool changed = false;
    auto note = [&](int slot, float before, float after) {
        if (same(before, after)) return;
        set_at_[slot] = now;
        noted_as_[slot] = order;
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

bool step_rewind::set_since(int slot, int t, const kept_second& second) const
{
    return set_at_[slot] > t || (set_at_[slot] == t && noted_as_[slot] > second.kept_as);
}

bool step_rewind::restore(int t, float rate_now, float tidal_now, bool si_pressure)
{
    end_.valid = false;
    const kept_second& kept = seconds_[history_slot(t)];
    const carried_second second = carried(kept, t);
    tolvane_restore_step_memory(&second.memory);
    const kept_run& run = *runs_[static_cast<std::size_t>(run_slot(kept.run_start))];
    if (kept.after_settings) model_host::set_samples(run.samples);
    for (int i : step_owned_factors)
        if (!set_since(i, t, kept)) factor[i].value = second.factors[i];
    if (set_since(rate_slot, t, kept)) display[display_id::respiratory_rate].value = rate_now;
    if (set_since(tidal_slot, t, kept)) display[display_id::tidal_volume].value = tidal_now;
    // In the branch that starts here, a setting kept from later was set at t.
    for (int& when : set_at_)
        if (when > t) when = t;
    if (bag_index != nullptr && *bag_index != second.bag_state) {
        // The bag state of the last bager() call is second t's (restored
        // with the memory); the circuit chosen since takes effect now.
        const model_units_scope model_units(si_pressure);
        bager(2, nullptr, nullptr);
    }
    return !kept.after_settings || run.resumes_minute;
}
