// Probes of elements outside HTML: SVG and MathML from the parser, createElementNS and
// cloneNode, their names, namespaces, interfaces and attributes; and text written
// through textContent.
(function () {
    var SVG = 'http://www.w3.org/2000/svg', MATHML = 'http://www.w3.org/1998/Math/MathML';
    function tag(v) { return Object.prototype.toString.call(v); }
    function facts(e) {
        return [tag(e), e.tagName, e.localName, e.nodeName, e.namespaceURI, e.prefix === undefined ? 'no prefix' : e.prefix];
    }
    var holder = document.createElement('div');
    holder.innerHTML = '<svg viewBox="0 0 10 10" data-x="1"><g><rect width="5"></rect><foreignObject><p>x</p></foreignObject>' +
        '<linearGradient id="lg"></linearGradient><feGaussianBlur></feGaussianBlur><textPath></textPath><tspan></tspan>' +
        '<clipPath></clipPath><blink></blink></g></svg><math><mi>x</mi></math>';
    var svg = holder.firstChild;

    probe('foreign', 'parsed elements', function () {
        var out = [], all = holder.getElementsByTagName('*');
        for (var n = 0; n < all.length; n++) out.push(tag(all[n]) + ' ' + all[n].tagName + ' ' + all[n].namespaceURI);
        return out;
    });
    probe('foreign', 'made by createElementNS', function () {
        return [facts(document.createElementNS(SVG, 'svg')), facts(document.createElementNS(SVG, 'circle')),
            facts(document.createElementNS(SVG, 'feColorMatrix')), facts(document.createElementNS(SVG, 'nothing')),
            facts(document.createElementNS(MATHML, 'mi')), facts(document.createElementNS(null, 'Foo')),
            facts(document.createElementNS('http://www.w3.org/1999/xhtml', 'div')), facts(document.createElementNS('urn:x', 'Bar'))];
    });
    probe('foreign', 'chains', function () {
        var out = [], e = document.createElementNS(SVG, 'rect');
        for (var p = Object.getPrototypeOf(e); p && p !== Object.prototype; p = Object.getPrototypeOf(p)) out.push(p.constructor.name);
        return [out, e instanceof SVGElement, e instanceof HTMLElement, svg instanceof SVGSVGElement];
    });
    probe('foreign', 'attributes keep their case', function () {
        var e = document.createElementNS(SVG, 'svg');
        e.setAttribute('viewBox', '1 2 3 4');
        e.setAttribute('DATA-Y', 'y');
        var h = document.createElement('div');
        h.setAttribute('viewBox', 'v');
        return [svg.getAttribute('viewBox'), svg.getAttribute('viewbox'), svg.hasAttribute('viewBox'), e.getAttribute('viewBox'),
            e.getAttribute('viewbox'), e.outerHTML, h.outerHTML, h.getAttribute('VIEWBOX')];
    });
    probe('foreign', 'clones', function () {
        var c = svg.cloneNode(true), r = c.getElementsByTagName('rect')[0];
        return [facts(c), c.getAttribute('viewBox'), facts(r), r.getAttribute('width'), c.outerHTML.length === svg.outerHTML.length,
            facts(svg.firstChild.cloneNode(false))];
    });
    probe('foreign', 'searches', function () {
        return [holder.getElementsByTagName('linearGradient').length, holder.getElementsByTagName('lineargradient').length,
            holder.getElementsByTagName('RECT').length, holder.querySelectorAll('rect, linearGradient').length,
            holder.querySelector('svg > g > rect').tagName];
    });
    probe('text', 'textContent of text and comments', function () {
        var t = document.createTextNode('a'), c = document.createComment('b');
        t.textContent = 'xyz';
        c.textContent = 'pq';
        var t2 = document.createTextNode('m');
        t2.textContent = null;
        return [t.data, t.nodeValue, t.length, c.data, c.length, t2.data, t2.length];
    });
})();
