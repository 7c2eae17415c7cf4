// SPDX-License-Identifier: Apache-2.0
// One display variable against another over the recorded history, without
// widgets: the trajectory (one point per recorded second), the cursor's
// point, the scales from the catalogue's limits or fitted to the data, and
// the axis titles.
#ifndef TOLVANE_XY_TRAJECTORY_H
#define TOLVANE_XY_TRAJECTORY_H

#include <QString>
#include <vector>

#include "run_state.h"

struct xy_point {
    double x = 0;
    double y = 0;
};

// The recorded seconds first_time .. first_time + points.size() - 1, in the
// pressure units in force.
struct xy_trajectory {
    int first_time = 0;
    std::vector<xy_point> points;
    int cursor_index = -1;  // the point of the cursor second, -1 when not recorded
};

// The seconds still in the history up to sim_time (at most the last 1800),
// with cursor_time marked.
xy_trajectory xy_trajectory_from(const run_state& state, int x_variable, int y_variable, int cursor_time);

struct value_range {
    double lo = 0;
    double hi = 1;
};

// The catalogue's limits of a display variable in the units in force; equal
// limits ("No display") widen to lo - 1 .. lo + 1.
value_range catalogue_range(int variable);

// The smallest range holding every finite value, widened by 5 % each side
// (by 1 % of the value, or 1, when all values are equal); 0 .. 1 when none.
value_range fitted_range(const std::vector<double>& values);

// "Name (unit)", or the name alone when the variable has no unit.
QString axis_title(int variable);

// What the chart draws.
struct xy_chart_input {
    int x_variable = 15;
    int y_variable = 10;
    xy_trajectory trajectory;
    value_range x_range, y_range;
    QString x_title, y_title;
    int cursor_time = 0;
};

// The chart's input for the two variables at the state's cursor, scales from
// the catalogue or (fit) from the data.
xy_chart_input xy_chart_input_from(const run_state& state, int x_variable, int y_variable, int cursor_time,
                                   bool fit);

#endif
