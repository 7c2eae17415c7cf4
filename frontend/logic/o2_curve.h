// SPDX-License-Identifier: Apache-2.0
// The O2 dissociation curve of the subject at a moment of the run, without
// widgets: the curve's points from the model's own chemistry
// (tolvane_o2_saturation), its P50, and the arterial and mixed venous points.
#ifndef TOLVANE_O2_CURVE_H
#define TOLVANE_O2_CURVE_H

#include <QString>
#include <vector>

#include "run_state.h"

// What shapes one curve: arterial pH, PCO2 (mm Hg), body temperature
// (degrees centigrade), 2,3-DPG (mmol/litre) and haemoglobin (g/100 ml).
struct curve_conditions {
    float ph = 7.4f;
    float pco2 = 40;
    float temperature = 37;
    float dpg = 3.8f;
    float haemoglobin = 14.8f;
};

// One point of a curve: PO2 in mm Hg, saturation as a fraction, O2 content in
// ml/100 ml (dissolved plus bound). Saturation and content are NaN where the
// model refuses the conditions (a PCO2 of 0, say).
struct curve_point {
    double po2 = 0;
    double saturation = 0;
    double content = 0;
};

// The range of PO2 the chart shows: 0 to 120 mm Hg, or 0 to 16 kPa.
inline constexpr double curve_po2_max_mmhg = 120;
inline constexpr double curve_po2_max_kpa = 16;

// Highest PO2 (mm Hg) searched for a P50 or a venous content.
inline constexpr double curve_search_max_mmhg = 1000;

// pH 7.4, PCO2 40, 37 degrees, and the standard subject's DPG and haemoglobin.
curve_conditions standard_curve_conditions();

// The curve at one PO2 (mm Hg).
curve_point curve_at(const curve_conditions& conditions, double po2);

// intervals + 1 points evenly from PO2 0 to po2_max (mm Hg).
std::vector<curve_point> curve_points(const curve_conditions& conditions, double po2_max, int intervals);

// The PO2 (mm Hg) at which the saturation is one half, by bisection on the
// model's curve; NaN when the curve does not reach one half below
// curve_search_max_mmhg.
double p50(const curve_conditions& conditions);

// The PO2 (mm Hg) at which the O2 content is the given one, by bisection: 0
// for a content at or below the curve's at PO2 0, curve_search_max_mmhg for
// one above it there.
double po2_for_content(const curve_conditions& conditions, double content);

// Everything the chart shows for one moment.
struct o2_curve_view {
    int time = 0;              // the simulated second shown
    bool in_the_past = false;  // time is before the newest second: the
                               // factors (not recorded) are those of now
    bool si_pressure = false;  // PO2 axis and texts in kPa
    curve_conditions subject;  // at that second
    curve_conditions standard;
    curve_point arterial;     // arterial PO2, saturation and content as recorded
    curve_point venous;       // placed on the subject's curve by its content
    double subject_p50 = 0;   // mm Hg
    double standard_p50 = 0;  // mm Hg
};

// The view at second t from the history: arterial pH, PCO2, PO2, saturation
// and O2 content and the mixed venous O2 content as recorded. Temperature,
// 2,3-DPG and haemoglobin are factors, which the history does not keep: the
// live values are used (they change only when the user changes them, or
// DPG over hours).
o2_curve_view o2_curve_view_at(const run_state& state, int t);

// The chart's text line: P50 and the arterial and venous O2 contents.
QString o2_curve_summary(const o2_curve_view& view);

#endif
