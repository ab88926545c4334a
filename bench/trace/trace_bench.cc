// The cost of one trace entry must not grow with the file: an entry is
// appended in place over the end mark. Compares an entry into an empty file
// with an entry into a file of 590 KB (the ratio should stay at or below 2).
#include <benchmark/benchmark.h>
#include <unistd.h>

#include <cstdlib>
#include <filesystem>
#include <fstream>
#include <string>

#include "config/trace.h"

namespace {

namespace fs = std::filesystem;

// A fresh directory under the system temporary folder, removed at the end.
class TempDir {
 public:
  TempDir() {
    std::string pattern = (fs::temp_directory_path() / "trace_bench.XXXXXX").string();
    if (::mkdtemp(pattern.data()) == nullptr) std::abort();
    path_ = pattern;
  }
  ~TempDir() {
    std::error_code ignored;
    fs::remove_all(path_, ignored);
  }
  const fs::path& path() const { return path_; }

 private:
  fs::path path_;
};

// A typical traced statement.
const std::string kStatement =
    "SELECT CODIGO, DESCRIPCION, PRECIO FROM ARTICULOS WITH (NOLOCK) "
    "WHERE EMPRESA = '01' AND MODALIDAD = 'NORMA'";

// Prepares monitoreo_001.TXT with `content` bytes plus the end mark, then
// times one entry per iteration, cutting the file back to its prepared size
// outside the timing so that it never reaches the limit.
void RunEntries(benchmark::State& state, size_t content) {
  TempDir dir;
  config::MonitorTrace trace(dir.path(), [] { return 100.0; });
  const fs::path file = trace.FileName(1);
  {
    std::ofstream out(file, std::ios::binary);
    out << std::string(content, 'x') << '\x1A';
  }
  const auto prepared = fs::file_size(file);
  int entries = 0;
  for (auto _ : state) {
    trace.ESCRIBETXT(kStatement, 1);
    if (++entries == 32) {
      state.PauseTiming();
      fs::resize_file(file, prepared - 1);
      std::ofstream(file, std::ios::binary | std::ios::app) << '\x1A';
      entries = 0;
      state.ResumeTiming();
    }
  }
  if (trace.current_number() != 1) state.SkipWithError("rolled over to another file");
}

void BM_TraceEntryEmptyFile(benchmark::State& state) { RunEntries(state, 0); }
void BM_TraceEntryFile590KB(benchmark::State& state) { RunEntries(state, 590000); }

BENCHMARK(BM_TraceEntryEmptyFile);
BENCHMARK(BM_TraceEntryFile590KB);

}  // namespace

BENCHMARK_MAIN();
