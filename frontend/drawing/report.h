// SPDX-License-Identifier: Apache-2.0
// The printed report: one landscape page with the title, a redrawn copy of the
// trend plot over twelve minutes from the plot's left edge, the first lines of
// the clinical notes, the passport, the eight factor rows and the eight
// display rows at the cursor. Drawn with vector operations on any QPainter
// (printer, PDF writer or image); it needs no window.
#ifndef TOLVANE_REPORT_H
#define TOLVANE_REPORT_H

#include <QString>
#include <QStringList>

#include <array>
#include <functional>

#include "catalogue_view.h"

class QPainter;

// Everything the report shows, filled by the caller from the simulator; the
// report reads it and changes nothing.
struct report_input {
    QString subject_name;  // title line; may be empty
    QString date_text;     // date and time in the platform's text form
    int sim_time = 0;      // run_state times, whole seconds
    int cursor_time = 0;
    int win_start = 0;
    std::array<int, 8> factor_rows{-1, -1, -1, -1, -1, -1, -1, -1};  // factor_sel, -1 empty
    std::array<int, 8> display_rows{};                               // display_sel
    QString clinical_notes;  // text of the clinical memo, lines ended by CR LF (or LF)
    // Value of display variable d at time t in the pressure units in force
    // (history_value at history_slot(t)). Called only with valid d.
    std::function<double(int d, int t)> display_value;
    // Catalogues in the pressure units in force; texts are code page 1252.
    const catalogue_record* factors = nullptr;
    int factor_count = 0;
    const catalogue_record* displays = nullptr;
    int display_count = 0;
    // Passport.
    catalogue_record height{};
    catalogue_record weight{};
    catalogue_record age{};
    int sex = 1;
    // A run kept for comparison, drawn as thin dashed traces and named in
    // the title; none while reference_name is empty. reference_value gives
    // display d at second t (0 .. reference_seconds - 1) in the units in force.
    QString reference_name;
    int reference_seconds = 0;
    // The run's events, one line each ("1  02:00 Inspired CO2 percentage
    // 5.00"), printed under the passport; more than fit are counted.
    QStringList event_lines;
    std::function<double(int d, int t)> reference_value;
};

// Report units per page height: one unit is the page height divided by this.
inline constexpr double report_units_per_page_height = 202.0;

// Width of the layout in report units: the last scale (x = 277) and its labels.
inline constexpr double report_layout_width_units = 286.0;

// The height in device units from which report units are taken: the page
// height for a page at least 1.4 times as wide as high (A4 landscape),
// otherwise the height of an area of the layout's proportions as wide as the
// page, so that nothing falls off a narrower page (Letter landscape, any
// portrait page); the texts then shrink in the same proportion.
int report_layout_height(int page_width, int page_height);

// Draws the one-page report on painter, whose device area is page_width by
// page_height device units with the origin at its top-left. Positions scale
// with report_layout_height; the frame goes around the whole page. The
// painter must be active and untransformed; its state is restored on return.
// input.display_value may be empty: every value then reads 0.
void draw_report(QPainter& painter, int page_width, int page_height, const report_input& input);

// The lines of the clinical notes that the report prints: none for a text
// shorter than seven characters, else its first lines, at most four. A line
// ends at CR, LF or CR LF; the line end is not part of the line.
QStringList report_clinical_lines(const QString& notes);

#endif
