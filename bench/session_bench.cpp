// The session layer's costs: a model swap between sessions against a
// simulated minute, and a simulated day through the C interface (no CSV)
// against the host alone.
#include <benchmark/benchmark.h>

#include "model_host.h"
#include "run_session.h"
#include "tolvane/session.h"

namespace {

// One session: its state stays live, no swap.
void BM_session_minute(benchmark::State& state)
{
    run_session s;
    for (auto _ : state) {
        if (s.state().sim_time >= 1440 * 60) s.restart_subject();
        benchmark::DoNotOptimize(s.run_to_minute().seconds_done);
    }
    state.SetItemsProcessed(state.iterations() * 60);
}
BENCHMARK(BM_session_minute);

// Two sessions in turn: every minute swaps one state out and the other in.
void BM_two_sessions_minute_each(benchmark::State& state)
{
    run_session a, b;
    for (auto _ : state) {
        if (a.state().sim_time >= 1440 * 60) {
            a.restart_subject();
            b.restart_subject();
        }
        benchmark::DoNotOptimize(a.run_to_minute().seconds_done);
        benchmark::DoNotOptimize(b.run_to_minute().seconds_done);
    }
    state.SetItemsProcessed(state.iterations() * 120);
}
BENCHMARK(BM_two_sessions_minute_each);

// The swap alone: a lease of the other session copies one state out and
// one in.
void BM_model_swap(benchmark::State& state)
{
    run_session a, b;
    bool first = true;
    for (auto _ : state) {
        (first ? a : b).with_model([] {});
        first = !first;
    }
}
BENCHMARK(BM_model_swap);

constexpr int minutes_a_day = 1440;

// A simulated day through the host alone: the floor for any client.
void BM_day_through_host(benchmark::State& state)
{
    for (auto _ : state) {
        model_host host;
        host.start_standard_subject();
        int t = 0;
        for (int minute = 0; minute < minutes_a_day; ++minute) {
            host.derive_constants();
            for (int second = 0; second < 60; ++second) benchmark::DoNotOptimize(host.run_second(++t).died);
        }
    }
}
BENCHMARK(BM_day_through_host)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same day through run_session.
void BM_day_through_session(benchmark::State& state)
{
    for (auto _ : state) {
        run_session s;
        for (int minute = 0; minute < minutes_a_day; ++minute)
            benchmark::DoNotOptimize(s.run_to_minute().seconds_done);
    }
}
BENCHMARK(BM_day_through_session)->Unit(benchmark::kMillisecond)->Iterations(3);

// The same day through the C interface: clock, history, rewind memory, log.
void BM_day_through_c_api(benchmark::State& state)
{
    for (auto _ : state) {
        tolvane_session* s = nullptr;
        tolvane_create(&s);
        benchmark::DoNotOptimize(tolvane_run_minutes(s, minutes_a_day, nullptr));
        tolvane_destroy(s);
    }
}
BENCHMARK(BM_day_through_c_api)->Unit(benchmark::kMillisecond)->Iterations(3);

}  // namespace

BENCHMARK_MAIN();
