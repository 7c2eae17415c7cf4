// tolvane-validate: runs every validation case and the figure sweeps, writes
// the Markdown report and its PNG figures.
//
//   tolvane-validate CASES_DIR OUT_DIR [--compare FILE.md]
//
// CASES_DIR holds cases.tsv, the scenario scripts it names and discussion.md;
// OUT_DIR receives validation.md and figures/*.png. With --compare, the
// written report must equal FILE.md (exit status 1 and the first differing
// line otherwise). Exit status 2 for bad arguments or unreadable cases, 1 for
// a figure that could not be written or a report that differs.
#include "simulator.h"
#include "validation.h"
#include "validation_figures.h"

#include <QDir>
#include <QFile>
#include <QGuiApplication>
#include <cstdio>
#include <functional>

namespace {

void say(const QString& text) { std::fprintf(stderr, "tolvane-validate: %s\n", text.toUtf8().constData()); }

// The model's value of a simple measure for each x of a sweep, each run from
// the script text that make_script gives for x.
std::vector<std::pair<double, std::optional<double>>> sweep(validation_runner& runner, const std::vector<double>& xs,
                                                            const std::function<QString(double)>& make_script,
                                                            const QString& measure,
                                                            std::map<double, validation_run>& cache)
{
    std::vector<std::pair<double, std::optional<double>>> out;
    for (double x : xs) {
        auto found = cache.find(x);
        if (found == cache.end())
            found = cache.emplace(x, runner.run_text(make_script(x), QStringLiteral("sweep"))).first;
        out.emplace_back(x, validation_runner::simple_measure(found->second, measure).value);
    }
    return out;
}

std::vector<double> range(double from, double to, double step)
{
    std::vector<double> xs;
    const int n = static_cast<int>(std::floor((to - from) / step + 1e-9));
    for (int i = 0; i <= n; ++i) xs.push_back(from + i * step);
    return xs;
}

// Ascent to barometric pressure pb at 50 mm Hg a minute from 760, then 30
// minutes there, as the altitude cases of the table ascend.
QString ascent_script(double pb)
{
    QString text;
    double p = 760;
    int minute = 0;
    while (p - 50 > pb) {
        p -= 50;
        text += QStringLiteral("at %1:00 set 25 %2\n").arg(minute++).arg(p);
    }
    text += QStringLiteral("at %1:00 set 25 %2\n").arg(minute).arg(pb);
    text += QStringLiteral("run until %1:00\n").arg(minute + 30);
    return text;
}

published_point pt(double x, double y, double sd = 0) { return {x, y, y - sd, y + sd}; }

}  // namespace

