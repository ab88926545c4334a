#include "config/cipher.h"

#include <cstdint>

#include "config/codepage.h"

namespace config {

namespace {

uint8_t RotateLeft(uint8_t a, unsigned bits) {
  bits %= 8;
  if (bits == 0) return a;
  return static_cast<uint8_t>((a << bits) | (a >> (8 - bits)));
}

uint8_t RotateRight(uint8_t a, unsigned bits) {
  bits %= 8;
  if (bits == 0) return a;
  return static_cast<uint8_t>((a >> bits) | (a << (8 - bits)));
}

// Each byte as two upper-case hexadecimal digits, high digit first.
std::string ToHexPairs(const std::string& bytes) {
  std::string out;
  out.reserve(bytes.size() * 2);
  for (char c : bytes) {
    std::string digits = DECTOHEX(static_cast<uint8_t>(c));
    if (digits.size() < 2) out.push_back('0');
    out += digits;
  }
  return out;
}

// The stored form back to the enciphered bytes: pieces of two characters (an
// odd last character is a piece of one), each HEXTODEC modulo 256.
std::string FromHexPairs(const std::string& text) {
  std::string out;
  out.reserve(text.size() / 2 + 1);
  for (size_t i = 0; i < text.size(); i += 2) {
    out.push_back(static_cast<char>(HEXTODEC(text.substr(i, 2)) % 256));
  }
  return out;
}

}  // namespace

std::string ENCRYPT(const std::string& s, const std::string& k) {
  const size_t n = s.size();
  const size_t m = k.size();
  std::string out(n, '\0');
  if (m == 0) return s;  // no key: nothing to mix in
  const auto length_byte = static_cast<uint8_t>(n % 256);
  for (size_t i = 0; i < n; ++i) {
    uint8_t a = static_cast<uint8_t>(s[i]) ^ length_byte;
    a = RotateLeft(a, i % 8);
    out[i] = static_cast<char>(a ^ static_cast<uint8_t>(k[i % m]));
  }
  return out;
}

std::string DECRYPT(const std::string& c, const std::string& k) {
  const size_t n = c.size();
  const size_t m = k.size();
  std::string out(n, '\0');
  if (m == 0) return c;
  const auto length_byte = static_cast<uint8_t>(n % 256);
  for (size_t i = 0; i < n; ++i) {
    uint8_t a = static_cast<uint8_t>(c[i]) ^ static_cast<uint8_t>(k[i % m]);
    a = RotateRight(a, i % 8);
    out[i] = static_cast<char>(a ^ length_byte);
  }
  return out;
}

unsigned long long HEXTODEC(const std::string& cText) {
  unsigned long long result = 0;
  for (char c : cText) {
    uint8_t v = static_cast<uint8_t>(c);
    if (v >= 97) v = static_cast<uint8_t>(v - 39);
    if (v >= 65) v = static_cast<uint8_t>(v - 7);
    v = static_cast<uint8_t>(v - 48);
    // Horner's rule: the same sum of digit x 16^(L - 1 - position).
    result = result * 16 + v;
  }
  return result;
}

std::string DECTOHEX(unsigned n) {
  static constexpr char kDigits[] = "0123456789ABCDEF";
  std::string out;
  while (n >= 16) {
    out.insert(out.begin(), kDigits[n % 16]);
    n /= 16;
  }
  out.insert(out.begin(), kDigits[n]);
  return out;
}

std::string Encriptar(const std::string& cText, int nMode) {
  if (nMode == 1) return ToHexPairs(ENCRYPT(ToCp1252Lossy(cText), kCipherKey));
  if (nMode == 2) {
    // The digit rule works on the character codes of the stored text.
    std::string bytes = FromHexPairs(ToCp1252Lossy(cText));
    return FromCp1252(DECRYPT(bytes, kCipherKey));
  }
  return std::string();
}

std::optional<std::string> EncipherValue(const std::string& utf8) {
  std::optional<std::string> bytes = ToCp1252(utf8);
  if (!bytes) return std::nullopt;
  return ToHexPairs(ENCRYPT(*bytes, kCipherKey));
}

}  // namespace config
