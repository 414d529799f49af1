/** @file CNumbers.h
 * Numbers written and read as the workbench's rules mean them: with a full stop as the
 * decimal point, whatever locale the process runs in (Qt takes the user's locale from
 * the environment, and printf and strtod follow it: under German settings 0.3 would be
 * written "0,3" and "1.5" read as 1).
 */
#pragma once

#include <cstddef>
#include <string>

namespace qy::text {

/// printf's conversion of one double (e.g. "%.13g", "%.2f") in the C locale.
std::string FormatNumberC(const char* format, double value);

/// strtod's (and so atof's) reading of the start of `text` in the C locale; `consumed`
/// gets the number of characters read (0 when there is no number).
double ParseNumberC(const char* text, size_t* consumed = nullptr);

}  // namespace qy::text
