// A sudden change of haemoglobin. Every blood store keeps its O2 as a
// content, ml per 100 ml, and the stages solve the store's PO2 from that
// content with the haemoglobin of the step. When the haemoglobin is changed
// between two steps, the content stays what the old haemoglobin held: after
// a fall from 15 to 10 g/100 ml the O2 that no longer fits on the
// haemoglobin has to be dissolved, and the arterial PO2 reads 2000 mm Hg for
// the better part of a minute; after a rise to 25 the blood reads as
// 60 % saturated and the subject is said to be blue. Blood whose
// haemoglobin changes keeps its saturation: in a step whose haemoglobin
// differs from the last step's, the O2 bound to haemoglobin in every blood
// store is scaled to the new haemoglobin before the stages run, and the
// dissolved O2 is left as it is. Every other step is untouched.
#include "step_internal.h"

namespace {

// Haemoglobin of the last step; 0 after a subject has been made live, when
// it is not known.
float last_haemoglobin = 0;

// The arterial O2 content as the last step left it. A different value at
// the next step means that the front end has put back an earlier moment
// (RE-RUN, or a failed step undone), which may have been made with another
// haemoglobin.
float left_arterial_o2_content = 0;

// Relative difference below which a loaded subject's arterial blood counts
// as made with the haemoglobin it is loaded with. A run's own arterial
// blood fits its haemoglobin to within a few parts in ten thousand (the
// pressure solver's tolerance) and a change of 2,3-DPG between saving and
// loading moves it by a few tenths of a per cent; a content made with
// another haemoglobin is off by the change itself.
constexpr double loaded_haemoglobin_tolerance = 0.01;

// Dissolved O2 of blood at a partial pressure (ml/100 ml per mm Hg).
constexpr double o2_solubility = 0.003;

// The haemoglobin the arterial blood was made with: its bound O2 over what
// a gram binds at the saturation of its pressures; 0 when that gives none.
double haemoglobin_of_arterial_blood()
{
    float o2 = 0, co2 = 0, saturation = 0;
    const float pco2 = display[display_id::arterial_pco2].value;
    if (!(pco2 > 0)) {
        return 0;
    }
    blood_contents(display[display_id::arterial_ph].value, display[display_id::arterial_po2].value, pco2, o2,
                   co2, saturation);
    const double bound = dsp(display_id::arterial_o2_content) - o2_solubility * dsp(display_id::arterial_po2);
    if (!(saturation > 0) || !(bound > 0)) {
        return 0;
    }
    return bound / (1.34 * saturation);
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

}  // namespace

void forget_haemoglobin() { last_haemoglobin = 0; }

haemoglobin_memory save_haemoglobin_memory() { return {last_haemoglobin, left_arterial_o2_content}; }

void restore_haemoglobin_memory(const haemoglobin_memory& memory)
{
    last_haemoglobin = memory.last_haemoglobin;
    left_arterial_o2_content = memory.left_arterial_o2_content;
}

void remember_arterial_o2_content()
{
    left_arterial_o2_content = display[display_id::arterial_o2_content].value;
}

bool follow_haemoglobin()
{
    if (display[display_id::arterial_o2_content].value != left_arterial_o2_content) {
        last_haemoglobin = 0;
    }
    const float haemoglobin = factor[factor_id::haemoglobin].value;
    if (haemoglobin == last_haemoglobin) {
        return false;
    }
    double before = last_haemoglobin;
    if (before <= 0) {
        // The first step of a subject just made live or put back to an
        // earlier moment: its blood may have been made with another
        // haemoglobin (a subject file saved right after the haemoglobin was
        // typed, a moment before it was changed). Within the tolerance it is
        // taken as made with the present haemoglobin and left alone.
        before = haemoglobin_of_arterial_blood();
        if (before <= 0 || std::abs(before / haemoglobin - 1) <= loaded_haemoglobin_tolerance) {
            before = haemoglobin;
        }
    }
    last_haemoglobin = haemoglobin;
    if (before == haemoglobin || !(haemoglobin > 0)) {
        return false;
    }
    scale_bound_o2_in_blood(haemoglobin / before);
    return true;
}
