// Conversion between the program's UTF-8 text and the Windows-1252 bytes of the
// files the service shares with its Windows installation (Log.txt, the trace,
// enciphered INI values). Done with iconv, at those edges only.
#pragma once

#include <optional>
#include <string>

namespace config {

// UTF-8 to Windows-1252. nullopt when the text is not valid UTF-8 or holds a
// character that Windows-1252 cannot represent.
std::optional<std::string> ToCp1252(const std::string& utf8);

// UTF-8 to Windows-1252 for records that must be written whatever they hold:
// a character without a Windows-1252 form becomes "?".
std::string ToCp1252Lossy(const std::string& utf8);

// Windows-1252 to UTF-8. The five byte values that Windows-1252 leaves
// undefined (0x81, 0x8D, 0x8F, 0x90, 0x9D) map to the C1 controls of the same
// value, so every byte sequence converts and converts back unchanged.
std::string FromCp1252(const std::string& bytes);

}  // namespace config
