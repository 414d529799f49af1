#include "app/FindFeatures.h"

#include <QAction>
#include <QComboBox>
#include <QInputDialog>
#include <QLabel>
#include <QLineEdit>
#include <QPushButton>
#include <QStatusBar>
#include <QTabWidget>

#include "app/MainWindow.h"
#include "editor/Editor.h"
#include "editor/Search.h"
#include "text/CodePage.h"

namespace qy::app {
namespace {

constexpr int kMessageMs = 5000;

QAction* AddShortcut(MainWindow& window, const char* name, const QKeySequence& keys) {
    auto* a = new QAction(QString::fromUtf8(name), &window);
    a->setObjectName(QString::fromUtf8(name));
    a->setShortcut(keys);
    a->setShortcutContext(Qt::WindowShortcut);
    window.addAction(a);
    return a;
}

}  // namespace

FindFeatures::FindFeatures(MainWindow& window) : QObject(&window), m_window(window) {
    setObjectName(QStringLiteral("FindFeatures"));
    // The status bar goes below the client area, which keeps its size.
    QStatusBar* bar = window.statusBar();
    bar->setObjectName(QStringLiteral("状态栏"));
    bar->setSizeGripEnabled(false);
    m_loaded = new QLabel(bar);
    m_loaded->setObjectName(QStringLiteral("标签_已加载"));
    m_position = new QLabel(bar);
    m_position->setObjectName(QStringLiteral("标签_行列"));
    bar->addPermanentWidget(m_loaded);
    bar->addPermanentWidget(m_position);
    const int barHeight = bar->sizeHint().height();
    window.setFixedSize(window.width(), window.height() + barHeight);
    window.move(window.x(), window.y() - barHeight / 2);  // still centred
    m_loaded->setText(LoadedText());
    m_loaded->setAccessibleName(QStringLiteral("已加载代码"));
    m_position->setAccessibleName(QStringLiteral("光标位置"));

    auto* search = window.Component<QLineEdit>("编辑框_搜索内容");
    connect(AddShortcut(window, "查找内容", QKeySequence::Find), &QAction::triggered, search, [search] {
        search->setFocus(Qt::ShortcutFocusReason);
        search->selectAll();
    });
    connect(AddShortcut(window, "查找下一个", QKeySequence(Qt::Key_F3)), &QAction::triggered, this,
            [this] { FindAgain(true); });
    connect(AddShortcut(window, "查找上一个", QKeySequence(Qt::SHIFT | Qt::Key_F3)), &QAction::triggered, this,
            [this] { FindAgain(false); });
    connect(AddShortcut(window, "转到行", QKeySequence(Qt::CTRL | Qt::Key_G)), &QAction::triggered, this,
            &FindFeatures::GoToLine);

    for (int i = 0; i < 6; ++i) {
        connect(window.EditorAt(i), &editor::Editor::SCN_UPDATEUI, this, [this, i](int) {
            if (m_window.CurrentEditor() == m_window.EditorAt(i)) UpdatePosition();
        });
    }
    auto* tabs = window.Component<QTabWidget>("高级选择夹1");
    connect(tabs, &QTabWidget::currentChanged, this, &FindFeatures::UpdatePosition);
    connect(window.Button("按钮_add"), &QPushButton::clicked, this, [this, tabs] {
        m_loadedTab = m_window.Session().CodeLoaded() ? tabs->currentIndex() : -1;
        m_loaded->setText(LoadedText());
    });
    UpdatePosition();
}

QString FindFeatures::PositionText() const {
    editor::Editor* e = m_window.CurrentEditor();
    int64_t pos = e->CurrentPos();
    return QStringLiteral("行 %1, 列 %2").arg(e->LineFromPosition(pos) + 1).arg(e->ColumnFromPosition(pos) + 1);
}

QString FindFeatures::LoadedText() const {
    if (m_loadedTab < 0) return QStringLiteral("未加载代码");
    return QStringLiteral("已加载：New%1").arg(m_loadedTab);
}

QString FindFeatures::StatusMessage() const { return m_window.statusBar()->currentMessage(); }

void FindFeatures::UpdatePosition() { m_position->setText(PositionText()); }

void FindFeatures::SayMiss(const QString& text) {
    m_window.statusBar()->showMessage(QStringLiteral("找不到“%1”").arg(text), kMessageMs);
}

bool FindFeatures::FindAgain(bool forward) {
    QString text = m_window.Component<QLineEdit>("编辑框_搜索内容")->text();
    if (text.isEmpty()) {
        m_window.statusBar()->showMessage(QStringLiteral("请先在搜索框中输入要查找的内容"), kMessageMs);
        return false;
    }
    auto mode = static_cast<editor::SearchMode>(m_window.Component<QComboBox>("组合框_more")->currentIndex());
    bool found = editor::FindAgain(*m_window.CurrentEditor(), text::WideToAnsi(text.toStdU16String()), mode, forward);
    if (found) m_window.statusBar()->clearMessage();
    else SayMiss(text);
    return found;
}

void FindFeatures::GoToLine() {
    editor::Editor* e = m_window.CurrentEditor();
    int lines = static_cast<int>(e->LineCount());
    int current = static_cast<int>(e->LineFromPosition(e->CurrentPos())) + 1;
    std::optional<int> line;
    if (askLine) {
        line = askLine(current, lines);
    } else {
        bool ok = false;
        int chosen = QInputDialog::getInt(&m_window, QStringLiteral("转到行"), QStringLiteral("行号（1 - %1）：").arg(lines),
                                          current, 1, lines, 1, &ok);
        if (ok) line = chosen;
    }
    if (!line) return;
    e->GoToLine(*line - 1);
    e->setFocus(Qt::ShortcutFocusReason);
}

}  // namespace qy::app
