#include "editor/DisplayBreaks.h"

#include <algorithm>

namespace qy::editor {
namespace {

bool IsContinuation(char c) { return (static_cast<unsigned char>(c) & 0xC0) == 0x80; }

bool EndsPiece(char c) {
    switch (c) {
        case ';': case ',': case '{': case '}': case ')': case ' ': case '\t': return true;
        default: return false;
    }
}

bool IsLineEnd(char c) { return c == '\r' || c == '\n'; }

}  // namespace

bool DisplayBreaks::IsBreak(int64_t shown) const { return std::binary_search(m_at.begin(), m_at.end(), shown); }

size_t DisplayBreaks::CountIn(int64_t from, int64_t to) const {
    if (to <= from) return 0;
    auto a = std::lower_bound(m_at.begin(), m_at.end(), from);
    auto b = std::lower_bound(a, m_at.end(), to);
    return static_cast<size_t>(b - a);
}

int64_t DisplayBreaks::ToText(int64_t shown) const {
    return shown - static_cast<int64_t>(std::lower_bound(m_at.begin(), m_at.end(), shown) - m_at.begin());
}

int64_t DisplayBreaks::ToShown(int64_t text) const {
    // Break i stands before text position m_at[i] - i; those positions never decrease.
    size_t lo = 0, hi = m_at.size();
    while (lo < hi) {
        const size_t mid = lo + (hi - lo) / 2;
        if (m_at[mid] - static_cast<int64_t>(mid) <= text) lo = mid + 1;
        else hi = mid;
    }
    return text + static_cast<int64_t>(lo);
}

void DisplayBreaks::Inserted(int64_t at, int64_t length) {
    if (length <= 0) return;
    for (auto it = std::lower_bound(m_at.begin(), m_at.end(), at); it != m_at.end(); ++it) *it += length;
}

void DisplayBreaks::Deleted(int64_t at, int64_t length) {
    if (length <= 0) return;
    auto a = std::lower_bound(m_at.begin(), m_at.end(), at);
    auto b = std::lower_bound(a, m_at.end(), at + length);
    for (auto it = b; it != m_at.end(); ++it) *it -= length;
    m_at.erase(a, b);
}

void DisplayBreaks::Add(const std::vector<int64_t>& shown) {
    const size_t before = m_at.size();
    m_at.insert(m_at.end(), shown.begin(), shown.end());
    std::inplace_merge(m_at.begin(), m_at.begin() + static_cast<std::ptrdiff_t>(before), m_at.end());
}

std::vector<size_t> DisplayBreaks::Pieces(std::string_view line, size_t piece) {
    std::vector<size_t> starts;
    if (piece < 8) piece = 8;
    size_t start = 0;
    while (line.size() - start > piece) {
        const size_t limit = start + piece;
        size_t at = 0;
        // Punctuation or a space in the last quarter of the piece ends it.
        for (size_t p = limit; p > start + piece * 3 / 4; --p) {
            if (EndsPiece(line[p - 1]) && !IsContinuation(line[p])) {
                at = p;
                break;
            }
        }
        if (at == 0) {
            at = limit;
            // Not inside a character (a run of stray continuation bytes is cut anywhere).
            for (int back = 0; back < 4 && at > start + 1 && IsContinuation(line[at]); ++back) --at;
            if (IsContinuation(line[at])) at = limit;
        }
        if (at >= line.size()) break;
        starts.push_back(at);
        start = at;
    }
    return starts;
}

std::string DisplayBreaks::Broken(std::string_view text, size_t over, size_t piece, std::vector<int64_t>& breaks,
                                  int64_t base) {
    std::string shown;
    shown.reserve(text.size() + text.size() / std::max<size_t>(piece / 2, 1) + 16);
    size_t lineStart = 0;
    while (lineStart <= text.size()) {
        size_t lineEnd = lineStart;
        while (lineEnd < text.size() && !IsLineEnd(text[lineEnd])) ++lineEnd;
        const std::string_view line = text.substr(lineStart, lineEnd - lineStart);
        if (line.size() > over) {
            size_t from = 0;
            for (size_t at : Pieces(line, piece)) {
                shown.append(line.substr(from, at - from));
                breaks.push_back(base + static_cast<int64_t>(shown.size()));
                shown.push_back(kBreak);
                from = at;
            }
            shown.append(line.substr(from));
        } else {
            shown.append(line);
        }
        if (lineEnd >= text.size()) break;
        size_t next = lineEnd + 1;
        if (text[lineEnd] == '\r' && next < text.size() && text[next] == '\n') ++next;
        shown.append(text.substr(lineEnd, next - lineEnd));
        lineStart = next;
    }
    return shown;
}

std::string DisplayBreaks::Strip(std::string_view shown, int64_t base) const {
    std::string text;
    text.reserve(shown.size());
    auto it = std::lower_bound(m_at.begin(), m_at.end(), base);
    size_t from = 0;
    for (; it != m_at.end() && *it < base + static_cast<int64_t>(shown.size()); ++it) {
        const size_t at = static_cast<size_t>(*it - base);
        text.append(shown.substr(from, at - from));
        from = at + 1;
    }
    text.append(shown.substr(from));
    return text;
}

}  // namespace qy::editor
