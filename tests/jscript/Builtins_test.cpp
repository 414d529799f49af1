/** @file Builtins_test.cpp
 * Built-in methods under the JScript target answer as JScript 5.8's do: numbers, strings,
 * regular expressions, arrays and the texts of objects and functions. Each case also
 * checks that the ES2021 target keeps the engine's own answer.
 */
#include <gtest/gtest.h>

#include "JScriptTestSupport.h"

namespace qy::test {
namespace {

void ExpectBoth(const std::string& expr, const std::string& jscript, const std::string& modern,
                const std::string& code = "") {
    BothAnswers r = RunBoth(code, expr);
    EXPECT_EQ(r.jscript, jscript) << expr;
    EXPECT_EQ(r.modern, modern) << expr;
}

TEST(Builtins, ParseIntReadsALeadingZeroAsOctal) {
    ExpectBoth("parseInt('08')", "0", "8");
    ExpectBoth("parseInt('010')", "8", "10");
    ExpectBoth("parseInt('  -010')", "-8", "-10");
    ExpectBoth("parseInt('019')", "1", "19");
    // A radix, hexadecimal and plain decimals read alike in both.
    ExpectBoth("parseInt('010', 10) + ',' + parseInt('0x1F') + ',' + parseInt('42px') + ',' + parseInt('010', 0)",
               "10,31,42,8", "10,31,42,10");
}

TEST(Builtins, ToFixedRoundsTheShortestDecimalHalfUp) {
    ExpectBoth("(0.95).toFixed(1)", "1.0", "0.9");
    ExpectBoth("(1.005).toFixed(2)", "1.01", "1.00");
    ExpectBoth("(1.1).toFixed(20)", "1.10000000000000000000", "1.10000000000000008882");
    ExpectBoth("[(1.5).toFixed(0), (2.5).toFixed(0), (123.456).toFixed(1), (0).toFixed(2), (-1.25).toFixed(1), "
               "(1e21).toFixed(2), (1e-7).toFixed(3), (10).toFixed(1), (99.99).toFixed(1)].join()",
               "2,3,123.5,0.00,-1.3,1e+21,0.000,10.0,100.0", "2,3,123.5,0.00,-1.3,1e+21,0.000,10.0,100.0");
}

TEST(Builtins, ToFixedBelowTheFirstDigitOnlyCarriesFromPointNineFive) {
    ExpectBoth("[(0.5).toFixed(0), (0.6).toFixed(0), (0.94).toFixed(0), (0.95).toFixed(0)].join()", "0,0,0,1",
               "1,1,1,1");
    ExpectBoth("[(0.05).toFixed(1), (0.009).toFixed(2), (-0.5).toFixed(0)].join()", "0.0,0.00,-0", "0.1,0.01,-1");
    // JScript keeps the third edition's range of digits; the this-value rule stays.
    ExpectBoth("(function(){try{(1).toFixed(21);return 'no';}catch(e){return e instanceof RangeError}})()",
               "true", "no");
    ExpectBoth("(function(){try{Number.prototype.toFixed.call('1');return 'no';}catch(e){return e instanceof TypeError}})()",
               "true", "true");
}

TEST(Builtins, SubstrTakesANegativeStartAsZero) {
    ExpectBoth("'abc'.substr(-1)", "abc", "c");
    ExpectBoth("'abc'.substr(-2, 1)", "a", "b");
    ExpectBoth("'abcdef'.substr(2, 3) + '|' + 'abc'.substr(1)", "cde|bc", "cde|bc");
}

TEST(Builtins, HtmlMethodsWriteUpperCaseTagsWithValuesAsGiven) {
    ExpectBoth("'a'.bold()", "<B>a</B>", "<b>a</b>");
    ExpectBoth("'a'.anchor('x\"y')", "<A NAME=\"x\"y\">a</A>", "<a name=\"x&quot;y\">a</a>");
    ExpectBoth("'a'.link('u') + 'a'.fontcolor('red') + 'a'.fontsize(3)",
               "<A HREF=\"u\">a</A><FONT COLOR=\"red\">a</FONT><FONT SIZE=\"3\">a</FONT>",
               "<a href=\"u\">a</a><font color=\"red\">a</font><font size=\"3\">a</font>");
    ExpectBoth("'a'.big()+'a'.blink()+'a'.fixed()+'a'.italics()+'a'.small()+'a'.strike()+'a'.sub()+'a'.sup()",
               "<BIG>a</BIG><BLINK>a</BLINK><TT>a</TT><I>a</I><SMALL>a</SMALL><STRIKE>a</STRIKE><SUB>a</SUB><SUP>a</SUP>",
               "<big>a</big><blink>a</blink><tt>a</tt><i>a</i><small>a</small><strike>a</strike><sub>a</sub><sup>a</sup>");
}

TEST(Builtins, SplitByARegularExpressionDropsEmptyPiecesAndCaptures) {
    ExpectBoth("'A<B>bold</B>and<CODE>coded</CODE>'.split(/<(\\/)?([^<>]+)>/).join('|')",
               "A|bold|and|coded", "A||B|bold|/|B|and||CODE|coded|/|CODE|");
    ExpectBoth("'1ab2aab3'.split(/(a+)b/).join('|')", "1|2|3", "1|a|2|aa|3");
    // the expression's lastIndex ends after the last separator; with none found it is 0
    ExpectBoth("(function(){var r=/,+/; r.lastIndex=4; var n='1,,2,'.split(r).length; var s=r.lastIndex;"
               " '123'.split(r); return n + ',' + s + ',' + r.lastIndex;})()", "2,5,0", "3,4,4");
    ExpectBoth("'a,,b'.split(/,/).length + ',' + ',a,'.split(/,/).length", "2,1", "3,3");
    ExpectBoth("'ab'.split(/(x)?/).join('|')", "a|b", "a||b");
    ExpectBoth("'a1b22c'.split(/\\d/).join('|')", "a|b|c", "a|b||c");
    // A string separator keeps its empty pieces; an empty string splits to one piece.
    ExpectBoth("'a,,b'.split(',').length + ',' + ''.split(/,/).length + ',' + ''.split(/x*/).length", "3,1,0",
               "3,1,0");
}

TEST(Builtins, SplitLimitIsAnIntegerAndNullMeansNone) {
    ExpectBoth("'a,b,c'.split(',', null).length", "3", "0");
    ExpectBoth("'a,b,c'.split(/,/, 4294967297).length", "3", "1");
    ExpectBoth("'a,b,c'.split(',', 2).join() + '|' + 'a,b,c'.split(/,/, -1).length + '|' + 'a,b'.split(',', 0).length",
               "a,b|3|0", "a,b|3|0");
}

TEST(Builtins, ExecResultsReadUnmatchedCapturesAsEmptyStrings) {
    ExpectBoth("typeof /(a)|b/.exec('b')[1]", "string", "undefined");
    ExpectBoth("'xbx'.replace(/(a)|b/, function (m, a) { return typeof a; })", "xstringx", "xundefinedx");
    ExpectBoth("'b'.match(/(a)|b/)[1] === ''", "true", "false");
    ExpectBoth("(function(){var m=/b(c)/.exec('abcd'); return [m.index, m.input, m[1]].join();})()", "1,abcd,c",
               "1,abcd,c");
}

TEST(Builtins, ExecSetsLastIndexOnTheExpressionAndTheResult) {
    ExpectBoth("(function(){var r=/b/; r.exec('abc'); return r.lastIndex;})()", "2", "0");
    ExpectBoth("'abcb'.match(/b/).lastIndex", "2", "undefined");
    ExpectBoth("(function(){var r=/b/; r.exec('abc'); r.exec('x'); return r.lastIndex;})()", "0", "0");
    // A global search from a lastIndex below zero fails and starts over; one that is no
    // number, or an object (its valueOf not asked), starts at 0.
    ExpectBoth("(function(){var r=/b/g; r.lastIndex=-1; return r.exec('abc') + ',' + r.lastIndex;})()", "null,0",
               "b,2");
    ExpectBoth("(function(){var r=/b/g; r.lastIndex='x'; return String(r.exec('abcb'));})()", "b", "b");
    ExpectBoth("(function(){var r=/b/g; r.lastIndex={valueOf: function(){ return 3; }}; r.exec('abcb');"
               " return r.lastIndex;})()", "2", "4");
    // Global walks and replacement still visit every match, empty ones included.
    ExpectBoth("(function(){var r=/a/g,n=0; while(r.exec('banana')) n++; return n + ',' + 'abc'.replace(/x*/g, '-');})()",
               "3,-a-b-c-", "3,-a-b-c-");
}

TEST(Builtins, SpliceWithoutACountRemovesNothingAndUnshiftGivesNothing) {
    ExpectBoth("(function(){var a=[1,2,3]; var r=a.splice(1); return r.length + '|' + a.join();})()", "0|1,2,3",
               "2|1");
    ExpectBoth("[1,2,3].unshift(0)", "undefined", "4");
    ExpectBoth("(function(){var a=[1,2]; a.unshift(0, 0.5); return a.join();})()", "0,0.5,1,2", "0,0.5,1,2");
    ExpectBoth("(function(){var a=[1,2,3,4]; var r=a.splice(1,2,'x'); return r.join() + '|' + a.join();})()",
               "2,3|1,x,4", "2,3|1,x,4");
    // The fifth edition's join rule: an explicit undefined separator is a comma.
    ExpectBoth("[1,2].join(undefined)", "1,2", "1,2");
}

TEST(Builtins, ObjectTextsOfNullUndefinedAndArguments) {
    ExpectBoth("Object.prototype.toString.call(null)", "[object Object]", "[object Null]");
    ExpectBoth("Object.prototype.toString.call(undefined)", "[object Object]", "[object Undefined]");
    ExpectBoth("(function(){return Object.prototype.toString.call(arguments);})()", "[object Object]",
               "[object Arguments]");
    ExpectBoth("Object.prototype.toString.call([]) + Object.prototype.toString.call('s') + ({}).toString()",
               "[object Array][object String][object Object]", "[object Array][object String][object Object]");
}

TEST(Builtins, FunctionTextsStandOnLinesOfTheirOwn) {
    ExpectBoth("String(Math.max)", "\nfunction max() {\n    [native code]\n}\n", "function max() {\n    [native code]\n}");
    // Replaced methods read as natives too, with their names, lengths and hidden-ness.
    ExpectBoth("String(''.substr)", "\nfunction substr() {\n    [native code]\n}\n",
               "function substr() {\n    [native code]\n}");
    ExpectBoth("String(Date)", "\nfunction Date() {\n    [native code]\n}\n", "function Date() {\n    [native code]\n}");
    ExpectBoth("''.substr.name + ''.substr.length + [].splice.length + (1).toFixed.length + ''.split.length",
               "substr2212", "substr2212");
    ExpectBoth("(function(){var n=0; for (var k in String.prototype) n++; for (k in Array.prototype) n++; return n;})()",
               "0", "0");
    ExpectBoth("String(function f(a) { return a; })", "function f(a) { return a; }", "function f(a) { return a; }");
}

// Code made by the Function constructor (or reached through any function's constructor,
// as obfuscated code reaches it) is read as JScript reads eval's text, and prints in
// JScript's form.
TEST(Builtins, TheFunctionConstructorReadsItsBodyAsJScript) {
    ExpectBoth("new Function('return [1,2,].length')()", "3", "2");
    ExpectBoth("(function(){try{Function('let x = 1');return 'made'}catch(e){return e.name + ' ' + (e.number & 0xFFFF)}})()",
               "SyntaxError 1004", "made");
    ExpectBoth("({}).constructor.constructor('return [,].length')() + ',' + Function('a', 'b', 'return a * b')(6, 7)",
               "2,42", "1,42");
    ExpectBoth("String(Function('a', 'b', 'return a+b'))", "function anonymous(a, b) {\nreturn a+b\n}",
               "function anonymous(a,b\n) {\nreturn a+b\n}");
    ExpectBoth("Function('return this')() === this && (function(){}).constructor === Function && "
               "Function('') instanceof Function && Function('').constructor === Function && "
               "Function.length === 1",
               "true", "true");
}

// The prototype of dates is a date at time 0 to the methods called on it.
TEST(Builtins, DatePrototypeIsADateAtZero) {
    ExpectBoth("(function(){try{return Date.prototype.getTime() + ',' + Date.prototype.getUTCFullYear() + ',' +"
               " Date.prototype.setTime.length}catch(e){return e.name}})()",
               "0,1970,1", "TypeError");
}

// RegExp keeps the pattern as written; the constructor refuses flags beside an expression
// and hands an expression called without new back; statics read through it.
TEST(Builtins, RegExpKeepsItsPatternAsWritten) {
    ExpectBoth("new RegExp('a/b').source + ' ' + String(new RegExp('a/b', 'mgi')) + ' ' + new RegExp().source.length"
               " + ' ' + RegExp.prototype.source.length + ' ' + RegExp.prototype.lastIndex",
               "a/b /a/b/igm 0 0 0", "a\\/b /a\\/b/gim 4 4 undefined");
    ExpectBoth("(function(){var r=/x/; return [RegExp(r) === r, new RegExp(r) !== r, RegExp.length,"
               " r.constructor === RegExp, r instanceof RegExp, new RegExp(r).source].join()})()",
               "true,true,2,true,true,x", "true,true,2,true,true,x");
    ExpectBoth("(function(){/(b)/.exec('abc'); return RegExp.$1 + RegExp.leftContext + ('$2' in RegExp)})()",
               "batrue", "batrue");
}

// match and search leave the expression's lastIndex after the last match they used; a
// string pattern is replaced as it is; undefined given to split is the text.
TEST(Builtins, StringMethodsWithExpressionsAsJScriptRunsThem) {
    ExpectBoth("(function(){var r=/aa/; r.lastIndex=2; var i='baacdaa'.search(r); return i + ',' + r.lastIndex})()",
               "1,3", "1,2");
    ExpectBoth("(function(){var m='abcabc'.match(new RegExp('ab','g')); return [m.length, m.index, m.input,"
               " m.lastIndex].join()})()",
               "2,3,abcabc,5", "2,,,");
    ExpectBoth("String('abc'.match()) + ',' + ' undefined '.search()", "null,null", ",0");
    ExpectBoth("'1 2 3'.replace('2', '$&') + '|' + '1 2 3'.replace('2', function(m){ return m + m; })",
               "1 $& 3|1 22 3", "1 2 3|1 22 3");
    ExpectBoth("'1,undefined2,3'.split(undefined).length + ',' + '1,2'.split().length", "2,1", "1,1");
}

TEST(Builtins, LengthsAsJScriptDeclaresThem) {
    ExpectBoth("[''.indexOf.length, ''.lastIndexOf.length, ''.replace.length, ''.search.length, ''.slice.length,"
               " Object.length].join()",
               "2,2,1,0,0,0", "1,1,2,1,2,1");
    EXPECT_EQ(RunBoth("", "[Enumerator.length, GetObject.length, VBArray.prototype.getItem.length].join()").jscript,
              "7,2,1");
}

}  // namespace
}  // namespace qy::test
