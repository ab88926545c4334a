// Whole-file reads and writes for tests that check the bytes on disk.
#pragma once

#include <filesystem>
#include <fstream>
#include <iterator>
#include <string>

namespace testsupport {

inline std::string ReadFile(const std::filesystem::path& file) {
  std::ifstream in(file, std::ios::binary);
  return std::string((std::istreambuf_iterator<char>(in)), std::istreambuf_iterator<char>());
}

inline void WriteFile(const std::filesystem::path& file, const std::string& bytes) {
  std::ofstream(file, std::ios::binary) << bytes;
}

}  // namespace testsupport
