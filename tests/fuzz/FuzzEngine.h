/** @file FuzzEngine.h
 * For the harnesses that run scripts: the engine is started once, before the first
 * input, and shut down when the fuzzer ends the process, before the engine library's
 * own static objects go (they must not outlive a running engine).
 */
#pragma once

#include <cstdio>
#include <cstdlib>

#include "script/Engine.h"

namespace qy::fuzz {

inline void StartEngineForRun() {
    if (!script::StartEngine()) {
        std::fprintf(stderr, "the engine did not start\n");
        std::_Exit(2);
    }
    // Registered after the library's static objects were made, so it runs before they
    // are destroyed, and before any script object a harness makes later (those are
    // destroyed first).
    std::atexit([] { script::StopEngine(); });
}

}  // namespace qy::fuzz
