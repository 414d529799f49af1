// Caller programs of the other languages: their string literals, and the programs run
// for real where the toolchain is here (python3 with stand-in modules, node, java).
#include "transform/CallerSnippets.h"

#include <gtest/gtest.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <filesystem>
#include <fstream>

#include "text/CodePage.h"

using namespace qy;
using transform::CallerLanguage;
using transform::LiteralSyntax;

namespace {

std::string U8(std::u16string_view s) { return text::Utf16ToUtf8(s); }

/// Text that trips every literal syntax: quotes of all kinds, backslashes before
/// letters a language reads as escapes, line ends of every kind, controls, Chinese,
/// a character beyond the BMP, separators and invisible characters.
std::u16string Tricky() {
    std::u16string s = u"\"双\" '单' `反` \"\"\" ''' ${x} {0} %s \\ \\n \\u0041 \\x41 \\N{DASH} \\\" a\\";
    s += u"\n第二行\r\n第三行\r孤立回车\t制表\b\f\v";
    s += char16_t(0x01);
    s += char16_t(0x1B);
    s += char16_t(0x7F);
    s += char16_t(0x85);
    s += char16_t(0xA0);
    s += u"\u2028\u2029\uFEFF\u200B\u202E中文😀\u3000…";
    s += u"// # -->";
    return s;
}

std::string FindProgram(std::initializer_list<const char*> names) {
    for (const char* n : names) {
        std::string command = std::string("command -v ") + n + " 2>/dev/null";
        if (FILE* p = popen(command.c_str(), "r")) {
            char buf[512] = {};
            bool found = fgets(buf, sizeof buf, p) != nullptr;
            pclose(p);
            if (found) {
                std::string path = buf;
                while (!path.empty() && (path.back() == '\n' || path.back() == '\r')) path.pop_back();
                // pyenv's shim is there even when no Python is installed behind it.
                if (std::system(("'" + path + "' --version >/dev/null 2>&1").c_str()) == 0) return path;
            }
        }
    }
    return {};
}

/// A folder of the test's own, removed afterwards.
class TempDir {
public:
    TempDir() {
        char name[] = "/tmp/qy-callers-XXXXXX";
        m_path = mkdtemp(name) ? name : "";
    }
    ~TempDir() {
        std::error_code ec;
        if (!m_path.empty()) std::filesystem::remove_all(m_path, ec);
    }
    std::string Write(const std::string& name, const std::string& bytes) const {
        std::string path = m_path + "/" + name;
        std::filesystem::create_directories(std::filesystem::path(path).parent_path());
        std::ofstream(path, std::ios::binary) << bytes;
        return path;
    }
    const std::string& Path() const { return m_path; }

private:
    std::string m_path;
};

/// Everything the command writes to standard output, as bytes.
std::string Output(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[4096];
        size_t n;
        while ((n = fread(buf, 1, sizeof buf, p)) > 0) out.append(buf, n);
        pclose(p);
    }
    return out;
}

std::u16string FromUtf16Le(const std::string& bytes) {
    std::u16string s;
    for (size_t i = 0; i + 1 < bytes.size(); i += 2)
        s += static_cast<char16_t>(static_cast<unsigned char>(bytes[i]) | static_cast<unsigned char>(bytes[i + 1]) << 8);
    return s;
}

bool Contains(const std::string& haystack, const std::string& needle) {
    return haystack.find(needle) != std::string::npos;
}

}  // namespace

