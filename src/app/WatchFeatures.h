/** @file WatchFeatures.h
 * Watching the loaded script from the window: in the menu "调试(&D)", the choice of what
 * `debugger` statements do (passed over while no breakpoint is set, by default),
 * "函数监视…" (the functions whose calls go to the log, and a text that pauses the run
 * when a watched call's arguments hold it) and "动态代码…" (the code the script made at
 * run time, numbered; each opens in a read-only tab that formats it and takes
 * breakpoints, and a pause in it shows its line there). The watch applies from the next
 * load on; breakpoints at once.
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
class DynamicCodeTab;
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
    /// The tab of the source listed at `row` of that window, opened (and chosen).
    DynamicCodeTab* OpenDynamicTab(int row);

private:
    void EditHooks();
    void RefreshDynamicCode();
    /// The breakpoints of every open tab go to the debugger.
    void ApplyDynamicBreakpoints();
    /// A pause's chosen frame: in code made at run time, its tab shows the line.
    void ShowFrameIn(const QString& dynamicText, int line);

    MainWindow& m_window;
    DebugFeatures& m_debug;
    std::unique_ptr<debug::ScriptWatch> m_watch;
    QStringList m_paths;
    QString m_pauseText;
    QPointer<QDialog> m_dynamicView;
};

}  // namespace qy::app
