// SPDX-License-Identifier: Apache-2.0
#include "validation_sweeps.h"

#include <QRegularExpression>
#include <cmath>
#include <map>

std::vector<double> sweep_figure::xs() const
{
    std::vector<double> out;
    const int n = static_cast<int>(std::floor((to - from) / step + 1e-9));
    for (int i = 0; i <= n; ++i) out.push_back(from + i * step);
    return out;
}

namespace {

// Ascent to barometric pressure pb by step mm Hg a minute from 760, then
// hold minutes there, as the altitude cases of the table ascend.
QString ascent_script(double pb, int step, int hold)
{
    QString text;
    double p = 760;
    int minute = 0;
    while (p - step > pb) {
        p -= step;
        text += QStringLiteral("at %1:00 set barometric_pressure %2\n").arg(minute++).arg(p);
    }
    text += QStringLiteral("at %1:00 set barometric_pressure %2\n").arg(minute).arg(pb);
    text += QStringLiteral("run until %1:00\n").arg(minute + hold);
    return text;
}

// A script line with its placeholders replaced for x.
QString fill_placeholders(QString line, double x)
{
    static const QRegularExpression scaled(QStringLiteral(R"(\{x\*([0-9.]+)/([0-9.]+) %\.(\d)f\})"));
    QRegularExpressionMatch m;
    while ((m = scaled.match(line)).hasMatch()) {
        const double value = x * m.captured(1).toDouble() / m.captured(2).toDouble();
        line.replace(m.capturedStart(), m.capturedLength(),
                     QString::number(value, 'f', m.captured(3).toInt()));
    }
    return line.replace(QStringLiteral("{x}"), QStringLiteral("%1").arg(x));
}

published_point point_with_sd(double x, double y, double sd) { return {x, y, y - sd, y + sd}; }

}  // namespace

QString sweep_figure::script(double x) const
{
    if (script_lines.isEmpty()) return ascent_script(x, ascent_step, ascent_hold);
    QString text;
    for (const QString& line : script_lines) text += fill_placeholders(line, x) + QLatin1Char('\n');
    return text;
}

