#include "config/error_handler.h"

#include <cxxabi.h>
#include <signal.h>
#include <ucontext.h>
#include <unistd.h>

#include <atomic>
#include <cstdio>
#include <cstdlib>
#include <exception>
#include <memory>
#include <string>

#include "config/system_facts.h"
#include "ui/platform.h"

namespace config {

namespace {

constexpr int kExitReported = ui::kExitProgramError;
// A report that has not finished by then (a fault inside the allocator, a
// stuck file system) is abandoned.
constexpr unsigned kWatchdogSeconds = 30;
constexpr size_t kAltStackSize = 256 * 1024;
constexpr int kFatalSignals[] = {SIGSEGV, SIGBUS, SIGFPE, SIGILL, SIGABRT};

std::atomic<bool> g_handling{false};

// What the handler reads. Never destroyed, so that an error during the
// process's own exit still finds it.
struct HandlerSettings {
  std::filesystem::path directory;
  ErrorDialogHook dialog;
  OpenTablesSource open_tables;
};

HandlerSettings& Settings() {
  static HandlerSettings* settings = new HandlerSettings;
  return *settings;
}

void WatchdogExpired(int) { _exit(kExitReported); }

// Ends the process if the report does not finish in time, whatever signals
// the rest of the process has blocked.
void ArmWatchdog() {
  struct sigaction sa {};
  sa.sa_handler = WatchdogExpired;
  sigemptyset(&sa.sa_mask);
  sigaction(SIGALRM, &sa, nullptr);
  sigset_t alarm_only;
  sigemptyset(&alarm_only);
  sigaddset(&alarm_only, SIGALRM);
  pthread_sigmask(SIG_UNBLOCK, &alarm_only, nullptr);
  alarm(kWatchdogSeconds);
}

std::filesystem::path ExecutableDirectory() {
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  return ec ? std::filesystem::path(".") : exe.parent_path();
}

// Writes the report and shows the dialog (when a face set one); then ends.
[[noreturn]] void Finish(const ErrorRecord& error, std::vector<StackFrame> calls) {
  SystemFacts facts = GatherSystemFacts(std::time(nullptr));
  facts.frames = std::move(calls);
  facts.local_table_drivers = {kLocalTableDriver};
  HandlerSettings& settings = Settings();
  if (settings.open_tables) facts.open_tables = settings.open_tables();
  std::filesystem::path directory =
      settings.directory.empty() ? ExecutableDirectory() : settings.directory;
  WriteErrorLog(directory, BuildErrorReport(error, facts));
  if (settings.dialog) settings.dialog(error, facts.frames, directory / kErrorLogName);
  _exit(kExitReported);
}

// Enters the handling of one error; a second one on the way ends the
// process at once.
void Enter() {
  if (g_handling.exchange(true)) _exit(kExitReported);
  ArmWatchdog();
}

const char* SignalName(int sig) {
  switch (sig) {
    case SIGSEGV: return "SIGSEGV";
    case SIGBUS: return "SIGBUS";
    case SIGFPE: return "SIGFPE";
    case SIGILL: return "SIGILL";
    case SIGABRT: return "SIGABRT";
    default: return "SIGNAL";
  }
}

const char* SignalDescription(int sig) {
  switch (sig) {
    case SIGSEGV: return "Segmentation fault";
    case SIGBUS: return "Bus error";
    case SIGFPE: return "Arithmetic exception";
    case SIGILL: return "Illegal instruction";
    case SIGABRT: return "Aborted";
    default: return "Fatal signal";
  }
}

std::uintptr_t FaultingInstruction(void* context) {
  const auto* uc = static_cast<const ucontext_t*>(context);
  if (uc == nullptr) return 0;
#if defined(__x86_64__)
  return static_cast<std::uintptr_t>(uc->uc_mcontext.gregs[REG_RIP]);
#elif defined(__aarch64__)
  return static_cast<std::uintptr_t>(uc->uc_mcontext.pc);
#else
  return 0;
#endif
}

void OnFatalSignal(int sig, siginfo_t* info, void* context) {
  Enter();
  ErrorRecord error;
  error.severity = 3;
  error.subSystem = SignalName(sig);
  error.subCode = sig;
  error.description = SignalDescription(sig);
  if (info != nullptr && sig != SIGABRT) {
    char address[40];
    std::snprintf(address, sizeof address, " at address %p", info->si_addr);
    error.description += address;
  }
  std::uintptr_t pc = FaultingInstruction(context);
  std::vector<std::uintptr_t> addresses = CaptureCallAddresses(pc);
  bool exact = pc != 0 && !addresses.empty() && addresses.front() == pc;
  Finish(error, DescribeCalls(addresses, exact));
}

std::string CurrentExceptionType() {
  std::type_info* type = abi::__cxa_current_exception_type();
  if (type == nullptr) return {};
  int status = 0;
  char* plain = abi::__cxa_demangle(type->name(), nullptr, nullptr, &status);
  std::string name = status == 0 && plain ? plain : type->name();
  std::free(plain);
  return name;
}

// The calls from where the exception was thrown outwards: the frames of the
// runtime's throw and terminate machinery and of this handler are dropped.
std::vector<StackFrame> ThrowSiteCalls() {
  std::vector<StackFrame> calls = DescribeCalls(CaptureCallAddresses());
  size_t start = 0;
  for (size_t i = 0; i < calls.size(); ++i) {
    const std::string& f = calls[i].function;
    if (f.find("__cxa_throw") != std::string::npos ||
        f.find("__cxa_rethrow") != std::string::npos ||
        f == "std::terminate" || f.find("__terminate") != std::string::npos) {
      start = i + 1;
    }
  }
  if (start >= calls.size()) start = 0;
  calls.erase(calls.begin(), calls.begin() + static_cast<long>(start));
  return calls;
}

void OnTerminate() {
  Enter();
  ErrorRecord error;
  error.severity = 3;
  std::exception_ptr current = std::current_exception();
  if (current) {
    error.subSystem = CurrentExceptionType();
    try {
      std::rethrow_exception(current);
    } catch (const std::exception& e) {
      error.description = e.what();
    } catch (...) {
      error.description = "Uncaught exception";
    }
  } else {
    error.subSystem = "std::terminate";
    error.description = "Terminate called without an active exception";
  }
  Finish(error, ThrowSiteCalls());
}

void InstallSignalHandlers() {
  // The handler must run even when the stack itself overflowed.
  static std::unique_ptr<char[]> alt_stack(new char[kAltStackSize]);
  stack_t ss{};
  ss.ss_sp = alt_stack.get();
  ss.ss_size = kAltStackSize;
  sigaltstack(&ss, nullptr);

  struct sigaction sa {};
  sa.sa_sigaction = OnFatalSignal;
  // SA_NODEFER: a fault inside the handler comes back to it (and ends the
  // process with status 1) instead of killing it with the signal.
  sa.sa_flags = SA_SIGINFO | SA_ONSTACK | SA_NODEFER;
  sigemptyset(&sa.sa_mask);
  for (int sig : kFatalSignals) sigaction(sig, &sa, nullptr);
}

}  // namespace

void ERRORSYS(const std::filesystem::path& program_directory) {
  Settings().directory = program_directory;
  // Loaded now so that a report does not have to load them in a handler.
  tzset();
  PrepareCallCapture();
  std::set_terminate(OnTerminate);
  InstallSignalHandlers();
}

void SetErrorReportDirectory(const std::filesystem::path& program_directory) {
  Settings().directory = program_directory;
}

void SetErrorDialog(ErrorDialogHook hook) { Settings().dialog = std::move(hook); }

void SetOpenTablesSource(OpenTablesSource source) {
  Settings().open_tables = std::move(source);
}

void ReportFatalError(const ErrorRecord& error) {
  Enter();
  Finish(error, DescribeCalls(CaptureCallAddresses()));
}

}  // namespace config
