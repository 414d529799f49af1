/** @file Watching.h
 * The eval and page commands' watch options: --hook NAME (repeatable) writes each call
 * of NAME to the log, --dump-dynamic DIR writes each piece of code the script made at
 * run time to a numbered file of DIR, --break-on-request TEXT and --break-on-cookie
 * [NAME] (repeatable) write a line for each request whose address holds TEXT and each
 * cookie written (of that name), with the value and the calling line; --trace FILE
 * writes every access of the page to FILE (JSON lines).
 */
#pragma once

#include <iosfwd>
#include <memory>
#include <optional>
#include <string>
#include <vector>

#include "script/ScriptSession.h"

namespace qy::debug {
class PageBreaks;
class ScriptWatch;
}

namespace qy::cli {

struct WatchOptions {
    std::vector<std::string> hooks;
    std::optional<std::string> dumpDir;
    std::vector<std::string> requestTexts;
    std::vector<std::string> cookieNames;  ///< "" for any cookie
    std::optional<std::string> traceFile;  ///< --trace FILE

    /// Takes `args[i]` (and its value) when it is a watch option. Sets `error` for one
    /// without its value. --break-on-cookie takes the next argument as its name unless
    /// it is an option or names an existing file.
    bool Take(const std::vector<std::string>& args, size_t& i, std::string& error);
};

/// The watch over one eval or page run; made before the host's fresh global.
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
    void MakeBreaks();

    WatchOptions m_options;
    script::LogSink& m_log;
    std::unique_ptr<debug::ScriptWatch> m_watch;
    std::unique_ptr<debug::PageBreaks> m_breaks;  ///< after the watch: it observes through it
};

}  // namespace qy::cli
