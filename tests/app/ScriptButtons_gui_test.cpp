// Loading code, the error report, evaluation, the function list and stopping a script,
// through the real main window's buttons.
#include <gtest/gtest.h>

#include <QComboBox>
#include <QLabel>
#include <QTabWidget>

#include "AppTestSupport.h"
#include "app/BusyWindow.h"
#include "script/Engine.h"
#include "script/ValueText.h"

using namespace qy::test;
using qy::app::MainWindow;

namespace {

/// Loads `code` through the button on tab 0 and returns what the load logged.
std::string Load(MainWindow& w, const std::string& ansiCode) {
    w.EditorAt(0)->SetText(ansiCode);
    size_t before = w.LogText().size();
    Click(w, "按钮_add");
    return LogSince(w, before);
}

/// Evaluates `expr` through the button; every evaluation's log starts with the echo
/// "-->计算：<expression>", which is checked here and left out of what is returned.
std::string Evaluate(MainWindow& w, const char* expr) {
    SetEval(w, expr);
    size_t before = w.LogText().size();
    Click(w, "按钮_run");
    std::string log = LogSince(w, before);
    const std::string echo = Ansi("-->计算：") + qy::text::WideToAnsi(Q(expr).toStdU16String()) + "\r\n";
    EXPECT_EQ(log.substr(0, echo.size()), echo);
    return log.size() >= echo.size() ? log.substr(echo.size()) : log;
}

void PickFunction(MainWindow& w, int index) {
    auto* combo = w.Component<QComboBox>("组合框_FunList");
    combo->setCurrentIndex(index);
    emit combo->activated(index);
}

}  // namespace

TEST(CodeLoading, DemonstrationScriptLoads) {
    auto w = NewMainWindow();
    size_t before = w->LogText().size();
    Click(*w, "按钮_add");
    EXPECT_EQ(LogSince(*w, before), Ansi("-->代码加载成功\r\n"));
    EXPECT_TRUE(w->Session().CodeLoaded());
    // Loading twice gives the same result: the reset drops the first copy.
    before = w->LogText().size();
    Click(*w, "按钮_add");
    EXPECT_EQ(LogSince(*w, before), Ansi("-->代码加载成功\r\n"));
    auto* combo = w->Component<QComboBox>("组合框_FunList");
    QStringList names;
    for (int i = 0; i < combo->count(); ++i) names << combo->itemText(i);
    EXPECT_EQ(names, (QStringList{"MyObj", "fuckall", "OX", "OXOX"}));
}

TEST(CodeLoading, SyntaxErrorOnLineThreeIsReportedAndSelected) {
    auto w = NewMainWindow();
    std::string log = Load(*w, "var a = 1;\r\nvar b = 2;\r\nvar c = (3;\r\nvar d = 4;");
    EXPECT_EQ(log, Ansi("-->发生错误：错误号=-2146827282\r\n-->错误描述：缺少 ')'\r\n"
                        "-->错误代码：var c = (3;\r\n-->错误位置：3行10字符处\r\n"));
    EXPECT_EQ(w->EditorAt(0)->SelectionStart(), 24);
    EXPECT_EQ(w->EditorAt(0)->SelectionEnd(), 35);
    EXPECT_TRUE(w->Session().CodeLoaded());
}

TEST(CodeLoading, EmptyEditorLogsFailureAndKeepsTheFlag) {
    auto w = NewMainWindow();
    EXPECT_EQ(Load(*w, ""), Ansi("-->代码加载失败，请检查代码内容\r\n"));
    EXPECT_FALSE(w->Session().CodeLoaded());
    Load(*w, "function f(){return 2}");
    EXPECT_EQ(Load(*w, ""), Ansi("-->代码加载失败，请检查代码内容\r\n"));
    EXPECT_TRUE(w->Session().CodeLoaded());
    // The engine was reset all the same: f is gone.
    EXPECT_NE(Evaluate(*w, "f").find(Ansi("'f' 未定义")), std::string::npos);
}

