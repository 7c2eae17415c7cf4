// SPDX-License-Identifier: Apache-2.0
// Scenario scripts: parsing into actions, checking the whole script before
// anything runs, and carrying the actions out through the simulator's own
// controls (RUN, the plot cursor keys, RE-RUN, the factor panel's value entry
// and the respiration dialog's OK).
#include "scenario_script.h"

#include "c_number.h"
#include "cp1252.h"
#include "factor_names.h"
#include "file_names.h"
#include "history_csv.h"
#include "panel_logic.h"
#include "pressure_units.h"
#include "respiration_settings.h"
#include "safe_file.h"
#include "simulator.h"
#include "subject_file.h"
#include "subject_limits.h"

#include <QDir>
#include <QFile>
#include <QFileInfo>
#include <QRegularExpression>
#include <algorithm>
#include <charconv>
#include <cerrno>
#include <cmath>
#include <cstring>
#include <cstdio>
#include <map>

namespace {

// The bag states by the names a script may use instead of the number.
const std::map<QString, int>& bag_state_names()
{
    static const std::map<QString, int> names = {
        {QStringLiteral("glottis"), bag_state_id::glottis_closed},
        {QStringLiteral("standard"), bag_state_id::standard},
        {QStringLiteral("collect"), bag_state_id::collect_expired},
        {QStringLiteral("rebreathe"), bag_state_id::rebreathe},
        {QStringLiteral("absorber"), bag_state_id::rebreathe_absorber},
    };
    return names;
}

// A plain decimal number and nothing else (sign, digits, point, exponent).
bool is_number(const QString& text)
{  // A character outside Latin-1 becomes "?", which no number holds.
    return whole_c_number(text.toLatin1().toStdString()).has_value();
}

double number_of(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    return scan_c_number(bytes.constData(), static_cast<std::size_t>(bytes.size())).value;
}

// Parser of one script: the words of the line being read and the simulated
// clock as the script moves it, so that every time is checked before anything runs.
class script_parser {
public:
    explicit script_parser(const QString& file_name) { result_.script.file_name = file_name; }

    script_parse_result parse(const QString& text)
    {
        const QStringList lines = text.split(QLatin1Char('\n'));
        for (qsizetype i = 0; i < lines.size(); ++i) {
            line_ = static_cast<int>(i) + 1;
            QString content = lines[i];
            const qsizetype hash = content.indexOf(QLatin1Char('#'));
            if (hash >= 0) content.truncate(hash);
            words_ = content.split(QRegularExpression(QStringLiteral("\\s+")), Qt::SkipEmptyParts);
            next_ = 0;
            if (words_.isEmpty()) continue;
            if (!parse_line()) {
                result_.script.actions.clear();
                return result_;
            }
        }
        return result_;
    }

private:
    bool fail(const QString& message)
    {
        result_.status = script_parse_outcome::failure(
            script_parse_status::bad_line,
            QStringLiteral("%1:%2: %3").arg(result_.script.file_name).arg(line_).arg(message).toStdString());
        result_.error_line = line_;
        return false;
    }

    bool at_end() const { return next_ >= words_.size(); }
    QString peek() const { return at_end() ? QString() : words_[next_].toLower(); }
    QString take() { return at_end() ? QString() : words_[next_++]; }
    QString take_keyword() { return take().toLower(); }

    bool expect_end()
    {
        if (at_end()) return true;
        return fail(QStringLiteral("unexpected \"%1\" at the end of the line").arg(words_[next_]));
    }

    // Reads a time word; what names the role in a message ("action time").
    bool take_time(const QString& what, int& seconds)
    {
        if (at_end()) return fail(QStringLiteral("%1 missing: write minutes:seconds, e.g. 2:00").arg(what));
        const QString word = take();
        const std::optional<int> t = parse_script_time(word);
        if (!t)
            return fail(QStringLiteral("\"%1\" is not a time: write minutes:seconds, e.g. 2:00 "
                                       "(at most %2 minutes)")
                            .arg(word)
                            .arg(script_max_minutes));
        seconds = *t;
        return true;
    }

    // Moves the script's clock to t for an action or "run until".
    bool move_clock_to(int t)
    {
        if (t < now_)
            return fail(QStringLiteral("%1 is earlier than the simulated time %2 reached by the "
                                       "lines before")
                            .arg(format_minutes_seconds(t), format_minutes_seconds(now_)));
        if (t != now_ && t % 60 != 0)
            return fail(QStringLiteral("%1 is not a whole minute: a run stops only on minute marks "
                                       "(the current time %2 may be used as it is)")
                            .arg(format_minutes_seconds(t), format_minutes_seconds(now_)));
        now_ = t;
        if (now_ > latest_) latest_ = now_;
        return true;
    }

