#include "config/error_report.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "config/codepage.h"

#ifndef QV_VERSION
#define QV_VERSION "0.0.0"
#endif

namespace config {

namespace {

constexpr const char* kEol = "\r\n";
constexpr size_t kMaxCalls = 72;

std::string RightAlign(const std::string& text, size_t width) {
  return text.size() >= width ? text : std::string(width - text.size(), ' ') + text;
}

std::string LeftAlign(const std::string& text, size_t width) {
  return text.size() >= width ? text : text + std::string(width - text.size(), ' ');
}

template <typename T>
std::string NumberOrUnknown(const std::optional<T>& n) {
  return n ? std::to_string(*n) : "?";
}

std::string OrUnknown(const std::string& text) { return text.empty() ? "?" : text; }

std::string WithThousands(std::uintmax_t n) {
  std::string digits = std::to_string(n);
  std::string out;
  for (size_t i = 0; i < digits.size(); ++i) {
    if (i > 0 && (digits.size() - i) % 3 == 0) out += ',';
    out += digits[i];
  }
  return out;
}

std::string Flag(bool b) { return b ? ".T." : ".F."; }

// "dd/mm/yyyy, hh:mm:ss" in local time.
std::string DateAndTime(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  char text[32];
  std::strftime(text, sizeof text, "%d/%m/%Y, %H:%M:%S", &local);
  return text;
}

std::string Uptime(const std::optional<long>& seconds) {
  if (!seconds) return "? hours ? mins ? secs ";
  long s = *seconds < 0 ? 0 : *seconds;
  return std::to_string(s / 3600) + " hours " + std::to_string(s / 60 % 60) + " mins " +
         std::to_string(s % 60) + " secs ";
}

// The description line is one line whatever the error's text holds.
std::string OneLine(std::string text) {
  for (char& c : text) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  return text;
}

class Lines {
 public:
  void Add(const std::string& line) { text_ += line + kEol; }
  void Heading(const char* title, const char* underline) {
    Add("");
    Add(title);
    Add(underline);
  }
  std::string& text() { return text_; }

