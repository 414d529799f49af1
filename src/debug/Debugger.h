/** @file Debugger.h
 * The debugger of the loaded script: breakpoints (with conditions, hit counts and log
 * messages), `debugger;` statements, pausing on exceptions, stepping, and reading
 * frames, scopes, values and watches while a run is paused.
 *
 * It works over the engine's own debugging interface in a global of its own. Nothing of
 * it is attached to the main host while there is nothing to stop at: no breakpoint, no
 * exception pause, no `debugger` in the loaded code and no pause asked for; the engine
 * then runs at full speed.
 *
 * Pausing happens inside the engine call that reached the stop: the pause handler (the
 * window) runs a nested event loop and returns what to do next. While paused no other
 * work may start an engine call; everything here that reads the paused run may be
 * called from inside the handler only.
 */
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <optional>
#include <string>
#include <utility>
#include <vector>

#include "script/DebugObserver.h"
#include "script/Variant.h"

namespace qy::debug {

struct BreakpointSpec {
    explicit BreakpointSpec(uint32_t atLine = 1, std::u16string when = {}) : line(atLine), condition(std::move(when)) {}
    uint32_t line;              ///< from 1, in the loaded code
    std::u16string condition;   ///< empty: always
    int32_t hitCount = 0;       ///< from the N-th hit on (0: every hit)
    std::u16string logMessage;  ///< non-empty: writes the message ("{expr}" evaluated) and goes on
};

enum class ExceptionPause { Off, Uncaught, All };
/// What a `debugger` statement does (also one built at run time with eval or Function).
enum class DebuggerStatements { Stop, Skip, SkipWhileNoBreakpoints };
enum class PauseReason { Breakpoint, DebuggerStatement, Exception, Step, Requested, PageBreak };
enum class ResumeAction { Continue, StepOver, StepInto, StepOut, Stop };

struct FrameInfo {
    std::u16string function;  ///< its name, or "(全局代码)", "(计算表达式)", "(匿名函数)"
    uint32_t line = 0;        ///< from 1, in the user's text
    uint32_t column = 0;      ///< from 0
    bool inLoadedCode = true; ///< false for the evaluated expression and code made at run time
    /// In code made at run time: its title ("动态代码 #3 (eval, 第 120 行)") and its text.
    std::u16string dynamicTitle;
    std::u16string dynamicText;
};

/// A breakpoint in code made at run time, known by its text: it applies wherever that
/// text is made (already, later in the run, or in the next load).
struct DynamicBreakpoint {
    std::u16string text;
    uint32_t line = 1;  ///< from 1, in that text
};

struct ScopeInfo {
    std::u16string name;  ///< "局部", "闭包 (f)", "全局"
    int32_t handle = -1;  ///< for Children
};

struct VariableInfo {
    std::u16string name;
    std::u16string value;  ///< written readably: strings quoted, objects as a short preview
    int32_t handle = -1;   ///< for Children; -1 when there is nothing to expand
};

struct PauseState {
    PauseReason reason = PauseReason::Step;
    std::u16string exception;  ///< the thrown value, written readably (exception pauses), or
                               ///< what the page did (page breakpoints)
};

/// The window's side of a pause: shows it and returns when the user chose how to go on.
class PauseHandler {
public:
    virtual ~PauseHandler() = default;
    virtual ResumeAction Paused(const PauseState& state) = 0;
};

struct EvaluationResult {
    bool ok = false;
    bool isObject = false;
    std::u16string text;   ///< the value written readably, or the error's text
    script::Variant value; ///< the value itself when it is no object
};

class Debugger;

/// Pauses the run now in the newest frame of the user's code, for a page breakpoint
/// reached inside the environment's work; `what` says what the page did. Nothing when
/// no pause can happen (no debugger or handler, already paused, no user frame).
std::optional<ResumeAction> PauseInScriptFrame(const std::u16string& what);

class Debugger final : public script::DebugObserver {
public:
    /// Starts observing the main host; the engine must be running. One per process.
    Debugger();
    ~Debugger() override;
    Debugger(const Debugger&) = delete;
    Debugger& operator=(const Debugger&) = delete;

