// Probes of what media a page may play (canPlayType, MediaSource.isTypeSupported) and of
// the custom element registry.
(function () {
    var types = ['video/mp4', 'audio/mp4', 'audio/mpeg', 'audio/mp3', 'audio/aac', 'audio/x-m4a', 'audio/m4a', 'video/webm', 'audio/webm',
     'audio/ogg', 'video/ogg', 'application/ogg', 'audio/wav', 'audio/x-wav', 'audio/wave', 'audio/flac', 'audio/x-flac', 'video/x-matroska',
     'video/quicktime', 'application/vnd.apple.mpegurl', 'application/x-mpegURL', 'audio/mpegurl', 'video/mp2t', 'video/3gpp', 'audio/3gpp',
     'video/avi', 'text/html', '', 'VIDEO/MP4', 'video/mp4; codecs="avc1.42E01E"', 'video/mp4; codecs="avc1.42E01E, mp4a.40.2"',
     'video/mp4; codecs="avc1.4D401E"', 'video/mp4; codecs="avc1.64001E"', 'video/mp4; codecs="hev1.1.6.L93.B0"', 'video/mp4; codecs="hvc1.1.6.L93.B0"',
     'video/mp4; codecs="vp09.00.10.08"', 'video/mp4; codecs="av01.0.05M.08"', 'video/mp4; codecs="mp4v.20.8"', 'audio/mp4; codecs="mp4a.40.2"',
     'audio/mp4; codecs="mp4a.40.5"', 'audio/mp4; codecs="mp4a.40.29"', 'audio/mp4; codecs="mp4a.69"', 'audio/mp4; codecs="mp4a.6B"',
     'audio/mp4; codecs="opus"', 'audio/mp4; codecs="flac"', 'audio/mp4; codecs="ec-3"', 'audio/mp4; codecs="ac-3"', 'video/webm; codecs="vp8"',
     'video/webm; codecs="vp8, vorbis"', 'video/webm; codecs="vp9"', 'video/webm; codecs="vp09.00.10.08"', 'video/webm; codecs="av01.0.05M.08"',
     'video/webm; codecs="vp9, opus"', 'audio/webm; codecs="vorbis"', 'audio/webm; codecs="opus"', 'video/ogg; codecs="theora"',
     'video/ogg; codecs="theora, vorbis"', 'audio/ogg; codecs="vorbis"', 'audio/ogg; codecs="opus"', 'audio/ogg; codecs="flac"',
     'audio/wav; codecs="1"', 'audio/wav; codecs="0"', 'audio/mpeg; codecs="mp3"', 'audio/flac; codecs="flac"', 'video/mp4; codecs="bogus"',
     'video/mp4; codecs=avc1.42E01E', "video/mp4; codecs='avc1.42E01E'", 'video/webm; codecs="vp8.0"', 'audio/x-mpegurl', 'video/mpeg'];
    var media = {};
    types.forEach(function (t) {
        var v = document.createElement('video').canPlayType(t), a = document.createElement('audio').canPlayType(t);
        var m = typeof MediaSource === 'function' ? MediaSource.isTypeSupported(t) : 'none';
        media[t] = [v, a, m];
    });
    Object.keys(media).forEach(function (t) { probe('media', t, function () { return media[t]; }); });
    function read(f) {
        try {
            var v = f();
            return v === undefined ? 'undefined' : v;
        } catch (e) {
            return 'throws ' + e.name + ': ' + e.message;
        }
    }
    probe('custom elements', 'registry', function () {
        function Card() {}
        var A = class extends HTMLElement {};
        return [Object.prototype.toString.call(customElements), customElements instanceof CustomElementRegistry,
            read(function () { return customElements.get('x-card'); }),
            read(function () { customElements.define('x-card', A); return customElements.get('x-card') === A; }),
            read(function () { return customElements.getName(A); }),
            read(function () { customElements.define('x-card', class extends HTMLElement {}); }),
            read(function () { customElements.define('x-other', A); }),
            read(function () { customElements.define('nohyphen', class extends HTMLElement {}); }),
            read(function () { customElements.define('Upper-case', class extends HTMLElement {}); }),
            read(function () { customElements.define('font-face', class extends HTMLElement {}); }),
            read(function () { customElements.define('x-fn', {}); }),
            read(function () { return customElements.getName(Card); }),
            read(function () { return typeof customElements.whenDefined('x-card').then; })];
    });
})();
