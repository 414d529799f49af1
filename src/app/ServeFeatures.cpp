#include "app/ServeFeatures.h"

#include <unistd.h>

#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QFileInfo>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QStatusBar>
#include <QTimer>

#include "app/MainWindow.h"
#include "app/MenuSupport.h"
#include "editor/Editor.h"
#include "env/PageHost.h"
#include "script/ScriptTarget.h"
#include "serve/Json.h"
#include "serve/Service.h"
#include "text/CodePage.h"
#include "transform/CallerSnippets.h"

namespace qy::app {
namespace {

std::string Ansi(const std::string& utf8) { return text::Utf8ToAnsiText(utf8); }

/// The workers are the command-line program built beside the window program.
std::string WorkerProgram() {
    if (const char* chosen = std::getenv("QY_SERVE_WORKER")) return chosen;  // tests run it from elsewhere
    std::string path(4096, '\0');
    ssize_t n = readlink("/proc/self/exe", path.data(), path.size());
    if (n <= 0) return "qingyou-js";
    path.resize(static_cast<size_t>(n));
    return path.substr(0, path.rfind('/') + 1) + "qingyou-js";
}

/// The description of an error answer's JSON, or the text itself.
std::string Description(const std::string& json) {
    auto parsed = serve::Json::Parse(json);
    const serve::Json* e = parsed ? parsed->Find("error") : nullptr;
    const serve::Json* d = e ? e->Find("description") : nullptr;
    return d ? d->AsString() : json;
}

}  // namespace

ServeFeatures::ServeFeatures(MainWindow& window)
    : QObject(&window), m_window(window), m_code(std::make_shared<std::string>()),
      m_codeMutex(std::make_shared<std::mutex>()) {
    setObjectName(QStringLiteral("ServeFeatures"));
    m_action = ToolsMenu(window)->addAction(QStringLiteral("作为本地服务运行"));
    m_action->setObjectName(QStringLiteral("作为本地服务运行"));
    m_action->setCheckable(true);
    connect(m_action, &QAction::triggered, this, &ServeFeatures::Toggle);

    // The label joins the status bar only while serving: the window's size was fixed
    // with the bar as it was.
    m_status = new QLabel(&window);
    m_status->setObjectName(QStringLiteral("标签_本地服务"));
    m_status->hide();
    m_refresh = new QTimer(this);
    m_refresh->setInterval(250);
    connect(m_refresh, &QTimer::timeout, this, &ServeFeatures::ShowStatus);

    // The text of each load is kept: it is what the service serves, and loading again
    // while serving reloads the service once the load is done.
    connect(&window, &MainWindow::loading, this, [this](editor::Editor* editor) {
        if (!editor) return;
        {
            std::lock_guard lock(*m_codeMutex);
            *m_code = editor->Text();
        }
        QString path = editor->Origin().path;
        m_loadedName = path.isEmpty() ? "编辑框中的代码" : QFileInfo(path).fileName().toStdString();
        if (Serving()) QTimer::singleShot(0, this, &ServeFeatures::ReloadLater);
    });

    // Closing the window stops the service (calls in flight are answered first).
    connect(&window, &MainWindow::closing, this, &ServeFeatures::Stop);

    if (auto* callers = window.findChild<QMenu*>(QStringLiteral("菜单_调用代码"))) {
        QMenu* service = callers->addMenu(QStringLiteral("本地服务"));
        service->setObjectName(QStringLiteral("菜单_本地服务"));
        for (const auto& l : transform::ServiceLanguages()) {
            QAction* a = service->addAction(QString::fromUtf8(l.name) + QStringLiteral(" 调用本地服务"));
            a->setObjectName(QString::fromLatin1(l.key));
            connect(a, &QAction::triggered, this, [this, language = static_cast<int>(l.language)] { CopyCallerProgram(language); });
        }
    }
}

// The window's widgets may be gone by now: the service stops without a word.
ServeFeatures::~ServeFeatures() {
    if (m_reloader.joinable()) m_reloader.join();
    if (!m_service) return;
    m_service->Stop();
    m_service->Join();
}

std::string ServeFeatures::Address() const { return m_service ? m_service->Address() : "http://127.0.0.1:8930"; }

uint64_t ServeFeatures::Calls() const { return m_service ? m_service->Calls() : 0; }

void ServeFeatures::Toggle(bool on) {
    if (on) Start();
    else Stop();
}

bool ServeFeatures::Start(int port) {
    if (Serving()) return true;
    if (!m_window.Session().CodeLoaded()) {
        m_window.AppendLog(Ansi("-->请先加载代码，再作为本地服务运行\r\n"));
        m_action->setChecked(false);
        return false;
    }
    serve::ServiceOptions options;
    options.port = port;
    options.worker.program = WorkerProgram();
    options.worker.target = script::TargetKey(script::CurrentScriptTarget());
    options.worker.browserEnv = m_window.Session().BrowserEnvironment();
    if (auto* addr = m_window.Component<QComboBox>("组合框_addr")) options.worker.address = addr->currentText().toStdString();
    // The browser profile and the seed chosen in the menu go with the code.
    const env::PageSetup& page = env::CurrentPageSetup();
    options.worker.profile = text::Utf16ToUtf8(page.profile);
    options.worker.seed = page.seed;
    options.loadedName = m_loadedName;
    options.readScripts = [code = m_code, mutex = m_codeMutex, name = m_loadedName](std::vector<serve::Script>& out,
                                                                                    std::string&) {
        std::lock_guard lock(*mutex);
        out = {{name, *code}};
        return true;
    };
    auto service = std::make_unique<serve::Service>(options);
    std::string error;
    bool started = service->Start(error);
    if (!started && port != 0 && error.find("无法在") != std::string::npos) {
        // The usual port is taken (a service of the command line, say): any free one will do.
        options.port = 0;
        service = std::make_unique<serve::Service>(options);
        error.clear();
        started = service->Start(error);
    }
    if (!started) {
        m_window.AppendLog(Ansi("-->本地服务无法启动：" + Description(error) + "\r\n"));
        m_action->setChecked(false);
        return false;
    }
    // Service threads hand their lines to the window's thread.
    service->onLog = [this](const std::string& line) {
        QMetaObject::invokeMethod(this, [this, line] { m_window.AppendLog(Ansi(line + "\r\n")); }, Qt::QueuedConnection);
    };
    service->RunInBackground();
    m_service = std::move(service);
    m_action->setChecked(true);
    m_window.AppendLog(Ansi("-->本地服务已启动：" + m_service->Address() + "（" + script::TargetDisplayName(script::CurrentScriptTarget()) +
                            "，浏览器环境" + (options.worker.browserEnv ? "开" : "关") + "；浏览器打开该地址可看用法）\r\n"));
    m_window.statusBar()->addPermanentWidget(m_status);
    m_status->show();
    ShowStatus();
    m_refresh->start();
    return true;
}

void ServeFeatures::Stop() {
    if (!m_service) return;
    if (m_reloader.joinable()) m_reloader.join();
    m_refresh->stop();
    m_service->Stop();
    m_service->Join();
    uint64_t calls = m_service->Calls();
    m_service.reset();
    m_window.statusBar()->removeWidget(m_status);
    m_status->hide();
    m_action->setChecked(false);
    m_window.AppendLog(Ansi("-->本地服务已停止（共 " + std::to_string(calls) + " 次调用）\r\n"));
}

void ServeFeatures::ShowStatus() {
    if (!m_service) return;
    m_status->setText(QStringLiteral("本地服务 %1 · 调用 %2 次")
                          .arg(QString::fromStdString(m_service->Address()))
                          .arg(static_cast<qulonglong>(m_service->Calls())));
}

void ServeFeatures::ReloadLater() {
    if (!m_service || !m_window.Session().CodeLoaded()) return;
    if (m_reloader.joinable()) m_reloader.join();
    // A reload waits for a worker: not on the window's thread.
    m_reloader = std::thread([service = m_service.get()] { service->Reload(); });
}

void ServeFeatures::CopyCallerProgram(int language) {
    auto lang = static_cast<transform::ServiceLanguage>(language);
    std::u16string address = text::Utf8ToUtf16(Address());
    std::u16string expression = m_window.Component<QLineEdit>("编辑框_eval")->text().toStdU16String();
    QApplication::clipboard()->setText(QString::fromStdString(transform::ServiceCallerProgram(lang, address, expression)));
    std::string name;
    for (const auto& l : transform::ServiceLanguages())
        if (l.language == lang) name = l.name;
    m_window.statusBar()->showMessage(QString::fromStdString(name) + QStringLiteral(" 调用本地服务的代码已经复制"), 3000);
    if (!Serving())
        m_window.AppendLog(Ansi("-->提示：本地服务还没有运行：选“工具 → 作为本地服务运行”，或在命令行运行 qingyou-js serve 脚本.js\r\n"));
}

}  // namespace qy::app
