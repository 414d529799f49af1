/** @file BundleSplit.h
 * "unpack --split DIR FILE": eval解密 of a bundle, then one file per module in DIR.
 */
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace qy::cli {

/// args: unpack --split DIR FILE. Writes DIR/entry.js and DIR/module-ID.js (UTF-8, LF),
/// each with a first comment naming the module and what it loads, and lists them.
/// Nothing is written when FILE is no bundle, DIR cannot be written, or a file there
/// would be replaced that this command did not write.
int SplitBundleCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

/// The file name a module's id gets: "module-" and the id's letters, digits, "-", "_"
/// and "." (anything else, a path's "/" included, becomes "_"), ending in ".js".
std::string ModuleFileName(const std::string& id);

}  // namespace qy::cli
