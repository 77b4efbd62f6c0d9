#pragma once
// A console reporter that, after the usual table, prints how each of our benchmarks compares
// with its raw SQLite counterpart of the same name: "Insert/Dao" against "Insert/Raw".

#include <benchmark/benchmark.h>

#include <map>
#include <string>
#include <utility>
#include <vector>

namespace vaultry::bench {

class RatioReporter : public benchmark::ConsoleReporter {
public:
    // Each pair names our benchmark and the raw one to compare it with, and a target: the
    // largest acceptable time ratio (ours over raw), or 0 for a ratio shown only to explain
    // another. With arguments, a benchmark is named "Name/arg".
    struct Comparison {
        std::string ours;
        std::string raw;
        double target;
    };
    explicit RatioReporter(std::vector<Comparison> comparisons)
        : m_comparisons(std::move(comparisons)) {}

    void ReportRuns(const std::vector<Run>& runs) override;
    void Finalize() override;

private:
    std::vector<Comparison> m_comparisons;
    // Nanoseconds per iteration of each run; with --benchmark_repetitions a benchmark has
    // several, and the ratio takes the median of each side, which a noisy machine moves least.
    std::map<std::string, std::vector<double>> m_timePerIteration;
    // The same from the "median" statistic of each benchmark's repetitions.
    std::map<std::string, std::vector<double>> m_reportedMedians;
};

}  // namespace vaultry::bench
