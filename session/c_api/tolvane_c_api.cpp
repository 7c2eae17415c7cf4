// SPDX-License-Identifier: Apache-2.0
// The C interface (tolvane/session.h) over run_session: argument checks,
// result codes and messages, and the catalogue in UTF-8. Nothing here runs
// the model itself; every operation is the session's.
#include "tolvane/session.h"

#include "cp1252_text.h"
#include "csv_text.h"
#include "factor_lookup.h"
#include "number_text.h"
#include "pressure_mode.h"
#include "run_session.h"
#include "scenario_run.h"
#include "slot_ids.h"

#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <new>
#include <string>
#include <vector>

struct tolvane_session {
    run_session run;
    std::string message;     // why the last call failed
    std::string warnings;    // what the last call adjusted
    std::string event_text;  // the text tolvane_get_event handed out last
    int failed_item = 0;
};

namespace {

constexpr const char* null_session_text = "no session (a NULL handle)";

// ---- the catalogue, decoded once -------------------------------------------

struct catalogue_texts {
    std::vector<std::string> factor_long, factor_unit, display_long, display_unit;
    std::vector<std::string> factor_kpa_unit, display_kpa_unit;
    std::string no_display, model_version;
};

std::string decoded(const char* text)
{
    return text == nullptr ? std::string() : utf8_from_cp1252(text, std::strlen(text));
}

const catalogue_texts& texts()
{
    static const catalogue_texts t = [] {
        const model_state& m = model_state::pristine();
        catalogue_texts c;
        for (int i = 0; i < TOLVANE_FACTOR_COUNT; ++i) {
            c.factor_long.push_back(decoded(m.factors[i].name));
            c.factor_unit.push_back(decoded(m.factors[i].unit));
        }
        for (int i = 0; i < TOLVANE_DISPLAY_COUNT; ++i) {
            c.display_long.push_back(decoded(m.displays[i].name));
            c.display_unit.push_back(decoded(m.displays[i].unit));
        }
        c.no_display = decoded(m.displays[TOLVANE_DISPLAY_COUNT].name);
        for (const catalogue_record& r : m.alt_factors) c.factor_kpa_unit.push_back(decoded(r.unit));
        for (const catalogue_record& r : m.alt_displays) c.display_kpa_unit.push_back(decoded(r.unit));
        c.model_version = decoded(mdl_ver);
        return c;
    }();
    return t;
}

bool factor_index_valid(int i) { return i >= 0 && i < TOLVANE_FACTOR_COUNT; }
bool display_index_valid(int i) { return i >= 0 && i < TOLVANE_DISPLAY_COUNT; }

// Position of index in a -1-terminated list of the model (constant arrays).
template <std::size_t N>
int listed_position(const int32_t (&list)[N], int index)
{
    for (std::size_t j = 0; j < N && list[j] != -1; ++j)
        if (list[j] == index) return static_cast<int>(j);
    return -1;
}

void store(double* out, double value)
{
    if (out != nullptr) *out = value;
}

// ---- results ----------------------------------------------------------------

tolvane_result fail(tolvane_session* s, tolvane_result code, std::string message)
{
    s->message = std::move(message);
    return code;
}

// Runs body on a valid session with its message and warnings emptied;
// memory exhaustion becomes TOLVANE_ERR_MEMORY.
template <typename F>
tolvane_result guarded(tolvane_session* s, F&& body)
{
    if (s == nullptr) return TOLVANE_ERR_NULL;
    s->message.clear();
    s->warnings.clear();
    try {
        return body();
    } catch (const std::bad_alloc&) {
        return fail(s, TOLVANE_ERR_MEMORY, "out of memory");
    }
}

tolvane_result null_argument(tolvane_session* s, const char* what)
{
    return fail(s, TOLVANE_ERR_NULL, std::string(what) + " is NULL");
}

tolvane_result not_finite(tolvane_session* s, const char* what)
{
    return fail(s, TOLVANE_ERR_VALUE, std::string(what) + " is not a finite number");
}

void add_warning(tolvane_session* s, const std::string& line)
{
    if (!s->warnings.empty()) s->warnings += '\n';
    s->warnings += line;
}

// What a step outcome means for the caller.
tolvane_result step_result_of(tolvane_session* s, const step_outcome& outcome)
{
    if (!outcome.failure.ok()) {
        s->failed_item = outcome.failure.code();
        return fail(s, TOLVANE_ERR_STEP,
                    minutes_seconds_text(s->run.state().sim_time) + " " + outcome.failure.message());
    }
    if (outcome.died)
        return fail(s, TOLVANE_ERR_DIED, minutes_seconds_text(s->run.state().sim_time) + " the subject died");
    return TOLVANE_OK;
}

tolvane_result refuse_dead(tolvane_session* s)
{
    return fail(s, TOLVANE_ERR_DEAD, "the subject is dead: reset or load a subject to run again");
}

tolvane_result check_time(tolvane_session* s, int first, int count)
{
    const int seconds = s->run.logged_seconds();
    if (count < 0 || first < 0 || first > seconds - count)
        return fail(s, TOLVANE_ERR_TIME,
                    "time outside the run: seconds 0 to " + std::to_string(seconds - 1) + " are recorded");
    return TOLVANE_OK;
}

// A buffer of the library for the caller.
tolvane_result hand_out(tolvane_session* s, const std::string& text, char** data, size_t* size)
{
    char* copy = static_cast<char*>(std::malloc(text.size() + 1));
    if (copy == nullptr) return fail(s, TOLVANE_ERR_MEMORY, "out of memory");
    std::memcpy(copy, text.data(), text.size());
    copy[text.size()] = 0;
    *data = copy;
    *size = text.size();
    return TOLVANE_OK;
}

std::string now_text()
{
    const std::time_t now = std::time(nullptr);
    std::tm local{};
    localtime_r(&now, &local);
    char text[32];
    std::strftime(text, sizeof text, "%Y-%m-%d %H:%M", &local);
    return text;
}

tolvane_result load(tolvane_session* s, const subject_read_result& read, const std::string& name)
{
    if (!read.status.ok()) {
        const tolvane_result code =
            read.status.code() == subject_read_status::cannot_open ? TOLVANE_ERR_FILE : TOLVANE_ERR_FORMAT;
        return fail(s, code, name + ": " + read.status.message());
    }
    s->failed_item = 0;
    if (read.corrected_indices > 0)
        add_warning(s, name + ": " + std::to_string(read.corrected_indices) +
                           " out-of-range sex or row indices replaced");
    for (const clamped_value& value : s->run.load_subject(read.data, name))
        add_warning(s, name + ": " + describe_clamped_value(value));
    return TOLVANE_OK;
}

}  // namespace

