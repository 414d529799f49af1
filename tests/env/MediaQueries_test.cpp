// What a page learns from media queries, the screen's edges and the codec's failures,
// in the modern target as Chrome answers them, and in the old one as far as it goes.
#include "env/EnvTestSupport.h"
#include "env/PageHost.h"

namespace qy::test {
namespace {

using script::ScriptTarget;

// Queries with Chromium's answers, recorded headless with its window and screen set to
// the built-in profile's sizes (an inner window of 1920 × 945, a screen of 1920 × 1080,
// one device pixel per CSS pixel): the query, what `media` printed back, and `matches`.
struct Recorded {
    const char* query;
    const char* media;
    bool matches;
};
const Recorded kRecorded[] = {
    {"(min-width: 1000px)", "(min-width: 1000px)", true},
    {"(max-width: 1000px)", "(max-width: 1000px)", false},
    {"(MIN-WIDTH:1000PX)", "(min-width: 1000px)", true},
    {"screen and (min-width: 100em)", "screen and (min-width: 100em)", true},
    {"(width: 1920px)", "(width: 1920px)", true},
    {"(min-height: 900px) and (max-height: 1000px)", "(min-height: 900px) and (max-height: 1000px)", true},
    {"(orientation: landscape)", "(orientation: landscape)", true},
    {"(orientation: portrait)", "(orientation: portrait)", false},
    {"(min-aspect-ratio: 16/9)", "(min-aspect-ratio: 16 / 9)", true},
    {"(max-aspect-ratio: 1/1)", "(max-aspect-ratio: 1 / 1)", false},
    {"(aspect-ratio: 1920/945)", "(aspect-ratio: 1920 / 945)", true},
    {"(min-device-width: 1280px)", "(min-device-width: 1280px)", true},
    {"(max-device-height: 600px)", "(max-device-height: 600px)", false},
    {"(resolution: 1dppx)", "(resolution: 1dppx)", true},
    {"(min-resolution: 2dppx)", "(min-resolution: 2dppx)", false},
    {"(min-resolution: 96dpi)", "(min-resolution: 96dpi)", true},
    {"(-webkit-min-device-pixel-ratio: 1.5)", "(-webkit-min-device-pixel-ratio: 1.5)", false},
    {"(-webkit-device-pixel-ratio: 1)", "(-webkit-device-pixel-ratio: 1)", true},
    {"(prefers-color-scheme: light)", "(prefers-color-scheme: light)", true},
    {"(prefers-color-scheme: dark)", "(prefers-color-scheme: dark)", false},
    {"(prefers-color-scheme)", "(prefers-color-scheme)", true},
    {"(prefers-reduced-motion: no-preference)", "(prefers-reduced-motion: no-preference)", true},
    {"(prefers-reduced-motion: reduce)", "(prefers-reduced-motion: reduce)", false},
    {"(prefers-reduced-transparency: no-preference)", "(prefers-reduced-transparency: no-preference)", true},
    {"(prefers-contrast: no-preference)", "(prefers-contrast: no-preference)", true},
    {"(prefers-contrast: more)", "(prefers-contrast: more)", false},
    {"(color-gamut: srgb)", "(color-gamut: srgb)", true},
    {"(color-gamut: p3)", "(color-gamut: p3)", false},
    {"(color-gamut: rec2020)", "(color-gamut: rec2020)", false},
    {"(dynamic-range: standard)", "(dynamic-range: standard)", true},
    {"(dynamic-range: high)", "(dynamic-range: high)", false},
    {"(forced-colors: none)", "(forced-colors: none)", true},
    {"(forced-colors: active)", "(forced-colors: active)", false},
    // Chrome does not know inverted-colors: neither answer matches.
    {"(inverted-colors: none)", "(inverted-colors: none)", false},
    {"(inverted-colors: inverted)", "(inverted-colors: inverted)", false},
    {"(monochrome: 0)", "(monochrome: 0)", true},
    {"(min-monochrome: 1)", "(min-monochrome: 1)", false},
    {"(monochrome)", "(monochrome)", false},
    {"(color)", "(color)", true},
    {"(min-color: 8)", "(min-color: 8)", true},
    {"(grid)", "(grid)", false},
    {"(update: fast)", "(update: fast)", true},
    {"(display-mode: browser)", "(display-mode: browser)", true},
    {"(display-mode: standalone)", "(display-mode: standalone)", false},
    {"(scripting: enabled)", "(scripting: enabled)", true},
    {"not all and (monochrome)", "not all and (monochrome)", true},
    {"only screen and (min-width: 10px)", "only screen and (min-width: 10px)", true},
    {"print", "print", false},
    {"not print", "not print", true},
    {"SCREEN", "screen", true},
    {"tv", "tv", false},
    {"screen, print", "screen, print", true},
    {"all", "all", true},
    {"", "", true},
    {"not screen and (color), print and (color)", "not screen and (color), print and (color)", false},
    {"(max-width: 600.0px)", "(max-width: 600px)", false},
    {"(max-width: 1919.5px)", "(max-width: 1919.5px)", false},
    {"(min-width: 0)", "(min-width: 0)", true},
    {"(width > 100px)", "(width > 100px)", true},
    // What Chrome cannot read: an unknown feature or a bad value keeps its text and
    // matches nothing; a query that is no query prints as "not all".
    {"(foo: bar)", "(foo: bar)", false},
    {"(min-width: 10)", "(min-width: 10)", false},
    {"foo bar", "not all", false},
    {"screen and", "not all", false},
    {"(min-width: 10px), garbage (", "(min-width: 10px), not all", true},
};

std::string Quoted(const std::string& text) {
    std::string out = "'";
    for (char c : text) out += c == '\'' ? std::string("\\'") : std::string(1, c);
    return out + "'";
}

class MediaQueries : public testing::Test {
protected:
    EnvHost env{ScriptTarget::ES2021};
};

TEST_F(MediaQueries, AnswerAndPrintAsChromeDidForTheSameWindow) {
    for (const Recorded& r : kRecorded) {
        std::string list = "matchMedia(" + Quoted(r.query) + ")";
        EXPECT_EQ(env.Text(list + ".media"), r.media) << r.query;
        EXPECT_EQ(env.True(list + ".matches"), r.matches) << r.query;
    }
}

TEST_F(MediaQueries, AnswerAsADesktopWithAMouse) {
    // Headless Chromium has no pointing device and answers "none"; the desktop Chrome the
    // profile describes has a mouse.
    EXPECT_EQ(env.Text("['(hover: hover)', '(any-hover: hover)', '(pointer: fine)', '(any-pointer: fine)', '(hover)',"
                       " '(any-hover: none)', '(pointer: coarse)', '(any-pointer: none)']"
                       ".map(function (q) { return matchMedia(q).matches; }).join()"),
              "true,true,true,true,true,false,false,false");
}

TEST_F(MediaQueries, AListIsChromesMediaQueryList) {
    EXPECT_EQ(env.Text("(function () {"
                       "  var m = matchMedia('(color-gamut: srgb)');"
                       "  return [Object.prototype.toString.call(m), m instanceof MediaQueryList, m instanceof EventTarget,"
                       "    Object.keys(m).length, m.onchange, m.addListener.length, typeof m.addListener(function () {}),"
                       "    Object.getOwnPropertyNames(MediaQueryList.prototype).sort().join(' ')].join();"
                       "})()"),
              "[object MediaQueryList],true,true,0,,1,undefined,"
              "addListener constructor matches media onchange removeListener");
    // Listeners are taken and given back; the page's size never changes, so none is called.
    EXPECT_EQ(env.Text("(function () {"
                       "  var m = matchMedia('(min-width: 1px)'), calls = 0, f = function () { calls++; };"
                       "  m.addListener(f); m.removeListener(f); m.addEventListener('change', f);"
                       "  m.onchange = f;"
                       "  return [typeof m.onchange, calls, m.matches].join();"
                       "})()"),
              "function,0,true");
    EXPECT_EQ(env.Text("(function () { try { MediaQueryList.prototype.matches; } catch (e) { return e.message; } })()"),
              "Illegal invocation");
}

struct ProfileScope {
    explicit ProfileScope(const char16_t* json) {
        env::PageSetup setup;
        setup.profile = json;
        env::SetPageSetup(std::move(setup));
    }
    ~ProfileScope() { env::SetPageSetup({}); }
};

class MediaProfile : public testing::TestWithParam<ScriptTarget> {};

TEST_P(MediaProfile, QueriesAndTheScreensEdgesFollowTheProfile) {
    ProfileScope scope(uR"json({
      "screen": {"width": 1512, "height": 982, "availWidth": 1512, "availHeight": 944, "availTop": 38, "colorDepth": 30},
      "window": {"innerWidth": 700, "innerHeight": 800, "devicePixelRatio": 2}
    })json");
    EnvHost env(GetParam());
    EXPECT_EQ(env.Text("screen.availTop + ',' + screen.availLeft"), "38,0");
    EXPECT_EQ(env.Text("(function () { var qs = ['(orientation: portrait)', '(max-width: 700px)', '(min-width: 701px)', '(min-resolution: 2dppx)',"
                       " '(-webkit-min-device-pixel-ratio: 2)', '(resolution: 192dpi)', '(min-color: 10)', '(device-width: 1512px)',"
                       " 'screen and (max-width: 44em)'], out = [];"
                       " for (var i = 0; i < qs.length; i++) out.push(matchMedia(qs[i]).matches); return out.join(); })()"),
              "true,true,false,true,true,true,true,true,true");
    EXPECT_EQ(env.Text("matchMedia('screen and (MAX-WIDTH:100PX), (color)').media"), "screen and (max-width: 100px), (color)");
}

INSTANTIATE_TEST_SUITE_P(Targets, MediaProfile, testing::Values(ScriptTarget::JScript58, ScriptTarget::ES2021), TargetName);

TEST(ScreenEdges, AreOnTheScreensPrototypeAsInChrome) {
    EnvHost env(ScriptTarget::ES2021);
    EXPECT_EQ(env.Text("[screen.availTop, screen.availLeft, Object.keys(screen).length,"
                       " typeof Object.getOwnPropertyDescriptor(Screen.prototype, 'availLeft').get].join()"),
              "0,0,0,function");
}

TEST(CodecErrors, AreDomExceptionsInChromesWords) {
    EnvHost env(ScriptTarget::ES2021);
    auto failure = [&](const std::string& call) {
        return env.Text("(function () { try { " + call + "; return 'no error'; } catch (e) {"
                        " return [e.constructor.name, e instanceof DOMException, e instanceof Error, e.name, e.code, e.message].join('|'); } })()");
    };
    EXPECT_EQ(failure("atob('%')"), "DOMException|true|true|InvalidCharacterError|5|"
                                    "Failed to execute 'atob' on 'Window': The string to be decoded is not correctly encoded.");
    EXPECT_EQ(failure("btoa('\\u4e2d')"), "DOMException|true|true|InvalidCharacterError|5|"
                                          "Failed to execute 'btoa' on 'Window': The string to be encoded contains characters "
                                          "outside of the Latin1 range.");
    // The page objects' other failures are DOMExceptions too.
    EXPECT_EQ(failure("document.body.removeChild(document.createElement('p'))"),
              "DOMException|true|true|NotFoundError|8|"
              "Failed to execute 'removeChild' on 'Node': The node to be removed is not a child of this node.");
    EXPECT_EQ(env.Text("atob(' YW Jj ') + btoa('\\xff')"), "abc/w==");
}

}  // namespace
}  // namespace qy::test
