// A console reporter that keeps each benchmark's time and closes the run with the ratios that
// matter, each beside its limit: "ratio 1.42 (limit 1.5)". Real and CPU time are both given; on a
// machine that others share, the CPU figures are the steadier ones.
#pragma once

#include <benchmark/benchmark.h>

#include <algorithm>
#include <cstdio>
#include <map>
#include <string>
#include <vector>

namespace tallyward::bench {

class RatioSummary : public benchmark::ConsoleReporter {
 public:
  struct Line {
    std::string what, numerator, denominator;
    double limit;
  };

  explicit RatioSummary(std::vector<Line> lines) : lines_(std::move(lines)) {}

  void ReportRuns(const std::vector<Run>& runs) override {
    for (const Run& r : runs) {
      if (r.run_type != Run::RT_Iteration || r.error_occurred) continue;
      const Times t{r.GetAdjustedRealTime(), r.GetAdjustedCPUTime()};
      auto [it, added] = times_.emplace(r.benchmark_name(), t);
      if (!added) it->second = {std::min(it->second.real, t.real), std::min(it->second.cpu, t.cpu)};
    }
    ConsoleReporter::ReportRuns(runs);
  }

  // The ratio lines whose two benchmarks ran; false when one of them is over its limit.
  bool print() const {
    bool within = true;
    std::printf("\nRatios (real | CPU time):\n");
    for (const Line& l : lines_) {
      const auto a = times_.find(l.numerator), b = times_.find(l.denominator);
      if (a == times_.end() || b == times_.end()) continue;
      const double real = a->second.real / b->second.real, cpu = a->second.cpu / b->second.cpu;
      within = within && cpu <= l.limit;
      std::printf("  %-62s ratio %.2f | %.2f (limit %.1f)%s\n", l.what.c_str(), real, cpu, l.limit,
                  cpu <= l.limit ? "" : "  OVER");
    }
    return within;
  }

 private:
  struct Times {
    double real, cpu;
  };
  std::vector<Line> lines_;
  std::map<std::string, Times> times_;
};

// Runs the benchmarks given on the command line and prints the summary.
inline int runWithSummary(int argc, char** argv, std::vector<RatioSummary::Line> lines) {
  benchmark::Initialize(&argc, argv);
  if (benchmark::ReportUnrecognizedArguments(argc, argv)) return 1;
  RatioSummary reporter(std::move(lines));
  benchmark::RunSpecifiedBenchmarks(&reporter);
  reporter.print();
  benchmark::Shutdown();
  return 0;
}

}  // namespace tallyward::bench
