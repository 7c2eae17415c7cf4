// SPDX-License-Identifier: Apache-2.0
// The session layer's costs: a model swap between sessions against a
// simulated minute, a simulated day through the C interface (no CSV)
// against the host alone (also both in turn, in processor time), and an
// hour run one second at a time.
#include <benchmark/benchmark.h>

#include "model_host.h"
#include "run_session.h"
#include "tolvane/session.h"

#include <algorithm>
#include <ctime>
#include <vector>

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
void host_day()
{
    model_host host;
    host.start_standard_subject();
    int t = 0;
    for (int minute = 0; minute < minutes_a_day; ++minute) {
        host.derive_constants();
        for (int second = 0; second < 60; ++second) benchmark::DoNotOptimize(host.run_second(++t).died);
    }
}

// The same day through the C interface: clock, history, rewind memory, log.
void c_api_day()
{
    tolvane_session* s = nullptr;
    tolvane_create(&s);
    benchmark::DoNotOptimize(tolvane_run_minutes(s, minutes_a_day, nullptr));
    tolvane_destroy(s);
}

void BM_day_through_host(benchmark::State& state)
{
    for (auto _ : state) host_day();
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

void BM_day_through_c_api(benchmark::State& state)
{
    for (auto _ : state) c_api_day();
}
BENCHMARK(BM_day_through_c_api)->Unit(benchmark::kMillisecond)->Iterations(3);

// An hour through the C interface one second at a time, as a client that
// steps second by second runs: every second is a RUN of its own.
void BM_hour_second_by_second_c_api(benchmark::State& state)
{
    for (auto _ : state) {
        tolvane_session* s = nullptr;
        tolvane_create(&s);
        for (int second = 0; second < 3600; ++second)
            benchmark::DoNotOptimize(tolvane_run_seconds(s, 1, nullptr));
        tolvane_destroy(s);
    }
}
BENCHMARK(BM_hour_second_by_second_c_api)->Unit(benchmark::kMillisecond)->Iterations(5);

// The thread's processor time (ms), user and system: on a loaded machine
// it counts what the work cost rather than how long it waited.
double thread_cpu_ms()
{
    timespec now{};
    clock_gettime(CLOCK_THREAD_CPUTIME_ID, &now);
    return static_cast<double>(now.tv_sec) * 1e3 + static_cast<double>(now.tv_nsec) * 1e-6;
}

// The host's day and the C interface's day alternately, many times in one
// process, so that the load of a shared machine falls on both alike. The
// counters give the medians of the thread's processor time (ms), the ratio
// of the medians, and the spread of the ratio of each pair (quartiles).
void BM_day_c_api_against_host_interleaved(benchmark::State& state)
{
    std::vector<double> host_ms, api_ms, ratio;
    for (auto _ : state) {
        const double t0 = thread_cpu_ms();
        host_day();
        const double t1 = thread_cpu_ms();
        c_api_day();
        const double t2 = thread_cpu_ms();
        host_ms.push_back(t1 - t0);
        api_ms.push_back(t2 - t1);
        ratio.push_back(api_ms.back() / host_ms.back());
    }
    const auto quantile = [](std::vector<double> v, double q) {
        std::sort(v.begin(), v.end());
        return v[static_cast<std::size_t>(q * static_cast<double>(v.size() - 1) + 0.5)];
    };
    state.counters["host_ms"] = quantile(host_ms, 0.5);
    state.counters["api_ms"] = quantile(api_ms, 0.5);
    state.counters["ratio_of_medians"] = quantile(api_ms, 0.5) / quantile(host_ms, 0.5);
    state.counters["ratio_q1"] = quantile(ratio, 0.25);
    state.counters["ratio_median"] = quantile(ratio, 0.5);
    state.counters["ratio_q3"] = quantile(ratio, 0.75);
    // The first pair alone: the first session of a process (run this
    // benchmark by itself) finds no log memory given back by an earlier one.
    state.counters["first_ratio"] = ratio.front();
}
BENCHMARK(BM_day_c_api_against_host_interleaved)->Unit(benchmark::kMillisecond)->Iterations(21);

}  // namespace

BENCHMARK_MAIN();
