// SPDX-License-Identifier: Apache-2.0
#include "model_host.h"

#include "cp1252_text.h"
#include "slot_ids.h"
#include "tolvane_model.h"

#include <cstdio>
#include <cstring>
#include <iterator>

namespace {

// In the rebreathing bag states bager(1) moves the bag's gas before each second.
bool rebreathing()
{
    return bag_index != nullptr &&
           (*bag_index == bag_state_id::rebreathe || *bag_index == bag_state_id::rebreathe_absorber);
}

// Moves a non-empty app_buf into messages.
void drain_into(std::vector<std::string>& messages)
{
    std::string text = model_host::take_messages();
    if (!text.empty()) messages.push_back(std::move(text));
}

// After a death, the samples of second t that the standard display records
// do not keep at death read their value at death.
void record_values_at_death(history_table& table, int t)
{
    const int column = model_host::history_slot(t);
    for (int k = 0; k < num_dsy - 1 && k < TOLVANE_NUM_DISPLAYS - 1; ++k)
        if (s_display[k].kept_at_death == 0) table[k][column] = s_display[k].at_death;
}

static_assert(history_table_rows == TOLVANE_HISTORY_ROWS && history_table_columns == TOLVANE_HISTORY_COLUMNS);

history_table& table_or_model(history_table* table) { return table != nullptr ? *table : history; }

}  // namespace

model_host::model_host(history_table* table) : table_(&table_or_model(table)) { estab_pnt(); }

const char* model_host::comment() { return ::comment; }

history_table* model_host::exported_table() { return &history; }

void model_host::record(int t) const { record_history(t, table_); }

void model_host::restore(int t) const { restore_from_history(t, table_); }

void model_host::start_standard_subject()
{
    tolvane_standard_circuit();
    load_new();
}

void model_host::derive_constants() { constant(60); }

step_result model_host::step_failure(int item)
{
    if (item == 0) return {};
    char text[64];
    std::snprintf(text, sizeof text,
                  item == item_not_finite ? "Item %d is not a number - please notify authority."
                                          : "Item %d is negative - please notify authority.",
                  item);
    return step_result::failure(static_cast<failure_code::failure_item>(item), text);
}

second_result model_host::compute_second()
{
    second_result result;
    if (rebreathing()) bager(1, nullptr, nullptr);
    result.failure = step_failure(model());
    if (result.failed()) return result;
    result.symptom = sympt() != 0;
    drain_into(result.messages);
    result.died = death();
    drain_into(result.messages);
    return result;
}

second_result model_host::run_second(int t)
{
    second_result result = compute_second();
    if (result.failed()) {
        // Values that are not numbers must not be kept: the subject goes
        // back to the last recorded second.
        if (result.failure.code() == item_not_finite) restore(t - 1);
        return result;
    }
    record(t);
    if (result.died) record_values_at_death(*table_, t);
    return result;
}

int model_host::factor_count() { return num_fct; }

int model_host::display_count() { return num_dsy; }

namespace {

std::string decoded(const char* text)
{
    return text == nullptr ? std::string() : utf8_from_cp1252(text, std::strlen(text));
}

}  // namespace

std::string model_host::factor_name(int i)
{
    if (i < 0 || i >= num_fct || i >= TOLVANE_NUM_FACTORS) return std::string();
    return decoded(factor[i].name);
}

std::string model_host::display_name(int i)
{
    if (i < 0 || i >= num_dsy || i >= TOLVANE_NUM_DISPLAYS) return std::string();
    return decoded(display[i].name);
}

std::string model_host::version() { return decoded(mdl_ver); }

bool model_host::pressure_display(int d)
{
    for (int j = 0; j < static_cast<int>(std::size(a_d_lst)) && a_d_lst[j] != -1; ++j)
        if (a_d_lst[j] == d) return true;
    return false;
}

float model_host::history_sample(int row, int column)
{
    if (row < 0 || row >= TOLVANE_HISTORY_ROWS || column < 0 || column >= TOLVANE_HISTORY_COLUMNS) return 0;
    return history[row][column];
}

int model_host::history_slot(int t)
{
    const int slot = t % TOLVANE_HISTORY_COLUMNS;
    return slot < 0 ? slot + TOLVANE_HISTORY_COLUMNS : slot;
}

model_host::sample_column model_host::current_samples()
{
    sample_column samples{};
    for (int j = 0; j < num_dsy && j < TOLVANE_NUM_DISPLAYS; ++j) samples[j] = display[j].value;
    for (int k = 0; k < num_oth && k < TOLVANE_NUM_OTHERS; ++k) samples[num_dsy + k] = other[k];
    return samples;
}

void model_host::set_samples(const sample_column& samples)
{
    for (int j = 0; j < num_dsy && j < TOLVANE_NUM_DISPLAYS; ++j) display[j].value = samples[j];
    for (int k = 0; k < num_oth && k < TOLVANE_NUM_OTHERS; ++k) other[k] = samples[num_dsy + k];
}

void model_host::record_history(int t, history_table* table)
{
    history_table& h = table_or_model(table);
    const int column = history_slot(t);
    // Straight into the table: this runs every simulated second.
    for (int j = 0; j < num_dsy && j < TOLVANE_NUM_DISPLAYS; ++j) h[j][column] = display[j].value;
    for (int k = 0; k < num_oth && k < TOLVANE_NUM_OTHERS; ++k) h[num_dsy + k][column] = other[k];
}

void model_host::restore_from_history(int t, history_table* table)
{
    const history_table& h = table_or_model(table);
    const int column = history_slot(t);
    sample_column samples{};
    for (int row = 0; row < num_dsy + num_oth && row < TOLVANE_HISTORY_ROWS; ++row)
        samples[row] = h[row][column];
    set_samples(samples);
}

std::string model_host::take_messages()
{
    if (app_buf[0] == 0) return std::string();
    // The library keeps app_buf terminated; the bound guards a faulty one.
    std::string text = utf8_from_cp1252(app_buf, strnlen(app_buf, sizeof app_buf));
    app_buf[0] = 0;
    return text;
}
