// The formatter's layout: small exact cases for each rule (ASI traps among them), and
// figures of readability on real minified scripts, measured with a tokenizer of the
// test's own.
#include "transform/Transforms.h"

#include <gtest/gtest.h>

#include <algorithm>
#include <cstring>
#include <set>
#include <string>
#include <vector>

#include "common/TestSupport.h"
#include "text/CodePage.h"

using qy::transform::FormatScript;

namespace {

std::string Lf(const std::string& s) {
    std::string out;
    for (size_t i = 0; i < s.size(); ++i)
        if (!(s[i] == '\r' && i + 1 < s.size() && s[i + 1] == '\n')) out.push_back(s[i]);
    return out;
}

/// Formats with the button's code path, back to LF, and checks a second pass keeps it.
std::string Format(const std::string& text) {
    qy::transform::ToolResult r = FormatScript(text);
    EXPECT_TRUE(r.ok) << text;
    std::string once = Lf(r.text);
    EXPECT_EQ(Lf(FormatScript(once).text), once) << "not stable: " << text;
    return once;
}

struct Tok {
    std::string v;
    char kind;         // w word, n number, s string/template/regex, p punctuator, c comment
    bool nl = false;   // a line break before it
    bool before = false, after = false;  // white space either side
};

const std::set<std::string> kKeywords = {
    "return", "typeof", "instanceof", "in", "of", "new", "delete", "void", "throw", "case", "do", "else",
    "yield", "await", "extends", "var", "let", "const", "if", "for", "while", "switch", "with", "function",
    "class", "try", "catch", "finally", "export", "import", "default", "break", "continue", "debugger"};

const char* const kOperators[] = {">>>=", "===", "!==", "**=", "<<=", ">>=", ">>>", "&&=", "||=", "?\?=", "...",
                                  "=>", "==", "!=", "<=", ">=", "&&", "||", "??", "?.", "++", "--", "+=", "-=",
                                  "*=", "/=", "%=", "&=", "|=", "^=", "<<", ">>", "**"};

bool Operand(const Tok& t) {
    if (t.kind == 's' || t.kind == 'n') return true;
    if (t.kind == 'w') return !kKeywords.count(t.v);
    return t.v == ")" || t.v == "]";
}

/// Tokens with the white space around them; enough of the language for minified
/// library code (a "/" after an operand is a division).
std::vector<Tok> Lex(const std::string& s) {
    std::vector<Tok> out;
    auto isWord = [](unsigned char c) { return std::isalnum(c) || c == '_' || c == '$' || c == '\\' || c >= 0x80; };
    bool nl = false;
    for (size_t i = 0; i < s.size();) {
        unsigned char c = s[i];
        if (c == '\n') { nl = true; ++i; continue; }
        if (std::isspace(c)) { ++i; continue; }
        size_t start = i;
        Tok t;
        t.kind = 'p';
        if (s.compare(i, 2, "//") == 0) {
            while (i < s.size() && s[i] != '\n') ++i;
            t.kind = 'c';
        } else if (s.compare(i, 2, "/*") == 0) {
            size_t e = s.find("*/", i + 2);
            i = e == std::string::npos ? s.size() : e + 2;
            t.kind = 'c';
        } else if (c == '"' || c == '\'' || c == '`') {
            for (++i; i < s.size() && s[i] != c && (c == '`' || s[i] != '\n'); ++i)
                if (s[i] == '\\') ++i;
            ++i;
            t.kind = 's';
        } else if (std::isdigit(c) || (c == '.' && i + 1 < s.size() && std::isdigit(static_cast<unsigned char>(s[i + 1])))) {
            for (++i; i < s.size(); ++i) {
                unsigned char d = s[i];
                if (isWord(d) || d == '.') continue;
                if ((d == '+' || d == '-') && (s[i - 1] == 'e' || s[i - 1] == 'E') && s.compare(start, 2, "0x") != 0) continue;
                break;
            }
            t.kind = 'n';
        } else if (isWord(c)) {
            while (i < s.size() && isWord(static_cast<unsigned char>(s[i]))) i += s[i] == '\\' ? 2 : 1;
            t.kind = 'w';
        } else if (c == '/' && !(!out.empty() && (Operand(out.back()) || out.back().v == "}"))) {
            bool inClass = false;
            for (++i; i < s.size() && s[i] != '\n'; ++i) {
                if (s[i] == '\\') ++i;
                else if (s[i] == '[') inClass = true;
                else if (s[i] == ']') inClass = false;
                else if (s[i] == '/' && !inClass) break;
            }
            ++i;
            while (i < s.size() && std::isalpha(static_cast<unsigned char>(s[i]))) ++i;
            t.kind = 's';
        } else {
            size_t len = 1;
            for (const char* op : kOperators)
                if (s.compare(i, std::strlen(op), op) == 0) { len = std::strlen(op); break; }
            i += len;
        }
        i = std::min(i, s.size());
        t.v = s.substr(start, i - start);
        t.nl = nl;
        t.before = start > 0 && std::isspace(static_cast<unsigned char>(s[start - 1]));
        t.after = i < s.size() && std::isspace(static_cast<unsigned char>(s[i]));
        nl = false;
        if (t.kind == 'c' && t.v.rfind("//", 0) == 0)
            while (!t.v.empty() && std::isspace(static_cast<unsigned char>(t.v.back()))) t.v.pop_back();
        out.push_back(t);
    }
    return out;
}

struct Readability {
    size_t binary = 0, spaced = 0;         // binary operators, and those with a blank or break either side
    size_t lists = 0, split = 0;           // declaration lists with two or more initialisers, and those split
    size_t lines = 0, longLines = 0;       // lines, and lines over 120 columns without a long literal
};

size_t Columns(const std::string& line) {
    size_t n = 0;
    for (unsigned char c : line) n += (c & 0xC0) != 0x80;
    return n;
}

Readability Measure(const std::string& text) {
    static const std::set<std::string> binary = {"=", "==", "===", "!=", "!==", "<", ">", "<=", ">=", "+", "-", "*", "/",
                                                 "%", "**", "&", "|", "^", "<<", ">>", ">>>", "&&", "||", "??", "+=",
                                                 "-=", "*=", "/=", "%=", "&=", "|=", "^=", "<<=", ">>=", ">>>=", "?", "=>"};
    Readability r;
    std::vector<Tok> all = Lex(text), t;
    for (Tok& x : all)
        if (x.kind != 'c') t.push_back(x);
    for (size_t i = 1; i < t.size(); ++i) {
        if (t[i].kind != 'p' || !binary.count(t[i].v) || !Operand(t[i - 1])) continue;
        ++r.binary;
        bool after = t[i].after || (i + 1 < t.size() && t[i + 1].nl);
        r.spaced += (t[i].before || t[i].nl) && after;
    }
    std::vector<std::string> open;
    for (size_t i = 0; i < t.size(); ++i) {
        const std::string& v = t[i].v;
        if (v == "(" || v == "[" || v == "{") { open.push_back(v); continue; }
        if (v == ")" || v == "]" || v == "}") { if (!open.empty()) open.pop_back(); continue; }
        if (!(t[i].kind == 'w' && (v == "var" || v == "let" || v == "const")) || (!open.empty() && open.back() == "(")) continue;
        int depth = 0;
        size_t commas = 0, broken = 0, inits = 0;
        for (size_t j = i + 1; j < t.size(); ++j) {
            const std::string& w = t[j].v;
            if (w == "(" || w == "[" || w == "{") ++depth;
            else if (w == ")" || w == "]" || w == "}") { if (--depth < 0) break; }
            else if (depth > 0) continue;
            else if (w == ";") break;
            else if (t[j].nl && t[j].kind == 'w' && Operand(t[j - 1])) break;
            else if (w == ",") { ++commas; broken += j + 1 < t.size() && t[j + 1].nl; }
            else if (w == "=") ++inits;
        }
        if (commas >= 1 && inits >= 2) { ++r.lists; r.split += broken == commas; }
    }
    size_t start = 0;
    while (start <= text.size()) {
        size_t end = text.find('\n', start);
        if (end == std::string::npos) end = text.size();
        std::string line = text.substr(start, end - start);
        ++r.lines;
        if (Columns(line) > 120) {
            bool literal = false;
            for (const Tok& x : Lex(line)) literal |= (x.kind == 's' || x.kind == 'c') && x.v.size() >= 30;
            r.longLines += !literal;
        }
        start = end + 1;
    }
    return r;
}

}  // namespace

