#include "config/error_report.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <fstream>
#include <sstream>

namespace config {
namespace {

namespace fs = std::filesystem;

ErrorRecord Record(int osCode, int severity, const std::string& subSystem,
                   std::optional<int> subCode, const std::string& description = "",
                   const std::string& operation = "", const std::string& filename = "") {
  ErrorRecord error;
  error.osCode = osCode;
  error.severity = severity;
  error.subSystem = subSystem;
  error.subCode = subCode;
  error.description = description;
  error.operation = operation;
  error.filename = filename;
  return error;
}

TEST(ErrorMessageTest, OneLineText) {
  const std::string unknown = "???";  // kept apart from "/" (a trigraph)
  struct Case {
    ErrorRecord error;
    std::string text;
  } cases[] = {
      {ErrorRecord(), "Error " + unknown + "/" + unknown},
      {Record(0, 1, "BASE", 1004), "Warning BASE/1004"},
      {Record(0, 3, "BASE", 1340, "Data width error"), "Error BASE/1340  Data width error"},
      {Record(0, 2, "TERM", 2, "Zero divisor", "/"), "Error TERM/2  Zero divisor: /"},
      // The file name wins over the operation.
      {Record(32, 2, "DBFNTX", 1001, "Open error", "USE", "tmp/PASO.dbf"),
       "(DOS Error 32) DBFNTX/1001  Open error: tmp/PASO.dbf"},
      {Record(5, 1, "", std::nullopt, "", "FCREATE"),
       "(DOS Error 5) " + unknown + "/" + unknown + ": FCREATE"},
      {Record(0, 2, "std::runtime_error", std::nullopt, "boom"),
       "Error std::runtime_error/" + unknown + "  boom"},
  };
  for (const Case& c : cases) EXPECT_EQ(ERRORMESSAGE(c.error), c.text);
}

std::tm LocalTm(std::time_t when) {
  std::tm tm{};
  localtime_r(&when, &tm);
  return tm;
}

std::time_t At(int y, int mo, int d, int h, int mi, int s) {
  std::tm tm{};
  tm.tm_year = y - 1900;
  tm.tm_mon = mo - 1;
  tm.tm_mday = d;
  tm.tm_hour = h;
  tm.tm_min = mi;
  tm.tm_sec = s;
  tm.tm_isdst = -1;
  return std::mktime(&tm);
}

TEST(ErrorReportTest, SectionsInOrderWithTheirEntries) {
  ErrorRecord error;
  error.subSystem = "std::runtime_error";
  error.description = "boom\nsecond line";
  error.args = std::vector<ErrorArgument>{{'C', "abc"}, {'N', "12.5"}};

  SystemFacts facts;
  facts.executable = "/srv/quorix/quorix-velmora";
  facts.executable_size = 1234567;
  facts.when = At(2024, 1, 31, 9, 5, 7);
  facts.seconds_running = 3723;
  facts.frames = {{"orders.cc", "orders::Import", 42}, {"main.cc", "main", 7}};
  facts.local_table_drivers = {"SQLITE"};
  OpenLocalTable table;
  table.area = 1;
  table.current = true;
  table.alias = "PASO";
  table.driver = "SQLITE";
  table.recno = 3;
  table.reccount = 12;
  table.eof = true;
  table.indexes = {{"CODIGO", "PASO", true}, {"", "none", false}};
  facts.open_tables = {table};
  facts.classes = {"TInicio"};
  facts.memory_in_use = 2048;
  facts.memory_peak = 4096;
  facts.cpu_model = "Example CPU";
  facts.cpu_mhz = "2400";
  facts.memory_total = 2048ull * 1024 * 1024;
  facts.memory_free_percent = 40;
  facts.compiler = "GCC 12.2.0";
  facts.kernel_release = "6.1.0-18-amd64";
  facts.kernel_build = "#1 SMP";
  facts.processes = {"systemd", "quorix-velmora"};

  ASSERT_EQ(LocalTm(facts.when).tm_hour, 9);
  const std::string expected =
      "Aplicacion (32bits) : /srv/quorix/quorix-velmora\r\n"
      "     Version Quorix : " + VersionText() + "\r\n"
      "             Tamaño :  1,234,567 bytes\r\n"
      "    Fecha del error : 31/01/2024, 09:05:07\r\n"
      "      Tiempo de uso : 1 hours 2 mins 3 secs \r\n"
      "   Error description: Error std::runtime_error/?" "??  boom second line\r\n"
      "   Args:\r\n"
      "     [   1] = C   abc\r\n"
      "     [   2] = N   12.5\r\n"
      "\r\nStack Calls\r\n===========\r\n"
      "   Called from: orders.cc => orders::Import(42)\r\n"
      "   Called from: main.cc => main(7)\r\n"
      "\r\nVariables en uso\r\n================\r\n"
      "   Procedure     Type   Value\r\n"
      "   ==========================\r\n"
      "   orders::Import\r\n"
      "   main\r\n"
      "\r\nLinked RDDs\r\n===========\r\n"
      "   SQLITE\r\n"
      "\r\nDBF's en uso\r\n================\r\n"
      "\r\n"
      "  1: => PASO                               RddName: SQLITE\r\n"
      "     ==============================\r\n"
      "     RecNo    RecCount    BOF   EOF\r\n"
      "        3         12      .F.   .T.\r\n"
      "\r\n"
      "     Indexes in use                        TagName\r\n"
      "        => CODIGO                             PASO\r\n"
      "\r\n"
      "     Relations in use\r\n"
      "\r\nClasses in use:\r\n===============\r\n"
      "     1 TInicio\r\n"
      "\r\nMemory Analysis\r\n===============\r\n"
      "      ? Static variables\r\n"
      "\r\n"
      "   Dynamic memory consume:\r\n"
      "      Actual  Value:       2048 bytes\r\n"
      "      Highest Value:       4096 bytes\r\n"
      "\r\nSystem\r\n======\r\n"
      "   CPU type: Example CPU 2400 Mhz\r\n"
      "   Hardware memory: 2049 megs\r\n"
      "\r\n"
      "   Free System resources: 40 %\r\n"
      "        GDI    resources: ? %\r\n"
      "        User   resources: ? %\r\n"
      "\r\n"
      "   Compiler version: GCC 12.2.0\r\n"
      "   Linux version: 6.1.0-18-amd64, Build #1 SMP\r\n"
      "\r\n"
      "   Linux total applications running: 2\r\n"
      "      1 systemd\r\n"
      "      2 quorix-velmora\r\n";
  EXPECT_EQ(BuildErrorReport(error, facts), expected);
}

TEST(ErrorReportTest, EmptyFactsKeepEveryHeadingAndNoArgsLine) {
  SystemFacts facts;
  std::string report = BuildErrorReport({}, facts);
  EXPECT_EQ(report.find("   Args:"), std::string::npos);
  EXPECT_NE(report.find("             Tamaño :          ? bytes\r\n"), std::string::npos);
  EXPECT_NE(report.find("      Tiempo de uso : ? hours ? mins ? secs \r\n"), std::string::npos);
  size_t at = 0;
  for (const char* heading :
       {"\r\n\r\nStack Calls\r\n===========\r\n\r\n",
        "Variables en uso\r\n================\r\n   Procedure     Type   Value\r\n"
        "   ==========================\r\n\r\n",
        "Linked RDDs\r\n===========\r\n\r\n", "DBF's en uso\r\n================\r\n\r\n",
        "Classes in use:\r\n===============\r\n\r\n", "Memory Analysis\r\n===============\r\n",
        "\r\nSystem\r\n======\r\n"}) {
    size_t found = report.find(heading, at);
    ASSERT_NE(found, std::string::npos) << heading;
    at = found + 1;
  }
}

TEST(ErrorReportTest, FileIsWindows1252WithEndMarkAndReplacesTheLastOne) {
  char pattern[] = "/tmp/qv_errlog_XXXXXX";
  ASSERT_NE(mkdtemp(pattern), nullptr);
  fs::path dir = pattern;
  ASSERT_TRUE(WriteErrorLog(dir, "first report, much longer than the second\r\n"));
  ASSERT_TRUE(WriteErrorLog(dir, "Tamaño €\r\n"));
  std::ifstream in(dir / "Error.log", std::ios::binary);
  std::ostringstream bytes;
  bytes << in.rdbuf();
  EXPECT_EQ(bytes.str(), "Tama\xF1o \x80\r\n\x1A");
  EXPECT_FALSE(WriteErrorLog(dir / "missing", "x"));
  fs::remove_all(dir);
}

}  // namespace
}  // namespace config
