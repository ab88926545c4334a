#include "orders/arithmetic.h"

#include <charconv>
#include <cmath>

#include "config/arithmetic.h"

namespace orders {

namespace {

// Recursive descent over the text; `ok` turns false at the first fault.
class Parser {
 public:
  explicit Parser(std::string_view text) : text_(text) {}

  bool Run(double* result) {
    *result = Sum();
    SkipBlanks();
    return ok_ && pos_ == text_.size();
  }

 private:
  static constexpr int kMaxDepth = 200;  // nesting a real formula never reaches

  void SkipBlanks() {
    while (pos_ < text_.size() && text_[pos_] == ' ') ++pos_;
  }

  bool Take(char c) {
    SkipBlanks();
    if (pos_ < text_.size() && text_[pos_] == c) {
      ++pos_;
      return true;
    }
    return false;
  }

  double Fail() {
    ok_ = false;
    return 0.0;
  }

  double Sum() {
    double value = Product();
    while (ok_) {
      if (Take('+')) {
        value += Product();
      } else if (Take('-')) {
        value -= Product();
      } else {
        break;
      }
    }
    return value;
  }

  double Product() {
    double value = Unary();
    while (ok_) {
      if (Take('*')) {
        value *= Unary();
      } else if (Take('/')) {
        value = config::SafeDivide(value, Unary());
      } else {
        break;
      }
    }
    return value;
  }

  double Unary() {
    if (++depth_ > kMaxDepth) return Fail();
    double value;
    if (Take('-')) {
      value = -Unary();
    } else if (Take('+')) {
      value = Unary();
    } else {
      value = Primary();
    }
    --depth_;
    return value;
  }

  double Primary() {
    if (Take('(')) {
      const double value = Sum();
      return Take(')') ? value : Fail();
    }
    SkipBlanks();
    const size_t start = pos_;
    bool digits = false, point = false;
    while (pos_ < text_.size()) {
      const char c = text_[pos_];
      if (c >= '0' && c <= '9') {
        digits = true;
      } else if (c == '.' && !point) {
        point = true;
      } else {
        break;
      }
      ++pos_;
    }
    if (!digits) return Fail();
    double value = 0.0;
    std::from_chars(text_.data() + start, text_.data() + pos_, value,
                    std::chars_format::fixed);
    return value;
  }

  std::string_view text_;
  size_t pos_ = 0;
  int depth_ = 0;
  bool ok_ = true;
};

}  // namespace

bool ComputeArithmetic(std::string_view expression, double* result) {
  double value = 0.0;
  if (!Parser(expression).Run(&value) || !std::isfinite(value)) {
    *result = 0.0;
    return false;
  }
  *result = value == 0.0 ? 0.0 : value;  // no negative zero
  return true;
}

}  // namespace orders