TEST(CodeLoading, RejectedLoadKeepsThePreviousFunctionList) {
    auto w = NewMainWindow();
    Load(*w, "function a(x){return x}\r\nfunction b(){}");
    Load(*w, "function c(){ broken");
    auto* combo = w->Component<QComboBox>("组合框_FunList");
    ASSERT_EQ(combo->count(), 2);
    EXPECT_EQ(combo->itemText(0), "a");
    // A script without functions empties the combo box.
    EXPECT_EQ(Load(*w, "var x = 1;"), Ansi("-->代码加载成功\r\n"));
    EXPECT_EQ(combo->count(), 0);
}

TEST(Evaluation, TypedResultLines) {
    auto w = NewMainWindow();
    Load(*w, "function add(a,b){return a+b}\r\nvar i = 0;");
    EXPECT_EQ(Evaluate(*w, "add(1,2)"), Ansi("-->返回类型：数值型\r\n-->计算结果：3\r\n"));
    EXPECT_EQ(Evaluate(*w, "0.1+0.2"), Ansi("-->返回类型：数值型\r\n-->计算结果：0.3\r\n"));
    EXPECT_EQ(Evaluate(*w, "1/3"), Ansi("-->返回类型：数值型\r\n-->计算结果：0.3333333333333\r\n"));
    EXPECT_EQ(Evaluate(*w, "12345678901234"), Ansi("-->返回类型：数值型\r\n-->计算结果：1.234567890123e+013\r\n"));
    EXPECT_EQ(Evaluate(*w, "\"abc\""), Ansi("-->返回类型：文本型\r\n-->计算结果：abc\r\n"));
    EXPECT_EQ(Evaluate(*w, "true"), Ansi("-->返回类型：逻辑型\r\n-->计算结果：真\r\n"));
    EXPECT_EQ(Evaluate(*w, "null"), Ansi("-->返回类型：未知类型\r\n-->该类型结果此版本不支持\r\n"));
    EXPECT_EQ(Evaluate(*w, "undefined"), Ansi("-->返回类型：空\r\n-->该类型结果此版本不支持\r\n"));
    // Side effects happen once: consecutive values.
    EXPECT_EQ(Evaluate(*w, "i++"), Ansi("-->返回类型：数值型\r\n-->计算结果：0\r\n"));
    EXPECT_EQ(Evaluate(*w, "i++"), Ansi("-->返回类型：数值型\r\n-->计算结果：1\r\n"));
}

TEST(Evaluation, DatesShowTheirTimeForms) {
    auto w = NewMainWindow();
    Load(*w, "var d = 1;");
    struct Row { const char* expr; const char* text; };
    for (Row r : {Row{"new Date(2021,4,6)", "2021年5月6日"}, Row{"new Date(2021,4,6,8,0,0)", "2021年5月6日8时"},
                  Row{"new Date(2021,4,6,8,30,0)", "2021年5月6日8时30分"},
                  Row{"new Date(2021,4,6,8,30,5)", "2021年5月6日8时30分5秒"},
                  Row{"new Date(2021,4,6,0,0,5).getVarDate()", "2021年5月6日0时0分5秒"}}) {
        EXPECT_EQ(Evaluate(*w, r.expr), Ansi("-->返回类型：日期型\r\n-->计算结果：") + Ansi(r.text) + "\r\n") << r.expr;
    }
}

TEST(Evaluation, BeforeAnyLoadTheResultIsRefused) {
    auto w = NewMainWindow();
    EXPECT_EQ(Evaluate(*w, "1+1"), Ansi("-->计算出错：代码未加载\r\n"));
}

TEST(Evaluation, ObjectResultIsStoredAndOfferedForInspection) {
    auto w = NewMainWindow();
    Click(*w, "按钮_add");
    int opened = 0;
    w->objectViewerOpener = [&](const qy::script::ObjectRef&) { ++opened; };
    QString caption, text;
    QMessageBox::Icon icon = QMessageBox::NoIcon;
    AnswerMessageBox(QMessageBox::Cancel, &caption, &text, &icon);
    EXPECT_EQ(Evaluate(*w, "OX(1,2,3)"), Ansi("-->返回类型：对象型\r\n"));
    EXPECT_EQ(caption, Q("对象"));
    EXPECT_EQ(text, Q("计算结果返回值为对象，是否查看对象属性和方法（JS数组也是对象）"));
    EXPECT_EQ(icon, QMessageBox::Information);
    EXPECT_EQ(opened, 0);
    ASSERT_NE(w->Session().InspectedObject(), nullptr);
    EXPECT_EQ(qy::script::GetPropertyNumber(w->Session().InspectedObject(), "men2"), 2);
    AnswerMessageBox(QMessageBox::Ok);
    Evaluate(*w, "[1,2]");
    EXPECT_EQ(opened, 1);
}

