// Compiled code kept between runs. The workbench's own scripts are large (the page
// objects alone are hundreds of kilobytes) and compiling them was most of what a process
// spent before its first line of the user's code: the engine's stencils are written to
// the cache the first time and read back (in a fraction of the time) by later processes.
// The cache is only ever a shortcut: an entry that is missing, damaged or made by another
// engine is passed over and the code compiled as before.
#pragma once

#include <js/experimental/JSStencil.h>
#include <jsapi.h>

#include <cstdint>
#include <functional>
#include <optional>
#include <string>
#include <string_view>

namespace qy::codecache {

/// A 64-bit hash of `bytes` (not for secrets: it names texts and checks entries),
/// continuing from `seed`.
uint64_t Hash(std::string_view bytes, uint64_t seed = 0xcbf29ce484222325ull);

/// The folder entries are kept in: $QY_CODE_CACHE when set (empty or "off": none), else
/// $XDG_CACHE_HOME/qingyou-js/code, else ~/.cache/qingyou-js/code; "" when there is none.
/// A folder that is not the user's own, or that others may write to, is not used (what
/// is read from it runs).
std::string Directory();
/// Overrides Directory() for this process (nullopt: back to the environment's).
void SetDirectory(std::optional<std::string> dir);

/// The stencil of a global script: read from the cache when an entry of this engine
/// exists for `textHash` (the script's text, hashed by the caller) compiled with `opts`
/// (and `fullParse`), else made by `compile` and written for the next process. Null
/// when `compile` fails (its exception, if any, left pending).
RefPtr<JS::Stencil> GlobalStencil(JSContext* cx, const JS::ReadOnlyCompileOptions& opts, bool fullParse,
                                  uint64_t textHash, const std::function<RefPtr<JS::Stencil>()>& compile);

/// The engine's own built-in scripts (its "self-hosted" code) as an earlier process of
/// this engine left them compiled, empty for none; for JS::InitSelfHostedCode, with
/// KeepSelfHostedCode as its writer. The engine checks what it reads and compiles the
/// scripts itself when it cannot use it. (The bytes live as long as the process.)
mozilla::Span<const uint8_t> SelfHostedCode();
/// Keeps the engine's compiled built-in scripts for the next process; never fails (a
/// write that does not succeed is passed over). Given to the engine only where there is
/// a folder (and after SelfHostedCode, which tells the engine what build writes).
bool KeepSelfHostedCode(JSContext* cx, mozilla::Span<const uint8_t> compiled);

/// An entry's bytes around `payload` (its header: mark, length and check sum).
std::string EntryBytes(std::string_view payload);

/// What the cache did since the last call (for tests and benchmarks).
struct Counts {
    int read = 0;      // entries decoded
    int compiled = 0;  // scripts compiled (no usable entry)
    int written = 0;   // entries written
    int refused = 0;   // entries found but passed over (damaged, another engine's)
};
Counts TakeCounts();

}  // namespace qy::codecache
