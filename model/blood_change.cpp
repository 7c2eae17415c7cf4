// SPDX-License-Identifier: Apache-2.0
// A sudden change of haemoglobin or packed cell volume. Every blood store
// keeps its O2 and CO2 as contents, ml per 100 ml, and the stages solve the
// store's PO2 and PCO2 from those contents with the haemoglobin and packed
// cell volume of the step. When either is changed between two steps, the
// contents stay what the old blood held: after a fall of haemoglobin from
// 14.8 to 10 g/100 ml the O2 that no longer fits on the haemoglobin has to
// be dissolved, and the arterial PO2 reads 2000 mm Hg for the better part of
// a minute; after a rise to 25 the blood reads as 60 % saturated and the
// subject is said to be blue. Cells hold less CO2 than plasma at the same
// PCO2, so a packed cell volume raised from 45 to 80 % reads the same CO2
// content at an arterial PCO2 of 49 instead of 40 mm Hg. Blood whose make-up
// changes keeps its gas tensions: in a step whose haemoglobin differs from
// the last step's, the O2 bound to haemoglobin in every blood store is
// scaled to the new haemoglobin (the dissolved O2 is left as it is), and in
// a step whose packed cell volume differs, the CO2 content of every blood
// store is scaled to what the new blood holds at the store's PCO2, before
// the stages run. Every other step is untouched.
#include "step_internal.h"

