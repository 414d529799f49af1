#include "debug/PausedClock.h"

#include <js/Date.h>

#include <atomic>

namespace qy::debug {
namespace {

std::atomic<double> g_pausedMicroseconds{0};

double WithoutPauses(double microseconds, JSContext*) { return microseconds - g_pausedMicroseconds.load(); }

}  // namespace

void UsePausedClock(bool on) { JS::SetReduceMicrosecondTimePrecisionCallback(on ? WithoutPauses : nullptr); }

void AddPausedTime(std::chrono::steady_clock::duration paused) {
    double us = static_cast<double>(std::chrono::duration_cast<std::chrono::microseconds>(paused).count());
    if (us > 0) g_pausedMicroseconds.store(g_pausedMicroseconds.load() + us);
}

void ResetPausedTime() { g_pausedMicroseconds.store(0); }

double PausedMilliseconds() { return g_pausedMicroseconds.load() / 1000.0; }

}  // namespace qy::debug
