#include "transform/Transforms.h"

#include <algorithm>
#include <atomic>
#include <cmath>
#include <condition_variable>
#include <mutex>
#include <optional>
#include <set>
#include <thread>

#include "script/Engine.h"
#include "script/ScriptControl.h"
#include "script/ScriptTarget.h"
#include "text/CodePage.h"
#include "transform/ToolScripts.h"

namespace qy::transform {
namespace {

std::string ToolText(std::string_view utf8) { return text::Utf8ToAnsiText(std::string(utf8)); }

/// The unpacker with its recognisers of their own files (unpack_*.js, in name order).
void AddUnpacker(script::ScriptHost& host) {
    host.AddCode(ToolText(tools::kTool_unpacker));
    for (const auto& [name, source] : tools::kAll)
        if (std::string_view(name).substr(0, 7) == "unpack_") host.AddCode(ToolText(source));
}

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
//
// The formatter's control is kept from one call to the next: the engine keeps the
// compiled code of its functions, so every format after the first skips the warm-up
// (a fresh control spends about a third of its time on jquery.min.js there). The
// formatter keeps no state of its own between calls; a call that fails (a stop, memory)
// drops the control all the same, so the next one starts from a fresh one.
ToolResult FormatScript(const std::string& text) {
    static std::optional<script::ScriptHost> kept;
    if (!kept) {
        kept = ToolHost();
        kept->SetLanguage("JScript");
        kept->AddCode(ToolText(tools::kTool_formatter));
    }
    script::ScriptHost host = *kept;
    script::Variant v = host.Run("format", text, "", "", "", "");
    ToolResult r = Finish(v, host.GetError());
    if (!r.ok) kept.reset();
    // Whole line ends for the editor; the indentation stays as the formatter made it.
    if (r.ok) r.text = LfToCrLf(r.text);
    return r;
}

bool WarmFormatter() {
    if (!script::EngineIdle()) return false;
    // The formatter's own text is a fair sample: every rule it has meets some of it.
    return FormatScript(ToolText(tools::kTool_formatter)).ok;
}

ToolResult MinifyScript(const std::string& text) {
    script::ObjectRef control = ToolHost().Control();
    script::SetProperty(control, "Language", "JScript");
    script::CallMethodNumber(control, "AddCode", {ToolText(tools::kTool_jsmin)});
    script::Variant v = script::CallMethodVariant(control, "Run", {"jsmin", "", text, int32_t{2}});
    return Finish(v, script::GetPropertyObject(control, "Error"));
}

namespace {

bool Failed(const script::ObjectRef& error) { return std::fabs(script::GetPropertyNumber(error, "Number")) > 1e-7; }

bool StoppedError(const script::ObjectRef& error) {
    return static_cast<int32_t>(script::GetPropertyNumber(error, "Number")) ==
           script::errors::ToNumber(script::errors::kStopped);
}

/// Stops the engine call running when `limit` has passed, unless it ended first. A stop
/// asked for while no call runs is dropped by the engine, so a late one does no harm.
class Deadline {
public:
    explicit Deadline(std::chrono::milliseconds limit)
        : m_thread([this, limit] {
              std::unique_lock<std::mutex> lock(m_mutex);
              if (!m_cv.wait_for(lock, limit, [this] { return m_done; })) {
                  m_fired = true;
                  script::RequestCallStop();
              }
          }) {}
    ~Deadline() {
        {
            std::lock_guard<std::mutex> lock(m_mutex);
            m_done = true;
        }
        m_cv.notify_all();
        m_thread.join();
    }
    bool Fired() const { return m_fired; }

private:
    std::mutex m_mutex;
    std::condition_variable m_cv;
    bool m_done = false;
    std::atomic<bool> m_fired{false};
    std::thread m_thread;
};

enum class Compile { Yes, No, Stopped };

/// Compiles the code inside a function that is never called, so nothing of it runs, in
/// a fresh control of the current target.
Compile CompilesHere(const std::string& code) {
    script::ScriptHost host;
    host.SetLanguage("JScript");
    host.AddCode("function qyUnpackCheck() {\n" + code + "\n}");
    script::ObjectRef error = host.GetError();
    if (!Failed(error)) return Compile::Yes;
    return StoppedError(error) ? Compile::Stopped : Compile::No;
}

/// How running a script's top level ends: without an error (or still running at the
/// time limit: nothing seen either way), with the error of that number, or stopped by
/// the user.
struct TopLevelRun {
    bool threw = false;
    int32_t number = 0;
    bool stopped = false;
    bool timedOut = false;
    std::chrono::milliseconds took{0};
};

/// Runs the code's top level in a fresh control of the current target, which has no page
/// objects, for at most `limit`. Timers are there but never fire: a script that starts
/// one (a debug trap's interval) goes on to its next statement as on a page.
TopLevelRun RunTopLevel(const std::string& code, std::chrono::milliseconds limit) {
    script::ScriptHost host;
    host.SetLanguage("JScript");
    host.AddCode("var setInterval = function () { return 0; }, setTimeout = setInterval, clearInterval = function () {}, "
                 "clearTimeout = clearInterval;");
    bool timedOut = false;
    const auto start = std::chrono::steady_clock::now();
    {
        Deadline deadline(limit);
        host.AddCode(code);
        timedOut = deadline.Fired();
    }
    script::ObjectRef error = host.GetError();
    TopLevelRun run;
    run.took = std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - start);
    if (!Failed(error)) return run;
    if (StoppedError(error)) {
        run.stopped = !timedOut;
        run.timedOut = timedOut;
        return run;
    }
    run.threw = true;
    run.number = static_cast<int32_t>(script::GetPropertyNumber(error, "Number"));
    return run;
}

std::set<std::string> SplitNames(const std::string& list) {
    std::set<std::string> out;
    size_t at = 0;
    while (at <= list.size()) {
        size_t comma = list.find(',', at);
        if (comma == std::string::npos) comma = list.size();
        if (comma > at) out.insert(list.substr(at, comma - at));
        at = comma + 1;
    }
    return out;
}

}  // namespace

bool CompilesInCurrentTarget(const std::string& code) { return CompilesHere(code) == Compile::Yes; }

namespace {

UnpackResult UnpackLayers(script::ScriptHost& mainHost, const std::string& text, const UnpackOptions& options) {
    UnpackResult r;
    r.text = text;
    // The user's control gets the unpacker's functions, as it always has.
    mainHost.SetLanguage("JScript");
    AddUnpacker(mainHost);
    // The work happens in a control of its own: no page objects, no timers, nothing of
    // the user's session, and the obfuscators' helpers run only there.
    script::ScriptHost tool = ToolHost();
    tool.SetLanguage("JScript");
    AddUnpacker(tool);
    if (Failed(tool.GetError())) {
        r.error = tool.GetError();
        return r;
    }
    auto eval = [&](const std::string& expression) { return script::VariantToText(tool.Eval(expression)); };
    const std::set<std::string> wanted = SplitNames(script::VariantToText(tool.Run("unpack_global_functions", text)));
    std::set<std::string> removedOnPurpose;
    std::string current = text, skip;
    Compile currentCompiles = CompilesHere(current);
    if (currentCompiles == Compile::Stopped) {
        r.stopped = true;
        return r;
    }
    // Names after a dot and bare keys follow the target the result is checked in.
    if (script::CurrentScriptTarget() == script::ScriptTarget::ES2021 || currentCompiles == Compile::No) eval("unpack_modern = true");
    // The input's own top level, run once: a layer whose result throws an error the input
    // did not (another one, or one where the input threw none) is refused. An input that
    // does not finish within the limit tells nothing to compare with.
    const TopLevelRun inputRun = RunTopLevel(current, options.runLimit);
    if (inputRun.stopped) {
        r.stopped = true;
        return r;
    }
    const bool inputFinished = !inputRun.timedOut;
    std::optional<TopLevelRun> modernInputRun;
    enum class Verdict { Sound, Unsound, Stopped };
    // Whether next, the result of one layer or of several, may stand: it compiles where
    // the current text did (a text that compiled nowhere, like an escaped bookmarklet,
    // must come out compiling in either), keeps the input's global functions but those
    // taken out on purpose, and its top level throws no error the input did not.
    auto check = [&](const std::string& next, const std::set<std::string>& removed, Compile& nextCompiles) {
        nextCompiles = CompilesHere(next);
        if (nextCompiles == Compile::Stopped) return Verdict::Stopped;
        bool sound = nextCompiles == Compile::Yes;
        if (!sound && currentCompiles == Compile::No) {
            script::ScopedScriptTarget modern(script::ScriptTarget::ES2021);
            sound = CompilesHere(next) == Compile::Yes;
        }
        if (sound) {
            std::set<std::string> declared =
                SplitNames(script::VariantToText(tool.Run("unpack_global_functions", next)));
            for (const std::string& f : wanted)
                if (!declared.count(f) && !removedOnPurpose.count(f) && !removed.count(f)) sound = false;
        }
        if (sound && inputFinished) {
            // A result still running long after the input had run through without an error
            // has been made to spin (a self-check that backtracks on changed text): that is
            // a fault too. After an input that threw, a decoded payload may well run longer.
            const auto limit = inputRun.threw ? options.runLimit
                                              : std::max(options.runLimit, inputRun.took * 4 + std::chrono::milliseconds(300));
            const TopLevelRun run = RunTopLevel(next, limit);
            if (run.timedOut && !inputRun.threw) sound = false;
            if (run.stopped) return Verdict::Stopped;
            if (run.threw && (!inputRun.threw || run.number != inputRun.number)) {
                // An input that throws here already (code for a newer engine, as encoders
                // write) is compared where it may run: both again in the modern target.
                sound = false;
                if (inputRun.threw) {
                    script::ScopedScriptTarget modern(script::ScriptTarget::ES2021);
                    if (!modernInputRun) modernInputRun = RunTopLevel(text, options.runLimit);
                    const TopLevelRun there = RunTopLevel(next, options.runLimit);
                    if (modernInputRun->stopped || there.stopped) return Verdict::Stopped;
                    sound = !modernInputRun->timedOut &&
                            !(there.threw && (!modernInputRun->threw || there.number != modernInputRun->number));
                }
            }
        }
        return sound ? Verdict::Sound : Verdict::Unsound;
    };
    auto tally = [&](const std::string& label, int count) {
        for (auto& entry : r.removed)
            if (entry.first == label) {
                entry.second += count;
                return;
            }
        r.removed.emplace_back(label, count);
    };
    auto settle = [&](std::string next, Compile nextCompiles) {
        current = std::move(next);
        currentCompiles = nextCompiles;
        // Places given up stay given up: the places before them keep their numbers.
        std::string kept;
        for (const std::string& entry : SplitNames(skip))
            if (entry.find('#') != std::string::npos) kept += "," + entry;
        skip = kept;
    };
    auto stoppedHere = [&] {
        r.stopped = true;
        r.text = text;
        return r;
    };
    // Layers are taken several at a time and their sum is checked once: the checks cost
    // as much as a layer on a large script, and nearly every layer passes them. A batch
    // that fails is taken again layer by layer, and the next batches are smaller.
    int batch = 32;
    const auto budget = options.stepLimit.count() / 2;
    for (int round = 0; round < 200; ++round) {
        if (batch > 1) {
            script::Variant v;
            bool timedOut = false;
            {
                Deadline deadline(options.stepLimit);
                v = tool.Run("unpack_steps", current, skip, std::to_string(batch), std::to_string(budget));
                timedOut = deadline.Fired();
            }
            const bool failed = Failed(tool.GetError());
            if (failed && StoppedError(tool.GetError()) && !timedOut) return stoppedHere();
            const int layers = failed ? 0 : static_cast<int>(script::VariantToNumber(tool.Eval("unpack_batch.length")));
            std::string next = failed ? std::string() : script::VariantToText(v);
            if (!failed && (layers == 0 || next == current)) break;
            if (!failed) {
                // The functions the first k layers took out on purpose.
                auto removedBy = [&](int k) {
                    std::set<std::string> out;
                    for (int i = 0; i < k; ++i) {
                        const std::set<std::string> some = SplitNames(eval("unpack_batch[" + std::to_string(i) + "].removed"));
                        out.insert(some.begin(), some.end());
                    }
                    return out;
                };
                Compile nextCompiles = Compile::No;
                Verdict verdict = check(next, removedBy(layers), nextCompiles);
                if (verdict == Verdict::Stopped) return stoppedHere();
                // A batch that fails is cut to its longest first part that passes, found by
                // halves; the layer after that part is refused, as it would be alone.
                int good = layers;
                if (verdict == Verdict::Unsound) {
                    int bad = layers;
                    good = 0;
                    while (bad - good > 1) {
                        const int mid = (good + bad) / 2;
                        std::string part = eval("unpack_batch_texts[" + std::to_string(mid - 1) + "]");
                        Compile partCompiles = Compile::No;
                        verdict = check(part, removedBy(mid), partCompiles);
                        if (verdict == Verdict::Stopped) return stoppedHere();
                        if (verdict == Verdict::Sound) {
                            good = mid;
                            next = std::move(part);
                            nextCompiles = partCompiles;
                        } else {
                            bad = mid;
                        }
                    }
                }
                if (good > 0) {
                    const std::set<std::string> removed = removedBy(good);
                    removedOnPurpose.insert(removed.begin(), removed.end());
                    for (int i = 0; i < good; ++i) {
                        const std::string at = "unpack_batch[" + std::to_string(i) + "].";
                        tally(eval(at + "label"), static_cast<int>(script::VariantToNumber(tool.Eval(at + "count"))));
                    }
                    settle(std::move(next), nextCompiles);
                }
                if (good < layers) {
                    const std::string at = "unpack_batch[" + std::to_string(good) + "].";
                    const std::string name = eval(at + "name"), place = eval(at + "place");
                    r.refused.push_back(eval(at + "label"));
                    skip += "," + (place.empty() ? name : place);
                }
                continue;
            }
            // A batch that threw or ran out of time is taken again layer by layer.
            batch = std::max(1, batch / 2);
        }
        script::Variant v;
        bool timedOut = false;
        {
            Deadline deadline(options.stepLimit);
            v = tool.Run("unpack_step", current, skip);
            timedOut = deadline.Fired();
        }
        // The Error object is cleared by the next call: read it first.
        const bool failed = Failed(tool.GetError()), stopped = StoppedError(tool.GetError());
        const std::string name = eval("unpack_last.name"), place = eval("unpack_last.place");
        // What a failed layer is skipped as: the one place it worked on, or all of it.
        const std::string skipAs = place.empty() ? name : place;
        if (failed) {
            if (stopped && !timedOut) return stoppedHere();
            if (name.empty()) break;
            (stopped ? r.timedOut : r.refused).push_back(eval("unpack_label('" + name + "')"));
            skip += "," + skipAs;
            continue;
        }
        std::string next = script::VariantToText(v);
        if (next == current || name.empty()) break;
        const std::string label = eval("unpack_last.label");
        Compile nextCompiles = Compile::No;
        const Verdict verdict = check(next, SplitNames(eval("unpack_last.removed")), nextCompiles);
        if (verdict == Verdict::Stopped) return stoppedHere();
        if (verdict == Verdict::Unsound) {
            r.refused.push_back(label);
            skip += "," + skipAs;
            continue;
        }
        const std::set<std::string> removed = SplitNames(eval("unpack_last.removed"));
        removedOnPurpose.insert(removed.begin(), removed.end());
        tally(label, static_cast<int>(script::VariantToNumber(tool.Eval("unpack_last.count"))));
        settle(std::move(next), nextCompiles);
    }
    r.ok = true;
    r.text = current;
    r.guard = script::VariantToText(tool.Run("unpack_guard_reason", current));
    return r;
}

}  // namespace

UnpackResult UnpackScript(script::ScriptHost& mainHost, const std::string& text, const UnpackOptions& options) {
    // The unpack is many engine calls (layers, checks, compiles): one press of "停止"
    // ends the whole of it, whichever call it lands in, and the text stays as it came.
    script::StopScope work;
    UnpackResult r = UnpackLayers(mainHost, text, options);
    if (work.Stopped()) {
        UnpackResult stopped;
        stopped.stopped = true;
        stopped.text = text;
        return stopped;
    }
    return r;
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