sweep_figures parse_sweep_figures(const QString& text, const QString& name)
{
    sweep_figures out;
    const QStringList lines = text.split(QLatin1Char('\n'));
    for (qsizetype n = 0; n < lines.size(); ++n) {
        QString line = lines[n];
        if (line.endsWith(QLatin1Char('\r'))) line.chop(1);
        if (line.trimmed().isEmpty() || line.startsWith(QLatin1Char('#'))) continue;
        const QStringList f = line.split(QLatin1Char('\t'));
        const QString& key = f[0];
        auto fail = [&](const QString& what) {
            out.figures.clear();
            out.status = table_result::failure(
                table_status::bad_text,
                QStringLiteral("%1:%2: %3").arg(name).arg(n + 1).arg(what).toStdString());
            return out;
        };
        // The numbers after the key, between count_min and count_max of them.
        std::vector<double> v;
        auto numbers = [&](qsizetype count_min, qsizetype count_max) {
            v.clear();
            if (f.size() - 1 < count_min || f.size() - 1 > count_max) return false;
            for (qsizetype i = 1; i < f.size(); ++i) {
                bool ok = false;
                v.push_back(f[i].toDouble(&ok));
                if (!ok) return false;
            }
            return true;
        };
        const QString value = f.size() > 1 ? f.mid(1).join(QLatin1Char('\t')) : QString();
        if (key == QLatin1String("figure")) {
            out.figures.emplace_back();
            out.figures.back().figure.file = value;
            continue;
        }
        if (out.figures.empty()) return fail(QStringLiteral("\"%1\" before the first figure").arg(key));
        sweep_figure& fig = out.figures.back();
        if (key == QLatin1String("caption")) {
            fig.figure.caption = value;
        } else if (key == QLatin1String("sweep")) {
            if (!numbers(3, 3) || v[2] <= 0) return fail(QStringLiteral("sweep needs FROM TO STEP"));
            fig.from = v[0], fig.to = v[1], fig.step = v[2];
        } else if (key == QLatin1String("script")) {
            fig.script_lines.push_back(value);
        } else if (key == QLatin1String("ascent")) {
            if (!numbers(2, 2) || v[0] <= 0) return fail(QStringLiteral("ascent needs STEP HOLD"));
            fig.ascent_step = static_cast<int>(v[0]), fig.ascent_hold = static_cast<int>(v[1]);
        } else if (key == QLatin1String("panel")) {
            fig.panels.emplace_back();
        } else {
            if (fig.panels.empty()) return fail(QStringLiteral("\"%1\" before the first panel").arg(key));
            sweep_panel& panel = fig.panels.back();
            chart_panel& c = panel.chart;
            if (key == QLatin1String("title"))
                c.title = value;
            else if (key == QLatin1String("x_label"))
                c.x_label = value;
            else if (key == QLatin1String("y_label"))
                c.y_label = value;
            else if (key == QLatin1String("measure"))
                panel.measure = value;
            else if (key == QLatin1String("published_label"))
                c.published_label = value;
            else if (key == QLatin1String("x_reversed"))
                c.x_reversed = true;
            else if (key == QLatin1String("legend_right"))
                c.legend_right = true;
            else if (key == QLatin1String("legend_bottom"))
                c.legend_bottom = true;
            else if (key == QLatin1String("x_range") || key == QLatin1String("y_range")) {
                if (!numbers(2, 2)) return fail(QStringLiteral("%1 needs MIN MAX").arg(key));
                (key == QLatin1String("x_range") ? c.x_min : c.y_min) = v[0];
                (key == QLatin1String("x_range") ? c.x_max : c.y_max) = v[1];
            } else if (key == QLatin1String("point")) {
                if (!numbers(2, 3)) return fail(QStringLiteral("point needs X Y [SD]"));
                c.points.push_back(point_with_sd(v[0], v[1], v.size() > 2 ? v[2] : 0));
            } else if (key == QLatin1String("range")) {
                if (!numbers(4, 4)) return fail(QStringLiteral("range needs X LOW HIGH HALF_WIDTH"));
                c.ranges.push_back({v[0], v[1], v[2], v[3]});
            } else if (key == QLatin1String("line")) {
                if (!numbers(4, 4)) return fail(QStringLiteral("line needs X1 Y1 X2 Y2"));
                c.published_line = {{v[0], v[1]}, {v[2], v[3]}};
            } else {
                return fail(QStringLiteral("unknown key \"%1\"").arg(key));
            }
        }
    }
    for (const sweep_figure& fig : out.figures)
        if (fig.panels.empty() || (fig.script_lines.isEmpty() && fig.ascent_step <= 0)) {
            out.status = table_result::failure(table_status::bad_text,
                                               QStringLiteral("%1: figure %2 needs a script and a panel")
                                                   .arg(name, fig.figure.file)
                                                   .toStdString());
            out.figures.clear();
            break;
        }
    return out;
}

sweep_figures read_sweep_figures(const QString& path) { return read_table_file(path, parse_sweep_figures); }

std::vector<std::pair<validation_figure, std::vector<chart_panel>>> run_sweeps(
    validation_runner& runner, const std::vector<sweep_figure>& figures)
{
    std::vector<std::pair<validation_figure, std::vector<chart_panel>>> out;
    for (const sweep_figure& fig : figures) {
        // The panels of a figure share its runs.
        std::map<double, validation_run> cache;
        std::vector<chart_panel> panels;
        for (const sweep_panel& panel : fig.panels) {
            chart_panel chart = panel.chart;
            for (double x : fig.xs()) {
                auto found = cache.find(x);
                if (found == cache.end())
                    found = cache.emplace(x, runner.run_text(fig.script(x), QStringLiteral("sweep"))).first;
                chart.model.emplace_back(
                    x, validation_runner::simple_measure(found->second, panel.measure).value);
            }
            panels.push_back(std::move(chart));
        }
        out.push_back({fig.figure, std::move(panels)});
    }
    return out;
}
