// Access to a Windows-style INI file with the semantics of the Windows
// private-profile functions: section and key names match without regard to
// case, a value is read without its surrounding blanks and up to 1,022
// characters, a missing key reads as empty text (or 0 as a number), and a save
// rewrites only the keys it was given and keeps every other section, key and
// comment. The file holds Windows-1252 bytes; values cross this interface as
// UTF-8.
#pragma once

#include <filesystem>
#include <memory>
#include <string>

namespace config {

// The longest value a read returns, in characters (bytes of the file).
inline constexpr size_t kIniMaxValueLength = 1022;

class IniFile {
 public:
  explicit IniFile(std::filesystem::path path);
  ~IniFile();
  IniFile(const IniFile&) = delete;
  IniFile& operator=(const IniFile&) = delete;

  // Reads the file. A missing or unreadable file reads as an empty one;
  // false tells that case apart.
  bool Load();

  std::string GetString(const std::string& section, const std::string& key) const;
  // The leading decimal digits of the value; 0 when the key is missing or the
  // value does not start with a digit.
  int GetInt(const std::string& section, const std::string& key) const;

  // Sets a key in memory (an existing key keeps its place and its spelling).
  // Line breaks in the value become blanks: a value is one line.
  void SetString(const std::string& section, const std::string& key,
                 const std::string& value);
  void SetInt(const std::string& section, const std::string& key, int value);

  // Writes the whole file through a temporary file renamed over it, with
  // permissions 0600 (the file holds connection values). Keeps the line ends
  // of the file as loaded (CR LF for a file from Windows). False with the
  // reason in `error` when it could not be written.
  bool Save(std::string* error);

  const std::filesystem::path& path() const { return path_; }

 private:
  struct Data;
  std::filesystem::path path_;
  std::unique_ptr<Data> data_;
};

}  // namespace config
