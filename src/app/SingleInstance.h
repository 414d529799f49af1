/** @file SingleInstance.h
 * One workbench window per data folder: two windows on one folder would overwrite each
 * other's kept texts. A later start hands the files it was given to the running window,
 * which comes to the front and opens them, and ends.
 */
#pragma once

#include <QLockFile>
#include <QObject>
#include <QStringList>
#include <functional>
#include <memory>

class QLocalServer;

namespace qy::app {

class SingleInstance final : public QObject {
    Q_OBJECT
public:
    /// Claims `folder` for this program.
    explicit SingleInstance(const QString& folder, QObject* owner = nullptr);
    ~SingleInstance() override;

    /// True when this program is the first on the folder (or the folder cannot be
    /// claimed at all: then every start is on its own, as before).
    bool First() const { return m_first; }
    /// Hands `files` to the first program; true once it has taken them. Waits at most
    /// `waitMs` for it to answer.
    bool HandOver(const QStringList& files, int waitMs);
    /// Takes the later starts from now on: `onStart` gets each one's files.
    void Listen(std::function<void(const QStringList&)> onStart);

    /// The name the first program listens under for `folder`.
    static QString ServerName(const QString& folder);

private:
    QString m_name;
    std::unique_ptr<QLockFile> m_lock;
    bool m_first = true;
    QLocalServer* m_server = nullptr;
};

}  // namespace qy::app
