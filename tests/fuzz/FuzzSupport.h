/** @file FuzzSupport.h
 * What the libFuzzer harnesses share: a property check that ends the run (so libFuzzer
 * keeps the input that broke it) and the views of the fuzzer's bytes the code reads.
 */
#pragma once

#include <cstddef>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <string>
#include <string_view>

/// Fails the input when `cond` does not hold, naming the property and where it is. It
/// traps rather than calling abort(), which the engine's library takes over.
#define QY_FUZZ_CHECK(cond)                                                                   \
    do {                                                                                      \
        if (!(cond)) {                                                                        \
            std::fprintf(stderr, "%s:%d: property broken: %s\n", __FILE__, __LINE__, #cond); \
            __builtin_trap();                                                                 \
        }                                                                                     \
    } while (0)

namespace qy::fuzz {

inline std::string_view Bytes(const uint8_t* data, size_t size) {
    return {reinterpret_cast<const char*>(data), size};
}

/// The bytes as UTF-16 code units, little-endian pairs; an odd last byte is left out.
inline std::u16string Units(const uint8_t* data, size_t size) {
    std::u16string wide;
    wide.reserve(size / 2);
    for (size_t i = 0; i + 1 < size; i += 2) wide.push_back(static_cast<char16_t>(data[i] | data[i + 1] << 8));
    return wide;
}

}  // namespace qy::fuzz
