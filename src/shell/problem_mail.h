// The problem mail: after a scheduler run with problems, an HTML page listing
// them is written to "BodyHTML_YYYYMMDD.html" in the working directory and
// handed, with the recipient cDestinatario, to an outside mail command that
// the service neither waits for nor checks. The page is built from a row
// buffer (one per process) under a header row.
#pragma once

#include <ctime>
#include <filesystem>
#include <functional>
#include <string>
#include <vector>

#include "shell/detached_process.h"

namespace config {
class TInicio;
}

namespace shell {

using MailRow = std::vector<std::string>;
using MailRows = std::vector<MailRow>;

// The program part of the mail command; the recipient and the page file name
// follow it as two further arguments.
inline constexpr const char* kDefaultMailProgram = "java -jar sendmail.jar";

// The header row of the page a run's problem lines are mailed under.
inline constexpr const char* kProblemHeader = "Problema";

// One table row: "<tr>", a "<td><b>cell</b></td>" (header) or "<td>cell</td>"
// (data) per cell, "</tr>". Cell texts are HTML-escaped (& < > ").
std::string ENQUINA(const MailRow& aRow, bool lHeader = false);

// The whole page, one line. With no rows the subtitle stands where the table
// would and the header row is not used.
std::string ARMAHTMLREQUERIDO(const MailRows& aRows, const MailRow& aHeader);

// "BodyHTML_" + YYYYMMDD of `when` (local date) + ".html".
std::string PageFileName(std::time_t when);

// The mail command as an argument vector: the program part split on blanks,
// then the recipient without surrounding blanks (possibly empty), then the
// page file name.
std::vector<std::string> MailCommand(const std::string& program,
                                     const std::string& recipient,
                                     const std::string& page_file);

class ProblemMail {
 public:
  // Starts the command with its argument vector, in the page's directory.
  using Launcher = std::function<void(const std::vector<std::string>& argv,
                                      const std::filesystem::path& directory)>;

  // `mail_program` replaces "java -jar sendmail.jar" ("Comando correo" in
  // section "OTROS"); blank means the default.
  explicit ProblemMail(const std::string& mail_program = kDefaultMailProgram);
  ProblemMail(const ProblemMail&) = delete;
  ProblemMail& operator=(const ProblemMail&) = delete;

  void SetMailProgram(const std::string& mail_program);
  const std::string& mail_program() const { return mail_program_; }
  // Where the page file goes; "." (the working directory) by default.
  void SetDirectory(std::filesystem::path directory);
  // The clock that dates the page file; the system clock by default.
  void SetClock(std::function<std::time_t()> clock);
  // Replaces the detached launch (tests that only observe the call).
  void SetLauncher(Launcher launcher);

  // Mode 0 empties the buffer; mode 1 appends copies of `aRows`; mode 2 sends
  // the buffer under `aHeader` (aRows unused) and empties it; any other mode
  // does nothing.
  void AGREGAALCORREO(const config::TInicio& ini, int nMode, const MailRows& aRows,
                      const MailRow& aHeader);

  // What the scheduler calls after a run with problems: each problem line
  // becomes a one-cell row under the header "Problema", then the buffer is
  // sent.
  void SendProblems(const config::TInicio& ini, const std::vector<std::string>& problems);

  const MailRows& buffer() const { return buffer_; }

 private:
  void Send(const config::TInicio& ini, const MailRow& aHeader);

  MailRows buffer_;
  std::string mail_program_;
  std::filesystem::path directory_ = ".";
  std::function<std::time_t()> clock_;
  Launcher launcher_;
  DetachedProcesses processes_;
};

}  // namespace shell
