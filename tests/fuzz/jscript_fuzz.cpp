// The JScript source gate (its lexer, conditional compilation and parser) on arbitrary
// text, read both as a program and as eval code: it never fails outside a compile error,
// an error names a position inside the source and carries its Chinese description, the
// conditional-compilation state moves only with accepted code, and every position of a
// rewritten text maps back into the original.
#include "FuzzSupport.h"
#include "jscript/SourceGate.h"
#include "text/CodePage.h"

using namespace qy::jscript;

namespace {

bool IsBreak(char16_t c) { return c == u'\n' || c == u'\r' || c == 0x2028 || c == 0x2029; }

void Check(std::u16string_view source, CodeKind kind) {
    uint32_t breaks = 0;
    for (char16_t c : source) breaks += IsBreak(c);

    ConditionalState cc;
    const PreparedCode prepared = PrepareJScript(source, cc, kind);
    if (prepared.error) {
        const CompileError& e = *prepared.error;
        QY_FUZZ_CHECK((e.code > 1000 && e.code < 1036) || e.code == 5017);
        QY_FUZZ_CHECK(!e.description.empty() && e.description == CompileErrorDescription(e.code));
        QY_FUZZ_CHECK(e.line >= 1 && e.line <= breaks + 1);
        QY_FUZZ_CHECK(e.column <= source.size());
        QY_FUZZ_CHECK(prepared.code.empty());
        QY_FUZZ_CHECK(!cc.Enabled());
    } else {
        const PositionMap& map = prepared.positions;
        if (map.Identity()) QY_FUZZ_CHECK(prepared.code == source);
        uint32_t line = 1, column = 0;
        for (uint32_t at = 0; at <= prepared.code.size(); ++at) {
            QY_FUZZ_CHECK(map.OriginalOffset(at) <= source.size());
            const auto [originalLine, originalColumn] = map.ToOriginal(line, column);
            QY_FUZZ_CHECK(originalLine >= 1 && originalLine <= breaks + 1);
            QY_FUZZ_CHECK(originalColumn <= source.size());
            if (at == prepared.code.size()) break;
            const char16_t c = prepared.code[at];
            const bool crlf = c == u'\r' && at + 1 < prepared.code.size() && prepared.code[at + 1] == u'\n';
            if (IsBreak(c) && !crlf) {
                ++line;
                column = 0;
            } else {
                ++column;
            }
        }
    }

    // The same text reads the same way again.
    ConditionalState again;
    const PreparedCode second = PrepareJScript(source, again, kind);
    QY_FUZZ_CHECK(second.error.has_value() == prepared.error.has_value());
    QY_FUZZ_CHECK(second.code == prepared.code);
    if (second.error) QY_FUZZ_CHECK(second.error->code == prepared.error->code && second.error->line == prepared.error->line &&
                                    second.error->column == prepared.error->column);
}

}  // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    // Every byte as one character (NUL and Latin-1 letters included), and the bytes as UTF-8.
    Check(std::u16string(data, data + size), CodeKind::Program);
    Check(qy::text::Utf8ToUtf16(qy::fuzz::Bytes(data, size)), CodeKind::EvalCode);
    return 0;
}
