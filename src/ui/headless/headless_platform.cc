#include "ui/headless/headless_platform.h"

#include <cstdlib>

namespace ui {

std::string FormatHeadlessMessage(MessageKind kind, const std::string& title,
                                  const std::string& text) {
  std::string line = std::string(MessageKindName(kind)) + ": " + title + ": ";
  // Message texts use CR LF or LF between lines; each further line is indented.
  for (size_t i = 0; i < text.size(); ++i) {
    char c = text[i];
    if (c == '\r' && i + 1 < text.size() && text[i + 1] == '\n') continue;
    if (c == '\r' || c == '\n') {
      line += "\n    ";
    } else {
      line += c;
    }
  }
  return line + "\n";
}

HeadlessPlatform::HeadlessPlatform(std::ostream& out) : out_(out) {}

void HeadlessPlatform::Message(MessageKind kind, const std::string& text,
                               const std::string& title) {
  out_ << FormatHeadlessMessage(kind, title, text) << std::flush;
}

bool HeadlessPlatform::Ask(const std::string& text, const std::string& title) {
  out_ << FormatHeadlessMessage(MessageKind::kInformation, title, text + " (no)")
       << std::flush;
  return false;
}

void HeadlessPlatform::EndProgram(int status) {
  if (shutdown_) {
    auto shutdown = std::move(shutdown_);
    shutdown();
  }
  out_.flush();
  std::exit(status);
}

}  // namespace ui
