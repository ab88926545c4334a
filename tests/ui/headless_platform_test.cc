#include "ui/headless/headless_platform.h"

#include <gtest/gtest.h>

#include <sstream>

namespace ui {
namespace {

TEST(HeadlessPlatformTest, MessageIsOneLineWithFurtherLinesIndented) {
  struct Case {
    MessageKind kind;
    std::string title, text, expected;
  } cases[] = {
      {MessageKind::kStop, "ATENCION", "Conexiones no definidas",
       "stop: ATENCION: Conexiones no definidas\n"},
      {MessageKind::kAlert, "ODBC", "SQLDriverConnect error from TODbc:New()\r\n[# -1]",
       "alert: ODBC: SQLDriverConnect error from TODbc:New()\n    [# -1]\n"},
      {MessageKind::kInformation, "", "a\nb\rc", "information: : a\n    b\n    c\n"},
  };
  for (const auto& c : cases) {
    std::ostringstream out;
    HeadlessPlatform platform(out);
    platform.Message(c.kind, c.text, c.title);
    EXPECT_EQ(out.str(), c.expected);
  }
}

TEST(HeadlessPlatformTest, QuestionsTakeTheDefaultNo) {
  std::ostringstream out;
  HeadlessPlatform platform(out);
  EXPECT_FALSE(platform.Ask("Desea salir ?", "ATENCION"));
  EXPECT_NE(out.str().find("Desea salir ?"), std::string::npos);
}

TEST(HeadlessPlatformTest, EndProgramRunsTheShutdownThenExits) {
  EXPECT_EXIT(
      {
        std::ostringstream out;
        HeadlessPlatform platform(out);
        platform.SetShutdown([] { std::fputs("closed", stderr); });
        platform.EndProgram(kExitRefused);
      },
      ::testing::ExitedWithCode(kExitRefused), "closed");
}

}  // namespace
}  // namespace ui
