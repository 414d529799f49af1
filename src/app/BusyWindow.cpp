/** @file BusyWindow.cpp
 * The engine calls its busy hook every few milliseconds while one call runs long, and a
 * task calls Pump while it waits. Both let window events through; they are the only
 * places where events are handled during the work, which is how the window knows that
 * the work has ended: its check timer fires outside them.
 */
#include "app/BusyWindow.h"

#include <QApplication>
#include <QCloseEvent>
#include <QDialog>
#include <QLabel>
#include <QMenu>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QTimer>
#include <QHBoxLayout>
#include <QVBoxLayout>
#include <algorithm>
#include <vector>

#include "script/Engine.h"

namespace qy::app {
namespace {

constexpr auto kShowAfter = std::chrono::milliseconds(1000);
constexpr int kEndCheckMs = 50;
const char* const kScriptCaption = "正在运行脚本…";

QPointer<QDialog> g_window;
bool g_inHook = false;
std::vector<BusyWindow::Task*> g_tasks;

/// Stays up until the work ends: neither Esc nor the window manager closes it, since
/// the other windows take input again as soon as it is gone.
class BusyDialog final : public QDialog {
public:
    explicit BusyDialog(QWidget* owner)
        : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint) {}
    void reject() override {}

protected:
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

bool IsUserInput(QEvent::Type type) {
    switch (type) {
        case QEvent::MouseButtonPress:
        case QEvent::MouseButtonRelease:
        case QEvent::MouseButtonDblClick:
        case QEvent::Wheel:
        case QEvent::KeyPress:
        case QEvent::KeyRelease:
        case QEvent::ShortcutOverride:
        case QEvent::Shortcut:
        case QEvent::ContextMenu:
        case QEvent::TouchBegin:
        case QEvent::TouchUpdate:
        case QEvent::TouchEnd:
        case QEvent::TabletPress:
        case QEvent::TabletRelease:
        case QEvent::DragEnter:
        case QEvent::DragMove:
        case QEvent::Drop:
        case QEvent::InputMethod: return true;
        default: return false;
    }
}

/// Holds back input meant for the windows that wait. The busy window is not modal,
/// because a modal window would swallow the main window's close; this does its part.
class InputGuard final : public QObject {
public:
    bool eventFilter(QObject* watched, QEvent* event) override {
        if (!IsUserInput(event->type())) return false;
        auto* widget = qobject_cast<QWidget*>(watched);
        if (!widget) {
            // Window-level events reach their widget next and are judged there; a
            // shortcut belongs to a waiting window.
            return event->type() == QEvent::Shortcut;
        }
        QWidget* top = widget->window();
        if (top == g_window || qobject_cast<QMenu*>(top) || top->inherits("QSystemTrayIconSys")) return false;
        // An accepted override keeps the key from firing a waiting window's shortcut.
        if (event->type() == QEvent::ShortcutOverride) event->accept();
        return true;
    }
};

InputGuard* Guard() {
    static InputGuard* guard = new InputGuard;
    return guard;
}

void CloseWindow() {
    if (!g_window) return;
    qApp->removeEventFilter(Guard());
    g_window->hide();
    g_window->deleteLater();
    g_window = nullptr;
}

void CentreOn(QWidget& window, const QWidget* owner) {
    const QScreen* screen = owner && owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect frame(QPoint(0, 0), window.size());
    frame.moveCenter(owner && owner->isVisible() ? owner->frameGeometry().center() : screen->availableGeometry().center());
    window.move(frame.topLeft());
}

QDialog* MakeWindow(const QString& caption, bool engineWork) {
    // Owned by the active window, so that it stays above it.
    QWidget* owner = QApplication::activeWindow();
    auto* dialog = new BusyDialog(owner);
    dialog->setObjectName(QStringLiteral("正在运行脚本"));
    dialog->setWindowTitle(caption);
    dialog->setAccessibleName(dialog->windowTitle());
    auto* layout = new QVBoxLayout(dialog);
    auto* label = new QLabel(caption, dialog);
    label->setObjectName(QStringLiteral("标签_运行中"));
    label->setAccessibleName(label->text());
    auto* stop = new QPushButton(QStringLiteral("停止"), dialog);
    stop->setObjectName(QStringLiteral("按钮_停止"));
    stop->setAccessibleName(stop->text());
    QObject::connect(stop, &QPushButton::clicked, [] { BusyWindow::StopAll(); });
    layout->addWidget(label);
    auto* row = new QHBoxLayout;
    if (engineWork) {
        // A script can be paused where it runs and looked at in the debugger.
        auto* pause = new QPushButton(QStringLiteral("暂停"), dialog);
        pause->setObjectName(QStringLiteral("按钮_暂停"));
        pause->setAccessibleName(pause->text());
        QObject::connect(pause, &QPushButton::clicked, [] { script::RequestPause(); });
        row->addWidget(pause);
    }
    row->addWidget(stop);
    layout->addLayout(row);
    dialog->setFixedSize(220, 90);
    CentreOn(*dialog, owner);
    // Outside the hook means the work has returned.
    auto* endCheck = new QTimer(dialog);
    endCheck->setInterval(kEndCheckMs);
    QObject::connect(endCheck, &QTimer::timeout, [] {
        if (!g_inHook) CloseWindow();
    });
    endCheck->start();
    return dialog;
}

void Busy(std::chrono::milliseconds elapsed, const QString& caption, bool engineWork) {
    if (elapsed >= kShowAfter && !g_window) {
        g_window = MakeWindow(caption, engineWork);
        qApp->installEventFilter(Guard());
        g_window->show();
        g_window->raise();
        g_window->activateWindow();
        g_window->findChild<QPushButton*>(QStringLiteral("按钮_停止"))->setFocus();
    }
    // Before the window is up nothing keeps the user from clicking a button that starts
    // other work in the middle of this one, so user input waits for the work to end;
    // painting, timers and the rest go through. With the window up, the guard sorts
    // the input.
    const auto flags = g_window ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents;
    bool outer = !g_inHook;
    g_inHook = true;
    QCoreApplication::processEvents(flags, 5);
    if (outer) g_inHook = false;
}

void OnBusy(std::chrono::milliseconds elapsed) { Busy(elapsed, QString::fromUtf8(kScriptCaption), true); }

}  // namespace

void BusyWindow::Install() { script::SetBusyHook(OnBusy); }

BusyWindow::Scope::~Scope() {
    if (!g_inHook) CloseWindow();
}

BusyWindow::Task::Task(QString caption) : m_caption(std::move(caption)), m_start(std::chrono::steady_clock::now()) {
    g_tasks.push_back(this);
}

BusyWindow::Task::~Task() {
    g_tasks.erase(std::remove(g_tasks.begin(), g_tasks.end(), this), g_tasks.end());
    if (!g_inHook && g_tasks.empty()) CloseWindow();
}

void BusyWindow::Task::Pump() {
    Busy(std::chrono::duration_cast<std::chrono::milliseconds>(std::chrono::steady_clock::now() - m_start), m_caption,
         false);
}

void BusyWindow::StopAll() {
    script::RequestStop();
    for (Task* task : g_tasks) task->Cancel();
}

QDialog* BusyWindow::Current() { return g_window; }

}  // namespace qy::app
