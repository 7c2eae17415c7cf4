// SPDX-License-Identifier: Apache-2.0
// Drives the model library for the model's own tests through the host the
// front end's run controller uses, so both run a second the same way.
#ifndef TOLVANE_TESTS_MODEL_DRIVER_H
#define TOLVANE_TESTS_MODEL_DRIVER_H

#include <cmath>
#include <string>

#include "model_host.h"
#include "step_internal.h"

// What a run of seconds ended with.
struct run_outcome {
    int seconds = 0;  // seconds completed
    int failure = 0;  // nonzero step failure code that stopped the run
    bool died = false;
    std::string messages;  // everything sympt and death wrote, in order
};

// Fresh standard subject in natural ventilation with no bag, references bound.
inline void fresh_standard_subject()
{
    model_host host;
    host.start_standard_subject();
    model_host::take_messages();
}

// One second as the front end runs it (model_host::run_second), recorded at
// the run's own clock. Returns false when the run stops.
inline bool run_second(run_outcome& out)
{
    model_host host;
    const second_result second = host.run_second(out.seconds + 1);
    if (second.failed()) {
        out.failure = second.failure.code();
        return false;
    }
    for (const std::string& message : second.messages) out.messages += message;
    out.died = second.died;
    ++out.seconds;
    return !out.died;
}

// Runs whole minutes: constant(60) at each minute mark, then 60 seconds.
inline run_outcome run_minutes(int minutes)
{
    model_host host;
    run_outcome out;
    for (int minute = 0; minute < minutes; ++minute) {
        host.derive_constants();
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
