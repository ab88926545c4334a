// The event loop of the headless face: one thread, waiting in ppoll on a
// signalfd until the next timer is due. It drives the face's timers and turns
// SIGTERM and SIGINT into a stop request (Run returns) and SIGUSR1 into a
// callback. Signals are read only between ticks, never inside one, so a
// running cycle always finishes before the process stops or monitoring flips.
//
// The three signals are blocked in the process mask and stay blocked after
// the loop ends: a late SIGTERM then cannot cut the orderly shutdown short.
// Call BlockSignals() first thing in main, before any thread exists, so that
// no thread is left to take them by the default action.
#pragma once

#include <chrono>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "ui/timer.h"

namespace ui {

class EventLoop {
 public:
  enum class EndReason {
    kQuit,         // Quit() was called
    kStopRequest,  // SIGTERM or SIGINT arrived
    kError,        // the signalfd could not be made or waiting failed
  };

  // Blocks SIGTERM, SIGINT and SIGUSR1 in the calling thread (and so in every
  // thread it creates later). False with errno set on failure.
  static bool BlockSignals();

  // Blocks the signals and opens the signalfd; check ok().
  EventLoop();
  // Timers still alive are detached: they stay valid objects and tick no more.
  ~EventLoop();
  EventLoop(const EventLoop&) = delete;
  EventLoop& operator=(const EventLoop&) = delete;

  bool ok() const { return signal_fd_ >= 0; }
  const std::string& error() const { return error_; }

  // A timer driven by this loop, inactive until started.
  std::unique_ptr<Timer> CreateTimer();

  // Called for every SIGUSR1, between ticks.
  void OnUserSignal(std::function<void()> callback) { on_user_signal_ = std::move(callback); }

  // Runs until Quit(), a stop signal or an error. A stop signal that arrived
  // before Run (during start-up) ends it at once. Due timers tick one at a
  // time, with the signals read before each tick; a timer that fell behind
  // ticks once and then keeps its period from then on (no burst of late ticks).
  EndReason Run();

  // Makes Run return after the tick or callback in progress. Called before
  // Run, Run returns at once.
  void Quit() { quit_ = true; }

  // The number of the stop signal that ended Run, 0 otherwise.
  int stop_signal() const { return stop_signal_; }

 private:
  class LoopTimer;
  using Clock = std::chrono::steady_clock;

  // Reads every pending signal; true when a stop was requested.
  bool DrainSignals();
  LoopTimer* NextTimer() const;
  void Detach(LoopTimer* timer);

  int signal_fd_ = -1;
  std::string error_;
  bool quit_ = false;
  int stop_signal_ = 0;
  std::function<void()> on_user_signal_;
  std::vector<LoopTimer*> timers_;
};

}  // namespace ui
