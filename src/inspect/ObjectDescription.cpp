#include "inspect/ObjectDescription.h"

#include <cmath>

#include "inspect/ValuePreview.h"
#include "script/Engine.h"
#include "script/ValueText.h"
#include "text/CodePage.h"

namespace qy::inspect {
namespace {

using script::InvokeKind;

std::string Ansi(const char* utf8) { return text::Utf8ToAnsiText(utf8); }
std::string Text(const std::u16string& s) { return text::WideToAnsi(s); }

std::string KindLabel(int32_t invkind) {
    switch (invkind) {
        case script::INVOKE_PROPERTYGET: return Ansi("属性/读");
        case script::INVOKE_PROPERTYPUT: return Ansi("属性/写");
        case script::INVOKE_PROPERTYPUTREF: return Ansi("属性/引用写");
        default: return Ansi("方法");
    }
}

void AppendFunction(const script::TypeInfo& info, const script::FuncDesc& f, std::string& listing, int& methods,
                    int& properties) {
    if (f.wFuncFlags == script::FUNCFLAG_FRESTRICTED) return;
    if (f.invkind == script::INVOKE_FUNC) ++methods;
    else ++properties;
    listing += KindLabel(f.invkind);
    std::vector<std::u16string> names;
    if (!info.GetNames(f.memid, names)) return;
    listing += ":" + (names.empty() ? std::string() : Text(names[0]));
    if (f.invkind != script::INVOKE_PROPERTYGET) {
        for (int j = 1; j <= f.cParams; ++j) {
            std::string name = j < static_cast<int>(names.size()) ? Text(names[j]) : "";
            listing += Ansi("\r\n参数<") + std::to_string(j) + ">" +
                       (name.empty() ? Ansi("参数") + std::to_string(j) : name);
        }
        if (f.cParams > 0) {
            listing += Ansi("\r\n参数数量:") + std::to_string(f.cParams);
            if (f.cParamsOpt > 0) listing += Ansi("\t可选参数数量:") + std::to_string(f.cParamsOpt);
        }
    }
    if (auto doc = info.GetDocumentation(f.memid)) listing += Ansi("\r\n解释:") + Text(*doc);
    listing += "\r\n\r\n";
}

}  // namespace

std::string ListTypeInfo(const script::TypeInfo& info, const MemberValue& value) {
    if (info.typeAttrResult != 0) return "ITypeInfo::GetTypeAttr() failed: " + std::to_string(info.typeAttrResult);
    std::string listing;
    int methods = 0, properties = 0;
    for (const auto& f : info.funcs) AppendFunction(info, f, listing, methods, properties);
    for (const auto& v : info.vars) {
        ++properties;
        std::vector<std::u16string> names;
        if (!info.GetNames(v.memid, names) || names.empty()) continue;
        listing += Ansi("属性") + ":" + Text(names[0]);
        if (value)
            if (auto shown = value(names[0])) listing += " = " + *shown;
        listing += "\r\n";
    }
    std::string out = Ansi("对象类型名称:") + Text(info.name) + Ansi("    共有 ") + std::to_string(properties) +
                      Ansi(" 个属性(含读/写)，") + std::to_string(methods) + Ansi(" 个方法\r\n");
    if (info.documentation) out += Ansi("解释： ") + Text(*info.documentation);
    if (info.helpFile) {
        out += Ansi("\r\n\r\n帮助文件： ") + Text(*info.helpFile) + Ansi("\r\n帮助标记值：") +
               std::to_string(static_cast<int32_t>(info.helpContext));
    }
    return out + "\r\n\r\n\r\n" + listing;
}

std::string DescribeObject(const script::ObjectRef& object) {
    if (script::IsEmptyObject(object)) return "";
    // Reading the members runs the page's getters, one call each: one press of "停止"
    // ends the whole description.
    script::StopScope work;
    script::ObjectRef dispatch;
    if (!script::QueryObjectInterface(dispatch, object, script::kIID_IDispatch)) return "Could not get IDispatch Interface.";
    if (dispatch->TypeInfoCount() != 1) return Ansi("没有类型信息");
    script::TypeInfoPtr info = dispatch->GetTypeInfo();
    if (!info) return Ansi("没有类型信息");
    return ListTypeInfo(*info, [&dispatch](const std::u16string& name) -> std::optional<std::string> {
        script::MemberId id = 0;
        int params = 0;
        bool varArgs = false;
        std::vector<script::Variant> args;
        script::Variant v;
        if (!dispatch->Bind(name, script::INVOKE_PROPERTYGET, id, params, varArgs) ||
            !dispatch->Invoke(id, script::INVOKE_PROPERTYGET, args, v))
            return std::nullopt;
        return PreviewText(v);
    });
}

ArrayLines::ArrayLines(script::ObjectRef object) : m_object(std::move(object)) {
    m_length = script::VariantToNumber(script::GetPropertyVariant(m_object, "length"));
    double whole = std::trunc(m_length);
    // Lengths beyond what a list can hold are shown up to that many lines.
    if (std::isnan(whole) || whole <= 0) m_count = 0;
    else m_count = whole > 2147483646.0 ? 2147483646 : static_cast<int64_t>(whole);
}

std::string ArrayLines::LengthLine() const { return Ansi("数组长度(length)--->") + script::NumberText(m_length); }

std::string ArrayLines::ElementLine(int64_t k) const {
    script::StopScope work;
    std::string index = script::NumberText(static_cast<double>(k));
    script::Variant v = script::GetPropertyVariant(m_object, index);
    // Objects read as a preview of what they hold; null and undefined by name.
    std::string text;
    switch (v.vt) {
        case script::VT_EMPTY: text = "undefined"; break;
        case script::VT_NULL: text = "null"; break;
        case script::VT_DISPATCH: case script::VT_UNKNOWN: text = ObjectPreview(v.object); break;
        default: text = script::VariantToText(v);
    }
    script::ClearVariant(v);
    return Ansi("下标") + index + "--->" + text;
}

}  // namespace qy::inspect
