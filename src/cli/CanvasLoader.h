/** @file CanvasLoader.h
 * Canvases for the Qt-free command line: the canvas library beside the program is
 * opened when a page first draws, so a run that draws nothing maps no Qt at all.
 */
#pragma once

#include "env/CanvasHost.h"

namespace qy::cli {

/// A factory that opens qingyou-canvas.so on its first surface; without the library
/// (or Qt) it makes none, says why once on standard error, and canvases stay inert.
env::CanvasFactory LoadedCanvasFactory();

}  // namespace qy::cli
