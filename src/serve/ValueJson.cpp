#include "serve/ValueJson.h"

#include <js/Array.h>
#include <js/Class.h>
#include <js/Conversions.h>
#include <js/Object.h>
#include <js/PropertyAndElement.h>
#include <jsapi.h>

#include <cmath>

#include "script/EngineInternal.h"
#include "script/JsBridge.h"
#include "script/ScriptSession.h"
#include "script/ValueText.h"
#include "serve/Json.h"
#include "text/CodePage.h"

namespace qy::serve {
namespace {

using script::Variant;

std::string Utf8(const std::string& ansi) { return text::AnsiToUtf8(ansi); }

/// Writes engine values as JSON, keeping the path of objects being written so that a
/// value that contains itself is named rather than followed.
class Writer {
public:
    Writer(JSContext* cx, std::string& out) : m_cx(cx), m_out(out), m_path(cx) {}

    enum class Outcome { Ok, TooBig, Failed };
    Outcome outcome() const { return m_outcome; }

    /// True when `v` has a JSON form inside a container (undefined, functions and
    /// symbols have none: an object leaves them out, an array writes null).
    static bool Writable(JS::HandleValue v) {
        if (v.isUndefined() || v.isSymbol()) return false;
        return !(v.isObject() && JS::IsCallable(&v.toObject()));
    }

    bool Value(JS::HandleValue v) {
        if (++m_count > kMaxResultValues) return Stop(Outcome::TooBig);
        if (v.isString()) {
            AppendJsonString(m_out, script::detail::CopyString(m_cx, v.toString()));
        } else if (v.isInt32()) {
            m_out += std::to_string(v.toInt32());
        } else if (v.isNumber()) {
            AppendJsonNumber(m_out, v.toNumber());
        } else if (v.isBoolean()) {
            m_out += v.toBoolean() ? "true" : "false";
        } else if (v.isObject()) {
            JS::RootedObject obj(m_cx, &v.toObject());
            return Object(obj);
        } else if (v.isBigInt()) {
            return Text(v);
        } else {
            m_out += "null";
        }
        return true;
    }

    /// True for the objects written as JSON: arrays and ordinary objects.
    bool Structured(JS::HandleObject obj, bool& isArray) {
        js::ESClass cls;
        if (!JS::GetBuiltinClass(m_cx, obj, &cls)) return false;
        isArray = cls == js::ESClass::Array;
        return isArray || cls == js::ESClass::Object;
    }

private:
    bool Stop(Outcome why) {
        m_outcome = why;
        return false;
    }

    /// The value's own text as a JSON string.
    bool Text(JS::HandleValue v) {
        JSString* s = JS::ToString(m_cx, v);
        if (!s) return Stop(Outcome::Failed);
        AppendJsonString(m_out, script::detail::CopyString(m_cx, s));
        return true;
    }

    bool Object(JS::HandleObject obj) {
        for (size_t i = 0; i < m_path.length(); ++i)
            if (m_path[i] == obj) {
                AppendJsonString(m_out, "[循环引用]");
                return true;
            }
        bool isArray = false;
        if (!Structured(obj, isArray)) {
            if (JS_IsExceptionPending(m_cx)) return Stop(Outcome::Failed);
            JS::RootedValue v(m_cx, JS::ObjectValue(*obj));
            return Text(v);
        }
        if (m_path.length() >= 512 || !m_path.append(obj)) return Stop(Outcome::TooBig);
        bool ok = isArray ? Elements(obj) : Members(obj);
        m_path.popBack();
        return ok;
    }

    bool Elements(JS::HandleObject array) {
        uint32_t length = 0;
        if (!JS::GetArrayLength(m_cx, array, &length)) return Stop(Outcome::Failed);
        if (length > kMaxResultValues) return Stop(Outcome::TooBig);
        m_out += '[';
        JS::RootedValue v(m_cx);
        for (uint32_t i = 0; i < length; ++i) {
            if (i) m_out += ',';
            if (!JS_GetElement(m_cx, array, i, &v)) return Stop(Outcome::Failed);
            if (!Writable(v)) {
                m_out += "null";
                continue;
            }
            if (!Value(v)) return false;
        }
        m_out += ']';
        return true;
    }

