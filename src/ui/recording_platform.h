// A platform double for tests: records every message and pointer change, answers
// questions from a script, and turns EndProgram into a ProgramEnded exception so
// a test can observe that the program would have ended.
#pragma once

#include <deque>
#include <string>
#include <vector>

#include "ui/platform.h"

namespace ui {

struct RecordedMessage {
  MessageKind kind;
  std::string title;
  std::string text;
};

struct ProgramEnded {
  int status;
};

class RecordingPlatform : public Platform {
 public:
  void Message(MessageKind kind, const std::string& text,
               const std::string& title) override {
    messages.push_back({kind, title, text});
  }
  bool Ask(const std::string& text, const std::string& title) override {
    questions.push_back({MessageKind::kInformation, title, text});
    if (answers.empty()) return false;
    bool answer = answers.front();
    answers.pop_front();
    return answer;
  }
  void WaitPointer(bool on) override {
    wait_depth += on ? 1 : -1;
    pointer_changes.push_back(on);
  }
  [[noreturn]] void EndProgram(int status) override { throw ProgramEnded{status}; }

  std::vector<RecordedMessage> messages;
  std::vector<RecordedMessage> questions;
  std::deque<bool> answers;
  std::vector<bool> pointer_changes;
  int wait_depth = 0;
};

}  // namespace ui
