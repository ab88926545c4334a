// Log.txt: the few failures that stop start-up or a connection, one line each,
// "text dd/mm/yyyy hh:mm:ss" CR LF, in Windows-1252. Opened for appending in a
// mode that lets a second writer append at the same time; never rotated.
#pragma once

#include <cstdio>
#include <ctime>
#include <string>

namespace config {

// Date and time as Log.txt writes them: "dd/mm/yyyy hh:mm:ss".
std::string LogStamp(std::time_t when);

// "text" + stamp + CR LF, converted to Windows-1252.
std::string FormatLogLine(const std::string& text, std::time_t when);

// An opening of Log.txt held for a while (start-up keeps one for the life of
// the process). Each line is written with one append so that two openings never
// interleave within a line.
class LogFile {
 public:
  LogFile() = default;
  ~LogFile();
  LogFile(const LogFile&) = delete;
  LogFile& operator=(const LogFile&) = delete;

  // Opens (creating when missing) for appending. False when it cannot be opened.
  bool Open(const std::string& path);
  bool IsOpen() const { return fd_ >= 0; }
  // Appends "text" + the current date and time + CR LF. Failures are silent.
  void Write(const std::string& text);
  void Close();

 private:
  int fd_ = -1;
};

// Opens Log.txt at `path`, appends one line and closes it again.
void AppendLogLine(const std::string& path, const std::string& text);

// The text shown in place of a password in Log.txt lines and messages.
inline constexpr const char* kMaskedPassword = "****";

}  // namespace config
