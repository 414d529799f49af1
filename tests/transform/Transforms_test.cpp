// The tool scripts run in the engine: minifier rules, formatter properties on real
// scripts, the unpacker's recognisers, and the caller snippet.
#include "transform/Transforms.h"

#include <gtest/gtest.h>

#include "common/TestSupport.h"
#include "script/Engine.h"
#include "script/ScriptTarget.h"
#include "script/ScriptHost.h"
#include "text/CodePage.h"
#include "transform/ToolScripts.h"

using namespace qy::transform;
using namespace qy::script;
using qy::test::ReadFileBytes;

namespace {

std::string Ansi(const char* utf8) { return qy::text::Utf8ToAnsiText(utf8); }

/// A host holding one tool script, for calls with other arguments than the buttons use.
struct Tool {
    ScriptHost host;
    explicit Tool(std::string_view source) {
        host.SetLanguage("JScript");
        host.AddCode(std::string(source));
    }
    std::string Jsmin(const std::string& input, int level, const std::string& comment = "") {
        Variant v = CallMethodVariant(host.Control(), "Run", {"jsmin", comment, input, int32_t(level)});
        return VariantToText(v);
    }
    std::string ErrorDescription() { return GetPropertyText(host.GetError(), "Description"); }
};

/// After these tokens a "/" begins a regular expression.
bool RegexMayStart(const std::vector<std::string>& tokens) {
    for (auto it = tokens.rbegin(); it != tokens.rend(); ++it) {
        const std::string& t = *it;
        if (t.rfind("//", 0) == 0 || t.rfind("/*", 0) == 0) continue;
        if (t == "return" || t == "typeof" || t == "case" || t == "in" || t == "of") return true;
        return t.size() == 1 && std::string("(,=:[!&|?{};+-*%<>~^").find(t[0]) != std::string::npos;
    }
    return true;
}

/// Tokens of a script for comparing token streams, written apart from the formatter:
/// words and numbers, quoted strings, template literals, comments, and every other
/// visible character on its own. White space separates tokens and is not kept.
std::vector<std::string> Tokens(const std::string& s) {
    std::vector<std::string> out;
    auto word = [](unsigned char c) { return std::isalnum(c) || c == '_' || c == '$' || c == '\\' || c >= 0x80; };
    for (size_t i = 0; i < s.size();) {
        unsigned char c = s[i];
        size_t start = i;
        if (std::isspace(c)) { ++i; continue; }
        if (c == '/' && i + 1 < s.size() && s[i + 1] == '/') {
            while (i < s.size() && s[i] != '\n' && s[i] != '\r') ++i;
            std::string t = s.substr(start, i - start);
            while (!t.empty() && std::isspace(static_cast<unsigned char>(t.back()))) t.pop_back();
            out.push_back(t);
            continue;
        }
        if (c == '/' && RegexMayStart(out) && !(i + 1 < s.size() && (s[i + 1] == '*' || s[i + 1] == '/'))) {
            bool inClass = false;
            for (++i; i < s.size() && s[i] != '\n'; ++i) {
                if (s[i] == '\\') ++i;
                else if (s[i] == '[') inClass = true;
                else if (s[i] == ']') inClass = false;
                else if (s[i] == '/' && !inClass) break;
            }
            ++i;
            while (i < s.size() && std::isalpha(static_cast<unsigned char>(s[i]))) ++i;
        } else if (c == '/' && i + 1 < s.size() && s[i + 1] == '*') {
            size_t e = s.find("*/", i + 2);
            i = e == std::string::npos ? s.size() : e + 2;
        } else if (c == '"' || c == '\'' || c == '`') {
            ++i;
            while (i < s.size() && s[i] != c && (c == '`' || s[i] != '\n')) i += s[i] == '\\' ? 2 : 1;
            i = std::min(i + 1, s.size());
        } else if (std::isdigit(c) || (c == '.' && i + 1 < s.size() && std::isdigit(static_cast<unsigned char>(s[i + 1])))) {
            // A number's own "." belongs to it; "return.5" is two tokens however it is spaced.
            while (i < s.size() && (word(static_cast<unsigned char>(s[i])) || s[i] == '.')) ++i;
        } else if (word(c)) {
            while (i < s.size() && word(static_cast<unsigned char>(s[i]))) i += s[i] == '\\' ? 2 : 1;
        } else {
            ++i;
        }
        out.push_back(s.substr(start, std::min(i, s.size()) - start));
    }
    return out;
}

std::string CrLfToLf(std::string s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i)
        if (!(s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')) out.push_back(s[i]);
    return out;
}

}  // namespace

TEST(Minifier, ExamplesAtEachLevel) {
    Tool t(qy::tools::kTool_jsmin);
    EXPECT_EQ(t.Jsmin("var a = 1;\n\n// c\nvar b = 2;", 2), "\nvar a=1;var b=2;");
    EXPECT_EQ(t.Jsmin("if (a) {\n  b();\n}\nelse c();", 2), "\nif(a){b();}\nelse c();");
    EXPECT_EQ(t.Jsmin("!function(){}()", 2), "!function(){}()");
    EXPECT_EQ(t.Jsmin("// only a comment", 2), "");
    EXPECT_EQ(t.Jsmin("a = 1\n\nb = 2", 1), "\na=1\nb=2");
    EXPECT_EQ(t.Jsmin("x = y\n}\nz()", 3), "\nx=y}z()");
    EXPECT_EQ(t.Jsmin("x = y\n}\nz()", 2), "\nx=y}\nz()");
    EXPECT_EQ(t.Jsmin("x = y\n+z", 3), "\nx=y\n+z");
    EXPECT_EQ(t.Jsmin("x = 'y'\nz()", 3), "\nx='y'z()");
    EXPECT_EQ(t.Jsmin("var t = `a  b\n c`;", 2), "\nvar t=`a  b\n c`;");
    EXPECT_EQ(t.Jsmin("a = b", 7, "hdr"), "hdr\n\na=b");
    EXPECT_EQ(VariantToNumber(t.host.Eval("jsmin.oldSize")), 5);
    EXPECT_EQ(VariantToNumber(t.host.Eval("jsmin.newSize")), 4);
    EXPECT_EQ(VariantToText(t.host.Eval("'abc'.has('b')")), "true");
}

TEST(Minifier, ThrownStrings) {
    Tool t(qy::tools::kTool_jsmin);
    t.Jsmin("/* never closed", 2);
    EXPECT_EQ(t.ErrorDescription(), "Error: Unterminated comment.");
    t.Jsmin("var s = 'abc", 2);
    EXPECT_EQ(t.ErrorDescription(), "Error: unterminated string literal: -1");
    t.Jsmin("x = /ab\n/", 2);
    EXPECT_EQ(t.ErrorDescription(), "Error: unterminated Regular Expression literal");
    ToolResult r = MinifyScript("/* open");
    EXPECT_FALSE(r.ok);
    EXPECT_EQ(GetPropertyText(r.error, "Description"), "Error: Unterminated comment.");
}

TEST(Formatter, IndentsBlocksAndUsesCrLf) {
    ToolResult r = FormatScript("function f(a){if(a){return 1}else{return 2}}");
    ASSERT_TRUE(r.ok);
    EXPECT_EQ(r.text, "function f(a) {\r\n    if (a) {\r\n        return 1\r\n    } else {\r\n        return 2\r\n    }\r\n}");
    ToolResult empty = FormatScript("");
    EXPECT_TRUE(empty.ok);
    EXPECT_EQ(empty.text, "");
    // A line break after return is kept: moving the value up would change the result.
    EXPECT_EQ(FormatScript("function g(){return\n1}").text, "function g() {\r\n    return\r\n    1\r\n}");
    EXPECT_EQ(FormatScript("var s = \"a  {b;}  c\", r = /x{2};/g, t = `p ${ {q:1}.q } r`;").text,
              "var s = \"a  {b;}  c\",\r\n    r = /x{2};/g,\r\n    t = `p ${ {q:1}.q } r`;");
}

TEST(Formatter, CrLfAndLfInputFormatTheSameAndOnce) {
    const std::string lf = "/*\n * a\n */\nvar t = `x\ny`; // end\nif(a){b()}\n/** doc\n\n*/ c();";
    std::string crlf;
    for (char c : lf) crlf += c == '\n' ? std::string("\r\n") : std::string(1, c);
    ToolResult fromLf = FormatScript(lf), fromCrLf = FormatScript(crlf);
    ASSERT_TRUE(fromLf.ok && fromCrLf.ok);
    EXPECT_EQ(fromCrLf.text, fromLf.text);
    EXPECT_EQ(fromLf.text.find("\r\r"), std::string::npos);
    EXPECT_EQ(CrLfToLf(fromLf.text).find('\r'), std::string::npos);  // every line ends in CR LF
    EXPECT_EQ(fromLf.text.substr(0, 15), "/*\r\n * a\r\n */\r\n");
    EXPECT_EQ(FormatScript(fromLf.text).text, fromLf.text);
    EXPECT_EQ(FormatScript(FormatScript(fromCrLf.text).text).text, fromLf.text);
}

// The format button keeps its formatter between calls; a formatting stopped half-way
// leaves nothing behind that the next one would meet.
TEST(Formatter, AFormattingStoppedHalfWayLeavesTheNextOneRight) {
    std::string big;
    while (big.size() < 12u * 1024 * 1024) big += "x=a?b:c,y={p:1,q:[2,3]};\n";
    SetBusyHook([](std::chrono::milliseconds) { RequestStop(); });
    ToolResult stopped = FormatScript(big);
    SetBusyHook(nullptr);
    EXPECT_FALSE(stopped.ok);
    ToolResult next = FormatScript("if(a)b();else{c()}");
    ASSERT_TRUE(next.ok);
    EXPECT_EQ(next.text, "if (a)\r\n    b();\r\nelse {\r\n    c()\r\n}");
    EXPECT_EQ(FormatScript("var a=1,b=2").text, "var a = 1,\r\n    b = 2");
}

// Text with old-style CR line ends (or a CR inside a comment, a string's line
// continuation or a template) comes out with CR LF on every line, once and for all.
TEST(Formatter, LoneCarriageReturnsBecomeWholeLineEnds) {
    ToolResult once = FormatScript("/* x\r y */ z = `a\rb`;\rs = 'c\\\rd'\rq()");
    ASSERT_TRUE(once.ok);
    EXPECT_EQ(once.text, "/* x\r\n y */\r\nz = `a\r\nb`;\r\ns = 'c\\\r\nd'\r\nq()");
    EXPECT_EQ(FormatScript(once.text).text, once.text);
}

TEST(Transforms, CharactersOutsideGbkSurviveEveryTool) {
    // ©, a no-break space, an em space and an emoji inside string literals.
    const std::string text = Ansi("var s = \"\u00A9\u00A0\u2003\U0001F600中\";\nvar n = \"\U0001F600\".length;");
    ASSERT_EQ(qy::text::AnsiToWide(text).find(u'?'), std::u16string::npos);
    const std::string literal = Ansi("\"\u00A9\u00A0\u2003\U0001F600中\"");
    ToolResult formatted = FormatScript(text);
    ASSERT_TRUE(formatted.ok);
    EXPECT_NE(formatted.text.find(literal), std::string::npos);
    ToolResult minified = MinifyScript(text);
    ASSERT_TRUE(minified.ok);
    EXPECT_NE(minified.text.find(literal), std::string::npos);
    ScriptHost main;
    ToolResult unpacked = UnpackScript(main, "var%20s%20=%20" + literal);
    ASSERT_TRUE(unpacked.ok);
    EXPECT_EQ(unpacked.text, "var s = " + literal);
    ScriptHost loaded;
    loaded.AddCode(formatted.text);
    EXPECT_EQ(VariantToText(loaded.Eval("s")), Ansi("\u00A9\u00A0\u2003\U0001F600中"));
    EXPECT_EQ(VariantToText(loaded.Eval("n")), "2");
    EXPECT_EQ(VariantToText(loaded.Eval("s.length")), "6");
}

class FormatterOnRealScripts : public ::testing::TestWithParam<const char*> {};

TEST_P(FormatterOnRealScripts, KeepsTokensAndIsStable) {
    // The files are UTF-8; the workbench holds its own code page's text.
    std::string source = qy::text::Utf8ToAnsiText(ReadFileBytes(GetParam()));
    ASSERT_FALSE(source.empty()) << GetParam();
    ToolResult once = FormatScript(source);
    ASSERT_TRUE(once.ok);
    std::vector<std::string> before = Tokens(source), after = Tokens(CrLfToLf(once.text));
    size_t same = 0;
    while (same < before.size() && same < after.size() && before[same] == after[same]) ++same;
    EXPECT_EQ(same, before.size()) << "first difference at token " << same << ": "
                                   << (same < before.size() ? before[same] : "") << " / "
                                   << (same < after.size() ? after[same] : "");
    EXPECT_EQ(before.size(), after.size());
    ToolResult twice = FormatScript(CrLfToLf(once.text));
    ASSERT_TRUE(twice.ok);
    EXPECT_TRUE(twice.text == once.text);
    // The editor hands the formatted CR LF text back as it is.
    EXPECT_TRUE(FormatScript(once.text).text == once.text);
    // Compiled, not run: the scripts expect a browser page around them. The engine's own
    // language judges it (JScript 5.8 refuses jQuery 3 whether formatted or not).
    qy::script::ScopedScriptTarget modern(qy::script::ScriptTarget::ES2021);
    ScriptHost host;
    host.AddCode("function formattedScript() {\n" + once.text + "\n}");
    EXPECT_EQ(GetPropertyNumber(host.GetError(), "Number"), 0) << GetPropertyText(host.GetError(), "Description");
}

INSTANTIATE_TEST_SUITE_P(Debian, FormatterOnRealScripts,
                         ::testing::Values("/usr/share/javascript/jquery/jquery.js",
                                           "/usr/share/javascript/jquery/jquery.min.js",
                                           "/usr/share/javascript/underscore/underscore.js"));

TEST(Unpacker, RecognisersPeelTheirLayers) {
    ScriptHost main;
    auto unpack = [&](const std::string& s) { return UnpackScript(main, s).text; };
    EXPECT_EQ(unpack("var%20a=1"), "var a=1");
    EXPECT_EQ(unpack("var _0x1a2b=[\"\\x48\\x69\",\"log\"];console[_0x1a2b[1]](_0x1a2b[0]);"), "console.log('Hi');");
    EXPECT_EQ(unpack("plain(1);"), "plain(1);");
    // Packer output made here: a function that rebuilds its source from a word list.
    std::string packed =
        "eval(function(p,a,c,k,e,d){while(c--)if(k[c])p=p.replace(new RegExp('\\\\b'+c+'\\\\b','g'),k[c]);return p}"
        "('0 1=2;',3,3,'var|answer|42'.split('|'),0,{}))";
    // Comments before the packed code stay with it.
    EXPECT_EQ(unpack("// first\n  // second\n" + packed), "// first\n  // second\nvar answer=42;\n");
    EXPECT_EQ(unpack(packed.substr(0, 40)), packed.substr(0, 40));  // broken packer text stays
    EXPECT_EQ(VariantToText(main.Eval("unpacker_filter('var%20b=2')")), "var b=2");
}

TEST(CallerSnippet, ElevenLinesByteForByte) {
    std::string s = CallerSnippet("add(1,2)");
    EXPECT_EQ(s, Ansi(".版本 2\r\n\r\n.子程序 JS取值, 变体型, , 代码由青柚JS调试工具生成\r\n.局部变量 script, 对象\r\n"
                      ".局部变量 result, 变体型\r\n\r\nscript.创建 (“scriptcontrol”, )\r\n"
                      "script.写属性 (“Language”, “JScript”)\r\nscript.数值方法 (“AddCode”, “此处填入为JS常量”)\r\n"
                      "result ＝ script.通用方法 (“Eval”, “add(1,2)”)'此处的表达式如果比较复杂建议使用常量\r\n"
                      "返回 (result)‘返回变体类型 如果是文本可以取文本，如果是数值可以取数值"));
    EXPECT_NE(s.find(qy::test::Bytes({0xA3, 0xBD})), std::string::npos);  // full-width equals sign
    EXPECT_NE(s.back(), '\n');
    EXPECT_NE(CallerSnippet("\"q\"").find("\"q\""), std::string::npos);
}
