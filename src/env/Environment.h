/** @file Environment.h
 * The browser environment inside one script control's global: the global's class
 * (its resolve hook notes reads of names that do not exist), the host natives the
 * environment script uses here (log lines, watched objects, accessors, randomness,
 * the timer queue), and the access record. A global made without this class costs
 * nothing: no hook, no record. In the modern target the page objects live apart and
 * the global shows Chrome's face over them: the hook then also makes the page's
 * interfaces and the window's members when a script first names them. The console the environment makes can also be given to
 * a global alone.
 */
#pragma once

#include <js/experimental/JSStencil.h>
#include <jsapi.h>
#include <js/GCAPI.h>

#include <functional>
#include <set>
#include <string>
#include <string_view>
#include <vector>

#include "env/AccessRecord.h"
#include "env/PageHost.h"

namespace qy::env {

/// The environment script as shipped (UTF-8, ES3): the page objects with the console
/// script as their function's last argument.
std::string_view ScriptText();

/// The console alone (UTF-8, ES3): one function expression that, given a function taking
/// a line, makes the console whose methods write their lines to it. The environment's
/// console is made by the same text.
std::string_view ConsoleScriptText();

/// The environment as a block a user keeps in their own script (UTF-8): a comment line
/// that says what it is, then the script. For JScript the ES3 page objects; for the
/// modern target a portable form of Chrome's face that also runs outside the workbench
/// (a bare engine, node's vm), saying in its comment what only the workbench gives.
std::string InsertableBlock(bool jscript = true);

/// Where the environment's lines go (console calls, requests, navigations), each
/// without a line break: its record of requests and navigations starting with "-->",
/// what the page itself writes (console, alert…) with the script's mark
/// (text::kScriptLineMark). An empty function drops them.
using Output = std::function<void(const std::u16string& line)>;
void SetOutput(Output output);

/// The environment script compiled for a target, with every function compiled now (a
/// fresh global then only instantiates it). The caller keeps it for the engine's life
/// and drops it before the engine's context goes. Null on an engine failure.
RefPtr<JS::Stencil> CompileScript(JSContext* cx, bool jscript);

/// One of the styles' scripts (how the modern target's inline styles read and write
/// values, or with `computed` how computed styles are worked out), compiled; kept and
/// dropped as CompileScript's result is, and run in a page only when the page first uses
/// a style (a computed style). Null on an engine failure.
RefPtr<JS::Stencil> CompileStyles(JSContext* cx, bool computed);

/// The page's services' script (blobs, workers, Web Crypto, IndexedDB and the rest, made
/// when a page first reaches one), compiled; kept and dropped as CompileScript's result is.
RefPtr<JS::Stencil> CompileServices(JSContext* cx);

/// The console script compiled (for the modern engine), every function compiled now;
/// kept and dropped as CompileScript's result is. Null on an engine failure.
RefPtr<JS::Stencil> CompileConsole(JSContext* cx);

/// Gives `global` (its realm entered) a console of its own, without the environment:
/// `console` not enumerable (not taken for the user's), its methods writing exactly the
/// environment console's lines to the Output. `compiled` is CompileConsole's result.
/// False on an engine failure (nothing pending then).
bool InstallConsole(JSContext* cx, JS::HandleObject global, JS::Stencil* compiled);

/// While it lives, the engine interprets the code it runs instead of compiling it to
/// machine code: the environment's set-up runs once per page, in functions thousands of
/// lines long that a loop of a hundred turns would otherwise have compiled whole (for
/// nothing) at every Reset. What runs after it (the page's scripts, the user's code)
/// warms up as usual. The objects the set-up makes live as long as the page: they are
/// made in the long-lived heap at once rather than copied there from the young one.
class RunOnceScope {
public:
    explicit RunOnceScope(JSContext* cx);
    ~RunOnceScope();
    RunOnceScope(const RunOnceScope&) = delete;
    RunOnceScope& operator=(const RunOnceScope&) = delete;

private:
    JSContext* m_cx;
    JS::AutoDisableGenerationalGC m_tenured;
    uint32_t m_baseline = 0;
    bool m_saved = false;
};

/// The class of a global that carries the environment.
const JSClass* GlobalClass();

/// Callbacks at most run after each load or evaluation.
inline constexpr int kTimerCallbacksPerRun = 1000;

class Environment {
public:
    struct Options {
        bool jscript = true;        ///< the global follows JScript 5.8's rules
        std::u16string address;     ///< the page's address (location)
        /// True for code the user wrote (added code, evaluated expressions).
        std::function<bool(const char* file)> isUserCode;
        /// The kept result of CompileStyles; without it a page compiles the script itself.
        std::function<JS::Stencil*(JSContext*, bool computed)> styles;
        /// The kept result of CompileServices; without it a page compiles the script itself.
        std::function<JS::Stencil*(JSContext*)> services;
        /// A new global of the page's compartment with the language's built-ins as the
        /// page's own show them (a frame's window takes them); none where it is not set.
        std::function<JSObject*(JSContext*)> frameRealm;
    };