// The definitions take the C linkage of their declarations in the header.

const char* tolvane_session_version(void) { return TOLVANE_SESSION_VERSION; }

int tolvane_session_version_number(void) { return TOLVANE_SESSION_VERSION_NUMBER; }

const char* tolvane_model_version(void) { return texts().model_version.c_str(); }

const char* tolvane_result_text(int result)
{
    switch (result) {
    case TOLVANE_OK:
        return "ok";
    case TOLVANE_ERR_NULL:
        return "NULL argument";
    case TOLVANE_ERR_NAME:
        return "unknown name";
    case TOLVANE_ERR_VALUE:
        return "value not allowed";
    case TOLVANE_ERR_TIME:
        return "time outside the history";
    case TOLVANE_ERR_FILE:
        return "file error";
    case TOLVANE_ERR_FORMAT:
        return "not a subject file";
    case TOLVANE_ERR_SCRIPT:
        return "script error";
    case TOLVANE_ERR_DEAD:
        return "the subject is dead";
    case TOLVANE_ERR_DIED:
        return "the subject died";
    case TOLVANE_ERR_STEP:
        return "a model step failed";
    case TOLVANE_ERR_MEMORY:
        return "out of memory";
    case TOLVANE_ERR_BUSY:
        return "the session is busy";
    default:
        return "unknown result";
    }
}

tolvane_result tolvane_create(tolvane_session** session)
{
    if (session == nullptr) return TOLVANE_ERR_NULL;
    *session = nullptr;
    try {
        *session = new tolvane_session{run_session(), {}, {}, {}, 0};
    } catch (const std::bad_alloc&) {
        return TOLVANE_ERR_MEMORY;
    }
    return TOLVANE_OK;
}

void tolvane_destroy(tolvane_session* session) { delete session; }

const char* tolvane_errmsg(const tolvane_session* session)
{
    return session == nullptr ? null_session_text : session->message.c_str();
}

const char* tolvane_warnings(const tolvane_session* session)
{
    return session == nullptr ? "" : session->warnings.c_str();
}

void tolvane_free(void* buffer) { std::free(buffer); }

// ---- catalogue ------------------------------------------------------------------

int tolvane_factor_count(void) { return TOLVANE_FACTOR_COUNT; }

