#include "app/TransformFeatures.h"

#include <QClipboard>
#include <QEvent>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QLineEdit>
#include <QMenu>
#include <QMessageBox>
#include <QPushButton>
#include <QToolButton>

#include "app/BusyWindow.h"
#include "app/MainWindow.h"
#include "editor/Editor.h"
#include "script/ScriptTarget.h"
#include "text/CodePage.h"
#include "transform/CallerSnippets.h"
#include "transform/Transforms.h"

namespace qy::app {
namespace {

std::string Ansi(const char* utf8) { return text::Utf8ToAnsiText(utf8); }

void ToClipboard(const std::string& ansi) {
    QGuiApplication::clipboard()->setText(QString::fromStdU16String(text::AnsiToWide(ansi)));
}

void Confirm(const QString& text) {
    QMessageBox box(QMessageBox::NoIcon, QStringLiteral("代码复制"), text, QMessageBox::Ok);
    box.setWindowModality(Qt::ApplicationModal);
    box.exec();
}

}  // namespace

TransformFeatures::TransformFeatures(MainWindow& window) : QObject(&window), m_window(window) {
    setObjectName(QStringLiteral("TransformFeatures"));
    connect(window.Button("按钮_format"), &QPushButton::clicked, this, &TransformFeatures::Format);
    connect(window.Button("按钮_pack"), &QPushButton::clicked, this, &TransformFeatures::Compress);
    connect(window.Button("按钮_unpack"), &QPushButton::clicked, this, &TransformFeatures::Unpack);
    connect(window.Button("按钮_go"), &QPushButton::clicked, this, &TransformFeatures::GenerateCallerCode);
    connect(window.Button("按钮_copy"), &QPushButton::clicked, this, &TransformFeatures::CopyScript);
    BuildCallerMenu();
}

// The other languages' caller code sits beside "生成E代码": a drop-down button right of
// it, and the same menu on the button's right click. The E snippet itself is unchanged.
void TransformFeatures::BuildCallerMenu() {
    QPushButton* go = m_window.Button("按钮_go");
    m_goButton = go;
    m_callerMenu = new QMenu(QStringLiteral("其他语言调用代码"), &m_window);
    m_callerMenu->setObjectName(QStringLiteral("菜单_调用代码"));
    for (const transform::CallerLanguageInfo& l : transform::CallerLanguages()) {
        QAction* a = m_callerMenu->addAction(QString::fromUtf8(l.name) + QStringLiteral(" 调用代码"));
        a->setObjectName(QString::fromLatin1(l.key));
        connect(a, &QAction::triggered, this, [this, language = l.language] { GenerateCallerProgram(language); });
    }
    m_callerMenu->addSeparator();
    m_fromFile = m_callerMenu->addAction(QStringLiteral("脚本从文件读取（不内嵌）…"));
    m_fromFile->setObjectName(QStringLiteral("fromFile"));
    m_fromFile->setCheckable(true);
    connect(m_fromFile, &QAction::triggered, this, &TransformFeatures::SetReadFromFile);

    m_callerButton = new QToolButton(go->parentWidget());
    m_callerButton->setObjectName(QStringLiteral("按钮_callers"));
    m_callerButton->setAccessibleName(QStringLiteral("其他语言调用代码"));
    m_callerButton->setToolTip(QStringLiteral("其他语言的调用代码：Python、Node、Go、Java、C#"));
    m_callerButton->setArrowType(Qt::DownArrow);
    m_callerButton->setPopupMode(QToolButton::InstantPopup);
    m_callerButton->setMenu(m_callerMenu);
    m_callerButton->setFocusPolicy(Qt::TabFocus);
    PlaceCallerButton();
    m_callerButton->show();
    QWidget::setTabOrder(go, m_callerButton);
    // It stays beside the button wherever the window's layout moves that.
    go->installEventFilter(this);
    go->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(go, &QWidget::customContextMenuRequested, this,
            [this, go](const QPoint& at) { m_callerMenu->popup(go->mapToGlobal(at)); });
}

// A failed tool call leaves the editor as it was and reports the engine's error.
void TransformFeatures::Format() {
    editor::Editor* editor = m_window.CurrentEditor();
    transform::ToolResult r;
    {
        BusyWindow::Scope busy;
        r = transform::FormatScript(editor->Text());
    }
    if (!r.ok) {
        script::WriteErrorReport(r.error, m_window);
        return;
    }
    editor->SetText(r.text);
    editor->setFocus();
    m_window.AppendLog(Ansi("-->代码格式化成功\r\n"));
}

void TransformFeatures::Compress() {
    editor::Editor* editor = m_window.CurrentEditor();
    transform::ToolResult r;
    {
        BusyWindow::Scope busy;
        r = transform::MinifyScript(editor->Text());
    }
    if (!r.ok) {
        script::WriteErrorReport(r.error, m_window);
        return;
    }
    editor->SetText(r.text);
    // The minifier may start with a line feed of its own; only that empty first line
    // goes, never code.
    if (editor->LineEndPosition(0) == 0) {
        editor->SetSel(editor->PositionFromLine(0), editor->PositionFromLine(1));
        editor->ClearSelection();
    }
    editor->setFocus();
}

// Unpacks layer after layer, then formats, unless the result checks its own text. The
// log says what came off; a layer whose result did not check out is kept as it came.
void TransformFeatures::Unpack() {
    editor::Editor* editor = m_window.CurrentEditor();
    BusyWindow::Scope busy;
    std::string text = editor->Text();
    if (text.empty()) {
        m_window.AppendLog(Ansi("-->没有JS代码哦\r\n"));
        return;
    }
    transform::UnpackResult unpacked = transform::UnpackScript(m_window.Session().Host(), text);
    if (unpacked.stopped) {
        m_window.AppendLog(Ansi("-->eval解密已停止，代码未改动\r\n"));
        return;
    }
    if (!unpacked.ok) {
        script::WriteErrorReport(unpacked.error, m_window);
        return;
    }
    std::string result = unpacked.text, formatNote;
    if (!unpacked.guard.empty()) {
        formatNote = Ansi("-->未格式化：代码含") + unpacked.guard + Ansi("，改动排版会使其失效或陷入死循环\r\n");
    } else {
        transform::ToolResult formatted = transform::FormatScript(result);
        if (!formatted.ok) {
            script::WriteErrorReport(formatted.error, m_window);
            return;
        }
        if (formatted.text == result || transform::CompilesInCurrentTarget(formatted.text) ||
            !transform::CompilesInCurrentTarget(result))
            result = formatted.text;
        else
            formatNote = Ansi("-->未格式化：格式化后的代码无法编译\r\n");
    }
    editor->SetText(result);
    m_window.AppendLog(Ansi("-->代码解密成功 注：变量名称无法还原\r\n"));
    std::string done;
    for (const auto& [label, count] : unpacked.removed)
        done += (done.empty() ? "" : Ansi("，")) + label + " " + std::to_string(count) + Ansi(" 处");
    m_window.AppendLog(done.empty() ? Ansi("-->已还原：未识别出已知的加密方式\r\n") : Ansi("-->已还原：") + done + "\r\n");
    for (const auto& [label, count] : unpacked.removed)
        if (label == Ansi("打包模块"))
            m_window.AppendLog(Ansi("-->打包文件已按模块排列（入口在前，每个模块前注明编号和依赖）；"
                                    "命令行 qingyou-js unpack --split 目录 文件 可把每个模块写成一个文件\r\n"));
    for (const std::string& label : unpacked.refused)
        m_window.AppendLog(Ansi("-->保留原样：") + label + Ansi(" 的结果未通过检查（无法编译或少了全局函数）\r\n"));
    for (const std::string& label : unpacked.timedOut)
        m_window.AppendLog(Ansi("-->保留原样：") + label + Ansi(" 运行超时\r\n"));
    if (!formatNote.empty()) m_window.AppendLog(formatNote);
}

void TransformFeatures::GenerateCallerCode() {
    QString expression = m_window.Component<QLineEdit>("编辑框_eval")->text();
    ToClipboard(transform::CallerSnippet(text::WideToAnsi(expression.toStdU16String())));
    Confirm(QStringLiteral("代码已经复制，请到易语言IDE直接粘贴，JS常量自行复制"));
}

void TransformFeatures::PlaceCallerButton() {
    m_callerButton->setGeometry(m_goButton->x() + m_goButton->width() + 1, m_goButton->y(), 22, m_goButton->height());
}

bool TransformFeatures::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_goButton && (event->type() == QEvent::Move || event->type() == QEvent::Resize))
        PlaceCallerButton();
    return QObject::eventFilter(watched, event);
}

