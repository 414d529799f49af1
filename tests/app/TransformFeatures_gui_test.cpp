// The transform buttons and the clipboard buttons through the real main window.
#include <gtest/gtest.h>

#include <QClipboard>
#include <QGuiApplication>
#include <QInputDialog>
#include <QMenu>
#include <QToolButton>

#include "AppTestSupport.h"
#include "script/Engine.h"
#include "script/ScriptTarget.h"
#include "transform/CallerSnippets.h"
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
    EXPECT_EQ(e->Text(), "function f() {\r\n    if (x) {\r\n        y()\r\n    }\r\n}");
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
    EXPECT_EQ(e->Text(), qy::transform::FormatScript("var a=1;").text);
    EXPECT_EQ(LogSince(*w, before), Ansi("-->代码解密成功 注：变量名称无法还原\r\n-->已还原：URL转义 1 处\r\n"));
    // The unpacker stays in the main engine until the next load.
    w->Session().SetCodeLoaded(true);
    SetEval(*w, "unpacker_filter('x%20y')");
    before = w->LogText().size();
    Click(*w, "按钮_run");
    EXPECT_EQ(LogSince(*w, before),
              Ansi("-->计算：unpacker_filter('x%20y')\r\n-->返回类型：文本型\r\n-->计算结果：x y\r\n"));
}

TEST(TransformButtons, UnpackSaysWhatCameOffAndWhatItLeft) {
    auto w = NewMainWindow();
    auto* e = w->CurrentEditor();
    e->SetText("function f(a){return a}");
    size_t before = w->LogText().size();
    Click(*w, "按钮_unpack");
    EXPECT_EQ(e->Text(), qy::transform::FormatScript("function f(a){return a}").text);
    EXPECT_EQ(LogSince(*w, before),
              Ansi("-->代码解密成功 注：变量名称无法还原\r\n-->已还原：未识别出已知的加密方式\r\n"));
    // A layer whose result would not compile stays as it was, and the log says so.
    e->SetText("eval(unescape('%76%61%72%20%3D'));var _0x1=['x'];var y=_0x1[0];");
    before = w->LogText().size();
    Click(*w, "按钮_unpack");
    std::string log = LogSince(*w, before);
    EXPECT_NE(e->Text().find("eval(unescape('%76%61%72%20%3D'));"), std::string::npos);
    EXPECT_NE(log.find(Ansi("-->保留原样：eval包装 的结果未通过检查")), std::string::npos) << log;
}

TEST(TransformButtons, UnpackLeavesSelfCheckingCodeUnformatted) {
    auto w = NewMainWindow();
    auto* e = w->CurrentEditor();
    const std::string guarded =
        "var t=function(){return t.constructor('return /\" + this + \"/')().constructor('^([^ ]+( +[^ ]+)+)+[^ ]}');};";
    e->SetText(guarded);
    size_t before = w->LogText().size();
    Click(*w, "按钮_unpack");
    EXPECT_EQ(e->Text(), guarded);
    EXPECT_NE(LogSince(*w, before).find(Ansi("-->未格式化：代码含自我保护")), std::string::npos);
}

