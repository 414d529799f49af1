// JScript's error objects. The Error constructors take (number, description); every
// error carries number and description beside message; errors read as "[object Error]";
// an error the engine raised gets JScript's number and Chinese description when a catch
// clause receives it (__qyCatch), and eval() reads its text as JScript does (__qyEval).
// Errors made here are placed at the script's own line, never at a line of the runtime.
(function (global) {
    var defineProperty = Object.defineProperty;
    var hasOwn = Function.prototype.call.bind(Object.prototype.hasOwnProperty);
    var makeError = global.__qyRtMakeError;
    var engineError = global.__qyRtEngineError;
    var prepareEval = global.__qyRtPrepareEval;
    var toNumber = Number, toText = String;

    // The engine's kinds of error, numbered as the runtime's natives take them.
    var KIND_SYNTAX = 6;
    var kinds = [
        ['Error', 0], ['EvalError', 3], ['RangeError', 4], ['ReferenceError', 5],
        ['SyntaxError', 6], ['TypeError', 7], ['URIError', 8]
    ];

    function hide(o, name, value) {
        defineProperty(o, name, {value: value, writable: true, configurable: true});
    }
    function fixed(o, name, value) {
        defineProperty(o, name, {value: value});
    }

    // Gives an error object JScript's fields; the engine's own position fields go, as
    // JScript's errors have none (the Error object still reports the position).
    function fill(e, number, description) {
        delete e.fileName;
        delete e.lineNumber;
        delete e.columnNumber;
        hide(e, 'number', number);
        hide(e, 'description', description);
        hide(e, 'message', description);
        return e;
    }

    // An error of `kind` with JScript's number (0x800A0000 | code) and description.
    function jscriptError(kind, code, description) {
        return fill(makeError(kind, description), 0x800A0000 | code, description);
    }

    // Error([number[, description]]): one argument that reads as a number is the
    // number, any other is the description; with two, the first is the number and the
    // second the description. message always equals description.
    function makeConstructor(name, kind, original) {
        var ctor = function (number, description) {
            var num = 0, text = '';
            if (arguments.length >= 2) {
                num = toNumber(number);
                text = toText(description);
            } else if (arguments.length === 1 && number !== undefined) {
                var asNumber = toNumber(number);
                if (asNumber === asNumber) num = asNumber;
                else text = toText(number);
            }
            return fill(makeError(kind, text), num, text);
        };
        defineProperty(ctor, 'name', {value: name, configurable: true});
        defineProperty(ctor, 'length', {value: 1, configurable: true});
        defineProperty(ctor, 'prototype', {value: original.prototype, writable: false});
        hide(original.prototype, 'constructor', ctor);
        return ctor;
    }

    var errorPrototype = Error.prototype;
    for (var i = 0; i < kinds.length; i++) {
        var name = kinds[i][0], original = global[name];
        hide(global, name, makeConstructor(name, kinds[i][1], original));
        // The other kinds take message from Error.prototype rather than keeping their own.
        if (original.prototype !== errorPrototype) delete original.prototype.message;
    }
    hide(errorPrototype, 'toString', function toString() { return '[object Error]'; });
    delete errorPrototype.stack;

    // A caught value in JScript's form: an error the engine raised gets its number and
    // description, and its message becomes the description. Anything else, errors the
    // script made included, comes back untouched.
    // JScript's kind of the error may differ from the engine's (reading an undeclared
    // name is a TypeError there); the error then takes that kind's prototype.
    var setPrototypeOf = Object.setPrototypeOf, getPrototypeOf = Object.getPrototypeOf;
    var prototypes = [];
    for (var k = 0; k < kinds.length; k++) prototypes[kinds[k][1]] = global[kinds[k][0]].prototype;
    fixed(global, '__qyCatch', function __qyCatch(e) {
        if (typeof e === 'object' && e !== null && !hasOwn(e, 'number')) {
            var mapped = engineError(e);
            if (mapped !== null) {
                fill(e, mapped[0], mapped[1]);
                var proto = prototypes[mapped[2]];
                if (proto !== undefined && getPrototypeOf(e) !== proto) setPrototypeOf(e, proto);
                // The engine's own kind (too deep a recursion) is a plain Error in JScript.
                if (e.name === 'InternalError') hide(e, 'name', 'Error');
            }
        }
        return e;
    });

    // eval reached through a value: it evaluates where it was taken, with that this.
    fixed(global, '__qyEvalIn', function __qyEvalIn(self, run) {
        return function eval(x) { return run.call(self, x); };
    });

    // Assignment to, and deletion of, what is no reference: refused once the operands
    // have been evaluated.
    fixed(global, '__qyBadRef', function __qyBadRef() {
        throw jscriptError(5, 5008, '非法赋值');
    });
    fixed(global, '__qyBadDelete', function __qyBadDelete() {
        throw jscriptError(7, 5012, '不能删除此对象');
    });

    // The text eval() runs: refused text is JScript's syntax error at the eval call.
    fixed(global, '__qyEval', function __qyEval(x) {
        if (typeof x !== 'string') return x;
        var prepared = prepareEval(x);
        if (typeof prepared === 'string') return prepared;
        throw fill(makeError(KIND_SYNTAX, prepared[1]), prepared[0], prepared[1]);
    });

    // For the built-ins, and for the surface script, which takes it and removes it with
    // the natives.
    global.__qyRtTakeErrorMaker(jscriptError);
    hide(global, '__qyRtJScriptError', jscriptError);
})(this);
