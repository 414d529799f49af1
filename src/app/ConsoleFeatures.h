/** @file ConsoleFeatures.h
 * The console habits of a main window: Enter in the expression box evaluates and Up and
 * Down walk the evaluated expressions, Enter in the address box fetches, Tab leaves the
 * output log (Ctrl+Tab writes a tab there) and the log's menu offers 复制 and 清空.
 */
#pragma once

#include <QObject>

#include "app/ExpressionHistory.h"

class QMenu;

namespace qy::app {

class MainWindow;

class ConsoleFeatures : public QObject {
    Q_OBJECT
public:
    explicit ConsoleFeatures(MainWindow& window);

    ExpressionHistory& History() { return m_history; }
    /// The log's context menu: 复制 (the selection, or the whole log when nothing is
    /// selected), 全选, 清空.
    void FillLogMenu(QMenu& menu);

signals:
    void historyChanged();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;

private:
    MainWindow& m_window;
    ExpressionHistory m_history;
};

}  // namespace qy::app
