/** @file ExceptionWatch.cpp
 * The watcher global: the engine's Debugger with one hook, fed every persona global.
 */
#include "persona/ExceptionWatch.h"

#include <js/CompilationAndEvaluation.h>
#include <js/Debug.h>
#include <js/Promise.h>
#include <js/Wrapper.h>
#include <js/PropertyAndElement.h>
#include <js/SourceText.h>

#include "codecache/CodeCache.h"
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
    // The wording first: the watcher is made from it.
    // (Compiled from the code cache when an earlier process left them there.)
    auto evaluate = [&](std::string_view code, const char* file, JS::MutableHandleValue out) {
        JS::CompileOptions opts(cx);
        opts.setFileAndLine(file, 1);
        RefPtr<JS::Stencil> stencil = codecache::GlobalStencil(cx, opts, false, codecache::Hash(code), [&]() -> RefPtr<JS::Stencil> {
            JS::SourceText<mozilla::Utf8Unit> src;
            if (!src.init(cx, code.data(), code.size(), JS::SourceOwnership::Borrowed)) return nullptr;
            return JS::CompileGlobalScriptToStencil(cx, opts, src);
        });
        if (!stencil) return false;
        JS::InstantiateOptions instantiate(opts);
        JS::RootedScript script(cx, JS::InstantiateGlobalStencil(cx, instantiate, stencil));
        return script && JS_ExecuteScript(cx, script, out);
    };
    JS::RootedValue words(cx), make(cx), made(cx), watch(cx), rejected(cx);
    bool ok = JS_DefineDebuggerObject(cx, g) && evaluate(scripts::kTool_words, "qy-internal:words", &words) &&
              evaluate(scripts::kTool_watch, "qy-internal:watch", &make) && make.isObject() &&
              JS_CallFunctionValue(cx, nullptr, make, JS::HandleValueArray(words), &made) && made.isObject();
    if (ok) {
        JS::RootedObject parts(cx, &made.toObject());
        ok = JS_GetProperty(cx, parts, "watch", &watch) && JS_GetProperty(cx, parts, "rejected", &rejected) &&
             JS_DefineProperty(cx, g, "watch", watch, JSPROP_READONLY | JSPROP_PERMANENT) &&
             JS_DefineProperty(cx, g, "rejected", rejected, JSPROP_READONLY | JSPROP_PERMANENT);
    }
    if (!ok) {
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

namespace {

WatcherSource g_watcherOf = nullptr;

// A promise rejected with nobody waiting for it: an error a built-in made goes to the
// watcher while the code that called the built-in is still on the stack. Nothing else
// happens here (rejections that get a handler later, or never, are the page's business).
void OnRejection(JSContext* cx, bool /*mutedErrors*/, JS::HandleObject promise, JS::PromiseRejectionHandlingState state,
                 void* /*data*/) {
    if (state != JS::PromiseRejectionHandlingState::Unhandled || !g_watcherOf) return;
    JS::RootedObject unwrapped(cx, js::CheckedUnwrapStatic(promise));
    if (!unwrapped || !JS::IsPromiseObject(unwrapped)) return;
    JS::RootedValue reason(cx, JS::GetPromiseResult(unwrapped));
    if (!reason.isObject()) return;
    JS::RootedObject error(cx, js::CheckedUnwrapStatic(&reason.toObject()));
    if (!error || JS_GetErrorType(JS::ObjectValue(*error)).isNothing()) return;
    JS::AutoSaveExceptionState saved(cx);
    JS::RootedObject watcher(cx, g_watcherOf(cx));
    if (!watcher) return;
    JS::RootedObject global(cx, JS::GetNonCCWObjectGlobal(error));
    JSAutoRealm ar(cx, watcher);
    JS::RootedValueArray<2> argv(cx);
    argv[0].setObject(*global);
    argv[1].setObject(*error);
    JS::RootedValue ignored(cx);
    if (!JS_WrapValue(cx, argv[0]) || !JS_WrapValue(cx, argv[1]) ||
        !JS_CallFunctionName(cx, watcher, "rejected", argv, &ignored))
        JS_ClearPendingException(cx);
}

}  // namespace

void WatchRejections(JSContext* cx, WatcherSource watcherOf) {
    g_watcherOf = watcherOf;
    JS::SetPromiseRejectionTrackerCallback(cx, OnRejection, nullptr);
}

}  // namespace qy::persona
