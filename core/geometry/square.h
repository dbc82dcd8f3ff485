// The square of a real number (double, or the extended type of the precision
// horizon), as every formula of the table, the boundary and
// the bounce writes x^2: the correctly rounded product x * x.
//
// std::pow(x, 2) would be the same with optimisation, where the compiler folds
// it into x * x, but not without: there it calls the C library's pow, whose
// result differs from x * x in the last bit now and then. Written out, the
// squares give the same bits in every build, which the golden tests
// (tests/golden) pin.
#pragma once

namespace trapezola {

template <typename T>
constexpr T square(T x) {
  return x * x;
}

}  // namespace trapezola
