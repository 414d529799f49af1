/** @file GlContext.h
 * WebGL drawn for real in software: one OpenGL ES context per WebGL context, made with
 * the system's EGL (Mesa's software rasteriser, no display) and loaded only when a page
 * first asks for one. Nothing here knows the engine; the environment's natives hand it
 * WebGL calls by name. Without a usable EGL the context is not made and says why.
 */
#pragma once

#include <cstdint>
#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace qy::webgl {

/// One argument of a WebGL call: a number (object names included), text (shader
/// source, attribute names), bytes (a typed array's contents) or nothing (null).
struct GlArg {
    enum class Kind { None, Number, Text, Bytes } kind = Kind::None;
    double number = 0;
    std::string text;
    std::vector<uint8_t> bytes;
};

/// A call's answer as WebGL gives it back.
struct GlResult {
    enum class Kind { Undefined, Null, Number, Bool, Text } kind = Kind::Undefined;
    double number = 0;
    bool flag = false;
    std::string text;
    static GlResult Number(double v) { GlResult r; r.kind = Kind::Number; r.number = v; return r; }
    static GlResult Bool(bool v) { GlResult r; r.kind = Kind::Bool; r.flag = v; return r; }
    static GlResult Text(std::string v) { GlResult r; r.kind = Kind::Text; r.text = std::move(v); return r; }
    static GlResult Null() { GlResult r; r.kind = Kind::Null; return r; }
};

struct GlAttributes {
    bool alpha = true;
    bool depth = true;
    bool stencil = false;
    bool premultipliedAlpha = true;
    bool antialias = true;  ///< four samples a pixel, averaged when the buffer is read
    bool version2 = false;  ///< a WebGL 2 context (OpenGL ES 3)
};

class GlContext {
public:
    virtual ~GlContext() = default;
    /// A new size for the drawing buffer, cleared; the rest of the state stays.
    virtual void Resize(int width, int height) = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    /// One WebGL 1 call by its name ("clearColor", "bufferData", "drawArrays"…), with
    /// object names as numbers; null (for the default framebuffer) as None.
    virtual GlResult Call(std::string_view name, const std::vector<GlArg>& args) = 0;
    /// readPixels in RGBA bytes of the bound framebuffer, bottom row first as GL reads.
    virtual std::vector<uint8_t> Read(int x, int y, int width, int height) = 0;
    /// The drawing buffer as an image: RGBA, top row first, not premultiplied.
    virtual std::vector<uint8_t> Image() = 0;
};

/// A context of `width` × `height`, or null with the reason in `why` (no EGL, no
/// driver, no context).
std::unique_ptr<GlContext> NewGlContext(int width, int height, const GlAttributes& attributes, std::string& why);

}  // namespace qy::webgl
