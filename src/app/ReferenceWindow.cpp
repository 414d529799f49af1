#include "app/ReferenceWindow.h"

#include <QKeyEvent>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

#include "app/InfoMenu.h"
#include "net/gui/UpdateWindow.h"

namespace qy::app {
namespace {

QPointer<ReferenceWindow> g_reference;

/// Links inside the built-in pages stay in the window; every other address is a page
/// of the outside world and goes to the user's browser.
void FollowLink(QTextBrowser& browser, const QUrl& link) {
    const QUrl target = browser.source().resolved(link);
    if (target.scheme() != QLatin1String("qrc")) {
        net::UrlOpener()(target);
    } else if (target.adjusted(QUrl::RemoveFragment) == browser.source().adjusted(QUrl::RemoveFragment)) {
        browser.scrollToAnchor(target.fragment());
    } else {
        browser.setSource(target);
    }
}

}  // namespace

ReferenceWindow::ReferenceWindow(QWidget* parent)
    : QWidget(parent, Qt::Window | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint) {
    PrepareInfoWindow(*this, QStringLiteral("JScript速查手册"), {752, 544});
    setAttribute(Qt::WA_DeleteOnClose);
    auto* browser = new QTextBrowser(this);
    browser->setObjectName(QStringLiteral("超文本浏览框1"));
    browser->setAccessibleName(QStringLiteral("速查内容"));
    browser->setGeometry(0, 0, 752, 544);
    browser->setOpenLinks(false);
    connect(browser, &QTextBrowser::anchorClicked, this, [browser](const QUrl& link) { FollowLink(*browser, link); });
    browser->setSource(QUrl(QString::fromLatin1(kReferencePage)));
}

void ReferenceWindow::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Escape && event->modifiers() == Qt::NoModifier) {
        close();
        return;
    }
    QWidget::keyPressEvent(event);
}

ReferenceWindow* ReferenceWindow::ShowOrActivate() {
    if (!g_reference) {
        g_reference = new ReferenceWindow;
        CentreOnScreen(*g_reference);
    }
    if (g_reference->isMinimized()) g_reference->showNormal();
    g_reference->show();
    g_reference->raise();
    g_reference->activateWindow();
    return g_reference;
}

ReferenceWindow* ReferenceWindow::Instance() { return g_reference; }

}  // namespace qy::app