TEST(FormatterLayout, SpacesAroundOperatorsAndAfterKeywords) {
    EXPECT_EQ(Format("a=b+c*d-e/f%g;x+=y<<2;z=a&&b||c??d;q=a?b:c"),
              "a = b + c * d - e / f % g;\nx += y << 2;\nz = a && b || c ?? d;\nq = a ? b : c");
    EXPECT_EQ(Format("f(a,b,[1,2],{x:1});o.p(q)[r]"), "f(a, b, [1, 2], {x: 1});\no.p(q)[r]");
    EXPECT_EQ(Format("for(i=0;i<n;i++)s+=i;for(;;);"), "for (i = 0; i < n; i++)\n    s += i;\nfor (;;);");
    EXPECT_EQ(Format("x=function(a){return typeof a};function y(b){}"),
              "x = function (a) {\n    return typeof a\n};\n\nfunction y(b) {}");
    // Unary operators stay with their operand; signs that would merge keep a blank.
    EXPECT_EQ(Format("!function(){}(),+a,a++,- -a,a- -b,a+ +b,a++ +b,!!c,~d,void 0,-1e-5"),
              "!function () {}(), +a, a++, - -a, a - -b, a + +b, a++ +b, !!c, ~d, void 0, -1e-5");
    EXPECT_EQ(Format("x=(a,b)=>a+b;y=[...z];w=a?.b"), "x = (a, b) => a + b;\ny = [...z];\nw = a?.b");
    EXPECT_EQ(Format("1 .toString();a in b;c instanceof d"), "1 .toString();\na in b;\nc instanceof d");
}

