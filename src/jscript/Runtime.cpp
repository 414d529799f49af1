/** @file Runtime.cpp
 * Installs the JScript runtime: the natives the runtime scripts need, then the scripts
 * themselves (the scripts of the runtime folder, compiled into the binary, run in name
 * order).
 *
 * The natives sit on the global under names starting with "__qyRt" until the last
 * runtime script has taken them into its closures and removed them:
 *   __qyRtMakeError(type, message)  an error object of the engine's kind `type` whose
 *                                   position is the script's own code that called into
 *                                   the runtime, not the runtime line that made it
 *   __qyRtEngineError(e)            [code, description, kind] for an error the engine
 *                                   raised, null for every other value
 *   __qyRtPrepareEval(text)         the text eval() runs, or [code, description] when
 *                                   JScript refuses it
 *   __qyRtDebugWrite(text)          one piece of Debug output
 *   __qyRtOriginalText(fn)          the user's text of a function whose code the gate
 *                                   rewrote, undefined otherwise
 */
#include "jscript/Runtime.h"

#include <js/Array.h>
#include <js/CompilationAndEvaluation.h>
#include <js/Conversions.h>
#include <js/ErrorReport.h>
#include <js/Exception.h>
#include <js/SavedFrameAPI.h>
#include <js/SourceText.h>
#include <js/Stack.h>
#include <js/experimental/JSStencil.h>
#include <js/friend/ErrorMessages.h>
#include <jsfriendapi.h>
#include <mozilla/RefPtr.h>

#include <algorithm>
#include <cstring>
#include <deque>
#include <memory>
#include <mutex>
#include <string>
#include <unordered_map>
#include <utility>
#include <vector>

#include "codecache/CodeCache.h"
#include "jscript/ErrorMapping.h"
#include "jscript/RuntimeScripts.h"
#include "jscript/SourceGate.h"
#include "text/CodePage.h"
#include "text/LogLines.h"

