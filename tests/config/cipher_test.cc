#include "config/cipher.h"

#include <gtest/gtest.h>

#include <random>

#include "config/codepage.h"

namespace config {
namespace {

TEST(CipherTest, HexDigitsBothWays) {
  const std::pair<unsigned, const char*> dectohex[] = {
      {0, "0"}, {9, "9"}, {10, "A"}, {15, "F"}, {16, "10"}, {171, "AB"}, {255, "FF"}};
  for (auto [n, hex] : dectohex) EXPECT_EQ(DECTOHEX(n), hex) << n;

  // Any character goes through the 8-bit digit rule.
  const std::pair<const char*, unsigned long long> hextodec[] = {
      {"", 0},    {"0", 0},     {"9", 9},     {"A", 10},  {"a", 10},
      {"F", 15},  {"f", 15},    {"FF", 255},  {"ff", 255}, {"fF", 255},
      {"10", 16}, {"G", 16},    {"g", 16},    {":", 10},  {"/", 255},
      {"z", 28},  {"1G", 32},   {"100", 256},
  };
  for (auto [text, value] : hextodec) EXPECT_EQ(HEXTODEC(text), value) << text;
}

// Vectors worked by hand over the Windows-1252 bytes: for "A" (0x41), n = 1:
// 0x41 ^ 1 = 0x40, no rotation, ^ '{' (0x7B) = 0x3B. For "AB", n = 2: byte 0
// 0x43 ^ 0x7B = 0x38; byte 1 0x42 ^ 2 = 0x40, rotated left 1 = 0x80,
// ^ 'Q' (0x51) = 0xD1.
TEST(CipherTest, KnownVectors) {
  const std::pair<const char*, const char*> vectors[] = {
      {"", ""},       {"A", "3B"}, {"AB", "38D1"},
      {"ñ", "8B"},    // 0xF1 ^ 1 ^ 0x7B
      {"€", "FA"},    // 0x80 ^ 1 ^ 0x7B
  };
  for (auto [clear, stored] : vectors) {
    EXPECT_EQ(Encriptar(clear, 1), stored) << clear;
    EXPECT_EQ(EncipherValue(clear), stored) << clear;
    EXPECT_EQ(Encriptar(stored, 2), clear) << stored;
  }
}

TEST(CipherTest, StoredFormEdgeCases) {
  const std::string clear = "contraseña_1";
  const std::string stored = Encriptar(clear, 1);
  EXPECT_EQ(stored.size(), 2 * ToCp1252(clear)->size());
  EXPECT_EQ(stored, Encriptar(clear, 1)) << "same text, same stored form";

  std::string lower = stored;
  for (char& c : lower) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
  ASSERT_NE(lower, stored);
  EXPECT_EQ(Encriptar(lower, 2), clear);

  // Odd length: the last character is a piece of one digit. "38D" gives the
  // bytes 0x38 0x0D; the first deciphers to "A" as in "38D1".
  const std::string odd = *ToCp1252(Encriptar("38D", 2));
  ASSERT_EQ(odd.size(), 2u);
  EXPECT_EQ(odd[0], 'A');

  // One more character changes every common byte: the length enters them all.
  const std::string longer = Encriptar(clear + "x", 1);
  for (size_t i = 0; i < stored.size(); i += 2) {
    EXPECT_NE(stored.substr(i, 2), longer.substr(i, 2)) << "byte " << i / 2;
  }

  EXPECT_EQ(Encriptar("", 2), "");
  EXPECT_EQ(Encriptar("abc", 3), "");
}

TEST(CipherTest, ArbitraryBytesRoundTrip) {
  std::mt19937 random(20240105);
  // Lengths across the 256 wrap of the length byte.
  for (size_t n : {1, 2, 7, 8, 9, 255, 256, 257, 600}) {
    std::string bytes(n, '\0');
    for (char& c : bytes) c = static_cast<char>(random() & 0xFF);
    const std::string enciphered = ENCRYPT(bytes, kCipherKey);
    ASSERT_EQ(enciphered.size(), n);
    EXPECT_EQ(DECRYPT(enciphered, kCipherKey), bytes) << n;
    // Through the stored form and UTF-8 as well.
    const std::string utf8 = FromCp1252(bytes);
    EXPECT_EQ(Encriptar(Encriptar(utf8, 1), 2), utf8) << n;
  }
}

TEST(CipherTest, CheckedEncipherRefusesUnstorableText) {
  EXPECT_EQ(EncipherValue("clave✓"), std::nullopt);
  EXPECT_EQ(EncipherValue("\xFF"), std::nullopt);
  // The unchecked mode stores "?" in its place.
  EXPECT_EQ(Encriptar(Encriptar("clave✓", 1), 2), "clave?");
}

}  // namespace
}  // namespace config
