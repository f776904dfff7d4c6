// Timing helpers shared by the C++ benchmarks: time per call over a batch, medians.
#pragma once

#include <algorithm>
#include <chrono>
#include <vector>

namespace nativescope_bench {

// Microseconds per call of `body`, run `calls` times in a row.
template <typename Body>
double MicrosPerCall(int calls, Body&& body) {
    const auto start = std::chrono::steady_clock::now();
    for (int i = 0; i < calls; ++i) body();
    return std::chrono::duration<double, std::micro>(std::chrono::steady_clock::now() - start).count() / calls;
}

inline double Median(std::vector<double> values) {
    std::sort(values.begin(), values.end());
    return values[values.size() / 2];
}

}  // namespace nativescope_bench
