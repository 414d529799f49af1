// Breakpoints of the editor: toggled from the symbol margin and F9, carried by their lines
// through edits and loads, edited from the margin's menu; the execution mark.
#include <gtest/gtest.h>

#include <QAction>
#include <QApplication>
#include <QContextMenuEvent>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QSignalSpy>
#include <QTest>
#include <QTimer>
#include <QVBoxLayout>
#include <memory>

#include "editor/BreakpointMenu.h"
#include "editor/Editor.h"

using namespace qy::editor;
using B = QsciScintillaBase;

namespace {

const char* kFiveLines = "a0\r\nb1\r\nc2\r\nd3\r\ne4";

std::vector<int64_t> Lines(const Editor& e) {
    std::vector<int64_t> out;
    for (const Breakpoint& bp : e.Breakpoints()) out.push_back(bp.line);
    return out;
}

unsigned long Marks(const Editor& e, int64_t line) {
    return static_cast<unsigned long>(e.Query(B::SCI_MARKERGET, static_cast<unsigned long>(line)));
}

constexpr unsigned long Bit(int marker) { return 1ul << marker; }
constexpr unsigned long kAnyBreakpoint = Bit(kMarkerBreakpoint) | Bit(kMarkerConditionalBreakpoint) | Bit(kMarkerLogpoint);

// Deletes [start, end) of the document as the user's Delete key would.
void DeleteRange(Editor& e, int64_t start, int64_t end) {
    e.SetSel(start, end);
    e.ClearSelection();
}

// An asker that hands out prepared answers and records what it was asked.
struct ScriptedAsker {
    std::vector<std::optional<QString>> texts;
    std::vector<std::optional<int>> numbers;
    std::vector<QString> seen;  ///< the value each question came with

    BreakpointAsker Make() {
        BreakpointAsker a;
        a.text = [this](QWidget*, const QString&, const QString&, QString& v) {
            seen.push_back(v);
            if (texts.empty()) return false;
            std::optional<QString> answer = texts.front();
            texts.erase(texts.begin());
            if (!answer) return false;
            v = *answer;
            return true;
        };
        a.number = [this](QWidget*, const QString&, const QString&, int& v) {
            seen.push_back(QString::number(v));
            if (numbers.empty()) return false;
            std::optional<int> answer = numbers.front();
            numbers.erase(numbers.begin());
            if (!answer) return false;
            v = *answer;
            return true;
        };
        return a;
    }
};

void Trigger(Editor& e, int64_t line, const QString& caption) {
    QMenu menu;
    FillBreakpointMenu(e, menu, line);
    QAction* a = menu.findChild<QAction*>(caption);
    ASSERT_NE(a, nullptr) << caption.toStdString();
    ASSERT_TRUE(a->isEnabled()) << caption.toStdString();
    a->trigger();
}

// Viewport coordinates of the middle of the symbol margin on `line`.
QPoint SymbolMarginPoint(const Editor& e, int64_t line) {
    int x = static_cast<int>(e.Query(B::SCI_GETMARGINWIDTHN, 0) + e.Query(B::SCI_GETMARGINWIDTHN, 1) / 2);
    long pos = e.Query(B::SCI_POSITIONFROMLINE, static_cast<unsigned long>(line));
    int y = static_cast<int>(e.Query(B::SCI_POINTYFROMPOSITION, 0, pos) +
                             e.Query(B::SCI_TEXTHEIGHT, static_cast<unsigned long>(line)) / 2);
    return {x, y};
}

}  // namespace

