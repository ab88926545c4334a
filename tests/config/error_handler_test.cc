#include "config/error_handler.h"

#include <gtest/gtest.h>
#include <signal.h>
#include <unistd.h>

#include <fstream>
#include <sstream>
#include <stdexcept>

#include "config/codepage.h"

namespace config {
namespace {

namespace fs = std::filesystem;

// Raises the faults from functions of their own, so the report can be
// checked for the function in which the error happened.
__attribute__((noinline)) void ThrowBoom() {
  throw std::runtime_error("boom <config> & more");
}

__attribute__((noinline)) void CallThrowerWithoutHandler() noexcept { ThrowBoom(); }

int* volatile g_null = nullptr;

__attribute__((noinline)) void WriteThroughNull() { *g_null = 1; }

class ErrorHandlerTest : public ::testing::Test {
 protected:
  void SetUp() override {
    char pattern[] = "/tmp/qv_errsys_XXXXXX";
    ASSERT_NE(mkdtemp(pattern), nullptr);
    dir_ = pattern;
  }
  void TearDown() override { fs::remove_all(dir_); }

  // Error.log as text, without its end mark; empty when it is not there.
  std::string Report() const {
    std::ifstream in(dir_ / "Error.log", std::ios::binary);
    std::ostringstream bytes;
    bytes << in.rdbuf();
    std::string text = bytes.str();
    if (text.empty() || text.back() != '\x1A') return {};
    text.pop_back();
    return FromCp1252(text);
  }

  // The "Stack Calls" section's lines.
  static std::vector<std::string> Calls(const std::string& report) {
    std::vector<std::string> calls;
    const std::string heading = "\r\nStack Calls\r\n===========\r\n";
    size_t at = report.find(heading);
    if (at == std::string::npos) return calls;
    std::istringstream lines(report.substr(at + heading.size()));
    std::string line;
    while (std::getline(lines, line) && line != "\r") calls.push_back(line);
    return calls;
  }

  fs::path dir_;
};

TEST_F(ErrorHandlerTest, UncaughtExceptionWritesReportAndExitsWithOne) {
  EXPECT_EXIT(
      {
        ERRORSYS(dir_);
        CallThrowerWithoutHandler();
      },
      ::testing::ExitedWithCode(1), "");
  std::string report = Report();
  ASSERT_FALSE(report.empty());
  EXPECT_EQ(report.rfind("Aplicacion (32bits) : /", 0), 0u) << report;
  EXPECT_NE(report.find("   Error description: Error std::runtime_error/?" "??  "
                        "boom <config> & more\r\n"),
            std::string::npos);
  std::vector<std::string> calls = Calls(report);
  ASSERT_FALSE(calls.empty()) << report;
  for (const std::string& line : calls) EXPECT_EQ(line.rfind("   Called from: ", 0), 0u);
  // The innermost call is where the exception was thrown.
  EXPECT_NE(calls.front().find("config::(anonymous namespace)::ThrowBoom("),
            std::string::npos) << calls.front();
  EXPECT_NE(calls.front().find("error_handler_test.cc =>"), std::string::npos);
}

TEST_F(ErrorHandlerTest, SegmentationFaultWritesReportAndShowsDialogHook) {
  fs::path seen = dir_ / "dialog.txt";
  EXPECT_EXIT(
      {
        ERRORSYS();
        SetErrorReportDirectory(dir_);
        SetErrorDialog([&](const ErrorRecord& error, const std::vector<StackFrame>& calls,
                           const fs::path& log) {
          std::ofstream(seen) << ERRORMESSAGE(error) << "|" << calls.size() << "|"
                              << fs::exists(log);
        });
        WriteThroughNull();
      },
      ::testing::ExitedWithCode(1), "");
  std::string report = Report();
  EXPECT_NE(report.find("   Error description: Error SIGSEGV/11  Segmentation fault at "
                        "address (nil)\r\n"),
            std::string::npos)
      << report;
  std::vector<std::string> calls = Calls(report);
  ASSERT_FALSE(calls.empty()) << report;
  EXPECT_NE(calls.front().find("WriteThroughNull("), std::string::npos) << calls.front();
  std::ifstream dialog(seen);
  std::string shown;
  std::getline(dialog, shown);
  EXPECT_EQ(shown.rfind("Error SIGSEGV/11  Segmentation fault", 0), 0u) << shown;
  EXPECT_EQ(shown.substr(shown.size() - 2), "|1");
}

TEST_F(ErrorHandlerTest, FaultWhileHandlingEndsAtOnceWithOne) {
  EXPECT_EXIT(
      {
        ERRORSYS(dir_);
        SetErrorDialog([](const ErrorRecord&, const std::vector<StackFrame>&,
                          const fs::path&) { WriteThroughNull(); });
        std::abort();
      },
      ::testing::ExitedWithCode(1), "");
  // The first report was written before the dialog failed.
  EXPECT_NE(Report().find("Error SIGABRT/6  Aborted\r\n"), std::string::npos);
}

TEST_F(ErrorHandlerTest, ArithmeticFaultAndTerminateWithoutException) {
  EXPECT_EXIT(
      {
        ERRORSYS(dir_);
        raise(SIGFPE);
      },
      ::testing::ExitedWithCode(1), "");
  EXPECT_NE(Report().find("Error SIGFPE/8  Arithmetic exception"), std::string::npos);
  EXPECT_EXIT(
      {
        ERRORSYS(dir_);
        std::terminate();
      },
      ::testing::ExitedWithCode(1), "");
  EXPECT_NE(Report().find("   Error description: Error std::terminate/?" "??  Terminate "
                          "called without an active exception\r\n"),
            std::string::npos);
}

}  // namespace
}  // namespace config