TEST(CallerLiterals, EachSyntaxEscapesWhatItMust) {
    const std::u16string s = u"a\"b\\c\n\r\t中\u2028\x01\x85😀";
    EXPECT_EQ(transform::StringLiteral(LiteralSyntax::Python, s),
              "\"a\\\"b\\\\c\\n\\r\\t中\\u2028\\x01\\x85😀\"");
    EXPECT_EQ(transform::StringLiteral(LiteralSyntax::JavaScript, s),
              "\"a\\\"b\\\\c\\n\\r\\t中\\u2028\\x01\\x85😀\"");
    // Go's \x is a byte: only ASCII is written with it.
    EXPECT_EQ(transform::StringLiteral(LiteralSyntax::Go, s), "\"a\\\"b\\\\c\\n\\r\\t中\\u2028\\x01\\u0085😀\"");
    EXPECT_EQ(transform::StringLiteral(LiteralSyntax::Java, s),
              "\"a\\\"b\\\\c\\n\\r\\t\\u4E2D\\u2028\\u0001\\u0085\\uD83D\\uDE00\"");
    EXPECT_EQ(transform::StringLiteral(LiteralSyntax::CSharp, s),
              "\"a\\\"b\\\\c\\n\\r\\t\\u4E2D\\u2028\\u0001\\u0085\\uD83D\\uDE00\"");
    // Java reads \u escapes before it reads the literal: a line end, quote or backslash
    // written that way would end or break it.
    std::string java = transform::StringLiteral(LiteralSyntax::Java, u"\n\r\"\\u000a");
    EXPECT_EQ(java, "\"\\n\\r\\\"\\\\u000a\"");
    // A lone surrogate: kept where the language can hold it, U+FFFD in Go.
    const std::u16string lone = {u'x', char16_t(0xD800), u'y', char16_t(0xDC01)};
    EXPECT_EQ(transform::StringLiteral(LiteralSyntax::Python, lone), "\"x\\uD800y\\uDC01\"");
    EXPECT_EQ(transform::StringLiteral(LiteralSyntax::JavaScript, lone), "\"x\\uD800y\\uDC01\"");
    EXPECT_EQ(transform::StringLiteral(LiteralSyntax::Go, lone), "\"x\\uFFFDy\\uFFFD\"");
    EXPECT_EQ(transform::StringLiteral(LiteralSyntax::CSharp, lone), "\"x\\uD800y\\uDC01\"");
    // Invisible characters beyond the BMP in each escape form.
    const std::u16string tag = u"\U000E0041";
    EXPECT_EQ(transform::StringLiteral(LiteralSyntax::Python, tag), "\"\\U000E0041\"");
    EXPECT_EQ(transform::StringLiteral(LiteralSyntax::JavaScript, tag), "\"\\u{E0041}\"");
    EXPECT_EQ(transform::StringLiteral(LiteralSyntax::Go, tag), "\"\\U000E0041\"");
    EXPECT_EQ(transform::StringLiteral(LiteralSyntax::Python, u""), "\"\"");
}

TEST(CallerLiterals, PythonGivesBackEveryUnit) {
    std::string python = FindProgram({"/usr/bin/python3", "python3"});
    if (python.empty()) GTEST_SKIP() << "python3 is not installed";
    std::u16string all;
    for (char16_t c = 0; c < 0x300; ++c) all += c;
    all += Tricky();
    all += {char16_t(0xDFFF), u'z', char16_t(0xD83D)};
    TempDir dir;
    std::string file = dir.Write("lit.py", "import sys\ns = " + transform::StringLiteral(LiteralSyntax::Python, all) +
                                               "\nsys.stdout.buffer.write(s.encode('utf-16-le', 'surrogatepass'))\n");
    EXPECT_EQ(FromUtf16Le(Output("'" + python + "' " + file)), all);
}

TEST(CallerLiterals, NodeAndJavaGiveBackEveryUnit) {
    std::u16string all;
    for (char16_t c = 0; c < 0x300; ++c) all += c;
    all += Tricky();
    all += {char16_t(0xDFFF), u'z', char16_t(0xD83D)};
    TempDir dir;
    bool ran = false;
    std::string node = FindProgram({"node", "/usr/bin/node", "nodejs"});
    if (!node.empty()) {
        ran = true;
        std::string file = dir.Write("lit.js", "process.stdout.write(Buffer.from(" +
                                                   transform::StringLiteral(LiteralSyntax::JavaScript, all) +
                                                   ", 'utf16le'));\n");
        EXPECT_EQ(FromUtf16Le(Output("'" + node + "' " + file)), all);
    }
    std::string java = FindProgram({"java"});
    if (!java.empty()) {
        ran = true;
        std::string file = dir.Write(
            "Lit.java", "public class Lit { public static void main(String[] a) throws Exception {\n"
                        "  String s = " + transform::StringLiteral(LiteralSyntax::Java, all) + ";\n"
                        "  for (int i = 0; i < s.length(); i++) { System.out.write(s.charAt(i) & 0xFF); System.out.write(s.charAt(i) >> 8); }\n"
                        "  System.out.flush(); } }\n");
        EXPECT_EQ(FromUtf16Le(Output("'" + java + "' " + file + " 2>/dev/null")), all);
    }
    if (!ran) GTEST_SKIP() << "neither node nor java is installed";
}

