// WebGL through the environment (the modern target: WebGL takes typed arrays): the
// gradient triangle and clear colour that fingerprinting scripts draw give real pixels,
// with indices, a texture and uniforms; what scripts read of the GPU stays the profile's.
#include "common/TestSupport.h"
#include "env/EnvTestSupport.h"

namespace qy::test {
namespace {

using script::ScriptTarget;

class WebGl : public testing::TestWithParam<ScriptTarget> {};

// A 64×64 canvas: a clear colour, then a triangle with a colour at each corner.
const char* kGradientTriangle = R"JS(
    var c = document.createElement('canvas'); c.width = 64; c.height = 64;
    var gl = c.getContext('webgl') || c.getContext('experimental-webgl');
    gl.clearColor(0.2, 0.4, 0.6, 1); gl.clear(gl.COLOR_BUFFER_BIT);
    function shader(type, text) { var s = gl.createShader(type); gl.shaderSource(s, text); gl.compileShader(s); return s; }
    var program = gl.createProgram();
    gl.attachShader(program, shader(gl.VERTEX_SHADER, 'attribute vec2 p; attribute vec3 col; varying vec3 v;' +
        ' void main() { v = col; gl_Position = vec4(p, 0.0, 1.0); }'));
    gl.attachShader(program, shader(gl.FRAGMENT_SHADER, 'precision mediump float; varying vec3 v;' +
        ' void main() { gl_FragColor = vec4(v, 1.0); }'));
    gl.linkProgram(program); gl.useProgram(program);
    var b = gl.createBuffer(); gl.bindBuffer(gl.ARRAY_BUFFER, b);
    gl.bufferData(gl.ARRAY_BUFFER, new Float32Array([-1, -1, 1, 0, 0, 1, -1, 0, 1, 0, 0, 1, 0, 0, 1]), gl.STATIC_DRAW);
    var lp = gl.getAttribLocation(program, 'p'), lc = gl.getAttribLocation(program, 'col');
    gl.enableVertexAttribArray(lp); gl.vertexAttribPointer(lp, 2, gl.FLOAT, false, 20, 0);
    gl.enableVertexAttribArray(lc); gl.vertexAttribPointer(lc, 3, gl.FLOAT, false, 20, 8);
    gl.drawArrays(gl.TRIANGLES, 0, 3);
    function pixel(x, y) { var p = new Uint8Array(4); gl.readPixels(x, y, 1, 1, gl.RGBA, gl.UNSIGNED_BYTE, p); return [p[0], p[1], p[2], p[3]].join(); }
    // Whether the pixel is within a few steps of r, g, b (a rasteriser rounds as it likes).
    function near(x, y, r, g, b) {
        var p = pixel(x, y).split(','), want = [r, g, b, 255];
        for (var k = 0; k < 4; k++) if (Math.abs(p[k] - want[k]) > 12) return pixel(x, y);
        return true;
    }
)JS";

TEST_P(WebGl, TheGradientTriangleAndClearColourGiveRealPixels) {
    EnvHost env(GetParam());
    ASSERT_TRUE(env.Add(kGradientTriangle)) << env.ErrorDescription();
    EXPECT_EQ(env.Text("[gl.getProgramParameter(program, gl.LINK_STATUS), gl.getError()].join()"), "true,0");
    // Outside the triangle: the clear colour; near each corner: that corner's colour.
    EXPECT_EQ(env.Text("pixel(0, 63)"), "51,102,153,255");
    EXPECT_EQ(env.Text("pixel(63, 63)"), "51,102,153,255");
    EXPECT_EQ(env.Text("[near(1, 0, 255, 0, 0), near(62, 0, 0, 255, 0)].join()"), "true,true");
    EXPECT_EQ(env.Text("(function () { var p = pixel(31, 60).split(','); return p[2] > 180 && p[0] < 40 && p[1] < 40 || p.join(); })()"),
              "true");
    // In the middle the colours are mixed.
    EXPECT_EQ(env.Text("(function () { var p = pixel(32, 21).split(','); return p[0] > 60 && p[1] > 60 && p[2] > 60 && p[3] == 255; })()"),
              "true");
    // A canvas of its own draws in a context of its own.
    EXPECT_EQ(env.Text("var d = document.createElement('canvas').getContext('webgl'); d.clearColor(1, 0, 0, 1);"
                       "d.clear(d.COLOR_BUFFER_BIT); var q = new Uint8Array(4); d.readPixels(0, 0, 1, 1, d.RGBA, d.UNSIGNED_BYTE, q);"
                       "[q[0], q[3], pixel(0, 63)].join()"),
              "255,255,51,102,153,255");
}

TEST_P(WebGl, IndicesTexturesAndUniformsDraw) {
    EnvHost env(GetParam());
    ASSERT_TRUE(env.Add(kGradientTriangle)) << env.ErrorDescription();
    // A square of two triangles by index, its colour a 2×2 texture's (nearest) times a uniform.
    ASSERT_TRUE(env.Add(R"JS(
        var tp = gl.createProgram();
        gl.attachShader(tp, shader(gl.VERTEX_SHADER, 'attribute vec2 p; varying vec2 uv;' +
            ' void main() { uv = p * 0.5 + 0.5; gl_Position = vec4(p, 0.0, 1.0); }'));
        gl.attachShader(tp, shader(gl.FRAGMENT_SHADER, 'precision mediump float; varying vec2 uv; uniform sampler2D t;' +
            ' uniform vec4 tint; void main() { gl_FragColor = texture2D(t, uv) * tint; }'));
        gl.linkProgram(tp); gl.useProgram(tp);
        gl.disableVertexAttribArray(lc);
        var corners = gl.createBuffer(); gl.bindBuffer(gl.ARRAY_BUFFER, corners);
        gl.bufferData(gl.ARRAY_BUFFER, new Float32Array([-1, -1, 1, -1, 1, 1, -1, 1]), gl.STATIC_DRAW);
        var at = gl.getAttribLocation(tp, 'p'); gl.enableVertexAttribArray(at); gl.vertexAttribPointer(at, 2, gl.FLOAT, false, 0, 0);
        var order = gl.createBuffer(); gl.bindBuffer(gl.ELEMENT_ARRAY_BUFFER, order);
        gl.bufferData(gl.ELEMENT_ARRAY_BUFFER, new Uint16Array([0, 1, 2, 0, 2, 3]), gl.STATIC_DRAW);
        var tex = gl.createTexture(); gl.bindTexture(gl.TEXTURE_2D, tex);
        gl.texParameteri(gl.TEXTURE_2D, 10241, 9728); gl.texParameteri(gl.TEXTURE_2D, 10240, 9728);
        gl.texParameteri(gl.TEXTURE_2D, 10242, 33071); gl.texParameteri(gl.TEXTURE_2D, 10243, 33071);
        gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA, 2, 2, 0, gl.RGBA, gl.UNSIGNED_BYTE,
            new Uint8Array([255, 0, 0, 255, 0, 255, 0, 255, 0, 0, 255, 255, 255, 255, 255, 255]));
        gl.uniform1i(gl.getUniformLocation(tp, 't'), 0);
        gl.uniform4fv(gl.getUniformLocation(tp, 'tint'), [1, 1, 0.5, 1]);
        gl.drawElements(gl.TRIANGLES, 6, gl.UNSIGNED_SHORT, 0);)JS"))
        << env.ErrorDescription();
    // The texture's first row is at the bottom, as GL puts it.
    EXPECT_EQ(env.Text("[pixel(5, 5), pixel(60, 5), pixel(5, 60), pixel(60, 60), gl.getError()].join(' ')"),
              "255,0,0,255 0,255,0,255 0,0,128,255 255,255,128,255 0");
    EXPECT_EQ(env.Text("var info = gl.getActiveUniform(tp, 0); [String(gl.getUniformLocation(tp, 'none')), info.name === 't' || info.name === 'tint',"
                       " gl.getActiveAttrib(tp, 0).name, gl.createTexture() instanceof WebGLTexture].join()"),
              "null,true,p,true");
    // A new size clears the drawing buffer, and it says its new size.
    EXPECT_EQ(env.Text("c.width = 32; [gl.drawingBufferWidth, gl.drawingBufferHeight, pixel(5, 5)].join(' ')"), "32 64 0,0,0,0");
}

TEST_P(WebGl, MoreThanABrowserGivesIsRefusedOrMadeSmaller) {
    EnvHost env(GetParam());
    ASSERT_TRUE(env.Add(kGradientTriangle)) << env.ErrorDescription();
    // A drawing buffer keeps the canvas's shape within a browser's size, and says so.
    EXPECT_EQ(env.Text("c.width = 16384; c.height = 8192; var w = gl.drawingBufferWidth, h = gl.drawingBufferHeight;"
                       "[w * h <= 4096 * 4096, w > 4096, Math.round(w / h), c.width].join()"),
              "true,true,2,16384");
    EXPECT_EQ(env.Text("gl.clearColor(0, 1, 0, 1); gl.clear(gl.COLOR_BUFFER_BIT); pixel(w - 1, h - 1)"), "0,255,0,255");
    // A buffer of a terabyte is not asked of the driver.
    EXPECT_EQ(env.Text("gl.bindBuffer(gl.ARRAY_BUFFER, gl.createBuffer()); gl.bufferData(gl.ARRAY_BUFFER, 1e12, gl.STATIC_DRAW);"
                       "[gl.getError() === gl.OUT_OF_MEMORY, gl.getError()].join()"),
              "true,0");
}

TEST_P(WebGl, StateReadsBackAsTheContextHoldsIt) {
    EnvHost env(GetParam());
    ASSERT_TRUE(env.Add(kGradientTriangle)) << env.ErrorDescription();
    EXPECT_EQ(env.Text("gl.viewport(1, 2, 30, 40); gl.enable(gl.BLEND); gl.blendFunc(gl.SRC_ALPHA, gl.ONE_MINUS_SRC_ALPHA);"
                       "var v = gl.getParameter(gl.VIEWPORT), cc = gl.getParameter(gl.COLOR_CLEAR_VALUE);"
                       "[v instanceof Int32Array, Array.from(v).join(' '), cc instanceof Float32Array, cc[1].toFixed(2),"
                       " gl.getParameter(gl.BLEND), gl.getParameter(gl.BLEND_SRC_RGB) === gl.SRC_ALPHA,"
                       " gl.getParameter(gl.COLOR_WRITEMASK).join(' '), gl.getParameter(gl.CURRENT_PROGRAM) === program,"
                       " gl.getParameter(gl.ARRAY_BUFFER_BINDING) === b, gl.getParameter(gl.ELEMENT_ARRAY_BUFFER_BINDING),"
                       " gl.getParameter(gl.FRAMEBUFFER_BINDING)].join()"),
              "true,1 2 30 40,true,0.40,true,true,true true true true,true,true,,");
    // A texture is bound per unit.
    EXPECT_EQ(env.Text("var t = gl.createTexture(); gl.activeTexture(gl.TEXTURE1); gl.bindTexture(gl.TEXTURE_2D, t);"
                       "var one = gl.getParameter(gl.TEXTURE_BINDING_2D) === t; gl.activeTexture(gl.TEXTURE0);"
                       "[one, gl.getParameter(gl.TEXTURE_BINDING_2D), gl.getParameter(gl.ACTIVE_TEXTURE) === gl.TEXTURE0].join()"),
              "true,,true");
}

TEST_P(WebGl, CallsThatWouldReadOutsideTheirDataAreRefused) {
    EnvHost env(GetParam());
    ASSERT_TRUE(env.Add(kGradientTriangle)) << env.ErrorDescription();
    // Each refused with WebGL's error where GL would have read memory the page never gave.
    EXPECT_EQ(env.Text(R"JS((function () {
        var out = [];
        gl.getError();
        gl.bindBuffer(gl.ARRAY_BUFFER, null); gl.vertexAttribPointer(lp, 2, gl.FLOAT, false, 0, 64); out.push(gl.getError());
        gl.bindBuffer(gl.ELEMENT_ARRAY_BUFFER, null); gl.drawElements(gl.TRIANGLES, 3, gl.UNSIGNED_SHORT, 0); out.push(gl.getError());
        gl.texImage2D(gl.TEXTURE_2D, 0, gl.RGBA, 64, 64, 0, gl.RGBA, gl.UNSIGNED_BYTE, new Uint8Array(16)); out.push(gl.getError());
        gl.deleteBuffer(b); gl.drawArrays(gl.TRIANGLES, 0, 3); out.push(gl.getError());
        // Far more vertices than the buffer holds: drawn from what is there, nothing else.
        var small = gl.createBuffer(); gl.bindBuffer(gl.ARRAY_BUFFER, small);
        gl.bufferData(gl.ARRAY_BUFFER, new Float32Array([0, 0, 0, 0, 0, 0]), gl.STATIC_DRAW);
        gl.vertexAttribPointer(lp, 2, gl.FLOAT, false, 0, 0); gl.vertexAttribPointer(lc, 3, gl.FLOAT, false, 0, 0);
        gl.drawArrays(gl.TRIANGLES, 0, 300000); out.push(gl.getError());
        return out.join();
    })())JS"),
              "1282,1282,1282,1282,0");
    EXPECT_EQ(env.Text("pixel(0, 63)"), "51,102,153,255");
}

TEST_P(WebGl, WhatScriptsReadOfTheGpuStaysTheProfiles) {
    EnvHost env(GetParam());
    ASSERT_TRUE(env.Add(kGradientTriangle)) << env.ErrorDescription();
    EXPECT_EQ(env.Text("var dbg = gl.getExtension('WEBGL_debug_renderer_info');"
                       "[gl.getParameter(gl.VENDOR), gl.getParameter(dbg.UNMASKED_RENDERER_WEBGL).indexOf('ANGLE'),"
                       " gl.getParameter(gl.MAX_TEXTURE_SIZE), gl.getShaderPrecisionFormat(gl.FRAGMENT_SHADER, gl.HIGH_FLOAT).precision].join()"),
              "WebKit,0,16384,23");
}

INSTANTIATE_TEST_SUITE_P(Targets, WebGl, testing::Values(ScriptTarget::ES2021), TargetName);

}  // namespace
}  // namespace qy::test
