/** @file InterfaceTable.cpp
 * The embedded table of Web IDL facts.
 */
#include "env/InterfaceTable.h"

#include "env/InterfaceTableText.h"

namespace qy::env {

std::string_view InterfaceTableText() { return idl::kTool_interfaces; }

std::vector<std::string_view> InterfaceNames() {
    std::vector<std::string_view> names;
    std::string_view text = InterfaceTableText();
    for (size_t start = 0; start < text.size();) {
        size_t end = text.find('\n', start);
        if (end == std::string_view::npos) end = text.size();
        std::string_view line = text.substr(start, end - start);
        if (!line.empty() && line[0] != '#') names.push_back(line.substr(0, line.find(' ')));
        start = end + 1;
    }
    return names;
}

}  // namespace qy::env
