#include "db/value.h"

#include <cmath>
#include <utility>

namespace db {

Value Value::Text(std::string text) {
  Value v;
  v.kind_ = Kind::kText;
  v.text_ = std::move(text);
  return v;
}

Value Value::Number(double number) {
  Value v;
  v.kind_ = Kind::kNumber;
  v.number_ = number;
  return v;
}

Value Value::DbNumber(double number) {
  Value v;
  v.kind_ = Kind::kNumber;
  double rounded = std::round(number * 100000.0) / 100000.0;
  // Keep the rounding for values too large to scale; and never keep a -0.
  v.number_ = std::isfinite(rounded) ? rounded : number;
  if (v.number_ == 0.0) v.number_ = 0.0;
  v.from_database_ = true;
  return v;
}

Value Value::FromDate(Date date) {
  Value v;
  v.kind_ = Kind::kDate;
  v.date_ = date;
  return v;
}

Value Value::Logical(bool value) {
  Value v;
  v.kind_ = Kind::kLogical;
  v.logical_ = value;
  return v;
}

}  // namespace db
