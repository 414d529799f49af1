#include "app/EditingFeatures.h"

#include <QAction>
#include <QComboBox>
#include <QFileInfo>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>
#include <array>

#include "app/MainWindow.h"
#include "editor/Editor.h"
#include "editor/Search.h"
#include "text/CodePage.h"
#include "text/QtBridge.h"

namespace qy::app {

EditingFeatures::EditingFeatures(MainWindow& window)
    : QObject(&window), m_window(window), m_chooser(std::make_unique<editor::QtFileChooser>(&window)) {
    setObjectName(QStringLiteral("EditingFeatures"));
    m_files = std::make_unique<editor::ScriptFiles>(
        *m_chooser, [&window] { return window.CurrentEditor(); }, [&window](const std::string& line) { window.AppendLog(line); });
    connect(window.Button("按钮_search"), &QPushButton::clicked, this, &EditingFeatures::Search);
    window.Component<QLineEdit>("编辑框_搜索内容")->installEventFilter(this);
    connect(window.MenuAction("打开"), &QAction::triggered, this, [this] { m_files->Open(); });
    connect(window.MenuAction("导出"), &QAction::triggered, this, [this] { m_files->Export(); });
    connect(window.Button("按钮_cla"), &QPushButton::clicked, this, [this] { m_files->Clear(); });
}

EditingFeatures::~EditingFeatures() = default;

void EditingFeatures::SetChooser(std::unique_ptr<editor::FileChooser> chooser) {
    m_chooser = std::move(chooser);
    m_files = std::make_unique<editor::ScriptFiles>(
        *m_chooser, [this] { return m_window.CurrentEditor(); }, [this](const std::string& line) { m_window.AppendLog(line); });
}

void EditingFeatures::OpenGivenFiles(const QStringList& paths) {
    std::array<bool, 6> taken{};
    int shown = -1;
    for (const QString& path : paths) {
        int page = -1;
        for (int i = 0; i < 6 && page < 0; ++i) {
            editor::Editor* e = m_window.EditorAt(i);
            if (!taken[static_cast<size_t>(i)] && (e->TextLength() == 0 || e->Text() == DemonstrationScript())) page = i;
        }
        const QString name = QFileInfo(path).fileName();
        if (page < 0) {
            m_window.AppendLog(text::FromQString(QStringLiteral("-->没有空白的代码页，未打开“%1”\r\n").arg(name)));
            continue;
        }
        if (!QFileInfo(path).isFile()) {
            m_window.AppendLog(text::FromQString(QStringLiteral("-->找不到文件“%1”\r\n").arg(path)));
            continue;
        }
        if (!m_files->OpenPath(path, *m_window.EditorAt(page))) continue;
        m_window.EditorAt(page)->EmptyUndoBuffer();
        taken[static_cast<size_t>(page)] = true;
        shown = page;
    }
    if (shown >= 0) m_window.Component<QTabWidget>("高级选择夹1")->setCurrentIndex(shown);
}

bool EditingFeatures::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress) {
        auto* key = static_cast<QKeyEvent*>(event);
        // Enter searches whatever modifiers are held, and still reaches the box.
        if (key->key() == Qt::Key_Return || key->key() == Qt::Key_Enter) Search();
    }
    return QObject::eventFilter(watched, event);
}

void EditingFeatures::Search() {
    editor::Editor* editor = m_window.CurrentEditor();
    std::string text = text::WideToAnsi(m_window.Component<QLineEdit>("编辑框_搜索内容")->text().toStdU16String());
    int option = m_window.Component<QComboBox>("组合框_more")->currentIndex();
    auto mode = option >= 0 && option <= 3 ? static_cast<editor::SearchMode>(option) : editor::SearchMode::MatchCase;
    // A miss puts the caret at the top (the next search starts there) and says so.
    if (!editor::FindNext(*editor, text, mode) && !text.empty())
        m_window.statusBar()->showMessage(
            QStringLiteral("找不到“%1”，下次查找从头开始").arg(m_window.Component<QLineEdit>("编辑框_搜索内容")->text()), 5000);
}

}  // namespace qy::app
