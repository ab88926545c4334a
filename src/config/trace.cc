#include "config/trace.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <charconv>
#include <cstdio>
#include <ctime>

#include "config/codepage.h"

namespace config {

namespace {

constexpr char kEndOfFile = 0x1A;

// Writes all of `bytes` at `offset`. False on any failure.
bool WriteAt(int fd, const std::string& bytes, off_t offset) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::pwrite(fd, bytes.data() + done, bytes.size() - done,
                         offset + static_cast<off_t>(done));
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

// Closes a descriptor when leaving scope.
struct Fd {
  int fd;
  ~Fd() {
    if (fd >= 0) ::close(fd);
  }
};

// The length of the file's content: its size without one final end mark.
// -1 when it cannot be read.
int64_t ContentLength(int fd) {
  if (fd < 0) return -1;
  struct stat st {};
  if (::fstat(fd, &st) != 0) return -1;
  off_t size = st.st_size;
  char last = 0;
  if (size > 0 && ::pread(fd, &last, 1, size - 1) == 1 && last == kEndOfFile) {
    --size;
  }
  return static_cast<int64_t>(size);
}

}  // namespace

double SecondsSinceMidnight() {
  timespec now{};
  clock_gettime(CLOCK_REALTIME, &now);
  std::tm local{};
  localtime_r(&now.tv_sec, &local);
  long hundredths = now.tv_nsec / 10000000;
  long whole = local.tm_hour * 3600L + local.tm_min * 60L + local.tm_sec;
  return static_cast<double>(whole * 100 + hundredths) / 100.0;
}

std::string FormatSeconds(double seconds) {
  char buffer[64];
  auto result = std::to_chars(buffer, buffer + sizeof buffer, seconds,
                              std::chars_format::fixed, 2);
  if (result.ec != std::errc()) return "0.00";
  return std::string(buffer, result.ptr);
}

MonitorTrace::MonitorTrace(std::filesystem::path directory, Clock clock)
    : directory_(std::move(directory)), clock_(std::move(clock)) {
  if (!clock_) clock_ = SecondsSinceMidnight;
}

std::filesystem::path MonitorTrace::FileName(int number) const {
  char name[32];
  std::snprintf(name, sizeof name, "monitoreo_%03d.TXT", number);
  return directory_ / name;
}

void MonitorTrace::ESCRIBETXT(const std::string& cText, int nStart,
                              int64_t nLimit, bool lNoTrailer) {
  if (current_ == 0) current_ = nStart;
  const std::string text = ToCp1252Lossy(cText);
  std::string entry = text + "\r\n";
  if (!lNoTrailer) entry += "go\r\n-- " + FormatSeconds(clock_()) + "\r\n";
  entry.push_back(kEndOfFile);

  // The bytes are those of reading the file without its final end mark and
  // writing content + entry + end mark anew; only the tail is written.
  for (;;) {
    const std::string path = FileName(current_).string();
    Fd file{::open(path.c_str(), O_RDWR | O_CLOEXEC)};
    if (file.fd < 0 && errno != ENOENT) {
      // It exists but cannot be written: it still takes part in the size
      // test, and an entry that fits in it is lost.
      Fd readonly{::open(path.c_str(), O_RDONLY | O_CLOEXEC)};
      int64_t content = ContentLength(readonly.fd);
      if (content >= 0 && content + static_cast<int64_t>(text.size()) > nLimit) {
        ++current_;
        continue;
      }
      return;
    }
    if (file.fd >= 0) {
      int64_t content = ContentLength(file.fd);
      if (content < 0) return;
      if (content + static_cast<int64_t>(text.size()) > nLimit) {
        ++current_;
        continue;
      }
      WriteAt(file.fd, entry, static_cast<off_t>(content));
      return;
    }
    // The first entry of a file takes it whatever its length.
    Fd created{::open(path.c_str(), O_WRONLY | O_CREAT | O_EXCL | O_CLOEXEC, 0644)};
    if (created.fd < 0) {
      if (errno == EEXIST) continue;  // appeared meanwhile: test it again
      return;
    }
    WriteAt(created.fd, entry, 0);
    return;
  }
}

}  // namespace config
