// 青柚JS调试工具 浏览器资料采集脚本：在自己的 Chrome 里打开目标网站，按 F12 打开控制台，
// 粘贴这段代码后回车。它会打印一段 JSON（并尽量复制到剪贴板），存成 .json 文件后用
// “工具”→“网页与浏览器资料”→“导入浏览器资料…”导入。它只读取（量字宽时临时放一个看不见的
// 元素，量完即删），不修改网页，也不发送任何东西。
(async function () {
    var n = navigator, s = screen, out = {version: 1, collected: new Date().toISOString(), address: location.href};
    function pick(o, names) {
        var r = {};
        names.forEach(function (k) { try { var v = o[k]; if (v !== undefined && typeof v !== 'function') r[k] = v; } catch (e) {} });
        return r;
    }
    out.navigator = pick(n, ['userAgent', 'appCodeName', 'appName', 'appVersion', 'platform', 'product', 'productSub',
        'vendor', 'vendorSub', 'language', 'hardwareConcurrency', 'deviceMemory', 'maxTouchPoints', 'webdriver',
        'doNotTrack', 'cookieEnabled', 'onLine', 'pdfViewerEnabled']);
    out.navigator.languages = Array.prototype.slice.call(n.languages || []);
    out.navigator.plugins = Array.prototype.map.call(n.plugins || [], function (p) {
        return {name: p.name, filename: p.filename, description: p.description,
            mimeTypes: Array.prototype.map.call(p, function (m) { return {type: m.type, suffixes: m.suffixes, description: m.description}; })};
    });
    if (n.userAgentData) {
        var d = n.userAgentData;
        out.navigator.userAgentData = {brands: d.brands.map(function (b) { return {brand: b.brand, version: b.version}; }),
            mobile: d.mobile, platform: d.platform};
        try {
            out.navigator.userAgentData.highEntropy = await d.getHighEntropyValues(['architecture', 'bitness', 'model',
                'platformVersion', 'uaFullVersion', 'fullVersionList', 'wow64', 'formFactors']);
        } catch (e) {}
    }
    if (n.connection) out.navigator.connection = pick(n.connection, ['effectiveType', 'rtt', 'downlink', 'saveData']);
    // The voices (Chrome lists them once it has asked the system: waited for a moment).
    if (window.speechSynthesis) {
        var voices = speechSynthesis.getVoices();
        if (!voices.length) {
            await new Promise(function (done) { speechSynthesis.onvoiceschanged = done; setTimeout(done, 1000); });
            voices = speechSynthesis.getVoices();
        }
        out.speech = {voices: Array.prototype.map.call(voices, function (v) { return [v.name, v.lang, v.localService, v['default']]; })};
    }
    out.screen = pick(s, ['width', 'height', 'availWidth', 'availHeight', 'availLeft', 'availTop', 'colorDepth', 'pixelDepth']);
    if (s.orientation) out.screen.orientation = {type: s.orientation.type, angle: s.orientation.angle};
    out.window = pick(window, ['innerWidth', 'innerHeight', 'outerWidth', 'outerHeight', 'screenX', 'screenY', 'devicePixelRatio']);
    var opts = Intl.DateTimeFormat().resolvedOptions();
    out.timeZone = {name: opts.timeZone, locale: opts.locale, offset: new Date().getTimezoneOffset(),
        januaryOffset: new Date(new Date().getFullYear(), 0, 1).getTimezoneOffset(),
        julyOffset: new Date(new Date().getFullYear(), 6, 1).getTimezoneOffset()};
    out.performance = {timeOrigin: performance.timeOrigin, now: performance.now()};
    out.document = {referrer: document.referrer, title: document.title, characterSet: document.characterSet,
        cookie: document.cookie, compatMode: document.compatMode};
    // Fonts that are present, from a list the fingerprinting scripts commonly try: a font is
    // there when text in it is not as wide as in each fallback family.
    var fonts = ['Arial', 'Arial Black', 'Calibri', 'Cambria', 'Comic Sans MS', 'Consolas', 'Courier New', 'Georgia',
        'Impact', 'Lucida Console', 'Microsoft YaHei', 'SimSun', 'SimHei', 'KaiTi', 'FangSong', 'NSimSun', 'DengXian',
        'Segoe UI', 'Tahoma', 'Times New Roman', 'Trebuchet MS', 'Verdana', 'Wingdings', 'PingFang SC', 'Helvetica',
        'Noto Sans CJK SC', 'WenQuanYi Micro Hei', 'Ubuntu', 'Roboto', 'sans-serif-thin', 'ARNO PRO', 'Agency FB',
        'Arabic Typesetting', 'Arial Unicode MS', 'AvantGarde Bk BT', 'BankGothic Md BT', 'Batang',
        'Bitstream Vera Sans Mono', 'Century', 'Century Gothic', 'Clarendon', 'EUROSTILE', 'Franklin Gothic',
        'Futura Bk BT', 'Futura Md BT', 'GOTHAM', 'Gill Sans', 'HELV', 'Haettenschweiler', 'Helvetica Neue',
        'Humanst521 BT', 'Leelawadee', 'Letter Gothic', 'Levenim MT', 'Lucida Bright', 'Lucida Sans', 'Menlo',
        'MS Mincho', 'MS Outlook', 'MS Reference Specialty', 'MS UI Gothic', 'MT Extra', 'MYRIAD PRO', 'Marlett',
        'Meiryo UI', 'Microsoft Uighur', 'Minion Pro', 'Monotype Corsiva', 'PMingLiU', 'Pristina', 'SCRIPTINA',
        'Segoe UI Light', 'Serifa', 'Small Fonts', 'Staccato222 BT', 'TRAJAN PRO', 'Univers CE 55 Medium', 'Vrinda',
        'ZWAdobeF'];
    var ruler = document.createElement('canvas').getContext('2d'), probe = 'mmMwWLliI0O&1', bases = ['monospace', 'sans-serif', 'serif'];
    function textWidth(font, t) { ruler.font = font; return ruler.measureText(t).width; }
    out.fonts = fonts.filter(function (f) {
        return bases.some(function (b) { return textWidth('72px "' + f + '", ' + b, probe) !== textWidth('72px ' + b, probe); });
    });
    // Text metrics of the default families and the fonts present, so that text laid out in
    // the workbench is as wide as here: each printable character's advance at the reference
    // size (and one ideograph's), the font's ascent and descent, and the boxes the page
    // draws for the strings font probes use, measured as laid out (a hidden box, removed
    // at once).
    try {
        var reference = 100, families = ['serif', 'sans-serif', 'monospace', 'system-ui', 'cursive', 'fantasy'].concat(out.fonts);
        var metrics = {reference: reference, families: {}, texts: []};
        families.forEach(function (f) {
            var font = reference + 'px ' + (/^[a-z-]+$/.test(f) ? f : '"' + f + '"'), advances = [];
            for (var c = 32; c < 127; c++) advances.push(textWidth(font, String.fromCharCode(c)));
            // Pairs the font kerns: how much narrower (or wider) the two are together.
            var kerning = {};
            for (var a = 32; a < 127; a++) {
                for (var b = 32; b < 127; b++) {
                    var pair = String.fromCharCode(a, b), k = textWidth(font, pair) - advances[a - 32] - advances[b - 32];
                    if (Math.abs(k) > 1e-3) kerning[pair] = k;
                }
            }
            // Ascent and descent come whole pixels, so they are read ten times as large.
            ruler.font = font.replace(/^\d+/, String(reference * 10));
            var m = ruler.measureText('Hg');
            metrics.families[f] = {advances: advances, kerning: kerning, ideograph: textWidth(font, '\u4e2d'),
                ascent: m.fontBoundingBoxAscent / 10, descent: m.fontBoundingBoxDescent / 10};
        });
        var box = document.createElement('div'), boxes = [];
        box.style.cssText = 'position:absolute;left:-10000px;top:0;visibility:hidden';
        [['mmMwWLliI0O&1', [48]], ['mmMwWLliI0fiflO&1', [1, 13, 16]], ['mmmmmmmmmmlli', [72]], ['mmmmmmmmmlli', [72]]].forEach(function (t) {
            t[1].forEach(function (size) {
                families.forEach(function (f) {
                    // The probes at other sizes than the fonts' own test are made in the default families only.
                    if (size !== 48 && size !== 72 && families.indexOf(f) > 5) return;
                    var span = document.createElement('span');
                    span.style.cssText = 'white-space:nowrap;font-size:' + size + 'px;font-family:' + (/^[a-z-]+$/.test(f) ? f : '"' + f + '"');
                    span.textContent = t[0];
                    box.appendChild(span);
                    box.appendChild(document.createElement('br'));
                    boxes.push({family: f, size: size, text: t[0], span: span});
                });
            });
        });
        // A line of a block is higher than the text by the font's line gap, read ten times as large.
        var lines = families.map(function (f) {
            var line = document.createElement('div');
            line.style.cssText = 'line-height:normal;font-size:' + reference * 10 + 'px;font-family:' + (/^[a-z-]+$/.test(f) ? f : '"' + f + '"');
            line.textContent = 'x';
            box.appendChild(line);
            return line;
        });
        (document.body || document.documentElement).appendChild(box);
        families.forEach(function (f, n) {
            var m = metrics.families[f];
            m.lineGap = (lines[n].offsetHeight - Math.round(m.ascent * 10) - Math.round(m.descent * 10)) / 10;
        });
        boxes.forEach(function (b) {
            metrics.texts.push({family: b.family, size: b.size, text: b.text, width: b.span.getBoundingClientRect().width,
                height: b.span.offsetHeight});
        });
        box.parentNode.removeChild(box);
        out.fontMetrics = metrics;
    } catch (e) {}
    // The drawings fingerprinting scripts commonly make, each with the calls that made it
    // written down one by one, so that the workbench shows this browser's image when a
    // page makes the same drawing.
    function drawing(width, height, draw) {
        var c = document.createElement('canvas'), calls = width + 'x' + height;
        c.width = width; c.height = height;
        var g = c.getContext('2d');
        function value(v) {
            return typeof v === 'string' ? '"' + v.replace(/\\/g, '\\\\').replace(/"/g, '\\"') + '"' : String(v);
        }
        draw({
            set: function (name, v) { calls += ';' + name + '=' + value(v); g[name] = v; },
            call: function (name) {
                var args = Array.prototype.slice.call(arguments, 1);
                calls += ';' + name + '(' + args.map(value).join(',') + ')';
                return g[name].apply(g, args);
            }
        }, g);
        return {calls: calls, dataURL: c.toDataURL()};
    }
    try {
        var smile = String.fromCharCode(55357, 56835), drawings = [];
        drawings.push(drawing(240, 60, function (d, g) {
            d.set('textBaseline', 'top'); d.set('font', '14px Arial'); d.set('fillStyle', '#f60'); d.call('fillRect', 125, 1, 62, 20);
            d.set('fillStyle', '#069'); d.call('fillText', 'Cwm fjordbank glyphs vext quiz, ' + smile, 2, 15);
            d.set('fillStyle', 'rgba(102, 204, 0, 0.7)'); d.call('fillText', 'Cwm fjordbank glyphs vext quiz', 4, 17);
            out.canvas = {textWidth: g.measureText('Cwm fjordbank glyphs vext quiz').width};
        }));
        out.canvas.dataURL = drawings[0].dataURL;
        // The text and geometry images of the common fingerprinting library.
        drawings.push(drawing(240, 60, function (d) {
            var text = 'Cwm fjordbank gly ' + smile;
            d.set('textBaseline', 'alphabetic'); d.set('fillStyle', '#f60'); d.call('fillRect', 100, 1, 62, 20);
            d.set('fillStyle', '#069'); d.set('font', '11pt "Times New Roman"'); d.call('fillText', text, 2, 15);
            d.set('fillStyle', 'rgba(102, 204, 0, 0.2)'); d.set('font', '18pt Arial'); d.call('fillText', text, 4, 45);
        }));
        drawings.push(drawing(122, 110, function (d) {
            d.set('globalCompositeOperation', 'multiply');
            [['#f2f', 40, 40], ['#2ff', 80, 40], ['#ff2', 60, 80]].forEach(function (c) {
                d.set('fillStyle', c[0]); d.call('beginPath'); d.call('arc', c[1], c[2], 40, 0, Math.PI * 2, true);
                d.call('closePath'); d.call('fill');
            });
            d.set('fillStyle', '#f9c'); d.call('arc', 60, 60, 60, 0, Math.PI * 2, true);
            d.call('arc', 60, 60, 20, 0, Math.PI * 2, true); d.call('fill', 'evenodd');
        }));
        out.canvas.drawings = drawings;
    } catch (e) {}
    try {
        var gl = document.createElement('canvas').getContext('webgl');
        if (gl) {
            var dbg = gl.getExtension('WEBGL_debug_renderer_info'), names = ['VENDOR', 'RENDERER', 'VERSION',
                'SHADING_LANGUAGE_VERSION', 'MAX_TEXTURE_SIZE', 'MAX_VIEWPORT_DIMS', 'MAX_RENDERBUFFER_SIZE',
                'MAX_VERTEX_ATTRIBS', 'MAX_VERTEX_UNIFORM_VECTORS', 'MAX_FRAGMENT_UNIFORM_VECTORS', 'MAX_VARYING_VECTORS',
                'MAX_TEXTURE_IMAGE_UNITS', 'MAX_VERTEX_TEXTURE_IMAGE_UNITS', 'MAX_COMBINED_TEXTURE_IMAGE_UNITS',
                'MAX_CUBE_MAP_TEXTURE_SIZE', 'ALIASED_LINE_WIDTH_RANGE', 'ALIASED_POINT_SIZE_RANGE', 'RED_BITS',
                'GREEN_BITS', 'BLUE_BITS', 'ALPHA_BITS', 'DEPTH_BITS', 'STENCIL_BITS', 'SUBPIXEL_BITS',
                'IMPLEMENTATION_COLOR_READ_FORMAT', 'IMPLEMENTATION_COLOR_READ_TYPE'], params = {};
            names.forEach(function (k) { var v = gl.getParameter(gl[k]); params[k] = v && v.length !== undefined && typeof v !== 'string' ? Array.prototype.slice.call(v) : v; });
            if (dbg) {
                params.UNMASKED_VENDOR_WEBGL = gl.getParameter(dbg.UNMASKED_VENDOR_WEBGL);
                params.UNMASKED_RENDERER_WEBGL = gl.getParameter(dbg.UNMASKED_RENDERER_WEBGL);
            }
            // The card's limits that extensions add.
            [['EXT_texture_filter_anisotropic', 'MAX_TEXTURE_MAX_ANISOTROPY_EXT'], ['WEBGL_draw_buffers', 'MAX_DRAW_BUFFERS_WEBGL'],
                ['WEBGL_draw_buffers', 'MAX_COLOR_ATTACHMENTS_WEBGL']].forEach(function (x) {
                var e = gl.getExtension(x[0]);
                if (e) params[x[1]] = gl.getParameter(e[x[1]]);
            });
            // Each shader's precision formats: [rangeMin, rangeMax, precision] by shader and precision.
            var precisions = {};
            ['VERTEX_SHADER', 'FRAGMENT_SHADER'].forEach(function (shader) {
                ['LOW_FLOAT', 'MEDIUM_FLOAT', 'HIGH_FLOAT', 'LOW_INT', 'MEDIUM_INT', 'HIGH_INT'].forEach(function (kind) {
                    var f = gl.getShaderPrecisionFormat(gl[shader], gl[kind]);
                    if (f) precisions[shader + '.' + kind] = [f.rangeMin, f.rangeMax, f.precision];
                });
            });
            out.webgl = {parameters: params, extensions: gl.getSupportedExtensions(), contextAttributes: gl.getContextAttributes(),
                precisions: precisions};
        }
    } catch (e) {}
    // The audio fingerprints in common use: a triangle wave at 10 kHz through a compressor,
    // rendered offline; the samples are kept (32-bit floats, little-endian, base64) so that
    // the workbench gives the same signal for the same graph.
    async function render(length, compressor) {
        var ac = new OfflineAudioContext(1, length, 44100), osc = ac.createOscillator(), comp = ac.createDynamicsCompressor();
        osc.type = 'triangle'; osc.frequency.value = 10000;
        Object.keys(compressor).forEach(function (k) { comp[k].value = compressor[k]; });
        osc.connect(comp); comp.connect(ac.destination); osc.start(0);
        var data = (await ac.startRendering()).getChannelData(0), bytes = new Uint8Array(data.buffer, data.byteOffset, data.byteLength);
        var text = '';
        for (var i = 0; i < bytes.length; i += 4096) text += String.fromCharCode.apply(null, bytes.subarray(i, i + 4096));
        var graph = 'triangle ' + Math.fround(10000) + ' 0 0 > compressor ' + ['threshold', 'knee', 'ratio', 'attack', 'release'].map(function (k) {
            return Math.fround(comp[k].value);
        }).join(' ');
        return {data: data, render: {graph: graph, sampleRate: ac.sampleRate, length: length, samples: btoa(text)}};
    }
    try {
        var usual = await render(5000, {}), sum = 0;
        for (var i = 4500; i < 5000; i++) sum += Math.abs(usual.data[i]);
        out.audio = {sampleRate: 44100, sum: sum, renders: [usual.render,
            (await render(44100, {threshold: -50, knee: 40, ratio: 12, attack: 0, release: 0.25})).render]};
    } catch (e) {}
    var text = JSON.stringify(out, null, 2);
    console.log(text);
    try { copy(text); console.log('（已复制到剪贴板）'); } catch (e) {}
    return '采集完成';
})();
