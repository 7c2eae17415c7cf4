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
// which replaces the target only when complete. Without --csv the rows are
// dropped, so that memory stays bounded for a script of any length.
class csv_stream : public timeline_stream {
public:
    explicit csv_stream(const std::optional<QString>& path)
    {
        if (path) file_.emplace(file_path_bytes(*path));
    }
    // ok without a file, else as csv_file_opened.
    save_result opened() const { return file_ ? csv_file_opened(*file_) : save_result(); }
    void restart() override
    {
        if (!file_) return;
        file_->restart();
        file_->write(bytes_view(history_csv_header()));
    }
    void rows(const QByteArray& text) override
    {
        if (file_) file_->write(bytes_view(text));
    }
    // ok without a file, else as commit_csv_file.
    save_result commit() { return file_ ? commit_csv_file(*file_) : save_result(); }

private:
    std::optional<safe_file_writer> file_;
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

    csv_stream csv(options.csv_path);
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

    if (const save_result committed = csv.commit(); !committed.ok()) {
        print(err, QStringLiteral("tolvane-batch: %1\n").arg(message_text(committed)));
        return batch_file_error;
    }
    return status;
}
