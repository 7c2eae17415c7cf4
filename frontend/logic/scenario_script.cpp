// Scenario scripts: parsing into actions, checking the whole script before
// anything runs, and carrying the actions out through the simulator's own
// controls (RUN, the plot cursor keys, RE-RUN, the factor panel's value entry
// and the respiration dialog's OK).
#include "scenario_script.h"

#include "c_number.h"
#include "cp1252.h"
#include "history_csv.h"
#include "panel_logic.h"
#include "pressure_units.h"
#include "respiration_settings.h"
#include "simulator.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <algorithm>
#include <cmath>
#include <cstdio>
#include <map>

namespace {

double number_of(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    return scan_c_number(bytes.constData(), static_cast<std::size_t>(bytes.size())).value;
}

std::optional<QString> qt_text(const std::optional<std::string>& text)
{
    if (!text) return std::nullopt;
    return QString::fromStdString(*text);
}

// A parsed action with Qt strings.
script_action qt_action(const scenario_action& a)
{
    script_action action;
    action.line = a.line;
    action.time = a.time;
    action.kind = a.kind;
    action.factor_index = a.factor_index;
    action.value_text = QString::fromStdString(a.value_text);
    action.natural = a.natural;
    action.rate = qt_text(a.rate);
    action.tidal = qt_text(a.tidal);
    action.peep = qt_text(a.peep);
    action.bag_state = a.bag_state;
    action.bag_volume = qt_text(a.bag_volume);
    action.bag_co2 = qt_text(a.bag_co2);
    action.bag_o2 = qt_text(a.bag_o2);
    action.target = a.target;
    action.load_path = QFile::decodeName(QByteArray::fromStdString(a.load_path));
    return action;
}

// Carries out a parsed script on a simulator.
class script_runner {
public:
    script_runner(simulator& sim, const scenario_script& script,
                  const std::function<void(const QString&)>& log)
        : sim_(sim), script_(script), log_(log)
    {
    }

    script_run_result run(timeline_stream* stream)
    {
        result_.timeline.stream_to(stream);
        result_.timeline.start();
        // The timeline starts at the current moment's column; a script run
        // from a later moment keeps the earlier seconds recorded there.
        for (int t = 1; t <= sim_.state().sim_time && t < TOLVANE_HISTORY_COLUMNS; ++t)
            result_.timeline.take(t, t);
        for (const script_action& action : script_.actions) {
            if (!advance_to(action)) break;
            if (!carry_out(action)) break;
        }
        result_.end_time = sim_.state().sim_time;
        result_.timeline.flush();
        result_.timeline.stream_to(nullptr);
        return result_;
    }

private:
    QString where(const script_action& action) const
    {
        return QStringLiteral("%1:%2: ").arg(script_.file_name).arg(action.line);
    }

    void log(const QString& text)
    {
        if (log_) log_(format_minutes_seconds(sim_.state().sim_time) + QLatin1Char(' ') + text);
    }

    bool stop(script_end end, const script_action& action, const QString& message)
    {
        result_.status = script_run_outcome::failure(end, message.toStdString());
        result_.stopped_line = action.line;
        return false;
    }

    // RUN until the clock shows the action's time.
    bool advance_to(const script_action& action)
    {
        run_controller& controller = sim_.controller();
        if (sim_.state().sim_time > action.time)
            return stop(script_end::refused, action,
                        where(action) + QStringLiteral("%1 is earlier than the simulated time %2")
                                            .arg(format_minutes_seconds(action.time),
                                                 format_minutes_seconds(sim_.state().sim_time)));
        while (sim_.state().sim_time < action.time) {
            if (controller.subject_dead())
                return stop(script_end::died, action,
                            where(action) + QStringLiteral("not carried out: the subject is dead"));
            const step_outcome outcome = controller.run_to_minute();
            if (!outcome.started)
                return stop(script_end::refused, action,
                            where(action) + QStringLiteral("not carried out: RUN is not available"));
            const int now = sim_.state().sim_time;
            if (outcome.seconds_done > 0)
                result_.timeline.take(outcome.start_time + 1, outcome.start_time + outcome.seconds_done);
            if (!outcome.failure.ok()) {
                result_.failure_item = outcome.failure.code();
                return stop(script_end::step_failed, action,
                            QStringLiteral("%1 step failed: item %2; %3not carried out")
                                .arg(format_minutes_seconds(now))
                                .arg(outcome.failure.code())
                                .arg(where(action)));
            }
            if (outcome.died)
                return stop(script_end::died, action,
                            QStringLiteral("%1 the subject died; %2not carried out")
                                .arg(format_minutes_seconds(now), where(action)));
        }
        return true;
    }

