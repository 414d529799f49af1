#include "app/Startup.h"

#include <QApplication>
#include <QIcon>
#include <QLibraryInfo>
#include <QTranslator>
#include <memory>

#include "app/BusyWindow.h"
#include "app/Features.h"
#include "app/MainWindow.h"
#include "script/Engine.h"

// Resources of a static library must be registered by name from the global namespace.
static void InitWorkbenchResources() { Q_INIT_RESOURCE(resources); }

namespace qy::app {

void InitResources() { ::InitWorkbenchResources(); }

void InstallChineseTranslations(QApplication& app) {
    const QString dir = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    for (const char* name : {"qtbase_zh_CN", "qt_zh_CN"}) {
        auto* translator = new QTranslator(&app);
        if (translator->load(QString::fromLatin1(name), dir)) app.installTranslator(translator);
        else delete translator;
    }
}

int RunWorkbench(QApplication& app) {
    InstallChineseTranslations(app);
    InitResources();
    app.setWindowIcon(QIcon(QStringLiteral(":/icon/app.svg")));
    script::StartEngine();
    BusyWindow::Install();
    int code = 0;
    {
        auto window = std::make_unique<MainWindow>();
        AttachFeatures(*window);
        window->show();
        code = app.exec();
    }
    script::StopEngine();
    return code;
}

}  // namespace qy::app
