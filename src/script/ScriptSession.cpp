#include "script/ScriptSession.h"

#include <cctype>
#include <cmath>

#include "env/PageHost.h"
#include "script/ScriptControl.h"
#include "script/ScriptTarget.h"
#include "script/ValueText.h"
#include "text/CodePage.h"
#include "text/LogLines.h"

namespace qy::script {
namespace {

std::string Ansi(const char* utf8) { return text::Utf8ToAnsiText(utf8); }

bool IsZero(double d) { return std::fabs(d) <= 1e-7; }

std::string OneLine(const std::string& ansi) {
    bool plain = true;
    for (char c : ansi) plain = plain && c != '\r' && c != '\n' && static_cast<unsigned char>(c) < 0x80;
    if (plain) return ansi;
    return text::WideKeepingBytesToAnsi(text::OneLogLine(text::AnsiToWideKeepingBytes(ansi)));
}

const std::string& LoadFailedLine() {
    static const std::string line = Ansi("-->代码加载失败，请检查代码内容\r\n");
    return line;
}

/// Selects the editor's line `line` (from 1; 0 selects nothing at the start).
void SelectLine(EditorView& editor, int32_t line) {
    int64_t k = static_cast<int64_t>(line) - 1;
    int64_t start = 0, end = 0;
    if (k >= 0) {
        start = editor.PositionFromLine(k);
        end = editor.LineEndPosition(k);
    }
    editor.SetSel(start, end);
}

}  // namespace

std::string CategoryTypeName(int32_t category) {
    static const char* const names[] = {"未知类型", "空", "数值型", "文本型", "逻辑型", "日期型", "对象型",
                                        "错误值型", "数值型数组", "文本型数组", "逻辑型数组", "日期型数组",
                                        "对象值型数组", "错误值类型", "变体型类型"};
    if (category < -1 || category > 13) return Ansi("未知类型");
    return Ansi(names[category + 1]);
}

std::string FileAddress(const std::string& utf8Path) {
    static const char* hex = "0123456789ABCDEF";
    std::string out = "file://";
    for (unsigned char c : utf8Path) {
        if (c == ' ' || c == '%' || c == '#' || c == '?' || c >= 0x80) {
            out += '%';
            out += hex[c >> 4];
            out += hex[c & 15];
        } else {
            out += static_cast<char>(c);
        }
    }
    return out;
}

bool LooksLikePage(const std::string& ansiText) {
    size_t at = 0;
    for (;;) {
        while (at < ansiText.size() && std::isspace(static_cast<unsigned char>(ansiText[at]))) ++at;
        if (ansiText.compare(at, 3, "\xEF\xBB\xBF") == 0) {
            at += 3;
            continue;
        }
        if (ansiText.compare(at, 4, "<!--") != 0) break;
        size_t end = ansiText.find("-->", at + 4);
        if (end == std::string::npos) return false;
        at = end + 3;
    }
    std::string head = ansiText.substr(at, 14);
    for (char& c : head) c = static_cast<char>(std::tolower(static_cast<unsigned char>(c)));
    return head.rfind("<!doctype html", 0) == 0 || head.rfind("<html", 0) == 0;
}

void ScriptSession::ResetHost() {
    m_pageLoaded = false;
    // A load uses the target chosen last: a host made for another target is replaced.
    if (GetPropertyText(m_host.Control(), "Target") != TargetKey(CurrentScriptTarget())) m_host = ScriptHost();
    m_host.SetLanguage("JScript");
    SetProperty(m_host.Control(), "BrowserEnvironment", m_browserEnvironment);
    SetProperty(m_host.Control(), "Debuggable", true);
    if (m_browserEnvironment) SetProperty(m_host.Control(), "PageAddress", m_pageAddress ? m_pageAddress() : std::string());
    m_host.Reset();
}

void ScriptSession::WriteEnvironmentReport(LogSink& log) {
    if (!m_browserEnvironment && !m_pageLoaded) return;
    std::string lines = GetPropertyText(m_host.Control(), "EnvironmentReport");
    size_t start = 0;
    for (size_t end; (end = lines.find('\n', start)) != std::string::npos; start = end + 1)
        log.AppendLog(lines.substr(start, end - start) + "\r\n");
}

void ScriptSession::WriteBrowserHint(const ObjectRef& error, LogSink& log) {
    static const char* const browserNames[] = {
        "window", "self", "top", "parent", "frames", "document", "navigator", "location", "screen", "history",
        "localStorage", "sessionStorage", "atob", "btoa", "crypto", "TextEncoder", "TextDecoder", "console",
        "setTimeout", "setInterval", "clearTimeout", "clearInterval", "requestAnimationFrame", "performance",
        "XMLHttpRequest", "fetch", "Image", "Event", "CustomEvent", "alert"};
    if (m_browserEnvironment) return;
    if (static_cast<int32_t>(GetPropertyNumber(error, "Number")) != errors::ToNumber(errors::kUndefinedIdentifier)) return;
    std::string description = GetPropertyText(error, "Description");
    for (const char* name : browserNames) {
        if (description != "'" + std::string(name) + Ansi("' 未定义")) continue;
        log.AppendLog(Ansi("-->提示：") + name +
                      Ansi(" 是浏览器里的对象，这段脚本要在网页中运行；可在菜单“工具”→“浏览器环境”打开浏览器环境后重新加载\r\n"));
        return;
    }
}

ScriptSession::LoadOutcome ScriptSession::LoadPage(const std::string& code, EditorView& editor, LogSink& log) {
    env::PageSetup setup = env::CurrentPageSetup();
    env::PageSetup page = setup;
    page.html = text::Utf8ToUtf16(text::AnsiToUtf8(code));
    std::string file = m_pageFile ? m_pageFile() : std::string();
    if (size_t slash = file.rfind('/'); slash != std::string::npos) page.folder = file.substr(0, slash);
    env::SetPageSetup(std::move(page));
    // A page needs the page objects: this load has them whatever the switch says. A page
    // from a file without an address of its own is at the file's address.
    bool environment = m_browserEnvironment;
    auto addressSource = m_pageAddress;
    std::string address = m_pageAddress ? m_pageAddress() : std::string();
    if (address.empty() && !file.empty()) {
        address = text::Utf8ToAnsiText(FileAddress(file));
        m_pageAddress = [address] { return address; };
    }
    m_browserEnvironment = true;
    ResetHost();
    m_browserEnvironment = environment;
    m_pageAddress = addressSource;
    m_pageLoaded = true;
    // Only this load is the page: the next plain load starts from a blank page again.
    env::SetPageSetup(std::move(setup));
    m_host.AddCode(";");
    // A script of the page's text that threw: its line is the editor's, selected as an
    // error of loaded code selects its own (the log names it "页面第 N 行").
    if (uint32_t line = env::FirstPageErrorLine()) SelectLine(editor, static_cast<int32_t>(line));
    log.AppendLog(Ansi("-->网页加载完成：") + (address.empty() ? std::string("about:blank") : address) + "\r\n");
    WriteEnvironmentReport(log);
    RefreshFunctions();
    m_codeLoaded = true;
    return LoadOutcome::Loaded;
}

ScriptSession::LoadOutcome ScriptSession::Load(EditorView& editor, LogSink& log) {
    std::string code = editor.Text();
    if (LooksLikePage(code)) return LoadPage(code, editor, log);
    ResetHost();
    if (code.empty()) {
        log.AppendLog(LoadFailedLine());
        return LoadOutcome::EmptyEditor;
    }
    if (!IsZero(m_host.AddCode(code))) {
        log.AppendLog(LoadFailedLine());
        m_codeLoaded = false;
        return LoadOutcome::Rejected;
    }
    double number = GetPropertyNumber(m_host.GetError(), "Number");
    if (!IsZero(number)) {
        ReportScriptError(log, editor);
        WriteEnvironmentReport(log);
        m_codeLoaded = true;
        return LoadOutcome::Rejected;
    }
    log.AppendLog(Ansi("-->代码加载成功\r\n"));
    WriteEnvironmentReport(log);
    RefreshFunctions();
    m_codeLoaded = true;
    return LoadOutcome::Loaded;
}

void ScriptSession::RefreshFunctions() { m_functionsShown = m_host.GetProcedures(m_functions); }

int32_t WriteErrorReport(const ObjectRef& error, LogSink& log) {
    if (IsZero(GetPropertyNumber(error, "Number"))) return 0;
    log.AppendLog(Ansi("-->发生错误：错误号=") + NumberText(GetPropertyNumber(error, "Number")) + "\r\n");
    // A script chooses its error's message: it stays on its line, so that it cannot
    // start a line that reads as the workbench's.
    log.AppendLog(Ansi("-->错误描述：") + OneLine(GetPropertyText(error, "Description")) + "\r\n");
    log.AppendLog(Ansi("-->错误代码：") + OneLine(GetPropertyText(error, "Text")) + "\r\n");
    auto line = static_cast<int32_t>(std::trunc(GetPropertyNumber(error, "Line")));
    log.AppendLog(Ansi("-->错误位置：") + std::to_string(line) + Ansi("行") +
                  NumberText(GetPropertyNumber(error, "Column")) + Ansi("字符处\r\n"));
    return line == 0 ? -1 : line;
}

bool ScriptSession::ReportScriptError(LogSink& log, EditorView& editor, bool onlyInLoadedCode) {
    ObjectRef error = m_host.GetError();
    int32_t line = WriteErrorReport(error, log);
    if (line == 0) return false;
    WriteBrowserHint(error, log);
    // An error in code the script made at run time: its line is that code's, not the
    // editor's, so the report names the code and the editor keeps its selection.
    std::string dynamicCode = GetPropertyText(error, "DynamicCode");
    if (!dynamicCode.empty()) {
        log.AppendLog(Ansi("-->错误所在：") + dynamicCode + "\r\n");
        return true;
    }
    if (line < 0) line = 0;
    // An error in the evaluated expression has a line of the expression, not of the
    // editor's script: selecting it would point at an unrelated line.
    if (onlyInLoadedCode && !GetPropertyBool(error, "InLoadedCode")) return true;
    SelectLine(editor, line);
    return true;
}

void ScriptSession::Evaluate(const std::string& expression, LogSink& log, EditorView& editor,
                             const std::function<void()>& askToInspect) {
    // One evaluation gives both the type and the value, so side effects happen once.
    Variant result = m_host.Eval(expression);
    int32_t category = VariantCategory(result);
    ReportScriptError(log, editor, true);
    if (!m_codeLoaded) {
        log.AppendLog(Ansi("-->计算出错：代码未加载\r\n"));
        return;
    }
    WriteResult(result, category, log, askToInspect);
    WriteEnvironmentReport(log);
}

void WriteResultLines(Variant& result, int32_t category, LogSink& log, const std::string& objectText) {
    log.AppendLog(Ansi("-->返回类型：") + CategoryTypeName(category) + "\r\n");
    std::string value;
    switch (category) {
        case 1: value = NumberText(VariantToNumber(result)); break;
        case 2: value = VariantToText(result); break;
        case 3: value = BoolText(VariantToBool(result)); break;
        case 4: value = DateText(VariantToDate(result)); break;
        case 5:
            if (objectText.empty()) return;
            value = objectText;
            break;
        default:
            log.AppendLog(Ansi("-->该类型结果此版本不支持\r\n"));
            return;
    }
    log.AppendLog(Ansi("-->计算结果：") + value + "\r\n");
}

void ScriptSession::WriteResult(Variant& result, int32_t category, LogSink& log,
                                const std::function<void()>& askToInspect) {
    if (category == 5) {
        log.AppendLog(Ansi("-->返回类型：") + CategoryTypeName(category) + "\r\n");
        m_inspected = VariantToObject(result);
        ClearVariant(result);
        if (askToInspect) askToInspect();
        return;
    }
    WriteResultLines(result, category, log, std::string());
}

std::string ScriptSession::SignatureText(size_t index) const {
    if (index < 1 || index > m_functions.size()) return "";
    const ProcedureInfo& p = m_functions[index - 1];
    std::string params;
    for (int32_t i = 1; i <= p.argCount; ++i) {
        if (i > 1) params += ",";
        params += "value" + std::to_string(i);
    }
    return "     function " + p.name + "(" + params + ")";
}

}  // namespace qy::script