    bool carry_out(const script_action& action)
    {
        switch (action.kind) {
        case script_action_kind::run_until:
            return true;
        case script_action_kind::set_factor:
            return set_factor(action);
        case script_action_kind::ventilation:
        case script_action_kind::bag:
            return respiration_ok(action);
        case script_action_kind::rerun:
            return rerun(action);
        case script_action_kind::reset:
            sim_.reset_clicked();
            result_.timeline.start();
            log(QStringLiteral("reset: the subject starts again"));
            return true;
        case script_action_kind::load:
            return load(action);
        }
        return true;
    }

    // "&Load ..." with the file the line names instead of the dialog's choice.
    bool load(const script_action& action)
    {
        if (!sim_.load_chosen_file(action.load_path).ok()) {
            return stop(
                script_end::load_failed, action,
                where(action) + QStringLiteral("cannot load the subject file %1").arg(action.load_path));
        }
        result_.timeline.start();
        log(QStringLiteral("loaded %1").arg(action.load_path));
        return true;
    }

    // The factor panel's value entry (factorExit for one row).
    bool set_factor(const script_action& action)
    {
        catalogue_record& record = factor[action.factor_index];
        const entered_value entered = enter_value(record, action.value_text, "%.2f");
        const QString name = from_cp1252(record.name);
        if (entered.adjusted) {
            sim_.controller().show_hint(hint_value_adjusted, true);
            result_.notes << where(action) +
                                 QStringLiteral("factor %1 \"%2\": %3 is outside %4 to %5, set to %6")
                                     .arg(action.factor_index)
                                     .arg(name, action.value_text)
                                     .arg(static_cast<double>(record.minimum))
                                     .arg(static_cast<double>(record.maximum))
                                     .arg(entered.text);
        }
        log(QStringLiteral("factor %1 \"%2\" = %3").arg(action.factor_index).arg(name, entered.text));
        return true;
    }

    // Notes a dialog field whose typed number the dialog clamped.
    void note_clamped(const script_action& action, const char* key, const std::optional<QString>& typed,
                      const catalogue_record& record)
    {
        if (!typed) return;
        const float wanted = static_cast<float>(number_of(*typed));
        if (wanted == record.value) return;
        result_.notes << where(action) + QStringLiteral("%1 %2 is outside %3 to %4, set to %5")
                                             .arg(QLatin1String(key), *typed)
                                             .arg(static_cast<double>(record.minimum))
                                             .arg(static_cast<double>(record.maximum))
                                             .arg(static_cast<double>(record.value));
    }

    // The respiration dialog: opened (fields from the model), the choices and
    // fields of the line, OK.
    bool respiration_ok(const script_action& action)
    {
        respiration_pending pending = current_respiration_pending();
        respiration_texts texts = current_respiration_texts();
        if (action.kind == script_action_kind::ventilation) {
            pending.ventilation = action.natural ? 1 : 0;
            if (action.rate) texts.rate = *action.rate;
            if (action.tidal) texts.tidal = *action.tidal;
            if (action.peep) texts.peep = *action.peep;
        } else {
            pending.bag_state = action.bag_state;
            if (action.bag_volume) texts.bag_volume = *action.bag_volume;
            if (action.bag_co2) texts.bag_co2 = *action.bag_co2;
            if (action.bag_o2) texts.bag_o2 = *action.bag_o2;
        }
        if (apply_respiration_settings(pending, texts) == respiration_ok_result::percentages_exceed_100)
            return stop(script_end::refused, action,
                        where(action) + QStringLiteral("the respiration dialog refused OK: Sum of "
                                                       "percentages exceeds 100%"));
        note_clamped(action, "rate", action.rate, *res_rate);
        note_clamped(action, "tidal", action.tidal, *tidal);
        note_clamped(action, "peep", action.peep, *positive);
        note_clamped(action, "volume", action.bag_volume, *bag_vol);
        note_clamped(action, "co2", action.bag_co2, *bag_co2);
        note_clamped(action, "o2", action.bag_o2, *bag_o2);
        if (action.kind == script_action_kind::ventilation) {
            if (action.natural)
                log(QStringLiteral("natural ventilation"));
            else
                log(QStringLiteral(
                        "artificial ventilation: rate %1 /min, tidal volume %2 ml, PEEP %3 cm water")
                        .arg(static_cast<double>(res_rate->value))
                        .arg(static_cast<double>(tidal->value))
                        .arg(static_cast<double>(positive->value)));
        } else {
            log(QStringLiteral("bag state %1: volume %2 ml, CO2 %3 %, O2 %4 %")
                    .arg(*bag_index)
                    .arg(static_cast<double>(bag_vol->value))
                    .arg(static_cast<double>(bag_co2->value))
                    .arg(static_cast<double>(bag_o2->value)));
        }
        return true;
    }

