#include "ui/headless/event_loop.h"

#include <poll.h>
#include <signal.h>
#include <sys/signalfd.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>
#include <cstring>

namespace ui {

namespace {

sigset_t HandledSignals() {
  sigset_t set;
  sigemptyset(&set);
  sigaddset(&set, SIGTERM);
  sigaddset(&set, SIGINT);
  sigaddset(&set, SIGUSR1);
  return set;
}

}  // namespace

class EventLoop::LoopTimer : public Timer {
 public:
  explicit LoopTimer(EventLoop* loop) : loop_(loop) {}
  ~LoopTimer() override {
    if (loop_ != nullptr) loop_->Detach(this);
  }

  void Start(std::chrono::milliseconds period) override {
    if (loop_ == nullptr) return;
    period_ = std::max(period, std::chrono::milliseconds(0));
    due_ = Clock::now() + period_;
    active_ = true;
  }
  void Stop() override { active_ = false; }
  bool IsActive() const override { return active_; }

  // Schedules the following tick before this one runs, so that a Start or
  // Stop inside the action has the last word, then runs the action.
  void Deliver(Clock::time_point now) {
    due_ += period_;
    if (due_ <= now) due_ = now + period_;  // fell behind: no catch-up burst
    Fire();
  }

  Clock::time_point due() const { return due_; }
  void Orphan() {
    loop_ = nullptr;
    active_ = false;
  }

 private:
  EventLoop* loop_;
  std::chrono::milliseconds period_{0};
  Clock::time_point due_{};
  bool active_ = false;
};

bool EventLoop::BlockSignals() {
  sigset_t set = HandledSignals();
  int rc = pthread_sigmask(SIG_BLOCK, &set, nullptr);
  if (rc != 0) {
    errno = rc;
    return false;
  }
  return true;
}

EventLoop::EventLoop() {
  if (!BlockSignals()) {
    error_ = std::string("cannot block the stop signals: ") + std::strerror(errno);
    return;
  }
  sigset_t set = HandledSignals();
  signal_fd_ = signalfd(-1, &set, SFD_NONBLOCK | SFD_CLOEXEC);
  if (signal_fd_ < 0) error_ = std::string("signalfd: ") + std::strerror(errno);
}

EventLoop::~EventLoop() {
  for (LoopTimer* timer : timers_) timer->Orphan();
  if (signal_fd_ >= 0) close(signal_fd_);
}

std::unique_ptr<Timer> EventLoop::CreateTimer() {
  auto timer = std::make_unique<LoopTimer>(this);
  timers_.push_back(timer.get());
  return timer;
}

void EventLoop::Detach(LoopTimer* timer) {
  timers_.erase(std::remove(timers_.begin(), timers_.end(), timer), timers_.end());
}

EventLoop::LoopTimer* EventLoop::NextTimer() const {
  LoopTimer* next = nullptr;
  for (LoopTimer* timer : timers_) {
    if (timer->IsActive() && (next == nullptr || timer->due() < next->due())) next = timer;
  }
  return next;
}

bool EventLoop::DrainSignals() {
  bool stop = false;
  signalfd_siginfo info;
  while (read(signal_fd_, &info, sizeof info) == static_cast<ssize_t>(sizeof info)) {
    if (info.ssi_signo == SIGUSR1) {
      if (on_user_signal_) on_user_signal_();
    } else {
      stop = true;
      stop_signal_ = static_cast<int>(info.ssi_signo);
    }
  }
  return stop;
}

EventLoop::EndReason EventLoop::Run() {
  if (!ok()) return EndReason::kError;
  EndReason reason = EndReason::kQuit;
  while (!quit_) {
    LoopTimer* next = NextTimer();
    timespec wait{};
    if (next != nullptr) {
      auto left = std::max(next->due() - Clock::now(), Clock::duration::zero());
      auto seconds = std::chrono::duration_cast<std::chrono::seconds>(left);
      wait.tv_sec = static_cast<time_t>(seconds.count());
      wait.tv_nsec = static_cast<long>(
          std::chrono::duration_cast<std::chrono::nanoseconds>(left - seconds).count());
    }
    pollfd watch{signal_fd_, POLLIN, 0};
    int ready = ppoll(&watch, 1, next != nullptr ? &wait : nullptr, nullptr);
    if (ready < 0) {
      if (errno == EINTR) continue;
      error_ = std::string("ppoll: ") + std::strerror(errno);
      reason = EndReason::kError;
      break;
    }
    if (ready > 0) {
      // Signals first: one that came during the last tick is handled before
      // the next tick is delivered.
      if (DrainSignals()) {
        reason = EndReason::kStopRequest;
        break;
      }
      continue;
    }
    // One tick per turn, so the signals are read again before the next one.
    auto now = Clock::now();
    next = NextTimer();
    if (next != nullptr && next->due() <= now) next->Deliver(now);
  }
  quit_ = false;
  return reason;
}

}  // namespace ui