namespace {

// What the watch knows of the blood of the last step; negative when not
// known (after a subject has been made live).
float last_haemoglobin = -1;
float last_packed_cell_volume = -1;

// The arterial contents as the last step left them. Different values at the
// next step mean that the front end has put back an earlier moment (RE-RUN,
// or a failed step undone), which may have been made with other blood.
float left_arterial_o2_content = 0;
float left_arterial_co2_content = 0;

// Relative difference below which a loaded subject's arterial blood counts
// as made with the haemoglobin it is loaded with. A run's own arterial
// blood fits its haemoglobin to within a few parts in ten thousand (the
// pressure solver's tolerance) and a change of 2,3-DPG between saving and
// loading moves it by a few tenths of a per cent; a content made with
// another haemoglobin is off by the change itself.
constexpr double loaded_haemoglobin_tolerance = 0.01;

// The same for the packed cell volume, in percentage points: the solver's
// tolerance is some 0.05 points.
constexpr double loaded_packed_cell_volume_tolerance = 2;

// Dissolved O2 of blood at a partial pressure (ml/100 ml per mm Hg).
constexpr double o2_solubility = 0.003;

// The contents of arterial blood at its own pH and pressures.
struct arterial_contents {
    float o2 = 0, co2 = 0, saturation = 0;
};
arterial_contents arterial_contents_with(const blood_conditions& blood)
{
    arterial_contents c;
    blood_contents_at(blood, display[display_id::arterial_ph].value, display[display_id::arterial_po2].value,
                      display[display_id::arterial_pco2].value, c.o2, c.co2, c.saturation);
    return c;
}

bool arterial_pco2_known() { return display[display_id::arterial_pco2].value > 0; }

// The haemoglobin the arterial blood was made with: its bound O2 over what
// a gram binds at the saturation of its pressures; negative when that gives
// none.
double haemoglobin_of_arterial_blood()
{
    if (!arterial_pco2_known()) {
        return -1;
    }
    const double saturation = arterial_contents_with(current_blood_conditions()).saturation;
    const double bound = dsp(display_id::arterial_o2_content) - o2_solubility * dsp(display_id::arterial_po2);
    if (!(saturation > 0) || !(bound > 0)) {
        return -1;
    }
    return bound / (1.34 * saturation);
}

// The packed cell volume the arterial blood was made with: the CO2 content
// is linear in it at given pH, pressures and saturation; negative when that
// gives none.
double packed_cell_volume_of_arterial_blood()
{
    if (!arterial_pco2_known()) {
        return -1;
    }
    blood_conditions blood = current_blood_conditions();
    blood.packed_cell_volume = 0;
    const double plasma_only = arterial_contents_with(blood).co2;
    blood.packed_cell_volume = 100;
    const double cells_only = arterial_contents_with(blood).co2;
    if (!(plasma_only != cells_only)) {
        return -1;
    }
    return 100 * (dsp(display_id::arterial_co2_content) - plasma_only) / (cells_only - plasma_only);
}

// Scales the O2 bound in a content (ml/100 ml) of blood at PO2 po2.
void scale_bound_o2(float& content, double po2, double scale)
{
    const double dissolved = o2_solubility * std::max(po2, 0.0);
    const double bound = content - dissolved;
    if (bound > 0) {
        content = static_cast<float>(dissolved + bound * scale);
    }
}

// The same for an amount held as content / content_per_amount.
void scale_bound_o2_amount(float& amount, double po2, double content_per_amount, double scale)
{
    if (!(content_per_amount > 0)) {
        return;
    }
    float content = static_cast<float>(amount * content_per_amount);
    scale_bound_o2(content, po2, scale);
    amount = static_cast<float>(content / content_per_amount);
}

// Every blood store of the model, at the PO2 of the blood it holds.
void scale_bound_o2_in_blood(double scale)
{
    const double arterial = dsp(display_id::arterial_po2);
    // The arterial pool is one litre: ten times its content.
    scale_bound_o2_amount(display[display_id::arterial_o2_amount].value, arterial, 0.1, scale);
    scale_bound_o2(display[display_id::arterial_pool_o2_content].value, arterial, scale);
    scale_bound_o2(display[display_id::arterial_o2_content].value, arterial, scale);
    scale_bound_o2(display[display_id::capillary_o2_content].value, dsp(display_id::alveolar_po2), scale);
    scale_bound_o2(display[display_id::brain_o2_content].value, dsp(display_id::brain_po2), scale);
    // Venous blood, the delay line included, leaves the tissues at their PO2.
    const double venous = dsp(display_id::tissue_po2);
    scale_bound_o2(display[display_id::tissue_o2_content].value, venous, scale);
    scale_bound_o2_amount(display[display_id::venous_o2_amount].value, venous,
                          drv(derived_id::venous_content_scale), scale);
    scale_bound_o2(display[display_id::venous_o2_content].value, venous, scale);
    for (venous_delay_slot& slot : venous_delay_line) {
        scale_bound_o2(slot.o2_content, venous, scale);
    }
}

// Ratio of the CO2 content of blood with packed cell volume `after` to that
// with `before` (%), at the given pH and pressures; 1 when there is none.
double co2_content_ratio(float ph, float po2, float pco2, double before, double after)
{
    if (!(pco2 > 0)) {
        return 1.0;
    }
    blood_conditions blood = current_blood_conditions();
    float o2 = 0, co2_before = 0, co2_after = 0, saturation = 0;
    blood.packed_cell_volume = before;
    blood_contents_at(blood, ph, po2, pco2, o2, co2_before, saturation);
    blood.packed_cell_volume = after;
    blood_contents_at(blood, ph, po2, pco2, o2, co2_after, saturation);
    return co2_before > 0 && co2_after > 0 ? static_cast<double>(co2_after) / co2_before : 1;
}

void scale(float& value, double ratio) { value = static_cast<float>(value * ratio); }

// Every blood store of the model, at the pH and pressures of the blood it
// holds (the pH of the lung capillaries and of the brain's venous blood,
// which no store keeps, as the arterial and the mixed venous pH).
void scale_co2_in_blood(double before, double after)
{
    const auto ratio = [&](int ph, int po2, int pco2) {
        return co2_content_ratio(display[ph].value, display[po2].value, display[pco2].value, before, after);
    };
    const double arterial =
        ratio(display_id::arterial_ph, display_id::arterial_po2, display_id::arterial_pco2);
    scale(display[display_id::arterial_co2_amount].value, arterial);
    scale(display[display_id::arterial_pool_co2_content].value, arterial);
    scale(display[display_id::arterial_co2_content].value, arterial);
    scale(display[display_id::capillary_co2_content].value,
          ratio(display_id::arterial_ph, display_id::alveolar_po2, display_id::alveolar_pco2));
    scale(display[display_id::brain_co2_content].value,
          ratio(display_id::venous_ph, display_id::brain_po2, display_id::brain_pco2));
    scale(display[display_id::tissue_co2_content].value,
          ratio(display_id::tissue_ph, display_id::tissue_po2, display_id::tissue_pco2));
    const double venous = ratio(display_id::venous_ph, display_id::tissue_po2, display_id::tissue_pco2);
    scale(display[display_id::venous_co2_amount].value, venous);
    scale(display[display_id::venous_co2_content].value, venous);
    for (venous_delay_slot& slot : venous_delay_line) {
        scale(slot.co2_content, venous);
    }
}

// Scales the blood to a haemoglobin changed from before to after: false
// when blood without haemoglobin holds no bound O2 to scale.
bool rescale_haemoglobin(double before, double after)
{
    if (!(before > 0)) {
        return false;
    }
    scale_bound_o2_in_blood(after / before);
    return true;
}

bool rescale_packed_cell_volume(double before, double after)
{
    scale_co2_in_blood(before, after);
    return true;
}

// One factor of the blood's make-up that the watch follows.
struct make_up_factor {
    int index;         // factor_id
    float& last;       // its value in the last step; negative when not known
    double (*made)();  // the value the arterial blood was made with; negative when not told
    bool (*fits)(double made, double present);     // made counts as the present value
    bool (*rescale)(double before, double after);  // false when nothing was scaled
};

// True when the blood was scaled to the factor's present value.
bool follow(const make_up_factor& f)
{
    const float present = factor[f.index].value;
    if (present == f.last) {
        return false;
    }
    double before = f.last;
    if (before < 0) {
        // The first step of a subject just made live or put back to an
        // earlier moment: its blood may have been made with another value
        // (a subject file saved right after the value was typed, a moment
        // before it was changed). Within the tolerance it is taken as made
        // with the present value and left alone.
        const double made = f.made();
        before = made < 0 || f.fits(made, present) ? present : made;
    }
    f.last = present;
    return before != present && f.rescale(before, present);
}

}  // namespace

