/** @file ReferenceWindow.h
 * "JScript速查手册": the workbench's own Chinese JavaScript quick reference, shipped as
 * the resource qrc:/manual/javascript.html. Modeless and never more than one; it opens
 * centred on the screen, and Esc closes it.
 */
#pragma once

#include <QWidget>

namespace qy::app {

/// Where the reference page lives.
inline constexpr const char* kReferencePage = "qrc:/manual/javascript.html";

class ReferenceWindow final : public QWidget {
    Q_OBJECT
public:
    explicit ReferenceWindow(QWidget* parent = nullptr);

    /// Opens the window, or brings the open one to the front (restored if it was
    /// minimised).
    static ReferenceWindow* ShowOrActivate();
    /// The open window, or null.
    static ReferenceWindow* Instance();

protected:
    void keyPressEvent(QKeyEvent* event) override;
};

}  // namespace qy::app
