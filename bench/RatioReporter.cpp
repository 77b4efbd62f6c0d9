#include "bench/RatioReporter.h"

#include <algorithm>
#include <cstdio>

namespace vaultry::bench {
namespace {

double Median(std::vector<double> times) {
    std::sort(times.begin(), times.end());
    const std::size_t middle = times.size() / 2;
    return times.size() % 2 ? times[middle] : (times[middle - 1] + times[middle]) / 2;
}

}  // namespace

// With --benchmark_report_aggregates_only the repetitions never reach a reporter, only their
// statistics do; the median among them stands in for the repetitions' own.
void RatioReporter::ReportRuns(const std::vector<Run>& runs) {
    for (const Run& run : runs) {
        const bool repetition = run.run_type == Run::RT_Iteration;
        const bool median = run.run_type == Run::RT_Aggregate && run.aggregate_name == "median";
        if ((repetition || median) && run.iterations > 0) {
            const std::string& args = run.run_name.args;
            auto& times = (repetition ? m_timePerIteration
                                      : m_reportedMedians)[run.run_name.function_name +
                                                           (args.empty() ? "" : "/" + args)];
            times.push_back(run.real_accumulated_time * 1e9 / static_cast<double>(run.iterations));
        }
    }
    ConsoleReporter::ReportRuns(runs);
}

void RatioReporter::Finalize() {
    ConsoleReporter::Finalize();
    std::printf("\n%-44s %12s %12s %8s %8s\n", "ours against raw SQLite", "ours", "raw", "ratio",
                "target");
    for (const auto& [name, times] : m_reportedMedians) {
        m_timePerIteration.emplace(name, times);  // only where no repetition was reported
    }
    for (const Comparison& c : m_comparisons) {
        const auto ours = m_timePerIteration.find(c.ours);
        const auto raw = m_timePerIteration.find(c.raw);
        if (ours == m_timePerIteration.end() || raw == m_timePerIteration.end()) {
            continue;
        }
        const double oursTime = Median(ours->second);
        const double rawTime = Median(raw->second);
        const double ratio = oursTime / rawTime;
        if (c.target <= 0) {
            std::printf("%-44s %10.0fns %10.0fns %7.2fx %8s (against %s)\n", c.ours.c_str(),
                        oursTime, rawTime, ratio, "", c.raw.c_str());
            continue;
        }
        std::printf("%-44s %10.0fns %10.0fns %7.2fx %7.2fx %s (against %s)\n", c.ours.c_str(),
                    oursTime, rawTime, ratio, c.target, ratio <= c.target ? "met" : "MISSED",
                    c.raw.c_str());
    }
}

}  // namespace vaultry::bench
