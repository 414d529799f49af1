/** @file InterfaceTable.cpp
 * The embedded table of Web IDL facts.
 */
#include "env/InterfaceTable.h"

#include <algorithm>
#include <cmath>
#include <cstdio>
#include <cstdlib>
#include <mutex>
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
            bool objectLess = false, workerOnly = false;
            for (size_t f = 0; f <= flags.size();) {
                size_t comma = flags.find(',', f);
                if (comma == std::string_view::npos) comma = flags.size();
                std::string_view flag = flags.substr(f, comma - f);
                if (flag == "X") objectLess = true;
                if (flag == "W") workerOnly = true;
                if (flag.size() > 1 && (flag[0] == 'F' || flag[0] == 'A')) {
                    size_t slash = flag.find('/');
                    std::string other(flag.substr(1, slash == std::string_view::npos ? std::string_view::npos : slash - 1));
                    x.others[other] = flag[0] == 'F' ? "F " + std::string(name) + " " + std::string(flag.substr(slash + 1))
                                                     : "A " + std::string(name);
                    x.AddName(other);
                }
                f = comma + 1;
            }
            if (!objectLess) {
                // (a worker's interfaces are no names of the window)
                if (!workerOnly) x.AddName(std::string(name));
                x.protoMembers[name].insert("constructor");
                x.members.insert("constructor");
            }
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
                    // (A constant is on the prototype as well as the constructor.)
                    if (onPrototype && stop != std::string_view::npos) x.protoMembers[name].insert(token.substr(0, stop));
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

void AppendJsonString(std::string& out, std::string_view s) {
    out += '"';
    for (char c : s) {
        if (c == '"' || c == '\\') out += '\\';
        if (static_cast<unsigned char>(c) < 0x20) continue;
        out += c;
    }
    out += '"';
}

std::vector<std::string_view> Split(std::string_view s, char by) {
    std::vector<std::string_view> parts;
    for (size_t at = 0;;) {
        size_t next = s.find(by, at);
        parts.push_back(s.substr(at, next == std::string_view::npos ? std::string_view::npos : next - at));
        if (next == std::string_view::npos) return parts;
        at = next + 1;
    }
}

/// A number as the script's Number() reads the table's text (decimal or 0x…).
std::string NumberText(std::string_view s) {
    std::string text(s);
    char* end = nullptr;
    double v = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')
                   ? static_cast<double>(std::strtoull(text.c_str() + 2, &end, 16))
                   : std::strtod(text.c_str(), &end);
    if (text.empty() || !end || *end != '\0') return "null";
    char buffer[32];
    std::snprintf(buffer, sizeof buffer, "%.17g", v);
    return buffer;
}

/// The leading digits of `s` as a number (parseInt's reading), 0 for none.
std::string LeadingInteger(std::string_view s) {
    size_t n = 0;
    while (n < s.size() && s[n] >= '0' && s[n] <= '9') ++n;
    return n ? std::string(s.substr(0, n)) : "null";
}

/// An interface's line read once: its facts as JSON in two forms, and each member alone.
struct ReadLine {
    std::string full;   ///< every member listed
    std::string brief;  ///< members (and a global's own members) left out: asked one by one
    std::unordered_map<std::string, std::string> members;  ///< prototype member (or a global's own) → JSON
};

