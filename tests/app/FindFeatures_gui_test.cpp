// Finding and moving: F3 and Shift+F3 with the search row's option, wrapping round once;
// a miss said in the status bar with the caret left alone; Ctrl+F and Ctrl+G; the
// status bar's line, column and loaded tab.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QStatusBar>
#include <QTabWidget>
#include <QTest>

#include "AppTestSupport.h"
#include "app/FindFeatures.h"

using namespace qy::test;

namespace {

qy::app::FindFeatures& Find(qy::app::MainWindow& w) { return *w.findChild<qy::app::FindFeatures*>(); }

}  // namespace

TEST(FindAgain, F3AndShiftF3WrapAndAMissLeavesTheCaret) {
    auto w = NewMainWindow();
    QApplication::setActiveWindow(w.get());
    qy::editor::Editor* e = w->EditorAt(0);
    e->SetText("abc ABC abc");
    e->SetSel(0, 0);
    w->Component<QLineEdit>("编辑框_搜索内容")->setText("abc");
    QTest::keyClick(e, Qt::Key_F3);
    EXPECT_EQ(e->SelectionStart(), 0);
    QTest::keyClick(e, Qt::Key_F3);
    EXPECT_EQ(e->SelectionStart(), 8);
    QTest::keyClick(e, Qt::Key_F3);
    EXPECT_EQ(e->SelectionStart(), 0) << "wraps to the top";
    QTest::keyClick(e, Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(e->SelectionStart(), 8) << "backwards wraps to the end";
    // A case-insensitive plain search finds the capitals too.
    w->Component<QComboBox>("组合框_more")->setCurrentIndex(3);
    EXPECT_EQ(w->Component<QComboBox>("组合框_more")->currentText(), Q("不区分大小写"));
    QTest::keyClick(e, Qt::Key_F3, Qt::ShiftModifier);
    EXPECT_EQ(e->SelectionStart(), 4);

    e->SetSel(2, 5);
    w->Component<QLineEdit>("编辑框_搜索内容")->setText("xyz");
    EXPECT_FALSE(Find(*w).FindAgain(true));
    EXPECT_EQ(e->Anchor(), 2);
    EXPECT_EQ(e->CurrentPos(), 5);
    EXPECT_EQ(Find(*w).StatusMessage(), Q("找不到“xyz”"));
    // The button's miss says so too.
    Click(*w, "按钮_search");
    EXPECT_TRUE(Find(*w).StatusMessage().startsWith(Q("找不到“xyz”")));
}

TEST(FindAgain, CtrlFCtrlGAndTheStatusBar) {
    auto w = NewMainWindow();
    QApplication::setActiveWindow(w.get());
    qy::editor::Editor* e = w->EditorAt(0);
    e->SetText("one\r\ntwo\r\nthree");
    e->SetSel(0, 0);
    QTest::keyClick(e, Qt::Key_F, Qt::ControlModifier);
    EXPECT_EQ(QApplication::focusWidget(), w->Component<QLineEdit>("编辑框_搜索内容"));
    Find(*w).askLine = [](int current, int lines) -> std::optional<int> {
        EXPECT_EQ(current, 1);
        EXPECT_EQ(lines, 3);
        return 3;
    };
    QTest::keyClick(e, Qt::Key_G, Qt::ControlModifier);
    EXPECT_EQ(e->CurrentPos(), e->PositionFromLine(2));
    e->SetSel(e->PositionFromLine(2) + 2, e->PositionFromLine(2) + 2);
    EXPECT_EQ(Find(*w).PositionText(), Q("行 3, 列 3"));
    // The label follows once the editor has updated its view.
    auto* label = w->findChild<QLabel*>(Q("标签_行列"));
    for (int i = 0; i < 200 && label->text() != Q("行 3, 列 3"); ++i) QTest::qWait(10);
    EXPECT_EQ(label->text(), Q("行 3, 列 3"));

    EXPECT_EQ(Find(*w).LoadedText(), Q("未加载代码"));
    w->Component<QTabWidget>("高级选择夹1")->setCurrentIndex(2);
    w->EditorAt(2)->SetText("var x = 1;");
    Click(*w, "按钮_add");
    EXPECT_EQ(w->findChild<QLabel*>(Q("标签_已加载"))->text(), Q("已加载：New2"));
    // The client area keeps its size above the status bar.
    EXPECT_EQ(w->centralWidget()->size(), QSize(856, 626));
}
