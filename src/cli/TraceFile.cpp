#include "cli/TraceFile.h"

#include <ostream>

#include "env/AccessTrace.h"

namespace qy::cli {

TraceFile::TraceFile(const std::string& path) : m_path(path) {
    if (m_path.empty()) return;
    m_out.open(m_path, std::ios::binary | std::ios::trunc);
    if (!m_out) return;
    env::SetTraceOutput([this](const env::TraceEntry& e) {
        std::string line = env::TraceJson(e);
        line.push_back('\n');
        m_out.write(line.data(), static_cast<std::streamsize>(line.size()));
    });
}

TraceFile::~TraceFile() {
    if (m_out.is_open()) env::SetTraceOutput(nullptr);
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