TEST(BreakpointToggling, MarginClickAndF9ToggleAndDrawADot) {
    Editor e;
    e.ConfigureEditor();
    e.SetText(kFiveLines);
    QSignalSpy changed(&e, &Editor::BreakpointsChanged);
    EXPECT_EQ(e.Query(B::SCI_GETMARGINSENSITIVEN, 1), 1);
    emit e.SCN_MARGINCLICK(static_cast<int>(e.PositionFromLine(2)), 0, 1);
    EXPECT_EQ(Lines(e), std::vector<int64_t>{2});
    EXPECT_EQ(Marks(e, 2) & kAnyBreakpoint, Bit(kMarkerBreakpoint));
    emit e.SCN_MARGINCLICK(static_cast<int>(e.PositionFromLine(2)), 0, 0);  // the number margin: nothing
    emit e.SCN_MARGINCLICK(static_cast<int>(e.PositionFromLine(2)), 0, 1);
    EXPECT_TRUE(e.Breakpoints().empty());
    EXPECT_EQ(Marks(e, 2), 0ul);
    EXPECT_EQ(changed.count(), 2);

    // F9 on the caret's line, whatever column the caret is in.
    e.SetSel(e.PositionFromLine(3) + 1, e.PositionFromLine(3) + 1);
    QTest::keyClick(&e, Qt::Key_F9);
    EXPECT_EQ(Lines(e), std::vector<int64_t>{3});
    QTest::keyClick(&e, Qt::Key_F9, Qt::ShiftModifier);  // not F9 alone: untouched
    EXPECT_EQ(Lines(e), std::vector<int64_t>{3});
    QTest::keyClick(&e, Qt::Key_F9);
    EXPECT_TRUE(e.Breakpoints().empty());
    EXPECT_EQ(e.Text(), kFiveLines);  // no key reached the text

    // Lines outside the document are refused.
    for (int64_t line : {-1, 5, 100}) {
        e.ToggleBreakpoint(line);
        e.SetBreakpoint(Breakpoint{line, {}, 0, {}});
    }
    EXPECT_TRUE(e.Breakpoints().empty());
    e.ToggleBreakpoint(4);
    e.ToggleBreakpoint(0);
    e.SetBreakpoint(Breakpoint{2, QStringLiteral("x"), -3, {}});
    EXPECT_EQ(Lines(e), (std::vector<int64_t>{0, 2, 4}));
    EXPECT_EQ(e.BreakpointAt(2)->hitCount, 0);
    e.ClearBreakpoints();
    EXPECT_TRUE(e.Breakpoints().empty());
    for (int64_t line = 0; line < 5; ++line) EXPECT_EQ(Marks(e, line), 0ul);
}

TEST(BreakpointToggling, RealMouseClickInTheSymbolMargin) {
    Editor e;
    e.ConfigureEditor();
    e.SetText(kFiveLines);
    e.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&e));
    QPoint at = SymbolMarginPoint(e, 1);
    EXPECT_EQ(e.MarginAt(at.x()), 1);
    EXPECT_EQ(e.LineAtY(at.y()), 1);
    QTest::mouseClick(e.viewport(), Qt::LeftButton, {}, at);
    EXPECT_EQ(Lines(e), std::vector<int64_t>{1});
    EXPECT_EQ(e.SelectionStart(), e.SelectionEnd());  // the click selects nothing
    QTest::mouseClick(e.viewport(), Qt::LeftButton, {}, at);
    EXPECT_TRUE(e.Breakpoints().empty());
    // The number margin and the text area are not the symbol margin.
    EXPECT_EQ(e.MarginAt(2), 0);
    EXPECT_EQ(e.MarginAt(static_cast<int>(e.Query(B::SCI_GETMARGINWIDTHN, 0) + 13 + 2)), 2);
    EXPECT_EQ(e.MarginAt(static_cast<int>(e.Query(B::SCI_GETMARGINWIDTHN, 0) + 13 + 13 + 5)), -1);
}

TEST(BreakpointToggling, F9IsTheEditorsEvenWithAWindowShortcutOnIt) {
    QWidget window;
    auto* layout = new QVBoxLayout(&window);
    auto* e = new Editor;
    auto* other = new QLineEdit;
    layout->addWidget(e);
    layout->addWidget(other);
    QAction windowF9(&window);
    windowF9.setShortcut(QKeySequence(Qt::Key_F9));
    window.addAction(&windowF9);
    QSignalSpy fired(&windowF9, &QAction::triggered);
    e->SetText(kFiveLines);
    window.show();
    window.activateWindow();
    ASSERT_TRUE(QTest::qWaitForWindowActive(&window));
    other->setFocus();
    QTest::keyClick(other, Qt::Key_F9);
    ASSERT_EQ(fired.count(), 1);  // the shortcut is live elsewhere in the window
    e->setFocus();
    e->SetSel(0, 0);
    QTest::keyClick(e, Qt::Key_F9);
    EXPECT_EQ(fired.count(), 1);
    EXPECT_EQ(Lines(*e), std::vector<int64_t>{0});
}

