#include "cli/TraceFile.h"

#include <ostream>

#include "env/AccessTrace.h"
#include "env/PageHost.h"
#include "script/DebugObserver.h"
#include "script/DynamicCodeNames.h"
#include "script/ScriptControl.h"
#include "text/CodePage.h"

namespace qy::cli {

TraceFile::TraceFile(const std::string& path) : m_path(path) {
    if (m_path.empty()) return;
    m_out.open(m_path, std::ios::binary | std::ios::trunc);
    if (!m_out) return;
    env::SetTraceOutput([this](const env::TraceEntry& e) {
        env::TraceEntry shown = e;
        shown.file = ShownFile(e.file);
        std::string line = env::TraceJson(shown);
        line.push_back('\n');
        m_out.write(line.data(), static_cast<std::streamsize>(line.size()));
    });
}

TraceFile::~TraceFile() {
    if (m_out.is_open()) env::SetTraceOutput(nullptr);
}

void TraceFile::NameNextAddedCode(const std::string& shown) { m_added[script::UpcomingAddedCodeName()] = shown; }

std::string TraceFile::ShownFile(const std::string& file) const {
    std::u16string dynamic = script::DynamicCodeName(file);
    if (!dynamic.empty()) return text::Utf16ToUtf8(dynamic);
    if (auto it = m_added.find(file); it != m_added.end()) return it->second;
    if (file == script::kEvalFileName) return "表达式";
    if (env::IsPageScriptName(file.c_str())) {
        std::string name = file.substr(5);
        if (name.rfind("inline-", 0) == 0 || name.rfind("written-", 0) == 0) return m_page.empty() ? "页面" : m_page;
        return name;
    }
    return file;
}

bool TraceFile::Finish(std::ostream& err) {
    if (m_path.empty() || m_finished) return true;
    m_finished = true;
    if (!m_out.is_open()) return false;
    env::SetTraceOutput(nullptr);
    m_out.close();
    if (!m_out) {
        err << "qingyou-js: 无法写入“" << m_path << "”\n";
        return false;
    }
    return true;
}

}  // namespace qy::cli
