#include "reference_run.h"

#include <QFileInfo>

#include <iterator>

#include "pressure_units.h"
#include "tolvane_model.h"

namespace {

// Display variables shown in kPa while kPa is chosen (those listed in a_d_lst).
bool listed_pressure(int d) {
    for (int j = 0; j < static_cast<int>(std::size(a_d_lst)) && a_d_lst[j] != -1; ++j)
        if (a_d_lst[j] == d) return true;
    return false;
}

}  // namespace

double reference_run::value(const run_state& state, int d, int t) const {
    if (!holds(t) || d < 0 || d >= logged_displays) return 0.0;
    const double stored = samples[static_cast<size_t>(t) * logged_displays + static_cast<size_t>(d)];
    return state.si_pressure && listed_pressure(d) ? mmhg_to_kpa(stored) : stored;
}

reference_run reference_from(const run_log& log, const QString& subject_name) {
    reference_run reference;
    reference.subject_name = subject_name;
    reference.seconds = log.seconds();
    reference.samples = log.samples();
    return reference;
}

QString reference_title(const reference_run& reference) {
    if (reference.subject_name.isEmpty()) return QStringLiteral("standard subject");
    return QFileInfo(reference.subject_name).fileName();
}