TEST(BreakpointLines, FollowInsertsAndDeletesAbove) {
    Editor e;
    e.ConfigureEditor();
    e.SetText(kFiveLines);
    e.ToggleBreakpoint(2);
    e.ToggleBreakpoint(4);
    QSignalSpy changed(&e, &Editor::BreakpointsChanged);

    e.SetSel(0, 0);
    e.AddText("new\r\nnew\r\n");
    EXPECT_EQ(Lines(e), (std::vector<int64_t>{4, 6}));
    EXPECT_EQ(Marks(e, 4) & kAnyBreakpoint, Bit(kMarkerBreakpoint));
    EXPECT_EQ(changed.count(), 1);

    // Typing within a line, or lines below the last breakpoint, moves nothing.
    e.SetSel(e.PositionFromLine(4), e.PositionFromLine(4));
    e.AddText("x");
    e.SetSel(e.TextLength(), e.TextLength());
    e.AddText("\r\nend");
    EXPECT_EQ(Lines(e), (std::vector<int64_t>{4, 6}));
    EXPECT_EQ(changed.count(), 1);

    // A line break typed at the start of a marked line takes the breakpoint down with its text.
    e.SetSel(e.PositionFromLine(4), e.PositionFromLine(4));
    e.Query(B::SCI_NEWLINE);
    EXPECT_EQ(Lines(e), (std::vector<int64_t>{5, 7}));
    ASSERT_EQ(e.Text().substr(static_cast<size_t>(e.PositionFromLine(5)), 3), "xc2");
    EXPECT_EQ(changed.count(), 2);

    // Deleting the lines above brings them back up.
    DeleteRange(e, 0, e.PositionFromLine(3));
    EXPECT_EQ(Lines(e), (std::vector<int64_t>{2, 4}));
    EXPECT_EQ(changed.count(), 3);
    // Undo moves them again, as any edit does.
    e.Query(B::SCI_UNDO);
    EXPECT_EQ(Lines(e), (std::vector<int64_t>{5, 7}));
}

TEST(BreakpointLines, AJoinedLineKeepsOneBreakpoint) {
    Editor e;
    e.ConfigureEditor();
    e.SetText(kFiveLines);
    e.SetBreakpoint(Breakpoint{1, QStringLiteral("own"), 0, {}});
    e.SetBreakpoint(Breakpoint{2, {}, 0, QStringLiteral("came along")});
    // Joining line 2 onto line 1 (Delete at the end of line 1).
    DeleteRange(e, e.LineEndPosition(1), e.PositionFromLine(2));
    ASSERT_EQ(e.LineCount(), 4);
    std::vector<Breakpoint> bps = e.Breakpoints();
    ASSERT_EQ(bps.size(), 1u);
    EXPECT_EQ(bps[0], (Breakpoint{1, QStringLiteral("own"), 0, {}}));
    // No second dot stays behind under the first.
    e.RemoveBreakpoint(1);
    EXPECT_EQ(Marks(e, 1), 0ul);

    // A selection over several marked lines: the breakpoint already on the first line stays.
    e.SetText(kFiveLines);
    for (int64_t line : {1, 2, 3}) e.SetBreakpoint(Breakpoint{line, {}, static_cast<int>(line), {}});
    DeleteRange(e, e.PositionFromLine(1) + 1, e.PositionFromLine(3) + 1);
    bps = e.Breakpoints();
    ASSERT_EQ(bps.size(), 1u);
    EXPECT_EQ(bps[0].line, 1);
    EXPECT_EQ(bps[0].hitCount, 1);
    e.ToggleBreakpoint(1);
    EXPECT_EQ(Marks(e, 1), 0ul);

    // Deleting a whole unmarked line brings the next line's breakpoint up with its text.
    e.SetText(kFiveLines);
    e.SetBreakpoint(Breakpoint{3, {}, 7, {}});
    DeleteRange(e, e.PositionFromLine(2), e.PositionFromLine(3));
    ASSERT_EQ(Lines(e), std::vector<int64_t>{2});
    EXPECT_EQ(e.BreakpointAt(2)->hitCount, 7);
}

