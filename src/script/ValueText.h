/** @file ValueText.h
 * The workbench's rules for writing values: numbers in "%.13g" with a three-digit
 * exponent, bools as 真/假, OLE dates in Chinese date form. Also the bridge between the
 * engine's dates (milliseconds since 1970, UTC) and OLE dates (days since 1899-12-30,
 * local time).
 */
#pragma once

#include <cstdint>
#include <string>

namespace qy::script {

/// "%.13g" with the exponent written with a sign and at least three digits (1e+020).
std::string NumberText(double d);
/// "真" or "假", as CP936 text.
std::string BoolText(bool b);
/// The date rule: clamped to 0100-01-01..9999-12-31, time rounded to the second,
/// "%d年%d月%d日" then the shortest of "%d时%d分%d秒", "%d时%d分", "%d时" or nothing.
std::string DateText(double oleDate);
/// JavaScript's own spelling of a number (Number.prototype.toString).
std::string JsNumberText(double d);

double OleDateFromJsTime(double msSinceEpochUtc);
/// NaN (an invalid date to the engine) for dates beyond the engine's range.
double JsTimeFromOleDate(double oleDate);

}  // namespace qy::script
