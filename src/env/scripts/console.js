// 控制台（青柚JS调试工具）：console 的各个方法把参数按浏览器控制台的写法写成一行，
// 如 "console.log: a 1"，交给调用者给的 write。ES3 写成，JScript 5.8 与现代引擎都能运行。
// 整段是一个函数表达式：浏览器环境用它做页面的 console，现代目标没有环境时也单独装上它。
(function (write) {
    var hasOwn = Object.prototype.hasOwnProperty;
    var toText = String;

    // A page that replaces Function.prototype.toString, or gives an object a getter, to
    // learn whether someone looks at its values finds the console's previews never
    // call either: sources come from the original toString, getters show as (...).
    var fnToString = Function.prototype.toString, getDesc = Object.getOwnPropertyDescriptor;
    function noop() {}
    function sourceOf(f) {
        try {
            return fnToString.call(f);
        } catch (e) {
            return 'function () { [native code] }';
        }
    }
    function functionName(f) {
        var m = /^\s*function\s*([\w$]*)/.exec(sourceOf(f));
        return m ? m[1] : '';
    }
    function isArray(v) { return Object.prototype.toString.call(v) === '[object Array]'; }
    function quoted(s) { return "'" + s.replace(/\\/g, '\\\\').replace(/'/g, "\\'").replace(/\n/g, '\\n') + "'"; }
    function numberText(n) { return n === 0 && 1 / n < 0 ? '-0' : toText(n); }
    function constructorPrefix(v) {
        var c = v.constructor;
        if (typeof c !== 'function' || c === Object) return '';
        var name = functionName(c);
        return name ? name + ' ' : '';
    }
    function errorText(e) {
        var name = e.name || 'Error', message = e.message;
        if (message === undefined || message === '') message = e.description || '';
        return message ? name + ': ' + message : name;
    }
    function isError(v) {
        return v instanceof Error || Object.prototype.toString.call(v) === '[object Error]';
    }
    // A value as the console shows it: in full at the top (depth 0), one level inside a
    // container as a short mark (Array(3), {…}, ƒ).
    function preview(v, depth) {
        var t = typeof v;
        if (t === 'string') return depth === 0 ? v : quoted(v);
        if (t === 'number') return numberText(v);
        if (t === 'boolean' || v === null || t === 'undefined') return toText(v);
        if (t === 'function') {
            if (depth > 0) return '\u0192';
            return '\u0192 ' + sourceOf(v).replace(/^\s*function\s*/, '');
        }
        if (t !== 'object') {
            try { return toText(v); } catch (e1) { return t; }
        }
        if (v instanceof Date) return toText(v);
        if (isError(v)) return errorText(v);
        var parts = [], k, n = 0;
        if (isArray(v)) {
            if (depth > 0) return 'Array(' + v.length + ')';
            for (k = 0; k < v.length && k < 100; k++) parts.push(preview(v[k], depth + 1));
            if (v.length > 100) parts.push('\u2026');
            return '(' + v.length + ') [' + parts.join(', ') + ']';
        }
        if (depth > 0) return constructorPrefix(v) + '{\u2026}';
        for (k in v) {
            if (!hasOwn.call(v, k)) continue;
            if (++n > 100) {
                parts.push('\u2026');
                break;
            }
            var d = getDesc ? getDesc(v, k) : null;
            parts.push(k + ': ' + (d && !('value' in d) ? '(...)' : preview(v[k], depth + 1)));
        }
        return constructorPrefix(v) + '{' + parts.join(', ') + '}';
    }
    // The arguments as the browser's console writes them: a leading format string takes
    // %s %d %i %f %o %O %c, the rest follow separated by spaces.
    function consoleText(args) {
        var out = [], at = 0;
        if (typeof args[0] === 'string' && args[0].indexOf('%') >= 0) {
            at = 1;
            out.push(args[0].replace(/%([sdifoOc%])/g, function (m, c) {
                if (c === '%') return '%';
                if (at >= args.length) return m;
                var v = args[at++];
                if (c === 's') return typeof v === 'string' ? v : preview(v, 1);
                if (c === 'd' || c === 'i') return numberText(parseInt(v, 10));
                if (c === 'f') return numberText(parseFloat(v));
                if (c === 'c') return '';
                return preview(v, 0);
            }));
        }
        for (; at < args.length; at++) out.push(preview(args[at], 0));
        return out.join(' ');
    }
    function consoleMethod(level) {
        return function () { write('console.' + level + ': ' + consoleText(arguments)); };
    }

    var console = {}, i;
    var levels = ['log', 'info', 'warn', 'error', 'debug', 'table', 'dir', 'trace'];
    for (i = 0; i < levels.length; i++) console[levels[i]] = consoleMethod(levels[i]);
    console.assert = function (condition) {
        if (condition) return;
        var rest = [];
        for (var n = 1; n < arguments.length; n++) rest.push(arguments[n]);
        write('console.assert: Assertion failed' + (rest.length ? ': ' + consoleText(rest) : ''));
    };
    var quiet = ['group', 'groupCollapsed', 'groupEnd', 'time', 'timeEnd', 'timeLog', 'count', 'countReset', 'clear',
        'profile', 'profileEnd'];
    for (i = 0; i < quiet.length; i++) console[quiet[i]] = noop;

    return {
        console: console,
        // An error nobody caught (in a timer or an event handler), as the browser reports it.
        uncaught: function (e) {
            write('console.error: Uncaught ' + (typeof e === 'object' && e !== null ? errorText(e) : preview(e, 1)));
        },
        functionName: functionName
    };
})
