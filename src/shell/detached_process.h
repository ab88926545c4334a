// Starting an outside program that the service neither waits for nor looks
// at again (the problem-mail command). No shell is involved: the program is
// found on PATH and gets its arguments as a vector, so no argument text can
// turn into a command. Its standard streams go to /dev/null.
#pragma once

#include <sys/types.h>

#include <filesystem>
#include <string>
#include <vector>

namespace shell {

// The processes this object started. Their exit statuses are collected
// without blocking (Reap) at every launch and when the object goes, so ended
// commands do not linger as zombies; one still running when the service
// exits is adopted and reaped by init (or systemd's subreaper).
class DetachedProcesses {
 public:
  DetachedProcesses() = default;
  ~DetachedProcesses();
  DetachedProcesses(const DetachedProcesses&) = delete;
  DetachedProcesses& operator=(const DetachedProcesses&) = delete;

  // Starts argv[0] (searched on PATH) with `argv`, in `directory` when it is
  // not empty, in a session of its own, with the default signal dispositions
  // and no blocked signals (whatever the service blocks for its event loop).
  // False when the program could not be started; nothing else is reported.
  bool Launch(const std::vector<std::string>& argv,
              const std::filesystem::path& directory = {});

  // Collects the statuses of the started processes that have ended. Never
  // waits for one that is still running.
  void Reap();

  // Started processes whose status has not been collected yet.
  size_t pending() const { return pids_.size(); }

 private:
  std::vector<pid_t> pids_;
};

}  // namespace shell
