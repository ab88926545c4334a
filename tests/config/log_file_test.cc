#include "config/log_file.h"

#include <gmock/gmock.h>
#include <gtest/gtest.h>

#include "temp_dir.h"

namespace config {
namespace {

using configtest::ReadFile;
using configtest::TempDir;
using configtest::WriteFile;

std::time_t LocalTime(int year, int month, int day, int hour, int minute, int second) {
  std::tm t{};
  t.tm_year = year - 1900;
  t.tm_mon = month - 1;
  t.tm_mday = day;
  t.tm_hour = hour;
  t.tm_min = minute;
  t.tm_sec = second;
  t.tm_isdst = -1;
  return std::mktime(&t);
}

TEST(LogFileTest, LineFormat) {
  const std::time_t when = LocalTime(2024, 1, 5, 7, 8, 9);
  EXPECT_EQ(LogStamp(when), "05/01/2024 07:08:09");
  EXPECT_EQ(LogStamp(LocalTime(2031, 12, 31, 23, 59, 59)), "31/12/2031 23:59:59");
  EXPECT_EQ(FormatLogLine("Fallo de parametros: falta Usuario de base de datos ORIGEN-> ",
                          when),
            "Fallo de parametros: falta Usuario de base de datos ORIGEN-> "
            "05/01/2024 07:08:09\r\n");
  // Written in Windows-1252.
  EXPECT_EQ(FormatLogLine("año ", when), "a\xF1o 05/01/2024 07:08:09\r\n");
}

// Start-up keeps one opening for the whole run while a connection switch
// opens the file again: both must append at the current end.
TEST(LogFileTest, TwoOpeningsAppendAtTheEnd) {
  TempDir dir;
  const std::string path = (dir / "Log.txt").string();
  WriteFile(path, "antes\r\n");
  LogFile held;
  ASSERT_TRUE(held.Open(path));
  held.Write("uno ");
  AppendLogLine(path, "dos ");
  held.Write("tres ");

  const std::string text = ReadFile(path);
  const std::string stamp_pattern = "[0-9]{2}/[0-9]{2}/[0-9]{4} [0-9]{2}:[0-9]{2}:[0-9]{2}";
  EXPECT_THAT(text, ::testing::MatchesRegex("antes\r\nuno " + stamp_pattern +
                                            "\r\ndos " + stamp_pattern +
                                            "\r\ntres " + stamp_pattern + "\r\n"));
}

TEST(LogFileTest, CreatesAMissingFileAndFailsSilently) {
  TempDir dir;
  const auto path = dir / "Log.txt";
  AppendLogLine(path.string(), "x ");
  EXPECT_EQ(ReadFile(path).size(), std::string("x 05/01/2024 07:08:09\r\n").size());

  LogFile nowhere;
  EXPECT_FALSE(nowhere.Open((dir / "missing" / "Log.txt").string()));
  EXPECT_FALSE(nowhere.IsOpen());
  nowhere.Write("lost");  // no crash, nothing written
  AppendLogLine((dir / "missing" / "Log.txt").string(), "lost");
  EXPECT_FALSE(std::filesystem::exists(dir / "missing"));
}

}  // namespace
}  // namespace config
