/** @file InfoWindows.h
 * The about window, the contact window and the JavaScript quick reference.
 */
#pragma once

#include <QDialog>
#include <QWidget>
#include <string>

namespace qy::app {

/// The version notes of the about window (CP936, CR LF line breaks).
std::string AboutText();
/// The invitation text of the contact window (CP936, CR LF line breaks).
std::string ContactText();
/// The author's contact page.
inline constexpr const char* kContactAddress = "tencent://message/?uin=12345678";

class AboutWindow final : public QDialog {
    Q_OBJECT
public:
    explicit AboutWindow(QWidget* parent = nullptr);
};

class ContactWindow final : public QDialog {
    Q_OBJECT
public:
    explicit ContactWindow(QWidget* parent = nullptr);
};

/// "JScript速查手册": the built-in reference page; one window at most.
class ReferenceWindow final : public QWidget {
    Q_OBJECT
public:
    explicit ReferenceWindow(QWidget* parent = nullptr);
    static ReferenceWindow* ShowOrActivate();
    static ReferenceWindow* Instance();
};

}  // namespace qy::app
