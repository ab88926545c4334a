// Time to compose the 32 statement lists of one export cycle, without a
// database: the cost the program itself adds to a cycle. RUTAS runs its
// preparatory statements directly; here they go to no connection and fail at
// once, which costs next to nothing.
#include <benchmark/benchmark.h>

#include "config/trace.h"
#include "export/sequencer.h"
#include "ui/platform.h"

namespace {

class SilentPlatform : public ui::Platform {
 public:
  void Message(ui::MessageKind, const std::string&, const std::string&) override {}
  bool Ask(const std::string&, const std::string&) override { return false; }
  void WaitPointer(bool) override {}
  [[noreturn]] void EndProgram(int) override { std::abort(); }
};

exporter::ExportSettings Settings() {
  return {"VELMORA", exporter::CollationClause("Modern_Spanish_CI_AS"), "01", "001", "B01",
          "TABPP01P"};
}

void BM_ComposeAllBatches(benchmark::State& state) {
  SilentPlatform platform;
  config::MonitorTrace trace("/tmp");
  db::Session session(platform, trace);
  const exporter::ExportSettings settings = Settings();
  size_t statements = 0, bytes = 0;
  for (auto _ : state) {
    statements = bytes = 0;
    for (const auto& step : exporter::ExportSteps()) {
      const exporter::StatementList list = step.compose(session, settings);
      statements += list.size();
      for (const auto& text : list) bytes += text.size();
      benchmark::DoNotOptimize(list.data());
    }
  }
  state.counters["statements"] = static_cast<double>(statements);
  state.counters["bytes"] = static_cast<double>(bytes);
}
BENCHMARK(BM_ComposeAllBatches)->Unit(benchmark::kMicrosecond);

}  // namespace

BENCHMARK_MAIN();
