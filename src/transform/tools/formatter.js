// The workbench's JavaScript formatter: format(text) returns the script with one
// statement per line and blocks indented by four spaces. Only white space and line
// breaks change: every token of the input comes out unchanged and in order. Line
// breaks of the input are kept (they can carry meaning through automatic semicolon
// insertion); new ones are added only after ";" "{" "}" and line comments and before
// "}", where they never change what the script means.
(function (global) {
    var PUNCTUATORS = ['>>>=', '...', '===', '!==', '**=', '<<=', '>>=', '>>>', '&&=', '||=', '??=',
        '=>', '==', '!=', '<=', '>=', '&&', '||', '??', '?.', '++', '--', '+=', '-=', '*=', '/=', '%=',
        '&=', '|=', '^=', '<<', '>>', '**'];
    // After these keywords a "/" starts a regular expression, not a division.
    var PUNCT_BY_LENGTH = [null, null, {}, {}, {}];
    for (var pi = 0; pi < PUNCTUATORS.length; pi++) PUNCT_BY_LENGTH[PUNCTUATORS[pi].length][PUNCTUATORS[pi]] = true;

    // Character classes by code: faster than regular expressions on every character.
    function isIdentPart(code) {
        return (code >= 97 && code <= 122) || (code >= 65 && code <= 90) || (code >= 48 && code <= 57) ||
            code === 95 || code === 36 || code === 92 || code >= 128;
    }
    function isIdentStart(code) {
        return isIdentPart(code) && !(code >= 48 && code <= 57);
    }
    function isBlank(code) {
        return code === 32 || code === 9 || code === 13 || code === 12 || code === 11 || code === 0xa0 ||
            code === 0xfeff || code === 0x2028 || code === 0x2029 || code === 0x3000;
    }
    var REGEX_AFTER_WORD = {
        'return': 1, 'typeof': 1, 'instanceof': 1, 'in': 1, 'of': 1, 'new': 1, 'delete': 1, 'void': 1,
        'throw': 1, 'case': 1, 'do': 1, 'else': 1, 'yield': 1, 'await': 1
    };

    function isDigit(c) { return c >= '0' && c <= '9'; }

    // Splits a script into tokens {t: kind, v: text, nl: line breaks before (0..2), sp: blank
    // before} and hands each to `sink` as it is made, so that a large script is never held
    // as one big array of tokens.
    function tokenize(src, sink) {
        var i = 0, n = src.length, nl = 0, sp = false, lastCode = null;
        function regexAllowed() {
            var p = lastCode;
            if (!p) return true;
            if (p.t === 'num' || p.t === 'str' || p.t === 'tpl' || p.t === 'regex') return false;
            if (p.t === 'word') return REGEX_AFTER_WORD.hasOwnProperty(p.v);
            return p.v !== ')' && p.v !== ']';
        }
        function push(t, v, lineComment) {
            var tok = {t: t, v: v, nl: nl > 2 ? 2 : nl, sp: sp, line: lineComment === true};
            if (t !== 'comment') lastCode = tok;
            nl = 0;
            sp = false;
            sink(tok);
        }
        function skipQuoted(j) {
            var q = src.charAt(j);
            j++;
            while (j < n && src.charAt(j) !== q && src.charAt(j) !== '\n') j += src.charAt(j) === '\\' ? 2 : 1;
            return Math.min(j + 1, n);
        }
        // A template literal is one token, its ${ } substitutions included.
        function skipTemplate(j) {
            j++;
            while (j < n) {
                var c = src.charAt(j);
                if (c === '\\') { j += 2; continue; }
                if (c === '`') return j + 1;
                if (c === '$' && src.charAt(j + 1) === '{') {
                    var depth = 1;
                    j += 2;
                    while (j < n && depth > 0) {
                        var d = src.charAt(j);
                        if (d === '"' || d === "'") { j = skipQuoted(j); continue; }
                        if (d === '`') { j = skipTemplate(j); continue; }
                        if (d === '{') depth++;
                        else if (d === '}') depth--;
                        j++;
                    }
                    continue;
                }
                j++;
            }
            return n;
        }
        while (i < n) {
            var code = src.charCodeAt(i);
            if (code === 10) { nl++; i++; continue; }
            if (isBlank(code)) { sp = true; i++; continue; }
            var c = src.charAt(i);
            var start = i;
            if (c === '/' && src.charAt(i + 1) === '/') {
                while (i < n && src.charAt(i) !== '\n') i++;
                push('comment', src.slice(start, i).replace(/\s+$/, ''), true);
                continue;
            }
            if (c === '/' && src.charAt(i + 1) === '*') {
                var close = src.indexOf('*/', i + 2);
                i = close < 0 ? n : close + 2;
                push('comment', src.slice(start, i));
                continue;
            }
            if (isIdentStart(code)) {
                i++;
                while (i < n && isIdentPart(src.charCodeAt(i))) i += src.charCodeAt(i) === 92 ? 2 : 1;
                push('word', src.slice(start, i));
                continue;
            }
            if (isDigit(c) || (c === '.' && isDigit(src.charAt(i + 1)))) {
                i++;
                while (i < n) {
                    var d = src.charAt(i);
                    if (/[0-9A-Za-z_.]/.test(d)) i++;
                    else if ((d === '+' || d === '-') && /[eE]/.test(src.charAt(i - 1)) && !/^0[xX]/.test(src.slice(start, i))) i++;
                    else break;
                }
                push('num', src.slice(start, i));
                continue;
            }
            if (c === '"' || c === "'") {
                i = skipQuoted(i);
                push('str', src.slice(start, i));
                continue;
            }
            if (c === '`') {
                i = skipTemplate(i);
                push('tpl', src.slice(start, i));
                continue;
            }
            if (c === '/' && regexAllowed()) {
                i++;
                var inClass = false;
                while (i < n) {
                    var r = src.charAt(i);
                    if (r === '\\') { i += 2; continue; }
                    if (r === '\n') break;
                    if (r === '[') inClass = true;
                    else if (r === ']') inClass = false;
                    else if (r === '/' && !inClass) { i++; break; }
                    i++;
                }
                while (i < n && isIdentPart(src.charCodeAt(i))) i++;
                push('regex', src.slice(start, i));
                continue;
            }
            var p = c;
            for (var len = 4; len >= 2; len--) {
                var cand = src.substr(i, len);
                if (PUNCT_BY_LENGTH[len][cand] === true) { p = cand; break; }
            }
            if (p === '?.' && isDigit(src.charAt(i + 2))) p = '?';
            i += p.length;
            push('punct', p);
        }
    }

    // A blank is needed where two tokens would otherwise merge into one.
    function needsBlank(a, b) {
        var x = a.v.charCodeAt(a.v.length - 1), y = b.v.charCodeAt(0);
        if (isIdentPart(x) && isIdentPart(y)) return true;
        if (a.t === 'word' || b.t === 'word') return false;
        if (a.t === 'num' && y === 46) return true;                                  // 1 .toString
        if ((x === 43 || x === 45) && (y === x || y === 61 || (x === 45 && y === 62))) return true;  // + +, - -, -=, ->
        if (x === 47 && (y === 47 || y === 42)) return true;                        // / / and / *
        if (a.t === 'regex' && isIdentPart(y)) return true;
        if (x === 60 && y === 33) return true;                                      // < !
        if (y === 61 && a.t === 'punct' && '=!<>+-*/%&|^?'.indexOf(a.v.charAt(a.v.length - 1)) >= 0) return true;
        return false;
    }

    var INDENTS = [''];
    function indentOf(level) {
        while (INDENTS.length <= level) INDENTS.push(INDENTS[INDENTS.length - 1] + '    ');
        return INDENTS[level];
    }

    var SAME_LINE_AFTER_BRACE = {'else': 1, 'catch': 1, 'finally': 1};

    function format(text) {
        text = String(text === undefined || text === null ? '' : text);
        var out = [], line = '', indent = 0, lineIndent = 0, open = [], prev = null, forceBreak = false;
        function flush() {
            if (line.length) out.push(indentOf(lineIndent) + line);
            line = '';
        }
        function lineBreak(count) {
            flush();
            if (count > 1 && out.length && out[out.length - 1] !== '') out.push('');
        }
        function add(tok) {
            if (forceBreak && !tok.nl) tok.nl = 1;
            forceBreak = false;
            var breakBefore = 0;
            if (prev) {
                if (tok.nl) breakBefore = tok.nl;
                else if (prev.t === 'comment' && prev.line) breakBefore = 1;
                else if (prev.t === 'punct' && prev.v === ';' && !inParens(open) && !(tok.t === 'comment' && !tok.nl)) breakBefore = 1;
                else if (prev.t === 'punct' && prev.v === '{' && !(tok.t === 'punct' && tok.v === '}')) breakBefore = 1;
                else if (tok.t === 'punct' && tok.v === '}' && !(prev.t === 'punct' && prev.v === '{')) breakBefore = 1;
                else if (prev.t === 'punct' && prev.v === '}' && breaksAfterBrace(tok)) breakBefore = 1;
            }
            if (tok.t === 'punct' && tok.v === '}') indent = Math.max(0, indent - 1);
            if (breakBefore) {
                if (line.length || breakBefore > 1) lineBreak(breakBefore);
            } else if (line.length && (tok.sp || needsBlank(prev, tok) || spacedPair(prev, tok))) {
                line += ' ';
            }
            if (!line.length) lineIndent = indent;
            line += tok.v;
            if (tok.t === 'punct') {
                if (tok.v === '{') indent++;
                if (tok.v === '{' || tok.v === '(' || tok.v === '[') open.push(tok.v);
                else if (tok.v === '}' || tok.v === ')' || tok.v === ']') open.pop();
            }
            if (tok.t === 'comment' && tok.v.indexOf('\n') >= 0) {
                // A block comment keeps its inner lines exactly; its last line ends the line.
                var parts = line.split('\n');
                for (var q = 0; q < parts.length - 1; q++) {
                    out.push(q === 0 ? indentOf(lineIndent) + parts[q] : parts[q]);
                }
                out.push(parts[parts.length - 1]);
                line = '';
                forceBreak = true;
            }
            prev = tok;
        }
        tokenize(text, add);
        flush();
        return out.join('\n');
    }

    // A ";" inside parentheses (a for head) does not end a line.
    function inParens(open) {
        return open.length > 0 && open[open.length - 1] === '(';
    }

    function breaksAfterBrace(tok) {
        if (tok.t === 'word') return !SAME_LINE_AFTER_BRACE.hasOwnProperty(tok.v) && tok.v !== 'while';
        if (tok.t === 'punct') return tok.v === '{' || tok.v === '}';
        return tok.t !== 'comment';
    }

    // "} else" keeps one blank between the brace and the word.
    function spacedPair(a, b) {
        return a.t === 'punct' && a.v === '}' && b.t === 'word';
    }

    global.format = format;
})(this);
