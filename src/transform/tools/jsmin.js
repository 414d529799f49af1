// The workbench's minifier: the JSMin algorithm with three levels of line-break
// removal. jsmin(comment, input, level) returns the comment (with a line feed) followed
// by the minified input; jsmin.oldSize and jsmin.newSize record both lengths.
// Template literals in backquotes are copied unchanged like strings: their blanks and
// line breaks are part of their value.
String.prototype.has = function (c) {
    return this.indexOf(c) > -1;
};

function jsmin(comment, input, level) {
    if (input === undefined) {
        input = comment;
        comment = '';
        level = 2;
    } else if (level === undefined || level < 1 || level > 3) {
        level = 2;
    }
    comment = String(comment);
    input = String(input);
    if (comment.length > 0) comment += '\n';

    var EOF = -1;
    var a = '', b = '', lookahead = EOF, pos = 0, out = [];

    // Letters, digits, "_", "$", "\\" and every character above 126, by code.
    function isAlphanum(c) {
        if (c === EOF) return false;
        var code = c.charCodeAt(0);
        return (code >= 97 && code <= 122) || (code >= 65 && code <= 90) || (code >= 48 && code <= 57) ||
            code === 95 || code === 36 || code === 92 || code > 126;
    }
    function isLineEndOrEof(c) {
        return c === EOF || c === '\n';
    }
    // Next character: CR reads as LF, other control characters as a space.
    function get() {
        var c = lookahead;
        lookahead = EOF;
        if (c === EOF) {
            if (pos >= input.length) return EOF;
            c = input.charAt(pos++);
        }
        if (c >= ' ' || c === '\n') return c;
        if (c === '\r') return '\n';
        return ' ';
    }
    function peek() {
        lookahead = get();
        return lookahead;
    }
    // Next character with comments removed: a line comment leaves its line break, a
    // block comment reads as one space.
    function next() {
        var c = get();
        if (c !== '/') return c;
        var p = peek();
        if (p === '/') {
            for (;;) {
                c = get();
                if (isLineEndOrEof(c)) return c;
            }
        }
        if (p === '*') {
            get();
            for (;;) {
                c = get();
                if (c === '*') {
                    if (peek() === '/') {
                        get();
                        return ' ';
                    }
                } else if (c === EOF) {
                    throw 'Error: Unterminated comment.';
                }
            }
        }
        return c;
    }
    // 1: output a, then copy b to a, then read the next b. 2: drop a. 3: drop b.
    function action(d) {
        if (d <= 1) out.push(a);
        if (d <= 2) {
            a = b;
            if (a === '\'' || a === '"' || a === '`') {
                for (;;) {
                    out.push(a);
                    a = get();
                    if (a === b) break;
                    if (a === EOF || (a === '\n' && b !== '`')) throw 'Error: unterminated string literal: ' + a;
                    if (a === '\\') {
                        out.push(a);
                        a = get();
                    }
                }
            }
        }
        b = next();
        if (b === '/' && '(,=:[!&|'.has(a)) {
            out.push(a);
            out.push(b);
            for (;;) {
                a = get();
                if (a === '/') break;
                if (a === '\\') {
                    out.push(a);
                    a = get();
                } else if (isLineEndOrEof(a)) {
                    throw 'Error: unterminated Regular Expression literal';
                }
                out.push(a);
            }
            b = next();
        }
    }

    a = '\n';
    action(3);
    while (a !== EOF) {
        if (a === ' ') {
            action(isAlphanum(b) ? 1 : 2);
        } else if (a === '\n') {
            if ('{[(+-'.has(b) && b !== '' && b !== EOF) action(1);
            else if (b === ' ') action(3);
            else if (isAlphanum(b)) action(1);
            else if (level === 1 && b !== '\n' && b !== EOF) action(1);
            else action(2);
        } else if (b === ' ') {
            action(isAlphanum(a) ? 1 : 3);
        } else if (b === '\n') {
            if (level === 1 && a !== '\n') action(1);
            else if ('}])+-"\''.has(a)) action(level === 3 ? 3 : 1);
            else action(isAlphanum(a) ? 1 : 3);
        } else {
            action(1);
        }
    }
    var result = out.join('');
    jsmin.oldSize = input.length;
    jsmin.newSize = result.length;
    return comment + result;
}
