/** @file GateEdits.h
 * The gate's changes to a script, kept as edits on the original text (insertions,
 * replacements, blanked ranges and copies of ranges), and the writer that applies them,
 * producing the rewritten text and its map back to the original.
 */
#pragma once

#include <cstdint>
#include <deque>
#include <string>
#include <string_view>
#include <vector>

#include "jscript/SourceGate.h"

namespace qy::jscript::gate {

/// Refusal of the script: a JScript compile error code at an offset of the original text.
/// Thrown inside the gate only; PrepareJScript turns it into a CompileError.
struct Failure {
    int code = 0;
    uint32_t offset = 0;
};

enum class EditKind : uint8_t {
    Text,            ///< the range [start, end) becomes `text` (an insertion when empty)
    Blank,           ///< the range becomes spaces, line breaks kept
    BlankStatement,  ///< the same, its first character ';' so a statement stays a statement
    Copy,            ///< insertion at start: `text`, then [copyStart, copyEnd) with its own edits
};

struct Edit {
    uint32_t start = 0;
    uint32_t end = 0;
    uint32_t sequence = 0;
    EditKind kind = EditKind::Text;
    uint32_t copyStart = 0;
    uint32_t copyEnd = 0;
    bool outer = false;        ///< an insertion that opens around everything else inserted at its offset
    std::u16string_view text;  ///< static text, text of the source, or kept in the list's store
};

/// The edits of one preparation, recorded in any order.
class EditList {
public:
    bool empty() const { return m_edits.empty(); }
    size_t size() const { return m_edits.size(); }

    void insert(uint32_t at, std::u16string_view text) { add(at, at, EditKind::Text, text); }
    /// An insertion that opens a wrapper around code already read: it goes before every
    /// other insertion at its offset, a later one outside an earlier one.
    void insertOuter(uint32_t at, std::u16string_view text) {
        add(at, at, EditKind::Text, text);
        m_edits.back().outer = true;
    }
    void replace(uint32_t start, uint32_t end, std::u16string_view text) { add(start, end, EditKind::Text, text); }
    /// As replace, the text kept by the list (for text made on the spot).
    void replaceOwned(uint32_t start, uint32_t end, std::u16string text);
    void blank(uint32_t start, uint32_t end, bool statement = false) {
        if (end > start) add(start, end, statement ? EditKind::BlankStatement : EditKind::Blank, {});
    }
    /// Inserts at `at` the prefix and then the text of [from, to) as rewritten.
    void copy(uint32_t at, std::u16string_view prefix, uint32_t from, uint32_t to);

    /// Applies the edits to `source`: the rewritten text and its position map.
    void apply(std::u16string_view source, std::u16string& out, PositionMap& map);

private:
    void add(uint32_t start, uint32_t end, EditKind kind, std::u16string_view text);

    std::vector<Edit> m_edits;
    std::deque<std::u16string> m_store;
};

/// Offsets where each line starts, breaks counted as the engine counts them (CR LF is one
/// break; CR, LF, U+2028 and U+2029 each end a line).
std::vector<uint32_t> LineStarts(std::u16string_view text);

/// Line (from 1) and column (from 0) of `offset`.
std::pair<uint32_t, uint32_t> LineAndColumn(std::u16string_view text, uint32_t offset);

/// Fills a PositionMap (its data is private to the map and this builder).
class PositionMapBuilder {
public:
    /// The rewritten text's line starts come from the original's through the segments.
    static void fill(PositionMap& map, std::vector<PositionMap::Segment> segments, std::u16string_view original,
                     std::u16string_view rewritten);
};

}  // namespace qy::jscript::gate
