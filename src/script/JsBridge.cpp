/** @file JsBridge.cpp
 * JS objects as automation objects. Members bind by name: any property name reads and
 * writes (so array elements are reached as "0", "1", …), function-valued properties
 * also bind as methods. Their type description lists the object's own and inherited
 * script-defined members; array indices are not members.
 */
#include "script/JsBridge.h"

#include <js/Array.h>
#include <js/CompilationAndEvaluation.h>
#include <js/Conversions.h>
#include <js/Date.h>
#include <js/SourceText.h>
#include <js/Wrapper.h>
#include <jsfriendapi.h>

#include <cmath>
#include <new>
#include <unordered_map>

#include "script/EngineInternal.h"
#include "script/ValueText.h"

namespace qy::script::detail {
namespace {

/// The longest text a result may carry out of the engine: 256 MiB of UTF-16.
constexpr size_t kMaxResultChars = size_t(128) * 1024 * 1024;

const JSClass kHelperGlobalClass = {"global", JSCLASS_GLOBAL_FLAGS, &JS::DefaultGlobalClassOps, nullptr, nullptr,
                                    nullptr};

// Runs in the helper global: reads a function's parameter names and whether its own
// body (not nested functions) returns a value, from the engine's parser.
constexpr char16_t kHelperSource[] = uR"JS(
function qyParse(src) {
    try { return Reflect.parse('(' + src + ')').body[0].expression; } catch (e) {}
    try { return Reflect.parse('({' + src + '})').body[0].expression.properties[0].value; } catch (e) {}
    return null;
}
function qyParams(src) {
    var f = qyParse(src);
    if (!f || !f.params) return [];
    var names = f.params.map(function (p) { return p && p.type === 'Identifier' ? p.name : ''; });
    if (f.rest && f.rest.type === 'Identifier') names.push(f.rest.name);
    return names;
}
function qyHasReturn(src) {
    var f = qyParse(src);
    if (!f) return false;
    if (f.type === 'ArrowFunctionExpression' && f.expression) return true;
    function walk(n) {
        if (!n || typeof n !== 'object') return false;
        if (Array.isArray(n)) {
            for (var i = 0; i < n.length; i++) if (walk(n[i])) return true;
            return false;
        }
        if (n.type === 'ReturnStatement') return n.argument != null;
        if (/Function|Class/.test(n.type)) return false;
        for (var k in n) if (k !== 'loc' && walk(n[k])) return true;
        return false;
    }
    return walk(f.body);
}
)JS";

JSObject* HelperGlobal(JSContext* cx) {
    static JsObjectRoot* root = nullptr;
    if (root && root->alive()) return root->get();
    JS::RealmOptions options;
    JS::RootedObject global(cx, JS_NewGlobalObject(cx, &kHelperGlobalClass, nullptr, JS::FireOnNewGlobalHook, options));
    if (!global) return nullptr;
    JSAutoRealm ar(cx, global);
    if (!JS_InitReflectParse(cx, global)) return nullptr;
    JS::SourceText<char16_t> src;
    if (!src.init(cx, kHelperSource, std::char_traits<char16_t>::length(kHelperSource), JS::SourceOwnership::Borrowed))
        return nullptr;
    JS::CompileOptions opts(cx);
    opts.setFileAndLine("qy-helper", 1);
    JS::RootedValue rv(cx);
    if (!JS::Evaluate(cx, opts, src, &rv)) {
        JS_ClearPendingException(cx);
        return nullptr;
    }
    delete root;
    root = new JsObjectRoot(global);
    return root->get();
}

bool CallHelper(const char* name, const std::u16string& source, JS::MutableHandleValue rv) {
    JSContext* cx = Cx();
    if (!cx || !EngineAvailable()) return false;
    JS::RootedObject global(cx, HelperGlobal(cx));
    if (!global) return false;
    JSAutoRealm ar(cx, global);
    EngineCall call;
    JS::RootedValueArray<1> args(cx);
    JSString* s = JS_NewUCStringCopyN(cx, source.data(), source.size());
    if (!s) return false;
    args[0].setString(s);
    if (!JS_CallFunctionName(cx, global, name, args, rv)) {
        JS_ClearPendingException(cx);
        return false;
    }
    return true;
}

std::u16string IdToName(JSContext* cx, JS::HandleId id) {
    if (!id.isString()) return u"";
    return CopyString(cx, id.toString());
}

bool IsIndexName(const std::u16string& n) {
    if (n.empty() || n.size() > 10) return false;
    for (char16_t c : n)
        if (c < u'0' || c > u'9') return false;
    return n == u"0" || n[0] != u'0';
}

/// A JS object seen through the automation layer.
class JsObjectDispatch final : public Dispatch {
public:
    explicit JsObjectDispatch(JSObject* obj) : m_root(obj) {}

