/** @file CanvasHost.h
 * Where the environment's canvases are drawn. The environment knows no drawing
 * library: a program that can draw (the window program, the canvas tests) gives it a
 * factory of surfaces; without one a canvas keeps its old inert context.
 */
#pragma once

#include <cstdint>
#include <functional>
#include <memory>
#include <string>
#include <string_view>
#include <variant>
#include <vector>

namespace qy::env {

using CanvasArg = std::variant<double, std::string>;

/// One canvas's pixels and its 2D context's state, as the standard describes them.
class CanvasSurface {
public:
    virtual ~CanvasSurface() = default;
    /// A new size clears the pixels and the context's state.
    virtual void Resize(int width, int height) = 0;
    virtual int Width() const = 0;
    virtual int Height() const = 0;
    /// One call of the 2D context: a method ("fillRect", "arc", "fillText", "save"…),
    /// a setting ("set" with a property name and its text), or a query ("measureText",
    /// "toDataURL", "isPointInPath"). The answer is text: a setting's value as the
    /// context reads it back ("" when refused), a query's result, "" otherwise.
    virtual std::string Call(std::string_view method, const std::vector<CanvasArg>& args) = 0;
    /// Draws `source`'s pixels: sx, sy, sw, sh, dx, dy, dw, dh as drawImage takes them.
    virtual void DrawSurface(const CanvasSurface& source, const double* rect8) = 0;
    /// The pixels of a rectangle as RGBA bytes, not premultiplied; outside: zeros.
    virtual std::vector<uint8_t> Read(int x, int y, int width, int height) const = 0;
    /// Puts RGBA bytes (width × height) at dx, dy, replacing what was there.
    virtual void Write(const uint8_t* rgba, int width, int height, int dx, int dy) = 0;
};

using CanvasFactory = std::function<std::unique_ptr<CanvasSurface>(int width, int height)>;

/// From now on the environment draws on surfaces from `factory` (empty: none).
void SetCanvasFactory(CanvasFactory factory);
const CanvasFactory& CurrentCanvasFactory();

}  // namespace qy::env
