// SPDX-License-Identifier: Apache-2.0
// Cost of simulated time as the front end drives the model, through the same
// host: constant(60) per minute, then per second the bag when rebreathing,
// the step, the symptoms and the death judgement, the messages drained and
// the second recorded.
#include <benchmark/benchmark.h>

#include "model_host.h"
#include "slot_ids.h"
#include "tolvane_model.h"

namespace {

model_host host;
int clock = 0;  // the run's time, for the history column

void start_standard_subject(float work_rate)
{
    host.start_standard_subject();
    factor[factor_id::work_rate].value = work_rate;
    model_host::take_messages();
    clock = 0;
}

// Simulated seconds, minute by minute; a stopped run starts the subject again.
void run_seconds(long seconds, float work_rate)
{
    for (long done = 0; done < seconds; done += 60) {
        host.derive_constants();
        for (int second = 0; second < 60; ++second) {
            const second_result result = host.run_second(++clock);
            if (result.failed() || result.died) {
                start_standard_subject(work_rate);
                break;
            }
        }
    }
}

// Nanoseconds per simulated second, measured a simulated minute at a time.
void BM_SimulatedMinute(benchmark::State& state)
{
    const float work_rate = static_cast<float>(state.range(0));
    start_standard_subject(work_rate);
    for (auto _ : state) {
        run_seconds(60, work_rate);
        // A copy: DoNotOptimize on the state itself may store back into it.
        const float cardiac_output = display[display_id::cardiac_output].value;
        benchmark::DoNotOptimize(cardiac_output);
    }
    // Simulated seconds per CPU second, inverted: CPU time per simulated second.
    state.counters["cpu_per_simulated_second"] =
        benchmark::Counter(static_cast<double>(state.iterations()) * 60,
                           benchmark::Counter::kIsRate | benchmark::Counter::kInvert);
}
BENCHMARK(BM_SimulatedMinute)->Arg(0)->Arg(100)->ArgName("watts");

// A whole simulated day from the start.
void BM_SimulatedDay(benchmark::State& state)
{
    const float work_rate = static_cast<float>(state.range(0));
    for (auto _ : state) {
        start_standard_subject(work_rate);
        run_seconds(24 * 3600, work_rate);
        // A copy: DoNotOptimize on the state itself may store back into it.
        const float cardiac_output = display[display_id::cardiac_output].value;
        benchmark::DoNotOptimize(cardiac_output);
    }
}
BENCHMARK(BM_SimulatedDay)->Arg(0)->Arg(100)->ArgName("watts")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
