#include "app/InfoWindows.h"

#include <QLabel>
#include <QPointer>
#include <QTextBrowser>
#include <QUrl>

#include "net/gui/UpdateWindow.h"
#include "text/QtBridge.h"

namespace qy::app {
namespace {

constexpr Qt::WindowFlags kFixedWindow =
    Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint;

QString FromAnsi(const std::string& s) { return text::ToQString(s); }
QFont YaHei(int pixels, bool bold = false) { return text::WorkbenchFont(pixels, bold); }

QLabel* NamedLabel(QWidget* parent, const char* name, const QString& text, QRect geometry, const QFont& font) {
    auto* label = new QLabel(text, parent);
    label->setObjectName(QString::fromUtf8(name));
    label->setAccessibleName(text);
    label->setGeometry(geometry);
    label->setFont(font);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

void TitleWindow(QWidget* w, const QString& title) {
    w->setObjectName(title);
    w->setWindowTitle(title);
    w->setAccessibleName(title);
}

QPointer<ReferenceWindow> g_reference;

}  // namespace

std::string AboutText() {
    const std::string indent(11, ' ');
    const char* lines[] = {"版本号：1.81 ",
                           "1.搜索框更加人性化[回车键]",
                           "2.修改JS速查手册，方便查询",
                           "3.优化调试输出框",
                           "4.增加JS压缩功能避免复制后进去的JS过长",
                           "5.增加常用编码的解密(U码，URL，UTF8，base64)           ",
                           "注：对象查看功能致谢阿木 小马 特此留名"};
    std::string text;
    for (const char* line : lines) text += indent + line + "\r\n\r\n";
    text += std::string(93, ' ') + "青柚生-2012.10.3";
    return text::Utf8ToAnsiText(text);
}

std::string ContactText() {
    auto pad = [](int n, const char* s) { return std::string(static_cast<size_t>(n), ' ') + s; };
    return text::Utf8ToAnsiText(pad(27, "有好的建议？") + "\r\n" + pad(21, "有好的想法？") + "\r\n" +
                                pad(19, "发现BUG？") + "\r\n" + pad(27, "捐助作者？") + "\r\n\r\n" +
                                pad(20, "青柚在此恭候大家"));
}

AboutWindow::AboutWindow(QWidget* parent) : QDialog(parent, kFixedWindow) {
    TitleWindow(this, QStringLiteral("关于青柚JS调试工具"));
    setFixedSize(525, 300);
    NamedLabel(this, "标签2", QStringLiteral("版本说明"), {8, 0, 512, 32}, YaHei(14, true));
    NamedLabel(this, "标签1", FromAnsi(AboutText()), {8, 32, 512, 264}, YaHei(12));
}

ContactWindow::ContactWindow(QWidget* parent) : QDialog(parent, kFixedWindow) {
    TitleWindow(this, QStringLiteral("联系青柚生"));
    setFixedSize(374, 173);
    NamedLabel(this, "标签1", FromAnsi(ContactText()), {1, 8, 368, 112}, YaHei(12));
    auto* link = NamedLabel(this, "超级链接框1",
                            QStringLiteral("<a href=\"%1\">点此联系我-青柚生</a>").arg(QString::fromLatin1(kContactAddress)),
                            {0, 128, 368, 32}, YaHei(12));
    link->setAccessibleName(QStringLiteral("点此联系我-青柚生"));
    link->setTextFormat(Qt::RichText);
    link->setAlignment(Qt::AlignCenter);
    connect(link, &QLabel::linkActivated, this, [](const QString& target) { net::UrlOpener()(QUrl(target)); });
}

ReferenceWindow::ReferenceWindow(QWidget* parent) : QWidget(parent, kFixedWindow | Qt::Window) {
    TitleWindow(this, QStringLiteral("JScript速查手册"));
    setAttribute(Qt::WA_DeleteOnClose);
    setFixedSize(752, 544);
    auto* browser = new QTextBrowser(this);
    browser->setObjectName(QStringLiteral("超文本浏览框1"));
    browser->setAccessibleName(browser->objectName());
    browser->setGeometry(0, 0, 752, 544);
    browser->setOpenLinks(false);
    connect(browser, &QTextBrowser::anchorClicked, this, [browser](const QUrl& url) {
        // Pages outside the reference open in the user's browser.
        if (url.scheme() == QLatin1String("http") || url.scheme() == QLatin1String("https")) net::UrlOpener()(url);
        else if (url.hasFragment() && (url.path().isEmpty() || url.path() == browser->source().path()))
            browser->scrollToAnchor(url.fragment());
        else browser->setSource(url);
    });
    browser->setSource(QUrl(QStringLiteral("qrc:/manual/javascript.html")));
}

ReferenceWindow* ReferenceWindow::ShowOrActivate() {
    if (!g_reference) g_reference = new ReferenceWindow;
    if (g_reference->isMinimized()) g_reference->showNormal();
    g_reference->show();
    g_reference->raise();
    g_reference->activateWindow();
    return g_reference;
}

ReferenceWindow* ReferenceWindow::Instance() { return g_reference; }

}  // namespace qy::app
