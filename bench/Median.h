// SPDX-License-Identifier: GPL-3.0-or-later
#pragma once
// The middle of a few timed runs: one run disturbed by the rest of the machine does not move it.
#include <algorithm>
#include <vector>

inline double Median(std::vector<double> v) {
    std::sort(v.begin(), v.end());
    return v[v.size() / 2];
}
