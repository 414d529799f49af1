/** @file QtCanvas.h
 * Canvases drawn for real: a 2D context over a QImage with QPainter (rectangles, paths,
 * arcs, gradients, text in the system's fonts, other canvases, transforms, compositing),
 * PNG and JPEG data addresses, and text measured by the font's own metrics. Qt's GUI
 * module only, no widgets; text needs a QGuiApplication.
 */
#pragma once

#include <memory>
#include <string>
#include <string_view>

#include "env/CanvasHost.h"

class QColor;
class QImage;

namespace qy::canvas {

/// A surface of `width` × `height`, transparent black.
std::unique_ptr<env::CanvasSurface> NewSurface(int width, int height);

/// Makes the environment draw with QPainter from now on.
void UseQtCanvas();

/// A CSS colour as a 2D context reads it ("#rrggbb", "rgba(r, g, b, a)"); false when
/// the text is no colour.
bool ParseCssColor(std::string_view text, QColor& color);
std::string CssColorText(const QColor& color);

/// The surface's pixels (for tests).
const QImage& SurfaceImage(const env::CanvasSurface& surface);

}  // namespace qy::canvas
