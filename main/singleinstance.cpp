#include "main/singleinstance.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QLocalServer>
#include <QLocalSocket>
#include <QThread>
#include <QWidget>

#include <algorithm>

namespace vell {

namespace {

constexpr char Request[] = "raise\n";
constexpr char Reply[] = "ok\n";

// The socket lies in the data folder; a folder too deep for a socket's
// address (108 bytes) gets a name of its own in the temporary folder.
QString socketNameFor(const QString& dataFolder) {
    QString path = QDir(dataFolder).filePath(QStringLiteral("vell.socket"));
    if (QFile::encodeName(path).size() < 100) return path;
    QByteArray hash = QCryptographicHash::hash(QFile::encodeName(path), QCryptographicHash::Sha1).toHex();
    return QStringLiteral("corvane-vell-%1").arg(QString::fromLatin1(hash.left(16)));
}

} // namespace

SingleInstance::SingleInstance(const QString& dataFolder, QObject* parent)
    : QObject(parent), socketName_(socketNameFor(dataFolder)),
      lock_(QDir(dataFolder).filePath(QStringLiteral("vell.lock"))) {
    // A lock of a running program never goes stale by age (the program may
    // run for days); one whose process is gone is stale at once.
    lock_.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() {
    if (server_) server_->close();
}

SingleInstance::Start SingleInstance::acquire() {
    if (!lock_.tryLock(0)) return lock_.error() == QLockFile::LockFailedError ? Start::Running : Start::Unguarded;
    // The lock is ours, so a socket file left there is a crashed program's.
    QLocalServer::removeServer(socketName_);
    server_ = new QLocalServer(this);
    server_->setSocketOptions(QLocalServer::UserAccessOption);
    connect(server_, &QLocalServer::newConnection, this, &SingleInstance::answer);
    server_->listen(socketName_); // without it a later start only ends
    return Start::First;
}

void SingleInstance::answer() {
    while (QLocalSocket* socket = server_->nextPendingConnection()) {
        connect(socket, &QLocalSocket::disconnected, socket, &QObject::deleteLater);
        connect(socket, &QLocalSocket::readyRead, this, [this, socket] {
            if (!socket->canReadLine()) return;
            if (socket->readLine() == Request) {
                socket->write(Reply);
                socket->flush();
                emit raiseRequested();
            }
            socket->disconnectFromServer();
        });
    }
}

bool SingleInstance::askRunningToRaise(int timeoutMs) {
    QDeadlineTimer deadline(timeoutMs);
    auto left = [&deadline] { return static_cast<int>(std::max<qint64>(1, deadline.remainingTime())); };
    while (!deadline.hasExpired()) {
        QLocalSocket socket;
        socket.connectToServer(socketName_);
        if (socket.waitForConnected(left())) {
            socket.write(Request);
            socket.flush();
            while (!socket.canReadLine() && socket.waitForReadyRead(left())) {
            }
            return socket.canReadLine() && socket.readLine() == Reply;
        }
        // The running program may not listen yet.
        QThread::msleep(100);
    }
    return false;
}

void raiseProgramWindow(QWidget* mainWindow) {
    QWidget* top = QApplication::activeModalWidget();
    if (!top) top = mainWindow;
    if (!top) return;
    top->setWindowState(top->windowState() & ~Qt::WindowMinimized);
    top->show();
    top->raise();
    top->activateWindow();
}

} // namespace vell
