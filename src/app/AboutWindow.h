/** @file AboutWindow.h
 * "关于青柚JS调试工具": the heading "版本说明" and the version notes.
 */
#pragma once

#include <QDialog>
#include <string>

namespace qy::app {

/// The version notes (CP936, CR LF line breaks). They are fixed text: their version
/// number 1.81 is not the workbench's own version, which the title shows.
std::string AboutText();

class AboutWindow final : public QDialog {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);
};

}  // namespace qy::app
