/** @file PageCommand.h
 * The `page` command: a whole HTML page loaded as the browser environment builds it,
 * then expressions evaluated against it.
 */
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace qy::cli {

int PageCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace qy::cli
