/** @file ToolGlobal.cpp
 * The tool globals' one way of being made.
 */
#include "debug/ToolGlobal.h"

#include <js/CompilationAndEvaluation.h>
#include <js/Debug.h>
#include <js/SourceText.h>

#include "text/CodePage.h"

namespace qy::debug {

std::unique_ptr<script::detail::JsObjectRoot> MakeToolGlobal(JSContext* cx, const JSClass* clasp,
                                                             std::initializer_list<ToolNative> natives,
                                                             std::string_view scriptUtf8, const char* file,
                                                             bool reflect) {
    JS::RootedObject g(cx, JS_NewGlobalObject(cx, clasp, nullptr, JS::FireOnNewGlobalHook, JS::RealmOptions()));
    if (!g) {
        JS_ClearPendingException(cx);
        return nullptr;
    }
    JSAutoRealm ar(cx, g);
    script::detail::EngineCall call;
    bool ok = JS_DefineDebuggerObject(cx, g) && (!reflect || JS_InitReflectParse(cx, g));
    for (const ToolNative& n : natives) ok = ok && JS_DefineFunction(cx, g, n.name, n.call, n.nargs, 0);
    if (ok) {
        std::u16string src = text::Utf8ToUtf16(scriptUtf8);
        JS::SourceText<char16_t> source;
        JS::CompileOptions opts(cx);
        opts.setFileAndLine(file, 1);
        JS::RootedValue rv(cx);
        ok = source.init(cx, src.data(), src.size(), JS::SourceOwnership::Borrowed) &&
             JS::Evaluate(cx, opts, source, &rv);
    }
    if (!ok) {
        JS_ClearPendingException(cx);
        return nullptr;
    }
    return std::make_unique<script::detail::JsObjectRoot>(g);
}

}  // namespace qy::debug
