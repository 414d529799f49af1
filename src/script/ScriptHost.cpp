#include "script/ScriptHost.h"

#include "script/Engine.h"

namespace qy::script {

ScriptHost::ScriptHost() { CreateObject(m_control, "scriptcontrol"); }

void ScriptHost::SetLanguage(const std::string& language) { SetProperty(m_control, "Language", language); }

// Work stopped as a whole (StopScope) starts nothing more, not even the conversion of
// a large text for the call: the control is called without it and reports the stop as
// the call itself would have.

Variant ScriptHost::Eval(const std::string& expression) {
    return CallMethodVariant(m_control, "Eval", {WorkStopped() ? std::string() : expression});
}

double ScriptHost::AddCode(const std::string& code) {
    return CallMethodNumber(m_control, "AddCode", {WorkStopped() ? std::string() : code});
}

Variant ScriptHost::Run(const std::string& name, const std::string& a1, const std::string& a2, const std::string& a3,
                        const std::string& a4, const std::string& a5) {
    if (WorkStopped()) return CallMethodVariant(m_control, "Run", {name});
    return CallMethodVariant(m_control, "Run", {name, a1, a2, a3, a4, a5});
}

ObjectRef ScriptHost::GetError() { return GetPropertyObject(m_control, "Error"); }

bool ScriptHost::GetProcedures(std::vector<ProcedureInfo>& list) {
    ObjectRef procedures = GetPropertyObject(m_control, "Procedures");
    auto count = static_cast<int32_t>(GetPropertyNumber(procedures, "Count"));
    if (count <= 0) return false;
    std::vector<ProcedureInfo> fresh(static_cast<size_t>(count));
    for (int32_t i = 1; i <= count; ++i) {
        ObjectRef item = GetPropertyObject(procedures, "Item", {i});
        ProcedureInfo& p = fresh[static_cast<size_t>(i - 1)];
        p.name = GetPropertyText(item, "Name");
        p.argCount = static_cast<int32_t>(GetPropertyNumber(item, "NumArgs"));
        p.hasReturnValue = GetPropertyBool(item, "HasReturnValue");
    }
    list = std::move(fresh);
    return true;
}

void ScriptHost::Reset() { CallMethodNumber(m_control, "Reset"); }

}  // namespace qy::script
