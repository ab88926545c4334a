// The cipher of the INI connection values: a byte XOR/rotate with a fixed key,
// stored as upper-case hexadecimal. It is an obfuscation kept so that files of
// the Windows installation keep working, not a protection.
#pragma once

#include <optional>
#include <string>

namespace config {

// The fixed key of the value cipher.
inline constexpr const char* kCipherKey = "{Qvx;7403}";

// Mode 1: UTF-8 clear text to the stored hexadecimal form (over its
// Windows-1252 bytes). Mode 2: stored form to UTF-8 clear text.
// Other modes give empty text. Mode 1 writes a character that Windows-1252
// cannot represent as "?"; use EncipherValue where that must be refused.
std::string Encriptar(const std::string& cText, int nMode);

// Mode 1 of Encriptar, checked: nullopt when the text is not valid UTF-8 or
// holds a character without a Windows-1252 form (it could not be stored and
// deciphered back unchanged).
std::optional<std::string> EncipherValue(const std::string& utf8);

// The byte-level cipher; both keep the length.
std::string ENCRYPT(const std::string& s, const std::string& k);
std::string DECRYPT(const std::string& c, const std::string& k);

// HEXTODEC accepts any characters: each byte v gives the 8-bit digit
// ((v >= 97 ? v - 39 : v) then -7 when >= 65) - 48, so "a"-"f" equal "A"-"F".
// The sum wraps modulo 2^64, which keeps every value modulo 256 exact.
unsigned long long HEXTODEC(const std::string& cText);
// Upper case, no leading zeros, "0" for 0.
std::string DECTOHEX(unsigned n);

}  // namespace config
