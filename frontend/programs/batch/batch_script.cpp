// SPDX-License-Identifier: Apache-2.0
#include "batch_script.h"

#include "batch_run.h"
#include "console_ui.h"
#include "history_csv.h"
#include "result_text.h"
#include "safe_file.h"
#include "scenario_script.h"
#include "simulator.h"

#include <optional>

namespace {

// The script's CSV, written as the run goes: the header and rows go to a
// temporary file beside the target, which a reset or load starts again and
// which replaces the target only when complete. Without --csv the seconds
// are dropped as they come, unformatted, so that memory stays bounded for a
// script of any length.
class csv_stream : public timeline_stream {
public:
    csv_stream(const std::optional<QString>& path, int digits) : digits_(digits)
    {
        if (path) file_.emplace(*path);
    }
    // ok without a file, else as csv_file_opened.
    save_result opened() const { return file_ ? csv_file_opened(*file_) : save_result(); }
    void restart() override
    {
        if (!file_) return;
        pending_.clear();
        file_->restart();
        file_->write(history_csv_header());
    }
    void second(int t, const history_column& column) override
    {
        if (!file_) return;
        append_timeline_csv_row(pending_, t, column, digits_);
        if (pending_.size() >= write_size) write_pending();
    }
    // ok without a file, else as commit_csv_file.
    save_result commit()
    {
        if (!file_) return save_result();
        write_pending();
        return commit_csv_file(*file_);
    }

private:
    static constexpr qsizetype write_size = 1 << 16;
    void write_pending()
    {
        file_->write(pending_);
        pending_.clear();
    }

    std::optional<safe_file_writer> file_;
    int digits_;
    QByteArray pending_;
};

}  // namespace

int run_batch_script(simulator& sim, const batch_options& options, std::FILE* out, std::FILE* err)
{
    if (!options.script_path) return batch_bad_arguments;
    if (options.minutes != 0) {
        print(err, QStringLiteral("tolvane-batch: --minutes and --script cannot be combined (the "
                                  "script's \"run until\" says how long to run)\n"));
        return batch_bad_arguments;
    }
    const script_parse_result parsed = read_scenario_script(*options.script_path);
    if (!parsed.status.ok()) {
        print(err, QStringLiteral("tolvane-batch: %1\n").arg(message_text(parsed.status)));
        return parsed.error_line == 0 ? batch_file_error : batch_bad_arguments;
    }

    csv_stream csv(options.csv_path, options.csv_digits);
    if (const save_result opened = csv.opened(); !opened.ok()) {
        print(err, QStringLiteral("tolvane-batch: %1\n").arg(message_text(opened)));
        return batch_file_error;
    }
    const script_run_result result = run_scenario_script(
        sim, parsed.script, [out](const QString& line) { print(out, line + '\n'); }, &csv);
    for (const QString& note : result.notes)
        print(err, QStringLiteral("tolvane-batch: warning: %1\n").arg(note));

    int status = batch_ok;
    switch (result.status.code()) {
    case script_end::finished:
        break;
    case script_end::died:
        print(out, message_text(result.status) + '\n');
        break;
    case script_end::step_failed:
        print(out, message_text(result.status) + '\n');
        status = batch_step_failed;
        break;
    case script_end::refused:
    case script_end::load_failed:
        print(err, QStringLiteral("tolvane-batch: %1\n").arg(message_text(result.status)));
        status = result.status.code() == script_end::load_failed ? batch_file_error : batch_bad_arguments;
        break;
    }

    // A script that could not be carried out as written leaves an existing
    // CSV file as it was (the temporary file goes with csv).
    if (status == batch_file_error || status == batch_bad_arguments) return status;
    if (const save_result committed = csv.commit(); !committed.ok()) {
        print(err, QStringLiteral("tolvane-batch: %1\n").arg(message_text(committed)));
        return batch_file_error;
    }
    return status;
}
