// 可移植形式的装配：把网页对象（第二个参数）和 Chrome 的接口（第四个参数）装到全局对象上，
// 所需的宿主功能在这里用普通脚本补上。全局对象已有固定的 document（本工具已开浏览器环境，
// 或本来就是浏览器）时什么也不做。
(function (global, page, makeConsole, face, table, services) {
    'use strict';
    var fixed = Object.getOwnPropertyDescriptor(global, 'document');
    if (fixed && !fixed.configurable) return;
    var outer = {console: global.console, setTimeout: global.setTimeout, crypto: global.crypto};

    // Functions of the page print as native code (a script-level stand-in for what the
    // workbench's engine gives).
    var natives = new WeakSet(), sourceOf = Function.prototype.toString;
    var toStringFn = {toString: function () {
        return natives.has(this) ? 'function ' + this.name + '() { [native code] }' : sourceOf.call(this);
    }}.toString;
    natives.add(toStringFn);
    Object.defineProperty(Function.prototype, 'toString', {value: toStringFn, writable: true, enumerable: false, configurable: true});
    function native(impl, name, length, constructor) {
        // A method has no prototype and refuses new, as a native function does.
        var f = constructor ? function () {
            return new.target ? Reflect.construct(impl, arguments, new.target) : impl.apply(this, arguments);
        } : {m() { return impl.apply(this, arguments); }}.m;
        Object.defineProperty(f, 'name', {value: String(name), configurable: true});
        Object.defineProperty(f, 'length', {value: Number(length) || 0, configurable: true});
        natives.add(f);
        return f;
    }

    // The table of Web IDL facts, indexed once.
    var lines = Object.create(null), others = Object.create(null), all = [];
    table.split('\n').forEach(function (text) {
        if (text === '' || text.charAt(0) === '#') return;
        var name = text.substring(0, text.indexOf(' ')), head = text.substring(0, text.indexOf(' |')).split(' ');
        lines[name] = text;
        var objectLess = false;
        head[2].split(',').forEach(function (flag) {
            // (a worker's interfaces are no names of the window)
            if (flag === 'X' || flag === 'W') objectLess = true;
            if (/^[FA]./.test(flag)) {
                var other = flag.substring(1).split('/');
                others[other[0]] = flag.charAt(0) === 'F' ? 'F ' + name + ' ' + other[1] : 'A ' + name;
                all.push(other[0]);
            }
        });
        if (!objectLess) all.push(name);
        if (name === 'Window') {
            text.substring(text.indexOf(' |') + 3).split(' ').forEach(function (t) {
                var m = /^[!*]*([^\/~=:]+)[\/~=]/.exec(t);
                if (m) all.push(m[1]);
            });
        }
    });

    var runner = null, pumping = false;
    function pump() {
        pumping = false;
        if (runner && runner(1000) > 0) kick();
    }
    function kick() {
        if (!pumping && typeof outer.setTimeout === 'function') {
            pumping = true;
            outer.setTimeout(pump, 0);
        }
    }
    var host = {
        target: 'es2021',
        address: global.location && typeof global.location.href === 'string' ? global.location.href : '',
        eager: true,
        line: function (text) { if (outer.console && outer.console.log) outer.console.log('-->' + text); },
        create: function (proto) { return Object.create(proto); },
        accessor: function (o, name, get, set) {
            Object.defineProperty(o, name, {get: get, set: set, enumerable: true, configurable: true});
        },
        randomBytes: function (n) {
            var bytes = [];
            if (outer.crypto && outer.crypto.getRandomValues) return Array.prototype.slice.call(outer.crypto.getRandomValues(new Uint8Array(n)));
            for (var i = 0; i < n; i++) bytes.push(Math.floor(Math.random() * 256));
            return bytes;
        },
        undetectable: function (target) { return target; },
        timers: function (run) { runner = run; },
        hollow: function () {},
        entry: function (name) { return lines[name] || others[name] || ''; },
        names: function (list) { all = all.concat(list); },
        allNames: function () { return all.slice(); },
        lazyProto: function (proto) { return Object.create(proto); },
        services: function () { return services; }
    };
    var kit = page({}, host, makeConsole);
    // Timers the page adds run on the host's own timers, when it has them.
    ['setTimeout', 'setInterval', 'requestAnimationFrame'].forEach(function (k) {
        var add = kit.window[k];
        kit.window[k] = function () {
            var id = add.apply(this, arguments);
            kick();
            return id;
        };
    });
    var made = face(global, host, native, kit);
    made.resolveAll();
})
