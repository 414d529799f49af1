/** @file MainWindow.cpp
 * Layout and start-up of the main window. Positions are client coordinates; the client
 * area keeps the size the layout was designed for, below the menu bar.
 */
#include "app/MainWindow.h"

#include "app/Accessibility.h"
#include "app/WindowLayout.h"
#include "text/CNumbers.h"

#include <QAction>
#include <QCheckBox>
#include <QCloseEvent>
#include <QCoreApplication>
#include <QComboBox>
#include <QEvent>
#include <QGuiApplication>
#include <QLabel>
#include <QLineEdit>
#include <QMenuBar>
#include <QMessageBox>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollBar>
#include <QTabWidget>
#include <QTextCursor>
#include <cmath>
#include <cstdio>
#include <limits>

#include "app/Accessibility.h"
#include "app/BusyWindow.h"
#include "editor/Editor.h"
#include "script/Engine.h"
#include "text/QtBridge.h"

namespace qy::app {
namespace {

constexpr int kClientWidth = 856;
constexpr int kClientHeight = 626;
constexpr const char* kAuthorNumber = "12345678";
constexpr const char* kExampleAddress = "http://pajhome.org.uk/crypt/md5/sha1.js";

std::string Ansi(const char* utf8) { return text::Utf8ToAnsiText(utf8); }
QString FromAnsi(const std::string& ansi) { return QString::fromStdU16String(text::AnsiToWide(ansi)); }
std::string ToAnsi(const QString& s) { return text::WideToAnsi(s.toStdU16String()); }

QFont UiFont(int pixelHeight) { return text::WorkbenchFont(pixelHeight); }

/// Names a component for tests and for assistive technology: its caption when it has
/// one, else its layout name.
template <typename W>
W* Named(W* widget, const char* layoutName, const QString& caption = QString()) {
    widget->setObjectName(QString::fromUtf8(layoutName));
    widget->setAccessibleName(caption.isEmpty() ? QString::fromUtf8(layoutName) : caption);
    return widget;
}

/// The current editor as the script work sees it.
class EditorAdapter final : public script::EditorView {
public:
    explicit EditorAdapter(editor::Editor* e) : m_editor(e) {}
    std::string Text() override { return m_editor->Text(); }
    int64_t PositionFromLine(int64_t line) override { return m_editor->PositionFromLine(line); }
    int64_t LineEndPosition(int64_t line) override { return m_editor->LineEndPosition(line); }
    void SetSel(int64_t anchor, int64_t caret) override { m_editor->SetSel(anchor, caret); }
    bool FindText(int flags, const std::string& ansi, int64_t& start, int64_t& end) override {
        return m_editor->FindText(flags, 0, m_editor->TextLength(), ansi, start, end);
    }

private:
    editor::Editor* m_editor;
};

}  // namespace

std::string VersionText(float version) {
    double v = version;
    if (v != 0) {
        int exponent = static_cast<int>(std::floor(std::log10(std::fabs(v))));
        double scale = std::pow(10.0, 5 - exponent);
        v = std::round(v * scale) / scale;
    }
    return text::FormatNumberC("%.6g", v);
}

const std::string& DemonstrationScript() {
    static const std::string script = Ansi(
        "function MyObj(men1,men2,men3)\r\n{\r\nthis.men1=men1;//属性\r\n this.men2=men2;//属性\r\n "
        "this.men3=men3;//属性\r\n this.all=fuckall;//方法\r\n }\r\n function fuckall ()\r\n {\r\n return "
        "this.men1+String(this.men2)+this.men3;\r\n }\r\nfunction OX(what,time,temp)//返回自定义对象\r\n{\r\nvar "
        "sb=new MyObj(what,time,temp);\r\nreturn sb;\r\n}\r\nfunction OXOX(what,time,temp)//调用自定义对象\r\n{\r\nvar "
        "sb=new MyObj(what,time,temp);\r\nreturn sb.all();\r\n}//JS自定义对象掩演示");
    return script;
}

MainWindow::MainWindow(QWidget* parent) : QMainWindow(parent) {
    InstallAccessibleNames();
    setObjectName(QStringLiteral("fuck"));
    setWindowTitle(QStringLiteral("青柚JS调试工具1.8"));
    setAccessibleName(windowTitle());
    setWindowFlags(Qt::Window | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                   Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint);
    auto* client = new QWidget(this);
    client->setObjectName(QStringLiteral("client"));
    client->setFixedSize(kClientWidth, kClientHeight);
    client->setAutoFillBackground(true);
    QPalette pal = client->palette();
    pal.setColor(QPalette::Window, QColor(236, 236, 236));
    client->setPalette(pal);
    setCentralWidget(client);
    BuildMenus();
    BuildComponents(client);
    BuildTabs(client);
    ConnectScriptButtons();
    setFixedSize(kClientWidth, kClientHeight + menuBar()->sizeHint().height());
    CentreOnPrimaryScreen();
    OnCreated();
    DescribeMainWindow(*this);
    InstallWindowLayout(*this);
}

MainWindow::~MainWindow() = default;

void MainWindow::CentreOnPrimaryScreen() {
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(screen->geometry().center());
        move(frame.topLeft());
    }
}

