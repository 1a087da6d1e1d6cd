#include "main/singleinstance.h"

#include "platform/catalogue.h"
#include "platform/codec.h"

#include <QApplication>
#include <QCryptographicHash>
#include <QDeadlineTimer>
#include <QDir>
#include <QFileInfo>
#include <QLocalServer>
#include <QLocalSocket>
#include <QSysInfo>
#include <QThread>
#include <QWidget>

#include <algorithm>
#include <cstdio>

namespace vell {

namespace {

constexpr char Request[] = "raise\n";
constexpr char Reply[] = "ok\n";

// The socket lies in the data folder; a folder too deep for a socket's
// address (108 bytes) gets a name of its own in the temporary folder. Both
// come from the folder's canonical path, so that a start through a link to
// the folder, or through another spelling of it, meets the same socket.
QString socketNameFor(const QString& dataFolder) {
    QString canonical = QFileInfo(dataFolder).canonicalFilePath();
    if (canonical.isEmpty()) canonical = dataFolder;
    QString path = QDir(canonical).filePath(QStringLiteral("vell.socket"));
    if (QFile::encodeName(path).size() < 100) return path;
    QByteArray hash = QCryptographicHash::hash(QFile::encodeName(path), QCryptographicHash::Sha1).toHex();
    return QStringLiteral("corvane-vell-%1").arg(QString::fromLatin1(hash.left(16)));
}

} // namespace

SingleInstance::SingleInstance(const QString& dataFolder, QObject* parent)
    : QObject(parent), socketName_(socketNameFor(dataFolder)),
      lockPath_(QDir(dataFolder).filePath(QStringLiteral("vell.lock"))), lock_(lockPath_) {
    // A lock of a running program never goes stale by age (the program may
    // run for days); one whose process is gone is stale at once.
    lock_.setStaleLockTime(0);
}

SingleInstance::~SingleInstance() {
    if (server_) server_->close();
}

SingleInstance::Start SingleInstance::acquire() {
    if (lock_.tryLock(0)) return listen();
    if (lock_.error() != QLockFile::LockFailedError) return Start::Unguarded;
    // A program starting right now writes its lock within moments; a lock
    // that still names nobody after that was left half-written, and is
    // taken over unless a live program holds it still (one that cannot be
    // opened for writing cannot be asked, nor was it written by a program).
    for (int tries = 0; !readHolder(); ++tries) {
        if (tries == 5) {
            if (!lock_.removeStaleLockFile() && !QFileInfo(lockPath_).isWritable()) QFile::remove(lockPath_);
            if (lock_.tryLock(0)) return listen();
            readHolder();
            break;
        }
        QThread::msleep(100);
        if (lock_.tryLock(0)) return listen();
    }
    return Start::Running;
}

SingleInstance::Start SingleInstance::takeOver() {
    if (!lock_.removeStaleLockFile()) QFile::remove(lockPath_);
    if (lock_.tryLock(0)) return listen();
    readHolder();
    return lock_.error() == QLockFile::LockFailedError ? Start::Running : Start::Unguarded;
}

bool SingleInstance::readHolder() {
    qint64 pid = 0;
    QString app;
    holderHost_.clear();
    return lock_.getLockInfo(&pid, &holderHost_, &app);
}

bool SingleInstance::holderIsHere() const {
    return holderHost_ == QSysInfo::machineHostName();
}

SingleInstance::Start SingleInstance::listen() {
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

bool SingleInstance::askRunningToRaise(int timeoutMs, const std::function<bool()>& giveUp) {
    QDeadlineTimer deadline(timeoutMs);
    auto left = [&deadline] { return static_cast<int>(std::max<qint64>(1, deadline.remainingTime())); };
    while (!deadline.hasExpired() && !(giveUp && giveUp())) {
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

std::optional<int> claimDataFolder(SingleInstance& instance, const std::string& shownFolder,
                                   const std::function<bool()>& giveUp) {
    SingleInstance::Start start = instance.acquire();
    while (start == SingleInstance::Start::Running) {
        if (instance.askRunningToRaise(instance.holderIsHere() ? 10000 : 1000, giveUp)) return 0;
        if (giveUp && giveUp()) return 0;
        QString host = instance.holderHost();
        if (host.isEmpty()) host = QStringLiteral("?");
        const int answer = plat::msg::showBox(40015, {shownFolder, plat::utf8ToCp932Shown(host.toStdString())},
                                              plat::msg::CaptionConfirm, plat::notify::Icon::Question,
                                              plat::notify::Buttons::YesNo, plat::msg::Style{false, nullptr});
        if (answer != plat::notify::IdYes || (giveUp && giveUp())) return 0;
        start = instance.takeOver();
    }
    if (start == SingleInstance::Start::Unguarded)
        std::fprintf(stderr, "Corvane Vell: no lock can be made as %s; nothing keeps a second program off the folder\n",
                     QFile::encodeName(instance.lockPath()).constData());
    return std::nullopt;
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
