/** @file ExceptionWatch.cpp
 * The watcher global: the engine's Debugger with one hook, fed every persona global.
 */
#include "persona/ExceptionWatch.h"

#include <js/CompilationAndEvaluation.h>
#include <js/Debug.h>
#include <js/PropertyAndElement.h>
#include <js/SourceText.h>

#include "persona/PersonaScriptText.h"

namespace qy::persona {
namespace {

const JSClass kWatcherGlobal = {"global", JSCLASS_GLOBAL_FLAGS, &JS::DefaultGlobalClassOps, nullptr, nullptr, nullptr};

}  // namespace

JSObject* NewExceptionWatcher(JSContext* cx) {
    JS::RootedObject g(cx, JS_NewGlobalObject(cx, &kWatcherGlobal, nullptr, JS::FireOnNewGlobalHook, JS::RealmOptions()));
    if (!g) {
        JS_ClearPendingException(cx);
        return nullptr;
    }
    JSAutoRealm ar(cx, g);
    std::string_view code = scripts::kTool_watch;
    JS::SourceText<mozilla::Utf8Unit> src;
    JS::CompileOptions opts(cx);
    opts.setFileAndLine("qy-internal:watch", 1);
    JS::RootedValue watch(cx);
    if (!JS_DefineDebuggerObject(cx, g) || !src.init(cx, code.data(), code.size(), JS::SourceOwnership::Borrowed) ||
        !JS::Evaluate(cx, opts, src, &watch) || !watch.isObject() ||
        !JS_DefineProperty(cx, g, "watch", watch, JSPROP_READONLY | JSPROP_PERMANENT)) {
        JS_ClearPendingException(cx);
        return nullptr;
    }
    return g;
}

bool WatchExceptions(JSContext* cx, JS::HandleObject watcher, JS::HandleObject global, JS::HandleObject note,
                     JS::MutableHandleValue frames) {
    {
        JSAutoRealm ar(cx, watcher);
        JS::RootedValueArray<2> argv(cx);
        argv[0].setObject(*global);
        argv[1].setObject(*note);
        if (!JS_WrapValue(cx, argv[0]) || !JS_WrapValue(cx, argv[1]) ||
            !JS_CallFunctionName(cx, watcher, "watch", argv, frames)) {
            JS_ClearPendingException(cx);
            return false;
        }
    }
    // Back in the global's realm: its view of the watcher's function.
    if (!JS_WrapValue(cx, frames)) {
        JS_ClearPendingException(cx);
        return false;
    }
    return true;
}

}  // namespace qy::persona
