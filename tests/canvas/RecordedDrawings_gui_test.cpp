// A real browser's drawings: with a profile that holds the images a Chromium drew for the
// common fingerprint drawings (pages/drawings.chromium.json, recorded by
// pages/record_drawings.sh), the same drawing made by a page gives that browser's data
// address and pixels; any other drawing gives our own.
#include <gtest/gtest.h>

#include <QByteArray>
#include <QImage>

#include <filesystem>
#include <fstream>
#include <sstream>

#include "canvas/QtCanvas.h"
#include "common/TestSupport.h"
#include "env/EnvTestSupport.h"
#include "env/PageHost.h"

namespace qy::test {
namespace {

using script::ScriptTarget;

std::string ReadPage(const char* name) {
    std::filesystem::path pages = std::filesystem::path(__FILE__).parent_path() / "pages";
    if (!std::filesystem::exists(pages)) pages = std::filesystem::path(SourceDir()) / "tests/canvas/pages";
    std::ifstream in(pages / name, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The drawings as the common fingerprinting library makes them (its text image twice, as
// it checks that the canvas is stable, then its geometry image).
const char* kFingerprintDrawings = R"JS(
    var c = document.createElement('canvas'); c.width = 1; c.height = 1;
    var ctx = c.getContext('2d');
    ctx.rect(0, 0, 10, 10); ctx.rect(2, 2, 6, 6); var winding = !ctx.isPointInPath(5, 5, 'evenodd');
    var text = 'Cwm fjordbank gly ' + String.fromCharCode(55357, 56835);
    c.width = 240; c.height = 60;
    ctx.textBaseline = 'alphabetic'; ctx.fillStyle = '#f60'; ctx.fillRect(100, 1, 62, 20);
    ctx.fillStyle = '#069'; ctx.font = '11pt "Times New Roman"'; ctx.fillText(text, 2, 15);
    ctx.fillStyle = 'rgba(102, 204, 0, 0.2)'; ctx.font = '18pt Arial'; ctx.fillText(text, 4, 45);
    var textImage = c.toDataURL(), textAgain = c.toDataURL();
    c.width = 122; c.height = 110;
    ctx.globalCompositeOperation = 'multiply';
    var circles = [['#f2f', 40, 40], ['#2ff', 80, 40], ['#ff2', 60, 80]];
    for (var n = 0; n < circles.length; n++) {
        var p = circles[n];
        ctx.fillStyle = p[0]; ctx.beginPath(); ctx.arc(p[1], p[2], 40, 0, Math.PI * 2, true); ctx.closePath(); ctx.fill();
    }
    ctx.fillStyle = '#f9c'; ctx.arc(60, 60, 60, 0, Math.PI * 2, true); ctx.arc(60, 60, 20, 0, Math.PI * 2, true);
    ctx.fill('evenodd');
    var geometryImage = c.toDataURL();
)JS";

// The same checksum of RGBA bytes in the script and here.
const char* kChecksum = "function checksum(d) { var s = 0; for (var i = 0; i < d.length; i++) s = (s * 31 + d[i]) % 1000000007; return s; }";
long long Checksum(const QImage& image) {
    QImage rgba = image.convertToFormat(QImage::Format_RGBA8888);
    long long s = 0;
    for (int y = 0; y < rgba.height(); ++y) {
        const uchar* line = rgba.constScanLine(y);
        for (int i = 0; i < rgba.width() * 4; ++i) s = (s * 31 + line[i]) % 1000000007;
    }
    return s;
}

class RecordedDrawings : public testing::TestWithParam<ScriptTarget> {
protected:
    void SetUp() override {
        canvas::UseQtCanvas();
        recorded = ReadPage("drawings.chromium.json");
        ASSERT_NE(recorded.find("\"drawings\""), std::string::npos);
    }
    void TearDown() override {
        env::SetPageSetup({});
        env::SetCanvasFactory(nullptr);
    }
    std::unique_ptr<EnvHost> Host(const std::string& profile) {
        env::PageSetup setup;
        setup.profile = text::Utf8ToUtf16(profile);
        env::SetPageSetup(std::move(setup));
        return std::make_unique<EnvHost>(GetParam());
    }
    /// The data address of the recorded drawing `n` (0: the collector's own, 1: text, 2: geometry).
    std::string Recorded(EnvHost& env, int n) {
        return env.Text("(function () { var d = " + recorded + "; return d.canvas.drawings[" + std::to_string(n) + "].dataURL; })()");
    }
    std::string recorded;
};

TEST_P(RecordedDrawings, TheSameDrawingGivesTheBrowsersImage) {
    auto env = Host(recorded);
    ASSERT_TRUE(env->Add(kFingerprintDrawings)) << env->ErrorDescription();
    std::string text = Recorded(*env, 1), geometry = Recorded(*env, 2);
    ASSERT_GT(text.size(), 1000u);
    EXPECT_EQ(env->Text("textImage"), text);
    EXPECT_EQ(env->Text("textAgain"), text);
    EXPECT_EQ(env->Text("geometryImage"), geometry);
    EXPECT_TRUE(env->True("winding"));
    // The pixels a script reads are the browser's too.
    QImage image;
    QByteArray base64 = QByteArray::fromStdString(geometry.substr(geometry.find(',') + 1));
    ASSERT_TRUE(image.loadFromData(QByteArray::fromBase64(base64)));
    ASSERT_TRUE(env->Add(kChecksum));
    EXPECT_EQ(env->Text("checksum(ctx.getImageData(0, 0, 122, 110).data)"), std::to_string(Checksum(image)));
    // Drawing on goes on from the browser's pixels, and the image is ours from then on.
    ASSERT_TRUE(env->Add("ctx.globalCompositeOperation = 'source-over'; ctx.fillStyle = '#ff0000'; ctx.fillRect(0, 0, 10, 10);"
                         "var after = ctx.getImageData(5, 5, 1, 1).data;"));
    EXPECT_EQ(env->Text("[after[0], after[1], after[2], after[3], c.toDataURL() !== geometryImage,"
                        " checksum(ctx.getImageData(0, 0, 122, 110).data) !== " + std::to_string(Checksum(image)) + "].join()"),
              "255,0,0,255,true,true");
}

TEST_P(RecordedDrawings, AnyOtherDrawingIsOurOwn) {
    auto env = Host(recorded);
    // One argument other than the recording's, and the canvas draws for itself.
    ASSERT_TRUE(env->Add("var c = document.createElement('canvas'); c.width = 122; c.height = 110; var ctx = c.getContext('2d');"
                         "ctx.globalCompositeOperation = 'multiply'; ctx.fillStyle = '#f2f'; ctx.beginPath();"
                         "ctx.arc(41, 40, 40, 0, Math.PI * 2, true); ctx.closePath(); ctx.fill(); var mine = c.toDataURL();"));
    std::string mine = env->Text("mine");
    EXPECT_EQ(mine.rfind("data:image/png;base64,", 0), 0u);
    EXPECT_NE(mine, Recorded(*env, 2));
    // Another canvas's pixels cannot be written down: the drawing is never matched.
    ASSERT_TRUE(env->Add("var d = document.createElement('canvas'); d.width = 240; d.height = 60; var g = d.getContext('2d');"
                         "g.drawImage(c, 0, 0); g.textBaseline = 'top'; g.font = '14px Arial'; g.fillStyle = '#f60';"
                         "g.fillRect(125, 1, 62, 20);"));
    EXPECT_NE(env->Text("d.toDataURL()"), Recorded(*env, 0));
    // The same drawing without the profile: our own image.
    auto plain = Host("{}");
    ASSERT_TRUE(plain->Add(kFingerprintDrawings)) << plain->ErrorDescription();
    EXPECT_EQ(plain->Text("textImage === textAgain"), "true");
    EXPECT_NE(plain->Text("geometryImage"), Recorded(*env, 2));
}

TEST_P(RecordedDrawings, AnImageOfAnotherSizeIsNotUsed) {
    // The recorded geometry image said to be the text drawing's: 122×110 on a 240×60 canvas.
    std::string geometryUrl;
    {
        auto env = Host(recorded);
        geometryUrl = Recorded(*env, 2);
    }
    auto env = Host(R"J({"canvas": {"drawings": [{"calls": "240x60;fillStyle=\"#f60\";fillRect(100,1,62,20)", "dataURL": ")J" +
                    geometryUrl + R"J("}]}})J");
    EXPECT_EQ(env->Text("var c = document.createElement('canvas'); c.width = 240; c.height = 60; var ctx = c.getContext('2d');"
                        "ctx.fillStyle = '#f60'; ctx.fillRect(100, 1, 62, 20); var p = ctx.getImageData(120, 10, 1, 1).data;"
                        "[c.toDataURL() === '" + geometryUrl + "', p.join()].join()"),
              "false,255,102,0,255");
}

