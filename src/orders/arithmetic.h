// Direct computation of a formula expression that names no table: numbers
// (digits with "." as the decimal point), + - * /, unary minus and plus, and
// parentheses, with the usual precedence. A division by zero gives 0 for that
// quotient and the computation goes on.
#pragma once

#include <string_view>

namespace orders {

// Computes `expression` into `result`. False (and `result` 0) when the text is
// not valid arithmetic: an operator without operand, an unbalanced
// parenthesis, a leftover name, an empty text, or a result out of range.
bool ComputeArithmetic(std::string_view expression, double* result);

}  // namespace orders
