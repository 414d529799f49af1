/** @file UpdateWindow.h
 * The window that announces a newer version (centred on the screen), and the one
 * place that opens web addresses in the user's browser (tests replace it).
 */
#pragma once

#include <QDialog>
#include <QUrl>
#include <functional>

#include "net/UpdateCheck.h"

namespace qy::net {

/// Opens an address in the browser; replaceable so tests launch nothing.
std::function<void(const QUrl&)>& UrlOpener();

class UpdateWindow final : public QDialog {
    Q_OBJECT
public:
    explicit UpdateWindow(const UpdateRecord& record, QWidget* parent = nullptr);

private:
    std::string m_downloadAddress;
};

}  // namespace qy::net
