/** @file Features.h
 * Attaches the feature controllers (search, files, transforms, fetching, tools, tray…)
 * to a main window; each lives in its own file and only wires widgets to its logic.
 */
#pragma once

namespace qy::app {

class MainWindow;

void AttachFeatures(MainWindow& window);

}  // namespace qy::app
