#include "config/trace.h"

#include <gtest/gtest.h>

#include <vector>

#include "temp_dir.h"

namespace config {
namespace {

using configtest::ReadFile;
using configtest::TempDir;
using configtest::WriteFile;

// The bytes of one entry with the trailer at `seconds`.
std::string Entry(const std::string& text, const std::string& seconds) {
  return text + "\r\ngo\r\n-- " + seconds + "\r\n";
}

class TraceTest : public ::testing::Test {
 protected:
  // A trace whose clock reads the given times one after the other.
  MonitorTrace Trace(std::vector<double> times = {100.0}) {
    auto next = std::make_shared<size_t>(0);
    return MonitorTrace(dir_.path(), [times, next] {
      const double now = times[std::min(*next, times.size() - 1)];
      ++*next;
      return now;
    });
  }
  std::string File(int number) { return ReadFile(dir_ / FileNameOf(number)); }
  static std::string FileNameOf(int number) {
    char name[32];
    std::snprintf(name, sizeof name, "monitoreo_%03d.TXT", number);
    return name;
  }
  // A file holding `content` bytes of text and the end mark.
  void Prepare(int number, size_t content) {
    WriteFile(dir_ / FileNameOf(number), std::string(content, 'x') + "\x1A");
  }

  TempDir dir_;
};

TEST_F(TraceTest, ExactBytesOfTwoEntries) {
  MonitorTrace trace = Trace({100.0, 3723.5});
  trace.ESCRIBETXT("SELECT 1", 1);
  trace.ESCRIBETXT("Problema -> año", 1);
  EXPECT_EQ(File(1), Entry("SELECT 1", "100.00") +
                         Entry("Problema -> a\xF1o", "3723.50") + "\x1A");
  EXPECT_EQ(trace.current_number(), 1);
  EXPECT_EQ(trace.FileName(1), dir_ / "monitoreo_001.TXT");
}

TEST_F(TraceTest, EntryWithoutTrailerAndFileWithoutEndMark) {
  WriteFile(dir_ / FileNameOf(1), "antes\r\n");
  MonitorTrace trace = Trace();
  trace.ESCRIBETXT("sin cola", 1, kTraceDefaultLimit, /*lNoTrailer=*/true);
  EXPECT_EQ(File(1), "antes\r\nsin cola\r\n\x1A");
}

TEST_F(TraceTest, SecondsFormatting) {
  const std::pair<double, const char*> cases[] = {
      {0.0, "0.00"}, {5.5, "5.50"}, {100.0, "100.00"}, {59.99, "59.99"},
      {86399.99, "86399.99"}};
  for (auto [seconds, text] : cases) EXPECT_EQ(FormatSeconds(seconds), text);
  const double now = SecondsSinceMidnight();
  EXPECT_GE(now, 0.0);
  EXPECT_LT(now, 86400.0);
}

TEST_F(TraceTest, FullFileMovesTheProcessToTheNextNumber) {
  Prepare(1, 599990);
  MonitorTrace trace = Trace();
  trace.ESCRIBETXT(std::string(20, 'a'), 1);  // 599,990 + 20 > 600,000
  EXPECT_EQ(trace.current_number(), 2);
  EXPECT_EQ(File(2), Entry(std::string(20, 'a'), "100.00") + "\x1A");
  // A short entry would fit in 001, but the process only moves forward.
  trace.ESCRIBETXT("b", 1);
  EXPECT_EQ(File(2), Entry(std::string(20, 'a'), "100.00") +
                         Entry("b", "100.00") + "\x1A");
  EXPECT_EQ(File(1).size(), 599991u);
}

TEST_F(TraceTest, LimitCountsContentAndTextBytesOnly) {
  // 599,997 + 3 (three Windows-1252 bytes, six in UTF-8) is not over the limit.
  Prepare(1, 599997);
  MonitorTrace trace = Trace();
  trace.ESCRIBETXT("ñññ", 1);
  EXPECT_EQ(trace.current_number(), 1);
  EXPECT_EQ(File(1).size(), 599997 + Entry("\xF1\xF1\xF1", "100.00").size() + 1);
}

TEST_F(TraceTest, OversizedEntryLandsAloneInTheFirstNewFile) {
  Prepare(1, 10);
  Prepare(2, 0);
  const std::string huge(600001, 'q');
  MonitorTrace trace = Trace();
  trace.ESCRIBETXT(huge, 1);
  EXPECT_EQ(trace.current_number(), 3);
  EXPECT_EQ(File(3), Entry(huge, "100.00") + "\x1A");
  EXPECT_EQ(File(2), "\x1A");
}

TEST_F(TraceTest, RestartContinuesInTheFirstFileWithRoom) {
  Prepare(1, 100);
  Prepare(2, 100);
  MonitorTrace trace = Trace();
  trace.ESCRIBETXT("again", 1);
  EXPECT_EQ(trace.current_number(), 1);
  EXPECT_EQ(File(1), std::string(100, 'x') + Entry("again", "100.00") + "\x1A");
  EXPECT_EQ(File(2).size(), 101u);
}

TEST_F(TraceTest, StartNumberAndOwnLimit) {
  MonitorTrace trace = Trace();
  trace.ESCRIBETXT("12345", 7, /*nLimit=*/8);
  trace.ESCRIBETXT("6789", 1, 8);  // 007 already holds more than 8 - 4 bytes
  EXPECT_EQ(trace.current_number(), 8);
  EXPECT_EQ(File(7), Entry("12345", "100.00") + "\x1A");
  EXPECT_EQ(File(8), Entry("6789", "100.00") + "\x1A");
}

TEST_F(TraceTest, UnwritableDirectoryLosesEntriesSilently) {
  MonitorTrace trace(dir_ / "missing", [] { return 1.0; });
  trace.ESCRIBETXT("lost", 1);
  trace.ESCRIBETXT("lost", 1);
  EXPECT_EQ(trace.current_number(), 1);
  EXPECT_FALSE(std::filesystem::exists(dir_ / "missing"));
}

}  // namespace
}  // namespace config
