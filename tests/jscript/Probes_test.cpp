/** @file Probes_test.cpp
 * Short probes of the errors built-ins raise when misused: JScript's numbers and
 * descriptions in the JScript target, the engine's own errors in the modern one.
 */
#include <gtest/gtest.h>

#include <string>

#include "JScriptTestSupport.h"

namespace qy {
namespace {

using test::BothAnswers;
using test::RunBoth;

/// What a failing body gives when caught: "code description name", or "ok".
std::string Caught(const std::string& body) {
    return "(function(){try{" + body + ";return 'ok'}catch(e){return (e.number & 0xFFFF) + ' ' + e.description + "
           "' ' + e.name}})()";
}

TEST(Probes, MisusedOperatorsAndBuiltInsGiveJScriptsErrors) {
    struct Row {
        const char* body;
        const char* jscript;
        const char* modern;
    };
    const Row rows[] = {
        {"1 in 2", "5007 缺少对象 TypeError", "0 undefined TypeError"},
        {"({}) instanceof 2", "5002 缺少函数 TypeError", "0 undefined TypeError"},
        {"new Array(-1)", "5029 数组长度必须是有限正整数 RangeError", "0 undefined RangeError"},
        {"[].length = -1", "5029 数组长度必须是有限正整数 RangeError", "0 undefined RangeError"},
        {"(1).toFixed(25)", "5026 小数位数超出了范围 RangeError", "ok"},
        {"(1).toExponential(-1)", "5026 小数位数超出了范围 RangeError", "0 undefined RangeError"},
        {"(1).toPrecision(0)", "5027 精度超出了范围 RangeError", "0 undefined RangeError"},
        {"(1).toPrecision(22)", "5027 精度超出了范围 RangeError", "ok"},
        {"(1).toString(1)", "5 无效的过程调用或参数 TypeError", "0 undefined RangeError"},
        {"decodeURIComponent('%')", "5025 待解码的 URI 不是有效的编码 URIError", "0 undefined URIError"},
        {"encodeURIComponent('\\uD800')", "5024 要编码的 URI 中包含无效字符 URIError", "0 undefined URIError"},
        {"encodeURI('\\uDC00')", "5024 要编码的 URI 中包含无效字符 URIError", "0 undefined URIError"},
        {"Date.prototype.getTime.call({})", "5006 缺少日期对象 TypeError", "0 undefined TypeError"},
        {"Number.prototype.toString.call('x')", "5001 缺少数字 TypeError", "0 undefined TypeError"},
        {"Function.prototype.apply.call(1)", "5002 缺少函数 TypeError", "0 undefined TypeError"},
        {"(function(){}).apply(null, 1)", "5028 缺少 Array 或 arguments 对象 TypeError", "0 undefined TypeError"},
        {"RegExp.prototype.exec.call({}, 'a')", "5016 缺少正则表达式对象 TypeError", "0 undefined TypeError"},
        {"function r(){ r() } r()", "28 堆栈溢出 Error", "0 undefined InternalError"},
    };
    for (const Row& r : rows) {
        BothAnswers a = RunBoth("", Caught(r.body));
        EXPECT_EQ(a.jscript, r.jscript) << r.body;
        // The modern engine's errors carry no JScript number; its ranges are wider.
        EXPECT_EQ(a.modern, r.modern) << r.body;
    }
}

TEST(Probes, TheReplacedMethodsStillAnswerInRange) {
    BothAnswers a = RunBoth("", "[(123.456).toPrecision(4), (0.00001).toPrecision(1), (5).toPrecision(), "
                                "NaN.toPrecision(0), encodeURIComponent('a b&'), encodeURI('a b#?')].join('|')");
    EXPECT_EQ(a.jscript, "123.5|0.00001|5|NaN|a%20b%26|a%20b#?");
    EXPECT_EQ(a.modern, a.jscript);
}

TEST(Probes, NumbersAndArraysWriteTheSystemsLocaleText) {
    BothAnswers a = RunBoth("", "[(1234.5).toLocaleString(), (1234567).toLocaleString(), (-1234.567).toLocaleString(), "
                                "(0.005).toLocaleString(), (-0.001).toLocaleString(), (1.005).toLocaleString(), "
                                "NaN.toLocaleString()].join(' ') + ' ' + [1.5, 2, null, 'x'].toLocaleString()");
    EXPECT_EQ(a.jscript, "1,234.50 1,234,567.00 -1,234.57 0.01 0.00 1.01 NaN 1.50, 2.00, , x");
    EXPECT_NE(a.modern, a.jscript);
}

}  // namespace
}  // namespace qy
