// Subject values held to their catalogue limits on loading, as the panels
// hold a typed value: a file may carry any number (a hand-edited weight of 0
// divides by zero in the model), so a loaded passport or factor value outside
// its limits is set to the nearest limit, and the loader says which.
#ifndef TOLVANE_SUBJECT_LIMITS_H
#define TOLVANE_SUBJECT_LIMITS_H

#include "subject_io.h"

#include <string>
#include <vector>

// One value that loading moved to a limit.
struct clamped_value {
    std::string name;  // catalogue name of the passport item or factor (UTF-8)
    float loaded;      // the value in the file (model units)
    float stored;      // the limit it now has
};

// Clamps the passport (height, weight, age) and every factor of data to the
// catalogue limits in model units (mm Hg also while kPa is shown), maximum
// then minimum as the panels do; returns the values moved, in file order.
std::vector<clamped_value> clamp_subject_to_limits(subject_data& data);

// "weight 0.00 set to 20.00", one line for a clamped value.
std::string describe_clamped_value(const clamped_value& value);

// The window's one message for the values a load clamped.
std::string clamped_values_message(const std::vector<clamped_value>& values);

#endif
