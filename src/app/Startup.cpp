#include "app/Startup.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTimer>
#include <QTranslator>
#include <memory>

#include "app/BusyWindow.h"
#include "app/EditingFeatures.h"
#include "app/Features.h"
#include "app/HotExit.h"
#include "app/MainWindow.h"
#include "app/Settings.h"
#include "script/Engine.h"
#include "transform/Transforms.h"

// Resources of a static library must be registered by name from the global namespace.
static void InitWorkbenchResources() { Q_INIT_RESOURCE(resources); }

namespace qy::app {
namespace {
constexpr int kWarmUpDelayMs = 1500;
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
        (new HotExit(*window, HotExitPath()))->Restore();
        // Files named on the command line (Qt has taken its own options out by now).
        QStringList given;
        for (const QString& a : app.arguments().mid(1))
            if (!a.startsWith(QLatin1Char('-'))) given << a;
        if (!given.isEmpty())
            if (auto* editing = window->findChild<EditingFeatures*>()) editing->OpenGivenFiles(given);
        window->show();
        // Once the window is up and nothing else runs, the formatter is compiled, so that
        // the first "格式化" runs at full speed (a busy engine skips it).
        QTimer::singleShot(kWarmUpDelayMs, window.get(), [] { transform::WarmFormatter(); });
        code = app.exec();
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