TEST(FormatterLayout, DeclaratorsBodiesAndJoinedBraces) {
    EXPECT_EQ(Format("var a=1,b=2,c;let d,e;const f=3"), "var a = 1,\n    b = 2,\n    c;\nlet d, e;\nconst f = 3");
    EXPECT_EQ(Format("for(var i=0,n=a.length;i<n;i++){}"), "for (var i = 0, n = a.length; i < n; i++) {}");
    EXPECT_EQ(Format("if(a)b();else if(c)d();else e()"), "if (a)\n    b();\nelse if (c)\n    d();\nelse\n    e()");
    EXPECT_EQ(Format("if(a)if(b)c();else d();f()"), "if (a)\n    if (b)\n        c();\n    else\n        d();\nf()");
    EXPECT_EQ(Format("while(a)for(b in c)e();do x();while(y);z()"),
              "while (a)\n    for (b in c)\n        e();\ndo\n    x();\nwhile (y);\nz()");
    EXPECT_EQ(Format("try{a()}catch(e){b()}finally{c()}do{x()}while(y)"),
              "try {\n    a()\n} catch (e) {\n    b()\n} finally {\n    c()\n}\ndo {\n    x()\n} while (y)");
    EXPECT_EQ(Format("switch(x){case 1:a();break;default:b()}"),
              "switch (x) {\n    case 1:\n        a();\n        break;\n    default:\n        b()\n}");
    // A block right after its case stays on the case's line and closes under it.
    EXPECT_EQ(Format("switch(x){case 1:{a();break}case 2:case 3:{b()}c();default:{}}"),
              "switch (x) {\n    case 1: {\n        a();\n        break\n    }\n    case 2:\n    case 3: {\n        b()\n    }\n"
              "        c();\n    default: {}\n}");
    // A "while" after an ordinary block is a loop of its own.
    EXPECT_EQ(Format("if(a){b()}while(c)d()"), "if (a) {\n    b()\n}\nwhile (c)\n    d()");
    // What follows the "}" of an if, try or do body on the next line continues that
    // statement inside an unbraced body: it joins the brace and keeps the body's depth.
    EXPECT_EQ(Format("for(;;)if(a){b()}\nelse{c()}\nx()"),
              "for (;;)\n    if (a) {\n        b()\n    } else {\n        c()\n    }\nx()");
    EXPECT_EQ(Format("if(x)do{a()}\nwhile(b)\nc()"), "if (x)\n    do {\n        a()\n    } while (b)\nc()");
    EXPECT_EQ(Format("for(;;)try{a()}\ncatch(e){b()}\n\nfinally{c()}\nd()"),
              "for (;;)\n    try {\n        a()\n    } catch (e) {\n        b()\n    } finally {\n        c()\n    }\nd()");
    EXPECT_EQ(Format("if(a){b()} // x\nelse{c()}"), "if (a) {\n    b()\n} // x\nelse {\n    c()\n}");
    // The outer "else" of nested unbraced ifs, on a line of its own as formatting leaves it.
    const std::string nested = Format("for(;;)if(a){b()}else if(c)if(d)e();else{f()}else if(g)h();");
    EXPECT_EQ(nested, "for (;;)\n    if (a) {\n        b()\n    } else if (c)\n        if (d)\n            e();\n"
                      "        else {\n            f()\n        }\n    else if (g)\n        h();");
    EXPECT_EQ(Format(nested), nested);
}

