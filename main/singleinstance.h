// One program at a time on a data folder. Two programs on one folder would
// each write the whole conf tree when they close, the last one winning, so
// the first start holds a lock file in the data folder and listens on a
// local socket there; a later start finds the lock held, asks the running
// program through the socket to raise its window, and ends. A lock left by
// a program that crashed names no running process and is taken over, and so
// is one that names nobody (left empty by a power cut just after a start).
// A holder that cannot be reached, a program on another machine (a home
// folder shared between machines, a data folder restored from another
// machine's backup) or one that does not answer, cannot be proved gone from
// here: the game master is asked whether to take the folder over or quit.
#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

#include <functional>
#include <optional>
#include <string>

class QLocalServer;
class QWidget;

namespace vell {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `dataFolder`: the data folder's OS path; it must exist. However it is
    // spelled (through a link, say), one folder has one lock and one socket.
    explicit SingleInstance(const QString& dataFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    enum class Start {
        First,   // the lock is ours: this program runs
        Running, // another program holds the lock
        Unguarded // no lock can be made (an unwritable folder): run without one
    };
    // Takes the lock and, when it is ours, listens for later starts.
    Start acquire();
    // Takes the lock of a holder that cannot be reached, as the game master
    // asked: the lock is removed whoever holds it, then taken.
    Start takeOver();
    // After Running: the host the lock names (its own host name for a
    // program on this machine), empty when the lock names nobody.
    QString holderHost() const { return holderHost_; }
    bool holderIsHere() const;
    const QString& lockPath() const { return lockPath_; }
    // For a later start: asks the running program to raise its window and
    // waits up to `timeoutMs` for its answer (it may still be starting), or
    // until `giveUp` says so. True when it answered.
    bool askRunningToRaise(int timeoutMs, const std::function<bool()>& giveUp = {});

signals:
    // A later start asked for the window.
    void raiseRequested();

private:
    Start listen();
    bool readHolder();
    void answer();

    QString socketName_;
    QString lockPath_;
    QLockFile lock_;
    QString holderHost_;
    QLocalServer* server_ = nullptr;
};

// A start's claim on the data folder (`shownFolder`: Shift-JIS, as the box
// names it): nullopt when this program may run on it (the lock is ours, or
// none can be made), else the exit code to end with. A running program is
// asked to come to the front (0); a holder that does not answer, on this
// machine within 10 s or on another within 1 s, is named in a box (40015)
// that takes the folder over or quits (0). `giveUp` (a close asked for
// meanwhile) ends the wait and the start with 0.
std::optional<int> claimDataFolder(SingleInstance& instance, const std::string& shownFolder,
                                   const std::function<bool()>& giveUp = {});

// Brings the program to the front: the topmost modal window while one is
// open (an event's window), else the main window, out of its minimised
// state.
void raiseProgramWindow(QWidget* mainWindow);

} // namespace vell
