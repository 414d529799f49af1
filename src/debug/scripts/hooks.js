// The watch's side inside its own global: a second Debugger over the main host's global
// that logs the calls of watched functions and keeps the code the script makes at run
// time. Natives it calls back: __qyWrap(global, impl, name, length) -> a native-looking
// function of that global doing impl's work, __qyImpl(fn) -> the script behind a
// native-looking page member or null, __qyMap(url, line, column) -> [line, column] in
// the user's text, __qyCall(name, args, result, line, count, threw,
// pause),
// __qyDynamic(kind, line, text, url), __qyFresh() (a page's global is watched from now on).
(function (g) {
    "use strict";
    var dbg = new Debugger();
    // A fault in our own hooks must never change what the user's script does.
    dbg.uncaughtExceptionHook = function () { return undefined; };

    var EVAL_NAME = "eval", ADDED_PREFIX = "addcode-", PAGE_PREFIX = "page:";
    var PREVIEW = 120;          // characters of one value's preview
    var global = null;          // Debugger.Object of the watched global
    var rawGlobal = null;
    var scriptHooks = [];       // {path, name, fn (Debugger.Object) or null, count}
    var hookOf = new WeakMap(); // Debugger.Object of a watched script function -> its hook
    var seen = new WeakSet();   // functions met in onEnterFrame that are no watched one
    var busy = false;           // writing a preview: calls made now are ours
    var dynamicSources = new WeakSet();
    var captureDynamic = false;
    var pauseText = "";         // a call with an argument containing it pauses the run
    var apply = Reflect.apply;

    function isUserUrl(url) {
        if (typeof url !== "string") return false;
        if (url === EVAL_NAME || url.indexOf(ADDED_PREFIX) === 0) return true;
        // A page's own scripts are the user's too.
        if (url.indexOf(PAGE_PREFIX) === 0) return true;
        var cut = url.indexOf(" line ");
        return cut > 0 && isUserUrl(url.substring(0, cut));
    }

    // The line of the user's code that made the current call (0 when none did).
    function callerLine(from) {
        for (var f = from || dbg.getNewestFrame(); f; f = f.older) {
            if (!f.script || !isUserUrl(f.script.url)) continue;
            var loc = f.script.getOffsetLocation(f.offset);
            return __qyMap(f.script.url, loc.lineNumber, loc.columnNumber || 0)[0];
        }
        return 0;
    }

    // ---- previews, read through the Debugger so no getter of the page runs ----

    function cut(text, max) {
        return text.length > max ? text.substring(0, max) + "…" : text;
    }

    function primitive(v) {
        switch (typeof v) {
            case "string": return cut(JSON.stringify(v), PREVIEW);
            case "bigint": return String(v) + "n";
            case "symbol": return v.toString();
            default: return String(v);
        }
    }

    function ownData(o, name) {
        var d;
        try { d = o.getOwnPropertyDescriptor(name); } catch (e) { return undefined; }
        if (!d) return undefined;
        return "value" in d ? {value: d.value} : {accessor: true};
    }

    function shortValue(v) {
        if (!(v instanceof Debugger.Object)) return primitive(v);
        if (v.callable) return "function " + (v.name || v.displayName || "") + "()";
        return v.class === "Array" ? "[…]" : "{…}";
    }

    function preview(v) {
        if (!(v instanceof Debugger.Object)) return primitive(v);
        if (v.callable) return "function " + (v.name || v.displayName || "") + "()";
        var names;
        try { names = v.getOwnPropertyNames(); } catch (e) { return "[object " + v.class + "]"; }
        var parts = [], text, i, d;
        if (v.class === "Array") {
            for (i = 0; i < names.length && parts.length < 10; i++) {
                if (!/^(0|[1-9]\d*)$/.test(names[i])) continue;
                d = ownData(v, names[i]);
                parts.push(d && "value" in d ? shortValue(d.value) : "…");
            }
            var len = ownData(v, "length");
            text = "[" + parts.join(", ") + (len && len.value > parts.length ? ", …" : "") + "]";
        } else {
            for (i = 0; i < names.length && parts.length < 8; i++) {
                d = ownData(v, names[i]);
                parts.push(names[i] + ": " + (d && "value" in d ? shortValue(d.value) : "(访问器)"));
            }
            text = "{" + parts.join(", ") + (names.length > parts.length ? ", …" : "") + "}";
            if (v.class !== "Object") text = v.class + " " + text;
        }
        return cut(text, PREVIEW * 2);
    }

    function previewArgs(list) {
        var out = [];
        for (var i = 0; i < list.length; i++) out.push(preview(list[i]));
        return out.join(", ");
    }

    function asksPause(args, text) {
        if (!pauseText) return false;
        if (text.indexOf(pauseText) >= 0) return true;
        for (var i = 0; i < args.length; i++)
            if (typeof args[i] === "string" && args[i].indexOf(pauseText) >= 0) return true;
        return false;
    }

    function report(hook, args, result, threw, line) {
        busy = true;
        try {
            var text = previewArgs(args);
            __qyCall(hook.name, text, preview(result), line, hook.count, threw, asksPause(args, text));
        } finally {
            busy = false;
        }
    }

    // ---- resolving paths ----

    // [holder, key] of "a.b.c" in the global, or null. The holders on the way are read as
    // the script would read them; the last one is looked up without running a getter.
    function locate(path) {
        if (inHook) return locateThroughDebugger(path);
        var parts = path.split(".");
        var holder = rawGlobal;
        for (var i = 0; i < parts.length - 1; i++) {
            if (holder === null || (typeof holder !== "object" && typeof holder !== "function")) return null;
            try { holder = holder[parts[i]]; } catch (e) { return null; }
        }
        if (holder === null || (typeof holder !== "object" && typeof holder !== "function")) return null;
        var key = parts[parts.length - 1];
        for (var o = holder; o; o = Object.getPrototypeOf(o)) {
            var d = Object.getOwnPropertyDescriptor(o, key);
            if (d) return "value" in d ? {holder: o, key: key, desc: d} : null;
        }
        return null;
    }

    // The same from inside one of our hooks, where the page's code may run only through
    // the Debugger: each holder is evaluated in the global, each member looked up on it.
    var inHook = false;
    function locateThroughDebugger(path) {
        var parts = path.split("."), key = parts.pop(), holder = global;
        if (parts.length) {
            var c = global.executeInGlobal(parts.join("."));
            if (!c || !("return" in c) || !(c["return"] instanceof Debugger.Object)) return null;
            holder = c["return"];
        }
        for (var o = holder; o; o = o.proto) {
            var d;
            try { d = o.getOwnPropertyDescriptor(key); } catch (e) { return null; }
            if (!d) continue;
            if (!("value" in d)) return null;
            var value = d.value instanceof Debugger.Object ? d.value.unsafeDereference() : d.value;
            return {holder: o.unsafeDereference(), key: key,
                    desc: {value: value, writable: d.writable, enumerable: d.enumerable, configurable: d.configurable}};
        }
        return null;
    }

    function isNative(fnDO) {
        return fnDO.callable && !fnDO.script && !fnDO.isBoundFunction;
    }

    // Puts a native-looking function of the same name and length in the native's place.
    // The global's eval is left alone: called through another function it would lose the
    // caller's scope (what it runs is kept as dynamic code instead).
    function wrapNative(hook, place) {
        if (place.desc.value === rawGlobal.eval) return false;
        var original = place.desc.value;
        var fnDO = global.makeDebuggeeValue(original);
        var lengthDesc = ownData(fnDO, "length");
        var length = lengthDesc && typeof lengthDesc.value === "number" ? lengthDesc.value : 0;
        // Called with `new`, the original is constructed (instances are its own).
        var impl = function () {
            var n = ++hook.count, line = busy ? 0 : callerLine(), args = [];
            for (var i = 0; i < arguments.length; i++) args.push(global.makeDebuggeeValue(arguments[i]));
            var result;
            try {
                result = new.target ? Reflect.construct(original, arguments) : apply(original, this, arguments);
            } catch (e) {
                if (!busy) report(hook, args, global.makeDebuggeeValue(e), true, line);
                throw e;
            }
            if (!busy) report(hook, args, global.makeDebuggeeValue(result), false, line);
            return result;
        };
        var wrapper = __qyWrap(rawGlobal, impl, fnDO.name || place.key, length, original);
        if (!wrapper) return false;
        var proto = Object.getOwnPropertyDescriptor(original, "prototype");
        if (proto) Object.defineProperty(wrapper, "prototype", proto);
        var desc = place.desc;
        if (!desc.configurable && !desc.writable) return false;
        try {
            Object.defineProperty(place.holder, place.key, {value: wrapper, writable: desc.writable,
                                                            enumerable: desc.enumerable, configurable: desc.configurable});
        } catch (e) {
            return false;
        }
        hook.fn = fnDO;
        return true;
    }

    // A script function is seen as it is entered; so is the script behind a page
    // member that is native only in looks. False for a true native.
    function bindScript(hook, fn) {
        var fnDO = global.makeDebuggeeValue(fn);
        if (isNative(fnDO)) {
            var impl = __qyImpl(fn);
            if (!impl) return false;
            fnDO = global.makeDebuggeeValue(impl);
        }
        hookOf.set(fnDO, hook);
        return true;
    }

    function resolveScripts() {
        for (var i = 0; i < scriptHooks.length; i++) {
            var place = locate(scriptHooks[i].path);
            if (place && typeof place.desc.value === "function") bindScript(scriptHooks[i], place.desc.value);
        }
    }

    function onEnterFrame(frame) {
        if (busy || frame.type !== "call" || !frame.callee) return undefined;
        var callee = frame.callee;
        var hook = hookOf.get(callee);
        if (!hook) {
            if (seen.has(callee)) return undefined;
            resolveScripts();
            hook = hookOf.get(callee);
            if (!hook) {
                seen.add(callee);
                return undefined;
            }
        }
        var n = ++hook.count, line = callerLine(frame.older), args = [];
        var given = frame.arguments || [];
        for (var i = 0; i < given.length; i++) args.push(given[i]);
        frame.onPop = function (completion) {
            if (busy || !completion) return undefined;
            if ("return" in completion) report(hook, args, completion["return"], false, line);
            else if ("throw" in completion) report(hook, args, completion["throw"], true, line);
            return undefined;
        };
        return undefined;
    }

    // ---- dynamic code ----

    var KINDS = {eval: "eval", Function: "Function", GeneratorFunction: "Function", AsyncFunction: "Function",
                 AsyncGeneratorFunction: "Function", "javascriptURL": "javascript:"};

    // Code made by the page's own members for the script (a timer given a string) counts
    // as the script's: nothing else of the workbench makes code once the global is set up.
    function onNewScript(script) {
        var source = script.source;
        if (!source || dynamicSources.has(source)) return;
        var kind = KINDS[source.introductionType];
        if (!kind) return;
        dynamicSources.add(source);
        var line = 0, intro = source.introductionScript;
        try {
            if (intro && isUserUrl(intro.url)) {
                var loc = intro.getOffsetLocation(source.introductionOffset);
                line = __qyMap(intro.url, loc.lineNumber, loc.columnNumber || 0)[0];
            } else {
                line = callerLine();
            }
        } catch (e) {}
        __qyDynamic(kind, line, source.text, source.url || script.url);
    }

    // ---- a page's own scripts ----

    // A page's scripts run while its global is set up, before the workbench hears of the
    // global: the newest global is watched from the first such script on. Only a page's
    // scripts start it (loaded code and expressions come after the global is known).
    var expected = null;        // {paths, dynamic, pause} for the next global
    var candidate = null;       // Debugger.Object of the newest global, not yet attached

    function internalUrl(url) {
        return typeof url !== "string" || url.indexOf("qy-internal:") === 0 || url === "prelude" ||
            url === "qy-helper" || url.indexOf("jscript-runtime/") === 0;
    }

    function loadedOrEval(url) {
        return isUserUrl(url) && url.indexOf(PAGE_PREFIX) !== 0;
    }

    function onNewGlobal(globalDO) {
        if (!expected || globalDO.class !== "global") return undefined;
        // One candidate at a time: a global that ran no page is let go.
        if (candidate && candidate !== global) dbg.removeDebuggee(candidate);
        candidate = dbg.addDebuggee(globalDO);
        if (!dbg.onNewScript || dbg.onNewScript === onNewScript) dbg.onNewScript = watchFirstScript(dbg.onNewScript);
        return undefined;
    }

    function watchFirstScript(then) {
        return function (script) {
            if (candidate && script.global === candidate && !internalUrl(script.url) && !loadedOrEval(script.url)) {
                var raw = candidate.unsafeDereference();
                candidate = null;
                __qyFresh();
                inHook = true;
                try {
                    g.__qyWatch.attach(raw, expected.paths, expected.dynamic, expected.pause);
                } finally {
                    inHook = false;
                }
                if (captureDynamic) onNewScript(script);
                return;
            }
            // Loaded code or an expression first: no page; the global is attached as usual.
            if (candidate && script.global === candidate && loadedOrEval(script.url)) {
                dbg.removeDebuggee(candidate);
                candidate = null;
            }
            if (then && (!candidate || script.global !== candidate)) then(script);
        };
    }

    g.__qyWatch = {
        // The watch is going away: no later global is watched either.
        forget: function () {
            expected = null;
            dbg.onNewGlobalObject = undefined;
            g.__qyWatch.detach();
        },
        // What the next global is watched for, should a page's scripts run in it first.
        expect: function (paths, dynamic, pause) {
            expected = paths.length || dynamic ? {paths: paths, dynamic: dynamic, pause: pause} : null;
            dbg.onNewGlobalObject = expected ? onNewGlobal : undefined;
        },
        // True when `globalObject` is watched already (a page's scripts started it).
        watching: function (globalObject) {
            return rawGlobal !== null && global !== null && global.unsafeDereference() === globalObject;
        },
        // Watches `globalObject`: each path of `paths` that names a native is wrapped now;
        // the others (script functions, now or later) are seen as they are entered.
        attach: function (globalObject, paths, dynamic, pause) {
            pauseText = pause || "";
            candidate = null;
            dbg.removeAllDebuggees();
            scriptHooks = [];
            hookOf = new WeakMap();
            seen = new WeakSet();
            dynamicSources = new WeakSet();
            rawGlobal = globalObject;
            global = dbg.addDebuggee(globalObject);
            for (var i = 0; i < paths.length; i++) {
                var hook = {path: paths[i], name: paths[i], fn: null, count: 0};
                var place = locate(paths[i]);
                if (place && typeof place.desc.value === "function" && !bindScript(hook, place.desc.value))
                    wrapNative(hook, place);
                else
                    scriptHooks.push(hook);
            }
            dbg.onEnterFrame = scriptHooks.length ? onEnterFrame : undefined;
            captureDynamic = dynamic;
            dbg.onNewScript = dynamic ? onNewScript : undefined;
        },
        detach: function () {
            candidate = null;
            dbg.onEnterFrame = undefined;
            dbg.onNewScript = undefined;
            dbg.removeAllDebuggees();
            global = rawGlobal = null;
            scriptHooks = [];
        }
    };
})(this);
