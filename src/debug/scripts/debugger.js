// The debugger's side inside its own global: one Debugger over the main host's global,
// breakpoints on the loaded code, stepping, and reading frames, scopes and values while
// a run is paused. The workbench talks to it through the functions at the end; natives
// it calls back: __qyPause(reason, detail) -> action, __qyMap(url, line, column) ->
// [line, column] in the user's text, __qyLog(line, text), __qyIsDebuggee(global).
(function (g) {
    "use strict";
    var dbg = new Debugger();
    // A fault in our own hooks must never change what the user's script does.
    dbg.uncaughtExceptionHook = function () { return undefined; };

    var EVAL_NAME = "eval";
    // A loaded page's scripts: those written in the page count their lines as the
    // page's (the editor's); the others (external, written while loading) are the
    // user's code with lines of their own.
    var PAGE_PREFIX = "page:", PAGE_TEXT_PREFIX = "page:inline-";
    var pageScripts = false;   // the debuggee is a loaded page's global
    var loadedUrls = {};       // names the loaded code was compiled under
    var breakpoints = [];      // {line, condition, hitCount, logMessage, hits}
    var loadedScripts = [];    // top-level scripts of the loaded code
    var exceptionMode = 0;     // 0 off, 1 uncaught, 2 every exception
    var skipDebugger = false;  // `debugger` statements do not pause
    var busy = false;          // inside one of our hooks: the user's code runs for us
    var stepFrames = [];       // frames whose onStep/onPop we set
    var stepRun = 0;           // the run the stepping was armed for
    var lastThrow = null;      // {value, depth}: one pause per exception as it unwinds
    var pausedFrames = [];
    var handles = [];
    var global = null;         // Debugger.Object of the debuggee global
    var parsedTries = new WeakMap();

    function isLoadedUrl(url) {
        if (typeof url !== "string") return false;
        if (pageScripts && url.indexOf(PAGE_TEXT_PREFIX) === 0 && url.indexOf(" line ") < 0) return true;
        return Object.prototype.hasOwnProperty.call(loadedUrls, url);
    }
    // The loaded code, the evaluated expression and code they made with eval/Function.
    function isUserUrl(url) {
        if (typeof url !== "string") return false;
        if (isLoadedUrl(url) || url === EVAL_NAME) return true;
        if (pageScripts && url.indexOf(PAGE_PREFIX) === 0 && url.indexOf(" line ") < 0) return true;
        var cut = url.indexOf(" line ");
        return cut > 0 && isUserUrl(url.substring(0, cut));
    }
    function isUserFrame(f) {
        return f && f.script && isUserUrl(f.script.url);
    }
    function frameDepth(f) {
        var n = 0;
        for (; f; f = f.older) n++;
        return n;
    }

    // Where a frame stands, in the user's text: [line, column].
    function frameLocation(f) {
        var loc = f.script.getOffsetLocation(f.offset);
        return __qyMap(f.script.url, loc.lineNumber, loc.columnNumber || 0);
    }

    // ---- breakpoints ----

    // The first step position of each of the user's lines in `script`: line -> offsets
    // (a line the rewriting split over several lines of the compiled text has several).
    function lineOffsets(script) {
        var entries = script.getAllColumnOffsets(), first = {};
        for (var i = 0; i < entries.length; i++) {
            var e = entries[i];
            var mapped = __qyMap(script.url, e.lineNumber, e.columnNumber);
            var key = mapped[0] + ":" + e.lineNumber;
            if (!(key in first) || e.columnNumber < first[key].columnNumber) first[key] = {line: mapped[0], columnNumber: e.columnNumber, offset: e.offset};
        }
        var byLine = {};
        for (var k in first) (byLine[first[k].line] || (byLine[first[k].line] = [])).push(first[k].offset);
        return byLine;
    }

    function formatLog(frame, message) {
        return message.replace(/\{([^{}]+)\}/g, function (all, expr) {
            var c = evalIn(frame, expr);
            if (!c) return "(计算超时)";
            if ("throw" in c) return "(" + errorText(c["throw"]) + ")";
            return plainText(c["return"]);
        });
    }

    function handlerFor(bp) {
        return {
            hit: function (frame) {
                if (busy) return undefined;
                if (bp.condition) {
                    var c = evalIn(frame, bp.condition);
                    if (!c || "throw" in c || !truthy(c["return"])) return undefined;
                }
                bp.hits++;
                if (bp.hitCount > 0 && bp.hits < bp.hitCount) return undefined;
                if (bp.logMessage) {
                    __qyLog(bp.line, formatLog(frame, bp.logMessage));
                    return undefined;
                }
                return pause(frame, "breakpoint", "");
            }
        };
    }

    function eachScript(script, fn) {
        fn(script);
        var children = script.getChildScripts();
        for (var i = 0; i < children.length; i++) eachScript(children[i], fn);
    }

    function armScript(script) {
        {
            var byLine = lineOffsets(script);
            for (var i = 0; i < breakpoints.length; i++) {
                var bp = breakpoints[i], offsets = byLine[bp.line];
                if (!offsets) continue;
                var handler = handlerFor(bp);
                for (var j = 0; j < offsets.length; j++) script.setBreakpoint(offsets[j], handler);
            }
        }
    }

    function rearm() {
        for (var i = 0; i < loadedScripts.length; i++) {
            loadedScripts[i].clearAllBreakpoints();
            if (breakpoints.length) armScript(loadedScripts[i]);
        }
    }

    function takeScript(script) {
        loadedScripts.push(script);
        if (breakpoints.length) armScript(script);
    }

    // ---- breakpoints in code made at run time ----

    // A piece of such code is known by its text: a breakpoint in it applies wherever
    // the same text is made (now, later in the run, or in the next load).
    var dynamicBreakpoints = [];   // {text, line, condition, hitCount, logMessage, hits}
    var dynamicScripts = [];
    var DYNAMIC_KINDS = {eval: true, Function: true, GeneratorFunction: true, AsyncFunction: true,
                         AsyncGeneratorFunction: true, javascriptURL: true};
    function isDynamic(script) {
        var source = script.source;
        return !!source && DYNAMIC_KINDS[source.introductionType] === true && isUserUrl(script.url);
    }
    function armDynamic(script) {
        var text = script.source.text, byLine = null;
        for (var i = 0; i < dynamicBreakpoints.length; i++) {
            var bp = dynamicBreakpoints[i];
            if (bp.text !== text) continue;
            if (!byLine) {
                byLine = lineOffsets(script);
                dynamicScripts.push(script);
            }
            var offsets = byLine[bp.line];
            if (!offsets) continue;
            var handler = handlerFor(bp);
            for (var j = 0; j < offsets.length; j++) script.setBreakpoint(offsets[j], handler);
        }
    }
    function rearmDynamic() {
        for (var i = 0; i < dynamicScripts.length; i++) dynamicScripts[i].clearAllBreakpoints();
        dynamicScripts = [];
        if (!dynamicBreakpoints.length) return;
        var scripts = dbg.findScripts();
        for (var k = 0; k < scripts.length; k++) if (isDynamic(scripts[k])) armDynamic(scripts[k]);
    }

    // (Code made at run time carries the name of the code that made it: its lines are
    // its own, so the loaded code's breakpoints are not set in it.)
    dbg.onNewScript = function (top) {
        if (isDynamic(top)) {
            if (dynamicBreakpoints.length) eachScript(top, armDynamic);
        } else if (isLoadedUrl(top.url)) {
            eachScript(top, takeScript);
        }
    };

    // Scripts that fight debugging run `debugger` in loops, also from code they build
    // with eval or Function; while skipping, every one of them is passed over.
    dbg.onDebuggerStatement = function (frame) {
        if (busy || skipDebugger || !isUserFrame(frame)) return undefined;
        return pause(frame, "debugger", "");
    };

    // ---- values ----

    function truthy(v) {
        if (v instanceof Debugger.Object) return true;
        return !!v;
    }

    function quote(s, limit) {
        if (limit && s.length > limit) s = s.substring(0, limit) + "…";
        return JSON.stringify(s);
    }

    function numberText(n) {
        return n === 0 && 1 / n < 0 ? "-0" : String(n);
    }

    function ownValue(obj, name) {
        var d;
        try { d = obj.getOwnPropertyDescriptor(name); } catch (e) { return undefined; }
        if (!d) return undefined;
        if ("value" in d) return d.value;
        return {accessor: true};
    }

    function arrayLength(obj) {
        var len = ownValue(obj, "length");
        return typeof len === "number" ? len : 0;
    }

    function isArrayLike(obj) {
        return obj.class === "Array" || /^(Int|Uint|Float|BigInt|BigUint)\d+(Clamped)?Array$/.test(obj.class) ||
            obj.class === "Arguments";
    }

    function dateText(obj) {
        try { return Date.prototype.toString.call(obj.unsafeDereference()); } catch (e) { return "Date"; }
    }

    function regExpText(obj) {
        try { return RegExp.prototype.toString.call(obj.unsafeDereference()); } catch (e) { return "RegExp"; }
    }

    function functionText(obj) {
        var params = obj.parameterNames || [];
        return "function " + (obj.name || obj.displayName || "") + "(" + params.join(", ") + ")";
    }

    function typeName(obj) {
        var proto = obj.proto;
        if (proto) {
            var ctor = ownValue(proto, "constructor");
            if (ctor instanceof Debugger.Object && ctor.callable && ctor.name) return ctor.name;
        }
        return obj.class;
    }

    // A value in a few characters: inside previews, objects are only named.
    function shortText(v) {
        if (v instanceof Debugger.Object) {
            if (v.callable) return "ƒ";
            if (isArrayLike(v)) return v.class + "(" + arrayLength(v) + ")";
            if (v.class === "Date") return dateText(v);
            if (v.class === "RegExp") return regExpText(v);
            var t = typeName(v);
            return t === "Object" ? "{…}" : t;
        }
        if (v && typeof v === "object" && v.accessor) return "(…)";
        return primitiveText(v, 40);
    }

    function primitiveText(v, limit) {
        switch (typeof v) {
            case "undefined": return "undefined";
            case "string": return quote(v, limit);
            case "number": return numberText(v);
            case "bigint": return String(v) + "n";
            case "symbol": return v.toString();
            case "boolean": return String(v);
        }
        if (v === null) return "null";
        return String(v);
    }

    // The value as the variables list and the watches show it.
    function describe(v) {
        if (!(v instanceof Debugger.Object)) {
            if (v && typeof v === "object") {
                if (v.uninitialized) return "(未初始化)";
                if (v.optimizedOut) return "(已优化掉)";
                if (v.missingArguments) return "(不可用)";
                if (v.accessor) return "(…)";
            }
            return primitiveText(v, 1000);
        }
        if (v.callable) return functionText(v);
        if (v.class === "Date") return dateText(v);
        if (v.class === "RegExp") return regExpText(v);
        if (v.class === "Error") {
            var name = ownValue(v, "name"), message = ownValue(v, "message");
            if (name === undefined && v.proto) name = ownValue(v.proto, "name");
            return (typeof name === "string" ? name : "Error") + (typeof message === "string" && message ? ": " + message : "");
        }
        if (isArrayLike(v)) {
            var len = arrayLength(v), parts = [], shown = Math.min(len, 10);
            for (var i = 0; i < shown; i++) parts.push(shortText(ownValue(v, String(i))));
            if (len > shown) parts.push("…");
            return (v.class === "Array" ? "" : v.class + " ") + "(" + len + ") [" + parts.join(", ") + "]";
        }
        var names;
        try { names = v.getOwnPropertyNames(); } catch (e) { names = []; }
        var items = [];
        for (var k = 0; k < names.length && items.length < 5; k++) items.push(names[k] + ": " + shortText(ownValue(v, names[k])));
        if (names.length > items.length) items.push("…");
        var t = typeName(v);
        return (t === "Object" ? "" : t + " ") + "{" + items.join(", ") + "}";
    }

    // Text for a logpoint: strings as they are, everything else described.
    function plainText(v) {
        return typeof v === "string" ? v : describe(v);
    }

    function errorText(v) {
        return describe(v);
    }

    function expandable(v) {
        if (!(v instanceof Debugger.Object)) return false;
        return true;
    }

    // ---- frames and evaluation ----

    function evalIn(frame, text, bindings) {
        var wasBusy = busy;
        busy = true;
        try {
            return bindings ? frame.evalWithBindings(text, bindings) : frame.eval(text);
        } catch (e) {
            return {"throw": String(e)};
        } finally {
            busy = wasBusy;
        }
    }

    function userFrames(newest) {
        var list = [];
        for (var f = newest; f; f = f.older) if (isUserFrame(f)) list.push(f);
        return list;
    }

    function frameName(f) {
        if (!f.callee && isDynamic(f.script)) return "(动态代码)";
        if (f.type === "eval" || f.script.url === EVAL_NAME && !f.callee) return "(计算表达式)";
        if (!f.callee) return "(全局代码)";
        return f.callee.name || f.callee.displayName || "(匿名函数)";
    }

    // ---- stepping ----

    function clearStepping() {
        for (var i = 0; i < stepFrames.length; i++) {
            var f = stepFrames[i];
            try {
                if (f.onStack !== undefined ? f.onStack : f.live) {
                    f.onStep = undefined;
                    f.onPop = undefined;
                }
            } catch (e) {}
        }
        stepFrames = [];
        dbg.onEnterFrame = undefined;
    }

    function watchFrame(f) {
        stepFrames.push(f);
    }

    // Stepping belongs to the run it was asked in: a later run that enters a frame
    // the old stepping still watches must not pause there.
    function staleStep() {
        if (__qyRun() === stepRun) return false;
        clearStepping();
        return true;
    }

    // A frame's onPop while stepping: the next step of the user frame it returns to pauses.
    function stepToCaller() {
        if (busy || staleStep()) return undefined;
        var outer = this.older;
        while (outer && !isUserFrame(outer)) outer = outer.older;
        if (outer) stepIn(outer, true);
        return undefined;
    }

    // An onStep that pauses at the frame's very next step position.
    function pauseAtNextStep(reason) {
        return function () {
            if (busy || staleStep()) return undefined;
            return pause(this, reason, "");
        };
    }

    // Pauses at the next step position of `f` that starts another line (or goes back,
    // as a loop on one line does); when `f` returns, in the next user frame out.
    function stepIn(f, anyPosition) {
        var start = frameLocation(f), startOffset = f.offset;
        f.onStep = function () {
            if (busy || staleStep()) return undefined;
            var here = frameLocation(this);
            if (!anyPosition && here[0] === start[0] && this.offset > startOffset) return undefined;
            return pause(this, "step", "");
        };
        f.onPop = stepToCaller;
        watchFrame(f);
    }

    function enterPausesIn() {
        dbg.onEnterFrame = function (f) {
            if (busy || staleStep() || !isUserFrame(f)) return undefined;
            dbg.onEnterFrame = undefined;
            f.onStep = pauseAtNextStep("step");
            watchFrame(f);
            return undefined;
        };
    }

    function stepOut(f) {
        f.onPop = stepToCaller;
        watchFrame(f);
    }

    function pause(frame, reason, detail) {
        clearStepping();
        pausedFrames = userFrames(frame);
        handles = [];
        var action;
        busy = true;
        try {
            action = __qyPause(reason, detail);
        } finally {
            busy = false;
            pausedFrames = [];
            handles = [];
        }
        stepRun = __qyRun();
        switch (action) {
            case "stop": return null;
            case "over": stepIn(frame, false); break;
            case "into": stepIn(frame, false); enterPausesIn(); break;
            case "out": stepOut(frame); break;
        }
        return undefined;
    }

    // ---- exceptions ----

    // Try blocks of a source, with the function each belongs to, from its syntax tree.
    function triesOf(source) {
        var known = parsedTries.get(source);
        if (known) return known;
        var tries = [], functions = [];
        try {
            var ast = Reflect.parse(source.text, {loc: true});
            (function walk(node, fn) {
                if (!node || typeof node.type !== "string") return;
                var inner = fn;
                if (/Function/.test(node.type) && node.loc) {
                    inner = {loc: node.loc};
                    functions.push(inner);
                }
                if (node.type === "TryStatement" && (node.handler || (node.guardedHandlers && node.guardedHandlers.length)))
                    tries.push({loc: node.block.loc, fn: fn});
                for (var key in node) {
                    if (key === "loc") continue;
                    var child = node[key];
                    if (Array.isArray(child)) for (var i = 0; i < child.length; i++) walk(child[i], inner);
                    else if (child && typeof child === "object") walk(child, inner);
                }
            })(ast, null);
        } catch (e) {}
        known = {tries: tries, functions: functions};
        parsedTries.set(source, known);
        return known;
    }

    function before(a, lineB, colB) {
        return a.line < lineB || a.line === lineB && a.column <= colB;
    }
    function contains(loc, line, col) {
        return before(loc.start, line, col) && !before(loc.end, line, col);
    }

    function innermostFunction(fns, line, col) {
        var best = null;
        for (var i = 0; i < fns.length; i++)
            if (contains(fns[i].loc, line, col) && (!best || before(best.loc.start, fns[i].loc.start.line, fns[i].loc.start.column)))
                best = fns[i];
        return best;
    }

    function caughtIn(f) {
        var loc = f.script.getOffsetLocation(f.offset);
        var line = loc.lineNumber, col = (loc.columnNumber || 0);
        var info = triesOf(f.script.source);
        var fn = innermostFunction(info.functions, line, col);
        for (var i = 0; i < info.tries.length; i++)
            if (info.tries[i].fn === fn && contains(info.tries[i].loc, line, col)) return true;
        return false;
    }

    function willBeCaught(frame) {
        for (var f = frame; f; f = f.older)
            if (isUserFrame(f) && caughtIn(f)) return true;
        return false;
    }

    function onException(frame, value) {
        if (busy || !isUserFrame(frame)) return undefined;
        var depth = frameDepth(frame);
        if (lastThrow && lastThrow.value === value && depth < lastThrow.depth) {
            lastThrow.depth = depth;
            return undefined;
        }
        lastThrow = {value: value, depth: depth};
        if (exceptionMode === 1 && willBeCaught(frame)) return undefined;
        return pause(frame, "exception", describe(value));
    }

    // ---- what the workbench calls ----

    function handleOf(thing) {
        handles.push(thing);
        return handles.length - 1;
    }

    function variable(name, value) {
        var item = {name: name, value: describe(value), handle: -1};
        if (expandable(value)) item.handle = handleOf({object: value});
        return item;
    }

    function scopeItems(scope) {
        var items = [], seen = {};
        function add(name, value) {
            if (Object.prototype.hasOwnProperty.call(seen, name)) return;
            seen[name] = true;
            items.push(variable(name, value));
        }
        if (scope.thisValue !== undefined) add("this", scope.thisValue);
        for (var i = 0; i < scope.envs.length; i++) {
            var env = scope.envs[i];
            if (env.type === "object" || env.type === "with") {
                var obj = env.object, names;
                try { names = obj.getOwnPropertyNames(); } catch (e) { names = []; }
                for (var j = 0; j < names.length; j++) {
                    var d;
                    try { d = obj.getOwnPropertyDescriptor(names[j]); } catch (e) { d = null; }
                    // The global's own built-ins and the page's are not the script's.
                    if (!d || (scope.global && !d.enumerable)) continue;
                    add(names[j], "value" in d ? d.value : {accessor: true});
                }
            } else {
                var vars = env.names();
                for (var k = 0; k < vars.length; k++) {
                    if (vars[k] === "arguments" && !scope.global) continue;
                    var v;
                    try { v = env.getVariable(vars[k]); } catch (e) { v = {optimizedOut: true}; }
                    add(vars[k], v);
                }
            }
        }
        items.sort(function (a, b) {
            if (a.name === "this") return -1;
            if (b.name === "this") return 1;
            return 0;
        });
        return items;
    }

    var GROUP = 100;

    function rangeItems(obj, start, end) {
        var items = [], count = end - start;
        if (count > GROUP) {
            var size = GROUP;
            while (count / size > GROUP) size *= GROUP;
            for (var s = start; s < end; s += size) {
                var e = Math.min(end, s + size);
                items.push({name: "[" + s + " … " + (e - 1) + "]", value: "", handle: handleOf({object: obj, start: s, end: e})});
            }
            return items;
        }
        for (var i = start; i < end; i++) items.push(variable(String(i), ownValue(obj, String(i))));
        return items;
    }

    function objectItems(obj) {
        var items = [];
        if (isArrayLike(obj) && obj.class !== "Arguments") {
            var len = arrayLength(obj);
            items = rangeItems(obj, 0, len);
            if (len <= 10000) {
                var names;
                try { names = obj.getOwnPropertyNames(); } catch (e) { names = []; }
                for (var i = 0; i < names.length; i++)
                    if (!/^(0|[1-9]\d*)$/.test(names[i])) items.push(variable(names[i], ownValue(obj, names[i])));
            } else {
                items.push(variable("length", len));
            }
        } else {
            var own;
            try { own = obj.getOwnPropertyNames(); } catch (e) { own = []; }
            for (var j = 0; j < own.length; j++) items.push(variable(own[j], ownValue(obj, own[j])));
        }
        if (obj.proto) items.push(variable("[[Prototype]]", obj.proto));
        return items;
    }

    function closureName(env) {
        return "闭包 (" + (env.callee.name || env.callee.displayName || "匿名函数") + ")";
    }

    // Local (the frame's own scopes), one group per enclosing function, and the global.
    function scopesOf(f) {
        var local = {name: "局部", envs: [], thisValue: undefined};
        try { local.thisValue = f["this"]; } catch (e) {}
        var globalScope = {name: "全局", envs: [], global: true};
        var closures = [], pending = [], localDone = false;
        for (var env = f.environment; env; env = env.parent) {
            var isGlobalObject = env.type === "object" && global && env.object === global;
            var isGlobalLexical = env.type === "declarative" && env.parent && env.parent.type === "object" &&
                global && env.parent.object === global;
            if (isGlobalObject || isGlobalLexical) {
                globalScope.envs.push(env);
                continue;
            }
            if (env.inspectable === false) continue;
            pending.push(env);
            if (!env.callee) continue;
            if (!localDone && f.callee && env.callee === f.callee) local.envs = pending;
            else closures.push({name: closureName(env), envs: pending});
            localDone = true;
            pending = [];
        }
        if (pending.length) {
            if (!localDone) local.envs = pending;
            else closures.push({name: "闭包", envs: pending});
        }
        var scopes = [local].concat(closures, [globalScope]), out = [];
        for (var i = 0; i < scopes.length; i++) {
            if (!scopes[i].envs.length && scopes[i] !== local) continue;
            out.push({name: scopes[i].name, handle: handleOf({scope: scopes[i]})});
        }
        return out;
    }

    g.__qyDebugger = {
        // Attaches to the main host's global; the scripts of the loaded code that
        // already exist (functions of code that ran before) get their breakpoints.
        attach: function (globalObject) {
            clearStepping();
            dbg.removeAllDebuggees();
            loadedScripts = [];
            loadedUrls = {};
            pageScripts = false;
            lastThrow = null;
            global = dbg.addDebuggee(globalObject);
            dynamicScripts = [];
        },
        // The loaded code's name; its scripts that exist already (functions of code
        // that ran before the debugger was attached) get their breakpoints.
        addLoaded: function (url) {
            loadedUrls[url] = true;
            var scripts = dbg.findScripts();
            for (var i = 0; i < scripts.length; i++) if (scripts[i].url === url && !isDynamic(scripts[i])) takeScript(scripts[i]);
        },
        // The debuggee is a loaded page's global: its scripts are the loaded code; those
        // that exist already get their breakpoints.
        setPage: function (on) {
            if (pageScripts === !!on) return;
            pageScripts = !!on;
            if (!pageScripts) return;
            var scripts = dbg.findScripts();
            for (var i = 0; i < scripts.length; i++)
                if (isLoadedUrl(scripts[i].url) && !isDynamic(scripts[i]) && loadedScripts.indexOf(scripts[i]) < 0)
                    takeScript(scripts[i]);
        },
        detach: function () {
            clearStepping();
            dbg.removeAllDebuggees();
            global = null;
            pageScripts = false;
            loadedScripts = [];
            dynamicScripts = [];
        },
        // Breakpoints of the loaded code: [{line, condition, hitCount, logMessage}].
        setBreakpoints: function (list) {
            breakpoints = [];
            for (var i = 0; i < list.length; i++) {
                var b = list[i];
                breakpoints.push({line: b.line, condition: b.condition || "", hitCount: b.hitCount || 0,
                                  logMessage: b.logMessage || "", hits: 0});
            }
            rearm();
        },
        // Breakpoints in code made at run time: [{text, line}].
        setDynamicBreakpoints: function (list) {
            dynamicBreakpoints = [];
            for (var i = 0; i < list.length; i++)
                dynamicBreakpoints.push({text: list[i].text, line: list[i].line, condition: "", hitCount: 0, logMessage: "", hits: 0});
            rearmDynamic();
        },
        resetHits: function () {
            for (var i = 0; i < breakpoints.length; i++) breakpoints[i].hits = 0;
            lastThrow = null;
        },
        setSkipDebugger: function (skip) {
            skipDebugger = !!skip;
        },
        setExceptionMode: function (mode) {
            exceptionMode = mode;
            dbg.onExceptionUnwind = mode ? onException : undefined;
        },
        // The busy window's "暂停": the next step of a user frame pauses.
        pauseSoon: function () {
            stepRun = __qyRun();
            for (var f = dbg.getNewestFrame(); f; f = f.older) {
                if (!isUserFrame(f)) continue;
                f.onStep = pauseAtNextStep("pause");
                watchFrame(f);
            }
            dbg.onEnterFrame = function (f) {
                if (busy || staleStep() || !isUserFrame(f)) return undefined;
                f.onStep = pauseAtNextStep("pause");
                watchFrame(f);
                return undefined;
            };
        },
        // A page breakpoint reached inside the environment's work: the pause is in the
        // newest frame of the user's code. "stop", "continue", or "" when there is none.
        pauseHere: function (what) {
            var f = dbg.getNewestFrame();
            while (f && !isUserFrame(f)) f = f.older;
            if (!f) return "";
            return pause(f, "page", what) === null ? "stop" : "continue";
        },
        frames: function () {
            var out = [];
            for (var i = 0; i < pausedFrames.length; i++) {
                var f = pausedFrames[i], loc = frameLocation(f);
                out.push({name: frameName(f), line: loc[0], column: loc[1], loaded: isLoadedUrl(f.script.url) && !isDynamic(f.script),
                          dynamic: isDynamic(f.script) ? f.script.source.text : ""});
            }
            return out;
        },
        scopes: function (index) {
            var f = pausedFrames[index];
            return f ? scopesOf(f) : [];
        },
        children: function (handle) {
            var h = handles[handle];
            if (!h) return [];
            if (h.scope) return scopeItems(h.scope);
            if (h.start !== undefined) return rangeItems(h.object, h.start, h.end);
            return objectItems(h.object);
        },
        // {ok, text, value}: value is the result itself when it is no object (the
        // workbench writes it by its own rules), text describes it in any case.
        // `console`, when given, is what the name means in the text: the log's own.
        evaluate: function (index, text, console) {
            var f = pausedFrames[index];
            if (!f) return {ok: false, text: "没有可用的调用帧"};
            var bindings = null;
            if (console && global) {
                try { bindings = {console: global.makeDebuggeeValue(console)}; } catch (e) { bindings = null; }
            }
            var c = evalIn(f, text, bindings);
            if (!c) return {ok: false, text: "计算超时"};
            if ("throw" in c) return {ok: false, text: errorText(c["throw"])};
            var v = c["return"];
            return {ok: true, text: describe(v), isObject: v instanceof Debugger.Object, value: v instanceof Debugger.Object ? undefined : v};
        }
    };
})(this);
