// Probes of ranges, selections, tree walkers and node iterators, the performance
// timeline, and where elements sit on the page.
(function () {
    function chain(v) {
        var out = [];
        for (var p = Object.getPrototypeOf(v); p && p !== Object.prototype; p = Object.getPrototypeOf(p)) {
            var c = Object.getOwnPropertyDescriptor(p, 'constructor');
            out.push(c && typeof c.value === 'function' ? c.value.name : '?');
        }
        return out;
    }
    function tag(v) { return Object.prototype.toString.call(v); }
    function fails(fn) {
        try {
            fn();
            return 'no error';
        } catch (e) {
            return e.name + ': ' + e.message;
        }
    }
    // A node as a short name: "#text:abc", "P", "#document".
    function nameOf(n) {
        if (n === null || n === undefined) return String(n);
        return n.nodeType === 3 ? '#text:' + n.data : n.nodeType === 1 ? n.tagName : n.nodeName;
    }
    function html(text) {
        var d = document.createElement('div');
        d.innerHTML = text;
        document.body.appendChild(d);
        return d;
    }
    function rect(r) { return [r.x, r.y, r.width, r.height, r.top, r.left, r.right, r.bottom]; }

    // ---- Range --------------------------------------------------------------------
    probe('range structure', 'constructors', function () {
        return [typeof Range, Range.length, typeof StaticRange, StaticRange.length, typeof AbstractRange,
            fails(function () { return new AbstractRange(); })];
    });
    probe('range structure', 'constants', function () {
        return [Range.START_TO_START, Range.START_TO_END, Range.END_TO_END, Range.END_TO_START, Range.prototype.END_TO_START];
    });
    probe('range structure', 'new Range', function () {
        var r = new Range();
        return [tag(r), Object.getOwnPropertyNames(r), r.startContainer === document, r.endContainer === document,
            r.startOffset, r.endOffset, r.collapsed, r.commonAncestorContainer === document, r.toString()];
    });
    probe('range structure', 'Range chain', function () { return chain(new Range()); });
    probe('range structure', 'StaticRange chain', function () {
        return chain(new StaticRange({startContainer: document, startOffset: 0, endContainer: document, endOffset: 0}));
    });
    probe('range structure', 'createRange', function () {
        var r = document.createRange();
        return [tag(r), r instanceof Range, r instanceof AbstractRange, r.startContainer === document, r !== document.createRange()];
    });
    probe('range structure', 'accessors', function () {
        var d = Object.getOwnPropertyDescriptor(AbstractRange.prototype, 'startOffset');
        return [typeof d.get, d.set, d.enumerable, d.configurable, 'startContainer' in Range.prototype,
            Object.prototype.hasOwnProperty.call(Range.prototype, 'startContainer'),
            Object.prototype.hasOwnProperty.call(Range.prototype, 'commonAncestorContainer')];
    });
    probe('range structure', 'method lengths', function () {
        return ['setStart', 'setEnd', 'collapse', 'selectNode', 'compareBoundaryPoints', 'comparePoint', 'isPointInRange',
            'insertNode', 'surroundContents', 'cloneContents', 'intersectsNode'].map(function (k) { return Range.prototype[k].length; });
    });
    probe('range structure', 'illegal invocation', function () { return fails(function () { Range.prototype.toString.call({}); }); });
    probe('range structure', 'StaticRange', function () {
        var d = html('<b>abc</b>'), t = d.firstChild.firstChild;
        var s = new StaticRange({startContainer: t, startOffset: 1, endContainer: t, endOffset: 2});
        var out = [tag(s), s.startContainer === t, s.startOffset, s.endOffset, s.collapsed, 'toString' in s,
            fails(function () { return new StaticRange({startContainer: t, startOffset: 1}); }),
            fails(function () { return new StaticRange(); })];
        document.body.removeChild(d);
        return out;
    });
    probe('range behaviour', 'text range toString', function () {
        var d = html('<p>Hello <b>big</b> world</p>'), p = d.firstChild, r = document.createRange();
        r.setStart(p.firstChild, 2);
        r.setEnd(p.lastChild, 3);
        var out = [r.toString(), String(r), r.collapsed, nameOf(r.commonAncestorContainer), r.startOffset, r.endOffset];
        document.body.removeChild(d);
        return out;
    });
    probe('range behaviour', 'selectNode and selectNodeContents', function () {
        var d = html('<p>a</p><p id="x">bc<i>d</i></p><p>e</p>'), x = d.childNodes[1], r = document.createRange();
        r.selectNode(x);
        var out = [nameOf(r.startContainer), r.startOffset, r.endOffset, r.toString()];
        r.selectNodeContents(x);
        out.push(nameOf(r.startContainer), r.startOffset, r.endOffset, r.toString());
        r.selectNodeContents(x.firstChild);
        out.push(nameOf(r.startContainer), r.endOffset);
        out.push(fails(function () { r.selectNode(document); }));
        document.body.removeChild(d);
        return out;
    });
    probe('range behaviour', 'collapse', function () {
        var d = html('<p>abcdef</p>'), t = d.firstChild.firstChild, r = document.createRange();
        r.setStart(t, 1);
        r.setEnd(t, 4);
        r.collapse(true);
        var out = [r.startOffset, r.endOffset, r.collapsed];
        r.setEnd(t, 5);
        r.collapse();
        out.push(r.startOffset, r.endOffset);
        document.body.removeChild(d);
        return out;
    });
    probe('range behaviour', 'set end before start collapses', function () {
        var d = html('<p>abcdef</p>'), t = d.firstChild.firstChild, r = document.createRange();
        r.setStart(t, 4);
        var out = [nameOf(r.endContainer), r.endOffset];
        r.setEnd(t, 2);
        out.push(r.startOffset, r.endOffset, r.collapsed);
        document.body.removeChild(d);
        return out;
    });
    probe('range behaviour', 'errors', function () {
        var d = html('<p>abc</p>'), t = d.firstChild.firstChild, r = document.createRange();
        var out = [fails(function () { r.setStart(t, 9); }), fails(function () { r.setStart({}, 0); }), fails(function () { r.setStart(t); }),
            fails(function () { r.compareBoundaryPoints(7, r); }), fails(function () { r.selectNodeContents(null); })];
        document.body.removeChild(d);
        return out;
    });
    probe('range behaviour', 'errors on the doctype', function () {
        var r = document.createRange();
        return [fails(function () { r.setStart(document.doctype, 0); }), fails(function () { r.selectNodeContents(document.doctype); })];
    });
    probe('range behaviour', 'cloneContents', function () {
        var d = html('<p>one <b>two</b> three</p><p>four</p>'), r = document.createRange();
        r.setStart(d.firstChild.firstChild, 1);
        r.setEnd(d.lastChild.firstChild, 2);
        var f = r.cloneContents(), holder = document.createElement('div');
        holder.appendChild(f);
        var out = [tag(f), holder.innerHTML, d.innerHTML, f.childNodes.length];
        document.body.removeChild(d);
        return out;
    });
    probe('range behaviour', 'extractContents', function () {
        var d = html('<p>one <b>two</b> three</p><p>four</p>'), r = document.createRange();
        r.setStart(d.firstChild.firstChild, 1);
        r.setEnd(d.lastChild.firstChild, 2);
        var f = r.extractContents(), holder = document.createElement('div');
        holder.appendChild(f);
        var out = [holder.innerHTML, d.innerHTML, r.collapsed, nameOf(r.startContainer), r.startOffset];
        document.body.removeChild(d);
        return out;
    });
    probe('range behaviour', 'deleteContents', function () {
        var d = html('<p>one <b>two</b> three</p>'), r = document.createRange();
        r.setStart(d.firstChild.firstChild, 2);
        r.setEnd(d.firstChild.lastChild, 3);
        r.deleteContents();
        var out = [d.innerHTML, r.collapsed, nameOf(r.startContainer), r.startOffset];
        r.selectNodeContents(d);
        r.deleteContents();
        out.push(d.innerHTML, d.childNodes.length);
        document.body.removeChild(d);
        return out;
    });
    probe('range behaviour', 'insertNode', function () {
        var d = html('<p>abcd</p>'), t = d.firstChild.firstChild, r = document.createRange();
        r.setStart(t, 2);
        r.setEnd(t, 3);
        var s = document.createElement('span');
        s.textContent = 'X';
        r.insertNode(s);
        var out = [d.innerHTML, nameOf(r.startContainer), r.startOffset, nameOf(r.endContainer), r.endOffset, r.toString()];
        var r2 = document.createRange();
        r2.selectNodeContents(d.firstChild);
        r2.collapse(false);
        r2.insertNode(document.createTextNode('!'));
        out.push(d.innerHTML, r2.toString(), d.firstChild.childNodes.length);
        document.body.removeChild(d);
        return out;
    });
    probe('range behaviour', 'surroundContents', function () {
        var d = html('<p>abcd</p>'), r = document.createRange();
        r.setStart(d.firstChild.firstChild, 1);
        r.setEnd(d.firstChild.firstChild, 3);
        r.surroundContents(document.createElement('em'));
        var out = [d.innerHTML, r.toString(), nameOf(r.startContainer)];
        document.body.removeChild(d);
        return out;
    });
    probe('range behaviour', 'compareBoundaryPoints', function () {
        var d = html('<p>abcdef</p>'), t = d.firstChild.firstChild, a = document.createRange(), b = document.createRange();
        a.setStart(t, 1);
        a.setEnd(t, 3);
        b.setStart(t, 2);
        b.setEnd(t, 5);
        var out = [a.compareBoundaryPoints(Range.START_TO_START, b), a.compareBoundaryPoints(Range.START_TO_END, b),
            a.compareBoundaryPoints(Range.END_TO_END, b), a.compareBoundaryPoints(Range.END_TO_START, b),
            b.compareBoundaryPoints(Range.START_TO_END, a), a.compareBoundaryPoints(Range.START_TO_START, a)];
        document.body.removeChild(d);
        return out;
    });
    probe('range behaviour', 'comparePoint, isPointInRange, intersectsNode', function () {
        var d = html('<p>ab</p><p>cd</p><p>ef</p>'), r = document.createRange();
        r.setStart(d.childNodes[1].firstChild, 1);
        r.setEnd(d.childNodes[2].firstChild, 1);
        var out = [r.comparePoint(d.firstChild.firstChild, 0), r.comparePoint(d.childNodes[1].firstChild, 1),
            r.comparePoint(d.childNodes[2].firstChild, 2), r.isPointInRange(d.childNodes[1], 0),
            r.isPointInRange(d.childNodes[2].firstChild, 1), r.intersectsNode(d.firstChild), r.intersectsNode(d.childNodes[1]),
            r.intersectsNode(d), fails(function () { r.comparePoint(d.firstChild.firstChild, 5); }),
            r.isPointInRange(document.createElement('div'), 0)];
        document.body.removeChild(d);
        return out;
    });
    probe('range behaviour', 'cloneRange and detach', function () {
        var d = html('<p>abc</p>'), r = document.createRange();
        r.setStart(d.firstChild.firstChild, 1);
        var c = r.cloneRange();
        r.setStart(d.firstChild.firstChild, 2);
        var out = [c.startOffset, r.startOffset, c !== r, r.detach(), r.startOffset];
        document.body.removeChild(d);
        return out;
    });
    probe('range behaviour', 'follows the tree', function () {
        var d = html('<p>abc</p><p>def</p>'), r = document.createRange();
        r.setStart(d.lastChild.firstChild, 1);
        r.setEnd(d.lastChild.firstChild, 2);
        d.removeChild(d.lastChild);
        var out = [nameOf(r.startContainer), r.startOffset, r.endOffset, r.collapsed];
        document.body.removeChild(d);
        return out;
    });
    probe('range behaviour', 'createContextualFragment', function () {
        var f = document.createRange().createContextualFragment('<i>a</i>b');
        return [tag(f), f.childNodes.length, f.firstChild.tagName];
    });

    // ---- Selection ---------------------------------------------------------------------
    probe('selection', 'one selection', function () {
        var s = getSelection();
        return [tag(s), chain(s), s === window.getSelection(), s === document.getSelection(), Object.getOwnPropertyNames(s)];
    });
    probe('selection', 'empty', function () {
        var s = getSelection();
        s.removeAllRanges();
        return [s.rangeCount, s.type, s.anchorNode, s.anchorOffset, s.focusNode, s.focusOffset, s.isCollapsed, s.toString(),
            String(s), s.direction, fails(function () { s.getRangeAt(0); })];
    });
    probe('selection', 'addRange and toString', function () {
        var d = html('<p>Hello <b>big</b> world</p>'), p = d.firstChild, s = getSelection(), r = document.createRange();
        s.removeAllRanges();
        r.setStart(p.firstChild, 1);
        r.setEnd(p.lastChild, 2);
        s.addRange(r);
        var out = [s.rangeCount, s.type, s.toString(), nameOf(s.anchorNode), s.anchorOffset, nameOf(s.focusNode), s.focusOffset,
            s.isCollapsed, s.getRangeAt(0) === r, s.containsNode(p.childNodes[1]), s.containsNode(p.firstChild),
            s.containsNode(p.firstChild, true), s.direction];
        s.addRange(document.createRange());
        out.push(s.rangeCount);
        s.removeAllRanges();
        out.push(s.rangeCount, s.type);
        document.body.removeChild(d);
        return out;
    });
    probe('selection', 'collapse, extend, selectAllChildren', function () {
        var d = html('<p>abcdef</p>'), t = d.firstChild.firstChild, s = getSelection();
        s.collapse(t, 2);
        var out = [s.rangeCount, s.type, s.isCollapsed, s.anchorOffset];
        s.extend(t, 5);
        out.push(s.type, s.toString(), s.anchorOffset, s.focusOffset, s.direction);
        s.extend(t, 0);
        out.push(s.toString(), s.anchorOffset, s.focusOffset, s.direction, s.getRangeAt(0).startOffset);
        s.selectAllChildren(d);
        out.push(s.toString(), nameOf(s.anchorNode), s.anchorOffset, s.focusOffset);
        s.collapseToStart();
        out.push(s.isCollapsed, s.anchorOffset);
        s.setBaseAndExtent(t, 1, t, 3);
        out.push(s.toString());
        s.collapse(null);
        out.push(s.rangeCount, s.type);
        s.setPosition(t, 1);
        out.push(s.rangeCount, s.focusOffset);
        s.empty();
        out.push(s.rangeCount);
        document.body.removeChild(d);
        return out;
    });
    probe('selection', 'deleteFromDocument and removeRange', function () {
        var d = html('<p>abcdef</p>'), t = d.firstChild.firstChild, s = getSelection(), r = document.createRange();
        s.removeAllRanges();
        r.setStart(t, 1);
        r.setEnd(t, 3);
        s.addRange(r);
        s.deleteFromDocument();
        var out = [d.textContent, s.rangeCount, s.isCollapsed];
        s.removeRange(s.getRangeAt(0));
        out.push(s.rangeCount, fails(function () { s.removeRange(document.createRange()); }));
        document.body.removeChild(d);
        return out;
    });

    // ---- TreeWalker and NodeIterator -------------------------------------------------
    probe('traversal', 'NodeFilter', function () {
        return [typeof NodeFilter, NodeFilter.SHOW_ALL, NodeFilter.SHOW_ELEMENT, NodeFilter.SHOW_TEXT, NodeFilter.SHOW_COMMENT,
            NodeFilter.FILTER_ACCEPT, NodeFilter.FILTER_REJECT, NodeFilter.FILTER_SKIP, NodeFilter.SHOW_DOCUMENT_FRAGMENT,
            typeof NodeFilter.prototype, Object.getOwnPropertyNames(NodeFilter).sort().join(),
            fails(function () { return new NodeFilter(); })];
    });
    probe('traversal', 'shapes', function () {
        var w = document.createTreeWalker(document.body), it = document.createNodeIterator(document.body);
        return [tag(w), chain(w), Object.getOwnPropertyNames(w), w.whatToShow, w.filter, w.root === document.body,
            w.currentNode === document.body, tag(it), chain(it), it.whatToShow, it.referenceNode === document.body,
            it.pointerBeforeReferenceNode, fails(function () { document.createTreeWalker(); }),
            fails(function () { document.createTreeWalker({}); }), typeof TreeWalker, fails(function () { return new TreeWalker(); })];
    });
    var tree = '<p>a<b>b<i>c</i></b><!--d--></p>e<span>f</span>';
    function walk(root, show, filter, step) {
        var w = document.createTreeWalker(root, show, filter), out = [];
        for (var n = w[step || 'nextNode'](); n; n = w[step || 'nextNode']()) out.push(nameOf(n));
        return out;
    }
    probe('traversal', 'walker all', function () {
        var d = html(tree), out = walk(d);
        document.body.removeChild(d);
        return out;
    });
    probe('traversal', 'walker elements', function () {
        var d = html(tree), out = walk(d, NodeFilter.SHOW_ELEMENT);
        document.body.removeChild(d);
        return out;
    });
    probe('traversal', 'walker text and comments', function () {
        var d = html(tree), out = walk(d, NodeFilter.SHOW_TEXT | NodeFilter.SHOW_COMMENT);
        document.body.removeChild(d);
        return out;
    });
    probe('traversal', 'walker filter reject and skip', function () {
        var d = html(tree);
        var reject = walk(d, NodeFilter.SHOW_ALL, function (n) { return n.tagName === 'B' ? NodeFilter.FILTER_REJECT : NodeFilter.FILTER_ACCEPT; });
        var skip = walk(d, NodeFilter.SHOW_ALL, {acceptNode: function (n) { return n.tagName === 'B' ? NodeFilter.FILTER_SKIP : 1; }});
        document.body.removeChild(d);
        return [reject, skip];
    });
    probe('traversal', 'walker steps', function () {
        var d = html(tree), w = document.createTreeWalker(d, NodeFilter.SHOW_ELEMENT), out = [];
        out.push(nameOf(w.firstChild()), nameOf(w.firstChild()), nameOf(w.nextSibling()), nameOf(w.parentNode()),
            nameOf(w.nextSibling()), nameOf(w.previousSibling()), nameOf(w.lastChild()), nameOf(w.parentNode()),
            nameOf(w.parentNode()), nameOf(w.previousNode()), nameOf(w.currentNode));
        w.currentNode = d.firstChild.childNodes[1];
        out.push(nameOf(w.nextNode()), nameOf(w.nextNode()), nameOf(w.previousNode()), nameOf(w.previousNode()),
            nameOf(w.previousNode()), fails(function () { w.currentNode = null; }));
        document.body.removeChild(d);
        return out;
    });
    probe('traversal', 'walker filter throws', function () {
        var d = html(tree), w = document.createTreeWalker(d, NodeFilter.SHOW_ALL, function () { throw new Error('inside'); });
        var out = fails(function () { w.nextNode(); });
        document.body.removeChild(d);
        return out;
    });
    probe('traversal', 'iterator forward and back', function () {
        var d = html(tree), it = document.createNodeIterator(d, NodeFilter.SHOW_ALL), out = [];
        for (var n = it.nextNode(); n; n = it.nextNode()) out.push(nameOf(n));
        out.push(nameOf(it.referenceNode), it.pointerBeforeReferenceNode);
        out.push(nameOf(it.previousNode()), nameOf(it.previousNode()), it.pointerBeforeReferenceNode, nameOf(it.nextNode()));
        it.detach();
        out.push(nameOf(it.root));
        document.body.removeChild(d);
        return out;
    });
    probe('traversal', 'iterator filter', function () {
        var d = html(tree), out = [];
        var it = document.createNodeIterator(d, NodeFilter.SHOW_ELEMENT, function (n) { return n.tagName === 'B' ? NodeFilter.FILTER_REJECT : NodeFilter.FILTER_ACCEPT; });
        for (var n = it.nextNode(); n; n = it.nextNode()) out.push(nameOf(n));
        out.push(typeof it.filter);
        document.body.removeChild(d);
        return out;
    });
    probe('traversal', 'iterator follows removal', function () {
        var d = html(tree), it = document.createNodeIterator(d, NodeFilter.SHOW_ELEMENT);
        it.nextNode();
        it.nextNode();
        it.nextNode();
        var b = d.firstChild.childNodes[1];
        b.parentNode.removeChild(b);
        var out = [nameOf(it.referenceNode), it.pointerBeforeReferenceNode, nameOf(it.nextNode())];
        document.body.removeChild(d);
        return out;
    });

    // ---- the performance timeline -----------------------------------------------------
    probe('performance', 'mark', function () {
        var m = performance.mark('probe-a', {detail: {k: 1}});
        return [tag(m), chain(m), Object.getOwnPropertyNames(m), m.name, m.entryType, typeof m.startTime, m.startTime >= 0,
            m.duration, m.detail, Object.keys(m.toJSON()), m instanceof PerformanceEntry];
    });
    probe('performance', 'mark with a start time', function () {
        var m = performance.mark('probe-b', {startTime: 12.5});
        return [m.startTime, m.detail, fails(function () { performance.mark('probe-c', {startTime: -1}); }),
            fails(function () { performance.mark(); }), fails(function () { performance.mark('navigationStart'); })];
    });
    probe('performance', 'new PerformanceMark', function () {
        var m = new PerformanceMark('free', {startTime: 3, detail: 'd'});
        return [m.name, m.startTime, m.detail, performance.getEntriesByName('free').length, PerformanceMark.length,
            fails(function () { return new PerformanceEntry(); }), fails(function () { return new PerformanceMeasure(); })];
    });
    probe('performance', 'measure', function () {
        performance.mark('probe-m1', {startTime: 10});
        performance.mark('probe-m2', {startTime: 25});
        var a = performance.measure('probe-span', 'probe-m1', 'probe-m2');
        var b = performance.measure('probe-opts', {start: 2, end: 7, detail: [1]});
        var c = performance.measure('probe-from', {start: 'probe-m1', duration: 4});
        return [tag(a), chain(a), a.entryType, a.startTime, a.duration, b.startTime, b.duration, b.detail, c.startTime,
            c.duration, typeof performance.measure('probe-now').duration, Object.keys(a.toJSON()),
            fails(function () { performance.measure('x', 'no-such-mark'); }),
            fails(function () { performance.measure('x', {start: 1, end: 2, duration: 3}); }),
            performance.measure('probe-nav', 'navigationStart', 'probe-m1').startTime];
    });
    probe('performance', 'entries', function () {
        performance.clearMarks();
        performance.clearMeasures();
        performance.mark('e1', {startTime: 5});
        performance.mark('e2', {startTime: 1});
        performance.mark('e1', {startTime: 9});
        performance.measure('e3', 'e2', 'e1');
        var out = [performance.getEntriesByType('mark').map(function (e) { return e.name + '@' + e.startTime; }),
            performance.getEntriesByName('e1').length, performance.getEntriesByName('e1', 'measure').length,
            performance.getEntriesByName('e3', 'measure').length, performance.getEntriesByType('measure')[0].duration,
            Array.isArray(performance.getEntries()), performance.getEntriesByType('nonsense').length,
            performance.getEntriesByType('mark') !== performance.getEntriesByType('mark')];
        performance.clearMarks('e1');
        out.push(performance.getEntriesByType('mark').length);
        performance.clearMarks();
        performance.clearMeasures('e3');
        out.push(performance.getEntriesByType('mark').length, performance.getEntriesByType('measure').length);
        return out;
    });
    probe('performance', 'navigation entry', function () {
        var list = performance.getEntriesByType('navigation'), n = list[0];
        return [list.length, tag(n), chain(n), Object.getOwnPropertyNames(n), n.name === location.href, n.entryType, n.startTime,
            n.initiatorType, n.type, n.redirectCount, typeof n.duration, typeof n.domContentLoadedEventEnd,
            n.domInteractive <= n.domComplete, n.fetchStart <= n.responseEnd, Object.keys(n.toJSON()).length > 20,
            performance.getEntries()[0] === n || performance.getEntries()[0].entryType, n === performance.getEntriesByType('navigation')[0]];
    });
    probe('performance', 'resource entries', function () {
        var list = performance.getEntriesByType('resource');
        return [Array.isArray(list), list.every(function (e) { return e instanceof PerformanceResourceTiming && e.entryType === 'resource'; }),
            list.every(function (e) { return typeof e.name === 'string' && typeof e.initiatorType === 'string'; })];
    });
    probe('performance', 'timeOrigin', function () {
        return [typeof performance.timeOrigin, Math.abs(performance.timeOrigin + performance.now() - Date.now()) < 1000,
            performance.timeOrigin === performance.timing.navigationStart || Math.abs(performance.timeOrigin - performance.timing.navigationStart) < 50,
            Object.keys(performance.toJSON())];
    });

    // ---- where elements sit ---------------------------------------------------------------
    var page = document.createElement('div');
    page.id = 'page';
    // (As wide as the window only where the window's width cannot matter.)
    page.style.width = '600px';
    page.innerHTML = '<div id="a">first line</div><div id="b">second line</div>' +
        '<div id="c" style="width: 200px"><span id="s1">abc</span><span id="s2">defg</span><div id="d">x</div></div>' +
        '<div id="e" style="height: 40px"></div><div id="f"><br>after a break</div>' +
        '<div id="g" style="font-size: 32px">big<span id="s3">!</span></div>' +
        '<div id="h" style="position: absolute; left: 30px; top: 50px">abs</div>' +
        '<div id="i" style="padding: 10px; border: 3px solid; margin: 5px">boxed</div>';
    document.body.appendChild(page);
    function at(id) { return document.getElementById(id); }
    ['page', 'a', 'b', 'c', 's1', 's2', 'd', 'e', 'f', 'g', 's3', 'i'].forEach(function (id) {
        probe('positions', id + ' offset', function () {
            var e = at(id);
            return [e.offsetTop, e.offsetLeft, e.offsetWidth, e.offsetHeight, nameOf(e.offsetParent) + (e.offsetParent && e.offsetParent.id ? '#' + e.offsetParent.id : '')];
        });
        probe('positions', id + ' rect', function () { return rect(at(id).getBoundingClientRect()); });
    });
    probe('positions', 'absolute', function () {
        var e = at('h');
        return [e.offsetTop, e.offsetLeft, e.getBoundingClientRect().x, e.getBoundingClientRect().y];
    });
    probe('positions', 'client and scroll', function () {
        var e = at('i');
        return [e.clientTop, e.clientLeft, e.scrollTop, e.scrollLeft, at('a').clientTop, document.body.clientTop];
    });
    probe('positions', 'body and html', function () {
        var b = document.body, h = document.documentElement;
        return [b.offsetTop, b.offsetLeft, b.offsetParent, h.offsetTop, h.offsetParent, rect(b.getBoundingClientRect()).slice(0, 2),
            h.getBoundingClientRect().x, h.getBoundingClientRect().y, b.clientWidth === h.clientWidth - 16];
    });
    probe('positions', 'detached and hidden', function () {
        var loose = document.createElement('div'), hidden = document.createElement('div');
        hidden.style.display = 'none';
        page.appendChild(hidden);
        var out = [loose.offsetTop, loose.offsetParent, hidden.offsetTop, hidden.offsetParent, rect(hidden.getBoundingClientRect())];
        page.removeChild(hidden);
        return out;
    });
    probe('positions', 'window scroll', function () {
        return [scrollX, scrollY, pageXOffset, pageYOffset, document.documentElement.scrollTop, document.body.scrollTop,
            document.scrollingElement === document.documentElement];
    });
    probe('positions', 'range rects', function () {
        var r = document.createRange(), t = at('a').firstChild;
        r.setStart(t, 0);
        r.setEnd(t, 5);
        var one = rect(r.getBoundingClientRect()), list = r.getClientRects();
        r.selectNode(at('s2'));
        return [one, tag(list), list.length, rect(r.getBoundingClientRect()), rect(document.createRange().getBoundingClientRect())];
    });
    probe('positions', 'text measured with a range', function () {
        var s = document.createElement('span');
        s.style.fontSize = '72px';
        s.textContent = 'mmmmmmmmmmlli';
        document.body.appendChild(s);
        var r = document.createRange();
        r.selectNodeContents(s);
        var out = [r.getBoundingClientRect().width, s.offsetWidth, s.getBoundingClientRect().width];
        document.body.removeChild(s);
        return out;
    });
})();
