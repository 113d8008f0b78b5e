// One statistics update and one paragraph auto-save on a 10 MiB GBK document, beside a memchr-based
// CR LF count of the same text in the same run: the floor for any pass over the text.
//
//   document_bench [Google Benchmark flags]

#include <benchmark/benchmark.h>

#include <cstdlib>
#include <cstring>
#include <string>

#include "crypto/data_cipher.h"
#include "document/auto_save.h"
#include "document/statistics.h"
#include "rate_reporter.h"
#include "runtime/files.h"

namespace {

constexpr std::size_t kDocumentBytes = std::size_t{10} << 20;

// Mixed Chinese, ASCII, blank lines and full-width spaces, as a serialised novel has them.
const std::string& Document() {
    static const std::string document = [] {
        const char* const pieces[] = {
            "　　他抬头望向远处的群山，", "云雾缭绕。",       "\"Chapter 12\" ", "\r\n", "\r\n", "第十二章 归途", "  ",
            "，她笑了笑，没有说话。",     "ok, 2026-12-08. ", "\r\n　　"};
        std::string text;
        unsigned seed = 1795;
        while (text.size() < kDocumentBytes) {
            seed = seed * 1103515245u + 12345u;
            text += pieces[(seed >> 16) % std::size(pieces)];
        }
        return text;
    }();
    return document;
}

std::size_t MemchrLineBreaks(const std::string& text) {
    std::size_t count = 0;
    const char* at = text.data();
    const char* const end = text.data() + text.size();
    while (const void* found = std::memchr(at, '\n', static_cast<std::size_t>(end - at))) {
        const char* lf = static_cast<const char*>(found);
        if (lf > text.data() && lf[-1] == '\r') {
            ++count;
        }
        at = lf + 1;
    }
    return count;
}

void MemchrCrLfCount(benchmark::State& state) {
    const std::string& text = Document();
    for (auto _ : state) {
        benchmark::DoNotOptimize(MemchrLineBreaks(text));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void StatisticsUpdate(benchmark::State& state) {
    const std::string& text = Document();
    for (auto _ : state) {
        const yz::TextStatistics statistics = yz::CountText(text);
        benchmark::DoNotOptimize(yz::StatisticsTail(statistics, 120));
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
}

void ParagraphAutoSave(benchmark::State& state) {
    const std::string& text = Document();
    char directory_template[] = "/tmp/yz-bench-XXXXXX";
    const char* directory = mkdtemp(directory_template);
    if (directory == nullptr) {
        state.SkipWithError("no temporary directory");
        return;
    }
    const std::string path = std::string(directory) + "/autosave";
    for (auto _ : state) {
        const yz::Bytes encrypted = yz::EncryptData(text, yz::kAutoSaveKey, yz::CipherAlgorithm::kStream);
        if (!yz::WriteFileBytes(path, {encrypted})) {
            state.SkipWithError("write failed");
            break;
        }
    }
    state.SetBytesProcessed(static_cast<std::int64_t>(state.iterations() * text.size()));
    std::remove(path.c_str());
    std::remove(directory);
}

BENCHMARK(MemchrCrLfCount)->Unit(benchmark::kMillisecond);
BENCHMARK(StatisticsUpdate)->Unit(benchmark::kMillisecond);
BENCHMARK(ParagraphAutoSave)->Unit(benchmark::kMillisecond);

}  // namespace

int main(int argc, char** argv) {
    // The goal: a statistics update within 3x the memchr count, i.e. a ratio of at least 0.33.
    return RunBenchmarks(argc, argv,
                         {{"Statistics", "StatisticsUpdate", "MemchrCrLfCount", "memchr CR LF count"},
                          {"Auto-save", "ParagraphAutoSave", "MemchrCrLfCount", "memchr CR LF count"}});
}
