#include "env/AccessRecord.h"

#include "text/LogLines.h"

namespace qy::env {

void AccessRecord::Note(const std::string& object, const std::string& member, const Place& place) {
    std::string key = object;
    key.push_back('\0');
    key += member;
    auto it = m_index.find(key);
    if (it != m_index.end()) {
        ++m_misses[it->second].count;
        return;
    }
    if (m_misses.size() >= kMaxNames) return;
    m_index.emplace(std::move(key), m_misses.size());
    m_misses.push_back(Miss{object, member, 1, place});
}

std::vector<Miss> AccessRecord::Take() {
    std::vector<Miss> taken = std::move(m_misses);
    m_misses.clear();
    m_index.clear();
    return taken;
}

std::vector<std::string> ReportLines(const std::vector<Miss>& misses, size_t limit) {
    std::vector<std::string> lines;
    for (size_t i = 0; i < misses.size() && i < limit; ++i) {
        const Miss& m = misses[i];
        // The name is the script's (any string can be looked up): one line, always.
        lines.push_back("-->环境缺失：" + text::OneLogLineUtf8(m.Name()) + "（第 " + std::to_string(m.first.line) + " 行，" +
                        std::to_string(m.count) + " 次）");
    }
    if (misses.size() > limit)
        lines.push_back("-->环境缺失：另有 " + std::to_string(misses.size() - limit) + " 项未列出");
    return lines;
}

}  // namespace qy::env
