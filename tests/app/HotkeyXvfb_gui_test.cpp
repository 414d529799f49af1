// Alt+Q on a real X server: the workbench runs under an Xvfb of its own, and synthetic
// key presses (xdotool, through XTest) hide its main window and bring it back. When
// another program holds Alt+Q first, the workbench starts all the same without it.
// When the server goes away under it, it saves what was typed and ends without a crash.
#include <gtest/gtest.h>

#if defined(QY_HAVE_XCB) && defined(QY_APP_BINARY)

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <QFile>
#include <QTemporaryDir>
#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

#include "app/HotExit.h"
#include "common/ProcessSupport.h"

using qy::test::Eventually;
using qy::test::HaveProgram;
using qy::test::Output;

namespace {

void Stop(pid_t pid) {
    if (pid <= 0) return;
    kill(-pid, SIGTERM);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

/// An Xvfb that picks a free display number itself (-displayfd), so the test never
/// lands on somebody else's server.
class XServer {
public:
    XServer() {
        int fds[2];
        if (pipe(fds) != 0) return;
        m_pid = fork();
        if (m_pid == 0) {
            setsid();
            dup2(fds[1], 3);
            if (fds[0] != 3) close(fds[0]);
            if (fds[1] != 3) close(fds[1]);
            // -noreset: the server must not restart when a client disconnects.
            execlp("Xvfb", "Xvfb", "-displayfd", "3", "-screen", "0", "1280x800x24", "-nolisten", "tcp", "-noreset",
                   static_cast<char*>(nullptr));
            _exit(127);
        }
        close(fds[1]);
        std::string number;
        pollfd p{fds[0], POLLIN, 0};
        char c = 0;
        while (m_pid > 0 && poll(&p, 1, 20000) == 1 && read(fds[0], &c, 1) == 1 && c != '\n') number += c;
        close(fds[0]);
        if (!number.empty() && c == '\n') m_display = ":" + number;
    }
    ~XServer() { Stop(m_pid); }
    /// Ends the server now, as a crash or a closed remote session would.
    void Kill() {
        Stop(m_pid);
        m_pid = -1;
    }
    XServer(const XServer&) = delete;
    XServer& operator=(const XServer&) = delete;

    /// ":n", or empty when no server could be started.
    const std::string& Display() const { return m_display; }
    std::string Env() const { return "DISPLAY=" + m_display + " "; }

private:
    pid_t m_pid = -1;
    std::string m_display;
};

/// The workbench as a process on the given server, ended with the test.
class Workbench {
public:
    explicit Workbench(const XServer& server) : m_env(server.Env()) {
        m_pid = fork();
        if (m_pid == 0) {
            setsid();
            const std::string command = "exec env " + m_env + "QT_QPA_PLATFORM=xcb " QY_APP_BINARY;
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~Workbench() { Stop(m_pid); }
    Workbench(const Workbench&) = delete;
    Workbench& operator=(const Workbench&) = delete;

    bool Visible() const {
        return !Output(m_env + "xdotool search --onlyvisible --classname qingyou-js 2>/dev/null").empty();
    }
    void PressAltQ() const { (void)std::system((m_env + "xdotool key alt+q").c_str()); }
    /// Whether a window of the workbench titled `title` is shown.
    bool Shows(const std::string& title) const {
        return !Output(m_env + "xdotool search --onlyvisible --name '^" + title + "$' 2>/dev/null").empty();
    }
    /// The title of the window the window manager holds active.
    std::string Active() const {
        std::string name = Output(m_env + "xdotool getactivewindow getwindowname 2>/dev/null");
        while (!name.empty() && name.back() == '\n') name.pop_back();
        return name;
    }
    /// Gives the keyboard to the window titled `title`, then types `keys` into it.
    void TypeInto(const std::string& title, const std::string& keys) const {
        (void)std::system((m_env + "xdotool search --onlyvisible --name '^" + title +
                           "$' windowactivate --sync; sleep 0.2; " + m_env + "xdotool key --delay 200 " + keys)
                              .c_str());
    }

private:
    std::string m_env;
    pid_t m_pid = -1;
};

class HotkeyUnderXvfb : public ::testing::Test {
protected:
    void SetUp() override {
        if (!HaveProgram("Xvfb") || !HaveProgram("xdotool")) GTEST_SKIP() << "Xvfb or xdotool is not installed";
        m_server = std::make_unique<XServer>();
        if (m_server->Display().empty()) GTEST_SKIP() << "no X server could be started";
    }

    std::unique_ptr<XServer> m_server;
};

}  // namespace

TEST_F(HotkeyUnderXvfb, AltQHidesAndShowsTheMainWindow) {
    Workbench app(*m_server);
    ASSERT_TRUE(Eventually([&] { return app.Visible(); })) << "the main window never showed";
    app.PressAltQ();
    EXPECT_TRUE(Eventually([&] { return !app.Visible(); })) << "Alt+Q did not hide the window";
    app.PressAltQ();
    EXPECT_TRUE(Eventually([&] { return app.Visible(); })) << "Alt+Q did not bring the window back";
}

/// A window manager on the server (it iconifies, maps and focuses as a desktop does),
/// ended with the test.
class WindowManager {
public:
    explicit WindowManager(const XServer& server) {
        m_pid = fork();
        if (m_pid == 0) {
            setsid();
            const std::string command = "exec env " + server.Env() + "openbox >/dev/null 2>&1";
            execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~WindowManager() { Stop(m_pid); }
    WindowManager(const WindowManager&) = delete;
    WindowManager& operator=(const WindowManager&) = delete;

private:
    pid_t m_pid = -1;
};

// Another window of the workbench open and holding the keyboard, under a window manager:
// Alt+Q still hides the main window alone and brings it back, with the keyboard.
TEST_F(HotkeyUnderXvfb, AltQTogglesTheMainWindowWhileAnotherWindowIsOpen) {
    if (!HaveProgram("openbox")) GTEST_SKIP() << "openbox is not installed";
    const std::string main = "青柚JS调试工具1.8", reference = "JScript速查手册";
    WindowManager manager(*m_server);
    ASSERT_TRUE(Eventually([&] {
        return !Output(m_server->Env() + "xprop -root _NET_SUPPORTING_WM_CHECK 2>/dev/null | grep -q window && echo y")
                    .empty();
    })) << "the window manager never started";
    Workbench app(*m_server);
    ASSERT_TRUE(Eventually([&] { return app.Shows(main); })) << "the main window never showed";
    app.TypeInto(main, "alt+t Return");  // 工具 → JavaScript速查
    ASSERT_TRUE(Eventually([&] { return app.Shows(reference); })) << "the reference window never showed";
    for (int round = 0; round < 2; ++round) {
        app.TypeInto(reference, "alt+q");
        EXPECT_TRUE(Eventually([&] { return !app.Shows(main); })) << "Alt+Q did not hide the window, round " << round;
        EXPECT_TRUE(app.Shows(reference));
        app.TypeInto(reference, "alt+q");
        EXPECT_TRUE(Eventually([&] { return app.Shows(main) && app.Active() == main; }))
            << "Alt+Q did not bring the window back, round " << round << " (active: \"" << app.Active()
            << "\")";
        EXPECT_TRUE(app.Shows(reference));
    }
}

TEST_F(HotkeyUnderXvfb, AKeyHeldByAnotherProgramLeavesTheWorkbenchWithoutIt) {
    // Another program takes Alt+Q before the workbench starts.
    xcb_connection_t* other = xcb_connect(m_server->Display().c_str(), nullptr);
    ASSERT_FALSE(xcb_connection_has_error(other));
    xcb_window_t root = xcb_setup_roots_iterator(xcb_get_setup(other)).data->root;
    xcb_key_symbols_t* symbols = xcb_key_symbols_alloc(other);
    xcb_keycode_t* codes = xcb_key_symbols_get_keycode(symbols, 'q');
    const xcb_keycode_t q = codes ? codes[0] : 0;
    free(codes);
    xcb_key_symbols_free(symbols);
    ASSERT_NE(q, 0);
    xcb_generic_error_t* error = xcb_request_check(
        other, xcb_grab_key_checked(other, 1, root, XCB_MOD_MASK_1, q, XCB_GRAB_MODE_ASYNC, XCB_GRAB_MODE_ASYNC));
    ASSERT_EQ(error, nullptr);

    Workbench app(*m_server);
    EXPECT_TRUE(Eventually([&] { return app.Visible(); })) << "the workbench did not start without its hotkey";
    app.PressAltQ();
    // The press goes to the program holding the key, so the workbench never sees it.
    bool delivered = Eventually([&] {
        while (xcb_generic_event_t* event = xcb_poll_for_event(other)) {
            const bool press = (event->response_type & 0x7F) == XCB_KEY_PRESS &&
                               reinterpret_cast<xcb_key_press_event_t*>(event)->detail == q;
            free(event);
            if (press) return true;
        }
        return false;
    });
    EXPECT_TRUE(delivered);
    EXPECT_TRUE(app.Visible());
    xcb_disconnect(other);
}

#endif

#if defined(QY_HAVE_XCB) && defined(QY_APP_BINARY)

TEST_F(HotkeyUnderXvfb, TheDisplayGoingAwaySavesWhatWasTypedWithoutACrash) {
    QTemporaryDir data;
    ASSERT_TRUE(data.isValid());
    const std::string typed = "var typed = 'before the display went';";
    {
        QFile f(data.filePath("a.js"));
        ASSERT_TRUE(f.open(QIODevice::WriteOnly));
        f.write(typed.c_str());
    }
    const std::string env = m_server->Env() + "XDG_DATA_HOME=" + data.path().toStdString() +
                            " XDG_CONFIG_HOME=" + data.path().toStdString() + "/config ";
    const pid_t app = fork();
    if (app == 0) {
        const std::string command = "exec env " + env + "QT_QPA_PLATFORM=xcb " QY_APP_BINARY " " +
                                    data.filePath("a.js").toStdString() + " 2>/dev/null";
        execl("/bin/sh", "sh", "-c", command.c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    ASSERT_TRUE(Eventually([&] {
        return !Output(m_server->Env() + "xdotool search --onlyvisible --classname qingyou-js 2>/dev/null").empty();
    }));
    m_server->Kill();
    int status = 0;
    const bool ended = Eventually([&] { return waitpid(app, &status, WNOHANG) == app; });
    if (!ended) {
        kill(app, SIGKILL);
        waitpid(app, &status, 0);
    }
    ASSERT_TRUE(ended) << "the workbench did not end with its display";
    EXPECT_TRUE(WIFEXITED(status)) << "ended by signal " << WTERMSIG(status);
    auto state = qy::app::LoadHotExitFile(data.filePath("qingyou-js/hot-exit.json"));
    ASSERT_TRUE(state) << "nothing was saved";
    bool kept = false;
    for (const auto& e : state->editors) kept = kept || e.text == typed;
    EXPECT_TRUE(kept);
}

#endif
