// A function's caller as pages read it: the page's constructors (interfaces and the named
// ones) answer null as a sloppy function does; the language's built-ins, the page's other
// functions and strict, class, arrow, async and bound functions refuse. Also the accessor
// itself, and speech's voices as far as a headless Chromium on Linux has any.
(function () {
    function callerOf(f) {
        try {
            var v = f.caller;
            return v === null ? 'null' : typeof v;
        } catch (e) {
            return 'throws ' + e.name + ': ' + e.message;
        }
    }
    var targets = {
        Error: function () { return Error; }, Array: function () { return Array; }, 'Math.max': function () { return Math.max; },
        HTMLDivElement: function () { return HTMLDivElement; }, Image: function () { return Image; },
        Audio: function () { return Audio; }, Option: function () { return Option; },
        'Intl.DateTimeFormat': function () { return Intl.DateTimeFormat; }, Promise: function () { return Promise; },
        'a class': function () { return class {}; }, 'a bound function': function () { return function () {}.bind(null); },
        Event: function () { return Event; }, XMLHttpRequest: function () { return XMLHttpRequest; }, URL: function () { return URL; },
        Proxy: function () { return Proxy; }, 'a sloppy function': function () { return function () {}; },
        'an arrow': function () { return () => 1; }, structuredClone: function () { return structuredClone; },
        MessageChannel: function () { return MessageChannel; }, Notification: function () { return Notification; },
        'get userAgent': function () { return Object.getOwnPropertyDescriptor(Navigator.prototype, 'userAgent').get; },
        'document.createElement': function () { return document.createElement; }
    };
    Object.keys(targets).forEach(function (name) {
        probe('callers', name, function () { return callerOf(targets[name]()); });
    });
    probe('callers', 'the accessor', function () {
        var d = Object.getOwnPropertyDescriptor(Function.prototype, 'caller');
        return [typeof d.get, typeof d.set, d.get === d.set, d.get === Object.getOwnPropertyDescriptor(Function.prototype, 'arguments').get,
            d.get.name, d.get.length, Function.prototype.toString.call(d.get), d.enumerable, d.configurable];
    });
    probe('callers', 'the accessor on a constructor and a built-in', function () {
        var get = Object.getOwnPropertyDescriptor(Function.prototype, 'caller').get;
        return [callerOf({get caller() { return get.call(HTMLDivElement); }}), callerOf({get caller() { return get.call(Error); }})];
    });
    probe('callers', 'a caller found', function () {
        function outer() { return inner(); }
        function inner() { return inner.caller === outer; }
        return outer();
    });
    probe('speech', 'structure', function () {
        var s = window.speechSynthesis;
        return [String(s), s instanceof EventTarget, s.pending, s.speaking, s.paused, s.onvoiceschanged,
            Array.isArray(s.getVoices()), typeof SpeechSynthesisVoice, typeof SpeechSynthesisUtterance,
            Object.keys(s).length, String(s.getVoices === SpeechSynthesis.prototype.getVoices)];
    });
})();
