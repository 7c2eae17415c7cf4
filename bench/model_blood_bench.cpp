// SPDX-License-Identifier: Apache-2.0
// Blood chemistry, the hot path of the model step: contents from pressures
// and the pressure solver from the previous step's estimate.
#include <benchmark/benchmark.h>

#include "model_internal.h"

namespace {

void standard_blood()
{
    factor[5].value = 37;
    factor[12].value = 14.8f;
    factor[21].value = 45;
    other[4] = 7.4f;
}

void BM_blood_contents(benchmark::State& state)
{
    standard_blood();
    float o2 = 0, co2 = 0, saturation = 0, po2 = 90;
    for (auto _ : state) {
        po2 = po2 > 110 ? 90 : po2 + 0.37f;
        blood_contents(7.4f, po2, 40, o2, co2, saturation);
        benchmark::DoNotOptimize(o2);
        benchmark::DoNotOptimize(co2);
    }
}
BENCHMARK(BM_blood_contents);

// Arterial blood a step later: the estimate is a fraction of a mm Hg off.
void BM_blood_pressures_next_step(benchmark::State& state)
{
    standard_blood();
    float target_o2 = 0, target_co2 = 0, saturation = 0;
    blood_contents(7.4f, 93.18f, 39.9f, target_o2, target_co2, saturation);
    int i = 0;
    for (auto _ : state) {
        float po2 = 92.5f + 0.2f * static_cast<float>(i % 7), pco2 = 39.7f + 0.1f * static_cast<float>(i % 5);
        ++i;
        blood_pressures(7.4f, po2, pco2, target_o2, target_co2, saturation);
        benchmark::DoNotOptimize(po2);
        benchmark::DoNotOptimize(pco2);
    }
}
BENCHMARK(BM_blood_pressures_next_step);

// A large change within one step: exercise onset or oxygen breathing.
void BM_blood_pressures_far_start(benchmark::State& state)
{
    standard_blood();
    float target_o2 = 0, target_co2 = 0, saturation = 0;
    blood_contents(7.3f, 400, 55, target_o2, target_co2, saturation);
    for (auto _ : state) {
        float po2 = 93, pco2 = 40;
        blood_pressures(7.3f, po2, pco2, target_o2, target_co2, saturation);
        benchmark::DoNotOptimize(po2);
    }
}
BENCHMARK(BM_blood_pressures_far_start);

// Targets that no pressure reaches: the bound on the rounds is the cost.
void BM_blood_pressures_unreachable(benchmark::State& state)
{
    standard_blood();
    float saturation = 0;
    for (auto _ : state) {
        float po2 = 93, pco2 = 40;
        blood_pressures(7.4f, po2, pco2, -5, -5, saturation);
        benchmark::DoNotOptimize(po2);
    }
}
BENCHMARK(BM_blood_pressures_unreachable);

}  // namespace

BENCHMARK_MAIN();
