/** @file QtCanvasUse.cpp
 * A program that has Qt's GUI module at hand draws its canvases with it. (Apart from
 * QtCanvas.cpp so that the loadable canvas library, built from that file alone, needs
 * nothing of the environment.)
 */
#include "canvas/QtCanvas.h"

namespace qy::canvas {

void UseQtCanvas() { env::SetCanvasFactory(NewSurface); }

}  // namespace qy::canvas
