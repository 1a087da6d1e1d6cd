// One program at a time on a data folder. Two programs on one folder would
// each write the whole conf tree when they close, the last one winning, so
// the first start holds a lock file in the data folder and listens on a
// local socket there; a later start finds the lock held, asks the running
// program through the socket to raise its window, and ends. A lock left by
// a program that crashed names no running process and is taken over.
#pragma once

#include <QLockFile>
#include <QObject>
#include <QString>

class QLocalServer;
class QWidget;

namespace vell {

class SingleInstance : public QObject {
    Q_OBJECT
public:
    // `dataFolder`: the data folder's OS path; it must exist.
    explicit SingleInstance(const QString& dataFolder, QObject* parent = nullptr);
    ~SingleInstance() override;

    enum class Start {
        First,   // the lock is ours: this program runs
        Running, // another program holds the lock
        Unguarded // no lock can be made (an unwritable folder): run without one
    };
    // Takes the lock and, when it is ours, listens for later starts.
    Start acquire();
    // For a later start: asks the running program to raise its window and
    // waits up to `timeoutMs` for its answer (it may still be starting).
    // True when it answered.
    bool askRunningToRaise(int timeoutMs);

signals:
    // A later start asked for the window.
    void raiseRequested();

private:
    void answer();

    QString socketName_;
    QLockFile lock_;
    QLocalServer* server_ = nullptr;
};

// Brings the program to the front: the topmost modal window while one is
// open (an event's window), else the main window, out of its minimised
// state.
void raiseProgramWindow(QWidget* mainWindow);

} // namespace vell