int tolvane_display_count(void) { return TOLVANE_DISPLAY_COUNT; }

const char* tolvane_factor_short_name(int i)
{
    return factor_index_valid(i) ? factor_short_names[static_cast<std::size_t>(i)].data() : nullptr;
}

const char* tolvane_factor_long_name(int i)
{
    return factor_index_valid(i) ? texts().factor_long[i].c_str() : nullptr;
}

const char* tolvane_factor_unit(int i)
{
    return factor_index_valid(i) ? texts().factor_unit[i].c_str() : nullptr;
}

tolvane_result tolvane_factor_limits(int i, double* minimum, double* maximum)
{
    if (!factor_index_valid(i)) return TOLVANE_ERR_NAME;
    store(minimum, model_state::pristine().factors[i].minimum);
    store(maximum, model_state::pristine().factors[i].maximum);
    return TOLVANE_OK;
}

tolvane_result tolvane_factor_standard(int i, double* value)
{
    if (!factor_index_valid(i)) return TOLVANE_ERR_NAME;
    store(value, model_state::pristine().s_factors[i]);
    return TOLVANE_OK;
}

const char* tolvane_display_short_name(int i)
{
    return display_index_valid(i) ? display_short_names[static_cast<std::size_t>(i)].data() : nullptr;
}

const char* tolvane_display_long_name(int i)
{
    return display_index_valid(i) ? texts().display_long[i].c_str() : nullptr;
}

const char* tolvane_display_unit(int i)
{
    return display_index_valid(i) ? texts().display_unit[i].c_str() : nullptr;
}

tolvane_result tolvane_display_limits(int i, double* minimum, double* maximum)
{
    if (!display_index_valid(i)) return TOLVANE_ERR_NAME;
    store(minimum, model_state::pristine().displays[i].minimum);
    store(maximum, model_state::pristine().displays[i].maximum);
    return TOLVANE_OK;
}

tolvane_result tolvane_display_standard(int i, double* value)
{
    if (!display_index_valid(i)) return TOLVANE_ERR_NAME;
    store(value, model_state::pristine().s_displays[i].standard);
    return TOLVANE_OK;
}

const char* tolvane_no_display_name(void) { return texts().no_display.c_str(); }

int tolvane_factor_is_pressure(int i) { return factor_index_valid(i) && listed_position(a_f_lst, i) >= 0; }

int tolvane_display_is_pressure(int i) { return display_index_valid(i) && listed_position(a_d_lst, i) >= 0; }

tolvane_result tolvane_factor_kpa_limits(int i, const char** unit, double* minimum, double* maximum)
{
    const int j = factor_index_valid(i) ? listed_position(a_f_lst, i) : -1;
    if (j < 0) return TOLVANE_ERR_NAME;
    if (unit != nullptr) *unit = texts().factor_kpa_unit[j].c_str();
    store(minimum, model_state::pristine().alt_factors[j].minimum);
    store(maximum, model_state::pristine().alt_factors[j].maximum);
    return TOLVANE_OK;
}

tolvane_result tolvane_display_kpa_limits(int i, const char** unit, double* minimum, double* maximum)
{
    const int j = display_index_valid(i) ? listed_position(a_d_lst, i) : -1;
    if (j < 0) return TOLVANE_ERR_NAME;
    if (unit != nullptr) *unit = texts().display_kpa_unit[j].c_str();
    store(minimum, model_state::pristine().alt_displays[j].minimum);
    store(maximum, model_state::pristine().alt_displays[j].maximum);
    return TOLVANE_OK;
}

tolvane_result tolvane_find_factor(tolvane_session* session, const char* name, int* index)
{
    return guarded(session, [&] {
        if (name == nullptr) return null_argument(session, "name");
        if (index == nullptr) return null_argument(session, "index");
        const factor_lookup found = find_factor(name);
        if (found.index < 0) return fail(session, TOLVANE_ERR_NAME, found.error);
        *index = found.index;
        return TOLVANE_OK;
    });
}

tolvane_result tolvane_find_display(tolvane_session* session, const char* name, int* index)
{
    return guarded(session, [&] {
        if (name == nullptr) return null_argument(session, "name");
        if (index == nullptr) return null_argument(session, "index");
        const factor_lookup found = find_display(name);
        if (found.index < 0) return fail(session, TOLVANE_ERR_NAME, found.error);
        *index = found.index;
        return TOLVANE_OK;
    });
}

// ---- the subject --------------------------------------------------------------------