    bool take_number(const QString& what, QString& text)
    {
        if (at_end()) return fail(QStringLiteral("%1 missing").arg(what));
        text = take();
        if (!is_number(text)) return fail(QStringLiteral("%1 \"%2\" is not a number").arg(what, text));
        return true;
    }

    // "key value" pairs after ventilation or bag; each key at most once.
    bool take_settings(const std::map<QString, std::optional<QString>*>& keys, const QString& context)
    {
        while (!at_end()) {
            const QString key = take_keyword();
            const auto found = keys.find(key);
            if (found == keys.end()) {
                QStringList known;
                for (const auto& [name, field] : keys) known << name;
                return fail(QStringLiteral("unknown %1 setting \"%2\" (known: %3)")
                                .arg(context, key, known.join(QStringLiteral(", "))));
            }
            if (found->second->has_value()) return fail(QStringLiteral("%1 given twice").arg(key));
            QString value;
            if (!take_number(QStringLiteral("value of %1").arg(key), value)) return false;
            *found->second = value;
        }
        return true;
    }

    bool parse_line()
    {
        script_action action;
        action.line = line_;
        const QString first = take_keyword();
        if (first == QLatin1String("run")) {
            if (take_keyword() != QLatin1String("until"))
                return fail(QStringLiteral("write \"run until TIME\""));
            if (!take_time(QStringLiteral("time to run until"), action.target)) return false;
            if (!move_clock_to(action.target)) return false;
            action.time = action.target;
            action.kind = script_action_kind::run_until;
            if (!expect_end()) return false;
            result_.script.actions.push_back(action);
            return true;
        }
        if (first != QLatin1String("at"))
            return fail(QStringLiteral("unknown line starting \"%1\": a line is \"at TIME ACTION\", "
                                       "\"run until TIME\" or a # comment")
                            .arg(words_[0]));
        if (!take_time(QStringLiteral("action time"), action.time)) return false;
        if (!move_clock_to(action.time)) return false;
        if (at_end())
            return fail(
                QStringLiteral("action missing after the time (set, ventilation, natural, "
                               "bag, rerun, reset or load)"));
        const QString verb = take_keyword();
        if (verb == QLatin1String("set")) {
            if (!parse_set(action)) return false;
        } else if (verb == QLatin1String("ventilation") || verb == QLatin1String("natural")) {
            if (!parse_ventilation(action, verb == QLatin1String("natural"))) return false;
        } else if (verb == QLatin1String("bag")) {
            if (!parse_bag(action)) return false;
        } else if (verb == QLatin1String("rerun")) {
            if (!parse_rerun(action)) return false;
        } else if (verb == QLatin1String("reset")) {
            action.kind = script_action_kind::reset;
            restart_clock();
        } else if (verb == QLatin1String("load")) {
            if (!parse_load(action)) return false;
        } else {
            return fail(QStringLiteral("unknown action \"%1\" (set, ventilation, natural, bag, rerun, "
                                       "reset or load)")
                            .arg(words_[next_ - 1]));
        }
        if (!expect_end()) return false;
        result_.script.actions.push_back(action);
        return true;
    }

    bool parse_set(script_action& action)
    {
        action.kind = script_action_kind::set_factor;
        if (at_end())
            return fail(QStringLiteral("factor missing: write \"set NAME VALUE\" or \"set INDEX VALUE\""));
        const qt_factor_lookup factor = find_factor(take());
        if (factor.index < 0) return fail(factor.error);
        action.factor_index = factor.index;
        return take_number(QStringLiteral("value"), action.value_text);
    }

    bool parse_ventilation(script_action& action, bool natural_word)
    {
        action.kind = script_action_kind::ventilation;
        QString mode = natural_word ? QStringLiteral("natural") : take_keyword();
        if (mode == QLatin1String("natural")) {
            action.natural = true;
            if (!at_end())
                return fail(
                    QStringLiteral("natural ventilation takes no ventilator settings (the "
                                   "dialog locks those fields)"));
            return true;
        }
        if (mode != QLatin1String("artificial"))
            return fail(
                QStringLiteral("write \"ventilation natural\" or \"ventilation artificial "
                               "[rate R] [tidal V] [peep P]\""));
        action.natural = false;
        return take_settings({{QStringLiteral("rate"), &action.rate},
                              {QStringLiteral("tidal"), &action.tidal},
                              {QStringLiteral("peep"), &action.peep}},
                             QStringLiteral("ventilator"));
    }

