#include "shell/detached_process.h"

#include <fcntl.h>
#include <signal.h>
#include <spawn.h>
#include <sys/wait.h>
#include <unistd.h>

#include <algorithm>
#include <cerrno>

extern char** environ;

namespace shell {

namespace {

// posix_spawn's attribute and file-action objects, destroyed on every path.
class SpawnSetup {
 public:
  SpawnSetup() {
    attr_ok_ = posix_spawnattr_init(&attr_) == 0;
    actions_ok_ = posix_spawn_file_actions_init(&actions_) == 0;
  }
  ~SpawnSetup() {
    if (attr_ok_) posix_spawnattr_destroy(&attr_);
    if (actions_ok_) posix_spawn_file_actions_destroy(&actions_);
  }
  SpawnSetup(const SpawnSetup&) = delete;
  SpawnSetup& operator=(const SpawnSetup&) = delete;

  bool Prepare(const std::filesystem::path& directory) {
    if (!attr_ok_ || !actions_ok_) return false;
    sigset_t none;
    sigset_t all;
    sigemptyset(&none);
    sigfillset(&all);
    short flags = POSIX_SPAWN_SETSID | POSIX_SPAWN_SETSIGMASK | POSIX_SPAWN_SETSIGDEF;
    if (posix_spawnattr_setflags(&attr_, flags) != 0 ||
        posix_spawnattr_setsigmask(&attr_, &none) != 0 ||
        posix_spawnattr_setsigdefault(&attr_, &all) != 0) {
      return false;
    }
    for (int fd = 0; fd <= 2; ++fd) {
      int mode = fd == 0 ? O_RDONLY : O_WRONLY;
      if (posix_spawn_file_actions_addopen(&actions_, fd, "/dev/null", mode, 0) != 0) {
        return false;
      }
    }
    if (!directory.empty() &&
        posix_spawn_file_actions_addchdir_np(&actions_, directory.c_str()) != 0) {
      return false;
    }
    return true;
  }

  const posix_spawnattr_t* attr() const { return &attr_; }
  const posix_spawn_file_actions_t* actions() const { return &actions_; }

 private:
  posix_spawnattr_t attr_;
  posix_spawn_file_actions_t actions_;
  bool attr_ok_ = false;
  bool actions_ok_ = false;
};

}  // namespace

DetachedProcesses::~DetachedProcesses() { Reap(); }

bool DetachedProcesses::Launch(const std::vector<std::string>& argv,
                               const std::filesystem::path& directory) {
  Reap();
  if (argv.empty() || argv[0].empty()) return false;
  SpawnSetup setup;
  if (!setup.Prepare(directory)) return false;

  std::vector<char*> args;
  args.reserve(argv.size() + 1);
  for (const std::string& a : argv) args.push_back(const_cast<char*>(a.c_str()));
  args.push_back(nullptr);

  pid_t pid = 0;
  // glibc reports a failed exec as the return value (and collects that
  // child itself), so a missing program is a plain false here.
  if (posix_spawnp(&pid, args[0], setup.actions(), setup.attr(), args.data(),
                   environ) != 0) {
    return false;
  }
  pids_.push_back(pid);
  return true;
}

void DetachedProcesses::Reap() {
  // Only our own children are collected: waitpid(-1) would take statuses
  // that belong to other parts of the process.
  pids_.erase(std::remove_if(pids_.begin(), pids_.end(),
                             [](pid_t pid) {
                               int status = 0;
                               pid_t r = waitpid(pid, &status, WNOHANG);
                               return r == pid || (r < 0 && errno == ECHILD);
                             }),
              pids_.end());
}

}  // namespace shell