tolvane_result tolvane_reset(tolvane_session* session)
{
    return guarded(session, [&] {
        session->failed_item = 0;
        session->run.restart_subject();
        return TOLVANE_OK;
    });
}

tolvane_result tolvane_load_subject(tolvane_session* session, const char* path)
{
    return guarded(session, [&] {
        if (path == nullptr) return null_argument(session, "path");
        return load(session, read_subject_file(path), path);
    });
}

tolvane_result tolvane_load_subject_buffer(tolvane_session* session, const char* data, size_t size,
                                           const char* name)
{
    return guarded(session, [&] {
        if (data == nullptr && size > 0) return null_argument(session, "data");
        return load(session, read_subject_text(std::string_view(data == nullptr ? "" : data, size)),
                    name != nullptr ? name : "subject");
    });
}

tolvane_result tolvane_save_subject(tolvane_session* session, const char* path)
{
    return guarded(session, [&] {
        if (path == nullptr) return null_argument(session, "path");
        const save_result saved = write_subject_file(path, session->run.subject_text(path, now_text()));
        if (saved.ok()) return TOLVANE_OK;
        return fail(session, TOLVANE_ERR_FILE,
                    std::string("cannot save the subject to ") + path +
                        (saved.message().empty() ? "" : ": " + saved.message()));
    });
}

tolvane_result tolvane_save_subject_buffer(tolvane_session* session, const char* name, char** data,
                                           size_t* size)
{
    if (data != nullptr) *data = nullptr;
    if (size != nullptr) *size = 0;
    return guarded(session, [&] {
        if (data == nullptr) return null_argument(session, "data");
        if (size == nullptr) return null_argument(session, "size");
        return hand_out(session, session->run.subject_text(name != nullptr ? name : "", now_text()), data,
                        size);
    });
}

tolvane_result tolvane_get_passport(tolvane_session* session, double* height_out, double* weight_out,
                                    double* age_out, int* sex_out)
{
    return guarded(session, [&] {
        session->run.with_model([&] {
            store(height_out, ::height.value);
            store(weight_out, ::weight.value);
            store(age_out, ::age.value);
            if (sex_out != nullptr) *sex_out = ::sex;
        });
        return TOLVANE_OK;
    });
}

tolvane_result tolvane_set_passport(tolvane_session* session, double height_value, double weight_value,
                                    double age_value, int sex_value)
{
    return guarded(session, [&] {
        if (!std::isfinite(height_value) || !std::isfinite(weight_value) || !std::isfinite(age_value))
            return not_finite(session, "a passport value");
        if (sex_value != 0 && sex_value != 1)
            return fail(session, TOLVANE_ERR_VALUE, "sex must be 0 (female) or 1 (male)");
        if (session->run.set_passport(static_cast<float>(height_value), static_cast<float>(weight_value),
                                      static_cast<float>(age_value), sex_value))
            add_warning(session, "a passport value was outside its limits and has been adjusted");
        return TOLVANE_OK;
    });
}

tolvane_result tolvane_passport_limits(int item, double* minimum, double* maximum)
{
    const model_state& m = model_state::pristine();
    const catalogue_record* record = item == TOLVANE_HEIGHT   ? &m.height
                                     : item == TOLVANE_WEIGHT ? &m.weight
                                     : item == TOLVANE_AGE    ? &m.age
                                                              : nullptr;
    if (record == nullptr) return TOLVANE_ERR_NAME;
    store(minimum, record->minimum);
    store(maximum, record->maximum);
    return TOLVANE_OK;
}

// ---- factors --------------------------------------------------------------------------

tolvane_result tolvane_get_factor(tolvane_session* session, int i, double* value)
{
    return guarded(session, [&] {
        if (!factor_index_valid(i)) return fail(session, TOLVANE_ERR_NAME, "no factor " + std::to_string(i));
        if (value == nullptr) return null_argument(session, "value");
        *value = session->run.with_model(
            [&] { return factor_value_in_model_units(i, session->run.state().si_pressure); });
        return TOLVANE_OK;
    });
}

namespace {

tolvane_result set_factor_value(tolvane_session* s, int i, double value, double* stored)
{
    if (!factor_index_valid(i)) return fail(s, TOLVANE_ERR_NAME, "no factor " + std::to_string(i));
    if (!std::isfinite(value)) return not_finite(s, "the factor value");
    // Beyond float the value is held to the limits as the panel holds it.
    const float typed = value > 3.4e38 ? 3.4e38f : value < -3.4e38 ? -3.4e38f : static_cast<float>(value);
    const clamped_entry entry = s->run.set_factor(i, typed);
    if (entry.adjusted)
        add_warning(s, std::string(factor_short_names[static_cast<std::size_t>(i)]) + " " +
                           format_fixed(value, 2) + " set to " + format_fixed(entry.stored, 2));
    store(stored, entry.stored);
    return TOLVANE_OK;
}

}  // namespace