TEST(TransformButtons, UnpackRunsUnderTheBusyHookAndStopLeavesTheEditor) {
    auto w = NewMainWindow();
    auto* e = w->CurrentEditor();
    const std::string spinning = "eval(function(p,a,c,k,e,d){for(;;){}}('',1,1,[],0,{}));";
    e->SetText(spinning);
    // What the busy window's "停止" does, from the hook it shows the window from.
    bool hooked = false;
    qy::script::SetBusyHook([&](std::chrono::milliseconds elapsed) {
        hooked = true;
        if (elapsed >= std::chrono::milliseconds(300)) qy::script::RequestStop();
    });
    size_t before = w->LogText().size();
    Click(*w, "按钮_unpack");
    qy::script::SetBusyHook(nullptr);
    EXPECT_TRUE(hooked);
    EXPECT_EQ(e->Text(), spinning);
    EXPECT_EQ(LogSince(*w, before), Ansi("-->eval解密已停止，代码未改动\r\n"));
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

namespace {

QAction* CallerAction(qy::app::MainWindow& w, const char* key) {
    auto* button = w.findChild<QToolButton*>(QStringLiteral("按钮_callers"));
    return button && button->menu() ? button->menu()->findChild<QAction*>(QString::fromLatin1(key)) : nullptr;
}

}  // namespace

TEST(CallerCode, DropDownBesideTheButtonOffersEveryLanguage) {
    auto w = NewMainWindow();
    auto* button = w->findChild<QToolButton*>(QStringLiteral("按钮_callers"));
    ASSERT_NE(button, nullptr);
    EXPECT_TRUE(button->isVisible());
    EXPECT_EQ(button->geometry().left(), w->Button("按钮_go")->geometry().right() + 2);
    EXPECT_EQ(button->geometry().top(), w->Button("按钮_go")->geometry().top());
    QStringList captions;
    for (QAction* a : button->menu()->actions())
        if (!a->isSeparator()) captions << a->text();
    EXPECT_EQ(captions, (QStringList{Q("Python (PyExecJS) 调用代码"), Q("Python (PyMiniRacer) 调用代码"),
                                     Q("Node (vm) 调用代码"), Q("Go (goja) 调用代码"),
                                     Q("Java (javax.script / GraalJS) 调用代码"), Q("C# (Jint) 调用代码"),
                                     Q("脚本从文件读取（不内嵌）…"), Q("本地服务")}));
    // Wherever the window's layout moves the button, the drop-down follows.
    w->Button("按钮_go")->move(700, 500);
    EXPECT_EQ(button->geometry().topLeft(), QPoint(700 + 72 + 1, 500));
    // The E snippet stays what the button gives.
    EXPECT_EQ(w->Button("按钮_go")->text(), Q("生成E代码"));
    EXPECT_EQ(w->Button("按钮_go")->contextMenuPolicy(), Qt::CustomContextMenu);
}

TEST(CallerCode, CopiesTheProgramAndSaysWhichAndRemindsOfTheTarget) {
    auto w = NewMainWindow();
    w->CurrentEditor()->SetText(Ansi("function f(s){return \"中\" + s}\r\nvar t = '\\\\';"));
    SetEval(*w, "f(\"文\")");
    const std::u16string script = qy::text::Utf8ToUtf16("function f(s){return \"中\" + s}\r\nvar t = '\\\\';");
    {
        qy::script::ScopedScriptTarget target(qy::script::ScriptTarget::JScript58);
        QString caption, text;
        AnswerMessageBox(QMessageBox::Ok, &caption, &text);
        size_t before = w->LogText().size();
        CallerAction(*w, "pyexecjs")->trigger();
        EXPECT_EQ(QGuiApplication::clipboard()->text().toStdString(),
                  qy::transform::CallerProgram(qy::transform::CallerLanguage::PyExecJs, {script, {}},
                                               u"f(\"文\")"));
        EXPECT_EQ(caption, Q("代码复制"));
        EXPECT_EQ(text, Q("Python (PyExecJS) 调用代码已经复制"));
        EXPECT_EQ(LogSince(*w, before),
                  Ansi("-->提示：当前脚本目标是 JScript 5.8（Script Control），Python (PyExecJS) 的引擎不是 "
                       "JScript 5.8，结果可能不同；可切换到 ES2021 目标再试\r\n"));
    }
    {
        qy::script::ScopedScriptTarget target(qy::script::ScriptTarget::ES2021);
        QString text;
        AnswerMessageBox(QMessageBox::Ok, nullptr, &text);
        size_t before = w->LogText().size();
        CallerAction(*w, "jint")->trigger();
        EXPECT_EQ(text, Q("C# (Jint) 调用代码已经复制"));
        EXPECT_EQ(LogSince(*w, before), "");
        EXPECT_NE(QGuiApplication::clipboard()->text().indexOf(Q("engine.Evaluate(\"f(\\\"\\u6587\\\")\")")), -1)
            << QGuiApplication::clipboard()->text().toStdString();
    }
}

TEST(CallerCode, ReadingFromAFileAsksForItsName) {
    auto w = NewMainWindow();
    w->CurrentEditor()->SetText("function secret(){}");
    SetEval(*w, "secret()");
    QAction* fromFile = CallerAction(*w, "fromFile");
    ASSERT_NE(fromFile, nullptr);
    // Cancelled: still embedded.
    WhenModalAppears([](QWidget* m) {
        if (auto* d = qobject_cast<QInputDialog*>(m)) d->reject();
    });
    fromFile->trigger();
    EXPECT_FALSE(fromFile->isChecked());
    QString suggested;
    WhenModalAppears([&](QWidget* m) {
        if (auto* d = qobject_cast<QInputDialog*>(m)) {
            suggested = d->textValue();
            d->setTextValue(Q("签名 \"v2\".js"));
            d->accept();
        }
    });
    fromFile->trigger();
    EXPECT_EQ(suggested, Q("script.js"));
    EXPECT_TRUE(fromFile->isChecked());
    qy::script::ScopedScriptTarget target(qy::script::ScriptTarget::ES2021);
    QString text;
    AnswerMessageBox(QMessageBox::Ok, nullptr, &text);
    CallerAction(*w, "node")->trigger();
    EXPECT_EQ(text, Q("Node (vm) 调用代码已经复制（脚本从 签名 \"v2\".js 读取）"));
    QString program = QGuiApplication::clipboard()->text();
    EXPECT_NE(program.indexOf(Q("fs.readFileSync(\"签名 \\\"v2\\\".js\", \"utf8\")")), -1) << program.toStdString();
    EXPECT_EQ(program.indexOf(Q("function secret")), -1);
    // Unticked: the script is embedded again.
    fromFile->trigger();
    EXPECT_FALSE(fromFile->isChecked());
    AnswerMessageBox(QMessageBox::Ok);
    CallerAction(*w, "node")->trigger();
    EXPECT_NE(QGuiApplication::clipboard()->text().indexOf(Q("\"function secret(){}\"")), -1);
}
