/** @file TableDispatch.h
 * Base of the workbench's own automation objects (the script control, its Error
 * object, its procedures): a fixed table of members, bound by name without regard to
 * letter case, described by a matching type description.
 */
#pragma once

#include <functional>
#include <string>
#include <vector>

#include "script/Automation.h"

namespace qy::script::detail {

class TableDispatch : public Dispatch {
public:
    using Handler = std::function<bool(std::vector<Variant>& args, Variant& result)>;

    TableDispatch(std::u16string typeName) : m_typeName(std::move(typeName)) {}

    TypeInfoPtr GetTypeInfo() override;
    bool Bind(const std::u16string& name, InvokeKind kind, MemberId& id, int& paramCount, bool& varArgs) override;
    bool Invoke(MemberId id, InvokeKind kind, std::vector<Variant>& args, Variant& result) override;

protected:
    void AddMember(std::u16string name, InvokeKind kind, int paramCount, Handler handler, bool varArgs = false);
    /// A read-only property given by a function that makes its value.
    void AddGetter(std::u16string name, std::function<Variant()> getter);

private:
    struct Member {
        std::u16string name;
        InvokeKind kind;
        int paramCount;
        bool varArgs;
        Handler handler;
    };
    std::u16string m_typeName;
    std::vector<Member> m_members;
    TypeInfoPtr m_typeInfo;
};

}  // namespace qy::script::detail