tolvane_result tolvane_set_factor(tolvane_session* session, int i, double value, double* stored)
{
    return guarded(session, [&] { return set_factor_value(session, i, value, stored); });
}

tolvane_result tolvane_set_factor_by_name(tolvane_session* session, const char* name, double value,
                                          double* stored)
{
    return guarded(session, [&] {
        if (name == nullptr) return null_argument(session, "name");
        const factor_lookup found = find_factor(name);
        if (found.index < 0) return fail(session, TOLVANE_ERR_NAME, found.error);
        return set_factor_value(session, found.index, value, stored);
    });
}

tolvane_result tolvane_enter_factor_text(tolvane_session* session, int i, const char* text, double* stored)
{
    return guarded(session, [&] {
        if (text == nullptr) return null_argument(session, "text");
        return set_factor_value(session, i, atof_value(text), stored);
    });
}

// ---- panel rows ----------------------------------------------------------------------------

namespace {

bool row_valid(int row) { return row >= 0 && row < TOLVANE_PANEL_ROWS; }

tolvane_result bad_row(tolvane_session* s, int row)
{
    return fail(s, TOLVANE_ERR_NAME, "no panel row " + std::to_string(row) + " (rows 0 to 7)");
}

}  // namespace

tolvane_result tolvane_get_panel_factor(tolvane_session* session, int row, int* index)
{
    return guarded(session, [&] {
        if (!row_valid(row)) return bad_row(session, row);
        if (index == nullptr) return null_argument(session, "index");
        *index = session->run.selection().factor_sel[row];
        return TOLVANE_OK;
    });
}

tolvane_result tolvane_get_panel_display(tolvane_session* session, int row, int* index)
{
    return guarded(session, [&] {
        if (!row_valid(row)) return bad_row(session, row);
        if (index == nullptr) return null_argument(session, "index");
        *index = session->run.selection().display_sel[row];
        return TOLVANE_OK;
    });
}

tolvane_result tolvane_choose_panel_factor(tolvane_session* session, int row, int index)
{
    return guarded(session, [&] {
        if (!row_valid(row)) return bad_row(session, row);
        if (index < -1 || index >= TOLVANE_FACTOR_COUNT)
            return fail(session, TOLVANE_ERR_NAME, "no factor " + std::to_string(index));
        if (!choose_factor(session->run.selection(), row, index))
            return fail(session, TOLVANE_ERR_VALUE, "duplicate subject factor, not accepted");
        return TOLVANE_OK;
    });
}

tolvane_result tolvane_choose_panel_display(tolvane_session* session, int row, int index)
{
    return guarded(session, [&] {
        if (!row_valid(row)) return bad_row(session, row);
        if (index < 0 || index > TOLVANE_DISPLAY_COUNT)
            return fail(session, TOLVANE_ERR_NAME, "no display variable " + std::to_string(index));
        session->run.selection().display_sel[row] = index;
        return TOLVANE_OK;
    });
}

// ---- respiration ----------------------------------------------------------------------------

tolvane_result tolvane_get_respiration(tolvane_session* session, int* natural, double* rate,
                                       double* tidal_out, double* peep, int* bag_state, double* bag_volume,
                                       double* bag_co2_out, double* bag_o2_out)
{
    return guarded(session, [&] {
        session->run.with_model([&] {
            const respiration_pending pending = current_respiration_pending();
            const respiration_numbers numbers = current_respiration_numbers();
            if (natural != nullptr) *natural = pending.ventilation != 0 ? 1 : 0;
            if (bag_state != nullptr) *bag_state = pending.bag_state;
            store(rate, numbers.rate);
            store(tidal_out, numbers.tidal);
            store(peep, numbers.peep);
            store(bag_volume, numbers.bag_volume);
            store(bag_co2_out, numbers.bag_co2);
            store(bag_o2_out, numbers.bag_o2);
        });
        return TOLVANE_OK;
    });
}

