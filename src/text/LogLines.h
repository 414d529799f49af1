/** @file LogLines.h
 * Text that comes from a script on its way into the log. The log is read line by line,
 * and its own lines start with "-->": what a script writes stays on one line (each
 * line break shown as "↵") and carries a mark of its own, so that no script can write
 * a line that reads as the workbench's.
 */
#pragma once

#include <string>
#include <string_view>

namespace qy::text {

/// The mark that starts every line a script writes (console, Debug.write, alert…).
inline constexpr std::u16string_view kScriptLineMark = u"[脚本] ";

/// `text` on one line: CR LF, CR, LF, NEL, LS and PS each become "↵".
std::u16string OneLogLine(std::u16string_view text);
/// The same for UTF-8 text.
std::string OneLogLineUtf8(std::string_view utf8);

/// A line a script wrote, as the log shows it: the mark, then the text on one line.
std::u16string ScriptLogLine(std::u16string_view text);

}  // namespace qy::text
