/** @file DebuggerWindow.cpp
 * The debugger's window: lists and trees over what DebugFeatures reads from the paused
 * run. Children of an object are read when its row is first opened, so a huge object
 * costs nothing until it is looked at, and then only the rows shown.
 */
#include "app/DebuggerWindow.h"

#include "script/Engine.h"

#include <QCloseEvent>
#include <QGridLayout>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QRegularExpression>
#include <QTabWidget>
#include <QPushButton>
#include <QSplitter>
#include <QTimer>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace qy::app {
namespace {

constexpr int kHandleRole = Qt::UserRole + 1;
constexpr int kPendingRole = Qt::UserRole + 2;

QString FromU16(const std::u16string& s) { return QString::fromStdU16String(s); }

QLabel* Heading(const QString& text, QWidget* parent) {
    auto* label = new QLabel(text, parent);
    QFont f = label->font();
    f.setBold(true);
    label->setFont(f);
    return label;
}

}  // namespace

DebuggerWindow::DebuggerWindow(QWidget* owner) : QDialog(owner, Qt::Window) {
    setObjectName(QStringLiteral("调试器"));
    setWindowTitle(QStringLiteral("调试器"));
    setAccessibleName(windowTitle());
    setModal(false);
    resize(560, 600);

    auto* layout = new QVBoxLayout(this);
    m_status = new QLabel(QStringLiteral("没有暂停的运行"), this);
    m_status->setObjectName(QStringLiteral("标签_调试状态"));
    m_status->setWordWrap(true);
    layout->addWidget(m_status);

    auto* buttons = new QHBoxLayout;
    struct ButtonRow {
        const char* name;
        const char* caption;
        const char* key;
        debug::ResumeAction action;
    };
    const ButtonRow row[] = {{"按钮_继续", "继续", "F5", debug::ResumeAction::Continue},
                          {"按钮_单步跳过", "单步跳过", "F10", debug::ResumeAction::StepOver},
                          {"按钮_单步进入", "单步进入", "F11", debug::ResumeAction::StepInto},
                          {"按钮_单步跳出", "单步跳出", "Shift+F11", debug::ResumeAction::StepOut},
                          {"按钮_调试停止", "停止", nullptr, debug::ResumeAction::Stop}};
    for (const ButtonRow& s : row) {
        auto* b = new QPushButton(QString::fromUtf8(s.caption), this);
        b->setObjectName(QString::fromUtf8(s.name));
        b->setAccessibleName(b->text());
        if (s.key) b->setToolTip(b->text() + QStringLiteral(" (") + QString::fromLatin1(s.key) + QStringLiteral(")"));
        b->setAutoDefault(false);
        debug::ResumeAction action = s.action;
        connect(b, &QPushButton::clicked, this, [this, action] { emit resume(action); });
        buttons->addWidget(b);
        m_buttons.push_back(b);
    }
    layout->addLayout(buttons);

    auto* split = new QSplitter(Qt::Vertical, this);
    auto* stackBox = new QWidget(split);
    auto* stackLayout = new QVBoxLayout(stackBox);
    stackLayout->setContentsMargins(0, 0, 0, 0);
    stackLayout->addWidget(Heading(QStringLiteral("调用堆栈"), stackBox));
    m_frames = new QListWidget(stackBox);
    m_frames->setObjectName(QStringLiteral("列表_调用堆栈"));
    m_frames->setAccessibleName(QStringLiteral("调用堆栈"));
    stackLayout->addWidget(m_frames);
    connect(m_frames, &QListWidget::currentRowChanged, this, [this](int row) {
        if (row >= 0) emit frameChosen(row);
    });

    auto* varBox = new QWidget(split);
    auto* varLayout = new QVBoxLayout(varBox);
    varLayout->setContentsMargins(0, 0, 0, 0);
    varLayout->addWidget(Heading(QStringLiteral("变量"), varBox));
    m_variables = new QTreeWidget(varBox);
    m_variables->setObjectName(QStringLiteral("树_变量"));
    m_variables->setAccessibleName(QStringLiteral("变量"));
    m_variables->setHeaderLabels({QStringLiteral("名称"), QStringLiteral("值")});
    m_variables->header()->setStretchLastSection(true);
    m_variables->setColumnWidth(0, 160);
    m_variables->setUniformRowHeights(true);
    varLayout->addWidget(m_variables);
    connect(m_variables, &QTreeWidget::itemExpanded, this, &DebuggerWindow::Expand);

    auto* watchBox = new QWidget(split);
    auto* watchLayout = new QVBoxLayout(watchBox);
    watchLayout->setContentsMargins(0, 0, 0, 0);
    watchLayout->addWidget(Heading(QStringLiteral("监视"), watchBox));
    m_watches = new QTreeWidget(watchBox);
    m_watches->setObjectName(QStringLiteral("树_监视"));
    m_watches->setAccessibleName(QStringLiteral("监视"));
    m_watches->setHeaderLabels({QStringLiteral("表达式"), QStringLiteral("值")});
    m_watches->setRootIsDecorated(false);
    m_watches->setColumnWidth(0, 160);
    m_watches->setToolTip(QStringLiteral("选中一行按 Delete 删除监视"));
    watchLayout->addWidget(m_watches);
    m_watchInput = new QLineEdit(watchBox);
    m_watchInput->setObjectName(QStringLiteral("编辑框_添加监视"));
    m_watchInput->setAccessibleName(QStringLiteral("添加监视"));
    m_watchInput->setPlaceholderText(QStringLiteral("添加监视表达式，回车确认"));
    watchLayout->addWidget(m_watchInput);
    connect(m_watchInput, &QLineEdit::returnPressed, this, [this] {
        QString text = m_watchInput->text().trimmed();
        if (text.isEmpty()) return;
        m_watchInput->clear();
        emit watchAdded(text);
    });
    m_watches->installEventFilter(this);
    m_tabs = new QTabWidget(this);
    m_tabs->setObjectName(QStringLiteral("选项卡_调试器"));
    m_tabs->setAccessibleName(QStringLiteral("调试器页面"));
    m_tabs->addTab(split, QStringLiteral("暂停的运行"));
    layout->addWidget(m_tabs, 1);
    m_variables->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(m_variables, &QWidget::customContextMenuRequested, this, [this](const QPoint& at) {
        QString path = AccessPath(m_variables->itemAt(at));
        if (path.isEmpty()) return;
        QMenu menu(this);
        menu.addAction(QStringLiteral("访问 %1 时暂停").arg(path), this, [this, path] { emit accessBreakWanted(path); });
        menu.exec(m_variables->viewport()->mapToGlobal(at));
    });

    auto* evalRow = new QHBoxLayout;
    evalRow->addWidget(new QLabel(QStringLiteral("计算"), this));
    m_evalInput = new QLineEdit(this);
    m_evalInput->setObjectName(QStringLiteral("编辑框_调试计算"));
    m_evalInput->setAccessibleName(QStringLiteral("在所选调用帧中计算表达式"));
    m_evalInput->setPlaceholderText(QStringLiteral("在所选调用帧中计算，结果写入输出日志"));
    evalRow->addWidget(m_evalInput, 1);
    layout->addLayout(evalRow);
    connect(m_evalInput, &QLineEdit::returnPressed, this, [this] {
        QString text = m_evalInput->text();
        if (!text.trimmed().isEmpty()) emit evaluate(text);
    });
    SetPaused(false);
}

