#include "net/gui/UpdateWindow.h"

#include <QDesktopServices>
#include <QGuiApplication>
#include <QScreen>
#include <QPlainTextEdit>
#include <QPushButton>

#include "text/QtBridge.h"

namespace qy::net {
namespace {

QFont YaHei() { return text::WorkbenchFont(12); }

}  // namespace

std::function<void(const QUrl&)>& UrlOpener() {
    static std::function<void(const QUrl&)> opener = [](const QUrl& url) { QDesktopServices::openUrl(url); };
    return opener;
}

UpdateWindow::UpdateWindow(const UpdateRecord& record, QWidget* parent)
    : QDialog(parent, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowCloseButtonHint | Qt::MSWindowsFixedSizeDialogHint),
      m_downloadAddress(record.downloadAddress) {
    setObjectName(QStringLiteral("检测到比现行版本更新的版本哦 亲"));
    setWindowTitle(QStringLiteral("检测到比现行版本更新的版本哦 亲"));
    setAccessibleName(windowTitle());
    setFixedSize(374, 223);
    auto* text = new QPlainTextEdit(this);
    text->setObjectName(QStringLiteral("编辑框1"));
    text->setAccessibleName(QStringLiteral("新版本说明"));
    text->setGeometry(0, 0, 376, 192);
    text->setReadOnly(true);
    text->setFrameShape(QFrame::NoFrame);
    text->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOff);
    text->setFont(YaHei());
    text->setStyleSheet(QStringLiteral("background: white;"));
    text->setPlainText(text::ToQString(UpdateWindowText(record)));
    auto button = [this](const char* name, const QString& caption, int x) {
        auto* b = new QPushButton(caption, this);
        b->setObjectName(QString::fromUtf8(name));
        b->setAccessibleName(caption);
        b->setGeometry(x, 196, 112, 24);
        b->setFont(YaHei());
        return b;
    };
    connect(button("按钮_update", QStringLiteral("哟西这就去更新"), 24), &QPushButton::clicked, this, [this] {
        // The address comes from the network: only web addresses go to the browser.
        if (IsWebAddress(m_downloadAddress))
            UrlOpener()(QUrl(QString::fromStdU16String(text::AnsiToWide(m_downloadAddress))));
        close();
    });
    connect(button("按钮_No", QStringLiteral("老子不更新"), 244), &QPushButton::clicked, this, &QDialog::close);
    if (const QScreen* screen = QGuiApplication::primaryScreen()) {
        QRect frame(QPoint(0, 0), size());
        frame.moveCenter(screen->availableGeometry().center());
        move(frame.topLeft());
    }
}

}  // namespace qy::net
