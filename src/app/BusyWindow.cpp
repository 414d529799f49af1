/** @file BusyWindow.cpp
 * The engine calls its busy hook every few milliseconds while one call runs long. The
 * hook lets window events through; it is the only place where events are handled
 * during an engine call, which is how the window knows that a call has ended: its
 * check timer fires outside the hook.
 */
#include "app/BusyWindow.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QDialog>
#include <QLabel>
#include <QPointer>
#include <QPushButton>
#include <QTimer>
#include <QVBoxLayout>
#include <chrono>

#include "script/Engine.h"

namespace qy::app {
namespace {

constexpr auto kShowAfter = std::chrono::milliseconds(1000);
constexpr int kEndCheckMs = 50;

QPointer<QDialog> g_window;
bool g_inHook = false;

/// Stays up until the call ends: neither Esc nor the window manager closes it, since
/// the other windows take input again as soon as it is gone.
class BusyDialog final : public QDialog {
public:
    BusyDialog() : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::CustomizeWindowHint) {}
    void reject() override {}

protected:
    void closeEvent(QCloseEvent* event) override { event->ignore(); }
};

void CloseWindow() {
    if (!g_window) return;
    g_window->hide();
    g_window->deleteLater();
    g_window = nullptr;
}

QDialog* MakeWindow() {
    auto* dialog = new BusyDialog;
    dialog->setObjectName(QStringLiteral("正在运行脚本"));
    dialog->setWindowTitle(QStringLiteral("正在运行脚本…"));
    dialog->setAccessibleName(dialog->windowTitle());
    dialog->setWindowModality(Qt::ApplicationModal);
    auto* layout = new QVBoxLayout(dialog);
    auto* label = new QLabel(QStringLiteral("正在运行脚本…"), dialog);
    label->setObjectName(QStringLiteral("标签_运行中"));
    label->setAccessibleName(label->text());
    auto* stop = new QPushButton(QStringLiteral("停止"), dialog);
    stop->setObjectName(QStringLiteral("按钮_停止"));
    stop->setAccessibleName(stop->text());
    QObject::connect(stop, &QPushButton::clicked, [] { script::RequestStop(); });
    layout->addWidget(label);
    layout->addWidget(stop);
    dialog->setFixedSize(220, 90);
    // Outside the hook means the engine call has returned.
    auto* endCheck = new QTimer(dialog);
    endCheck->setInterval(kEndCheckMs);
    QObject::connect(endCheck, &QTimer::timeout, [] {
        if (!g_inHook) CloseWindow();
    });
    endCheck->start();
    return dialog;
}

void OnBusy(std::chrono::milliseconds elapsed) {
    if (elapsed >= kShowAfter && !g_window) {
        g_window = MakeWindow();
        g_window->show();
    }
    // Before the modal window is up nothing keeps the user from clicking a button that
    // starts another engine call in the middle of this one, so user input waits for the
    // call to end; painting, timers and the rest go through. With the window up, input
    // reaches only the window.
    const auto flags = g_window ? QEventLoop::AllEvents : QEventLoop::ExcludeUserInputEvents;
    g_inHook = true;
    QCoreApplication::processEvents(flags, 5);
    g_inHook = false;
}

}  // namespace

void BusyWindow::Install() { script::SetBusyHook(OnBusy); }

BusyWindow::Scope::~Scope() {
    if (!g_inHook) CloseWindow();
}

QDialog* BusyWindow::Current() { return g_window; }

}  // namespace qy::app
