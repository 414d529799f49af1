// WebGL's software contexts on their own: a clear and a drawn triangle read back, two
// contexts that keep their own state, a resize that clears, and a machine without a
// driver that gets a reason instead of a context.
#include <gtest/gtest.h>

#include <sys/wait.h>
#include <unistd.h>

#include <cstdio>
#include <cstdlib>
#include <cstring>

#include "webgl/GlContext.h"

namespace qy::test {
namespace {

using webgl::GlArg;
using webgl::GlContext;

GlArg Number(double v) {
    GlArg a;
    a.kind = GlArg::Kind::Number;
    a.number = v;
    return a;
}
GlArg Text(const char* text) {
    GlArg a;
    a.kind = GlArg::Kind::Text;
    a.text = text;
    return a;
}
GlArg Floats(std::initializer_list<float> values) {
    GlArg a;
    a.kind = GlArg::Kind::Bytes;
    a.bytes.resize(values.size() * sizeof(float));
    std::memcpy(a.bytes.data(), std::data(values), a.bytes.size());
    return a;
}

std::unique_ptr<GlContext> Make(int w, int h) {
    std::string why;
    auto c = webgl::NewGlContext(w, h, {}, why);
    EXPECT_TRUE(c) << why;
    return c;
}

std::string Pixel(GlContext& c, int x, int y) {
    auto p = c.Read(x, y, 1, 1);
    return std::to_string(p[0]) + "," + std::to_string(p[1]) + "," + std::to_string(p[2]) + "," + std::to_string(p[3]);
}

TEST(GlContext, ClearsAndDrawsAndKeepsEachContextsState) {
    auto a = Make(16, 8), b = Make(4, 4);
    ASSERT_TRUE(a && b);
    a->Call("clearColor", {Number(1), Number(0.5), Number(0), Number(1)});
    b->Call("clearColor", {Number(0), Number(0), Number(1), Number(0.5)});
    a->Call("clear", {Number(0x4000)});
    b->Call("clear", {Number(0x4000)});
    EXPECT_EQ(Pixel(*a, 3, 3), "255,128,0,255");
    EXPECT_EQ(Pixel(*b, 1, 1), "0,0,255,128");
    // A triangle covering the left half, in a colour from a uniform.
    double vs = a->Call("createShader", {Number(0x8B31)}).number, fs = a->Call("createShader", {Number(0x8B30)}).number;
    a->Call("shaderSource", {Number(vs), Text("attribute vec2 p; void main() { gl_Position = vec4(p, 0.0, 1.0); }")});
    a->Call("shaderSource", {Number(fs), Text("precision mediump float; uniform vec4 c; void main() { gl_FragColor = c; }")});
    a->Call("compileShader", {Number(vs)});
    a->Call("compileShader", {Number(fs)});
    double program = a->Call("createProgram", {}).number;
    a->Call("attachShader", {Number(program), Number(vs)});
    a->Call("attachShader", {Number(program), Number(fs)});
    a->Call("linkProgram", {Number(program)});
    EXPECT_TRUE(a->Call("getProgramParameter", {Number(program), Number(0x8B82)}).flag);
    a->Call("useProgram", {Number(program)});
    auto at = a->Call("getUniformLocation", {Number(program), Text("c")});
    ASSERT_EQ(at.kind, webgl::GlResult::Kind::Number);
    a->Call("uniform4fv", {Number(at.number), Floats({0, 1, 0, 1})});
    double buffer = a->Call("createBuffer", {}).number;
    a->Call("bindBuffer", {Number(0x8892), Number(buffer)});
    a->Call("bufferData", {Number(0x8892), Floats({-1, -1, 0, -1, -1, 1, 0, -1, 0, 1, -1, 1}), Number(0x88E4)});
    a->Call("enableVertexAttribArray", {Number(0)});
    a->Call("vertexAttribPointer", {Number(0), Number(2), Number(0x1406), Number(0), Number(0), Number(0)});
    a->Call("drawArrays", {Number(4), Number(0), Number(6)});
    EXPECT_EQ(a->Call("getError", {}).number, 0);
    EXPECT_EQ(Pixel(*a, 2, 4), "0,255,0,255");
    EXPECT_EQ(Pixel(*a, 12, 4), "255,128,0,255");
    // The image is top row first and whole.
    auto image = a->Image();
    ASSERT_EQ(image.size(), 16u * 8 * 4);
    EXPECT_EQ(image[1], 255);
    EXPECT_EQ(image[(7 * 16 + 15) * 4], 255);
    // A shader that does not compile says why.
    double bad = a->Call("createShader", {Number(0x8B30)}).number;
    a->Call("shaderSource", {Number(bad), Text("void main() { gl_FragColor = nope; }")});
    a->Call("compileShader", {Number(bad)});
    EXPECT_FALSE(a->Call("getShaderParameter", {Number(bad), Number(0x8B81)}).flag);
    EXPECT_NE(a->Call("getShaderInfoLog", {Number(bad)}).text.find("nope"), std::string::npos);
    // A new size clears the drawing buffer.
    a->Resize(10, 10);
    EXPECT_EQ(a->Width(), 10);
    EXPECT_EQ(Pixel(*a, 2, 4), "0,0,0,0");
    EXPECT_EQ(Pixel(*b, 1, 1), "0,0,255,128");
}

// A diagonal edge: antialiased (the default) it has pixels partly covered; without, none.
int PartlyCovered(bool antialias) {
    webgl::GlAttributes attributes;
    attributes.antialias = antialias;
    std::string why;
    auto c = webgl::NewGlContext(16, 16, attributes, why);
    EXPECT_TRUE(c) << why;
    if (!c) return -1;
    double vs = c->Call("createShader", {Number(0x8B31)}).number, fs = c->Call("createShader", {Number(0x8B30)}).number;
    c->Call("shaderSource", {Number(vs), Text("attribute vec2 p; void main() { gl_Position = vec4(p, 0.0, 1.0); }")});
    c->Call("shaderSource", {Number(fs), Text("precision mediump float; void main() { gl_FragColor = vec4(1.0); }")});
    c->Call("compileShader", {Number(vs)});
    c->Call("compileShader", {Number(fs)});
    double program = c->Call("createProgram", {}).number;
    c->Call("attachShader", {Number(program), Number(vs)});
    c->Call("attachShader", {Number(program), Number(fs)});
    c->Call("linkProgram", {Number(program)});
    c->Call("useProgram", {Number(program)});
    double buffer = c->Call("createBuffer", {}).number;
    c->Call("bindBuffer", {Number(0x8892), Number(buffer)});
    c->Call("bufferData", {Number(0x8892), Floats({-1, -1, 1, -1, -1, 0.7f}), Number(0x88E4)});
    c->Call("enableVertexAttribArray", {Number(0)});
    c->Call("vertexAttribPointer", {Number(0), Number(2), Number(0x1406), Number(0), Number(0), Number(0)});
    c->Call("drawArrays", {Number(4), Number(0), Number(3)});
    auto pixels = c->Read(0, 0, 16, 16);
    int partly = 0;
    for (size_t i = 0; i < pixels.size(); i += 4) partly += pixels[i] > 0 && pixels[i] < 255;
    // The image a data address shows is the same resolved drawing.
    auto image = c->Image();
    int shown = 0;
    for (size_t i = 0; i < image.size(); i += 4) shown += image[i + 3] > 0 && image[i + 3] < 255;
    EXPECT_EQ(shown, partly);
    return partly;
}

TEST(GlContext, EdgesAreAntialiasedUnlessThePageSaysNot) {
    EXPECT_GT(PartlyCovered(true), 4);
    EXPECT_EQ(PartlyCovered(false), 0);
}

TEST(GlContext, WithoutADriverThereIsAReasonAndNoContext) {
    // The libraries are opened once per process: the test runs itself again in a process
    // of its own, where no driver can be found, and reads what it printed.
    if (std::getenv("QY_GL_NO_DRIVER")) {
        std::string why;
        auto c = webgl::NewGlContext(8, 8, {}, why);
        std::printf("[%s %s]\n", c ? "made" : "none", why.c_str());
        return;
    }
    int fds[2];
    ASSERT_EQ(pipe(fds), 0);
    pid_t child = fork();
    ASSERT_GE(child, 0);
    if (child == 0) {
        dup2(fds[1], 1);
        close(fds[0]);
        setenv("QY_GL_NO_DRIVER", "1", 1);
        setenv("LIBGL_DRIVERS_PATH", "/nonexistent", 1);
        setenv("EGL_LOG_LEVEL", "fatal", 1);
        char self[] = "/proc/self/exe", filter[] = "--gtest_filter=GlContext.WithoutADriverThereIsAReasonAndNoContext";
        char* argv[] = {self, filter, nullptr};
        execv(self, argv);
        _exit(127);
    }
    close(fds[1]);
    std::string said;
    char buffer[512];
    for (ssize_t n; (n = read(fds[0], buffer, sizeof buffer)) > 0;) said.append(buffer, static_cast<size_t>(n));
    close(fds[0]);
    int status = 0;
    waitpid(child, &status, 0);
    EXPECT_TRUE(WIFEXITED(status) && WEXITSTATUS(status) == 0) << said;
    size_t at = said.find("[none ");
    ASSERT_NE(at, std::string::npos) << said;
    EXPECT_NE(said.find("EGL", at), std::string::npos) << said;
}

}  // namespace
}  // namespace qy::test
