/** @file TraceFile.h
 * The commands' --trace FILE: every access the script makes of the page goes to FILE
 * as one JSON object per line, in order, while the command runs.
 */
#pragma once

#include <fstream>
#include <iosfwd>
#include <map>
#include <string>

namespace qy::cli {

class TraceFile {
public:
    /// Opens `path` (empty: no trace) and starts the trace; Ok() says whether it opened.
    explicit TraceFile(const std::string& path);
    /// Stops the trace.
    ~TraceFile();
    TraceFile(const TraceFile&) = delete;
    TraceFile& operator=(const TraceFile&) = delete;

    bool Ok() const { return m_path.empty() || m_out.is_open(); }
    /// The code added next (see script::UpcomingAddedCodeName) is the user's file
    /// `shown`: its accesses name that file.
    void NameNextAddedCode(const std::string& shown);
    /// The page's own scripts come from the page file `shown`: its inline and written
    /// scripts name it, its external ones their own address.
    void NamePage(const std::string& shown) { m_page = shown; }
    /// What an access made from the engine's `file` names as its file: the user's file,
    /// the page, the title of code made at run time, or "表达式" for an expression.
    std::string ShownFile(const std::string& file) const;
    /// Closes the file; false, said on `err`, when not everything was written.
    bool Finish(std::ostream& err);

private:
    std::string m_path;
    std::ofstream m_out;
    bool m_finished = false;
    std::map<std::string, std::string> m_added;  ///< the engine's names of added code → the user's files
    std::string m_page;
};

}  // namespace qy::cli