TEST(BreakpointLines, ALoadKeepsTheLinesItStillHas) {
    Editor e;
    e.ConfigureEditor();
    std::string ten;
    for (int i = 0; i < 10; ++i) ten += "line\r\n";  // ten lines and an empty eleventh
    e.SetText(ten);
    e.ToggleBreakpoint(1);
    e.SetBreakpoint(Breakpoint{4, QStringLiteral("i > 2"), 0, {}});
    e.ToggleBreakpoint(10);
    e.ShowExecutionPoint(4);
    QSignalSpy changed(&e, &Editor::BreakpointsChanged);

    // The same text again: nothing changes, but the execution mark stood in the old text.
    e.SetText(ten);
    EXPECT_EQ(Lines(e), (std::vector<int64_t>{1, 4, 10}));
    EXPECT_EQ(changed.count(), 0);
    EXPECT_EQ(e.ExecutionPoint(), -1);
    EXPECT_EQ(Marks(e, 4) & (Bit(kMarkerExecutionArrow) | Bit(kMarkerExecutionLine)), 0ul);

    // A shorter text: the breakpoints past its end go, none is moved onto its last line.
    e.SetText("x\r\ny\r\nz\r\nw\r\nv");
    EXPECT_EQ(Lines(e), (std::vector<int64_t>{1, 4}));
    EXPECT_EQ(e.BreakpointAt(4)->condition, QStringLiteral("i > 2"));
    EXPECT_EQ(Marks(e, 4) & kAnyBreakpoint, Bit(kMarkerConditionalBreakpoint));
    EXPECT_EQ(changed.count(), 1);

    e.ClearAll();
    EXPECT_TRUE(e.Breakpoints().empty());
    e.ToggleBreakpoint(0);
    e.ClearAll();
    EXPECT_EQ(Lines(e), std::vector<int64_t>{0});
}

TEST(BreakpointMenu, ActionsOnALineWithoutAndWithABreakpoint) {
    Editor e;
    e.ConfigureEditor();
    e.SetText(kFiveLines);
    ScriptedAsker ask;
    e.SetBreakpointAsker(ask.Make());

    QMenu empty;
    FillBreakpointMenu(e, empty, 1);
    QStringList captions;
    for (QAction* a : empty.actions())
        if (!a->isSeparator()) captions << a->text();
    EXPECT_EQ(captions, (QStringList{"添加断点", "添加条件断点…", "添加日志点…"}));

    Trigger(e, 0, QStringLiteral("添加断点"));
    EXPECT_EQ(e.BreakpointAt(0), (Breakpoint{0, {}, 0, {}}));

    ask.texts = {std::nullopt};  // cancelled: nothing added
    Trigger(e, 1, QStringLiteral("添加条件断点…"));
    EXPECT_FALSE(e.BreakpointAt(1));
    ask.texts = {QStringLiteral("  a === 1 ")};
    Trigger(e, 1, QStringLiteral("添加条件断点…"));
    EXPECT_EQ(e.BreakpointAt(1), (Breakpoint{1, QStringLiteral("a === 1"), 0, {}}));
    EXPECT_EQ(Marks(e, 1) & kAnyBreakpoint, Bit(kMarkerConditionalBreakpoint));

    ask.texts = {QStringLiteral("   ")};  // a logpoint needs a message
    Trigger(e, 2, QStringLiteral("添加日志点…"));
    EXPECT_FALSE(e.BreakpointAt(2));
    ask.texts = {QStringLiteral("x = {x}")};
    Trigger(e, 2, QStringLiteral("添加日志点…"));
    EXPECT_EQ(e.BreakpointAt(2), (Breakpoint{2, {}, 0, QStringLiteral("x = {x}")}));
    EXPECT_EQ(Marks(e, 2) & kAnyBreakpoint, Bit(kMarkerLogpoint));

    QMenu full;
    FillBreakpointMenu(e, full, 1);
    captions.clear();
    for (QAction* a : full.actions())
        if (!a->isSeparator()) captions << a->text();
    EXPECT_EQ(captions, (QStringList{"编辑条件…", "命中次数…", "日志消息…", "删除断点"}));

    // Each question starts from the current value; a cancel keeps it.
    ask.seen.clear();
    ask.texts = {std::nullopt, QString()};
    Trigger(e, 1, QStringLiteral("编辑条件…"));
    EXPECT_EQ(e.BreakpointAt(1)->condition, QStringLiteral("a === 1"));
    Trigger(e, 1, QStringLiteral("编辑条件…"));  // emptied: a plain breakpoint again
    EXPECT_EQ(e.BreakpointAt(1), (Breakpoint{1, {}, 0, {}}));
    EXPECT_EQ(Marks(e, 1) & kAnyBreakpoint, Bit(kMarkerBreakpoint));
    EXPECT_EQ(ask.seen, (std::vector<QString>{"a === 1", "a === 1"}));

    ask.numbers = {5};
    Trigger(e, 1, QStringLiteral("命中次数…"));
    EXPECT_EQ(e.BreakpointAt(1)->hitCount, 5);
    EXPECT_EQ(Marks(e, 1) & kAnyBreakpoint, Bit(kMarkerConditionalBreakpoint));
    ask.numbers = {std::nullopt};
    Trigger(e, 1, QStringLiteral("命中次数…"));
    EXPECT_EQ(e.BreakpointAt(1)->hitCount, 5);

    // A log message turns a breakpoint into a logpoint and back; the other fields stay.
    ask.texts = {QStringLiteral(" n={n} "), QString()};
    Trigger(e, 1, QStringLiteral("日志消息…"));
    EXPECT_EQ(e.BreakpointAt(1), (Breakpoint{1, {}, 5, QStringLiteral(" n={n} ")}));
    EXPECT_EQ(Marks(e, 1) & kAnyBreakpoint, Bit(kMarkerLogpoint));
    Trigger(e, 1, QStringLiteral("日志消息…"));
    EXPECT_EQ(e.BreakpointAt(1), (Breakpoint{1, {}, 5, {}}));

    Trigger(e, 2, QStringLiteral("删除断点"));
    EXPECT_FALSE(e.BreakpointAt(2));
    EXPECT_EQ(Marks(e, 2), 0ul);
    EXPECT_EQ(Lines(e), (std::vector<int64_t>{0, 1}));

    // Past the end of the text the adding actions are off.
    QMenu past;
    FillBreakpointMenu(e, past, 9);
    for (QAction* a : past.actions()) EXPECT_FALSE(a->isEnabled()) << a->text().toStdString();
}

