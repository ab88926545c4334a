// The platform layer on Qt: modal message boxes and questions, the wait
// pointer through the application's override cursor, and the orderly end of
// the process.
#pragma once

#include <functional>

#include "ui/platform.h"

class QWidget;

namespace qtface {

class QtPlatform : public ui::Platform {
 public:
  QtPlatform() = default;

  void Message(ui::MessageKind kind, const std::string& text,
               const std::string& title) override;
  bool Ask(const std::string& text, const std::string& title) override;
  // Nested calls nest: every "on" is matched by one "off".
  void WaitPointer(bool on) override;
  // Runs the shutdown work, then ends the process with `status`.
  [[noreturn]] void EndProgram(int status) override;

  // Work to do before the process ends (close Log.txt, end the connection).
  void SetShutdown(std::function<void()> shutdown) { shutdown_ = std::move(shutdown); }
  // The window the boxes are modal to; none: application-modal boxes.
  void SetParent(QWidget* parent) { parent_ = parent; }

 private:
  std::function<void()> shutdown_;
  QWidget* parent_ = nullptr;
};

}  // namespace qtface
