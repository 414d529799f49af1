/** @file ErrorMapping.h
 * JScript's error codes and their Chinese texts, and the mapping from the engine's own
 * error reports to them. The Error object's Number is 0x800A0000 | code, read as a
 * signed 32-bit number.
 */
#pragma once

#include <js/ErrorReport.h>

#include <cstdint>
#include <string>

namespace qy::jscript {

namespace errors {
inline constexpr int kInvalidCall = 5;
inline constexpr int kOutOfMemory = 7;
inline constexpr int kOutOfStack = 28;
inline constexpr int kCannotCreateObject = 429;
inline constexpr int kNoSuchMember = 438;
inline constexpr int kUnsupportedAction = 445;
inline constexpr int kArgumentNotOptional = 449;
inline constexpr int kSyntax = 1002;
inline constexpr int kExpectedSemicolon = 1004;
inline constexpr int kExpectedParen = 1006;
inline constexpr int kExpectedBracket = 1007;
inline constexpr int kExpectedBrace = 1009;
inline constexpr int kExpectedIdentifier = 1010;
inline constexpr int kInvalidCharacter = 1014;
inline constexpr int kUnterminatedString = 1015;
inline constexpr int kUnterminatedComment = 1016;
inline constexpr int kReturnOutsideFunction = 1018;
inline constexpr int kGeneric = 5000;
inline constexpr int kNumberExpected = 5001;
inline constexpr int kFunctionExpected = 5002;
inline constexpr int kStringExpected = 5005;
inline constexpr int kDateExpected = 5006;
inline constexpr int kObjectExpected = 5007;
inline constexpr int kUndefinedIdentifier = 5009;
inline constexpr int kBooleanExpected = 5010;
inline constexpr int kRegExpExpected = 5016;
inline constexpr int kRegExpSyntax = 5017;
inline constexpr int kThrown = 5022;
inline constexpr int kUriToEncode = 5024;
inline constexpr int kUriToDecode = 5025;
inline constexpr int kFractionDigits = 5026;
inline constexpr int kPrecision = 5027;
inline constexpr int kArrayOrArguments = 5028;
inline constexpr int kRangeError = 5029;
inline constexpr int kStopped = 5200;

constexpr int32_t ToNumber(int code) { return static_cast<int32_t>(0x800A0000u | static_cast<uint32_t>(code)); }
}  // namespace errors

/// A JScript error code with its description.
struct MappedError {
    int code = 0;
    std::u16string description;
    /// JScript's kind of the error where it differs from the engine's; JSEXN_ERROR_LIMIT
    /// keeps the engine's.
    JSExnType kind = JSEXN_ERROR_LIMIT;
};

/// Code and description of a syntax error, from the engine's error number and message.
MappedError MapSyntaxError(unsigned errorNumber, const std::string& message);

/// Code and description of an error the engine raised while running.
/// `nameCalled`: the name an undeclared-name error names stands as the callee of a call.
MappedError MapRuntimeError(unsigned errorNumber, JSExnType type, const std::string& message,
                            bool nameCalled = false);

}  // namespace qy::jscript
