// The editor wrapper: operations and their argument rules, configuration read back,
// folding from the margin, search.
#include "editor/Editor.h"

#include <gtest/gtest.h>

#include "common/TestSupport.h"
#include "editor/Search.h"
#include "text/CodePage.h"

using namespace qy::editor;
using qy::test::Bytes;
using qy::test::Hex;

namespace {
std::string Ansi(const char* utf8) { return qy::text::Utf8ToAnsiText(utf8); }
}  // namespace

TEST(EditorOperations, TextGoesInAndComesBackAsTheSameBytes) {
    Editor e;
    EXPECT_EQ(e.Text(), "");
    std::string bytes = Bytes({'a', 0xD6, 0xD0, 0xFF, 0xFE, 0x61, 0x81, '\r', '\n'});
    e.SetText(bytes);
    EXPECT_EQ(Hex(e.Text()), Hex(bytes));
    e.SetText(Ansi("中文"));
    EXPECT_EQ(e.TextLength(), 6);  // the document's own UTF-8 bytes
    EXPECT_EQ(e.Text(), Ansi("中文"));
}

TEST(EditorOperations, AddTextLengthRules) {
    Editor e;
    e.AddText("abcdef", 3);
    EXPECT_EQ(e.Text(), "abc");
    e.AddText("xyz", -2);
    EXPECT_EQ(e.Text(), "abc");
    e.AddText("xyz", 100);
    EXPECT_EQ(e.Text(), "abcxyz");
    e.AddText("!", -1);
    EXPECT_EQ(e.Text(), "abcxyz!");
    EXPECT_EQ(e.CurrentPos(), 7);
}

TEST(EditorOperations, FindSelectAndLineRules) {
    Editor e;
    e.SetText("one\r\ntwo\r\nthree");
    int64_t s = -5, t = -5;
    EXPECT_FALSE(e.FindText(kFindMatchCase, 0, e.TextLength(), "four", s, t));
    EXPECT_EQ(s, -5);
    EXPECT_EQ(t, -5);
    EXPECT_TRUE(e.FindText(kFindMatchCase, 0, e.TextLength(), "two", s, t));
    EXPECT_EQ(s, 5);
    EXPECT_EQ(t, 8);
    e.SetSel(2, 4);
    e.SetSel(-1, 0);
    EXPECT_EQ(e.SelectionStart(), 2);
    EXPECT_EQ(e.PositionFromLine(-1), 0);
    EXPECT_EQ(e.LineEndPosition(-3), 0);
    EXPECT_EQ(e.LineFromPosition(-9), 0);
    EXPECT_EQ(e.PositionFromLine(2), 10);
    EXPECT_EQ(e.LineEndPosition(1), 8);
    e.SetSel(0, 3);
    e.ClearSelection();
    EXPECT_EQ(e.Text(), "\r\ntwo\r\nthree");
    e.ClearAll();
    EXPECT_EQ(e.TextLength(), 0);
}

TEST(EditorConfiguration, NewEditorDefaults) {
    Editor e;
    using B = QsciScintillaBase;
    EXPECT_EQ(e.Query(B::SCI_GETEOLMODE), B::SC_EOL_CRLF);
    EXPECT_EQ(e.Query(B::SCI_GETWRAPMODE), 0);
    EXPECT_EQ(e.Query(B::SCI_GETMARGINWIDTHN, 1), 0);
    EXPECT_EQ(e.Query(B::SCI_GETREADONLY), 0);
    EXPECT_EQ(e.Query(B::SCI_GETCODEPAGE), B::SC_CP_UTF8);
    EXPECT_EQ(e.Query(B::SCI_GETHSCROLLBAR), 0);
    EXPECT_EQ(e.Query(B::SCI_GETVSCROLLBAR), 0);
    EXPECT_EQ(e.Query(B::SCI_GETVIEWWS), 0);
    EXPECT_EQ(e.Query(B::SCI_GETVIEWEOL), 0);
    EXPECT_EQ(e.Query(B::SCI_GETCARETLINEVISIBLE), 0);
    EXPECT_EQ(e.Query(B::SCI_GETCARETFORE), 0x000000);
    // Line breaks typed by the user are CR LF.
    e.Query(B::SCI_NEWLINE);
    EXPECT_EQ(e.Text(), "\r\n");
}

