/** @file PageHost.cpp
 * The page natives. Trees cross as one flat array the environment script walks:
 * element: 1, name, space (0 HTML, 1 SVG, 2 MathML), attribute count, name, value, …,
 * child count; text: 3, data; comment: 8, data; doctype: 10, name, public id, system id.
 * With a seed the clock is virtual: it starts at a fixed instant, moves on by one
 * microsecond at every reading (a script waiting for time to pass still finishes) and
 * by the timers' delays as they run.
 */
#include "env/PageHost.h"

#include <js/Array.h>
#include <js/JSON.h>
#include <js/CompilationAndEvaluation.h>
#include <js/Date.h>
#include <js/ErrorReport.h>
#include <js/Exception.h>
#include <js/Realm.h>
#include <js/SavedFrameAPI.h>
#include <js/SourceText.h>
#include <js/ValueArray.h>

#include <atomic>
#include <chrono>
#include <cmath>
#include <cstdlib>
#include <cstring>
#include <ctime>
#include <fstream>
#include <sstream>

#include "env/CryptoHost.h"
#include "env/Environment.h"
#include "env/HtmlTokens.h"
#include "env/Selectors.h"
#include "jscript/Runtime.h"
#include "jscript/SourceGate.h"
#include "page/CookieJar.h"
#include "page/HtmlTree.h"
#include "text/CodePage.h"
#include "text/ScriptFileText.h"

namespace qy::env {

class PageState {
public:
    page::CookieJar jar;
    bool jscript = true;
    bool seeded = false;
    uint64_t rng = 0;
    double startMs = 0;      ///< the virtual clock's start
    double timerMs = 0;      ///< how far the timers have moved it
    uint64_t readings = 0;   ///< microseconds added by readings
    std::string folder;
    std::u16string errorPlace;  ///< where the last page script that threw stopped
    /// The page's scripts the JScript rules rewrote: kept while the page lives, so that
    /// their positions and functions' text are the page's own.
    std::vector<std::shared_ptr<const jscript::RewrittenSource>> rewritten;

