/** @file V8Math.cpp
 * Math and radix printing as a Chrome page computes them (see V8Math.h).
 */
#include "persona/V8Math.h"

#include <js/CallAndConstruct.h>
#include <js/Conversions.h>
#include <js/PropertyAndElement.h>
#include <jsfriendapi.h>

#include <bit>
#include <cmath>
#include <cstdint>
#include <limits>
#include <vector>

#include "persona/PersonaInternal.h"

namespace qy::persona {
namespace math {
namespace {

constexpr uint64_t Bits(double x) { return std::bit_cast<uint64_t>(x); }
constexpr double FromBits(uint64_t b) { return std::bit_cast<double>(b); }

// Cube root. The first guess divides the biased exponent (with the top of the
// mantissa) by three and adds a bias chosen so the guess is within about 6% of the
// root; for subnormals the argument is first scaled by 2^54, hence a second bias.
constexpr uint32_t kGuessBias = 715094163;           // (1023 - 1023/3 - 0.03306235651) * 2^20
constexpr uint32_t kSubnormalGuessBias = 696219795;  // the same, less 54/3 for the scaling
// Minimax polynomial in r = t^3/x for 1/cbrt(r), to about 23 bits over the guess's range.
constexpr double kC0 = 1.87595182427177009643;
constexpr double kC1 = -1.88497979543377169875;
constexpr double kC2 = 1.621429720105354466140;
constexpr double kC3 = -0.758397934778766047437;
constexpr double kC4 = 0.145996192886612446982;

}  // namespace

namespace {

/// The first approximation: within 0.667 units in the last place of the root.
double CbrtNear(double x) {
    const uint64_t bits = Bits(x);
    const uint32_t sign = static_cast<uint32_t>(bits >> 32) & 0x80000000u;
    const uint32_t high = static_cast<uint32_t>(bits >> 32) & 0x7fffffffu;
    double t;
    if (high < 0x00100000u) {  // subnormal
        const double scaled = x * 0x1p54;
        const uint32_t scaledHigh = static_cast<uint32_t>(Bits(scaled) >> 32) & 0x7fffffffu;
        t = FromBits(static_cast<uint64_t>(sign | (scaledHigh / 3 + kSubnormalGuessBias)) << 32);
    } else {
        t = FromBits(static_cast<uint64_t>(sign | (high / 3 + kGuessBias)) << 32);
    }
    // Polynomial step: t becomes good to about 23 bits.
    double r = (t * t) * (t / x);
    t = t * ((kC0 + r * (kC1 + r * kC2)) + ((r * r) * r) * (kC3 + r * kC4));
    // Round t away from zero to 23 bits, so that t*t is exact and t is at least the root.
    t = FromBits((Bits(t) + 0x80000000u) & 0xffffffffc0000000ull);
    // One Newton step.
    const double square = t * t;
    r = x / square;
    const double twice = t + t;
    r = (r - t) / (twice + r);
    return t + t * r;
}

/// An unsigned integer of 256 bits, least significant limb first: enough for the cube
/// of a 55-bit integer and for a double's mantissa shifted to meet it.
struct Wide {
    uint64_t limb[4] = {0, 0, 0, 0};
};

Wide Cube(uint64_t s) {  // s < 2^56
    using U128 = unsigned __int128;
    const U128 square = static_cast<U128>(s) * s;
    const U128 low = static_cast<U128>(static_cast<uint64_t>(square)) * s;
    const U128 high = static_cast<U128>(static_cast<uint64_t>(square >> 64)) * s;
    Wide w;
    w.limb[0] = static_cast<uint64_t>(low);
    const U128 middle = (low >> 64) + static_cast<uint64_t>(high);
    w.limb[1] = static_cast<uint64_t>(middle);
    const U128 top = (high >> 64) + (middle >> 64);
    w.limb[2] = static_cast<uint64_t>(top);
    w.limb[3] = static_cast<uint64_t>(top >> 64);
    return w;
}

Wide Shifted(uint64_t v, int by) {  // v << by, 0 <= by < 192
    Wide w;
    const int whole = by / 64, part = by % 64;
    w.limb[whole] = v << part;
    if (part && whole + 1 < 4) w.limb[whole + 1] = v >> (64 - part);
    return w;
}

int Compare(const Wide& a, const Wide& b) {
    for (int i = 3; i >= 0; --i)
        if (a.limb[i] != b.limb[i]) return a.limb[i] < b.limb[i] ? -1 : 1;
    return 0;
}

/// A positive finite double as an integer times a power of two.
void Split(double v, uint64_t& mantissa, int& exponent) {
    const uint64_t b = Bits(v);
    const int field = static_cast<int>(b >> 52) & 0x7ff;
    mantissa = b & ((uint64_t{1} << 52) - 1);
    if (field) mantissa |= uint64_t{1} << 52;
    exponent = (field ? field : 1) - 1075;
}

/// Whether m^3 < x, where m = mantissa * 2^exponent lies halfway between two doubles and x
/// = xm * 2^xe. Exact, done on integers; never equal, since the cube of a midpoint's odd
/// 54-bit mantissa has far more bits than a double. The shift is always positive and below
/// 192, because m^3 is within a factor of two of x.
bool CubeBelow(uint64_t xm, int xe, uint64_t mantissa, int exponent) {
    return Compare(Shifted(xm, xe - 3 * exponent), Cube(mantissa)) > 0;
}

}  // namespace

double Cbrt(double x) {
    if (!std::isfinite(x) || x == 0) return x;  // ±0, ±Infinity, NaN
    uint64_t xm;
    int xe;
    Split(std::fabs(x), xm, xe);
    // The approximation is within one unit of the root (a normal double, whatever x);
    // y = root * 2^g with root in [2^52, 2^53) steps to the double nearest the true root.
    uint64_t root;
    int g;
    Split(CbrtNear(std::fabs(x)), root, g);
    constexpr uint64_t kLowest = uint64_t{1} << 52;
    for (;;) {
        if (CubeBelow(xm, xe, 2 * root + 1, g - 1)) {  // above the midpoint to the next double up
            if (++root == 2 * kLowest) root = kLowest, ++g;
            continue;
        }
        const bool bottom = root == kLowest;  // the double below is half as far away
        if (!CubeBelow(xm, xe, bottom ? 4 * root - 1 : 2 * root - 1, bottom ? g - 2 : g - 1)) {
            if (--root < kLowest) root = 2 * kLowest - 1, --g;
            continue;
        }
        break;
    }
    const uint64_t bits = (static_cast<uint64_t>(g + 1075) << 52) | (root - kLowest);
    return std::copysign(FromBits(bits), x);
}

double Pow(double x, double y) {
    if (std::isnan(y)) return std::numeric_limits<double>::quiet_NaN();
    if (std::isinf(y) && (x == 1 || x == -1)) return std::numeric_limits<double>::quiet_NaN();
    return std::pow(x, y);
}

// Chrome's acosh and atanh answer an argument outside their domain with a NaN of their
// own (a quieted signalling NaN), which a script sees through a Float64Array.
constexpr uint64_t kDomainNaN = 0x7ffc000000000000ull;

double Acosh(double x) { return x < 1 ? FromBits(kDomainNaN) : ::acosh(x); }

double Atanh(double x) { return std::fabs(x) <= 1 ? ::atanh(x) : FromBits(kDomainNaN); }

double Hypot(const double* values, size_t n) {
    double largest = 0;
    bool nan = false;
    for (size_t i = 0; i < n; ++i) {
        if (std::isnan(values[i])) nan = true;
        else largest = std::max(largest, std::fabs(values[i]));
    }
    if (largest == std::numeric_limits<double>::infinity()) return largest;
    if (nan) return std::numeric_limits<double>::quiet_NaN();
    if (largest == 0) return 0;
    // Each value scaled by the largest, so no square overflows; the squares summed with
    // the running rounding error carried into the next term.
    double sum = 0, carried = 0;
    for (size_t i = 0; i < n; ++i) {
        const double scaled = std::fabs(values[i]) / largest;
        const double term = scaled * scaled - carried;
        const double next = sum + term;
        carried = (next - sum) - term;
        sum = next;
    }
    return std::sqrt(sum) * largest;
}

std::string ToRadix(double value, int radix) {
    static constexpr char kDigits[] = "0123456789abcdefghijklmnopqrstuvwxyz";
    const bool negative = value < 0;
    if (negative) value = -value;
    double whole = std::floor(value);
    double fraction = value - whole;
    // Digits of the fraction are written only while they still say something about
    // the double: `reach` is half the gap to the next double, scaled along with them.
    double reach = 0.5 * (std::nextafter(value, std::numeric_limits<double>::infinity()) - value);
    reach = std::max(reach, std::numeric_limits<double>::denorm_min());
    std::string tail;
    while (fraction >= reach) {
        fraction *= radix;
        reach *= radix;
        const int digit = static_cast<int>(fraction);
        tail += kDigits[digit];
        fraction -= digit;
        const bool roundsUp = fraction > 0.5 || (fraction == 0.5 && (digit & 1));
        if (roundsUp && fraction + reach > 1) {
            // The rest rounds the last digit up; carry through the digits before it.
            while (!tail.empty()) {
                const char c = tail.back();
                const int d = c > '9' ? c - 'a' + 10 : c - '0';
                if (d + 1 < radix) {
                    tail.back() = kDigits[d + 1];
                    break;
                }
                tail.pop_back();
            }
            if (tail.empty()) whole += 1;
            break;
        }
    }
    // The whole part: digits below the double's precision (at 2^53 and above) are zeros.
    std::string head;
    while (whole / radix >= 0x1p53) {
        whole /= radix;
        head += '0';
    }
    do {
        const double remainder = std::fmod(whole, radix);
        head += kDigits[static_cast<int>(remainder)];
        whole = (whole - remainder) / radix;
    } while (whole > 0);
    if (negative) head += '-';
    std::string out(head.rbegin(), head.rend());
    if (!tail.empty()) out += '.' + tail;
    return out;
}

}  // namespace math

namespace {

bool Return(JS::CallArgs& args, double result) {
    // A NaN keeps its bits, as in Chrome, as long as the engine can hold them as a double
    // (the C library's NaNs always can; a payload above its boxing tags could not).
    if (std::isnan(result) && math::Bits(result) > 0xfff8000000000000ull)
        result = std::numeric_limits<double>::quiet_NaN();
    args.rval().set(JS::NumberValue(result));
    return true;
}

template <double (*F)(double)>
bool Unary(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    double x;
    if (!JS::ToNumber(cx, args.get(0), &x)) return false;
    return Return(args, F(x));
}

template <double (*F)(double, double)>
bool Binary(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    double x, y;
    if (!JS::ToNumber(cx, args.get(0), &x) || !JS::ToNumber(cx, args.get(1), &y)) return false;
    return Return(args, F(x, y));
}

bool HypotNative(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    double few[4];
    std::vector<double> many;
    double* values = few;
    if (args.length() > 4) {
        many.resize(args.length());
        values = many.data();
    }
    for (unsigned i = 0; i < args.length(); ++i)  // every argument is converted first
        if (!JS::ToNumber(cx, args[i], &values[i])) return false;
    return Return(args, math::Hypot(values, args.length()));
}

// The C library's functions by their own signature (the overloads of <cmath> aside).
template <double (*F)(double)>
double C(double x) {
    return F(x);
}

struct Replacement {
    const char* name;
    JSNative native;
    unsigned length;
};

const Replacement kMath[] = {
    {"acos", Unary<C<::acos>>, 1},    {"acosh", Unary<math::Acosh>, 1}, {"asin", Unary<C<::asin>>, 1},
    {"asinh", Unary<C<::asinh>>, 1},  {"atan", Unary<C<::atan>>, 1},   {"atanh", Unary<math::Atanh>, 1},
    {"atan2", Binary<::atan2>, 2},    {"cbrt", Unary<math::Cbrt>, 1},  {"cosh", Unary<C<::cosh>>, 1},
    {"exp", Unary<C<::exp>>, 1},      {"expm1", Unary<C<::expm1>>, 1}, {"hypot", HypotNative, 2},
    {"log", Unary<C<::log>>, 1},      {"log1p", Unary<C<::log1p>>, 1}, {"log10", Unary<C<::log10>>, 1},
    {"log2", Unary<C<::log2>>, 1},    {"pow", Binary<math::Pow>, 2},   {"sinh", Unary<C<::sinh>>, 1},
    {"tanh", Unary<C<::tanh>>, 1},
    // sin, cos and tan are the C library's in the engine already.
};

// ---- Number.prototype.toString --------------------------------------------------------

constexpr size_t kEngineToStringSlot = 0;
constexpr size_t kEngineValueOfSlot = 1;  ///< Number.prototype.valueOf, which unwraps a Number object

/// The engine's toString with `this` and (when given) the radix; it also makes the
/// errors for a wrong receiver and a radix out of range.
bool EngineToString(JSContext* cx, JS::CallArgs& args, JS::HandleValue radix) {
    JS::RootedValue engine(cx, js::GetFunctionNativeReserved(&args.callee(), kEngineToStringSlot));
    JS::RootedValueArray<1> argv(cx);
    argv[0].set(radix);
    JS::HandleValueArray passed = radix.isUndefined() ? JS::HandleValueArray::empty() : JS::HandleValueArray(argv);
    return JS::Call(cx, args.thisv(), engine, passed, args.rval());
}

bool NumberToString(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    JS::RootedValue radixValue(cx, args.get(0));
    double value;
    if (args.thisv().isNumber()) {
        value = args.thisv().toNumber();
    } else {
        JS::RootedObject self(cx, args.thisv().isObject() ? &args.thisv().toObject() : nullptr);
        js::ESClass cls = js::ESClass::Other;
        if (!self || !JS::GetBuiltinClass(cx, self, &cls)) return self ? false : EngineToString(cx, args, radixValue);
        if (cls != js::ESClass::Number) return EngineToString(cx, args, radixValue);
        JS::RootedValue valueOf(cx, js::GetFunctionNativeReserved(&args.callee(), kEngineValueOfSlot));
        JS::RootedValue unboxed(cx);
        if (!JS::Call(cx, args.thisv(), valueOf, JS::HandleValueArray::empty(), &unboxed)) return false;
        if (!unboxed.isNumber()) return EngineToString(cx, args, radixValue);
        value = unboxed.toNumber();
    }
    if (radixValue.isUndefined()) return EngineToString(cx, args, radixValue);
    double radix;
    if (!JS::ToNumber(cx, radixValue, &radix)) return false;
    radix = std::isnan(radix) ? 0 : std::trunc(radix);
    radixValue.setDouble(radix);
    if (radix == 10 || !(radix >= 2 && radix <= 36)) return EngineToString(cx, args, radixValue);
    std::string text = std::isnan(value)   ? "NaN"
                       : std::isinf(value) ? (value > 0 ? "Infinity" : "-Infinity")
                                           : math::ToRadix(value, static_cast<int>(radix));
    JSString* s = JS_NewStringCopyN(cx, text.data(), text.size());
    if (!s) return false;
    args.rval().setString(s);
    return true;
}

bool Replace(JSContext* cx, JS::HandleObject on, const char* name, JSFunction* fn) {
    if (!fn) return false;
    JS::RootedValue v(cx, JS::ObjectValue(*JS_GetFunctionObject(fn)));
    return JS_DefineProperty(cx, on, name, v, 0);  // writable, configurable, not enumerable, in its old place
}

}  // namespace

bool InstallMath(JSContext* cx, JS::HandleObject global) {
    JS::RootedValue found(cx);
    if (!JS_GetProperty(cx, global, "Math", &found) || !found.isObject()) return false;
    JS::RootedObject mathObject(cx, &found.toObject());
    for (const Replacement& r : kMath)
        if (!Replace(cx, mathObject, r.name, detail::NewNative(cx, r.native, r.length, r.name))) return false;

    if (!JS_GetProperty(cx, global, "Number", &found) || !found.isObject()) return false;
    JS::RootedObject numberProto(cx, &found.toObject());
    if (!JS_GetProperty(cx, numberProto, "prototype", &found) || !found.isObject()) return false;
    numberProto = &found.toObject();
    JS::RootedValue engine(cx), valueOf(cx);
    if (!JS_GetProperty(cx, numberProto, "toString", &engine) || !JS_GetProperty(cx, numberProto, "valueOf", &valueOf))
        return false;
    JSFunction* toString = detail::NewNative(cx, NumberToString, 1, "toString");
    if (!toString) return false;
    js::SetFunctionNativeReserved(JS_GetFunctionObject(toString), kEngineToStringSlot, engine);
    js::SetFunctionNativeReserved(JS_GetFunctionObject(toString), kEngineValueOfSlot, valueOf);
    return Replace(cx, numberProto, "toString", toString);
}

}  // namespace qy::persona
