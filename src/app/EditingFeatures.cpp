#include "app/EditingFeatures.h"

#include <QAction>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>

#include "app/MainWindow.h"
#include "editor/Editor.h"
#include "editor/Search.h"
#include "text/CodePage.h"

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
