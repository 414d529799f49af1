// The workbench as a process under its own X server: it starts, shows its main window,
// and a close request from the window system ends it at once with exit code 0.
#include <gtest/gtest.h>

#if defined(QY_HAVE_XCB) && defined(QY_APP_BINARY)

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>
#include <xcb/xcb.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <thread>

#include "common/ProcessSupport.h"

using qy::test::Eventually;
using qy::test::HaveProgram;
using qy::test::Output;

namespace {

/// A child process that is ended when the test is done with it.
class Child {
public:
    explicit Child(const std::string& command) {
        m_pid = fork();
        if (m_pid == 0) {
            setsid();
            execl("/bin/sh", "sh", "-c", ("exec " + command).c_str(), static_cast<char*>(nullptr));
            _exit(127);
        }
    }
    ~Child() {
        if (m_pid > 0 && !m_reaped) {
            kill(m_pid, SIGTERM);  // lets an X server remove its lock file
            if (WaitStatus() == -1) {
                kill(m_pid, SIGKILL);
                waitpid(m_pid, nullptr, 0);
            }
        }
    }
    Child(const Child&) = delete;
    Child& operator=(const Child&) = delete;

    /// Waits up to about 20 seconds for the process to end; its wait status or -1.
    int WaitStatus() {
        for (int i = 0; i < 200; ++i) {
            int status = 0;
            if (waitpid(m_pid, &status, WNOHANG) == m_pid) {
                m_reaped = true;
                return status;
            }
            std::this_thread::sleep_for(std::chrono::milliseconds(100));
        }
        return -1;
    }

private:
    pid_t m_pid = -1;
    bool m_reaped = false;
};

xcb_atom_t Atom(xcb_connection_t* c, const char* name) {
    xcb_intern_atom_reply_t* reply =
        xcb_intern_atom_reply(c, xcb_intern_atom(c, 0, static_cast<uint16_t>(std::strlen(name)), name), nullptr);
    xcb_atom_t atom = reply ? reply->atom : static_cast<xcb_atom_t>(XCB_ATOM_NONE);
    free(reply);
    return atom;
}

/// Asks the window to close as a window manager's close button does.
bool RequestClose(const std::string& display, xcb_window_t window) {
    xcb_connection_t* c = xcb_connect(display.c_str(), nullptr);
    if (xcb_connection_has_error(c)) {
        xcb_disconnect(c);
        return false;
    }
    xcb_client_message_event_t event{};
    event.response_type = XCB_CLIENT_MESSAGE;
    event.format = 32;
    event.window = window;
    event.type = Atom(c, "WM_PROTOCOLS");
    event.data.data32[0] = Atom(c, "WM_DELETE_WINDOW");
    event.data.data32[1] = XCB_CURRENT_TIME;
    // Checked, so the request has reached the server before the connection goes.
    xcb_generic_error_t* error = xcb_request_check(
        c, xcb_send_event_checked(c, 0, window, XCB_EVENT_MASK_NO_EVENT, reinterpret_cast<const char*>(&event)));
    free(error);
    xcb_disconnect(c);
    return error == nullptr;
}

}  // namespace

TEST(WorkbenchProcess, CloseRequestEndsItWithExitCodeZero) {
    if (!HaveProgram("Xvfb") || !HaveProgram("xdotool")) GTEST_SKIP() << "Xvfb or xdotool is not installed";
    const std::string display = ":" + std::to_string(600 + getpid() % 300);
    // -noreset: the server would otherwise restart when the probe below disconnects,
    // and refuse the workbench's connection while it does.
    Child server("Xvfb " + display + " -screen 0 1280x800x24 -nolisten tcp -noreset");
    const std::string env = "DISPLAY=" + display + " ";
    if (!Eventually([&] { return std::system((env + "xdotool getdisplaygeometry >/dev/null 2>&1").c_str()) == 0; }))
        GTEST_SKIP() << "no X server could be started on " << display;
    Child app("env " + env + "QT_QPA_PLATFORM=xcb " QY_APP_BINARY);
    const std::string find = env + "xdotool search --onlyvisible --classname qingyou-js 2>/dev/null";
    std::string found;
    ASSERT_TRUE(Eventually([&] { return !(found = Output(find)).empty(); })) << "the main window never showed";
    const std::string title = Output(env + "xdotool getwindowname " + found.substr(0, found.find('\n')));
    EXPECT_EQ(title, "青柚JS调试工具1.8\n");
    ASSERT_TRUE(RequestClose(display, static_cast<xcb_window_t>(std::stoul(found))));
    int status = app.WaitStatus();
    ASSERT_NE(status, -1) << "the workbench kept running after its main window was closed";
    ASSERT_TRUE(WIFEXITED(status)) << "ended by signal " << (WIFSIGNALED(status) ? WTERMSIG(status) : 0);
    EXPECT_EQ(WEXITSTATUS(status), 0);
}

#endif
