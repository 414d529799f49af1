// The user's own browser: a profile their Chrome printed, read back through every
// member it sets; WebGL's answers with and without one; audio rendered the same way
// every run.
#include "common/TestSupport.h"
#include "env/EnvTestSupport.h"
#include "env/PageHost.h"

namespace qy::test {
namespace {

using script::ScriptTarget;

struct ProfileScope {
    explicit ProfileScope(const char16_t* json) {
        env::PageSetup setup;
        setup.profile = json;
        env::SetPageSetup(std::move(setup));
    }
    ~ProfileScope() { env::SetPageSetup({}); }
};

const char16_t* kProfile = uR"json({
  "navigator": {"userAgent": "Mozilla/5.0 (Macintosh; Intel Mac OS X 10_15_7) Test/1", "platform": "MacIntel",
    "language": "fr-FR", "languages": ["fr-FR", "fr", "en"], "vendor": "Google Inc.", "hardwareConcurrency": 10,
    "deviceMemory": 4, "maxTouchPoints": 5, "doNotTrack": "1", "pdfViewerEnabled": false, "productSub": "20030107",
    "plugins": [{"name": "Only Viewer", "filename": "only.so", "description": "one",
                 "mimeTypes": [{"type": "application/x-one", "suffixes": "one", "description": "One"}]}],
    "userAgentData": {"brands": [{"brand": "Google Chrome", "version": "131"}], "mobile": false, "platform": "macOS",
                      "highEntropy": {"architecture": "arm", "platformVersion": "14.1.0"}}},
  "screen": {"width": 1512, "height": 982, "availWidth": 1512, "availHeight": 944, "colorDepth": 30, "pixelDepth": 30},
  "window": {"innerWidth": 1400, "innerHeight": 800, "outerWidth": 1512, "outerHeight": 944, "devicePixelRatio": 2},
  "document": {"referrer": "https://www.example.org/from"},
  "webgl": {"parameters": {"UNMASKED_VENDOR_WEBGL": "Google Inc. (Apple)", "UNMASKED_RENDERER_WEBGL": "ANGLE (Apple, M2)",
                           "MAX_TEXTURE_SIZE": 8192, "MAX_VIEWPORT_DIMS": [8192, 8192]},
            "extensions": ["WEBGL_debug_renderer_info", "OES_texture_float"],
            "contextAttributes": {"alpha": true, "antialias": false}},
  "audio": {"sum": 124.04347527516074},
  "fonts": ["Helvetica", "PingFang SC", "Menlo"],
  "speech": {"voices": [["Samantha", "en-US", true, false], ["Thomas", "fr-FR", true, true]]}
})json";

class Profile : public testing::TestWithParam<ScriptTarget> {};

