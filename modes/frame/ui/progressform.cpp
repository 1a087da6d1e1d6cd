// The progress window base of the threaded modes and its run thread host.
#include "modes/frame/ui/progressform.h"

#include "base/sjis.h"
#include "modes/frame/imports.h"
#include "modes/frame/standings.h"
#include "modes/frame/ui/modeform.h"
#include "platform/files.h"
#include "platform/ui/host.h"
#include "platform/ui/placement.h"
#include "platform/ui/qtsjis.h"
#include "sjis/frame_text.h"

#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QEventLoop>
#include <QHBoxLayout>
#include <QLabel>
#include <QProgressBar>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTextCursor>
#include <QTextEdit>
#include <QTimer>
#include <QVBoxLayout>

namespace modes::ui {

using plat::ui::fromSjis;

// The run thread's way to this window: queued calls and events, delivered
// on the window thread in the order they were posted.
class TFormProgress::Host : public RunHost {
public:
    explicit Host(TFormProgress* window) : window_(window) {}
    void post(std::function<void()> call) override { plat::ui::post(window_, std::move(call)); }
    void postGameDone() override {
        QCoreApplication::postEvent(window_, new QEvent(static_cast<QEvent::Type>(WM_GAMEDONE)));
    }
    void showCleanup(std::string_view status, int done, int total) override {
        TFormProgress* w = window_;
        plat::ui::post(
            w, [w, status = std::string(status), done, total] { w->showCleanup(status, done, total); });
    }
    void stoppedOnFault() override {
        TFormProgress* w = window_;
        plat::ui::post(w, [w] { w->stopAfterFault(); });
    }
    void finished() override {
        TFormProgress* w = window_;
        plat::ui::post(w, [w] { w->runFinished(); });
    }

private:
    TFormProgress* window_;
};

TFormProgress::TFormProgress(TFormMode& owner, EntrantList& entrants, std::string resultFile,
                             std::string akFolder, const char* memoName)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      owner_(owner), entrants_(entrants), resultFile_(std::move(resultFile)), akFolder_(std::move(akFolder)),
      host_(std::make_unique<Host>(this)) {
    setObjectName("TFormProgress");
    setWindowModality(Qt::ApplicationModal);

    auto* top = new QVBoxLayout(this);
    body_ = new QVBoxLayout;
    top->addLayout(body_, 1);

    Memo = new QTextEdit(this);
    Memo->setObjectName(memoName);
    Memo->setReadOnly(true);
    Memo->setAcceptRichText(false);
    Memo->setLineWrapMode(QTextEdit::NoWrap);
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
    body_->addWidget(Memo, 1);

    auto* progressRow = new QHBoxLayout;
    ProgressBar = new QProgressBar(this);
    ProgressBar->setObjectName("ProgressBar");
    ProgressBar->setRange(0, 0);
    ProgressBar->setValue(0);
    ProgressBar->setTextVisible(false);
    LabelProgress = new QLabel(this);
    LabelProgress->setObjectName("LabelProgress");
    progressRow->addWidget(ProgressBar, 1);
    progressRow->addWidget(LabelProgress);
    body_->addLayout(progressRow);

    StatusBar1 = new QStatusBar(this);
    StatusBar1->setObjectName("StatusBar1");
    StatusBar1->setSizeGripEnabled(false);
    const int widths[2] = {400, 50};
    for (int i = 0; i < 2; ++i) {
        panels_[i] = new QLabel(StatusBar1);
        panels_[i]->setAlignment(Qt::AlignCenter);
        panels_[i]->setMinimumWidth(widths[i]);
        panels_[i]->setFrameShape(QFrame::Panel);
        panels_[i]->setFrameShadow(QFrame::Sunken);
        StatusBar1->addWidget(panels_[i], i == 0 ? 0 : 1);
    }

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    ButtonCancel = new QPushButton(fromSjis(text::ButtonEnd), this);
    ButtonCancel->setObjectName("ButtonCancel");
    ButtonCancel->setAutoDefault(false);
    buttons->addWidget(ButtonCancel);
    top->addLayout(buttons);
    top->addWidget(StatusBar1);
    connect(ButtonCancel, &QPushButton::clicked, this, [this] { ButtonCancelClick(); });

    QSize screen(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (QScreen* s = QGuiApplication::primaryScreen()) screen = s->size();
    setMinimumSize(500, 420);
    setMaximumSize(std::max(500, screen.width()), std::max(420, screen.height()));
    resize(std::max(width(), 560), std::max(height(), 460));
}

TFormProgress::~TFormProgress() {
    // Normally the thread has ended (runProgress waited for it); a window
    // destroyed while its run goes on stops the run and still waits through
    // the event loop, so a worker waiting for a message box can finish.
    // The mode's part is gone by now: WM_GAMEDONE is no longer answered.
    destroying_ = true;
    if (thread_) {
        thread_->terminate();
        waitForRunEnd();
    }
}

ModeSetup& TFormProgress::setup() {
    return owner_.setup();
}

GameSettings& TFormProgress::settings() {
    return owner_.setup().settings();
}

ConfHeader& TFormProgress::header() {
    return owner_.setup().header();
}

const MsgWords& TFormProgress::words() {
    return owner_.setup().tables().Words;
}

QLabel* TFormProgress::statusPanel(int index) const {
    return index >= 0 && index < 2 ? panels_[index] : nullptr;
}

void TFormProgress::setStatusPanel(int index, std::string_view sjis) {
    if (QLabel* panel = statusPanel(index)) panel->setText(fromSjis(sjis));
}

void TFormProgress::addLine(std::string_view sjis) {
    memoBytes_ += sjis;
    memoBytes_ += "\r\n";
    QString shown = fromSjis(sjis);
    shown.remove(QLatin1Char('\r'));
    QTextCursor cursor(Memo->document());
    cursor.movePosition(QTextCursor::End);
    cursor.insertText(shown + QLatin1Char('\n'));
}

void TFormProgress::addLines(const Lines& lines) {
    for (const std::string& line : lines) addLine(line);
    Memo->moveCursor(QTextCursor::End);
    Memo->ensureCursorVisible();
}

bool TFormProgress::saveMemo() {
    return saveResultFile(resultFile_, memoBytes_);
}

void TFormProgress::SyncProgress(int done, int total) {
    ProgressBar->setValue(done);
    setStatusPanel(1, progressText(done, total));
}

void TFormProgress::showCleanup(const std::string& status, int done, int total) {
    if (status.empty()) {
        if (!cleanupShown_) return;
        cleanupShown_ = false;
        panels_[0]->setText(shownBefore_[0]);
        panels_[1]->setText(shownBefore_[1]);
        ProgressBar->setRange(0, barBefore_[0]);
        ProgressBar->setValue(barBefore_[1]);
        unsetCursor();
        return;
    }
    if (!cleanupShown_) {
        cleanupShown_ = true;
        shownBefore_[0] = panels_[0]->text();
        shownBefore_[1] = panels_[1]->text();
        barBefore_[0] = ProgressBar->maximum();
        barBefore_[1] = ProgressBar->value();
        // Working, and "終了" still answers.
        setCursor(Qt::BusyCursor);
    }
    setStatusPanel(0, status);
    // No total yet: the bar shows that it is busy.
    ProgressBar->setRange(0, total);
    ProgressBar->setValue(done);
    setStatusPanel(1, total > 0 ? progressText(done, total) : std::string());
}

void TFormProgress::FormCreate() {
    if (created_) return;
    created_ = true;
    const char* placement = owner_.info().ProgressWindow;
    plat::ui::LoadWindowPosition(placement, this);
    plat::ui::LoadWindowSize(placement, this);

    display_ = DispAttribute{};
    LoadDispAttribute(setup().programFolder().c_str(), &display_);
    Memo->clear();
    memoBytes_.clear();
    QFont font = plat::ui::displayFont(sjis::readField(display_.FontName), display_.FontSize);
    font.setFixedPitch(true);
    font.setStyleHint(QFont::Monospace);
    Memo->setFont(font);
    QPalette palette = Memo->palette();
    uint32_t text = display_.Color[0], background = display_.Color[7];
    palette.setColor(QPalette::Text, plat::ui::colorFromRef(text));
    palette.setColor(QPalette::Base, plat::ui::colorFromRef(background));
    Memo->setPalette(palette);
    prepare();
}

void TFormProgress::showEvent(QShowEvent* event) {
    QDialog::showEvent(event);
    if (shown_) return;
    shown_ = true;
    FormShow();
    // FormActivate: the set-up window goes out of the way while the event runs.
    QTimer::singleShot(0, &owner_,
                       [o = &owner_] { o->setWindowState(o->windowState() | Qt::WindowMinimized); });
}

void TFormProgress::FormShow() {
    thread_ = std::make_unique<RunThread>(*host_);
    RunThread::Body body = createRun();
    running_ = true;
    threadAlive_ = true;
    thread_->start(std::move(body));
}

void TFormProgress::runFinished() {
    running_ = false;
    threadAlive_ = false;
    if (waitLoop_) waitLoop_->quit();
}

bool TFormProgress::event(QEvent* e) {
    if (e->type() == static_cast<QEvent::Type>(WM_GAMEDONE)) {
        // The run reached its end: "終了" now closes with result 1. A
        // cancelled run publishes only where the mode says so (a run stopped
        // on a fault posts no WM_GAMEDONE at all: RunThread::postGameDone).
        running_ = false;
        if (!destroying_ && (!cancelled_ || publishesAfterCancel())) gameDone();
        return true;
    }
    return QDialog::event(e);
}

void TFormProgress::ButtonCancelClick() {
    if (running_) {
        if (thread_) thread_->terminate();
        running_ = false;
        cancelled_ = true;
        done(2);
    } else {
        done(1);
    }
}

void TFormProgress::emptyResultFile() {
    // Kept in memory: the run's clean-up takes any temporary file of the
    // results folder, a second name for the table too.
    tableBefore_ = plat::readWholeFile(resultFile_);
    tableEmptied_ = plat::writeWholeFileAtomic(resultFile_, "");
}

void TFormProgress::stopAfterFault() {
    if (tableEmptied_) {
        // The failed match's files are gone by now: their space is there.
        if (tableBefore_)
            plat::writeWholeFileAtomic(resultFile_, *tableBefore_);
        else
            plat::removeFile(resultFile_);
        tableEmptied_ = false;
    }
    if (running_) ButtonCancelClick();
}

void TFormProgress::reject() {
    ButtonCancelClick();
}

void TFormProgress::done(int result) {
    if (!placementSaved_ && created_) {
        placementSaved_ = true;
        plat::ui::SaveWindowPosition(owner_.info().ProgressWindow, this);
        plat::ui::SaveWindowSize(owner_.info().ProgressWindow, this);
    }
    QDialog::done(result);
}

void TFormProgress::waitForRunEnd() {
    if (!thread_) return;
    if (threadAlive_) {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        QEventLoop loop;
        waitLoop_ = &loop;
        loop.exec(QEventLoop::ExcludeUserInputEvents);
        waitLoop_ = nullptr;
        QApplication::restoreOverrideCursor();
    }
    thread_->join();
    thread_.reset();
}

} // namespace modes::ui
