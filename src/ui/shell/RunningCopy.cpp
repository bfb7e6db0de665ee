#include "ui/shell/RunningCopy.h"

#include "core/store/Database.h"

#include <QCryptographicHash>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>

namespace {
const QByteArray kRaise = "raise\n";
const QByteArray kDone = "raised\n";
const int kWaitMs = 5000;
} // namespace

RunningCopy::RunningCopy() : m_lock(Database::writerLockPath()) {}

RunningCopy::~RunningCopy() {
    delete m_server;
}

QString RunningCopy::serverName(const QString& dir) {
    const QString canonical = QFileInfo(dir).canonicalFilePath();
    const QByteArray key = QFile::encodeName(canonical.isEmpty() ? QDir::cleanPath(dir) : canonical);
    return QStringLiteral("tinyra-") +
           QString::fromLatin1(QCryptographicHash::hash(key, QCryptographicHash::Sha1).toHex().left(20));
}

bool RunningCopy::claim() {
    // Where the folder cannot be made, or no lock file can be made or opened in it (a read-only
    // folder), no copy can write the book, and the store's own opening says why. A lock file left
    // on a read-only folder is locked through a read-only descriptor: it shuts nobody out.
    m_first = !Database::makeDataDirectory() || m_lock.lock(false) || m_lock.unavailable();
    return m_first;
}

void RunningCopy::listen() {
    if (m_server || !m_first)
        return;
    m_server = new QLocalServer;
    m_server->setSocketOptions(QLocalServer::UserAccessOption);
    const QString name = serverName(Database::dataDirectory());
    // A socket left by a killed copy is this copy's to take over: it holds the lock.
    QLocalServer::removeServer(name);
    if (!m_server->listen(name))
        return;
    connect(m_server, &QLocalServer::newConnection, this, [this] {
        while (QLocalSocket* s = m_server->nextPendingConnection()) {
            connect(s, &QLocalSocket::disconnected, s, &QObject::deleteLater);
            connect(s, &QLocalSocket::readyRead, this, [this, s] {
                if (!s->canReadLine())
                    return;
                if (s->readLine() == kRaise) {
                    emit raiseRequested();
                    s->write(kDone);
                    s->flush();
                }
                s->disconnectFromServer();
            });
        }
    });
}

bool RunningCopy::handOver() {
    QLocalSocket socket;
    socket.connectToServer(serverName(Database::dataDirectory()));
    if (!socket.waitForConnected(kWaitMs))
        return false;
    socket.write(kRaise);
    if (!socket.waitForBytesWritten(kWaitMs))
        return false;
    while (!socket.canReadLine())
        if (!socket.waitForReadyRead(kWaitMs))
            return false;
    return socket.readLine() == kDone;
}
