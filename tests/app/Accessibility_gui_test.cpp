// What a screen reader finds, read through Qt's accessibility interface: purpose names,
// combo box values, the label of the function list, the signature, button help, links
// and windows.
#include <gtest/gtest.h>

#include <QAbstractItemView>
#include <QAccessible>
#include <QComboBox>
#include <QLabel>
#include <QLineEdit>
#include <QPlainTextEdit>
#include <QTest>
#include <QTextEdit>
#include <QTimer>

#include "AppTestSupport.h"
#include "app/Accessibility.h"
#include "app/ContactWindow.h"
#include "app/DebugFeatures.h"
#include "app/DebuggerWindow.h"
#include "app/ReferenceWindow.h"
#include "app/Startup.h"
#include "decode/gui/DecoderWindow.h"
#include "inspect/ObjectViewer.h"
#include "net/gui/UpdateWindow.h"

using namespace qy::test;
using qy::app::MainWindow;

namespace {

/// A main window described as its constructor describes it.
std::unique_ptr<MainWindow> NewDescribedWindow() {
    auto w = std::make_unique<MainWindow>();
    qy::app::DescribeMainWindow(*w);
    qy::app::AttachFeatures(*w);
    w->show();
    return w;
}

QAccessibleInterface* A11y(QObject* o) { return QAccessible::queryAccessibleInterface(o); }
QAccessibleInterface* A11y(MainWindow& w, const char* name) { return A11y(w.Component<QWidget>(name)); }

}  // namespace

TEST(Accessibility, ComponentsAreNamedForWhatTheyAreFor) {
    auto w = NewDescribedWindow();
    const std::pair<const char*, const char*> names[] = {
        {"组合框_addr", "脚本地址"},   {"编辑框_搜索内容", "搜索内容"}, {"组合框_more", "搜索选项"},
        {"组合框_FunList", "函数列表"}, {"标签_Fun", "函数签名"},       {"编辑框_eval", "表达式"},
        {"编辑框_output", "输出日志"},  {"按钮_run", "计算表达式"},     {"选择框1", "UTF-8解码"},
    };
    for (auto [layout, name] : names) {
        QAccessibleInterface* a = A11y(*w, layout);
        ASSERT_NE(a, nullptr) << layout;
        EXPECT_EQ(a->text(QAccessible::Name), Q(name)) << layout;
        EXPECT_EQ(w->Component<QWidget>(layout)->objectName(), Q(layout));  // tests still find it by layout name
    }
    for (int i = 0; i < 6; ++i)
        EXPECT_EQ(A11y(w->EditorAt(i))->text(QAccessible::Name), QStringLiteral("代码编辑器 New%1").arg(i));
    EXPECT_EQ(A11y(*w, "编辑框_output")->role(), QAccessible::EditableText);
}

TEST(Accessibility, ComboBoxesGiveTheirCurrentValueAndTheFunctionListItsLabel) {
    auto w = NewDescribedWindow();
    EXPECT_EQ(A11y(*w, "组合框_addr")->text(QAccessible::Value), Q("http://pajhome.org.uk/crypt/md5/sha1.js"));
    w->Component<QComboBox>("组合框_addr")->setEditText(Q("http://127.0.0.1/a.js"));
    EXPECT_EQ(A11y(*w, "组合框_addr")->text(QAccessible::Value), Q("http://127.0.0.1/a.js"));
    QAccessibleInterface* more = A11y(*w, "组合框_more");
    EXPECT_EQ(more->role(), QAccessible::ComboBox);
    EXPECT_EQ(more->text(QAccessible::Value), Q("区分大小写"));
    w->Component<QComboBox>("组合框_more")->setCurrentIndex(3);
    EXPECT_EQ(more->text(QAccessible::Value), Q("不区分大小写"));
    EXPECT_EQ(more->text(QAccessible::Name), Q("搜索选项"));

    // "函数列表" labels the function list, and the list gives the function chosen.
    QAccessibleInterface* functions = A11y(*w, "组合框_FunList");
    bool labelled = false;
    for (const auto& [other, relation] : functions->relations(QAccessible::Label))
        labelled = labelled || other->object() == w->Component<QLabel>("标签1");
    EXPECT_TRUE(labelled);
    EXPECT_EQ(w->Component<QLabel>("标签1")->buddy(), w->Component<QWidget>("组合框_FunList"));
    Click(*w, "按钮_add");
    auto* list = w->Component<QComboBox>("组合框_FunList");
    ASSERT_GT(list->count(), 0);
    EXPECT_EQ(functions->text(QAccessible::Value), list->currentText());

    // The signature label keeps its name and gives the signature it shows.
    const int pick = list->findText(Q("OX"));
    ASSERT_GE(pick, 0);
    list->setCurrentIndex(pick);
    emit list->activated(pick);
    const QString signature = w->Component<QLabel>("标签_Fun")->text();
    ASSERT_FALSE(signature.isEmpty());
    QAccessibleInterface* shown = A11y(*w, "标签_Fun");
    EXPECT_EQ(shown->text(QAccessible::Name), Q("函数签名"));
    EXPECT_EQ(shown->text(QAccessible::Value), signature);
    EXPECT_EQ(shown->text(QAccessible::Description), signature);
}

