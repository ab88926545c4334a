#include "config/system_facts.h"

#include <cxxabi.h>
#include <dlfcn.h>
#include <elfutils/libdwfl.h>
#include <execinfo.h>
#include <sys/utsname.h>
#include <unistd.h>

#include <algorithm>
#include <cstdlib>
#include <fstream>
#include <sstream>
#include <utility>

namespace config {

namespace {

constexpr int kMaxCaptured = 128;

std::string BaseName(const std::string& path) {
  size_t slash = path.find_last_of('/');
  return slash == std::string::npos ? path : path.substr(slash + 1);
}

// "ns::Class::method(int) const" -> "ns::Class::method": the report puts the
// line number in parentheses after the name.
std::string WithoutParameters(std::string name) {
  size_t clone = name.find(" [clone ");
  if (clone != std::string::npos) name.erase(clone);
  size_t close = name.find_last_of(')');
  if (close == std::string::npos) return name;
  for (size_t i = close + 1; i < name.size(); ++i) {
    char c = name[i];
    if (!(c == ' ' || c == '&' || (c >= 'a' && c <= 'z'))) return name;  // not qualifiers
  }
  int depth = 0;
  for (size_t i = close + 1; i-- > 0;) {
    if (name[i] == ')') ++depth;
    if (name[i] == '(' && --depth == 0) return i > 0 ? name.substr(0, i) : name;
  }
  return name;
}

std::string Demangle(const char* symbol) {
  std::string raw = symbol;
  raw.erase(std::min(raw.find('@'), raw.size()));  // "name@@GLIBC_2.34": no version
  int status = 0;
  char* plain = abi::__cxa_demangle(raw.c_str(), nullptr, nullptr, &status);
  std::string name = status == 0 && plain ? plain : raw;
  std::free(plain);
  return WithoutParameters(name);
}

// A libdw session over the process's own mappings.
class Symbolizer {
 public:
  Symbolizer() {
    callbacks_.find_elf = dwfl_linux_proc_find_elf;
    callbacks_.find_debuginfo = dwfl_standard_find_debuginfo;
    callbacks_.debuginfo_path = &debuginfo_path_;
    dwfl_ = dwfl_begin(&callbacks_);
    if (dwfl_ == nullptr) return;
    dwfl_report_begin(dwfl_);
    if (dwfl_linux_proc_report(dwfl_, getpid()) != 0 ||
        dwfl_report_end(dwfl_, nullptr, nullptr) != 0) {
      dwfl_end(dwfl_);
      dwfl_ = nullptr;
    }
  }
  ~Symbolizer() {
    if (dwfl_ != nullptr) dwfl_end(dwfl_);
  }
  Symbolizer(const Symbolizer&) = delete;
  Symbolizer& operator=(const Symbolizer&) = delete;

  StackFrame Describe(std::uintptr_t pc) {
    StackFrame frame;
    if (dwfl_ != nullptr) {
      Dwfl_Module* module = dwfl_addrmodule(dwfl_, pc);
      if (module != nullptr) {
        const char* binary = dwfl_module_info(module, nullptr, nullptr, nullptr, nullptr,
                                              nullptr, nullptr, nullptr);
        if (binary != nullptr) frame.module = BaseName(binary);
        if (const char* symbol = dwfl_module_addrname(module, pc)) {
          frame.function = Demangle(symbol);
        }
        if (Dwfl_Line* line = dwfl_module_getsrc(module, pc)) {
          int number = 0;
          const char* source =
              dwfl_lineinfo(line, nullptr, &number, nullptr, nullptr, nullptr);
          if (source != nullptr) {
            frame.module = BaseName(source);
            frame.line = number;
          }
        }
      }
    }
    if (frame.function.empty() || frame.module.empty()) {
      Dl_info info{};
      if (dladdr(reinterpret_cast<void*>(pc), &info) != 0) {
        if (frame.function.empty() && info.dli_sname != nullptr) {
          frame.function = Demangle(info.dli_sname);
        }
        if (frame.module.empty() && info.dli_fname != nullptr) {
          frame.module = BaseName(info.dli_fname);
        }
      }
    }
    return frame;
  }

