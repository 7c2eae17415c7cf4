// SPDX-License-Identifier: Apache-2.0
#include "catalogue_view.h"
#include "panel_logic.h"

#include "cp1252.h"
#include "pressure_units.h"
#include "slot_ids.h"

#include <cctype>
#include <cfloat>
#include <cmath>

float atof_value(const QString& text)
{
    const QByteArray bytes = text.toLatin1();
    return atof_value(std::string_view(bytes.constData(), static_cast<std::size_t>(bytes.size())));
}

entered_value enter_value(catalogue_record& record, const QString& text, const char* format)
{
    return entered_text(enter_number(record, atof_value(text)), format);
}

entered_value entered_text(const clamped_entry& entry, const char* format)
{
    entered_value result;
    result.stored = entry.stored;
    result.adjusted = entry.adjusted;
    result.text = QString::asprintf(format, static_cast<double>(entry.stored));
    return result;
}

QString bmi_text()
{
    const passport_records passport = live_passport();
    const float h = passport.height.value;
    const float bmi = 10000.0f * passport.weight.value / (h * h);
    return QString::asprintf("%.1f", static_cast<double>(bmi));
}

passport_texts current_passport_texts()
{
    passport_texts texts;
    const passport_records passport = live_passport();
    const auto field_text = [](const catalogue_record& record) {
        return QString::asprintf("%.1f", static_cast<double>(record.value));
    };
    texts.sex_index = passport.sex;
    texts.height = field_text(passport.height);
    texts.weight = field_text(passport.weight);
    texts.bmi = bmi_text();
    texts.age = field_text(passport.age);
    return texts;
}

QString factor_value_text(int index)
{
    return QString::asprintf("%.2f",
                             static_cast<double>(factor_records()[static_cast<std::size_t>(index)].value));
}

panel_view refresh_panels(const run_state& state, const panel_selection& selection, int t)
{
    panel_view view;
    const QColor black(0, 0, 0);
    const QColor silver(192, 192, 192);
    for (int i = 0; i < panel_rows; ++i) {
        factor_row_view& f = view.factors[i];
        const int index = selection.factor_sel[i];
        if (index < 0 || !valid_factor_selection(index)) {
            f.selected = -1;
            f.value_text = QString::fromLatin1(empty_factor_text);
            f.value_colour = black;
        } else {
            f.selected = index;
            f.value_text = factor_value_text(index);
            f.value_colour = t == state.sim_time ? black : silver;
            f.unit = from_cp1252(factor_records()[static_cast<std::size_t>(index)].unit);
        }
        display_row_view& d = view.displays[i];
        const int shown = selection.display_sel[i];
        if (valid_display_selection(shown)) {
            d.selected = shown;
            d.value_text = QString::asprintf("%.2f", history_value(state, shown, history_slot(t)));
            d.unit = from_cp1252(display_records()[static_cast<std::size_t>(shown)].unit);
        }
    }
    view.time_text = format_minutes_seconds(t);
    return view;
}
