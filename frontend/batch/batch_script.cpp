#include "batch_script.h"

#include "batch_run.h"
#include "scenario_script.h"
#include "simulator.h"

#include "safe_file.h"

#include <QFileInfo>

namespace {

void print(std::FILE* stream, const QString& text)
{
    const QByteArray bytes = text.toUtf8();
    std::fwrite(bytes.constData(), 1, static_cast<std::size_t>(bytes.size()), stream);
    std::fflush(stream);
}

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
    if (!parsed.error.isEmpty()) {
        print(err, QStringLiteral("tolvane-batch: %1\n").arg(parsed.error));
        return parsed.error_line == 0 ? batch_file_error : batch_bad_arguments;
    }

    const script_run_result result =
        run_scenario_script(sim, parsed.script, [out](const QString& line) { print(out, line + '\n'); });
    for (const QString& note : result.notes) print(err, QStringLiteral("tolvane-batch: warning: %1\n").arg(note));

    int status = batch_ok;
    switch (result.end) {
    case script_end::finished:
        break;
    case script_end::died:
        print(out, result.message + '\n');
        break;
    case script_end::step_failed:
        print(out, result.message + '\n');
        status = batch_step_failed;
        break;
    case script_end::refused:
        print(err, QStringLiteral("tolvane-batch: %1\n").arg(result.message));
        status = batch_bad_arguments;
        break;
    }

    if (options.csv_path) {
        const QString failure = write_file_safely(*options.csv_path, result.timeline.csv());
        if (!failure.isEmpty()) {
            print(err, QStringLiteral("tolvane-batch: cannot write the CSV file %1: %2\n")
                           .arg(QFileInfo(*options.csv_path).absoluteFilePath(), failure));
            return batch_file_error;
        }
    }
    return status;
}
