// The program as an administrator runs it: --encipher / --decipher round trips
// and the exit statuses of a refused start.
#include <gtest/gtest.h>

#include <array>
#include <cstdio>
#include <string>
#include <sys/wait.h>

#include "support/odbc_test_env.h"

namespace {

struct Outcome {
  int status;
  std::string out;
};

// Runs the program with `arguments` (already quoted for the shell).
Outcome RunProgram(const std::string& arguments) {
  const std::string command = std::string(QV_BINARY) + " " + arguments + " 2>&1";
  FILE* pipe = popen(command.c_str(), "r");
  Outcome outcome{-1, {}};
  if (!pipe) return outcome;
  std::array<char, 256> chunk;
  while (size_t n = fread(chunk.data(), 1, chunk.size(), pipe)) outcome.out.append(chunk.data(), n);
  const int raw = pclose(pipe);
  outcome.status = WIFEXITED(raw) ? WEXITSTATUS(raw) : -1;
  return outcome;
}

std::string Quoted(const std::string& text) {
  std::string out = "'";
  for (char c : text) out += c == '\'' ? std::string("'\\''") : std::string(1, c);
  return out + "'";
}

TEST(MainTest, EncipherAndDecipherRoundTripAnyText) {
  for (const std::string text : {"sa", "clave con blancos", "ñandú €5 O'Brien", "x;PWD={y}"}) {
    const Outcome stored = RunProgram("--encipher " + Quoted(text));
    ASSERT_EQ(stored.status, 0) << stored.out;
    const std::string hex = stored.out.substr(0, stored.out.find('\n'));
    EXPECT_EQ(hex.find_first_not_of("0123456789ABCDEF"), std::string::npos) << hex;
    const Outcome clear = RunProgram("--decipher " + hex);
    EXPECT_EQ(clear.status, 0);
    EXPECT_EQ(clear.out, text + "\n");
  }
}

TEST(MainTest, TextWithoutAWindowsFormIsRefused) {
  const Outcome outcome = RunProgram("--encipher " + Quoted("✓"));
  EXPECT_EQ(outcome.status, 2);
  EXPECT_NE(outcome.out.find("Windows-1252"), std::string::npos);
}

TEST(MainTest, IncompleteConfigurationEndsWithStatusTwoAndNamesConfigure) {
  const auto home = testsupport::FreshDir("main-incomplete");
  const Outcome outcome = RunProgram("--headless --home " + Quoted(home.string()));
  EXPECT_EQ(outcome.status, 2);
  EXPECT_NE(outcome.out.find("stop: ATENCION: Conexiones no definidas"), std::string::npos);
  EXPECT_NE(outcome.out.find("--configure"), std::string::npos);
}

}  // namespace
