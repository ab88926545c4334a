// The platform layer: what the service needs from the face it runs under
// (message boxes, the wait pointer, ending the process). The desktop face
// implements it with Qt, the headless face on standard error, and tests with a
// recording double. Nothing below the shell knows which one is in use.
#pragma once

#include <string>

namespace ui {

enum class MessageKind { kInformation, kStop, kAlert };

// Exit statuses of the process.
inline constexpr int kExitOk = 0;
// An unhandled error (error report) or a broken calling contract inside the
// program: both are faults of the program, not of its input.
inline constexpr int kExitProgramError = 1;
// Start-up refused to go on (configuration, origin connection, seeding).
inline constexpr int kExitRefused = 2;

inline constexpr const char* kDefaultTitle = "ATENCION";

class Platform {
 public:
  virtual ~Platform() = default;

  // Shows a modal message box and returns when it was closed.
  virtual void Message(MessageKind kind, const std::string& text,
                       const std::string& title) = 0;
  // Asks a yes/no question; true for yes.
  virtual bool Ask(const std::string& text, const std::string& title) = 0;
  // Wait (hourglass) pointer on, or the normal pointer back.
  virtual void WaitPointer(bool on) = 0;
  // Ends the process in order with the given exit status. Does not return.
  [[noreturn]] virtual void EndProgram(int status) = 0;

  void Information(const std::string& text,
                   const std::string& title = kDefaultTitle) {
    Message(MessageKind::kInformation, text, title);
  }
  void Stop(const std::string& text, const std::string& title = kDefaultTitle) {
    Message(MessageKind::kStop, text, title);
  }
  void Alert(const std::string& text, const std::string& title = kDefaultTitle) {
    Message(MessageKind::kAlert, text, title);
  }
};

const char* MessageKindName(MessageKind kind);

}  // namespace ui
