#include "main/closerequests.h"

#include <QApplication>
#include <QGuiApplication>
#include <QSocketNotifier>

#include <cerrno>
#include <fcntl.h>
#include <iterator>
#include <unistd.h>

namespace vell {

namespace {

constexpr int Signals[] = {SIGTERM, SIGHUP, SIGINT};
int pipeEnds[2] = {-1, -1};
struct sigaction former[std::size(Signals)] = {};
bool caught = false;
volatile std::sig_atomic_t closeAsked = 0;

void onSignal(int number) {
    closeAsked = 1;
    const int saved = errno;
    const unsigned char byte = static_cast<unsigned char>(number);
    ssize_t ignored = ::write(pipeEnds[1], &byte, 1); // a full pipe already holds a request
    (void)ignored;
    errno = saved;
}

} // namespace

void CloseRequests::catchSignals() {
    if (caught || ::pipe2(pipeEnds, O_CLOEXEC | O_NONBLOCK) != 0) return;
    struct sigaction action = {};
    action.sa_handler = onSignal;
    sigemptyset(&action.sa_mask);
    action.sa_flags = SA_RESTART;
    for (size_t i = 0; i < std::size(Signals); ++i) ::sigaction(Signals[i], &action, &former[i]);
    caught = true;
}

bool CloseRequests::asked() {
    return closeAsked != 0;
}

CloseRequests::CloseRequests(QWidget* mainWindow) : window_(mainWindow) {
    retry_.setSingleShot(true);
    connect(&retry_, &QTimer::timeout, this, &CloseRequests::step);
    catchSignals();
    if (caught) {
        notifier_ = new QSocketNotifier(pipeEnds[0], QSocketNotifier::Read, this);
        connect(notifier_, &QSocketNotifier::activated, this, [this] {
            unsigned char drained[16];
            while (::read(pipeEnds[0], drained, sizeof drained) > 0) {
            }
            request();
        });
    }
    auto* app = qobject_cast<QGuiApplication*>(QCoreApplication::instance());
    if (app) connect(app, &QGuiApplication::commitDataRequest, this, [this] { request(); });
    // A quit that came another way still saves on the way out.
    connect(QCoreApplication::instance(), &QCoreApplication::aboutToQuit, this, [this] {
        if (window_) window_->close();
    });
}

CloseRequests::~CloseRequests() {
    if (!notifier_) return;
    for (size_t i = 0; i < std::size(Signals); ++i) ::sigaction(Signals[i], &former[i], nullptr);
    delete notifier_;
    ::close(pipeEnds[0]);
    ::close(pipeEnds[1]);
    pipeEnds[0] = pipeEnds[1] = -1;
    caught = false;
    closeAsked = 0;
}

void CloseRequests::setWindow(QWidget* mainWindow) {
    window_ = mainWindow;
    if (asked()) QTimer::singleShot(0, this, &CloseRequests::request);
}

void CloseRequests::request() {
    closeAsked = 1;
    if (!retry_.isActive()) step();
}

void CloseRequests::step() {
    if (QWidget* popup = QApplication::activePopupWidget()) popup->close();
    if (QWidget* modal = QApplication::activeModalWidget()) {
        // Its loop ends once this handler returns; what lies below is
        // closed on the next step.
        modal->close();
        retry_.start(100);
        return;
    }
    if (window_) window_->close();
}

} // namespace vell