 private:
  std::string text_;
};

void AddOpenTable(Lines& out, const OpenLocalTable& t) {
  out.Add("");
  out.Add(RightAlign(std::to_string(t.area), 3) + ": " + (t.current ? "=> " : "   ") +
          LeftAlign(t.alias, 15) + std::string(20, ' ') + "RddName: " + t.driver);
  out.Add("     ==============================");
  out.Add("     RecNo    RecCount    BOF   EOF");
  out.Add("    " + RightAlign(std::to_string(t.recno), 5) + "      " +
          RightAlign(std::to_string(t.reccount), 5) + "      " + Flag(t.bof) + "   " +
          Flag(t.eof));
  out.Add("");
  out.Add("     Indexes in use " + std::string(23, ' ') + "TagName");
  size_t shown = 0;
  for (const LocalTableIndex& index : t.indexes) {
    if (index.key.empty()) continue;
    if (++shown > 15) break;
    out.Add(std::string(8, ' ') + (index.controlling ? "=> " : "   ") +
            LeftAlign(index.key, 35) + index.name);
  }
  out.Add("");
  out.Add("     Relations in use");
}

}  // namespace

std::string ERRORMESSAGE(const ErrorRecord& error) {
  std::string text;
  if (error.osCode == 0) {
    text = error.severity > 1 ? "Error " : "Warning ";
  } else {
    text = "(DOS Error " + std::to_string(error.osCode) + ") ";
  }
  text += error.subSystem.empty() ? "???" : error.subSystem;
  text += '/';
  text += error.subCode ? std::to_string(*error.subCode) : std::string("???");
  if (!error.description.empty()) text += "  " + error.description;
  if (!error.filename.empty()) {
    text += ": " + error.filename;
  } else if (!error.operation.empty()) {
    text += ": " + error.operation;
  }
  return text;
}

std::string VersionText() { return std::string("( ") + QV_VERSION + " [DTE]" + " )"; }

std::string BuildErrorReport(const ErrorRecord& error, const SystemFacts& facts) {
  Lines out;
  out.Add("Aplicacion (32bits) : " + facts.executable);
  out.Add("     Version Quorix : " + VersionText());
  out.Add("             Tamaño : " +
          RightAlign(facts.executable_size ? WithThousands(*facts.executable_size) : "?", 10) +
          " bytes");
  out.Add("    Fecha del error : " + DateAndTime(facts.when));
  out.Add("      Tiempo de uso : " + Uptime(facts.seconds_running));
  out.Add("   Error description: " + OneLine(ERRORMESSAGE(error)));
  if (error.args) {
    out.Add("   Args:");
    for (size_t i = 0; i < error.args->size(); ++i) {
      const ErrorArgument& arg = (*error.args)[i];
      out.Add("     [" + RightAlign(std::to_string(i + 1), 4) + "] = " + arg.type + "   " +
              arg.value);
    }
  }

  size_t calls = facts.frames.size() < kMaxCalls ? facts.frames.size() : kMaxCalls;
  out.Heading("Stack Calls", "===========");
  for (size_t i = 0; i < calls; ++i) {
    const StackFrame& f = facts.frames[i];
    out.Add("   Called from: " + OrUnknown(f.module) + " => " + OrUnknown(f.function) + "(" +
            std::to_string(f.line) + ")");
  }

  // Parameters and local variables of a call are not observable in a
  // compiled program; each call is listed by name.
  out.Heading("Variables en uso", "================");
  out.Add("   Procedure     Type   Value");
  out.Add("   ==========================");
  for (size_t i = 0; i < calls; ++i) out.Add("   " + OrUnknown(facts.frames[i].function));

  out.Heading("Linked RDDs", "===========");
  for (const std::string& driver : facts.local_table_drivers) out.Add("   " + driver);

  out.Heading("DBF's en uso", "================");
  for (const OpenLocalTable& table : facts.open_tables) AddOpenTable(out, table);

  out.Heading("Classes in use:", "===============");
  for (size_t i = 0; i < facts.classes.size(); ++i) {
    out.Add("   " + RightAlign(std::to_string(i + 1), 3) + " " + facts.classes[i]);
  }

  out.Heading("Memory Analysis", "===============");
  out.Add("      " + NumberOrUnknown(facts.static_variables) + " Static variables");
  out.Add("");
  out.Add("   Dynamic memory consume:");
  out.Add("      Actual  Value: " + RightAlign(NumberOrUnknown(facts.memory_in_use), 10) +
          " bytes");
  out.Add("      Highest Value: " + RightAlign(NumberOrUnknown(facts.memory_peak), 10) +
          " bytes");

  out.Heading("System", "======");
  out.Add("   CPU type: " + OrUnknown(facts.cpu_model) + " " + OrUnknown(facts.cpu_mhz) +
          " Mhz");
  out.Add("   Hardware memory: " +
          (facts.memory_total ? std::to_string(*facts.memory_total / (1024 * 1024) + 1)
                              : std::string("?")) +
          " megs");
  out.Add("");
  // Linux has no GDI or User resource pools; free memory stands for the
  // system's resources.
  out.Add("   Free System resources: " + NumberOrUnknown(facts.memory_free_percent) + " %");
  out.Add("        GDI    resources: ? %");
  out.Add("        User   resources: ? %");
  out.Add("");
  out.Add("   Compiler version: " + OrUnknown(facts.compiler));
  out.Add("   Linux version: " + OrUnknown(facts.kernel_release) + ", Build " +
          OrUnknown(facts.kernel_build));
  out.Add("");
  out.Add("   Linux total applications running: " + std::to_string(facts.processes.size()));
  for (size_t i = 0; i < facts.processes.size(); ++i) {
    out.Add("    " + RightAlign(std::to_string(i + 1), 3) + " " + facts.processes[i]);
  }
  return std::move(out.text());
}

bool WriteErrorLog(const std::filesystem::path& directory, const std::string& report) {
  std::string bytes = ToCp1252Lossy(report);
  bytes += '\x1A';
  std::string path = (directory / kErrorLogName).string();
  // Plain system calls: this also runs inside a fatal-signal handler.
  int fd = ::open(path.c_str(), O_WRONLY | O_CREAT | O_TRUNC | O_CLOEXEC, 0644);
  if (fd < 0) return false;
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0 && errno == EINTR) continue;
    if (n <= 0) break;
    done += static_cast<size_t>(n);
  }
  bool ok = ::close(fd) == 0 && done == bytes.size();
  return ok;
}

}  // namespace config
