// The whole path of `orvane-batch analyze` in process (read, convert, analyse, results text)
// and the analysis alone, on the 5,000-point tests of bench/data: a typical test of each
// system type and the worst cases of the breakthrough searches.

#include "analysis.h"
#include "analyze_command.h"
#include "experiment_record.h"
#include "import_sequence.h"
#include "results_text.h"
#include "settings_file.h"
#include "settings_file_entries.h"

#include <benchmark/benchmark.h>
#include <memory>
#include <sstream>
#include <string>
#include <vector>

namespace {

const std::string DataFolder = ORVANE_SOURCE_DIR "/bench/data/";

const std::vector<std::string> Tests {
    "typical_closed_loop_continuous",
    "typical_closed_loop_discrete_removed",
    "typical_closed_loop_discrete_replaced",
    "typical_open_loop_constant",
    "typical_open_loop_variable",
    "worst_closed_loop_slow_rise",
    "worst_open_loop_late_rise",
    "worst_closed_loop_noise",
};

void WholeAnalyze(benchmark::State &state, const std::string &test)
{
    const std::vector<std::string> arguments {
        DataFolder + test + ".xls", "--settings", DataFolder + test + ".ini"};
    for (auto _ : state) {
        std::ostringstream out;
        std::ostringstream err;
        if (RunAnalyze(arguments, out, err) != 0) {
            state.SkipWithError(err.str().c_str());
            return;
        }
        benchmark::DoNotOptimize(out.str().size());
    }
}

class SilentMessages : public MessageSink
{
public:
    void Show(const std::string &, const std::string &) override { }
};

// Imported once; each iteration analyses the same points again, as Modify Settings does.
void AnalysisOnly(benchmark::State &state, const std::string &test)
{
    const auto settings = SettingsFile::Read(DataFolder + test + ".ini");
    if (!std::holds_alternative<SettingsFile>(settings)) {
        state.SkipWithError("cannot read the settings");
        return;
    }
    SilentMessages messages;
    SettingsFileEntries entries(std::get<SettingsFile>(settings), messages);
    ResultsTextCollector results;
    auto record = std::make_unique<ExperimentRecord>();
    if (ImportWorkbook(*record, DataFolder + test + ".xls", test, "1/1/2024", entries, messages, results)
        != ImportOutcome::Analysed) {
        state.SkipWithError("cannot import the test");
        return;
    }
    for (auto _ : state) {
        RunAnalysis(*record, results);
        benchmark::DoNotOptimize(results.Text().size());
    }
}

const bool Registered = [] {
    for (const std::string &test : Tests) {
        benchmark::RegisterBenchmark(("Analyze/" + test).c_str(), WholeAnalyze, test)
            ->Unit(benchmark::kMillisecond);
        benchmark::RegisterBenchmark(("AnalysisOnly/" + test).c_str(), AnalysisOnly, test)
            ->Unit(benchmark::kMillisecond);
    }
    return true;
}();

} // namespace

BENCHMARK_MAIN();
