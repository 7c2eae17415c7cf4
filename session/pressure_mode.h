// Pressures in mm Hg (the model's unit) or kPa (shown on request): the
// conversions, and the switch of the model's listed records between the two.
#ifndef TOLVANE_PRESSURE_MODE_H
#define TOLVANE_PRESSURE_MODE_H

#include "tolvane_model.h"

#include <array>

// 1 mm Hg = 0.1332 kPa; the inverse is written out as the model's catalogue
// conversion uses it (1 / 0.1332).
inline constexpr double kpa_per_mmhg = 0.1332;
inline constexpr double mmhg_per_kpa = 7.507507507507507;

// Returns the pressure in kPa of a pressure given in mm Hg (double precision).
double mmhg_to_kpa(double mmhg);

// Returns the pressure in mm Hg of a pressure given in kPa (double precision).
double kpa_to_mmhg(double kpa);

// Exchanges unit text (which text each record refers to), minimum and maximum
// of every record listed in a_f_lst and a_d_lst with its alternative record,
// and multiplies listed factor values by 0.1332 (towards kPa) or
// 7.507507507507507 (towards mm Hg), rounded to single precision.
void swap_pressure_units(bool towards_kpa);

// Multiplies the value of every factor listed in a_f_lst by k (single precision).
void scale_listed_factor_values(double k);

// True while the listed factors hold the kPa records, i.e. after
// swap_pressure_units(true) until swap_pressure_units(false). For model calls
// that read the barometric pressure outside a run step (bager(2) from the
// respiration dialog), which know nothing of the run state. Part of the
// model state a session keeps (set_listed_factors_in_kpa puts it back).
bool listed_factors_in_kpa();
void set_listed_factors_in_kpa(bool in_kpa);

// True for a factor (display variable) listed in a_f_lst (a_d_lst): a
// pressure that can be shown in kPa.
bool pressure_factor(int index);
bool pressure_display(int index);

// The value of factor index in model units (mm Hg for listed pressures),
// whatever units are shown.
float factor_value_in_model_units(int index, bool si_pressure);

// While alive, the listed pressure factors hold their value in mm Hg, so that
// constant() derives the run's coefficients from model units; the shown (kPa)
// values come back bit for bit at the end of the scope. Does nothing when
// si_pressure is false.
class model_units_scope {
public:
    explicit model_units_scope(bool si_pressure);
    ~model_units_scope();
    model_units_scope(const model_units_scope&) = delete;
    model_units_scope& operator=(const model_units_scope&) = delete;

private:
    bool active_;
    std::array<float, TOLVANE_NUM_FACTORS> shown_{};      // values as shown
    std::array<float, TOLVANE_NUM_FACTORS> converted_{};  // values handed to the model
};

#endif
