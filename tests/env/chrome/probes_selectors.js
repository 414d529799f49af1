// Probes of selectors: which texts are selectors and what each finds, through
// querySelector(All), matches and closest, on a small page of lists, forms and SVG.
(function () {
    var root = document.createElement('div');
    root.id = 'fixture';
    root.innerHTML =
        '<ul id="u" class="list"><li id="l1" class="on first">one</li><li id="l2" lang="en-GB">two</li>' +
        '<!-- note --><li id="l3" class="on" data-x="a b\tc">three</li><li id="l4" title="Hello World"></li>' +
        '<li id="l5"><span id="s5">five</span></li></ul>' +
        '<p id="p1" class="q-1 _b">x<em id="e1">y</em></p><p id="p2"></p><div id="d1"><p id="p3"><b id="b3"></b></p></div>' +
        '<form id="f"><input id="i1" type="checkbox" checked><input id="i2" type="radio" name="r">' +
        '<input id="i3" type="text" required><input id="i4" type="text" value="v" readonly>' +
        '<input id="i5" placeholder="type" disabled><textarea id="t1"></textarea>' +
        '<select id="sel"><option id="o1">a</option><option id="o2" selected>b</option></select>' +
        '<fieldset id="fs" disabled><input id="i6"></fieldset><button id="btn">go</button></form>' +
        '<a id="a1" href="/x">link</a><a id="a2" name="anchor">no link</a>' +
        '<svg id="svg"><rect id="rect"></rect><foreignObject id="fo"></foreignObject></svg>' +
        '<div id="\u4e2d\u6587" class="\u6807\u7b7e"></div><div id="1x" class="a:b"></div>';
    document.body.appendChild(root);

    function ids(list) {
        var out = [];
        for (var n = 0; n < list.length; n++) out.push(list[n].id || list[n].tagName);
        return out.join(' ');
    }
    function all(s) {
        try {
            return ids(root.querySelectorAll(s));
        } catch (e) {
            return e.name + ': ' + e.message;
        }
    }
    function each(list) {
        var out = {};
        for (var n = 0; n < list.length; n++) out[list[n]] = all(list[n]);
        return out;
    }

    probe('selectors', 'not selectors', function () {
        return each(['', ' ', 'a,', ',a', 'li >', '> li', 'li + + li', '#1x', '.1', '[data-x=1]', '[href=/x]',
            ':nope', '::nope', ':nth-child(x)', ':not()', 'ns|li', '[ns|id]', 'li:first', 'li!', '*,:x',
            "[s!='']:x", '[id="x"q]', ':has(*,:jqfake)', ':lang()', 'li)', '(li)', '#', '.', '[id', 'li\\']);
    });
    probe('selectors', 'messages', function () {
        var out = [];
        try { document.querySelector('a,'); } catch (e) { out.push(e.name + ': ' + e.message); }
        try { document.createDocumentFragment().querySelectorAll(':x'); } catch (e) { out.push(e.name + ': ' + e.message); }
        try { root.matches('[a=1]'); } catch (e) { out.push(e.name + ': ' + e.message); }
        try { root.closest('!'); } catch (e) { out.push(e.name + ': ' + e.message); }
        try { document.querySelectorAll(''); } catch (e) { out.push(e.name + ': ' + e.message + ' ' + (e instanceof DOMException) + ' ' + e.code); }
        return out;
    });
    probe('selectors', 'combinators', function () {
        return each(['li + li', 'li ~ li', '#l1 + li', '#l2+li', '#l3 ~ *', 'p ~ div p', 'ul > li > span', 'ul li span',
            'p + p', 'p ~ p', 'li+li+li', 'div p b, li', '#p1 > em, #s5', 'p\t>\nb', 'ul>li~li>span']);
    });
    probe('selectors', 'attributes', function () {
        return each(["[data-x~=b]", "[data-x~=c]", "[data-x~='a b']", "[data-x~='']", "[title^='']", "[title$='']",
            "[title*='']", "[title|='']", "[title='']", '[title="hello world" i]', '[title="hello world"]',
            '[title="Hello World" s]', "[title^=hel i]", '[lang|=en]', '[lang|="EN" i]', '[ title ]', '[TITLE]',
            '[class~="on"][id$="3"]', '[id="l1"],[id=l4]', '[id=\\31 x]', '[id*="\\"]', '[*|title]',
            '[id="\\4e2d\\6587"]', '[data-x*=" "]']);
    });
    probe('selectors', 'names and escapes', function () {
        return each(['#\u4e2d\u6587', '.\u6807\u7b7e', '#\\31 x', '.a\\:b', '#l\\31', 'LI#L1', 'Li.on', '*|li.first',
            '|li', 'svg rect', 'rect', 'RECT', 'foreignObject', 'foreignobject', 'svg > *', '.On', '#fixture li.on.first',
            '-x', '--y', '_z', '#-a']);
    });
    probe('selectors', 'structural pseudo-classes', function () {
        return each(['li:first-child', 'li:last-child', 'li:only-child', 'span:only-child', 'p:first-of-type',
            'p:last-of-type', 'em:only-of-type', 'li:nth-child(2)', 'li:nth-child(odd)', 'li:nth-child(even)',
            'li:nth-child(2n+1)', 'li:nth-child(-n+2)', 'li:nth-child( 3n - 1 )', 'li:nth-last-child(1)',
            'li:nth-child(n+4)', 'li:nth-child(2 of .on)', 'li:nth-child(1 of :not(.first))', 'p:nth-of-type(2)',
            'p:nth-last-of-type(1)', 'li:NTH-CHILD(+3)', 'p:empty', 'li:empty', 'b:empty', ':root', ':scope > ul',
            ':scope', 'li:nth-child(0n+1)', 'input:nth-of-type(3)']);
    });
    probe('selectors', 'logical pseudo-classes', function () {
        return each([':not(li)', 'li:not(.on)', 'li:not(.on, [lang])', 'li:not(:first-child):not(:last-child)',
            ':is(li, p).on, :is(p)', 'li:is()', ':where(#l2, #p2)', 'p:is(:nope, #p1)', ':-webkit-any(em, b)',
            'ul:has(span)', 'li:has(> span)', 'p:has(+ p)', 'p:has(~ div)', 'div:has(p b)', 'li:has(span, em)',
            'div:has(> p > b)', ':has(#s5):not(ul)', 'p:not(:has(em))', 'li:has(+ li + li)']);
    });
    probe('selectors', 'form pseudo-classes', function () {
        return each([':checked', ':disabled', ':enabled', ':required', ':optional', 'input:read-only',
            ':read-write', ':placeholder-shown', ':default', ':indeterminate', ':invalid', ':valid', 'form:invalid',
            'fieldset :disabled', ':focus', ':focus-within', ':link', ':any-link', ':visited', ':hover', 'a:active',
            'input:-webkit-autofill', ':target', ':defined']);
    });
    probe('selectors', 'other pseudo-classes and pseudo-elements', function () {
        return each([':lang(en)', 'li:lang(en-GB)', ':dir(ltr)', 'p::before', 'li:after', '::selection',
            'input::placeholder', '::-webkit-scrollbar', 'li::marker', ':host', '::slotted(span)', ':fullscreen',
            'p::first-line', 'li:hover, #l1']);
    });
    probe('selectors', 'matches and closest', function () {
        var b3 = document.getElementById('b3'), l3 = document.getElementById('l3'), out = [];
        out.push(b3.matches('div > p b'), b3.matches(':scope'), b3.matches('p:has(b) > b'), l3.matches('li ~ li'),
            l3.matches(':nth-child(4)'), l3.matches('li:nth-child(3)'), String(b3.closest(':scope') === b3),
            (b3.closest('div:has(> p)') || {}).id, b3.closest('li + li'), (l3.closest(':not(li)') || {}).id,
            (l3.closest('#fixture > :first-child') || {}).id);
        var s5 = document.getElementById('s5');
        out.push(ids(document.getElementById('u').querySelectorAll(':scope > li:last-child > span')),
            ids(document.getElementById('u').querySelectorAll(':scope li:first-child')), ids(s5.querySelectorAll(':scope')),
            String(document.querySelector(':scope') === document.documentElement));
        return out;
    });
    probe('selectors', 'searches', function () {
        var p1 = document.getElementById('p1');
        return [document.getElementById(''), document.getElementsByClassName('').length, root.getElementsByTagName('rect').length,
            root.getElementsByTagName('RECT').length, root.getElementsByTagName('foreignObject').length, ids(root.getElementsByClassName('on')),
            p1.querySelector('em').id, document.querySelectorAll('#fixture em, #fixture #e1').length, ids(root.querySelectorAll('svg *'))];
    });

    document.body.removeChild(root);
})();