TEST(BreakpointMenu, RightClickInTheSymbolMarginOpensIt) {
    Editor e;
    e.ConfigureEditor();
    e.SetText(kFiveLines);
    e.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&e));
    QStringList seen;
    auto readAndClose = [&seen] {
        QWidget* popup = QApplication::activePopupWidget();
        ASSERT_NE(popup, nullptr);
        seen << popup->objectName();
        for (QAction* a : popup->actions())
            if (!a->isSeparator()) seen << a->text();
        popup->close();
    };
    QPoint at = SymbolMarginPoint(e, 3);
    QContextMenuEvent margin(QContextMenuEvent::Mouse, at, e.viewport()->mapToGlobal(at));
    QTimer::singleShot(0, &e, readAndClose);
    QApplication::sendEvent(e.viewport(), &margin);
    EXPECT_EQ(seen, (QStringList{"断点菜单", "添加断点", "添加条件断点…", "添加日志点…"}));

    seen.clear();
    QPoint text(static_cast<int>(e.Query(B::SCI_GETMARGINWIDTHN, 0) + 40), at.y());
    QContextMenuEvent inText(QContextMenuEvent::Mouse, text, e.viewport()->mapToGlobal(text));
    QTimer::singleShot(0, &e, readAndClose);
    QApplication::sendEvent(e.viewport(), &inText);
    ASSERT_FALSE(seen.isEmpty());
    EXPECT_EQ(seen.front(), QStringLiteral("编辑菜单"));
}

TEST(BreakpointMenu, TheDialogsAskInChinese) {
    Editor e;
    e.SetText(kFiveLines);
    e.SetBreakpoint(Breakpoint{3, QStringLiteral("old"), 2, {}});
    QString label;
    QTimer::singleShot(0, &e, [&label] {
        auto* d = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        label = d->labelText();
        EXPECT_EQ(d->textValue(), QStringLiteral("old"));
        d->setTextValue(QStringLiteral("k < 10"));
        d->accept();
    });
    EditBreakpointCondition(e, 3);
    EXPECT_EQ(e.BreakpointAt(3)->condition, QStringLiteral("k < 10"));
    EXPECT_TRUE(label.contains(QStringLiteral("条件")));

    QTimer::singleShot(0, &e, [] {
        auto* d = qobject_cast<QInputDialog*>(QApplication::activeModalWidget());
        ASSERT_NE(d, nullptr);
        EXPECT_EQ(d->intValue(), 2);
        EXPECT_EQ(d->intMinimum(), 0);
        d->setIntValue(4);
        d->accept();
    });
    EditBreakpointHitCount(e, 3);
    EXPECT_EQ(e.BreakpointAt(3)->hitCount, 4);
}