TEST_P(Profile, EveryMemberItSetsReadsBack) {
    ProfileScope scope(kProfile);
    EnvHost env(GetParam());
    EXPECT_EQ(env.Text("[navigator.userAgent, navigator.appVersion, navigator.platform, navigator.language,"
                       " navigator.languages.join('+'), navigator.hardwareConcurrency, navigator.deviceMemory,"
                       " navigator.maxTouchPoints, navigator.doNotTrack, navigator.pdfViewerEnabled].join('|')"),
              "Mozilla/5.0 (Macintosh; Intel Mac OS X 10_15_7) Test/1|5.0 (Macintosh; Intel Mac OS X 10_15_7) Test/1|"
              "MacIntel|fr-FR|fr-FR+fr+en|10|4|5|1|false");
    EXPECT_EQ(env.Text("[navigator.plugins.length, navigator.plugins[0].name, navigator.plugins[0][0].type,"
                       " navigator.mimeTypes[0].enabledPlugin === navigator.plugins[0]].join('|')"),
              "1|Only Viewer|application/x-one|true");
    EXPECT_EQ(env.Text("[screen.width, screen.height, screen.availHeight, screen.colorDepth, innerWidth, innerHeight,"
                       " outerWidth, outerHeight, devicePixelRatio, document.referrer].join('|')"),
              "1512|982|944|30|1400|800|1512|944|2|https://www.example.org/from");
    EXPECT_EQ(env.Text("var gl = document.createElement('canvas').getContext('webgl'), d = gl.getExtension('WEBGL_debug_renderer_info');"
                       "[gl.getParameter(d.UNMASKED_VENDOR_WEBGL), gl.getParameter(d.UNMASKED_RENDERER_WEBGL),"
                       " gl.getParameter(gl.MAX_TEXTURE_SIZE), gl.getParameter(gl.MAX_VIEWPORT_DIMS).join('x'),"
                       " gl.getSupportedExtensions().join('+'), String(gl.getExtension('EXT_frag_depth')),"
                       " gl.getContextAttributes().antialias].join('|')"),
              "Google Inc. (Apple)|ANGLE (Apple, M2)|8192|8192x8192|WEBGL_debug_renderer_info+OES_texture_float|null|false");
    EXPECT_EQ(env.Text("[document.fonts.check('12px Helvetica'), document.fonts.check(\"12px 'PingFang SC', serif\"),"
                       " document.fonts.check('bold 12px Arial'), document.fonts.check('12px monospace')].join()"),
              "true,true,false,true");
    if (GetParam() == ScriptTarget::ES2021) {
        ASSERT_TRUE(env.Add("var hints; navigator.userAgentData.getHighEntropyValues(['architecture', 'platformVersion', 'model'])"
                            ".then(function (h) { hints = h; });"
                            "var sum; var ac = new OfflineAudioContext(1, 5000, 44100), o = ac.createOscillator(),"
                            " c = ac.createDynamicsCompressor(); o.type = 'triangle'; o.frequency.value = 10000;"
                            " o.connect(c); c.connect(ac.destination); o.start(0);"
                            "ac.startRendering().then(function (b) { var d = b.getChannelData(0); sum = 0;"
                            " for (var i = 4500; i < 5000; i++) sum += Math.abs(d[i]); });"));
        EXPECT_EQ(env.Text("JSON.stringify(navigator.userAgentData) + ' ' + JSON.stringify(hints)"),
                  "{\"brands\":[{\"brand\":\"Google Chrome\",\"version\":\"131\"}],\"mobile\":false,\"platform\":\"macOS\"} "
                  "{\"brands\":[{\"brand\":\"Google Chrome\",\"version\":\"131\"}],\"mobile\":false,\"platform\":\"macOS\","
                  "\"architecture\":\"arm\",\"platformVersion\":\"14.1.0\"}");
        EXPECT_EQ(env.Text("sum.toFixed(4)"), "124.0435");
        EXPECT_EQ(env.Text("speechSynthesis.getVoices().map(function (v) {"
                           " return [v.name, v.lang, v.localService, v.default, v.voiceURI].join(); }).join('|')"),
                  "Samantha,en-US,true,false,Samantha|Thomas,fr-FR,true,true,Thomas");
    }
}

// Without a profile: the voices of Chrome on a Chinese Windows, ready at the first call,
// the system's first (and the default), then Chrome's online ones.
TEST(ProfileDefaults, SpeechHasTheVoicesOfChromeOnAChineseWindows) {
    EnvHost env(ScriptTarget::ES2021);
    EXPECT_EQ(env.Text("var s = speechSynthesis, v = s.getVoices();"
                       "[String(s), s instanceof EventTarget, s.pending, s.speaking, s.paused, s.onvoiceschanged, v.length,"
                       " String(v[0]), v[0] instanceof SpeechSynthesisVoice, Object.keys(v[0]).length, v[0].name, v[0].default,"
                       " v[0].localService, v.filter(function (x) { return x.default; }).length,"
                       " v.filter(function (x) { return !x.localService; }).length, s.getVoices()[4] === v[4],"
                       " String(s.speak(new SpeechSynthesisUtterance('\u4f60\u597d')))].join('|')"),
              "[object SpeechSynthesis]|true|false|false|false||22|[object SpeechSynthesisVoice]|true|0|"
              "Microsoft Huihui - Chinese (Simplified, PRC)|true|true|1|19|true|undefined");
    EXPECT_EQ(env.Text("speechSynthesis.getVoices().filter(function (v) { return v.lang === 'zh-CN'; })"
                       ".map(function (v) { return v.name; }).join('|')"),
              "Microsoft Huihui - Chinese (Simplified, PRC)|Microsoft Kangkang - Chinese (Simplified, PRC)|"
              "Microsoft Yaoyao - Chinese (Simplified, PRC)|Google \u666e\u901a\u8bdd\uff08\u4e2d\u56fd\u5927\u9646\uff09");
}

