/** @file V8Math.h
 * Math as a Chrome page computes it. The engine answers most of Math from its own
 * routines, which round differently from Chrome in the last bit now and then; scripts
 * that fingerprint the browser read exactly those bits. Chrome answers from the C
 * library for all but cube root (correctly rounded) and hypot (a compensated sum); the functions
 * here do the same, so the page's answers agree with Chrome's bit for bit.
 */
#pragma once

#include <jsapi.h>

#include <string>

namespace qy::persona {

namespace math {

/// Cube root, correctly rounded (Chrome's is): a first guess from the exponent, a
/// polynomial step to about 23 bits, one Newton step, then an exact comparison of x with
/// the cube of the midpoint to the neighbouring double picks the nearest one.
double Cbrt(double x);

/// acosh and atanh, with Chrome's NaN for arguments outside the domain (atanh: NaN too).
double Acosh(double x);
double Atanh(double x);

/// pow as a script sees it: NaN for a NaN exponent and for (±1) to an infinite power,
/// the C library's result otherwise.
double Pow(double x, double y);

/// Square root of the sum of squares of `n` values (already numbers): the largest
/// magnitude scales the rest, the squares are added with a compensated sum. Infinity
/// wins over NaN; no values give 0.
double Hypot(const double* values, size_t n);

/// `value` (finite) written in `radix` (2..36, not 10) as Chrome writes it: the
/// fraction's digits up to the precision of the double, rounded half to even.
std::string ToRadix(double value, int radix);

}  // namespace math

/// Replaces Math's functions that answer differently from Chrome (each keeps its place,
/// name, length and flags) and Number.prototype.toString for radixes other than ten,
/// in `global` (entered). False with an exception pending on failure.
[[nodiscard]] bool InstallMath(JSContext* cx, JS::HandleObject global);

}  // namespace qy::persona
