/** @file Wording.cpp
 * V8's words for the errors scripts read most. The engine formats every message it
 * throws from one table of patterns (with numbered arguments in any order); while a
 * persona global runs, the rows below hold V8's patterns and error types instead, and
 * the engine's own come back when it stops. The table lives in memory the loader made
 * read-only, so each switch opens its pages for the few writes and closes them again.
 */
#include <js/friend/ErrorMessages.h>
#include <sys/mman.h>
#include <unistd.h>

#include <cstdint>
#include <iterator>
#include <vector>

#include "persona/V8Persona.h"

namespace qy::persona {
namespace {

struct Row {
    unsigned number;
    const char* v8;
    int16_t type;  ///< V8's error type, or -1 to keep the engine's
};

// The argument numbers are the engine's: {0} is the property, {1}/{2} the value that
// has none, as the engine passes them. Every argument the engine passes must appear
// exactly once: the engine sizes the message by its arguments each used once, so a
// pattern that leaves one out overflows the message (V8's words that drop an argument
// are written by the exception watcher instead).
const Row kRows[] = {
    {JSMSG_PROPERTY_FAIL, "Cannot read properties of {1} (reading {0})", -1},
    {JSMSG_BAD_ARRAY_LENGTH, "Invalid array length", -1},
    {JSMSG_OVER_RECURSED, "Maximum call stack size exceeded", JSEXN_RANGEERR},
    {JSMSG_UNINITIALIZED_LEXICAL, "Cannot access '{0}' before initialization", -1},
    {JSMSG_UNDECLARED_VAR, "{0} is not defined", -1},
    {JSMSG_SYMBOL_TO_STRING, "Cannot convert a Symbol value to a string", -1},
    {JSMSG_SYMBOL_TO_NUMBER, "Cannot convert a Symbol value to a number", -1},
    {JSMSG_BIGINT_TO_NUMBER, "Cannot convert a BigInt value to a number", -1},
    {JSMSG_INVALID_DATE, "Invalid time value", -1},
    {JSMSG_JSON_CYCLIC_VALUE, "Converting circular structure to JSON", -1},
    {JSMSG_BAD_URI, "URI malformed", -1},
    {JSMSG_BAD_RADIX, "toString() radix argument must be between 2 and 36", -1},
    {JSMSG_EMPTY_ARRAY_REDUCE, "Reduce of empty array with no initial value", -1},
};

struct Saved {
    size_t row;
    JSErrorFormatString* entry;
    const char* format;
    int16_t type;
};

bool g_v8 = false;

std::vector<Saved>& Table() {
    static std::vector<Saved> saved = [] {
        std::vector<Saved> rows;
        for (size_t i = 0; i < std::size(kRows); ++i) {
            auto* entry = const_cast<JSErrorFormatString*>(js::GetErrorMessage(nullptr, kRows[i].number));
            if (entry) rows.push_back({i, entry, entry->format, entry->exnType});
        }
        return rows;
    }();
    return saved;
}

/// Makes the pages holding the table writable (or read-only again).
bool Protect(bool writable) {
    static const uintptr_t page = static_cast<uintptr_t>(sysconf(_SC_PAGESIZE));
    for (const Saved& s : Table()) {
        uintptr_t start = reinterpret_cast<uintptr_t>(s.entry) & ~(page - 1);
        uintptr_t end = reinterpret_cast<uintptr_t>(s.entry + 1);
        if (mprotect(reinterpret_cast<void*>(start), end - start, writable ? PROT_READ | PROT_WRITE : PROT_READ) != 0)
            return false;
    }
    return true;
}

void Switch(bool v8) {
    if (v8 == g_v8) return;
    if (!Protect(true)) {
        Protect(false);
        return;  // the engine's own words stay
    }
    std::vector<Saved>& table = Table();
    for (Saved& s : table) {
        const Row& r = kRows[s.row];
        s.entry->format = v8 ? r.v8 : s.format;
        s.entry->exnType = v8 && r.type >= 0 ? r.type : s.type;
    }
    Protect(false);
    g_v8 = v8;
}

/// Reads the arguments back out of `message` made from `pattern`; false when it does
/// not fit.
bool ReadArguments(const std::string& pattern, const std::string& message, std::string (&args)[10]) {
    size_t p = 0, m = 0;
    while (p < pattern.size()) {
        if (pattern[p] == '{' && p + 2 < pattern.size() && pattern[p + 2] == '}') {
            int index = pattern[p + 1] - '0';
            p += 3;
            size_t next = pattern.find('{', p);
            std::string literal = pattern.substr(p, next == std::string::npos ? std::string::npos : next - p);
            size_t end = literal.empty() ? message.size() : message.find(literal, m);
            if (end == std::string::npos || index < 0 || index > 9) return false;
            args[index] = message.substr(m, end - m);
            m = end;
            continue;
        }
        if (m >= message.size() || message[m] != pattern[p]) return false;
        ++p;
        ++m;
    }
    return m == message.size();
}

std::string Expand(const char* format, const std::string (&args)[10]) {
    std::string out;
    for (const char* c = format; *c; ++c) {
        if (c[0] == '{' && c[1] >= '0' && c[1] <= '9' && c[2] == '}') {
            out += args[c[1] - '0'];
            c += 2;
        } else {
            out += *c;
        }
    }
    return out;
}


}  // namespace

V8Wording::V8Wording(bool on) : m_previous(g_v8) { Switch(on); }
V8Wording::~V8Wording() { Switch(m_previous); }

bool V8WordingActive() { return g_v8; }

std::string EngineWording(unsigned errorNumber, const std::string& message, const std::u16string& /*sourceLine*/,
                          unsigned /*column*/) {
    for (const Saved& s : Table()) {
        const Row& r = kRows[s.row];
        if (r.number != errorNumber) continue;
        std::string args[10];
        if (!ReadArguments(r.v8, message, args)) return message;
        return Expand(s.format, args);
    }
    return message;
}

}  // namespace qy::persona
