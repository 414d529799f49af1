// The engines an encoder may have written its output for. JScrewIt-style encoders take
// characters out of the text of built-in functions and of browser objects by index, and
// each engine writes those texts its own way: a native function is
// "function flat() { [native code] }" in V8, "function flat() {\n    [native code]\n}" in
// ours (as in Firefox and Safari), and the same between line feeds in Internet Explorer;
// "self" is "[object Window]" in every browser and missing outside one. The capture box
// decodes under each persona in turn, and unpack_persona_pick keeps the decoding that
// reads as a program.

// '' is this engine as it is; 'v8' and 'ie' write natives as those engines do.
var unpack_personas = ['', 'v8', 'ie'];

// A native function's text as the persona's engine writes it.
function unpack_native_text(persona, text) {
    var m = /^function ([\w$]*)\(\) \{\n    \[native code\]\n\}$/.exec(text);
    if (!m || !persona) return text;
    if (persona === 'v8') return 'function ' + m[1] + '() { [native code] }';
    return '\nfunction ' + m[1] + '() {\n    [native code]\n}\n';
}

// Function.prototype.toString writes natives as the persona's engine does until the
// returned function is called.
function unpack_persona_enter(persona) {
    var proto = unpack_global.Function.prototype, saved = proto.toString;
    var leaveHelpers = unpack_iterator_helpers_enter();
    if (!persona) return leaveHelpers;
    var leaveHtml = persona === 'ie' ? unpack_capital_html_enter() : function () {};
    var written = function toString() {
        var text = saved.call(this === written ? saved : this);
        return unpack_native_text(persona, text);
    };
    proto.toString = written;
    return function () {
        proto.toString = saved;
        leaveHelpers();
        leaveHtml();
    };
}

// Internet Explorer writes the tags of the string HTML methods in capitals and leaves
// quotes in their attributes as they are: "a".fontcolor("x") is '<FONT COLOR="x">a</FONT>'.
function unpack_capital_html_enter() {
    var proto = unpack_global.String.prototype, saved = {};
    var tags = { anchor: 'A NAME', big: 'BIG', blink: 'BLINK', bold: 'B', fixed: 'TT', fontcolor: 'FONT COLOR',
                 fontsize: 'FONT SIZE', italics: 'I', link: 'A HREF', small: 'SMALL', strike: 'STRIKE', sub: 'SUB', sup: 'SUP' };
    for (var name in tags) {
        if (!unpack_has(tags, name)) continue;
        saved[name] = proto[name];
        proto[name] = (function (tag) {
            var parts = tag.split(' ');
            return function (value) {
                var open = parts.length > 1 ? parts[0] + ' ' + parts[1] + '="' + String(value) + '"' : parts[0];
                return '<' + open + '>' + String(this) + '</' + parts[0] + '>';
            };
        })(tags[name]);
    }
    return function () {
        for (var n in saved) if (unpack_has(saved, n)) proto[n] = saved[n];
    };
}

// Iterator helpers (map, filter… on every iterator) as the engines that have them give
// them, for the encoders that read "[object Iterator Helper]"; this engine has none.
function unpack_iterator_helpers_enter() {
    var proto = Object.getPrototypeOf(Object.getPrototypeOf([][unpack_global.Symbol.iterator]()));
    var names = ['map', 'filter', 'take', 'drop', 'flatMap'], added = [];
    for (var i = 0; i < names.length; i++) {
        if (Object.prototype.hasOwnProperty.call(proto, names[i])) continue;
        Object.defineProperty(proto, names[i], { configurable: true, writable: true, value: unpack_iterator_helper });
        added.push(names[i]);
    }
    return function () {
        for (var j = 0; j < added.length; j++) delete proto[added[j]];
    };
}

var unpack_iterator_helper_proto = null;

// What an iterator helper gives: an iterator whose text is "[object Iterator Helper]".
function unpack_iterator_helper() {
    if (!unpack_iterator_helper_proto) {
        unpack_iterator_helper_proto = Object.create(Object.getPrototypeOf(Object.getPrototypeOf([][unpack_global.Symbol.iterator]())));
        Object.defineProperty(unpack_iterator_helper_proto, unpack_global.Symbol.toStringTag, { value: 'Iterator Helper' });
        unpack_iterator_helper_proto.next = function () { return { value: undefined, done: true }; };
    }
    return Object.create(unpack_iterator_helper_proto);
}

// An object whose text is `text`: what the encoders read of browser objects.
function unpack_text_object(text) {
    var o = {};
    o.toString = function () { return text; };
    return o;
}

// Browser globals the encoders read the text of, for a scope lookup of `key` that the
// engine's own global does not answer; undefined when there is none.
function unpack_persona_global(persona, key) {
    switch (key) {
    case 'self': case 'window': case 'top': case 'parent': case 'frames':
        return unpack_text_object('[object Window]');
    case 'document': return unpack_text_object('[object HTMLDocument]');
    case 'statusbar': case 'menubar': case 'toolbar': case 'locationbar': case 'personalbar': case 'scrollbars':
        return unpack_text_object('[object BarProp]');
    case 'status': case 'name': return '';
    case 'location': return unpack_text_object('about:blank');
    case 'navigator': return unpack_text_object('[object Navigator]');
    case 'console': return persona === 'ie' ? unpack_text_object('[object Console]') : undefined;
    }
    return undefined;
}

// Of the programs decoded under each persona (null where the decoding failed), the one
// to keep: the text all agree on; otherwise the one that compiles with the fewest
// "undefined" (what an index past the end of a text another engine writes longer gives),
// ties going to the earlier persona. null when none compiles.
function unpack_persona_pick(bodies) {
    var best = -1, bestScore = 0;
    for (var i = 0; i < bodies.length; i++) {
        var body = bodies[i];
        if (body === null) continue;
        try {
            new unpack_global.Function(body);
        } catch (e) {
            continue;
        }
        var score = body.split('undefined').length + (/[^\x09\x0a\x0d\x20-\x7e\u00a0-\uffff]/.test(body) ? 10 : 0);
        if (best < 0 || score < bestScore) { best = i; bestScore = score; }
    }
    return best;
}
