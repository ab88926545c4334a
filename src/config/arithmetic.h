// The service's own arithmetic: a division by zero yields 0 instead of a
// fault, so a missing quantity or an empty price never stops a cycle. Every
// computation that divides (formula evaluation, totals, percentages) goes
// through SafeDivide.
#pragma once

#include <type_traits>

namespace config {

template <typename A, typename B>
constexpr std::common_type_t<A, B> SafeDivide(A a, B b) {
  using R = std::common_type_t<A, B>;
  return b == B(0) ? R(0) : static_cast<R>(a) / static_cast<R>(b);
}

}  // namespace config
