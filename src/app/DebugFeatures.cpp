#include "app/DebugFeatures.h"

#include <QAction>
#include <QActionGroup>
#include <QApplication>
#include <QComboBox>
#include <QEventLoop>
#include <QLineEdit>
#include <QMenu>
#include <QMenuBar>
#include <QPushButton>
#include <QShortcut>
#include <QTabWidget>

#include "app/DebuggerWindow.h"
#include "app/WindowPlacement.h"
#include "app/MainWindow.h"
#include "editor/Editor.h"
#include "script/ScriptSession.h"
#include "script/Variant.h"
#include "text/CodePage.h"
#include "text/LogLines.h"

namespace qy::app {
namespace {

/// The buttons whose work runs the engine: none of them may start while a run is paused.
const char* const kEngineButtons[] = {"按钮_add", "按钮_run", "按钮_format", "按钮_pack", "按钮_unpack"};

std::string Ansi(const QString& s) { return text::WideToAnsi(s.toStdU16String()); }

QString ReasonText(const debug::PauseState& state, const std::vector<debug::FrameInfo>& frames) {
    QString where = frames.empty() ? QString()
                                   : QStringLiteral("（") + QString::fromStdU16String(frames[0].dynamicTitle) +
                                         (frames[0].dynamicTitle.empty() ? QString() : QStringLiteral(" ")) +
                                         QStringLiteral("第 %1 行）").arg(frames[0].line);
    switch (state.reason) {
        case debug::PauseReason::Breakpoint: return QStringLiteral("已暂停：断点") + where;
        case debug::PauseReason::DebuggerStatement: return QStringLiteral("已暂停：debugger 语句") + where;
        case debug::PauseReason::Exception:
            return QStringLiteral("已暂停：异常") + where + QStringLiteral(" ") + QString::fromStdU16String(state.exception);
        case debug::PauseReason::Requested: return QStringLiteral("已暂停：按了“暂停”") + where;
        case debug::PauseReason::PageBreak:
            return QStringLiteral("已暂停：页面断点") + where + QStringLiteral(" ") + QString::fromStdU16String(state.exception);
        case debug::PauseReason::Step: break;
    }
    return QStringLiteral("已暂停：单步") + where;
}

std::vector<debug::BreakpointSpec> SpecsOf(const editor::Editor& editor) {
    std::vector<debug::BreakpointSpec> specs;
    for (const editor::Breakpoint& b : editor.Breakpoints()) {
        debug::BreakpointSpec s(static_cast<uint32_t>(b.line + 1), b.condition.toStdU16String());
        s.hitCount = b.hitCount;
        s.logMessage = b.logMessage.toStdU16String();
        specs.push_back(std::move(s));
    }
    return specs;
}

}  // namespace

DebugFeatures::DebugFeatures(MainWindow& window)
    : QObject(&window), m_window(window), m_debugger(std::make_unique<debug::Debugger>()) {
    m_debugger->SetPauseHandler(this);
    m_debugger->SetLogOutput([this](uint32_t line, const std::u16string& text) {
        // The values come from the page: they stay on the logpoint's line.
        m_window.AppendLog(Ansi(QStringLiteral("-->日志点 第 %1 行: ").arg(line) +
                                QString::fromStdU16String(text::OneLogLine(text))) +
                           "\r\n");
    });
    connect(&window, &MainWindow::loading, this, &DebugFeatures::OnLoading);
    for (int i = 0; i < 6; ++i) {
        editor::Editor* e = window.EditorAt(i);
        connect(e, &editor::Editor::BreakpointsChanged, this, [this, e] {
            if (e == m_loaded) ApplyBreakpoints();
        });
        connect(e, &QsciScintillaBase::SCN_MODIFIED, this,
                [this, e](int, int type, const char*, int, int, int, int, int, int, int) {
                    // Inserted or deleted text: the loaded code is no longer this text.
                    if (e == m_loaded && (type & 0x3) && !m_loadedChanged) {
                        m_loadedChanged = true;
                        ApplyBreakpoints();
                    }
                });
    }

    QMenu* menu = window.menuBar()->addMenu(QStringLiteral("调试(&D)"));
    menu->addAction(QStringLiteral("调试器窗口"), this, [this] { ShowView(); });
    menu->addAction(QStringLiteral("切换断点 (F9)"), this, [this] {
        editor::Editor* e = m_window.CurrentEditor();
        e->ToggleBreakpoint(e->LineFromPosition(e->CurrentPos()));
    });
    menu->addAction(QStringLiteral("清除本页全部断点"), this, [this] { m_window.CurrentEditor()->ClearBreakpoints(); });
    QMenu* exceptions = menu->addMenu(QStringLiteral("遇到异常时暂停"));
    auto* group = new QActionGroup(exceptions);
    const std::pair<const char*, debug::ExceptionPause> modes[] = {{"不暂停", debug::ExceptionPause::Off},
                                                                   {"未捕获的异常", debug::ExceptionPause::Uncaught},
                                                                   {"所有异常", debug::ExceptionPause::All}};
    for (const auto& [caption, mode] : modes) {
        QAction* a = exceptions->addAction(QString::fromUtf8(caption));
        a->setCheckable(true);
        a->setChecked(mode == debug::ExceptionPause::Off);
        group->addAction(a);
        debug::ExceptionPause m = mode;
        connect(a, &QAction::triggered, this, [this, m] { m_debugger->SetExceptionPause(m); });
    }

    // The stepping keys work wherever the focus is, but only while a run is paused.
    const std::pair<QKeySequence, debug::ResumeAction> keys[] = {
        {QKeySequence(Qt::Key_F5), debug::ResumeAction::Continue},
        {QKeySequence(Qt::Key_F10), debug::ResumeAction::StepOver},
        {QKeySequence(Qt::Key_F11), debug::ResumeAction::StepInto},
        {QKeySequence(Qt::SHIFT | Qt::Key_F11), debug::ResumeAction::StepOut}};
    for (const auto& [key, action] : keys) {
        auto* shortcut = new QShortcut(key, &window);
        shortcut->setContext(Qt::ApplicationShortcut);
        shortcut->setEnabled(false);
        debug::ResumeAction a = action;
        connect(shortcut, &QShortcut::activated, this, [this, a] { Resume(a); });
        m_keys.push_back(shortcut);
    }
}

DebugFeatures::~DebugFeatures() {
    m_debugger->SetPauseHandler(nullptr);
    if (m_loop) m_loop->exit();
}

void DebugFeatures::OnLoading(editor::Editor* editor) {
    m_loaded = editor;
    m_loadedChanged = false;
    ApplyBreakpoints();
}

void DebugFeatures::ApplyBreakpoints() {
    if (!m_loaded || m_loadedChanged) m_debugger->SetBreakpoints({});
    else m_debugger->SetBreakpoints(SpecsOf(*m_loaded));
}

DebuggerWindow* DebugFeatures::View() const { return m_view; }

DebuggerWindow& DebugFeatures::ShowView() {
    if (!m_view) {
        m_view = new DebuggerWindow(&m_window);
        m_view->children = [this](int32_t handle) { return m_debugger->Children(handle); };
        connect(m_view, &DebuggerWindow::resume, this, &DebugFeatures::Resume);
        connect(m_view, &DebuggerWindow::frameChosen, this, &DebugFeatures::ShowFrame);
        connect(m_view, &DebuggerWindow::evaluate, this, &DebugFeatures::EvaluateInFrame);
        connect(m_view, &DebuggerWindow::watchAdded, this, &DebugFeatures::AddWatch);
        connect(m_view, &DebuggerWindow::watchRemoved, this, [this](int index) {
            if (index >= 0 && index < m_watches.size()) m_watches.removeAt(index);
            RefreshWatches();
        });
        emit viewMade(m_view);
        // Beside the main window, as far as its screen allows.
        PlaceBeside(*m_view, m_window);
    }
    m_view->show();
    m_view->raise();
    m_view->activateWindow();
    if (!IsPaused()) RefreshWatches();
    return *m_view;
}

void DebugFeatures::AddWatch(const QString& expression) {
    m_watches.push_back(expression);
    RefreshWatches();
}

void DebugFeatures::RefreshWatches() {
    if (!m_view) return;
    QStringList values;
    for (const QString& w : m_watches) {
        if (!IsPaused()) {
            values.push_back(QString());
            continue;
        }
        debug::EvaluationResult r = m_debugger->Evaluate(static_cast<size_t>(m_frame), w.toStdU16String());
        values.push_back(r.ok ? QString::fromStdU16String(r.text)
                              : QStringLiteral("错误: ") + QString::fromStdU16String(r.text));
    }
    m_view->ShowWatches(m_watches, values);
}

void DebugFeatures::ShowFrame(int index) {
    if (!IsPaused() || index < 0 || static_cast<size_t>(index) >= m_frames.size()) return;
    m_frame = index;
    const debug::FrameInfo& f = m_frames[static_cast<size_t>(index)];
    if (m_loaded) {
        if (f.inLoadedCode) m_loaded->ShowExecutionPoint(static_cast<int64_t>(f.line) - 1);
        else m_loaded->ShowExecutionPoint(-1);
    }
    emit frameShown(QString::fromStdU16String(f.dynamicText), f.dynamicText.empty() ? 0 : static_cast<int>(f.line));
    if (m_view) m_view->ShowScopes(m_debugger->Scopes(static_cast<size_t>(index)));
    RefreshWatches();
}

void DebugFeatures::SetEngineWorkEnabled(bool enabled) {
    for (const char* name : kEngineButtons)
        if (QPushButton* b = m_window.Button(name)) b->setEnabled(enabled);
    for (QShortcut* key : m_keys) key->setEnabled(!enabled);
}

void DebugFeatures::ClearExecutionPoint() {
    if (m_loaded) m_loaded->ShowExecutionPoint(-1);
    emit frameShown(QString(), 0);
}

debug::ResumeAction DebugFeatures::Paused(const debug::PauseState& state) {
    if (m_loop) return debug::ResumeAction::Continue;
    m_frames = m_debugger->Frames();
    m_frame = 0;
    SetEngineWorkEnabled(false);
    if (m_loaded) {
        auto* tabs = m_window.Component<QTabWidget>("高级选择夹1");
        for (int i = 0; tabs && i < 6; ++i)
            if (m_window.EditorAt(i) == m_loaded) tabs->setCurrentIndex(i);
    }
    DebuggerWindow& view = ShowView();
    view.ShowPause(ReasonText(state, m_frames), m_frames);
    QEventLoop loop;
    m_loop = &loop;
    ++m_pauseSerial;
    m_action.reset();
    ShowFrame(0);
    loop.exec();
    m_loop = nullptr;
    // The loop also ends when the program quits: the run then stops.
    debug::ResumeAction action = m_action.value_or(debug::ResumeAction::Stop);
    ClearExecutionPoint();
    m_frames.clear();
    if (m_view) {
        m_view->ShowRunning();
        RefreshWatches();
    }
    SetEngineWorkEnabled(true);
    return action;
}

void DebugFeatures::Resume(debug::ResumeAction action) {
    if (!m_loop) return;
    m_action = action;
    m_loop->exit();
}

void DebugFeatures::EvaluateInFrame(const QString& expression) {
    if (!IsPaused()) return;
    m_window.AppendLog(Ansi(QStringLiteral("-->计算：") + expression) + "\r\n");
    debug::EvaluationResult r = m_debugger->Evaluate(static_cast<size_t>(m_frame), expression.toStdU16String());
    if (!r.ok) {
        m_window.AppendLog(Ansi(QStringLiteral("-->计算出错：") + QString::fromStdU16String(r.text)) + "\r\n");
        return;
    }
    int32_t category = r.isObject ? 5 : script::VariantCategory(r.value);
    script::WriteResultLines(r.value, category, m_window, Ansi(QString::fromStdU16String(r.text)));
    RefreshWatches();
}

}  // namespace qy::app