TEST(FormatterLayout, ObjectsArraysBlankLinesAndLongLines) {
    EXPECT_EQ(Format("x={a:1,b:function(){return 2}};y={c:1};z=[{d:1}]"),
              "x = {\n    a: 1,\n    b: function () {\n        return 2\n    }\n};\ny = {c: 1};\nz = [{d: 1}]");
    EXPECT_EQ(Format("a(),b(),c.d().e()"), "a(), b(), c.d().e()");
    EXPECT_EQ(Format("class A extends B{constructor(){super()}m(){}}"),
              "class A extends B {\n    constructor() {\n        super()\n    }\n    m() {}\n}");
    // One blank line at most where the input had any, and one before a function declaration.
    EXPECT_EQ(Format("a();\n\n\n\nb();function c(){}{function d(){}}"),
              "a();\n\nb();\n\nfunction c() {}\n{\n    function d() {}\n}");
    std::string args;
    for (int i = 0; i < 30; ++i) args += (i ? "," : "") + std::string("arg") + std::to_string(i);
    std::string out = Format("call(" + args + ");");
    EXPECT_EQ(out.substr(0, 9), "call(arg0");
    for (const std::string& line : {out.substr(0, out.find('\n')), out.substr(out.find('\n') + 1)}) {
        EXPECT_LE(line.size(), 120u) << out;
    }
    EXPECT_EQ(out.substr(out.find('\n') + 1, 4), "    ");
    // A long string stays whole; a break falls after an operator, never inside the string.
    std::string lit = "\"" + std::string(130, 'x') + "\"";
    EXPECT_EQ(Format("s=" + lit + "+t"), "s = " + lit + " +\n    t");
    EXPECT_EQ(Format("s=\"a, b + c\"+`d, ${e}`+/f, g/"), "s = \"a, b + c\" + `d, ${e}` + /f, g/");
}