void MainWindow::BuildMenus() {
    auto add = [this](QMenu* menu, const char* caption, const char* shortcut = nullptr) {
        QAction* a = menu->addAction(QString::fromUtf8(caption));
        a->setObjectName(QString::fromUtf8(caption));
        if (shortcut) {
            a->setShortcut(QKeySequence(QString::fromLatin1(shortcut)));
            a->setShortcutContext(Qt::WindowShortcut);
        }
        return a;
    };
    QMenu* file = menuBar()->addMenu(QStringLiteral("文件(&F)"));
    add(file, "打开", "Ctrl+O");
    add(file, "导出", "Ctrl+S");
    QMenu* about = menuBar()->addMenu(QStringLiteral("关于(&A)"));
    add(about, "软件版本");
    add(about, "联系作者");
    add(about, "检查更新");
    QMenu* tools = menuBar()->addMenu(QStringLiteral("工具(&T)"));
    add(tools, "数组对象查看")->setEnabled(false);
    add(tools, "JavaScript速查");
    add(tools, "解码工具");
    // The notification-area icon's menu belongs to this window but never shows in the bar.
    m_trayMenu = new QMenu(QStringLiteral("托盘菜单"), this);
    m_trayMenu->setObjectName(QStringLiteral("托盘菜单"));
    add(m_trayMenu, "显示程序");
    add(m_trayMenu, "退出程序");
}

void MainWindow::BuildComponents(QWidget* client) {
    const QFont font = UiFont(12);
    auto place = [&](QWidget* w, int x, int y, int width, int height) {
        w->setParent(client);
        w->setGeometry(x, y, width, height);
        w->setFont(font);
    };
    auto* addr = Named(new QComboBox, "组合框_addr");
    addr->setEditable(true);
    addr->setInsertPolicy(QComboBox::NoInsert);
    place(addr, 30, 0, 626, 28);
    addr->setFont(UiFont(14));
    auto* utf8 = Named(new QCheckBox(QStringLiteral("UTF-8解码")), "选择框1", QStringLiteral("UTF-8解码"));
    place(utf8, 665, 0, 80, 24);
    utf8->setFont(QFont());
    auto button = [&](const char* name, const char* caption, int x, int y, int w, int h) {
        auto* b = Named(new QPushButton(QString::fromUtf8(caption)), name, QString::fromUtf8(caption));
        place(b, x, y, w, h);
        return b;
    };
    button("按钮_读取JS", "读取JS", 744, 0, 80, 24);
    button("按钮_add", "加载代码", 8, 383, 56, 24);
    auto* search = Named(new QLineEdit, "编辑框_搜索内容");
    place(search, 69, 385, 219, 21);
    // The edit boxes take texts of any length (a pasted packed script is long).
    search->setMaxLength(std::numeric_limits<int>::max());
    auto* more = Named(new QComboBox, "组合框_more");
    more->addItems({QStringLiteral("全字匹配"), QStringLiteral("区分大小写"), QStringLiteral("正则表达式"),
                    QStringLiteral("不区分大小写")});
    more->setCurrentIndex(1);
    place(more, 296, 383, 104, 20);
    button("按钮_search", "查找", 410, 383, 69, 24);
    button("按钮_pack", "压缩", 480, 383, 69, 24);
    button("按钮_cla", "清空", 548, 383, 69, 24);
    button("按钮_unpack", "eval解密", 618, 383, 69, 24);
    button("按钮_copy", "复制JS", 688, 383, 69, 24);
    button("按钮_format", "格式化", 757, 383, 69, 24);
    auto* funLabel = Named(new QLabel(QStringLiteral("函数列表")), "标签1", QStringLiteral("函数列表"));
    place(funLabel, 8, 416, 56, 24);
    auto* funList = Named(new QComboBox, "组合框_FunList");
    place(funList, 69, 415, 218, 25);
    auto* signature = Named(new QLabel, "标签_Fun");
    place(signature, 297, 416, 529, 24);
    auto* eval = Named(new QLineEdit, "编辑框_eval");
    place(eval, 8, 445, 666, 24);
    eval->setMaxLength(std::numeric_limits<int>::max());
    button("按钮_run", "计算表达式", 682, 445, 72, 24);
    button("按钮_go", "生成E代码", 754, 445, 72, 24);
    m_log = Named(new QPlainTextEdit, "编辑框_output");
    place(m_log, 8, 477, 817, 144);
    m_log->setLineWrapMode(QPlainTextEdit::WidgetWidth);
    m_log->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    m_log->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    m_log->setStyleSheet(QStringLiteral("QPlainTextEdit { background-color: rgb(0,128,128); color: black; }"));
}

