// tolvane-batch: the simulator without windows. Parses the command line into
// batch_options, then hands them to run_batch.
#include "batch_options.h"
#include "batch_run.h"
#include "console_ui.h"
#include "simulator.h"

#include <QCoreApplication>
#include <cstdio>

int main(int argc, char** argv)
{
    QCoreApplication app(argc, argv);
    const batch_parse_result parsed = parse_batch_arguments(app.arguments().mid(1));
    if (!parsed.error.isEmpty()) {
        std::fprintf(stderr, "tolvane-batch: %s (try --help)\n", parsed.error.toUtf8().constData());
        return batch_bad_arguments;
    }
    if (parsed.options.help) {
        std::fputs(batch_usage().toUtf8().constData(), stdout);
        return batch_ok;
    }
    console_ui ui(stdout, stderr);
    simulator sim(ui);
    sim.start();
    return run_batch(sim, parsed.options, stdout, stderr);
}
