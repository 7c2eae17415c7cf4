// SPDX-License-Identifier: Apache-2.0
#include "xy_trajectory.h"

#include <algorithm>
#include <cmath>

#include "catalogue_view.h"
#include "cp1252.h"

xy_trajectory xy_trajectory_from(const run_state& state, int x_variable, int y_variable, int cursor_time)
{
    xy_trajectory trajectory;
    const int last = std::max(state.sim_time, 0);
    trajectory.first_time = std::max(0, last - (history_table_columns - 1));
    trajectory.points.reserve(static_cast<size_t>(last - trajectory.first_time + 1));
    for (int t = trajectory.first_time; t <= last; ++t) {
        const int column = history_slot(t);
        trajectory.points.push_back(
            {history_value(state, x_variable, column), history_value(state, y_variable, column)});
    }
    if (cursor_time >= trajectory.first_time && cursor_time <= last)
        trajectory.cursor_index = cursor_time - trajectory.first_time;
    return trajectory;
}

namespace {

// The display record of variable, null outside the catalogue.
const catalogue_record* display_record(int variable)
{
    const std::span<const catalogue_record> displays = display_records();
    if (variable < 0 || static_cast<size_t>(variable) >= displays.size()) return nullptr;
    return &displays[static_cast<size_t>(variable)];
}

}  // namespace

value_range catalogue_range(int variable)
{
    const catalogue_record* record = display_record(variable);
    if (!record) return {};
    const double lo = record->minimum;
    const double hi = record->maximum;
    if (!(hi > lo)) return {lo - 1, lo + 1};
    return {lo, hi};
}

value_range fitted_range(const std::vector<double>& values)
{
    double lo = INFINITY, hi = -INFINITY;
    for (double v : values) {
        if (!std::isfinite(v)) continue;
        lo = std::min(lo, v);
        hi = std::max(hi, v);
    }
    if (!(hi >= lo)) return {};
    if (hi == lo) {
        const double pad = lo == 0 ? 1 : std::fabs(lo) * 0.01;
        return {lo - pad, hi + pad};
    }
    const double pad = (hi - lo) * 0.05;
    return {lo - pad, hi + pad};
}

QString axis_title(int variable)
{
    const catalogue_record* record = display_record(variable);
    if (!record) return {};
    // Display 54's name ends in a blank.
    const QString name = from_cp1252(record->name).trimmed();
    const QString unit = from_cp1252(record->unit);
    return unit.isEmpty() ? name : QStringLiteral("%1 (%2)").arg(name, unit);
}

xy_chart_input xy_chart_input_from(const run_state& state, int x_variable, int y_variable, int cursor_time,
                                   bool fit)
{
    xy_chart_input input;
    input.x_variable = x_variable;
    input.y_variable = y_variable;
    input.cursor_time = cursor_time;
    input.trajectory = xy_trajectory_from(state, x_variable, y_variable, cursor_time);
    input.x_title = axis_title(x_variable);
    input.y_title = axis_title(y_variable);
    if (fit) {
        std::vector<double> xs, ys;
        for (const xy_point& p : input.trajectory.points) {
            xs.push_back(p.x);
            ys.push_back(p.y);
        }
        input.x_range = fitted_range(xs);
        input.y_range = fitted_range(ys);
    } else {
        input.x_range = catalogue_range(x_variable);
        input.y_range = catalogue_range(y_variable);
    }
    return input;
}