void MainWindow::BuildTabs(QWidget* client) {
    m_tabs = Named(new QTabWidget(client), "高级选择夹1");
    m_tabs->setGeometry(2, 29, 848, 344);
    m_tabs->setTabPosition(QTabWidget::East);
    m_tabs->setDocumentMode(true);
    QFont tabFont = UiFont(12);
    tabFont.setFamilies({QStringLiteral("SimSun"), QStringLiteral("宋体"), QStringLiteral("WenQuanYi Zen Hei"),
                         QStringLiteral("WenQuanYi Micro Hei")});
    m_tabs->setFont(tabFont);
    // Six headers stacked along the right edge fit the control's height without scrolling.
    m_tabs->setStyleSheet(QStringLiteral("QTabBar::tab { height: 52px; width: 20px; padding: 0px; }"));
    for (int i = 0; i < 6; ++i) {
        auto* page = new QWidget;
        page->setObjectName(QStringLiteral("page%1").arg(i));
        auto* editor = new editor::Editor(page);
        Named(editor, ("代码编辑框" + std::to_string(i)).c_str());
        editor->setGeometry(0, 0, 822, 344);
        m_editors[static_cast<size_t>(i)] = editor;
        m_tabs->addTab(page, QStringLiteral("New%1  ").arg(i));
        editor->setVisible(i == 0);
    }
    m_tabs->setCurrentIndex(0);
    connect(m_tabs, &QTabWidget::currentChanged, this, &MainWindow::OnTabChanged);
}

void MainWindow::OnCreated() {
    // The notification-area icon and the Alt+Q hotkey are attached with the other
    // features (AttachFeatures) once the window exists; neither changes what follows.
    for (int i : {1, 2, 0}) EditorAt(i)->ConfigureEditor();
    EditorAt(0)->AddText(DemonstrationScript(), static_cast<int64_t>(DemonstrationScript().size()));
    for (int i : {3, 4, 5}) EditorAt(i)->ConfigureEditor();
    AppendLog(Ansi("-->青柚JS调试工具启动成功,作者：青柚生，QQ") + kAuthorNumber + Ansi(",版本") + VersionText() + "\r\n");
    AppendLog(Ansi("-->帮助：快捷键Alt+Q最小化至托盘/显示\r\n"));
    AppendLog(Ansi("-->欢迎使用\r\n"));
    auto* addr = Component<QComboBox>("组合框_addr");
    addr->addItem(QString::fromLatin1(kExampleAddress));
    addr->setCurrentIndex(0);
    m_session.SetCodeLoaded(false);
}

void MainWindow::AppendLog(const std::string& ansiText) {
    QString text = FromAnsi(ansiText);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    QTextCursor cursor = m_log->textCursor();
    cursor.movePosition(QTextCursor::End);
    m_log->setTextCursor(cursor);
    m_log->ensureCursorVisible();
    m_log->insertPlainText(text);
    m_log->ensureCursorVisible();
}

