#include "shell/command_line.h"

#include <gtest/gtest.h>

namespace shell {
namespace {

TEST(CommandLineTest, ReadsArgumentAndOptions) {
  auto parsed = ParseCommandLine(
      {"quorix-velmora", "AUTO", "--headless", "--home", "/srv/Quorix"});
  ASSERT_FALSE(parsed.exit) << parsed.output;
  EXPECT_EQ(parsed.line.argument, "AUTO");
  EXPECT_TRUE(parsed.line.headless);
  EXPECT_EQ(ProgramDirectory(parsed.line), std::filesystem::path("/srv/Quorix"));
}

TEST(CommandLineTest, CipherOptionsTakeTheirText) {
  auto parsed = ParseCommandLine({"quorix-velmora", "--encipher", "clave secreta"});
  ASSERT_FALSE(parsed.exit);
  EXPECT_EQ(parsed.line.encipher, "clave secreta");
  parsed = ParseCommandLine({"quorix-velmora", "--decipher", "0a1B"});
  EXPECT_EQ(parsed.line.decipher, "0a1B");
}

TEST(CommandLineTest, UnknownOptionIsRefusedWithUsage) {
  auto parsed = ParseCommandLine({"quorix-velmora", "--bogus"});
  EXPECT_TRUE(parsed.exit);
  EXPECT_EQ(parsed.status, 2);
  EXPECT_NE(parsed.output.find("--bogus"), std::string::npos);
}

TEST(CommandLineTest, ProgramDirectoryDefaultsToTheExecutablesFolder) {
  auto parsed = ParseCommandLine({"quorix-velmora"});
  auto dir = ProgramDirectory(parsed.line);
  EXPECT_TRUE(std::filesystem::exists(dir / "shell_tests"));
}

}  // namespace
}  // namespace shell

namespace shell {
namespace {

TEST(CommandLineTest, AutoIsTrimmedAndCaseSensitive) {
  const struct {
    const char* argument;
    bool automatic;
  } cases[] = {{"AUTO", true}, {"  AUTO ", true}, {"auto", false},
               {"Auto", false}, {"", false},      {"AUTOMATIC", false}};
  for (const auto& c : cases) EXPECT_EQ(IsAutoArgument(c.argument), c.automatic) << c.argument;
}

TEST(CommandLineTest, OnceTakesOnlyItsTwoCycles) {
  auto parsed = ParseCommandLine({"quorix-velmora", "--once", "orders", "--monitor"});
  ASSERT_FALSE(parsed.exit) << parsed.output;
  EXPECT_EQ(parsed.line.once, "orders");
  EXPECT_TRUE(parsed.line.monitor);
  parsed = ParseCommandLine({"quorix-velmora", "--once", "everything"});
  EXPECT_TRUE(parsed.exit);
  EXPECT_EQ(parsed.status, 2);
}

}  // namespace
}  // namespace shell
