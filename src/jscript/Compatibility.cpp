#include "jscript/Compatibility.h"

#include <algorithm>
#include <unordered_set>

#include "jscript/SourceGate.h"
#include "text/CodePage.h"

namespace qy::jscript {
namespace {

std::u16string U(const char* utf8) { return text::Utf8ToUtf16(utf8); }

bool IsLineBreak(char16_t c) { return c == u'\n' || c == u'\r' || c == 0x2028 || c == 0x2029; }
bool IsIdentStart(char16_t c) { return (c >= u'a' && c <= u'z') || (c >= u'A' && c <= u'Z') || c == u'_' || c == u'$' || c > 0x7F; }
bool IsIdentPart(char16_t c) { return IsIdentStart(c) || (c >= u'0' && c <= u'9'); }

/// Blanks line `line` (from 1) of `text`, keeping its line break, so the gate reads on.
bool BlankLine(std::u16string& text, uint32_t line) {
    size_t pos = 0;
    for (uint32_t l = 1; l < line; ++l) {
        while (pos < text.size() && !IsLineBreak(text[pos])) ++pos;
        if (pos == text.size()) return false;
        if (text[pos] == u'\r' && pos + 1 < text.size() && text[pos + 1] == u'\n') ++pos;
        ++pos;
    }
    bool changed = false;
    for (; pos < text.size() && !IsLineBreak(text[pos]); ++pos) {
        changed = changed || text[pos] != u' ';
        text[pos] = u' ';
    }
    return changed;
}

const std::unordered_set<std::u16string>& MissingGlobals() {
    static const std::unordered_set<std::u16string> names = {
        u"JSON", u"Promise", u"Map", u"Set", u"WeakMap", u"WeakSet", u"WeakRef", u"FinalizationRegistry",
        u"Symbol", u"Proxy", u"Reflect", u"globalThis", u"ArrayBuffer", u"SharedArrayBuffer", u"DataView",
        u"Int8Array", u"Uint8Array", u"Uint8ClampedArray", u"Int16Array", u"Uint16Array", u"Int32Array",
        u"Uint32Array", u"Float32Array", u"Float64Array", u"BigInt", u"BigInt64Array", u"BigUint64Array",
        u"Intl", u"Atomics", u"console", u"AggregateError"};
    return names;
}

/// Members of constructors that JScript 5.8 lacks, as "Object.keys".
const std::unordered_set<std::u16string>& MissingStatics() {
    static const std::unordered_set<std::u16string> names = {
        u"Object.keys", u"Object.create", u"Object.defineProperty", u"Object.defineProperties",
        u"Object.getPrototypeOf", u"Object.setPrototypeOf", u"Object.getOwnPropertyNames",
        u"Object.getOwnPropertyDescriptor", u"Object.getOwnPropertyDescriptors", u"Object.freeze", u"Object.seal",
        u"Object.preventExtensions", u"Object.isFrozen", u"Object.isSealed", u"Object.isExtensible",
        u"Object.assign", u"Object.entries", u"Object.values", u"Object.fromEntries", u"Object.is",
        u"Array.isArray", u"Array.from", u"Array.of", u"Date.now", u"String.fromCodePoint", u"String.raw",
        u"Number.isNaN", u"Number.isFinite", u"Number.isInteger", u"Number.isSafeInteger", u"Number.parseInt",
        u"Number.parseFloat", u"Math.trunc", u"Math.sign", u"Math.cbrt", u"Math.log2", u"Math.log10",
        u"Math.hypot", u"Math.imul", u"Math.clz32", u"Math.fround", u"Math.expm1", u"Math.log1p", u"Math.sinh",
        u"Math.cosh", u"Math.tanh", u"Math.asinh", u"Math.acosh", u"Math.atanh"};
    return names;
}

/// Methods of built-in prototypes that JScript 5.8 lacks (reported where called).
const std::unordered_set<std::u16string>& MissingMethods() {
    static const std::unordered_set<std::u16string> names = {
        u"forEach", u"map", u"filter", u"some", u"every", u"reduce", u"reduceRight", u"find", u"findIndex",
        u"includes", u"fill", u"flat", u"flatMap", u"copyWithin", u"trim", u"trimStart", u"trimEnd", u"trimLeft",
        u"trimRight", u"startsWith", u"endsWith", u"repeat", u"padStart", u"padEnd", u"codePointAt", u"normalize",
        u"matchAll", u"replaceAll", u"bind", u"toISOString", u"toJSON"};
    return names;
}

/// Walks the code outside comments, strings and regular expressions and reports the
/// built-ins JScript 5.8 lacks.
void ScanBuiltins(std::u16string_view s, std::vector<Finding>& out, size_t max) {
    uint32_t line = 1;
    size_t lineStart = 0;
    // Whether a '/' here starts a regular expression: after an operator or punctuator.
    bool regexAllowed = true;
    std::u16string previousWord;
    auto note = [&](size_t at, std::u16string text) {
        if (out.size() < max) out.push_back({line, static_cast<uint32_t>(at - lineStart), 0, std::move(text)});
    };
    for (size_t i = 0; i < s.size();) {
        char16_t c = s[i];
        if (IsLineBreak(c)) {
            if (c == u'\r' && i + 1 < s.size() && s[i + 1] == u'\n') ++i;
            ++i;
            ++line;
            lineStart = i;
            continue;
        }
        if (c == u' ' || c == u'\t' || c == 0xA0 || c == 0xFEFF || c == u'\v' || c == u'\f') {
            ++i;
            continue;
        }
        if (c == u'/' && i + 1 < s.size() && s[i + 1] == u'/') {
            while (i < s.size() && !IsLineBreak(s[i])) ++i;
            continue;
        }
        if (c == u'/' && i + 1 < s.size() && s[i + 1] == u'*') {
            i += 2;
            while (i + 1 < s.size() && !(s[i] == u'*' && s[i + 1] == u'/')) {
                if (IsLineBreak(s[i])) {
                    if (s[i] == u'\r' && s[i + 1] == u'\n') ++i;
                    ++line;
                    lineStart = i + 1;
                }
                ++i;
            }
            i += 2;
            continue;
        }
        if (c == u'"' || c == u'\'' || (c == u'/' && regexAllowed)) {
            bool inClass = false;
            for (++i; i < s.size() && !IsLineBreak(s[i]); ++i) {
                if (s[i] == u'\\') { ++i; continue; }
                if (c == u'/' && s[i] == u'[') inClass = true;
                else if (c == u'/' && s[i] == u']') inClass = false;
                else if (s[i] == c && !inClass) break;
            }
            ++i;
            while (c == u'/' && i < s.size() && IsIdentPart(s[i])) ++i;  // flags
            regexAllowed = false;
            previousWord.clear();
            continue;
        }
        if (IsIdentStart(c)) {
            size_t start = i;
            while (i < s.size() && IsIdentPart(s[i])) ++i;
            std::u16string word(s.substr(start, i - start));
            size_t before = start;
            while (before > 0 && (s[before - 1] == u' ' || s[before - 1] == u'\t')) --before;
            bool member = before > 0 && s[before - 1] == u'.';
            size_t after = i;
            while (after < s.size() && (s[after] == u' ' || s[after] == u'\t')) ++after;
            bool called = after < s.size() && s[after] == u'(';
            if (!member && MissingGlobals().count(word)) {
                note(start, u"'" + word + U("' 在 JScript 5.8 中未定义"));
            } else if (member && !previousWord.empty() && MissingStatics().count(previousWord + u"." + word)) {
                note(start, previousWord + u"." + word + U(" 在 JScript 5.8 中不存在（对象不支持此属性或方法）"));
            } else if (member && called && MissingMethods().count(word)) {
                note(start, u"." + word + U("() 若是内置方法，JScript 5.8 中不存在（对象不支持此属性或方法）"));
            }
            static const std::unordered_set<std::u16string> operators = {u"return", u"typeof", u"in", u"of",
                                                                          u"instanceof", u"new", u"delete",
                                                                          u"void", u"throw", u"case", u"do",
                                                                          u"else"};
            regexAllowed = operators.count(word) > 0;
            previousWord = member ? std::u16string() : word;
            continue;
        }
        if (c >= u'0' && c <= u'9') {
            while (i < s.size() && (IsIdentPart(s[i]) || s[i] == u'.')) ++i;
            regexAllowed = false;
            previousWord.clear();
            continue;
        }
        regexAllowed = !(c == u')' || c == u']' || c == u'}');
        if (c != u'.') previousWord.clear();
        ++i;
    }
}

}  // namespace

std::vector<Finding> CheckForJScript(std::u16string_view source, size_t maxFindings) {
    std::vector<Finding> syntax;
    std::u16string text(source);
    while (syntax.size() < maxFindings) {
        ConditionalState cc;
        PreparedCode p = PrepareJScript(text, cc);
        if (!p.error) break;
        syntax.push_back({p.error->line, p.error->column, p.error->code, p.error->description});
        if (!BlankLine(text, p.error->line)) break;  // nothing left to read past
    }
    std::vector<Finding> builtins;
    ScanBuiltins(source, builtins, maxFindings);
    std::vector<Finding> all = std::move(syntax);
    all.insert(all.end(), builtins.begin(), builtins.end());
    std::stable_sort(all.begin(), all.end(), [](const Finding& a, const Finding& b) {
        return a.line != b.line ? a.line < b.line : a.column < b.column;
    });
    if (all.size() > maxFindings) all.resize(maxFindings);
    return all;
}

}  // namespace qy::jscript
