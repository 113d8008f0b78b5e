#pragma once

// A console reporter that also keeps the best bytes per second of every benchmark (the best of the
// repetitions, when --benchmark_repetitions asks for several), so a program can print how its
// code compares with a reference measured in the same run.

#include <benchmark/benchmark.h>

#include <initializer_list>
#include <map>
#include <string>

class RateReporter : public benchmark::ConsoleReporter {
  public:
    RateReporter();
    void ReportRuns(const std::vector<Run>& runs) override;
    double Rate(const std::string& name) const;

  private:
    std::map<std::string, double> rates_;
};

struct RatioLine {
    const char* label;
    const char* ours;  // benchmark function names
    const char* reference;
    const char* reference_label;
};

// Runs the benchmarks the flags select, then prints for each line both rates and
// "<label> ratio: ours / reference" (nothing for a line whose benchmarks were filtered out).
int RunBenchmarks(int argc, char** argv, std::initializer_list<RatioLine> ratios);
