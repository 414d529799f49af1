#include "app/PageFeatures.h"

#include <QAction>
#include <QActionGroup>
#include <QClipboard>
#include <QDir>
#include <QFile>
#include <QFileDialog>
#include <QFileInfo>
#include <QGuiApplication>
#include <QInputDialog>
#include <QJsonDocument>
#include <QJsonParseError>
#include <QMenu>
#include <QStandardPaths>

#include "app/MainWindow.h"
#include "app/MenuSupport.h"
#include "editor/Editor.h"
#include "env/PageHost.h"
#include "page/Collector.h"
#include "text/CodePage.h"

namespace qy::app {

QString ProfileFolder() {
    return QStandardPaths::writableLocation(QStandardPaths::GenericDataLocation) + QStringLiteral("/qingyou-js/profiles");
}

QStringList KeptProfiles() {
    QStringList names;
    for (const QFileInfo& f : QDir(ProfileFolder()).entryInfoList({QStringLiteral("*.json")}, QDir::Files, QDir::Name))
        names << f.completeBaseName();
    return names;
}

PageFeatures::PageFeatures(MainWindow& window) : QObject(&window), m_window(window) {
    setObjectName(QStringLiteral("PageFeatures"));
    QMenu* menu = ToolsMenu(window)->addMenu(QStringLiteral("网页与浏览器资料"));
    menu->setObjectName(QStringLiteral("网页与浏览器资料"));
    m_repeatable = menu->addAction(QStringLiteral("可重复运行（固定随机数和时钟）"));
    m_repeatable->setObjectName(QStringLiteral("可重复运行"));
    m_repeatable->setCheckable(true);
    connect(m_repeatable, &QAction::triggered, this, [this](bool on) { SetRepeatable(on); });
    QAction* cookies = menu->addAction(QStringLiteral("Cookie…"));
    cookies->setObjectName(QStringLiteral("Cookie"));
    connect(cookies, &QAction::triggered, this, [this] {
        bool ok = false;
        QString now = QString::fromStdString(env::CurrentPageSetup().typedCookies);
        QString pairs = QInputDialog::getMultiLineText(&m_window, QStringLiteral("Cookie"),
                                                       QStringLiteral("网页开始时已有的 Cookie（如 a=1; b=2），每次加载时放进 document.cookie："),
                                                       now, &ok);
        if (ok) SetCookies(pairs);
    });
    menu->addSeparator();
    QAction* import = menu->addAction(QStringLiteral("导入浏览器资料…"));
    import->setObjectName(QStringLiteral("导入浏览器资料"));
    connect(import, &QAction::triggered, this, [this] {
        QString path = QFileDialog::getOpenFileName(&m_window, QStringLiteral("导入浏览器资料"), QString(),
                                                    QStringLiteral("浏览器资料 (*.json);;所有文件 (*)"));
        if (!path.isEmpty()) ImportProfile(path);
    });
    m_profiles = menu->addMenu(QStringLiteral("使用浏览器资料"));
    m_profiles->setObjectName(QStringLiteral("使用浏览器资料"));
    connect(m_profiles, &QMenu::aboutToShow, this, &PageFeatures::FillProfileMenu);
    QAction* collector = menu->addAction(QStringLiteral("复制采集脚本"));
    collector->setObjectName(QStringLiteral("复制采集脚本"));
    connect(collector, &QAction::triggered, this, &PageFeatures::CopyCollector);

    // A page's local scripts are beside the file the editor holds.
    window.Session().SetPageFileSource([w = &window] {
        editor::Editor* e = w->CurrentEditor();
        return e && !e->Origin().path.isEmpty() ? QFileInfo(e->Origin().path).absoluteFilePath().toStdString() : std::string();
    });
}

void PageFeatures::Log(const QString& line) {
    m_window.AppendLog(text::WideToAnsi(line.toStdU16String()) + "\r\n");
}

void PageFeatures::SetRepeatable(bool on) {
    m_repeatable->setChecked(on);
    env::PageSetup setup = env::CurrentPageSetup();
    if (on) setup.seed = 1;
    else setup.seed.reset();
    env::SetPageSetup(std::move(setup));
    Log(on ? QStringLiteral("-->可重复运行已打开：随机数和时钟每次相同，下次加载代码时生效")
           : QStringLiteral("-->可重复运行已关闭，下次加载代码时生效"));
}

void PageFeatures::SetCookies(const QString& pairs) {
    env::PageSetup setup = env::CurrentPageSetup();
    setup.typedCookies = pairs.simplified().toStdString();
    env::SetPageSetup(std::move(setup));
    Log(pairs.trimmed().isEmpty() ? QStringLiteral("-->Cookie 已清空，下次加载代码时生效")
                                  : QStringLiteral("-->Cookie 已设置，下次加载代码时生效"));
}

bool PageFeatures::ImportProfile(const QString& path) {
    QFile file(path);
    if (!file.open(QIODevice::ReadOnly)) {
        Log(QStringLiteral("-->浏览器资料读取失败：") + file.errorString());
        return false;
    }
    QByteArray bytes = file.readAll();
    QJsonParseError error;
    QJsonDocument doc = QJsonDocument::fromJson(bytes, &error);
    if (error.error != QJsonParseError::NoError || !doc.isObject()) {
        Log(QStringLiteral("-->浏览器资料不是采集脚本打印的 JSON，未导入"));
        return false;
    }
    QString name = QFileInfo(path).completeBaseName();
    QDir().mkpath(ProfileFolder());
    QFile kept(ProfileFolder() + QLatin1Char('/') + name + QStringLiteral(".json"));
    if (!kept.open(QIODevice::WriteOnly | QIODevice::Truncate) || kept.write(bytes) != bytes.size()) {
        Log(QStringLiteral("-->浏览器资料保存失败：") + kept.errorString());
        return false;
    }
    kept.close();
    Log(QStringLiteral("-->浏览器资料“%1”已导入").arg(name));
    return UseProfile(name);
}

bool PageFeatures::UseProfile(const QString& name) {
    env::PageSetup setup = env::CurrentPageSetup();
    if (name.isEmpty()) {
        setup.profile.clear();
    } else {
        QFile file(ProfileFolder() + QLatin1Char('/') + name + QStringLiteral(".json"));
        if (!file.open(QIODevice::ReadOnly)) {
            Log(QStringLiteral("-->浏览器资料“%1”读取失败").arg(name));
            return false;
        }
        setup.profile = QString::fromUtf8(file.readAll()).toStdU16String();
    }
    env::SetPageSetup(std::move(setup));
    m_profile = name;
    Log(name.isEmpty() ? QStringLiteral("-->已改用内置浏览器资料，下次加载代码时生效")
                       : QStringLiteral("-->已使用浏览器资料“%1”，下次加载代码时生效").arg(name));
    return true;
}

void PageFeatures::FillProfileMenu() {
    m_profiles->clear();
    auto* group = new QActionGroup(m_profiles);
    auto add = [&](const QString& label, const QString& name) {
        QAction* a = m_profiles->addAction(label);
        a->setCheckable(true);
        a->setChecked(name == m_profile);
        group->addAction(a);
        connect(a, &QAction::triggered, this, [this, name] { UseProfile(name); });
    };
    add(QStringLiteral("内置资料（桌面版 Chrome）"), QString());
    for (const QString& name : KeptProfiles()) add(name, name);
}

void PageFeatures::CopyCollector() {
    std::string_view snippet = page::CollectorScript();
    QGuiApplication::clipboard()->setText(QString::fromUtf8(snippet.data(), static_cast<qsizetype>(snippet.size())));
    Log(QStringLiteral("-->采集脚本已复制：在自己的 Chrome 里打开网站，按 F12 在控制台粘贴运行，把打印的 JSON 存成文件后导入"));
}

}  // namespace qy::app
