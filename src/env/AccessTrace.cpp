/** @file AccessTrace.cpp
 * The trace's entries and their two written forms, and the engine side: the report of
 * a traced interface member (called by its native wrapper after each call), which
 * writes the values it saw without running any script code.
 */
#include "env/AccessTrace.h"

#include <js/Array.h>
#include <js/BigInt.h>
#include <js/Proxy.h>
#include <js/String.h>
#include <js/Exception.h>
#include <js/SavedFrameAPI.h>
#include <js/Symbol.h>
#include <jsapi.h>
#include <jsfriendapi.h>

#include <cmath>
#include <cstring>

#include "persona/NativeFunction.h"
#include "text/CodePage.h"
#include "text/LogLines.h"

namespace qy::env {
namespace {

TraceOutput g_output;
uint64_t g_order = 0;
bool g_reporting = false;

// ---- previews -----------------------------------------------------------------------

std::u16string Cut(std::u16string s) {
    if (s.size() > kTracePreviewLength) {
        s.resize(kTracePreviewLength - 1);
        s += u'…';
    }
    return s;
}

/// At most `limit` characters of `str` (and whether there were more).
std::u16string Chars(JSContext* cx, JSString* str, size_t limit, bool* more = nullptr) {
    size_t n = JS_GetStringLength(str);
    if (more) *more = n > limit;
    if (n > limit) n = limit;
    std::u16string out;
    out.reserve(n);
    for (size_t i = 0; i < n; ++i) {
        char16_t c = 0;
        if (!JS_GetStringCharAt(cx, str, i, &c)) break;
        out.push_back(c);
    }
    return out;
}

std::u16string Quoted(JSContext* cx, JSString* str) {
    bool more = false;
    std::u16string body = Chars(cx, str, kTracePreviewLength, &more), out = u"\"";
    for (char16_t c : body) {
        if (c == u'"' || c == u'\\') out.push_back(u'\\');
        if (c == u'\n') out += u"\\n";
        else if (c == u'\r') out += u"\\r";
        else if (c == u'\t') out += u"\\t";
        else out.push_back(c);
    }
    if (more) out += u'…';
    return out + u'"';
}

std::u16string NumberText(double d) {
    if (std::isnan(d)) return u"NaN";
    if (std::isinf(d)) return d > 0 ? u"Infinity" : u"-Infinity";
    if (d == 0 && std::signbit(d)) return u"-0";
    char buf[32];
    if (d == std::floor(d) && std::fabs(d) < 1e16) std::snprintf(buf, sizeof buf, "%.0f", d);
    else std::snprintf(buf, sizeof buf, "%.17g", d);
    // The shortest form that reads back the same number.
    for (int precision = 1; precision <= 17 && d != std::floor(d); ++precision) {
        char shorter[32];
        std::snprintf(shorter, sizeof shorter, "%.*g", precision, d);
        if (std::strtod(shorter, nullptr) == d) {
            std::strcpy(buf, shorter);
            break;
        }
    }
    return text::Utf8ToUtf16(buf);
}

/// The object's Symbol.toStringTag when an own data property of it or of an ordinary
/// prototype gives one (no getter, no proxy: nothing of the page runs).
std::u16string TagOf(JSContext* cx, JS::HandleObject obj) {
    JS::RootedId tag(cx, JS::PropertyKey::Symbol(JS::GetWellKnownSymbol(cx, JS::SymbolCode::toStringTag)));
    JS::RootedObject o(cx, obj);
    for (int depth = 0; o && depth < 12 && !js::IsProxy(o); ++depth) {
        JS::Rooted<mozilla::Maybe<JS::PropertyDescriptor>> desc(cx);
        if (!JS_GetOwnPropertyDescriptorById(cx, o, tag, &desc)) {
            JS_ClearPendingException(cx);
            return {};
        }
        if (desc.isSome()) {
            if (desc->isDataDescriptor() && desc->value().isString()) return Chars(cx, desc->value().toString(), 60);
            return {};
        }
        JS::RootedObject proto(cx);
        if (!JS_GetPrototype(cx, o, &proto)) {
            JS_ClearPendingException(cx);
            return {};
        }
        o = proto;
    }
    return {};
}

/// True for a proxy the environment made to trace an object's values: its handler, an
/// ordinary object no script can reach, says so with an own "environmentObject".
bool EnvironmentProxy(JSContext* cx, JS::HandleObject obj) {
    if (!js::IsScriptedProxy(obj)) return false;
    const JS::Value& slot = js::GetProxyReservedSlot(obj, 0);  // a scripted proxy's handler
    if (!slot.isObject() || js::IsProxy(&slot.toObject())) return false;
    JS::RootedObject handler(cx, &slot.toObject());
    JS::Rooted<mozilla::Maybe<JS::PropertyDescriptor>> desc(cx);
    if (!JS_GetOwnPropertyDescriptor(cx, handler, "environmentObject", &desc)) {
        JS_ClearPendingException(cx);
        return false;
    }
    return desc.isSome() && desc->isDataDescriptor() && desc->value().isTrue();
}

std::u16string ObjectPreview(JSContext* cx, JS::HandleObject obj) {
    // A proxy shows what it stands for when that is one of the page's objects (the
    // storage is one, chrome's objects are others); the page's own proxies are only named.
    if (js::IsProxy(obj)) {
        JS::RootedObject target(cx, js::GetProxyTargetObject(obj));
        if (target && !js::IsProxy(target) && EnvironmentProxy(cx, obj)) return ObjectPreview(cx, target);
        std::u16string tag = target && !js::IsProxy(target) ? TagOf(cx, target) : std::u16string();
        if (!tag.empty()) return tag;
        return JS::IsCallable(obj) ? u"ƒ Proxy" : u"Proxy";
    }
    if (JS_ObjectIsFunction(obj)) {
        JSFunction* fun = JS_GetObjectFunction(obj);
        JSString* id = fun ? JS_GetFunctionId(fun) : nullptr;
        return u"ƒ " + (id ? Chars(cx, id, 60) : std::u16string()) + u"()";
    }
    bool isArray = false;
    if (JS::IsArrayObject(cx, obj, &isArray) && isArray) {
        uint32_t length = 0;
        if (JS::GetArrayLength(cx, obj, &length)) return u"Array(" + NumberText(length) + u")";
        JS_ClearPendingException(cx);
        return u"Array";
    }
    JS_ClearPendingException(cx);
    std::u16string tag = TagOf(cx, obj);
    if (!tag.empty()) return tag;
    const char* cls = JS::GetClass(obj)->name;
    return text::Utf8ToUtf16(cls ? cls : "Object");
}

std::u16string Preview(JSContext* cx, JS::HandleValue v) {
    if (v.isUndefined()) return u"undefined";
    if (v.isNull()) return u"null";
    if (v.isBoolean()) return v.toBoolean() ? u"true" : u"false";
    if (v.isNumber()) return NumberText(v.toNumber());
    if (v.isString()) return Quoted(cx, v.toString());
    if (v.isSymbol()) {
        JS::RootedSymbol symbol(cx, v.toSymbol());
        JSString* d = JS::GetSymbolDescription(symbol);
        return u"Symbol(" + (d ? Chars(cx, d, 60) : std::u16string()) + u")";
    }
    if (v.isBigInt()) {
        JS::RootedBigInt big(cx, v.toBigInt());
        JSString* s = JS::BigIntToString(cx, big, 10);
        if (!s) {
            JS_ClearPendingException(cx);
            return u"BigInt";
        }
        return Cut(Chars(cx, s, kTracePreviewLength) + u"n");
    }
    if (v.isObject()) {
        JS::RootedObject obj(cx, &v.toObject());
        return Cut(ObjectPreview(cx, obj));
    }
    return u"?";
}

// ---- the report of a traced member ----------------------------------------------------

constexpr char kInternalPrefix[] = "qy-internal:";

/// The label a traced wrapper carries: its kind letter, a space, and its name.
void Report(JSContext* cx, JS::HandleValue label, JS::HandleValue self, const JS::CallArgs& args, bool ok) {
    if (!g_output || g_reporting || !label.isString()) return;
    // The page's own machinery calling its interfaces is no access of the script's.
    JS::AutoFilename file;
    unsigned line = 0, column = 0;
    if (!JS::DescribeScriptedCaller(cx, &file, &line, &column)) {
        JS_ClearPendingException(cx);
        return;
    }
    const char* name = file.get() ? file.get() : "";
    if (std::strncmp(name, kInternalPrefix, sizeof kInternalPrefix - 1) == 0) return;
    g_reporting = true;
    // What the call threw stays pending for the caller; it is only looked at.
    JS::RootedValue thrown(cx);
    bool threw = !ok && JS_IsExceptionPending(cx) && JS_GetPendingException(cx, &thrown);
    JS::AutoSaveExceptionState saved(cx);
    TraceEntry e;
    std::u16string text = Chars(cx, label.toString(), 400);
    if (text.size() < 3) {
        g_reporting = false;
        return;
    }
    switch (text[0]) {
        case u'g': e.kind = TraceKind::Get; break;
        case u's': e.kind = TraceKind::Set; break;
        case u'n': e.kind = TraceKind::Construct; break;
        default: e.kind = TraceKind::Call; break;
    }
    e.name = text.substr(2);
    // ("f": a namespace's function, such as console.log; its name says what it was called on.)
    bool named = text[0] == u'f';
    if (self.isObject() && !named && e.kind != TraceKind::Construct && !JS_IsGlobalObject(&self.toObject()))
        e.receiver = Preview(cx, self);
    if (e.kind == TraceKind::Call || e.kind == TraceKind::Construct) {
        for (unsigned i = 0; i < args.length() && i < 16; ++i) {
            if (i) e.arguments += u", ";
            e.arguments += Preview(cx, args[i]);
        }
        if (args.length() > 16) e.arguments += u", …";
    }
    if (threw) e.value = Preview(cx, thrown);
    else if (e.kind == TraceKind::Set) e.value = Preview(cx, args.get(0));
    else if (ok) e.value = Preview(cx, args.rval());
    e.threw = threw;
    e.file = name;
    e.line = line;
    e.order = ++g_order;
    saved.restore();
    g_reporting = false;
    g_output(e);
}

/// The script's place behind the environment's own frames (a proxy's trap of the page
/// runs between the script and the report).
bool ScriptPlace(JSContext* cx, std::string& file, uint32_t& line) {
    JS::RootedObject stack(cx);
    if (!JS::CaptureCurrentStack(cx, &stack, JS::StackCapture(JS::MaxFrames(12))) || !stack) {
        JS_ClearPendingException(cx);
        return false;
    }
    JS::RootedObject frame(cx, stack);
    while (frame) {
        JS::RootedString source(cx);
        JS::GetSavedFrameSource(cx, nullptr, frame, &source, JS::SavedFrameSelfHosted::Exclude);
        std::string f = source ? text::Utf16ToUtf8(Chars(cx, source, 400)) : std::string();
        if (!f.empty() && f.rfind(kInternalPrefix, 0) != 0) {
            uint32_t l = 0;
            JS::GetSavedFrameLine(cx, nullptr, frame, &l, JS::SavedFrameSelfHosted::Exclude);
            file = f;
            line = l;
            return true;
        }
        JS::RootedObject parent(cx);
        JS::GetSavedFrameParent(cx, nullptr, frame, &parent, JS::SavedFrameSelfHosted::Exclude);
        frame = parent;
    }
    return false;
}

/// host.trace(label, value): an access the page's own code saw happen (a storage item
/// read or written as a property), reported as a traced member's is.
bool HostTrace(JSContext* cx, unsigned argc, JS::Value* vp) {
    JS::CallArgs args = JS::CallArgsFromVp(argc, vp);
    args.rval().setUndefined();
    if (!g_output || g_reporting || !args.get(0).isString()) return true;
    g_reporting = true;
    JS::AutoSaveExceptionState saved(cx);
    TraceEntry e;
    std::u16string label = Chars(cx, args.get(0).toString(), 400);
    bool placed = label.size() > 2 && ScriptPlace(cx, e.file, e.line);
    if (placed) {
        // (A deletion is a write that leaves nothing.)
        e.kind = label[0] == u'g' ? TraceKind::Get : TraceKind::Set;
        e.name = label.substr(2);
        e.value = label[0] == u'd' ? u"(删除)" : Preview(cx, args.get(1));
        e.order = ++g_order;
    }
    saved.restore();
    g_reporting = false;
    if (placed) g_output(e);
    return true;
}

// ---- written forms ----------------------------------------------------------------------

void AppendJson(std::string& out, std::u16string_view s) {
    std::string utf8 = text::Utf16ToUtf8(s);
    out.push_back('"');
    for (unsigned char c : utf8) {
        switch (c) {
            case '"': out += "\\\""; break;
            case '\\': out += "\\\\"; break;
            case '\n': out += "\\n"; break;
            case '\r': out += "\\r"; break;
            case '\t': out += "\\t"; break;
            default:
                if (c < 0x20) {
                    char buf[8];
                    std::snprintf(buf, sizeof buf, "\\u%04x", c);
                    out += buf;
                } else {
                    out.push_back(static_cast<char>(c));
                }
        }
    }
    out.push_back('"');
}

char16_t Lower(char16_t c) { return c >= u'A' && c <= u'Z' ? static_cast<char16_t>(c + 32) : c; }

bool ContainsFolded(const std::u16string& hay, std::u16string_view needle) {
    if (needle.empty()) return true;
    if (hay.size() < needle.size()) return false;
    for (size_t i = 0; i + needle.size() <= hay.size(); ++i) {
        size_t k = 0;
        while (k < needle.size() && Lower(hay[i + k]) == Lower(needle[k])) ++k;
        if (k == needle.size()) return true;
    }
    return false;
}

}  // namespace

std::u16string TraceKindName(TraceKind kind) {
    switch (kind) {
        case TraceKind::Get: return u"读取";
        case TraceKind::Set: return u"写入";
        case TraceKind::Call: return u"调用";
        case TraceKind::Construct: return u"构造";
    }
    return {};
}

const char* TraceKindKey(TraceKind kind) {
    switch (kind) {
        case TraceKind::Get: return "get";
        case TraceKind::Set: return "set";
        case TraceKind::Call: return "call";
        case TraceKind::Construct: return "new";
    }
    return "";
}

std::u16string TraceText(const TraceEntry& e) {
    std::u16string s = u"#" + text::Utf8ToUtf16(std::to_string(e.order)) + u" " + TraceKindName(e.kind) + u" ";
    if (e.kind == TraceKind::Construct) s += u"new ";
    s += e.name;
    if (e.kind == TraceKind::Call || e.kind == TraceKind::Construct) s += u"(" + e.arguments + u")";
    if (!e.receiver.empty()) s += u" [" + e.receiver + u"]";
    s += e.threw ? u" 抛出 " : u" = ";
    s += e.value;
    if (e.line) s += u"（第 " + text::Utf8ToUtf16(std::to_string(e.line)) + u" 行）";
    return text::OneLogLine(s);
}

std::string TraceJson(const TraceEntry& e) {
    std::string out = "{\"order\":" + std::to_string(e.order) + ",\"kind\":\"" + TraceKindKey(e.kind) + "\",\"name\":";
    AppendJson(out, e.name);
    if (!e.receiver.empty()) {
        out += ",\"this\":";
        AppendJson(out, e.receiver);
    }
    if (e.kind == TraceKind::Call || e.kind == TraceKind::Construct) {
        out += ",\"arguments\":";
        AppendJson(out, e.arguments);
    }
    out += e.threw ? ",\"threw\":" : ",\"value\":";
    AppendJson(out, e.value);
    out += ",\"line\":" + std::to_string(e.line) + ",\"file\":";
    AppendJson(out, text::Utf8ToUtf16(e.file));
    out += "}";
    return out;
}

bool TraceMatches(const TraceEntry& e, const std::u16string& filter) {
    if (filter.empty()) return true;
    std::u16string hay = TraceText(e);
    size_t at = 0;
    while (at < filter.size()) {
        size_t end = filter.find(u' ', at);
        if (end == std::u16string::npos) end = filter.size();
        if (end > at && !ContainsFolded(hay, std::u16string_view(filter).substr(at, end - at))) return false;
        at = end + 1;
    }
    return true;
}

bool TraceLog::Add(const TraceEntry& entry) {
    bool fresh = entry.order <= 1 && !m_entries.empty();
    if (fresh) Clear();
    if (m_entries.size() >= kMaxEntries) {
        ++m_dropped;
        return fresh;
    }
    m_entries.push_back(entry);
    return fresh;
}

void TraceLog::Clear() {
    m_entries.clear();
    m_entries.shrink_to_fit();
    m_dropped = 0;
}

std::vector<size_t> TraceLog::Matching(const std::u16string& filter, size_t from) const {
    std::vector<size_t> out;
    for (size_t i = from; i < m_entries.size(); ++i)
        if (TraceMatches(m_entries[i], filter)) out.push_back(i);
    return out;
}

std::string TraceTextFile(const std::vector<TraceEntry>& entries, const std::vector<size_t>& positions) {
    std::string out;
    for (size_t i : positions) {
        out += text::Utf16ToUtf8(TraceText(entries[i]));
        out.push_back('\n');
    }
    return out;
}

std::string TraceJsonFile(const std::vector<TraceEntry>& entries, const std::vector<size_t>& positions) {
    std::string out = "[";
    for (size_t n = 0; n < positions.size(); ++n) {
        out += n ? ",\n" : "\n";
        out += TraceJson(entries[positions[n]]);
    }
    out += "\n]\n";
    return out;
}

void SetTraceOutput(TraceOutput output) {
    g_output = std::move(output);
    persona::SetNativeTrace(g_output ? Report : nullptr);
}

bool TraceOn() { return static_cast<bool>(g_output); }

bool DefineTraceHost(JSContext* cx, JS::HandleObject host) {
    return JS_DefineProperty(cx, host, "tracing", JS::TrueHandleValue, JSPROP_ENUMERATE) &&
           JS_DefineFunction(cx, host, "trace", HostTrace, 2, 0);
}

void RestartTraceOrder() { g_order = 0; }

}  // namespace qy::env
