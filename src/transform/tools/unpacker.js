// The workbench's unpacker: peels packer output, URL-escaped bookmarklets and string-
// array obfuscation off a script, layer after layer, through unpacker_filter(source).
var P_A_C_K_E_R = {
    detect: function (str) {
        var s = str.toLowerCase().replace(/ /g, '');
        return s.indexOf('eval(function(') === 0 || s.indexOf('eval((function(') === 0;
    },
    // Packer output unpacks itself: the expression after "eval" yields the source.
    unpack: function (str) {
        if (!P_A_C_K_E_R.detect(str)) return str;
        try {
            unpacked_source = '';
            (0, eval)('unpacked_source = ' + str.substring(4) + ';');
            if (typeof unpacked_source === 'string' && unpacked_source.length > 0) return unpacked_source;
        } catch (e) {
        }
        return str;
    }
};
var unpacked_source = '';

var EscapedBookmarklet = {
    detect: function (str) {
        return str.indexOf('%20') !== -1 && str.indexOf(' ') === -1;
    },
    unpack: function (str) {
        return EscapedBookmarklet.detect(str) ? unescape(str) : str;
    }
};

var JavascriptObfuscator = {
    detect: function (str) {
        return /^var _0x[a-f0-9]+ ?\= ?\[/.test(str);
    },
    // The double-quoted items of an array body; what lies between them is skipped.
    items: function (body) {
        var items = [], i = 0;
        while (i < body.length) {
            if (body.charAt(i) !== '"') { i++; continue; }
            var j = i + 1;
            while (j < body.length && body.charAt(j) !== '"') j += body.charAt(j) === '\\' ? 2 : 1;
            items.push(body.substring(i, j + 1));
            i = j + 1;
        }
        return items;
    },
    fix: function (item) {
        item = item.replace(/\\x([0-9a-fA-F]{2})/g, function (all, hex) {
            var code = parseInt(hex, 16);
            return code >= 32 && code <= 127 ? String.fromCharCode(code) : all;
        });
        if (item.length >= 2 && item.charAt(0) === '"' && item.charAt(item.length - 1) === '"') {
            item = "'" + item.substring(1, item.length - 1).replace(/'/g, "\\'") + "'";
        }
        return item;
    },
    unpack: function (str) {
        if (!JavascriptObfuscator.detect(str)) return str;
        var m = /var (_0x[a-f\d]+) ?\= ?\[(.*?)\];/.exec(str);
        if (!m) return str;
        var name = m[1], items = JavascriptObfuscator.items(m[2]);
        str = str.substring(m[0].length);
        for (var k = 0; k < items.length; k++) {
            str = str.split(name + '[' + k + ']').join(JavascriptObfuscator.fix(items[k]));
        }
        return str;
    }
};

function trim_leading_comments(str) {
    return str.replace(/^(\s*\/\/[^\n]*\n)+/, '').replace(/^\s+/, '');
}

function unpacker_filter(source) {
    source = String(source);
    var stripped = trim_leading_comments(source);
    var unpacked;
    if (P_A_C_K_E_R.detect(stripped)) {
        unpacked = P_A_C_K_E_R.unpack(stripped);
        if (unpacked !== stripped) return unpacker_filter(unpacked);
    }
    if (EscapedBookmarklet.detect(source)) return unpacker_filter(unescape(source));
    if (JavascriptObfuscator.detect(stripped)) {
        unpacked = JavascriptObfuscator.unpack(stripped);
        if (unpacked !== stripped) return unpacker_filter(unpacked);
    }
    return source;
}
