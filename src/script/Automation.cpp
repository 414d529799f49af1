/** @file Automation.cpp
 * Calls by member name. A member is bound through the object's own binding, trying the
 * invoke kinds in the order automation clients use; every failure yields the empty
 * value of the wanted kind and shows nothing.
 */
#include "script/Automation.h"

#include "script/ScriptControl.h"
#include "text/CodePage.h"

namespace qy::script {

Arg::Arg(const char* ansi) : value(Variant::Text(text::AnsiToWide(ansi ? ansi : ""))) {}
Arg::Arg(const std::string& ansi) : value(Variant::Text(text::AnsiToWide(ansi))) {}

bool TypeInfo::GetNames(MemberId id, std::vector<std::u16string>& names) const {
    for (const auto& f : funcs) {
        if (f.memid == id) {
            names = f.names;
            return true;
        }
    }
    for (const auto& v : vars) {
        if (v.memid == id) {
            names = {v.name};
            return true;
        }
    }
    return false;
}

std::optional<std::u16string> TypeInfo::GetDocumentation(MemberId id) const {
    if (id == kMemberIdNil) return documentation;
    for (const auto& f : funcs) {
        if (f.memid == id) return f.documentation;
    }
    for (const auto& v : vars) {
        if (v.memid == id) return v.documentation;
    }
    return std::nullopt;
}

namespace {

bool CallByName(const ObjectRef& obj, const std::string& name, std::initializer_list<InvokeKind> kinds,
                const Args& args, Variant& result) {
    if (!obj || !obj->IsDispatch()) return false;
    std::u16string wideName = text::AnsiToWide(name);
    for (InvokeKind kind : kinds) {
        MemberId id;
        int paramCount = 0;
        bool varArgs = false;
        if (!obj->Bind(wideName, kind, id, paramCount, varArgs)) continue;
        if (!varArgs && static_cast<int>(args.size()) > paramCount) return false;
        std::vector<Variant> values;
        values.reserve(args.size());
        for (const auto& a : args) values.push_back(a.value);
        return obj->Invoke(id, kind, values, result);
    }
    return false;
}

constexpr std::initializer_list<InvokeKind> kGetOrder = {INVOKE_PROPERTYGET, INVOKE_FUNC};
constexpr std::initializer_list<InvokeKind> kPutOrder = {INVOKE_PROPERTYPUT, INVOKE_PROPERTYPUTREF, INVOKE_FUNC};
constexpr std::initializer_list<InvokeKind> kCallOrder = {INVOKE_FUNC, INVOKE_PROPERTYGET, INVOKE_PROPERTYPUT,
                                                          INVOKE_PROPERTYPUTREF};

}  // namespace

bool CreateObject(ObjectRef& target, const std::string& classId) {
    ObjectRef created = CreateScriptControlByProgId(classId);
    if (!created) return false;
    target = std::move(created);
    return true;
}

Variant GetPropertyVariant(const ObjectRef& obj, const std::string& name, const Args& args) {
    Variant r;
    if (!CallByName(obj, name, kGetOrder, args, r)) return Variant();
    return r;
}

std::string GetPropertyText(const ObjectRef& obj, const std::string& name, const Args& args) {
    return VariantToText(GetPropertyVariant(obj, name, args));
}

double GetPropertyNumber(const ObjectRef& obj, const std::string& name, const Args& args) {
    return VariantToNumber(GetPropertyVariant(obj, name, args));
}

bool GetPropertyBool(const ObjectRef& obj, const std::string& name, const Args& args) {
    return VariantToBool(GetPropertyVariant(obj, name, args));
}

ObjectRef GetPropertyObject(const ObjectRef& obj, const std::string& name, const Args& args) {
    return VariantToObject(GetPropertyVariant(obj, name, args));
}

bool SetProperty(const ObjectRef& obj, const std::string& name, const Arg& value) {
    Variant ignored;
    return CallByName(obj, name, kPutOrder, {value}, ignored);
}

double CallMethodNumber(const ObjectRef& obj, const std::string& name, const Args& args) {
    Variant r;
    if (!CallByName(obj, name, kCallOrder, args, r)) return 0;
    return VariantToNumber(r);
}

Variant CallMethodVariant(const ObjectRef& obj, const std::string& name, const Args& args) {
    Variant r;
    if (!CallByName(obj, name, kCallOrder, args, r)) return Variant();
    return r;
}

bool QueryObjectInterface(ObjectRef& target, const ObjectRef& source, const std::string& iid) {
    if (!source) return false;
    if (iid == kIID_IUnknown || (iid == kIID_IDispatch && source->IsDispatch())) {
        target = source;
        return true;
    }
    return false;
}

bool IsEmptyObject(const ObjectRef& obj) { return obj == nullptr; }

}  // namespace qy::script
