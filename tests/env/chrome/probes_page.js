// Probes of document.all, the persona's consistency, the names on the global, and of
// nothing of the workbench being reachable.
(function () {
    probe('document.all', 'typeof', function () { return typeof document.all; });
    probe('document.all', '== null, == undefined, === undefined', function () {
        return [document.all == null, document.all == undefined, document.all === undefined, !!document.all];
    });
    probe('document.all', 'tag', function () { return Object.prototype.toString.call(document.all); });
    probe('document.all', 'length is every element', function () {
        return document.all.length === document.getElementsByTagName('*').length;
    });
    probe('document.all', 'live', function () {
        var before = document.all.length, e = document.createElement('div');
        e.id = 'probe-all';
        document.body.appendChild(e);
        var grew = document.all.length === before + 1, byId = document.all['probe-all'] === e;
        var named = document.all.namedItem('probe-all') === e;
        document.body.removeChild(e);
        return [grew, byId, named, document.all.length === before];
    });
    probe('document.all', 'index and item', function () {
        return [document.all[0] === document.documentElement, document.all.item(0) === document.documentElement];
    });
    probe('document.all', 'own keys are indices', function () {
        return Object.keys(document.all).length === document.all.length;
    });
    probe('document.all', 'item name and length', function () {
        return [HTMLAllCollection.prototype.item.length, HTMLAllCollection.prototype.namedItem.length];
    });

    var ua = navigator.userAgent;
    probe('persona', 'appVersion follows userAgent', function () { return 'Mozilla/' + navigator.appVersion === ua; });
    probe('persona', 'platform for the user agent', function () {
        return /Windows/.test(ua) ? navigator.platform === 'Win32' : /Linux/.test(ua) ? /^Linux/.test(navigator.platform) : null;
    });
    probe('persona', 'language is the first of languages', function () { return navigator.language === navigator.languages[0]; });
    probe('persona', 'languages frozen', function () { return Object.isFrozen(navigator.languages); });
    probe('persona', 'same languages array each time', function () { return navigator.languages === navigator.languages; });
    probe('persona', 'userAgentData brands carry the version', function () {
        var major = (/Chrome\/(\d+)/.exec(ua) || [])[1];
        return navigator.userAgentData.brands.some(function (b) { return b.version === major && /Chrom/.test(b.brand); });
    });
    probe('persona', 'userAgentData brand count', function () { return navigator.userAgentData.brands.length; });
    probe('persona', 'userAgentData platform', function () {
        var p = navigator.userAgentData.platform;
        return /Windows/.test(ua) ? p === 'Windows' : /Linux/.test(ua) ? p === 'Linux' : null;
    });
    probe('persona', 'userAgentData mobile', function () { return navigator.userAgentData.mobile; });
    probe('persona', 'Intl locale follows language', function () {
        return Intl.DateTimeFormat().resolvedOptions().locale === navigator.language;
    });
    probe('persona', 'time zone offset agrees with Intl', function () {
        var zone = Intl.DateTimeFormat().resolvedOptions().timeZone;
        var d = new Date(Date.UTC(2024, 0, 15, 12));
        var local = d.toLocaleString('en-US', {timeZone: zone, hour12: false, hour: '2-digit'});
        return (12 - Number(local) + 24) % 24 === (-d.getTimezoneOffset() / 60 + 24 * 2) % 24 * -1 + 0 || Number(local) === (12 - d.getTimezoneOffset() / 60 + 24) % 24;
    });
    probe('persona', 'Date toString ends with the zone', function () {
        return /GMT[+-]\d{4} \(.+\)$/.test(String(new Date(0)));
    });
    probe('persona', 'webdriver', function () { return navigator.webdriver; });
    probe('persona', 'cookieEnabled', function () { return navigator.cookieEnabled; });
    probe('persona', 'vendor', function () { return navigator.vendor; });
    probe('persona', 'product and productSub', function () { return navigator.product + ' ' + navigator.productSub; });
    probe('persona', 'appName and appCodeName', function () { return navigator.appName + ' ' + navigator.appCodeName; });
    probe('persona', 'plugins', function () {
        return Array.prototype.map.call(navigator.plugins, function (p) { return p.name + ':' + p.filename + ':' + p.length; });
    });
    probe('persona', 'mimeTypes', function () {
        return Array.prototype.map.call(navigator.mimeTypes, function (m) { return m.type + ':' + m.suffixes; });
    });
    probe('persona', 'Notification.permission', function () { return Notification.permission; });
    probe('persona', 'connection', function () {
        var c = navigator.connection;
        return [typeof c.effectiveType, typeof c.rtt, typeof c.downlink, c.saveData];
    });
    probe('persona', 'screen avail within screen', function () {
        return screen.availWidth <= screen.width && screen.availHeight <= screen.height && screen.colorDepth === 24;
    });
    probe('persona', 'chrome object', function () {
        return typeof window.chrome === 'object' && typeof chrome.loadTimes + typeof chrome.csi;
    });

    var present = ['chrome', 'MessageChannel', 'MessagePort', 'Notification', 'MutationObserver', 'IntersectionObserver',
        'ResizeObserver', 'requestIdleCallback', 'cancelIdleCallback', 'Audio', 'Image', 'Option', 'indexedDB', 'external',
        'webkitRequestAnimationFrame', 'webkitURL', 'WebKitMutationObserver', 'HTMLDocument', 'visualViewport', 'customElements',
        'queueMicrotask', 'structuredClone', 'crypto', 'performance', 'localStorage', 'sessionStorage', 'caches', 'speechSynthesis',
        'onmessage', 'onbeforeunload', 'clientInformation', 'styleMedia', 'find', 'webkitStorageInfo', 'openDatabase'];
    present.forEach(function (name) {
        probe('globals', name, function () { return name in window; });
    });
    var absent = ['ScriptEngine', 'ScriptEngineMajorVersion', '__qyEnvHost', 'Components', 'netscape', 'InstallTrigger',
        'uneval', 'ActiveXObject', 'attachEvent', 'Debug', 'WScript', 'dump', 'sidebar', 'mozInnerScreenX', 'opera',
        'GetObject', 'CollectGarbage', 'VBArray', 'Enumerator', 'phantom', 'callPhantom', '_phantom', 'Buffer', 'process',
        'require', 'global', 'emit', 'spawn', 'domAutomation', 'webdriver', '__nightmare', '__selenium_unwrapped'];
    absent.forEach(function (name) {
        probe('globals', 'no ' + name, function () { return name in window; });
    });

    probe('nothing internal', 'own names of window without a page counterpart', function () {
        return Object.getOwnPropertyNames(window).filter(function (n) { return /qy|__|Host/i.test(n); });
    });
    probe('nothing internal', 'own symbols of window', function () { return Object.getOwnPropertySymbols(window).length; });
    probe('nothing internal', 'navigator keys', function () { return Object.keys(navigator); });
    probe('nothing internal', 'document keys', function () { return Object.keys(document); });
    probe('nothing internal', 'element keys', function () { return Object.keys(document.createElement('div')); });
    probe('nothing internal', 'no source in stacks of page members', function () {
        try {
            document.body.appendChild(null);
        } catch (e) {
            return /qy-internal|browser\.js|chrome\.js/.test(String(e.stack)) ? 'leaks' : e.name;
        }
        return 'no error';
    });
    probe('nothing internal', 'for-in over navigator', function () {
        var n = 0;
        for (var k in navigator) n++;
        return n > 20;
    });
    probe('nothing internal', 'Object.keys(window) has no environment names', function () {
        return Object.keys(window).filter(function (n) { return /^(kit|host|native|config)$/.test(n); });
    });
})();
