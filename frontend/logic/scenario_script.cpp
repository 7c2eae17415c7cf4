// SPDX-License-Identifier: Apache-2.0
// Scenario scripts in the front end: reading the file, the session's parser
// and runner with the simulator's controls, and the seconds the run records
// kept or streamed as CSV.
#include "scenario_script.h"

#include "csv_text.h"
#include "file_names.h"
#include "respiration_settings.h"
#include "safe_file.h"
#include "simulator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <charconv>
#include <cerrno>
#include <cstring>

namespace {

// The script's controls are the simulator's: RUN, RESET and Load as their
// buttons and menu act, RE-RUN after moving the cursor as the keys move it,
// the panel's value entry with its hint, and the dialog's OK. What the run
// records goes into the timeline.
class simulator_controls : public scenario_controls {
public:
    simulator_controls(simulator& sim, script_timeline& timeline,
                       const std::function<void(const QString&)>& log)
        : scenario_controls(sim.session()), sim_(sim), timeline_(timeline), log_(log)
    {
    }

    step_outcome run_to_minute() override { return sim_.controller().run_to_minute(); }

    void reset() override { sim_.reset_clicked(); }

    // The window's load shows its own message boxes (also for values held
    // to a limit), so nothing is left for the runner to note.
    std::optional<std::vector<clamped_value>> load(const std::string& path) override
    {
        if (!sim_.load_chosen_file(QString::fromUtf8(path)).ok()) return std::nullopt;
        return std::vector<clamped_value>{};
    }

    // The cursor is moved as the keyboard moves it (BACK pages the plot
    // window until it holds the target), then RE-RUN.
    bool rerun(int target) override
    {
        run_controller& controller = sim_.controller();
        const run_state& state = sim_.state();
        for (int guard = 0; state.win_start > target && guard < 100; ++guard) {
            const int before = state.win_start;
            controller.page_back();
            if (state.win_start == before) break;
        }
        for (int guard = 0; state.cursor_time != target && guard < 4000; ++guard) {
            const int distance = target - state.cursor_time;
            const cursor_direction direction =
                distance > 0 ? cursor_direction::right : cursor_direction::left;
            const int before = state.cursor_time;
            controller.move_cursor(direction, std::abs(distance) >= 60);
            if (state.cursor_time == before) break;
        }
        if (state.cursor_time != target || target > state.sim_time) return false;
        controller.strip_to_cursor();
        return true;
    }

    clamped_entry set_factor(int index, float value) override
    {
        const clamped_entry entry = scenario_controls::set_factor(index, value);
        if (entry.adjusted) sim_.controller().show_hint(hint_value_adjusted, true);
        return entry;
    }

    void recorded(int first, int last) override { timeline_.take(first, last); }
    void restarted() override { timeline_.start(session().table()); }
    void cut_after(int t) override { timeline_.cut_after(t); }
    void logged(const std::string& line) override
    {
        if (log_) log_(QString::fromStdString(line));
    }

private:
    simulator& sim_;
    script_timeline& timeline_;
    const std::function<void(const QString&)>& log_;
};

script_end script_end_of(scenario_end end)
{
    switch (end) {
    case scenario_end::finished:
    case scenario_end::bad_line:
        break;
    case scenario_end::died:
        return script_end::died;
    case scenario_end::step_failed:
        return script_end::step_failed;
    case scenario_end::refused:
        return script_end::refused;
    case scenario_end::load_failed:
        return script_end::load_failed;
    }
    return script_end::refused;
}

// The session's outcome in the front end's words.
void take_outcome(script_run_result& result, const scenario_outcome& outcome)
{
    if (outcome.end != scenario_end::finished)
        result.status = script_run_outcome::failure(script_end_of(outcome.end), outcome.message);
    result.stopped_line = outcome.stopped_line;
    result.failure_item = outcome.failure_item;
    result.failed_time = outcome.failed_time;
    for (const std::string& note : outcome.notes) result.notes << QString::fromStdString(note);
}

}  // namespace

std::optional<int> parse_script_time(const QString& text) { return read_script_time(text.toStdString()); }

script_parse_result parse_scenario_script(const QString& text, const QString& file_name)
{
    scenario_parse_result parsed = parse_scenario_text(text.toStdString(), file_name.toStdString(),
                                                       QFileInfo(file_name).dir().path().toStdString());
    script_parse_result result;
    result.script.file_name = file_name;
    result.script.actions = std::move(parsed.actions);
    result.status = parsed.status;
    result.error_line = parsed.error_line;
    return result;
}

