// SPDX-License-Identifier: Apache-2.0
#include "scenario_run.h"

#include "c_number.h"
#include "factor_lookup.h"
#include "number_text.h"
#include "respiration.h"
#include "run_session.h"
#include "cp1252_text.h"
#include "tolvane_model.h"

#include <algorithm>
#include <cctype>
#include <charconv>
#include <cmath>
#include <cstdio>
#include <cstring>
#include <map>

namespace {

// The bag states by the names a script may use instead of the number.
const std::map<std::string, int>& bag_state_names()
{
    static const std::map<std::string, int> names = {
        {"glottis", bag_state_id::glottis_closed},      {"standard", bag_state_id::standard},
        {"collect", bag_state_id::collect_expired},     {"rebreathe", bag_state_id::rebreathe},
        {"absorber", bag_state_id::rebreathe_absorber},
    };
    return names;
}

// A plain decimal number and nothing else (sign, digits, point, exponent).
bool is_number(std::string_view text)
{
    if (text.empty()) return false;
    const c_number n = scan_c_number(text.data(), text.size());
    return n.length == text.size() && std::isfinite(n.value);
}

double number_of(std::string_view text) { return scan_c_number(text.data(), text.size()).value; }

std::string lower_case(std::string_view text)
{
    std::string lower(text);
    for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return lower;
}

std::string quoted(std::string_view text) { return "\"" + std::string(text) + "\""; }

bool is_absolute(std::string_view path) { return !path.empty() && path[0] == '/'; }

// Parser of one script: the words of the line being read and the simulated
// clock as the script moves it, so that every time is checked before anything runs.
class script_parser {
public:
    script_parser(std::string_view file_name, std::string_view base_dir)
        : file_name_(file_name), base_dir_(base_dir)
    {
    }

    scenario_parse_result parse(std::string_view text)
    {
        std::size_t start = 0;
        for (int number = 1; start <= text.size(); ++number) {
            const std::size_t end = std::min(text.find('\n', start), text.size());
            line_ = number;
            std::string_view content = text.substr(start, end - start);
            start = end + 1;
            if (const std::size_t hash = content.find('#'); hash != std::string_view::npos)
                content = content.substr(0, hash);
            split_words(content);
            if (words_.empty()) continue;
            if (!parse_line()) {
                result_.actions.clear();
                return result_;
            }
        }
        return result_;
    }

private:
    void split_words(std::string_view content)
    {
        words_.clear();
        next_ = 0;
        std::size_t i = 0;
        auto blank = [](char c) { return std::isspace(static_cast<unsigned char>(c)) != 0; };
        while (i < content.size()) {
            while (i < content.size() && blank(content[i])) ++i;
            const std::size_t word = i;
            while (i < content.size() && !blank(content[i])) ++i;
            if (i > word) words_.emplace_back(content.substr(word, i - word));
        }
    }

    bool fail(const std::string& message)
    {
        result_.status = script_parse_outcome::failure(
            script_parse_status::bad_line, file_name_ + ":" + std::to_string(line_) + ": " + message);
        result_.error_line = line_;
        return false;
    }

    bool at_end() const { return next_ >= words_.size(); }
    std::string take() { return at_end() ? std::string() : words_[next_++]; }
    std::string take_keyword() { return lower_case(take()); }

    bool expect_end()
    {
        if (at_end()) return true;
        return fail("unexpected " + quoted(words_[next_]) + " at the end of the line");
    }

    // Reads a time word; what names the role in a message ("action time").
    bool take_time(const std::string& what, int& seconds)
    {
        if (at_end()) return fail(what + " missing: write minutes:seconds, e.g. 2:00");
        const std::string word = take();
        const std::optional<int> t = read_script_time(word);
        if (!t)
            return fail(quoted(word) + " is not a time: write minutes:seconds, e.g. 2:00 (at most " +
                        std::to_string(script_max_minutes) + " minutes)");
        seconds = *t;
        return true;
    }

