// Sees every exception thrown in the persona's globals and words the
// property errors as V8 does: V8 quotes the property with single quotes, names symbols
// as Symbol(…), and tells a write ("Cannot set properties of …") from a read, which it
// reads from the source text at the place that failed. Runs in a global of its own
// that no page's script can reach.
(function () {
    'use strict';
    var dbg = new Debugger();
    // The engine's form of the property: a quoted string, an index or a well-known symbol
    // (once reworded, a message no longer fits, so an error passing several frames is
    // reworded once).
    var pattern = /^Cannot read properties of (null|undefined) \(reading ("(?:[^"\\]|\\.)*"|-?\d+|Symbol\.\w+)\)$/;

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

    dbg.onExceptionUnwind = function (frame, value) {
        if (!value || typeof value !== 'object') return undefined;
        var error = value.unsafeDereference();
        try {
            var message = Object.getOwnPropertyDescriptor(error, 'message');
            var m = message && typeof message.value === 'string' && pattern.exec(message.value);
            if (m && m[2] === 'Symbol.iterator') {
                error.message = m[1] + ' is not iterable (cannot read property Symbol(Symbol.iterator))';
            } else if (m) {
                var k = key(m[2]);
                error.message = isWrite(frame)
                    ? 'Cannot set properties of ' + m[1] + " (setting '" + k + "')"
                    : 'Cannot read properties of ' + m[1] + " (reading '" + k + "')";
            }
        } catch (e) {
            // Whatever cannot be read is left as the engine wrote it.
        }
        return undefined;
    };
    return function watch(global) { dbg.addDebuggee(global); };
})();
