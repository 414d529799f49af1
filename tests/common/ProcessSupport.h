/** @file ProcessSupport.h
 * For tests that run programs of their own (an X server, the workbench, xdotool):
 * whether a program is installed, what a command prints, and bounded waiting for a
 * condition (never a fixed sleep).
 */
#pragma once

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <thread>

namespace qy::test {

inline bool HaveProgram(const char* name) {
    return std::system((std::string("command -v ") + name + " >/dev/null 2>&1").c_str()) == 0;
}

inline std::string Output(const std::string& command) {
    std::string out;
    if (FILE* p = popen(command.c_str(), "r")) {
        char buf[256];
        while (fgets(buf, sizeof buf, p)) out += buf;
        pclose(p);
    }
    return out;
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

}  // namespace qy::test
