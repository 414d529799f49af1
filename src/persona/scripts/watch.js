// Sees every exception thrown in the persona's globals and words the
// property errors as V8 does: V8 quotes the property with single quotes, names symbols
// as Symbol(…), and tells a write ("Cannot set properties of …") from a read, which it
// reads from the source text at the place that failed. Runs in a global of its own
// that no page's script can reach. `makeWords` (words.js) words the rest of the
// engine's messages as V8 does.
(function (makeWords) {
    'use strict';
    var dbg = new Debugger();
    // Besides the property errors, two ways the engine says a value is no object: V8
    // names neither null nor undefined there.
    var incompatible = /^(\w+\.prototype\.\w+) called on incompatible (?:null|undefined)$/;
    // The engine's form of the property: a quoted string, an index or a well-known symbol
    // (once reworded, a message no longer fits, so an error passing several frames is
    // reworded once).
    var pattern = /^Cannot read properties of (null|undefined) \(reading ("(?:[^"\\]|\\.)*"|-?\d+|Symbol\.\w+)\)$/;
    // The engine's own words when it names the expression ("can't access property "b", a.x
    // is undefined"): V8 leaves the expression out, so the table cannot say it.
    var enginePattern = /^can't access property ("(?:[^"\\]|\\.)*"|-?\d+|Symbol\.\w+), [\s\S]* is (null|undefined)$/;
    function propertyFailure(text) {
        if (typeof text !== 'string') return null;
        var m = pattern.exec(text);
        if (m) return m;
        m = enginePattern.exec(text);
        return m ? [m[0], m[2], m[1]] : null;
    }

    function key(raw) {
        if (raw.length >= 2 && raw[0] === '"' && raw[raw.length - 1] === '"') return raw.slice(1, -1).replace(/\\"/g, '"');
        if (/^Symbol\./.test(raw)) return 'Symbol(' + raw + ')';
        return raw;
    }

    // Each source's text and where its lines start, read once (a script may be large and
    // throw often).
    var sources = new WeakMap();
    function sourceOf(source) {
        var known = sources.get(source);
        if (known) return known;
        var text = source.text, starts = [0];
        for (var i = text.indexOf('\n'); i >= 0; i = text.indexOf('\n', i + 1)) starts.push(i + 1);
        known = {text: text, starts: starts, first: source.startLine || 1};
        sources.set(source, known);
        return known;
    }
    // True when the property access at the frame's place is the target of a plain
    // assignment: after the member expression that starts there comes `=`, not `==` (a
    // compound assignment reads first, and V8 reports the read).
    function isWrite(frame) {
        var script = frame.script;
        if (!script || !script.source) return false;
        var known = sourceOf(script.source), text = known.text;
        var where = script.getOffsetLocation(frame.offset);
        var start = known.starts[where.lineNumber - known.first];
        if (start === undefined) return false;
        var at = start + where.columnNumber;
        var depth = 0, c;
        // The access the engine points at: a member chain of names, dots and brackets.
        for (; at < text.length; at++) {
            c = text[at];
            if (c === '[' || c === '(') depth++;
            else if (c === ']' || c === ')') {
                if (depth === 0) break;
                depth--;
            } else if (depth === 0 && !/[\w$. \t?]/.test(c)) break;
        }
        if (at >= text.length) return false;
        var rest = text.slice(at, at + 4);
        return /^=(?!=)/.test(rest);
    }

    // Where the frame stands in its source: the text, its line's start and end, and the
    // place. A minified script is one long line, so only `kReach` characters either side
    // of the place are ever read.
    var kReach = 400;
    function placeOf(frame) {
        var script = frame.script;
        if (!script || !script.source) return null;
        var known = sourceOf(script.source), where = script.getOffsetLocation(frame.offset);
        var index = where.lineNumber - known.first, start = known.starts[index];
        if (start === undefined) return null;
        var next = known.starts[index + 1];
        return {text: known.text, start: start, at: start + where.columnNumber, end: next === undefined ? known.text.length : next - 1};
    }
    function restOfLine(frame) {
        var p = placeOf(frame);
        return p ? p.text.slice(p.at, Math.min(p.end, p.at + kReach)) : '';
    }

    // The engine reports an object on the right of instanceof that cannot be called as a
    // failed call of it; the statement it points at shows the instanceof.
    function isInstanceofOperand(frame, operand) {
        var bare = /^\((.*)\)$/.test(operand) ? operand.slice(1, -1) : operand;
        var line = restOfLine(frame).replace(/\s+/g, ' ');
        return line.indexOf('instanceof ' + operand) >= 0 || line.indexOf('instanceof ' + bare) >= 0;
    }

    // The source line around the frame's place (ending where restOfLine ends).
    function wholeLine(frame) {
        var p = placeOf(frame);
        return p ? p.text.slice(Math.max(p.start, p.at - kReach), Math.min(p.end, p.at + kReach)) : '';
    }
    // The engine places some calls at their parenthesis; V8 at the callee's name.
    function callPlace(script, at) {
        if (!script.source) return at;
        var known = sourceOf(script.source), start = known.starts[at.lineNumber - known.first];
        if (start === undefined) return at;
        // A for-of loop, placed at its start, V8 places at its binding.
        if (known.text[start + at.columnNumber] === 'f') {
            var loop = /^for\s*(?:await\s*)?\(\s*(?:(?:var|let|const)\s+)?(?=[\w$\[{][^;]*?\sof\s)/.exec(
                known.text.slice(start + at.columnNumber, start + at.columnNumber + kReach));
            if (loop) return {lineNumber: at.lineNumber, columnNumber: at.columnNumber + loop[0].length};
        }
        if (known.text[start + at.columnNumber] !== '(') return at;
        var i = start + at.columnNumber;
        while (i > start && /\s/.test(known.text[i - 1])) i--;
        var end = i;
        while (i > start && /[\w$]/.test(known.text[i - 1])) i--;
        return i < end ? {lineNumber: at.lineNumber, columnNumber: i - start} : at;
    }
    var made = makeWords(restOfLine, isWrite, typeName), words = made.reword;

    function isInternal(script) {
        return !script || /^qy-internal:/.test(script.url);
    }

    dbg.onExceptionUnwind = function (frame, value) {
        // Only errors (a thrown object of another kind is left as it is).
        if (!value || typeof value !== 'object' || value.errorLineNumber === undefined) return undefined;
        // The workbench's own scripts pass the error on to the page's code, which sees
        // it in V8's words (the persona's built-ins word theirs themselves).
        if (isInternal(frame.script)) {
            // Unless nothing of the page's code is left to pass it to: a built-in of the
            // workbench called straight from a promise's job. Its error is settled when
            // it leaves the built-in.
            if (!frame.older && !frame.onPop) frame.onPop = leavesBuiltin;
            return undefined;
        }
        var error = value.unsafeDereference();
        if (noted.has(error)) return undefined;
        noted.add(error);
        try {
            var page = pages.get(frame.script.global.unsafeDereference());
            // Only the engine's own errors: one the page made has its stack already and
            // keeps its words.
            var limit = page ? page.note(error) : -1;
            if (typeof limit === 'number' && limit >= 0) settleNoted(page, frame, error, reword(error, frame), limit);
        } catch (e) {
            // Whatever cannot be read is left as the engine wrote it.
        }
        return undefined;
    };

    function leavesBuiltin(completion) {
        var thrown = completion && completion['throw'];
        if (!thrown || typeof thrown !== 'object' || thrown.errorLineNumber === undefined) return undefined;
        var error = thrown.unsafeDereference();
        if (noted.has(error)) return undefined;
        noted.add(error);
        var page = pages.get(this.script.global.unsafeDereference());
        try {
            var limit = page ? page.note(error) : -1;
            if (typeof limit !== 'number' || limit < 0) return undefined;
            var builtin = reword(error, null);
            // Called with no receiver, V8 names the built-in alone.
            settleNoted(page, null, error, typeof builtin === 'string' ? builtin.replace(/^\w+\./, '') : '', limit);
        } catch (e) {
            // left as the engine made it
        }
        return undefined;
    }

    // Gives `error` (thrown at `frame`, or rejected by a built-in when `frame` is null)
    // V8's message; answers the built-in frame V8 shows above the caller, '' for none at
    // all, or null.
    function reword(error, frame) {
        {
            var message = Object.getOwnPropertyDescriptor(error, 'message');
            var m = message && propertyFailure(message.value);
            var text = message && message.value;
            if (typeof text === 'string' && /^invalid assignment to const '.*'$/.test(text)) {
                error.message = 'Assignment to constant variable.';
            } else if (typeof text === 'string' && /^invalid 'instanceof' operand /.test(text)) {
                error.message = "Right-hand side of 'instanceof' is not an object";
            } else if (typeof text === 'string' && /^second argument to Function\.prototype\.\w+ must be an array$/.test(text)) {
                error.message = 'CreateListFromArrayLike called on non-object';
            } else if (text === "Iterator constructor can't be used directly") {
                error.message = 'Abstract class Iterator not directly constructable';
            } else if (typeof text === 'string' && / is not an object or null$/.test(text) && !/^class heritage /.test(text)) {
                // The prototype of a class's heritage, or of an object.
                var heritage = frame && /\bextends\b/.test(wholeLine(frame));
                error.message = (heritage ? 'Class extends value does not have valid prototype property '
                                          : 'Object prototype may only be an Object or null: ') + text.slice(0, -' is not an object or null'.length);
            } else if (typeof text === 'string' && / is not a function$/.test(text) && frame &&
                       isInstanceofOperand(frame, text.slice(0, -' is not a function'.length))) {
                error.message = "Right-hand side of 'instanceof' is not callable";
            } else if (typeof text === 'string' && incompatible.test(text)) {
                error.message = text.replace(incompatible, '$1 called on null or undefined');
            } else if (m && m[2] === 'Symbol.iterator') {
                // The language's own iteration (spread, patterns) names the operand as the
                // source writes it; a built-in names the value.
                var operand = frame && made.iteratedOperand(frame, function () { return wholeLine(frame); });
                error.message = operand ? operand[0] + ' is not iterable' + (operand[1] ? ' (cannot read property ' + m[1] + ')' : '')
                    : m[1] + ' is not iterable (cannot read property Symbol(Symbol.iterator))';
            } else if (m) {
                var k = key(m[2]);
                error.message = frame && isWrite(frame)
                    ? 'Cannot set properties of ' + m[1] + " (setting '" + k + "')"
                    : 'Cannot read properties of ' + m[1] + " (reading '" + k + "')";
            } else if (typeof text === 'string' && /^(?:unexpected token: identifier|missing variable name|missing } in compound statement|missing ; before statement|unexpected token: keyword '\w+')$/.test(text) &&
                       made.syntaxWords(error, frame, function () { return wholeLine(frame); })) {
                // A syntax error of eval or Function: V8 names the token found.
                error.message = made.syntaxWords(error, frame, function () { return wholeLine(frame); });
            } else {
                var said = words(text, frame, function () { return frame ? wholeLine(frame) : ''; });
                if (said && typeof said[0] === 'string') error.message = said[0];
                return said ? said[1] : null;
            }
        }
        return null;
    }
    // ---- frames as V8 names them -----------------------------------------------------

    // The name V8 infers for an anonymous function from the variable or member its
    // expression was stored in ("g" for `var g = [function () {}][0]`), or ''. The
    // engine's guess ("g<") also names a function given to a call there, which V8 does
    // not: the source between the function and the assignment tells.
    function inferredName(callee) {
        var d = callee.displayName;
        var m = typeof d === 'string' ? /^([\w$]+(?:\.[\w$]+)*)(<?)$/.exec(d) : null;
        if (!m) return '';
        if (m[2] && givenToCall(callee)) return '';
        return m[1];
    }
    function givenToCall(callee) {
        var script = callee.script;
        if (!script || !script.source || typeof script.sourceStart !== 'number') return true;
        var text = sourceOf(script.source).text, from = Math.max(0, script.sourceStart - kReach);
        var before = text.slice(from, script.sourceStart).replace(/(?:async\s*)?(?:function\s*\*?\s*[\w$]*\s*)?$/, '');
        for (var i = before.length - 1, depth = 0; i >= 0; i--) {
            var c = before[i];
            if (c === ')' || c === ']' || c === '}') depth++;
            else if (c === '(' || c === '[' || c === '{') {
                if (depth > 0) {
                    depth--;
                } else if (c === '(') {
                    // An opening parenthesis after a name or a call's end starts arguments.
                    if (/[\w$)\]]\s*$/.test(before.slice(Math.max(0, i - 40), i))) return true;
                }
            } else if (depth === 0 && (c === ';' || (c === '=' && before[i + 1] !== '=' && before[i - 1] !== '=' && before[i - 1] !== '!'))) {
                return false;
            }
        }
        return false;
    }

    // The name V8 gives a receiver's type: a function's own name, else the constructor
    // its prototypes name.
    function typeName(receiver) {
        if (receiver.callable) return receiver.name || 'Function';
        for (var p = receiver.proto, depth = 0; p && depth < 50; p = p.proto, depth++) {
            var d = p.getOwnPropertyDescriptor('constructor');
            if (d && d.value && typeof d.value === 'object' && d.value.callable) return d.value.name || 'Object';
        }
        return 'Object';
    }
    // The member of `receiver` (or of its prototypes) that holds `callee` under another
    // name than `name`: V8 shows it as "[as member]" (a toString the engine called, a
    // proxy's trap). Only plain values are read, a few prototypes deep.
    function memberName(receiver, callee, name) {
        if (!name) return '';
        try {
            for (var o = receiver, depth = 0; o && depth < 3; o = o.proto, depth++) {
                if (o.isProxy) return '';
                var own = o.getOwnPropertyDescriptor(name);
                if (own && own.value === callee) return '';
                var names = o.getOwnPropertyNames();
                if (names.length > 200) return '';
                for (var i = 0; i < names.length; i++) {
                    var d = o.getOwnPropertyDescriptor(names[i]);
                    if (d && d.value === callee) return names[i] === name ? '' : names[i];
                }
            }
        } catch (e) {
            // nothing to show
        }
        return '';
    }

    // What introduced eval'd code: [file, line, column, the caller's name], or null.
    function introduction(source) {
        var type = source.introductionType;
        if ((type !== 'eval' && type !== 'Function') || !source.introductionScript) return null;
        var intro = source.introductionScript, at = intro.getOffsetLocation(source.introductionOffset);
        var outer = introduction(intro.source);
        // Named as V8 names a function: by its own name or the one it was stored under.
        var caller = inferredName({displayName: intro.displayName, script: intro}) || '<anonymous>';
        return outer ? [outer[0], outer[1], outer[2], caller, outer]
                     : [intro.url, at.lineNumber, at.columnNumber + 1, caller, null];
    }
    // The limit, then one record per frame from `frame` outwards, as V8's call sites hold
    // it: [file, line, column, function name, type name or null, constructing, eval line
    // (0: not eval'd code), eval column, eval caller, false, the member it ran as when
    // that is another name]; a built-in between two frames has a record without a file. The caller, which knows the user's
    // files, drops the workbench's own frames and keeps `limit` of the rest.
    function describe(frame, limit) {
        var out = [limit], last = null;
        for (var f = frame, n = 0; f && n < limit + 20 && out.length <= limit + 20; f = f.older, n++) {
            last = f;
            var script = f.script;
            if (!script) continue;
            var at = callPlace(script, script.getOffsetLocation(f.offset)), name = '', type = null, constructing = false, alias = '';
            var intro = introduction(script.source);
            if (f.type === 'eval') {
                name = 'eval';
            } else if (f.type === 'call' && f.callee) {
                // The function's `name` as the language gives it (inferred from where it
                // was defined, as V8 shows it), without running anything.
                var named = f.callee.getOwnPropertyDescriptor('name');
                name = named && typeof named.value === 'string' ? named.value : f.callee.name || '';
                if (intro && script.source.introductionType === 'Function' && name === 'anonymous') name = 'eval';
                // An anonymous function is named by where it was stored: in a member
                // ("o.f", with no type before it) or a variable.
                var inferred = name ? '' : inferredName(f.callee);
                var stored = inferred.indexOf('.') > 0;
                if (inferred) name = inferred;
                if (f.constructing) {
                    constructing = true;
                } else if (!f.callee.isArrowFunction && !stored && !/^[gs]et /.test(name)) {
                    // An arrow function has no receiver of its own (the engine refuses to
                    // give one), and V8 names none.
                    var self = f['this'];
                    if (self && !(self instanceof Debugger.Object)) throw new Error('this ' + typeof self + Object.getOwnPropertyNames(self) + String(self));
                if (self && typeof self === 'object' && self.unsafeDereference() !== script.global.unsafeDereference()) {
                        type = typeName(self);
                        alias = memberName(self, f.callee, name);
                    }
                }
            }
            out.push(intro ? [intro[0], at.lineNumber, at.columnNumber + 1, name, type, constructing, intro[1], intro[2], intro[3], false, alias]
                           : [script.url, at.lineNumber, at.columnNumber + 1, name, type, constructing, 0, 0, '', false, alias]);
            // A built-in that called this function (Array.map, new Promise) shows between
            // it and its caller; a generator's own method ("gen.next") first.
            var older = f.type === 'call' ? f.older : null;
            if (older && older.script && !isInternal(older.script) && f.callee && f.callee.isGeneratorFunction &&
                !f.callee.isAsyncFunction && f.callee.name) {
                var resumed = /^(?:[\w$]+\s*\(\s*\)\s*)?\.?\s*(next|return|throw)\s*\(/.exec(restOfLine(older));
                out.push(builtinRecord(f.callee.name + '.' + (resumed ? resumed[1] : 'next')));
            }
            if (older && older.script && !isInternal(older.script)) {
                var between = made.callerBuiltin(name, older, function () { return wholeLine(older); });
                if (between) out.push(builtinRecord(between));
            }
        }
        // An async function resumed by a job has no older frame; past it come the async
        // functions waiting for it, as far as each one's promise is awaited by the next.
        if (last && !last.older) awaiting(last, out, limit + 21 - out.length);
        return out;
    }

    // The engine places an await at its operand; V8 at the keyword.
    function awaitPlace(script, at) {
        var known = sourceOf(script.source), start = known.starts[at.lineNumber - known.first];
        if (start === undefined) return at;
        var from = Math.max(start, start + at.columnNumber - kReach);
        var before = known.text.slice(from, start + at.columnNumber);
        // A for-await loop, placed at its start, V8 places at its binding.
        if (/^for\b/.test(known.text.slice(start + at.columnNumber, start + at.columnNumber + 3))) return callPlace(script, at);
        var m = /\bawait\b[^;{}]*$/.exec(before);
        if (!m) return at;
        // The last await before the place.
        var last = before.lastIndexOf('await');
        return {lineNumber: at.lineNumber, columnNumber: from + last - start};
    }

    // The async functions waiting for the one running in `frame`: V8 follows each
    // function's promise while its only reaction is another async function's await, and
    // shows that function at its await ("at async outer"). A caller that only called it,
    // or awaits it through then or a combinator, ends the chain.
    function awaiting(frame, out, room) {
        try {
            waiters(frame, out, room);
        } catch (e) {
            // the chain ends where the debugger cannot follow it
        }
    }
    function waiters(frame, out, room) {
        var promise = frame.callee && frame.callee.isAsyncFunction ? frame.asyncPromise : null;
        for (var n = 0; promise && n < room; n++) {
            var reactions = promise.getPromiseReactions();
            if (reactions.length !== 1 || !(reactions[0] instanceof Debugger.Frame)) return;
            var waiting = reactions[0], script = waiting.script;
            if (!script || isInternal(script) || !waiting.callee) return;
            var at = script.getOffsetLocation(waiting.offset), intro = introduction(script.source);
            var named = waiting.callee.getOwnPropertyDescriptor('name');
            var name = named && typeof named.value === 'string' ? named.value : waiting.callee.name || '';
            // A waiting frame keeps no receiver the debugger can give, so a method shows
            // by its name alone.
            var type = null;
            at = awaitPlace(script, at);
            out.push(intro ? [intro[0], at.lineNumber, at.columnNumber + 1, name, type, false, intro[1], intro[2], intro[3], true, '']
                           : [script.url, at.lineNumber, at.columnNumber + 1, name, type, false, 0, 0, '', true, '']);
            promise = waiting.asyncPromise;
        }
    }

    // Naming frames through the debugger costs some microseconds a frame, so a page
    // gets it for its first errors only; after these (code that throws in a loop) its
    // errors take the engine's own frame names, at the engine's speed.
    var kNamedErrors = 2000;

    // Thrown errors get their frames where they are first seen.
    // Weak, so that a page dropped by a reset goes with its global.
    var noted = new WeakSet(), pages = new WeakMap();
    // Weak, so that a page dropped by a reset goes with its global.
    var noted = new WeakSet(), pages = new WeakMap();
    // Gives an error of the engine's its frames, at most `limit` of them: `builtin`
    // ("Type.name" or "new Type") is the built-in it came from, shown above the frame as
    // V8 shows it; '' leaves no frames at all.
    function settleNoted(page, frame, error, builtin, limit) {
        // Frames the debugger cannot name leave the error the engine's frames, never
        // without a stack.
        var records = null;
        if (builtin === '' || (!frame && builtin)) {
            records = builtin && limit > 0 ? [limit, builtinRecord(builtin)] : [limit];
        } else if (frame && page.left > 0) {
            page.left--;
            try {
                records = describe(frame, limit);
                placeAccess(frame, error, records);
                if (builtin && limit > 0) records.splice(1, 0, builtinRecord(builtin));
            } catch (e) {
                records = null;
            }
        }
        page.note(error, records);
    }
    // A property of null or undefined: the engine places the error at the start of the
    // member chain, V8 at the member read (its name, or its bracket) or at the `=` of a
    // write.
    var accessFailure = /^Cannot (read|set) properties of (?:null|undefined) \((?:reading|setting) '([\s\S]*)'\)$/;
    function placeAccess(frame, error, records) {
        var message = Object.getOwnPropertyDescriptor(error, 'message');
        var m = message && typeof message.value === 'string' && accessFailure.exec(message.value);
        var p = m && records.length > 1 && placeOf(frame);
        if (!p) return;
        var text = p.text, end = Math.min(text.length, p.at + kReach), depth = 0, named = -1, bracket = -1, i = p.at;
        for (; i < end; i++) {
            var c = text[i];
            if (c === '(' || c === '[' || c === '{') {
                if (c === '[' && depth === 0 && bracket < 0) bracket = i;
                depth++;
            } else if (c === ')' || c === ']' || c === '}') {
                if (depth === 0) break;
                depth--;
            } else if (depth === 0 && c === '.') {
                var name = /^\.\s*([\w$]+)/.exec(text.slice(i, i + 200));
                if (name && name[1] === m[2] && named < 0) named = i + name[0].length - name[1].length;
            } else if (depth === 0 && !/[\w$\s?]/.test(c)) {
                break;
            }
        }
        var at = named >= 0 ? named : bracket;
        if (m[1] === 'set') at = text[i] === '=' && text[i + 1] !== '=' ? i : -1;
        if (at < 0) return;
        var known = sourceOf(frame.script.source), line = 0;
        for (var lo = 0, hi = known.starts.length - 1; lo <= hi; ) {
            var mid = (lo + hi) >> 1;
            if (known.starts[mid] <= at) {
                line = mid;
                lo = mid + 1;
            } else {
                hi = mid - 1;
            }
        }
        records[1][1] = line + known.first;
        records[1][2] = at - known.starts[line] + 1;
    }

    // A built-in's frame: no file and no line, shown as "at Type.name (<anonymous>)".
    function builtinRecord(builtin) {
        // A built-in without a name: "at <anonymous>".
        if (builtin === '<anonymous>') return ['', 0, 0, '', null, false, 0, 0, ''];
        var made = /^new (.*)$/.exec(builtin), dot = builtin.lastIndexOf('.');
        if (made) return ['', 0, 0, made[1], null, true, 0, 0, ''];
        return ['', 0, 0, builtin.slice(dot + 1), dot > 0 ? builtin.slice(0, dot) : null, false, 0, 0, ''];
    }

    // A promise a built-in rejected with `error` (of the page whose global is `global`)
    // while nothing waited for it: the engine made the error without a frame of the
    // page's code unwinding, so it is worded and given its frames here, where the code
    // that called the built-in is still running.
    function rejected(global, error) {
        if (!error || typeof error !== 'object' || noted.has(error)) return;
        var page = pages.get(global);
        if (!page) return;
        noted.add(error);
        var frame = dbg.getNewestFrame();
        while (frame && isInternal(frame.script)) frame = frame.older;
        try {
            var limit = page.note(error);
            if (typeof limit === 'number' && limit >= 0) settleNoted(page, frame, error, reword(error, frame), limit);
        } catch (e) {
            // left as the engine made it
        }
    }

    function watch(global, note) {
        var g = dbg.addDebuggee(global);
        var page = {note: note, left: kNamedErrors};
        pages.set(g.unsafeDereference(), page);
        // The frames of the code that is running, for an error made now.
        return function frames(limit) {
            if (page.left <= 0) return null;
            page.left--;
            return describe(dbg.getNewestFrame(), limit);
        };
    }
    return {watch: watch, rejected: rejected};
});