    bool Members(JS::HandleObject obj) {
        JS::Rooted<JS::IdVector> ids(m_cx, JS::IdVector(m_cx));
        if (!JS_Enumerate(m_cx, obj, &ids)) return Stop(Outcome::Failed);
        m_out += '{';
        bool first = true;
        JS::RootedValue v(m_cx), key(m_cx);
        JS::RootedId id(m_cx);
        for (size_t i = 0; i < ids.length(); ++i) {
            id = ids[i];
            if (id.isSymbol()) continue;
            if (!JS_GetPropertyById(m_cx, obj, id, &v)) return Stop(Outcome::Failed);
            if (!Writable(v)) continue;
            if (!JS_IdToValue(m_cx, id, &key)) return Stop(Outcome::Failed);
            JSString* name = JS::ToString(m_cx, key);
            if (!name) return Stop(Outcome::Failed);
            if (!first) m_out += ',';
            first = false;
            AppendJsonString(m_out, script::detail::CopyString(m_cx, name));
            m_out += ':';
            if (!Value(v)) return false;
        }
        m_out += '}';
        return true;
    }

    JSContext* m_cx;
    std::string& m_out;
    JS::RootedObjectVector m_path;
    size_t m_count = 0;
    Outcome m_outcome = Outcome::Ok;
};

std::string ClassName(const script::ObjectRef& object) {
    script::TypeInfoPtr info = object && object->TypeInfoCount() == 1 ? object->GetTypeInfo() : nullptr;
    return info ? text::Utf16ToUtf8(info->name) : std::string();
}

bool ObjectJson(const script::ObjectRef& ref, std::string& out, std::string& why) {
    JSContext* cx = script::detail::Cx();
    JSObject* raw = script::detail::UnwrapObject(ref);
    if (!cx || !raw) {
        why = "结果对象已不可用";
        return false;
    }
    std::string body;
    bool ok;
    Writer::Outcome outcome;
    {
        JS::RootedObject obj(cx, raw);
        JSAutoRealm ar(cx, obj);
        // Reading members may run getters: the call's time limit holds for them too.
        script::detail::EngineCall call;
        Writer writer(cx, body);
        bool isArray = false;
        JS::RootedValue v(cx, JS::ObjectValue(*obj));
        if (writer.Structured(obj, isArray)) {
            ok = writer.Value(v);
        } else if (JSString* s = JS::ToString(cx, v)) {
            AppendJsonString(body, script::detail::CopyString(cx, s));
            ok = true;
        } else {
            ok = false;
        }
        outcome = writer.outcome();
        JS_ClearPendingException(cx);
    }
    if (!ok) {
        why = outcome == Writer::Outcome::TooBig
                  ? "结果太大（超过 " + std::to_string(kMaxResultValues) + " 个值或嵌套太深），无法写成 JSON"
                  : "读取结果对象时出错";
        return false;
    }
    out += "{\"result\":" + body + ",\"type\":";
    AppendJsonString(out, Utf8(script::CategoryTypeName(5)));
    std::string cls = ClassName(ref);
    if (!cls.empty()) {
        out += ",\"class\":";
        AppendJsonString(out, cls);
    }
    out += '}';
    return true;
}

}  // namespace

bool ResultJson(Variant& value, std::string& out, std::string& why) {
    int32_t category = script::VariantCategory(value);
    if (category == 5) return ObjectJson(script::VariantToObject(value), out, why);
    out += "{\"result\":";
    switch (category) {
        case 1: {
            double d = script::VariantToNumber(value);
            AppendJsonNumber(out, d);
            if (!std::isfinite(d)) {
                // JSON has no NaN or infinity: the result is null and the text says which.
                out += ",\"text\":";
                AppendJsonString(out, script::JsNumberText(d));
            }
            break;
        }
        case 2: {
            std::u16string s;
            script::VariantToWide(value, s);
            AppendJsonString(out, s);
            break;
        }
        case 3: out += script::VariantToBool(value) ? "true" : "false"; break;
        case 4: AppendJsonString(out, Utf8(script::DateText(script::VariantToDate(value)))); break;
        default: out += "null"; break;
    }
    out += ",\"type\":";
    // The result display's own names: undefined is "空", null "未知类型".
    AppendJsonString(out, Utf8(script::CategoryTypeName(category)));
    out += '}';
    return true;
}

}  // namespace qy::serve
