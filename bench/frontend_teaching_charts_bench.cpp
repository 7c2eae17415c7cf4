// SPDX-License-Identifier: Apache-2.0
// Speed of the two teaching views, which follow every redraw of the main
// window while open: the O2 curve's view (P50 and venous point by bisection)
// and its chart, and the X-Y chart of a full 30-minute history.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include "headless_ui.h"
#include "o2_curve.h"
#include "o2_curve_plot.h"
#include "simulator.h"
#include "window_font.h"
#include "xy_plot.h"
#include "xy_trajectory.h"

namespace {

constexpr int width = 640, height = 460;

// A standard subject 30 minutes into its run: a full history.
simulator& thirty_minutes()
{
    static headless_ui ui;
    static simulator sim(ui);
    static bool started = false;
    if (!started) {
        started = true;
        sim.start();
        for (int minute = 0; minute < 30; ++minute) sim.run_clicked();
    }
    return sim;
}

void BM_o2_curve_view(benchmark::State& bench)
{
    simulator& sim = thirty_minutes();
    for (auto _ : bench) benchmark::DoNotOptimize(o2_curve_view_at(sim.state(), sim.state().sim_time));
}
BENCHMARK(BM_o2_curve_view)->Unit(benchmark::kMicrosecond);

void BM_o2_curve_view_and_chart(benchmark::State& bench)
{
    simulator& sim = thirty_minutes();
    QImage image(width, height, QImage::Format_RGB32);
    for (auto _ : bench) {
        const o2_curve_view view = o2_curve_view_at(sim.state(), sim.state().sim_time);
        QPainter painter(&image);
        painter.setFont(window_font());
        draw_o2_curve_chart(painter, width, height, view, o2_point_colours_for(sim.selection().display_sel));
    }
}
BENCHMARK(BM_o2_curve_view_and_chart)->Unit(benchmark::kMicrosecond);

void BM_xy_chart_1800_points(benchmark::State& bench)
{
    simulator& sim = thirty_minutes();
    QImage image(width, height, QImage::Format_RGB32);
    for (auto _ : bench) {
        const xy_chart_input input = xy_chart_input_from(sim.state(), 10, 55, sim.state().sim_time, true);
        QPainter painter(&image);
        painter.setFont(window_font());
        draw_xy_chart(painter, width, height, input);
    }
    bench.counters["points"] = static_cast<double>(xy_trajectory_from(sim.state(), 10, 55, 0).points.size());
}
BENCHMARK(BM_xy_chart_1800_points)->Unit(benchmark::kMicrosecond);

}  // namespace
