// SPDX-License-Identifier: Apache-2.0
#include "reference_run.h"

#include <QFileInfo>

#include "model_host.h"
#include "pressure_units.h"

double reference_run::value(const run_state& state, int d, int t) const
{
    if (!holds(t) || d < 0 || d >= logged_displays) return 0.0;
    const double stored = samples[static_cast<size_t>(t) * logged_displays + static_cast<size_t>(d)];
    return state.si_pressure && model_host::pressure_display(d) ? mmhg_to_kpa(stored) : stored;
}

reference_run reference_from(const run_session& session, const QString& subject_name)
{
    reference_run reference;
    reference.subject_name = subject_name;
    reference.seconds = session.logged_seconds();
    reference.samples.reserve(static_cast<std::size_t>(reference.seconds) * logged_displays);
    for (int t = 0; t < reference.seconds; ++t) {
        const float* row = session.logged_row(t);
        reference.samples.insert(reference.samples.end(), row, row + logged_displays);
    }
    return reference;
}

QString reference_title(const reference_run& reference)
{
    if (reference.subject_name.isEmpty()) return QStringLiteral("standard subject");
    return QFileInfo(reference.subject_name).fileName();
}