TEST(ExecutionPoint, ArrowAndHighlightComeAndGo) {
    Editor e;
    e.ConfigureEditor();
    std::string many;
    for (int i = 0; i < 300; ++i) many += "line\r\n";
    e.SetText(many);
    e.ToggleBreakpoint(2);
    const unsigned long exec = Bit(kMarkerExecutionArrow) | Bit(kMarkerExecutionLine);

    e.ShowExecutionPoint(2);
    EXPECT_EQ(Marks(e, 2), exec | Bit(kMarkerBreakpoint));
    EXPECT_EQ(e.ExecutionPoint(), 2);
    e.SetSel(5, 5);
    e.ShowExecutionPoint(250);  // moves, and the far line is scrolled into view
    EXPECT_EQ(Marks(e, 2), Bit(kMarkerBreakpoint));
    EXPECT_EQ(Marks(e, 250), exec);
    long first = e.Query(B::SCI_GETFIRSTVISIBLELINE);
    EXPECT_LE(first, 250);
    EXPECT_GT(first + e.Query(B::SCI_LINESONSCREEN), 250);
    EXPECT_EQ(e.CurrentPos(), 5);  // the caret stays
    // It moves with its line, and goes on -1 or a line outside the text.
    e.SetSel(0, 0);
    e.AddText("\r\n");
    EXPECT_EQ(e.ExecutionPoint(), 251);
    e.ShowExecutionPoint(-1);
    EXPECT_EQ(e.ExecutionPoint(), -1);
    EXPECT_EQ(Marks(e, 251), 0ul);
    e.ShowExecutionPoint(1);
    e.ShowExecutionPoint(100000);
    EXPECT_EQ(Marks(e, 1), 0ul);
    EXPECT_EQ(Lines(e), std::vector<int64_t>{3});  // breakpoints were never touched
}

TEST(BreakpointOwnership, EachEditorHasItsOwn) {
    Editor a, b;
    a.SetText(kFiveLines);
    b.SetText(kFiveLines);
    a.ToggleBreakpoint(1);
    b.ToggleBreakpoint(3);
    b.ShowExecutionPoint(3);
    EXPECT_EQ(Lines(a), std::vector<int64_t>{1});
    EXPECT_EQ(Lines(b), std::vector<int64_t>{3});
    EXPECT_EQ(a.ExecutionPoint(), -1);
    EXPECT_EQ(Marks(a, 3), 0ul);
}

TEST(ExecutionPoint, DotArrowAndHighlightAreDrawn) {
    Editor e;
    e.ConfigureEditor();
    e.SetText(kFiveLines);
    e.ToggleBreakpoint(1);
    e.SetBreakpoint(Breakpoint{2, {}, 0, QStringLiteral("m")});
    e.ShowExecutionPoint(3);
    e.show();
    ASSERT_TRUE(QTest::qWaitForWindowExposed(&e));
    QImage shot = e.viewport()->grab().toImage();
    auto at = [&](QPoint p) { return shot.pixelColor(p * shot.devicePixelRatio()); };
    EXPECT_EQ(at(SymbolMarginPoint(e, 1)), QColor(230, 20, 20));   // the red dot
    EXPECT_EQ(at(SymbolMarginPoint(e, 2)), QColor(255, 140, 0));   // the orange diamond
    EXPECT_EQ(at(SymbolMarginPoint(e, 3)), QColor(255, 215, 0));   // the yellow arrow
    EXPECT_EQ(at(SymbolMarginPoint(e, 0)), QColor(Qt::white));
    // The paused line's background, past the end of its text; the other lines stay white.
    QPoint textArea = SymbolMarginPoint(e, 3) + QPoint(300, 0);
    EXPECT_EQ(at(textArea), QColor(255, 250, 150));
    EXPECT_EQ(at(SymbolMarginPoint(e, 2) + QPoint(300, 0)), QColor(Qt::white));
}
