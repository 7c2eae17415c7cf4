// Cost of simulated time as the front end drives the model: constant(60) per
// minute, then per second the bag when rebreathing, the step, the symptoms
// and the death judgement, each followed by emptying the message buffer.
#include <benchmark/benchmark.h>

#include "tolvane_model.h"

namespace {

void start_standard_subject(float work_rate)
{
    estab_pnt();
    *ventilation = 1;
    *bag_index = 10;
    bager(2, nullptr, nullptr);
    load_new();
    factor[31].value = work_rate;
    app_buf[0] = '\0';
}

// One simulated second; returns false when the run would stop.
bool run_second()
{
    if (*bag_index == 12 || *bag_index == 13) {
        bager(1, nullptr, nullptr);
    }
    if (model() != 0) {
        return false;
    }
    sympt();
    app_buf[0] = '\0';
    const bool died = death();
    app_buf[0] = '\0';
    return !died;
}

// Simulated seconds, minute by minute; a stopped run starts the subject again.
void run_seconds(long seconds, float work_rate)
{
    for (long done = 0; done < seconds; done += 60) {
        constant(60);
        for (int second = 0; second < 60; ++second) {
            if (!run_second()) {
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
        const float cardiac_output = display[32].value;
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
        const float cardiac_output = display[32].value;
        benchmark::DoNotOptimize(cardiac_output);
    }
}
BENCHMARK(BM_SimulatedDay)->Arg(0)->Arg(100)->ArgName("watts")->Unit(benchmark::kMillisecond);

}  // namespace

BENCHMARK_MAIN();
