#include "app/WatchFeatures.h"

#include <QAction>
#include <QActionGroup>
#include <QDialog>
#include <QDialogButtonBox>
#include <QFormLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QListWidget>
#include <QMenu>
#include <QMenuBar>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QSplitter>
#include <QTabBar>
#include <QTabWidget>
#include <QVBoxLayout>

#include "app/DebugFeatures.h"
#include "app/DynamicCodeTab.h"
#include "app/MainWindow.h"
#include "text/CodePage.h"

namespace qy::app {
namespace {

QMenu* DebugMenu(MainWindow& window) {
    for (QAction* a : window.menuBar()->actions())
        if (a->menu() && a->text() == QStringLiteral("调试(&D)")) return a->menu();
    return window.menuBar()->addMenu(QStringLiteral("调试(&D)"));
}

}  // namespace

WatchFeatures::WatchFeatures(MainWindow& window, DebugFeatures& debug)
    : QObject(&window), m_window(window), m_debug(debug), m_watch(std::make_unique<debug::ScriptWatch>()) {
    m_watch->SetCaptureDynamic(true);
    m_watch->ExpectGlobal();
    m_watch->SetCallOutput([this](const debug::HookCall& call) {
        m_window.AppendLog(text::WideToAnsi(debug::HookLine(call)) + "\r\n");
    });
    m_watch->SetDynamicOutput([this](const debug::DynamicSource&) {
        if (m_dynamicView) RefreshDynamicCode();
    });
    debug::Debugger& debugger = debug.Debugger();
    debugger.SetDebuggerStatements(debug::DebuggerStatements::SkipWhileNoBreakpoints);

    QMenu* menu = DebugMenu(window);
    menu->addSeparator();
    QMenu* statements = menu->addMenu(QStringLiteral("debugger 语句"));
    auto* group = new QActionGroup(statements);
    const std::pair<const char*, debug::DebuggerStatements> modes[] = {
        {"未设断点时跳过", debug::DebuggerStatements::SkipWhileNoBreakpoints},
        {"跳过 debugger 语句", debug::DebuggerStatements::Skip},
        {"在 debugger 语句处暂停", debug::DebuggerStatements::Stop}};
    for (const auto& [caption, mode] : modes) {
        QAction* a = statements->addAction(QString::fromUtf8(caption));
        a->setCheckable(true);
        a->setChecked(mode == debugger.GetDebuggerStatements());
        group->addAction(a);
        debug::DebuggerStatements m = mode;
        connect(a, &QAction::triggered, this, [&debugger, m] { debugger.SetDebuggerStatements(m); });
    }
    menu->addAction(QStringLiteral("函数监视…"), this, [this] { EditHooks(); });
    menu->addAction(QStringLiteral("动态代码…"), this, [this] { ShowDynamicCode(); });
    connect(&debug, &DebugFeatures::frameShown, this, &WatchFeatures::ShowFrameIn);
}

WatchFeatures::~WatchFeatures() = default;

void WatchFeatures::SetHooks(const QStringList& paths, const QString& pauseText) {
    m_paths.clear();
    std::vector<std::u16string> list;
    for (const QString& p : paths) {
        QString path = p.trimmed();
        if (path.isEmpty() || m_paths.contains(path)) continue;
        m_paths << path;
        list.push_back(path.toStdU16String());
    }
    m_pauseText = pauseText;
    m_watch->SetHooks(std::move(list));
    m_watch->SetPauseText(pauseText.toStdU16String());
    m_watch->ExpectGlobal();
}

void WatchFeatures::EditHooks() {
    QDialog dialog(&m_window);
    dialog.setObjectName(QStringLiteral("窗口_函数监视"));
    dialog.setWindowTitle(QStringLiteral("函数监视"));
    auto* layout = new QVBoxLayout(&dialog);
    auto* paths = new QPlainTextEdit(m_paths.join(QLatin1Char('\n')), &dialog);
    paths->setObjectName(QStringLiteral("编辑框_监视函数"));
    paths->setPlaceholderText(QStringLiteral("每行一个函数，如 btoa、JSON.stringify、CryptoJS.MD5"));
    auto* form = new QFormLayout;
    auto* pause = new QLineEdit(m_pauseText, &dialog);
    pause->setObjectName(QStringLiteral("编辑框_暂停文本"));
    pause->setPlaceholderText(QStringLiteral("留空则不暂停"));
    form->addRow(QStringLiteral("参数包含此文本时暂停:"), pause);
    auto* buttons = new QDialogButtonBox(QDialogButtonBox::Ok | QDialogButtonBox::Cancel, &dialog);
    connect(buttons, &QDialogButtonBox::accepted, &dialog, &QDialog::accept);
    connect(buttons, &QDialogButtonBox::rejected, &dialog, &QDialog::reject);
    layout->addWidget(paths);
    layout->addLayout(form);
    layout->addWidget(buttons);
    if (dialog.exec() != QDialog::Accepted) return;
    SetHooks(paths->toPlainText().split(QLatin1Char('\n')), pause->text().trimmed());
    m_window.AppendLog(text::WideToAnsi(u"-->函数监视已设置（" +
                                        QString::number(m_paths.size()).toStdU16String() +
                                        u" 个），重新加载代码后生效") +
                       "\r\n");
}

QDialog& WatchFeatures::ShowDynamicCode() {
    if (!m_dynamicView) {
        auto* view = new QDialog(&m_window);
        view->setObjectName(QStringLiteral("窗口_动态代码"));
        view->setWindowTitle(QStringLiteral("动态代码"));
        view->resize(760, 480);
        auto* splitter = new QSplitter(view);
        auto* left = new QWidget(splitter);
        auto* leftLayout = new QVBoxLayout(left);
        leftLayout->setContentsMargins(0, 0, 0, 0);
        auto* list = new QListWidget(left);
        list->setObjectName(QStringLiteral("列表_动态代码"));
        list->setAccessibleName(QStringLiteral("动态代码列表"));
        auto* open = new QPushButton(QStringLiteral("在标签页中打开(&O)"), left);
        open->setObjectName(QStringLiteral("按钮_打开动态代码"));
        leftLayout->addWidget(list, 1);
        leftLayout->addWidget(open);
        auto* tabs = new QTabWidget(splitter);
        tabs->setObjectName(QStringLiteral("选择夹_动态代码"));
        tabs->setTabsClosable(true);
        auto* code = new QPlainTextEdit(tabs);
        code->setObjectName(QStringLiteral("编辑框_动态代码"));
        code->setAccessibleName(QStringLiteral("动态代码预览（只读）"));
        code->setReadOnly(true);
        code->setLineWrapMode(QPlainTextEdit::NoWrap);
        tabs->addTab(code, QStringLiteral("预览"));
        // The preview stays; the sources' own tabs close.
        if (QWidget* button = tabs->tabBar()->tabButton(0, QTabBar::RightSide)) button->hide();
        splitter->setStretchFactor(1, 3);
        (new QHBoxLayout(view))->addWidget(splitter);
        connect(list, &QListWidget::currentRowChanged, this, [this, code](int row) {
            const auto& sources = m_watch->DynamicSources();
            code->setPlainText(row >= 0 && static_cast<size_t>(row) < sources.size()
                                   ? QString::fromStdU16String(sources[row].text)
                                   : QString());
        });
        connect(list, &QListWidget::itemActivated, this, [this, list] { OpenDynamicTab(list->currentRow()); });
        connect(open, &QPushButton::clicked, this, [this, list] { OpenDynamicTab(list->currentRow()); });
        connect(tabs, &QTabWidget::tabCloseRequested, this, [this, tabs](int index) {
            if (index <= 0) return;
            QWidget* page = tabs->widget(index);
            tabs->removeTab(index);
            page->setParent(nullptr);
            page->deleteLater();
            // Its breakpoints go with it.
            ApplyDynamicBreakpoints();
        });
        m_dynamicView = view;
    }
    RefreshDynamicCode();
    m_dynamicView->show();
    m_dynamicView->raise();
    return *m_dynamicView;
}

DynamicCodeTab* WatchFeatures::OpenDynamicTab(int row) {
    const auto& sources = m_watch->DynamicSources();
    if (row < 0 || static_cast<size_t>(row) >= sources.size()) return nullptr;
    QDialog& view = ShowDynamicCode();
    auto* tabs = view.findChild<QTabWidget*>(QStringLiteral("选择夹_动态代码"));
    const debug::DynamicSource& source = sources[static_cast<size_t>(row)];
    // One tab for one text: the same code made again is the same tab.
    for (int i = 1; i < tabs->count(); ++i) {
        auto* tab = qobject_cast<DynamicCodeTab*>(tabs->widget(i));
        if (tab && tab->SourceText() == source.text) {
            tabs->setCurrentIndex(i);
            return tab;
        }
    }
    auto* tab = new DynamicCodeTab(source, tabs);
    tab->SetFormatAllowed(!m_debug.IsPaused());
    connect(tab, &DynamicCodeTab::breakpointsChanged, this, &WatchFeatures::ApplyDynamicBreakpoints);
    QString title = QStringLiteral("#%1 %2").arg(source.number).arg(QString::fromStdU16String(source.kind));
    int index = tabs->addTab(tab, title);
    tabs->setTabToolTip(index, QString::fromStdU16String(debug::DynamicTitle(source)));
    tabs->setCurrentIndex(index);
    return tab;
}

void WatchFeatures::ApplyDynamicBreakpoints() {
    std::vector<debug::DynamicBreakpoint> all;
    if (m_dynamicView)
        for (DynamicCodeTab* tab : m_dynamicView->findChildren<DynamicCodeTab*>())
            for (uint32_t line : tab->Breakpoints()) all.push_back({tab->SourceText(), line});
    m_debug.Debugger().SetDynamicBreakpoints(std::move(all));
}

void WatchFeatures::ShowFrameIn(const QString& dynamicText, int line) {
    bool paused = !dynamicText.isEmpty();
    if (m_dynamicView)
        for (DynamicCodeTab* tab : m_dynamicView->findChildren<DynamicCodeTab*>()) {
            tab->ShowExecutionPoint(0);
            tab->SetFormatAllowed(!m_debug.IsPaused());
        }
    if (!paused) return;
    const auto& sources = m_watch->DynamicSources();
    std::u16string text = dynamicText.toStdU16String();
    for (size_t i = sources.size(); i-- > 0;) {
        if (sources[i].text != text) continue;
        if (DynamicCodeTab* tab = OpenDynamicTab(static_cast<int>(i))) tab->ShowExecutionPoint(static_cast<uint32_t>(line));
        return;
    }
}

void WatchFeatures::RefreshDynamicCode() {
    auto* list = m_dynamicView->findChild<QListWidget*>(QStringLiteral("列表_动态代码"));
    int row = list->currentRow();
    list->clear();
    for (const debug::DynamicSource& s : m_watch->DynamicSources())
        list->addItem(QString::fromStdU16String(debug::DynamicTitle(s)));
    if (list->count()) list->setCurrentRow(row >= 0 && row < list->count() ? row : 0);
}

}  // namespace qy::app
