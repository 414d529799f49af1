/** @file EnvFeatures.h
 * The browser environment in a main window ("工具(&T)" → "浏览器环境", ticked when on,
 * and "插入环境代码"): the switch with its log line and the kept setting, the page
 * address taken from the address box at each load, and the environment's own lines
 * (console calls, recorded requests) going to the output log.
 */
#pragma once

#include <QObject>

class QAction;

namespace qy::app {

class MainWindow;

class EnvFeatures : public QObject {
    Q_OBJECT
public:
    explicit EnvFeatures(MainWindow& window);
    ~EnvFeatures() override;

    /// Switches the environment for the next load, ticks it, logs and keeps it.
    void Switch(bool on);
    /// Puts the environment's text at the top of the current editor, once.
    void InsertIntoEditor();

private:
    MainWindow& m_window;
    QAction* m_switch = nullptr;
};

}  // namespace qy::app
