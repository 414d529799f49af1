// The workbench's JavaScript formatter: format(text) returns the script laid out for
// reading, with LF line breaks and blocks indented by four spaces. Only white space and
// line breaks change: every token of the input, comments included, comes out unchanged
// and in order, and formatting the output again changes nothing.
//
// Line breaks of the input are all kept (automatic semicolon insertion can hang on
// them); a run of blank lines becomes one. New breaks go only where no statement can
// end or where one already ends: after ";" "{" "," and binary operators, around the
// braces of blocks, and before the body of an if/for/while/else/do without braces.
(function (global) {
    function set(words) {
        var o = {}, list = words.split(' ');
        for (var k = 0; k < list.length; k++) o[list[k]] = true;
        return o;
    }
    // After these words a "/" starts a regular expression, not a division.
    var REGEX_AFTER_WORD = set('return typeof instanceof in of new delete void throw case do else yield await');
    // Operators written with a blank on each side when they stand between two operands.
    var BINARY = set('= += -= *= /= %= **= <<= >>= >>>= &= |= ^= &&= ||= ??= == === != !== < > <= >= ' +
        '+ - * / % ** & | ^ << >> >>> && || ?? => ?');
    // Binary operators after which a long line may be broken (assignments are not).
    var BREAK_AFTER = set('== === != !== < > <= >= + - * / % ** & | ^ << >> >>> && || ?? ? :');
    // Words that end no operand: a "+" after them is unary, a "(" after them gets a blank.
    var OPERATOR_WORDS = set('return typeof instanceof in of new delete void throw case do else yield await ' +
        'extends var let const if for while switch with function class try catch finally export import ' +
        'default break continue debugger');
    // Statements that cannot take their operand from the next line.
    var RESTRICTED = set('return throw break continue yield debugger');
    var CONTROL_HEAD = set('if for while with switch catch');
    var MAX_COLUMNS = 120;
    // The rest of a word: letters, digits, _ $, characters past ASCII and \ escapes.
    var IDENT_REST = /(?:[\w$\u0080-\uffff]|\\[\s\S]?)*/g;
    var TRAILING_BLANK = /\s/;

    // The words and punctuators the layout looks at, numbered: a token keeps the number
    // of its text (0 for any other token, whose text is read from the script), and
    // TEXT_OF gives back the string written in this file, so comparing two of them
    // never compares characters.
    var TEXT_OF = ['', 'return', 'typeof', 'instanceof', 'in', 'of', 'new', 'delete', 'void', 'throw', 'case',
        'do', 'else', 'yield', 'await', 'extends', 'var', 'let', 'const', 'if', 'for', 'while', 'switch', 'with',
        'function', 'class', 'try', 'catch', 'finally', 'export', 'import', 'default', 'break', 'continue',
        'debugger', 'async'];
    var FIRST_PUNCT = TEXT_OF.length;
    TEXT_OF.push('(', ')', '{', '}', '[', ']', ';', ',', '~', ':', '.', '...', '=', '==', '===', '=>', '!', '!=',
        '!==', '<', '<<', '<<=', '<=', '>', '>>', '>>>', '>>>=', '>>=', '>=', '+', '++', '+=', '-', '--', '-=',
        '*', '**', '**=', '*=', '/', '/=', '%', '%=', '&', '&&', '&&=', '&=', '|', '||', '||=', '|=', '^', '^=',
        '?', '??', '??=', '?.');
    var KEYWORD_ID = {}, PUNCT_ID = {};
    (function () {
        for (var w = 1; w < TEXT_OF.length; w++) (w < FIRST_PUNCT ? KEYWORD_ID : PUNCT_ID)[TEXT_OF[w]] = w;
    })();
    // Token records live in typed arrays where the engine has them: a large script then
    // costs a few flat blocks of memory instead of arrays the collector walks.
    var TYPED = typeof Int32Array === 'function' && typeof Uint8Array === 'function';
    function ints(size) { return TYPED ? new Int32Array(size) : []; }
    function bytes(size) { return TYPED ? new Uint8Array(size) : []; }
    function grown(a, size) {
        if (!TYPED) return a;
        var b = new a.constructor(size);
        b.set(a);
        return b;
    }
    // Punctuators that never begin a longer one.
    var SINGLE = {};
    (function () {
        var singles = '(){}[];,~:';
        for (var s = 0; s < singles.length; s++) SINGLE[singles.charCodeAt(s)] = singles.charAt(s);
    })();

    function isIdentPart(code) {
        return (code >= 97 && code <= 122) || (code >= 65 && code <= 90) || (code >= 48 && code <= 57) ||
            code === 95 || code === 36 || code === 92 || code >= 128;
    }
    function isIdentStart(code) {
        return isIdentPart(code) && !(code >= 48 && code <= 57);
    }
    function isDigitCode(code) { return code >= 48 && code <= 57; }
    function isBlank(code) {
        return code === 32 || code === 9 || code === 12 || code === 11 || code === 0xa0 || code === 0xfeff ||
            code === 0x3000;
    }
    // Line terminators other than CR (format() makes every CR LF and lone CR an LF first).
    function isLineEnd(code) { return code === 10 || code === 0x2028 || code === 0x2029; }

    // The punctuator that starts at i (whose first character is c), longest first.
    function punctuator(src, i, c) {
        var d = src.charCodeAt(i + 1), e;
        switch (c) {
        case 46: return d === 46 && src.charCodeAt(i + 2) === 46 ? '...' : '.';
        case 61:
            if (d === 61) return src.charCodeAt(i + 2) === 61 ? '===' : '==';
            return d === 62 ? '=>' : '=';
        case 33:
            if (d === 61) return src.charCodeAt(i + 2) === 61 ? '!==' : '!=';
            return '!';
        case 60:
            if (d === 60) return src.charCodeAt(i + 2) === 61 ? '<<=' : '<<';
            return d === 61 ? '<=' : '<';
        case 62:
            if (d === 62) {
                e = src.charCodeAt(i + 2);
                if (e === 62) return src.charCodeAt(i + 3) === 61 ? '>>>=' : '>>>';
                return e === 61 ? '>>=' : '>>';
            }
            return d === 61 ? '>=' : '>';
        case 43: return d === 43 ? '++' : d === 61 ? '+=' : '+';
        case 45: return d === 45 ? '--' : d === 61 ? '-=' : '-';
        case 42:
            if (d === 42) return src.charCodeAt(i + 2) === 61 ? '**=' : '**';
            return d === 61 ? '*=' : '*';
        case 47: return d === 61 ? '/=' : '/';
        case 37: return d === 61 ? '%=' : '%';
        case 38:
            if (d === 38) return src.charCodeAt(i + 2) === 61 ? '&&=' : '&&';
            return d === 61 ? '&=' : '&';
        case 124:
            if (d === 124) return src.charCodeAt(i + 2) === 61 ? '||=' : '||';
            return d === 61 ? '|=' : '|';
        case 94: return d === 61 ? '^=' : '^';
        case 63:
            if (d === 63) return src.charCodeAt(i + 2) === 61 ? '??=' : '??';
            return d === 46 && !isDigitCode(src.charCodeAt(i + 2)) ? '?.' : '?';
        }
        return src.charAt(i);
    }

    // Token kinds.
    var WORD = 1, NUM = 2, STR = 3, TPL = 4, REGEX = 5, PUNCT = 6, COMMENT = 7, LINE_COMMENT = 8;

    // Splits a script into parallel arrays of numbers and shared strings, so that a large
    // script is not held as one string per token: kind, where the token starts and ends,
    // line breaks before it (0..2), and its text where it is a punctuator or a word of
    // KEYWORDS ('' for every other token, whose text is read from the script).
    function tokenize(src) {
        var capacity = (src.length >> 2) + 64, count = 0;
        var kinds = bytes(capacity), ids = bytes(capacity), breaks = bytes(capacity), starts = ints(capacity), ends = ints(capacity);
        var i = 0, n = src.length, nl = 0, lastKind = 0, lastText = '', lastPostfix = false;
        var parens = [], lastCloseWasHead = false;
        function push(kind, text, start, end) {
            if (count === capacity) {
                capacity *= 2;
                kinds = grown(kinds, capacity);
                ids = grown(ids, capacity);
                breaks = grown(breaks, capacity);
                starts = grown(starts, capacity);
                ends = grown(ends, capacity);
            }
            kinds[count] = kind;
            ids[count] = text === '' ? 0 : kind === WORD ? KEYWORD_ID[text] : PUNCT_ID[text] || 0;
            starts[count] = start;
            ends[count] = end;
            breaks[count] = nl > 2 ? 2 : nl;
            count++;
            if (kind < COMMENT) {
                lastPostfix = (text === '++' || text === '--') && nl === 0 && lastKind !== 0 && endsOperand(lastKind, lastText) &&
                    !(lastText === ')' && lastCloseWasHead);
                lastKind = kind;
                lastText = text;
            }
            nl = 0;
        }
        function regexAllowed() {
            if (!lastKind) return true;
            if (lastKind === WORD) return REGEX_AFTER_WORD[lastText] === true;
            if (lastKind !== PUNCT) return false;
            if (lastText === ')') return lastCloseWasHead;
            if (lastText === ']') return false;
            if (lastText === '++' || lastText === '--') return !lastPostfix;
            return true;
        }
        function skipQuoted(j) {
            var q = src.charCodeAt(j);
            j++;
            while (j < n) {
                var c = src.charCodeAt(j);
                if (c === q || c === 10) break;
                j += c === 92 ? 2 : 1;
            }
            return Math.min(j + 1, n);
        }
        // A template literal is one token, its ${ } substitutions included.
        function skipTemplate(j) {
            j++;
            while (j < n) {
                var c = src.charCodeAt(j);
                if (c === 92) { j += 2; continue; }
                if (c === 96) return j + 1;
                if (c === 36 && src.charCodeAt(j + 1) === 123) {
                    var depth = 1;
                    j += 2;
                    while (j < n && depth > 0) {
                        var d = src.charCodeAt(j);
                        if (d === 34 || d === 39) { j = skipQuoted(j); continue; }
                        if (d === 96) { j = skipTemplate(j); continue; }
                        if (d === 123) depth++;
                        else if (d === 125) depth--;
                        j++;
                    }
                    continue;
                }
                j++;
            }
            return n;
        }
        // A regular expression literal from its "/" to the end of its flags.
        function skipRegex(j) {
            j++;
            var inClass = false;
            while (j < n) {
                var r = src.charCodeAt(j);
                if (r === 92) { j += 2; continue; }
                if (isLineEnd(r)) break;
                if (r === 91) inClass = true;
                else if (r === 93) inClass = false;
                else if (r === 47 && !inClass) { j++; break; }
                j++;
            }
            if (j > n) j = n;
            while (j < n && isIdentPart(src.charCodeAt(j))) j++;
            return j;
        }
        // A number literal: digits, letters, dots, and a sign after its exponent's "e".
        function skipNumber(j, hex) {
            j++;
            while (j < n) {
                var d = src.charCodeAt(j);
                if (isIdentPart(d) || d === 46) j++;
                else if ((d === 43 || d === 45) && !hex && (src.charCodeAt(j - 1) | 32) === 101) j++;
                else break;
            }
            return j;
        }
        // A line comment ends before its line break and the blanks before that.
        function lineComment(start) {
            while (i < n && !isLineEnd(src.charCodeAt(i))) i++;
            var end = i;
            while (end > start && TRAILING_BLANK.test(src.charAt(end - 1))) end--;
            push(LINE_COMMENT, '', start, end);
        }
        while (i < n) {
            var code = src.charCodeAt(i);
            if (isLineEnd(code)) { nl++; i++; continue; }
            if (isBlank(code)) { i++; continue; }
            var start = i, next = src.charCodeAt(i + 1);
            if (code === 47 && next === 47) { lineComment(start); continue; }
            if (code === 47 && next === 42) {
                var close = src.indexOf('*/', i + 2);
                i = close < 0 ? n : close + 2;
                push(COMMENT, '', start, i);
                continue;
            }
            // HTML comment markers: "<!--" anywhere and "-->" first on a line begin a line comment.
            if (code === 60 && next === 33 && src.charCodeAt(i + 2) === 45 && src.charCodeAt(i + 3) === 45) {
                lineComment(start);
                continue;
            }
            if (code === 45 && (nl > 0 || count === 0) && next === 45 && src.charCodeAt(i + 2) === 62) {
                lineComment(start);
                continue;
            }
            if (isIdentStart(code)) {
                IDENT_REST.lastIndex = i + 1;
                IDENT_REST.test(src);
                i = IDENT_REST.lastIndex;
                var word = '';
                if (code >= 97 && code <= 122 && i - start >= 2 && i - start <= 10) {
                    var w = KEYWORD_ID[src.slice(start, i)];
                    if (typeof w === 'number') word = TEXT_OF[w];
                }
                push(WORD, word, start, i);
                continue;
            }
            if (isDigitCode(code) || (code === 46 && isDigitCode(next))) {
                i = skipNumber(i, code === 48 && (next === 120 || next === 88));
                push(NUM, '', start, i);
                continue;
            }
            if (code === 34 || code === 39) {
                i = skipQuoted(i);
                push(STR, '', start, i);
                continue;
            }
            if (code === 96) {
                i = skipTemplate(i);
                push(TPL, '', start, i);
                continue;
            }
            if (code === 47 && regexAllowed()) {
                i = skipRegex(i);
                push(REGEX, '', start, i);
                continue;
            }
            var p = SINGLE[code];
            if (p === undefined) p = punctuator(src, i, code);
            // A ")" that closes the head of if/for/while/with lets a regular expression follow.
            if (p === '(') parens.push(lastKind === WORD && CONTROL_HEAD[lastText] === true);
            lastCloseWasHead = p === ')' && parens.length > 0 && parens.pop();
            i += p.length;
            push(PUNCT, p, start, i);
        }
        return {kinds: kinds, ids: ids, starts: starts, ends: ends, breaks: breaks, count: count};
    }

    function endsOperand(kind, text) {
        if (kind === WORD) return text === '' || OPERATOR_WORDS[text] !== true;
        if (kind === PUNCT) return text === ')' || text === ']' || text === '}';
        return kind === NUM || kind === STR || kind === TPL || kind === REGEX;
    }

    // A blank is needed where two tokens would otherwise merge into one: x is the last
    // character of the first (of kind ak), y the first of the second.
    function needsBlank(x, ak, y) {
        if (isIdentPart(x) && isIdentPart(y)) return true;
        if (ak === NUM && y === 46) return true;                                     // 1 .toString
        if ((x === 43 || x === 45) && (y === x || y === 61 || (x === 45 && y === 62))) return true;  // + +, - -, -=, ->
        if (x === 47 && (y === 47 || y === 42)) return true;                        // / / and / *
        if (ak === REGEX && isIdentPart(y)) return true;
        if (x === 60 && y === 33) return true;                                      // < !
        if (y === 61 && ak === PUNCT && (x === 61 || x === 33 || x === 60 || x === 62 || x === 43 || x === 45 ||
            x === 42 || x === 47 || x === 37 || x === 38 || x === 124 || x === 94 || x === 63)) return true;  // = after an operator
        return false;
    }

    var MAX_DEPTH = 1000;
    var INDENTS = [''];
    function indentOf(level) {
        if (level < 0) level = 0;
        while (INDENTS.length <= level) INDENTS.push(INDENTS[INDENTS.length - 1] + '    ');
        return INDENTS[level];
    }

    // Frame kinds: statement lists, an unbraced body, an object literal, ( and [.
    var BLOCK = 1, BODY = 2, OBJECT = 3, PAREN = 4, BRACKET = 5;

    function Frame(kind, base, owner) {
        this.kind = kind;
        this.base = base;          // indentation of the line that opened it
        this.owner = owner;        // what the block or body belongs to: 'if', 'function', 'object'...
        this.start = true;         // at the start of a statement (or of a property)
        this.ternary = 0;          // open "?" awaiting their ":"
        this.decl = false;         // inside a var/let/const list split one declarator a line
        this.multi = false;        // an object literal laid out one property a line
        this.inCase = false;
        this.caseColon = false;
        this.label = false;
        this.fn = null;            // a parameter list: the function is a declaration (true) or not
        this.expectWhile = false;  // a do body ended: its "while" follows
        this.awaiting = '';        // an if (try) statement ended but for the "else" ("catch") that follows
        this.doWhile = false;      // the ( ) of a do-while condition
        this.head = '';            // the keyword before a ( ): if, for, while...
        this.pos = 0;              // where on its line it was opened
        this.statement = false;    // a block that ends a statement when it closes
    }

    // Fills match (the closing bracket of each opening one, count where none) and rich
    // (1 for each "{" holding a "," or "=>" at its own level, a function or a "{").
    function brackets(K, I, count, match, rich) {
        var stack = [];
        for (var m = 0; m < count; m++) {
            if (K[m] !== PUNCT) {
                if (K[m] === WORD && TEXT_OF[I[m]] === 'function' && stack.length) rich[stack[stack.length - 1]] = 1;
                continue;
            }
            var v = TEXT_OF[I[m]];
            if (v === '{' || v === '(' || v === '[') {
                if (v === '{' && stack.length) rich[stack[stack.length - 1]] = 1;
                stack.push(m);
            } else if (v === '}' || v === ')' || v === ']') {
                if (stack.length) match[stack.pop()] = m;
            } else if ((v === ',' || v === '=>') && stack.length) {
                var top = stack[stack.length - 1];
                if (TEXT_OF[I[top]] === '{') rich[top] = 1;
            }
        }
        while (stack.length) match[stack.pop()] = count;
    }

    // Every line break as LF: a lone CR ends a line as CR LF does, wherever it stands (a
    // string's line continuation, a template, a comment, between tokens), so the meaning
    // stays and the layout below reads one kind of break.
    var CR_BREAK = /\r\n?/g;

    function format(text) {
        text = String(text === undefined || text === null ? '' : text);
        if (text.indexOf('\r') >= 0) text = text.replace(CR_BREAK, '\n');
        var tk = tokenize(text), K = tk.kinds, I = tk.ids, S = tk.starts, E = tk.ends, B = tk.breaks, count = tk.count;

        // Matching brackets, and for each "{" whether it holds a "," at its own level or
        // anything nested that makes it worth one property a line.
        var match = ints(count), rich = bytes(count);
        brackets(K, I, count, match, rich);

        var out = [], done = [], line = '', lineIndent = 0, lineTail = 0, breakPoints = [], lineFrames = [];
        var root = new Frame(BLOCK, -1, 'script');
        var frames = [root], f = root;
        var prevKind = 0, prevCodeKind = 0, prevCodeText = '', prevCodeLast = 0;
        var lastClosed = null, lastBlockClosed = null, pendingFn = null, pendingClass = false;
        var newlineSinceCode = false, pendingBreak = false, isTernaryColonPrev = false, asyncStart = false;

        function nextCode(j) {
            while (j < count && (K[j] === COMMENT || K[j] === LINE_COMMENT)) j++;
            return j;
        }
        function isText(j, s) { return j < count && TEXT_OF[I[j]] === s && (K[j] === WORD || K[j] === PUNCT); }

        function pushFrame(fr) {
            // Every level indents its lines four spaces further, so the text would grow
            // with the square of its depth (100,000 nested blocks: gigabytes): nesting
            // no person writes is refused at once instead.
            if (frames.length >= MAX_DEPTH) throw new Error('代码嵌套过深（超过 ' + MAX_DEPTH + ' 层），无法格式化');
            f.awaiting = '';
            fr.pos = line.length;
            frames.push(fr);
            f = fr;
            lineFrames.push(fr);
            return fr;
        }
        function popFrame() {
            if (frames.length > 1) frames.pop();
            f = frames[frames.length - 1];
        }

        // The indentation of a line whose first token is at j.
        function indentFor(j) {
            var k = K[j], v = j < count ? TEXT_OF[I[j]] : '';
            if (k === PUNCT && (v === '}' || v === ')' || v === ']')) {
                if (v === '}' && f.kind === BODY) {
                    for (var q = frames.length - 1; q > 0; q--) if (frames[q].kind !== BODY) return frames[q].base;
                    return 0;
                }
                return f.base;
            }
            if (f.kind === PAREN || f.kind === BRACKET) return f.base + 1;
            var level = f.base + 1;
            if (f.kind === OBJECT) return f.start ? level : level + 1;
            if (f.owner === 'switch' && f.inCase && !(k === WORD && (v === 'case' || v === 'default') && f.start)) level++;
            if (!f.start && !(k === WORD && (v === 'else' || (v === 'while' && f.expectWhile)))) level++;
            return level;
        }

        // Finished lines are joined a few hundred at a time, so that the pieces each was
        // built from go at once and only the joined text stays (the last line is kept
        // back: a blank line is never doubled).
        function emit(s) {
            if (out.length >= 512) {
                var last = out.pop();
                done.push(out.join('\n'));
                out = [last];
            }
            out.push(s);
        }
        function flush() {
            if (line.length) emit(indentOf(lineIndent) + line);
            line = '';
            lineTail = 0;
            breakPoints.length = 0;
            lineFrames.length = 0;
        }
        function newLine(blank, j) {
            flush();
            if (blank && out.length && out[out.length - 1] !== '') emit('');
            lineIndent = indentFor(j);
        }

        // A line grown past the limit is cut after the comma or operator at its outermost
        // level that lies within the limit (the last of them where several are as outer).
        function fitLine() {
            while (breakPoints.length && lineIndent * 4 + line.length - lineTail > MAX_COLUMNS) {
                var best = -1;
                for (var q = 0; q < breakPoints.length; q++) {
                    if (breakPoints[q].pos - lineTail + lineIndent * 4 > MAX_COLUMNS) break;
                    if (best < 0 || breakPoints[q].depth <= breakPoints[best].depth) best = q;
                }
                if (best < 0) best = 0;
                var bp = breakPoints[best], cut = bp.pos, rest = line.slice(cut), lead = 0;
                while (lead < rest.length && rest.charCodeAt(lead) === 32) lead++;
                var head = line.slice(0, cut), shift = cut + lead, indent = bp.frame.base + bp.delta;
                var moved = [];
                for (q = 0; q < lineFrames.length; q++) {
                    var fr = lineFrames[q];
                    if (fr.pos >= cut) { fr.pos -= shift; fr.base += indent - lineIndent; moved.push(fr); }
                }
                var later = breakPoints.slice(best + 1);
                emit(indentOf(lineIndent) + head);
                line = rest.slice(lead);
                lineIndent = indent;
                lineTail = 0;
                lineFrames = moved;
                for (q = 0; q < later.length; q++) later[q].pos -= shift;
                breakPoints = later;
            }
        }
        function breakPoint() {
            var j = nextCode(idx + 1);
            if (j >= count) return;
            var nk = K[j], nv = TEXT_OF[I[j]];
            if (nk === PUNCT && (nv === '}' || nv === ')' || nv === ']' || nv === ',' || nv === ';')) return;
            var ind = indentFor(j);
            breakPoints.push({pos: line.length, depth: frames.length, frame: f, delta: ind - f.base});
        }

        // A statement ended; so does each unbraced body it was the whole of. An if body
        // followed by "else" and a do body followed by "while" leave their statement open.
        function endStatement(j) {
            f.decl = false;
            f.ternary = 0;
            while (f.kind === BODY) {
                var body = f;
                popFrame();
                f.decl = false;
                if (body.owner === 'if' && isText(nextCode(j), 'else')) { f.start = false; f.awaiting = 'else'; return; }
                if (body.owner === 'do') { f.expectWhile = true; f.start = false; return; }
            }
            f.start = true;
            f.caseColon = false;
        }

        // Whether a line break before token j ends the statement (automatic semicolon
        // insertion as the language does it, told from the tokens on both sides).
        function asiBefore(j) {
            if (f.kind !== BLOCK && f.kind !== BODY) return false;
            if (f.start || !prevCodeKind) return false;
            if (prevCodeKind === WORD && RESTRICTED[prevCodeText] === true) return true;
            if (!endsOperand(prevCodeKind, prevCodeText) && !((prevCodeText === '++' || prevCodeText === '--') && prevCodeKind === PUNCT)) return false;
            var k = K[j], v = TEXT_OF[I[j]];
            if (k === WORD) return v !== 'in' && v !== 'instanceof' && v !== 'of';
            if (k === NUM || k === STR || k === REGEX) return true;
            if (k === PUNCT) return v === '++' || v === '--' || v === '!' || v === '~' || v === '{';
            return false;
        }

        function space() {
            if (line.length) line += ' ';
        }

        // The blank (or not) between the previous token and token j on one line.
        function spaceBefore(j, unary) {
            var k = K[j], v = TEXT_OF[I[j]], y = text.charCodeAt(S[j]);
            if (prevKind === COMMENT) {
                if (!(k === PUNCT && (v === ',' || v === ';' || v === ')' || v === ']'))) return true;
                return false;
            }
            if (k === COMMENT || k === LINE_COMMENT) return true;
            var pk = prevCodeKind, pv = prevCodeText;
            if (pk === PUNCT) {
                if (pv === '(' || pv === '[' || pv === '.' || pv === '?.' || pv === '...' || pv === '!' || pv === '~') return needsBlank(prevCodeLast, pk, y);
                if (pv === '{') return false;
                if (prevUnary) return needsBlank(prevCodeLast, pk, y);
                if (pv === ',' || pv === ';') return !(k === PUNCT && (v === ')' || v === ';' || v === ','));
                if (pv === ':') return true;
                if (pv === '*' && prevStar) return k !== PUNCT || v === '(' || v === '{';
            }
            if (k === PUNCT) {
                if (v === ',' || v === ';' || v === ')' || v === ']' || v === '.' || v === '?.') return needsBlank(prevCodeLast, pk, y);
                if (v === '}') return false;
                if (v === ':') return isTernaryColon;
                if (v === '(') {
                    if (pk === WORD) return OPERATOR_WORDS[pv] === true;
                    if (pk === PUNCT) return !(pv === ')' || pv === ']' || pv === '}') || needsBlank(prevCodeLast, pk, y);
                    return needsBlank(prevCodeLast, pk, y);
                }
                if (v === '[') {
                    if (endsOperand(pk, pv)) return needsBlank(prevCodeLast, pk, y);
                    return true;
                }
                if (unary) return pk !== PUNCT || BINARY[pv] === true || pv === ':' || pv === '}' || needsBlank(prevCodeLast, pk, y);
                if (v === '++' || v === '--') return needsBlank(prevCodeLast, pk, y);
                if (v === '*' && curStar) return needsBlank(prevCodeLast, pk, y);
                return true;
            }
            if (k === TPL && endsOperand(pk, pv)) return needsBlank(prevCodeLast, pk, y);
            return true;
        }

        // The token being laid out (kind, text to compare, line breaks before it, text to
        // write) and what was found about it, shared by layout() and the functions it calls.
        // The work is cut into functions of modest size because the engine compiles each
        // format call's code afresh, and small functions reach full speed much sooner.
        var breakHere, brk, hadBreak, isPunct, k, operand, t, unary, v, wasStart;
        var idx, prevUnary = false, prevStar = false, curStar = false, isTernaryColon = false;
        layout();
        flush();
        if (out.length) done.push(out.join('\n'));
        return done.join('\n');

        // Every token from the first to the last, laid out.
        function layout() {
            for (idx = 0; idx < count; idx++) {
                k = K[idx];
                v = TEXT_OF[I[idx]];
                brk = B[idx];
                t = v !== '' ? v : text.slice(S[idx], E[idx]);
                if (k === COMMENT || k === LINE_COMMENT) {
                    commentToken();
                    continue;
                }

                isPunct = k === PUNCT;
                hadBreak = brk > 0 || newlineSinceCode;
                // Operands and operators.
                operand = endsOperand(prevCodeKind, prevCodeText) && !(prevCodeKind === PUNCT && prevCodeText === '}' && lastBlockClosed) &&
                    !(prevCodeKind === PUNCT && prevCodeText === ')' && lastClosed !== null && (lastClosed.head !== '' || lastClosed.doWhile));
                unary = isPunct && (v === '!' || v === '~' || v === '...' ||
                    ((v === '+' || v === '-') && !operand) || ((v === '++' || v === '--') && (!operand || hadBreak)));
                curStar = isPunct && v === '*' && (!operand || (prevCodeKind === WORD && (prevCodeText === 'function' || prevCodeText === 'yield')));
                isTernaryColon = false;
                if (isPunct && v === ':' && f.ternary > 0) isTernaryColon = true;

                placeToken();
                if (!line.length) lineIndent = indentFor(idx);

                // The token itself and what it opens or closes.
                wasStart = f.start;
                if (isPunct) punctuatorToken();
                else otherToken();
                if (!(isPunct && v === '{') && pendingFn && !(k === WORD && v === 'function') && !(k === WORD) && !(isPunct && v === '*')) pendingFn = null;
                if (f.label && !(k === WORD)) { /* label word seen; the colon sets it */ }
                if (line.length + lineIndent * 4 - lineTail > MAX_COLUMNS) fitLine();
                if (k !== WORD && k !== PUNCT && k !== NUM && t.indexOf('\n') >= 0) {
                    // A string or template over several lines: the part after its last line
                    // break is all that counts towards the length, and nothing before it moves.
                    lineTail = line.lastIndexOf('\n') + 1;
                    breakPoints.length = 0;
                    lineFrames.length = 0;
                }
                prevUnary = unary;
                prevStar = curStar;
                prevKind = k;
                prevCodeKind = k;
                prevCodeText = v;
                prevCodeLast = t.charCodeAt(t.length - 1);
                newlineSinceCode = false;
            }
        }

        // Where the line breaks before the token at idx, or the blank before it.
        function placeToken() {
            breakHere = 0;
            // The "else", "catch", "finally" or do-while "while" of a statement whose body
            // has ended: no line break ends anything before it, and after a "}" it joins
            // that line ("} else {").
            var continuing = k === WORD && (v === 'else' ? f.awaiting === 'else' :
                v === 'catch' || v === 'finally' ? f.awaiting === 'catch' : v === 'while' && f.expectWhile);
            f.awaiting = '';
            if (continuing && prevKind === PUNCT && prevCodeText === '}') { brk = 0; newlineSinceCode = false; }
            if (hadBreak && !continuing && asiBefore(idx)) endStatement(idx);
            if (isPunct && v === '}') {
                while (f.kind === BODY) endStatement(idx);
            }
            if (prevKind === LINE_COMMENT) breakHere = 1;
            if (brk) breakHere = brk;
            else if (newlineSinceCode) breakHere = 1;
            if (!breakHere && prevCodeKind) {
                if (isPunct && v === '}' && !(prevCodeKind === PUNCT && prevCodeText === '{') &&
                    (f.kind === BLOCK || (f.kind === OBJECT && f.multi))) breakHere = 1;
                else if (pendingBreak) breakHere = 1;
            }
            pendingBreak = false;
            // A function declaration at statement level gets a blank line before it.
            if (k === WORD && v === 'function' && f.kind === BLOCK && f.start && prevCodeKind &&
                !(prevCodeKind === PUNCT && (prevCodeText === '{' || prevCodeText === ':')) && prevKind !== COMMENT &&
                prevKind !== LINE_COMMENT && !(prevCodeKind === WORD && prevCodeText === 'async')) {
                if (breakHere < 2) breakHere = 2;
            }
            if (breakHere) newLine(breakHere > 1, idx);
            else if (line.length && spaceBefore(idx, unary)) space(idx);
        }

        // A comment at idx written where it stands.
        function commentToken() {
            if (brk) newLine(brk > 1, nextCode(idx));
            else if (prevKind === LINE_COMMENT) newLine(false, nextCode(idx));
            else if (line.length) space(idx);
            if (!line.length) lineIndent = indentFor(nextCode(idx));
            line += t;
            if (t.indexOf('\n') >= 0) {
                // A block comment keeps its inner lines exactly; its last line ends the line.
                var parts = line.split('\n');
                emit(indentOf(lineIndent) + parts[0]);
                for (var q = 1; q < parts.length - 1; q++) emit(parts[q]);
                line = parts[parts.length - 1];
                lineIndent = 0;
                flush();
                newlineSinceCode = true;
                prevKind = LINE_COMMENT;
            } else {
                prevKind = k;
            }
            if (k === LINE_COMMENT) newlineSinceCode = true;
        }

        // The punctuator at idx written, and what it opens or closes.
        function punctuatorToken() {
            if (v === '{') openBrace();
            else if (v === '}') closeBrace();
            else if (v === '(' || v === '[') openBracket();
            else if (v === ')' || v === ']') closeBracket();
            else if (v === ';') {
                line += t;
                if (f.kind === PAREN) {
                    // for (a; b; c): the blank after comes with the next token
                } else if (f.kind === BLOCK || f.kind === BODY) {
                    endStatement(nextCode(idx + 1));
                    var sj = idx + 1;
                    if (sj < count && !((K[sj] === COMMENT || K[sj] === LINE_COMMENT) && B[sj] === 0)) pendingBreak = true;
                }
            } else if (v === ',') {
                line += t;
                if (f.kind === OBJECT) {
                    f.start = true;
                    f.ternary = 0;
                    if (f.multi) pendingBreak = true;
                    else breakPoint();
                } else if ((f.kind === BLOCK || f.kind === BODY) && f.decl) {
                    pendingBreak = true;
                } else breakPoint();
            } else if (v === ':') {
                line += t;
                if (isTernaryColon) { f.ternary--; breakPoint(); }
                else if ((f.kind === BLOCK || f.kind === BODY) && f.caseColon) {
                    f.caseColon = false;
                    f.inCase = true;
                    f.start = true;
                    // "case 2: {" keeps its block on the case's line.
                    if (!isText(idx + 1, '{')) pendingBreak = true;
                } else if ((f.kind === BLOCK || f.kind === BODY) && f.label) {
                    f.start = true;
                } else if (f.kind === OBJECT) {
                    f.start = false;
                }
                isTernaryColonPrev = isTernaryColon;
            } else {
                line += t;
                if (v === '?') { f.ternary++; breakPoint(); }
                else if (v === '=>' && (f.kind === BLOCK || f.kind === BODY)) f.start = false;
                else if (!unary && BREAK_AFTER[v] === true && operand) breakPoint();
                if (f.kind === BLOCK || f.kind === BODY || f.kind === OBJECT) f.start = false;
            }
        }

        // A "{": a block, a class body or an object literal.
        function openBrace() {
            var blockOwner = '', asStatement = false, kind = BLOCK;
            if (!prevCodeKind || (f.kind === BLOCK || f.kind === BODY) && f.start && !f.caseColon) { blockOwner = 'block'; asStatement = true; }
            else if (pendingClass && f === pendingClass.frame) { blockOwner = 'class'; asStatement = pendingClass.decl; pendingClass = false; }
            else if (prevCodeKind === PUNCT && prevCodeText === ')') {
                if (lastClosed && lastClosed.head) {
                    blockOwner = lastClosed.head; asStatement = true;
                } else if (lastClosed && lastClosed.fn) {
                    blockOwner = 'function'; asStatement = lastClosed.fn.decl;
                } else blockOwner = 'function';
            } else if (prevCodeKind === PUNCT && prevCodeText === '=>') blockOwner = 'function';
            else if (prevCodeKind === WORD && (prevCodeText === 'else' || prevCodeText === 'do' || prevCodeText === 'try' || prevCodeText === 'finally')) {
                blockOwner = prevCodeText; asStatement = true;
            } else if (prevCodeKind === PUNCT && prevCodeText === ':' && (f.kind === BLOCK || f.kind === BODY) && (f.label || f.inCase) && !isTernaryColonPrev) {
                blockOwner = 'block'; asStatement = true;
            } else { kind = OBJECT; blockOwner = 'object'; }
            if (f.kind === BLOCK || f.kind === BODY) f.start = false;
            f.label = false;
            line += t;
            var fr = pushFrame(new Frame(kind, lineIndent, blockOwner));
            fr.statement = asStatement;
            if (kind === OBJECT) {
                fr.multi = rich[idx] === 1;
                if (fr.multi && match[idx] !== nextCode(idx + 1)) pendingBreak = true;
            } else if (match[idx] !== nextCode(idx + 1)) pendingBreak = true;
        }

        // A "}" ends its block or object, and maybe the statement.
        function closeBrace() {
            line += t;
            var closed = f;
            if (f.kind === BLOCK || f.kind === OBJECT) { if (f !== root) popFrame(); }
            else {
                while (frames.length > 1 && f.kind !== BLOCK && f.kind !== OBJECT) popFrame();
                if (f !== root) { closed = f; popFrame(); }
            }
            lastBlockClosed = closed.kind === BLOCK && closed.statement;
            var nj = nextCode(idx + 1);
            if (closed.kind === BLOCK && closed.statement) {
                var o = closed.owner;
                if (o === 'if' && isText(nj, 'else')) { f.start = false; f.awaiting = 'else'; }
                else if ((o === 'try' || o === 'catch') && (isText(nj, 'catch') || isText(nj, 'finally'))) {
                    f.start = false;
                    f.awaiting = 'catch';
                }
                else if (o === 'do') { f.expectWhile = true; f.start = false; }
                else {
                    endStatement(nj);
                    if (nj < count && !isText(nj, ';')) pendingBreak = true;
                }
            } else if (closed.kind === BLOCK && f.owner === 'class') {
                f.start = true;
                if (nj < count && !isText(nj, ';')) pendingBreak = true;
            } else {
                if (f.kind === BLOCK || f.kind === BODY) f.start = false;
            }
        }

        // A "(" or "[", and what a "(" is the head of.
        function openBracket() {
            if (f.kind === BLOCK || f.kind === BODY) f.start = false;
            line += t;
            var pf = pushFrame(new Frame(v === '(' ? PAREN : BRACKET, lineIndent, ''));
            if (v === '(') {
                if (prevCodeKind === WORD && CONTROL_HEAD[prevCodeText] === true && !(idx > 1 && (TEXT_OF[I[idx - 2]] === '.' || TEXT_OF[I[idx - 2]] === '?.'))) {
                    pf.head = prevCodeText;
                    if (prevCodeText === 'while' && frames[frames.length - 2].expectWhile) {
                        frames[frames.length - 2].expectWhile = false;
                        pf.head = '';
                        pf.doWhile = true;
                    }
                } else if (prevCodeKind === WORD && prevCodeText === 'await' && idx > 1 && TEXT_OF[I[idx - 2]] === 'for') {
                    pf.head = 'for';
                } else if (pendingFn) {
                    pf.fn = pendingFn;
                }
            }
            pendingFn = null;
        }

        // A ")" or "]"; after the head of if/for/while/with its body follows.
        function closeBracket() {
            line += t;
            var pc = f;
            while (frames.length > 1 && f.kind !== PAREN && f.kind !== BRACKET) popFrame();
            if (f.kind === PAREN || f.kind === BRACKET) { pc = f; popFrame(); }
            lastClosed = pc;
            if (pc.head === 'if' || pc.head === 'for' || pc.head === 'while' || pc.head === 'with') {
                var bj = nextCode(idx + 1);
                if (bj < count && !isText(bj, '{') && !isText(bj, ';')) {
                    pushFrame(new Frame(BODY, lineIndent, pc.head));
                    pendingBreak = true;
                } else f.start = false;
            } else if (pc.doWhile) {
                var dj = nextCode(idx + 1);
                if (dj < count && !isText(dj, ';')) { endStatement(dj); pendingBreak = true; }
                else f.start = false;
            } else if (f.kind === BLOCK || f.kind === BODY) f.start = false;
        }

        // The word, number, string, template or regular expression at idx written.
        function otherToken() {
            line += t;
            if (k === WORD) {
                var after = nextCode(idx + 1);
                if (v === 'function') pendingFn = {decl: (f.kind === BLOCK || f.kind === BODY) && (wasStart || (prevCodeKind === WORD && prevCodeText === 'async' && asyncStart))};
                else if (v === 'class' && !(prevCodeKind === PUNCT && (prevCodeText === '.' || prevCodeText === '?.'))) {
                    pendingClass = {frame: f, decl: (f.kind === BLOCK || f.kind === BODY) && wasStart};
                }
                if ((f.kind === BLOCK || f.kind === BODY) && wasStart) {
                    if ((v === 'var' || v === 'let' || v === 'const') && (v !== 'let' || K[after] === WORD || isText(after, '[') || isText(after, '{'))) {
                        f.decl = splitsDeclarators(after);
                    } else if ((v === 'case' || v === 'default') && f.owner === 'switch') {
                        f.caseColon = true;
                    } else if (isText(after, ':') && OPERATOR_WORDS[v] !== true) {
                        f.label = true;
                    }
                }
                asyncStart = v === 'async' && wasStart;
                if (v === 'else' || v === 'do') {
                    if (after < count && !isText(after, '{') && !(v === 'else' && isText(after, 'if'))) {
                        pushFrame(new Frame(BODY, lineIndent, v));
                        pendingBreak = true;
                    } else if (f.kind === BLOCK || f.kind === BODY) f.start = false;
                } else if (f.kind === BLOCK || f.kind === BODY) {
                    if (v === 'while' && f.expectWhile) { /* the do-while's condition follows */ }
                    else if (!(v === 'async' && isText(after, 'function'))) f.start = false;
                    if (f.label && v !== 'case') f.start = true;
                } else if (f.kind === OBJECT) f.start = false;
            } else if (f.kind === BLOCK || f.kind === BODY || f.kind === OBJECT) f.start = false;
        }

        // Whether the declaration list starting at token j has two or more declarators
        // and an initialiser among them.
        function splitsDeclarators(j) {
            var commas = 0, inits = 0;
            for (var p = j; p < count; p++) {
                var pk = K[p], pv = TEXT_OF[I[p]];
                if (pk === COMMENT || pk === LINE_COMMENT) continue;
                if (pk !== PUNCT) {
                    if (B[p] && p > j && pk === WORD && endsOperand(K[p - 1], TEXT_OF[I[p - 1]])) break;
                    if (pk === WORD && (pv === 'in' || pv === 'of')) break;
                    continue;
                }
                if (pv === '(' || pv === '[' || pv === '{') { p = match[p]; continue; }
                if (pv === ';' || pv === ')' || pv === ']' || pv === '}') break;
                if (pv === ',') commas++;
                else if (pv === '=') inits++;
            }
            return commas > 0 && inits > 0;
        }
    }
    global.format = format;
})(this);
