#include "db/literals.h"

#include "config/text.h"

#include <charconv>
#include <cmath>
#include <cstdio>

namespace db {

std::string CollationClause(const std::string& collation) {
  const std::string name = config::Trim(collation);
  return name.empty() ? std::string() : " COLLATE " + name;
}

namespace {

// Plain decimal text of `number`: with `decimals` < 0 the shortest text that
// reads back as the same double, otherwise exactly that many decimals.
std::string Fixed(double number, int decimals) {
  if (!std::isfinite(number)) number = 0.0;  // no literal form; the service's own arithmetic gives 0
  char buffer[400];
  std::to_chars_result r =
      decimals < 0
          ? std::to_chars(buffer, buffer + sizeof(buffer), number, std::chars_format::fixed)
          : std::to_chars(buffer, buffer + sizeof(buffer), number, std::chars_format::fixed,
                          decimals);
  std::string text(buffer, r.ptr);
  // A negative value that renders as zero ("-0", "-0.00000") is zero.
  if (!text.empty() && text[0] == '-' &&
      text.find_first_not_of("-0.") == std::string::npos) {
    text.erase(0, 1);
  }
  return text;
}

std::string Doubled(const std::string& text, char c) {
  std::string out;
  out.reserve(text.size() + 2);
  for (char ch : text) {
    out += ch;
    if (ch == c) out += c;
  }
  return out;
}

}  // namespace

std::string NACSB(double number) { return Fixed(number, -1); }

std::string TRANFESQL(const Date& date) {
  if (date.empty()) return "NULL";
  char buffer[32];
  std::snprintf(buffer, sizeof(buffer), "{d '%04d-%02d-%02d'}", date.year, date.month,
                date.day);
  return buffer;
}

std::string QuoteText(const std::string& text) { return "'" + Doubled(text, '\'') + "'"; }

std::string BracketName(const std::string& name) { return "[" + Doubled(name, ']') + "]"; }

std::string Literal(const Value& value) {
  switch (value.kind()) {
    case Value::Kind::kText:
      return QuoteText(value.text());
    case Value::Kind::kNumber:
      return value.from_database() ? Fixed(value.number(), 5) : NACSB(value.number());
    case Value::Kind::kDate:
      return TRANFESQL(value.date());
    case Value::Kind::kLogical:
      return value.logical() ? "1" : "0";
    case Value::Kind::kNone:
      break;
  }
  return "NULL";
}

}  // namespace db
