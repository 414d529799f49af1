// A very long line is shown in pieces while the text stays the text: real keystrokes,
// undo, copy, search, lines, columns and breakpoints all see the original bytes.
#include <gtest/gtest.h>

#include <QApplication>
#include <QAccessible>
#include <QClipboard>
#include <QMimeData>
#include <QTest>

#include "editor/Editor.h"

using qy::editor::Editor;

namespace {

/// One line of `bytes` bytes with multibyte characters in it (editor UTF-8 = workbench text
/// only for ASCII, so the line is ASCII apart from a marked word).
std::string Bundle(size_t bytes) {
    std::string s;
    while (s.size() < bytes) s += "var a=function(b){return b+1},c=[1,2,3];";
    s.resize(bytes);
    return s;
}

size_t LongestShownLine(const Editor& e) {
    size_t run = 0, longest = 0;
    for (char c : e.ShownUtf8()) longest = std::max(longest, run = (c == '\n' || c == '\r') ? 0 : run + 1);
    return longest;
}

}  // namespace

TEST(LongLines, ShownInPiecesWhileTheTextStaysWhole) {
    Editor e;
    const std::string text = "first();\r\n" + Bundle(300000) + "\r\nlast();";
    e.SetText(text);
    ASSERT_TRUE(e.InPieces());
    EXPECT_EQ(e.Text(), text);
    EXPECT_EQ(e.TextLength(), static_cast<int64_t>(text.size()));
    EXPECT_EQ(e.LineCount(), 3);
    EXPECT_LE(LongestShownLine(e), static_cast<size_t>(Editor::kPiece));
    EXPECT_GT(e.ShownUtf8().size(), text.size());
    // Lines and columns of the text: the error position of "last" is line 3, column 0.
    const int64_t last = static_cast<int64_t>(text.find("last"));
    EXPECT_EQ(e.LineFromPosition(last), 2);
    EXPECT_EQ(e.PositionFromLine(2), last);
    EXPECT_EQ(e.ColumnFromPosition(250010), 250000);
    // Going to a place puts the caret on that byte of the text.
    e.SetSel(250010, 250010);
    EXPECT_EQ(e.CurrentPos(), 250010);
    e.GoToLine(2);
    EXPECT_EQ(e.CurrentPos(), last);
    // Search finds a match wherever the pieces are cut.
    int64_t from = 0, to = 0, found = 0;
    const std::string word = "return b+1},c=[1,2,3];var";
    for (int64_t at = 10; e.FindText(0, at, e.TextLength(), word, from, to); at = to) {
        EXPECT_EQ(text.substr(static_cast<size_t>(from), word.size()), word);
        ++found;
    }
    size_t expected = 0;
    for (size_t at = text.find(word); at != std::string::npos; at = text.find(word, at + 1)) ++expected;
    EXPECT_EQ(static_cast<size_t>(found), expected);
    // A breakpoint on the line after the long one stays on that line.
    e.ToggleBreakpoint(2);
    ASSERT_EQ(e.Breakpoints().size(), 1u);
    EXPECT_EQ(e.Breakpoints()[0].line, 2);
}

