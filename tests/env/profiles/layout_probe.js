// Text boxes a page measures: spans in the default families and sizes, text the probes
// of the font checks do not use, nested inline elements, blocks with their own width and
// lines, and elements that have no box. Sets `layoutProbe` to the answers as JSON.
(function () {
    var out = {}, body = document.body, holder = document.createElement('div');
    body.appendChild(holder);
    function span(name, css, text) {
        var s = document.createElement('span');
        for (var k in css) s.style[k] = css[k];
        s.textContent = text;
        holder.appendChild(s);
        holder.appendChild(document.createElement('br'));
        out[name] = function () {
            return [s.getBoundingClientRect().width, s.offsetWidth, s.offsetHeight, s.clientWidth];
        };
        return s;
    }
    ['serif', 'sans-serif', 'monospace', 'system-ui', "'No Such Font', monospace", "'No Such Font', sans-serif",
        'Arial', 'Courier New'].forEach(function (f) {
        span(f + ' default', {fontFamily: f}, 'The quick brown fox, 12345!');
        span(f + ' 48px', {fontFamily: f, fontSize: '48px'}, 'mmMwWLliI0O&1');
        span(f + ' 20px', {fontFamily: f, fontSize: '20px'}, 'Hello, World ~ {x: [1, 2]}');
    });
    span('unstyled', {}, 'plain text in the page');
    span('12pt', {fontSize: '12pt'}, 'twelve points');
    span('1.5em', {fontSize: '1.5em', fontFamily: 'sans-serif'}, 'one and a half');
    span('large keyword', {fontSize: 'large'}, 'large words');
    span('font shorthand', {font: 'bold 30px monospace'}, 'shorthand');
    var nested = span('nested', {fontFamily: 'sans-serif', fontSize: '18px'}, 'outer ');
    var inner = document.createElement('span');
    inner.style.fontSize = '36px';
    inner.textContent = 'inner';
    nested.appendChild(inner);
    span('ideographs', {fontFamily: 'sans-serif', fontSize: '20px'}, 'ab\u4e2d\u6587cd');
    var block = document.createElement('div');
    block.style.width = '300px';
    block.style.fontFamily = 'serif';
    block.innerHTML = 'first line<br>second line';
    body.appendChild(block);
    out.block = function () { return [block.offsetWidth, block.offsetHeight, block.clientWidth, block.getBoundingClientRect().width]; };
    var hidden = span('display none', {display: 'none'}, 'not shown');
    out['display none'] = function () { return [hidden.offsetWidth, hidden.offsetHeight, hidden.getBoundingClientRect().width]; };
    var loose = document.createElement('span');
    loose.textContent = 'not in the document';
    out.detached = function () { return [loose.offsetWidth, loose.offsetHeight, loose.getBoundingClientRect().width]; };
    var frame = document.createElement('iframe'), canvas = document.createElement('canvas');
    body.appendChild(frame);
    body.appendChild(canvas);
    out.frame = function () {
        return [frame.offsetWidth, frame.offsetHeight, frame.clientWidth, frame.clientHeight, frame.getBoundingClientRect().width,
            frame.contentWindow.innerWidth, frame.contentWindow.innerHeight];
    };
    out.canvas = function () { return [canvas.offsetWidth, canvas.offsetHeight, canvas.clientWidth, canvas.clientHeight]; };
    var answers = {};
    for (var name in out) answers[name] = out[name]();
    body.removeChild(holder);
    body.removeChild(block);
    body.removeChild(frame);
    body.removeChild(canvas);
    window.layoutProbe = JSON.stringify(answers);
})();