void forget_blood_make_up()
{
    last_haemoglobin = -1;
    last_packed_cell_volume = -1;
}

blood_make_up_memory save_blood_make_up_memory()
{
    return {last_haemoglobin, last_packed_cell_volume, left_arterial_o2_content, left_arterial_co2_content};
}

void restore_blood_make_up_memory(const blood_make_up_memory& memory)
{
    last_haemoglobin = memory.last_haemoglobin;
    last_packed_cell_volume = memory.last_packed_cell_volume;
    left_arterial_o2_content = memory.left_arterial_o2_content;
    left_arterial_co2_content = memory.left_arterial_co2_content;
}

void remember_arterial_contents()
{
    left_arterial_o2_content = display[display_id::arterial_o2_content].value;
    left_arterial_co2_content = display[display_id::arterial_co2_content].value;
}

bool follow_blood_make_up()
{
    if (display[display_id::arterial_o2_content].value != left_arterial_o2_content ||
        display[display_id::arterial_co2_content].value != left_arterial_co2_content) {
        forget_blood_make_up();
    }
    const bool haemoglobin_changed =
        follow({factor_id::haemoglobin, last_haemoglobin, haemoglobin_of_arterial_blood,
                [](double made, double present) {
                    return std::abs(made / present - 1) <= loaded_haemoglobin_tolerance;
                },
                rescale_haemoglobin});
    const bool packed_cell_volume_changed =
        follow({factor_id::packed_cell_volume, last_packed_cell_volume, packed_cell_volume_of_arterial_blood,
                [](double made, double present) {
                    return std::abs(made - present) <= loaded_packed_cell_volume_tolerance;
                },
                rescale_packed_cell_volume});
    return haemoglobin_changed || packed_cell_volume_changed;
}