TEST(Accessibility, TerseButtonsExplainThemselves) {
    auto w = NewDescribedWindow();
    for (const char* name : {"按钮_unpack", "按钮_go", "按钮_copy", "按钮_pack", "按钮_format", "按钮_cla", "按钮_search",
                             "按钮_add", "按钮_run", "按钮_读取JS"}) {
        QPushButton* b = w->Button(name);
        EXPECT_GT(b->toolTip().size(), b->text().size()) << name;
        EXPECT_EQ(A11y(b)->text(QAccessible::Description), b->toolTip()) << name;
        EXPECT_EQ(A11y(b)->text(QAccessible::Name), b->text()) << name;
    }
}

TEST(Accessibility, WindowsAreWindowsAndTheContactLinkIsALink) {
    qy::app::InitResources();
    auto w = NewDescribedWindow();
    EXPECT_EQ(A11y(w.get())->role(), QAccessible::Window);
    EXPECT_EQ(A11y(w.get())->text(QAccessible::Name), Q("青柚JS调试工具1.8"));

    w->MenuAction("解码工具")->trigger();
    QWidget* decoder = qy::decode::DecoderWindow::Instance();
    ASSERT_NE(decoder, nullptr);
    EXPECT_EQ(A11y(decoder)->role(), QAccessible::Window);
    EXPECT_EQ(A11y(decoder)->text(QAccessible::Name), Q("KV-RA解码小工具"));
    EXPECT_EQ(A11y(decoder->findChild<QWidget*>(Q("组合框1")))->text(QAccessible::Value), Q("USC编码"));
    decoder->close();

    w->MenuAction("JavaScript速查")->trigger();
    QWidget* reference = qy::app::ReferenceWindow::Instance();
    ASSERT_NE(reference, nullptr);
    EXPECT_EQ(A11y(reference)->role(), QAccessible::Window);
    EXPECT_EQ(A11y(reference)->text(QAccessible::Name), Q("JScript速查手册"));
    reference->close();

    // Popups stay what they are.
    auto* more = w->Component<QComboBox>("组合框_more");
    more->showPopup();
    QWidget* popup = more->view()->window();
    EXPECT_NE(A11y(popup)->role(), QAccessible::Window);
    more->hidePopup();

    std::vector<QUrl> opened;
    auto saved = qy::net::UrlOpener();
    qy::net::UrlOpener() = [&opened](const QUrl& url) { opened.push_back(url); };
    qy::app::ContactWindow contact;
    auto* link = contact.findChild<QLabel*>(Q("超级链接框1"));
    QAccessibleInterface* a = A11y(link);
    EXPECT_EQ(a->role(), QAccessible::Link);
    EXPECT_EQ(a->text(QAccessible::Name), Q("点此联系我-青柚生"));
    EXPECT_EQ(a->text(QAccessible::Value), Q("tencent://message/?uin=12345678"));
    EXPECT_TRUE(a->state().linked);
    ASSERT_NE(a->actionInterface(), nullptr);
    a->actionInterface()->doAction(QAccessibleActionInterface::pressAction());
    qy::net::UrlOpener() = saved;
    ASSERT_EQ(opened.size(), 1u);
    EXPECT_EQ(opened[0], QUrl("tencent://message/?uin=12345678"));
    EXPECT_EQ(A11y(&contact)->role(), QAccessible::Dialog);

    qy::net::UpdateRecord record;
    qy::net::UpdateWindow update(record);
    EXPECT_EQ(A11y(update.findChild<QWidget*>(Q("编辑框1")))->text(QAccessible::Name), Q("新版本说明"));
}

