/** @file GateEdits.cpp
 * Applying the gate's edits: one pass over the original text in order, copies of ranges
 * written again with the edits inside them, and the runs of the result noted for the
 * position map.
 */
#include "jscript/GateEdits.h"

#include <algorithm>
#include <cstring>

namespace qy::jscript::gate {

namespace {

bool isBreak(char16_t c) { return c == u'\n' || c == u'\r' || c == 0x2028 || c == 0x2029; }

/// Writes the rewritten text: source runs, edit texts and copies, noting every run.
class Writer {
public:
    Writer(std::u16string_view source, const std::vector<Edit>& edits, std::u16string& out)
        : m_source(source), m_edits(edits), m_out(out) {}

    void run() {
        m_out.reserve(m_source.size() + m_source.size() / 16 + 64);
        emitRange(0, static_cast<uint32_t>(m_source.size()), false);
    }

    std::vector<PositionMap::Segment> takeSegments() { return std::move(m_segments); }

private:
    void note(uint32_t original, uint32_t length, bool copied) {
        if (length == 0) return;
        uint32_t at = static_cast<uint32_t>(m_out.size()) - length;
        if (copied && !m_segments.empty()) {
            PositionMap::Segment& last = m_segments.back();
            if (last.copied && last.rewritten + last.length == at && last.original + last.length == original) {
                last.length += length;
                return;
            }
        }
        m_segments.push_back({at, original, length, copied});
    }

    void copySource(uint32_t from, uint32_t to) {
        if (to <= from) return;
        m_out.append(m_source.substr(from, to - from));
        note(from, to - from, true);
    }

    /// Writes [a, b) with its edits. In a copy, insertions at `a` belong to the text
    /// around the copied range, and a blank of exactly [a, b) is the range's own removal.
    void emitRange(uint32_t a, uint32_t b, bool copy) {
        size_t i = 0;
        if (copy) {
            i = static_cast<size_t>(std::lower_bound(m_edits.begin(), m_edits.end(), a,
                                                     [](const Edit& e, uint32_t pos) { return e.start < pos; }) -
                                    m_edits.begin());
        }
        uint32_t cur = a;
        for (; i < m_edits.size(); ++i) {
            const Edit& e = m_edits[i];
            if (copy ? e.start >= b : e.start > b) break;
            if (e.start < cur) continue;  // inside a range already replaced
            if (copy && e.start == a) {
                if (e.end == e.start) continue;
                if ((e.kind == EditKind::Blank || e.kind == EditKind::BlankStatement) && e.end == b) continue;
            }
            copySource(cur, e.start);
            emitEdit(e);
            cur = std::max(cur, e.end);
        }
        copySource(cur, b);
    }

    void emitEdit(const Edit& e) {
        switch (e.kind) {
        case EditKind::Text:
            m_out.append(e.text);
            note(e.start, static_cast<uint32_t>(e.text.size()), false);
            break;
        case EditKind::Blank:
        case EditKind::BlankStatement: {
            size_t from = m_out.size();
            for (uint32_t p = e.start; p < e.end; ++p) {
                char16_t c = m_source[p];
                m_out.push_back(isBreak(c) ? c : u' ');
            }
            if (e.kind == EditKind::BlankStatement && e.end > e.start) m_out[from] = u';';
            note(e.start, e.end - e.start, true);
            break;
        }
        case EditKind::Copy:
            m_out.append(e.text);
            note(e.start, static_cast<uint32_t>(e.text.size()), false);
            emitRange(e.copyStart, e.copyEnd, true);
            break;
        }
    }

