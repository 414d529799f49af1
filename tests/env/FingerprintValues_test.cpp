// What fingerprinting scripts read, compared with the browser a profile was recorded from:
// profiles/chromium.json is what our collector printed in a headless Chromium, and
// profiles/answers.chromium.json what that Chromium answered (record.sh records both).
// Audio renders, the boxes of text, and the other answers the profile now carries.
#include <cmath>
#include <string>

#include "common/TestSupport.h"
#include "env/EnvTestSupport.h"
#include "env/PageHost.h"
#include "text/CodePage.h"

namespace qy::test {
namespace {

using script::ScriptTarget;

std::string Fixture(const std::string& name) { return ReadFileBytes(SourceDir() + "/tests/env/profiles/" + name); }

struct ProfileScope {
    explicit ProfileScope(const std::string& json) {
        env::PageSetup setup;
        setup.profile = text::Utf8ToUtf16(json);
        env::SetPageSetup(std::move(setup));
    }
    ~ProfileScope() { env::SetPageSetup({}); }
};

// The recorded answers, read by the environment's own JSON reader.
void LoadAnswers(EnvHost& env) {
    ASSERT_TRUE(env.Add("var chromium = " + Fixture("answers.chromium.json") + ";")) << env.ErrorDescription();
}

// Renders a triangle wave at `hz` through a compressor (`settings` sets its parameters)
// into `length` samples and keeps the channel as `name`.
std::string Render(const std::string& name, int length, int hz, const std::string& settings) {
    return "var " + name + "; (function () { var ac = new OfflineAudioContext(1, " + std::to_string(length) +
           ", 44100), o = ac.createOscillator(), c = ac.createDynamicsCompressor(); o.type = 'triangle';"
           " o.frequency.value = " + std::to_string(hz) + "; " + settings +
           " o.connect(c); c.connect(ac.destination); o.start(0);"
           " ac.startRendering().then(function (b) { " + name + " = b.getChannelData(0); }); })();"
           "function sum(d, from, to) { var s = 0; for (var i = from; i < to; i++) s += Math.abs(d[i]); return s; }";
}
const char* kFingerprintSettings = "c.threshold.value = -50; c.knee.value = 40; c.ratio.value = 12; c.attack.value = 0; c.release.value = 0.25;";

// ---- audio ----------------------------------------------------------------------------

TEST(RecordedAudio, TheFingerprintGraphsGiveTheRecordedBrowsersSamples) {
    ProfileScope scope(Fixture("chromium.json"));
    EnvHost env(ScriptTarget::ES2021);
    LoadAnswers(env);
    ASSERT_TRUE(env.Add(Render("short", 5000, 10000, kFingerprintSettings)));
    ASSERT_TRUE(env.Add(Render("whole", 44100, 10000, kFingerprintSettings)));
    ASSERT_TRUE(env.Add(Render("longer", 46000, 10000, kFingerprintSettings)));
    ASSERT_TRUE(env.Add(Render("usual", 5000, 10000, "")));
    // The fingerprinting library's value, to the last digit.
    EXPECT_EQ(env.Text("String(sum(short, 4500, 5000) === chromium.audio)"), "true");
    // The one-second rendering of the same graph starts as the short one did; past the
    // recording's end the wave's last recorded period goes on.
    EXPECT_EQ(env.Text("[whole.length, sum(whole, 4500, 5000) === chromium.audio, whole[100] === short[100],"
                       " longer[44099] === whole[44099], longer[45000] === longer[45000 - 441],"
                       " sum(longer, 45000, 46000) > 100].join()"),
              "44100,true,true,true,true,true");
    // The compressor's defaults: the sum the profile carries beside the samples.
    ASSERT_TRUE(env.Add("var profile = " + Fixture("chromium.json") + ";"));
    EXPECT_EQ(env.Text("String(sum(usual, 4500, 5000) === profile.audio.sum)"), "true");
}

TEST(RecordedAudio, AnyOtherGraphIsRenderedAsWithoutTheProfile) {
    const std::string other = Render("other", 5000, 9000, kFingerprintSettings) + Render("square", 5000, 10000, "o.type = 'square';");
    std::string plain;
    {
        EnvHost env(ScriptTarget::ES2021);
        ASSERT_TRUE(env.Add(other));
        plain = env.Text("sum(other, 4500, 5000) + ' ' + sum(square, 4500, 5000)");
    }
    ProfileScope scope(Fixture("chromium.json"));
    EnvHost env(ScriptTarget::ES2021);
    ASSERT_TRUE(env.Add(other));
    EXPECT_EQ(env.Text("sum(other, 4500, 5000) + ' ' + sum(square, 4500, 5000)"), plain);
    EXPECT_NE(plain.find(' '), std::string::npos);
}

TEST(RecordedAudio, ARecordingThatIsNoBase64IsIgnored) {
    ProfileScope scope(R"({"audio": {"renders": [{"graph": "triangle 10000 0 0 > compressor -50 40 12 0 0.25",
        "sampleRate": 44100, "length": 5000, "samples": "%%%"}]}})");
    EnvHost env(ScriptTarget::ES2021);
    ASSERT_TRUE(env.Add(Render("short", 5000, 10000, kFingerprintSettings)));
    EXPECT_EQ(env.Text("String(sum(short, 4500, 5000) > 1)"), "true");
}

