/** @file ServeCommand.h
 * `qingyou-js serve`: the loaded scripts as a local HTTP service (see serve/Service.h),
 * until SIGTERM or Ctrl+C, which let the calls in flight finish. `serve --worker` is the
 * service's own engine worker and not for people.
 */
#pragma once

#include <iosfwd>
#include <string>
#include <vector>

namespace qy::cli {

int ServeCommand(const std::vector<std::string>& args, std::ostream& out, std::ostream& err);

}  // namespace qy::cli
