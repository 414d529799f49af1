/** @file AccessRecord.h
 * What scripts looked for in the browser environment and did not find: each missing
 * name once, with how often it was read and where first. Free of the engine.
 */
#pragma once

#include <cstdint>
#include <string>
#include <unordered_map>
#include <vector>

namespace qy::env {

/// A place in code: the engine's file name, line from 1, column from 0.
struct Place {
    std::string file;
    uint32_t line = 0;
    uint32_t column = 0;
};

struct Miss {
    std::string object;  ///< "navigator", …; empty for a name of the global
    std::string member;  ///< UTF-8
    uint32_t count = 0;
    Place first;

    /// "navigator.connection", or the bare name for the global.
    std::string Name() const { return object.empty() ? member : object + "." + member; }
};

class AccessRecord {
public:
    /// Counts one read; the first read of a name gives its place.
    void Note(const std::string& object, const std::string& member, const Place& place);
    /// Everything noted since the last Take, in the order first noted, and forgets it.
    std::vector<Miss> Take();
    bool Empty() const { return m_misses.empty(); }

    /// Distinct names kept between two takes; reads of further names are dropped.
    static constexpr size_t kMaxNames = 10000;

private:
    std::vector<Miss> m_misses;
    std::unordered_map<std::string, size_t> m_index;
};

/// The log lines (UTF-8, no line break) for `misses`: one per name, "-->环境缺失：
/// navigator.connection（第 12 行，3 次）", at most `limit` and then one line with
/// the count of the rest.
std::vector<std::string> ReportLines(const std::vector<Miss>& misses, size_t limit = 50);

}  // namespace qy::env