TEST_P(Profile, WithoutOneWebGlAnswersAsACommonDesktop) {
    EnvHost env(GetParam());
    EXPECT_EQ(env.Text("var gl = document.createElement('canvas').getContext('webgl'); [gl.getParameter(gl.VENDOR),"
                       " gl.getParameter(gl.RENDERER), gl.getParameter(gl.VERSION), gl.getParameter(37446).indexOf('ANGLE'),"
                       " gl.getShaderPrecisionFormat(gl.FRAGMENT_SHADER, gl.HIGH_FLOAT).precision,"
                       " gl.getShaderPrecisionFormat(gl.VERTEX_SHADER, gl.HIGH_INT).rangeMax,"
                       " gl.getExtension('WEBGL_debug_renderer_info').UNMASKED_RENDERER_WEBGL,"
                       " gl === gl.canvas.getContext('webgl')].join('|')"),
              "WebKit|WebKit WebGL|WebGL 1.0 (OpenGL ES 2.0 Chromium)|0|23|30|37446|true");
    EXPECT_EQ(env.Text("document.createElement('canvas').getContext('webgl2').getParameter(7938)"),
              "WebGL 2.0 (OpenGL ES 3.0 Chromium)");
    EXPECT_EQ(env.Text("[document.fonts.check('12px Arial'), document.fonts.check('12px \"Microsoft YaHei\"'),"
                       " document.fonts.check('12px Helvetica')].join()"),
              "true,true,false");
}

TEST_P(Profile, AProfileThatIsNoJsonIsRefusedAndSaidSo) {
    ProfileScope scope(u"{\"navigator\": ");
    EnvHost env(GetParam());
    EXPECT_EQ(env.Text("navigator.platform"), "Win32");
    bool said = false;
    for (const auto& l : env.lines) said = said || l.find("不是有效的 JSON") != std::string::npos;
    EXPECT_TRUE(said);
}

TEST(ProfileZone, DatesFollowTheProfilesTimeZoneAndComeBackWithoutIt) {
    std::string before;
    {
        EnvHost plain(ScriptTarget::ES2021);
        before = plain.Text("new Date(2024, 6, 1).getTimezoneOffset() + ' ' + Intl.DateTimeFormat().resolvedOptions().timeZone");
    }
    {
        ProfileScope scope(uR"({"timeZone": {"name": "America/New_York"}})");
        EnvHost env(ScriptTarget::ES2021);
        EXPECT_EQ(env.Text("new Date(2024, 0, 1).getTimezoneOffset() + ' ' + new Date(2024, 6, 1).getTimezoneOffset() + ' ' +"
                           " Intl.DateTimeFormat().resolvedOptions().timeZone"),
                  "300 240 America/New_York");
    }
    {
        // A name the system does not know changes nothing.
        ProfileScope scope(uR"({"timeZone": {"name": "../etc/passwd"}})");
        EnvHost env(ScriptTarget::ES2021);
        EXPECT_EQ(env.Text("new Date(2024, 6, 1).getTimezoneOffset() + ' ' + Intl.DateTimeFormat().resolvedOptions().timeZone"),
                  before);
    }
    EnvHost after(ScriptTarget::ES2021);
    EXPECT_EQ(after.Text("new Date(2024, 6, 1).getTimezoneOffset() + ' ' + Intl.DateTimeFormat().resolvedOptions().timeZone"),
              before);
}

TEST(ProfileAudio, RendersTheSameSignalEveryRun) {
    auto render = [] {
        EnvHost env(ScriptTarget::ES2021);
        env.Add("var sum; var ac = new OfflineAudioContext(1, 5000, 44100), o = ac.createOscillator(), c = ac.createDynamicsCompressor();"
                "o.type = 'triangle'; o.frequency.value = 10000; o.connect(c); c.connect(ac.destination); o.start(0);"
                "ac.oncomplete = function (e) { sum = e.renderedBuffer.getChannelData(0)[4600]; };"
                "ac.startRendering();");
        return env.Text("String(sum)");
    };
    std::string first = render();
    EXPECT_NE(first, "undefined");
    EXPECT_NE(first, "0");
    EXPECT_EQ(render(), first);
}

INSTANTIATE_TEST_SUITE_P(Targets, Profile, testing::Values(ScriptTarget::JScript58, ScriptTarget::ES2021), TargetName);

}  // namespace
}  // namespace qy::test
