// Sees every exception thrown in the persona's globals, once per error, and words the
// property errors as V8 does: V8 quotes the property with single quotes, names symbols
// as Symbol(…), and tells a write ("Cannot set properties of …") from a read, which it
// reads from the source text at the place that failed. Runs in a global of its own
// that no page's script can reach.
(function () {
    'use strict';
    var dbg = new Debugger();
    var seen = new WeakSet();
    var pattern = /^Cannot read properties of (null|undefined) \(reading (.*)\)$/;

    function key(raw) {
        if (raw.length >= 2 && raw[0] === '"' && raw[raw.length - 1] === '"') return raw.slice(1, -1).replace(/\\"/g, '"');
        if (/^Symbol\./.test(raw)) return 'Symbol(' + raw + ')';
        return raw;
    }

    // True when the property access at the frame's place is the target of a plain
    // assignment: after the member expression that starts there comes `=`, not `==` (a
    // compound assignment reads first, and V8 reports the read).
    function isWrite(frame) {
        var script = frame.script;
        if (!script || !script.source) return false;
        var text = script.source.text;
        var where = script.getOffsetLocation(frame.offset);
        var line = where.lineNumber - script.source.startLine + 1, column = where.columnNumber;
        var at = 0;
        for (var l = 1; l < line; l++) {
            at = text.indexOf('\n', at);
            if (at < 0) return false;
            at++;
        }
        at += column;
        var depth = 0, c;
        // The access the engine points at: a member chain of names, dots and brackets.
        for (; at < text.length; at++) {
            c = text[at];
            if (c === '[' || c === '(') depth++;
            else if (c === ']' || c === ')') {
                if (depth === 0) break;
                depth--;
            } else if (depth === 0 && !/[\w$.\s?]/.test(c)) break;
        }
        if (at >= text.length) return false;
        var rest = text.slice(at, at + 4);
        return /^=(?!=)/.test(rest);
    }

    dbg.onExceptionUnwind = function (frame, value) {
        if (!value || typeof value !== 'object') return undefined;
        var error = value.unsafeDereference();
        if (seen.has(error)) return undefined;
        seen.add(error);
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