void DebuggerWindow::SetPaused(bool paused) {
    m_paused = paused;
    for (QPushButton* b : m_buttons) b->setEnabled(paused);
    m_evalInput->setEnabled(paused);
}

void DebuggerWindow::ShowPause(const QString& reason, const std::vector<debug::FrameInfo>& frames) {
    if (m_endCheck) m_endCheck->stop();
    m_status->setText(reason);
    QSignalBlocker block(m_frames);
    m_frames->clear();
    for (const debug::FrameInfo& f : frames)
        m_frames->addItem(FromU16(f.function) + QStringLiteral("    ") +
                          (f.dynamicTitle.empty() ? QString() : FromU16(f.dynamicTitle) + QLatin1Char(' ')) +
                          QStringLiteral("第 %1 行").arg(f.line));
    m_frames->setCurrentRow(frames.empty() ? -1 : 0);
    SetPaused(true);
}

void DebuggerWindow::ShowScopes(const std::vector<debug::ScopeInfo>& scopes) {
    m_variables->clear();
    for (size_t i = 0; i < scopes.size(); ++i) {
        auto* item = new QTreeWidgetItem(m_variables, {FromU16(scopes[i].name), QString()});
        item->setData(0, kHandleRole, scopes[i].handle);
        item->setData(0, kPendingRole, true);
        item->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        if (i == 0) item->setExpanded(true);
    }
}

