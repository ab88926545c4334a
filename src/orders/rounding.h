// Rounding of formula results (REDONDEO) and the decimal rounding it is built
// on: half away from zero on the decimal value, so that 2.675 to two decimals
// is 2.68 and 1.005 is 1.01 although neither has an exact binary form.
#pragma once

#include <string_view>

namespace orders {

// `number` to `decimals` decimals (0 or more), half away from zero. The scaled
// value is nudged one unit in the last place away from zero before it is
// rounded, which absorbs the binary representation error of decimal inputs.
double RoundHalfAway(double number, int decimals);

// `number` rounded by a rounding code: "1" 2 decimals, "2" 1 decimal, "3" whole
// number, "4" last digit 5, "5" up to tens, "6" to tens or fives, "7"
// unchanged, "8" up to hundreds, "9" to 50 or 90, "E" up to a whole number,
// "F" 4 decimals, "T" 3 decimals; any other code (empty, lower case) as "3".
// 0 gives 0 under every code.
double REDONDEO(double number, std::string_view code);

}  // namespace orders
