#include "cli/TextCommands.h"

#include <functional>
#include <iostream>
#include <iterator>
#include <optional>

#include "cli/BundleSplit.h"
#include "cli/CliSupport.h"
#include "cli/CommandLine.h"
#include "decode/Decoders.h"
#include "decode/Encoding.h"
#include "jscript/Compatibility.h"
#include "script/ScriptHost.h"
#include "script/ScriptSession.h"
#include "transform/Transforms.h"
#include "text/CodePage.h"
#include "text/ScriptFileText.h"

namespace qy::cli {
namespace {

/// The one script a transform command takes.
std::optional<std::string> OneScript(const std::vector<std::string>& args, std::ostream& err) {
    if (args.size() != 2) {
        Usage(err, args.size() < 2 ? "缺少脚本文件（- 为标准输入）" : "只能给一个脚本文件");
        return std::nullopt;
    }
    return ReadScript(args[1], err);
}

/// Prints a transform's text, or its engine error as the log would, the four lines.
int Finish(const transform::ToolResult& r, std::ostream& out, std::ostream& err) {
    if (!r.ok) {
        StreamLog log(err);
        if (!script::WriteErrorReport(r.error, log)) err << ShellText(text::Utf8ToAnsiText("-->处理失败\r\n"));
        return kExitEngineError;
    }
    std::string text = ShellText(r.text);
    out << text;
    if (!text.empty() && text.back() != '\n') out << '\n';
    return kExitOk;
}

template <typename Transform>
int RunTransform(const std::vector<std::string>& args, std::ostream& out, std::ostream& err, Transform&& transform) {
    auto script = OneScript(args, err);
    if (!script) return kExitUsage;
    return Finish(transform(*script), out, err);
}

}  // namespace

int FormatCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return RunTransform(args, out, err, [](const std::string& s) { return transform::FormatScript(s); });
}

int MinifyCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    return RunTransform(args, out, err, [](const std::string& s) { return transform::MinifyScript(s); });
}

int UnpackCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    if (args.size() > 1 && args[1] == "--split") return SplitBundleCommand(args, out, err);
    return RunTransform(args, out, err, [](const std::string& s) {
        // As the button does it: the unpacker runs in a host of the current target, and
        // what comes out is formatted.
        script::ScriptHost host;
        host.SetLanguage("JScript");
        transform::UnpackResult unpacked = transform::UnpackScript(host, s);
        if (!unpacked.ok) return static_cast<transform::ToolResult>(unpacked);
        // Code that still checks its own text would stop working once reformatted.
        if (!unpacked.guard.empty()) return static_cast<transform::ToolResult>(unpacked);
        transform::ToolResult formatted = transform::FormatScript(unpacked.text);
        // As in the window: the formatted text stands unless it no longer compiles where
        // the unpacked one did (modern code that the current target refuses either way
        // is still formatted).
        if (!formatted.ok || (!transform::CompilesInCurrentTarget(formatted.text) &&
                              transform::CompilesInCurrentTarget(unpacked.text)))
            return static_cast<transform::ToolResult>(unpacked);
        return formatted;
    });
}

int DecodeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    static const std::vector<std::pair<std::string, std::function<std::string(const std::string&)>>> decoders = {
        {"usc", [](const std::string& t) { return decode::DecodeJsEscapes(t); }},
        {"utf8", [](const std::string& t) { return decode::Utf8ToAnsi(t); }},
        {"url", [](const std::string& t) { return decode::DecodePercent(t); }},
        {"base64", [](const std::string& t) { return decode::DecodeBase64(t); }},
    };
    if (args.size() != 3) return Usage(err, "用法：decode usc|utf8|url|base64 文本（- 为标准输入）");
    for (const auto& [name, decoder] : decoders) {
        if (args[1] != name) continue;
        // The UTF-8 decoder reads bytes: the shell's own UTF-8 goes in as it is. The others
        // read text, which the shell gives in UTF-8 and the workbench holds as GB18030.
        bool rawBytes = name == "utf8";
        std::string input;
        if (args[2] == "-") {
            input.assign(std::istreambuf_iterator<char>(std::cin), std::istreambuf_iterator<char>());
            // A line typed or echoed into the pipe ends in a line break that is not text.
            if (!input.empty() && input.back() == '\n') input.pop_back();
            if (!input.empty() && input.back() == '\r') input.pop_back();
        } else {
            input = args[2];
        }
        if (!rawBytes) input = text::DecodeScriptFile(input).text;
        std::string result = ShellText(decoder(input));
        out << result;
        if (result.empty() || result.back() != '\n') out << '\n';
        return kExitOk;
    }
    return Usage(err, "未知的解码方式“" + args[1] + "”（可用 usc、utf8、url、base64）");
}

int CheckCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err) {
    auto script = OneScript(args, err);
    if (!script) return kExitUsage;
    std::vector<jscript::Finding> findings = jscript::CheckForJScript(text::AnsiToWide(*script));
    for (const auto& f : findings) {
        std::string line = "第 " + std::to_string(f.line) + " 行第 " + std::to_string(f.column) + " 列：" +
                           text::Utf16ToUtf8(f.text);
        if (f.code) line += "（" + std::to_string(f.code) + "）";
        out << line << '\n';
    }
    if (findings.empty()) {
        out << "未发现 JScript 5.8 不支持的语法或内置对象\n";
        return kExitOk;
    }
    return kExitEngineError;
}

}  // namespace qy::cli
