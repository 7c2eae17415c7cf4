// SPDX-License-Identifier: Apache-2.0
// A stand-in for the session library's C interface, built into the page's
// WebAssembly only while session/ has no implementation of tolvane/session.h:
// the calls the page makes, over the host, with one session at a time. The
// page is written against the header, so the real library replaces this file
// without a change to the page.
#include "model_host.h"
#include "tolvane/session.h"
#include "tolvane_model.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <vector>

struct tolvane_session {
    model_host host;
    int now = 0;
    int latest = 0;
    bool dead = false;
    int failed_item = 0;
    std::string error;
    std::string warnings;
    std::vector<std::pair<int, std::string>> notes;
    int factor_rows[TOLVANE_PANEL_ROWS] = {factor_id::inspired_o2,
                                           factor_id::inspired_co2,
                                           factor_id::body_temperature,
                                           factor_id::dpg,
                                           factor_id::work_rate,
                                           -1,
                                           -1,
                                           -1};
    int display_rows[TOLVANE_PANEL_ROWS] = {display_id::arterial_po2,     display_id::arterial_pco2,
                                            display_id::respiratory_rate, display_id::tissue_o2_content,
                                            display_id::metabolic_rate,   display_id::heart_rate,
                                            display_id::venous_ph,        display_id::venous_ph};
};

namespace {

std::string name_text[2][TOLVANE_NUM_DISPLAYS];

tolvane_result fail(tolvane_session* s, tolvane_result code, const std::string& message)
{
    s->error = message;
    return code;
}

tolvane_result ok(tolvane_session* s)
{
    s->error.clear();
    s->warnings.clear();
    return TOLVANE_OK;
}

void start(tolvane_session* s)
{
    s->host.start_standard_subject();
    model_host::take_messages();
    model_host::record_history(0);
    s->now = s->latest = 0;
    s->dead = false;
    s->notes.clear();
}

bool pressure_display(int i)
{
    for (int k = 0; k < 12 && a_d_lst[k] != -1; ++k)
        if (a_d_lst[k] == i) return true;
    return false;
}

tolvane_result limits_of(const catalogue_record* table, int count, int i, double* minimum, double* maximum)
{
    if (i < 0 || i >= count) return TOLVANE_ERR_NAME;
    if (minimum) *minimum = table[i].minimum;
    if (maximum) *maximum = table[i].maximum;
    return TOLVANE_OK;
}

}  // namespace

