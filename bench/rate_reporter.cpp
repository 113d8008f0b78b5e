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

void PrintRatio(const RateReporter& reporter, const char* label, const char* ours, const char* reference,
                const char* reference_label) {
    const double our_rate = reporter.Rate(ours);
    const double reference_rate = reporter.Rate(reference);
    if (our_rate <= 0 || reference_rate <= 0) {
        return;
    }
    std::fflush(stdout);
    std::printf("%s: ours %.1f MB/s, %s %.1f MB/s\n", label, our_rate / 1e6, reference_label, reference_rate / 1e6);
    std::printf("%s ratio: %.2f\n", label, our_rate / reference_rate);
}