namespace qy::jscript {
namespace {

DebugOutput g_debugOutput;

/// Runtime scripts are compiled under names with this prefix, which is how their frames
/// are told from the script's own when an error is given a position.
constexpr char kRuntimeFilePrefix[] = "jscript-runtime/";

/// The runtime scripts, compiled once for the engine's life: every fresh global only
/// instantiates them. ReleaseRuntime drops them before the engine goes (the engine
/// cannot be torn down while they live); the list itself is never freed, so that no
/// destructor runs after the engine has shut down.
struct CompiledScript {
    std::string file;
    RefPtr<JS::Stencil> stencil;
};
std::vector<CompiledScript>& Compiled() {
    static auto* compiled = new std::vector<CompiledScript>();
    return *compiled;
}
bool g_compiledReady = false;

std::u16string CopyString(JSContext* cx, JSString* s) {
    size_t len = JS_GetStringLength(s);
    JS::UniqueTwoByteChars chars(JS_CopyStringCharsZ(cx, s));
    if (!chars) return u"";
    return std::u16string(chars.get(), len);
}

JSString* NewString(JSContext* cx, const std::u16string& s) { return JS_NewUCStringCopyN(cx, s.data(), s.size()); }

/// Returns [number, description] of JScript error `code` to the calling script.
bool ReturnNumberAndDescription(JSContext* cx, JS::CallArgs& args, int code, const std::u16string& text) {
    JS::RootedValueArray<2> pair(cx);
    pair[0].setInt32(errors::ToNumber(code));
    JSString* description = NewString(cx, text);
    if (!description) return false;
    pair[1].setString(description);
    JSObject* array = JS::NewArrayObject(cx, pair);
    if (!array) return false;
    args.rval().setObject(*array);
    return true;
}

/// Code of the runtime, or the engine's own built-ins written in script.
bool IsRuntimeSource(JSContext* cx, JS::HandleObject frame) {
    JS::RootedString source(cx);
    if (JS::GetSavedFrameSource(cx, nullptr, frame, &source) != JS::SavedFrameResult::Ok || !source) return false;
    JS::UniqueChars utf8 = JS_EncodeStringToUTF8(cx, source);
    return utf8 && (IsRuntimeFile(utf8.get()) || std::strcmp(utf8.get(), "self-hosted") == 0);
}

/// __qyRtMakeError(type, message): an error object of the engine kind `type`, placed at
/// the innermost frame that is not runtime code, so that the Error object reports the
/// line the user wrote.
bool MakeError(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    int32_t type = args.get(0).isInt32() ? args.get(0).toInt32() : JSEXN_ERR;
    if (type < JSEXN_ERR || type > JSEXN_URIERR || type == JSEXN_INTERNALERR || type == JSEXN_AGGREGATEERR)
        type = JSEXN_ERR;
    JS::RootedString message(cx, JS::ToString(cx, args.get(1)));
    if (!message) return false;

    JS::RootedObject stack(cx);
    if (!JS::CaptureCurrentStack(cx, &stack, JS::StackCapture(JS::MaxFrames(64)))) return false;
    JS::RootedObject frame(cx, stack);
    while (frame && IsRuntimeSource(cx, frame)) {
        JS::RootedObject parent(cx);
        if (JS::GetSavedFrameParent(cx, nullptr, frame, &parent) != JS::SavedFrameResult::Ok) break;
        frame = parent;
    }
    JS::RootedString file(cx);
    uint32_t line = 0, column = 0;
    if (frame) {
        JS::GetSavedFrameSource(cx, nullptr, frame, &file);
        JS::GetSavedFrameLine(cx, nullptr, frame, &line);
        JS::GetSavedFrameColumn(cx, nullptr, frame, &column);
    }
    if (!file) file = JS_GetEmptyString(cx);
    JS::Rooted<mozilla::Maybe<JS::Value>> cause(cx, mozilla::Nothing());
    JS::RootedObject at(cx, frame ? frame.get() : stack.get());
    if (!JS::CreateError(cx, static_cast<JSExnType>(type), at, file, line, column, nullptr, message, cause,
                         args.rval()))
        return false;
    // The report is made now, while the error's position fields are there: the runtime
    // removes those fields, and the Error object reads the position from the report.
    JS::RootedObject error(cx, &args.rval().toObject());
    return JS_ErrorFromException(cx, error) != nullptr || !JS_IsExceptionPending(cx);
}

/// __qyRtEngineError(e): JScript's code, description and kind (the engine's number of it,
/// or -1 to keep the error's own) for an error the engine raised itself; null for
/// anything else (values the script threw, errors it made).
bool EngineError(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setNull();
    if (!args.get(0).isObject()) return true;
    JS::RootedObject obj(cx, &args.get(0).toObject());
    JSErrorReport* report = JS_ErrorFromException(cx, obj);
    if (!report || report->errorNumber == JSMSG_NOT_AN_ERROR || report->errorNumber == JSMSG_USER_DEFINED_ERROR)
        return true;
    MappedError mapped = MapEngineError(*report);
    JS::RootedValueArray<3> triple(cx);
    triple[0].setInt32(errors::ToNumber(mapped.code));
    JSString* description = NewString(cx, mapped.description);
    if (!description) return false;
    triple[1].setString(description);
    triple[2].setInt32(mapped.kind == JSEXN_ERROR_LIMIT ? -1 : static_cast<int32_t>(mapped.kind));
    JSObject* array = JS::NewArrayObject(cx, triple);
    if (!array) return false;
    args.rval().setObject(*array);
    return true;
}

/// Compiled text by file name, held weakly: the script controls own it.
std::unordered_map<std::string, std::weak_ptr<const std::u16string>>& Texts() {
    static auto* texts = new std::unordered_map<std::string, std::weak_ptr<const std::u16string>>();
    return *texts;
}

/// The text of the latest eval() calls, under the name the engine gives eval code
/// ("<caller's file> line <line> > eval"), newest last.
constexpr size_t kEvalTextsKept = 16;
std::deque<std::pair<std::string, std::shared_ptr<const std::u16string>>>& EvalTexts() {
    static auto* texts = new std::deque<std::pair<std::string, std::shared_ptr<const std::u16string>>>();
    return *texts;
}

/// Keeps the text an eval() is about to run, named as the engine will name its code:
/// after the innermost frame of the script's own code, the runtime's frames skipped.
void KeepEvalText(JSContext* cx, const std::u16string& text) {
    JS::RootedObject stack(cx);
    if (!JS::CaptureCurrentStack(cx, &stack, JS::StackCapture(JS::MaxFrames(4)))) {
        JS_ClearPendingException(cx);
        return;
    }
    JS::RootedObject frame(cx, stack);
    while (frame && IsRuntimeSource(cx, frame)) {
        JS::RootedObject parent(cx);
        if (JS::GetSavedFrameParent(cx, nullptr, frame, &parent) != JS::SavedFrameResult::Ok) return;
        frame = parent;
    }
    JS::RootedString file(cx);
    uint32_t line = 0;
    if (!frame || JS::GetSavedFrameSource(cx, nullptr, frame, &file) != JS::SavedFrameResult::Ok || !file ||
        JS::GetSavedFrameLine(cx, nullptr, frame, &line) != JS::SavedFrameResult::Ok)
        return;
    JS::UniqueChars name = JS_EncodeStringToUTF8(cx, file);
    if (!name) {
        JS_ClearPendingException(cx);
        return;
    }
    auto& texts = EvalTexts();
    if (texts.size() >= kEvalTextsKept) texts.pop_front();
    texts.emplace_back(std::string(name.get()) + " line " + std::to_string(line) + " > eval",
                       std::make_shared<const std::u16string>(text));
}

std::unordered_map<std::string, std::weak_ptr<const RewrittenSource>>& Sources();
size_t LineStart(const std::u16string& text, uint32_t line);

/// The text compiled under `file`, when it is still known.
std::shared_ptr<const std::u16string> FindCompiledText(const std::string& file) {
    if (auto it = Texts().find(file); it != Texts().end())
        if (auto text = it->second.lock()) return text;
    auto& evals = EvalTexts();
    for (auto it = evals.rbegin(); it != evals.rend(); ++it)
        if (it->first == file) return it->second;
    if (auto it = Sources().find(file); it != Sources().end())
        if (auto source = it->second.lock()) return std::shared_ptr<const std::u16string>(source, &source->rewritten);
    return nullptr;
}

bool IsNamePart(char16_t c) {
    return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || (c >= u'0' && c <= u'9') || c == u'_' ||
           c == u'$' || c > 0x7f;
}

/// Whether the undeclared `name` the engine stopped at is followed by the parenthesis of
/// a call. The engine places the error at the start of the expression that failed (line
/// from 1, column counted from 0 or 1), so the name's first use from there on, not read
/// as a member, is the one that failed.
bool NameIsCalled(const std::u16string& text, uint32_t line, uint32_t column, const std::u16string& name) {
    if (name.empty()) return false;
    const size_t lineStart = LineStart(text, line);
    size_t from = lineStart + (column > 0 ? column - 1 : 0);
    const size_t limit = std::min(text.size(), from + 4096);
    for (size_t at = text.find(name, from); at != std::u16string::npos && at < limit; at = text.find(name, at + 1)) {
        if (at > 0 && (IsNamePart(text[at - 1]) || text[at - 1] == u'.')) continue;
        size_t p = at + name.size();
        if (p < text.size() && IsNamePart(text[p])) continue;
        while (p < text.size() && (text[p] == u' ' || text[p] == u'\t' || text[p] == u'\r' || text[p] == u'\n'))
            ++p;
        return p < text.size() && text[p] == u'(';
    }
    return false;
}

std::unordered_map<JS::Realm*, ConditionalState*>& EvalStates() {
    static auto* states = new std::unordered_map<JS::Realm*, ConditionalState*>();
    return *states;
}

/// __qyRtPrepareEval(text): what eval() compiles under JScript's reading, or [number,
/// description] when JScript refuses the text. The conditional-compilation state is the
/// script's own where the realm has one.
bool PrepareEval(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    if (!args.get(0).isString()) {
        args.rval().set(args.get(0));
        return true;
    }
    std::u16string source = CopyString(cx, args.get(0).toString());
    ConditionalState fresh;
    auto found = EvalStates().find(JS::GetCurrentRealmOrNull(cx));
    ConditionalState& cc = found != EvalStates().end() ? *found->second : fresh;
    PreparedCode prepared =
        PrepareJScript(source, cc, JS::ToBoolean(args.get(1)) ? CodeKind::EvalCodeInFunction : CodeKind::EvalCode);
    if (prepared.error) {
        return ReturnNumberAndDescription(cx, args, prepared.error->code, prepared.error->description);
    }
    JSString* code = NewString(cx, prepared.code);
    if (!code) return false;
    KeepEvalText(cx, prepared.code);
    args.rval().setString(code);
    return true;
}

/// __qyRtDebugWrite(text): hands one call's text to the output hook.
bool DebugWrite(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    JS::RootedString text(cx, JS::ToString(cx, args.get(0)));
    if (!text) return false;
    if (g_debugOutput) {
        // The script's words, marked as such and kept on one line in the log.
        std::u16string copy = text::ScriptLogLine(CopyString(cx, text));
        // The hook is the embedder's code: nothing it throws may cross into the engine.
        try {
            g_debugOutput(copy);
        } catch (...) {
        }
    }
    args.rval().setUndefined();
    return true;
}

/// Rewritten code by file name, held weakly: the script controls own the records.
std::unordered_map<std::string, std::weak_ptr<const RewrittenSource>>& Sources() {
    static auto* sources = new std::unordered_map<std::string, std::weak_ptr<const RewrittenSource>>();
    return *sources;
}

/// Offset where line `line` (from 1) of `text` starts, lines broken as the engine breaks
/// them; the text's length when it has fewer lines.
size_t LineStart(const std::u16string& text, uint32_t line) {
    size_t pos = 0;
    for (uint32_t l = 1; l < line && pos < text.size(); ++l) {
        while (pos < text.size() && text[pos] != u'\n' && text[pos] != u'\r' && text[pos] != 0x2028 &&
               text[pos] != 0x2029)
            ++pos;
        if (pos < text.size() && text[pos] == u'\r' && pos + 1 < text.size() && text[pos + 1] == u'\n') ++pos;
        if (pos < text.size()) ++pos;
    }
    return pos;
}

/// __qyRtOriginalText(fn): the user's text of a function from rewritten code.
bool OriginalText(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    if (!args.get(0).isObject()) return true;
    JS::RootedObject fn(cx, &args.get(0).toObject());
    std::u16string text;
    if (!OriginalFunctionText(cx, fn, text)) return true;
    JSString* s = NewString(cx, text);
    if (!s) return false;
    args.rval().setString(s);
    return true;
}

bool CompileAll(JSContext* cx) {
    for (auto [name, body] : scripts::kAll) {
        CompiledScript c;
        c.file = std::string(kRuntimeFilePrefix) + name + ".js";
        JS::CompileOptions opts(cx);
        opts.setFileAndLine(c.file.c_str(), 1);
        // Every function is compiled now: a lazily compiled one would be parsed again from
        // its source in every fresh global that calls it. (Kept between runs in the code
        // cache.)
        opts.setForceFullParse();
        std::string_view text = body;
        c.stencil = codecache::GlobalStencil(cx, opts, true, codecache::Hash(text), [&]() -> RefPtr<JS::Stencil> {
            JS::SourceText<mozilla::Utf8Unit> src;
            if (!src.init(cx, text.data(), text.size(), JS::SourceOwnership::Borrowed)) return nullptr;
            return JS::CompileGlobalScriptToStencil(cx, opts, src);
        });
        if (!c.stencil) return false;
        Compiled().push_back(std::move(c));
    }
    g_compiledReady = true;
    return true;
}

}  // namespace

void SetDebugOutput(DebugOutput output) { g_debugOutput = std::move(output); }

bool IsRuntimeFile(const char* file) {
    return file && std::strncmp(file, kRuntimeFilePrefix, sizeof kRuntimeFilePrefix - 1) == 0;
}

bool ScriptFrameOf(JSContext* cx, JS::HandleObject stack, std::string& file, uint32_t& line, uint32_t& column) {
    JS::RootedObject frame(cx, stack);
    while (frame && IsRuntimeSource(cx, frame)) {
        JS::RootedObject parent(cx);
        if (JS::GetSavedFrameParent(cx, nullptr, frame, &parent) != JS::SavedFrameResult::Ok) return false;
        frame = parent;
    }
    JS::RootedString source(cx);
    if (!frame || JS::GetSavedFrameSource(cx, nullptr, frame, &source) != JS::SavedFrameResult::Ok || !source ||
        JS::GetSavedFrameLine(cx, nullptr, frame, &line) != JS::SavedFrameResult::Ok ||
        JS::GetSavedFrameColumn(cx, nullptr, frame, &column) != JS::SavedFrameResult::Ok)
        return false;
    JS::UniqueChars utf8 = JS_EncodeStringToUTF8(cx, source);
    if (!utf8) {
        JS_ClearPendingException(cx);
        return false;
    }
    file = utf8.get();
    return true;
}

void SetEvalConditionalState(JS::Realm* realm, ConditionalState* cc) {
    if (!realm) return;
    if (cc) EvalStates()[realm] = cc;
    else EvalStates().erase(realm);
}

void RegisterRewrittenSource(const std::string& file, const std::shared_ptr<const RewrittenSource>& source) {
    auto& sources = Sources();
    // Records whose owners are gone leave their names behind; sweep them now and then.
    if (sources.size() > 64)
        for (auto it = sources.begin(); it != sources.end();) it = it->second.expired() ? sources.erase(it) : ++it;
    sources[file] = source;
}

std::shared_ptr<const RewrittenSource> FindRewrittenSource(const std::string& file) {
    auto& sources = Sources();
    auto it = sources.find(file);
    return it == sources.end() ? nullptr : it->second.lock();
}

bool OriginalFunctionText(JSContext* cx, JS::HandleObject function, std::u16string& text) {
    JS::RootedFunction fun(cx, JS_GetObjectFunction(function));
    if (!fun) return false;
    JSScript* script = JS_GetFunctionScript(cx, fun);
    if (!script || !JS_GetScriptFilename(script)) return false;
    auto it = Sources().find(JS_GetScriptFilename(script));
    if (it == Sources().end()) return false;
    std::shared_ptr<const RewrittenSource> source = it->second.lock();
    if (!source) return false;
    unsigned line = JS_GetScriptBaseLineNumber(cx, script);
    JSString* decompiled = JS_DecompileFunction(cx, fun);
    if (!decompiled) {
        JS_ClearPendingException(cx);
        return false;
    }
    std::u16string rewritten = CopyString(cx, decompiled);
    if (rewritten.empty()) return false;
    // The function's text starts on its first line; its place there gives the way back.
    size_t at = source->rewritten.find(rewritten, LineStart(source->rewritten, line));
    if (at == std::u16string::npos) return false;
    uint32_t start = source->positions.OriginalOffset(static_cast<uint32_t>(at));
    uint32_t last = source->positions.OriginalOffset(static_cast<uint32_t>(at + rewritten.size() - 1));
    if (last < start || last >= source->original.size()) return false;
    text = source->original.substr(start, last - start + 1);
    return true;
}

void RegisterCompiledText(const std::string& file, const std::shared_ptr<const std::u16string>& text) {
    auto& texts = Texts();
    if (texts.size() > 64)
        for (auto it = texts.begin(); it != texts.end();) it = it->second.expired() ? texts.erase(it) : ++it;
    texts[file] = text;
}

MappedError MapEngineError(const JSErrorReport& report) {
    std::string message = report.message() ? report.message().c_str() : "";
    bool called = false;
    if (report.errorNumber == JSMSG_NOT_DEFINED && report.filename) {
        if (auto text = FindCompiledText(report.filename)) {
            std::u16string name = text::Utf8ToUtf16(message.substr(0, message.find(" is not defined")));
            called = NameIsCalled(*text, report.lineno, report.column, name);
        }
    }
    return MapRuntimeError(report.errorNumber, static_cast<JSExnType>(report.exnType), message, called);
}

void ReleaseRuntime() {
    Compiled().clear();
    g_compiledReady = false;
}

bool InstallRuntime(JSContext* cx, JS::HandleObject global) {
    static const JSFunctionSpec natives[] = {
        JS_FN("__qyRtMakeError", MakeError, 2, 0),
        JS_FN("__qyRtEngineError", EngineError, 1, 0),
        JS_FN("__qyRtPrepareEval", PrepareEval, 1, 0),
        JS_FN("__qyRtDebugWrite", DebugWrite, 1, 0),
        JS_FN("__qyRtOriginalText", OriginalText, 1, 0),
        JS_FS_END,
    };
    if (!JS_DefineFunctions(cx, global, natives)) return false;
    if (!g_compiledReady) {
        Compiled().clear();
        if (!CompileAll(cx)) {
            Compiled().clear();
            return false;
        }
    }
    for (const CompiledScript& c : Compiled()) {
        JS::CompileOptions opts(cx);
        opts.setFileAndLine(c.file.c_str(), 1);
        JS::InstantiateOptions instantiate(opts);
        JS::RootedScript script(cx, JS::InstantiateGlobalStencil(cx, instantiate, c.stencil));
        JS::RootedValue rv(cx);
        if (!script || !JS_ExecuteScript(cx, script, &rv)) return false;
    }
    return true;
}

}  // namespace qy::jscript
