/** @file NetworkFeatures.h
 * Wires "读取JS", "检查更新" and "解码工具" of a main window.
 */
#pragma once

#include <QObject>

#include "net/HttpGet.h"
#include "net/UpdateCheck.h"

namespace qy::app {

class MainWindow;

class NetworkFeatures : public QObject {
    Q_OBJECT
public:
    explicit NetworkFeatures(MainWindow& window);

    void FetchScript();
    void CheckForUpdate();
    const net::UpdateRecord& Record() const { return m_record; }
    /// The longest a fetch may take as a whole (tests shorten it).
    void SetTransferDeadline(long milliseconds) { m_deadlineMs = milliseconds; }

private:
    MainWindow& m_window;
    net::UpdateRecord m_record;
    long m_deadlineMs = net::kDeadlineMilliseconds;
};

}  // namespace qy::app
