#include "config/codepage.h"

#include <gtest/gtest.h>

namespace config {
namespace {

TEST(CodepageTest, ConvertsWindows1252Characters) {
  struct Case {
    std::string utf8;
    std::string cp1252;
  };
  const Case cases[] = {
      {"", ""},
      {"abc", "abc"},
      {"ñ", "\xF1"},
      {"€", "\x80"},
      {"Grabación", "Grabaci\xF3n"},
      {"“ok”", "\x93ok\x94"},
      {std::string("a\0b", 3), std::string("a\0b", 3)},
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToCp1252(c.utf8), c.cp1252) << c.utf8;
    EXPECT_EQ(ToCp1252Lossy(c.utf8), c.cp1252) << c.utf8;
    EXPECT_EQ(FromCp1252(c.cp1252), c.utf8) << c.utf8;
  }
}

TEST(CodepageTest, EveryByteSequenceRoundTrips) {
  std::string all;
  for (int b = 0; b < 256; ++b) all.push_back(static_cast<char>(b));
  const std::string utf8 = FromCp1252(all + all);
  EXPECT_EQ(ToCp1252(utf8), all + all);
  // The undefined bytes are carried as the C1 controls of the same value.
  EXPECT_EQ(FromCp1252("\x81\x8D\x8F\x90\x9D"),
            "\xC2\x81\xC2\x8D\xC2\x8F\xC2\x90\xC2\x9D");
}

TEST(CodepageTest, RefusesOrReplacesWhatWindows1252CannotHold) {
  struct Case {
    std::string utf8;
    std::string lossy;
  };
  const Case cases[] = {
      {"✓", "?"},
      {"a✓b€", "a?b\x80"},
      {"x😀y", "x?y"},
      {"\xFF" "a", "?a"},          // not UTF-8
      {"a\xE2\x82", "a??"},         // cut sequence at the end
      {"\xE2\x82" "b", "??b"},      // cut sequence inside
  };
  for (const Case& c : cases) {
    EXPECT_EQ(ToCp1252(c.utf8), std::nullopt) << c.lossy;
    EXPECT_EQ(ToCp1252Lossy(c.utf8), c.lossy);
  }
}

}  // namespace
}  // namespace config