ReadLine ReadFactsLine(std::string_view name, std::string_view text) {
    ReadLine read;
    size_t bar = text.find(" |");
    std::vector<std::string_view> head = Split(text.substr(0, bar), ' ');
    if (head.size() < 3 || bar == std::string_view::npos) return read;
    std::string flags, factories, stringifier = "null", length = "0";
    bool constructible = false, global = false;
    for (std::string_view flag : Split(head[2], ',')) {
        if (flag == "-" || flag.empty()) continue;
        if (flag[0] == 'c') {
            constructible = true;
            length = NumberText(flag.substr(1));
        } else if (flag[0] == 'F') {
            std::vector<std::string_view> p = Split(flag.substr(1), '/');
            factories += factories.empty() ? "" : ",";
            factories += "{\"name\":";
            AppendJsonString(factories, p[0]);
            factories += ",\"length\":" + (p.size() > 1 ? NumberText(p[1]) : std::string("null")) + "}";
        } else if (flag[0] == 'S') {
            stringifier.clear();
            AppendJsonString(stringifier, flag.substr(1));
        } else {
            global = global || flag == "G";
            flags += flags.empty() ? "" : ",";
            AppendJsonString(flags, flag);
            flags += ":true";
        }
    }
    std::string lists[4];  // members, statics, consts, unforgeable
    for (std::string_view t : Split(text.substr(std::min(text.size(), bar + 3)), ' ')) {
        if (t.empty()) continue;
        bool isStatic = false, unforgeable = false, writable = false;
        while (!t.empty() && (t[0] == '*' || t[0] == '!')) {
            (t[0] == '*' ? isStatic : unforgeable) = true;
            t.remove_prefix(1);
        }
        std::string m, kind, type = "a", memberLength = "0", extra;
        size_t at;
        if ((at = t.find('/')) != std::string_view::npos && at > 0) {
            kind = "op";
            m = t.substr(0, at);
            memberLength = LeadingInteger(t.substr(at + 1));
            extra = std::string(",\"promised\":") + (t.back() == 'p' ? "true" : "false");
        } else if ((at = t.find(':')) != std::string_view::npos && at > 0) {
            kind = "const";
            m = t.substr(0, at);
            extra = ",\"value\":" + NumberText(t.substr(at + 1));
        } else if ((at = t.find_first_of("~=")) != std::string_view::npos && at > 0) {
            kind = "attr";
            m = t.substr(0, at);
            writable = t[at] == '=';
            type = t.substr(at + 1);
        } else {
            continue;
        }
        std::string json = "{\"name\":";
        AppendJsonString(json, m);
        json += ",\"kind\":\"" + kind + "\",\"type\":";
        AppendJsonString(json, type);
        json += ",\"length\":" + memberLength + ",\"isStatic\":" + (isStatic ? "true" : "false") +
                ",\"unforgeable\":" + (unforgeable ? "true" : "false") + ",\"writable\":" + (writable ? "true" : "false") +
                extra + "}";
        size_t list = kind == "const" ? 2 : isStatic ? 1 : unforgeable || global ? 3 : 0;
        // As in the script's reading, the last of a name is the one a lookup finds.
        if (list == 0 || (list == 3 && global)) read.members.insert_or_assign(m, json);
        lists[list] += lists[list].empty() ? "" : ",";
        lists[list] += json;
    }
    std::string start = "{\"name\":";
    AppendJsonString(start, name);
    start += ",\"parent\":";
    if (head[1] == "-") start += "null";
    else AppendJsonString(start, head[1]);
    start += ",\"flags\":{" + flags + "},\"length\":" + length + ",\"constructible\":" +
             (constructible ? "true" : "false") + ",\"factories\":[" + factories + "],\"stringifier\":" + stringifier +
             ",\"statics\":[" + lists[1] + "],\"consts\":[" + lists[2] + "]";
    read.full = start + ",\"members\":[" + lists[0] + "],\"unforgeable\":[" + lists[3] + "]}";
    read.brief = start + (global ? "}" : ",\"unforgeable\":[" + lists[3] + "]}");
    return read;
}

/// The lines read so far (the same for every page of the process).
const ReadLine* ReadFacts(std::string_view name) {
    static std::mutex lock;
    static std::unordered_map<std::string, ReadLine> read;
    std::lock_guard<std::mutex> hold(lock);
    auto it = read.find(std::string(name));
    if (it != read.end()) return it->second.full.empty() ? nullptr : &it->second;
    Index& x = TheIndex();
    auto line = x.lines.find(name);
    ReadLine made = line == x.lines.end() ? ReadLine() : ReadFactsLine(name, line->second);
    ReadLine& kept = read.emplace(std::string(name), std::move(made)).first->second;
    return kept.full.empty() ? nullptr : &kept;
}

/// A number as the script's Number() reads the table's text; NaN where the JSON form has null.
double NumberOf(std::string_view s) {
    std::string text(s);
    char* end = nullptr;
    double v = text.size() > 2 && text[0] == '0' && (text[1] == 'x' || text[1] == 'X')
                   ? static_cast<double>(std::strtoull(text.c_str() + 2, &end, 16))
                   : std::strtod(text.c_str(), &end);
    return text.empty() || !end || *end != '\0' ? std::nan("") : v;
}

