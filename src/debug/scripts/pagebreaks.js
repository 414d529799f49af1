// Breakpoints on what the page does, inside their own global: a Debugger over the main
// host's global that stops where the page's own members do the work (a request
// recorded, a cookie set, storage written, a timer or listener called, a member read or
// written), never by changing what the script can see. Natives it calls back:
// __qyHit(index, value, line) -> "stop" or "", __qyWrap(global, impl, name, length) ->
// a native-looking function of that global, __qyImpl(fn) -> the script behind a
// native-looking member or null, __qyMap(url, line, column) -> [line, column] in the
// user's text.
(function (g) {
    "use strict";
    var dbg = new Debugger();
    // A fault in our own hooks must never change what the user's script does.
    dbg.uncaughtExceptionHook = function () { return undefined; };

    var ENV_URL = "qy-internal:env";
    var REQUEST_PREFIXES = ["网络请求（未发送）：", "页面跳转（未执行）：", "表单提交（未发送）："];
    var PREVIEW = 200;

    var breaks = [];          // {index, kind, text, path, log}
    var main = null;          // Debugger.Object of the watched global
    var busy = false;         // reporting, or reading for ourselves: nothing counts
    var dispatchers = [];     // live frames of the page's timer and event runners
    var runnerScripts = {};   // kind ("timer", "event", "frame") -> scripts that run callbacks
    var swaps = [];           // data members shown as accessors while watched
    var pendingAccess = [];   // access breaks whose object does not exist yet
    var candidate = null;     // the newest global, taken for the main host's until attach
    var settled = null;       // the main host's global as attach named it

    function internal(url) {
        return typeof url !== "string" || url.indexOf("qy-internal:") === 0 || url === "prelude" ||
            url === "qy-helper" || url.indexOf("jscript-runtime/") === 0;
    }
    function isUser(f) {
        return !!(f && f.script && !internal(f.script.url));
    }
    function userFrame(from) {
        for (var f = from; f; f = f.older) if (isUser(f)) return f;
        return null;
    }
    function lineOf(f) {
        var loc = f.script.getOffsetLocation(f.offset);
        return __qyMap(f.script.url, loc.lineNumber, loc.columnNumber || 0)[0];
    }

    function cut(text) {
        return text.length > PREVIEW ? text.substring(0, PREVIEW) + "…" : text;
    }
    // A value in a few characters, read without running anything of the page.
    function preview(v) {
        if (v instanceof Debugger.Object) {
            if (v.callable) return "function " + (v.name || v.displayName || "") + "()";
            return v.class === "Array" ? "[…]" : "[object " + v.class + "]";
        }
        if (typeof v === "string") return cut(JSON.stringify(v));
        if (typeof v === "bigint") return String(v) + "n";
        if (typeof v === "symbol") return v.toString();
        return String(v);
    }
    function text(v) {
        return typeof v === "string" ? cut(v) : preview(v);
    }
    function ownValue(o, name) {
        if (!(o instanceof Debugger.Object)) return undefined;
        var d;
        try { d = o.getOwnPropertyDescriptor(name); } catch (e) { return undefined; }
        return d && "value" in d ? d.value : undefined;
    }

    // One hit: the log line or the pause, in the user's frame nearest `from`. The
    // environment's own work while it sets up (no user frame on the stack) is no hit.
    function report(b, value, from) {
        var f = userFrame(from);
        if (!f || busy) return undefined;
        busy = true;
        var action;
        try {
            action = __qyHit(b.index, value, lineOf(f));
        } finally {
            busy = false;
        }
        return action === "stop" ? null : undefined;
    }

    function breaksOf(kind) {
        var out = [];
        for (var i = 0; i < breaks.length; i++) if (breaks[i].kind === kind) out.push(breaks[i]);
        return out;
    }
    function contains(haystack, needle) {
        return !needle || String(haystack).indexOf(needle) >= 0;
    }

    // ---- the environment's functions, found by name in its source ----

    // Where each function the breakpoints stop in is written: its name as the engine
    // gives it and what introduces it in the text.
    var PLACES = {
        line: "function line(",
        setCookie: "function setCookie(",
        "Storage.prototype.setItem": "Storage.prototype.setItem = function",
        "Storage.prototype.removeItem": "Storage.prototype.removeItem = function",
        "Storage.prototype.clear": "Storage.prototype.clear = function",
        runTimers: "function runTimers(",
        requestAnimationFrame: "function requestAnimationFrame(",
        invokeAt: "function invokeAt("
    };
    var placeLines = null;

    function lineAt(textValue, index) {
        var n = 1;
        for (var i = textValue.indexOf("\n"); i >= 0 && i < index; i = textValue.indexOf("\n", i + 1)) n++;
        return n;
    }

    // The function of that name in each watched global.
    function envScripts(name) {
        var out = [];
        if (!placeLines || !(name in placeLines)) return out;
        var found = dbg.findScripts({url: ENV_URL, line: placeLines[name]});
        for (var i = 0; i < found.length; i++) if (found[i].displayName === name) out.push(found[i]);
        return out;
    }

    function entryOffset(script) {
        var best = null;
        var list = script.getAllColumnOffsets();
        for (var i = 0; i < list.length; i++) if (best === null || list[i].offset < best) best = list[i].offset;
        return best === null ? 0 : best;
    }

    function stopAt(scripts, handler) {
        for (var i = 0; i < scripts.length; i++) scripts[i].setBreakpoint(entryOffset(scripts[i]), {hit: handler});
    }

    function requestHit(frame) {
        if (busy) return undefined;
        var line = frame.arguments && frame.arguments[0];
        if (typeof line !== "string") return undefined;
        for (var p = 0; p < REQUEST_PREFIXES.length; p++) {
            if (line.indexOf(REQUEST_PREFIXES[p]) !== 0) continue;
            var what = line.substring(REQUEST_PREFIXES[p].length), list = breaksOf("request");
            for (var i = 0; i < list.length; i++) if (contains(what, list[i].text)) return report(list[i], cut(what), frame);
        }
        return undefined;
    }

    function cookieHit(frame) {
        if (busy) return undefined;
        var cookie = String(frame.arguments && frame.arguments[0]);
        var eq = cookie.indexOf("="), semi = cookie.indexOf(";");
        var name = (eq < 0 || (semi >= 0 && semi < eq) ? "" : cookie.substring(0, eq)).replace(/^\s+|\s+$/g, "");
        var list = breaksOf("cookie");
        for (var i = 0; i < list.length; i++) if (!list[i].text || list[i].text === name) return report(list[i], cut(cookie), frame);
        return undefined;
    }

    function storageHit(how) {
        return function (frame) {
            if (busy) return undefined;
            var args = frame.arguments || [], key = args.length ? text(args[0]) : "";
            var what = how === "setItem" ? key + " = " + text(args[1]) : how === "removeItem" ? "删除 " + key : "清空";
            var list = breaksOf("storage");
            for (var i = 0; i < list.length; i++) if (how === "clear" || contains(key, list[i].text)) return report(list[i], what, frame);
            return undefined;
        };
    }

    // A runner of callbacks (the timers, an event's listeners at one target) is entered:
    // the user functions it calls directly, through the environment's own frames only,
    // are the callbacks.
    function runnerHit(frame) {
        if (busy) return undefined;
        dispatchers.push(frame);
        frame.onPop = function () {
            var at = dispatchers.indexOf(this);
            if (at >= 0) dispatchers.splice(at, 1);
            if (!dispatchers.length) dbg.onEnterFrame = undefined;
            return undefined;
        };
        dbg.onEnterFrame = onEnterCallback;
        return undefined;
    }

    function scriptIn(list, script) {
        for (var i = 0; list && i < list.length; i++) if (list[i] === script) return true;
        return false;
    }

    function onEnterCallback(f) {
        if (busy || !isUser(f)) return undefined;
        var viaFrame = false;
        for (var o = f.older; o && !isUser(o); o = o.older) {
            if (o.script && scriptIn(runnerScripts.frame, o.script)) viaFrame = true;
            if (dispatchers.indexOf(o) < 0) continue;
            var kind = scriptIn(runnerScripts.event, o.script) ? "event" : viaFrame ? "frame" : "timer";
            var name = f.callee ? f.callee.name || f.callee.displayName || "(匿名函数)" : "(代码)";
            var list = breaksOf(kind), what = name;
            if (kind === "event") {
                var event = null;
                try { event = o.environment.getVariable("event"); } catch (e) {}
                var type = ownValue(event, "type");
                what = String(type) + " → " + name;
                for (var i = 0; i < list.length; i++) if (!list[i].text || list[i].text === type) return report(list[i], what, f);
                return undefined;
            }
            for (var j = 0; j < list.length; j++) if (contains(name, list[j].text)) return report(list[j], what, f);
            return undefined;
        }
        return undefined;
    }

    function armEnvironment() {
        // The environment's text is the same for every global: its lines are read once.
        if (!placeLines) {
            var scripts = dbg.findScripts({url: ENV_URL});
            for (var s = 0; s < scripts.length && !placeLines; s++) {
                var source = scripts[s].source && scripts[s].source.text;
                if (!source || source.indexOf(PLACES.runTimers) < 0) continue;
                placeLines = {};
                for (var name in PLACES) {
                    var at = source.indexOf(PLACES[name]);
                    if (at >= 0) placeLines[name] = lineAt(source, at);
                }
            }
        }
        if (!placeLines) return;
        if (breaksOf("request").length) stopAt(envScripts("line"), requestHit);
        if (breaksOf("cookie").length) stopAt(envScripts("setCookie"), cookieHit);
        if (breaksOf("storage").length) {
            stopAt(envScripts("Storage.prototype.setItem"), storageHit("setItem"));
            stopAt(envScripts("Storage.prototype.removeItem"), storageHit("removeItem"));
            stopAt(envScripts("Storage.prototype.clear"), storageHit("clear"));
        }
        runnerScripts = {timer: [], event: [], frame: []};
        if (breaksOf("timer").length || breaksOf("frame").length) {
            runnerScripts.timer = envScripts("runTimers");
            stopAt(runnerScripts.timer, runnerHit);
            var raf = envScripts("requestAnimationFrame");
            for (var r = 0; r < raf.length; r++) runnerScripts.frame = runnerScripts.frame.concat(raf[r].getChildScripts());
        }
        if (breaksOf("event").length) {
            runnerScripts.event = envScripts("invokeAt");
            stopAt(runnerScripts.event, runnerHit);
        }
    }

    // ---- break on access ----

    // [object, key] of "navigator.userAgent" / "window.xyz" in the watched global, or
    // null while the object does not exist. The objects on the way are read as the
    // script reads them.
    function holderOf(path) {
        var parts = path.split(".");
        if (parts[0] === "window" || parts[0] === "self" || parts[0] === "globalThis") parts.shift();
        if (!parts.length) return null;
        var o = main.unsafeDereference();
        for (var i = 0; i < parts.length - 1; i++) {
            try { o = o[parts[i]]; } catch (e) { return null; }
            if (o === null || (typeof o !== "object" && typeof o !== "function")) return null;
        }
        return {object: o, key: parts[parts.length - 1]};
    }

    function scriptBehind(fn) {
        var d = main.makeDebuggeeValue(fn);
        if (d.script) return d;
        var impl = __qyImpl(fn);
        if (!impl) return null;
        d = main.makeDebuggeeValue(impl);
        return d.script ? d : null;
    }

    // A member the environment gives as an accessor: its getter and setter stop as they
    // run for the script (called straight from the user's frame, on the object watched).
    function watchAccessor(b, place, desc) {
        var target = main.makeDebuggeeValue(place.object), armed = false;
        function forTarget(frame) {
            if (!isUser(frame.older)) return false;
            var self = frame["this"];
            return !(self instanceof Debugger.Object) || self === target;
        }
        if (typeof desc.get === "function") {
            var getter = scriptBehind(desc.get);
            if (getter) {
                armed = true;
                stopAt([getter.script], function (frame) {
                    if (busy || frame.callee !== getter || !forTarget(frame)) return undefined;
                    frame.onPop = function (completion) {
                        if (!completion || !("return" in completion)) return undefined;
                        return report(b, "读取 " + b.path + " = " + preview(completion["return"]), this);
                    };
                    return undefined;
                });
            }
        }
        if (typeof desc.set === "function") {
            var setter = scriptBehind(desc.set);
            if (setter) {
                armed = true;
                stopAt([setter.script], function (frame) {
                    if (busy || frame.callee !== setter || !forTarget(frame)) return undefined;
                    var args = frame.arguments || [];
                    return report(b, "写入 " + b.path + " = " + preview(args[0]), frame);
                });
            }
        }
        return armed;
    }

    // A plain data member is shown as an accessor pair of native-looking functions while
    // it is watched; its value, enumerability and configurability stay.
    function watchData(b, place, desc) {
        if (!desc.configurable) return false;
        var swap = {holder: place.object, key: place.key, desc: desc, value: desc.value};
        var get = function () {
            if (!busy) report(b, "读取 " + b.path + " = " + preview(main.makeDebuggeeValue(swap.value)), dbg.getNewestFrame());
            return swap.value;
        };
        var set = function (v) {
            if (!desc.writable) return;
            if (!busy) report(b, "写入 " + b.path + " = " + preview(main.makeDebuggeeValue(v)), dbg.getNewestFrame());
            swap.value = v;
        };
        var global = main.unsafeDereference();
        var getFn = __qyWrap(global, get, "get " + place.key, 0);
        var setFn = __qyWrap(global, set, "set " + place.key, 1);
        if (!getFn || !setFn) return false;
        try {
            Object.defineProperty(place.object, place.key, {get: getFn, set: setFn, enumerable: desc.enumerable, configurable: true});
        } catch (e) {
            return false;
        }
        swaps.push(swap);
        return true;
    }

    function restoreSwaps() {
        for (var i = swaps.length - 1; i >= 0; i--) {
            var s = swaps[i], d = s.desc;
            try {
                Object.defineProperty(s.holder, s.key, {value: s.value, writable: d.writable, enumerable: d.enumerable, configurable: d.configurable});
            } catch (e) {}
        }
        swaps = [];
    }

    function watchAccess(b) {
        var place = holderOf(b.path);
        if (!place) return false;
        for (var o = place.object; o; o = Object.getPrototypeOf(o)) {
            var desc = Object.getOwnPropertyDescriptor(o, place.key);
            if (!desc) continue;
            if ("value" in desc) return o === place.object && watchData(b, place, desc);
            return watchAccessor(b, place, desc);
        }
        return false;
    }

    function armAccess() {
        pendingAccess = [];
        var list = breaksOf("access");
        for (var i = 0; i < list.length; i++) if (!watchAccess(list[i])) pendingAccess.push(list[i]);
    }

    function retryAccess() {
        var left = [];
        busy = true;
        try {
            for (var i = 0; i < pendingAccess.length; i++) if (!watchAccess(pendingAccess[i])) left.push(pendingAccess[i]);
        } finally {
            busy = false;
        }
        pendingAccess = left;
    }

    function armAll() {
        dbg.clearAllBreakpoints();
        dbg.onEnterFrame = undefined;
        dispatchers = [];
        restoreSwaps();
        if (!breaks.length) return;
        busy = true;
        try {
            armEnvironment();
            if (main) armAccess();
        } finally {
            busy = false;
        }
    }

    // The environment's script arrives after the global: its functions are armed then.
    // A member watched by access that the page makes later is looked for again as each
    // piece of the user's code arrives.
    function onNewScript(script) {
        if (!main || script.global !== main) return;
        if (script.url === ENV_URL) {
            armAll();
        } else if (pendingAccess.length && !internal(script.url)) {
            retryAccess();
        }
    }

    // A global made while breakpoints are set is watched from its first script on, so
    // that a page's own scripts, which run as the environment installs, are seen. The
    // newest is taken for the main host's until it is known (attach); the others are
    // let go then.
    function onNewGlobalObject(global) {
        if (!breaks.length || global.class !== "global") return undefined;
        // One candidate at a time: a global that was not the main host's is let go.
        if (candidate && candidate !== settled && dbg.hasDebuggee(candidate)) dbg.removeDebuggee(candidate);
        candidate = main = dbg.addDebuggee(global);
        return undefined;
    }

    g.__qyPageBreaks = {
        // [{kind, text, log}]: kinds "request", "cookie", "storage", "timer", "frame",
        // "event", "access" (text is the path).
        set: function (list) {
            breaks = [];
            for (var i = 0; i < list.length; i++)
                breaks.push({index: i, kind: list[i].kind, text: list[i].text || "", path: list[i].text || "", log: !!list[i].log});
            dbg.onNewGlobalObject = breaks.length ? onNewGlobalObject : undefined;
            dbg.onNewScript = breaks.length ? onNewScript : undefined;
            armAll();
        },
        // The main host's newest global, fully set up.
        attach: function (globalObject) {
            if (!breaks.length) return;
            var was = main;
            main = dbg.hasDebuggee(globalObject) ? dbg.makeGlobalObjectReference(globalObject) : dbg.addDebuggee(globalObject);
            if (was !== null && was.unsafeDereference() === main.unsafeDereference()) main = was;
            settled = main;
            var others = dbg.getDebuggees();
            for (var i = 0; i < others.length; i++) if (others[i] !== main) dbg.removeDebuggee(others[i]);
            if (was !== main) armAll();
            else retryAccess();
        },
        detach: function () {
            restoreSwaps();
            dbg.onEnterFrame = undefined;
            dbg.onNewScript = undefined;
            dbg.onNewGlobalObject = undefined;
            dbg.removeAllDebuggees();
            main = null;
            breaks = [];
        },
        // Access breaks still waiting for their object, by path.
        pending: function () {
            var out = [];
            for (var i = 0; i < pendingAccess.length; i++) out.push(pendingAccess[i].path);
            return out;
        }
    };
})(this);
