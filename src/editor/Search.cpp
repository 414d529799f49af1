#include "editor/Search.h"

#include "editor/Editor.h"

namespace qy::editor {
namespace {

int FlagsFor(SearchMode mode) {
    switch (mode) {
        case SearchMode::WholeWord: return kFindMatchCase | kFindWholeWord;
        case SearchMode::RegularExpression: return kFindMatchCase | kFindRegExp | kFindCxx11RegExp;
        case SearchMode::IgnoreCase: return 0;
        case SearchMode::MatchCase: break;
    }
    return kFindMatchCase;
}

}  // namespace

bool FindNext(Editor& editor, const std::string& ansiText, SearchMode mode) {
    int64_t start = editor.CurrentPos();
    int64_t end = editor.TextLength();
    int64_t matchStart = 0, matchEnd = 0;
    bool found = editor.FindText(FlagsFor(mode), start, end, ansiText, matchStart, matchEnd);
    editor.SetSel(matchStart, matchEnd);
    return found;
}

bool FindAgain(Editor& editor, const std::string& ansiText, SearchMode mode, bool forward) {
    if (ansiText.empty()) return false;
    const int flags = FlagsFor(mode);
    const int64_t length = editor.TextLength();
    int64_t matchStart = 0, matchEnd = 0;
    bool found = false;
    if (forward) {
        int64_t from = editor.SelectionEnd();
        found = editor.FindText(flags, from, length, ansiText, matchStart, matchEnd) ||
                editor.FindText(flags, 0, from, ansiText, matchStart, matchEnd);
    } else {
        // A range that runs backwards searches backwards.
        int64_t from = editor.SelectionStart();
        found = editor.FindText(flags, from, 0, ansiText, matchStart, matchEnd) ||
                editor.FindText(flags, length, from, ansiText, matchStart, matchEnd);
    }
    if (found && matchEnd > matchStart) editor.SetSel(matchStart, matchEnd);
    return found && matchEnd > matchStart;
}

}  // namespace qy::editor
