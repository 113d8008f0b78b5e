#include "rate_reporter.h"

#include <unistd.h>

#include <algorithm>
#include <cstdio>

// Colours only on a terminal, so that redirected output stays plain text.
RateReporter::RateReporter() : ConsoleReporter(isatty(fileno(stdout)) ? OO_ColorTabular : OO_Tabular) {}

void RateReporter::ReportRuns(const std::vector<Run>& runs) {
    ConsoleReporter::ReportRuns(runs);
    for (const Run& run : runs) {
        if (run.run_type != Run::RT_Iteration || run.error_occurred) {
            continue;
        }
        const auto found = run.counters.find("bytes_per_second");
        if (found != run.counters.end()) {
            double& best = rates_[run.run_name.function_name];
            best = std::max(best, static_cast<double>(found->second));
        }
    }
}

double RateReporter::Rate(const std::string& name) const {
    const auto found = rates_.find(name);
    return found == rates_.end() ? 0.0 : found->second;
}

int RunBenchmarks(int argc, char** argv, std::initializer_list<RatioLine> ratios) {
    benchmark::Initialize(&argc, argv);
    if (benchmark::ReportUnrecognizedArguments(argc, argv)) {
        return 1;
    }
    RateReporter reporter;
    benchmark::RunSpecifiedBenchmarks(&reporter);
    benchmark::Shutdown();
    std::fflush(stdout);
    for (const RatioLine& line : ratios) {
        const double our_rate = reporter.Rate(line.ours);
        const double reference_rate = reporter.Rate(line.reference);
        if (our_rate <= 0 || reference_rate <= 0) {
            continue;
        }
        std::printf("%s: ours %.1f MB/s, %s %.1f MB/s\n", line.label, our_rate / 1e6, line.reference_label,
                    reference_rate / 1e6);
        std::printf("%s ratio: %.2f\n", line.label, our_rate / reference_rate);
    }
    return 0;
}
