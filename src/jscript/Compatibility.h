/** @file Compatibility.h
 * What the Script Control's JScript 5.8 would refuse in a script, found without running
 * it: every syntax error (reading on after each one) and every use of a built-in that
 * JScript 5.8 lacks.
 */
#pragma once

#include <cstdint>
#include <string>
#include <string_view>
#include <vector>

namespace qy::jscript {

struct Finding {
    uint32_t line = 0;    ///< from 1
    uint32_t column = 0;  ///< from 0, UTF-16 units
    int code = 0;         ///< JScript's error code for a syntax error, 0 for a built-in
    std::u16string text;  ///< Chinese
};

/// Syntax errors first come in the order they are met; after each one the gate reads
/// on from the next line. Built-ins are found by name in the code outside strings,
/// comments and regular expressions; a method name such as forEach is reported where
/// it is called, since an object of the script's own may have such a method.
std::vector<Finding> CheckForJScript(std::u16string_view source, size_t maxFindings = 200);

}  // namespace qy::jscript
