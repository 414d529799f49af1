/** @file Runtime.cpp
 * Installs the JScript runtime: the natives the runtime scripts need, then the scripts
 * themselves (the scripts of the runtime folder, compiled into the binary, run in name
 * order).
 */
#include "jscript/Runtime.h"

#include <js/CompilationAndEvaluation.h>
#include <js/SourceText.h>

#include <utility>

#include "jscript/RuntimeScripts.h"
#include "text/CodePage.h"

namespace qy::jscript {
namespace {

DebugOutput g_debugOutput;

bool RunScript(JSContext* cx, std::string_view utf8, const char* file) {
    std::u16string code = text::Utf8ToUtf16(utf8);
    JS::SourceText<char16_t> src;
    if (!src.init(cx, code.data(), code.size(), JS::SourceOwnership::Borrowed)) return false;
    JS::CompileOptions opts(cx);
    opts.setFileAndLine(file, 1);
    JS::RootedValue rv(cx);
    return JS::Evaluate(cx, opts, src, &rv);
}

}  // namespace

void SetDebugOutput(DebugOutput output) { g_debugOutput = std::move(output); }

bool InstallRuntime(JSContext* cx, JS::HandleObject global) {
    (void)global;
    for (auto [name, body] : scripts::kAll)
        if (!RunScript(cx, body, name)) return false;
    return true;
}

}  // namespace qy::jscript
