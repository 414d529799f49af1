/** @file DisplayBreaks.h
 * The line breaks the editor adds to show a very long line in pieces. They are bytes of
 * the shown document only: the text the workbench saves, runs, copies and counts lines
 * in is the shown text without them. Positions here are byte offsets of the shown
 * document, kept in ascending order and moved along as the shown text is edited.
 */
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qy::editor {

class DisplayBreaks {
public:
    /// The byte a display break is shown as.
    static constexpr char kBreak = '\n';

    const std::vector<int64_t>& Positions() const { return m_at; }
    bool Empty() const { return m_at.empty(); }
    size_t Count() const { return m_at.size(); }
    void Clear() { m_at.clear(); }
    /// Whether the shown byte at `shown` is a display break.
    bool IsBreak(int64_t shown) const;
    /// Display breaks in the shown range [from, to).
    size_t CountIn(int64_t from, int64_t to) const;

    /// The text position of shown position `shown` (a break counts for nothing).
    int64_t ToText(int64_t shown) const;
    /// The shown position of text position `text`: after any break that stands right
    /// before it, so that the character at `text` is the one found there.
    int64_t ToShown(int64_t text) const;

    /// `length` bytes were put into the shown text at `at`: breaks from `at` on move along.
    void Inserted(int64_t at, int64_t length);
    /// The shown bytes [at, at + length) were removed: the breaks among them go, the later
    /// ones move back.
    void Deleted(int64_t at, int64_t length);
    /// Breaks just put in at these shown positions (ascending, as Broken() lists them);
    /// the text they came with has been counted by Inserted() already.
    void Add(const std::vector<int64_t>& shown);

    /// Where breaks go in `line` (one line, no line end in it) so that no piece is
    /// longer than `piece` bytes: offsets of the bytes that start a new piece. A piece
    /// ends after punctuation or a space near its end where there is one, never inside a
    /// UTF-8 character.
    static std::vector<size_t> Pieces(std::string_view line, size_t piece);
    /// `text` with breaks put into every line longer than `over` bytes. The shown
    /// positions of the breaks, counted from `base`, are appended to `breaks`.
    static std::string Broken(std::string_view text, size_t over, size_t piece, std::vector<int64_t>& breaks,
                              int64_t base = 0);
    /// The shown bytes `shown`, which start at shown position `base`, without the breaks.
    std::string Strip(std::string_view shown, int64_t base) const;

private:
    std::vector<int64_t> m_at;
};

}  // namespace qy::editor