// ---- the boxes of text ------------------------------------------------------------------

TEST(TextBoxes, TextIsLaidOutAsTheRecordedChromiumLaidItOut) {
    ProfileScope scope(Fixture("chromium.json"));
    EnvHost env(ScriptTarget::ES2021);
    LoadAnswers(env);
    ASSERT_TRUE(env.Add(Fixture("layout_probe.js"))) << env.ErrorDescription();
    ASSERT_TRUE(env.Add("var ours = JSON.parse(layoutProbe), names = Object.keys(chromium.layout), differ = [];"
                        "names.forEach(function (n) { if (JSON.stringify(ours[n]) !== JSON.stringify(chromium.layout[n]))"
                        " differ.push(n + ': ' + JSON.stringify(ours[n]) + ' / ' + JSON.stringify(chromium.layout[n])); });"));
    EXPECT_EQ(env.Text("names.length"), "36");
    // Kerning that depends on more than a pair leaves one line 0.36 px wider than Chromium's.
    EXPECT_EQ(env.Text("differ.join('\\n')"), "serif 20px: [207.828125,208,22,0] / [207.46875,207,22,0]");
}

// The font probes as the common fingerprinting library makes them: each preset's width in
// a wide block of a frame, and a font found when text in it is not as wide as in the base.
const char* kFontProbes = R"JS(
    var frame = document.createElement('iframe'); document.body.appendChild(frame);
    var doc = frame.contentWindow.document, container = doc.createElement('div');
    doc.body.style.width = '4000px'; doc.body.appendChild(container);
    var presets = {default: {}, apple: {font: '-apple-system-body'}, serif: {fontFamily: 'serif'}, sans: {fontFamily: 'sans-serif'},
        mono: {fontFamily: 'monospace'}, min: {fontSize: '1px'}, system: {fontFamily: 'system-ui'}}, elements = {}, widths = {};
    Object.keys(presets).forEach(function (k) {
        var e = doc.createElement('span'); e.textContent = 'mmMwWLliI0fiflO&1'; e.style.whiteSpace = 'nowrap';
        Object.keys(presets[k]).forEach(function (n) { e.style[n] = presets[k][n]; });
        elements[k] = e; container.append(doc.createElement('br'), e);
    });
    Object.keys(presets).forEach(function (k) { widths[k] = Math.floor(elements[k].getBoundingClientRect().width * 1000) / 1000; });
    function found(list) {
        var holder = doc.createElement('div'), bases = ['monospace', 'sans-serif', 'serif'];
        doc.body.style.fontSize = '48px'; doc.body.appendChild(holder);
        function span(family) {
            var s = doc.createElement('span'); s.style.position = 'absolute'; s.style.fontFamily = family;
            s.textContent = 'mmMwWLliI0O&1'; holder.appendChild(s); return s;
        }
        var base = bases.map(span), spans = list.map(function (f) { return bases.map(function (b) { return span("'" + f + "'," + b); }); });
        return list.filter(function (f, n) {
            return bases.some(function (b, i) { return spans[n][i].offsetWidth !== base[i].offsetWidth || spans[n][i].offsetHeight !== base[i].offsetHeight; });
        });
    }
    var probed = ['Calibri', 'SimHei', 'Marlett', 'MS UI Gothic', 'Segoe UI Light', 'Helvetica Neue', 'Menlo', 'Courier New',
        'WenQuanYi Micro Hei', 'No Such Font'];
)JS";

TEST(TextBoxes, TheFontProbesGiveTheRecordedBrowsersValues) {
    ProfileScope scope(Fixture("chromium.json"));
    EnvHost env(ScriptTarget::ES2021);
    LoadAnswers(env);
    ASSERT_TRUE(env.Add(kFontProbes)) << env.ErrorDescription();
    EXPECT_EQ(env.Text("JSON.stringify(widths) === JSON.stringify(chromium.fontPreferences)"), "true") << env.Text("JSON.stringify(widths)");
    // Of the library's list, that Chromium has none; of the fonts it has, each is found.
    EXPECT_EQ(env.Text("found(probed).join()"), "Courier New,WenQuanYi Micro Hei");
}