TEST(CallerPrograms, EachHasItsEngineIdiomAndTheExpression) {
    transform::CallerSource source{u"function add(a,b){return a+b}\n", {}};
    struct Row {
        CallerLanguage language;
        std::vector<std::string> parts;
    };
    const std::vector<Row> rows = {
        {CallerLanguage::PyExecJs, {"import execjs", "ctx = execjs.compile(js)", "ctx.call(\"函数名\", ",
                                    "ctx.eval(\"add(1, \\\"中\\\")\")", "print(result)"}},
        {CallerLanguage::PyMiniRacer, {"from py_mini_racer import MiniRacer", "ctx = MiniRacer()", "ctx.eval(js)",
                                       "ctx.eval(\"add(1, \\\"中\\\")\")", "print(result)"}},
        {CallerLanguage::NodeVm, {"require(\"vm\")", "vm.runInNewContext(js, sandbox)",
                                  "vm.runInNewContext(\"add(1, \\\"中\\\")\", sandbox)", "console.log(result)"}},
        {CallerLanguage::GoGoja, {"package main", "\"github.com/dop251/goja\"", "goja.New()", "vm.RunString(js)",
                                  "vm.RunString(\"add(1, \\\"中\\\")\")", "fmt.Println(result)"}},
        {CallerLanguage::JavaScriptEngine, {"import javax.script.ScriptEngineManager;", "getEngineByName(\"js\")",
                                            "engine.eval(js)", "engine.eval(\"add(1, \\\"\\u4E2D\\\")\")",
                                            "System.out.println(result)"}},
        {CallerLanguage::CSharpJint, {"using Jint;", "new Engine()", "engine.Execute(js)",
                                      "engine.Evaluate(\"add(1, \\\"\\u4E2D\\\")\")", "Console.WriteLine(result)"}},
    };
    ASSERT_EQ(rows.size(), transform::CallerLanguages().size());
    for (const Row& row : rows) {
        std::string program = transform::CallerProgram(row.language, source, u"add(1, \"中\")");
        SCOPED_TRACE(transform::CallerLanguageOf(row.language).name);
        EXPECT_TRUE(Contains(program, "青柚JS调试工具生成的调用代码")) << program;
        for (const std::string& part : row.parts) EXPECT_TRUE(Contains(program, part)) << part << "\n" << program;
        // The script is embedded (the line break escaped), never read from a file.
        EXPECT_TRUE(Contains(program, "\"function add(a,b){return a+b}\\n\"")) << program;
        // From a file: the name is a literal, the script is not in the program.
        transform::CallerSource fromFile{u"function secret(){}", u"C:\\js\\签名.js"};
        std::string reading = transform::CallerProgram(row.language, fromFile, u"secret()");
        EXPECT_FALSE(Contains(reading, "function secret")) << reading;
        EXPECT_TRUE(Contains(reading, "C:\\\\js\\\\")) << reading;
        EXPECT_TRUE(Contains(reading, "UTF-8")) << reading;
    }
}

TEST(CallerPrograms, NodeProgramRunsAndPrintsTheResult) {
    std::string node = FindProgram({"node", "/usr/bin/node", "nodejs"});
    if (node.empty()) GTEST_SKIP() << "node is not installed";
    // The function's own source comes back through toString: every character of the
    // script went through the literal unchanged.
    std::u16string script = u"var prefix = '前缀:';\r\nfunction echo(a) { /* " + Tricky() + u" */ return prefix + a; }\n"
                            u"function src() { return echo.toString(); }\n";
    std::u16string expression = u"echo(\"引号\\\"与\\\\反斜杠\") + '|' + src().length";
    TempDir dir;
    std::string program = transform::CallerProgram(CallerLanguage::NodeVm, {script, {}}, expression);
    std::string file = dir.Write("caller.js", program);
    std::u16string echoSource = script.substr(script.find(u"function echo"));
    echoSource = echoSource.substr(0, echoSource.find(u"\nfunction src"));
    std::string expected = "前缀:引号\"与\\反斜杠|" + std::to_string(echoSource.size()) + "\n";
    EXPECT_EQ(Output("'" + node + "' " + file), expected) << program;
    // The script read from a file whose name needs escaping.
    std::string scriptFile = dir.Write("脚本 \"1\".js", "function twice(x){return x*2}");
    std::string reading = transform::CallerProgram(CallerLanguage::NodeVm, {{}, text::Utf8ToUtf16(scriptFile)},
                                                   u"twice(21)");
    EXPECT_EQ(Output("'" + node + "' " + dir.Write("reader.js", reading)), "42\n") << reading;
}

