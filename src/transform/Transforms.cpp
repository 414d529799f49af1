#include "transform/Transforms.h"

#include <cmath>

#include "text/CodePage.h"
#include "script/ScriptTarget.h"
#include "transform/ToolScripts.h"

namespace qy::transform {
namespace {

std::string ToolText(std::string_view utf8) { return text::Utf8ToAnsiText(std::string(utf8)); }

/// A run yields nothing both on failure and for a tool that returns nothing; the
/// Error object tells them apart.
ToolResult Finish(const script::Variant& value, const script::ObjectRef& error) {
    ToolResult r;
    if (std::fabs(script::GetPropertyNumber(error, "Number")) > 1e-7) {
        r.error = error;
        return r;
    }
    r.ok = true;
    r.text = script::VariantToText(value);
    return r;
}

/// Every bare LF becomes CR LF. A CR already before its LF (inside a block comment or a
/// template literal of CR LF text) is not doubled, so formatting again changes nothing.
std::string LfToCrLf(const std::string& s) {
    std::string out;
    out.reserve(s.size() + s.size() / 16);
    for (char c : s) {
        if (c == '\n' && (out.empty() || out.back() != '\r')) out.push_back('\r');
        out.push_back(c);
    }
    return out;
}

script::ScriptHost ToolHost() {
    script::ScopedScriptTarget modern(script::ScriptTarget::ES2021);
    return script::ScriptHost();
}

}  // namespace

// The formatter and the minifier are our own tools in controls of their own: they run
// with the engine's full language whatever target the user's code is tried in.
ToolResult FormatScript(const std::string& text) {
    script::ScriptHost host = ToolHost();
    host.SetLanguage("JScript");
    host.AddCode(ToolText(tools::kTool_formatter));
    script::Variant v = host.Run("format", text, "", "", "", "");
    ToolResult r = Finish(v, host.GetError());
    // Whole line ends for the editor; the indentation stays as the formatter made it.
    if (r.ok) r.text = LfToCrLf(r.text);
    return r;
}

ToolResult MinifyScript(const std::string& text) {
    script::ObjectRef control = ToolHost().Control();
    script::SetProperty(control, "Language", "JScript");
    script::CallMethodNumber(control, "AddCode", {ToolText(tools::kTool_jsmin)});
    script::Variant v = script::CallMethodVariant(control, "Run", {"jsmin", "", text, int32_t{2}});
    return Finish(v, script::GetPropertyObject(control, "Error"));
}

ToolResult UnpackScript(script::ScriptHost& mainHost, const std::string& text) {
    mainHost.SetLanguage("JScript");
    mainHost.AddCode(ToolText(tools::kTool_unpacker));
    script::Variant v = mainHost.Run("unpacker_filter", text, "", "", "", "");
    return Finish(v, mainHost.GetError());
}

std::string CallerSnippet(const std::string& expression) {
    static const std::string head = text::Utf8ToAnsiText(
        ".版本 2\r\n\r\n.子程序 JS取值, 变体型, , 代码由青柚JS调试工具生成\r\n.局部变量 script, 对象\r\n"
        ".局部变量 result, 变体型\r\n\r\nscript.创建 (“scriptcontrol”, )\r\nscript.写属性 (“Language”, “JScript”)\r\n"
        "script.数值方法 (“AddCode”, “此处填入为JS常量”)\r\nresult ＝ script.通用方法 (“Eval”, “");
    static const std::string tail = text::Utf8ToAnsiText(
        "”)'此处的表达式如果比较复杂建议使用常量\r\n返回 (result)‘返回变体类型 如果是文本可以取文本，如果是数值可以取数值");
    return head + expression + tail;
}

}  // namespace qy::transform
