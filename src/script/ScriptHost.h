/** @file ScriptHost.h
 * The workbench's handle on one script control instance: the engine operations it
 * uses, each a single automation call that fails quietly. Copies share the instance.
 */
#pragma once

#include <cstdint>
#include <string>
#include <vector>

#include "script/Automation.h"

namespace qy::script {

struct ProcedureInfo {
    std::string name;  ///< CP936
    int32_t argCount = 0;
    bool hasReturnValue = false;
};

class ScriptHost {
public:
    /// Creates the script control; when that fails the host is empty and every operation
    /// yields its empty value.
    ScriptHost();
    ScriptHost(const ScriptHost&) = default;
    ScriptHost& operator=(const ScriptHost&) = default;
    ~ScriptHost() = default;

    void SetLanguage(const std::string& language);
    Variant Eval(const std::string& expression);
    double AddCode(const std::string& code);
    Variant Run(const std::string& name, const std::string& a1 = "", const std::string& a2 = "",
                const std::string& a3 = "", const std::string& a4 = "", const std::string& a5 = "");
    ObjectRef GetError();
    /// True and a new list when the engine holds at least one procedure; false and the
    /// list untouched otherwise.
    bool GetProcedures(std::vector<ProcedureInfo>& list);
    void Reset();

    const ObjectRef& Control() const { return m_control; }

private:
    ObjectRef m_control;
};

}  // namespace qy::script
