/** @file ServeFeatures.h
 * "工具(&T)" → "作为本地服务运行": the code loaded last, with the target and browser
 * environment as set, served over HTTP by engine workers (serve/Service.h) while the
 * item is ticked. The status bar shows the address and a live count of calls, the log
 * a line for each call answered with an error; loading code again reloads the service,
 * and a second choice or closing the window stops it. The caller-code menu gets
 * "本地服务" programs that call it.
 */
#pragma once

#include <QObject>
#include <memory>
#include <mutex>
#include <string>
#include <thread>

class QAction;
class QLabel;
class QTimer;

namespace qy::serve {
class Service;
}

namespace qy::app {

class MainWindow;

class ServeFeatures : public QObject {
    Q_OBJECT
public:
    explicit ServeFeatures(MainWindow& window);
    ~ServeFeatures() override;

    /// Starts serving the loaded code (on `port`, or a free port when it is taken); false
    /// (with a log line) when nothing is loaded or the service cannot start.
    bool Start(int port = 8930);
    /// Stops serving: calls in flight are answered first.
    void Stop();
    bool Serving() const { return m_service != nullptr; }
    /// "http://127.0.0.1:8930" while serving, else the address it would use.
    std::string Address() const;
    uint64_t Calls() const;

private:
    void Toggle(bool on);
    void ShowStatus();
    void CopyCallerProgram(int language);
    void ReloadLater();

    MainWindow& m_window;
    QAction* m_action = nullptr;
    QLabel* m_status = nullptr;
    QTimer* m_refresh = nullptr;
    std::unique_ptr<serve::Service> m_service;
    /// The text of the last load (workbench text); the service reads it at each (re)load.
    std::shared_ptr<std::string> m_code;
    std::shared_ptr<std::mutex> m_codeMutex;
    std::string m_loadedName;
    std::thread m_reloader;
};

}  // namespace qy::app