    bool parse_bag(script_action& action)
    {
        action.kind = script_action_kind::bag;
        if (at_end())
            return fail(
                QStringLiteral("bag state missing (9 to 13, or glottis, standard, "
                               "collect, rebreathe, absorber)"));
        const QString word = take_keyword();
        bool ok = false;
        int state = word.toInt(&ok, 10);
        if (!ok) {
            const auto found = bag_state_names().find(word);
            state = found == bag_state_names().end() ? -1 : found->second;
        }
        if (state < bag_state_id::glottis_closed || state > bag_state_id::rebreathe_absorber)
            return fail(QStringLiteral("bag state must be 9 to 13 or glottis, standard, collect, "
                                       "rebreathe, absorber; got \"%1\"")
                            .arg(word));
        action.bag_state = state;
        if (!take_settings({{QStringLiteral("volume"), &action.bag_volume},
                            {QStringLiteral("co2"), &action.bag_co2},
                            {QStringLiteral("o2"), &action.bag_o2}},
                           QStringLiteral("bag")))
            return false;
        const bool any = action.bag_volume || action.bag_co2 || action.bag_o2;
        if (any && bag_fields_locked(state).value_or(false))
            return fail(QStringLiteral("bag state %1 takes no volume or percentages (the dialog "
                                       "locks those fields)")
                            .arg(state));
        // The dialog clamps each percentage before it adds them.
        if (action.bag_co2 && action.bag_o2) {
            const float c = clamp_to_limits(number_of(*action.bag_co2), factor[factor_id::bag_co2].minimum,
                                            factor[factor_id::bag_co2].maximum);
            const float o = clamp_to_limits(number_of(*action.bag_o2), factor[factor_id::bag_o2].minimum,
                                            factor[factor_id::bag_o2].maximum);
            if (double(c) + double(o) > 100.0)
                return fail(QStringLiteral("bag CO2 and O2 percentages add up to more than 100"));
        }
        return true;
    }

    bool parse_rerun(script_action& action)
    {
        action.kind = script_action_kind::rerun;
        if (!take_time(QStringLiteral("time to re-run from"), action.target)) return false;
        if (action.target > now_)
            return fail(QStringLiteral("cannot re-run from %1: it lies after the current time %2")
                            .arg(format_minutes_seconds(action.target), format_minutes_seconds(now_)));
        // The history ring holds the last 1800 seconds before the latest time;
        // the oldest of its columns has already been overwritten by the newest.
        if (action.target <= latest_ - TOLVANE_HISTORY_COLUMNS)
            return fail(QStringLiteral("cannot re-run from %1: the history holds only the 30 minutes "
                                       "before %2")
                            .arg(format_minutes_seconds(action.target), format_minutes_seconds(latest_)));
        now_ = action.target;
        return true;
    }

    // RESET and Load start the subject again: the clock shows 0:00 and
    // nothing before it can be re-run to.
    void restart_clock()
    {
        now_ = 0;
        latest_ = 0;
    }

    bool parse_load(script_action& action)
    {
        action.kind = script_action_kind::load;
        if (at_end()) return fail(QStringLiteral("subject file missing: write \"load FILE\""));
        const QString file = take();
        // A relative path is taken from the script's folder, so a script and
        // its subjects can move together.
        action.load_path =
            QFileInfo(file).isAbsolute() ? file : QFileInfo(result_.script.file_name).dir().filePath(file);
        restart_clock();
        return true;
    }