tolvane_result tolvane_set_ventilation(tolvane_session* session, int natural, double rate, double tidal_value,
                                       double peep)
{
    return guarded(session, [&] {
        if (natural != 0 && natural != 1)
            return fail(session, TOLVANE_ERR_VALUE, "natural must be 1 (natural) or 0 (ventilator)");
        if (natural == 0 && (!std::isfinite(rate) || !std::isfinite(tidal_value) || !std::isfinite(peep)))
            return not_finite(session, "a ventilator setting");
        respiration_pending pending;
        respiration_numbers numbers;
        session->run.with_model([&] {
            pending = current_respiration_pending();
            // The fields not given keep what the dialog shows, as its OK does.
            numbers = shown_respiration_numbers();
        });
        pending.ventilation = static_cast<std::uint8_t>(natural);
        if (natural == 0) {
            numbers.rate = rate;
            numbers.tidal = tidal_value;
            numbers.peep = peep;
        }
        session->run.set_respiration(pending, numbers);
        return TOLVANE_OK;
    });
}

tolvane_result tolvane_set_bag(tolvane_session* session, int bag_state, double volume, double co2, double o2)
{
    return guarded(session, [&] {
        if (bag_state < TOLVANE_GLOTTIS_CLOSED || bag_state > TOLVANE_BAG_REBREATHE_ABSORBER)
            return fail(session, TOLVANE_ERR_VALUE, "bag state must be 9 to 13");
        const bool with_bag = bag_state != TOLVANE_GLOTTIS_CLOSED && bag_state != TOLVANE_NO_BAG;
        if (with_bag && (!std::isfinite(volume) || !std::isfinite(co2) || !std::isfinite(o2)))
            return not_finite(session, "a bag setting");
        respiration_pending pending;
        respiration_numbers numbers;
        bool too_much = false;
        session->run.with_model([&] {
            pending = current_respiration_pending();
            // The fields not given keep what the dialog shows, as its OK does.
            numbers = shown_respiration_numbers();
            too_much = with_bag && bag_percentages_exceed_100(co2, o2);
        });
        if (too_much)
            return fail(session, TOLVANE_ERR_VALUE, "bag CO2 and O2 percentages add up to more than 100");
        pending.bag_state = bag_state;
        if (with_bag) {
            numbers.bag_volume = volume;
            numbers.bag_co2 = co2;
            numbers.bag_o2 = o2;
        }
        session->run.set_respiration(pending, numbers);
        return TOLVANE_OK;
    });
}

// ---- running ---------------------------------------------------------------------------------

tolvane_result tolvane_get_time(tolvane_session* session, int* now, int* latest)
{
    return guarded(session, [&] {
        if (now != nullptr) *now = session->run.state().sim_time;
        if (latest != nullptr) *latest = session->run.state().latest_time;
        return TOLVANE_OK;
    });
}

namespace {

// Runs steps of at most limit seconds until count seconds (or minutes) ran.
template <typename Step>
tolvane_result run_steps(tolvane_session* s, int count, int* seconds, Step&& step)
{
    if (seconds != nullptr) *seconds = 0;
    if (count < 0) return fail(s, TOLVANE_ERR_VALUE, "the count must not be negative");
    if (count > 0 && s->run.dead()) return refuse_dead(s);
    if (s->run.busy()) return fail(s, TOLVANE_ERR_BUSY, "the session is running a step");
    s->failed_item = 0;
    int done = 0;
    int remaining = count;
    while (remaining > 0) {
        const step_outcome outcome = step(remaining);
        done += outcome.seconds_done;
        if (seconds != nullptr) *seconds = done;
        if (const tolvane_result r = step_result_of(s, outcome); r != TOLVANE_OK) return r;
    }
    return TOLVANE_OK;
}

}  // namespace

tolvane_result tolvane_run_minutes(tolvane_session* session, int count, int* seconds)
{
    return guarded(session, [&] {
        return run_steps(session, count, seconds, [&](int& remaining) {
            --remaining;
            return session->run.run_to_minute();
        });
    });
}

tolvane_result tolvane_run_seconds(tolvane_session* session, int count, int* seconds)
{
    return guarded(session, [&] {
        return run_steps(session, count, seconds, [&](int& remaining) {
            const step_outcome outcome = session->run.run_step(remaining);
            remaining -= outcome.step_length;
            return outcome;
        });
    });
}

int tolvane_is_dead(const tolvane_session* session)
{
    return session != nullptr && session->run.dead() ? 1 : 0;
}

int tolvane_failed_item(const tolvane_session* session)
{
    return session == nullptr ? 0 : session->failed_item;
}