    void SetPauseHandler(PauseHandler* handler) { m_handler = handler; }
    /// Where logpoints write: the line (from 1) and the message with its values.
    void SetLogOutput(std::function<void(uint32_t line, const std::u16string& text)> output) {
        m_log = std::move(output);
    }

    /// The breakpoints of the loaded code (an empty list when the code loaded is not
    /// the text the breakpoints were set in). Applies at once, even to a paused run.
    void SetBreakpoints(std::vector<BreakpointSpec> breakpoints);
    const std::vector<BreakpointSpec>& Breakpoints() const { return m_breakpoints; }
    void SetDynamicBreakpoints(std::vector<DynamicBreakpoint> breakpoints);
    const std::vector<DynamicBreakpoint>& DynamicBreakpoints() const { return m_dynamicBreakpoints; }
    void SetExceptionPause(ExceptionPause mode);
    ExceptionPause GetExceptionPause() const { return m_exceptionPause; }
    void SetDebuggerStatements(DebuggerStatements mode);
    DebuggerStatements GetDebuggerStatements() const { return m_debuggerStatements; }
    /// True when a `debugger` statement reached now would be passed over.
    bool SkipsDebuggerStatements() const;

    /// Pauses the engine call now running at its next statement in the user's code;
    /// thread-safe (the busy window's "暂停").
    static void RequestPause();

    /// True while something of the debugger is attached to the main host.
    bool Attached() const;
    bool IsPaused() const { return m_paused; }

    // While paused (from inside the handler):
    std::vector<FrameInfo> Frames();
    std::vector<ScopeInfo> Scopes(size_t frame);
    std::vector<VariableInfo> Children(int32_t handle);
    /// Evaluates `expression` in `frame` (the JScript target's gate applies to it).
    EvaluationResult Evaluate(size_t frame, const std::u16string& expression);

    // script::DebugObserver
    void GlobalCreated(JSContext* cx, JS::HandleObject global, script::ScriptTarget target) override;
    /// A loaded page's own scripts are the loaded code: those written in the page take
    /// the editor's breakpoints (their lines are the page's), and all of them are frames
    /// of the user's code to stop and step in.
    void PageStarting(JSContext* cx, JS::HandleObject global, script::ScriptTarget target,
                      const std::u16string& page) override;
    void CodeAdded(JSContext* cx, JS::HandleObject global, const std::string& file,
                   const std::u16string& original) override;

    struct Impl;

private:
    /// Attaches to or detaches from the main host as the settings now ask.
    void UpdateAttachment();
    /// Tells the debugger global whether `debugger` statements pause now.
    void SendDebuggerStatements();
    bool Wanted() const;

    std::unique_ptr<Impl> m_impl;
    PauseHandler* m_handler = nullptr;
    std::function<void(uint32_t, const std::u16string&)> m_log;
    std::vector<BreakpointSpec> m_breakpoints;
    std::vector<DynamicBreakpoint> m_dynamicBreakpoints;
    ExceptionPause m_exceptionPause = ExceptionPause::Off;
    DebuggerStatements m_debuggerStatements = DebuggerStatements::Stop;
    bool m_loadedHasDebuggerStatement = false;
    bool m_pageGlobal = false;   ///< the debuggee ran a loaded page's scripts
    bool m_pageStarted = false;  ///< PageStarting heard, GlobalCreated not yet
    bool m_pauseWanted = false;
    bool m_paused = false;
    script::ScriptTarget m_target = script::ScriptTarget::JScript58;

    friend bool PauseNative(JSContext*, unsigned, JS::Value*);
    friend bool LogNative(JSContext*, unsigned, JS::Value*);
    friend void OnPauseRequest(JSContext*);
    friend std::optional<ResumeAction> PauseInScriptFrame(const std::u16string&);
};

}  // namespace qy::debug