    JSObject* Object() const { return m_root.get(); }

    TypeInfoPtr GetTypeInfo() override {
        if (m_typeInfo) return m_typeInfo;
        if (!EngineAvailable()) return std::make_shared<TypeInfo>();  // not kept: ask again later
        m_typeInfo = BuildTypeInfo();
        return m_typeInfo;
    }

    bool Bind(const std::u16string& name, InvokeKind kind, MemberId& id, int& paramCount, bool& varArgs) override {
        JSContext* cx = Cx();
        if (!cx || !m_root.alive() || !EngineAvailable()) return false;
        if (kind == INVOKE_FUNC) {
            // Reading the member may run a getter: it runs under the watchdog like any call.
            JSAutoRealm ar(cx, m_root.get());
            EngineCall call;
            JS::RootedValue v(cx);
            bool callable = ReadProperty(cx, name, &v) && v.isObject() && JS::IsCallable(&v.toObject());
            JS_ClearPendingException(cx);
            if (!callable) return false;
        }
        id = IdFor(name);
        paramCount = kind == INVOKE_FUNC ? 0 : (kind == INVOKE_PROPERTYGET ? 0 : 1);
        varArgs = kind == INVOKE_FUNC;
        return true;
    }

    bool Invoke(MemberId id, InvokeKind kind, std::vector<Variant>& args, Variant& result) override {
        JSContext* cx = Cx();
        if (!cx || !m_root.alive() || !EngineAvailable() || id < 0 || static_cast<size_t>(id) >= m_names.size())
            return false;
        JSAutoRealm ar(cx, m_root.get());
        EngineCall call;
        const std::u16string& name = m_names[id];
        bool ok = false;
        if (kind == INVOKE_PROPERTYGET) {
            JS::RootedValue v(cx);
            ok = ReadProperty(cx, name, &v) && ToVariant(cx, v, result);
        } else if (kind == INVOKE_FUNC) {
            ok = CallMember(cx, name, args, result);
        } else if (!args.empty()) {
            JS::RootedValue v(cx);
            ok = FromVariant(cx, args.back(), &v) &&
                 JS_SetUCProperty(cx, m_root.handle(), name.data(), name.size(), v);
        }
        if (!ok) JS_ClearPendingException(cx);
        return RunPendingJobs(cx) && ok;
    }

    bool DefaultText(std::u16string& out) override {
        JSContext* cx = Cx();
        if (!cx || !m_root.alive() || !EngineAvailable()) return false;
        JSAutoRealm ar(cx, m_root.get());
        EngineCall call;
        JS::RootedValue v(cx, JS::ObjectValue(*m_root.get()));
        JSString* s = JS::ToString(cx, v);
        if (!s) {
            JS_ClearPendingException(cx);
            return false;
        }
        out = CopyString(cx, s);
        return true;
    }

private:
    bool ReadProperty(JSContext* cx, const std::u16string& name, JS::MutableHandleValue v) {
        return JS_GetUCProperty(cx, m_root.handle(), name.data(), name.size(), v);
    }

    bool CallMember(JSContext* cx, const std::u16string& name, std::vector<Variant>& args, Variant& result) {
        JS::RootedValue fval(cx);
        if (!ReadProperty(cx, name, &fval)) return false;
        JS::RootedValueVector argv(cx);
        for (const auto& a : args) {
            JS::RootedValue v(cx);
            if (!FromVariant(cx, a, &v) || !argv.append(v)) return false;
        }
        JS::RootedValue rv(cx);
        return JS_CallFunctionValue(cx, m_root.handle(), fval, JS::HandleValueArray(argv), &rv) &&
               ToVariant(cx, rv, result);
    }

    MemberId IdFor(const std::u16string& name) {
        auto it = m_ids.find(name);
        if (it != m_ids.end()) return it->second;
        auto id = static_cast<MemberId>(m_names.size());
        m_names.push_back(name);
        m_ids.emplace(name, id);
        return id;
    }

    /// A prototype belongs to the script when its constructor is a script function;
    /// built-in prototypes (Object, Array, Function…) add no members.
    static bool IsScriptPrototype(JSContext* cx, JS::HandleObject proto) {
        JS::RootedValue ctor(cx);
        if (!JS_GetProperty(cx, proto, "constructor", &ctor) || !ctor.isObject()) return false;
        JSFunction* fun = JS_GetObjectFunction(&ctor.toObject());
        return fun && !JS_IsNativeFunction(&ctor.toObject(), nullptr) && JS_GetFunctionScript(cx, JS::RootedFunction(cx, fun)) != nullptr;
    }