TEST_P(RecordedDrawings, AProfileOfTheCollectorsFirstVersionStillGivesItsImage) {
    // That version kept one image, of the drawing it made itself (the same calls as today's first).
    std::string url;
    {
        auto env = Host(recorded);
        url = Recorded(*env, 0);
    }
    auto env = Host(R"J({"canvas": {"textWidth": 224, "dataURL": ")J" + url + R"J("}})J");
    ASSERT_TRUE(env->Add("var c = document.createElement('canvas'); c.width = 240; c.height = 60; var g = c.getContext('2d');"
                         "g.textBaseline = 'top'; g.font = '14px Arial'; g.fillStyle = '#f60'; g.fillRect(125, 1, 62, 20);"
                         "g.fillStyle = '#069'; g.fillText('Cwm fjordbank glyphs vext quiz, ' + String.fromCharCode(55357, 56835), 2, 15);"
                         "g.fillStyle = 'rgba(102, 204, 0, 0.7)'; g.fillText('Cwm fjordbank glyphs vext quiz', 4, 17);"));
    EXPECT_EQ(env->Text("c.toDataURL()"), url);
}

INSTANTIATE_TEST_SUITE_P(Targets, RecordedDrawings, testing::Values(ScriptTarget::JScript58, ScriptTarget::ES2021),
                         TargetName);

}  // namespace
}  // namespace qy::test
