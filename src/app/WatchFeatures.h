/** @file WatchFeatures.h
 * Watching the loaded script from the window: in the menu "调试(&D)", the choice of what
 * `debugger` statements do (passed over while no breakpoint is set, by default),
 * "函数监视…" (the functions whose calls go to the log, and a text that pauses the run
 * when a watched call's arguments hold it) and "动态代码…" (the code the script made at
 * run time, numbered, read-only). Everything applies from the next load on.
 */
#pragma once

#include <QObject>
#include <QPointer>
#include <QStringList>
#include <memory>

#include "debug/ScriptWatch.h"

class QDialog;

namespace qy::app {

class DebugFeatures;
class MainWindow;

class WatchFeatures final : public QObject {
    Q_OBJECT
public:
    WatchFeatures(MainWindow& window, DebugFeatures& debug);
    ~WatchFeatures() override;

    /// The watched functions by path ("btoa", "CryptoJS.MD5") and the pausing text.
    void SetHooks(const QStringList& paths, const QString& pauseText = {});
    const QStringList& Hooks() const { return m_paths; }
    debug::ScriptWatch& Watch() { return *m_watch; }
    /// The window listing the dynamic code, opened (and refreshed).
    QDialog& ShowDynamicCode();

private:
    void EditHooks();
    void RefreshDynamicCode();

    MainWindow& m_window;
    std::unique_ptr<debug::ScriptWatch> m_watch;
    QStringList m_paths;
    QString m_pauseText;
    QPointer<QDialog> m_dynamicView;
};

}  // namespace qy::app
