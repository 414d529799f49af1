// Math as a Chrome page computes it: Chromium's recorded answers (v8math_answers.txt,
// bit patterns) held against the page's, grouped by kind of function; the values
// FingerprintJS reads; the replaced functions still look like the engine's built-ins;
// and the targets without the persona keep the engine's own Math.
#include <gtest/gtest.h>

#include <cmath>
#include <limits>
#include <map>
#include <sstream>

#include "common/TestSupport.h"
#include "env/EnvTestSupport.h"
#include "persona/V8Math.h"

namespace qy::test {
namespace {

using script::ScriptTarget;

/// The recorded lines of each function ("arguments result", the function's name left off).
const std::map<std::string, std::vector<std::string>>& Answers() {
    static const std::map<std::string, std::vector<std::string>> answers = [] {
        std::map<std::string, std::vector<std::string>> byFunction;
        std::istringstream in(ReadFileBytes(SourceDir() + "/tests/persona/v8math_answers.txt"));
        for (std::string line; std::getline(in, line);) {
            if (line.empty() || line[0] == '#') continue;
            size_t space = line.find(' ');
            byFunction[line.substr(0, space)].push_back(line.substr(space + 1));
        }
        return byFunction;
    }();
    return answers;
}

// Runs a function's recorded cases in the page: "0" when all agree, else the count and
// the first few differences.
constexpr const char* kChecker = R"JS(var checkAnswers = (function () {
    var view = new DataView(new ArrayBuffer(8)), digits = '0123456789abcdef';
    function num(h) {
        for (var i = 0; i < 8; i++) view.setUint8(i, parseInt(h.substr(2 * i, 2), 16));
        return view.getFloat64(0);
    }
    function bits(x) {
        view.setFloat64(0, x);
        var s = '';
        for (var i = 0; i < 8; i++) { var b = view.getUint8(i); s += digits[b >> 4] + digits[b & 15]; }
        return s;
    }
    return function (fn, table) {
        var wrong = [];
        table.split(';').forEach(function (line) {
            var p = line.split(' '), args = p[0].split(',').map(num), want = p.slice(1).join(' '), got;
            if (fn.indexOf('toString') === 0) got = JSON.stringify(args[0].toString(+fn.slice(8)));
            else got = bits(Math[fn].apply(Math, args));
            if (got !== want) wrong.push(p[0] + ' -> ' + got + ' (Chromium ' + want + ')');
        });
        return wrong.length + (wrong.length ? ': ' + wrong.slice(0, 4).join('; ') : '');
    };
})();)JS";

class V8Math : public ::testing::Test {
protected:
    void SetUp() override { ASSERT_TRUE(page.Add(kChecker)) << page.ErrorDescription(); }

    void ExpectChromiumAnswers(std::initializer_list<const char*> functions) {
        for (const char* fn : functions) {
            auto found = Answers().find(fn);
            ASSERT_NE(found, Answers().end()) << fn;
            std::string table;
            for (const std::string& line : found->second) table += (table.empty() ? "" : ";") + line;
            EXPECT_EQ(page.Text(std::string("checkAnswers('") + fn + "', '" + table + "')"), "0")
                << fn << " over " << found->second.size() << " recorded cases";
        }
    }

    EnvHost page{ScriptTarget::ES2021};
};

TEST_F(V8Math, TrigonometryAsChromium) { ExpectChromiumAnswers({"acos", "asin", "atan", "atan2"}); }

TEST_F(V8Math, HyperbolicAsChromium) { ExpectChromiumAnswers({"acosh", "asinh", "atanh", "cosh", "sinh", "tanh"}); }

TEST_F(V8Math, ExponentialsAndLogarithmsAsChromium) {
    ExpectChromiumAnswers({"exp", "expm1", "log", "log1p", "log10", "log2"});
}

TEST_F(V8Math, PowersAndRootsAsChromium) { ExpectChromiumAnswers({"pow", "cbrt", "hypot"}); }

