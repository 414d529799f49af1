// 行内样式（青柚JS调试工具浏览器环境的一部分）：网页第一次用到样式时才编译运行，按 Chrome 的做法
// 读写行内样式的值。
// An element's inline style as Chrome keeps it, made when a page first uses a style: its
// declarations read into the longhands they set and written back (the values themselves
// are the host's CSS natives'). `kit` gives what it needs of the page.
(function (kit) {
    var host = kit.host, declarationAt = kit.declarationAt, trimText = kit.trimText;

    function flatDeclarations(st) {
        var out = [];
        for (var k = 0; k < st.__list.length; k++) out.push(st.__list[k].name, st.__list[k].value, st.__list[k].important);
        return out;
    }
    // Puts each longhand the declaration sets (in its place if the style has it, else
    // last); a declaration without a value removes them. False when nothing changed.
    function declare(st, name, value, important) {
        var k, at;
        if (trimText(value) === '') {
            var names = host.cssLonghands(name), removed = false;
            for (k = 0; k < names.length; k++) {
                if ((at = declarationAt(st, names[k])) >= 0) {
                    st.__list.splice(at, 1);
                    removed = true;
                }
            }
            return removed;
        }
        var set = host.cssDeclare(name, value);
        if (set === null) return false;
        for (k = 0; k < set.length; k += 2) {
            var d = {name: set[k], value: set[k + 1], important: important};
            if ((at = declarationAt(st, d.name)) < 0) st.__list.push(d);
            else st.__list[at] = d;
        }
        return true;
    }
    // One declaration of a style's text: each longhand it sets goes last, unless the style
    // already has it important and this one is not.
    function read(st, name, value, important) {
        var set = name === '' || trimText(value) === '' ? null : host.cssDeclare(name, value);
        if (set === null) return;
        for (var k = 0; k < set.length; k += 2) {
            var at = declarationAt(st, set[k]);
            if (at >= 0 && st.__list[at].important && !important) continue;
            if (at >= 0) st.__list.splice(at, 1);
            st.__list.push({name: set[k], value: set[k + 1], important: important});
        }
    }
    // A property's importance: every longhand it stands for is important.
    function priority(st, name) {
        var names = host.cssLonghands(name), at;
        for (var k = 0; k < names.length; k++) if ((at = declarationAt(st, names[k])) < 0 || !st.__list[at].important) return '';
        return names.length > 0 ? 'important' : '';
    }
    // The value a removal answers with (Chrome answers a shorthand's with none).
    function removed(st, name) {
        if (host.cssLonghands(name).length > 1) return '';
        var at = declarationAt(st, name);
        return at >= 0 ? st.__list[at].value : st.__list.length > 0 ? host.cssValue(name, flatDeclarations(st)) : '';
    }

    return {declare: declare, read: read, priority: priority, removed: removed,
        text: function (st) { return host.cssText(flatDeclarations(st)); },
        value: function (st, name) { return host.cssValue(name, flatDeclarations(st)); }};
})
