#include "editor/Search.h"

#include "editor/Editor.h"

namespace qy::editor {
namespace {

int FlagsFor(SearchMode mode) {
    switch (mode) {
        case SearchMode::WholeWord: return kFindMatchCase | kFindWholeWord;
        case SearchMode::RegularExpression: return kFindMatchCase | kFindRegExp | kFindCxx11RegExp;
        case SearchMode::MatchCase: break;
    }
    return kFindMatchCase;
}

}  // namespace

void FindNext(Editor& editor, const std::string& ansiText, SearchMode mode) {
    int64_t start = editor.CurrentPos();
    int64_t end = editor.TextLength();
    int64_t matchStart = 0, matchEnd = 0;
    editor.FindText(FlagsFor(mode), start, end, ansiText, matchStart, matchEnd);
    editor.SetSel(matchStart, matchEnd);
}

}  // namespace qy::editor