TEST(TextBoxes, TheBuiltInPersonaMeasuresAsChromeOnWindows) {
    EnvHost env(ScriptTarget::ES2021);
    ASSERT_TRUE(env.Add(kFontProbes)) << env.ErrorDescription();
    // Times New Roman, Arial and Consolas at Chrome's default sizes (16 px, 13 px for a
    // bare monospace).
    EXPECT_EQ(env.Text("[widths.default, widths.apple, widths.serif, widths.sans, widths.mono, widths.system].join()"),
              "149.312,149.312,149.312,144.015,121.515,144.015");
    // A font is found by its width exactly when the font check says it is there.
    EXPECT_EQ(env.Text("found(probed).join()"), "Calibri,SimHei,Courier New");
    EXPECT_EQ(env.Text("probed.filter(function (f) { return document.fonts.check('12px \"' + f + '\"'); }).join()"),
              "Calibri,SimHei,Courier New");
}

TEST(TextBoxes, ElementsWithoutABoxAndBlocks) {
    EnvHost env(ScriptTarget::ES2021);
    ASSERT_TRUE(env.Add("var s = document.createElement('span'); s.textContent = 'some text';"
                        "var d = document.createElement('div'); d.appendChild(s); var c = document.createElement('canvas');"));
    // Out of the document: no box.
    EXPECT_EQ(env.Text("[s.offsetWidth, s.offsetHeight, d.offsetWidth, s.getBoundingClientRect().width].join()"), "0,0,0,0");
    ASSERT_TRUE(env.Add("document.body.appendChild(d); document.body.appendChild(c);"));
    // In it: the span as wide as its text, an inline element has no client area, the block as
    // wide as the body (the window less its margins) and as high as its line.
    EXPECT_EQ(env.Text("[s.offsetWidth > 40, s.offsetHeight, s.clientWidth, d.offsetWidth === innerWidth - 16, d.clientWidth === d.offsetWidth,"
                       " d.offsetHeight, document.body.offsetWidth === innerWidth - 16].join()"),
              "true,17,0,true,true,18,true");
    ASSERT_TRUE(env.Add("d.style.setProperty('display', 'none', 'important');"));
    EXPECT_EQ(env.Text("[s.offsetWidth, d.offsetHeight, d.style.getPropertyValue('display'), d.style.getPropertyPriority('display')].join()"),
              "0,0,none,important");
    ASSERT_TRUE(env.Add("d.style.removeProperty('display'); d.style.width = '100px'; s.textContent = 'word '.repeat(50);"));
    // A block of its own width breaks its text into lines between words; a word wider than
    // the block stays on one line.
    EXPECT_EQ(env.Text("[d.offsetWidth, d.offsetHeight > 18 * 5, d.style.display].join()"), "100,true,");
    ASSERT_TRUE(env.Add("s.textContent = 'x'.repeat(100);"));
    EXPECT_EQ(env.Text("[d.offsetHeight, s.offsetWidth > 300].join()"), "18,true");
}

TEST(TextBoxes, TheJScriptTargetKeepsItsZeroSizes) {
    EnvHost env(ScriptTarget::JScript58);
    EXPECT_EQ(env.Text("var s = document.createElement('span'); s.innerText = 'text'; document.body.appendChild(s);"
                       " [s.offsetWidth, s.offsetHeight, s.clientWidth].join()"),
              "0,0,0");
}

// ---- other answers ------------------------------------------------------------------------

TEST(OtherAnswers, TheRecordedCardsPrecisionsAndParameters) {
    ProfileScope scope(Fixture("chromium.json"));
    EnvHost env(ScriptTarget::ES2021);
    EXPECT_EQ(env.Text("var gl = document.createElement('canvas').getContext('webgl'), p = function (s, k) {"
                       " var f = gl.getShaderPrecisionFormat(gl[s], gl[k]); return [f.rangeMin, f.rangeMax, f.precision].join(' '); };"
                       "[p('VERTEX_SHADER', 'LOW_FLOAT'), p('FRAGMENT_SHADER', 'MEDIUM_INT'), p('FRAGMENT_SHADER', 'HIGH_FLOAT'),"
                       " gl.getParameter(gl.SUBPIXEL_BITS), gl.getParameter(gl.IMPLEMENTATION_COLOR_READ_FORMAT),"
                       " gl.getParameter(gl.IMPLEMENTATION_COLOR_READ_TYPE)].join()"),
              "15 15 10,15 14 0,127 127 23,4,6408,5121");
}