TEST(Evaluation, ErrorsSelectTheLineOnlyWhenInTheLoadedCode) {
    auto w = NewMainWindow();
    Load(*w, "function ok(){return 1}\r\nfunction bad(){\r\n  return nothing;\r\n}");
    auto* editor = w->EditorAt(0);
    editor->SetSel(0, 3);
    std::string log = Evaluate(*w, "missingName + 1");
    EXPECT_NE(log.find(Ansi("-->错误描述：'missingName' 未定义")), std::string::npos);
    EXPECT_NE(log.find(Ansi("-->返回类型：空")), std::string::npos);
    EXPECT_EQ(editor->SelectionStart(), 0);
    EXPECT_EQ(editor->SelectionEnd(), 3);
    log = Evaluate(*w, "bad()");
    EXPECT_NE(log.find(Ansi("-->错误位置：3行")), std::string::npos);
    EXPECT_EQ(editor->SelectionStart(), editor->PositionFromLine(2));
    EXPECT_EQ(editor->SelectionEnd(), editor->LineEndPosition(2));
}

TEST(Evaluation, EndlessLoopIsStoppedFromTheBusyWindow) {
    qy::app::BusyWindow::Install();
    auto w = NewMainWindow();
    Load(*w, "function spin(){ for(;;){} }");
    bool sawWindow = false;
    WhenBusyWindowAppears([&](QDialog* modal) {
        sawWindow = modal == qy::app::BusyWindow::Current();
        if (auto* stop = modal->findChild<QPushButton*>(Q("按钮_停止"))) stop->click();
    });
    std::string log = Evaluate(*w, "spin()");
    qy::script::SetBusyHook(nullptr);
    EXPECT_TRUE(sawWindow);
    EXPECT_NE(log.find(Ansi("-->错误描述：脚本已被用户停止")), std::string::npos);
    EXPECT_EQ(qy::app::BusyWindow::Current(), nullptr);
    EXPECT_EQ(Evaluate(*w, "1+1"), Ansi("-->返回类型：数值型\r\n-->计算结果：2\r\n"));
}

TEST(FunctionList, PickingFillsTheExpressionAndSelectsTheDefinition) {
    auto w = NewMainWindow();
    Load(*w, "function a(x){return x}\r\nfunction b(){}");
    auto* combo = w->Component<QComboBox>("组合框_FunList");
    auto* label = w->Component<QLabel>("标签_Fun");
    EXPECT_EQ(combo->currentIndex(), 0);
    EXPECT_EQ(label->text(), "");
    PickFunction(*w, 1);
    EXPECT_EQ(w->Component<QLineEdit>("编辑框_eval")->text(), "b()");
    EXPECT_EQ(label->text(), "     function b()");
    EXPECT_EQ(w->EditorAt(0)->SelectionStart(), 25);
    EXPECT_EQ(w->EditorAt(0)->SelectionEnd(), 35);
    PickFunction(*w, 0);
    EXPECT_EQ(label->text(), "     function a(value1)");
    EXPECT_EQ(w->EditorAt(0)->SelectionStart(), 0);
}

TEST(FunctionList, DefinitionSearchIsWholeWordAndIgnoresCase) {
    auto w = NewMainWindow();
    Load(*w, "function ab(){}");
    auto* editor = w->EditorAt(0);
    editor->SetText("function abc(){}\r\nFunction AB(){}");
    PickFunction(*w, 0);
    EXPECT_EQ(editor->SelectionStart(), 18);
    EXPECT_EQ(editor->SelectionEnd(), 29);
    editor->SetText("function abc(){}");
    editor->SetSel(5, 5);
    PickFunction(*w, 0);
    EXPECT_EQ(editor->SelectionStart(), 0);
    EXPECT_EQ(editor->CurrentPos(), 0);
}
