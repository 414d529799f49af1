/** @file ScriptWatch.h
 * Watching what the loaded script does, unseen by it: calls of chosen functions logged
 * with their arguments and results, and the code it makes at run time (eval, Function,
 * strings given to timers) kept as numbered sources.
 *
 * It sees the main host's globals as the debugger does, through a second engine
 * Debugger in a global of its own; nothing is attached while nothing is watched. A
 * watched native is replaced by a native of the same name and length (it prints as
 * native code); a watched script function is left as it is and seen as it is entered.
 * The watch applies to each fresh global from the next load on.
 */
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <vector>

#include "script/DebugObserver.h"

namespace qy::debug {

/// One call of a watched function.
struct HookCall {
    std::u16string name;       ///< the path it is watched by ("JSON.stringify")
    std::u16string arguments;  ///< previews, separated by ", "
    std::u16string result;     ///< preview of the value returned (or thrown)
    uint32_t line = 0;         ///< the user's line that made the call (0: none)
    uint64_t count = 0;        ///< how many calls of this function so far, this one included
    bool threw = false;
};

/// One piece of code made at run time.
struct DynamicSource {
    uint32_t number = 0;   ///< from 1, in order of appearance in the load
    std::u16string kind;   ///< "eval", "Function", "javascript:"
    uint32_t line = 0;     ///< the line of the code that made it (0: unknown)
    std::u16string text;
    std::string file;      ///< the engine's name of it ("addcode-0 line 120 > eval")
};

/// "-->调用 NAME(参数…) = 结果（第 N 行）", the line a call writes to the log.
std::u16string HookLine(const HookCall& call);
/// "动态代码 #3 (eval, 第 120 行)".
std::u16string DynamicTitle(const DynamicSource& source);

/// The title of the newest source kept that has exactly `text` (empty: none); a
/// frame in code made at run time is named by it.
std::u16string DynamicTitleOfText(const std::u16string& text);

/// An observer the watch passes on to is going away (the debugger, dropped first).
void ForgetNextObserver(script::DebugObserver* observer);

class ScriptWatch final : public script::DebugObserver {
public:
    /// Observes the main host alongside the observer already set (the debugger), which
    /// hears of everything as before; made after it.
    ScriptWatch();
    ~ScriptWatch() override;
    ScriptWatch(const ScriptWatch&) = delete;
    ScriptWatch& operator=(const ScriptWatch&) = delete;

    /// The functions to watch, by path from the global ("btoa", "CryptoJS.MD5").
    void SetHooks(std::vector<std::u16string> paths) { m_paths = std::move(paths); }
    const std::vector<std::u16string>& Hooks() const { return m_paths; }
    /// A watched call with an argument containing `text` pauses the run at its next
    /// statement (through the debugger); empty: none does.
    void SetPauseText(std::u16string text) { m_pauseText = std::move(text); }
    void SetCallOutput(std::function<void(const HookCall&)> output) { m_callOutput = std::move(output); }

    /// Keeps the code made at run time (from the next load on).
    void SetCaptureDynamic(bool on) { m_captureDynamic = on; }
    void SetDynamicOutput(std::function<void(const DynamicSource&)> output) { m_dynamicOutput = std::move(output); }
    /// The sources made since the last fresh global.
    const std::vector<DynamicSource>& DynamicSources() const { return m_dynamic; }

    /// True while attached to the main host's newest global.
    bool Attached() const { return m_attached; }
    /// Watches the next global from a page's first script on (a page's scripts run while
    /// its global is set up); done again after each fresh global. Call once the hooks
    /// and the capture are set.
    void ExpectGlobal();

    // script::DebugObserver
    void GlobalCreated(JSContext* cx, JS::HandleObject global, script::ScriptTarget target) override;
    void PageStarting(JSContext* cx, JS::HandleObject global, script::ScriptTarget target,
                      const std::u16string& page) override;
    void CodeAdded(JSContext* cx, JS::HandleObject global, const std::string& file,
                   const std::u16string& original) override;

    struct Impl;

private:
    void Detach(JSContext* cx);
    void Attach(JSContext* cx, JS::HandleObject global);
    bool Watching(JSContext* cx, JS::HandleObject global);
    JSObject* NewPaths(JSContext* cx);

    std::unique_ptr<Impl> m_impl;
    script::DebugObserver* m_next = nullptr;
    std::vector<std::u16string> m_paths;
    std::u16string m_pauseText;
    std::function<void(const HookCall&)> m_callOutput;
    std::function<void(const DynamicSource&)> m_dynamicOutput;
    std::vector<DynamicSource> m_dynamic;
    bool m_captureDynamic = false;
    bool m_attached = false;

    friend bool CallNative(JSContext*, unsigned, JS::Value*);
    friend bool DynamicNative(JSContext*, unsigned, JS::Value*);
    friend bool FreshNative(JSContext*, unsigned, JS::Value*);
    friend std::u16string DynamicTitleOfText(const std::u16string&);
    friend void ForgetNextObserver(script::DebugObserver*);
};

}  // namespace qy::debug
