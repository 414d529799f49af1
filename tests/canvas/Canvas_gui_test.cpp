// Canvases that draw: the environment's 2D context against an image QPainter renders
// on its own, known pixel values, colours read back as Chrome writes them, text measured
// by the font's metrics, and data addresses that do not change from run to run.
#include <gtest/gtest.h>

#include <QFont>
#include <QFontMetricsF>
#include <QImage>
#include <QPainter>
#include <QPainterPath>

#include <filesystem>
#include <fstream>
#include <map>
#include <sstream>

#include "canvas/QtCanvas.h"
#include "env/PageHost.h"
#include "common/TestSupport.h"
#include "env/EnvTestSupport.h"

namespace qy::test {
namespace {

using script::ScriptTarget;

class Canvas : public testing::TestWithParam<ScriptTarget> {
protected:
    Canvas() {
        canvas::UseQtCanvas();
        env = std::make_unique<EnvHost>(GetParam());
    }
    ~Canvas() override { env::SetCanvasFactory(nullptr); }
    /// The pixel at x, y as "r,g,b,a".
    std::string Pixel(int x, int y) {
        return env->Text("(function () { var d = ctx.getImageData(" + std::to_string(x) + ", " + std::to_string(y) +
                         ", 1, 1).data; return [d[0], d[1], d[2], d[3]].join(); })()");
    }
    std::unique_ptr<EnvHost> env;
};

TEST_P(Canvas, KnownPixelValues) {
    ASSERT_TRUE(env->Add("var c = document.createElement('canvas'); c.width = 40; c.height = 30;"
                         "var ctx = c.getContext('2d'); ctx.fillStyle = 'red'; ctx.fillRect(10, 10, 10, 10);"
                         "ctx.globalAlpha = 0.5; ctx.fillStyle = '#0000ff'; ctx.fillRect(15, 15, 10, 10);"
                         "ctx.globalAlpha = 1; ctx.fillStyle = 'rgba(0, 255, 0, 0.5)'; ctx.fillRect(0, 0, 5, 5);"))
        << env->ErrorDescription();
    EXPECT_EQ(Pixel(12, 12), "255,0,0,255");
    EXPECT_EQ(Pixel(30, 5), "0,0,0,0");
    EXPECT_EQ(Pixel(22, 22), "0,0,255,128");  // half blue on nothing
    EXPECT_EQ(Pixel(17, 17), "127,0,128,255");  // half blue over red
    EXPECT_EQ(Pixel(2, 2), "0,255,0,128");
    // clearRect, a transform, and a clip.
    ASSERT_TRUE(env->Add("ctx.clearRect(10, 10, 3, 3); ctx.save(); ctx.translate(30, 0); ctx.fillStyle = '#123456';"
                         "ctx.fillRect(0, 0, 4, 4); ctx.restore(); ctx.beginPath(); ctx.rect(0, 20, 5, 5); ctx.clip();"
                         "ctx.fillStyle = 'black'; ctx.fillRect(0, 15, 40, 15);"));
    EXPECT_EQ(Pixel(11, 11), "0,0,0,0");
    EXPECT_EQ(Pixel(31, 1), "18,52,86,255");
    EXPECT_EQ(Pixel(2, 22), "0,0,0,255");
    EXPECT_EQ(Pixel(10, 27), "0,0,0,0");  // outside the clip
    // putImageData replaces, getImageData reads back exactly.
    ASSERT_TRUE(env->Add("var img = ctx.createImageData(2, 1); img.data[0] = 10; img.data[1] = 20; img.data[2] = 30;"
                         "img.data[3] = 255; img.data[7] = 0; ctx.putImageData(img, 38, 29);"));
    EXPECT_EQ(Pixel(38, 29), "10,20,30,255");
    EXPECT_EQ(Pixel(39, 29), "0,0,0,0");
}

TEST_P(Canvas, PixelsMatchAnImageQPainterDrawsItself) {
    ASSERT_TRUE(env->Add("var c = document.createElement('canvas'); c.width = 64; c.height = 48; var ctx = c.getContext('2d');"
                         "ctx.fillStyle = '#336699'; ctx.fillRect(4, 4, 30, 20);"
                         "ctx.strokeStyle = 'rgb(200, 40, 40)'; ctx.lineWidth = 3; ctx.strokeRect(36.5, 6.5, 20, 30);"
                         "ctx.beginPath(); ctx.moveTo(4, 40); ctx.lineTo(30, 28); ctx.lineTo(30, 44); ctx.closePath();"
                         "ctx.fillStyle = '#0a0'; ctx.fill();"))
        << env->ErrorDescription();
    QImage expected(64, 48, QImage::Format_ARGB32_Premultiplied);
    expected.fill(Qt::transparent);
    {
        QPainter p(&expected);
        p.setRenderHint(QPainter::Antialiasing);
        p.fillRect(QRectF(4, 4, 30, 20), QColor(0x33, 0x66, 0x99));
        p.setPen(QPen(QColor(200, 40, 40), 3, Qt::SolidLine, Qt::FlatCap, Qt::SvgMiterJoin));
        p.drawRect(QRectF(36.5, 6.5, 20, 30));
        QPainterPath tri;
        tri.moveTo(4, 40);
        tri.lineTo(30, 28);
        tri.lineTo(30, 44);
        tri.closeSubpath();
        p.fillPath(tri, QColor(0, 0xaa, 0));
    }
    QImage rgba = expected.convertToFormat(QImage::Format_RGBA8888);
    std::string all = env->Text("Array.prototype.join.call(ctx.getImageData(0, 0, 64, 48).data)");
    std::vector<int> ours;
    for (size_t at = 0; at <= all.size();) {
        size_t comma = all.find(',', at);
        ours.push_back(std::stoi(all.substr(at, comma - at)));
        if (comma == std::string::npos) break;
        at = comma + 1;
    }
    ASSERT_EQ(ours.size(), 64u * 48 * 4);
    int differing = 0;
    for (int y = 0; y < 48; ++y)
        for (int x = 0; x < 64; ++x)
            for (int k = 0; k < 4; ++k)
                if (std::abs(ours[(y * 64 + x) * 4 + k] - rgba.constScanLine(y)[x * 4 + k]) > 2) ++differing;
    EXPECT_EQ(differing, 0);
}

TEST_P(Canvas, SettingsReadBackAsChromeWritesThem) {
    ASSERT_TRUE(env->Add("var ctx = document.createElement('canvas').getContext('2d');"));
    EXPECT_EQ(env->Text("ctx.fillStyle + ' ' + ctx.font + ' ' + ctx.lineWidth + ' ' + ctx.textAlign"), "#000000 10px sans-serif 1 start");
    EXPECT_EQ(env->Text("ctx.fillStyle = 'Red'; ctx.fillStyle"), "#ff0000");
    EXPECT_EQ(env->Text("ctx.fillStyle = 'rgba(255,0,0,0.5)'; ctx.fillStyle"), "rgba(255, 0, 0, 0.5)");
    EXPECT_EQ(env->Text("ctx.fillStyle = 'hsl(120, 100%, 25%)'; ctx.fillStyle"), "#008000");
    EXPECT_EQ(env->Text("ctx.fillStyle = 'not a colour'; ctx.fillStyle"), "#008000");  // refused: kept
    EXPECT_EQ(env->Text("ctx.font = 'bold 16px Arial'; ctx.font"), "bold 16px Arial");
    EXPECT_EQ(env->Text("ctx.font = 'nonsense'; ctx.font"), "bold 16px Arial");
    EXPECT_EQ(env->Text("ctx.lineWidth = -1; ctx.lineWidth = 'x'; ctx.lineWidth"), "1");
    EXPECT_EQ(env->Text("ctx.globalCompositeOperation = 'multiply'; ctx.globalCompositeOperation = 'bogus'; ctx.globalCompositeOperation"), "multiply");
    EXPECT_EQ(env->Text("ctx.save(); ctx.lineWidth = 5; ctx.restore(); ctx.lineWidth"), "1");
    EXPECT_EQ(env->Text("ctx.setLineDash([1, 2, 3]); ctx.getLineDash().join()"), "1,2,3,1,2,3");
    // A canvas's new size clears it and its context's state.
    EXPECT_EQ(env->Text("ctx.canvas.width = 10; ctx.font + ' ' + ctx.canvas.width + 'x' + ctx.canvas.height"), "10px sans-serif 10x150");
    EXPECT_EQ(env->Text("var e; try { ctx.getImageData(0, 0, 0, 1); } catch (x) { e = x.name; } e"), "IndexSizeError");
}

TEST_P(Canvas, TextIsMeasuredByTheFontsMetrics) {
    ASSERT_TRUE(env->Add("var ctx = document.createElement('canvas').getContext('2d'); ctx.font = '20px sans-serif';"));
    QFont font;
    font.setFamilies({QStringLiteral("sans-serif")});
    font.setStyleHint(QFont::SansSerif);
    font.setPixelSize(20);
    double expected = QFontMetricsF(font).horizontalAdvance(QStringLiteral("Hello, 世界"));
    EXPECT_NEAR(std::stod(env->Text("ctx.measureText('Hello, 世界').width")), expected, 0.01);
    EXPECT_TRUE(env->True("ctx.measureText('x').width > 0 && ctx.measureText('').width === 0"));
    EXPECT_TRUE(env->True("ctx.measureText('Hg').actualBoundingBoxAscent > 0 && ctx.measureText('Hg').actualBoundingBoxDescent > 0"));
    // Text draws ink where it stands.
    ASSERT_TRUE(env->Add("ctx.fillStyle = '#000'; ctx.textBaseline = 'top'; ctx.fillText('MMMM', 0, 0);"
                         "var d = ctx.getImageData(0, 0, 60, 24).data, ink = 0; for (var i = 3; i < d.length; i += 4) if (d[i]) ink++;"));
    EXPECT_TRUE(env->True("ink > 50"));
}

TEST_P(Canvas, DataAddressesAreTheSameEveryRun) {
    auto draw = [&] {
        EnvHost fresh(GetParam());
        fresh.Add("var c = document.createElement('canvas'); c.width = 120; c.height = 40; var g = c.getContext('2d');"
                  "var lg = g.createLinearGradient(0, 0, 120, 0); lg.addColorStop(0, 'red'); lg.addColorStop(1, 'blue');"
                  "g.fillStyle = lg; g.fillRect(0, 0, 120, 40); g.font = '14px Arial'; g.fillStyle = '#f60';"
                  "g.fillText('Cwm fjordbank glyphs', 2, 20); g.beginPath(); g.arc(100, 20, 10, 0, Math.PI * 2); g.stroke();");
        return fresh.Text("c.toDataURL()");
    };
    std::string first = draw();
    EXPECT_EQ(first.rfind("data:image/png;base64,iVBORw0KGgo", 0), 0u) << first.substr(0, 40);
    EXPECT_GT(first.size(), 200u);
    EXPECT_EQ(draw(), first);
    EXPECT_EQ(env->Text("var z = document.createElement('canvas'); z.width = 0; z.toDataURL()"), "data:,");
    EXPECT_EQ(env->Text("document.createElement('canvas').toDataURL('image/jpeg').substring(0, 23)"), "data:image/jpeg;base64,");
}

std::map<std::string, std::string> Answers(const std::string& text) {
    std::map<std::string, std::string> out;
    std::istringstream in(text);
    for (std::string line; std::getline(in, line);) {
        size_t at = line.find(" => ");
        if (at != std::string::npos) out[line.substr(0, at)] = line.substr(at + 4);
    }
    return out;
}

std::string ReadFile(const std::filesystem::path& path) {
    std::ifstream in(path, std::ios::binary);
    std::ostringstream s;
    s << in.rdbuf();
    return s.str();
}

// The same checks a headless Chromium answered once (pages/canvas.chromium.txt).
TEST_P(Canvas, AnswersAsChromiumDid) {
    // Beside this file (as the build names it), or below the source folder.
    std::filesystem::path pages = std::filesystem::path(__FILE__).parent_path() / "pages";
    if (!std::filesystem::exists(pages)) pages = std::filesystem::path(SourceDir()) / "tests/canvas/pages";
    env::PageSetup setup;
    setup.html = text::Utf8ToUtf16(ReadFile(pages / "canvas.html"));
    env::SetPageSetup(std::move(setup));
    EnvHost page(GetParam(), true, "http://127.0.0.1:8765/dir/canvas.html");
    env::SetPageSetup({});
    auto chromium = Answers(ReadFile(pages / "canvas.chromium.txt"));
    auto ours = Answers(page.Text("R.join('\\n')"));
    ASSERT_GE(chromium.size(), 37u);
    for (const auto& [check, answer] : chromium) {
        // Object.prototype.toString of the gradient needs the interface's own tag.
        if (check == "gradient style") continue;
        EXPECT_EQ(ours[check], answer) << check;
    }
}

// A WebGL canvas's data address and its image on another canvas are its drawing
// buffer: top row first, not premultiplied.
TEST(WebGlCanvas, ShowsItsDrawingBuffer) {
    canvas::UseQtCanvas();
    auto image = [] {
        EnvHost env(ScriptTarget::ES2021);
        EXPECT_TRUE(env.Add("var c = document.createElement('canvas'); c.width = 20; c.height = 10;"
                            "var gl = c.getContext('webgl'); gl.clearColor(0, 0, 1, 1); gl.clear(gl.COLOR_BUFFER_BIT);"
                            "gl.enable(gl.SCISSOR_TEST); gl.scissor(0, 0, 5, 5); gl.clearColor(1, 0, 0, 0.5); gl.clear(gl.COLOR_BUFFER_BIT);"
                            "var d = document.createElement('canvas'); d.width = 20; d.height = 10; var x = d.getContext('2d');"
                            "x.drawImage(c, 0, 0); var up = x.getImageData(1, 1, 1, 1).data, low = x.getImageData(1, 8, 1, 1).data;"))
            << env.ErrorDescription();
        EXPECT_EQ(env.Text("[up[0], up[1], up[2], up[3], low[0], low[1], low[2], low[3]].join()"), "0,0,255,255,255,0,0,128");
        return env.Text("c.toDataURL()");
    };
    std::string url = image();
    env::SetCanvasFactory(nullptr);
    canvas::UseQtCanvas();
    EXPECT_EQ(image(), url);
    QImage decoded;
    ASSERT_TRUE(decoded.loadFromData(QByteArray::fromBase64(QByteArray::fromStdString(url.substr(url.find(',') + 1)))));
    EXPECT_EQ(decoded.size(), QSize(20, 10));
    EXPECT_EQ(decoded.pixelColor(1, 1), QColor(0, 0, 255));
    EXPECT_EQ(decoded.pixelColor(1, 8), QColor(255, 0, 0, 128));
    env::SetCanvasFactory(nullptr);
}

INSTANTIATE_TEST_SUITE_P(Targets, Canvas, testing::Values(ScriptTarget::JScript58, ScriptTarget::ES2021), TargetName);

}  // namespace
}  // namespace qy::test
