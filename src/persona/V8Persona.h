/** @file V8Persona.h
 * The modern target with the page's objects looks like a Chrome page to its scripts:
 * functions print as V8 prints them, errors carry V8's stack text, messages and types,
 * the built-ins are those of the Chrome version the page claims, and the engine's own
 * extras are gone. One call installs it all in a fresh global; the realm options and the
 * message wording are the two things that must be set around it.
 */
#pragma once

#include <js/experimental/JSStencil.h>
#include <jsapi.h>

#include <string>

namespace qy::persona {

/// Where a frame's code came from: true for the user's own code (it is shown in stacks
/// under the page's address), false for the workbench's scripts (never shown).
using UserCodeTest = bool (*)(const char* file);

struct V8Options {
    /// The page's address, the file name of the user's code in stacks.
    std::u16string pageAddress;
    UserCodeTest isUserCode = nullptr;
};

/// Realm options a persona global is made with (messages that name the property read).
void PrepareRealm(JS::RealmOptions& options);

/// The persona's script compiled for any number of globals (null when it cannot be,
/// with an exception pending). The caller keeps it no longer than the engine.
RefPtr<JS::Stencil> CompileScript(JSContext* cx);

/// Installs the persona in `global` (entered) from the script `compiled`; `watcher` (see
/// ExceptionWatch.h, may be null) then sees its exceptions and names its frames. False
/// with an exception pending when the global could not take it.
[[nodiscard]] bool InstallV8(JSContext* cx, JS::HandleObject global, JS::Stencil* compiled, const V8Options& options,
                             JS::HandleObject watcher);

/// The global's application slot (0 is the environment's host) that holds the set-up
/// left until the global's `Intl` is made: a list of functions, then true once it ran.
constexpr uint32_t kIntlWorkSlot = 1;

/// Leaves `finish` until the engine makes `global`'s Intl (most pages never reach it,
/// and making it costs a fresh global much): it is then called with the Intl object,
/// before any script sees it, after the work left before it. When Intl was made already
/// it runs at once.
[[nodiscard]] bool WhenIntlMade(JSContext* cx, JS::HandleObject global, JS::HandleValue finish);

/// Runs the work left for Intl; the global's resolve hook calls it right after the engine
/// made `Intl` there.
[[nodiscard]] bool IntlMade(JSContext* cx, JS::HandleObject global);

/// A native for the set-up scripts' hosts: whenIntl(finish) calls WhenIntlMade for the
/// current global.
bool WhenIntlNative(JSContext* cx, unsigned argc, JS::Value* vp);

/// Held while a persona global runs: the engine words its errors as V8 does (and
/// reports stack exhaustion as a RangeError). The wording is the process's, so it is
/// switched only while such a global runs; the previous wording comes back afterwards.
class V8Wording {
public:
    explicit V8Wording(bool on);
    ~V8Wording();
    V8Wording(const V8Wording&) = delete;
    V8Wording& operator=(const V8Wording&) = delete;

private:
    bool m_previous;
};

/// The engine's own text for an error message given in V8's words (the workbench's
/// error lines are built from the engine's text); `message` when it was not reworded.
/// `sourceLine` and `column` (from 1), when known, give back a name V8 leaves out.
std::string EngineWording(unsigned errorNumber, const std::string& message, const std::u16string& sourceLine = u"",
                          unsigned column = 0);

/// Where the user's code stood in the stack of error `error`: the innermost frame of the
/// user's code (file, line, column from 1). False when none is known.
bool UserPosition(JSContext* cx, JS::HandleObject error, std::string& file, uint32_t& line, uint32_t& column);

/// True when the V8 wording is in force now.
bool V8WordingActive();

}  // namespace qy::persona
