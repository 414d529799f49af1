// Built-in methods that answer as JScript 5.8's do. Runs first in every JScript global;
// the surface script that runs after it removes the newer built-ins, so everything the
// replacements need at run time is taken here, up front, and called through these
// captured references only.
(function (global) {
    var defineProperty = Object.defineProperty;
    var NativeDate = Date, NativeRegExp = RegExp, NativeString = String;
    var objectToString = Object.prototype.toString, functionToString = Function.prototype.toString;
    var nativeExec = RegExp.prototype.exec;
    var originalText = global.__qyRtOriginalText;
    function classOf(v) { return objectToString.call(v); }

    // The replacements and the names their native text shows. Each replaces a built-in
    // that is already there, so a plain assignment keeps its attributes.
    var ourFunctions = [], ourNames = [];
    function ours(fn, name) {
        ourFunctions[ourFunctions.length] = fn;
        ourNames[ourNames.length] = name;
        return fn;
    }
    function put(obj, name, fn) { return obj[name] = ours(fn, name); }
    // JScript's own errors, (kind, code, description) -> error; the error script that
    // runs next hands its maker over before the natives go.
    var jscriptError = null;
    defineProperty(global, '__qyRtTakeErrorMaker', {
        value: function (maker) { jscriptError = maker; }, writable: true, configurable: true });
    var KIND_RANGE = 4, KIND_TYPE = 7, KIND_URI = 8;
    function toInteger(v) {
        var n = +v;
        if (n !== n) return 0;
        return n < 0 ? Math.ceil(n) : Math.floor(n);
    }

    // ---- Function ----
    // The constructor reads the body as JScript reads eval's text (its syntax errors
    // included) and the function prints as JScript prints it: "function anonymous(a,b)
    // {\nbody\n}". The name "anonymous" is only in that text; the body never sees it.
    var prepareEval = global.__qyRtPrepareEval, nativeEval = global.eval, NativeFunction = Function;
    var anonymousTexts = new WeakMap(), weakGet = WeakMap.prototype.get, weakSet = WeakMap.prototype.set;
    var KIND_SYNTAX = 6;
    var JScriptFunction = ours(function Function(p) {
        var n = arguments.length, names = '';
        for (var k = 0; k + 1 < n; k++) names += (k ? ',' : '') + NativeString(arguments[k]);
        var body = n > 0 ? NativeString(arguments[n - 1]) : '';
        var prepared = prepareEval('(function (' + names + ') {\n' + body + '\n})');
        if (typeof prepared !== 'string') throw jscriptError(KIND_SYNTAX, prepared[0], prepared[1]);
        var fn = nativeEval(prepared);
        weakSet.call(anonymousTexts, fn, 'function anonymous(' + names + ') {\n' + body + '\n}');
        return fn;
    }, 'Function');
    defineProperty(JScriptFunction, 'prototype', {value: NativeFunction.prototype});
    defineProperty(NativeFunction.prototype, 'constructor', {value: JScriptFunction, writable: true, configurable: true});
    defineProperty(global, 'Function', {value: JScriptFunction, writable: true, configurable: true});

    // Functions print with a newline on either side; natives, ours included, as native code.
    put(NativeFunction.prototype, 'toString', function toString() {
        if (this === NativeFunction.prototype) return '\nfunction prototype() {\n    [native code]\n}\n';
        for (var i = 0; i < ourFunctions.length; i++)
            if (ourFunctions[i] === this) return '\nfunction ' + ourNames[i] + '() {\n    [native code]\n}\n';
        var made = weakGet.call(anonymousTexts, this);
        if (made !== undefined) return made;
        // Code the gate rewrote prints as the user wrote it.
        var text = originalText(this);
        if (typeof text === 'string') return text;
        text = functionToString.call(this);
        return text.slice(-15) === '[native code]\n}' ? '\n' + text + '\n' : text;
    });

    // ---- Object ----
    put(Object.prototype, 'toString', function toString() {
        'use strict';
        if (this === null || this === undefined) return '[object Object]';
        var c = classOf(this);
        return c === '[object Arguments]' ? '[object Object]' : c;
    });

    // ---- Properties that shadow a hidden built-in one ----
    // JScript neither enumerates nor calls enumerable an object's property whose name a
    // built-in prototype on its chain holds as a hidden (DontEnum) one: the toString of
    // {toString: f}, the constructor of a prototype object written as a literal.
    var getPrototypeOf = Object.getPrototypeOf, createObject = Object.create;
    var ownNames = Object.getOwnPropertyNames;
    var hasOwn = Object.prototype.hasOwnProperty, isEnumerable = Object.prototype.propertyIsEnumerable;
    var builtinPrototypes = [Object.prototype, Function.prototype, Array.prototype, String.prototype,
        Boolean.prototype, Number.prototype, NativeDate.prototype, NativeRegExp.prototype, Error.prototype,
        EvalError.prototype, RangeError.prototype, ReferenceError.prototype, SyntaxError.prototype,
        TypeError.prototype, URIError.prototype];
    var hiddenNames = null;  // per built-in prototype, its hidden names; taken on first use,
                             // when the built-ins of later editions are gone
    function hiddenOf(proto) {
        if (hiddenNames === null) {
            hiddenNames = [];
            for (var i = 0; i < builtinPrototypes.length; i++) {
                var names = ownNames(builtinPrototypes[i]), hidden = [];
                for (var j = 0; j < names.length; j++)
                    if (!isEnumerable.call(builtinPrototypes[i], names[j])) hidden[hidden.length] = names[j];
                hiddenNames[i] = hidden;
            }
        }
        for (var k = 0; k < builtinPrototypes.length; k++) if (builtinPrototypes[k] === proto) return hiddenNames[k];
        return null;
    }
    // The names o would enumerate that a hidden built-in shadows (an object without
    // prototype, keyed by name), or null when there are none.
    function shadowedNames(o) {
        var skip = null;
        for (var p = getPrototypeOf(o); p !== null; p = getPrototypeOf(p)) {
            var hidden = hiddenOf(p);
            if (hidden === null) continue;
            for (var i = 0; i < hidden.length; i++) {
                for (var q = o; q !== p; q = getPrototypeOf(q)) {
                    if (hasOwn.call(q, hidden[i]) && isEnumerable.call(q, hidden[i])) {
                        if (skip === null) skip = createObject(null);
                        skip[hidden[i]] = true;
                        break;
                    }
                }
            }
        }
        return skip;
    }
    function isIndex(k) { return (k >>> 0) + '' === k && k !== '4294967295'; }
    put(Object.prototype, 'propertyIsEnumerable', function propertyIsEnumerable(name) {
        if (!isEnumerable.call(this, name)) return false;
        if (typeof this === 'string' || this instanceof NativeString) return !isIndex(NativeString(name));
        var skip = shadowedNames(this);
        return skip === null || skip[NativeString(name)] !== true;
    });
    // What a for-in loop of rewritten code walks: the object itself, or, when some of its
    // names are shadowed (or it is a string, whose characters are not properties), an
    // object holding only the names JScript visits, in the same order.
    defineProperty(global, '__qyEnum', { value: function __qyEnum(o) {
        var text = typeof o === 'string' || (typeof o === 'object' && o instanceof NativeString);
        if (!text && (o === null || (typeof o !== 'object' && typeof o !== 'function'))) return o;
        var skip = text ? null : shadowedNames(o);
        if (skip === null && !text) return o;
        var names = createObject(null);
        for (var k in o) if (skip === null ? !isIndex(k) : skip[k] !== true) names[k] = true;
        return names;
    } });

    // ---- Global functions ----
    var nativeParseInt = parseInt;
    // Without a radix a leading zero means octal, as in the third edition's engines.
    put(global, 'parseInt', function parseInt(string, radix) {
        var s = NativeString(string);
        if (radix === undefined || (radix | 0) === 0) {
            var m = nativeExec.call(/^\s*[-+]?(0[xX]?)?/, s)[1];
            radix = m === undefined ? 10 : m.length === 2 ? 16 : 8;
        }
        return nativeParseInt(s, radix);
    });

    // ---- Number ----
    var numberValue = Number.prototype.valueOf, nativeToFixed = Number.prototype.toFixed;
    function zeros(n) { var z = ''; while (n-- > 0) z += '0'; return z; }
    // The shortest digits that read back as x (x > 0) and the exponent e with x = 0.digits * 10^e.
    function decimalDigits(x) {
        var t = NativeString(x), e = 0, at = t.indexOf('e');
        if (at >= 0) { e = +t.substring(at + 1); t = t.substring(0, at); }
        var dot = t.indexOf('.');
        if (dot < 0) dot = t.length; else t = t.substring(0, dot) + t.substring(dot + 1);
        var first = 0, last = t.length;
        while (first < last && t.charAt(first) === '0') first++;
        while (last > first && t.charAt(last - 1) === '0') last--;
        return { digits: t.substring(first, last), exp: e + dot - first };
    }
    // Rounds the shortest decimal form half up; when the first digit lies just past the last
    // place kept, only a first digit that itself rounds up to 10 (0.95 and above) carries.
    put(Number.prototype, 'toFixed', function toFixed(fractionDigits) {
        var x = numberValue.call(this), f = toInteger(fractionDigits);
        if (f < 0 || f > 20) return nativeToFixed.call(x, -1);  // the engine's own range error
        if (x !== x) return 'NaN';
        var sign = '';
        if (x < 0) { sign = '-'; x = -x; }
        if (x >= 1e21) return sign + NativeString(x);
        var d = x === 0 ? { digits: '', exp: 0 } : decimalDigits(x);
        var digits = d.digits, exp = d.exp, keep = exp + f;
        if (keep === 0 && digits.charAt(0) === '9' && digits.charAt(1) >= '5') {
            digits = '1'; exp += 1; keep = 1;
        } else if (keep <= 0) {
            digits = ''; keep = 0;
        } else if (digits.length > keep) {
            var up = digits.charAt(keep) >= '5', i = keep;
            digits = digits.substring(0, keep);
            while (up && i > 0 && digits.charAt(i - 1) === '9') i--;
            if (up && i > 0) {
                digits = digits.substring(0, i - 1) + (+digits.charAt(i - 1) + 1) + zeros(keep - i);
                up = false;
            } else if (up) {
                digits = zeros(keep);
            }
            if (up) { digits = '1' + digits; exp += 1; keep += 1; }
        }
        // digits now hold the value's places from 10^(exp-1) down, no further than 10^-f.
        digits += zeros(keep - digits.length);
        var intPart, frac;
        if (exp > 0) { intPart = digits.substring(0, exp); frac = digits.substring(exp); }
        else { intPart = '0'; frac = zeros(-exp) + digits; }
        frac = (frac + zeros(f)).substring(0, f);
        return sign + intPart + (f > 0 ? '.' + frac : '');
    });

    // The system's number format, that of a Chinese system: two decimals, thousands
    // grouped with commas, a leading minus.
    var toFixed = Number.prototype.toFixed;
    put(Number.prototype, 'toLocaleString', function toLocaleString() {
        var x = numberValue.call(this);
        if (x !== x || x === Infinity || x === -Infinity) return NativeString(x);
        var a = x < 0 ? -x : x;
        // The shortest decimal form rounds half up; below a hundredth toFixed would not.
        var text = a < 0.01 ? (a >= 0.005 ? '0.01' : '0.00') : toFixed.call(a, 2), dot = text.indexOf('.');
        if (dot < 0) return (x < 0 ? '-' : '') + text;
        var whole = text.substring(0, dot), grouped = '';
        while (whole.length > 3) {
            grouped = ',' + whole.substring(whole.length - 3) + grouped;
            whole = whole.substring(0, whole.length - 3);
        }
        var digits = whole + grouped + text.substring(dot);
        return x < 0 && digits !== '0.00' ? '-' + digits : digits;
    });
    // The elements' own locale texts, separated by the list separator and a space.
    var isArray = Array.isArray, nativeArrayToString = Array.prototype.toString;
    function arrayExpected(a) {
        if (!isArray(a)) throw jscriptError(KIND_TYPE, 5031, '缺少 Array 对象');
    }
    put(Array.prototype, 'toString', function toString() {
        arrayExpected(this);
        return nativeArrayToString.call(this);
    });
    put(Array.prototype, 'toLocaleString', function toLocaleString() {
        arrayExpected(this);
        var out = '';
        for (var i = 0, n = this.length >>> 0; i < n; i++) {
            if (i > 0) out += ', ';
            var e = this[i];
            if (e !== undefined && e !== null) out += NativeString(e.toLocaleString());
        }
        return out;
    });

    var nativeToPrecision = Number.prototype.toPrecision;
    // A precision outside 1 to 21 is JScript's own range error, not the fraction digits'.
    // Without an argument the number prints as it is; an argument that is undefined is
    // out of range like any other that reads as no number.
    put(Number.prototype, 'toPrecision', function toPrecision(precision) {
        var x = numberValue.call(this);
        if (arguments.length === 0) return NativeString(x);
        if (precision === undefined && x === x && x !== Infinity && x !== -Infinity)
            throw jscriptError(KIND_RANGE, 5027, '精度超出了范围');
        var p = toInteger(precision);
        if ((p < 1 || p > 21) && x === x && x !== Infinity && x !== -Infinity)
            throw jscriptError(KIND_RANGE, 5027, '精度超出了范围');
        return nativeToPrecision.call(x, p);
    });

    // A radix given must be a number from 2 to 36; undefined given counts as given.
    var nativeNumberToString = Number.prototype.toString;
    put(Number.prototype, 'toString', function toString(radix) {
        var x = numberValue.call(this);
        if (arguments.length === 0) return nativeNumberToString.call(x);
        var r = toInteger(radix);
        if (radix === undefined || r < 2 || r > 36) throw jscriptError(KIND_TYPE, 5, '无效的过程调用或参数');
        return nativeNumberToString.call(x, r);
    });

    // ---- URI functions: text that cannot be encoded has its own error ----
    var NativeURIError = URIError;
    function encoder(name, native) {
        put(global, name, function (uri) {
            try {
                return native(uri);
            } catch (e) {
                if (e instanceof NativeURIError)
                    throw jscriptError(KIND_URI, 5024, '要编码的 URI 中包含无效字符');
                throw e;
            }
        });
    }
    encoder('encodeURI', encodeURI);
    encoder('encodeURIComponent', encodeURIComponent);

    // ---- String ----
    var nativeSubstr = String.prototype.substr, nativeSplit = String.prototype.split;
    put(String.prototype, 'substr', function substr(start, length) {
        var s = toInteger(start);
        return nativeSubstr.call(this, s < 0 ? 0 : s, length);
    });

    // The HTML methods write upper-case tags and take attribute values as they are.
    var SP = String.prototype;
    function wrap(s, open, close) { return '<' + open + '>' + NativeString(s) + '</' + close + '>'; }
    function attr(s, open, close, v) { return wrap(s, open + '="' + NativeString(v) + '"', close); }
    put(SP, 'anchor', function anchor(name) { return attr(this, 'A NAME', 'A', name); });
    put(SP, 'big', function big() { return wrap(this, 'BIG', 'BIG'); });
    put(SP, 'blink', function blink() { return wrap(this, 'BLINK', 'BLINK'); });
    put(SP, 'bold', function bold() { return wrap(this, 'B', 'B'); });
    put(SP, 'fixed', function fixed() { return wrap(this, 'TT', 'TT'); });
    put(SP, 'fontcolor', function fontcolor(color) { return attr(this, 'FONT COLOR', 'FONT', color); });
    put(SP, 'fontsize', function fontsize(size) { return attr(this, 'FONT SIZE', 'FONT', size); });
    put(SP, 'italics', function italics() { return wrap(this, 'I', 'I'); });
    put(SP, 'link', function link(url) { return attr(this, 'A HREF', 'A', url); });
    put(SP, 'small', function small() { return wrap(this, 'SMALL', 'SMALL'); });
    put(SP, 'strike', function strike() { return wrap(this, 'STRIKE', 'STRIKE'); });
    put(SP, 'sub', function sub() { return wrap(this, 'SUB', 'SUB'); });
    put(SP, 'sup', function sup() { return wrap(this, 'SUP', 'SUP'); });

    var MAX_LIMIT = 4294967295;
    function splitLimit(limit) {
        if (limit === undefined || limit === null) return MAX_LIMIT;
        var n;
        try { n = +limit; } catch (e) { return 0; }
        if (n !== n) return 0;
        if (n < 0) return MAX_LIMIT;
        n = Math.floor(n);
        return n > MAX_LIMIT ? MAX_LIMIT : n;
    }
    // A regular expression separator leaves out empty pieces and empty captures.
    function splitByRegExp(s, r, lim) {
        var out = [], len = s.length;
        var re = new NativeRegExp(r.source, 'g' + (r.ignoreCase ? 'i' : '') + (r.multiline ? 'm' : ''));
        if (len === 0) {
            var whole = nativeExec.call(re, s);
            return whole && whole.index === 0 ? out : [s];
        }
        var p = 0, q = 0, m, start, end, k, c;
        while (q < len) {
            re.lastIndex = q;
            m = nativeExec.call(re, s);
            if (m === null || m.index >= len) break;
            start = m.index;
            end = start + m[0].length;
            if (end === p) { q = start + 1; continue; }
            if (start > p) { out[out.length] = s.substring(p, start); if (out.length === lim) return out; }
            for (k = 1; k < m.length; k++) {
                c = m[k];
                if (c !== undefined && c !== '') { out[out.length] = c; if (out.length === lim) return out; }
            }
            p = q = end;
        }
        if (p < len) out[out.length] = s.substring(p);
        return out;
    }
    put(String.prototype, 'split', function split(separator, limit) {
        var lim = splitLimit(limit), s = NativeString(this);
        if (lim === 0) return [];
        if (separator !== null && typeof separator === 'object' && classOf(separator) === '[object RegExp]')
            return splitByRegExp(s, separator, lim);
        return nativeSplit.call(s, separator, lim === MAX_LIMIT ? undefined : lim);
    });

    // ---- RegExp ----
    // Every match sets lastIndex, global or not; captures that took no part read as empty
    // strings; the result carries lastIndex too. A global search from a lastIndex that is
    // not a number, or out of range, fails and starts over.
    function regExpExpected(r) {
        if (classOf(r) !== '[object RegExp]') throw jscriptError(KIND_TYPE, 5016, '缺少正则表达式对象');
    }
    var nativeRegExpToString = RegExp.prototype.toString, nativeTest = RegExp.prototype.test;
    put(RegExp.prototype, 'toString', function toString() {
        regExpExpected(this);
        return nativeRegExpToString.call(this);
    });
    put(RegExp.prototype, 'exec', function exec(string) {
        regExpExpected(this);
        var s = NativeString(string);
        if (this.global) {
            var at;
            try { at = +this.lastIndex; } catch (e) { at = 0; }
            at = at !== at ? -1 : toInteger(at);
            if (at < 0 || at > s.length) { this.lastIndex = 0; return null; }
            this.lastIndex = at;
        }
        var m = nativeExec.call(this, s);
        if (m === null) { this.lastIndex = 0; return null; }
        for (var k = 1; k < m.length; k++) if (m[k] === undefined) m[k] = '';
        m.lastIndex = this.lastIndex = m.index + m[0].length;
        return m;
    });

    put(RegExp.prototype, 'test', function test(string) {
        regExpExpected(this);
        return nativeTest.call(this, string);
    });

    // ---- Boolean ----
    var nativeBooleanToString = Boolean.prototype.toString, nativeBooleanValueOf = Boolean.prototype.valueOf;
    function booleanExpected(b) {
        if (typeof b !== 'boolean' && classOf(b) !== '[object Boolean]')
            throw jscriptError(KIND_TYPE, 5010, '缺少 Boolean 对象');
    }
    put(Boolean.prototype, 'toString', function toString() {
        'use strict';
        booleanExpected(this);
        return nativeBooleanToString.call(this);
    });
    put(Boolean.prototype, 'valueOf', function valueOf() {
        'use strict';
        booleanExpected(this);
        return nativeBooleanValueOf.call(this);
    });

    // ---- Array ----
    // sort takes at most one argument: no comparison (undefined or null) or a function;
    // anything else, or a second argument, is refused as JScript refuses it.
    var nativeSort = Array.prototype.sort;
    put(Array.prototype, 'sort', function sort(compare) {
        'use strict';
        if (this === null || this === undefined) throw jscriptError(KIND_TYPE, 5007, '缺少对象');
        if (arguments.length > 1 || (compare !== undefined && compare !== null && typeof compare !== 'function'))
            throw jscriptError(KIND_TYPE, 5014, '缺少 JScript 对象');
        return compare === undefined || compare === null ? nativeSort.call(this) : nativeSort.call(this, compare);
    });
    var nativeSplice = Array.prototype.splice, nativeUnshift = Array.prototype.unshift;
    // Without a count nothing is removed.
    put(Array.prototype, 'splice', function splice(start, deleteCount) {
        return nativeSplice.apply(this, arguments.length === 1 ? [start, 0] : arguments);
    });
    put(Array.prototype, 'unshift', function unshift(item) {
        nativeUnshift.apply(this, arguments);
    });

    // ---- Date ----
    var DP = NativeDate.prototype;
    var timeOf = DP.getTime, zoneOf = DP.getTimezoneOffset;
    var yearOf = DP.getFullYear, monthOf = DP.getMonth, dayOf = DP.getDate;
    var weekdayOf = DP.getDay, hoursOf = DP.getHours, minutesOf = DP.getMinutes;
    var secondsOf = DP.getSeconds;
    var utcYearOf = DP.getUTCFullYear, utcMonthOf = DP.getUTCMonth, utcDayOf = DP.getUTCDate;
    var utcWeekdayOf = DP.getUTCDay, utcHoursOf = DP.getUTCHours;
    var utcMinutesOf = DP.getUTCMinutes, utcSecondsOf = DP.getUTCSeconds;
    var setFullYear = DP.setFullYear, setHours = DP.setHours;
    var setUTCFullYear = DP.setUTCFullYear, setUTCHours = DP.setUTCHours;
    var WEEKDAYS = ['Sun', 'Mon', 'Tue', 'Wed', 'Thu', 'Fri', 'Sat'];
    var MONTHS = ['Jan', 'Feb', 'Mar', 'Apr', 'May', 'Jun', 'Jul', 'Aug', 'Sep', 'Oct', 'Nov', 'Dec'];

    function two(n) { return n < 10 ? '0' + n : '' + n; }
    function yearText(y) { return y > 0 ? '' + y : (1 - y) + ' B.C.'; }
    function clock(h, m, s) { return two(h) + ':' + two(m) + ':' + two(s); }
    // "UTC" alone at no offset; the North American names for whole hours from -8 to -5
    // (-4 in summer); otherwise "UTC" with the signed offset as hhmm.
    function zoneText(d) {
        var off = -zoneOf.call(d);
        if (off === 0) return 'UTC';
        if (off % 60 === 0 && off >= -480 && off <= -240) {
            var y = yearOf.call(d);
            var winter = -zoneOf.call(new NativeDate(y, 0, 1)), summer = -zoneOf.call(new NativeDate(y, 6, 1));
            var daylight = winter !== summer && off === Math.max(winter, summer);
            var name = (daylight ? { '-4': 'EDT', '-5': 'CDT', '-6': 'MDT', '-7': 'PDT' }
                                 : { '-5': 'EST', '-6': 'CST', '-7': 'MST', '-8': 'PST' })[off / 60];
            if (name) return name;
        }
        var a = off < 0 ? -off : off;
        return 'UTC' + (off < 0 ? '-' : '+') + two(Math.floor(a / 60)) + two(a % 60);
    }
    function dateString(d) {
        return WEEKDAYS[weekdayOf.call(d)] + ' ' + MONTHS[monthOf.call(d)] + ' ' + dayOf.call(d);
    }
    function timeString(d) {
        return clock(hoursOf.call(d), minutesOf.call(d), secondsOf.call(d)) + ' ' + zoneText(d);
    }
    function fullString(d) {
        if (timeOf.call(d) !== timeOf.call(d)) return 'NaN';
        return dateString(d) + ' ' + timeString(d) + ' ' + yearText(yearOf.call(d));
    }
    var dateToString = put(DP, 'toString', function toString() { return fullString(this); });
    put(DP, 'toDateString', function toDateString() {
        if (timeOf.call(this) !== timeOf.call(this)) return 'NaN';
        return dateString(this) + ' ' + yearText(yearOf.call(this));
    });
    put(DP, 'toTimeString', function toTimeString() {
        if (timeOf.call(this) !== timeOf.call(this)) return 'NaN';
        return timeString(this);
    });
    var toUTCString = put(DP, 'toUTCString', function toUTCString() {
        if (timeOf.call(this) !== timeOf.call(this)) return 'NaN';
        return WEEKDAYS[utcWeekdayOf.call(this)] + ', ' + utcDayOf.call(this) + ' ' + MONTHS[utcMonthOf.call(this)] + ' ' +
            yearText(utcYearOf.call(this)) + ' ' + clock(utcHoursOf.call(this), utcMinutesOf.call(this), utcSecondsOf.call(this)) + ' UTC';
    });
    put(DP, 'toGMTString', toUTCString);

    // The locale texts are those of a Chinese system; years the system cannot write fall
    // back to the plain text.
    function localeWritable(d) {
        var y = yearOf.call(d);
        return y > 1600 && y < 10000;
    }
    function localeDate(d) { return yearOf.call(d) + '年' + (monthOf.call(d) + 1) + '月' + dayOf.call(d) + '日'; }
    function localeTime(d) { return hoursOf.call(d) + ':' + two(minutesOf.call(d)) + ':' + two(secondsOf.call(d)); }
    put(DP, 'toLocaleString', function toLocaleString() {
        return localeWritable(this) ? localeDate(this) + ' ' + localeTime(this) : fullString(this);
    });
    put(DP, 'toLocaleDateString', function toLocaleDateString() {
        return localeWritable(this) ? localeDate(this) : fullString(this);
    });
    put(DP, 'toLocaleTimeString', function toLocaleTimeString() {
        return localeWritable(this) ? localeTime(this) : fullString(this);
    });

    // setTime and setYear need their argument; the object is checked first.
    var nativeSetTime = DP.setTime, nativeSetYear = DP.setYear;
    put(DP, 'setTime', function setTime(time) {
        timeOf.call(this);
        if (arguments.length === 0) throw jscriptError(KIND_TYPE, 449, '参数是必选项');
        return nativeSetTime.call(this, time);
    });
    put(DP, 'setYear', function setYear(year) {
        timeOf.call(this);
        if (arguments.length === 0) throw jscriptError(KIND_TYPE, 449, '参数是必选项');
        return nativeSetYear.call(this, year);
    });

    put(DP, 'getYear', function getYear() {
        var y = yearOf.call(this);
        return y >= 1900 && y <= 1999 ? y - 1900 : y;
    });

    // ---- Date.parse: the forms JScript reads ----
    var WORDS = null;
    function words() {  // later entries win when an abbreviation fits several; made on first use
        return WORDS || (WORDS = [
        ['sunday', 'w'], ['monday', 'w'], ['tuesday', 'w'], ['wednesday', 'w'], ['thursday', 'w'],
        ['friday', 'w'], ['saturday', 'w'],
        ['january', 'm', 0], ['february', 'm', 1], ['march', 'm', 2], ['april', 'm', 3], ['may', 'm', 4],
        ['june', 'm', 5], ['july', 'm', 6], ['august', 'm', 7], ['september', 'm', 8], ['october', 'm', 9],
        ['november', 'm', 10], ['december', 'm', 11],
        ['est', 'z', -300], ['edt', 'z', -240], ['cst', 'z', -360], ['cdt', 'z', -300], ['mst', 'z', -420],
        ['mdt', 'z', -360], ['pst', 'z', -480], ['pdt', 'z', -420], ['gmt', 'z', 0], ['utc', 'z', 0],
        ['am', 'a', 0], ['pm', 'a', 12], ['ad', 'e', 1], ['bc', 'e', -1]]);
    }
    function military(c) {  // the single-letter zones, in hours
        var i = 'abcdefghiklmnopqrstuvwxyz'.indexOf(c);
        return i < 0 ? undefined : i < 12 ? i + 1 : i < 24 ? 11 - i : 0;
    }
    function lookUp(word) {
        var plain = word.replace(/\./g, ''), found = null;
        if (plain.length === 1) { var h = military(plain); return h === undefined ? null : ['', 'z', h * 60]; }
        if (plain.length < 2) return null;
        var table = words();
        for (var i = 0; i < table.length; i++)
            if (table[i][0].substring(0, plain.length) === plain) found = table[i];
        return found;
    }
    function isDigit(c) { return c >= '0' && c <= '9'; }
    function parseDate(text) {
        var s = NativeString(text).toLowerCase(), n = s.length, i = 0, j, c;
        var year, month, day, hour, minute, second, ampm, era, zone, sign = 0;
        var nums = [], joined = '';  // joined: the mark that ran the last number into this one
        while (i < n) {
            c = s.charAt(i);
            if (c === '(') {  // comments nest
                for (var depth = 0; i < n; i++) {
                    c = s.charAt(i);
                    if (c === '(') depth++;
                    else if (c === ')' && --depth === 0) { i++; break; }
                }
                continue;
            }
            if (c === ' ' || c === ',' || c === '\t' || c === '\n' || c === '\r') { i++; continue; }
            if (isDigit(c)) {
                for (j = i; j < n && isDigit(s.charAt(j)); j++);
                var value = +s.substring(i, j), len = j - i, next = s.charAt(j);
                if (sign) {  // +hh, +hhmm or +hh:mm after a zone or a time
                    var mins = len > 2 ? Math.floor(value / 100) * 60 + value % 100 : value * 60;
                    if (len <= 2 && next === ':') {
                        for (i = ++j; j < n && isDigit(s.charAt(j)); j++);
                        mins += +s.substring(i, j);
                    }
                    zone += sign * mins;
                    sign = 0;
                    joined = '';
                    i = j;
                    continue;
                }
                var link = next === ':' || next === '/' ? next : '';
                if (next === '-' && isDigit(s.charAt(j + 1)) && hour === undefined && joined !== ':') link = '-';
                if (link === ':' || joined === ':') {
                    if (hour === undefined) hour = value;
                    else if (minute === undefined) minute = value;
                    else if (second === undefined) second = value;
                    else return NaN;
                } else {
                    nums[nums.length] = { v: value, len: len, linked: !!(link || joined) };
                }
                joined = link;
                i = link ? j + 1 : j;
                continue;
            }
            if (c === ':' && joined === ':') { i++; continue; }  // 11::32 reads as 11:32
            joined = '';
            if (c === '+' || c === '-') {
                if (sign || (hour === undefined && zone === undefined)) return NaN;
                sign = c === '+' ? 1 : -1;
                if (zone === undefined) zone = 0;
                i++;
                continue;
            }
            if (c >= 'a' && c <= 'z') {
                for (j = i; j < n && ((s.charAt(j) >= 'a' && s.charAt(j) <= 'z') || s.charAt(j) === '.'); j++);
                var w = lookUp(s.substring(i, j));
                if (w === null) return NaN;
                if (w[1] === 'm') { if (month !== undefined) return NaN; month = w[2]; }
                else if (w[1] === 'z') { if (zone !== undefined) return NaN; zone = w[2]; }
                else if (w[1] === 'a') { if (ampm !== undefined) return NaN; ampm = w[2]; }
                else if (w[1] === 'e') { if (era !== undefined) return NaN; era = w[2]; }
                i = j;
                continue;
            }
            return NaN;
        }
        if (sign) return NaN;
        // Numbers run together with / or - are month/day/year (year/month/day when the first
        // has more than two digits); the others are the day and the year around a month name.
        // A first number that can be no month or day (over 31) is the year. In this form a
        // month or day past its end runs on into the next ones.
        var k = 0, linked = false;
        if (nums.length && nums[0].linked) {
            if (month !== undefined || nums.length < 3 || !nums[1].linked || !nums[2].linked) return NaN;
            if (nums[0].len > 2 || nums[0].v > 31) { year = nums[0].v; month = nums[1].v - 1; day = nums[2].v; }
            else { month = nums[0].v - 1; day = nums[1].v; year = nums[2].v; }
            k = 3;
            linked = true;
        }
        for (; k < nums.length; k++) {
            var v = nums[k].v;
            if (month === undefined || nums[k].linked) return NaN;
            if (day === undefined && nums[k].len <= 3 && v <= 31) day = v;
            else if (year === undefined) year = v;
            else return NaN;
        }
        if (year === undefined || month === undefined || day === undefined) return NaN;
        if (era === -1) year = 1 - year;
        else if (year < 100 && era === undefined) year += 1900;
        if (hour === undefined) hour = 0;
        if (minute === undefined) minute = 0;
        if (second === undefined) second = 0;
        if (ampm !== undefined) {
            if (hour > 12) return NaN;
            hour = hour % 12 + ampm;
        }
        if (!linked && (month < 0 || month > 11 || day < 1 || day > 31)) return NaN;
        if (hour > 23 || minute > 59 || second > 59) return NaN;
        var d = new NativeDate(0);
        if (zone === undefined) {
            setFullYear.call(d, year, month, day);
            setHours.call(d, hour, minute, second, 0);
            return timeOf.call(d);
        }
        setUTCFullYear.call(d, year, month, day);
        setUTCHours.call(d, hour, minute, second, 0);
        return timeOf.call(d) - zone * 60000;
    }
    function parse(string) {
        if (string === undefined || string === null) return NaN;
        return parseDate(string);
    }

    // ---- The Date constructor: strings go through the parse above ----
    function primitiveOf(v) {
        if (v === null || (typeof v !== 'object' && typeof v !== 'function')) return v;
        if (classOf(v) === '[object Date]') return dateToString.call(v);
        var p = v.valueOf();
        return p !== null && (typeof p === 'object' || typeof p === 'function') ? NativeString(v) : p;
    }
    var Date_ = function Date(year, month, date, hours, minutes, seconds, ms) {
        if (!(this instanceof Date_)) return fullString(new NativeDate());
        var a = arguments;
        switch (a.length) {
            case 0: return new NativeDate();
            case 1:
                var v = primitiveOf(year);
                return new NativeDate(typeof v === 'string' ? parseDate(v) : +v);
            case 2: return new NativeDate(year, month);
            case 3: return new NativeDate(year, month, date);
            case 4: return new NativeDate(year, month, date, hours);
            case 5: return new NativeDate(year, month, date, hours, minutes);
            case 6: return new NativeDate(year, month, date, hours, minutes, seconds);
            default: return new NativeDate(year, month, date, hours, minutes, seconds, ms);
        }
    };
    ours(Date_, 'Date');
    defineProperty(Date_, 'prototype', { value: DP, writable: false, enumerable: false, configurable: false });
    DP.constructor = Date_;
    defineProperty(Date_, 'UTC', { value: NativeDate.UTC, writable: true, configurable: true });
    defineProperty(Date_, 'parse', { value: ours(parse, 'parse'), writable: true, configurable: true });
    if (NativeDate.now) defineProperty(Date_, 'now', { value: NativeDate.now, writable: true, configurable: true });
    global.Date = Date_;
})(this);
