// SPDX-License-Identifier: Apache-2.0
#include "event_log.h"

#include "number_text.h"

#include <charconv>
#include <cstdio>

void event_log::record(run_event event)
{
    events_.push_back(std::move(event));
    unsaved_ = true;
}

std::vector<run_event> event_log::current_branch() const
{
    std::vector<run_event> branch;
    for (const run_event& event : events_) {
        if (event.kind == run_event_kind::rerun) {
            std::erase_if(branch, [&](const run_event& e) { return e.time > event.time; });
        } else if (event.kind == run_event_kind::reset || event.kind == run_event_kind::load) {
            branch.clear();
        }
        branch.push_back(event);
    }
    return branch;
}

void event_log::clear()
{
    events_.clear();
    unsaved_ = false;
}

std::string script_time_text(int seconds)
{
    if (seconds < 0) seconds = 0;
    char text[32];
    std::snprintf(text, sizeof text, "%d:%02d", seconds / 60, seconds % 60);
    return text;
}

std::string script_number_text(float value)
{
    // The fewest decimals (or, for very small or large values, significant
    // digits) that read back, as a double rounded to single precision as
    // scripts read numbers, as the same value. to_chars and the reading
    // ignore the locale.
    char text[80];
    const auto reads_back = [&](std::to_chars_result written) {
        const double back = read_leading_number(std::string_view(text, written.ptr - text));
        return static_cast<float>(back) == value;
    };
    for (int decimals = 0; decimals <= 9; ++decimals) {
        const auto written = std::to_chars(text, text + sizeof text, static_cast<double>(value),
                                           std::chars_format::fixed, decimals);
        if (written.ec == std::errc() && reads_back(written)) return std::string(text, written.ptr);
    }
    for (int digits = 1; digits <= 9; ++digits) {
        const auto written = std::to_chars(text, text + sizeof text, static_cast<double>(value),
                                           std::chars_format::general, digits);
        if (reads_back(written) || digits == 9) return std::string(text, written.ptr);
    }
    return {};
}

std::string event_log::scenario_text(int end_time,
                                     const std::function<std::string(const std::string&)>& load_path) const
{
    std::string text =
        "# Recorded in the Tolvane window: play it with File > Open scenario,\n"
        "# or run it with tolvane-batch --script.\n";
    for (const run_event& event : events_) {
        const std::string at = "at " + script_time_text(event.clock) + " ";
        if (event.action.empty()) {
            text += "# " + script_time_text(event.clock) + " " + event.what + " " + event.value +
                    " (a script cannot repeat this)\n";
        } else if (event.kind == run_event_kind::load && load_path) {
            text += at + "load " + load_path(event.value) + "\n";
        } else {
            text += at + event.action + "\n";
        }
    }
    text += "run until " + script_time_text(end_time) + "\n";
    return text;
}