TEST(EditorConfiguration, LexerColoursTheScriptWithBothKeywordLists) {
    Editor e;
    e.ConfigureEditor();
    const std::string script =
        "function f(){ var s=\"dq\"; var t='sq'; window.x=1; /* block */ return this; }//line";
    e.SetText(script);
    e.Query(QsciScintillaBase::SCI_COLOURISE, 0, -1);
    auto styleOf = [&](const char* word) {
        size_t at = script.find(word);
        return e.Query(QsciScintillaBase::SCI_GETSTYLEAT, at);
    };
    EXPECT_EQ(styleOf("function"), 5);
    EXPECT_EQ(styleOf("var"), 5);
    EXPECT_EQ(styleOf("this"), 5);
    EXPECT_EQ(styleOf("\"dq\""), 6);  // double-quoted: grey
    EXPECT_EQ(styleOf("'sq'"), 7);      // single-quoted: a style left black
    EXPECT_EQ(styleOf("window"), 16);
    EXPECT_EQ(styleOf("1;"), 4);
    EXPECT_EQ(styleOf("/* block"), 1);
    EXPECT_EQ(styleOf("//line"), 2);
    EXPECT_EQ(styleOf("="), 10);
    EXPECT_EQ(e.Query(QsciScintillaBase::SCI_STYLEGETFORE, 7), 0x000000);
}

TEST(EditorConfiguration, ValuesReadBackAfterConfigure) {
    Editor e;
    e.ConfigureEditor();
    using B = QsciScintillaBase;
    EXPECT_EQ(e.Query(B::SCI_GETMARGINWIDTHN, 0), 30);
    EXPECT_EQ(e.Query(B::SCI_GETMARGINTYPEN, 0), B::SC_MARGIN_NUMBER);
    EXPECT_EQ(e.Query(B::SCI_GETMARGINSENSITIVEN, 0), 1);
    EXPECT_EQ(e.Query(B::SCI_GETMARGINWIDTHN, 1), 13);
    EXPECT_EQ(e.Query(B::SCI_GETMARGINSENSITIVEN, 1), 1);  // breakpoints are toggled there
    EXPECT_EQ(e.Query(B::SCI_GETMARGINWIDTHN, 2), 13);
    EXPECT_EQ(static_cast<unsigned long>(e.Query(B::SCI_GETMARGINMASKN, 2)) & 0xFFFFFFFFul, 0xFE000000ul);
    EXPECT_EQ(e.Query(B::SCI_GETMARGINSENSITIVEN, 2), 1);
    EXPECT_EQ(e.Query(B::SCI_GETLEXER), 3);
    EXPECT_EQ(e.Query(B::SCI_GETWRAPMODE), 1);
    EXPECT_EQ(e.Query(B::SCI_GETHSCROLLBAR), 0);
    EXPECT_EQ(e.Query(B::SCI_GETVSCROLLBAR), 1);
    struct Style { unsigned long style; long colour; };
    for (Style s : {Style{0, 0x000000}, Style{1, 0x008000}, Style{2, 0x008000}, Style{4, 0x0000FF}, Style{5, 0x800000},
                    Style{6, 0x808080}, Style{10, 0x641928}, Style{12, 0x808080}, Style{14, 0x808080},
                    Style{16, 0x0000FF}, Style{7, 0x000000}}) {
        EXPECT_EQ(e.Query(B::SCI_STYLEGETFORE, s.style), s.colour) << "style " << s.style;
    }
    EXPECT_EQ(e.Query(B::SCI_STYLEGETBACK, 33), 0xFFFFFF);
    EXPECT_EQ(e.Query(B::SCI_MARKERSYMBOLDEFINED, 31), B::SC_MARK_BOXMINUS);
    EXPECT_EQ(e.Query(B::SCI_MARKERSYMBOLDEFINED, 30), B::SC_MARK_BOXPLUS);
    EXPECT_EQ(e.Query(B::SCI_MARKERSYMBOLDEFINED, 27), B::SC_MARK_TCORNER);
    EXPECT_EQ(e.geometry(), QRect(0, 0, 822, 344));
}

TEST(EditorConfiguration, NumberMarginFitsTheLargestLineNumber) {
    Editor e;
    e.ConfigureEditor();
    using B = QsciScintillaBase;
    auto widthOf = [&](const char* digits) {
        return e.SendScintilla(B::SCI_TEXTWIDTH, static_cast<unsigned long>(B::STYLE_LINENUMBER), digits);
    };
    std::string lines;
    for (int i = 1; i < 100000; ++i) lines += "x\r\n";
    e.SetText(lines + "last");
    ASSERT_EQ(e.Query(B::SCI_GETLINECOUNT), 100000);
    EXPECT_GT(e.Query(B::SCI_GETMARGINWIDTHN, 0), widthOf("100000"));
    EXPECT_GT(e.Query(B::SCI_GETMARGINWIDTHN, 0), 30);
    // Typing and deleting follow the line count; a short text has the narrowest margin.
    e.SetText("a");
    EXPECT_EQ(e.Query(B::SCI_GETMARGINWIDTHN, 0), 30);
    e.AddText(std::string(9999, '\n'));
    EXPECT_GT(e.Query(B::SCI_GETMARGINWIDTHN, 0), widthOf("10000"));
    e.ClearAll();
    EXPECT_EQ(e.Query(B::SCI_GETMARGINWIDTHN, 0), 30);
}

