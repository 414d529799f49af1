/** @file Search.h
 * Finding the search text in the current editor, from the caret to the end. A hit is
 * selected with the caret behind it, so the next search goes on from there; a miss
 * puts the caret at the start, so the search after it wraps to the top.
 */
#pragma once

#include <string>

namespace qy::editor {

class Editor;

/// The options of the search row, in the order the drop-down list offers them. Every
/// mode matches letter case exactly.
enum class SearchMode { WholeWord = 0, MatchCase = 1, RegularExpression = 2 };

/// Searches `ansiText` from the caret of `editor` and selects the match (or 0..0).
void FindNext(Editor& editor, const std::string& ansiText, SearchMode mode = SearchMode::MatchCase);

}  // namespace qy::editor