extern "C" {

const char* tolvane_session_version(void) { return TOLVANE_SESSION_VERSION; }
int tolvane_session_version_number(void) { return TOLVANE_SESSION_VERSION_NUMBER; }
const char* tolvane_model_version(void)
{
    static const std::string text = model_host::version();
    return text.c_str();
}
const char* tolvane_result_text(int) { return "error"; }

tolvane_result tolvane_create(tolvane_session** session)
{
    if (!session) return TOLVANE_ERR_NULL;
    *session = new tolvane_session;
    start(*session);
    return TOLVANE_OK;
}
void tolvane_destroy(tolvane_session* session) { delete session; }
const char* tolvane_errmsg(const tolvane_session* s) { return s ? s->error.c_str() : "no session"; }
const char* tolvane_warnings(const tolvane_session* s) { return s ? s->warnings.c_str() : ""; }
void tolvane_free(void* buffer) { std::free(buffer); }

int tolvane_factor_count(void) { return TOLVANE_FACTOR_COUNT; }
int tolvane_display_count(void) { return TOLVANE_DISPLAY_COUNT; }
const char* tolvane_factor_long_name(int i)
{
    if (i < 0 || i >= TOLVANE_FACTOR_COUNT) return nullptr;
    if (name_text[0][i].empty()) name_text[0][i] = model_host::factor_name(i);
    return name_text[0][i].c_str();
}
const char* tolvane_factor_short_name(int i) { return tolvane_factor_long_name(i); }
const char* tolvane_factor_unit(int i)
{
    return i >= 0 && i < TOLVANE_FACTOR_COUNT ? factor[i].unit : nullptr;
}
tolvane_result tolvane_factor_limits(int i, double* minimum, double* maximum)
{
    return limits_of(factor, TOLVANE_FACTOR_COUNT, i, minimum, maximum);
}
tolvane_result tolvane_factor_standard(int i, double* value)
{
    if (i < 0 || i >= TOLVANE_FACTOR_COUNT) return TOLVANE_ERR_NAME;
    if (value) *value = s_factor[i];
    return TOLVANE_OK;
}
const char* tolvane_display_long_name(int i)
{
    if (i < 0 || i >= TOLVANE_DISPLAY_COUNT) return nullptr;
    if (name_text[1][i].empty()) name_text[1][i] = model_host::display_name(i);
    return name_text[1][i].c_str();
}
const char* tolvane_display_short_name(int i) { return tolvane_display_long_name(i); }
const char* tolvane_display_unit(int i)
{
    return i >= 0 && i < TOLVANE_DISPLAY_COUNT ? display[i].unit : nullptr;
}
tolvane_result tolvane_display_limits(int i, double* minimum, double* maximum)
{
    return limits_of(display, TOLVANE_DISPLAY_COUNT, i, minimum, maximum);
}
const char* tolvane_no_display_name(void)
{
    static const std::string text = model_host::display_name(TOLVANE_DISPLAY_COUNT);
    return text.c_str();
}
int tolvane_factor_is_pressure(int i) { return i == a_f_lst[0] ? 1 : 0; }
int tolvane_display_is_pressure(int i) { return i >= 0 && i < TOLVANE_DISPLAY_COUNT && pressure_display(i); }
tolvane_result tolvane_factor_kpa_limits(int i, const char** unit, double* minimum, double* maximum)
{
    if (!tolvane_factor_is_pressure(i)) return TOLVANE_ERR_NAME;
    if (unit) *unit = alt_fact[0].unit;
    return limits_of(alt_fact, 1, 0, minimum, maximum);
}
tolvane_result tolvane_display_kpa_limits(int i, const char** unit, double* minimum, double* maximum)
{
    for (int k = 0; k < 11 && a_d_lst[k] != -1; ++k) {
        if (a_d_lst[k] != i) continue;
        if (unit) *unit = alt_dspy[k].unit;
        return limits_of(alt_dspy, 11, k, minimum, maximum);
    }
    return TOLVANE_ERR_NAME;
}

tolvane_result tolvane_reset(tolvane_session* s)
{
    if (!s) return TOLVANE_ERR_NULL;
    start(s);
    return ok(s);
}
tolvane_result tolvane_load_subject_buffer(tolvane_session* s, const char*, size_t, const char*)
{
    if (!s) return TOLVANE_ERR_NULL;
    return fail(s, TOLVANE_ERR_FORMAT, "subject files need the session library");
}
tolvane_result tolvane_save_subject_buffer(tolvane_session* s, const char*, char** data, size_t* size)
{
    if (!s || !data || !size) return TOLVANE_ERR_NULL;
    *data = nullptr;
    *size = 0;
    return fail(s, TOLVANE_ERR_FORMAT, "subject files need the session library");
}

tolvane_result tolvane_get_passport(tolvane_session* s, double* h, double* w, double* a, int* x)
{
    if (!s) return TOLVANE_ERR_NULL;
    if (h) *h = height.value;
    if (w) *w = weight.value;
    if (a) *a = age.value;
    if (x) *x = sex;
    return ok(s);
}
tolvane_result tolvane_set_passport(tolvane_session* s, double h, double w, double a, int x)
{
    if (!s) return TOLVANE_ERR_NULL;
    height.value = static_cast<float>(std::clamp<double>(h, height.minimum, height.maximum));
    weight.value = static_cast<float>(std::clamp<double>(w, weight.minimum, weight.maximum));
    age.value = static_cast<float>(std::clamp<double>(a, age.minimum, age.maximum));
    sex = x;
    return ok(s);
}
tolvane_result tolvane_passport_limits(int item, double* minimum, double* maximum)
{
    const catalogue_record* records[] = {&height, &weight, &age};
    if (item < 0 || item > 2) return TOLVANE_ERR_NAME;
    return limits_of(records[item], 1, 0, minimum, maximum);
}

tolvane_result tolvane_get_factor(tolvane_session* s, int i, double* value)
{
    if (!s) return TOLVANE_ERR_NULL;
    if (i < 0 || i >= TOLVANE_FACTOR_COUNT) return fail(s, TOLVANE_ERR_NAME, "no such factor");
    if (value) *value = factor[i].value;
    return ok(s);
}
tolvane_result tolvane_set_factor(tolvane_session* s, int i, double value, double* stored)
{
    if (!s) return TOLVANE_ERR_NULL;
    if (i < 0 || i >= TOLVANE_FACTOR_COUNT) return fail(s, TOLVANE_ERR_NAME, "no such factor");
    if (!std::isfinite(value)) return fail(s, TOLVANE_ERR_VALUE, "not a finite number");
    ok(s);
    const float taken = static_cast<float>(std::clamp<double>(value, factor[i].minimum, factor[i].maximum));
    if (taken != static_cast<float>(value)) {
        char line[160];
        std::snprintf(line, sizeof line, "%s %.2f set to %.2f", tolvane_factor_short_name(i), value, taken);
        s->warnings = line;
    }
    factor[i].value = taken;
    if (stored) *stored = taken;
    return TOLVANE_OK;
}
tolvane_result tolvane_enter_factor_text(tolvane_session* s, int i, const char* text, double* stored)
{
    if (!s || !text) return TOLVANE_ERR_NULL;
    char* end = nullptr;
    double value = std::strtod(text, &end);
    if (end == text || !std::isfinite(value)) value = 0;
    return tolvane_set_factor(s, i, value, stored);
}

tolvane_result tolvane_get_panel_factor(tolvane_session* s, int row, int* index)
{
    if (!s || !index) return TOLVANE_ERR_NULL;
    if (row < 0 || row >= TOLVANE_PANEL_ROWS) return fail(s, TOLVANE_ERR_NAME, "no such row");
    *index = s->factor_rows[row];
    return ok(s);
}
tolvane_result tolvane_get_panel_display(tolvane_session* s, int row, int* index)
{
    if (!s || !index) return TOLVANE_ERR_NULL;
    if (row < 0 || row >= TOLVANE_PANEL_ROWS) return fail(s, TOLVANE_ERR_NAME, "no such row");
    *index = s->display_rows[row];
    return ok(s);
}
tolvane_result tolvane_choose_panel_factor(tolvane_session* s, int row, int index)
{
    if (!s) return TOLVANE_ERR_NULL;
    if (row < 0 || row >= TOLVANE_PANEL_ROWS) return fail(s, TOLVANE_ERR_NAME, "no such row");
    for (int r = 0; r < TOLVANE_PANEL_ROWS; ++r) {
        if (r != row && index != -1 && s->factor_rows[r] == index) {
            s->factor_rows[row] = -1;
            return fail(s, TOLVANE_ERR_VALUE, "duplicate subject factor, not accepted");
        }
    }
    s->factor_rows[row] = index;
    return ok(s);
}
tolvane_result tolvane_choose_panel_display(tolvane_session* s, int row, int index)
{
    if (!s) return TOLVANE_ERR_NULL;
    if (row < 0 || row >= TOLVANE_PANEL_ROWS) return fail(s, TOLVANE_ERR_NAME, "no such row");
    s->display_rows[row] = index;
    return ok(s);
}

tolvane_result tolvane_get_respiration(tolvane_session* s, int* natural, double* rate, double* tidal_volume,
                                       double* peep, int* bag_state, double* volume, double* co2, double* o2)
{
    if (!s) return TOLVANE_ERR_NULL;
    if (natural) *natural = (*ventilation & 0xff) != 0;
    if (rate) *rate = res_rate->value;
    if (tidal_volume) *tidal_volume = tidal->value;
    if (peep) *peep = positive->value;
    if (bag_state) *bag_state = *bag_index;
    if (volume) *volume = bag_vol->value;
    if (co2) *co2 = bag_co2->value;
    if (o2) *o2 = bag_o2->value;
    return ok(s);
}
tolvane_result tolvane_set_ventilation(tolvane_session* s, int natural, double rate, double tidal_volume,
                                       double peep)
{
    if (!s) return TOLVANE_ERR_NULL;
    *ventilation = natural ? 1 : 0;
    if (!natural) {
        res_rate->value = static_cast<float>(rate);
        tidal->value = static_cast<float>(tidal_volume);
        positive->value = static_cast<float>(peep);
    }
    return ok(s);
}
tolvane_result tolvane_set_bag(tolvane_session* s, int bag_state, double volume, double co2, double o2)
{
    if (!s) return TOLVANE_ERR_NULL;
    if (bag_state < 9 || bag_state > 13) return fail(s, TOLVANE_ERR_VALUE, "no such bag state");
    *bag_index = bag_state;
    if (bag_state >= 11) {
        bag_vol->value = static_cast<float>(volume);
        bag_co2->value = static_cast<float>(co2);
        bag_o2->value = static_cast<float>(o2);
    }
    float p = 0, q = 0;
    bager(2, &p, &q);
    return ok(s);
}

tolvane_result tolvane_get_time(tolvane_session* s, int* now, int* latest)
{
    if (!s) return TOLVANE_ERR_NULL;
    if (now) *now = s->now;
    if (latest) *latest = s->latest;
    return ok(s);
}
tolvane_result tolvane_run_minutes(tolvane_session* s, int count, int* seconds)
{
    if (!s) return TOLVANE_ERR_NULL;
    if (seconds) *seconds = 0;
    if (s->dead) return fail(s, TOLVANE_ERR_DEAD, "the subject is dead");
    ok(s);
    s->failed_item = 0;
    for (int m = 0; m < count; ++m) {
        s->host.derive_constants();
        const int end = (s->now / 60 + 1) * 60;
        while (s->now < end) {
            const second_result second = s->host.run_second(s->now + 1);
            if (second.failed()) {
                s->failed_item = second.failure.code();
                return fail(s, TOLVANE_ERR_STEP, second.failure.message());
            }
            ++s->now;
            s->latest = std::max(s->latest, s->now);
            if (seconds) ++*seconds;
            for (const std::string& text : second.messages) s->notes.emplace_back(s->now, text);
            if (second.died) {
                s->dead = true;
                return fail(s, TOLVANE_ERR_DIED, "the subject died");
            }
        }
    }
    return TOLVANE_OK;
}
int tolvane_is_dead(const tolvane_session* s) { return s && s->dead; }
int tolvane_failed_item(const tolvane_session* s) { return s ? s->failed_item : 0; }
tolvane_result tolvane_rerun(tolvane_session* s, int t)
{
    if (!s) return TOLVANE_ERR_NULL;
    if (t < std::max(0, s->latest - 1799) || t > s->now)
        return fail(s, TOLVANE_ERR_TIME, "not in the history");
    model_host::restore_from_history(t);
    s->now = t;
    s->dead = false;
    std::erase_if(s->notes, [t](const auto& note) { return note.first > t; });
    return ok(s);
}

tolvane_result tolvane_get_display_at(tolvane_session* s, int i, int t, double* value)
{
    if (!s || !value) return TOLVANE_ERR_NULL;
    if (i < 0 || i >= TOLVANE_DISPLAY_COUNT) return fail(s, TOLVANE_ERR_NAME, "no such display");
    if (t < std::max(0, s->latest - 1799) || t > s->now)
        return fail(s, TOLVANE_ERR_TIME, "not in the history");
    *value = model_host::history_sample(i, model_host::history_slot(t));
    return ok(s);
}
tolvane_result tolvane_copy_display_history(tolvane_session* s, int i, int first, int count, double* out)
{
    if (!s || !out) return TOLVANE_ERR_NULL;
    for (int k = 0; k < count; ++k)
        if (tolvane_result r = tolvane_get_display_at(s, i, first + k, out + k)) return r;
    return TOLVANE_OK;
}

int tolvane_note_count(tolvane_session* s) { return s ? static_cast<int>(s->notes.size()) : 0; }
tolvane_result tolvane_get_note(tolvane_session* s, int k, int* time, const char** text)
{
    if (!s) return TOLVANE_ERR_NULL;
    if (k < 0 || k >= tolvane_note_count(s)) return fail(s, TOLVANE_ERR_NAME, "no such note");
    if (time) *time = s->notes[k].first;
    if (text) *text = s->notes[k].second.c_str();
    return ok(s);
}

tolvane_result tolvane_csv_buffer(tolvane_session* s, int, char** data, size_t* size)
{
    if (!s || !data || !size) return TOLVANE_ERR_NULL;
    std::string text = "time_s";
    for (int d = 0; d < TOLVANE_DISPLAY_COUNT; ++d) text += std::string(",") + tolvane_display_long_name(d);
    text += '\n';
    char cell[32];
    for (int t = std::max(0, s->latest - 1799); t <= s->now; ++t) {
        text += std::to_string(t);
        for (int d = 0; d < TOLVANE_DISPLAY_COUNT; ++d) {
            std::snprintf(cell, sizeof cell, ",%.7g",
                          model_host::history_sample(d, model_host::history_slot(t)));
            text += cell;
        }
        text += '\n';
    }
    *data = static_cast<char*>(std::malloc(text.size()));
    std::memcpy(*data, text.data(), text.size());
    *size = text.size();
    return ok(s);
}

}  // extern "C"