tolvane_result tolvane_rerun(tolvane_session* session, int t)
{
    return guarded(session, [&] {
        run_session& run = session->run;
        if (t < run.earliest_rerun_time() || t > run.state().sim_time)
            return fail(session, TOLVANE_ERR_TIME,
                        "cannot re-run from " + minutes_seconds_text(t) + ": the history holds " +
                            minutes_seconds_text(run.earliest_rerun_time()) + " to " +
                            minutes_seconds_text(run.state().sim_time));
        session->failed_item = 0;
        run.state().cursor_time = t;
        run.strip_to_cursor();
        return TOLVANE_OK;
    });
}

tolvane_result tolvane_parse_time(const char* text, int* seconds)
{
    if (text == nullptr || seconds == nullptr) return TOLVANE_ERR_NULL;
    const std::optional<int> t = read_minutes_seconds(text);
    if (!t) return TOLVANE_ERR_TIME;
    *seconds = *t;
    return TOLVANE_OK;
}

// ---- values --------------------------------------------------------------------------------------

tolvane_result tolvane_get_display(tolvane_session* session, int i, double* value)
{
    return guarded(session, [&] {
        if (!display_index_valid(i))
            return fail(session, TOLVANE_ERR_NAME, "no display variable " + std::to_string(i));
        if (value == nullptr) return null_argument(session, "value");
        *value = session->run.logged(i, session->run.logged_seconds() - 1);
        return TOLVANE_OK;
    });
}

tolvane_result tolvane_get_display_at(tolvane_session* session, int i, int t, double* value)
{
    return guarded(session, [&] {
        if (!display_index_valid(i))
            return fail(session, TOLVANE_ERR_NAME, "no display variable " + std::to_string(i));
        if (value == nullptr) return null_argument(session, "value");
        if (const tolvane_result r = check_time(session, t, 1); r != TOLVANE_OK) return r;
        *value = session->run.logged(i, t);
        return TOLVANE_OK;
    });
}

tolvane_result tolvane_copy_display_history(tolvane_session* session, int i, int first, int count,
                                            double* out)
{
    return guarded(session, [&] {
        if (!display_index_valid(i))
            return fail(session, TOLVANE_ERR_NAME, "no display variable " + std::to_string(i));
        if (out == nullptr && count > 0) return null_argument(session, "out");
        if (const tolvane_result r = check_time(session, first, count); r != TOLVANE_OK) return r;
        for (int k = 0; k < count; ++k) out[k] = session->run.logged(i, first + k);
        return TOLVANE_OK;
    });
}

tolvane_result tolvane_log_length(tolvane_session* session, int* seconds)
{
    return guarded(session, [&] {
        if (seconds == nullptr) return null_argument(session, "seconds");
        *seconds = session->run.logged_seconds();
        return TOLVANE_OK;
    });
}

tolvane_result tolvane_copy_log(tolvane_session* session, int display, int first, int count, float* out,
                                size_t capacity)
{
    return guarded(session, [&] {
        const bool all = display == TOLVANE_ALL_DISPLAYS;
        if (!all && !display_index_valid(display))
            return fail(session, TOLVANE_ERR_NAME, "no display variable " + std::to_string(display));
        if (count < 0)
            return fail(session, TOLVANE_ERR_VALUE, "count " + std::to_string(count) + " is negative");
        if (out == nullptr && count > 0) return null_argument(session, "out");
        if (const tolvane_result r = check_time(session, first, count); r != TOLVANE_OK) return r;
        const std::size_t width = all ? TOLVANE_DISPLAY_COUNT : 1;
        const std::size_t needed = static_cast<std::size_t>(count) * width;
        if (capacity < needed)
            return fail(session, TOLVANE_ERR_VALUE,
                        "out has room for " + std::to_string(capacity) + " values, " +
                            std::to_string(needed) + " are asked for");
        static_assert(TOLVANE_DISPLAY_COUNT == logged_displays);
        const run_session& run = session->run;
        for (int k = 0; k < count; ++k) {
            const float* row = run.logged_row(first + k);
            if (all)
                std::memcpy(out + static_cast<std::size_t>(k) * width, row, sizeof(float) * width);
            else
                out[k] = row[display];
        }
        return TOLVANE_OK;
    });
}

// ---- notes and events ------------------------------------------------------------------------------

int tolvane_note_count(tolvane_session* session)
{
    return session == nullptr ? 0 : static_cast<int>(session->run.notes().size());
}

