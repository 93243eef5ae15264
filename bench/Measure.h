#pragma once
#include <algorithm>
#include <chrono>
#include <cstdio>
#include <functional>
#include <vector>

// The middle of repeated measurements: one batch slowed by a scheduler hiccup
// does not move it.
inline double Median(std::vector<double> values) {
    if (values.empty()) return 0;
    std::sort(values.begin(), values.end());
    size_t middle = values.size() / 2;
    return values.size() % 2 ? values[middle] : (values[middle - 1] + values[middle]) / 2;
}

// Times `calls` calls of `step` in each of `batches` batches, `prepare` running
// untimed before each batch. Prints the microseconds per call of every batch
// on a '#' line, then "<name> <median>".
inline void PrintMicrosecondsPerCall(const char* name, int batches, int calls, const std::function<void()>& prepare,
                                     const std::function<void()>& step) {
    std::vector<double> perCall;
    std::printf("# %s, per batch:", name);
    for (int batch = 0; batch < batches; ++batch) {
        prepare();
        auto start = std::chrono::steady_clock::now();
        for (int i = 0; i < calls; ++i) step();
        std::chrono::duration<double, std::micro> spent = std::chrono::steady_clock::now() - start;
        perCall.push_back(spent.count() / calls);
        std::printf(" %.2f", perCall.back());
    }
    std::printf("\n%s %.2f\n", name, Median(perCall));
    std::fflush(stdout);
}
