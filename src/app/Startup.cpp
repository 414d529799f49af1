#include "app/Startup.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QPointer>
#include <QTimer>
#include <QTranslator>
#include <memory>

#include "app/BusyWindow.h"
#include "app/EditingFeatures.h"
#include "app/Features.h"
#include "app/HotExit.h"
#include "app/MainWindow.h"
#include "app/SessionEnd.h"
#include "app/Settings.h"
#include "app/SingleInstance.h"
#include "app/TrayIcon.h"
#include "script/Engine.h"
#include "transform/Transforms.h"

// Resources of a static library must be registered by name from the global namespace.
static void InitWorkbenchResources() { Q_INIT_RESOURCE(resources); }

namespace qy::app {
namespace {
constexpr int kWarmUpDelayMs = 1500;
/// How long a later start waits for the first window to take its files.
constexpr int kHandOverWaitMs = 5000;
}  // namespace

void InitResources() { ::InitWorkbenchResources(); }

void InstallChineseTranslations(QApplication& app) {
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char* name : {"qtbase_zh_CN", "qt_zh_CN"}) {
        auto* translator = new QTranslator(&app);
        if (translator->load(QString::fromLatin1(name), dir)) app.installTranslator(translator);
        else delete translator;
    }
}

void PrepareApplication(QApplication& app) {
    InstallChineseTranslations(app);
    InitResources();
    app.setWindowIcon(QIcon(QStringLiteral(":/icon/app.svg")));
    // The main window may sit hidden in the notification area; closing the last other
    // window (the reference or decoder window) must not end the program then. Closing
    // the main window ends it.
    app.setQuitOnLastWindowClosed(false);
}

int RunWorkbench(QApplication& app) {
    PrepareApplication(app);
    HandleSessionEnd();
    // Files named on the command line (Qt has taken its own options out by now).
    QStringList given;
    for (const QString& a : app.arguments().mid(1))
        if (!a.startsWith(QLatin1Char('-'))) given << a;
    // One window per data folder: a later start hands its files to the first window.
    SingleInstance instance(HotExitFolder());
    if (!instance.First()) {
        if (instance.HandOver(given, kHandOverWaitMs)) return 0;
        QMessageBox::warning(nullptr, QStringLiteral("青柚JS调试工具"),
                             QStringLiteral("已有一个青柚JS调试工具窗口在运行，但它没有响应。\n"
                                            "请等它响应，或结束它之后再打开。"));
        return 1;
    }
    // The engine starts before the window, which creates its script host at once.
    script::StartEngine();
    script::SetScriptTarget(LoadScriptTarget());
    BusyWindow::Install();
    int code = 0;
    {
        // The created handler runs inside the constructor; the notification-area icon
        // and the Alt+Q hotkey are attached with the other features right after it
        // (AttachFeatures), since nothing in the handler depends on them.
        auto window = std::make_unique<MainWindow>();
        AttachFeatures(*window);
        auto* hotExit = new HotExit(*window, HotExitPath());
        hotExit->Restore();
        SetSessionSave([hotExit = QPointer<HotExit>(hotExit)] {
            if (hotExit) hotExit->Save();
        });
        auto open = [w = window.get()](const QStringList& files) {
            if (files.isEmpty()) return;
            if (auto* editing = w->findChild<EditingFeatures*>()) editing->OpenGivenFiles(files);
        };
        open(given);
        window->show();
        instance.Listen([w = window.get(), open](const QStringList& files) {
            ShowMainWindow(*w);
            open(files);
        });
        // Once the window is up and nothing else runs, the formatter is compiled, so that
        // the first "格式化" runs at full speed (a busy engine skips it).
        QTimer::singleShot(kWarmUpDelayMs, window.get(), [] { transform::WarmFormatter(); });
        code = app.exec();
        SetSessionSave(nullptr);
    }
    // The main window and its script host are gone; the modeless windows still open
    // (reference, decoder) and everything left for deferred deletion go too before
    // the engine ends, so no script object outlives it.
    QApplication::closeAllWindows();
    QCoreApplication::sendPostedEvents(nullptr, QEvent::DeferredDelete);
    script::StopEngine();
    return code;
}

}  // namespace qy::app
