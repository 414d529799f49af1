#include "app/SessionEnd.h"

#include <QCoreApplication>
#include <QSocketNotifier>
#include <QString>
#include <csignal>
#include <cstdio>
#include <sys/socket.h>
#include <unistd.h>

namespace qy::app {
namespace {

int g_pipe[2] = {-1, -1};
QtMessageHandler g_previous = nullptr;

std::function<void()>& Save() {
    static std::function<void()> save;
    return save;
}

void RunSave() {
    // Taken out first: a save that ends the program some other way runs once.
    std::function<void()> save = std::move(Save());
    Save() = nullptr;
    if (save) save();
}

extern "C" void OnSignal(int signal) {
    // Only the main thread's loop may touch the window: the signal is handed over.
    const char number = static_cast<char>(signal);
    [[maybe_unused]] ssize_t written = ::write(g_pipe[1], &number, 1);
}

void OnMessage(QtMsgType type, const QMessageLogContext& context, const QString& message) {
    if (g_previous) g_previous(type, context, message);
    else fprintf(stderr, "%s\n", qPrintable(message));
    // The window system's connection is gone and the program is about to exit from
    // inside the event loop: save while the editors are still whole, then end at once
    // (an ordinary exit would tear the window system down under the open windows).
    if (message.startsWith(QStringLiteral("The X11 connection broke"))) {
        RunSave();
        _exit(1);
    }
}

}  // namespace

void SetSessionSave(std::function<void()> save) { Save() = std::move(save); }

void HandleSessionEnd() {
    static bool installed = false;
    if (installed || !QCoreApplication::instance()) return;
    installed = true;
    if (::socketpair(AF_UNIX, SOCK_STREAM | SOCK_CLOEXEC, 0, g_pipe) != 0) return;
    auto* notifier = new QSocketNotifier(g_pipe[0], QSocketNotifier::Read, QCoreApplication::instance());
    QObject::connect(notifier, &QSocketNotifier::activated, [] {
        char number = 0;
        if (::read(g_pipe[0], &number, 1) != 1) return;
        RunSave();
        QCoreApplication::quit();
    });
    struct sigaction action {};
    action.sa_handler = OnSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    sigaction(SIGTERM, &action, nullptr);
    sigaction(SIGHUP, &action, nullptr);
    g_previous = qInstallMessageHandler(OnMessage);
}

}  // namespace qy::app
