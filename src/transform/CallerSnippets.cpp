#include "transform/CallerSnippets.h"

#include <cstdio>

#include "text/CodePage.h"

namespace qy::transform {
namespace {

/// One character of UTF-16 text: a code point, or a surrogate that has no partner.
struct CodePoint {
    char32_t value;
    bool loneSurrogate;
    size_t units;
};

bool IsHigh(char16_t u) { return u >= 0xD800 && u <= 0xDBFF; }
bool IsLow(char16_t u) { return u >= 0xDC00 && u <= 0xDFFF; }

CodePoint At(std::u16string_view s, size_t i) {
    char16_t u = s[i];
    if (IsHigh(u) && i + 1 < s.size() && IsLow(s[i + 1]))
        return {0x10000 + ((static_cast<char32_t>(u) - 0xD800) << 10) + (s[i + 1] - 0xDC00), false, 2};
    return {u, IsHigh(u) || IsLow(u), 1};
}

/// Characters a reader cannot see or that change what the reader sees around them:
/// they are written as escapes so that the literal shows them.
bool Invisible(char32_t c) {
    return c < 0x20 || (c >= 0x7F && c <= 0xA0) || c == 0xAD || c == 0x34F || c == 0x61C ||
           (c >= 0x115F && c <= 0x1160) || (c >= 0x17B4 && c <= 0x17B5) || (c >= 0x180B && c <= 0x180F) ||
           (c >= 0x2000 && c <= 0x200F) || (c >= 0x2028 && c <= 0x202F) || (c >= 0x205F && c <= 0x206F) ||
           c == 0x3164 || (c >= 0xD800 && c <= 0xDFFF) || (c >= 0xE000 && c <= 0xF8FF) ||
           (c >= 0xFE00 && c <= 0xFE0F) || c == 0xFEFF || c == 0xFFA0 || (c >= 0xFFF0 && c <= 0xFFFC) ||
           (c >= 0x1D173 && c <= 0x1D17A) || (c >= 0xE0000 && c <= 0xE0FFF) ||
           c >= 0xF0000 || (c & 0xFFFE) == 0xFFFE;
}

std::string Hex(char32_t c, int digits) {
    char buf[16];
    std::snprintf(buf, sizeof buf, "%0*X", digits, static_cast<unsigned>(c));
    return buf;
}

void AppendUtf8(std::string& out, char32_t c) {
    if (c < 0x80) {
        out += static_cast<char>(c);
    } else if (c < 0x800) {
        out += static_cast<char>(0xC0 | (c >> 6));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else if (c < 0x10000) {
        out += static_cast<char>(0xE0 | (c >> 12));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    } else {
        out += static_cast<char>(0xF0 | (c >> 18));
        out += static_cast<char>(0x80 | ((c >> 12) & 0x3F));
        out += static_cast<char>(0x80 | ((c >> 6) & 0x3F));
        out += static_cast<char>(0x80 | (c & 0x3F));
    }
}

/// The escape of a character that is not written as itself.
std::string Escape(LiteralSyntax syntax, CodePoint cp) {
    char32_t c = cp.value;
    switch (syntax) {
    case LiteralSyntax::Python:
        return c < 0x100 ? "\\x" + Hex(c, 2) : c < 0x10000 ? "\\u" + Hex(c, 4) : "\\U" + Hex(c, 8);
    case LiteralSyntax::JavaScript:
        return c < 0x100 ? "\\x" + Hex(c, 2) : c < 0x10000 ? "\\u" + Hex(c, 4) : "\\u{" + Hex(c, 1) + "}";
    case LiteralSyntax::Go:
        // A Go string is UTF-8 bytes: \x is a byte, so only ASCII uses it, and a
        // surrogate is no code point at all.
        if (cp.loneSurrogate) return "\\uFFFD";
        return c < 0x80 ? "\\x" + Hex(c, 2) : c < 0x10000 ? "\\u" + Hex(c, 4) : "\\U" + Hex(c, 8);
    case LiteralSyntax::Java:
    case LiteralSyntax::CSharp:
        break;
    }
    // Java and C# escape each UTF-16 unit.
    if (c < 0x10000) return "\\u" + Hex(c, 4);
    char32_t v = c - 0x10000;
    return "\\u" + Hex(0xD800 + (v >> 10), 4) + "\\u" + Hex(0xDC00 + (v & 0x3FF), 4);
}

/// The script cut into pieces of at most `maxUnits` units, each ending after a line
/// break where there is one; a surrogate pair is never cut. An empty text is one piece.
std::vector<std::u16string_view> Pieces(std::u16string_view text, size_t maxUnits = 2000) {
    std::vector<std::u16string_view> pieces;
    size_t start = 0;
    for (size_t i = 0; i < text.size(); ++i) {
        bool lineEnd = text[i] == u'\n' || (text[i] == u'\r' && (i + 1 == text.size() || text[i + 1] != u'\n'));
        bool full = i + 1 - start >= maxUnits && !(IsHigh(text[i]) && i + 1 < text.size() && IsLow(text[i + 1]));
        if (lineEnd || full) {
            pieces.push_back(text.substr(start, i + 1 - start));
            start = i + 1;
        }
    }
    if (start < text.size() || pieces.empty()) pieces.push_back(text.substr(start));
    return pieces;
}

std::string Lit(LiteralSyntax syntax, std::u16string_view text) { return StringLiteral(syntax, text); }

/// Pieces as a list of literals, one a line with `indent`, `separator` after each but
/// the last (`lastSeparator` after that one).
std::string LiteralLines(LiteralSyntax syntax, std::u16string_view script, const std::string& indent,
                         const std::string& separator, const std::string& lastSeparator) {
    std::vector<std::u16string_view> pieces = Pieces(script);
    std::string out;
    for (size_t i = 0; i < pieces.size(); ++i)
        out += indent + Lit(syntax, pieces[i]) + (i + 1 < pieces.size() ? separator : lastSeparator) + "\n";
    return out;
}

const char* kHeader = "青柚JS调试工具生成的调用代码";

std::string Python(bool miniRacer, const CallerSource& source, std::u16string_view expression) {
    const LiteralSyntax py = LiteralSyntax::Python;
    std::string out = std::string("# ") + kHeader +
                      (miniRacer ? "：Python + PyMiniRacer（pip install mini-racer）\n"
                                 : "：Python + PyExecJS（pip install PyExecJS，另需 Node.js 等 JS 运行时）\n");
    out += miniRacer ? "from py_mini_racer import MiniRacer\n\n" : "import execjs\n\n";
    if (!source.fileName.empty()) {
        out += "# 脚本从文件读取（UTF-8 编码）\nwith open(" + Lit(py, source.fileName) +
               ", encoding=\"utf-8-sig\", newline=\"\") as f:\n    js = f.read()\n";
    } else {
        out += "js = (\n" + LiteralLines(py, source.script, "    ", "", "") + ")\n";
    }
    if (miniRacer)
        out += "ctx = MiniRacer()\nctx.eval(js)\nresult = ctx.eval(" + Lit(py, expression) + ")\n";
    else
        out += "ctx = execjs.compile(js)\n# 调用一个函数也可以写成 ctx.call(\"函数名\", 参数1, 参数2)\nresult = ctx.eval(" +
               Lit(py, expression) + ")\n";
    out += "print(result)\n";
    return out;
}

std::string Node(const CallerSource& source, std::u16string_view expression) {
    const LiteralSyntax js = LiteralSyntax::JavaScript;
    std::string out = std::string("// ") + kHeader + "：Node.js（vm 模块，脚本在一个新的全局里运行）\n";
    out += "const vm = require(\"vm\");\n";
    if (!source.fileName.empty()) {
        out += "const fs = require(\"fs\");\n\n// 脚本从文件读取（UTF-8 编码）\nconst js = fs.readFileSync(" +
               Lit(js, source.fileName) + ", \"utf8\");\n";
    } else {
        out += "\nconst js = [\n" + LiteralLines(js, source.script, "    ", ",", ",") + "].join(\"\");\n";
    }
    out += "const sandbox = {};\nvm.runInNewContext(js, sandbox);\nconst result = vm.runInNewContext(" +
           Lit(js, expression) + ", sandbox);\nconsole.log(result);\n";
    return out;
}

std::string Go(const CallerSource& source, std::u16string_view expression) {
    const LiteralSyntax go = LiteralSyntax::Go;
    bool fromFile = !source.fileName.empty();
    std::string out = std::string("// ") + kHeader + "：Go + goja（go get github.com/dop251/goja）\n";
    out += "package main\n\nimport (\n\t\"fmt\"\n";
    out += fromFile ? "\t\"os\"\n" : "\t\"strings\"\n";
    out += "\n\t\"github.com/dop251/goja\"\n)\n\nfunc main() {\n";
    if (fromFile) {
        out += "\t// 脚本从文件读取（UTF-8 编码）\n\tdata, err := os.ReadFile(" + Lit(go, source.fileName) +
               ")\n\tif err != nil {\n\t\tpanic(err)\n\t}\n\tjs := string(data)\n";
    } else {
        out += "\tjs := strings.Join([]string{\n" + LiteralLines(go, source.script, "\t\t", ",", ",") + "\t}, \"\")\n";
    }
    out += "\tvm := goja.New()\n\tif _, err := vm.RunString(js); err != nil {\n\t\tpanic(err)\n\t}\n";
    out += "\tresult, err := vm.RunString(" + Lit(go, expression) + ")\n\tif err != nil {\n\t\tpanic(err)\n\t}\n";
    out += "\tfmt.Println(result)\n}\n";
    return out;
}

/// Java keeps each string constant under 65535 bytes: the pieces go in groups joined by
/// the compiler, and the groups are joined when the program runs.
std::string JavaScriptText(std::u16string_view script) {
    const LiteralSyntax java = LiteralSyntax::Java;
    std::vector<std::u16string_view> pieces = Pieces(script);
    std::string out;
    size_t groupUnits = 0, groupPieces = 0;
    for (size_t i = 0; i < pieces.size(); ++i) {
        // At most 3 bytes a unit in the class file: 16000 units stay below the limit.
        bool newGroup = i == 0 || groupUnits + pieces[i].size() > 16000 || groupPieces >= 200;
        if (newGroup) {
            if (i > 0) out += ",\n";
            out += "                " + Lit(java, pieces[i]);
            groupUnits = groupPieces = 0;
        } else {
            out += "\n                + " + Lit(java, pieces[i]);
        }
        groupUnits += pieces[i].size();
        ++groupPieces;
    }
    return out;
}

std::string Java(const CallerSource& source, std::u16string_view expression) {
    const LiteralSyntax java = LiteralSyntax::Java;
    bool fromFile = !source.fileName.empty();
    std::string out = std::string("// ") + kHeader +
                      "：Java + javax.script（GraalJS：org.graalvm.js:js 与 org.graalvm.js:js-scriptengine）\n";
    if (fromFile) out += "import java.nio.file.Files;\nimport java.nio.file.Path;\n";
    out += "import javax.script.ScriptEngine;\nimport javax.script.ScriptEngineManager;\n\n";
    out += "public class JsCaller {\n    public static void main(String[] args) throws Exception {\n";
    if (fromFile) {
        out += "        // 脚本从文件读取（UTF-8 编码）\n        String js = Files.readString(Path.of(" +
               Lit(java, source.fileName) + "));\n";
    } else {
        out += "        String js = String.join(\"\",\n" + JavaScriptText(source.script) + ");\n";
    }
    out += "        ScriptEngine engine = new ScriptEngineManager().getEngineByName(\"js\");\n";
    out += "        if (engine == null) {\n            throw new IllegalStateException(" +
           Lit(java, text::Utf8ToUtf16("没有 JavaScript 引擎：请把 GraalJS 加入 classpath")) + ");\n        }\n";
    out += "        engine.eval(js);\n        Object result = engine.eval(" + Lit(java, expression) + ");\n";
    out += "        System.out.println(result);\n    }\n}\n";
    return out;
}

std::string CSharp(const CallerSource& source, std::u16string_view expression) {
    const LiteralSyntax cs = LiteralSyntax::CSharp;
    bool fromFile = !source.fileName.empty();
    std::string out = std::string("// ") + kHeader + "：C# + Jint 3（dotnet add package Jint）\n";
    out += "using System;\n";
    if (fromFile) out += "using System.IO;\n";
    out += "using Jint;\n\nclass JsCaller\n{\n    static void Main()\n    {\n";
    if (fromFile) {
        out += "        // 脚本从文件读取（UTF-8 编码）\n        string js = File.ReadAllText(" + Lit(cs, source.fileName) +
               ");\n";
    } else {
        out += "        string js = string.Concat(new string[] {\n" +
               LiteralLines(cs, source.script, "            ", ",", ",") + "        });\n";
    }
    out += "        var engine = new Engine();\n        engine.Execute(js);\n";
    out += "        var result = engine.Evaluate(" + Lit(cs, expression) + ");\n";
    out += "        Console.WriteLine(result);\n    }\n}\n";
    return out;
}

}  // namespace

const std::vector<CallerLanguageInfo>& CallerLanguages() {
    static const std::vector<CallerLanguageInfo> languages = {
        {CallerLanguage::PyExecJs, "pyexecjs", "Python (PyExecJS)"},
        {CallerLanguage::PyMiniRacer, "pyminiracer", "Python (PyMiniRacer)"},
        {CallerLanguage::NodeVm, "node", "Node (vm)"},
        {CallerLanguage::GoGoja, "goja", "Go (goja)"},
        {CallerLanguage::JavaScriptEngine, "java", "Java (javax.script / GraalJS)"},
        {CallerLanguage::CSharpJint, "jint", "C# (Jint)"},
    };
    return languages;
}

const CallerLanguageInfo& CallerLanguageOf(CallerLanguage language) {
    for (const auto& l : CallerLanguages())
        if (l.language == language) return l;
    return CallerLanguages().front();
}

std::string StringLiteral(LiteralSyntax syntax, std::u16string_view text) {
    bool asciiOnly = syntax == LiteralSyntax::Java || syntax == LiteralSyntax::CSharp;
    std::string out = "\"";
    for (size_t i = 0; i < text.size();) {
        CodePoint cp = At(text, i);
        i += cp.units;
        char32_t c = cp.value;
        switch (c) {
        case U'"': out += "\\\""; continue;
        case U'\\': out += "\\\\"; continue;
        case U'\n': out += "\\n"; continue;
        case U'\r': out += "\\r"; continue;
        case U'\t': out += "\\t"; continue;
        default: break;
        }
        if (Invisible(c) || cp.loneSurrogate || (asciiOnly && c >= 0x80))
            out += Escape(syntax, cp);
        else
            AppendUtf8(out, c);
    }
    return out + "\"";
}

std::string CallerProgram(CallerLanguage language, const CallerSource& source, std::u16string_view expression) {
    switch (language) {
    case CallerLanguage::PyExecJs: return Python(false, source, expression);
    case CallerLanguage::PyMiniRacer: return Python(true, source, expression);
    case CallerLanguage::NodeVm: return Node(source, expression);
    case CallerLanguage::GoGoja: return Go(source, expression);
    case CallerLanguage::JavaScriptEngine: return Java(source, expression);
    case CallerLanguage::CSharpJint: return CSharp(source, expression);
    }
    return {};
}

}  // namespace qy::transform