int main(int argc, char** argv)
{
    qputenv("QT_QPA_PLATFORM", "offscreen");
    QGuiApplication app(argc, argv);
    QStringList args = app.arguments().mid(1);
    QString compare;
    const qsizetype c = args.indexOf(QStringLiteral("--compare"));
    if (c >= 0) {
        if (c + 1 >= args.size()) {
            say(QStringLiteral("--compare needs a file"));
            return 2;
        }
        compare = args[c + 1];
        args.remove(c, 2);
    }
    if (args.size() != 2) {
        std::fputs("Usage: tolvane-validate CASES_DIR OUT_DIR [--compare FILE.md]\n", stderr);
        return 2;
    }
    const QDir cases_dir(args[0]), out_dir(args[1]);
    const validation_cases table = read_validation_cases(cases_dir.filePath(QStringLiteral("cases.tsv")));
    if (!table.error.isEmpty()) {
        say(table.error);
        return 2;
    }
    QFile discussion_file(cases_dir.filePath(QStringLiteral("discussion.md")));
    const QString discussion =
        discussion_file.open(QIODevice::ReadOnly) ? QString::fromUtf8(discussion_file.readAll()) : QString();

    quiet_ui ui;
    simulator sim(ui);
    sim.start();
    validation_runner runner(sim, ui, cases_dir.path());
    const std::vector<validation_row> rows = evaluate_cases(runner, table.cases);

    // --- figures ---------------------------------------------------------------
    std::vector<std::pair<validation_figure, std::vector<chart_panel>>> figures;
    {
        std::map<double, validation_run> cache;
        chart_panel p;
        p.title = QStringLiteral("Ventilation breathing CO2 in air, steady state at 25 min");
        p.x_label = QStringLiteral("inspired CO2 (%)");
        p.y_label = QStringLiteral("total ventilation (l/min BTPS)");
        p.x_min = 0, p.x_max = 7, p.y_min = 0, p.y_max = 40;
        p.model = sweep(runner, range(0, 7, 0.5),
                        [](double x) { return QStringLiteral("at 0:00 set 15 %1\nrun until 25:00\n").arg(x); },
                        QStringLiteral("D55"), cache);
        p.points = {pt(0.03, 8.8, 1.1), pt(3, 14.9, 0.8), pt(6, 26.5, 4.3)};
        p.published_label = QStringLiteral("resting subjects, mean ± SD (n = 8)");
        figures.push_back({{QStringLiteral("co2_ventilation.png"),
                            QStringLiteral("Ventilation against inspired CO2 (model: steady state at 25 min; "
                                           "published: Int J Sports Exerc Med 1:014, table 4).")},
                           {p}});
    }
    {
        std::map<double, validation_run> cache;
        const std::vector<double> xs = range(0, 200, 10);
        auto script = [](double w) { return QStringLiteral("at 0:00 set 31 %1\nrun until 10:00\n").arg(w); };
        chart_panel ve, hr, vo2;
        for (chart_panel* p : {&ve, &hr, &vo2}) {
            p->x_label = QStringLiteral("work rate (W)");
            p->x_min = 0, p->x_max = 200;
            p->published_label = QStringLiteral("J Sports Sci Med 5(3), table 1");
        }
        ve.title = QStringLiteral("Ventilation in exercise (model at 10 min)");
        ve.y_label = QStringLiteral("ventilation (l/min)");
        ve.y_min = 0, ve.y_max = 70;
        ve.model = sweep(runner, xs, script, QStringLiteral("D55"), cache);
        ve.points = {pt(70, 24.1), pt(105, 33.1), pt(140, 43.3), pt(175, 60.7)};
        hr.title = QStringLiteral("Heart rate in exercise");
        hr.y_label = QStringLiteral("heart rate (/min)");
        hr.y_min = 40, hr.y_max = 220;
        hr.model = sweep(runner, xs, script, QStringLiteral("D35"), cache);
        hr.points = {pt(70, 109), pt(105, 125), pt(140, 140), pt(175, 158)};
        vo2.title = QStringLiteral("O2 uptake in exercise (other[7] x 60 / 1000)");
        vo2.y_label = QStringLiteral("O2 uptake (l/min STPD)");
        vo2.y_min = 0, vo2.y_max = 3;
        vo2.model = sweep(runner, xs, script, QStringLiteral("VO2"), cache);
        vo2.points = {pt(70, 1.00), pt(105, 1.34), pt(140, 1.71), pt(175, 2.23)};
        figures.push_back({{QStringLiteral("exercise.png"),
                            QStringLiteral("Ventilation, heart rate and O2 uptake against work rate (model: "
                                           "10 min at each load from rest).")},
                           {ve, hr, vo2}});
    }
    {
        std::map<double, validation_run> cache;
        const std::vector<double> xs = range(350, 760, 10);
        auto script = [](double pb) { return ascent_script(pb); };
        chart_panel po2, sat, pco2;
        for (chart_panel* p : {&po2, &sat, &pco2}) {
            p->x_label = QStringLiteral("barometric pressure (mm Hg)");
            p->x_min = 350, p->x_max = 760;
            p->x_reversed = true;
        }
        po2.title = QStringLiteral("Arterial PO2 at altitude (model 30 min after the ascent)");
        for (chart_panel* p : {&po2, &sat, &pco2}) p->legend_right = true;
        po2.y_label = QStringLiteral("PaO2 (mm Hg)");
        po2.y_min = 0, po2.y_max = 120;
        po2.model = sweep(runner, xs, script, QStringLiteral("D15"), cache);
        po2.points = {pt(450, 39.6, 4.5)};
        po2.ranges = {{760, 90, 110, 6}};
        po2.published_label = QStringLiteral("4559 m (Eur Respir Rev); sea-level range (BTS)");
        sat.title = QStringLiteral("Arterial O2 saturation at altitude");
        sat.y_label = QStringLiteral("SaO2 (%)");
        sat.y_min = 40, sat.y_max = 100;
        sat.model = sweep(runner, xs, script, QStringLiteral("D16"), cache);
        sat.ranges = {{760, 94, 98, 6}};
        sat.published_label = QStringLiteral("sea-level target range (BTS)");
        sat.legend_right = false;
        sat.legend_bottom = true;
        pco2.title = QStringLiteral("Arterial PCO2 at altitude");
        pco2.y_label = QStringLiteral("PaCO2 (mm Hg)");
        pco2.y_min = 20, pco2.y_max = 50;
        pco2.model = sweep(runner, xs, script, QStringLiteral("D10"), cache);
        pco2.points = {pt(450, 30.0, 3.6)};
        pco2.ranges = {{760, 35, 45, 6}};
        pco2.published_label = po2.published_label;
        figures.push_back({{QStringLiteral("altitude.png"),
                            QStringLiteral("Arterial PO2, saturation and PCO2 against barometric pressure, "
                                           "760 down to 350 mm Hg (model: ascent at 50 mm Hg a minute, then 30 min at each pressure).")},
                           {po2, sat, pco2}});
    }
    {
        std::map<double, validation_run> cache;
        const std::vector<double> xs = range(6, 16, 1);
        // Packed cell volume follows haemoglobin (45 % at 14.8 g/100 ml).
        auto script = [](double hb) {
            return QStringLiteral("at 0:00 set 12 %1\nat 0:00 set 21 %2\nrun until 30:00\n")
                .arg(hb)
                .arg(QString::number(hb * 45.0 / 14.8, 'f', 1));
        };
        chart_panel hr, content;
        for (chart_panel* p : {&hr, &content}) {
            p->x_label = QStringLiteral("haemoglobin (g/dl)");
            p->x_min = 6, p->x_max = 16;
        }
        hr.title = QStringLiteral("Resting heart rate in anaemia (model at 30 min)");
        hr.y_label = QStringLiteral("heart rate (/min)");
        hr.y_min = 40, hr.y_max = 100;
        hr.model = sweep(runner, xs, script, QStringLiteral("D35"), cache);
        hr.published_line = {{6, 116 - 4 * 6}, {16, 116 - 4 * 16}};
        hr.published_label = QStringLiteral("116 - 4 x Hb (PubMed 12559019)");
        hr.legend_right = true;
        content.title = QStringLiteral("Arterial O2 content in anaemia");
        content.y_label = QStringLiteral("CaO2 (ml/100 ml)");
        content.y_min = 0, content.y_max = 25;
        content.model = sweep(runner, xs, script, QStringLiteral("D14"), cache);
        content.published_line = {{6, 1.34 * 6 * 0.97 + 0.003 * 95}, {16, 1.34 * 16 * 0.97 + 0.003 * 95}};
        content.published_label = QStringLiteral("1.34 x Hb x 0.97 + 0.003 x 95");
        figures.push_back({{QStringLiteral("anaemia.png"),
                            QStringLiteral("Resting heart rate and arterial O2 content against haemoglobin "
                                           "(model: 30 min at each value, packed cell volume scaled with it).")},
                           {hr, content}});
    }

    int status = 0;
    if (!out_dir.mkpath(QStringLiteral("figures"))) {
        say(QStringLiteral("cannot create %1/figures").arg(out_dir.path()));
        return 1;
    }
    std::vector<validation_figure> figure_list;
    for (const auto& [figure, panels] : figures) {
        const QString path = out_dir.filePath(QStringLiteral("figures/") + figure.file);
        if (!draw_chart_panels(panels).save(path, "PNG")) {
            say(QStringLiteral("cannot write %1").arg(path));
            status = 1;
        }
        figure_list.push_back(figure);
    }

    const QByteArray md = validation_markdown(rows, figure_list, discussion).toUtf8();
    const QString md_path = out_dir.filePath(QStringLiteral("validation.md"));
    QFile out(md_path);
    if (!out.open(QIODevice::WriteOnly | QIODevice::Truncate) || out.write(md) != md.size()) {
        say(QStringLiteral("cannot write %1").arg(md_path));
        return 1;
    }
    out.close();
    std::fprintf(stderr, "tolvane-validate: %zu comparisons, %zu figures written to %s\n", rows.size(),
                 figure_list.size(), out_dir.path().toUtf8().constData());

    if (!compare.isEmpty()) {
        QFile committed(compare);
        if (!committed.open(QIODevice::ReadOnly)) {
            say(QStringLiteral("cannot read %1").arg(compare));
            return 1;
        }
        const QList<QByteArray> a = committed.readAll().split('\n'), b = md.split('\n');
        for (qsizetype i = 0; i < std::max(a.size(), b.size()); ++i) {
            const QByteArray x = i < a.size() ? a[i] : QByteArray("(end of file)");
            const QByteArray y = i < b.size() ? b[i] : QByteArray("(end of file)");
            if (x != y) {
                say(QStringLiteral("%1 differs from a fresh run at line %2:\n  committed: %3\n  fresh:     %4\n"
                                   "Regenerate it with tolvane-validate validation docs and review the verdicts.")
                        .arg(compare)
                        .arg(i + 1)
                        .arg(QString::fromUtf8(x), QString::fromUtf8(y)));
                return 1;
            }
        }
    }
    return status;
}