TEST_F(V8Math, RadixDigitsAsChromium) {
    ExpectChromiumAnswers({"toString3", "toString7", "toString36"});
    EXPECT_EQ(page.Text("[(0.5).toString(2), (255.5).toString(16), (-0).toString(2), (-7.25).toString(8), "
                        "NaN.toString(3), (-Infinity).toString(3), new Number(0.1).toString(3).slice(0, 12),"
                        " (12).toString('5'), (1e21).toString(36)].join()"),
              "0.1,ff.8,0,-7.2,NaN,-Infinity,0.0022002200,22,5v1j4f4ds7c000");
    // Digits up to the double's precision, the last rounded half to even; whole parts past
    // 2^53 filled with zeros (Chromium's answers).
    EXPECT_EQ(page.Text("[(0.9999999999999999).toString(36), (0.9999999999999999).toString(5), (1 / 3).toString(11),"
                        " (0.1).toString(5), (2 ** 60 + 2 ** 9).toString(7), (2 ** 60 + 2 ** 9).toString(3),"
                        " (4503599627370495.5).toString(7), (0.5 - 2 ** -54).toString(36)].join()"),
              "0.zzzzzzzzzza,0.44444444444444444444443,0.3737373737373737,0.0222222222222222222222222,"
              "2031000661631341100400,21200101122222021102111220121120200000,2523420223060136361.4,0.hzzzzzzzzzn");
    // Radix ten and the errors are the engine's.
    EXPECT_EQ(page.Text("(0.1).toString(10) + (0.1).toString()"), "0.10.1");
    EXPECT_TRUE(page.True("(function () { try { (1).toString(37); } catch (e) { return e instanceof RangeError; } })()"));
    EXPECT_TRUE(page.True(
        "(function () { try { Number.prototype.toString.call('1', 2); } catch (e) { return e instanceof TypeError; } })()"));
}

TEST_F(V8Math, FingerprintJsValuesAsChromium) {
    // The component's formulas (its "Pf" values are written out from Math.log and Math.exp);
    // the answers are Chromium's.
    const std::pair<const char*, const char*> kValues[] = {
        {"Math.acos(0.123124234234234242)", "1.4473588658278522"},
        {"Math.acosh(1e308)", "709.889355822726"},
        {"Math.log(1e154 + Math.sqrt(1e154 * 1e154 - 1))", "355.291251501643"},
        {"Math.asin(0.123124234234234242)", "0.12343746096704435"},
        {"Math.asinh(1)", "0.881373587019543"},
        {"Math.log(1 + Math.sqrt(1 * 1 + 1))", "0.8813735870195429"},
        {"Math.atanh(0.5)", "0.5493061443340548"},
        {"Math.log((1 + 0.5) / (1 - 0.5)) / 2", "0.5493061443340549"},
        {"Math.atan(0.5)", "0.4636476090008061"},
        {"Math.sin(-1e300)", "0.8178819121159085"},
        {"Math.sinh(1)", "1.1752011936438014"},
        {"Math.exp(1) - 1 / Math.exp(1) / 2", "2.534342107873324"},
        {"Math.cos(10.000000000123)", "-0.8390715290095377"},
        {"Math.cosh(1)", "1.5430806348152437"},
        {"(Math.exp(1) + 1 / Math.exp(1)) / 2", "1.5430806348152437"},
        {"Math.tan(-1e300)", "-1.4214488238747245"},
        {"Math.tanh(1)", "0.7615941559557649"},
        {"(Math.exp(2) - 1) / (Math.exp(2) + 1)", "0.7615941559557649"},
        {"Math.exp(1)", "2.718281828459045"},
        {"Math.expm1(1)", "1.718281828459045"},
        {"Math.exp(1) - 1", "1.718281828459045"},
        {"Math.log1p(10)", "2.3978952727983707"},
        {"Math.log(1 + 10)", "2.3978952727983707"},
        {"Math.pow(Math.PI, -100)", "1.9275814160560206e-50"},
    };
    for (const auto& [expression, chromium] : kValues) EXPECT_EQ(page.Text("String(" + std::string(expression) + ")"), chromium) << expression;
}

