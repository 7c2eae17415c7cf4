// SPDX-License-Identifier: Apache-2.0
// A simulated day written as CSV, as `tolvane-batch --minutes 1440 --csv`
// does it: 1440 RUNs with recording, each minute's rows formatted and
// written to /dev/null. Target: at most 0.5 s of CPU. A second case times
// the number formatting alone for one day of rows.
#include <benchmark/benchmark.h>

#include <cstdio>

#include "headless_ui.h"
#include "history_csv.h"
#include "simulator.h"
#include "tolvane_model.h"

namespace {

constexpr int day_minutes = 24 * 60;

void BM_one_day_to_csv(benchmark::State& bench)
{
    headless_ui ui;
    simulator sim(ui);
    sim.start();
    std::FILE* sink = std::fopen("/dev/null", "wb");
    for (auto _ : bench) {
        sim.reset_clicked();
        QByteArray header = history_csv_header();
        std::fwrite(header.constData(), 1, static_cast<std::size_t>(header.size()), sink);
        int written = -1;
        for (int minute = 0; minute < day_minutes; ++minute) {
            sim.run_clicked();
            const QByteArray rows = history_csv_rows(sim.state(), written + 1, sim.state().sim_time);
            std::fwrite(rows.constData(), 1, static_cast<std::size_t>(rows.size()), sink);
            written = sim.state().sim_time;
        }
        benchmark::DoNotOptimize(written);
    }
    std::fclose(sink);
}
BENCHMARK(BM_one_day_to_csv)
    ->Unit(benchmark::kMillisecond)
    ->MeasureProcessCPUTime()
    ->UseRealTime()
    ->Iterations(3);

void BM_format_one_day_of_rows(benchmark::State& bench)
{
    headless_ui ui;
    simulator sim(ui);
    sim.start();
    for (int minute = 0; minute < 30; ++minute) sim.run_clicked();
    for (auto _ : bench) {
        qsizetype bytes = 0;
        // 48 passes over the 30-minute ring: 86,400 rows.
        for (int pass = 0; pass < 48; ++pass) bytes += history_csv_rows(sim.state(), 1, 1800).size();
        benchmark::DoNotOptimize(bytes);
    }
}
BENCHMARK(BM_format_one_day_of_rows)->Unit(benchmark::kMillisecond)->MeasureProcessCPUTime()->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
