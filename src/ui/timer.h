// A periodic timer on the face's event loop: the desktop face implements it
// with a window timer, the headless face with its own event loop, tests with a
// timer they tick by hand. Everything runs on the one thread of the loop.
#pragma once

#include <chrono>
#include <functional>
#include <utility>

namespace ui {

class Timer {
 public:
  using Action = std::function<void()>;

  virtual ~Timer() = default;

  // Delivers a tick every `period` from now on and sets the active flag.
  // Starting an active timer restarts its period. May be called from inside
  // the timer's own action.
  virtual void Start(std::chrono::milliseconds period) = 0;
  // Stops the delivery of ticks and clears the active flag; a tick that was
  // already due is ignored when it comes. May be called from inside the action.
  virtual void Stop() = 0;
  virtual bool IsActive() const = 0;

  // The action of every tick. Set it before the first Start, never from inside
  // the action itself (the running action would be destroyed under its feet).
  void SetAction(Action action) { action_ = std::move(action); }

 protected:
  // Implementations call this for every tick they deliver. A tick that comes
  // while the timer is inactive is ignored, whatever the implementation
  // queued before it was stopped. True when the tick was handled.
  bool Fire() {
    if (!IsActive() || !action_) return false;
    action_();
    return true;
  }

 private:
  Action action_;
};

}  // namespace ui
