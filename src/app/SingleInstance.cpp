#include "app/SingleInstance.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QJsonArray>
#include <QJsonDocument>
#include <QLocalServer>
#include <QLocalSocket>
#include <QPointer>
#include <QThread>
#include <unistd.h>

namespace qy::app {

QString SingleInstance::ServerName(const QString& folder) {
    const QByteArray hash = QCryptographicHash::hash(QDir(folder).absolutePath().toUtf8(), QCryptographicHash::Sha1);
    return QStringLiteral("qingyou-js-%1-%2").arg(::getuid()).arg(QString::fromLatin1(hash.toHex().left(16)));
}

SingleInstance::SingleInstance(const QString& folder, QObject* owner) : QObject(owner), m_name(ServerName(folder)) {
    setObjectName(QStringLiteral("SingleInstance"));
    if (!QDir().mkpath(folder)) return;
    m_lock = std::make_unique<QLockFile>(folder + QStringLiteral("/instance.lock"));
    // A lock left by a program that no longer runs is taken over.
    m_lock->setStaleLockTime(0);
    if (m_lock->tryLock(0)) return;
    m_first = m_lock->error() != QLockFile::LockFailedError;
    if (m_first) m_lock.reset();  // the folder cannot hold a lock: no claim at all
}

SingleInstance::~SingleInstance() = default;

bool SingleInstance::HandOver(const QStringList& files, int waitMs) {
    QJsonArray list;
    for (const QString& f : files) list.append(QFileInfo(f).absoluteFilePath());
    const QByteArray message = QJsonDocument(list).toJson(QJsonDocument::Compact) + '\n';
    QLocalSocket socket;
    // The first program may still be starting: it listens once its window is up.
    for (int waited = 0; waited <= waitMs; waited += 100) {
        socket.connectToServer(m_name);
        if (socket.waitForConnected(100)) break;
        socket.abort();
        QThread::msleep(100);
    }
    if (socket.state() != QLocalSocket::ConnectedState) return false;
    socket.write(message);
    if (!socket.waitForBytesWritten(waitMs)) return false;
    while (socket.bytesAvailable() < 3)
        if (!socket.waitForReadyRead(waitMs)) return false;
    return socket.readAll().startsWith("ok");
}

void SingleInstance::Listen(std::function<void(const QStringList&)> onStart) {
    if (!m_first || m_server) return;
    m_server = new QLocalServer(this);
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    // A socket left by a program that no longer runs (the lock says none does).
    QLocalServer::removeServer(m_name);
    if (!m_server->listen(m_name)) return;
    connect(m_server, &QLocalServer::newConnection, this, [this, onStart = std::move(onStart)] {
        while (QLocalSocket* socket = m_server->nextPendingConnection()) {
            connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
            connect(socket, &QLocalSocket::readyRead, this, [socket, onStart] {
                if (!socket->canReadLine()) return;
                QStringList files;
                for (const QJsonValue& v : QJsonDocument::fromJson(socket->readLine()).array())
                    if (v.isString()) files << v.toString();
                socket->write("ok\n");
                socket->flush();
                onStart(files);
            });
        }
    });
}

}  // namespace qy::app
