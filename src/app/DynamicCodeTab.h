/** @file DynamicCodeTab.h
 * One piece of code the script made at run time, in a read-only tab of the window
 * "动态代码": its text (or, when asked, the text formatted), its breakpoints (F9 sets or
 * clears one on the line of the caret; they hold in the text as it was made, so they
 * are set while it is shown unformatted) and, while the run is paused in it, the line
 * it stands at.
 */
#pragma once

#include <QWidget>
#include <set>

#include "debug/ScriptWatch.h"

class QLabel;
class QPlainTextEdit;
class QPushButton;

namespace qy::app {

class DynamicCodeTab final : public QWidget {
    Q_OBJECT
public:
    DynamicCodeTab(const debug::DynamicSource& source, QWidget* parent);

    const std::u16string& SourceText() const { return m_source; }
    /// Lines (from 1) with a breakpoint.
    const std::set<uint32_t>& Breakpoints() const { return m_breakpoints; }
    /// Sets or clears the breakpoint on `line` (from 1); false while formatted.
    bool ToggleBreakpoint(uint32_t line);
    /// Shows the text formatted (or as made); false when it cannot be formatted.
    bool SetFormatted(bool on);
    bool Formatted() const { return m_formatted; }
    /// Marks the line (from 1) the paused run stands at; 0 clears it.
    void ShowExecutionPoint(uint32_t line);
    /// The formatter runs the engine: not while a run is paused.
    void SetFormatAllowed(bool allowed);
    QPlainTextEdit* Text() const { return m_text; }

signals:
    void breakpointsChanged();

private:
    void Highlight();

    std::u16string m_source;
    QString m_formattedText;
    QPlainTextEdit* m_text;
    QPushButton* m_format;
    QLabel* m_status;
    std::set<uint32_t> m_breakpoints;
    uint32_t m_executionLine = 0;
    bool m_formatted = false;
};

}  // namespace qy::app
