#include "debug/PausedClock.h"

#include <js/Date.h>

#include <atomic>

namespace qy::debug {
namespace {

std::atomic<double> g_pausedMicroseconds{0};
ClockSource g_source;

double WithoutPauses(double microseconds, JSContext*) {
    return (g_source ? g_source() : microseconds) - g_pausedMicroseconds.load();
}

}  // namespace

void UsePausedClock(bool on) { JS::SetReduceMicrosecondTimePrecisionCallback(on ? WithoutPauses : nullptr); }

void AddPausedTime(std::chrono::steady_clock::duration paused) {
    double us = static_cast<double>(std::chrono::duration_cast<std::chrono::microseconds>(paused).count());
    if (us > 0) g_pausedMicroseconds.store(g_pausedMicroseconds.load() + us);
}

void SetClockSource(ClockSource source) { g_source = std::move(source); }

double ClockNow() {
    if (g_source) return g_source();
    using namespace std::chrono;
    return static_cast<double>(duration_cast<microseconds>(system_clock::now().time_since_epoch()).count());
}

void ResetPausedTime() { g_pausedMicroseconds.store(0); }

double PausedMilliseconds() { return g_pausedMicroseconds.load() / 1000.0; }

}  // namespace qy::debug
