// SPDX-License-Identifier: Apache-2.0
// Speed of the main window's drawing and of one RUN, without widgets:
// a full redraw of the trend plot (30 minutes of history, eight traces) into
// an image, and one run step of 60 model seconds with recording and redraw.
#include <benchmark/benchmark.h>

#include <QImage>
#include <QPainter>

#include <cmath>

#include "panel_logic.h"
#include "reference_run.h"
#include "model_host.h"
#include "simulator.h"
#include "tolvane_model.h"
#include "trend_plot.h"
#include "headless_ui.h"
#include "window_font.h"

namespace {

constexpr int cw = 1022;

// Draws the plot and computes the panels as the main window's redraw does.
void redraw_into(QImage& image, run_state& state, const panel_selection& selection)
{
    const int panel_time = prepare_redraw(state, cw);
    QPainter painter(&image);
    painter.setFont(window_font());
    paint_trend_plot(painter, cw, state, selection.display_sel, "1.00", nullptr);
    benchmark::DoNotOptimize(refresh_panels(state, selection, panel_time));
}

// A window that only draws: every redraw request paints into an image.
class drawing_ui : public headless_ui {
public:
    simulator* sim = nullptr;
    QImage image{cw, 400, QImage::Format_RGB32};

    void redraw_main() override
    {
        if (sim) redraw_into(image, sim->state(), sim->selection());
    }
};

// History of 30 minutes: each variable swings inside its limits.
void fill_swinging_history()
{
    for (int row = 0; row < TOLVANE_NUM_DISPLAYS; ++row) {
        const double low = display[row].minimum, high = display[row].maximum;
        for (int t = 0; t < TOLVANE_HISTORY_COLUMNS; ++t)
            history[row][t] = static_cast<float>(low + (high - low) * (0.5 + 0.4 * std::sin(t / 37.0 + row)));
    }
}

void BM_redraw_main_30_minutes_eight_traces(benchmark::State& bench)
{
    // History of 30 minutes: each shown variable swings inside its limits.
    const panel_selection selection = initial_selection();
    fill_swinging_history();
    run_state state;
    state.sim_time = 1800;
    state.latest_time = 1800;
    state.win_start = 1080;  // the plot spans 702 seconds, the last 12 minutes
    QImage image(cw, 400, QImage::Format_RGB32);
    for (auto _ : bench) redraw_into(image, state, selection);
}
BENCHMARK(BM_redraw_main_30_minutes_eight_traces)->Unit(benchmark::kMicrosecond);

void BM_run_one_minute_with_recording_and_redraw(benchmark::State& bench)
{
    drawing_ui ui;
    simulator sim(ui);
    ui.sim = &sim;
    sim.start();
    int runs = 0;
    for (auto _ : bench) {
        sim.run_clicked();
        // Thirty minutes on, start again so the subject stays comparable.
        if (++runs % 30 == 0) {
            bench.PauseTiming();
            sim.reset_clicked();
            bench.ResumeTiming();
        }
    }
    bench.counters["sim_time"] = sim.state().sim_time;
}
BENCHMARK(BM_run_one_minute_with_recording_and_redraw)->Unit(benchmark::kMicrosecond);

// The same redraw with a reference run of 30 minutes under the eight traces.
void BM_redraw_main_with_reference(benchmark::State& bench)
{
    const panel_selection selection = initial_selection();
    fill_swinging_history();
    run_state state;
    state.sim_time = 1799;
    reference_run reference;
    reference.seconds = 1800;
    for (int t = 0; t < reference.seconds; ++t)
        for (int d = 0; d < logged_displays; ++d)
            reference.samples.push_back(history[d][model_host::history_slot(t)]);
    state.sim_time = 1800;
    state.latest_time = 1800;
    state.win_start = 1080;
    QImage image(cw, 400, QImage::Format_RGB32);
    for (auto _ : bench) {
        const int panel_time = prepare_redraw(state, cw);
        QPainter painter(&image);
        painter.setFont(window_font());
        paint_trend_plot(painter, cw, state, selection.display_sel, "1.00", nullptr, &reference);
        benchmark::DoNotOptimize(refresh_panels(state, selection, panel_time));
    }
}
BENCHMARK(BM_redraw_main_with_reference)->Unit(benchmark::kMicrosecond);

}  // namespace