    explicit Environment(Options options);
    ~Environment();
    Environment(const Environment&) = delete;
    Environment& operator=(const Environment&) = delete;

    /// Attaches to `global` (made with GlobalClass(), its realm entered) and runs the
    /// environment script (`compiled`, from CompileScript for this target) in it; what the script defines on the global is not
    /// enumerable, so it is not taken for the user's functions. False on an engine
    /// failure (nothing pending then).
    bool Install(JSContext* cx, JS::HandleObject global, JS::Stencil* compiled);

    /// Runs one of the styles' scripts in the current realm: `rv` is the function that
    /// makes its part. False on an engine failure (pending).
    bool RunStyles(JSContext* cx, bool computed, JS::MutableHandleValue rv);
    /// Runs the services' script in the current realm: `rv` is the function that makes
    /// the page's services. False on an engine failure (pending).
    bool RunServices(JSContext* cx, JS::MutableHandleValue rv);
    /// A frame's realm (Options::frameRealm) as `rv`, undefined where there is none.
    /// False on an engine failure (pending).
    bool FrameRealm(JSContext* cx, JS::MutableHandleValue rv);
    /// Runs the page's own scripts (a whole page in the modern target), once, after
    /// Install and whatever else makes the global what the page expects. False on an
    /// engine failure.
    bool LoadPage(JSContext* cx, JS::HandleObject global);
    /// Detaches from `global`: its hooks note nothing from now on. Objects of it that
    /// live on keep working.
    void Detach(JSObject* global);

    /// Runs at most `limit` of the queued timer callbacks, in order (realm entered,
    /// inside an engine call); `ran` receives how many ran. False only when the run was
    /// cut short (stopped, out of memory).
    bool RunTimers(JSContext* cx, JS::HandleObject global, int limit = kTimerCallbacksPerRun, int* ran = nullptr);

    /// What the user's code looked for since the last call and still does not exist.
    /// The check may run the page's code: call it inside an engine call (the watchdog
    /// armed); `cutShort` becomes true when the watchdog ended it (the list is then
    /// what was checked before).
    std::vector<Miss> TakeMisses(JSContext* cx, JS::HandleObject global, bool* cutShort = nullptr);

    /// Used by the engine hooks: a lookup missed `obj`'s own members (the global's, or
    /// a watched page object's). False when the watchdog ended the page's code it ran
    /// (the hook then fails, which ends the engine call).
    [[nodiscard]] bool NoteMiss(JSContext* cx, JS::HandleObject obj, JS::HandleId id, bool watched);
    /// Used by the page's interfaces: the user's code read a member the page has in name
    /// only (Chrome's interface lists it, the environment gives its empty value).
    void NoteHollow(JSContext* cx, const std::string& object, const std::string& member);

    /// The page behind the environment (its cookies, clock and randomness).
    PageState* Page() const { return m_page.get(); }
    /// Notes misses while `on` (the page's own scripts run while the environment installs).
    bool SetRecording(bool on) {
        bool was = m_recording;
        m_recording = on;
        return was;
    }

private:
    /// Where the user's code is on the stack; `throughInternal` looks past the
    /// environment's own frames (a member of the page's interfaces called from it).
    bool FindUserPlace(JSContext* cx, Place& place, bool throughInternal = false);

    Options m_options;
    AccessRecord m_record;
    std::set<std::string> m_hollow;  ///< "object.member" of members read in name only
    PageStatePtr m_page;
    bool m_recording = false;
    bool m_busy = false;
};

}  // namespace qy::env
