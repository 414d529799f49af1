/** @file PageBreakFeatures.h
 * Page breakpoints in the window: "页面断点…" in the menu "调试(&D)" opens the window
 * 调试器 on its page "页面断点"; "访问时暂停" on a row of its variables adds a break on
 * that member. The list applies at once to the loaded run and to every later load; a
 * logpoint (or a break reached where nothing can pause) writes its line to the log.
 */
#pragma once

#include <QObject>
#include <QPointer>
#include <memory>

#include "debug/PageBreaks.h"

namespace qy::app {

class DebugFeatures;
class DebuggerWindow;
class MainWindow;
class PageBreaksTab;

class PageBreakFeatures final : public QObject {
    Q_OBJECT
public:
    PageBreakFeatures(MainWindow& window, DebugFeatures& debug);
    ~PageBreakFeatures() override;

    debug::PageBreaks& Breaks() { return *m_breaks; }
    /// The window 调试器 shown on the page's tab.
    PageBreaksTab& ShowTab();
    void Add(const debug::PageBreak& brk);

private:
    void AddTab(DebuggerWindow* view);
    void Apply();

    MainWindow& m_window;
    DebugFeatures& m_debug;
    std::unique_ptr<debug::PageBreaks> m_breaks;
    std::vector<debug::PageBreak> m_list;
    QPointer<PageBreaksTab> m_tab;
};

}  // namespace qy::app
