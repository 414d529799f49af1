/** @file InterfaceTable.h
 * The table of Web IDL facts the modern target's page interfaces are made from (one
 * interface a line; the format is described at the top of idl/interfaces.txt).
 */
#pragma once

#include <string_view>
#include <vector>

namespace qy::env {

/// The table as shipped (ASCII).
std::string_view InterfaceTableText();

/// The names of the interfaces in the table, in table order.
std::vector<std::string_view> InterfaceNames();

}  // namespace qy::env
