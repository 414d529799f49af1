/** @file InterfaceTable.h
 * The table of Web IDL facts the modern target's page interfaces are made from (one
 * interface a line; the format is described at the top of idl/interfaces.txt).
 */
#pragma once

#include <string>
#include <string_view>
#include <vector>

namespace qy::env {

/// The table as shipped (ASCII).
std::string_view InterfaceTableText();

/// The names of the interfaces in the table, in table order.
std::vector<std::string_view> InterfaceNames();

/// What the table says of a name a page's window may have: an interface's line, for a
/// legacy factory (Image) "F Interface length", for another name of an interface object
/// (webkitURL) "A Interface"; empty for anything else.
std::string_view TableEntry(std::string_view name);

/// An interface's line of the table read once for the process, as JSON: {name, parent,
/// flags, length, constructible, factories, stringifier, statics, consts, members,
/// unforgeable}, each member {name, kind ("op", "attr", "const"), type, length, isStatic,
/// unforgeable, writable, promised (operations), value (constants)}; the generator's own
/// reading of a line gives the same. `brief` leaves out `members` (and a global
/// interface's `unforgeable`, its own members), which InterfaceMemberJson gives one at a
/// time. Empty when `name` is no interface of the table.
const std::string& InterfaceFactsJson(std::string_view name, bool brief = false);

/// One member of an interface's line, read.
struct TableMember {
    std::string name;
    char kind = 0;  ///< 'o' operation, 'a' attribute, 'c' constant
    std::string type = "a";  ///< an attribute's type letter(s)
    double length = 0;  ///< an operation's argument count (NaN where the line gives none)
    bool isStatic = false;
    bool unforgeable = false;
    bool writable = false;
    bool promised = false;  ///< an operation that returns a promise
    double value = 0;  ///< a constant's value (NaN where the line's text is no number)
};

/// An interface's line read once for the process: what InterfaceFactsJson gives, unencoded.
struct TableInterface {
    std::string name;
    std::string parent;  ///< empty for none
    std::vector<std::string> flags;  ///< the plain flags (G, X, N, h, I, iv, ip…)
    bool global = false, objectLess = false, constructible = false;
    double length = 0;
    std::vector<std::pair<std::string, double>> factories;
    bool hasStringifier = false;
    std::string stringifier;
    std::vector<TableMember> members, statics, consts, unforgeable;
};
/// Null when `name` is no interface of the table.
const TableInterface* InterfaceFacts(std::string_view name);

/// One member of an interface's prototype (for the global interface, one of its own
/// members) as JSON, as InterfaceFactsJson lists it; empty when it has none of the name.
const std::string& InterfaceMemberJson(std::string_view iface, std::string_view member);

/// True when `name` is one the window gives (an interface, an alias or factory, a
/// member of Window) or one added by AddWindowName.
bool IsWindowName(std::string_view name);
void AddWindowName(std::string_view name);

/// True when some interface of the table has a member named `name`.
bool IsMemberName(std::string_view name);

/// True when interface `iface` itself has a member `name` on its prototype (an
/// attribute or operation, not static, not unforgeable).
bool IsPrototypeMember(std::string_view iface, std::string_view name);

/// The window's enumerable members in the order Chrome lists them (idl/window_order.txt),
/// those the environment knows (IsWindowName) only.
const std::vector<std::string>& WindowMemberOrder();

/// Every name IsWindowName knows (for enumerations of the window).
const std::vector<std::string>& WindowNames();

}  // namespace qy::env
