#include "orders/rounding.h"

#include <cmath>

namespace orders {

namespace {

double Whole(double x) { return RoundHalfAway(x, 0); }

}  // namespace

double RoundHalfAway(double number, int decimals) {
  if (!std::isfinite(number) || number == 0.0) return number;
  const double scale = std::pow(10.0, decimals);
  double scaled = number * scale;
  if (!std::isfinite(scaled)) return number;
  scaled = std::nextafter(scaled, number > 0 ? HUGE_VAL : -HUGE_VAL);
  const double rounded = std::trunc(scaled + (number > 0 ? 0.5 : -0.5));
  return rounded / scale;
}

double REDONDEO(double x, std::string_view code) {
  if (x == 0.0) return 0.0;
  const char c = code.size() == 1 ? code[0] : '\0';
  switch (c) {
    case '1':
      return RoundHalfAway(x, 2);
    case '2':
      return RoundHalfAway(x, 1);
    case '4': {
      const double n = Whole(x);
      return std::trunc(n / 10) * 10 + 5;
    }
    case '5': {
      const double n = Whole(x);
      const double t = std::trunc(n / 10);
      const double d = n - t;
      if (d >= 5) return t * 10 + 10;
      return d > 0 ? 10 : 0;
    }
    case '6': {
      const double n = Whole(x);
      const double b = std::trunc(n / 10) * 10;
      const double r = n - b;
      if (r == 5) return n;
      return r < 5 ? b : b + 5;
    }
    case '7':
      return x;
    case '8': {
      const double n = Whole(x);
      const double t = std::trunc(n / 100);
      const double d = n - t;
      if (d >= 50) return t * 100 + 100;
      return d > 0 ? 100 : 0;
    }
    case '9': {
      const double b = std::trunc(x / 100) * 100;
      return x - b > 50 ? b + 90 : b + 50;
    }
    case 'E': {
      const double whole = std::trunc(x);
      return whole < RoundHalfAway(x, 8) ? whole + 1 : whole;
    }
    case 'F':
      return RoundHalfAway(x, 4);
    case 'T':
      return RoundHalfAway(x, 3);
    default:  // "3", and every code outside the table
      return Whole(x);
  }
}

}  // namespace orders
