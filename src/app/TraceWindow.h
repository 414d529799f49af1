/** @file TraceWindow.h
 * The window "环境访问记录": every access the script made of the page in this load, in
 * order (操作, 名称, 值, 行), narrowed by a filter as it is typed, exported as text or
 * JSON, with the switch that turns the trace on for the next load. It only shows a
 * TraceLog kept elsewhere; new entries appear when it is told they came.
 */
#pragma once

#include <QDialog>
#include <vector>

#include "env/AccessTrace.h"

class QCheckBox;
class QLabel;
class QLineEdit;
class QTableView;

namespace qy::app {

class TraceModel;

class TraceWindow final : public QDialog {
    Q_OBJECT
public:
    TraceWindow(const env::TraceLog& log, bool tracing, QWidget* parent);
    ~TraceWindow() override;

    /// The log changed (entries added, or the list started afresh).
    void Refresh();
    /// Writes the entries shown (all that match the filter) to `path`: JSON when the
    /// name ends in ".json", text otherwise. False when the file cannot be written.
    bool Export(const QString& path) const;
    int ShownCount() const;

signals:
    void tracingChanged(bool on);

private:
    void ApplyFilter();
    void ChooseExport();

    const env::TraceLog& m_log;
    TraceModel* m_model;
    QTableView* m_table;
    QLineEdit* m_filter;
    QLabel* m_count;
    QCheckBox* m_switch;
};

}  // namespace qy::app