// The programs are Unicode text for the clipboard: the script as the engine reads the
// editor's text, the expression as the box holds it.
void TransformFeatures::GenerateCallerProgram(transform::CallerLanguage language) {
    transform::CallerSource source;
    if (m_fromFile->isChecked())
        source.fileName = m_scriptFileName.toStdU16String();
    else
        source.script = text::AnsiToWide(m_window.CurrentEditor()->Text());
    std::u16string expression = m_window.Component<QLineEdit>("编辑框_eval")->text().toStdU16String();
    std::string program = transform::CallerProgram(language, source, expression);
    QGuiApplication::clipboard()->setText(QString::fromStdString(program));
    const std::string name = transform::CallerLanguageOf(language).name;
    if (script::CurrentScriptTarget() == script::ScriptTarget::JScript58)
        m_window.AppendLog(Ansi(("-->提示：当前脚本目标是 JScript 5.8（Script Control），" + name +
                                 " 的引擎不是 JScript 5.8，结果可能不同；可切换到 ES2021 目标再试\r\n")
                                    .c_str()));
    QString confirmation = QString::fromStdString(name) + QStringLiteral(" 调用代码已经复制");
    if (!source.fileName.empty()) confirmation += QStringLiteral("（脚本从 %1 读取）").arg(m_scriptFileName);
    Confirm(confirmation);
}

void TransformFeatures::SetReadFromFile(bool on) {
    if (on) {
        QString suggested = m_scriptFileName;
        if (suggested.isEmpty()) {
            QString opened = m_window.CurrentEditor()->Origin().path;
            suggested = opened.isEmpty() ? QStringLiteral("script.js") : QFileInfo(opened).fileName();
        }
        bool accepted = false;
        QString name = QInputDialog::getText(&m_window, QStringLiteral("调用代码"),
                                             QStringLiteral("调用代码从这个文件读取脚本（UTF-8 编码）："),
                                             QLineEdit::Normal, suggested, &accepted)
                           .trimmed();
        on = accepted && !name.isEmpty();
        if (on) m_scriptFileName = name;
    }
    m_fromFile->setChecked(on);
    m_fromFile->setText(on ? QStringLiteral("脚本从文件读取：%1").arg(m_scriptFileName)
                           : QStringLiteral("脚本从文件读取（不内嵌）…"));
}

void TransformFeatures::CopyScript() {
    ToClipboard(m_window.CurrentEditor()->Text());
    Confirm(QStringLiteral("JS代码已经复制"));
}

}  // namespace qy::app
