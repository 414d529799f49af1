/** @file PausedClock.h
 * The clock the scripts read (Date, and what the page builds on it: performance.now,
 * event times) leaves out the time spent paused in the debugger, so a script that
 * measures how long a stretch of its code took sees no pause and no stepping.
 */
#pragma once

#include <chrono>
#include <functional>

namespace qy::debug {

/// Makes the engine's clock the paused-free one (or the plain one again).
void UsePausedClock(bool on);
/// Adds a pause's length to the time left out.
void AddPausedTime(std::chrono::steady_clock::duration paused);
/// A fresh global starts at the true time again.
void ResetPausedTime();
/// The time left out so far, in milliseconds.
double PausedMilliseconds();

/// The clock both the scripts' time and the pauses are measured by: microseconds since
/// the epoch. Empty: the system's. (Tests let a minute pass without waiting for it.)
using ClockSource = std::function<double()>;
void SetClockSource(ClockSource source);
/// Now, by that clock, in microseconds.
double ClockNow();

}  // namespace qy::debug
