#include "config/ini_file.h"

#include <fcntl.h>
#include <sys/stat.h>
#include <unistd.h>

#include <cerrno>
#include <climits>
#include <cstring>
#include <fstream>
#include <iterator>

// Plain byte strings only: the file's code page is handled here, not by
// SimpleIni's wide-character converters. Debian's SimpleIni.h keeps the
// template definitions behind SI_IMPLEMENTATION; this is the only user, so
// it instantiates them here rather than linking libsimpleini and ICU.
#define SI_NO_CONVERSION
#define SI_IMPLEMENTATION
#include <SimpleIni.h>

#include "config/codepage.h"

namespace config {

// CSimpleIniA compares section and key names without regard to (ASCII) case,
// keeps the load order of sections and keys, and keeps comment lines.
struct IniFile::Data {
  CSimpleIniA ini{/*a_bIsUtf8=*/false, /*a_bMultiKey=*/false,
                  /*a_bMultiLine=*/false};
  bool crlf = false;  // the loaded file ended its lines with CR LF
  // Comment lines after the last entry of the loaded file: SimpleIni keeps a
  // comment only with the entry that follows it, so these are added back.
  std::string trailing_comments;
};

namespace {

// The comment lines (with the blank lines among them) that end `bytes`, each
// ended by "\n".
std::string TrailingComments(const std::string& bytes) {
  std::string kept;
  size_t end = bytes.size();
  while (end > 0) {
    // The line is [start, end) with its "\n" (if any) as the last byte.
    size_t start = end >= 2 ? bytes.rfind('\n', end - 2) : std::string::npos;
    start = start == std::string::npos ? 0 : start + 1;
    std::string line = bytes.substr(start, end - start);
    while (!line.empty() && (line.back() == '\n' || line.back() == '\r')) {
      line.pop_back();
    }
    size_t first = line.find_first_not_of(" \t");
    if (first != std::string::npos && line[first] != ';' && line[first] != '#') break;
    if (first != std::string::npos) kept.insert(0, line.substr(first) + "\n");
    end = start;
  }
  // A file of comments only: SimpleIni keeps them as the file's comment.
  if (end == 0) return std::string();
  return kept;
}

}  // namespace

IniFile::IniFile(std::filesystem::path path)
    : path_(std::move(path)), data_(std::make_unique<Data>()) {
  data_->ini.SetSpaces(false);  // "key=value", as Windows writes it
}

IniFile::~IniFile() = default;

bool IniFile::Load() {
  data_ = std::make_unique<Data>();
  data_->ini.SetSpaces(false);
  std::ifstream in(path_, std::ios::binary);
  if (!in) return false;
  std::string bytes((std::istreambuf_iterator<char>(in)),
                    std::istreambuf_iterator<char>());
  if (in.bad()) return false;
  data_->crlf = bytes.find("\r\n") != std::string::npos;
  data_->trailing_comments = TrailingComments(bytes);
  return data_->ini.LoadData(bytes) >= 0;
}

std::string IniFile::GetString(const std::string& section,
                               const std::string& key) const {
  const char* value = data_->ini.GetValue(section.c_str(), key.c_str(), nullptr);
  if (value == nullptr) return std::string();
  // SimpleIni has already dropped the blanks around the value.
  std::string bytes(value);
  if (bytes.size() > kIniMaxValueLength) bytes.resize(kIniMaxValueLength);
  return FromCp1252(bytes);
}

int IniFile::GetInt(const std::string& section, const std::string& key) const {
  const char* value = data_->ini.GetValue(section.c_str(), key.c_str(), nullptr);
  if (value == nullptr) return 0;
  long long n = 0;
  for (const char* p = value; *p >= '0' && *p <= '9'; ++p) {
    n = n * 10 + (*p - '0');
    if (n > INT_MAX) return INT_MAX;
  }
  return static_cast<int>(n);
}

void IniFile::SetString(const std::string& section, const std::string& key,
                        const std::string& value) {
  std::string bytes = ToCp1252Lossy(value);
  for (char& c : bytes) {
    if (c == '\r' || c == '\n') c = ' ';
  }
  data_->ini.SetValue(section.c_str(), key.c_str(), bytes.c_str());
}

void IniFile::SetInt(const std::string& section, const std::string& key,
                     int value) {
  SetString(section, key, std::to_string(value));
}

namespace {

bool WriteAll(int fd, const std::string& bytes) {
  size_t done = 0;
  while (done < bytes.size()) {
    ssize_t n = ::write(fd, bytes.data() + done, bytes.size() - done);
    if (n < 0) {
      if (errno == EINTR) continue;
      return false;
    }
    done += static_cast<size_t>(n);
  }
  return true;
}

}  // namespace

bool IniFile::Save(std::string* error) {
  auto fail = [&](const std::string& what) {
    if (error != nullptr) *error = what + ": " + std::strerror(errno);
    return false;
  };
  std::string text;
  if (data_->ini.Save(text) < 0) {
    errno = EINVAL;
    return fail("cannot compose " + path_.string());
  }
  if (!data_->trailing_comments.empty()) {
    text += "\n" + data_->trailing_comments;
  }

  // SimpleIni separates sections with two blank lines; keep one. Then the
  // line ends of the loaded file.
  std::string lines;
  lines.reserve(text.size() + (data_->crlf ? text.size() / 16 : 0));
  size_t newlines_in_a_row = 0;
  for (char c : text) {
    if (c == '\n') {
      if (++newlines_in_a_row > 2) continue;
      if (data_->crlf) lines.push_back('\r');
    } else {
      newlines_in_a_row = 0;
    }
    lines.push_back(c);
  }
  text.swap(lines);

  // A temporary file in the same directory, renamed over the file, so that a
  // failed write never leaves a half-written configuration. mkstemp creates
  // it with mode 0600.
  std::string temp = path_.string() + ".XXXXXX";
  int fd = ::mkstemp(temp.data());
  if (fd < 0) return fail("cannot create a file next to " + path_.string());
  bool ok = ::fchmod(fd, S_IRUSR | S_IWUSR) == 0 && WriteAll(fd, text) &&
            ::fsync(fd) == 0;
  int saved_errno = errno;
  if (::close(fd) != 0 && ok) {
    ok = false;
    saved_errno = errno;
  }
  if (ok && ::rename(temp.c_str(), path_.c_str()) != 0) {
    ok = false;
    saved_errno = errno;
  }
  if (!ok) {
    ::unlink(temp.c_str());
    errno = saved_errno;
    return fail("cannot write " + path_.string());
  }
  return true;
}

}  // namespace config