TEST(CallerPrograms, PythonProgramsRunWithStandInEngines) {
    std::string python = FindProgram({"/usr/bin/python3", "python3"});
    if (python.empty()) GTEST_SKIP() << "python3 is not installed";
    // Stand-ins for the two modules, with the calls the programs make: they hand back
    // the script and the expression they were given, so the output shows both exactly.
    TempDir dir;
    dir.Write("execjs/__init__.py",
              "class _Ctx:\n"
              "    def __init__(self, js): self.js = js\n"
              "    def eval(self, expr): return Report(self.js, expr)\n"
              "class Report:\n"
              "    def __init__(self, js, expr): self.js, self.expr = js, expr\n"
              "    def __str__(self):\n"
              "        import sys\n"
              "        sys.stdout.buffer.write((self.js + '\\0' + self.expr).encode('utf-16-le', 'surrogatepass'))\n"
              "        sys.stdout.flush()\n"
              "        return ''\n"
              "def compile(js): return _Ctx(js)\n");
    dir.Write("py_mini_racer/__init__.py",
              "from execjs import Report\n"
              "class MiniRacer:\n"
              "    def __init__(self): self.js = None\n"
              "    def eval(self, code):\n"
              "        if self.js is None:\n"
              "            self.js = code\n"
              "            return None\n"
              "        return Report(self.js, code)\n");
    std::u16string script = u"var s = \"" + Tricky() + u"\";\r\nfunction f(){return s}\n";
    std::u16string expression = u"f() + \"\\\"中\\\"\"";
    std::string scriptFile = dir.Write("脚本's.js", "\xEF\xBB\xBF" + U8(script));
    for (CallerLanguage language : {CallerLanguage::PyExecJs, CallerLanguage::PyMiniRacer}) {
        SCOPED_TRACE(transform::CallerLanguageOf(language).name);
        std::string program = transform::CallerProgram(language, {script, {}}, expression);
        std::string file = dir.Write("caller.py", program);
        std::string command = "cd '" + dir.Path() + "' && PYTHONPATH=. '" + python + "' caller.py";
        // print() adds its line break after the report (as UTF-8, one byte).
        std::string out = Output(command);
        ASSERT_FALSE(out.empty()) << program;
        EXPECT_EQ(FromUtf16Le(out.substr(0, out.size() - 1)), script + u'\0' + expression) << program;
        std::string reading =
            transform::CallerProgram(language, {{}, text::Utf8ToUtf16(scriptFile)}, expression);
        dir.Write("caller.py", reading);
        out = Output(command);
        ASSERT_FALSE(out.empty()) << reading;
        EXPECT_EQ(FromUtf16Le(out.substr(0, out.size() - 1)), script + u'\0' + expression) << reading;
    }
}

TEST(CallerPrograms, JavaProgramCompilesWithAScriptPastTheConstantLimit) {
    std::string javac = FindProgram({"javac"});
    if (javac.empty()) GTEST_SKIP() << "javac is not installed";
    // 3 bytes a character in the class file: far beyond one constant's 65535 bytes.
    std::u16string script;
    for (int i = 0; i < 3000; ++i) script += u"var 变量" + text::Utf8ToUtf16(std::to_string(i)) + u" = \"中文字符串\";\n";
    script += std::u16string(30000, u'汉');
    TempDir dir;
    std::string file = dir.Write("JsCaller.java", transform::CallerProgram(CallerLanguage::JavaScriptEngine,
                                                                            {script, {}}, u"f(\"\\n\")"));
    std::string out = Output("'" + javac + "' -encoding UTF-8 -d '" + dir.Path() + "/classes' " + file + " 2>&1; echo rc=$?");
    EXPECT_TRUE(Contains(out, "rc=0")) << out;
}

TEST(CallerPrograms, LongLinesAreCutAndLineEndsKept) {
    std::u16string script = std::u16string(4500, u'x') + u"\r\n" + u"😀" + std::u16string(1999, u'y');
    std::string program = transform::CallerProgram(CallerLanguage::GoGoja, {script, {}}, u"x");
    // Pieces of at most 2000 units; the pair after the line break is not cut in two.
    EXPECT_TRUE(Contains(program, "\t\t\"" + std::string(2000, 'x') + "\",\n\t\t\"" + std::string(2000, 'x') +
                                      "\",\n\t\t\"" + std::string(500, 'x') + "\\r\\n\",\n\t\t\"😀" +
                                      std::string(1998, 'y') + "\",\n\t\t\"y\",\n\t}, \"\")"))
        << program.substr(0, 400);
    // An empty script is one empty literal.
    EXPECT_TRUE(Contains(transform::CallerProgram(CallerLanguage::PyExecJs, {}, u"1"), "js = (\n    \"\"\n)\n"));
}
