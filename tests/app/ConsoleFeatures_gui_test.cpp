// Console habits: Enter evaluates, Up and Down walk the history with the half-typed
// line kept, Tab leaves the log while Ctrl+Tab writes one, the log's and the editor's
// Chinese menus, zooming the editor from the keyboard.
#include <gtest/gtest.h>

#include <QWheelEvent>

#include <QAction>
#include <QClipboard>
#include <QMenu>
#include <QPlainTextEdit>
#include <QTest>

#include "AppTestSupport.h"
#include "app/ConsoleFeatures.h"

using namespace qy::test;

TEST(ExpressionHistory, WalksLikeAShellAndKeepsTheDraft) {
    qy::app::ExpressionHistory h;
    EXPECT_EQ(h.Older("typed"), "typed");
    for (const char* e : {"a", "b", "b", "", "c"}) h.Add(e);
    EXPECT_EQ(h.Items(), (QStringList{"a", "b", "c"}));
    EXPECT_EQ(h.Older("draft"), "c");
    EXPECT_EQ(h.Older("c"), "b");
    EXPECT_EQ(h.Older("b"), "a");
    EXPECT_EQ(h.Older("a"), "a");
    EXPECT_EQ(h.Newer("a"), "b");
    EXPECT_EQ(h.Newer("b"), "c");
    EXPECT_EQ(h.Newer("c"), "draft");
    EXPECT_EQ(h.Newer("draft"), "draft");
    QStringList many;
    for (int i = 0; i < 300; ++i) many << QString::number(i);
    h.SetItems(many);
    EXPECT_EQ(h.Items().size(), qy::app::ExpressionHistory::kMaxEntries);
    EXPECT_EQ(h.Items().last(), "299");
}

TEST(Console, EnterEvaluatesAndUpDownRecallTheExpressions) {
    auto w = NewMainWindow();
    Click(*w, "按钮_add");
    auto* eval = w->Component<QLineEdit>("编辑框_eval");
    for (const char* e : {"1+1", "OXOX(1,2,3)"}) {
        eval->setText(e);
        size_t before = w->LogText().size();
        QTest::keyClick(eval, Qt::Key_Return);
        EXPECT_NE(LogSince(*w, before).find(Ansi("-->计算结果：")), std::string::npos) << e;
    }
    eval->setText("half");
    QTest::keyClick(eval, Qt::Key_Up);
    EXPECT_EQ(eval->text(), "OXOX(1,2,3)");
    QTest::keyClick(eval, Qt::Key_Up);
    EXPECT_EQ(eval->text(), "1+1");
    QTest::keyClick(eval, Qt::Key_Down);
    QTest::keyClick(eval, Qt::Key_Down);
    EXPECT_EQ(eval->text(), "half");
}

TEST(Console, TabLeavesTheLogAndItsMenuCopiesAndClears) {
    auto w = NewMainWindow();
    auto* log = w->Component<QPlainTextEdit>("编辑框_output");
    EXPECT_TRUE(log->tabChangesFocus());
    std::string text = w->LogText();
    QTest::keyClick(log, Qt::Key_Tab);
    EXPECT_EQ(w->LogText(), text);
    QTest::keyClick(log, Qt::Key_Tab, Qt::ControlModifier);
    EXPECT_EQ(w->LogText(), text + "\t");

    QMenu menu;
    w->findChild<qy::app::ConsoleFeatures*>()->FillLogMenu(menu);
    QStringList captions;
    for (QAction* a : menu.actions())
        if (!a->isSeparator()) captions << a->text();
    EXPECT_EQ(captions, (QStringList{Q("复制"), Q("全选"), Q("清空")}));
    menu.findChild<QAction*>(Q("复制"))->trigger();
    EXPECT_TRUE(QApplication::clipboard()->text().startsWith(Q("-->青柚JS调试工具启动成功")));
    menu.findChild<QAction*>(Q("清空"))->trigger();
    EXPECT_EQ(w->LogText(), "");
}

TEST(EditorMenuAndZoom, ChineseEntriesAndKeyboardZoom) {
    auto w = NewMainWindow();
    qy::editor::Editor* e = w->EditorAt(0);
    QMenu menu;
    e->FillContextMenu(menu);
    QStringList captions;
    for (QAction* a : menu.actions())
        if (!a->isSeparator()) captions << a->text();
    EXPECT_EQ(captions, (QStringList{Q("撤销"), Q("重做"), Q("剪切"), Q("复制"), Q("粘贴"), Q("删除"), Q("全选")}));
    EXPECT_FALSE(menu.findChild<QAction*>(Q("复制"))->isEnabled());
    menu.findChild<QAction*>(Q("全选"))->trigger();
    EXPECT_EQ(e->SelectionEnd(), e->TextLength());

    QTest::keyClick(e, Qt::Key_Plus, Qt::ControlModifier);
    EXPECT_EQ(e->Zoom(), 1);
    QTest::keyClick(e, Qt::Key_Minus, Qt::ControlModifier);
    QTest::keyClick(e, Qt::Key_Minus, Qt::ControlModifier);
    EXPECT_EQ(e->Zoom(), -1);
    QTest::keyClick(e, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(e->Zoom(), 0);

    // Ctrl+wheel: one step a notch, a touchpad's small turns adding up to one.
    auto wheel = [e](int delta) {
        QWheelEvent ev(QPointF(10, 10), QPointF(10, 10), QPoint(), QPoint(0, delta), Qt::NoButton, Qt::ControlModifier,
                       Qt::NoScrollPhase, false);
        QCoreApplication::sendEvent(e->viewport(), &ev);
    };
    e->SetText(std::string(99999, '\n'));
    const long narrow = e->SendScintilla(QsciScintillaBase::SCI_GETMARGINWIDTHN, 0ul);
    for (int i = 0; i < 3; ++i) wheel(40);
    EXPECT_EQ(e->Zoom(), 1);
    wheel(60);
    wheel(-60);  // a turn back drops the half notch
    wheel(60);
    EXPECT_EQ(e->Zoom(), 1);
    wheel(240);
    EXPECT_EQ(e->Zoom(), 3);
    for (int i = 0; i < 6; ++i) wheel(120);
    // The number margin grows with the digits it shows, and comes back.
    EXPECT_GT(e->SendScintilla(QsciScintillaBase::SCI_GETMARGINWIDTHN, 0ul), narrow);
    QTest::keyClick(e, Qt::Key_0, Qt::ControlModifier);
    EXPECT_EQ(e->SendScintilla(QsciScintillaBase::SCI_GETMARGINWIDTHN, 0ul), narrow);
}
