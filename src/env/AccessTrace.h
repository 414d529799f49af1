/** @file AccessTrace.h
 * The trace of everything a script does with the page: each read, write, call and
 * construction through the page's interfaces (the window's members, navigator,
 * document, location, screen, storage, elements, canvas…) and the objects it adds beside
 * them (chrome, console, CSS), in the order the accesses
 * complete, with the values written as bounded previews and the script's line that
 * made it. Off unless an output is set; the page's interfaces are then made traced
 * from the next fresh global on, and cost nothing more otherwise.
 */
#pragma once

#include <cstdint>
#include <functional>
#include <string>
#include <vector>

#include <js/TypeDecls.h>

namespace qy::env {

enum class TraceKind { Get, Set, Call, Construct };

/// One access of the page by a script.
struct TraceEntry {
    uint64_t order = 0;         ///< from 1 in each fresh global, in the order accesses completed
    TraceKind kind = TraceKind::Get;
    std::u16string name;        ///< "navigator.userAgent", "HTMLCanvasElement.toDataURL", "window.setTimeout"
    std::u16string receiver;    ///< preview of the object it was made on (empty for the global and statics)
    std::u16string arguments;   ///< previews of a call's arguments, separated by ", "
    std::u16string value;       ///< the value read, written, returned or made (or the exception, when threw)
    bool threw = false;
    std::string file;           ///< the calling script's name (UTF-8)
    uint32_t line = 0;          ///< its line, from 1 (0: not known)
};

/// "读取", "写入", "调用", "构造".
std::u16string TraceKindName(TraceKind kind);
/// "get", "set", "call", "new" (the JSON form).
const char* TraceKindKey(TraceKind kind);
/// "#12 读取 navigator.userAgent = "Mozilla/5.0…"（第 3 行）", one line.
std::u16string TraceText(const TraceEntry& entry);
/// {"order":12,"kind":"get","name":"navigator.userAgent",…}: one JSON object, UTF-8, one line.
std::string TraceJson(const TraceEntry& entry);
/// True when every word of `filter` (separated by spaces) is found, case-insensitively,
/// in the entry's text; an empty filter matches all.
bool TraceMatches(const TraceEntry& entry, const std::u16string& filter);

/// The entries of the running load, as a window keeps them: a load's first access
/// starts the list afresh; past kMaxEntries further ones are only counted.
class TraceLog {
public:
    static constexpr size_t kMaxEntries = 200000;  // about 100 MB of entries at most

    /// Keeps `entry`; true when the list started afresh with it.
    bool Add(const TraceEntry& entry);
    void Clear();
    const std::vector<TraceEntry>& Entries() const { return m_entries; }
    /// Accesses of this load that were not kept (past the limit).
    uint64_t Dropped() const { return m_dropped; }
    /// The positions, in order, of the entries `filter` matches (see TraceMatches).
    std::vector<size_t> Matching(const std::u16string& filter, size_t from = 0) const;

private:
    std::vector<TraceEntry> m_entries;
    uint64_t m_dropped = 0;
};

/// The entries at `positions` as a text file (UTF-8, one TraceText line each, LF).
std::string TraceTextFile(const std::vector<TraceEntry>& entries, const std::vector<size_t>& positions);
/// The same as one JSON array, one entry per line.
std::string TraceJsonFile(const std::vector<TraceEntry>& entries, const std::vector<size_t>& positions);

using TraceOutput = std::function<void(const TraceEntry&)>;
/// Where the trace goes; an empty function turns it off. Applies to globals made from
/// now on (the running one keeps how it was made).
void SetTraceOutput(TraceOutput output);
/// True while an output is set.
bool TraceOn();
/// A fresh global starts counting from 1 again (its environment calls this).
void RestartTraceOrder();

/// Tells the environment's host (of a global made while the trace is on) to make the
/// page's interfaces traced, and gives it the report for what its own code sees happen.
/// False on an engine failure.
bool DefineTraceHost(JSContext* cx, JS::HandleObject host);

/// Longest preview of one value, in characters (longer ones end with "…").
inline constexpr size_t kTracePreviewLength = 120;

}  // namespace qy::env
