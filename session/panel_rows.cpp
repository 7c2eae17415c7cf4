// SPDX-License-Identifier: Apache-2.0
#include "panel_rows.h"

#include "slot_ids.h"

panel_selection initial_selection()
{
    panel_selection selection;
    // Row 4 of the shipped table named factor 32, one past the last factor.
    // We read it as the last factor, "Work Rate": the nearest valid index, not
    // used by another row, and the factor a student most often changes next.
    selection.factor_sel = {factor_id::inspired_o2,
                            factor_id::inspired_co2,
                            factor_id::body_temperature,
                            factor_id::dpg,
                            factor_id::work_rate,
                            -1,
                            -1,
                            -1};
    selection.display_sel = {display_id::arterial_po2,     display_id::arterial_pco2,
                             display_id::respiratory_rate, display_id::tissue_o2_content,
                             display_id::metabolic_rate,   display_id::heart_rate,
                             display_id::venous_ph,        display_id::venous_ph};
    return selection;
}

bool valid_factor_selection(int index) { return index >= -1 && index < num_fct; }

bool valid_display_selection(int index) { return index >= 0 && index < num_dsy; }

bool choose_factor(panel_selection& selection, int row, int index)
{
    if (row < 0 || row >= panel_rows) return false;
    if (!valid_factor_selection(index)) {
        selection.factor_sel[row] = -1;
        return false;
    }
    if (index != -1) {
        for (int j = 0; j < panel_rows; ++j) {
            if (j != row && selection.factor_sel[j] == index) {
                selection.factor_sel[row] = -1;
                return false;
            }
        }
    }
    selection.factor_sel[row] = index;
    return true;
}

clamped_entry enter_number(catalogue_record& record, float typed)
{
    float clamped = typed;
    if (clamped > record.maximum) clamped = record.maximum;
    if (clamped < record.minimum) clamped = record.minimum;
    record.value = clamped;
    return {clamped, clamped != typed};
}

catalogue_record& passport_record(passport_field field)
{
    switch (field) {
    case passport_field::height:
        return ::height;
    case passport_field::weight:
        return ::weight;
    case passport_field::age:
        break;
    }
    return ::age;
}
