// SPDX-License-Identifier: Apache-2.0
// Numerical helpers of the model: the first-order lag and the table lookup.
#include "model_internal.h"

float damp(float target, float old, float w)
{
    // Weights outside 0..120 are clamped: a stopped flow passes 120.
    double weight = w;
    if (weight < 0) {
        weight = 0;
    } else if (weight > 120) {
        weight = 120;
    }
    return static_cast<float>(target / (weight + 1) + old * weight / (weight + 1));
}

float interpolate(float x, const table_point* table, int n)
{
    if (x <= table[0].x) {
        return table[0].y;
    }
    if (x >= table[n - 1].x) {
        return table[n - 1].y;
    }
    // First point strictly above x: a repeated x never gives a zero span here.
    int i = 1;
    while (i < n - 1 && !(table[i].x > x)) {
        ++i;
    }
    const table_point& lo = table[i - 1];
    const table_point& hi = table[i];
    return static_cast<float>(lo.y + (static_cast<double>(hi.y) - lo.y) / (static_cast<double>(hi.x) - lo.x) *
                                         (static_cast<double>(x) - lo.x));
}