void DebuggerWindow::AddVariables(QTreeWidgetItem* parent, const std::vector<debug::VariableInfo>& items) {
    QList<QTreeWidgetItem*> rows;
    rows.reserve(static_cast<qsizetype>(items.size()));
    for (const debug::VariableInfo& v : items) {
        auto* row = new QTreeWidgetItem({FromU16(v.name), FromU16(v.value)});
        row->setToolTip(1, row->text(1));
        if (v.handle >= 0) {
            row->setData(0, kHandleRole, v.handle);
            row->setData(0, kPendingRole, true);
            row->setChildIndicatorPolicy(QTreeWidgetItem::ShowIndicator);
        }
        rows.push_back(row);
    }
    parent->addChildren(rows);
}

void DebuggerWindow::Expand(QTreeWidgetItem* item) {
    if (!item->data(0, kPendingRole).toBool()) return;
    item->setData(0, kPendingRole, false);
    if (!children) return;
    std::vector<debug::VariableInfo> items = children(item->data(0, kHandleRole).toInt());
    AddVariables(item, items);
    if (items.empty()) item->setChildIndicatorPolicy(QTreeWidgetItem::DontShowIndicatorWhenChildless);
}

void DebuggerWindow::ShowWatches(const QStringList& expressions, const QStringList& values) {
    m_watches->clear();
    for (qsizetype i = 0; i < expressions.size(); ++i) {
        auto* row = new QTreeWidgetItem(m_watches, {expressions[i], i < values.size() ? values[i] : QString()});
        row->setToolTip(1, row->text(1));
    }
}

void DebuggerWindow::ShowRunning() {
    m_status->setText(QStringLiteral("运行中…"));
    m_frames->clear();
    m_variables->clear();
    for (int i = 0; i < m_watches->topLevelItemCount(); ++i) m_watches->topLevelItem(i)->setText(1, QString());
    SetPaused(false);
    // Events run during the run only inside the busy window's hook, where the engine is
    // not idle; the first check outside it finds the run returned.
    if (!m_endCheck) {
        m_endCheck = new QTimer(this);
        m_endCheck->setInterval(50);
        connect(m_endCheck, &QTimer::timeout, this, [this] {
            if (m_paused || !script::EngineIdle()) return;
            m_endCheck->stop();
            m_status->setText(QStringLiteral("运行已结束"));
        });
    }
    m_endCheck->start();
}

QString DebuggerWindow::AccessPath(const QTreeWidgetItem* row) {
    static const QRegularExpression name(QStringLiteral("^[A-Za-z_$][A-Za-z0-9_$]*$"));
    QStringList names;
    for (; row && row->parent(); row = row->parent()) {
        if (!name.match(row->text(0)).hasMatch() || row->text(0) == QLatin1String("this")) return {};
        names.prepend(row->text(0));
    }
    if (!row || names.isEmpty() || row->text(0) != QStringLiteral("全局")) return {};
    return QStringLiteral("window.") + names.join(QLatin1Char('.'));
}

int DebuggerWindow::ChosenFrame() const { return std::max(0, m_frames->currentRow()); }

QString DebuggerWindow::Status() const { return m_status->text(); }

void DebuggerWindow::closeEvent(QCloseEvent* event) {
    // Closing only hides it: its place and watches stay for the next pause.
    hide();
    event->ignore();
    if (m_paused) emit resume(debug::ResumeAction::Continue);
}

void DebuggerWindow::reject() { close(); }

bool DebuggerWindow::eventFilter(QObject* watched, QEvent* event) {
    if (watched == m_watches && event->type() == QEvent::KeyPress &&
        static_cast<QKeyEvent*>(event)->key() == Qt::Key_Delete) {
        int row = m_watches->indexOfTopLevelItem(m_watches->currentItem());
        if (row >= 0) emit watchRemoved(row);
        return true;
    }
    return QDialog::eventFilter(watched, event);
}

}  // namespace qy::app