TEST(LongLines, KeystrokesUndoAndCopyKeepTheExactBytes) {
    Editor e;
    e.resize(600, 300);
    e.show();
    const std::string text = Bundle(200000);
    e.SetText(text);
    e.EmptyUndoBuffer();
    ASSERT_TRUE(e.InPieces());
    // Typed in the middle of the line.
    e.SetSel(100000, 100000);
    QTest::keyClicks(&e, "xyz");
    std::string expected = text;
    expected.insert(100000, "xyz");
    EXPECT_EQ(e.Text(), expected);
    EXPECT_EQ(e.CurrentPos(), 100003);
    // Backspace at the start of a piece takes the character before it, not the break.
    const std::string shown = e.ShownUtf8();
    const size_t pieceStart = shown.find('\n', 1000) + 1;
    e.SetSel(0, 0);
    const int64_t textPos = [&] {
        int64_t breaks = 0;
        for (size_t i = 0; i < pieceStart; ++i) breaks += shown[i] == '\n';
        return static_cast<int64_t>(pieceStart) - breaks;
    }();
    e.SetSel(textPos, textPos);
    QTest::keyClick(&e, Qt::Key_Backspace);
    std::string afterBackspace = expected;
    afterBackspace.erase(static_cast<size_t>(textPos - 1), 1);
    EXPECT_EQ(e.Text(), afterBackspace);
    // Undo takes back the backspace, then the typing as one step; redo brings them again.
    QTest::keyClick(&e, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(e.Text(), expected);
    QTest::keyClick(&e, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(e.Text(), text);
    EXPECT_FALSE(e.CanUndo());
    QTest::keyClick(&e, Qt::Key_Y, Qt::ControlModifier);
    EXPECT_EQ(e.Text(), expected);
    // A selection across many pieces is copied as the text's own bytes.
    e.SetSel(5, 150005);
    QTest::keyClick(&e, Qt::Key_C, Qt::ControlModifier);
    EXPECT_EQ(QApplication::clipboard()->text().toStdString(), expected.substr(5, 150000));
    // Cut and paste it back: nothing lost, the pieces come back.
    QTest::keyClick(&e, Qt::Key_X, Qt::ControlModifier);
    EXPECT_EQ(e.TextLength(), static_cast<int64_t>(expected.size() - 150000));
    QTest::keyClick(&e, Qt::Key_V, Qt::ControlModifier);
    EXPECT_EQ(e.Text(), expected);
    EXPECT_LE(LongestShownLine(e), static_cast<size_t>(Editor::kPieceOver));
    // Undo of the paste and of the cut restores the same text.
    QTest::keyClick(&e, Qt::Key_Z, Qt::ControlModifier);
    QTest::keyClick(&e, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(e.Text(), expected);
}

TEST(LongLines, PastingABundleIntoAnEditorShowsItInPieces) {
    Editor e;
    e.resize(600, 300);
    e.show();
    e.SetText("// start\r\n");
    e.SetSel(10, 10);
    const std::string bundle = Bundle(300000);
    QApplication::clipboard()->setText(QString::fromStdString(bundle));
    QTest::keyClick(&e, Qt::Key_V, Qt::ControlModifier);
    EXPECT_TRUE(e.InPieces());
    EXPECT_EQ(e.Text(), "// start\r\n" + bundle);
    EXPECT_LE(LongestShownLine(e), static_cast<size_t>(Editor::kPieceOver));
    QTest::keyClick(&e, Qt::Key_Z, Qt::ControlModifier);
    EXPECT_EQ(e.Text(), "// start\r\n");
}

TEST(LongLines, MarginNumbersAndAssistiveTextSpeakOfTheText) {
    Editor e;
    e.ConfigureEditor();
    e.show();
    e.SetText("a();\r\n" + Bundle(200000) + "\r\nb();");
    ASSERT_TRUE(e.InPieces());
    QApplication::processEvents();
    e.repaint();
    QApplication::processEvents();
    auto marginText = [&](long line) {
        const long length = e.SendScintilla(QsciScintillaBase::SCI_MARGINGETTEXT, static_cast<unsigned long>(line),
                                            static_cast<long>(0));
        std::string text(static_cast<size_t>(std::max(0L, length)) + 1, '\0');
        e.SendScintilla(QsciScintillaBase::SCI_MARGINGETTEXT, static_cast<unsigned long>(line), text.data());
        text.resize(static_cast<size_t>(std::max(0L, length)));
        return text;
    };
    // The first piece of a line carries the text's number, the pieces after it none.
    EXPECT_EQ(marginText(0), "1");
    EXPECT_EQ(marginText(1), "2");
    EXPECT_EQ(marginText(2), "");
    EXPECT_EQ(marginText(3), "");
    // Assistive technology is told what the screen shows.
    QAccessibleInterface* a = QAccessible::queryAccessibleInterface(&e);
    ASSERT_NE(a, nullptr);
    EXPECT_TRUE(a->text(QAccessible::Description).contains(QStringLiteral("分段显示")));
}
