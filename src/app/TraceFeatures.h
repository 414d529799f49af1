/** @file TraceFeatures.h
 * The access trace from the window: "环境访问记录…" in the menu "调试(&D)" opens the
 * trace's window, whose switch turns the trace on or off for the next load. The
 * entries of the running load are kept here (the window may come and go).
 */
#pragma once

#include <QObject>
#include <QPointer>

#include "env/AccessTrace.h"

namespace qy::app {

class MainWindow;
class TraceWindow;

class TraceFeatures final : public QObject {
    Q_OBJECT
public:
    explicit TraceFeatures(MainWindow& window);
    ~TraceFeatures() override;

    /// Turns the trace on or off; applies from the next load.
    void SetTracing(bool on);
    bool Tracing() const { return m_tracing; }
    const env::TraceLog& Log() const { return m_log; }
    /// The trace's window, opened.
    TraceWindow& ShowWindow();

private:
    void Arrived(const env::TraceEntry& entry);

    MainWindow& m_window;
    env::TraceLog m_log;
    QPointer<TraceWindow> m_view;
    bool m_tracing = false;
    bool m_refreshQueued = false;
};

}  // namespace qy::app
