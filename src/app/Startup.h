/** @file Startup.h
 * The workbench's start and end: Chinese texts for Qt's own dialogs, the engine, the
 * main window, the message loop, and the engine's shut-down after every window that
 * holds script objects is gone.
 */
#pragma once

class QApplication;

namespace qy::app {

/// Registers the workbench's built-in resources (icon, reference page).
void InitResources();

/// Loads Qt's Chinese translations whatever the locale.
void InstallChineseTranslations(QApplication& app);

/// Everything the application needs before the first window: Chinese texts for Qt's
/// own dialogs, the resources and icon, and an end decided by the main window alone.
void PrepareApplication(QApplication& app);

/// Runs the workbench until its main window is closed; returns the exit code.
int RunWorkbench(QApplication& app);

}  // namespace qy::app
