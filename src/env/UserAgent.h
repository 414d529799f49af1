/** @file UserAgent.h
 * The browser the environment shows (navigator.userAgent), for requests the workbench
 * makes on a page's behalf: a script fetched from a site is asked for as that browser
 * would ask for it.
 */
#pragma once

#include <string>

namespace qy::env {

/// The environment's user agent (ASCII), as its page objects report it.
std::string UserAgent();

}  // namespace qy::env
