// Probes of CSS values as a style keeps and writes them (colours, numbers and units,
// keywords, refused values, shorthands and their longhands, prefixed names, cssText), and
// of the computed style (its property list, initial values, inheritance, the defaults of
// the tags, inline values applied, sizes).
(function () {
    function fresh() { return document.createElement('div'); }
    // The value a property reads after one write.
    function written(name, value) {
        var e = fresh();
        e.style[name] = value;
        return e.style[name];
    }
    // What a style shows after its text was set: [cssText, length, the named members].
    function styled(text, names) {
        var e = fresh();
        e.style.cssText = text;
        var out = [e.style.cssText, e.style.length];
        for (var k = 0; k < (names || []).length; k++) out.push(e.style[names[k]]);
        return out;
    }
    // A computed value of a new element under the body (with an inline style text).
    function computed(tag, text, name, parentText) {
        var holder = document.createElement('div');
        if (parentText) holder.style.cssText = parentText;
        var e = document.createElement(tag);
        if (text) e.style.cssText = text;
        holder.appendChild(e);
        document.body.appendChild(holder);
        var v = getComputedStyle(e)[name];
        document.body.removeChild(holder);
        return v;
    }

    var colours = ['#FFF', '#fff', '#ffffff', '#FF000080', '#f008', 'red', 'RED', 'Red', 'transparent', 'currentcolor',
        'currentColor', 'rgb(1,2,3)', 'rgb(1 2 3)', 'rgba(1, 2, 3, 0.5)', 'rgba(1,2,3,1)', 'rgb(100%, 0%, 50%)',
        'rgb(300, -5, 2)', 'rgba(0,0,0,0)', 'hsl(120, 100%, 50%)', 'hsl(0 100% 50% / 50%)', 'hsla(240, 100%, 50%, .25)',
        'RGB(1, 2, 3)', 'rgb(1.5, 2.4, 3.6)', 'rgba(1, 2, 3, 50%)', '#12', '#ggg', 'blah', 'rgb(1, 2)', '1px', 'red blue',
        'inherit', 'INITIAL', 'unset', 'rebeccapurple', 'DarkSlateGray', 'ButtonText', 'hsl(400, 50%, 50%)'];
    colours.forEach(function (c) {
        probe('colours', 'color ' + c, function () { return written('color', c); });
    });
    ['#ABC', 'blue', 'rgba(10, 20, 30, .5)', 'bogus'].forEach(function (c) {
        probe('colours', 'backgroundColor ' + c, function () { return written('backgroundColor', c); });
        probe('colours', 'borderTopColor ' + c, function () { return written('borderTopColor', c); });
        probe('colours', 'computed color ' + c, function () { return computed('span', 'color: ' + c, 'color'); });
    });
    probe('colours', 'computed background red', function () { return computed('div', 'background-color: red', 'backgroundColor'); });
    probe('colours', 'computed currentcolor border', function () {
        return computed('div', 'color: #123456; border-top-color: currentcolor', 'borderTopColor');
    });

    var lengths = ['0', '0px', '10px', '10PX', '10Px', '.5em', '0.50em', '1.250rem', '-3px', '+4px', '10', '10 px', 'px',
        '50%', '12.0px', '1e2px', '1E1px', '3pt', '2pc', '1in', '1cm', '10mm', '1q', '2vh', '3vw', '4vmin', '5ch', '6ex',
        'auto', 'AUTO', 'inherit', 'calc(10px + 5px)', 'calc(100% - 10px)', 'fit-content', 'min-content', 'max-content',
        '1.23456789px', '0.0001px', '-0px', 'none', '10px 20px', '5px;', '1px !important'];
    lengths.forEach(function (v) {
        probe('numbers', 'width ' + v, function () { return written('width', v); });
    });
    ['-5px', '0', '2em', 'auto', '10%'].forEach(function (v) {
        probe('numbers', 'paddingLeft ' + v, function () { return written('paddingLeft', v); });
        probe('numbers', 'marginTop ' + v, function () { return written('marginTop', v); });
        probe('numbers', 'top ' + v, function () { return written('top', v); });
    });
    ['0.5', '.5', '50%', '1', '2', '-1', 'a', '1px'].forEach(function (v) {
        probe('numbers', 'opacity ' + v, function () { return written('opacity', v); });
    });
    ['1', '-1', '1.5', 'auto', '010', 'x'].forEach(function (v) {
        probe('numbers', 'zIndex ' + v, function () { return written('zIndex', v); });
    });
    ['1.5', 'normal', '20px', '150%', '0', '-1'].forEach(function (v) {
        probe('numbers', 'lineHeight ' + v, function () { return written('lineHeight', v); });
    });
    ['12px', 'SMALL', 'larger', '1.2em', '-1px', 'big', '0'].forEach(function (v) {
        probe('numbers', 'fontSize ' + v, function () { return written('fontSize', v); });
    });
    ['bold', 'BOLD', '700', '750', '1000', '0', 'bolder', 'heavy'].forEach(function (v) {
        probe('numbers', 'fontWeight ' + v, function () { return written('fontWeight', v); });
    });

    var keywords = [['display', 'BLOCK'], ['display', 'Inline-Block'], ['display', 'flex'], ['display', 'none'], ['display', 'grid'],
        ['display', 'blocky'], ['display', 'table-cell'], ['display', 'contents'], ['position', 'ABSOLUTE'], ['position', 'sticky'],
        ['position', 'top'], ['visibility', 'Hidden'], ['visibility', 'collapse'], ['visibility', 'gone'],
        ['cssFloat', 'LEFT'], ['cssFloat', 'middle'], ['clear', 'both'], ['textAlign', 'CENTER'], ['textAlign', 'justify'],
        ['overflowX', 'scroll'], ['overflowY', 'HIDDEN'], ['cursor', 'POINTER'], ['boxSizing', 'border-box'],
        ['boxSizing', 'padding'], ['whiteSpace', 'nowrap'], ['fontStyle', 'ITALIC'], ['textTransform', 'uppercase'],
        ['pointerEvents', 'none'], ['userSelect', 'none'], ['verticalAlign', 'Middle'], ['verticalAlign', '3px'],
        ['display', 'inherit'], ['display', 'initial'], ['display', 'revert'], ['position', 'unset']];
    keywords.forEach(function (kv) {
        probe('keywords', kv[0] + ' ' + kv[1], function () { return written(kv[0], kv[1]); });
    });
    probe('keywords', 'fontFamily kept as written', function () { return written('fontFamily', 'Arial, "Helvetica Neue", sans-serif'); });
    probe('keywords', 'fontFamily single quoted', function () { return written('fontFamily', "'Times New Roman'"); });
    probe('keywords', 'fontFamily bare words', function () { return written('fontFamily', 'Microsoft  YaHei'); });
    probe('keywords', 'transform', function () { return written('transform', 'translateX(10PX) ROTATE(45deg)'); });
    probe('keywords', 'content string', function () { return written('content', '"A b"'); });
    probe('keywords', 'custom property', function () {
        var e = fresh();
        e.style.setProperty('--Main-Color', '  Red  ');
        return [e.style.getPropertyValue('--Main-Color'), e.style.getPropertyValue('--main-color'), e.style.cssText];
    });

    var shorthands = [
        ['margin: 1px', ['marginTop', 'marginRight', 'marginBottom', 'marginLeft', 'margin']],
        ['margin: 1px 2px', ['marginTop', 'marginRight', 'marginBottom', 'marginLeft', 'margin']],
        ['margin: 1px 2px 3px', ['marginTop', 'marginRight', 'marginBottom', 'marginLeft', 'margin']],
        ['margin: 1px 2px 3px 4px', ['marginTop', 'marginRight', 'marginBottom', 'marginLeft', 'margin']],
        ['margin: 1px 1px 1px 1px', ['margin']],
        ['margin: 1px 2px 1px 2px', ['margin']],
        ['margin: auto', ['marginLeft', 'margin']],
        ['margin: 0 auto', ['marginTop', 'marginLeft', 'margin']],
        ['margin: 1px 2px 3px 4px 5px', ['margin']],
        ['margin: 1px red', ['margin']],
        ['padding: 5px 10px', ['paddingTop', 'paddingRight', 'padding']],
        ['padding: -1px', ['padding']],
        ['inset: 0', ['top', 'right', 'bottom', 'left', 'inset']],
        ['inset: 1px 2px', ['top', 'left', 'inset']],
        ['border: 1px solid red', ['borderTopWidth', 'borderLeftStyle', 'borderBottomColor', 'borderImageSource', 'border', 'borderTop', 'borderWidth']],
        ['border: solid', ['borderTopWidth', 'borderTopStyle', 'borderTopColor', 'border']],
        ['border: 2px dashed', ['border', 'borderRightColor']],
        ['border: red 3px dotted', ['border', 'borderColor']],
        ['border: none', ['border', 'borderTopStyle']],
        ['border: 1px 2px solid', ['border']],
        ['border-top: 1px solid #000', ['borderTop', 'borderTopColor', 'border']],
        ['border-width: 1px 2px', ['borderWidth', 'borderTopWidth', 'borderRightWidth']],
        ['border-style: solid dashed dotted', ['borderStyle', 'borderLeftStyle']],
        ['border-color: red green blue yellow', ['borderColor', 'borderLeftColor']],
        ['border-radius: 5px', ['borderRadius', 'borderTopLeftRadius']],
        ['gap: 10px', ['rowGap', 'columnGap', 'gap']],
        ['gap: 10px 20px', ['rowGap', 'columnGap', 'gap']],
        ['overflow: hidden', ['overflowX', 'overflowY', 'overflow']],
        ['overflow: hidden scroll', ['overflowX', 'overflowY', 'overflow']],
        ['flex: 1', ['flexGrow', 'flexShrink', 'flexBasis', 'flex']],
        ['flex: none', ['flexGrow', 'flexShrink', 'flexBasis', 'flex']],
        ['flex: auto', ['flex']],
        ['flex: 2 3 10px', ['flexGrow', 'flexShrink', 'flexBasis', 'flex']],
        ['flex: 0 0 auto', ['flex']],
        ['flex-flow: column wrap', ['flexDirection', 'flexWrap', 'flexFlow']],
        ['background: red', ['backgroundColor', 'backgroundImage', 'backgroundRepeat', 'background']],
        ['background: url(a.png) no-repeat', ['backgroundImage', 'backgroundRepeat', 'backgroundColor', 'background']],
        ['background: #fff url("a.png") no-repeat center', ['backgroundColor', 'backgroundPositionX', 'backgroundPosition']],
        ['background: none', ['backgroundImage', 'background']],
        ['font: 12px Arial', ['fontSize', 'fontFamily', 'fontStyle', 'fontWeight', 'lineHeight', 'font']],
        ['font: italic bold 14px/1.5 "Helvetica Neue", sans-serif', ['fontStyle', 'fontWeight', 'fontSize', 'lineHeight', 'fontFamily', 'font']],
        ['font: bold', ['fontWeight', 'font']],
        ['list-style: none', ['listStyleType', 'listStyle']],
        ['outline: 1px solid blue', ['outlineWidth', 'outlineStyle', 'outlineColor', 'outline']],
        ['text-decoration: underline', ['textDecorationLine', 'textDecoration']],
        ['margin: 1px; margin-top: 5px', ['margin', 'marginTop']],
        ['margin-top: 1px; margin-right: 2px; margin-bottom: 3px; margin-left: 4px', ['margin']],
        ['margin-top: 1px; margin-right: 1px; margin-bottom: 1px', ['margin']],
        ['margin: 1px !important', ['margin']],
        ['margin: 1px; margin-left: 2px !important', ['margin']],
        ['place-items: center', ['alignItems', 'justifyItems', 'placeItems']],
        ['white-space: nowrap', ['whiteSpaceCollapse', 'textWrapMode', 'whiteSpace']]
    ];
    shorthands.forEach(function (s) {
        probe('shorthands', s[0], function () { return styled(s[0], s[1]); });
    });
    probe('shorthands', 'margin written by member', function () {
        var e = fresh();
        e.style.margin = '1px 2px';
        return [e.style.marginTop, e.style.marginRight, e.style.length, e.style.cssText, e.style[0], e.style[3]];
    });
    probe('shorthands', 'removeProperty margin', function () {
        var e = fresh();
        e.style.cssText = 'margin: 1px; color: red';
        var v = e.style.removeProperty('margin');
        return [v, e.style.cssText, e.style.length];
    });
    probe('shorthands', 'getPropertyValue longhands', function () {
        var e = fresh();
        e.style.padding = '1px 2px 3px 4px';
        return [e.style.getPropertyValue('padding-left'), e.style.getPropertyValue('padding'), e.style.getPropertyPriority('padding')];
    });
    probe('shorthands', 'important shorthand', function () {
        var e = fresh();
        e.style.setProperty('margin', '3px', 'important');
        return [e.style.getPropertyPriority('margin'), e.style.getPropertyPriority('margin-top'), e.style.cssText];
    });
    probe('shorthands', 'style attribute', function () {
        var e = fresh();
        e.style.margin = '0 auto';
        e.style.color = '#F00';
        return e.getAttribute('style');
    });

    var prefixed = [['webkitTransform', 'rotate(1deg)'], ['webkitTransition', 'opacity 1s'], ['webkitBoxShadow', '0 0 1px red'],
        ['webkitUserSelect', 'none'], ['webkitAppearance', 'none'], ['webkitBorderRadius', '3px'], ['webkitFlex', '1'],
        ['webkitBoxSizing', 'border-box'], ['webkitFilter', 'blur(2px)'], ['webkitOpacity', '0.5'], ['webkitTextFillColor', 'red'],
        ['webkitLineClamp', '2'], ['webkitFontSmoothing', 'antialiased'], ['wordWrap', 'break-word'], ['webkitTapHighlightColor', 'transparent']];
    prefixed.forEach(function (p) {
        probe('prefixed', p[0], function () {
            var e = fresh();
            e.style[p[0]] = p[1];
            return [e.style[p[0]], e.style.length, e.style[0], e.style.cssText];
        });
    });
    probe('prefixed', 'setProperty -webkit-transform', function () {
        var e = fresh();
        e.style.setProperty('-webkit-transform', 'scale(2)');
        return [e.style.transform, e.style.getPropertyValue('-webkit-transform'), e.style.cssText];
    });
    probe('prefixed', 'cssText -webkit-box-shadow', function () {
        return styled('-webkit-box-shadow: 1px 1px red; -moz-box-shadow: 1px 1px red', ['boxShadow']);
    });

    var texts = ['color: RED; WIDTH: 10PX', 'color: red;; width: 1px', 'color red; width: 2px', 'width: 1px; width: 2px',
        'width: 1px !important; width: 2px', 'width: bad; width: 3px', 'width: 3px; width: bad', 'unknown-prop: 1px; width: 4px',
        '  display : Block  ;', 'color: rgb(0,0,0) ! important', 'top: 0; left: 0; position: absolute',
        'z-index: 10; opacity: .5', 'background-color: transparent', 'transition: all .3s ease-in-out'];
    texts.forEach(function (t) {
        probe('cssText', t, function () { return styled(t); });
    });

    probe('computed', 'length', function () { return getComputedStyle(document.body).length; });
    probe('computed', 'first and last names', function () {
        var cs = getComputedStyle(document.body);
        return [cs[0], cs[1], cs.item(2), cs[cs.length - 1]];
    });
    probe('computed', 'names in order', function () {
        var cs = getComputedStyle(document.body), names = [];
        for (var k = 0; k < cs.length; k++) names.push(cs[k]);
        return names.join(' ');
    });
    probe('computed', 'cssText', function () { return getComputedStyle(document.body).cssText; });
    probe('computed', 'tag', function () { return Object.prototype.toString.call(getComputedStyle(document.body)); });
    probe('computed', 'read-only', function () {
        var cs = getComputedStyle(document.body);
        try { cs.color = 'red'; } catch (e) { return e.name; }
        return cs.color;
    });
    probe('computed', 'setProperty throws', function () { getComputedStyle(document.body).setProperty('color', 'red'); });
    probe('computed', 'live', function () {
        var e = fresh();
        document.body.appendChild(e);
        var cs = getComputedStyle(e), before = cs.display;
        e.style.display = 'none';
        var after = cs.display;
        document.body.removeChild(e);
        return [before, after];
    });
    var initials = ['color', 'backgroundColor', 'fontSize', 'fontStyle', 'fontWeight', 'lineHeight', 'visibility', 'position',
        'zIndex', 'opacity', 'marginTop', 'paddingLeft', 'borderTopWidth', 'borderTopStyle', 'borderTopColor', 'boxSizing',
        'cssFloat', 'overflow', 'overflowX', 'cursor', 'textAlign', 'top', 'left', 'transform', 'transition', 'animation',
        'flex', 'flexGrow', 'margin', 'padding', 'border', 'background', 'font', 'outline', 'textDecoration', 'listStyle',
        'borderRadius', 'gap', 'inset', 'whiteSpace', 'webkitTextFillColor', 'caretColor', 'columnRuleWidth', 'outlineWidth',
        'maxWidth', 'minWidth', 'minHeight', 'verticalAlign', 'letterSpacing', 'wordSpacing', 'textIndent', 'direction',
        'webkitLocale', 'fontVariant', 'objectFit', 'userSelect', 'pointerEvents', 'contain', 'writingMode', 'tabSize'];
    initials.forEach(function (n) {
        probe('computed', 'div ' + n, function () { return computed('div', '', n); });
    });
    var displays = ['div', 'span', 'p', 'a', 'li', 'ul', 'table', 'tr', 'td', 'img', 'input', 'button', 'script', 'style',
        'head', 'title', 'meta', 'link', 'template', 'br', 'canvas', 'section', 'h1', 'select', 'textarea', 'iframe', 'b', 'label',
        'form', 'noscript', 'video', 'svg', 'custom-tag'];
    displays.forEach(function (t) {
        probe('tags', t + ' display', function () { return computed(t, '', 'display'); });
    });
    ['h1', 'h2', 'p', 'ul', 'small', 'code', 'pre', 'b', 'strong', 'em', 'i', 'a', 'button', 'input', 'select', 'textarea'].forEach(function (t) {
        probe('tags', t + ' font', function () {
            return [computed(t, '', 'fontSize'), computed(t, '', 'fontWeight'), computed(t, '', 'fontStyle'), computed(t, '', 'marginTop')];
        });
    });
    probe('tags', 'a colour and cursor', function () {
        var a = document.createElement('a');
        a.href = 'https://www.example.com/';
        document.body.appendChild(a);
        var cs = getComputedStyle(a), v = [cs.color, cs.textDecorationLine, cs.cursor];
        document.body.removeChild(a);
        return v;
    });
    probe('tags', 'body', function () {
        var cs = getComputedStyle(document.body);
        return [cs.display, cs.marginTop, cs.marginLeft, cs.margin, cs.fontSize, cs.color, cs.backgroundColor, cs.position];
    });
    probe('tags', 'html', function () {
        var cs = getComputedStyle(document.documentElement);
        return [cs.display, cs.marginTop, cs.fontSize, cs.color, cs.overflow];
    });
    probe('tags', 'head', function () {
        var cs = getComputedStyle(document.head);
        return [cs.display, cs.width, cs.height];
    });

    probe('inherited', 'color', function () { return computed('span', '', 'color', 'color: red'); });
    probe('inherited', 'font-size px', function () { return computed('span', '', 'fontSize', 'font-size: 20px'); });
    probe('inherited', 'font-size em', function () { return computed('span', 'font-size: 1.5em', 'fontSize', 'font-size: 20px'); });
    probe('inherited', 'font-size %', function () { return computed('span', 'font-size: 50%', 'fontSize', 'font-size: 20px'); });
    probe('inherited', 'font-size rem', function () { return computed('span', 'font-size: 2rem', 'fontSize', 'font-size: 20px'); });
    probe('inherited', 'font-size keyword', function () { return computed('span', 'font-size: large', 'fontSize'); });
    probe('inherited', 'font-size pt', function () { return computed('span', 'font-size: 12pt', 'fontSize'); });
    probe('inherited', 'font-weight', function () { return computed('span', '', 'fontWeight', 'font-weight: bold'); });
    probe('inherited', 'font-style', function () { return computed('span', '', 'fontStyle', 'font: italic 10px serif'); });
    probe('inherited', 'visibility', function () { return computed('span', '', 'visibility', 'visibility: hidden'); });
    probe('inherited', 'cursor', function () { return computed('span', '', 'cursor', 'cursor: pointer'); });
    probe('inherited', 'text-align', function () { return computed('p', '', 'textAlign', 'text-align: center'); });
    probe('inherited', 'line-height', function () { return computed('span', '', 'lineHeight', 'line-height: 1.5'); });
    probe('inherited', 'line-height px', function () { return computed('span', '', 'lineHeight', 'line-height: 20px'); });
    probe('inherited', 'display not', function () { return computed('div', '', 'display', 'display: flex'); });
    probe('inherited', 'margin not', function () { return computed('div', '', 'marginTop', 'margin: 5px'); });
    probe('inherited', 'background not', function () { return computed('div', '', 'backgroundColor', 'background: red'); });
    probe('inherited', 'explicit inherit', function () { return computed('div', 'margin-top: inherit', 'marginTop', 'margin: 5px'); });
    probe('inherited', 'explicit initial', function () { return computed('span', 'color: initial', 'color', 'color: red'); });
    probe('inherited', 'unset', function () { return [computed('span', 'color: unset', 'color', 'color: red'), computed('span', 'margin-top: unset', 'marginTop', 'margin: 5px')]; });

    probe('applied', 'em margin', function () { return computed('div', 'font-size: 10px; margin-top: 2em', 'marginTop'); });
    probe('applied', 'pt width', function () { return computed('div', 'width: 30pt', 'width'); });
    probe('applied', 'width and height', function () { return [computed('div', 'width: 100px; height: 50px', 'width'), computed('div', 'width: 100px; height: 50px', 'height')]; });
    probe('applied', 'display none width', function () { return [computed('div', 'display: none; width: 10px', 'width'), computed('div', 'display: none', 'height')]; });
    probe('applied', 'border none width', function () { return computed('div', 'border-top-width: 5px', 'borderTopWidth'); });
    probe('applied', 'border solid width', function () { return computed('div', 'border: 5px solid', 'borderTopWidth'); });
    probe('applied', 'border thin', function () { return computed('div', 'border: thin solid', 'borderTopWidth'); });
    probe('applied', 'opacity', function () { return computed('div', 'opacity: 50%', 'opacity'); });
    probe('applied', 'z-index static', function () { return computed('div', 'z-index: 3', 'zIndex'); });
    probe('applied', 'hsl colour', function () { return computed('div', 'color: hsl(120, 100%, 25%)', 'color'); });
    probe('applied', 'float keeps display', function () { return [computed('span', 'float: left', 'display'), computed('span', 'position: absolute', 'display')]; });
    probe('applied', 'important wins', function () { return computed('div', 'color: red !important', 'color'); });
    probe('applied', 'font-family', function () { return computed('div', 'font-family: Arial, sans-serif', 'fontFamily'); });
    probe('applied', 'line-height normal px', function () { return computed('div', 'line-height: 2', 'lineHeight'); });
    probe('applied', 'getPropertyValue dashed', function () {
        var e = fresh();
        e.style.cssText = 'margin-left: 7px';
        document.body.appendChild(e);
        var cs = getComputedStyle(e), v = [cs.getPropertyValue('margin-left'), cs.getPropertyValue('marginLeft'), cs['margin-left']];
        document.body.removeChild(e);
        return v;
    });
    probe('applied', 'detached element', function () {
        var cs = getComputedStyle(fresh());
        return [cs.display, cs.color, cs.width, cs.length > 0];
    });
    probe('applied', 'not an element', function () { return getComputedStyle(document.createTextNode('x')).length; });
    // Mixed checks of the kinds above, on values and tags the others leave out.
    var mixed = [['color', 'hsla(0, 0%, 0%, 0.3333)'], ['color', '#0F0F'], ['color', 'rgb(10%, 20%, 30%, 40%)'],
        ['backgroundColor', 'ReD'], ['borderLeftColor', 'transparent'], ['outlineColor', '#abcdef80'],
        ['height', '0.0px'], ['height', '-0.5em'], ['maxHeight', 'NONE'], ['minWidth', 'auto'], ['left', '-10.50%'],
        ['letterSpacing', '0.1EM'], ['textIndent', '2em'], ['wordSpacing', 'normal'], ['fontSize', 'XX-LARGE'],
        ['fontWeight', '100'], ['lineHeight', '1.20'], ['zIndex', '+5'], ['opacity', '0.333333333'], ['order', '-2'],
        ['flexGrow', '0.5'], ['flexBasis', 'content'], ['boxShadow', 'inset 0 0 0 1px #000'], ['textShadow', '1px 1px 2px black'],
        ['transitionDuration', '250ms'], ['backgroundImage', 'url(x.png)'], ['backgroundImage', 'linear-gradient(red, blue)'],
        ['overflowWrap', 'anywhere'], ['objectFit', 'COVER'], ['resize', 'both'], ['tableLayout', 'fixed'],
        ['listStylePosition', 'inside'], ['whiteSpace', 'pre-wrap'], ['textOverflow', 'ellipsis'], ['cursor', 'not-allowed'],
        ['borderRadius', '50%'], ['borderRadius', '1px 2px 3px 4px'], ['padding', '1px 2px 3px 4px'], ['inset', 'auto'],
        ['gap', 'normal 5px'], ['overflow', 'auto'], ['flex', '1 0'], ['flex', '2 auto'], ['font', '12px/20px monospace'],
        ['font', 'small-caps 700 1em serif'], ['border', '0'], ['borderBottom', 'thick double #f00'], ['outline', 'none'],
        ['background', 'transparent'], ['background', 'url(a.png) 10px 20px repeat-y'], ['listStyle', 'square inside'],
        ['textDecoration', 'underline dotted red'], ['transition', 'none'], ['transition', 'width 2s, height 1s ease-in']];
    mixed.forEach(function (p) {
        probe('mixed', p[0] + ' ' + p[1], function () {
            var e = fresh();
            e.style[p[0]] = p[1];
            return [e.style[p[0]], e.style.cssText];
        });
    });
    [['div', 'font: bold 20px Arial; line-height: 1.5', 'lineHeight'], ['span', 'display: inline-flex; position: fixed', 'display'],
        ['div', 'border: thick solid', 'borderLeftWidth'], ['div', 'outline: 2px solid', 'outlineWidth'],
        ['div', 'margin: 1em 2em', 'marginRight'], ['div', 'padding: 5%', 'paddingTop'], ['h3', '', 'fontSize'], ['h4', '', 'marginTop'],
        ['blockquote', '', 'marginLeft'], ['ol', '', 'paddingLeft'], ['th', '', 'textAlign'], ['li', '', 'listStyleType'],
        ['div', 'color: rgb(1 2 3 / 50%)', 'color'], ['div', 'background: #123', 'background'], ['div', 'font-weight: bolder', 'fontWeight'],
        ['div', 'width: 10vw', 'width'], ['div', 'width: 1in; height: 2cm', 'height'], ['div', 'visibility: collapse', 'visibility'],
        ['span', 'width: 50px', 'width'], ['div', 'transform: rotate(10deg)', 'transform']].forEach(function (c) {
        probe('mixed', 'computed ' + c[0] + ' ' + c[1] + ' ' + c[2], function () { return computed(c[0], c[1], c[2]); });
    });
})();
