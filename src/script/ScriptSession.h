/** @file ScriptSession.h
 * The work behind the main window's script buttons, free of widgets: loading the
 * current editor's script into the main host, the error report, evaluating an
 * expression with its typed result lines, and the function list. The window supplies
 * the log and the current editor through the two small interfaces below.
 */
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include "script/ScriptHost.h"

namespace qy::script {

/// Where status lines go (CP936, each line ending in CR LF).
class LogSink {
public:
    virtual ~LogSink() = default;
    virtual void AppendLog(const std::string& ansiLine) = 0;
};

/// The few editor operations the script work needs.
class EditorView {
public:
    virtual ~EditorView() = default;
    virtual std::string Text() = 0;
    virtual int64_t PositionFromLine(int64_t line) = 0;
    virtual int64_t LineEndPosition(int64_t line) = 0;
    virtual void SetSel(int64_t anchor, int64_t caret) = 0;
    /// Whole text search; false when nothing matched.
    virtual bool FindText(int flags, const std::string& ansi, int64_t& start, int64_t& end) = 0;
};

/// Writes the four report lines of an Error object (number, description, source text,
/// position) when its Number is not zero; gives the reported line (from 1) or 0 when
/// nothing was written.
int32_t WriteErrorReport(const ObjectRef& error, LogSink& log);

/// A file's address ("file:///…", UTF-8, blanks and non-ASCII bytes escaped).
std::string FileAddress(const std::string& utf8Path);

/// True for text that is a whole HTML page (a doctype or <html> first, after blanks and
/// comments): a load of it loads the page.
bool LooksLikePage(const std::string& ansiText);

/// The type and value lines of a result in `category` (VariantCategory), as an
/// evaluation writes them; an object (category 5) gets `objectText` (CP936) as its value
/// line, or only the type line when that is empty.
void WriteResultLines(Variant& result, int32_t category, LogSink& log, const std::string& objectText);

/// Type names of the result categories -1..13, as CP936 text.
std::string CategoryTypeName(int32_t category);

class ScriptSession {
public:
    enum class LoadOutcome { EmptyEditor, Rejected, Loaded };

    /// Resets the main host and adds `editor`'s whole text; logs the outcome and, on
    /// success, refreshes the function list (through `onFunctionsChanged`).
    LoadOutcome Load(EditorView& editor, LogSink& log);

    /// Writes the four report lines when the engine holds an error and selects the
    /// faulty line in `editor`. With `onlyInLoadedCode` the selection is made only for
    /// errors that lie in the loaded code. Returns whether an error was reported.
    bool ReportScriptError(LogSink& log, EditorView& editor, bool onlyInLoadedCode = false);

    /// Evaluates once and writes the type and value lines. An object result becomes
    /// the inspected object and `askToInspect` is called (the window shows its prompt).
    void Evaluate(const std::string& expression, LogSink& log, EditorView& editor,
                  const std::function<void()>& askToInspect);

    /// Makes the main host's next reset start with the browser environment (or without).
    void SetBrowserEnvironment(bool on) { m_browserEnvironment = on; }
    bool BrowserEnvironment() const { return m_browserEnvironment; }
    /// Gives the page address (CP936) for `location` at each load; none gives a blank page.
    void SetPageAddressSource(std::function<std::string()> source) { m_pageAddress = std::move(source); }
    /// Gives the file (UTF-8) a loaded page came from: its local scripts are found beside
    /// it, and it is the page's address when none is given.
    void SetPageFileSource(std::function<std::string()> source) { m_pageFile = std::move(source); }

    /// A fresh global in the main host, with the chosen target and environment.
    void ResetHost();
    /// The access record's lines since the last report ("-->环境缺失：…"); nothing
    /// while the environment is off.
    void WriteEnvironmentReport(LogSink& log);

    /// The signature label text for function list entry `index` (counted from 1).
    std::string SignatureText(size_t index) const;

    ScriptHost& Host() { return m_host; }
    const std::vector<ProcedureInfo>& Functions() const { return m_functions; }
    /// True when the last refresh found functions; the combo box then lists them.
    bool FunctionsShown() const { return m_functionsShown; }
    const ObjectRef& InspectedObject() const { return m_inspected; }
    bool CodeLoaded() const { return m_codeLoaded; }
    void SetCodeLoaded(bool loaded) { m_codeLoaded = loaded; }

private:
    void RefreshFunctions();
    void WriteResult(Variant& result, int32_t category, LogSink& log, const std::function<void()>& askToInspect);

    /// After a report of "'X' 未定义" for a name of the browser, with the environment off.
    void WriteBrowserHint(const ObjectRef& error, LogSink& log);
    /// Loads a whole page: its document built, its scripts run, its load events sent.
    LoadOutcome LoadPage(const std::string& code, EditorView& editor, LogSink& log);

    ScriptHost m_host;
    bool m_browserEnvironment = false;
    std::function<std::string()> m_pageAddress;
    std::function<std::string()> m_pageFile;
    bool m_pageLoaded = false;  ///< the host holds a page (its environment on for it)
    std::vector<ProcedureInfo> m_functions;
    bool m_functionsShown = false;
    ObjectRef m_inspected;
    bool m_codeLoaded = false;
};

}  // namespace qy::script
