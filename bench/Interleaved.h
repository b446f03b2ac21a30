#pragma once
// Runs a measured operation and its baseline alternately in the same run, so
// both see the same load on a shared machine, and reports their ratio.

#include <benchmark/benchmark.h>

#include <algorithm>
#include <chrono>
#include <cstdio>
#include <fstream>
#include <string>
#include <time.h>
#include <vector>

namespace bench {

template <typename F> double secondsOf(F &&f)
{
    const auto start = std::chrono::steady_clock::now();
    f();
    return std::chrono::duration<double>(std::chrono::steady_clock::now() - start).count();
}

inline double median(std::vector<double> v)
{
    if (v.empty())
        return 0;
    std::sort(v.begin(), v.end());
    const std::size_t mid = v.size() / 2;
    return v.size() % 2 ? v[mid] : (v[mid - 1] + v[mid]) / 2;
}

// Processor time of this process so far, user and system, in seconds.
inline double processorSeconds()
{
    timespec now {};
    ::clock_gettime(CLOCK_PROCESS_CPUTIME_ID, &now);
    return double(now.tv_sec) + double(now.tv_nsec) * 1e-9;
}

struct Took {
    double wall = 0;
    double cpu = 0;
};

template <typename F> Took timesOf(F &&f)
{
    const double cpu = processorSeconds();
    const double wall = secondsOf(f);
    return { wall, processorSeconds() - cpu };
}

// The reported time is the target's (use UseManualTime); the counters give the
// medians of both sides and the median of the ratios of neighbouring runs, in
// wall time (ratio) and in processor time (cpu_ratio), which a busy machine
// disturbs less. The order alternates so neither side always runs on a warm cache.
template <typename Target, typename Baseline>
void interleaved(benchmark::State &state, Target &&target, Baseline &&baseline)
{
    std::vector<double> t, b, ratios, cpuRatios;
    bool baselineFirst = true;
    for (auto _ : state) {
        Took base {};
        if (baselineFirst)
            base = timesOf(baseline);
        const Took took = timesOf(target);
        if (!baselineFirst)
            base = timesOf(baseline);
        t.push_back(took.wall);
        b.push_back(base.wall);
        if (base.wall > 0)
            ratios.push_back(took.wall / base.wall);
        if (base.cpu > 0)
            cpuRatios.push_back(took.cpu / base.cpu);
        baselineFirst = !baselineFirst;
        state.SetIterationTime(took.wall);
    }
    state.counters["target_ms"] = median(t) * 1e3;
    state.counters["baseline_ms"] = median(b) * 1e3;
    state.counters["ratio"] = median(ratios);
    state.counters["cpu_ratio"] = median(cpuRatios);
}

// Resident memory from /proc/self/status, in bytes ("VmRSS", "VmHWM").
inline double statusBytes(const char *field)
{
    std::ifstream status("/proc/self/status");
    std::string line;
    const std::string key = std::string(field) + ":";
    while (std::getline(status, line))
        if (line.rfind(key, 0) == 0)
            return std::stod(line.substr(key.size())) * 1024;
    return 0;
}

// Starts a new peak: the kernel's high-water mark drops to the current size.
inline void resetPeak()
{
    if (std::FILE *f = std::fopen("/proc/self/clear_refs", "w")) {
        std::fputs("5", f);
        std::fclose(f);
    }
}

// The most memory f held at once beyond what was resident before it, in bytes.
template <typename F> double peakGrowthOf(F &&f)
{
    resetPeak();
    const double before = statusBytes("VmRSS");
    f();
    return statusBytes("VmHWM") - before;
}

} // namespace bench
