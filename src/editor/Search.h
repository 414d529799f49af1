/** @file Search.h
 * Finding the search text in the current editor, from the caret to the end. A hit is
 * selected with the caret behind it, so the next search goes on from there; a miss
 * puts the caret at the start, so the search after it wraps to the top.
 */
#pragma once

#include <string>

namespace qy::editor {

class Editor;

/// The options of the search row, in the order the drop-down list offers them. The
/// first three match letter case exactly; the last is a plain search ignoring it.
enum class SearchMode { WholeWord = 0, MatchCase = 1, RegularExpression = 2, IgnoreCase = 3 };

/// Searches `ansiText` from the caret of `editor` and selects the match (or 0..0).
/// Returns whether it found one.
bool FindNext(Editor& editor, const std::string& ansiText, SearchMode mode = SearchMode::MatchCase);

/// The search of F3 (forward) and Shift+F3 (backward): from the selection on, wrapping
/// round the text once. A hit is selected; a miss leaves the selection and caret alone.
bool FindAgain(Editor& editor, const std::string& ansiText, SearchMode mode, bool forward);

}  // namespace qy::editor