    void CollectKeys(JSContext* cx, JS::HandleObject obj, unsigned flags, std::vector<std::u16string>& names) {
        JS::RootedIdVector ids(cx);
        if (!js::GetPropertyKeys(cx, obj, flags, &ids)) {
            JS_ClearPendingException(cx);
            return;
        }
        for (size_t i = 0; i < ids.length(); ++i) {
            JS::RootedId id(cx, ids[i]);
            if (!id.isString()) continue;
            std::u16string n = IdToName(cx, id);
            if (IsIndexName(n)) continue;
            bool seen = false;
            for (const auto& e : names) seen = seen || e == n;
            if (!seen) names.push_back(n);
        }
    }

    std::u16string TypeName(JSContext* cx) {
        JS::RootedValue ctor(cx), name(cx);
        if (JS_GetProperty(cx, m_root.handle(), "constructor", &ctor) && ctor.isObject()) {
            JS::RootedObject c(cx, &ctor.toObject());
            if (JS_GetProperty(cx, c, "name", &name) && name.isString()) {
                std::u16string n = CopyString(cx, name.toString());
                if (!n.empty()) return n;
            }
        }
        JS_ClearPendingException(cx);
        return u"Object";
    }

    TypeInfoPtr BuildTypeInfo() {
        JSContext* cx = Cx();
        auto info = std::make_shared<TypeInfo>();
        if (!cx || !m_root.alive() || !EngineAvailable()) return info;
        JSAutoRealm ar(cx, m_root.get());
        EngineCall call;
        info->name = TypeName(cx);
        std::vector<std::u16string> names;
        CollectKeys(cx, m_root.handle(), JSITER_OWNONLY | JSITER_HIDDEN, names);
        JS::RootedObject proto(cx);
        JS::RootedObject cur(cx, m_root.get());
        for (int depth = 0; depth < 64 && JS_GetPrototype(cx, cur, &proto) && proto; ++depth) {
            if (!IsScriptPrototype(cx, proto)) break;
            std::vector<std::u16string> protoNames;
            CollectKeys(cx, proto, JSITER_OWNONLY | JSITER_HIDDEN, protoNames);
            for (auto& n : protoNames)
                if (n != u"constructor") names.push_back(n);
            cur = proto;
        }
        for (const auto& n : names) AddMember(cx, n, *info);
        JS_ClearPendingException(cx);
        return info;
    }

    void AddMember(JSContext* cx, const std::u16string& name, TypeInfo& info) {
        for (const auto& f : info.funcs)
            if (f.names[0] == name) return;
        for (const auto& v : info.vars)
            if (v.name == name) return;
        JS::RootedValue v(cx);
        // Accessors may run script; their failure leaves the member a data member.
        if (!ReadProperty(cx, name, &v)) JS_ClearPendingException(cx);
        MemberId id = IdFor(name);
        if (v.isObject() && JS_ObjectIsFunction(&v.toObject())) {
            JS::RootedObject fun(cx, &v.toObject());
            std::u16string source = FunctionSource(cx, fun);
            FuncDesc f;
            f.memid = id;
            f.invkind = INVOKE_FUNC;
            f.names.push_back(name);
            std::u16string signature = u"function " + name + u"(";
            auto params = ParameterNames(source);
            for (size_t i = 0; i < params.size(); ++i) {
                f.names.push_back(params[i]);
                signature += (i ? u", " : u"") + params[i];
            }
            f.cParams = static_cast<int16_t>(params.size());
            f.documentation = signature + u")";
            info.funcs.push_back(std::move(f));
        } else {
            info.vars.push_back(VarDesc{id, name, std::nullopt});
        }
    }

    JsObjectRoot m_root;
    TypeInfoPtr m_typeInfo;
    std::vector<std::u16string> m_names;
    std::unordered_map<std::u16string, MemberId> m_ids;
};

}  // namespace

std::u16string CopyString(JSContext* cx, JSString* str) {
    size_t len = JS_GetStringLength(str);
    std::u16string out(len, u'\0');
    if (len && !JS_CopyStringChars(cx, mozilla::Range<char16_t>(out.data(), len), str)) return u"";
    return out;
}