    // Moves the script's clock to t for an action or "run until".
    bool move_clock_to(int t)
    {
        if (t < now_)
            return fail(minutes_seconds_text(t) + " is earlier than the simulated time " +
                        minutes_seconds_text(now_) + " reached by the lines before");
        if (t != now_ && t % 60 != 0)
            return fail(minutes_seconds_text(t) +
                        " is not a whole minute: a run stops only on minute marks (the current time " +
                        minutes_seconds_text(now_) + " may be used as it is)");
        now_ = t;
        if (now_ > latest_) latest_ = now_;
        return true;
    }

    bool take_number(const std::string& what, std::string& text)
    {
        if (at_end()) return fail(what + " missing");
        text = take();
        if (!is_number(text)) return fail(what + " " + quoted(text) + " is not a number");
        return true;
    }

    // "key value" pairs after ventilation or bag; each key at most once.
    bool take_settings(const std::map<std::string, std::optional<std::string>*>& keys,
                       const std::string& context)
    {
        while (!at_end()) {
            const std::string key = take_keyword();
            const auto found = keys.find(key);
            if (found == keys.end()) {
                std::string known;
                for (const auto& [name, field] : keys) known += (known.empty() ? "" : ", ") + name;
                return fail("unknown " + context + " setting " + quoted(key) + " (known: " + known + ")");
            }
            if (found->second->has_value()) return fail(key + " given twice");
            std::string value;
            if (!take_number("value of " + key, value)) return false;
            *found->second = value;
        }
        return true;
    }

    bool parse_line()
    {
        scenario_action action;
        action.line = line_;
        const std::string first = take_keyword();
        if (first == "run") {
            if (take_keyword() != "until") return fail("write \"run until TIME\"");
            if (!take_time("time to run until", action.target)) return false;
            if (!move_clock_to(action.target)) return false;
            action.time = action.target;
            action.kind = script_action_kind::run_until;
            if (!expect_end()) return false;
            result_.actions.push_back(action);
            return true;
        }
        if (first != "at")
            return fail("unknown line starting " + quoted(words_[0]) +
                        ": a line is \"at TIME ACTION\", \"run until TIME\" or a # comment");
        if (!take_time("action time", action.time)) return false;
        if (!move_clock_to(action.time)) return false;
        if (at_end())
            return fail(
                "action missing after the time (set, ventilation, natural, bag, rerun, reset or load)");
        const std::string verb = take_keyword();
        if (verb == "set") {
            if (!parse_set(action)) return false;
        } else if (verb == "ventilation" || verb == "natural") {
            if (!parse_ventilation(action, verb == "natural")) return false;
        } else if (verb == "bag") {
            if (!parse_bag(action)) return false;
        } else if (verb == "rerun") {
            if (!parse_rerun(action)) return false;
        } else if (verb == "reset") {
            action.kind = script_action_kind::reset;
            restart_clock();
        } else if (verb == "load") {
            if (!parse_load(action)) return false;
        } else {
            return fail("unknown action " + quoted(words_[next_ - 1]) +
                        " (set, ventilation, natural, bag, rerun, reset or load)");
        }
        if (!expect_end()) return false;
        result_.actions.push_back(action);
        return true;
    }

    bool parse_set(scenario_action& action)
    {
        action.kind = script_action_kind::set_factor;
        if (at_end()) return fail("factor missing: write \"set NAME VALUE\" or \"set INDEX VALUE\"");
        const factor_lookup factor = find_factor(take());
        if (factor.index < 0) return fail(factor.error);
        action.factor_index = factor.index;
        return take_number("value", action.value_text);
    }

    bool parse_ventilation(scenario_action& action, bool natural_word)
    {
        action.kind = script_action_kind::ventilation;
        const std::string mode = natural_word ? std::string("natural") : take_keyword();
        if (mode == "natural") {
            action.natural = true;
            if (!at_end())
                return fail(
                    "natural ventilation takes no ventilator settings (the dialog locks those fields)");
            return true;
        }
        if (mode != "artificial")
            return fail(
                "write \"ventilation natural\" or \"ventilation artificial [rate R] [tidal V] [peep P]\"");
        action.natural = false;
        return take_settings({{"rate", &action.rate}, {"tidal", &action.tidal}, {"peep", &action.peep}},
                             "ventilator");
    }

