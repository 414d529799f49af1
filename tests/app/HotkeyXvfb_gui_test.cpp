// Alt+Q on a real X server: the workbench runs under an Xvfb of its own, and synthetic
// key presses (xdotool, through XTest) hide its main window and bring it back. When
// another program holds Alt+Q first, the workbench starts all the same without it.
#include <gtest/gtest.h>

#if defined(QY_HAVE_XCB) && defined(QY_APP_BINARY)

#include <poll.h>
#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>
#include <xcb/xcb_keysyms.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <memory>
#include <string>
#include <thread>

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
