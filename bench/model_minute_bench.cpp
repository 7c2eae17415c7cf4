// One simulated minute of the standard subject through the public interface,
// as the run controller drives it: constant(60), then 60 x (model, sympt, death).
#include <benchmark/benchmark.h>

#include "tolvane_model.h"

namespace {

void BM_run_minute(benchmark::State& state)
{
    estab_pnt();
    load_new();
    for (auto _ : state) {
        constant(60);
        for (int second = 0; second < 60; ++second) {
            benchmark::DoNotOptimize(model());
            benchmark::DoNotOptimize(sympt());
            benchmark::DoNotOptimize(death());
            app_buf[0] = '\0';
        }
    }
    // items are steps: the reciprocal of items_per_second is the time per step.
    state.SetItemsProcessed(state.iterations() * 60);
}
BENCHMARK(BM_run_minute);

void BM_constant(benchmark::State& state)
{
    estab_pnt();
    load_new();
    for (auto _ : state) {
        factor[1].value = 0;
        benchmark::DoNotOptimize(constant(60));
    }
}
BENCHMARK(BM_constant);

}  // namespace

BENCHMARK_MAIN();
