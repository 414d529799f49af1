/** @file ErrorMapping.cpp
 * The engine speaks English and numbers its messages its own way; the workbench reports
 * JScript's codes and Chinese descriptions, as the Script Control would.
 */
#include "jscript/ErrorMapping.h"

#include <js/friend/ErrorMessages.h>

#include <optional>
#include <string>

#include "text/CodePage.h"

namespace qy::jscript {
namespace {

std::u16string U(const std::string& utf8) { return text::Utf8ToUtf16(utf8); }

bool StartsWith(const std::string& s, const char* prefix) { return s.rfind(prefix, 0) == 0; }
bool Contains(const std::string& s, const char* part) { return s.find(part) != std::string::npos; }

MappedError Make(int code, const std::string& description, JSExnType kind = JSEXN_ERROR_LIMIT) {
    return {code, U(description), kind};
}

/// Whether `expr.name` names a property of a literal that is there and is no function:
/// the length of a string literal, the flags, source and lastIndex of a regular
/// expression literal, a constant of Math. Calling one is "function expected", calling a
/// missing member "the object does not support it".
bool NamesDataProperty(const std::string& expr) {
    const size_t dot = expr.rfind('.');
    if (dot == std::string::npos || dot == 0) return false;
    const std::string base = expr.substr(0, dot), name = expr.substr(dot + 1);
    const char first = base.front(), last = base.back();
    if ((first == '"' || first == '\'') && last == first) return name == "length";
    if (first == '/' && base.size() > 1) {
        return name == "source" || name == "global" || name == "ignoreCase" || name == "multiline" ||
               name == "lastIndex";
    }
    if (base == "Math") {
        static const char* constants[] = {"E", "LN10", "LN2", "LOG2E", "LOG10E", "PI", "SQRT1_2", "SQRT2"};
        for (const char* c : constants)
            if (name == c) return true;
    }
    return false;
}

/// Reads the arguments of an engine message back out of it: `pattern` is the message's
/// English text with {0}, {1}, {2} where the arguments stood. False when it does not fit.
bool ReadArguments(const std::string& pattern, const std::string& msg, std::string (&args)[3]) {
    size_t p = 0, m = 0;
    while (p < pattern.size()) {
        if (pattern[p] == '{' && p + 2 < pattern.size() && pattern[p + 2] == '}') {
            const int index = pattern[p + 1] - '0';
            p += 3;
            // The argument runs up to where the literal text after it next begins.
            const size_t next = pattern.find('{', p);
            const std::string literal = pattern.substr(p, next == std::string::npos ? std::string::npos : next - p);
            const size_t end = literal.empty() ? msg.size() : msg.find(literal, m);
            if (end == std::string::npos || index < 0 || index > 2) return false;
            args[index] = msg.substr(m, end - m);
            m = end;
            continue;
        }
        if (m >= msg.size() || msg[m] != pattern[p]) return false;
        ++p;
        ++m;
    }
    return m == msg.size();
}

/// Errors of the language after the third edition, which only the modern target meets:
/// their descriptions in Chinese, the engine's arguments kept.
std::optional<MappedError> MapModernError(unsigned errorNumber, const std::string& msg) {
    struct Row { unsigned number; int code; const char* english; const char* chinese; };
    static const Row rows[] = {
        {JSMSG_UNDECLARED_VAR, errors::kUndefinedIdentifier, "assignment to undeclared variable {0}", "'{0}' 未定义"},
        {JSMSG_UNINITIALIZED_LEXICAL, errors::kUndefinedIdentifier,
         "can't access lexical declaration '{0}' before initialization", "'{0}' 在声明之前使用"},
        {JSMSG_BAD_CONST_ASSIGN, errors::kGeneric, "invalid assignment to const '{0}'", "不能给常量 '{0}' 赋值"},
        {JSMSG_READ_ONLY, errors::kGeneric, "{0} is read-only", "{0} 是只读的"},
        {JSMSG_CANT_DELETE, errors::kGeneric, "property {0} is non-configurable and can't be deleted",
         "属性 {0} 不可配置，不能删除"},
        {JSMSG_CANT_REDEFINE_PROP, errors::kGeneric, "can't redefine non-configurable property {0}",
         "不能重新定义不可配置的属性 {0}"},
        {JSMSG_CANT_DEFINE_PROP_OBJECT_NOT_EXTENSIBLE, errors::kGeneric, "can't define property {1}: {0} is not extensible",
         "不能定义属性 {1}：{0} 不可扩展"},
        {JSMSG_OBJECT_NOT_EXTENSIBLE, errors::kGeneric, "{0}: Object is not extensible", "{0}：对象不可扩展"},
        {JSMSG_NOT_ITERABLE, errors::kGeneric, "{0} is not iterable", "{0} 不可迭代"},
        {JSMSG_NOT_OBJORNULL, errors::kObjectExpected, "{0} is not an object or null", "{0} 不是对象或 null"},
        {JSMSG_JSON_BAD_PARSE, errors::kSyntax, "JSON.parse: {0} at line {1} column {2} of the JSON data",
         "JSON.parse：第 {1} 行第 {2} 列不是有效的 JSON（{0}）"},
        {JSMSG_JSON_CYCLIC_VALUE, errors::kGeneric, "cyclic object value", "对象含有循环引用，不能转换为 JSON"},
        {JSMSG_INVALID_DATE, errors::kRangeError, "invalid date", "无效的日期"},
        {JSMSG_NEGATIVE_REPETITION_COUNT, errors::kRangeError, "repeat count must be non-negative", "重复次数不能为负数"},
        {JSMSG_RESULTING_STRING_TOO_LARGE, errors::kRangeError,
         "repeat count must be less than infinity and not overflow maximum string size", "重复次数过大"},
        {JSMSG_CANT_CONVERT_TO, errors::kGeneric, "can't convert {0} to {1}", "不能把 {0} 转换为 {1}"},
        {JSMSG_SYMBOL_TO_STRING, errors::kGeneric, "can't convert symbol to string", "不能把 Symbol 转换为字符串"},
        {JSMSG_SYMBOL_TO_NUMBER, errors::kGeneric, "can't convert symbol to number", "不能把 Symbol 转换为数字"},
        {JSMSG_BIGINT_TO_NUMBER, errors::kGeneric, "can't convert BigInt to number", "不能把 BigInt 转换为数字"},
    };
    for (const Row& r : rows) {
        if (r.number != errorNumber) continue;
        std::string args[3];
        if (!ReadArguments(r.english, msg, args)) return std::nullopt;
        std::string text = r.chinese;
        for (int i = 0; i < 3; ++i) {
            const std::string mark = "{" + std::to_string(i) + "}";
            for (size_t at; (at = text.find(mark)) != std::string::npos;) text.replace(at, mark.size(), args[i]);
        }
        return Make(r.code, text);
    }
    return std::nullopt;
}

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

MappedError MapRuntimeError(unsigned errorNumber, JSExnType type, const std::string& msg, bool nameCalled) {
    // Reading an undeclared name is a TypeError; calling one lacks its object.
    if (errorNumber == JSMSG_NOT_DEFINED) {
        if (nameCalled) return Make(errors::kObjectExpected, "缺少对象", JSEXN_TYPEERR);
        std::string name = msg.substr(0, msg.find(" is not defined"));
        return Make(errors::kUndefinedIdentifier, "'" + name + "' 未定义", JSEXN_TYPEERR);
    }
    if (errorNumber == JSMSG_OVER_RECURSED) return Make(errors::kOutOfStack, "堆栈溢出", JSEXN_ERR);
    if (errorNumber == JSMSG_OUT_OF_MEMORY || errorNumber == JSMSG_ALLOC_OVERFLOW)
        return Make(errors::kOutOfMemory, "内存不足");
    // new null and new undefined lack their object; any other value that is no
    // constructor does not support the action.
    if (Contains(msg, " is not a constructor")) {
        const std::string expr = msg.substr(0, msg.find(" is not a constructor"));
        if (expr == "null" || expr == "undefined") return Make(errors::kObjectExpected, "缺少对象", JSEXN_TYPEERR);
        return Make(errors::kUnsupportedAction, "对象不支持此操作", JSEXN_TYPEERR);
    }
    if (Contains(msg, " is not a function")) {
        const std::string expr = msg.substr(0, msg.find(" is not a function"));
        bool member = expr.find('.') != std::string::npos || expr.find('[') != std::string::npos;
        if (member && !NamesDataProperty(expr))
            return Make(errors::kNoSuchMember, "对象不支持此属性或方法", JSEXN_TYPEERR);
        return Make(errors::kFunctionExpected, "缺少函数", JSEXN_TYPEERR);
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
    // A method of Object's called on null or undefined lacks its object.
    if (errorNumber == JSMSG_CANT_CONVERT_TO &&
        (StartsWith(msg, "can't convert null ") || StartsWith(msg, "can't convert undefined ")))
        return Make(errors::kObjectExpected, "缺少对象", JSEXN_TYPEERR);
    if (std::optional<MappedError> modern = MapModernError(errorNumber, msg)) return *modern;
    if (type == JSEXN_SYNTAXERR) return MapSyntaxError(errorNumber, msg);
    if (type == JSEXN_RANGEERR) return Make(errors::kRangeError, msg);
    if (type == JSEXN_TYPEERR) return Make(errors::kNoSuchMember, msg);
    if (type == JSEXN_REFERENCEERR) return Make(errors::kUndefinedIdentifier, msg);
    return Make(errors::kGeneric, msg);
}

}  // namespace qy::jscript
