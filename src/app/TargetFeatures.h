/** @file TargetFeatures.h
 * The script target menu of a main window ("工具(&T)" → "脚本目标"): the two targets as
 * ticked choices, the switch with its log line and the kept setting, and Debug.write
 * text of JScript scripts going to the output log.
 */
#pragma once

#include <QObject>

#include "script/ScriptTarget.h"

class QAction;

namespace qy::app {

class MainWindow;

class TargetFeatures : public QObject {
    Q_OBJECT
public:
    explicit TargetFeatures(MainWindow& window);
    ~TargetFeatures() override;

    /// Makes `target` current for the next load, ticks it, logs and keeps it.
    void Choose(script::ScriptTarget target);

private:
    void Tick();

    MainWindow& m_window;
    QAction* m_jscript = nullptr;
    QAction* m_modern = nullptr;
};

}  // namespace qy::app