script_parse_result read_scenario_script(const QString& path)
{
    const bool from_input = path == QLatin1String(standard_stream_path);
    const QString name = from_input ? QStringLiteral("standard input") : path;
    QFile file;
    const bool opened = open_for_reading(file, path);
    const int open_error = errno;
    auto failure = [&](const QString& why) {
        script_parse_result result;
        result.script.file_name = name;
        result.status = script_parse_outcome::failure(script_parse_status::cannot_read,
                                                      QStringLiteral("%1: %2").arg(name, why).toStdString());
        return result;
    };
    if (!opened)
        return failure(QStringLiteral("cannot read the script: %1")
                           .arg(QString::fromLocal8Bit(std::strerror(open_error))));
    // Read one byte past the limit to tell a script at the limit from a
    // larger one (or an endless device).
    const QByteArray text = file.read(script_max_bytes + 1);
    // A folder opens, but cannot be read.
    if (file.error() != QFileDevice::NoError)
        return failure(QStringLiteral("cannot read the script: %1").arg(file.errorString()));
    if (text.size() > script_max_bytes)
        return failure(QStringLiteral("the script is larger than %1 MB").arg(script_max_bytes >> 20));
    return parse_scenario_script(QString::fromUtf8(text), name);
}

void script_timeline::start(const history_table& table)
{
    table_ = &table;
    columns_.clear();
    first_ = 0;
    latest_ = 0;
    if (stream_ != nullptr) stream_->restart();
    take(0, 0);
}

void script_timeline::take(int first, int last)
{
    if (table_ == nullptr || first < first_ || last < first) return;  // not started: nothing to take from
    const std::size_t size = static_cast<std::size_t>(last - first_) + 1;
    // Seconds of an earlier branch from first on are replaced.
    if (size > columns_.size() || first <= last_time()) columns_.resize(size);
    for (int t = first; t <= last; ++t) {
        const int slot = model_host::history_slot(t);
        column& c = columns_[static_cast<std::size_t>(t - first_)];
        for (int r = 0; r < rows; ++r) c[static_cast<std::size_t>(r)] = (*table_)[r][slot];
    }
    if (last > latest_) latest_ = last;
    send_unreachable();
}

void script_timeline::cut_after(int t)
{
    const int keep = std::max(t + 1 - first_, 0);
    if (keep < static_cast<int>(columns_.size())) columns_.resize(static_cast<std::size_t>(keep));
}

float script_timeline::value(int row, int t) const
{
    if (row < 0 || row >= rows || !has(t)) return 0.0f;
    return columns_[static_cast<std::size_t>(t - first_)][static_cast<std::size_t>(row)];
}

void append_timeline_csv_row(QByteArray& out, int t, const history_column& column, int digits)
{
    char row[16 + (1 + csv_number_max) * logged_displays];
    char* end = std::to_chars(row, row + 16, t).ptr;
    const int columns = std::min(model_host::display_count() - 1, logged_displays);
    for (int j = 0; j < columns; ++j) {
        *end++ = ',';
        end = format_csv_number(end, static_cast<double>(column[static_cast<std::size_t>(j)]), digits);
    }
    *end++ = '\n';
    out.append(row, end - row);
}

void script_timeline::send_unreachable()
{
    // A re-run reaches back to the second after latest - 1800 (the ring).
    const int oldest_reachable = latest_ - history_table_columns + 1;
    if (stream_ == nullptr) return;
    while (!columns_.empty() && first_ < oldest_reachable) {
        stream_->second(first_, columns_.front());
        columns_.pop_front();
        ++first_;
    }
}

void script_timeline::flush()
{
    if (stream_ == nullptr) return;
    for (const column& c : columns_) stream_->second(first_++, c);
    columns_.clear();
}

QByteArray script_timeline::csv_rows(int digits) const
{
    QByteArray out;
    for (std::size_t i = 0; i < columns_.size(); ++i)
        append_timeline_csv_row(out, first_ + static_cast<int>(i), columns_[i], digits);
    return out;
}

QByteArray script_timeline::csv(int digits) const { return history_csv_header() + csv_rows(digits); }

void restore_standard_breathing(simulator& sim)
{
    respiration_pending pending = current_respiration_pending();
    pending.ventilation = 1;
    pending.bag_state = bag_state_id::standard;
    sim.session().enter_respiration(pending, respiration_numbers_of(current_respiration_texts()));
}

script_run_result run_scenario_script(simulator& sim, const scenario_script& script,
                                      const std::function<void(const QString&)>& log, timeline_stream* stream)
{
    script_run_result result;
    result.timeline.stream_to(stream);
    result.timeline.start(sim.session().table());
    // The timeline starts at the current moment's column; a script run from
    // a later moment keeps the earlier seconds recorded there.
    for (int t = 1; t <= sim.state().sim_time && t < history_table_columns; ++t) result.timeline.take(t, t);
    simulator_controls controls(sim, result.timeline, log);
    const scenario_outcome outcome = run_scenario(controls, script.actions, script.file_name.toStdString());
    take_outcome(result, outcome);
    result.end_time = sim.state().sim_time;
    result.timeline.flush();
    result.timeline.stream_to(nullptr);
    return result;
}

script_run_result carry_out_script_action(simulator& sim, const scenario_script& script,
                                          const script_action& action)
{
    script_run_result result;
    const std::function<void(const QString&)> no_log;
    simulator_controls controls(sim, result.timeline, no_log);
    take_outcome(result, carry_out_scenario_action(controls, action, script.file_name.toStdString()));
    result.end_time = sim.state().sim_time;
    return result;
}
