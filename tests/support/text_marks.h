// Expected statement texts in tests are written with marks ("{coll}", "{db}"
// ...) where the collation clause or a name goes; this fills them in.
#pragma once

#include <string>
#include <utility>
#include <vector>

namespace testsupport {

// `text` with every occurrence of each mark replaced by its value.
inline std::string FillMarks(std::string text,
                             const std::vector<std::pair<std::string, std::string>>& marks) {
  for (const auto& [mark, value] : marks) {
    for (size_t at = text.find(mark); at != std::string::npos; at = text.find(mark, at)) {
      text.replace(at, mark.size(), value);
      at += value.size();
    }
  }
  return text;
}

}  // namespace testsupport
