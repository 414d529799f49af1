// Alt+Q on a real X server: the workbench runs under its own Xvfb, a synthetic key
// press hides the main window and a second one brings it back.
#include <gtest/gtest.h>

#include <signal.h>
#include <sys/wait.h>
#include <unistd.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace {

bool HaveProgram(const char* name) { return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0; }

std::string Output(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[256];
        while (fgets(buf, sizeof buf, p)) out += buf;
        pclose(p);
    }
    return out;
}

pid_t Spawn(const std::string& command) {
    pid_t pid = fork();
    if (pid == 0) {
        setsid();
        execl("/bin/sh", "sh", "-c", ("exec " + command).c_str(), static_cast<char*>(nullptr));
        _exit(127);
    }
    return pid;
}

void Stop(pid_t pid) {
    if (pid <= 0) return;
    kill(-pid, SIGTERM);
    kill(pid, SIGTERM);
    waitpid(pid, nullptr, 0);
}

/// Polls `condition` until it holds or about 20 seconds have passed.
template <typename F>
bool Eventually(F condition) {
    for (int i = 0; i < 200; ++i) {
        if (condition()) return true;
        std::this_thread::sleep_for(std::chrono::milliseconds(100));
    }
    return false;
}

}  // namespace

TEST(HotkeyUnderXvfb, AltQHidesAndShowsTheMainWindow) {
    if (!HaveProgram("Xvfb") || !HaveProgram("xdotool")) GTEST_SKIP() << "Xvfb or xdotool is not installed";
    const std::string display = ":" + std::to_string(90 + getpid() % 500);
    // -noreset: the server must not restart when the probe below disconnects.
    pid_t xvfb = Spawn("Xvfb " + display + " -screen 0 1280x800x24 -nolisten tcp -noreset");
    const std::string env = "DISPLAY=" + display + " ";
    bool serverUp = Eventually([&] { return std::system((env + "xdotool getdisplaygeometry >/dev/null 2>&1").c_str()) == 0; });
    if (!serverUp) {
        Stop(xvfb);
        GTEST_SKIP() << "no X server could be started on " << display;
    }
    pid_t app = Spawn("env " + env + "QT_QPA_PLATFORM=xcb " QY_APP_BINARY);
    const std::string find = env + "xdotool search --onlyvisible --classname qingyou-js 2>/dev/null";
    bool shown = Eventually([&] { return !Output(find).empty(); });
    bool hidden = false, back = false;
    if (shown) {
        std::system((env + "xdotool key alt+q").c_str());
        hidden = Eventually([&] { return Output(find).empty(); });
        std::system((env + "xdotool key alt+q").c_str());
        back = Eventually([&] { return !Output(find).empty(); });
    }
    Stop(app);
    Stop(xvfb);
    ASSERT_TRUE(shown);
    EXPECT_TRUE(hidden);
    EXPECT_TRUE(back);
}