    bool parse_bag(scenario_action& action)
    {
        action.kind = script_action_kind::bag;
        if (at_end())
            return fail("bag state missing (9 to 13, or glottis, standard, collect, rebreathe, absorber)");
        const std::string word = take_keyword();
        int state = -1;
        if (const std::from_chars_result r = std::from_chars(word.data(), word.data() + word.size(), state);
            r.ec != std::errc() || r.ptr != word.data() + word.size()) {
            const auto found = bag_state_names().find(word);
            state = found == bag_state_names().end() ? -1 : found->second;
        }
        if (state < bag_state_id::glottis_closed || state > bag_state_id::rebreathe_absorber)
            return fail("bag state must be 9 to 13 or glottis, standard, collect, rebreathe, absorber; got " +
                        quoted(word));
        action.bag_state = state;
        if (!take_settings({{"volume", &action.bag_volume}, {"co2", &action.bag_co2}, {"o2", &action.bag_o2}},
                           "bag"))
            return false;
        const bool any = action.bag_volume || action.bag_co2 || action.bag_o2;
        const bool locked = state == bag_state_id::glottis_closed || state == bag_state_id::standard;
        if (any && locked)
            return fail("bag state " + std::to_string(state) +
                        " takes no volume or percentages (the dialog locks those fields)");
        // The dialog clamps each percentage before it adds them; the limits
        // are the catalogue's, the same for every subject.
        if (action.bag_co2 && action.bag_o2) {
            const catalogue_record& co2 = model_state::pristine().factors[factor_id::bag_co2];
            const catalogue_record& o2 = model_state::pristine().factors[factor_id::bag_o2];
            const float c = clamp_to_limits(number_of(*action.bag_co2), co2.minimum, co2.maximum);
            const float o = clamp_to_limits(number_of(*action.bag_o2), o2.minimum, o2.maximum);
            if (double(c) + double(o) > 100.0)
                return fail("bag CO2 and O2 percentages add up to more than 100");
        }
        return true;
    }

    bool parse_rerun(scenario_action& action)
    {
        action.kind = script_action_kind::rerun;
        if (!take_time("time to re-run from", action.target)) return false;
        if (action.target > now_)
            return fail("cannot re-run from " + minutes_seconds_text(action.target) +
                        ": it lies after the current time " + minutes_seconds_text(now_));
        // The history ring holds the last 1800 seconds before the latest time;
        // the oldest of its columns has already been overwritten by the newest.
        if (action.target <= latest_ - TOLVANE_HISTORY_COLUMNS)
            return fail("cannot re-run from " + minutes_seconds_text(action.target) +
                        ": the history holds only the 30 minutes before " + minutes_seconds_text(latest_));
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

    bool parse_load(scenario_action& action)
    {
        action.kind = script_action_kind::load;
        if (at_end()) return fail("subject file missing: write \"load FILE\"");
        const std::string file = take();
        // A relative path is taken from the script's folder, so a script and
        // its subjects can move together.
        if (is_absolute(file) || base_dir_.empty())
            action.load_path = file;
        else
            action.load_path = base_dir_ + (base_dir_.back() == '/' ? "" : "/") + file;
        restart_clock();
        return true;
    }

    std::string file_name_;
    std::string base_dir_;
    scenario_parse_result result_;
    std::vector<std::string> words_;
    std::size_t next_ = 0;
    int line_ = 0;
    int now_ = 0;     // the simulated time after the lines read so far
    int latest_ = 0;  // the largest time reached (RE-RUN does not lower it)
};

// "%g" of value: how the runner's messages write a limit or a setting.
std::string g_text(double value)
{
    char text[32];
    const int length = std::snprintf(text, sizeof text, "%g", value);
    return std::string(text, static_cast<std::size_t>(std::max(length, 0)));
}

// A catalogue name in UTF-8.
std::string record_name(const catalogue_record& record)
{
    return utf8_from_cp1252(record.name, std::strlen(record.name));
}

// Carries out parsed actions through a script's controls.
class script_runner {
public:
    script_runner(scenario_controls& controls, std::string_view file_name)
        : controls_(controls), session_(controls.session()), file_name_(file_name)
    {
    }

