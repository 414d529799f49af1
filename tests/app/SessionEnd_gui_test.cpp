// The workbench as a program of its own: SIGTERM and SIGHUP save the last edits before
// it ends, and a second start on the same data folder hands its files to the first
// window instead of overwriting the first window's kept texts.
#include <gtest/gtest.h>

#if defined(QY_APP_BINARY)

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <QDir>
#include <QFile>
#include <QLocalSocket>
#include <QTemporaryDir>
#include <string>
#include <vector>

#include "app/HotExit.h"
#include "app/SingleInstance.h"
#include "common/ProcessSupport.h"

using qy::test::Eventually;

namespace {

/// The workbench on the data folder `data`, offscreen, opening `files`.
pid_t Start(const QString& data, const std::vector<std::string>& files) {
    const pid_t pid = fork();
    if (pid == 0) {
        setenv("XDG_DATA_HOME", data.toLocal8Bit().constData(), 1);
        setenv("XDG_CONFIG_HOME", (data + "/config").toLocal8Bit().constData(), 1);
        setenv("QT_QPA_PLATFORM", "offscreen", 1);
        std::vector<char*> argv{const_cast<char*>(QY_APP_BINARY)};
        for (const std::string& f : files) argv.push_back(const_cast<char*>(f.c_str()));
        argv.push_back(nullptr);
        execv(QY_APP_BINARY, argv.data());
        _exit(127);
    }
    return pid;
}

/// The window is up: it takes later starts.
bool Ready(const QString& data) {
    QLocalSocket socket;
    socket.connectToServer(qy::app::SingleInstance::ServerName(data + "/qingyou-js"));
    const bool up = socket.waitForConnected(200);
    socket.abort();
    return up;
}

/// Waits for `pid` to end; its wait status, or -1 when it did not end in time (it is
/// killed then).
int Ended(pid_t pid) {
    int status = 0;
    if (Eventually([&] { return waitpid(pid, &status, WNOHANG) == pid; })) return status;
    kill(pid, SIGKILL);
    waitpid(pid, &status, 0);
    return -1;
}

QString Script(const QTemporaryDir& dir, const char* name, const char* text) {
    const QString path = dir.filePath(QString::fromLatin1(name));
    QFile f(path);
    if (f.open(QIODevice::WriteOnly)) f.write(text);
    return path;
}

std::vector<std::string> Texts(const QString& data) {
    std::vector<std::string> texts;
    if (auto state = qy::app::LoadHotExitFile(data + "/qingyou-js/hot-exit.json"))
        for (const auto& e : state->editors) texts.push_back(e.text);
    return texts;
}

bool Holds(const std::vector<std::string>& texts, const std::string& text) {
    for (const std::string& t : texts)
        if (t == text) return true;
    return false;
}

}  // namespace

TEST(SessionEnd, TerminationAndHangUpSaveTheLastEdits) {
    for (int signal : {SIGTERM, SIGHUP}) {
        QTemporaryDir data;
        const QString file = Script(data, "a.js", "var opened = 'just now';");
        const pid_t app = Start(data.path(), {file.toStdString()});
        ASSERT_TRUE(Eventually([&] { return Ready(data.path()); })) << "the window never came up";
        // Long before the autosave's delay.
        kill(app, signal);
        const int status = Ended(app);
        ASSERT_NE(status, -1) << "the program did not end on signal " << signal;
        EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
        EXPECT_EQ(WEXITSTATUS(status), 0);
        EXPECT_TRUE(Holds(Texts(data.path()), "var opened = 'just now';")) << "signal " << signal;
    }
}

TEST(SingleInstance, ASecondStartHandsItsFilesToTheFirstWindow) {
    QTemporaryDir data;
    const QString first = Script(data, "first.js", "var first = 1;");
    const QString second = Script(data, "second.js", "var second = 2;");
    const pid_t app = Start(data.path(), {first.toStdString()});
    ASSERT_TRUE(Eventually([&] { return Ready(data.path()); })) << "the window never came up";
    // The second start ends at once, its file in the first window.
    const int handed = Ended(Start(data.path(), {second.toStdString()}));
    ASSERT_NE(handed, -1) << "the second start did not end";
    EXPECT_TRUE(WIFEXITED(handed) && WEXITSTATUS(handed) == 0);
    kill(app, SIGTERM);
    ASSERT_NE(Ended(app), -1);
    const std::vector<std::string> texts = Texts(data.path());
    EXPECT_TRUE(Holds(texts, "var first = 1;"));
    EXPECT_TRUE(Holds(texts, "var second = 2;"));

    // The next start brings both back.
    const pid_t again = Start(data.path(), {});
    ASSERT_TRUE(Eventually([&] { return Ready(data.path()); }));
    kill(again, SIGTERM);
    ASSERT_NE(Ended(again), -1);
    EXPECT_EQ(Texts(data.path()), texts);
}

#endif
