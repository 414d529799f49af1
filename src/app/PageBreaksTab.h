/** @file PageBreaksTab.h
 * The page "页面断点" of the window 调试器: the breakpoints on what the page does (a
 * request, a cookie or storage write, a timer, animation-frame or listener callback, a
 * member read or written), each a pause or a logpoint, listed, added and removed. It
 * only shows and asks; PageBreakFeatures hands the list to the debugger.
 */
#pragma once

#include <QWidget>
#include <vector>

#include "debug/PageBreaks.h"

class QCheckBox;
class QComboBox;
class QLineEdit;
class QPushButton;
class QTreeWidget;

namespace qy::app {

class PageBreaksTab final : public QWidget {
    Q_OBJECT
public:
    explicit PageBreaksTab(QWidget* parent = nullptr);

    const std::vector<debug::PageBreak>& Breaks() const { return m_breaks; }
    void SetBreaks(std::vector<debug::PageBreak> breaks);
    /// Adds one (a second of the same kind and text replaces the first).
    void Add(const debug::PageBreak& brk);
    void RemoveAt(int row);

signals:
    void changed();

protected:
    /// Delete in the list removes the chosen breakpoint.
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    void AddFromForm();
    void ShowList();
    void ShowHint();

    std::vector<debug::PageBreak> m_breaks;
    QTreeWidget* m_list = nullptr;
    QComboBox* m_kind = nullptr;
    QLineEdit* m_text = nullptr;
    QCheckBox* m_log = nullptr;
    QPushButton* m_remove = nullptr;
};

}  // namespace qy::app