    scenario_outcome run(const std::vector<scenario_action>& actions)
    {
        if (!check_before_running(actions)) return result_;
        for (const scenario_action& action : actions) {
            if (!advance_to(action)) break;
            if (!carry_out(action)) break;
        }
        return result_;
    }

    // One action at the current moment, without running to its time.
    scenario_outcome act(const scenario_action& action)
    {
        carry_out(action);
        return result_;
    }

private:
    std::string where(const scenario_action& action) const
    {
        return file_name_ + ":" + std::to_string(action.line) + ": ";
    }

    void log(const std::string& text)
    {
        std::string line = minutes_seconds_text(session_.state().sim_time) + " " + text;
        controls_.logged(line);
        result_.log.push_back(std::move(line));
    }

    bool stop(scenario_end end, const scenario_action& action, const std::string& message)
    {
        result_.end = end;
        result_.message = message;
        result_.stopped_line = action.line;
        return false;
    }

    std::string cannot_load_message(const scenario_action& action) const
    {
        return where(action) + "cannot load the subject file " + action.load_path;
    }

    // Every "load" file is read, and the bag percentages are followed
    // through "set", "bag", "ventilation", "reset" and "load" as the
    // respiration dialog takes them.
    bool check_before_running(const std::vector<scenario_action>& actions)
    {
        using percentages = std::pair<float, float>;  // CO2, O2
        percentages now{}, standard{};
        catalogue_record co2_record{}, o2_record{};
        session_.with_model([&] {
            co2_record = factor[factor_id::bag_co2];
            o2_record = factor[factor_id::bag_o2];
            now = {co2_record.value, o2_record.value};
            // What a reset brings back: the subject last loaded.
            standard = {s_factor[factor_id::bag_co2], s_factor[factor_id::bag_o2]};
        });
        for (const scenario_action& action : actions) {
            switch (action.kind) {
            case script_action_kind::set_factor:
                if (action.factor_index == factor_id::bag_co2 || action.factor_index == factor_id::bag_o2) {
                    const bool co2 = action.factor_index == factor_id::bag_co2;
                    catalogue_record record = co2 ? co2_record : o2_record;
                    (co2 ? now.first : now.second) =
                        enter_number(record, atof_value(action.value_text)).stored;
                }
                break;
            case script_action_kind::ventilation:
            case script_action_kind::bag: {
                const std::string co2_text = action.bag_co2.value_or(respiration_field_string(now.first));
                const std::string o2_text = action.bag_o2.value_or(respiration_field_string(now.second));
                const double co2 = read_leading_number(co2_text);
                const double o2 = read_leading_number(o2_text);
                if (bag_percentages_exceed_100(co2, o2))
                    return stop(scenario_end::refused, action,
                                where(action) + "the respiration dialog would refuse OK: the bag's CO2 " +
                                    co2_text + " % and O2 " + o2_text + " % add up to more than 100");
                now = {clamp_to_limits(co2, co2_record.minimum, co2_record.maximum),
                       clamp_to_limits(o2, o2_record.minimum, o2_record.maximum)};
                break;
            }
            case script_action_kind::reset:
                now = standard;
                break;
            case script_action_kind::load: {
                subject_read_result read = read_subject_file(action.load_path);
                if (!read.status.ok())
                    return stop(scenario_end::load_failed, action, cannot_load_message(action));
                session_.with_model([&] { clamp_subject_to_limits(read.data); });
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

    // RUN until the clock shows the action's time.
    bool advance_to(const scenario_action& action)
    {
        if (session_.state().sim_time > action.time)
            return stop(scenario_end::refused, action,
                        where(action) + minutes_seconds_text(action.time) +
                            " is earlier than the simulated time " +
                            minutes_seconds_text(session_.state().sim_time));
        while (session_.state().sim_time < action.time) {
            if (session_.dead())
                return stop(scenario_end::died, action,
                            where(action) + "not carried out: the subject is dead");
            const step_outcome outcome = controls_.run_to_minute();
            if (!outcome.started)
                return stop(scenario_end::refused, action,
                            where(action) + "not carried out: RUN is not available");
            if (outcome.seconds_done > 0)
                controls_.recorded(outcome.start_time + 1, outcome.start_time + outcome.seconds_done);
            if (!outcome.failure.ok()) {
                result_.failure_item = outcome.failure.code();
                result_.failed_time = outcome.failed_time();
                return stop(scenario_end::step_failed, action,
                            minutes_seconds_text(outcome.failed_time()) + " step failed: item " +
                                std::to_string(outcome.failure.code()) + "; " + where(action) +
                                "not carried out");
            }
            if (outcome.died)
                return stop(scenario_end::died, action,
                            minutes_seconds_text(session_.state().sim_time) + " the subject died; " +
                                where(action) + "not carried out");
        }
        return true;
    }

    bool carry_out(const scenario_action& action)
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
            controls_.reset();
            controls_.restarted();
            log("reset: the subject starts again");
            return true;
        case script_action_kind::load:
            return load(action);
        }
        return true;
    }

    // Load with the file the line names instead of a dialog's choice.
    bool load(const scenario_action& action)
    {
        const std::optional<std::vector<clamped_value>> clamped = controls_.load(action.load_path);
        if (!clamped) return stop(scenario_end::load_failed, action, cannot_load_message(action));
        for (const clamped_value& value : *clamped)
            result_.notes.push_back(where(action) + describe_clamped_value(value));
        controls_.restarted();
        log("loaded " + action.load_path);
        return true;
    }

    // The factor panel's value entry.
    bool set_factor(const scenario_action& action)
    {
        catalogue_record limits{};
        session_.with_model([&] { limits = factor[action.factor_index]; });
        const clamped_entry entry = controls_.set_factor(action.factor_index, atof_value(action.value_text));
        const std::string name = record_name(limits);
        const std::string entered = format_fixed(entry.stored, 2);
        const std::string factor_words = "factor " + std::to_string(action.factor_index) + " " + quoted(name);
        if (entry.adjusted)
            result_.notes.push_back(where(action) + factor_words + ": " + action.value_text + " is outside " +
                                    g_text(limits.minimum) + " to " + g_text(limits.maximum) + ", set to " +
                                    entered);
        log(factor_words + " = " + entered);
        return true;
    }

    // Notes a dialog field whose typed number the dialog clamped.
    void note_clamped(const scenario_action& action, const char* key, const std::optional<std::string>& typed,
                      const catalogue_record& record)
    {
        if (!typed) return;
        const float wanted = static_cast<float>(number_of(*typed));
        if (wanted == record.value) return;
        result_.notes.push_back(where(action) + key + " " + *typed + " is outside " + g_text(record.minimum) +
                                " to " + g_text(record.maximum) + ", set to " + g_text(record.value));
    }

    // The respiration dialog: opened (fields as it shows them), the choices
    // and fields of the line, OK.
    bool respiration_ok(const scenario_action& action)
    {
        respiration_pending pending;
        respiration_numbers numbers;
        session_.with_model([&] {
            pending = current_respiration_pending();
            // As the dialog: a field the line leaves alone enters what it shows.
            numbers = shown_respiration_numbers();
        });
        if (action.kind == script_action_kind::ventilation) {
            pending.ventilation = action.natural ? 1 : 0;
            if (action.rate) numbers.rate = read_leading_number(*action.rate);
            if (action.tidal) numbers.tidal = read_leading_number(*action.tidal);
            if (action.peep) numbers.peep = read_leading_number(*action.peep);
        } else {
            pending.bag_state = action.bag_state;
            if (action.bag_volume) numbers.bag_volume = read_leading_number(*action.bag_volume);
            if (action.bag_co2) numbers.bag_co2 = read_leading_number(*action.bag_co2);
            if (action.bag_o2) numbers.bag_o2 = read_leading_number(*action.bag_o2);
        }
        if (controls_.set_respiration(pending, numbers) == respiration_ok_result::percentages_exceed_100)
            return stop(scenario_end::refused, action,
                        where(action) + "the respiration dialog refused OK: Sum of percentages exceeds 100%");
        std::string done;
        session_.with_model([&] {
            note_clamped(action, "rate", action.rate, *res_rate);
            note_clamped(action, "tidal", action.tidal, *tidal);
            note_clamped(action, "peep", action.peep, *positive);
            note_clamped(action, "volume", action.bag_volume, *bag_vol);
            note_clamped(action, "co2", action.bag_co2, *bag_co2);
            note_clamped(action, "o2", action.bag_o2, *bag_o2);
            if (action.kind == script_action_kind::bag)
                done = "bag state " + std::to_string(*bag_index) + ": volume " + g_text(bag_vol->value) +
                       " ml, CO2 " + g_text(bag_co2->value) + " %, O2 " + g_text(bag_o2->value) + " %";
            else if (action.natural)
                done = "natural ventilation";
            else
                done = "artificial ventilation: rate " + g_text(res_rate->value) + " /min, tidal volume " +
                       g_text(tidal->value) + " ml, PEEP " + g_text(positive->value) + " cm water";
        });
        log(done);
        return true;
    }

    bool rerun(const scenario_action& action)
    {
        const int target = action.target;
        const run_state& state = session_.state();
        if (!controls_.rerun(target))
            return stop(scenario_end::refused, action,
                        where(action) + "the cursor cannot reach " + minutes_seconds_text(target) +
                            " (plot window from " + minutes_seconds_text(state.win_start) + ", time " +
                            minutes_seconds_text(state.sim_time) + ")");
        controls_.cut_after(target);
        log("re-run from the cursor");
        return true;
    }

    scenario_controls& controls_;
    run_session& session_;
    std::string file_name_;
    scenario_outcome result_;
};

}  // namespace

std::optional<int> read_script_time(std::string_view text)
{
    const std::optional<int> seconds = read_minutes_seconds(text);
    if (!seconds || *seconds > script_max_minutes * 60) return std::nullopt;
    return seconds;
}

scenario_parse_result parse_scenario_text(std::string_view text, std::string_view file_name,
                                          std::string_view base_dir)
{
    return script_parser(file_name, base_dir).parse(text);
}

step_outcome scenario_controls::run_to_minute() { return session_.run_to_minute(); }

void scenario_controls::reset() { session_.restart_subject(); }

std::optional<std::vector<clamped_value>> scenario_controls::load(const std::string& path)
{
    subject_read_result read = read_subject_file(path);
    if (!read.status.ok()) return std::nullopt;
    return session_.load_subject(std::move(read.data), path);
}

bool scenario_controls::rerun(int target)
{
    if (target < session_.earliest_rerun_time() || target > session_.state().sim_time) return false;
    session_.state().cursor_time = target;
    session_.strip_to_cursor();
    return true;
}

clamped_entry scenario_controls::set_factor(int index, float value)
{
    return session_.set_factor(index, value);
}

respiration_ok_result scenario_controls::set_respiration(const respiration_pending& pending,
                                                         const respiration_numbers& numbers)
{
    return session_.set_respiration(pending, numbers);
}

scenario_outcome run_scenario(scenario_controls& controls, const std::vector<scenario_action>& actions,
                              std::string_view file_name)
{
    return script_runner(controls, file_name).run(actions);
}

scenario_outcome run_scenario(run_session& session, const std::vector<scenario_action>& actions,
                              std::string_view file_name)
{
    scenario_controls controls(session);
    return run_scenario(controls, actions, file_name);
}

scenario_outcome carry_out_scenario_action(scenario_controls& controls, const scenario_action& action,
                                           std::string_view file_name)
{
    return script_runner(controls, file_name).act(action);
}

scenario_outcome run_scenario_text(run_session& session, std::string_view text, std::string_view base_dir,
                                   std::string_view file_name)
{
    const scenario_parse_result parsed = parse_scenario_text(text, file_name, base_dir);
    if (!parsed.status.ok()) {
        scenario_outcome outcome;
        outcome.end = scenario_end::bad_line;
        outcome.message = parsed.status.message();
        outcome.stopped_line = parsed.error_line;
        return outcome;
    }
    return run_scenario(session, parsed.actions, file_name);
}
