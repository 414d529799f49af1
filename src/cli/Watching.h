/** @file Watching.h
 * The eval command's watch options: --hook NAME (repeatable) writes each call of NAME to
 * the log, --dump-dynamic DIR writes each piece of code the script made at run time to
 * a numbered file of DIR, --trace FILE writes every access of the page to FILE (JSON lines).
 */
#pragma once

#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "script/ScriptSession.h"

namespace qy::debug {
class ScriptWatch;
}

namespace qy::cli {

struct WatchOptions {
    std::vector<std::string> hooks;
    std::optional<std::string> dumpDir;
    std::optional<std::string> traceFile;  ///< --trace FILE

    /// Takes `args[i]` (and its value) when it is a watch option. Sets `error` for one
    /// without its value.
    bool Take(const std::vector<std::string>& args, size_t& i, std::string& error);
};

/// The watch over one eval run; made before the host's fresh global.
class CliWatch {
public:
    CliWatch(const WatchOptions& options, script::LogSink& log);
    ~CliWatch();
    CliWatch(const CliWatch&) = delete;
    CliWatch& operator=(const CliWatch&) = delete;

    /// Writes the dynamic sources kept (when asked to); false, said on `err`, when the
    /// folder cannot be written.
    bool Finish(std::ostream& err);

private:
    WatchOptions m_options;
    script::LogSink& m_log;
    std::unique_ptr<debug::ScriptWatch> m_watch;
};

}  // namespace qy::cli