namespace {

/// Every edit box of `window` (its own, not those of windows it owns) as assistive
/// technology reads it and types into it: an editable text with its text, and one that
/// takes typing through the interface unless it is read-only. Returns how many it met.
int ExpectEditBoxesAreText(QWidget& window) {
    int met = 0;
    for (QWidget* w : window.findChildren<QWidget*>()) {
        if (w->window() != &window) continue;
        QString text;
        bool readOnly = false;
        if (auto* line = qobject_cast<QLineEdit*>(w)) {
            text = line->text();
            readOnly = line->isReadOnly();
        } else if (auto* plain = qobject_cast<QPlainTextEdit*>(w)) {
            text = plain->toPlainText();
            readOnly = plain->isReadOnly();
        } else if (auto* rich = qobject_cast<QTextEdit*>(w)) {
            text = rich->toPlainText();
            readOnly = rich->isReadOnly();
        } else if (auto* code = qobject_cast<qy::editor::Editor*>(w)) {
            text = QString::fromStdU16String(qy::text::AnsiToWide(code->Text()));
        } else {
            continue;
        }
        const std::string what = (window.objectName() + "/" + w->objectName() + " (" + w->metaObject()->className() +
                                  ")").toStdString();
        ++met;
        QAccessibleInterface* a = A11y(w);
        if (!a) {
            ADD_FAILURE() << what << " has no accessible interface";
            continue;
        }
        EXPECT_FALSE(a->text(QAccessible::Name).isEmpty()) << what;
        QAccessibleTextInterface* t = a->textInterface();
        if (!t) {
            ADD_FAILURE() << what << " is no text to assistive technology (role " << a->role() << ")";
            continue;
        }
        if (qobject_cast<QTextEdit*>(w)) {
            // Rich text (the reference's tables) carries the cells' marks as well.
            EXPECT_TRUE(t->text(0, t->characterCount()).startsWith(text.left(40))) << what;
        } else {
            EXPECT_EQ(t->text(0, t->characterCount()), text) << what;
        }
        if (readOnly) continue;
        EXPECT_EQ(a->role(), QAccessible::EditableText) << what;
        QAccessibleEditableTextInterface* e = a->editableTextInterface();
        if (!e) {
            ADD_FAILURE() << what << " cannot be typed into by assistive technology";
            continue;
        }
        e->insertText(0, Q("读屏"));
        EXPECT_EQ(t->text(0, 2), Q("读屏")) << what;
        e->deleteText(0, 2);
        EXPECT_EQ(t->text(0, t->characterCount()), text) << what;
    }
    return met;
}

}  // namespace

// Each single-line and multi-line edit of every window, named or not, can be read and
// typed into by a screen reader, whenever it was named.
TEST(Accessibility, EveryEditBoxOfEveryWindowIsEditableText) {
    auto w = NewDescribedWindow();
    SetEval(*w, "hex_md5('abc')");
    w->Component<QLineEdit>("编辑框_搜索内容")->setText(Q("函数"));
    w->AppendLog(Ansi("-->代码加载成功\r\n"));
    // The expression and search boxes, the address's edit field, the log, six editors.
    EXPECT_EQ(A11y(w->Component<QComboBox>("组合框_addr")->lineEdit())->text(QAccessible::Name), Q("脚本地址"));
    EXPECT_EQ(ExpectEditBoxesAreText(*w), 10);
    EXPECT_EQ(A11y(*w, "编辑框_eval")->text(QAccessible::Name), Q("表达式"));
    EXPECT_EQ(A11y(*w, "编辑框_搜索内容")->text(QAccessible::Name), Q("搜索内容"));

    auto* debug = w->findChild<qy::app::DebugFeatures*>();
    ASSERT_NE(debug, nullptr);
    qy::app::DebuggerWindow& debugger = debug->ShowView();
    EXPECT_EQ(ExpectEditBoxesAreText(debugger), 3);  // the watch, the evaluation and the page breakpoint's condition
    debugger.close();

    w->MenuAction("解码工具")->trigger();
    EXPECT_EQ(ExpectEditBoxesAreText(*qy::decode::DecoderWindow::Instance()), 2);
    qy::decode::DecoderWindow::Instance()->close();

    w->MenuAction("JavaScript速查")->trigger();
    EXPECT_EQ(ExpectEditBoxesAreText(*qy::app::ReferenceWindow::Instance()), 1);
    qy::app::ReferenceWindow::Instance()->close();

    qy::net::UpdateRecord record;
    qy::net::UpdateWindow update(record);
    EXPECT_EQ(ExpectEditBoxesAreText(update), 1);

    // The object viewer is modal: it is read while it is open.
    int viewerBoxes = -1;
    auto* watch = new QTimer;
    watch->setInterval(10);
    QObject::connect(watch, &QTimer::timeout, [&viewerBoxes, watch] {
        auto* viewer = qobject_cast<qy::inspect::ObjectViewer*>(QApplication::activeModalWidget());
        if (!viewer) return;
        watch->stop();
        watch->deleteLater();
        viewerBoxes = ExpectEditBoxesAreText(*viewer);
        viewer->reject();
    });
    watch->start();
    AnswerMessageBox(QMessageBox::Ok);
    Click(*w, "按钮_add");
    SetEval(*w, "({a: 1})");
    Click(*w, "按钮_run");
    EXPECT_EQ(viewerBoxes, 1);
}
