/** @file InterfaceTable.cpp
 * The embedded table of Web IDL facts.
 */
#include "env/InterfaceTable.h"

#include <algorithm>
#include <unordered_map>
#include <unordered_set>

#include "env/InterfaceTableText.h"

namespace qy::env {
namespace {

struct Index {
    std::unordered_map<std::string_view, std::string_view> lines;
    std::unordered_map<std::string, std::string> others;
    std::unordered_set<std::string> window;
    std::unordered_set<std::string_view> members;
    std::unordered_map<std::string_view, std::unordered_set<std::string_view>> protoMembers;
    std::vector<std::string> all;

    void AddName(const std::string& name) {
        if (window.insert(name).second) all.push_back(name);
    }
};

Index& TheIndex() {
    static Index index = [] {
        Index x;
        std::string_view text = InterfaceTableText();
        for (size_t start = 0; start < text.size();) {
            size_t end = text.find('\n', start);
            if (end == std::string_view::npos) end = text.size();
            std::string_view line = text.substr(start, end - start);
            start = end + 1;
            if (line.empty() || line[0] == '#') continue;
            size_t sp = line.find(' ');
            std::string_view name = line.substr(0, sp);
            x.lines[name] = line;
            size_t bar = line.find(" |");
            std::string_view head = line.substr(0, bar);
            // Name Parent Flags
            size_t flagsAt = head.rfind(' ');
            std::string_view flags = head.substr(flagsAt + 1);
            bool objectLess = false;
            for (size_t f = 0; f <= flags.size();) {
                size_t comma = flags.find(',', f);
                if (comma == std::string_view::npos) comma = flags.size();
                std::string_view flag = flags.substr(f, comma - f);
                if (flag == "X") objectLess = true;
                if (flag.size() > 1 && (flag[0] == 'F' || flag[0] == 'A')) {
                    size_t slash = flag.find('/');
                    std::string other(flag.substr(1, slash == std::string_view::npos ? std::string_view::npos : slash - 1));
                    x.others[other] = flag[0] == 'F' ? "F " + std::string(name) + " " + std::string(flag.substr(slash + 1))
                                                     : "A " + std::string(name);
                    x.AddName(other);
                }
                f = comma + 1;
            }
            if (!objectLess) x.AddName(std::string(name));
            if (bar != std::string_view::npos) {
                std::string_view all = line.substr(std::min(line.size(), bar + 3));
                for (size_t m = 0; m < all.size();) {
                    size_t space = all.find(' ', m);
                    if (space == std::string_view::npos) space = all.size();
                    std::string_view token = all.substr(m, space - m);
                    m = space + 1;
                    bool onPrototype = !token.empty() && token[0] != '!' && token[0] != '*';
                    while (!token.empty() && (token[0] == '!' || token[0] == '*')) token.remove_prefix(1);
                    size_t stop = token.find_first_of("/~=:");
                    x.members.insert(token.substr(0, stop));
                    if (onPrototype && stop != std::string_view::npos && token[stop] != ':')
                        x.protoMembers[name].insert(token.substr(0, stop));
                }
            }
            if (name == "Window" && bar != std::string_view::npos) {
                // The window's own members.
                std::string_view members = line.substr(bar + 2);
                for (size_t m = 0; m < members.size();) {
                    size_t space = members.find(' ', m);
                    if (space == std::string_view::npos) space = members.size();
                    std::string_view token = members.substr(m, space - m);
                    m = space + 1;
                    while (!token.empty() && (token[0] == '!' || token[0] == '*')) token.remove_prefix(1);
                    size_t stop = token.find_first_of("/~=:");
                    if (stop != std::string_view::npos && token[stop] != ':') x.AddName(std::string(token.substr(0, stop)));
                }
            }
        }
        return x;
    }();
    return index;
}

}  // namespace

std::string_view TableEntry(std::string_view name) {
    Index& x = TheIndex();
    if (auto it = x.lines.find(name); it != x.lines.end()) return it->second;
    if (auto it = x.others.find(std::string(name)); it != x.others.end()) return it->second;
    return {};
}

bool IsMemberName(std::string_view name) { return TheIndex().members.count(name) != 0; }

bool IsPrototypeMember(std::string_view iface, std::string_view name) {
    Index& x = TheIndex();
    auto it = x.protoMembers.find(iface);
    return it != x.protoMembers.end() && it->second.count(name) != 0;
}

bool IsWindowName(std::string_view name) { return TheIndex().window.count(std::string(name)) != 0; }

void AddWindowName(std::string_view name) { TheIndex().AddName(std::string(name)); }

const std::vector<std::string>& WindowNames() { return TheIndex().all; }

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