bool ToVariant(JSContext* cx, JS::HandleValue value, Variant& out) {
    out = Variant();
    if (value.isInt32()) {
        out = Variant::Int(value.toInt32());
    } else if (value.isDouble()) {
        double d = value.toDouble();
        // The engine's int/double tag is not stable: an integral in-range double is an int.
        if (std::isfinite(d) && d == std::trunc(d) && d >= INT32_MIN && d <= INT32_MAX && !(d == 0 && std::signbit(d)))
            out = Variant::Int(static_cast<int32_t>(d));
        else
            out = Variant::Real(d);
    } else if (value.isString()) {
        // A text that big is no result anyone reads; copying it would take the process
        // past its memory (a failed call reads as 内存不足).
        if (JS_GetStringLength(value.toString()) > kMaxResultChars) return false;
        try {
            out = Variant::Text(CopyString(cx, value.toString()));
        } catch (const std::bad_alloc&) {
            return false;
        }
    } else if (value.isBoolean()) {
        out = Variant::Bool(value.toBoolean());
    } else if (value.isNull()) {
        out = Variant::Null();
    } else if (value.isUndefined()) {
        out = Variant();
    } else if (value.isObject()) {
        JS::RootedObject obj(cx, &value.toObject());
        bool isDate = false;
        if (JS::ObjectIsDate(cx, obj, &isDate) && isDate) {
            double ms = 0;
            if (!js::DateGetMsecSinceEpoch(cx, obj, &ms)) return false;
            out = Variant::Date(OleDateFromJsTime(ms));
        } else {
            out = Variant::Object(WrapObject(cx, obj));
        }
    } else {
        // Symbols and BigInts: their text is the closest value the workbench can show.
        JSString* s = value.isSymbol() ? JS_ValueToSource(cx, value) : JS::ToString(cx, value);
        if (!s) return false;
        out = Variant::Text(CopyString(cx, s));
    }
    return true;
}

bool FromVariant(JSContext* cx, const Variant& v, JS::MutableHandleValue out) {
    if (v.vt & VT_ARRAY) {
        out.setUndefined();
        return true;
    }
    switch (v.vt & 0x0FFF) {
        case VT_EMPTY: out.setUndefined(); return true;
        case VT_NULL: out.setNull(); return true;
        case VT_BOOL: out.setBoolean(v.boolean); return true;
        case VT_R4: case VT_R8: case VT_CY: case VT_DECIMAL: out.setNumber(v.real); return true;
        case VT_DATE: {
            JSObject* d = JS::NewDateObject(cx, JS::TimeClip(JsTimeFromOleDate(v.real)));
            if (!d) return false;
            out.setObject(*d);
            return true;
        }
        case VT_BSTR: case VT_LPSTR: case VT_LPWSTR: {
            JSString* s = JS_NewUCStringCopyN(cx, v.text.data(), v.text.size());
            if (!s) return false;
            out.setString(s);
            return true;
        }
        case VT_DISPATCH: case VT_UNKNOWN: {
            JS::RootedObject obj(cx, UnwrapObject(v.object));
            if (!obj) {
                out.setNull();
                return true;
            }
            if (!JS_WrapObject(cx, &obj)) return false;
            out.setObject(*obj);
            return true;
        }
        default:
            out.setNumber(static_cast<double>(v.integer));
            return true;
    }
}

ObjectRef WrapObject(JSContext*, JS::HandleObject obj) {
    // An object of another global (one handed in from before a Reset and handed back)
    // arrives here as a cross-compartment wrapper, which belongs to no realm; the
    // automation object keeps the object itself and works in the object's own realm.
    JSObject* target = js::IsCrossCompartmentWrapper(obj) ? js::UncheckedUnwrap(obj) : obj.get();
    return std::make_shared<JsObjectDispatch>(target);
}

JSObject* UnwrapObject(const ObjectRef& ref) {
    auto* d = dynamic_cast<JsObjectDispatch*>(ref.get());
    return d ? d->Object() : nullptr;
}

std::u16string FunctionSource(JSContext* cx, JS::HandleObject fun) {
    JS::RootedFunction f(cx, JS_GetObjectFunction(fun));
    if (!f) return u"";
    JSString* s = JS_DecompileFunction(cx, f);
    if (!s) {
        JS_ClearPendingException(cx);
        return u"";
    }
    return CopyString(cx, s);
}

std::vector<std::u16string> ParameterNames(const std::u16string& functionSource) {
    std::vector<std::u16string> names;
    JSContext* cx = Cx();
    if (!cx) return names;
    JS::RootedValue rv(cx);
    if (!CallHelper("qyParams", functionSource, &rv) || !rv.isObject()) return names;
    JS::RootedObject arr(cx, &rv.toObject());
    JSAutoRealm ar(cx, arr);
    uint32_t len = 0;
    if (!JS::GetArrayLength(cx, arr, &len)) return names;
    for (uint32_t i = 0; i < len; ++i) {
        JS::RootedValue e(cx);
        if (JS_GetElement(cx, arr, i, &e) && e.isString()) names.push_back(CopyString(cx, e.toString()));
        else names.emplace_back();
    }
    return names;
}

bool HasReturnValue(const std::u16string& functionSource) {
    JSContext* cx = Cx();
    if (!cx) return false;
    JS::RootedValue rv(cx);
    return CallHelper("qyHasReturn", functionSource, &rv) && rv.isBoolean() && rv.toBoolean();
}

}  // namespace qy::script::detail
