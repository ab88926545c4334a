// The error report: the one-line text of an unhandled error (ERRORMESSAGE)
// and Error.log, the diagnostic written into the program directory for each
// one, replacing the previous report. The report's sections keep their
// headings and underlines in a fixed order; each is filled from SystemFacts,
// as far as the running system can tell.
#pragma once

#include <cstdint>
#include <ctime>
#include <filesystem>
#include <optional>
#include <string>
#include <vector>

namespace config {

// One argument of the failed operation: its type letter ("C" text, "N"
// number, "D" date, "L" logical, "A" list, "O" object, "B" callback, "U"
// none) and its value already written as text.
struct ErrorArgument {
  char type = 'U';
  std::string value;
};

// An unhandled error as the handler receives it.
struct ErrorRecord {
  int genCode = 0;               // class of error
  int osCode = 0;                // operating-system error number, 0 if none
  int severity = 2;              // 1 warning, 2 error, 3 catastrophic
  std::string subSystem;         // layer that raised it
  std::optional<int> subCode;    // the layer's own number; none when unknown
  std::string description;
  std::string operation;         // what failed, e.g. a function name
  std::string filename;          // file concerned, if any
  std::optional<std::vector<ErrorArgument>> args;  // none: no argument list
  bool canRetry = false;
  bool canDefault = false;
};

// "Error "/"Warning " or "(DOS Error n) ", subsystem or "???", "/" + subcode
// or "/???", "  " + description, ": " + file name or else ": " + operation.
std::string ERRORMESSAGE(const ErrorRecord& error);

// One active call, innermost first.
struct StackFrame {
  std::string module;    // source file name, else the binary's name
  std::string function;  // demangled, without its parameter list
  int line = 0;          // 0 when not known
};

struct LocalTableIndex {
  std::string key;
  std::string name;
  bool controlling = false;
};

// An open local table (work area) at the time of the error.
struct OpenLocalTable {
  int area = 0;
  bool current = false;
  std::string alias;
  std::string driver;
  long recno = 0;
  long reccount = 0;
  bool bof = false;
  bool eof = false;
  std::vector<LocalTableIndex> indexes;
};

// What the system can tell about the process at the time of the error.
// Unknown numbers are absent and written as "?".
struct SystemFacts {
  std::string executable;                     // full path
  std::optional<std::uintmax_t> executable_size;
  std::time_t when = 0;                       // time of the error
  std::optional<long> seconds_running;        // since the process started
  std::vector<StackFrame> frames;
  std::vector<std::string> local_table_drivers;
  std::vector<OpenLocalTable> open_tables;
  std::vector<std::string> classes;
  std::optional<long> static_variables;
  std::optional<std::uint64_t> memory_in_use;  // bytes
  std::optional<std::uint64_t> memory_peak;    // bytes
  std::string cpu_model;
  std::string cpu_mhz;                         // whole megahertz
  std::optional<std::uint64_t> memory_total;   // bytes of physical memory
  std::optional<int> memory_free_percent;
  std::string compiler;
  std::string kernel_release;                  // uname release
  std::string kernel_build;                    // uname version
  std::vector<std::string> processes;          // running process names
};

// "( " + version label + " [DTE]" + " )".
std::string VersionText();

// Error.log's content as UTF-8 lines, each ended by CR LF.
std::string BuildErrorReport(const ErrorRecord& error, const SystemFacts& facts);

// Writes `report` to `directory`/Error.log anew, in Windows-1252 (characters
// it cannot hold become "?") followed by one 0x1A byte. False on failure.
bool WriteErrorLog(const std::filesystem::path& directory, const std::string& report);

inline constexpr const char* kErrorLogName = "Error.log";

}  // namespace config
