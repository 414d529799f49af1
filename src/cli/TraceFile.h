/** @file TraceFile.h
 * The commands' --trace FILE: every access the script makes of the page goes to FILE
 * as one JSON object per line, in order, while the command runs.
 */
#pragma once

#include <fstream>
#include <iosfwd>
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
    /// Closes the file; false, said on `err`, when not everything was written.
    bool Finish(std::ostream& err);

private:
    std::string m_path;
    std::ofstream m_out;
    bool m_finished = false;
};

}  // namespace qy::cli
