/** @file ErrorMapping.cpp
 * The engine speaks English and numbers its messages its own way; the workbench reports
 * JScript's codes and Chinese descriptions, as the Script Control would.
 */
#include "jscript/ErrorMapping.h"

#include <js/friend/ErrorMessages.h>

#include "text/CodePage.h"

namespace qy::jscript {
namespace {

std::u16string U(const std::string& utf8) { return text::Utf8ToUtf16(utf8); }

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }
bool Contains(const std::string& s, const char* part) { return s.find(part) != std::string::npos; }

MappedError Make(int code, const std::string& description) { return {code, U(description)}; }

}  // namespace

MappedError MapSyntaxError(unsigned errorNumber, const std::string& msg) {
    if (errorNumber >= JSMSG_BAD_CLASS_RANGE && errorNumber <= JSMSG_INVALID_NAMED_CAPTURE_REF)
        return Make(errors::kRegExpSyntax, "正则表达式中的语法错误");
    struct Row { const char* prefix; int code; const char* description; };
    static const Row rows[] = {
        {"missing ; ", errors::kExpectedSemicolon, "缺少 ';'"},
        {"missing )", errors::kExpectedParen, "缺少 ')'"},
        {"missing ]", errors::kExpectedBracket, "缺少 ']'"},
        {"missing }", errors::kExpectedBrace, "缺少 '}'"},
        {"missing name", errors::kExpectedIdentifier, "缺少标识符"},
        {"missing variable name", errors::kExpectedIdentifier, "缺少标识符"},
        {"missing formal parameter", errors::kExpectedIdentifier, "缺少标识符"},
        {"illegal character", errors::kInvalidCharacter, "无效字符"},
        {"unterminated string", errors::kUnterminatedString, "未结束的字符串常量"},
        {"'' literal not terminated", errors::kUnterminatedString, "未结束的字符串常量"},
        {"\"\" literal not terminated", errors::kUnterminatedString, "未结束的字符串常量"},
        {"unexpected token: identifier", errors::kExpectedSemicolon, "缺少 ';'"},
        {"unexpected token: numeric literal", errors::kExpectedSemicolon, "缺少 ';'"},
        {"unexpected token: string literal", errors::kExpectedSemicolon, "缺少 ';'"},
        {"unterminated comment", errors::kUnterminatedComment, "未结束的注释"},
        {"return not in function", errors::kReturnOutsideFunction, "'return' 语句在函数之外"},
        {"unterminated regular expression", errors::kRegExpSyntax, "正则表达式中的语法错误"},
        {"invalid regular expression", errors::kRegExpSyntax, "正则表达式中的语法错误"},
        {"nothing to repeat", errors::kRegExpSyntax, "正则表达式中的语法错误"},
        {"invalid range in character class", errors::kRegExpSyntax, "正则表达式中的语法错误"},
        {"unmatched ) in regular expression", errors::kRegExpSyntax, "正则表达式中的语法错误"},
    };
    for (const Row& r : rows)
        if (StartsWith(msg, r.prefix)) return Make(r.code, r.description);
    return Make(errors::kSyntax, "语法错误");
}

MappedError MapRuntimeError(unsigned errorNumber, JSExnType type, const std::string& msg) {
    if (errorNumber == JSMSG_NOT_DEFINED) {
        std::string name = msg.substr(0, msg.find(" is not defined"));
        return Make(errors::kUndefinedIdentifier, "'" + name + "' 未定义");
    }
    if (errorNumber == JSMSG_OVER_RECURSED) return Make(errors::kOutOfStack, "堆栈溢出");
    if (errorNumber == JSMSG_OUT_OF_MEMORY || errorNumber == JSMSG_ALLOC_OVERFLOW)
        return Make(errors::kOutOfMemory, "内存不足");
    if (Contains(msg, " is not a function") || Contains(msg, " is not a constructor")) {
        bool member = msg.find('.') < msg.find(" is not a") || msg.find('[') < msg.find(" is not a");
        if (member) return Make(errors::kNoSuchMember, "对象不支持此属性或方法");
        return Make(errors::kFunctionExpected, "缺少函数");
    }
    switch (errorNumber) {
    case JSMSG_IN_NOT_OBJECT: return Make(errors::kObjectExpected, "缺少对象");
    case JSMSG_BAD_INSTANCEOF_RHS: return Make(errors::kFunctionExpected, "缺少函数");
    case JSMSG_BAD_ARRAY_LENGTH: return Make(errors::kRangeError, "数组长度必须是有限正整数");
    case JSMSG_PRECISION_RANGE: return Make(errors::kFractionDigits, "小数位数超出了范围");
    case JSMSG_BAD_RADIX: return Make(errors::kInvalidCall, "无效的过程调用或参数");
    case JSMSG_BAD_URI: return Make(errors::kUriToDecode, "待解码的 URI 不是有效的编码");
    case JSMSG_BAD_APPLY_ARGS: return Make(errors::kArrayOrArguments, "缺少 Array 或 arguments 对象");
    case JSMSG_INCOMPATIBLE_PROTO:
    case JSMSG_INCOMPATIBLE_PROTO2:
    case JSMSG_INCOMPATIBLE_METHOD: {
        // A built-in method called on a value of the wrong kind: JScript names the kind
        // it wanted.
        struct Wanted { const char* prefix; int code; const char* description; };
        static const Wanted wanted[] = {
            {"Date.", errors::kDateExpected, "缺少日期对象"},
            {"Number.", errors::kNumberExpected, "缺少数字"},
            {"String.", errors::kStringExpected, "缺少字符串"},
            {"Boolean.", errors::kBooleanExpected, "缺少 Boolean 对象"},
            {"Function.", errors::kFunctionExpected, "缺少函数"},
            {"RegExp.", errors::kRegExpExpected, "缺少正则表达式对象"},
            {"exec ", errors::kRegExpExpected, "缺少正则表达式对象"},
            {"test ", errors::kRegExpExpected, "缺少正则表达式对象"},
            {"compile ", errors::kRegExpExpected, "缺少正则表达式对象"},
        };
        for (const Wanted& w : wanted)
            if (StartsWith(msg, w.prefix)) return Make(w.code, w.description);
        return Make(errors::kNoSuchMember, "对象不支持此属性或方法");
    }
    default: break;
    }
    if (errorNumber == JSMSG_UNEXPECTED_TYPE || errorNumber == JSMSG_PROPERTY_FAIL ||
        errorNumber == JSMSG_PROPERTY_FAIL_EXPR || Contains(msg, "has no properties"))
        return Make(errors::kObjectExpected, "缺少对象");
    if (type == JSEXN_SYNTAXERR) return MapSyntaxError(errorNumber, msg);
    if (type == JSEXN_RANGEERR) return Make(errors::kRangeError, msg);
    if (type == JSEXN_TYPEERR) return Make(errors::kNoSuchMember, msg);
    if (type == JSEXN_REFERENCEERR) return Make(errors::kUndefinedIdentifier, msg);
    return Make(errors::kGeneric, msg);
}

}  // namespace qy::jscript
