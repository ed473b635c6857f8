// The console reporter of the benchmarks, keeping the time per iteration of every run (by the
// function's name, "BM_PickScan/iterations:5" under "BM_PickScan") for the ratios printed after.
#pragma once

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <vector>

namespace zel::bench {

class SecondsReporter : public benchmark::ConsoleReporter {
public:
    void ReportRuns(const std::vector<Run>& runs) override {
        for (const Run& r : runs)
            seconds[r.benchmark_name().substr(0, r.benchmark_name().find('/'))] =
                r.GetAdjustedRealTime() / benchmark::GetTimeUnitMultiplier(r.time_unit);
        ConsoleReporter::ReportRuns(runs);
    }
    std::map<std::string, double> seconds;
};

} // namespace zel::bench
