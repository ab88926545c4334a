// Small text helpers shared by every layer. "Blank" means blanks, tabs, CR and
// LF, the characters an INI value, a dialog field or a typed line may carry
// around its value.
#pragma once

#include <string>
#include <vector>

namespace config {

inline constexpr const char* kBlankCharacters = " \t\r\n";

// `text` without blanks at either end.
inline std::string Trim(const std::string& text) {
  const size_t first = text.find_first_not_of(kBlankCharacters);
  if (first == std::string::npos) return std::string();
  const size_t last = text.find_last_not_of(kBlankCharacters);
  return text.substr(first, last - first + 1);
}

// True when `text` is empty or holds only blanks.
inline bool IsBlank(const std::string& text) {
  return text.find_first_not_of(kBlankCharacters) == std::string::npos;
}

// `parts` joined with `separator` between them.
inline std::string Join(const std::vector<std::string>& parts, const std::string& separator) {
  std::string out;
  for (size_t i = 0; i < parts.size(); ++i) {
    if (i > 0) out += separator;
    out += parts[i];
  }
  return out;
}

}  // namespace config
