// The transform buttons and the clipboard buttons through the real main window.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>

#include "AppTestSupport.h"
#include "transform/Transforms.h"

using namespace qy::test;

TEST(TransformButtons, CompressRemovesOnlyAnEmptyFirstLine) {
    auto w = NewMainWindow();
    auto* e = w->CurrentEditor();
    e->SetText("var a = 1;\r\nvar b = 2;");
    e->SetSel(0, 0);
    std::string log = w->LogText();
    Click(*w, "按钮_pack");
    EXPECT_EQ(e->Text(), "var a=1;var b=2;");
    EXPECT_EQ(e->CurrentPos(), 0);
    EXPECT_EQ(w->LogText(), log);
    e->SetText("!function(){ go(); }()");
    Click(*w, "按钮_pack");
    EXPECT_EQ(e->Text(), "!function(){go();}()");
    e->ClearAll();
    Click(*w, "按钮_pack");
    EXPECT_EQ(e->TextLength(), 0);
}

TEST(TransformButtons, FailingMinifyKeepsTheEditorAndReportsTheError) {
    auto w = NewMainWindow();
    auto* e = w->CurrentEditor();
    e->SetText("var a; /* never closed");
    size_t before = w->LogText().size();
    Click(*w, "按钮_pack");
    EXPECT_EQ(e->Text(), "var a; /* never closed");
    std::string log = LogSince(*w, before);
    EXPECT_NE(log.find(Ansi("-->发生错误：错误号=")), std::string::npos);
    EXPECT_NE(log.find(Ansi("-->错误描述：Error: Unterminated comment.")), std::string::npos);
}

TEST(TransformButtons, FormatGivesCrLfLinesWithIndentation) {
    auto w = NewMainWindow();
    auto* e = w->CurrentEditor();
    e->SetText("function f(){if(x){y()}}");
    size_t before = w->LogText().size();
    Click(*w, "按钮_format");
    EXPECT_EQ(e->Text(), "function f(){\r\n    if(x){\r\n        y()\r\n    }\r\n}");
    EXPECT_EQ(LogSince(*w, before), Ansi("-->代码格式化成功\r\n"));
    e->ClearAll();
    Click(*w, "按钮_format");
    EXPECT_EQ(e->TextLength(), 0);
}

TEST(TransformButtons, UnpackEmptyEditorAndEscapedScript) {
    auto w = NewMainWindow();
    auto* e = w->CurrentEditor();
    e->ClearAll();
    size_t before = w->LogText().size();
    Click(*w, "按钮_unpack");
    EXPECT_EQ(LogSince(*w, before), Ansi("-->没有JS代码哦\r\n"));
    e->SetText("var%20a=1;");
    before = w->LogText().size();
    Click(*w, "按钮_unpack");
    EXPECT_EQ(e->Text(), "var a=1;");
    EXPECT_EQ(LogSince(*w, before), Ansi("-->代码解密成功 注：变量名称无法还原\r\n"));
    // The unpacker stays in the main engine until the next load.
    w->Session().SetCodeLoaded(true);
    SetEval(*w, "unpacker_filter('x%20y')");
    before = w->LogText().size();
    Click(*w, "按钮_run");
    EXPECT_EQ(LogSince(*w, before), Ansi("-->返回类型：文本型\r\n-->计算结果：x y\r\n"));
}

TEST(ClipboardButtons, SnippetAndScriptGoToTheClipboard) {
    auto w = NewMainWindow();
    SetEval(*w, "add(1,2)");
    QString caption, text;
    AnswerMessageBox(QMessageBox::Ok, &caption, &text);
    Click(*w, "按钮_go");
    EXPECT_EQ(QGuiApplication::clipboard()->text().toStdU16String(),
              qy::text::AnsiToWide(qy::transform::CallerSnippet("add(1,2)")));
    EXPECT_EQ(caption, Q("代码复制"));
    EXPECT_EQ(text, Q("代码已经复制，请到易语言IDE直接粘贴，JS常量自行复制"));
    w->CurrentEditor()->SetText(Ansi("var 中 = 1;"));
    AnswerMessageBox(QMessageBox::Ok, &caption, &text);
    Click(*w, "按钮_copy");
    EXPECT_EQ(QGuiApplication::clipboard()->text(), Q("var 中 = 1;"));
    EXPECT_EQ(text, Q("JS代码已经复制"));
}
