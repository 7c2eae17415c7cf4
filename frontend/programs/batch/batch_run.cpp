#include "batch_run.h"

#include "batch_script.h"
#include "console_ui.h"

#include "cp1252.h"
#include "history_csv.h"
#include "panel_logic.h"
#include "pressure_units.h"
#include "result_text.h"
#include "simulator.h"
#include "tolvane_model.h"

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

// Sets the factors as the panel would, clamped to their limits with a warning.
void apply_settings(const std::vector<factor_setting>& settings, std::FILE* err)
{
    for (const factor_setting& setting : settings) {
        catalogue_record& record = factor[setting.index];
        const entered_value entered = enter_value(record, setting.text, "%.2f");
        if (entered.adjusted)
            print(err, QStringLiteral("tolvane-batch: warning: factor %1 \"%2\": %3 is outside "
                                      "%4 to %5, set to %6\n")
                           .arg(setting.index)
                           .arg(from_cp1252(record.name), setting.text)
                           .arg(static_cast<double>(record.minimum))
                           .arg(static_cast<double>(record.maximum))
                           .arg(entered.text));
    }
}

}  // namespace

csv_history_writer::csv_history_writer(const QString& path) : file_(file_path_bytes(path)) {}

void csv_history_writer::begin(const simulator& sim)
{
    file_.write(bytes_view(history_csv_header()));
    write_up_to(sim, 0);
}

void csv_history_writer::write_up_to(const simulator& sim, int last)
{
    if (last <= written_) return;
    file_.write(bytes_view(history_csv_rows(sim.state(), written_ + 1, last)));
    written_ = last;
}

namespace {

save_result csv_file_failure(const safe_file_writer& file, save_status code)
{
    return save_result::failure(
        code, QStringLiteral("cannot write the CSV file %1: %2")
                  .arg(QString::fromStdString(file.target()), QString::fromStdString(file.error()))
                  .toStdString());
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

int run_batch(simulator& sim, const batch_options& options, std::FILE* out, std::FILE* err)
{
    if (options.subject_path && !load_subject(sim, *options.subject_path, err)) return batch_file_error;
    apply_settings(options.settings, err);
    if (options.script_path) {
        const int script_status = run_batch_script(sim, options, out, err);
        if (script_status == batch_ok && options.save_path && !sim.save_subject(*options.save_path).ok()) {
            print(err, QStringLiteral("tolvane-batch: cannot save subject to %1\n").arg(*options.save_path));
            return batch_file_error;
        }
        return script_status;
    }

    std::optional<csv_history_writer> csv;
    if (options.csv_path) {
        csv.emplace(*options.csv_path);
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
        // A failed second advanced the clock without a sample.
        const int last_recorded = !outcome.failure.ok() ? now - 1 : now;
        if (csv) csv->write_up_to(sim, last_recorded);
        if (!outcome.failure.ok()) {
            print(out, QStringLiteral("%1 step failed: item %2\n")
                           .arg(format_minutes_seconds(now))
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
    if (options.save_path && !sim.save_subject(*options.save_path).ok()) {
        print(err, QStringLiteral("tolvane-batch: cannot save subject to %1\n").arg(*options.save_path));
        return batch_file_error;
    }
    return status;
}
