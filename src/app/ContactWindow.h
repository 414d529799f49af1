/** @file ContactWindow.h
 * "联系青柚生": the invitation text and the link to the author's contact page, opened
 * in whatever the desktop registers for it.
 */
#pragma once

#include <QDialog>
#include <string>

namespace qy::app {

/// The invitation text (CP936, CR LF line breaks).
std::string ContactText();
/// The author's instant-messaging contact page.
inline constexpr const char* kContactAddress = "tencent://message/?uin=12345678";

class ContactWindow final : public QDialog {
    Q_OBJECT
public:
    explicit ContactWindow(QWidget* parent = nullptr);
};

}  // namespace qy::app