    uint64_t Next() {
        // splitmix64: one 64-bit word per step, the same sequence for the same seed.
        uint64_t z = (rng += 0x9E3779B97F4A7C15ull);
        z = (z ^ (z >> 30)) * 0xBF58476D1CE4E5B9ull;
        z = (z ^ (z >> 27)) * 0x94D049BB133111EBull;
        return z ^ (z >> 31);
    }
    double NowMs() {
        if (!seeded) {
            using namespace std::chrono;
            return static_cast<double>(duration_cast<milliseconds>(system_clock::now().time_since_epoch()).count());
        }
        return startMs + timerMs + static_cast<double>(readings) / 1000.0;
    }
};

void PageStateDeleter::operator()(PageState* p) const { delete p; }

bool DefineCanvasHost(JSContext* cx, JS::HandleObject host);
bool DefineGlHost(JSContext* cx, JS::HandleObject host);

namespace {

// 2024-06-01 00:00:00 UTC: where a seeded run's clock starts.
constexpr double kSeededStartMs = 1717200000000.0;
constexpr uint32_t kMaxRandomBytes = 65536;

PageSetup& Setup() {
    static PageSetup setup;
    return setup;
}

PageState* StateOf(JSContext* cx) {
    JS::Realm* realm = JS::GetCurrentRealmOrNull(cx);
    auto* env = realm ? static_cast<Environment*>(JS::GetRealmPrivate(realm)) : nullptr;
    return env ? env->Page() : nullptr;
}

std::u16string ArgText(JSContext* cx, JS::HandleValue v, bool& ok) {
    ok = true;
    JS::RootedString s(cx, JS::ToString(cx, v));
    if (!s) {
        ok = false;
        return {};
    }
    size_t n = JS_GetStringLength(s);
    std::u16string out(n, u'\0');
    if (n && !JS_CopyStringChars(cx, mozilla::Range<char16_t>(out.data(), n), s)) ok = false;
    return out;
}

bool PushString(JSContext* cx, JS::RootedValueVector& out, const std::string& utf8) {
    JSString* s = JS_NewStringCopyUTF8N(cx, JS::UTF8Chars(utf8.data(), utf8.size()));
    return s && out.append(JS::StringValue(s));
}

bool TreeToArray(JSContext* cx, const page::HtmlTree& tree, JS::MutableHandleValue rval) {
    JS::RootedValueVector out(cx);
    for (const page::HtmlItem& item : tree.items) {
        if (!out.append(JS::Int32Value(static_cast<int32_t>(item.kind)))) return false;
        switch (item.kind) {
            case page::HtmlItem::Kind::Element:
                if (!PushString(cx, out, item.name) || !out.append(JS::Int32Value(static_cast<int32_t>(item.space))) ||
                    !out.append(JS::Int32Value(static_cast<int32_t>(item.attributes.size()))))
                    return false;
                for (const auto& [name, value] : item.attributes)
                    if (!PushString(cx, out, name) || !PushString(cx, out, value)) return false;
                if (!out.append(JS::Int32Value(static_cast<int32_t>(item.children)))) return false;
                // A script says where its text starts in the page (0, 0: nowhere).
                if (item.name == "script" && item.space == page::HtmlItem::Space::Html &&
                    (!out.append(JS::NumberValue(item.line)) || !out.append(JS::NumberValue(item.column))))
                    return false;
                break;
            case page::HtmlItem::Kind::Text:
            case page::HtmlItem::Kind::Comment:
                if (!PushString(cx, out, item.text)) return false;
                break;
            case page::HtmlItem::Kind::Doctype:
                if (!PushString(cx, out, item.name) || !PushString(cx, out, item.text) || !PushString(cx, out, item.system))
                    return false;
                break;
        }
    }
    JSObject* array = JS::NewArrayObject(cx, out);
    if (!array) return false;
    rval.setObject(*array);
    return true;
}

/// The small reader's nodes in the same flat form.
bool FragmentToArray(JSContext* cx, const std::vector<FragmentNode>& nodes, JS::MutableHandleValue rval) {
    JS::RootedValueVector out(cx);
    auto push = [&](const std::u16string& s) {
        JSString* str = JS_NewUCStringCopyN(cx, s.data(), s.size());
        return str && out.append(JS::StringValue(str));
    };
    for (const FragmentNode& node : nodes) {
        if (!out.append(JS::Int32Value(static_cast<int32_t>(node.kind)))) return false;
        if (node.kind != FragmentNode::Kind::Element) {
            if (!push(node.text)) return false;
            continue;
        }
        JSString* name = JS_AtomizeUCStringN(cx, node.name.data(), node.name.size());
        if (!name || !out.append(JS::StringValue(name)) || !out.append(JS::Int32Value(0)) ||
            !out.append(JS::Int32Value(static_cast<int32_t>(node.attributes.size()))))
            return false;
        for (const auto& [attribute, value] : node.attributes)
            if (!push(attribute) || !push(value)) return false;
        if (!out.append(JS::Int32Value(static_cast<int32_t>(node.children)))) return false;
        // A fragment's script says it starts nowhere in the page.
        if (node.name == u"script" && (!out.append(JS::Int32Value(0)) || !out.append(JS::Int32Value(0)))) return false;
    }
    JSObject* array = JS::NewArrayObject(cx, out);
    if (!array) return false;
    rval.setObject(*array);
    return true;
}

/// host.parseHtml(html, context, svg): the fragment as innerHTML of a `context` element
/// reads it; a whole page when `context` is null. The plain fragments scripts give
/// innerHTML most are read by the small reader; the full parser reads the rest.
bool HostParseHtml(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    bool ok = true;
    std::u16string html = ArgText(cx, args.get(0), ok);
    if (!ok) return false;
    if (args.get(1).isNullOrUndefined()) return TreeToArray(cx, page::ParseDocument(text::Utf16ToUtf8(html)), args.rval());
    std::u16string context = ArgText(cx, args.get(1), ok);
    if (!ok) return false;
    bool svg = JS::ToBoolean(args.get(2));
    if (!svg) {
        if (auto nodes = ReadPlainFragment(html, context)) return FragmentToArray(cx, *nodes, args.rval());
    }
    return TreeToArray(cx, page::ParseFragment(text::Utf16ToUtf8(html), text::Utf16ToUtf8(context), svg), args.rval());
}

bool HostCookie(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    PageState* state = StateOf(cx);
    std::string text = state ? state->jar.ScriptText(state->NowMs()) : std::string();
    JSString* s = JS_NewStringCopyUTF8N(cx, JS::UTF8Chars(text.data(), text.size()));
    if (!s) return false;
    args.rval().setString(s);
    return true;
}

bool HostSetCookie(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    bool ok = true;
    std::string line = text::Utf16ToUtf8(ArgText(cx, args.get(0), ok));
    if (!ok) return false;
    PageState* state = StateOf(cx);
    args.rval().setBoolean(state && state->jar.Set(line, page::CookieSource::Script, state->NowMs()));
    return true;
}

/// host.random(): Math.random of a seeded run.
bool HostRandom(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    PageState* state = StateOf(cx);
    uint64_t bits = state ? state->Next() : 0;
    args.rval().setDouble(static_cast<double>(bits >> 11) * 0x1.0p-53);
    return true;
}

/// host.randomBytes(n) of a seeded run: the seed's bytes instead of the system's.
bool HostSeededBytes(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    double wanted = args.get(0).isNumber() ? args.get(0).toNumber() : 0;
    uint32_t n = wanted > 0 ? static_cast<uint32_t>(std::min<double>(wanted, kMaxRandomBytes)) : 0;
    PageState* state = StateOf(cx);
    JS::RootedValueVector bytes(cx);
    if (!bytes.reserve(n)) return false;
    uint64_t word = 0;
    for (uint32_t i = 0; i < n; ++i) {
        if (i % 8 == 0) word = state ? state->Next() : 0;
        bytes.infallibleAppend(JS::Int32Value(static_cast<int32_t>((word >> ((i % 8) * 8)) & 0xff)));
    }
    JSObject* array = JS::NewArrayObject(cx, bytes);
    if (!array) return false;
    args.rval().setObject(*array);
    return true;
}

/// host.clock(ms): the timers have moved the page's time to `ms` after its start.
bool HostClock(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    if (PageState* state = StateOf(cx); state && args.get(0).isNumber() && std::isfinite(args.get(0).toNumber()))
        state->timerMs = std::max(state->timerMs, args.get(0).toNumber());
    return true;
}

/// The page's fine clock as Chrome keeps it: the monotonic time in seconds, kept to
/// whole tenths of a millisecond (a page is never given a finer one).
bool HostMonotonic(JSContext*, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    auto since = std::chrono::steady_clock::now().time_since_epoch();
    auto tenths = std::chrono::duration_cast<std::chrono::microseconds>(since).count() / 100;
    args.rval().setDouble(static_cast<double>(tenths) / 1e4);
    return true;
}

/// The wall clock in milliseconds, to a tenth of one (a page's time origin).
bool HostWallTime(JSContext*, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    auto since = std::chrono::system_clock::now().time_since_epoch();
    auto tenths = std::chrono::duration_cast<std::chrono::microseconds>(since).count() / 100;
    args.rval().setDouble(static_cast<double>(tenths) / 10);
    return true;
}

/// The page line of the first error of the page's own text since the last install.
std::atomic<uint32_t> g_firstPageErrorLine{0};

/// Where an error a page's script let out happened, in the page's words ("页面第 13 行"
/// for a script written in the page, whose lines are the page's); empty when neither
/// the error nor its stack names a page script.
std::u16string PagePlace(JSContext* cx, const JS::ExceptionStack& stack, uint32_t& pageLine) {
    pageLine = 0;
    auto place = [&pageLine](std::string source, uint32_t line) -> std::u16string {
        // Code a page script gave eval or Function: the place of that call.
        if (size_t at = source.find(" line "); at != std::string::npos) {
            line = static_cast<uint32_t>(std::strtoul(source.c_str() + at + 6, nullptr, 10));
            source.resize(at);
        }
        if (!IsPageScriptName(source.c_str()) || line == 0) return {};
        std::string name = source.substr(5), number = std::to_string(line);
        if (name.starts_with("inline-")) {
            pageLine = line;
            return u"页面第 " + text::Utf8ToUtf16(number) + u" 行";
        }
        if (name.starts_with("written-")) return u"页面写入的脚本第 " + text::Utf8ToUtf16(number) + u" 行";
        return u"页面脚本 " + text::Utf8ToUtf16(name) + u" 第 " + text::Utf8ToUtf16(number) + u" 行";
    };
    JS::ErrorReportBuilder builder(cx);
    if (builder.init(cx, stack, JS::ErrorReportBuilder::NoSideEffects) && builder.report() &&
        builder.report()->filename) {
        std::u16string found = place(builder.report()->filename, builder.report()->lineno);
        if (!found.empty()) return found;
    }
    JS_ClearPendingException(cx);
    // An error the environment raised for the script: the script's frame that called it.
    JS::RootedObject frame(cx, stack.stack());
    while (frame) {
        JS::RootedString source(cx);
        uint32_t line = 0;
        JS::GetSavedFrameSource(cx, nullptr, frame, &source, JS::SavedFrameSelfHosted::Exclude);
        JS::GetSavedFrameLine(cx, nullptr, frame, &line, JS::SavedFrameSelfHosted::Exclude);
        if (source) {
            JS::UniqueChars utf8 = JS_EncodeStringToUTF8(cx, source);
            if (utf8) {
                std::u16string found = place(utf8.get(), line);
                if (!found.empty()) return found;
            }
        }
        JS::RootedObject next(cx);
        JS::GetSavedFrameParent(cx, nullptr, frame, &next, JS::SavedFrameSelfHosted::Exclude);
        frame = next;
    }
    JS_ClearPendingException(cx);
    return {};
}

/// host.errorPlace(): where the last page script that threw stopped ("" when unknown).
bool HostErrorPlace(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    PageState* state = StateOf(cx);
    std::u16string place = state ? std::move(state->errorPlace) : std::u16string();
    if (state) state->errorPlace.clear();
    JSString* s = JS_NewUCStringCopyN(cx, place.data(), place.size());
    if (!s) return false;
    args.rval().setString(s);
    return true;
}

/// host.runScript(code, name, line, column[, global]): runs one of the page's scripts as
/// global code, its positions counted from where its text starts in the page (line from
/// 1, column from 0; an external script's from 1, 0); what it throws goes on to the
/// caller. With `global` (a worker's), the code runs there instead; its value is returned.
bool HostRunScript(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    bool ok = true;
    std::u16string code = ArgText(cx, args.get(0), ok);
    if (!ok) return false;
    std::string name = "page:" + text::Utf16ToUtf8(ArgText(cx, args.get(1), ok));
    if (!ok) return false;
    PageState* state = StateOf(cx);
    double lineArg = args.get(2).isNumber() ? args.get(2).toNumber() : 1;
    double columnArg = args.get(3).isNumber() ? args.get(3).toNumber() : 0;
    unsigned line = lineArg >= 1 && lineArg < 1e7 ? static_cast<unsigned>(lineArg) : 1;
    unsigned column = columnArg >= 0 && columnArg < 1e7 ? static_cast<unsigned>(columnArg) : 0;
    if (state && state->jscript) {
        // The rewriting maps positions of the text it is given: that text starts where
        // the script starts in the page, so that its map gives the page's positions.
        if (line > 1 || column > 0) code = std::u16string(line - 1, u'\n') + std::u16string(column, u' ') + code;
        line = 1;
        column = 0;
        jscript::ConditionalState cc;
        jscript::PreparedCode prepared = jscript::PrepareJScript(code, cc, jscript::CodeKind::Program);
        if (prepared.error) {
            std::string message = text::Utf16ToUtf8(prepared.error->description);
            JS_ReportErrorUTF8(cx, "%s", message.c_str());
            return false;
        }
        if (!prepared.positions.Identity()) {
            auto rewritten = std::make_shared<jscript::RewrittenSource>(
                jscript::RewrittenSource{code, prepared.code, std::move(prepared.positions)});
            jscript::RegisterRewrittenSource(name, rewritten);
            state->rewritten.push_back(std::move(rewritten));
        }
        code = std::move(prepared.code);
    }
    JS::SourceText<char16_t> src;
    if (!src.init(cx, code.data(), code.size(), JS::SourceOwnership::Borrowed)) return false;
    JS::CompileOptions opts(cx);
    opts.setFileAndLine(name.c_str(), line);
    opts.setColumn(column);
    JS::RootedValue ignored(cx);
    JS::RootedObject into(cx, args.get(4).isObject() ? &args.get(4).toObject() : nullptr);
    if (into && JS_IsGlobalObject(into)) {
        bool ran = false;
        {
            JSAutoRealm ar(cx, into);
            ran = JS::Evaluate(cx, opts, src, &ignored);
        }
        if (ran && !JS_WrapValue(cx, &ignored)) return false;
        if (ran) args.rval().set(ignored);
        return ran;
    }
    // What the page's scripts look for in vain is noted as the user's code's would be.
    JS::Realm* realm = JS::GetCurrentRealmOrNull(cx);
    auto* env = realm ? static_cast<Environment*>(JS::GetRealmPrivate(realm)) : nullptr;
    bool was = env ? env->SetRecording(true) : false;
    bool ran = JS::Evaluate(cx, opts, src, &ignored);
    if (env) env->SetRecording(was);
    if (!ran && state) {
        // The place is read now, while the error is fresh; it goes on to the caller.
        JS::ExceptionStack stack(cx);
        if (JS::StealPendingExceptionStack(cx, &stack)) {
            uint32_t pageLine = 0;
            state->errorPlace = PagePlace(cx, stack, pageLine);
            uint32_t none = 0;
            if (pageLine) g_firstPageErrorLine.compare_exchange_strong(none, pageLine);
            JS::SetPendingExceptionStack(cx, stack);
        }
    }
    return ran;
}

/// host.readLocal(src): a local script of the page (beside the page's file), or null
/// when it is not there or not local.
bool HostReadLocal(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setNull();
    bool ok = true;
    std::string src = text::Utf16ToUtf8(ArgText(cx, args.get(0), ok));
    if (!ok) return false;
    PageState* state = StateOf(cx);
    if (!state) return true;
    src = src.substr(0, src.find_first_of("?#"));
    if (src.starts_with("file://")) src = src.substr(7);
    else if (src.find("://") != std::string::npos || src.starts_with("//") || src.starts_with("data:")) return true;
    std::string path = !src.empty() && src.front() == '/' ? src : (state->folder.empty() ? "." : state->folder) + "/" + src;
    std::ifstream in(path, std::ios::binary);
    if (!in) return true;
    std::ostringstream bytes;
    bytes << in.rdbuf();
    text::DecodedFile decoded = text::DecodeScriptFile(bytes.str());
    std::u16string code = text::Utf8ToUtf16(text::AnsiToUtf8(decoded.text));
    JSString* s = JS_NewUCStringCopyN(cx, code.data(), code.size());
    if (!s) return false;
    args.rval().setString(s);
    return true;
}

const JSFunctionSpec kPageFunctions[] = {
    JS_FN("parseHtml", HostParseHtml, 3, 0),
    JS_FN("cookie", HostCookie, 0, 0),
    JS_FN("setCookie", HostSetCookie, 1, 0),
    JS_FN("clock", HostClock, 1, 0),
    JS_FN("monotonic", HostMonotonic, 0, 0),
    JS_FN("wallTime", HostWallTime, 0, 0),
    JS_FN("runScript", HostRunScript, 5, 0),
    JS_FN("readLocal", HostReadLocal, 1, 0),
    JS_FN("errorPlace", HostErrorPlace, 0, 0),
    JS_FS_END,
};

/// The process's time zone follows the profile's (Date and Intl read it); without one
/// it is the zone the process started in. A name must be one the system knows; the
/// answer says whether it was.
bool FollowTimeZone(const std::string& name) {
    static const std::optional<std::string> original = [] {
        const char* tz = std::getenv("TZ");
        return tz ? std::optional<std::string>(tz) : std::nullopt;
    }();
    static std::string current;
    bool known = !name.empty() && name.find("..") == std::string::npos &&
                 name.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZabcdefghijklmnopqrstuvwxyz0123456789_+-/") ==
                     std::string::npos &&
                 std::ifstream("/usr/share/zoneinfo/" + name).good();
    std::string wanted = known ? name : std::string();
    if (wanted == current) return known;
    current = wanted;
    if (!wanted.empty()) setenv("TZ", wanted.c_str(), 1);
    else if (original) setenv("TZ", original->c_str(), 1);
    else unsetenv("TZ");
    tzset();
    JS::ResetTimeZone();
    return known;
}

/// Date.now() and new Date() of a seeded page read the virtual clock.
double PageTime(double microseconds, JSContext* cx) {
    PageState* state = StateOf(cx);
    if (!state || !state->seeded) return microseconds;
    ++state->readings;
    return std::floor(state->NowMs()) * 1000.0;
}

}  // namespace

void SetPageSetup(PageSetup setup) { Setup() = std::move(setup); }
const PageSetup& CurrentPageSetup() { return Setup(); }

uint32_t FirstPageErrorLine() { return g_firstPageErrorLine.load(); }

bool IsPageScriptName(const char* file) { return file && std::strncmp(file, "page:", 5) == 0; }

PageStatePtr NewPageState(const std::u16string& address, bool jscript) {
    PageStatePtr state(new PageState);
    g_firstPageErrorLine = 0;
    const PageSetup& setup = Setup();
    state->jscript = jscript;
    state->folder = setup.folder;
    if (setup.seed) {
        state->seeded = true;
        state->rng = *setup.seed;
        state->startMs = kSeededStartMs;
    }
    state->jar.SetAddress(text::Utf16ToUtf8(address.empty() ? u"about:blank" : address));
    double now = state->NowMs();
    for (const std::string& line : setup.setCookies) state->jar.Set(line, page::CookieSource::Http, now);
    if (!setup.typedCookies.empty()) state->jar.SetTyped(setup.typedCookies, now);
    return state;
}

bool DefinePageHost(JSContext* cx, JS::HandleObject host, PageState& state) {
    static bool clockHooked = [] {
        JS::SetReduceMicrosecondTimePrecisionCallback(PageTime);
        return true;
    }();
    (void)clockHooked;
    if (!JS_DefineFunctions(cx, host, kPageFunctions) || !DefineSelectorHost(cx, host) || !DefineCanvasHost(cx, host) ||
        !DefineGlHost(cx, host) || !DefineCryptoHost(cx, host))
        return false;
    JS::RootedValue seeded(cx, JS::BooleanValue(state.seeded));
    if (!JS_DefineProperty(cx, host, "seeded", seeded, JSPROP_ENUMERATE)) return false;
    if (state.seeded) {
        if (!JS_DefineFunction(cx, host, "random", HostRandom, 0, 0) ||
            !JS_DefineFunction(cx, host, "randomBytes", HostSeededBytes, 1, 0))
            return false;
    }
    const PageSetup& setup = Setup();
    if (!setup.html.empty()) {
        JS::RootedString html(cx, JS_NewUCStringCopyN(cx, setup.html.data(), setup.html.size()));
        if (!html || !JS_DefineProperty(cx, host, "page", html, JSPROP_ENUMERATE)) return false;
    }
    bool zoneFollowed = false;
    if (!setup.profile.empty()) {
        // Read as JSON, never run: a profile is data whatever it holds.
        JS::RootedValue profile(cx);
        if (JS_ParseJSON(cx, setup.profile.data(), static_cast<uint32_t>(setup.profile.size()), &profile) &&
            profile.isObject()) {
            if (!JS_DefineProperty(cx, host, "profile", profile, JSPROP_ENUMERATE)) return false;
            JS::RootedObject object(cx, &profile.toObject());
            JS::RootedValue zone(cx), zoneName(cx);
            std::string name;
            if (JS_GetProperty(cx, object, "timeZone", &zone) && zone.isObject()) {
                JS::RootedObject zoneObject(cx, &zone.toObject());
                if (JS_GetProperty(cx, zoneObject, "name", &zoneName) && zoneName.isString()) {
                    JS::RootedString text(cx, zoneName.toString());
                    if (JS::UniqueChars utf8 = JS_EncodeStringToUTF8(cx, text)) name = utf8.get();
                }
            }
            JS_ClearPendingException(cx);
            // The modern target's dates keep a zone of their own: the profile's, once known.
            if (FollowTimeZone(name)) {
                JS::RootedString zoneText(cx, JS_NewStringCopyN(cx, name.data(), name.size()));
                if (!zoneText || !JS_DefineProperty(cx, host, "timeZone", zoneText, JSPROP_ENUMERATE)) return false;
            }
            zoneFollowed = true;
        } else {
            JS_ClearPendingException(cx);
            if (!JS_DefineProperty(cx, host, "profileRefused", JS::TrueHandleValue, JSPROP_ENUMERATE)) return false;
        }
    }
    if (!zoneFollowed) FollowTimeZone({});
    return true;
}

}  // namespace qy::env
