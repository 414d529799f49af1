/** @file TypeInfo.h
 * Type descriptions of automation objects, as the object viewer reads them: the type's
 * name, documentation and help file, its functions and its data members.
 */
#pragma once

#include <cstdint>
#include <memory>
#include <optional>
#include <string>
#include <vector>

namespace qy::script {

using MemberId = int32_t;
inline constexpr MemberId kMemberIdNil = -1;

enum InvokeKind : int32_t {
    INVOKE_FUNC = 1,
    INVOKE_PROPERTYGET = 2,
    INVOKE_PROPERTYPUT = 4,
    INVOKE_PROPERTYPUTREF = 8,
};

inline constexpr uint16_t FUNCFLAG_FRESTRICTED = 1;

struct FuncDesc {
    MemberId memid = 0;
    int32_t invkind = INVOKE_FUNC;
    int16_t cParams = 0;
    int16_t cParamsOpt = 0;
    uint16_t wFuncFlags = 0;
    bool varArgs = false;
    /// The member's own name, then its parameters' names ("" where a name is unknown).
    std::vector<std::u16string> names;
    std::optional<std::u16string> documentation;
};

struct VarDesc {
    MemberId memid = 0;
    std::u16string name;
    std::optional<std::u16string> documentation;
};

struct TypeInfo {
    /// Result code of reading the type's attributes; anything but 0 means the description
    /// cannot be read (the viewer prints the code).
    int32_t typeAttrResult = 0;
    std::u16string name;
    std::optional<std::u16string> documentation;
    std::optional<std::u16string> helpFile;
    uint32_t helpContext = 0;
    std::vector<FuncDesc> funcs;
    std::vector<VarDesc> vars;

    /// Names of a member: the member itself then its parameters; false when unknown id.
    bool GetNames(MemberId id, std::vector<std::u16string>& names) const;
    /// Documentation of a member, or of the type itself for kMemberIdNil.
    std::optional<std::u16string> GetDocumentation(MemberId id) const;
};
using TypeInfoPtr = std::shared_ptr<const TypeInfo>;

}  // namespace qy::script
