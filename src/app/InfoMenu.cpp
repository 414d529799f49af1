#include "app/InfoMenu.h"

#include <QAction>
#include <QGuiApplication>
#include <QLabel>
#include <QPointer>
#include <QScreen>

#include "app/AboutWindow.h"
#include "app/ContactWindow.h"
#include "app/Hotkey.h"
#include "app/MainWindow.h"
#include "app/ReferenceWindow.h"
#include "app/TrayIcon.h"

namespace qy::app {
namespace {

/// Runs a modal window. The window is made on the heap and deleted through a guard:
/// should its owner be destroyed meanwhile ("退出程序" from the icon's menu), the owner
/// has deleted it already.
template <typename Window>
void OpenModal(QWidget* owner) {
    QPointer<Window> window = new Window(owner);
    window->setWindowModality(Qt::ApplicationModal);
    CentreOnScreen(*window, owner);
    window->exec();
    delete window.data();
}

}  // namespace

void OpenAboutWindow(QWidget* owner) { OpenModal<AboutWindow>(owner); }

void OpenContactWindow(QWidget* owner) { OpenModal<ContactWindow>(owner); }

void PrepareInfoWindow(QWidget& window, const QString& title, QSize clientSize) {
    window.setObjectName(title);
    window.setWindowTitle(title);
    window.setAccessibleName(title);
    window.setFixedSize(clientSize);
}

void CentreOnScreen(QWidget& window, const QWidget* owner) {
    const QScreen* screen = owner && owner->screen() ? owner->screen() : QGuiApplication::primaryScreen();
    if (!screen) return;
    QRect frame(QPoint(0, 0), window.size());
    frame.moveCenter(screen->availableGeometry().center());
    window.move(frame.topLeft());
}

QLabel* AddInfoLabel(QWidget& parent, const char* layoutName, const QString& text, QRect place, const QFont& font) {
    auto* label = new QLabel(&parent);
    label->setObjectName(QString::fromUtf8(layoutName));
    label->setTextFormat(Qt::PlainText);
    label->setText(text);
    label->setAccessibleName(text.isEmpty() ? label->objectName() : text);
    label->setGeometry(place);
    label->setFont(font);
    label->setAlignment(Qt::AlignLeft | Qt::AlignTop);
    return label;
}

void AttachShell(MainWindow& window) {
    const QString title = QStringLiteral("青柚JS调试工具") + QString::fromStdString(VersionText());
    TrayIcon* tray = InstallTrayIcon(window, window.TrayMenu(), title, TrayBalloon{QStringLiteral("欢迎"), title},
                                     [&window] { ShowMainWindow(window); });
    GlobalHotkey* hotkey = InstallHotkey(window, Qt::AltModifier, 'q', [&window] { ToggleMainWindow(window); });
    HideWhenMinimised(window, [tray = QPointer<TrayIcon>(tray), hotkey = QPointer<GlobalHotkey>(hotkey)] {
        return (tray && tray->Reachable()) || (hotkey && hotkey->Installed());
    });

    QObject::connect(window.MenuAction("显示程序"), &QAction::triggered, &window, [&window] { ShowMainWindow(window); });
    // Closing the main window ends the program; the icon goes with the window.
    QObject::connect(window.MenuAction("退出程序"), &QAction::triggered, &window, [&window] { window.close(); });
    QObject::connect(window.MenuAction("软件版本"), &QAction::triggered, &window, [&window] { OpenAboutWindow(&window); });
    QObject::connect(window.MenuAction("联系作者"), &QAction::triggered, &window,
                     [&window] { OpenContactWindow(&window); });
    QObject::connect(window.MenuAction("JavaScript速查"), &QAction::triggered, &window,
                     [] { ReferenceWindow::ShowOrActivate(); });
}

}  // namespace qy::app
