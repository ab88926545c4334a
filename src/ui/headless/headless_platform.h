// The headless face: no window. A message box becomes one line on standard
// error (kind, title, text; further lines of the text indented), so that the
// journal of a systemd service keeps it. A question takes its default answer.
#pragma once

#include <functional>
#include <ostream>

#include "ui/platform.h"

namespace ui {

class HeadlessPlatform : public Platform {
 public:
  // `out` receives the message lines.
  explicit HeadlessPlatform(std::ostream& out);

  void Message(MessageKind kind, const std::string& text,
               const std::string& title) override;
  // Without a person to ask, every question is answered with its default: no.
  bool Ask(const std::string& text, const std::string& title) override;
  void WaitPointer(bool) override {}
  [[noreturn]] void EndProgram(int status) override;

  // Work to do before the process ends (close files, end the connection).
  void SetShutdown(std::function<void()> shutdown) { shutdown_ = std::move(shutdown); }

 private:
  std::ostream& out_;
  std::function<void()> shutdown_;
};

// Formats a message the way the headless face prints it.
std::string FormatHeadlessMessage(MessageKind kind, const std::string& title,
                                  const std::string& text);

}  // namespace ui
