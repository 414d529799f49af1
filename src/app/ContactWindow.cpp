#include "app/ContactWindow.h"

#include <QLabel>
#include <QUrl>

#include "app/Accessibility.h"
#include "app/InfoMenu.h"
#include "net/gui/UpdateWindow.h"
#include "text/QtBridge.h"

namespace qy::app {

std::string ContactText() {
    auto pad = [](size_t n, const char* s) { return std::string(n, ' ') + s; };
    return text::Utf8ToAnsiText(pad(27, "有好的建议？") + "\r\n" + pad(21, "有好的想法？") + "\r\n" +
                                pad(19, "发现BUG？") + "\r\n" + pad(27, "捐助作者？") + "\r\n\r\n" +
                                pad(20, "青柚在此恭候大家"));
}

ContactWindow::ContactWindow(QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    PrepareInfoWindow(*this, QStringLiteral("联系青柚生"), {374, 173});
    AddInfoLabel(*this, "标签1", text::ToQString(ContactText()), {1, 8, 368, 112}, text::WorkbenchFont(12));
    const QString caption = QStringLiteral("点此联系我-青柚生");
    QLabel* link = AddInfoLabel(*this, "超级链接框1", QString(), {0, 128, 368, 32}, text::WorkbenchFont(12));
    link->setTextFormat(Qt::RichText);
    link->setText(QStringLiteral("<a href=\"%1\">%2</a>").arg(QString::fromLatin1(kContactAddress), caption));
    link->setAccessibleName(caption);
    InstallAccessibleNames();
    MarkLinkLabel(*link, QString::fromLatin1(kContactAddress));
    link->setAlignment(Qt::AlignCenter);
    link->setTextInteractionFlags(Qt::LinksAccessibleByMouse | Qt::LinksAccessibleByKeyboard);
    link->setCursor(Qt::PointingHandCursor);
    // The desktop decides what opens the page; when nothing can, nothing happens.
    connect(link, &QLabel::linkActivated, this, [](const QString& target) { net::UrlOpener()(QUrl(target)); });
}

}  // namespace qy::app
