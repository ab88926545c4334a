#include "config/log_file.h"

#include <fcntl.h>
#include <unistd.h>

#include <cerrno>

#include "config/codepage.h"

namespace config {

std::string LogStamp(std::time_t when) {
  std::tm local{};
  localtime_r(&when, &local);
  char buffer[32];
  std::strftime(buffer, sizeof buffer, "%d/%m/%Y %H:%M:%S", &local);
  return buffer;
}

std::string FormatLogLine(const std::string& text, std::time_t when) {
  return ToCp1252Lossy(text + LogStamp(when)) + "\r\n";
}

LogFile::~LogFile() { Close(); }

bool LogFile::Open(const std::string& path) {
  Close();
  // O_APPEND: every write lands at the current end, also when another opening
  // of the same file has written since.
  fd_ = ::open(path.c_str(), O_WRONLY | O_APPEND | O_CREAT | O_CLOEXEC, 0644);
  return fd_ >= 0;
}

void LogFile::Write(const std::string& text) {
  if (fd_ < 0) return;
  const std::string line = FormatLogLine(text, std::time(nullptr));
  // One write per line; a short write (full disk) just loses the rest.
  ssize_t n;
  do {
    n = ::write(fd_, line.data(), line.size());
  } while (n < 0 && errno == EINTR);
}

void LogFile::Close() {
  if (fd_ >= 0) {
    ::close(fd_);
    fd_ = -1;
  }
}

void AppendLogLine(const std::string& path, const std::string& text) {
  LogFile log;
  if (log.Open(path)) log.Write(text);
}

}  // namespace config