TEST(EditorConfiguration, FoldMarginClickFoldsAndUnfolds) {
    Editor e;
    e.ConfigureEditor();
    e.SetText("function f() {\r\n  return 1;\r\n}\r\n");
    e.Query(QsciScintillaBase::SCI_COLOURISE, 0, -1);
    ASSERT_NE(e.Query(QsciScintillaBase::SCI_GETFOLDLEVEL, 0) & QsciScintillaBase::SC_FOLDLEVELHEADERFLAG, 0);
    emit e.SCN_MARGINCLICK(0, 0, 0);  // the number margin does nothing
    EXPECT_TRUE(e.LineVisible(1));
    emit e.SCN_MARGINCLICK(0, 0, 2);
    EXPECT_FALSE(e.LineVisible(1));
    emit e.SCN_MARGINCLICK(0, 0, 2);
    EXPECT_TRUE(e.LineVisible(1));
}

TEST(Search, FromTheCaretThenWrapping) {
    Editor e;
    e.SetText("abc abc");
    e.SetSel(0, 0);
    const std::pair<int, int> expected[] = {{0, 3}, {4, 7}, {0, 0}, {0, 3}};
    for (auto [s, t] : expected) {
        FindNext(e, "abc");
        EXPECT_EQ(e.SelectionStart(), s);
        EXPECT_EQ(e.SelectionEnd(), t);
        EXPECT_EQ(e.CurrentPos(), t);
    }
}

TEST(Search, PlainCaseSensitiveTextByDefault) {
    Editor e;
    e.SetText("abc");
    e.SetSel(2, 2);
    FindNext(e, "ABC");
    EXPECT_EQ(e.CurrentPos(), 0);
    e.SetText("about tab");
    e.SetSel(0, 0);
    FindNext(e, "ab");
    EXPECT_EQ(e.SelectionStart(), 0);
    FindNext(e, "ab");
    EXPECT_EQ(e.SelectionStart(), 7);
    e.SetText("abc a.c");
    e.SetSel(0, 0);
    FindNext(e, "a.c");
    EXPECT_EQ(e.SelectionStart(), 4);
    e.SetText("xabcx abc");
    e.SetSel(2, 2);  // inside the first occurrence: it is passed over
    FindNext(e, "abc");
    EXPECT_EQ(e.SelectionStart(), 6);
    e.SetSel(3, 3);
    FindNext(e, "");
    EXPECT_GE(e.SelectionStart(), 0);
}

TEST(Search, EveryOptionMatchesLetterCase) {
    Editor e;
    for (SearchMode mode : {SearchMode::WholeWord, SearchMode::MatchCase, SearchMode::RegularExpression}) {
        e.SetText("abc");
        e.SetSel(2, 2);
        FindNext(e, "ABC", mode);
        EXPECT_EQ(e.CurrentPos(), 0) << static_cast<int>(mode);
        EXPECT_EQ(e.SelectionEnd(), 0) << static_cast<int>(mode);
    }
}

TEST(Search, BrokenRegularExpressionIsAMiss) {
    Editor e;
    e.SetText("a(b a[c");
    e.SetSel(3, 3);
    for (const char* pattern : {"a(", "a[", "*", "(?<"}) {
        FindNext(e, pattern, SearchMode::RegularExpression);
        EXPECT_EQ(e.CurrentPos(), 0) << pattern;
        EXPECT_EQ(e.Text(), "a(b a[c");
    }
}

TEST(Search, WholeWordAndRegularExpressionOptions) {
    Editor e;
    e.SetText("about tab ab Ab");
    e.SetSel(0, 0);
    FindNext(e, "ab", SearchMode::WholeWord);
    EXPECT_EQ(e.SelectionStart(), 10);
    FindNext(e, "ab", SearchMode::WholeWord);
    EXPECT_EQ(e.CurrentPos(), 0);
    e.SetText("x a12c a.c");
    e.SetSel(0, 0);
    FindNext(e, "a[0-9]+c", SearchMode::RegularExpression);
    EXPECT_EQ(e.SelectionStart(), 2);
    EXPECT_EQ(e.SelectionEnd(), 6);
}
