// SPDX-License-Identifier: Apache-2.0
// One simulated minute of the standard subject through the public interface,
// as the run controller drives it: through the host, constant(60), then 60
// seconds (bager(1) when rebreathing, model, sympt, death, messages drained,
// history recorded).
#include <benchmark/benchmark.h>

#include "model_host.h"
#include "tolvane_model.h"

namespace {

void BM_run_minute(benchmark::State& state)
{
    model_host host;
    host.start_standard_subject();
    int t = 0;
    for (auto _ : state) {
        host.derive_constants();
        for (int second = 0; second < 60; ++second) {
            const second_result result = host.run_second(++t);
            benchmark::DoNotOptimize(result.failure);
            benchmark::DoNotOptimize(result.died);
        }
    }
    // items are steps: the reciprocal of items_per_second is the time per step.
    state.SetItemsProcessed(state.iterations() * 60);
}
BENCHMARK(BM_run_minute);

void BM_constant(benchmark::State& state)
{
    model_host host;
    host.start_standard_subject();
    for (auto _ : state) {
        factor[1].value = 0;
        benchmark::DoNotOptimize(constant(60));
    }
}
BENCHMARK(BM_constant);

}  // namespace

BENCHMARK_MAIN();