    script_parse_result result_;
    QStringList words_;
    qsizetype next_ = 0;
    int line_ = 0;
    int now_ = 0;     // the simulated time after the lines read so far
    int latest_ = 0;  // the largest time reached (RE-RUN does not lower it)
};

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
        if (!check_before_running()) {
            result_.end_time = sim_.state().sim_time;
            result_.timeline.stream_to(nullptr);
            return result_;
        }
        for (const script_action& action : script_.actions) {
            if (!advance_to(action)) break;
            if (!carry_out(action)) break;
        }
        result_.end_time = sim_.state().sim_time;
        result_.timeline.flush();
        result_.timeline.stream_to(nullptr);
        return result_;
    }

    // One action at the current moment, without running to its time.
    script_run_result act(const script_action& action)
    {
        carry_out(action);
        result_.end_time = sim_.state().sim_time;
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

    // What the lines will meet, found before anything runs: every "load"
    // file is read, and the bag percentages are followed through "set",
    // "bag", "ventilation", "reset" and "load" as the respiration dialog
    // takes them, so that an OK the dialog would refuse, with its two
    // percentages set on different lines, stops the script before its first
    // RUN rather than minutes into it.
    bool check_before_running()
    {
        using percentages = std::pair<float, float>;  // CO2, O2
        percentages now{factor[factor_id::bag_co2].value, factor[factor_id::bag_o2].value};
        // What a reset brings back: the subject last loaded.
        percentages standard{s_factor[factor_id::bag_co2], s_factor[factor_id::bag_o2]};
        for (const script_action& action : script_.actions) {
            switch (action.kind) {
            case script_action_kind::set_factor:
                if (action.factor_index == factor_id::bag_co2 || action.factor_index == factor_id::bag_o2) {
                    catalogue_record record = factor[action.factor_index];
                    const float value = enter_value(record, action.value_text, "%.2f").stored;
                    (action.factor_index == factor_id::bag_co2 ? now.first : now.second) = value;
                }
                break;
            case script_action_kind::ventilation:
            case script_action_kind::bag: {
                respiration_texts texts;
                texts.bag_co2 = action.bag_co2.value_or(respiration_field_text(now.first));
                texts.bag_o2 = action.bag_o2.value_or(respiration_field_text(now.second));
                const std::optional<percentages> accepted = accepted_bag_percentages(texts);
                if (!accepted)
                    return stop(script_end::refused, action,
                                where(action) + QStringLiteral("the respiration dialog would refuse OK: the "
                                                               "bag's CO2 %1 % and O2 %2 % add up to more "
                                                               "than 100")
                                                    .arg(texts.bag_co2, texts.bag_o2));
                now = *accepted;
                break;
            }
            case script_action_kind::reset:
                now = standard;
                break;
            case script_action_kind::load: {
                subject_read_result read = read_subject_file(action.load_path);
                if (!read.status.ok())
                    return stop(script_end::load_failed, action, cannot_load_message(action));
                clamp_subject_to_limits(read.data);
                standard = {read.data.factors[factor_id::bag_co2], read.data.factors[factor_id::bag_o2]};
                now = standard;
                break;
            }
            case script_action_kind::rerun:
            case script_action_kind::run_until:
                break;
            }
        }
        return true;
    }

    QString cannot_load_message(const script_action& action) const
    {
        return where(action) + QStringLiteral("cannot load the subject file %1").arg(action.load_path);
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
                result_.failed_time = outcome.failed_time();
                return stop(script_end::step_failed, action,
                            QStringLiteral("%1 step failed: item %2; %3not carried out")
                                .arg(format_minutes_seconds(outcome.failed_time()))
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
        if (!sim_.load_chosen_file(action.load_path).ok())
            return stop(script_end::load_failed, action, cannot_load_message(action));
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

std::optional<int> parse_script_time(const QString& text)
{
    const std::optional<int> seconds = parse_minutes_seconds(text);
    if (!seconds || *seconds > script_max_minutes * 60) return std::nullopt;
    return seconds;
}

script_parse_result parse_scenario_script(const QString& text, const QString& file_name)
{
    return script_parser(file_name).parse(text);
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

void append_timeline_csv_row(QByteArray& out, int t, const history_column& column, int digits)
{
    char row[16 + (1 + csv_number_max) * TOLVANE_NUM_DISPLAYS];
    char* end = std::to_chars(row, row + 16, t).ptr;
    for (int j = 0; j < num_dsy - 1 && j < TOLVANE_NUM_DISPLAYS - 1; ++j) {
        *end++ = ',';
        end = format_csv_number(end, static_cast<double>(column[static_cast<std::size_t>(j)]), digits);
    }
    *end++ = '\n';
    out.append(row, end - row);
}

void script_timeline::send_unreachable()
{
    // A re-run reaches back to the second after latest - 1800 (the ring).
    const int oldest_reachable = latest_ - TOLVANE_HISTORY_COLUMNS + 1;
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

script_run_result carry_out_script_action(simulator& sim, const scenario_script& script,
                                          const script_action& action)
{
    return script_runner(sim, script, {}).act(action);
}