TEST(OtherAnswers, WebGlsOwnStateAnswersAsChromesDoes) {
    EnvHost env(ScriptTarget::ES2021);
    ASSERT_TRUE(env.Add("var gl = document.createElement('canvas').getContext('webgl'), p = function (n) { return String(gl.getParameter(n)); };"));
    // Recorded in Chromium: the stencil masks all ones without a stencil buffer, WebGL's
    // pixel-store flags at their defaults, no compressed formats.
    EXPECT_EQ(env.Text("[gl.STENCIL_VALUE_MASK, gl.STENCIL_WRITEMASK, gl.STENCIL_BACK_VALUE_MASK, gl.STENCIL_BACK_WRITEMASK,"
                       " gl.UNPACK_FLIP_Y_WEBGL, gl.UNPACK_PREMULTIPLY_ALPHA_WEBGL, gl.UNPACK_COLORSPACE_CONVERSION_WEBGL,"
                       " gl.COMPRESSED_TEXTURE_FORMATS].map(p).join()"),
              "4294967295,4294967295,4294967295,4294967295,false,false,37444,");
    // They follow what the script sets.
    ASSERT_TRUE(env.Add("gl.stencilMaskSeparate(gl.BACK, 15); gl.stencilFunc(gl.ALWAYS, 1, 7); gl.pixelStorei(gl.UNPACK_FLIP_Y_WEBGL, true);"
                        "gl.pixelStorei(gl.UNPACK_COLORSPACE_CONVERSION_WEBGL, gl.NONE);"));
    EXPECT_EQ(env.Text("[gl.STENCIL_WRITEMASK, gl.STENCIL_BACK_WRITEMASK, gl.STENCIL_VALUE_MASK, gl.STENCIL_BACK_VALUE_MASK,"
                       " gl.UNPACK_FLIP_Y_WEBGL, gl.UNPACK_COLORSPACE_CONVERSION_WEBGL].map(p).join()"),
              "4294967295,15,7,7,true,0");
}

TEST(OtherAnswers, ExtensionsAreObjectsOfTheirOwnWithTheirConstantsAndLimits) {
    ProfileScope scope(Fixture("chromium.json"));
    EnvHost env(ScriptTarget::ES2021);
    ASSERT_TRUE(env.Add("var gl = document.createElement('canvas').getContext('webgl');"
                        "var before = String(gl.getParameter(34852)), e = gl.getExtension('WEBGL_draw_buffers');"));
    // As the fingerprinting library lists them: constants on the prototype, one object for
    // every call, and the card's limit once the page has the extension.
    EXPECT_EQ(env.Text("[Object.prototype.toString.call(e), e === gl.getExtension('webgl_draw_buffers'), Object.keys(e).length,"
                       " Object.keys(Object.getPrototypeOf(e)).length, e.COLOR_ATTACHMENT15_WEBGL, before,"
                       " gl.getParameter(e.MAX_DRAW_BUFFERS_WEBGL), gl.getParameter(e.DRAW_BUFFER0_WEBGL)].join()"),
              "[object WebGLDrawBuffers],true,0,34,36079,null,8,1029");
}

TEST(OtherAnswers, TheNetworkIsTheProfiles) {
    ProfileScope scope(Fixture("chromium.json"));
    EnvHost env(ScriptTarget::ES2021);
    ASSERT_TRUE(env.Add("var profile = " + Fixture("chromium.json") + ";"));
    EXPECT_EQ(env.Text("var c = navigator.connection, p = profile.navigator.connection;"
                       " [c.effectiveType === p.effectiveType, c.rtt === p.rtt, c.downlink === p.downlink, c.saveData === p.saveData,"
                       " c.rtt !== 50 || c.downlink !== 10].join()"),
              "true,true,true,true,true");
}

TEST(OtherAnswers, NodesAndTextGoInWhereScriptsPutThem) {
    EnvHost env(ScriptTarget::ES2021);
    ASSERT_TRUE(env.Add("var d = document.createElement('div'), b = document.createElement('b'), i = document.createElement('i');"
                        "d.append(b, 'tail'); d.prepend('head', document.createElement('br')); b.before('<'); b.after(i, '>');"));
    EXPECT_EQ(env.Text("d.innerHTML"), "head<br>&lt;<b></b><i></i>&gt;tail");
    ASSERT_TRUE(env.Add("i.replaceWith('x', 'y'); b.remove(); d.append();"));
    EXPECT_EQ(env.Text("d.innerHTML + ' ' + d.childNodes.length"), "head<br>&lt;xy&gt;tail 7");
}

}  // namespace
}  // namespace qy::test
