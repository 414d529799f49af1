#include "app/Features.h"

#include <QAction>

#include "app/EditingFeatures.h"
#include "app/Hotkey.h"
#include "app/InfoWindows.h"
#include "app/MainWindow.h"
#include "app/NetworkFeatures.h"
#include "app/TrayIcon.h"
#include "app/TransformFeatures.h"
#include "inspect/ObjectViewer.h"

namespace qy::app {
namespace {

/// The Alt+Q grab lives as long as its window.
class HotkeyOwner final : public QObject {
public:
    explicit HotkeyOwner(MainWindow& window) : QObject(&window) {
        setObjectName(QStringLiteral("GlobalHotkey"));
        hotkey.Install('q', [&window] { ToggleMainWindow(window); });
    }
    GlobalHotkey hotkey;
};

template <typename Window>
void OpenModal(MainWindow& owner) {
    Window window(&owner);
    window.setWindowModality(Qt::ApplicationModal);
    window.exec();
}

}  // namespace

void AttachFeatures(MainWindow& window) {
    new TrayIcon(window);
    new HotkeyOwner(window);
    new EditingFeatures(window);
    new NetworkFeatures(window);
    new TransformFeatures(window);
    window.objectViewerOpener = [](const script::ObjectRef& object) { inspect::OpenObjectViewer(object); };
    QObject::connect(window.MenuAction("软件版本"), &QAction::triggered, &window,
                     [&window] { OpenModal<AboutWindow>(window); });
    QObject::connect(window.MenuAction("联系作者"), &QAction::triggered, &window,
                     [&window] { OpenModal<ContactWindow>(window); });
    QObject::connect(window.MenuAction("JavaScript速查"), &QAction::triggered, &window,
                     [] { ReferenceWindow::ShowOrActivate(); });
}

}  // namespace qy::app
