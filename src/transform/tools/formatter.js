// The workbench's JavaScript formatter: format(text) returns the script with one
// statement per line and blocks indented by four spaces. Only white space and line
// breaks change: every token of the input comes out unchanged and in order. Line
// breaks of the input are kept (they can carry meaning through automatic semicolon
// insertion); new ones are added only after ";" "{" "}" and line comments and before
// "}", where they never change what the script means.
(function (global) {
    var IDENT_START = /[A-Za-z_$\u0080-\uffff\\]/;
    var IDENT_PART = /[A-Za-z0-9_$\u0080-\uffff\\]/;
    var PUNCTUATORS = ['>>>=', '...', '===', '!==', '**=', '<<=', '>>=', '>>>', '&&=', '||=', '??=',
        '=>', '==', '!=', '<=', '>=', '&&', '||', '??', '?.', '++', '--', '+=', '-=', '*=', '/=', '%=',
        '&=', '|=', '^=', '<<', '>>', '**'];
    // After these keywords a "/" starts a regular expression, not a division.
    var REGEX_AFTER_WORD = {
        'return': 1, 'typeof': 1, 'instanceof': 1, 'in': 1, 'of': 1, 'new': 1, 'delete': 1, 'void': 1,
        'throw': 1, 'case': 1, 'do': 1, 'else': 1, 'yield': 1, 'await': 1
    };

    function isDigit(c) { return c >= '0' && c <= '9'; }

    // Splits a script into tokens: {t: kind, v: text, nl: line breaks before (0..2), sp: blank before}.
    function tokenize(src) {
        var tokens = [], i = 0, n = src.length, nl = 0, sp = false;
        function last() {
            for (var k = tokens.length - 1; k >= 0; k--) if (tokens[k].t !== 'comment') return tokens[k];
            return null;
        }
        function regexAllowed() {
            var p = last();
            if (!p) return true;
            if (p.t === 'num' || p.t === 'str' || p.t === 'tpl' || p.t === 'regex') return false;
            if (p.t === 'word') return REGEX_AFTER_WORD.hasOwnProperty(p.v);
            return p.v !== ')' && p.v !== ']';
        }
        function push(t, v) {
            tokens.push({t: t, v: v, nl: nl > 2 ? 2 : nl, sp: sp});
            nl = 0;
            sp = false;
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
            var c = src.charAt(i);
            if (c === '\n') { nl++; i++; continue; }
            if (c === ' ' || c === '\t' || c === '\r' || c === '\f' || c === '\v' || c === '\u00a0' ||
                c === '\ufeff' || c === '\u2028' || c === '\u2029' || c === '\u3000') { sp = true; i++; continue; }
            var start = i;
            if (c === '/' && src.charAt(i + 1) === '/') {
                while (i < n && src.charAt(i) !== '\n') i++;
                push('comment', src.slice(start, i).replace(/\s+$/, ''));
                tokens[tokens.length - 1].line = true;
                continue;
            }
            if (c === '/' && src.charAt(i + 1) === '*') {
                var close = src.indexOf('*/', i + 2);
                i = close < 0 ? n : close + 2;
                push('comment', src.slice(start, i));
                continue;
            }
            if (IDENT_START.test(c)) {
                i++;
                while (i < n && IDENT_PART.test(src.charAt(i))) i += src.charAt(i) === '\\' ? 2 : 1;
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
                while (i < n && IDENT_PART.test(src.charAt(i))) i++;
                push('regex', src.slice(start, i));
                continue;
            }
            var p = c;
            for (var k = 0; k < PUNCTUATORS.length; k++) {
                var cand = PUNCTUATORS[k];
                if (src.substr(i, cand.length) === cand) { p = cand; break; }
            }
            if (p === '?.' && isDigit(src.charAt(i + 2))) p = '?';
            i += p.length;
            push('punct', p);
        }
        return tokens;
    }

    // A blank is needed where two tokens would otherwise merge into one.
    function needsBlank(a, b) {
        var x = a.v.charAt(a.v.length - 1), y = b.v.charAt(0);
        if (IDENT_PART.test(x) && IDENT_PART.test(y)) return true;
        if (a.t === 'num' && y === '.') return true;
        if ((x === '+' || x === '-') && (y === x || y === '=' || (x === '-' && y === '>' ))) return true;
        if (x === '/' && (y === '/' || y === '*')) return true;
        if (a.t === 'regex' && IDENT_PART.test(y)) return true;
        if (x === '<' && y === '!') return true;
        if (x === '!' && y === '=') return true;
        if (y === '=' && /[=!<>+\-*\/%&|^?]/.test(x) && a.t === 'punct') return true;
        return false;
    }

    var SAME_LINE_AFTER_BRACE = {'else': 1, 'catch': 1, 'finally': 1};

    function format(text) {
        text = String(text === undefined || text === null ? '' : text);
        var tokens = tokenize(text);
        var out = [], line = '', indent = 0, lineIndent = 0, open = [];
        function flush() {
            if (line.length) out.push(new Array(lineIndent + 1).join('    ') + line);
            line = '';
        }
        function lineBreak(count) {
            flush();
            if (count > 1 && out.length && out[out.length - 1] !== '') out.push('');
        }
        for (var k = 0; k < tokens.length; k++) {
            var tok = tokens[k], prev = tokens[k - 1], next = tokens[k + 1];
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
                    out.push(q === 0 ? new Array(lineIndent + 1).join('    ') + parts[q] : parts[q]);
                }
                line = parts[parts.length - 1];
                out.push(line);
                line = '';
                if (next && !next.nl) next.nl = 1;
            }
        }
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
    global.qyTokenize = tokenize;
})(this);
