// Drives the model library the way the front end's run controller does, for
// the model's own tests.
#ifndef TOLVANE_TESTS_MODEL_DRIVER_H
#define TOLVANE_TESTS_MODEL_DRIVER_H

#include <cmath>
#include <string>

#include "step_internal.h"

// What a run of seconds ended with.
struct run_outcome {
    int seconds = 0;        // seconds completed
    int failure = 0;        // nonzero step failure code that stopped the run
    bool died = false;
    std::string messages;   // everything sympt and death wrote, in order
};

// Fresh standard subject in natural ventilation with no bag, references bound.
inline void fresh_standard_subject()
{
    ventilation_flag = 1;
    bag_state = 10;
    previous_bag_state = 10;
    estab_pnt();
    load_new();
    app_buf[0] = '\0';
}

// Moves app_buf into the collected messages and empties it, as the front end does.
inline void take_messages(run_outcome& out)
{
    out.messages += app_buf;
    app_buf[0] = '\0';
}

// One second as the front end runs it: the bag when rebreathing, the step,
// the symptoms and the death judgement. Returns false when the run stops.
inline bool run_second(run_outcome& out)
{
    if (bag_state == 12 || bag_state == 13) {
        bager(1, nullptr, nullptr);
    }
    if (int code = model()) {
        out.failure = code;
        return false;
    }
    sympt();
    take_messages(out);
    out.died = death();
    take_messages(out);
    ++out.seconds;
    return !out.died;
}

// Runs whole minutes: constant(60) at each minute mark, then 60 seconds.
inline run_outcome run_minutes(int minutes)
{
    run_outcome out;
    for (int minute = 0; minute < minutes; ++minute) {
        constant(60);
        for (int second = 0; second < 60; ++second) {
            if (!run_second(out)) {
                return out;
            }
        }
    }
    return out;
}

// True when every display and other value is a finite number.
inline bool state_is_finite()
{
    for (int i = 0; i < TOLVANE_NUM_DISPLAYS; ++i) {
        if (!std::isfinite(display[i].value)) {
            return false;
        }
    }
    for (int i = 0; i < TOLVANE_NUM_OTHERS; ++i) {
        if (!std::isfinite(other[i])) {
            return false;
        }
    }
    for (int i = 0; i < TOLVANE_NUM_FACTORS; ++i) {
        if (!std::isfinite(factor[i].value)) {
            return false;
        }
    }
    return true;
}

#endif