/// The line read as ReadFactsLine reads it, into its parts.
TableInterface ParseInterface(std::string_view name, std::string_view text) {
    TableInterface f;
    size_t bar = text.find(" |");
    std::vector<std::string_view> head = Split(text.substr(0, bar), ' ');
    if (head.size() < 3 || bar == std::string_view::npos) return f;
    f.name = name;
    if (head[1] != "-") f.parent = head[1];
    for (std::string_view flag : Split(head[2], ',')) {
        if (flag == "-" || flag.empty()) continue;
        if (flag[0] == 'c') {
            f.constructible = true;
            f.length = NumberOf(flag.substr(1));
        } else if (flag[0] == 'F') {
            std::vector<std::string_view> p = Split(flag.substr(1), '/');
            f.factories.emplace_back(std::string(p[0]), p.size() > 1 ? NumberOf(p[1]) : std::nan(""));
        } else if (flag[0] == 'S') {
            f.hasStringifier = true;
            f.stringifier = flag.substr(1);
        } else {
            f.global = f.global || flag == "G";
            f.objectLess = f.objectLess || flag == "X";
            f.flags.emplace_back(flag);
        }
    }
    for (std::string_view t : Split(text.substr(std::min(text.size(), bar + 3)), ' ')) {
        if (t.empty()) continue;
        TableMember m;
        while (!t.empty() && (t[0] == '*' || t[0] == '!')) {
            (t[0] == '*' ? m.isStatic : m.unforgeable) = true;
            t.remove_prefix(1);
        }
        size_t at;
        if ((at = t.find('/')) != std::string_view::npos && at > 0) {
            m.kind = 'o';
            m.name = t.substr(0, at);
            std::string digits = LeadingInteger(t.substr(at + 1));
            m.length = digits == "null" ? std::nan("") : std::strtod(digits.c_str(), nullptr);
            m.promised = t.back() == 'p';
        } else if ((at = t.find(':')) != std::string_view::npos && at > 0) {
            m.kind = 'c';
            m.name = t.substr(0, at);
            m.value = NumberOf(t.substr(at + 1));
        } else if ((at = t.find_first_of("~=")) != std::string_view::npos && at > 0) {
            m.kind = 'a';
            m.name = t.substr(0, at);
            m.writable = t[at] == '=';
            m.type = t.substr(at + 1);
        } else {
            continue;
        }
        std::vector<TableMember>& list = m.kind == 'c' ? f.consts
                                         : m.isStatic  ? f.statics
                                         : m.unforgeable || f.global ? f.unforgeable
                                                                     : f.members;
        list.push_back(std::move(m));
    }
    return f;
}

}  // namespace

const std::string& InterfaceFactsJson(std::string_view name, bool brief) {
    static const std::string none;
    const ReadLine* read = ReadFacts(name);
    return !read ? none : brief ? read->brief : read->full;
}

const std::string& InterfaceMemberJson(std::string_view iface, std::string_view member) {
    static const std::string none;
    const ReadLine* read = ReadFacts(iface);
    if (!read) return none;
    auto it = read->members.find(std::string(member));
    return it == read->members.end() ? none : it->second;
}

const TableInterface* InterfaceFacts(std::string_view name) {
    static std::mutex lock;
    static std::unordered_map<std::string, TableInterface> read;
    std::lock_guard<std::mutex> hold(lock);
    auto it = read.find(std::string(name));
    if (it == read.end()) {
        Index& x = TheIndex();
        auto line = x.lines.find(name);
        it = read.emplace(std::string(name), line == x.lines.end() ? TableInterface() : ParseInterface(name, line->second)).first;
    }
    return it->second.name.empty() ? nullptr : &it->second;
}

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

const std::vector<std::string>& WindowMemberOrder() {
    static const std::vector<std::string> order = [] {
        std::vector<std::string> out;
        std::string_view text = idl::kTool_window_order;
        for (size_t start = 0; start < text.size();) {
            size_t end = text.find('\n', start);
            if (end == std::string_view::npos) end = text.size();
            std::string_view line = text.substr(start, end - start);
            start = end + 1;
            if (line.empty() || line[0] == '#') continue;
            for (size_t at = 0; at < line.size();) {
                size_t space = line.find(' ', at);
                if (space == std::string_view::npos) space = line.size();
                std::string_view name = line.substr(at, space - at);
                at = space + 1;
                if (!name.empty() && IsWindowName(name)) out.emplace_back(name);
            }
        }
        return out;
    }();
    return order;
}

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
