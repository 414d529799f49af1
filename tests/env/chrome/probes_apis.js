// Probes of the page's other services a script may reach for: storage in IndexedDB,
// sockets and event streams (no request is ever sent: they fail as without network),
// broadcast channels, the battery, media devices, service workers and caches.
(function () {
    function read(f) {
        try {
            var v = f();
            return v === undefined ? 'undefined' : v;
        } catch (e) {
            return 'throws ' + e.name + ': ' + e.message;
        }
    }
    function tag(v) { return Object.prototype.toString.call(v); }
    function later(group, name, make, show) {
        probeLater(group, name, function (done) {
            make().then(function (v) { done(show ? show(v) : v); }, function (e) { done('rejects ' + e.name + ': ' + e.message); });
        });
    }

    probeLater('indexedDB', 'open, upgrade, put and get', function (done) {
        var seen = [], q = indexedDB.open('probe-db', 2);
        seen.push('opened ' + tag(q) + ' ' + q.readyState + ' ' + read(function () { return q.result; }));
        q.onupgradeneeded = function (e) {
            var db = q.result;
            seen.push('upgrade ' + e.oldVersion + ' ' + e.newVersion + ' ' + q.readyState + ' ' + tag(e) + ' ' + tag(q.transaction) + ' ' + q.transaction.mode);
            var s = db.createObjectStore('things', {keyPath: 'id'});
            db.createObjectStore('plain', {autoIncrement: true});
            seen.push('store ' + tag(s) + ' ' + s.name + ' ' + s.keyPath + ' ' + s.autoIncrement + ' ' + Array.from(db.objectStoreNames).join());
            s.put({id: 2, v: 'b'});
            s.add({id: 1, v: 'a'});
        };
        q.onsuccess = function (e) {
            var db = q.result;
            seen.push('success ' + tag(e) + ' ' + tag(db) + ' ' + db.name + ' ' + db.version + ' ' + tag(db.objectStoreNames) + ' ' + db.objectStoreNames.length);
            var tx = db.transaction(['things', 'plain'], 'readwrite'), things = tx.objectStore('things'), plain = tx.objectStore('plain');
            seen.push('transaction ' + tag(tx) + ' ' + tx.mode + ' ' + Array.from(tx.objectStoreNames).join());
            var g = things.get(1), all = things.getAll(), keys = things.getAllKeys(), count = things.count(), missing = things.get(9);
            var added = plain.add('x'), added2 = plain.put({y: 1});
            var dup = things.add({id: 1, v: 'again'});
            dup.onerror = function (ev) { seen.push('duplicate ' + dup.error.name + ' ' + ev.type); ev.preventDefault(); };
            tx.oncomplete = function () {
                seen.push('got ' + JSON.stringify(g.result) + ' ' + JSON.stringify(all.result) + ' ' + JSON.stringify(keys.result) + ' ' +
                    count.result + ' ' + missing.result + ' ' + added.result + ' ' + added2.result + ' ' + g.readyState + ' ' + tag(g) + ' ' +
                    (g.source === things) + ' ' + (g.transaction === tx));
                var tx2 = db.transaction('things', 'readwrite'), st = tx2.objectStore('things');
                st.delete(1);
                var c2 = st.count();
                tx2.oncomplete = function () {
                    seen.push('after delete ' + c2.result);
                    db.close();
                    var del = indexedDB.deleteDatabase('probe-db');
                    del.onsuccess = function (ev) { seen.push('deleted ' + tag(ev) + ' ' + ev.oldVersion + ' ' + ev.newVersion); done(seen); };
                    del.onerror = function () { done(seen.concat('delete failed')); };
                };
            };
            tx.onerror = function (ev) { seen.push('tx error ' + (ev.target === dup)); };
        };
        q.onerror = function () { done(seen.concat('error ' + q.error)); };
        q.onblocked = function () { done(seen.concat('blocked')); };
    });
    probe('indexedDB', 'refused', function () {
        return [read(function () { return indexedDB.open(); }), read(function () { return indexedDB.open('x', 0); }),
            read(function () { return indexedDB.cmp(1, 'a'); }), read(function () { return indexedDB.cmp([1], [1]); }),
            read(function () { return indexedDB.cmp({}, 1); }), read(function () { return tag(IDBKeyRange.bound(1, 5)); }),
            read(function () { var r = IDBKeyRange.bound(1, 5, true); return [r.lower, r.upper, r.lowerOpen, r.upperOpen, r.includes(1), r.includes(3)].join(); }),
            read(function () { return IDBKeyRange.only(3).lower; })];
    });

    probeLater('sockets', 'a socket without network', function (done) {
        var seen = [], w = new WebSocket('ws://127.0.0.1:9/path?q');
        seen.push([w.readyState, w.url, w.protocol, w.extensions, w.binaryType, w.bufferedAmount, tag(w), w.CONNECTING, WebSocket.CLOSED].join('|'));
        seen.push(read(function () { return w.send('x'); }));
        w.onopen = function () { seen.push('open'); };
        w.onerror = function (e) { seen.push('error ' + tag(e) + ' ' + w.readyState); };
        w.onclose = function (e) { seen.push('close ' + tag(e) + ' ' + e.code + ' ' + e.wasClean + ' ' + JSON.stringify(e.reason) + ' ' + w.readyState); done(seen); };
    });
    probe('sockets', 'refused addresses', function () {
        return [read(function () { return new WebSocket('ftp://x/'); }),
            read(function () { return new WebSocket('ws://x/#frag'); }), read(function () { return new WebSocket('wss://a.example/', ['a', 'a']); }),
            read(function () { return new WebSocket(); }), read(function () { return new WebSocket('https://a.example/x').url; }),
            read(function () { var w = new WebSocket('ws://127.0.0.1:9/'); w.close(3000, 'r'); return w.readyState; }),
            read(function () { new WebSocket('ws://127.0.0.1:9/').close(1001); }), read(function () { new WebSocket('ws://127.0.0.1:9/').close(3000, new Array(200).join('x')); })];
    });
    probeLater('sockets', 'an event stream without network', function (done) {
        var seen = [], s = new EventSource('events');
        seen.push([s.readyState, s.url.slice(-7), s.withCredentials, tag(s), EventSource.CLOSED].join('|'));
        s.onopen = function () { seen.push('open'); };
        s.onerror = function (e) { seen.push('error ' + tag(e) + ' ' + s.readyState); s.close(); setTimeout(function () { done(seen.concat('closed ' + s.readyState)); }, 10); };
    });

    probeLater('channels', 'broadcast', function (done) {
        var a = new BroadcastChannel('probe'), b = new BroadcastChannel('probe'), c = new BroadcastChannel('other'), seen = [];
        seen.push(a.name + ' ' + tag(a));
        a.onmessage = function (e) { seen.push('a heard ' + e.data); };
        c.onmessage = function (e) { seen.push('c heard ' + e.data); };
        b.onmessage = function (e) {
            seen.push('b heard ' + JSON.stringify(e.data) + ' ' + tag(e) + ' ' + typeof e.origin);
            setTimeout(function () {
                a.close();
                seen.push(read(function () { return a.postMessage(1); }));
                done(seen);
            }, 20);
        };
        a.postMessage({x: [1]});
    });

    later('devices', 'battery', function () { return navigator.getBattery(); }, function (b) {
        return [tag(b), b.charging, b.chargingTime, b.dischargingTime, b.level, typeof b.onchargingchange, navigator.getBattery() === navigator.getBattery()];
    });
    probe('devices', 'media devices shape', function () {
        return [tag(navigator.mediaDevices), typeof navigator.mediaDevices.enumerateDevices, typeof navigator.mediaDevices.getUserMedia,
            typeof navigator.mediaDevices.ondevicechange];
    });
    probe('service workers', 'container', function () {
        var sw = navigator.serviceWorker;
        return [tag(sw), sw.controller, typeof sw.register, typeof sw.getRegistrations, typeof sw.ready.then, typeof sw.oncontrollerchange];
    });
    later('caches', 'keys and match', function () {
        return Promise.all([caches.keys(), caches.has('x'), caches.match('/nothing')]);
    }, function (v) { return [tag(caches), JSON.stringify(v[0]), v[1], String(v[2])]; });
})();
(function () {
    // Images load from what blob: and data: addresses hold; any other fails (the probes'
    // page has no such file).
    var PNG = 'iVBORw0KGgoAAAANSUhEUgAAAAMAAAACCAYAAACddGYaAAAAEUlEQVR4nGP4z8DwH4YZkDkAm34L9XKwuTwAAAAASUVORK5CYII=';
    var GIF = 'R0lGODlhAQABAIAAAAAAAP///yH5BAEAAAAALAAAAAABAAEAAAIBRAA7';
    function image(name, src, attributes) {
        probeLater('images', name, function (done) {
            var img = new Image(), before;
            for (var k in attributes || {}) img.setAttribute(k, attributes[k]);
            img.onload = function (e) { done(['load', e.type, img.complete, img.naturalWidth, img.naturalHeight, img.width, img.height, before]); };
            img.onerror = function (e) { done(['error', e.type, img.complete, img.naturalWidth, img.naturalHeight, img.width, before]); };
            img.src = src;
            before = [img.complete, img.naturalWidth].join();
        });
    }
    image('png from a data address', 'data:image/png;base64,' + PNG);
    image('gif from a data address', 'data:image/gif;base64,' + GIF);
    image('cut short', 'data:image/gif;base64,R0lGODlhAQABAAAAACw=');
    image('not an image', 'data:text/plain,hello');
    image('with its own size', 'data:image/png;base64,' + PNG, {width: '7'});
    image('missing file', 'no-such-image-here.png');
    var bytes = atob(PNG), array = new Uint8Array(bytes.length);
    for (var n = 0; n < bytes.length; n++) array[n] = bytes.charCodeAt(n);
    image('png from a blob', URL.createObjectURL(new Blob([array], {type: 'image/png'})));
    probe('images', 'before any address', function () {
        var img = new Image();
        return [img.complete, img.naturalWidth, img.src, img.currentSrc];
    });
})();
(function () {
    // A peer connection's offer (its shape: the credentials are fresh each time).
    probe('webrtc', 'a new connection', function () {
        var pc = new RTCPeerConnection(), dc = pc.createDataChannel('x');
        var out = [pc.signalingState, pc.iceGatheringState, pc.iceConnectionState, pc.connectionState, pc.localDescription, pc.canTrickleIceCandidates,
            Object.prototype.toString.call(dc), dc.label, dc.ordered, dc.protocol, dc.id, dc.readyState, dc.binaryType, dc.maxRetransmits,
            dc.negotiated, dc.bufferedAmount];
        pc.close();
        return out;
    });
    probeLater('webrtc', 'an offer', function (done) {
        var pc = new RTCPeerConnection();
        pc.createDataChannel('');
        pc.createOffer().then(function (o) {
            var shape = o.sdp.replace(/o=- \d+ /, 'o=- N ').replace(/ice-ufrag:\S+/, 'ice-ufrag:U').replace(/ice-pwd:\S+/, 'ice-pwd:P')
                .replace(/sha-256 (\S\S:){31}\S\S/, 'sha-256 F');
            var ok = [/ice-ufrag:[A-Za-z0-9+\/]{4}\r\n/.test(o.sdp), /ice-pwd:[A-Za-z0-9+\/]{24}\r\n/.test(o.sdp), /o=- \d{10,20} 2 /.test(o.sdp)];
            return pc.setLocalDescription(o).then(function () {
                done([Object.prototype.toString.call(o), o.type, shape].concat(ok, [pc.signalingState, Object.prototype.toString.call(pc.localDescription),
                    pc.localDescription.sdp === o.sdp, pc.localDescription.type]));
                pc.close();
            });
        }).then(null, function (e) { done('rejects ' + e); });
    });
})();
(function () {
    // An offscreen canvas draws as a page canvas does.
    probe('offscreen canvas', 'made and drawn', function () {
        var c = new OffscreenCanvas(20, 10), g = c.getContext('2d');
        g.fillStyle = '#f00';
        g.fillRect(0, 0, 5, 5);
        var page = document.createElement('canvas');
        page.width = 20;
        page.height = 10;
        var pg = page.getContext('2d');
        pg.fillStyle = '#f00';
        pg.fillRect(0, 0, 5, 5);
        var a = g.getImageData(0, 0, 20, 10).data, b = pg.getImageData(0, 0, 20, 10).data, same = a.length === b.length;
        for (var n = 0; n < a.length && same; n++) same = a[n] === b[n];
        return [Object.prototype.toString.call(c), c.width, c.height, Object.prototype.toString.call(g), g.canvas === c, c.getContext('2d') === g,
            c.getContext('webgl'), same, typeof g.fillText, typeof g.measureText('x').width];
    });
    probeLater('offscreen canvas', 'to a blob', function (done) {
        var c = new OffscreenCanvas(4, 4);
        c.getContext('2d').fillRect(0, 0, 2, 2);
        c.convertToBlob().then(function (b) { done([Object.prototype.toString.call(b), b.type, b.size > 50]); }, function (e) { done('rejects ' + e); });
    });
})();
(function () {
    // An offer to receive audio and video: its sections and codecs (the credentials aside).
    probeLater('webrtc', 'an offer with media', function (done) {
        var pc = new RTCPeerConnection({iceCandidatePoolSize: 1, iceServers: []});
        pc.createDataChannel('');
        pc.createOffer({offerToReceiveAudio: true, offerToReceiveVideo: true}).then(function (o) {
            done(o.sdp.replace(/o=- \d+ /, 'o=- N ').replace(/ice-ufrag:\S+/g, 'ice-ufrag:U').replace(/ice-pwd:\S+/g, 'ice-pwd:P')
                .replace(/sha-256 (\S\S:){31}\S\S/g, 'sha-256 F').split('\r\n'));
            pc.close();
        }, function (e) { done('rejects ' + e); });
    });
    probe('audio', 'a buffer source', function () {
        var ctx = new OfflineAudioContext(1, 5000, 44100), src = ctx.createBufferSource();
        return [Object.prototype.toString.call(src), src.channelCountMode, src.channelCount, src.channelInterpretation, src.buffer, src.loop,
            src.loopStart, src.loopEnd, src.playbackRate.value, src.detune.value, src.numberOfInputs, src.numberOfOutputs, typeof src.start,
            ctx.destination.maxChannelCount];
    });
})();
(function () {
    // The navigator's other objects, as a page without the user's leave finds them.
    function read(f) {
        try {
            return f();
        } catch (e) {
            return 'throws ' + e.name + ': ' + e.message;
        }
    }
    function later(name, make, show) {
        probeLater('navigator objects', name, function (done) {
            make().then(function (v) { done(show ? show(v) : v); }, function (e) { done('rejects ' + e.name + ': ' + e.message); });
        });
    }
    probe('navigator objects', 'made', function () {
        var n = navigator;
        return [Object.prototype.toString.call(n.clipboard), Object.prototype.toString.call(n.credentials), Object.prototype.toString.call(n.locks),
            Object.prototype.toString.call(n.usb), Object.prototype.toString.call(n.scheduling), n.scheduling.isInputPending(),
            Object.prototype.toString.call(n.userActivation), n.userActivation.isActive, n.userActivation.hasBeenActive, n.clipboard === n.clipboard,
            n.getGamepads(), read(function () { return n.vibrate(1); }), n.mediaSession.playbackState, n.mediaSession.metadata];
    });
    later('clipboard read', function () { return navigator.clipboard.readText(); });
    later('clipboard write', function () { return navigator.clipboard.writeText('x'); });
    later('credentials', function () { return navigator.credentials.get({}); });
    later('usb devices', function () { return navigator.usb.getDevices(); }, function (d) { return [Array.isArray(d), d.length]; });
    later('midi', function () { return navigator.requestMIDIAccess(); });
})();
(function () {
    probeLater('navigator objects', 'keyboard layout', function (done) {
        navigator.keyboard.getLayoutMap().then(function (m) {
            var e = [];
            m.forEach(function (v, k) { e.push(k + '=' + v); });
            done([m.size, Object.prototype.toString.call(m), m.get('KeyA'), m.get('Digit1'), m.has('KeyZ'), m.has('nope'), m.get('nope'),
                Object.getOwnPropertyNames(Object.getPrototypeOf(m)).sort().join(), m.get.length, m.forEach.length, e.length,
                Array.from(m.keys()).length, Array.from(m)[0].length, typeof m[Symbol.iterator]]);
        }, function (e) { done('rejects ' + e); });
    });
})();
