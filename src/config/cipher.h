// The cipher of the INI connection values: a byte XOR/rotate with a fixed key,
// stored as upper-case hexadecimal. It is an obfuscation kept so that files of
// the Windows installation keep working, not a protection.
#pragma once

#include <string>

namespace config {

// The fixed key of the value cipher.
inline constexpr const char* kCipherKey = "{Qvx;7403}";

// Mode 1: UTF-8 clear text to the stored hexadecimal form (over its
// Windows-1252 bytes). Mode 2: stored form to UTF-8 clear text.
std::string Encriptar(const std::string& cText, int nMode);

// The byte-level cipher; both keep the length.
std::string ENCRYPT(const std::string& s, const std::string& k);
std::string DECRYPT(const std::string& c, const std::string& k);

unsigned long long HEXTODEC(const std::string& cText);
std::string DECTOHEX(unsigned n);

}  // namespace config
