// SPDX-License-Identifier: Apache-2.0
#include "catalogue_view.h"
#include "batch_run.h"

#include "batch_script.h"
#include "console_ui.h"

#include "cp1252.h"
#include "history_csv.h"
#include "panel_logic.h"
#include "pressure_units.h"
#include "result_text.h"
#include "simulator.h"

#include <QFile>

namespace {

// Loads the subject file; false (after a message) when it cannot be used.
bool load_subject(simulator& sim, const QString& path, std::FILE* err)
{
    const subject_read_result result = sim.load_subject(path);
    if (!result.status.ok()) {
        print(err, QStringLiteral("tolvane-batch: %1: %2\n").arg(path, message_text(result.status)));
        return false;
    }
    if (result.corrected_indices > 0)
        print(err, QStringLiteral("tolvane-batch: warning: %1: %2 out-of-range sex or row "
                                  "indices replaced\n")
                       .arg(path)
                       .arg(result.corrected_indices));
    for (const clamped_value& value : sim.clamped_on_load())
        print(err, QStringLiteral("tolvane-batch: warning: %1: %2\n")
                       .arg(path, QString::fromStdString(describe_clamped_value(value))));
    return true;
}

// Sets the factors as the panel would, clamped to their limits with a
// warning; each is an event of the run, as a typed value is.
void apply_settings(simulator& sim, const std::vector<factor_setting>& settings, std::FILE* err)
{
    for (const factor_setting& setting : settings) {
        const catalogue_record limits = factor_records()[static_cast<std::size_t>(setting.index)];
        const entered_value entered =
            entered_text(sim.session().set_factor(setting.index, atof_value(setting.text)), "%.2f");
        if (entered.adjusted)
            print(err, QStringLiteral("tolvane-batch: warning: factor %1 \"%2\": %3 is outside "
                                      "%4 to %5, set to %6\n")
                           .arg(setting.index)
                           .arg(from_cp1252(limits.name), setting.text)
                           .arg(static_cast<double>(limits.minimum))
                           .arg(static_cast<double>(limits.maximum))
                           .arg(entered.text));
    }
}

}  // namespace

csv_history_writer::csv_history_writer(const QString& path, int digits) : file_(path), digits_(digits) {}

void csv_history_writer::begin(const simulator& sim)
{
    file_.write(history_csv_header());
    write_up_to(sim, 0);
}

void csv_history_writer::write_up_to(const simulator& sim, int last)
{
    if (last <= written_) return;
    file_.write(history_csv_rows(sim.state(), written_ + 1, last, digits_));
    written_ = last;
}

namespace {

save_result csv_file_failure(const safe_file_writer& file, save_status code)
{
    return save_result::failure(
        code,
        QStringLiteral("cannot write the CSV file %1: %2").arg(file.target(), file.error()).toStdString());
}

}  // namespace

save_result csv_file_opened(const safe_file_writer& file)
{
    return file.ok() ? save_result() : csv_file_failure(file, save_status::cannot_open);
}

save_result commit_csv_file(safe_file_writer& file)
{
    return file.commit() ? save_result() : csv_file_failure(file, save_status::write_failed);
}

namespace {

// Saves the subject for --save after a run that ended with status; after a
// failed model step it saves nothing and says so (the model holds the
// failed second). Returns status, or batch_file_error when the save failed.
int save_after_run(simulator& sim, const batch_options& options, int status, std::FILE* err)
{
    if (!options.save_path) return status;
    const QString where = output_path_for_messages(*options.save_path);
    if (status == batch_step_failed) {
        print(err, QStringLiteral("tolvane-batch: the subject was not saved to %1: the model step "
                                  "failed\n")
                       .arg(where));
        return status;
    }
    const save_result saved = sim.save_subject(*options.save_path);
    if (saved.ok()) return status;
    QString message = QStringLiteral("tolvane-batch: cannot save subject to %1").arg(where);
    if (!saved.message().empty()) message += QStringLiteral(": ") + message_text(saved);
    print(err, message + '\n');
    return batch_file_error;
}

}  // namespace

int run_batch(simulator& sim, const batch_options& options, std::FILE* out, std::FILE* err)
{
    if (options.subject_path && !load_subject(sim, *options.subject_path, err)) return batch_file_error;
    apply_settings(sim, options.settings, err);
    if (options.script_path) {
        const int script_status = run_batch_script(sim, options, out, err);
        // A script that could not run as written saves nothing either.
        if (script_status == batch_file_error || script_status == batch_bad_arguments) return script_status;
        return save_after_run(sim, options, script_status, err);
    }

    std::optional<csv_history_writer> csv;
    if (options.csv_path) {
        csv.emplace(*options.csv_path, options.csv_digits);
        if (const save_result opened = csv->opened(); !opened.ok()) {
            print(err, QStringLiteral("tolvane-batch: %1\n").arg(message_text(opened)));
            return batch_file_error;
        }
        csv->begin(sim);
    }

    int status = batch_ok;
    for (int minute = 0; minute < options.minutes; ++minute) {
        const step_outcome outcome = sim.controller().run_to_minute();
        const int now = sim.state().sim_time;
        if (csv) csv->write_up_to(sim, now);
        if (!outcome.failure.ok()) {
            print(out, QStringLiteral("%1 step failed: item %2\n")
                           .arg(format_minutes_seconds(outcome.failed_time()))
                           .arg(outcome.failure.code()));
            status = batch_step_failed;
            break;
        }
        if (outcome.died) {
            print(out, QStringLiteral("%1 the subject died\n").arg(format_minutes_seconds(now)));
            break;
        }
    }

    if (csv) {
        if (const save_result finished = csv->finish(); !finished.ok()) {
            print(err, QStringLiteral("tolvane-batch: %1\n").arg(message_text(finished)));
            status = batch_file_error;
        }
    }
    return save_after_run(sim, options, status, err);
}