tolvane_result tolvane_get_note(tolvane_session* session, int k, int* time, const char** text)
{
    return guarded(session, [&] {
        const std::vector<clinical_note>& notes = session->run.notes();
        if (k < 0 || k >= static_cast<int>(notes.size()))
            return fail(session, TOLVANE_ERR_NAME, "no note " + std::to_string(k));
        if (time != nullptr) *time = notes[static_cast<std::size_t>(k)].time;
        if (text != nullptr) *text = notes[static_cast<std::size_t>(k)].text.c_str();
        return TOLVANE_OK;
    });
}

int tolvane_event_count(tolvane_session* session)
{
    return session == nullptr ? 0 : static_cast<int>(session->run.events().all().size());
}

namespace {

tolvane_event_kind api_event_kind(run_event_kind kind)
{
    switch (kind) {
    case run_event_kind::factor:
        return TOLVANE_EVENT_FACTOR;
    case run_event_kind::respiration:
        return TOLVANE_EVENT_RESPIRATION;
    case run_event_kind::passport:
        return TOLVANE_EVENT_PASSPORT;
    case run_event_kind::rerun:
        return TOLVANE_EVENT_RERUN;
    case run_event_kind::load:
        return TOLVANE_EVENT_LOAD;
    case run_event_kind::reset:
        return TOLVANE_EVENT_RESET;
    }
    return TOLVANE_EVENT_FACTOR;
}

}  // namespace

tolvane_result tolvane_get_event(tolvane_session* session, int k, int* time, int* kind, const char** text)
{
    return guarded(session, [&] {
        const std::vector<run_event>& events = session->run.events().all();
        if (k < 0 || k >= static_cast<int>(events.size()))
            return fail(session, TOLVANE_ERR_NAME, "no event " + std::to_string(k));
        const run_event& e = events[static_cast<std::size_t>(k)];
        if (time != nullptr) *time = e.time;
        if (kind != nullptr) *kind = static_cast<int>(api_event_kind(e.kind));
        session->event_text = e.action.empty() ? e.what + " " + e.value : e.action;
        if (text != nullptr) *text = session->event_text.c_str();
        return TOLVANE_OK;
    });
}

// ---- CSV and scripts ---------------------------------------------------------------------------------

namespace {

tolvane_result check_digits(tolvane_session* s, int& digits)
{
    if (digits == 0) digits = csv_default_digits;
    if (digits < csv_min_digits || digits > csv_max_digits)
        return fail(s, TOLVANE_ERR_VALUE, "digits must be 0 (the default 7) or 1 to 17");
    return TOLVANE_OK;
}

}  // namespace

tolvane_result tolvane_write_csv(tolvane_session* session, const char* path, int digits)
{
    return guarded(session, [&] {
        if (path == nullptr) return null_argument(session, "path");
        if (const tolvane_result r = check_digits(session, digits); r != TOLVANE_OK) return r;
        const save_result saved = write_file_safely(path, session->run.csv_text(digits));
        if (saved.ok()) return TOLVANE_OK;
        return fail(session, TOLVANE_ERR_FILE,
                    std::string("cannot write the CSV file ") + path + ": " + saved.message());
    });
}

tolvane_result tolvane_csv_buffer(tolvane_session* session, int digits, char** data, size_t* size)
{
    if (data != nullptr) *data = nullptr;
    if (size != nullptr) *size = 0;
    return guarded(session, [&] {
        if (data == nullptr) return null_argument(session, "data");
        if (size == nullptr) return null_argument(session, "size");
        if (const tolvane_result r = check_digits(session, digits); r != TOLVANE_OK) return r;
        return hand_out(session, session->run.csv_text(digits), data, size);
    });
}

tolvane_result tolvane_run_script(tolvane_session* session, const char* text, const char* base_dir)
{
    return guarded(session, [&] {
        if (text == nullptr) return null_argument(session, "text");
        const scenario_outcome outcome =
            run_scenario_text(session->run, text, base_dir != nullptr ? base_dir : ".");
        for (const std::string& note : outcome.notes) add_warning(session, note);
        session->failed_item = outcome.failure_item;
        switch (outcome.end) {
        case scenario_end::finished:
            return TOLVANE_OK;
        case scenario_end::bad_line:
        case scenario_end::refused:
            return fail(session, TOLVANE_ERR_SCRIPT, outcome.message);
        case scenario_end::died:
            return fail(session, TOLVANE_ERR_DIED, outcome.message);
        case scenario_end::step_failed:
            return fail(session, TOLVANE_ERR_STEP, outcome.message);
        case scenario_end::load_failed:
            return fail(session, TOLVANE_ERR_FILE, outcome.message);
        }
        return TOLVANE_OK;
    });
}
