#include "script/TableDispatch.h"

namespace qy::script::detail {
namespace {

bool SameNameIgnoringCase(const std::u16string& a, const std::u16string& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        char16_t x = a[i], y = b[i];
        if (x >= u'A' && x <= u'Z') x = x - u'A' + u'a';
        if (y >= u'A' && y <= u'Z') y = y - u'A' + u'a';
        if (x != y) return false;
    }
    return true;
}

}  // namespace

void TableDispatch::AddMember(std::u16string name, InvokeKind kind, int paramCount, Handler handler, bool varArgs) {
    m_members.push_back(Member{std::move(name), kind, paramCount, varArgs, std::move(handler)});
    m_typeInfo.reset();
}

void TableDispatch::AddGetter(std::u16string name, std::function<Variant()> getter) {
    AddMember(std::move(name), INVOKE_PROPERTYGET, 0, [getter = std::move(getter)](std::vector<Variant>&, Variant& r) {
        r = getter();
        return true;
    });
}

TypeInfoPtr TableDispatch::GetTypeInfo() {
    if (m_typeInfo) return m_typeInfo;
    auto info = std::make_shared<TypeInfo>();
    info->name = m_typeName;
    for (size_t i = 0; i < m_members.size(); ++i) {
        const Member& m = m_members[i];
        FuncDesc f;
        f.memid = static_cast<MemberId>(i);
        f.invkind = m.kind;
        f.cParams = static_cast<int16_t>(m.paramCount);
        f.varArgs = m.varArgs;
        f.names.push_back(m.name);
        for (int p = 0; p < m.paramCount; ++p) f.names.emplace_back();
        info->funcs.push_back(std::move(f));
    }
    m_typeInfo = info;
    return m_typeInfo;
}

bool TableDispatch::Bind(const std::u16string& name, InvokeKind kind, MemberId& id, int& paramCount, bool& varArgs) {
    for (size_t i = 0; i < m_members.size(); ++i) {
        const Member& m = m_members[i];
        if (m.kind == kind && SameNameIgnoringCase(m.name, name)) {
            id = static_cast<MemberId>(i);
            paramCount = m.paramCount;
            varArgs = m.varArgs;
            return true;
        }
    }
    return false;
}

bool TableDispatch::Invoke(MemberId id, InvokeKind kind, std::vector<Variant>& args, Variant& result) {
    if (id < 0 || static_cast<size_t>(id) >= m_members.size() || m_members[id].kind != kind) return false;
    return m_members[id].handler(args, result);
}

}  // namespace qy::script::detail
