// The monitoring trace: a T-SQL script of what the service sends, in numbered
// files monitoreo_001.TXT, monitoreo_002.TXT... of bounded size. Each entry is
// the text, CR LF, "go" CR LF, "-- " + seconds since midnight (two decimals)
// CR LF; the file ends with one 0x1A byte. Writers check LMONITOREO themselves.
#pragma once

#include <cstdint>
#include <filesystem>
#include <functional>
#include <string>

namespace config {

inline constexpr int64_t kTraceDefaultLimit = 600000;

class MonitorTrace {
 public:
  // Seconds since local midnight, with hundredths.
  using Clock = std::function<double()>;

  // `directory` is where the numbered files go (the working directory in
  // production, a test's own folder in tests). `clock` gives the time of the
  // trailer; the local clock when empty.
  explicit MonitorTrace(std::filesystem::path directory = ".", Clock clock = {});

  // Appends one entry. `nStart` is the file number used by the first entry of
  // the process; later entries only move to higher numbers. The size test
  // compares existing content plus the entry's text with `nLimit`. The entry
  // is appended in place (over the end mark), so its cost does not grow with
  // the file; the bytes are those of rewriting the file whole.
  // The text is written in Windows-1252 (a character without a Windows-1252
  // form becomes "?"); its length for the size test is that of those bytes.
  // Failures are silent: the entry is lost and the caller goes on.
  void ESCRIBETXT(const std::string& cText, int nStart = 1,
                  int64_t nLimit = kTraceDefaultLimit, bool lNoTrailer = false);

  // The current file number, 0 before the first entry.
  int current_number() const { return current_; }
  std::filesystem::path FileName(int number) const;

 private:
  std::filesystem::path directory_;
  Clock clock_;
  int current_ = 0;
};

// The local clock as the trailer uses it: seconds since midnight, in whole
// hundredths.
double SecondsSinceMidnight();

// Seconds with two decimals and no blanks, whatever the locale: 100 -> "100.00".
std::string FormatSeconds(double seconds);

}  // namespace config