    std::u16string_view m_source;
    const std::vector<Edit>& m_edits;
    std::u16string& m_out;
    std::vector<PositionMap::Segment> m_segments;
};

}  // namespace

void EditList::add(uint32_t start, uint32_t end, EditKind kind, std::u16string_view text) {
    Edit e;
    e.start = start;
    e.end = end;
    e.kind = kind;
    e.text = text;
    e.sequence = static_cast<uint32_t>(m_edits.size());
    m_edits.push_back(e);
}

void EditList::replaceOwned(uint32_t start, uint32_t end, std::u16string text) {
    m_store.push_back(std::move(text));
    add(start, end, EditKind::Text, m_store.back());
}

void EditList::copy(uint32_t at, std::u16string_view prefix, uint32_t from, uint32_t to) {
    add(at, at, EditKind::Copy, prefix);
    m_edits.back().copyStart = from;
    m_edits.back().copyEnd = to;
}

void EditList::apply(std::u16string_view source, std::u16string& out, PositionMap& map) {
    // At one offset insertions come before a replacement, each group in recording order.
    std::sort(m_edits.begin(), m_edits.end(), [](const Edit& x, const Edit& y) {
        if (x.start != y.start) return x.start < y.start;
        bool xi = x.end == x.start, yi = y.end == y.start;
        if (xi != yi) return xi;
        if (x.outer != y.outer) return x.outer;
        return x.outer ? x.sequence > y.sequence : x.sequence < y.sequence;
    });
    out.clear();
    Writer w(source, m_edits, out);
    w.run();
    PositionMapBuilder::fill(map, w.takeSegments(), source, out);
}

void PositionMapBuilder::fill(PositionMap& map, std::vector<PositionMap::Segment> segments,
                              std::u16string_view original, std::u16string_view rewritten) {
    map.m_originalLines = LineStarts(original);
    const std::vector<uint32_t>& lines = map.m_originalLines;
    std::vector<uint32_t> out;
    out.reserve(lines.size() + 8);
    out.push_back(0);
    for (const PositionMap::Segment& s : segments) {
        if (s.copied) {
            auto it = std::upper_bound(lines.begin(), lines.end(), s.original);
            for (; it != lines.end() && *it <= s.original + s.length; ++it) out.push_back(s.rewritten + (*it - s.original));
        } else {
            std::vector<uint32_t> inserted = LineStarts(rewritten.substr(s.rewritten, s.length));
            for (size_t k = 1; k < inserted.size(); ++k) out.push_back(s.rewritten + inserted[k]);
        }
    }
    map.m_rewrittenLines = std::move(out);
    map.m_segments = std::move(segments);
}

std::vector<uint32_t> LineStarts(std::u16string_view text) {
    std::vector<uint32_t> starts;
    starts.reserve(text.size() / 32 + 2);
    starts.push_back(0);
    // Four units at a time while none of them is CR, LF, U+2028 or U+2029.
    constexpr uint64_t ones = 0x0001000100010001ull, highs = 0x8000800080008000ull;
    auto hasZeroUnit = [](uint64_t v) { return (v - ones) & ~v & highs; };
    const size_t n = text.size();
    size_t i = 0;
    while (i < n) {
        if (i + 4 <= n) {
            uint64_t x;
            std::memcpy(&x, text.data() + i, sizeof x);
            if (!(hasZeroUnit(x ^ (ones * 0x0A)) | hasZeroUnit(x ^ (ones * 0x0D)) |
                  hasZeroUnit((x | ones) ^ (ones * 0x2029)))) {
                i += 4;
                continue;
            }
        }
        char16_t c = text[i];
        if (c == u'\r') {
            if (i + 1 < n && text[i + 1] == u'\n') ++i;
            starts.push_back(static_cast<uint32_t>(i + 1));
        } else if (c == u'\n' || c == 0x2028 || c == 0x2029) {
            starts.push_back(static_cast<uint32_t>(i + 1));
        }
        ++i;
    }
    return starts;
}

std::pair<uint32_t, uint32_t> LineAndColumn(std::u16string_view text, uint32_t offset) {
    uint32_t line = 1, lineStart = 0;
    const uint32_t n = std::min<uint32_t>(offset, static_cast<uint32_t>(text.size()));
    for (uint32_t i = 0; i < n; ++i) {
        char16_t c = text[i];
        if (c == u'\r') {
            if (i + 1 < text.size() && text[i + 1] == u'\n') {
                if (i + 1 >= n) break;  // the offset is the LF of a CR LF: still on this line
                ++i;
            }
        } else if (c != u'\n' && c != 0x2028 && c != 0x2029) {
            continue;
        }
        ++line;
        lineStart = i + 1;
    }
    return {line, offset - lineStart};
}

}  // namespace qy::jscript::gate
