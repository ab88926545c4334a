#include "config/codepage.h"

#include <errno.h>
#include <iconv.h>

#include <cstddef>

namespace config {

namespace {

// The byte values Windows-1252 leaves undefined; glibc's CP1252 table refuses
// them, so they are carried as the C1 controls U+0081... of the same value.
bool IsUndefinedCp1252(unsigned char b) {
  return b == 0x81 || b == 0x8D || b == 0x8F || b == 0x90 || b == 0x9D;
}

// One iconv descriptor per conversion, closed when it goes out of scope.
class Converter {
 public:
  Converter(const char* to, const char* from) : cd_(iconv_open(to, from)) {}
  ~Converter() {
    if (ok()) iconv_close(cd_);
  }
  Converter(const Converter&) = delete;
  Converter& operator=(const Converter&) = delete;

  bool ok() const { return cd_ != reinterpret_cast<iconv_t>(-1); }

  // Converts as much of [*in, *in + *left) as it can, appending to `out`.
  // Returns 0 when everything was converted, or the errno that stopped it
  // (EILSEQ: an unconvertible or invalid sequence; EINVAL: an incomplete one
  // at the end). *in and *left then point at the offending input.
  int Convert(const char** in, size_t* left, std::string& out) {
    char buffer[1024];
    while (*left > 0) {
      char* dst = buffer;
      size_t room = sizeof buffer;
      char* src = const_cast<char*>(*in);
      size_t rc = iconv(cd_, &src, left, &dst, &room);
      out.append(buffer, static_cast<size_t>(dst - buffer));
      *in = src;
      if (rc == static_cast<size_t>(-1) && errno != E2BIG) return errno;
    }
    return 0;
  }

 private:
  iconv_t cd_;
};

// Length of the UTF-8 sequence starting with `lead`, 1 for a stray byte.
size_t Utf8SequenceLength(unsigned char lead) {
  if (lead >= 0xF0 && lead <= 0xF4) return 4;
  if (lead >= 0xE0) return lead <= 0xEF ? 3 : 1;
  if (lead >= 0xC2) return 2;
  return 1;
}

// UTF-8 to Windows-1252; an unconvertible character becomes "?" when `lossy`,
// or makes the whole conversion fail otherwise.
std::optional<std::string> Utf8ToCp1252(const std::string& utf8, bool lossy) {
  Converter conv("CP1252", "UTF-8");
  if (!conv.ok()) return std::nullopt;
  std::string out;
  out.reserve(utf8.size());
  const char* in = utf8.data();
  size_t left = utf8.size();
  while (left > 0) {
    if (conv.Convert(&in, &left, out) == 0) break;
    const auto* p = reinterpret_cast<const unsigned char*>(in);
    // U+0081, U+008D, U+008F, U+0090, U+009D go back to their own byte.
    if (left >= 2 && p[0] == 0xC2 && IsUndefinedCp1252(p[1])) {
      out.push_back(static_cast<char>(p[1]));
      in += 2;
      left -= 2;
      continue;
    }
    if (!lossy) return std::nullopt;
    out.push_back('?');
    size_t skip = Utf8SequenceLength(p[0]);
    // A malformed sequence only swallows its lead byte.
    for (size_t i = 1; i < skip; ++i) {
      if (i >= left || (p[i] & 0xC0) != 0x80) {
        skip = 1;
        break;
      }
    }
    in += skip;
    left -= skip;
  }
  return out;
}

}  // namespace

std::optional<std::string> ToCp1252(const std::string& utf8) {
  return Utf8ToCp1252(utf8, false);
}

std::string ToCp1252Lossy(const std::string& utf8) {
  std::optional<std::string> out = Utf8ToCp1252(utf8, true);
  return out ? *out : std::string();
}

std::string FromCp1252(const std::string& bytes) {
  Converter conv("UTF-8", "CP1252");
  std::string out;
  out.reserve(bytes.size() + bytes.size() / 2);
  const char* in = bytes.data();
  size_t left = bytes.size();
  if (!conv.ok()) return out;
  while (left > 0) {
    if (conv.Convert(&in, &left, out) == 0) break;
    // Only the five undefined bytes stop the table; each becomes the code
    // point of the same value (a C1 control).
    auto b = static_cast<unsigned char>(*in);
    out.push_back(static_cast<char>(0xC0 | (b >> 6)));
    out.push_back(static_cast<char>(0x80 | (b & 0x3F)));
    ++in;
    --left;
  }
  return out;
}

}  // namespace config
