// SPDX-License-Identifier: Apache-2.0
// Where the trend plot lies in the main window's client area, in window
// pixels: one home for the plot, the mouse handling, the picture export and
// the report. Two different lower edges: the scales end at scale_bottom_y,
// while a click counts as within the plot down to the plot area's edge.
#ifndef TOLVANE_PLOT_GEOMETRY_H
#define TOLVANE_PLOT_GEOMETRY_H

inline constexpr int plot_time_origin_x = 160;  // x of window offset 0
inline constexpr int scale_top_y = 20;          // y of a scale's maximum
inline constexpr int scale_bottom_y = 353;      // y of a scale's minimum
inline constexpr int plot_area_height = 383;    // the plot area's height from the top

// The band of y in which a left click places the cursor: strictly between
// its top and bottom (so 21..382).
inline constexpr int click_band_top_y = scale_top_y;
inline constexpr int click_band_bottom_y = plot_area_height;

#endif