TEST_F(V8Math, ReplacedFunctionsLookLikeTheEngines) {
    EnvHost engine(ScriptTarget::ES2021, false);
    const char* kShape =
        "Object.getOwnPropertyNames(Math).map(function (k) { var d = Object.getOwnPropertyDescriptor(Math, k);"
        " return k + (typeof d.value === 'function' ? '/' + d.value.name + '/' + d.value.length : '') +"
        " (d.writable ? 'w' : '') + (d.enumerable ? 'e' : '') + (d.configurable ? 'c' : ''); }).join()";
    EXPECT_EQ(page.Text(kShape), engine.Text(kShape));
    EXPECT_EQ(page.Text("String(Math.pow) + '|' + Math.hypot.toString() + '|' + (1).toString.toString()"),
              "function pow() { [native code] }|function hypot() { [native code] }|function toString() { [native code] }");
    EXPECT_EQ(page.Text("Number.prototype.toString.length + ',' + ('prototype' in Math.cbrt)"), "1,false");
    EXPECT_TRUE(page.True("(function () { try { new Math.log(1); } catch (e) { return e instanceof TypeError; } })()"));
}

TEST_F(V8Math, ArgumentsAndSpecialValues) {
    // Every argument is converted, in order, before hypot looks at any; Infinity wins over NaN.
    EXPECT_EQ(page.Text("(function () { var seen = ''; function v(n, r) { return {valueOf: function () { seen += n; return r; }}; }"
                        " var r = Math.hypot(v('a', NaN), v('b', 3), v('c', -Infinity)); return seen + r; })()"),
              "abcInfinity");
    EXPECT_EQ(page.Text("[Math.hypot(), Math.hypot(NaN, 1), Math.hypot(-3), Math.hypot(3, 4), Math.hypot(1e300, 1e300)].join()"),
              "0,NaN,3,5,1.4142135623730952e+300");
    EXPECT_EQ(page.Text("[Math.pow(1, Infinity), Math.pow(-1, -Infinity), Math.pow(NaN, 0), Math.pow(2, NaN), 1 / Math.pow(-0, 3),"
                        " Math.pow(-8, 1 / 3), Math.pow()].join()"),
              "NaN,NaN,1,NaN,-Infinity,NaN,NaN");
    EXPECT_EQ(page.Text("[1 / Math.cbrt(-0), Math.cbrt(-27), Math.cbrt(Infinity), Math.cbrt(5e-324), Math.atanh(1), 1 / Math.asinh(-0)].join()"),
              "-Infinity,-3,Infinity,1.7031839360032603e-108,Infinity,-Infinity");
    EXPECT_EQ(page.Text("(function () { try { Math.exp(Symbol()); } catch (e) { return e instanceof TypeError; } })()"), "true");
}

TEST(V8MathScope, TargetsWithoutThePersonaKeepTheEnginesMath) {
    const char* kPow = "String(Math.pow(Math.PI, -100)) + String(Math.pow).length";
    EnvHost persona(ScriptTarget::ES2021);
    EnvHost plain(ScriptTarget::ES2021, false);
    EnvHost jscript(ScriptTarget::JScript58);
    EXPECT_EQ(persona.Text("String(Math.pow(Math.PI, -100))"), "1.9275814160560206e-50");
    // The engine multiplies out whole powers; its answer is a few units away.
    EXPECT_EQ(plain.Text("String(Math.pow(Math.PI, -100))"), "1.9275814160560185e-50");
    EXPECT_EQ(jscript.Text("String(Math.pow(Math.PI, -100))"), "1.9275814160560185e-50");
    EXPECT_NE(plain.Text(kPow), persona.Text(kPow));
}

TEST(V8MathCbrt, CorrectlyRoundedNearTheMidpoints) {
    // Exact cubes stay exact; tiny and huge arguments keep full precision, and the
    // result's cube brackets the argument.
    using qy::persona::math::Cbrt;
    for (double r : {2.0, 3.0, 0.5, 0x1p-300, 123456.0, 1.25}) EXPECT_EQ(Cbrt(r * r * r), r) << r;
    for (double x : {5e-324, 2.2250738585072009e-308, 1.7976931348623157e308, 0.9, 10.0}) {
        double y = Cbrt(x);
        double up = std::nextafter(y, std::numeric_limits<double>::infinity()), down = std::nextafter(y, 0.0);
        long double cube = static_cast<long double>(y) * y * y;
        EXPECT_LE(std::fabs(cube - x), std::fabs(static_cast<long double>(up) * up * up - x)) << x;
        EXPECT_LE(std::fabs(cube - x), std::fabs(static_cast<long double>(down) * down * down - x)) << x;
    }
}

}  // namespace
}  // namespace qy::test
