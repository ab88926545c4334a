#include "orders/conditions.h"

#include <algorithm>
#include <chrono>
#include <cstdio>

#include "config/text.h"
#include "db/literals.h"
#include "orders/formula_text.h"

namespace orders {

namespace {

using std::chrono::day;
using std::chrono::month;
using std::chrono::sys_days;
using std::chrono::year;
using std::chrono::year_month_day;

sys_days ToDays(const db::Date& d) {
  return sys_days(year_month_day{year{d.year}, month{static_cast<unsigned>(d.month)}, day{static_cast<unsigned>(d.day)}});
}

db::Date FromDays(sys_days days) {
  const year_month_day ymd(days);
  return db::Date{int(ymd.year()), int(unsigned(ymd.month())), int(unsigned(ymd.day()))};
}

bool BeginsWith(const std::string& text, const char* prefix) {
  return Upper(config::Trim(text)).rfind(prefix, 0) == 0;
}

// Digits of `text` from `pos` (0-based) up to `count` characters, as a number;
// -1 when there is no digit.
int DigitsAt(const std::string& text, size_t pos, size_t count) {
  int value = 0;
  bool any = false;
  for (size_t i = pos; i < text.size() && i < pos + count; ++i) {
    if (text[i] < '0' || text[i] > '9') break;
    value = value * 10 + (text[i] - '0');
    any = true;
  }
  return any ? value : -1;
}

// The empty date sorts before every date.
bool NotAfter(const db::Date& a, const db::Date& b) {
  if (a.empty()) return true;
  if (b.empty()) return false;
  return ToDays(a) <= ToDays(b);
}

// Replaces the date words of `text` (blanks removed, upper-cased) by dd/mm/yy.
std::string ReplaceDateWords(const std::string& part, const DateWords& w) {
  std::string text = ReplaceAll(Upper(WithoutBlanks(part)), "HOY", ShortDateText(w.today));
  for (size_t pos = text.find("FE+"); pos != std::string::npos; pos = text.find("FE+")) {
    size_t end = pos + 3;
    while (end < text.size() && ((text[end] >= '0' && text[end] <= '9') || text[end] == '.')) {
      ++end;
    }
    const long days = static_cast<long>(LeadingNumber(text.substr(pos + 3, end - pos - 3)));
    text.replace(pos, end - pos, ShortDateText(AddDays(w.issue, days)));
  }
  text = ReplaceAll(std::move(text), "FE", ShortDateText(w.issue));
  text = ReplaceAll(std::move(text), "F1V", ShortDateText(w.first_due));
  return ReplaceAll(std::move(text), "FUV", ShortDateText(w.last_due));
}

// Seconds since midnight of "H(hh:mm)": hours at characters 3-4, minutes at 6-7.
int TimeOfPart(const std::string& part, int now) {
  char current[8];
  std::snprintf(current, sizeof(current), "%02d:%02d", now / 3600 % 100, now / 60 % 60);
  const std::string text = ReplaceAll(Upper(WithoutBlanks(part)), "AHORA", current);
  const int hours = DigitsAt(text, 2, 2), minutes = DigitsAt(text, 5, 2);
  return (hours < 0 ? 0 : hours) * 3600 + (minutes < 0 ? 0 : minutes) * 60;
}

// One operand of a DIFF argument: a date word or a number of days.
struct DiffTerm {
  long days = 0;
  bool is_date = false;
};

DiffTerm ReadDiffTerm(const std::string& text, size_t& pos, const DateWords& w) {
  DiffTerm t;
  const db::Date* date = nullptr;
  if (text.compare(pos, 3, "HOY") == 0) {
    date = &w.today;
    pos += 3;
  } else if (text.compare(pos, 3, "F1V") == 0) {
    date = &w.first_due;
    pos += 3;
  } else if (text.compare(pos, 3, "FUV") == 0) {
    date = &w.last_due;
    pos += 3;
  } else if (text.compare(pos, 2, "FE") == 0) {
    date = &w.issue;
    pos += 2;
  }
  if (date) {
    t.is_date = !date->empty();
    t.days = t.is_date ? ToDays(*date).time_since_epoch().count() : 0;
    return t;
  }
  const size_t start = pos;
  while (pos < text.size() && ((text[pos] >= '0' && text[pos] <= '9') || text[pos] == '.')) ++pos;
  t.days = static_cast<long>(LeadingNumber(text.substr(start, pos - start)));
  if (pos == start) {  // not a term: skip to the next operator
    while (pos < text.size() && text[pos] != '+' && text[pos] != '-') ++pos;
  }
  return t;
}

// The DIFF argument as date arithmetic: a date minus a date is a number of
// days, a date plus or minus a number is a date. A result that is still a date
// has no number to write and gives 0.
double ComputeDiff(const std::string& argument, const DateWords& w) {
  size_t pos = 0;
  DiffTerm total = ReadDiffTerm(argument, pos, w);
  int dates = total.is_date ? 1 : 0;
  while (pos < argument.size()) {
    const char op = argument[pos++];
    if (op != '+' && op != '-') break;
    const DiffTerm t = ReadDiffTerm(argument, pos, w);
    total.days += op == '+' ? t.days : -t.days;
    if (t.is_date) dates += op == '+' ? 1 : -1;
  }
  return dates == 0 ? static_cast<double>(total.days) : 0.0;
}

}  // namespace

ConditionalGroup EXTRAE(const std::string& rest) {
  ConditionalGroup g;
  std::string* parts[] = {&g.a, &g.b, &g.c, &g.v};
  size_t pos = rest.empty() || rest[0] != '[' ? 0 : 1;
  for (std::string* part : parts) {
    const size_t end = rest.find_first_of(",]", pos);
    *part = rest.substr(pos, end == std::string::npos ? std::string::npos : end - pos);
    if (end == std::string::npos) {
      pos = rest.size();
      break;
    }
    pos = end + 1;
    if (rest[end] == ']') break;  // a short group: the parts left out stay empty
  }
  g.rest = config::Trim(rest.substr(std::min(pos, rest.size())));
  return g;
}

std::string QUEDARESTO(const std::string& rest) {
  size_t pos = 0;
  while (pos < rest.size() && rest[pos] == '[') {
    const size_t close = rest.find(']', pos);
    if (close == std::string::npos) return "";
    pos = close + 1;
  }
  return rest.substr(pos);
}

ConditionKind KindOf(const ConditionalGroup& g) {
  if (BeginsWith(g.a, "F(") && BeginsWith(g.b, "F(") && BeginsWith(g.c, "F(")) {
    return ConditionKind::kDate;
  }
  if (BeginsWith(g.a, "H(") && BeginsWith(g.b, "H(") && BeginsWith(g.c, "H(")) {
    return ConditionKind::kTime;
  }
  return ConditionKind::kValue;
}

DateWords DateWordsOf(const PriceContext& context, const db::Date& today) {
  return {today, context.issue_date, context.first_due_date, context.last_due_date};
}

db::Date ReadConditionDate(const std::string& part, const DateWords& words) {
  const std::string text = ReplaceDateWords(part, words);
  const size_t start = text.find("F(");
  if (start == std::string::npos) return db::Date{};
  const std::string date = text.substr(start + 2, 10);
  const size_t slash1 = date.find('/');
  const size_t slash2 = slash1 == std::string::npos ? slash1 : date.find('/', slash1 + 1);
  if (slash2 == std::string::npos) return db::Date{};
  const int d = DigitsAt(date, 0, slash1);
  const int m = DigitsAt(date, slash1 + 1, slash2 - slash1 - 1);
  int y = DigitsAt(date, slash2 + 1, 4);
  if (d < 1 || m < 1 || m > 12 || y < 0) return db::Date{};
  if (y < 100) y += 2000;
  const year_month_day ymd{year{y}, month{static_cast<unsigned>(m)}, day{static_cast<unsigned>(d)}};
  return ymd.ok() ? db::Date{y, m, d} : db::Date{};
}

bool DateConditionHolds(const ConditionalGroup& g, const DateWords& words) {
  const db::Date a = ReadConditionDate(g.a, words);
  const db::Date b = ReadConditionDate(g.b, words);
  const db::Date c = ReadConditionDate(g.c, words);
  return NotAfter(a, c) && NotAfter(c, b);
}

bool TimeConditionHolds(const ConditionalGroup& g, int now) {
  return TimeOfPart(g.a, now) <= now && now <= TimeOfPart(g.b, now);
}

double LeadingNumber(const std::string& text) {
  size_t p = 0;
  while (p < text.size() && text[p] == ' ') ++p;
  bool negative = false;
  if (p < text.size() && (text[p] == '-' || text[p] == '+')) negative = text[p++] == '-';
  double value = 0, scale = 0;
  bool digits = false;
  for (; p < text.size(); ++p) {
    const char c = text[p];
    if (c >= '0' && c <= '9') {
      digits = true;
      if (scale == 0) {
        value = value * 10 + (c - '0');
      } else {
        value += (c - '0') * scale;
        scale /= 10;
      }
    } else if (c == '.' && scale == 0) {
      scale = 0.1;
    } else {
      break;
    }
  }
  if (!digits) return 0.0;
  return negative ? -value : value;
}

std::string ExpandDiff(const std::string& value, const DateWords& words) {
  if (Upper(value).find("DIFF(") == std::string::npos) return value;
  std::string text = Upper(value);
  const size_t start = text.find("DIFF(");
  const size_t close = std::min(text.find(')', start), text.size());
  const size_t end = close == text.size() ? close : close + 1;
  const std::string argument = WithoutBlanks(text.substr(start + 5, close - (start + 5)));
  return text.replace(start, end - start, db::NACSB(ComputeDiff(argument, words)));
}

std::string ShortDateText(const db::Date& date) {
  if (date.empty()) return "  /  /  ";
  char buffer[16];
  std::snprintf(buffer, sizeof(buffer), "%02d/%02d/%02d", date.day % 100, date.month % 100,
                date.year % 100);
  return buffer;
}

db::Date AddDays(const db::Date& date, long days) {
  if (date.empty()) return date;
  return FromDays(ToDays(date) + std::chrono::days(days));
}

}  // namespace orders
