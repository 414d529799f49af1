// 计算样式（青柚JS调试工具浏览器环境的一部分）：getComputedStyle 第一次被调用时才编译运行，
// 给出每个元素按 Chrome 算出的样式值。
// An element's computed style, made when a script first asks for one: each property's
// value is worked out when read: the inline declaration, else the tag's default, else
// the parent's (for an inherited property) or the initial value; then colours in rgb(),
// lengths in px, sizes from the text layout. `kit` gives what it needs of the page.
(function (kit) {
    var host = kit.host, config = kit.config, profile = kit.profile, own = kit.own, toText = kit.toText;
    var inherit = kit.inherit, wordSet = kit.wordSet, domError = kit.domError, rooted = kit.rooted, boxOf = kit.boxOf;
    var declarationAt = kit.declarationAt, declarationName = kit.declarationName, MONOSPACE_TAGS = kit.monospaceTags;
    var computedFacts = null;
    function computedTable() {
        if (computedFacts === null) {
            var flat = host.cssComputedNames(), t = {names: [], inherited: {}, initial: {}};
            for (var k = 0; k < flat.length; k += 3) {
                t.names.push(flat[k]);
                t.inherited[flat[k]] = flat[k + 1];
                t.initial[flat[k]] = flat[k + 2];
            }
            computedFacts = t;
        }
        return computedFacts;
    }
    // What the tags and properties start from, made when a computed style is first read.
    var ua = null;
    function uaDefaults() {
        if (ua !== null) return ua;
        ua = {};
        ua.display = {HTML: 'block', BODY: 'block', ADDRESS: 'block', ARTICLE: 'block', ASIDE: 'block', BLOCKQUOTE: 'block',
            CENTER: 'block', DD: 'block', DETAILS: 'block', DIV: 'block', DL: 'block', DT: 'block', FIELDSET: 'block',
            FIGCAPTION: 'block', FIGURE: 'block', FOOTER: 'block', FORM: 'block', H1: 'block', H2: 'block', H3: 'block',
            H4: 'block', H5: 'block', H6: 'block', HEADER: 'block', HGROUP: 'block', HR: 'block', LEGEND: 'block', MAIN: 'block',
            MENU: 'block', NAV: 'block', OL: 'block', P: 'block', PRE: 'block', SEARCH: 'block', SECTION: 'block', UL: 'block',
            XMP: 'block', LISTING: 'block', PLAINTEXT: 'block', OPTGROUP: 'block', OPTION: 'block', SUMMARY: 'block',
            LI: 'list-item', TABLE: 'table', CAPTION: 'table-caption', COLGROUP: 'table-column-group', COL: 'table-column',
            THEAD: 'table-header-group', TBODY: 'table-row-group', TFOOT: 'table-footer-group', TR: 'table-row',
            TD: 'table-cell', TH: 'table-cell', INPUT: 'inline-block', BUTTON: 'inline-block', SELECT: 'inline-block',
            TEXTAREA: 'inline-block', METER: 'inline-block', PROGRESS: 'inline-block', MARQUEE: 'inline-block',
            HEAD: 'none', SCRIPT: 'none', STYLE: 'none', TITLE: 'none', META: 'none', LINK: 'none', BASE: 'none',
            TEMPLATE: 'none', AREA: 'none', MAP: 'none', PARAM: 'none', DATALIST: 'none', DIALOG: 'none', SLOT: 'contents'};
        // The tags' font sizes (in em of the parent's), margins above and below (in em), weights and styles.
        ua.fontSize = {H1: 2, H2: 1.5, H3: 1.17, H4: 1, H5: 0.83, H6: 0.67};
        ua.blockMargin = {H1: 0.67, H2: 0.83, H3: 1, H4: 1.33, H5: 1.67, H6: 2.33, P: 1, UL: 1, OL: 1, DL: 1, PRE: 1,
            BLOCKQUOTE: 1, FIGURE: 1, MENU: 1, XMP: 1, LISTING: 1, PLAINTEXT: 1, FIELDSET: 0, HR: 0.5};
        ua.bold = wordSet('H1 H2 H3 H4 H5 H6 B STRONG TH OPTGROUP');
        ua.italic = wordSet('EM I CITE VAR DFN ADDRESS');
        ua.controls = wordSet('INPUT BUTTON SELECT TEXTAREA');
        ua.keywordPx = {'xx-small': 9, 'x-small': 10, small: 13, medium: 16, large: 18, 'x-large': 24, 'xx-large': 32, 'xxx-large': 48};
        // Longhands a computed style reads without listing them.
        ua.outsideList = {'background-position-x': '0%', 'background-position-y': '0%', 'mask-position-x': '0%', 'mask-position-y': '0%'};
        ua.borderWidths = {thin: '1px', medium: '3px', thick: '5px'};
        return ua;
    }
    function pxNumber(n) { return String(Number(n.toPrecision(6))); }
    function isLink(e) {
        return e.tagName === 'A' && ((e.__attributes && own(e.__attributes, 'href')) || (typeof e.href === 'string' && e.href !== ''));
    }
    function parentElement(e) { return e.parentNode && e.parentNode.nodeType === 1 ? e.parentNode : null; }
    function inlineValue(e, name) {
        var st = e.style;
        if (!st || !st.__list) return '';
        var at = declarationAt(st, name);
        return at < 0 ? '' : st.__list[at].value;
    }
    // What the tag gives the property ('' for nothing).
    function tagDefault(e, name) {
        var tag = e.tagName;
        switch (name) {
        case 'display':
            if (e.__attributes && own(e.__attributes, 'hidden')) return 'none';
            if (tag === 'INPUT' && e.__attributes && toText(e.__attributes.type).toLowerCase() === 'hidden') return 'none';
            return own(uaDefaults().display, tag) ? uaDefaults().display[tag] : 'inline';
        case 'margin-top': case 'margin-bottom':
            return tag === 'BODY' ? '8px' : own(uaDefaults().blockMargin, tag) ? uaDefaults().blockMargin[tag] + 'em' : '';
        case 'margin-left': case 'margin-right':
            return tag === 'BODY' ? '8px' : tag === 'BLOCKQUOTE' || tag === 'FIGURE' ? '40px' : '';
        case 'padding-left':
            return tag === 'UL' || tag === 'OL' || tag === 'MENU' ? '40px' : '';
        case 'font-size':
            if (own(uaDefaults().fontSize, tag)) return uaDefaults().fontSize[tag] + 'em';
            if (tag === 'SMALL' || tag === 'SUB' || tag === 'SUP') return 'smaller';
            if (tag === 'BIG') return 'larger';
            return uaDefaults().controls[tag] === true ? '13.3333px' : '';
        case 'font-weight': return uaDefaults().bold[tag] === true ? 'bold' : '';
        case 'font-style': return uaDefaults().italic[tag] === true ? 'italic' : '';
        case 'font-family': return MONOSPACE_TAGS[tag] === true ? 'monospace' : '';
        case 'color': return isLink(e) ? 'rgb(0, 0, 238)' : '';
        case 'text-decoration-line': return isLink(e) ? 'underline' : '';
        case 'cursor': return isLink(e) ? 'pointer' : '';
        case 'text-align': return tag === 'TH' ? 'center' : '';
        case 'white-space-collapse': return tag === 'PRE' || tag === 'TEXTAREA' ? 'preserve' : '';
        case 'text-wrap-mode': return tag === 'PRE' ? 'nowrap' : '';
        case 'list-style-type': return tag === 'OL' ? 'decimal' : '';
        }
        return '';
    }
    // The value before it is resolved: declared, the tag's, the parent's or the initial one.
    function cascaded(e, name) {
        var t = computedTable(), v = inlineValue(e, name), inherited = t.inherited[name] === true;
        if (v === 'inherit') {
            var from = parentElement(e);
            return from ? computedLonghand(from, name) : initialValue(name);
        }
        if (v === 'revert' || v === 'revert-layer' || (v === 'unset' && inherited)) v = '';
        else if (v === 'initial' || v === 'unset') return initialValue(name);
        if (v === '') v = tagDefault(e, name);
        if (v === '' && inherited) {
            var p = parentElement(e);
            return p ? computedLonghand(p, name) : initialValue(name);
        }
        return v === '' ? initialValue(name) : v;
    }
    function initialValue(name) {
        if (name === 'font-family') return standardFont();
        if (name === 'display') return 'inline';
        var t = computedTable();
        return own(t.initial, name) ? t.initial[name] : own(uaDefaults().outsideList, name) ? uaDefaults().outsideList[name] : '';
    }
    function standardFont() {
        var f = profile.fonts && typeof profile.fonts.standard === 'string' ? profile.fonts.standard : 'Times New Roman';
        return /^[\w-]+$/.test(f) ? f : '"' + f + '"';
    }
    // The font size in px: the parent's scaled, a keyword's, a length's (a monospace family
    // alone shows the default sizes at 13 of 16).
    function fontSizeOf(e) {
        var p = parentElement(e), parent = p ? fontSizeOf(p) : {px: 16, keyword: true, mono: false};
        var v = inlineValue(e, 'font-size'), mono = computedLonghand(e, 'font-family') === 'monospace';
        if (v === '' || v === 'revert') v = tagDefault(e, 'font-size');
        // A size that follows the default keeps following it into or out of a monospace family.
        var base = parent.keyword && parent.mono !== mono ? parent.px * (mono ? 13 / 16 : 16 / 13) : parent.px;
        if (v === '' || v === 'inherit' || v === 'unset') return {px: base, keyword: parent.keyword, mono: mono};
        if (v === 'initial') v = 'medium';
        if (own(uaDefaults().keywordPx, v)) return {px: uaDefaults().keywordPx[v] * (mono ? 13 / 16 : 1), keyword: true, mono: mono};
        if (v === 'larger') return {px: parent.px * 1.2, keyword: false, mono: mono};
        if (v === 'smaller') return {px: parent.px / 1.2, keyword: false, mono: mono};
        var m = /^(-?[\d.]+(?:e[+-]?\d+)?)(%|em|rem|px|pt|pc|in|cm|mm|q|ex|ch|vw|vh|vmin|vmax)$/.exec(v);
        if (!m) return {px: base, keyword: parent.keyword, mono: mono};
        var n = Number(m[1]);
        if (m[2] === '%') return {px: n * parent.px / 100, keyword: false, mono: mono};
        if (m[2] === 'em') return {px: n * parent.px, keyword: false, mono: mono};
        return {px: absolutePx(n, m[2], parent.px), keyword: false, mono: mono};
    }
    function absolutePx(n, unit, fontPx) {
        switch (unit) {
        case 'px': return n;
        case 'em': return n * fontPx;
        case 'rem': return n * 16;
        case 'ex': case 'ch': return n * fontPx / 2;
        case 'pt': return n * 4 / 3;
        case 'pc': return n * 16;
        case 'in': return n * 96;
        case 'cm': return n * 96 / 2.54;
        case 'mm': return n * 96 / 25.4;
        case 'q': return n * 96 / 101.6;
        case 'vw': return n * config.innerWidth / 100;
        case 'vh': return n * config.innerHeight / 100;
        case 'vmin': return n * Math.min(config.innerWidth, config.innerHeight) / 100;
        case 'vmax': return n * Math.max(config.innerWidth, config.innerHeight) / 100;
        }
        return null;
    }
    // Lengths in a value in px (percentages and keywords as they are).
    function inPixels(e, v) {
        return v.replace(/(^|[\s(,])(-?[\d.]+(?:e[+-]?\d+)?)(em|rem|ex|ch|pt|pc|in|cm|mm|q|vw|vh|vmin|vmax)(?=$|[\s),])/g, function (all, before, n, unit) {
            return before + pxNumber(absolutePx(Number(n), unit, fontSizeOf(e).px)) + 'px';
        });
    }
    function hiddenByDisplay(e) {
        for (var p = e; p && p.nodeType === 1; p = p.parentNode) if (computedLonghand(p, 'display') === 'none') return true;
        return false;
    }
    function computedLonghand(e, name) {
        var v = cascaded(e, name), m;
        if (name === 'color' || /-color$/.test(name) || name === 'fill' || name === 'stroke') {
            if (v === 'currentcolor') return name === 'color' ? (parentElement(e) ? computedLonghand(parentElement(e), 'color') : 'rgb(0, 0, 0)') : computedLonghand(e, 'color');
            var c = host.cssColor(v);
            return c !== '' ? c : v;
        }
        switch (name) {
        case 'font-size': return pxNumber(fontSizeOf(e).px) + 'px';
        case 'font-weight': {
            if (v === 'normal') return '400';
            if (v === 'bold') return '700';
            if (v === 'bolder' || v === 'lighter') {
                var w = parentElement(e) ? Number(computedLonghand(parentElement(e), 'font-weight')) : 400;
                if (v === 'bolder') return w < 350 ? '400' : w < 550 ? '700' : '900';
                return w < 550 ? '100' : w < 750 ? '400' : '700';
            }
            return v;
        }
        case 'line-height':
            if ((m = /^[\d.]+$/.exec(v))) return pxNumber(Number(v) * fontSizeOf(e).px) + 'px';
            if ((m = /^([\d.]+)%$/.exec(v))) return pxNumber(Number(m[1]) * fontSizeOf(e).px / 100) + 'px';
            return inPixels(e, v);
        case 'border-top-width': case 'border-right-width': case 'border-bottom-width': case 'border-left-width': {
            var style = cascaded(e, name.replace('-width', '-style'));
            if (style === 'none' || style === 'hidden') return '0px';
            return own(uaDefaults().borderWidths, v) ? uaDefaults().borderWidths[v] : inPixels(e, v);
        }
        case 'outline-width': case 'column-rule-width':
            return own(uaDefaults().borderWidths, v) ? uaDefaults().borderWidths[v] : inPixels(e, v);
        case 'display': {
            var floated = cascaded(e, 'float'), position = cascaded(e, 'position');
            if ((floated !== 'none' && floated !== '') || position === 'absolute' || position === 'fixed') {
                if (v === 'inline' || v === 'inline-block' || /^table-/.test(v)) return 'block';
                if (v === 'inline-flex' || v === 'inline-grid' || v === 'inline-table') return v.substring(7);
            }
            return v;
        }
        case 'width': case 'height': case 'inline-size': case 'block-size': {
            var across = name === 'width' || name === 'inline-size';
            if (hiddenByDisplay(e) || (computedLonghand(e, 'display') === 'inline' && !/^(IMG|CANVAS|IFRAME|VIDEO|INPUT|SELECT|TEXTAREA|BUTTON)$/.test(e.tagName))) {
                v = inlineValue(e, across ? 'width' : 'height');
                return v === '' || /%$/.test(v) ? 'auto' : inPixels(e, v);
            }
            // A size given in absolute units is the size (in the layout's 1/64 px); otherwise the layout's.
            var given = inPixels(e, inlineValue(e, across ? 'width' : 'height'));
            if (/^[\d.]+px$/.test(given)) return pxNumber(Math.floor(parseFloat(given) * 64 + 1e-6) / 64) + 'px';
            var box = boxOf(e);
            return pxNumber(across ? box.width : box.height) + 'px';
        }
        }
        if (v === 'auto' || v === 'none' || v === 'normal') return v;
        // A margin's or padding's percentage is of the width of the box it is laid out in.
        if (/^(margin|padding)-/.test(name) && (m = /^(-?[\d.]+)%$/.exec(v)) && !hiddenByDisplay(e)) {
            var across = parentElement(e) ? boxOf(parentElement(e)).width : config.innerWidth;
            return pxNumber(Math.floor(Number(m[1]) * across / 100 * 64 + 1e-6) / 64) + 'px';
        }
        return inPixels(e, v);
    }
    function computedValue(e, name) {
        var names = host.cssLonghands(name);
        if (names.length === 0) return '';
        if (names.length > 1) {
            var values = [];
            for (var k = 0; k < names.length; k++) {
                if (!own(computedTable().initial, names[k]) && !own(uaDefaults().outsideList, names[k])) return '';
                values.push(computedLonghand(e, names[k]));
            }
            return host.cssComputedShorthand(name, values);
        }
        return own(computedTable().initial, names[0]) ? computedLonghand(e, names[0]) : '';
    }
    function readOnly(what, name) {
        throw domError('NoModificationAllowedError', "Failed to execute '" + what + "' on 'CSSStyleDeclaration': These styles are computed, and therefore the '" +
            toText(name) + "' property is read-only.");
    }
    var computedMethods = null;
    function computedMethodsOf() {
        if (computedMethods !== null) return computedMethods;
        return (computedMethods = {
            getPropertyValue: function (name) {
                return this.length === 0 ? '' : computedValue(this.__element, declarationName(name));
            },
            getPropertyPriority: function () { return ''; },
            item: function (n) { return n < this.length ? computedTable().names[n] : ''; },
            setProperty: function (name) { readOnly('setProperty', name); },
            removeProperty: function (name) { readOnly('removeProperty', name); },
            setCssText: function () {
                throw domError('NoModificationAllowedError', "Failed to set the 'cssText' property on 'CSSStyleDeclaration': These styles are computed, and therefore they can not be modified.");
            }
        });
    }
    // The element's computed style: every property when the element is in a document, none otherwise.
    function styleOf(e) {
        if (!e || e.nodeType !== 1) throw new TypeError("Failed to execute 'getComputedStyle' on 'Window': parameter 1 is not of type 'Element'.");
        var cs = inherit(computedMethodsOf());
        cs.__element = e;
        cs.__computed = true;
        cs.length = rooted(e) ? computedTable().names.length : 0;
        cs.cssText = '';
        return cs;
    }
    return styleOf;
})