    // The cursor is moved as the keyboard moves it (BACK pages the plot
    // window until it holds the target), then RE-RUN.
    bool rerun(const script_action& action)
    {
        run_controller& controller = sim_.controller();
        const run_state& state = sim_.state();
        const int target = action.target;
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
        if (state.cursor_time != target || target > state.sim_time)
            return stop(script_end::refused, action,
                        where(action) + QStringLiteral("the cursor cannot reach %1 (plot window from %2, "
                                                       "time %3)")
                                            .arg(format_minutes_seconds(target),
                                                 format_minutes_seconds(state.win_start),
                                                 format_minutes_seconds(state.sim_time)));
        controller.strip_to_cursor();
        result_.timeline.cut_after(target);
        log(QStringLiteral("re-run from the cursor"));
        return true;
    }

    simulator& sim_;
    const scenario_script& script_;
    const std::function<void(const QString&)>& log_;
    script_run_result result_;
};

}  // namespace

std::optional<int> parse_script_time(const QString& text) { return read_script_time(text.toStdString()); }

script_parse_result parse_scenario_script(const QString& text, const QString& file_name)
{
    // A relative "load" path is taken from the script's folder.
    const QString folder = QFileInfo(file_name).dir().path();
    const scenario_parse_result parsed = parse_scenario_text(text.toStdString(), file_name.toStdString(),
                                                             QFile::encodeName(folder).toStdString());
    script_parse_result result;
    result.script.file_name = file_name;
    result.status = parsed.status;
    result.error_line = parsed.error_line;
    for (const scenario_action& action : parsed.actions) result.script.actions.push_back(qt_action(action));
    return result;
}

script_parse_result read_scenario_script(const QString& path)
{
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        script_parse_result result;
        result.script.file_name = path;
        result.status = script_parse_outcome::failure(
            script_parse_status::cannot_read,
            QStringLiteral("%1: cannot read the script").arg(path).toStdString());
        return result;
    }
    return parse_scenario_script(QString::fromUtf8(file.readAll()), path);
}

void script_timeline::start()
{
    columns_.clear();
    first_ = 0;
    latest_ = 0;
    if (stream_ != nullptr) stream_->restart();
    take(0, 0);
}

void script_timeline::take(int first, int last)
{
    if (first < first_ || last < first) return;
    const std::size_t size = static_cast<std::size_t>(last - first_) + 1;
    // Seconds of an earlier branch from first on are replaced.
    if (size > columns_.size() || first <= last_time()) columns_.resize(size);
    for (int t = first; t <= last; ++t) {
        const int slot = history_slot(t);
        column& c = columns_[static_cast<std::size_t>(t - first_)];
        for (int r = 0; r < rows; ++r) c[static_cast<std::size_t>(r)] = history[r][slot];
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

namespace {

void append_csv_row(QByteArray& out, int t, const script_timeline::column& c)
{
    out += QByteArray::number(t);
    for (int j = 0; j < num_dsy - 1 && j < TOLVANE_NUM_DISPLAYS - 1; ++j) {
        out += ',';
        append_csv_number(out, static_cast<double>(c[static_cast<std::size_t>(j)]),
                          csv_number_style::c_library);
    }
    out += '\n';
}

}  // namespace

void script_timeline::send_unreachable()
{
    // A re-run reaches back to the second after latest - 1800 (the ring).
    const int oldest_reachable = latest_ - TOLVANE_HISTORY_COLUMNS + 1;
    if (stream_ == nullptr || first_ >= oldest_reachable || columns_.empty()) return;
    QByteArray text;
    while (!columns_.empty() && first_ < oldest_reachable) {
        append_csv_row(text, first_, columns_.front());
        columns_.pop_front();
        ++first_;
    }
    stream_->rows(text);
}

void script_timeline::flush()
{
    if (stream_ == nullptr || columns_.empty()) return;
    stream_->rows(csv_rows());
    first_ += static_cast<int>(columns_.size());
    columns_.clear();
}

QByteArray script_timeline::csv_rows() const
{
    QByteArray out;
    for (std::size_t i = 0; i < columns_.size(); ++i)
        append_csv_row(out, first_ + static_cast<int>(i), columns_[i]);
    return out;
}

QByteArray script_timeline::csv() const { return history_csv_header() + csv_rows(); }

void restore_standard_breathing()
{
    respiration_pending pending = current_respiration_pending();
    pending.ventilation = 1;
    pending.bag_state = bag_state_id::standard;
    apply_respiration_settings(pending, current_respiration_texts());
}

script_run_result run_scenario_script(simulator& sim, const scenario_script& script,
                                      const std::function<void(const QString&)>& log, timeline_stream* stream)
{
    return script_runner(sim, script, log).run(stream);
}
