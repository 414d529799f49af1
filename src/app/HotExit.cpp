#include "app/HotExit.h"

#include <QCloseEvent>
#include <QComboBox>
#include <QFile>
#include <QFileInfo>
#include <QGuiApplication>
#include <QMessageBox>
#include <QTabWidget>
#include <algorithm>

#include "app/ConsoleFeatures.h"
#include "app/MainWindow.h"
#include "editor/Editor.h"
#include "text/CodePage.h"

namespace qy::app {
namespace {

std::string Ansi(const QString& s) { return text::WideToAnsi(s.toStdU16String()); }

}  // namespace

/// A snapshot on its way to the file: the window's state, the texts of the editors that
/// changed as the editors hold them, and the parts made before for the others.
struct HotExit::Job {
    HotExitState state;
    std::array<std::optional<std::string>, 6> changed;
    std::array<QByteArray, 6> texts;
    std::array<uint64_t, 6> editorEdits{};
    uint64_t edits = 0;
    bool ok = false;
    QString reason;

    void Run(const QString& path) {
        for (size_t i = 0; i < 6; ++i) {
            if (!changed[i]) continue;
            texts[i] = SerializeEditorText(text::EditorUtf8ToAnsi(*changed[i]));
            changed[i].reset();
        }
        ok = SaveHotExitBytes(AssembleHotExit(state, texts), path, &reason);
    }
};

HotExit::HotExit(MainWindow& window, QString path) : QObject(&window), m_window(window), m_path(std::move(path)) {
    setObjectName(QStringLiteral("HotExit"));
    m_timer.setSingleShot(true);
    m_timer.setInterval(kSaveDelayMs);
    connect(&m_timer, &QTimer::timeout, this, &HotExit::SaveInBackground);
    for (int i = 0; i < 6; ++i) {
        connect(window.EditorAt(i), &editor::Editor::SCEN_CHANGE, this, [this, i] { ChangedEditor(i); });
        connect(window.EditorAt(i), &editor::Editor::BreakpointsChanged, this, &HotExit::Changed);
    }
    auto* addr = window.Component<QComboBox>("组合框_addr");
    connect(addr, &QComboBox::editTextChanged, this, &HotExit::Changed);
    connect(addr->model(), &QAbstractItemModel::rowsInserted, this, &HotExit::Changed);
    connect(window.Component<QTabWidget>("高级选择夹1"), &QTabWidget::currentChanged, this, &HotExit::Changed);
    if (auto* console = window.findChild<ConsoleFeatures*>())
        connect(console, &ConsoleFeatures::historyChanged, this, &HotExit::Changed);
    window.installEventFilter(this);
    connect(&window, &MainWindow::closing, this, &HotExit::Save);
    // A session that ends without closing the window (logout) keeps the texts too.
    connect(qApp, &QCoreApplication::aboutToQuit, this, &HotExit::Save);
}

HotExit::~HotExit() {
    // The window is going: the write in hand ends, nothing more is said.
    if (m_writer.joinable()) m_writer.join();
}

void HotExit::ChangedEditor(int index) {
    if (m_applying) return;
    ++m_editorEdits[static_cast<size_t>(index)];
    Changed();
}

void HotExit::Changed() {
    if (m_applying) return;
    ++m_edits;
    // Counted from the first unsaved edit, so that steady typing is saved too.
    if (!m_timer.isActive()) m_timer.start();
}

HotExitState HotExit::Capture() const {
    HotExitState state;
    for (int i = 0; i < 6; ++i) {
        editor::Editor* e = m_window.EditorAt(i);
        state.editors[static_cast<size_t>(i)] = {e->Text(), e->Anchor(), e->CurrentPos(), e->Breakpoints()};
    }
    state.currentTab = m_window.Component<QTabWidget>("高级选择夹1")->currentIndex();
    auto* addr = m_window.Component<QComboBox>("组合框_addr");
    for (int i = 0; i < addr->count(); ++i) state.addresses << addr->itemText(i);
    state.address = addr->currentText();
    if (auto* console = m_window.findChild<ConsoleFeatures*>()) state.expressions = console->History().Items();
    return state;
}

std::shared_ptr<HotExit::Job> HotExit::Snapshot() const {
    auto job = std::make_shared<Job>();
    for (size_t i = 0; i < 6; ++i) {
        editor::Editor* e = m_window.EditorAt(static_cast<int>(i));
        job->state.editors[i] = {std::string(), e->Anchor(), e->CurrentPos(), e->Breakpoints()};
        // Only a text that changed since it was last made into its part is copied.
        if (!m_everSaved || m_parts[i].isEmpty() || m_editorEdits[i] != m_savedEditorEdits[i])
            job->changed[i] = e->Utf8Text();
        else
            job->texts[i] = m_parts[i];
    }
    const HotExitState rest = [this] {
        HotExitState s;
        s.currentTab = m_window.Component<QTabWidget>("高级选择夹1")->currentIndex();
        auto* addr = m_window.Component<QComboBox>("组合框_addr");
        for (int i = 0; i < addr->count(); ++i) s.addresses << addr->itemText(i);
        s.address = addr->currentText();
        if (auto* console = m_window.findChild<ConsoleFeatures*>()) s.expressions = console->History().Items();
        return s;
    }();
    job->state.currentTab = rest.currentTab;
    job->state.addresses = rest.addresses;
    job->state.address = rest.address;
    job->state.expressions = rest.expressions;
    job->editorEdits = m_editorEdits;
    job->edits = m_edits;
    return job;
}

void HotExit::Finished(const std::shared_ptr<Job>& job) {
    if (job->ok) {
        for (size_t i = 0; i < 6; ++i) m_parts[i] = job->texts[i];
        m_savedEditorEdits = job->editorEdits;
        m_savedEdits = job->edits;
        m_everSaved = true;
        if (!m_failure.isEmpty())
            m_window.AppendLog(Ansi(QStringLiteral("-->编辑框中的内容又能自动保存了\r\n")));
        m_failure.clear();
        return;
    }
    // Said once for a run of failures, and tried again until it works.
    if (m_failure.isEmpty())
        m_window.AppendLog(Ansi(QStringLiteral("-->自动保存失败：%1（%2），编辑框中的内容尚未保存，稍后再试\r\n")
                                    .arg(job->reason, QFileInfo(m_path).absolutePath())));
    m_failure = job->reason.isEmpty() ? QStringLiteral("写入出错") : job->reason;
    if (!m_timer.isActive()) m_timer.start(kRetryDelayMs);
}

void HotExit::SaveInBackground() {
    m_timer.setInterval(kSaveDelayMs);
    if (m_writer.joinable()) {
        // One write at a time; the edits since go with the next one.
        m_timer.start();
        return;
    }
    if (m_everSaved && m_failure.isEmpty() && m_edits == m_savedEdits && m_editorEdits == m_savedEditorEdits) return;
    std::shared_ptr<Job> job = Snapshot();
    m_writing = job;
    m_writer = std::thread([this, job, path = m_path] {
        job->Run(path);
        QMetaObject::invokeMethod(this, [this] {
            FinishWriting();
        }, Qt::QueuedConnection);
    });
}

void HotExit::FinishWriting() {
    if (!m_writer.joinable()) return;
    m_writer.join();
    std::shared_ptr<Job> job = std::move(m_writing);
    if (job) Finished(job);
}

bool HotExit::Save() {
    m_timer.stop();
    FinishWriting();
    if (m_everSaved && m_failure.isEmpty() && m_edits == m_savedEdits && m_editorEdits == m_savedEditorEdits)
        return true;
    std::shared_ptr<Job> job = Snapshot();
    job->Run(m_path);
    Finished(job);
    return job->ok;
}

bool HotExit::eventFilter(QObject* watched, QEvent* event) {
    if (watched != &m_window || event->type() != QEvent::Close) return false;
    if (Save()) return false;
    QMessageBox box(QMessageBox::Warning, QStringLiteral("未能保存"),
                    QStringLiteral("编辑框中的内容未能保存：%1。\n现在关闭，这些内容将会丢失。仍要关闭吗？").arg(m_failure),
                    QMessageBox::Yes | QMessageBox::No, &m_window);
    box.setObjectName(QStringLiteral("未能保存"));
    box.setDefaultButton(QMessageBox::No);
    box.setWindowModality(Qt::ApplicationModal);
    if (box.exec() == QMessageBox::Yes) return false;
    event->ignore();
    return true;
}

void HotExit::Apply(const HotExitState& state) {
    m_applying = true;
    if (!state.EditorsEmpty()) {
        for (int i = 0; i < 6; ++i) {
            editor::Editor* e = m_window.EditorAt(i);
            const EditorSnapshot& s = state.editors[static_cast<size_t>(i)];
            e->SetText(s.text);
            e->EmptyUndoBuffer();
            int64_t length = e->TextLength();
            e->SetSel(std::min(s.anchor, length), std::min(s.caret, length));
            e->ClearBreakpoints();
            for (const editor::Breakpoint& bp : s.breakpoints)
                if (bp.line < e->LineCount()) e->SetBreakpoint(bp);
        }
        m_window.Component<QTabWidget>("高级选择夹1")->setCurrentIndex(state.currentTab);
    }
    if (!state.addresses.isEmpty()) {
        auto* addr = m_window.Component<QComboBox>("组合框_addr");
        addr->clear();
        addr->addItems(state.addresses);
        addr->setEditText(state.address);
    }
    if (auto* console = m_window.findChild<ConsoleFeatures*>()) console->History().SetItems(state.expressions);
    m_applying = false;
}

bool HotExit::Restore() {
    QFile file(m_path);
    if (!file.open(QIODevice::ReadOnly)) return false;
    const QByteArray bytes = file.readAll();
    file.close();
    if (std::optional<HotExitState> state = ParseHotExit(bytes)) {
        Apply(*state);
        // What the file holds is the window's state: nothing to save until an edit.
        m_everSaved = false;
        return true;
    }
    // Damaged: kept beside as it is, before anything is saved over it, and what can be
    // read of it is put back.
    const QString kept = KeepDamagedHotExit(m_path);
    std::optional<HotExitState> salvaged = SalvageHotExit(bytes);
    if (salvaged) Apply(*salvaged);
    QString line = QStringLiteral("-->上次保存的内容已损坏");
    line += kept.isEmpty() ? QStringLiteral("（未能另存损坏的文件）") : QStringLiteral("，原文件另存为 %1").arg(kept);
    line += salvaged ? QStringLiteral("，已恢复其中能读出的部分") : QStringLiteral("，其中没有能读出的内容");
    m_window.AppendLog(Ansi(line + QStringLiteral("\r\n")));
    // The window's state goes into the file from now on.
    Changed();
    return true;
}

}  // namespace qy::app