 private:
  char* debuginfo_path_ = nullptr;
  Dwfl_Callbacks callbacks_{};
  Dwfl* dwfl_ = nullptr;
};

// The value after "key:" on the first line of `path` that starts with `key`.
std::string ProcField(const char* path, const std::string& key) {
  std::ifstream in(path);
  std::string line;
  while (std::getline(in, line)) {
    if (line.compare(0, key.size(), key) != 0) continue;
    size_t colon = line.find(':', key.size());
    if (colon == std::string::npos) continue;
    size_t begin = line.find_first_not_of(" \t", colon + 1);
    return begin == std::string::npos ? std::string() : line.substr(begin);
  }
  return {};
}

// "1234 kB" -> bytes.
std::optional<std::uint64_t> Kilobytes(const std::string& text) {
  if (text.empty()) return std::nullopt;
  char* end = nullptr;
  unsigned long long kb = std::strtoull(text.c_str(), &end, 10);
  if (end == text.c_str()) return std::nullopt;
  return static_cast<std::uint64_t>(kb) * 1024;
}

// Seconds since this process started: the system's uptime less the start
// time of the process (field 22 of /proc/self/stat, in clock ticks).
std::optional<long> SecondsRunning() {
  std::ifstream stat("/proc/self/stat");
  std::string text((std::istreambuf_iterator<char>(stat)), std::istreambuf_iterator<char>());
  size_t paren = text.rfind(')');
  std::ifstream uptime_file("/proc/uptime");
  double uptime = 0;
  if (paren == std::string::npos || !(uptime_file >> uptime)) return std::nullopt;
  std::istringstream fields(text.substr(paren + 2));
  std::string field;
  for (int i = 3; i <= 22 && fields >> field; ++i) {
    if (i == 22) {
      long ticks = sysconf(_SC_CLK_TCK);
      if (ticks <= 0) return std::nullopt;
      double started = std::strtod(field.c_str(), nullptr) / static_cast<double>(ticks);
      return static_cast<long>(uptime - started);
    }
  }
  return std::nullopt;
}

// Names of the running processes, by process id.
std::vector<std::string> RunningProcesses() {
  std::vector<std::pair<long, std::string>> found;
  std::error_code ec;
  for (const auto& entry : std::filesystem::directory_iterator("/proc", ec)) {
    const std::string name = entry.path().filename().string();
    if (name.empty() || name.find_first_not_of("0123456789") != std::string::npos) continue;
    std::ifstream comm(entry.path() / "comm");
    std::string command;
    if (std::getline(comm, command)) found.emplace_back(std::strtol(name.c_str(), nullptr, 10), command);
  }
  std::sort(found.begin(), found.end());
  std::vector<std::string> names;
  names.reserve(found.size());
  for (auto& p : found) names.push_back(std::move(p.second));
  return names;
}

const char* CompilerVersion() {
#if defined(__clang__)
  return "clang " __clang_version__;
#elif defined(__GNUC__)
  return "GCC " __VERSION__;
#else
  return "";
#endif
}

}  // namespace

__attribute__((noinline)) std::vector<std::uintptr_t> CaptureCallAddresses(
    std::uintptr_t fault_pc) {
  void* buffer[kMaxCaptured];
  int n = backtrace(buffer, kMaxCaptured);
  int start = n > 1 ? 1 : n;  // leave this function out
  if (fault_pc != 0) {
    for (int i = 0; i < n; ++i) {
      if (reinterpret_cast<std::uintptr_t>(buffer[i]) == fault_pc) {
        start = i;
        break;
      }
    }
  }
  std::vector<std::uintptr_t> addresses;
  for (int i = start; i < n; ++i) addresses.push_back(reinterpret_cast<std::uintptr_t>(buffer[i]));
  return addresses;
}

std::vector<StackFrame> DescribeCalls(const std::vector<std::uintptr_t>& addresses,
                                      bool first_is_exact) {
  Symbolizer symbolizer;
  std::vector<StackFrame> frames;
  frames.reserve(addresses.size());
  for (size_t i = 0; i < addresses.size(); ++i) {
    std::uintptr_t pc = addresses[i];
    if (!(i == 0 && first_is_exact) && pc > 0) --pc;
    frames.push_back(symbolizer.Describe(pc));
  }
  return frames;
}

SystemFacts GatherSystemFacts(std::time_t when) {
  SystemFacts facts;
  facts.when = when;
  std::error_code ec;
  std::filesystem::path exe = std::filesystem::read_symlink("/proc/self/exe", ec);
  if (!ec) {
    facts.executable = exe.string();
    std::uintmax_t size = std::filesystem::file_size(exe, ec);
    if (!ec) facts.executable_size = size;
  }
  facts.seconds_running = SecondsRunning();
  facts.memory_in_use = Kilobytes(ProcField("/proc/self/status", "VmRSS"));
  facts.memory_peak = Kilobytes(ProcField("/proc/self/status", "VmHWM"));
  facts.cpu_model = ProcField("/proc/cpuinfo", "model name");
  std::string mhz = ProcField("/proc/cpuinfo", "cpu MHz");
  if (!mhz.empty()) facts.cpu_mhz = std::to_string(std::strtol(mhz.c_str(), nullptr, 10));
  facts.memory_total = Kilobytes(ProcField("/proc/meminfo", "MemTotal"));
  auto available = Kilobytes(ProcField("/proc/meminfo", "MemAvailable"));
  if (facts.memory_total && available && *facts.memory_total > 0) {
    facts.memory_free_percent = static_cast<int>(*available * 100 / *facts.memory_total);
  }
  facts.compiler = CompilerVersion();
  utsname names{};
  if (uname(&names) == 0) {
    facts.kernel_release = names.release;
    facts.kernel_build = names.version;
  }
  facts.processes = RunningProcesses();
  return facts;
}

void PrepareCallCapture() {
  void* buffer[2];
  backtrace(buffer, 2);
}

}  // namespace config