TEST(FormatterLayout, MeaningKeptAtLineBreaksAndLiterals) {
    // Automatic semicolon insertion hangs on these breaks: every one stays.
    EXPECT_EQ(Format("function f(){return\nx}"), "function f() {\n    return\n    x\n}");
    EXPECT_EQ(Format("a=b\n++c"), "a = b\n++c");
    EXPECT_EQ(Format("a=b\n(c)"), "a = b\n    (c)");
    EXPECT_EQ(Format("a=b\n[1].map(g)"), "a = b\n    [1].map(g)");
    EXPECT_EQ(Format("a=b\n`t`"), "a = b\n    `t`");
    // A lone CR ends a line as LF does: no two statements are ever joined.
    EXPECT_EQ(Format("x=1\ry=2\r"), "x = 1\ny = 2");
    EXPECT_EQ(Format("// c\rx()"), "// c\nx()");
    EXPECT_EQ(Format("s='a\\\rb';t=`p\rq`"), "s = 'a\\\nb';\nt = `p\nq`");
    EXPECT_EQ(Format("a=b\n-c"), "a = b\n    - c");
    EXPECT_EQ(Format("a=b\n/c/g"), "a = b\n    / c / g");
    EXPECT_EQ(Format("for(;;){break\nx;continue\ny}"), "for (;;) {\n    break\n    x;\n    continue\n    y\n}");
    EXPECT_EQ(Format("if(a)b()\nc()"), "if (a)\n    b()\nc()");
    // A "/" after the ) of a condition starts a regular expression.
    EXPECT_EQ(Format("if(x)/re/.test(y)&&z()"), "if (x)\n    /re/.test(y) && z()");
    EXPECT_EQ(Format("for(k in o)++n"), "for (k in o)\n    ++n");
    // HTML comment markers: "<!--" and a line's leading "-->" comment out the rest of the line.
    EXPECT_EQ(Format("x=a<!--b+c\n-->d\ne()"), "x = a <!--b+c\n    -->d\ne()");
    EXPECT_EQ(Format("x=a-->b"), "x = a-- > b");
    EXPECT_EQ(Format("s='a  b';t=`c\n  d`;r=/ {2}/"), "s = 'a  b';\nt = `c\n  d`;\nr = / {2}/");
    EXPECT_EQ(Format("a=1;// note\nb=2/* c */;c=3"), "a = 1; // note\nb = 2 /* c */;\nc = 3");
}

class FormatterReadability : public ::testing::TestWithParam<const char*> {};

TEST_P(FormatterReadability, MinifiedLibrariesReadLikeHandWrittenCode) {
    std::string source = qy::test::ReadFileBytes(GetParam());
    if (source.empty()) GTEST_SKIP() << GetParam() << " is not installed (scripts/setup.sh installs it)";
    source = qy::text::Utf8ToAnsiText(source);
    qy::transform::ToolResult r = FormatScript(source);
    ASSERT_TRUE(r.ok);
    std::string out = Lf(r.text);
    // Token-exact and stable.
    std::vector<Tok> before = Lex(source), after = Lex(out);
    size_t same = 0;
    while (same < before.size() && same < after.size() && before[same].v == after[same].v) ++same;
    ASSERT_EQ(same, before.size()) << "first difference at token " << same << ": "
                                   << (same < after.size() ? after[same].v : "(end)");
    EXPECT_EQ(before.size(), after.size());
    EXPECT_TRUE(Lf(FormatScript(out).text) == out);
    Readability m = Measure(out);
    RecordProperty("binary_spaced_permille", static_cast<int>(m.spaced * 1000 / std::max<size_t>(m.binary, 1)));
    EXPECT_GE(m.spaced * 100, m.binary * 99) << m.spaced << " of " << m.binary << " binary operators spaced";
    EXPECT_GE(m.split * 100, m.lists * 75) << m.split << " of " << m.lists << " declaration lists split";
    EXPECT_LE(m.longLines * 1000, m.lines) << m.longLines << " of " << m.lines << " lines over 120 columns";
    EXPECT_GT(m.lines * 1000, source.size()) << "one line per thousand bytes at least";
}

INSTANTIATE_TEST_SUITE_P(Debian, FormatterReadability,
                         ::testing::Values("/usr/share/javascript/jquery/jquery.min.js",
                                           "/usr/share/javascript/underscore/underscore.min.js",
                                           "/usr/share/javascript/d3/d3.min.js",
                                           "/usr/share/javascript/moment/moment.min.js"));
