/** @file Collector.h
 * The profile collector: a snippet the user runs in the console of their own Chrome on
 * the site; it prints one JSON profile that the environment then answers with.
 */
#pragma once

#include <string_view>

namespace qy::page {

/// The snippet (UTF-8).
std::string_view CollectorScript();

}  // namespace qy::page
