/** @file CliSupport.h
 * What the commands share: log lines written to a stream, a text standing in for the
 * editor, usage errors, and reading a script as the open dialog reads it.
 */
#pragma once

#include <iosfwd>
#include <optional>
#include <string>

#include "script/ScriptSession.h"

namespace qy::cli {

/// Log lines as the shell shows them: UTF-8, one line each (the log's CR LF becomes LF).
class StreamLog final : public script::LogSink {
public:
    explicit StreamLog(std::ostream& out) : m_out(out) {}
    void AppendLog(const std::string& ansiLine) override;

private:
    std::ostream& m_out;
};

/// The loaded text stands in for the editor; there is nothing to select in a shell.
class TextView final : public script::EditorView {
public:
    std::string Text() override { return m_text; }
    int64_t PositionFromLine(int64_t) override { return 0; }
    int64_t LineEndPosition(int64_t) override { return 0; }
    void SetSel(int64_t, int64_t) override {}
    bool FindText(int, const std::string&, int64_t&, int64_t&) override { return false; }
    std::string m_text;
};

/// Writes a usage error and returns the usage exit status.
int Usage(std::ostream& err, const std::string& message);

/// The environment variable that sets the largest script file a command reads, in MiB.
inline constexpr const char* kMaxFileVariable = "QINGYOU_MAX_FILE_MIB";
/// The largest script file a command reads (256 MiB unless the variable says otherwise).
size_t MaxFileBytes();

/// A script as the open dialog reads it ("-" is standard input): UTF-8 and BOM-marked
/// UTF-16 recognised, anything else taken as workbench bytes; a zero byte that ends the
/// text is said on standard error, as the log says it in the window. What cannot be
/// read (a folder, a file past MaxFileBytes, judged before reading where the size is
/// known) gives nothing, its reason already written to `err` as a usage error.
std::optional<std::string> ReadScript(const std::string& path, std::ostream& err);

/// Workbench text as the shell prints it: UTF-8 with LF line ends.
std::string ShellText(const std::string& ansi);

}  // namespace qy::cli