std::string MainWindow::LogText() const {
    QString text = m_log->toPlainText();
    text.replace(QStringLiteral("\n"), QStringLiteral("\r\n"));
    return ToAnsi(text);
}

editor::Editor* MainWindow::EditorAt(int index) const {
    if (index < 0 || index > 5) index = 0;
    return m_editors[static_cast<size_t>(index)];
}

editor::Editor* MainWindow::CurrentEditor() const { return EditorAt(m_tabs->currentIndex()); }

QPushButton* MainWindow::Button(const char* layoutName) const { return Component<QPushButton>(layoutName); }

QAction* MainWindow::MenuAction(const char* caption) const { return findChild<QAction*>(QString::fromUtf8(caption)); }

void MainWindow::OnTabChanged(int index) {
    if (index < 0 || index > 5) return;
    for (int i = 0; i < 6; ++i) m_editors[static_cast<size_t>(i)]->setVisible(i == index);
}

void MainWindow::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMinimized)) emit minimised();
}

void MainWindow::closeEvent(QCloseEvent* event) {
    QMainWindow::closeEvent(event);
    emit closing();
    // A script or transfer still running (closed while the busy window is up) ends:
    // it must not keep the process alive once the window is gone.
    BusyWindow::StopAll();
    QCoreApplication::quit();
}

void MainWindow::ConnectScriptButtons() {
    connect(Button("按钮_add"), &QPushButton::clicked, this, &MainWindow::LoadCode);
    connect(Button("按钮_run"), &QPushButton::clicked, this, &MainWindow::Evaluate);
    connect(Component<QComboBox>("组合框_FunList"), qOverload<int>(&QComboBox::activated), this,
            &MainWindow::OnFunctionPicked);
}

void MainWindow::LoadCode() {
    emit loading(CurrentEditor());
    EditorAdapter editor(CurrentEditor());
    BusyWindow::Scope busy;
    if (m_session.Load(editor, *this) == script::ScriptSession::LoadOutcome::Loaded) RefreshFunctionList();
}

void MainWindow::Evaluate() {
    std::string expression = ToAnsi(Component<QLineEdit>("编辑框_eval")->text());
    // The echo tells one result from the next.
    AppendLog(Ansi("-->计算：") + expression + "\r\n");
    EditorAdapter editor(CurrentEditor());
    BusyWindow::Scope busy;
    m_session.Evaluate(expression, *this, editor, [this] {
        QMessageBox box(QMessageBox::Information, QStringLiteral("对象"),
                        QStringLiteral("计算结果返回值为对象，是否查看对象属性和方法（JS数组也是对象）"),
                        QMessageBox::Ok | QMessageBox::Cancel);
        box.setObjectName(QStringLiteral("对象"));
        box.setWindowModality(Qt::ApplicationModal);
        if (box.exec() == QMessageBox::Ok && objectViewerOpener) objectViewerOpener(m_session.InspectedObject());
    });
}

void MainWindow::RefreshFunctionList() {
    auto* combo = Component<QComboBox>("组合框_FunList");
    QSignalBlocker block(combo);
    combo->clear();
    if (m_session.FunctionsShown()) {
        const auto& list = m_session.Functions();
        for (size_t i = 0; i < list.size(); ++i) {
            combo->insertItem(static_cast<int>(i), FromAnsi(list[i].name), static_cast<int>(i + 1));
        }
    }
    combo->setCurrentIndex(combo->count() > 0 ? 0 : -1);
}

void MainWindow::OnFunctionPicked(int index) {
    editor::Editor* editor = CurrentEditor();
    auto* combo = Component<QComboBox>("组合框_FunList");
    if (index < 0) return;
    QString name = combo->itemText(index);
    int entry = combo->itemData(index).toInt();
    Component<QLineEdit>("编辑框_eval")->setText(name + QStringLiteral("()"));
    Component<QLabel>("标签_Fun")->setText(FromAnsi(m_session.SignatureText(static_cast<size_t>(entry))));
    int64_t start = 0, end = 0;
    editor->FindText(editor::kFindWholeWord, 0, editor->TextLength(), "function " + ToAnsi(name), start, end);
    editor->SetSel(start, end);
}

}  // namespace qy::app
