// Value: the tagged value every column read and every SQL literal carries:
// text, number, date (or the empty date), logical, or none.
#pragma once

#include <string>

namespace db {

struct Date {
  int year = 0;  // 0: the empty date
  int month = 0;
  int day = 0;
  bool empty() const { return year == 0; }
  friend bool operator==(const Date&, const Date&) = default;
};

class Value {
 public:
  enum class Kind { kNone, kText, kNumber, kDate, kLogical };

  Value() = default;
  static Value Text(std::string text);
  // A number computed by the service: renders as plain decimal text.
  static Value Number(double number);
  // A number read from the database: rounded to five decimals and rendered
  // with five decimals ("1.50000").
  static Value DbNumber(double number);
  static Value FromDate(Date date);
  static Value EmptyDate() { return FromDate(Date{}); }
  static Value Logical(bool value);

  Kind kind() const { return kind_; }
  bool is_text() const { return kind_ == Kind::kText; }
  bool is_number() const { return kind_ == Kind::kNumber; }
  bool is_date() const { return kind_ == Kind::kDate; }
  bool is_logical() const { return kind_ == Kind::kLogical; }
  bool is_none() const { return kind_ == Kind::kNone; }

  // Accessors return the neutral value when the kind differs.
  const std::string& text() const { return text_; }
  double number() const { return kind_ == Kind::kNumber ? number_ : 0.0; }
  Date date() const { return kind_ == Kind::kDate ? date_ : Date{}; }
  bool logical() const { return kind_ == Kind::kLogical && logical_; }
  // True for numbers read from the database (they carry five decimals).
  bool from_database() const { return from_database_; }

  friend bool operator==(const Value&, const Value&) = default;

 private:
  Kind kind_ = Kind::kNone;
  std::string text_;
  double number_ = 0.0;
  Date date_;
  bool logical_ = false;
  bool from_database_ = false;
};

}  // namespace db
