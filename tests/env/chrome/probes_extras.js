// Probes of what Chrome has beyond the published interfaces: the prefixed names of some
// interfaces, and performance.memory.
(function () {
    ['webkitMediaStream', 'webkitRTCPeerConnection', 'webkitSpeechGrammar', 'webkitSpeechGrammarList', 'webkitSpeechRecognition',
        'webkitSpeechRecognitionError', 'webkitSpeechRecognitionEvent', 'webkitURL'].forEach(function (n) {
        probe('prefixed names', n, function () {
            var f = window[n];
            if (typeof f !== 'function') return typeof f;
            var p = f.prototype, parent = Object.getPrototypeOf(p), d = Object.getOwnPropertyDescriptor(window, n);
            return [f.name, parent && parent.constructor && parent.constructor.name, p[Symbol.toStringTag], d.enumerable, d.writable,
                d.configurable, ['MediaStream', 'RTCPeerConnection', 'URL'].filter(function (a) { return window[a] === f; }).join()];
        });
    });
    probe('memory', 'performance.memory', function () {
        var m = performance.memory, d = Object.getOwnPropertyDescriptor(Performance.prototype, 'memory');
        return [Object.prototype.toString.call(m), Object.getOwnPropertyNames(Object.getPrototypeOf(m)).sort().join(), typeof MemoryInfo,
            typeof m.jsHeapSizeLimit, m.usedJSHeapSize <= m.totalJSHeapSize, m.totalJSHeapSize < m.jsHeapSizeLimit,
            !!d && typeof d.get, Object.keys(m).length, JSON.stringify(m)];
    });
})();
