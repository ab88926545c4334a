// The pieces of conditional chains "[a,b,c,v][a,b,c,v]...": cutting a group,
// skipping the rest of a chain, and the date and time conditions with the date
// words of formulas (HOY, FE, FE+n, F1V, FUV) and DIFF.
#pragma once

#include <string>

#include "db/value.h"
#include "orders/price_context.h"

namespace orders {

struct ConditionalGroup {
  std::string a, b, c, v;  // missing parts are empty
  std::string rest;        // the text after the group, blanks at the ends removed
};

// The group at the start of `rest` (which begins with "["): the text after the
// "[" cut at each "," or "]" into a, b, c and v. A "]" ends the group early;
// the parts it leaves out are empty.
ConditionalGroup EXTRAE(const std::string& rest);

// `rest` after skipping every group "[" ... "]" at its start.
std::string QUEDARESTO(const std::string& rest);

enum class ConditionKind { kDate, kTime, kValue };

// Date when a, b and c all begin with "F(", time when all begin with "H("
// (compared in upper case), value otherwise.
ConditionKind KindOf(const ConditionalGroup& group);

// The dates that date words stand for.
struct DateWords {
  db::Date today;  // HOY
  db::Date issue;  // FE
  db::Date first_due;  // F1V
  db::Date last_due;   // FUV
};

DateWords DateWordsOf(const PriceContext& context, const db::Date& today);

// a <= c <= b, with the dates read from "F(dd/mm/yy)" after the date words are
// replaced; an unreadable date is the empty date, earlier than every date.
bool DateConditionHolds(const ConditionalGroup& group, const DateWords& words);

// "F(" + date text: the date of a date part after its words are replaced.
db::Date ReadConditionDate(const std::string& part, const DateWords& words);

// a <= now <= b, with hours and minutes read from "H(hh:mm)"; "AHORA" stands
// for the current time. `now` is in whole seconds since midnight.
bool TimeConditionHolds(const ConditionalGroup& group, int now);

// The leading number of `text` (sign, digits, one point); 0 without digits.
double LeadingNumber(const std::string& text);

// A date group's value with its "DIFF(...)" replaced by the number of days or
// the sum it computes; the value is upper-cased when it holds DIFF.
std::string ExpandDiff(const std::string& value, const DateWords& words);

// dd/mm/yy, as date words are written into a condition.
std::string ShortDateText(const db::Date& date);

// `date` plus `days` days.
db::Date AddDays(const db::Date& date, long days);

}  // namespace orders
