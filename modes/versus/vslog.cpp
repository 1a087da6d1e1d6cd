// The one-vs-one match window.
#include "modes/versus/vslog.h"

#include "base/sjis.h"
#include "modes/frame/imports.h"
#include "modes/frame/modeinfo.h"
#include "modes/versus/statusinfo.h"
#include "modes/versus/vsstatus.h"
#include "platform/catalogue.h"
#include "platform/desktop.h"
#include "platform/ui/placement.h"
#include "platform/ui/qtsjis.h"
#include "sjis/versus_text.h"

#include <QAction>
#include <QApplication>
#include <QCoreApplication>
#include <QEvent>
#include <QKeyEvent>
#include <QLabel>
#include <QMenu>
#include <QPlainTextEdit>
#include <QPointer>
#include <QScreen>
#include <QScrollBar>
#include <QStackedWidget>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextCursor>
#include <QToolBar>
#include <QToolButton>
#include <QVBoxLayout>
#include <QWheelEvent>
#include <QWindow>

namespace versus::ui {

namespace {

using plat::ui::fromSjis;

int& viewCapacity() {
    static int lines = 30000;
    return lines;
}

const modes::ModeInfo& info() {
    return modes::modeInfo(modes::ModeKind::Versus);
}

// Lines the mouse wheel scrolls the log view by.
constexpr int WheelLines = 3;

} // namespace

// ---- TextViewSink -------------------------------------------------------------

TextViewSink::TextViewSink(QPlainTextEdit* view, bool followEnd) : view_(view), followEnd_(followEnd) {}

void TextViewSink::setCapacity(int lines) {
    viewCapacity() = std::max(1, lines);
}

int TextViewSink::capacity() {
    return viewCapacity();
}

void TextViewSink::removeLastLine() {
    if (lines_ == 0) return;
    if (lines_ == 1) {
        view_->clear();
        lines_ = 0;
        return;
    }
    QTextCursor c(view_->document()->lastBlock());
    c.movePosition(QTextCursor::PreviousBlock);
    c.movePosition(QTextCursor::EndOfBlock);
    c.movePosition(QTextCursor::End, QTextCursor::KeepAnchor);
    c.removeSelectedText();
    --lines_;
}

void TextViewSink::removeFirstLine() {
    if (lines_ == 0) return;
    if (lines_ == 1) {
        view_->clear();
        lines_ = 0;
        return;
    }
    QTextCursor c(view_->document()->firstBlock());
    c.movePosition(QTextCursor::NextBlock, QTextCursor::KeepAnchor);
    c.removeSelectedText();
    --lines_;
}

void TextViewSink::clear() {
    view_->clear();
    lines_ = 0;
}

bool TextViewSink::addLine(std::string_view text, uint32_t colour) {
    if (lines_ >= viewCapacity()) return false;
    QTextCharFormat format;
    format.setForeground(plat::ui::colorFromRef(colour));
    QTextCursor c(view_->document());
    c.movePosition(QTextCursor::End);
    if (lines_ > 0) c.insertBlock(QTextBlockFormat(), format);
    c.insertText(fromSjis(text), format);
    ++lines_;
    return true;
}

void TextViewSink::beginUpdate() {
    view_->setUpdatesEnabled(false);
}

void TextViewSink::endUpdate() {
    view_->setUpdatesEnabled(true);
    QScrollBar* bar = view_->verticalScrollBar();
    bar->setValue(followEnd_ ? bar->maximum() : bar->minimum());
}

// ---- TFormVsLog ---------------------------------------------------------------

TFormVsLog::TFormVsLog(QWidget* owner, std::string title, const cv::GameMessageBuffer& messages,
                       std::string logName, TArmoredKnight& ak1, TArmoredKnight& ak2,
                       const ConfHeader& header, GameSettings& settings, std::string programFolder,
                       MatchCalls& calls)
    : QDialog(nullptr, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint |
                           Qt::WindowMinMaxButtonsHint | Qt::WindowCloseButtonHint),
      owner_(owner), title_(std::move(title)), messages_(messages),
      logName_(std::move(logName)), ak_{&ak1, &ak2}, header_(header), settings_(settings),
      programFolder_(std::move(programFolder)), calls_(calls) {
    setObjectName("TFormVsLog");
    setWindowModality(Qt::ApplicationModal);
    setWindowTitle(fromSjis(title_));

    auto* top = new QVBoxLayout(this);
    top->setContentsMargins(0, 0, 0, 0);
    top->setSpacing(0);

    ToolBar = new QToolBar(this);
    ToolBar->setObjectName("ToolBar");
    ToolBar->setToolButtonStyle(Qt::ToolButtonTextOnly);
    ToolButtonPlay = addTool("ToolButtonPlay", text::Play, text::PlayHint);
    ToolButtonFwd = addTool("ToolButtonFwd", text::Fwd, text::FwdHint);
    ToolButtonPause = addTool("ToolButtonPause", text::Pause, text::PauseHint);
    ToolBar->addSeparator();
    ToolButtonLog = addTool("ToolButtonLog", text::Log, text::LogHint);
    ToolButtonP1 = addTool("ToolButtonP1", text::Detail, text::P1Hint);
    ToolButtonP2 = addTool("ToolButtonP2", text::Detail, text::P2Hint);
    ToolButtonStatus = addTool("ToolButtonStatus", text::Status, text::StatusHint);
    for (QToolButton* b : {ToolButtonLog, ToolButtonP1, ToolButtonP2, ToolButtonStatus})
        b->setCheckable(true);
    ToolButtonFile = addTool("ToolButtonFile", text::File, text::FileHint);
    ToolBar->addSeparator();
    ToolButtonQuit = addTool("ToolButtonQuit", text::Quit, text::QuitHint);
    ToolButtonEnd = addTool("ToolButtonEnd", text::End, text::EndHint);

    PopupMenuFile = new QMenu(this);
    PopupMenuFile->setObjectName("PopupMenuFile");
    auto addEntry = [this](const char* name, const char* caption, int tag) {
        QAction* a = PopupMenuFile->addAction(fromSjis(caption));
        a->setObjectName(name);
        a->setData(tag);
        connect(a, &QAction::triggered, this, [this, tag] { MenuPlayerFileClick(tag); });
        return a;
    };
    MenuPlayer1FileB = addEntry("MenuPlayer1FileB", text::MenuPlayer1FileB, FileTagBefore1);
    MenuPlayer2FileB = addEntry("MenuPlayer2FileB", text::MenuPlayer2FileB, FileTagBefore2);
    PopupMenuFile->addSeparator();
    MenuPlayer1FileA = addEntry("MenuPlayer1FileA", text::MenuPlayer1FileA, FileTagAfter1);
    MenuPlayer2FileA = addEntry("MenuPlayer2FileA", text::MenuPlayer2FileA, FileTagAfter2);
    MenuPlayer1FileA->setEnabled(false);
    MenuPlayer2FileA->setEnabled(false);
    ToolButtonFile->setMenu(PopupMenuFile);
    ToolButtonFile->setPopupMode(QToolButton::InstantPopup);
    top->addWidget(ToolBar);

    PageControlLog = new QStackedWidget(this);
    PageControlLog->setObjectName("PageControlLog");
    auto makePage = [this](const char* pageName, const char* viewName, QPlainTextEdit*& view) {
        auto* page = new QWidget(PageControlLog);
        page->setObjectName(pageName);
        auto* layout = new QVBoxLayout(page);
        layout->setContentsMargins(0, 0, 0, 0);
        view = new QPlainTextEdit(page);
        view->setObjectName(viewName);
        view->setReadOnly(true);
        view->setTextInteractionFlags(Qt::TextSelectableByMouse | Qt::TextSelectableByKeyboard);
        view->setLineWrapMode(QPlainTextEdit::NoWrap);
        view->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        view->setVerticalScrollBarPolicy(Qt::ScrollBarAlwaysOn);
        view->installEventFilter(this);
        view->viewport()->installEventFilter(this);
        layout->addWidget(view);
        PageControlLog->addWidget(page);
        return page;
    };
    TabSheetGame = makePage("TabSheetGame", "RichEditLog", RichEditLog);
    TabSheetAkView = makePage("TabSheetAkView", "RichEditAkView", RichEditAkView);
    top->addWidget(PageControlLog, 1);

    // The log view's pop-up menu: copy and select all.
    RichEditLog->setContextMenuPolicy(Qt::CustomContextMenu);
    auto* popup = new QMenu(this);
    QAction* copy = popup->addAction(fromSjis(text::Copy));
    copy->setShortcut(QKeySequence::Copy);
    QAction* all = popup->addAction(fromSjis(text::SelectAll));
    connect(copy, &QAction::triggered, RichEditLog, &QPlainTextEdit::copy);
    connect(all, &QAction::triggered, RichEditLog, &QPlainTextEdit::selectAll);
    connect(RichEditLog, &QWidget::customContextMenuRequested, this,
            [this, popup](const QPoint& at) { popup->popup(RichEditLog->viewport()->mapToGlobal(at)); });

    StatusBarLog = new QStatusBar(this);
    StatusBarLog->setObjectName("StatusBarLog");
    StatusBarLog->setSizeGripEnabled(true);
    const int widths[2] = {250, 50};
    for (int i = 0; i < 2; ++i) {
        panels_[i] = new QLabel(StatusBarLog);
        panels_[i]->setMinimumWidth(widths[i]);
        panels_[i]->setFrameShape(QFrame::Panel);
        panels_[i]->setFrameShadow(QFrame::Sunken);
        StatusBarLog->addWidget(panels_[i], i);
    }
    top->addWidget(StatusBarLog);

    connect(ToolButtonPlay, &QToolButton::clicked, this, [this] { stepper_->play(); });
    connect(ToolButtonFwd, &QToolButton::clicked, this, [this] { stepper_->forward(); });
    connect(ToolButtonPause, &QToolButton::clicked, this, [this] { stepper_->pause(); });
    connect(ToolButtonLog, &QToolButton::clicked, this, [this] {
        stepper_->showLog();
        toolsChanged();
    });
    connect(ToolButtonP1, &QToolButton::clicked, this, [this] { stepper_->showPlayer(0); });
    connect(ToolButtonP2, &QToolButton::clicked, this, [this] { stepper_->showPlayer(1); });
    connect(ToolButtonStatus, &QToolButton::clicked, this, [this] { stepper_->toggleStatus(); });
    connect(ToolButtonQuit, &QToolButton::clicked, this, [this] { stepper_->quit(); });
    connect(ToolButtonEnd, &QToolButton::clicked, this, [this] { stepper_->end(); });

    QSize screen(QWIDGETSIZE_MAX, QWIDGETSIZE_MAX);
    if (QScreen* s = QGuiApplication::primaryScreen()) screen = s->size();
    setMinimumSize(400, 400);
    setMaximumSize(std::max(400, screen.width()), std::max(400, screen.height()));
    resize(640, 520);
}

TFormVsLog::~TFormVsLog() {
    FormClose();
}

QToolButton* TFormVsLog::addTool(const char* name, const char* caption, const char* hint) {
    auto* b = new QToolButton(ToolBar);
    b->setObjectName(name);
    b->setText(fromSjis(caption));
    b->setToolTip(fromSjis(hint));
    b->setFocusPolicy(Qt::NoFocus);
    ToolBar->addWidget(b);
    return b;
}

void TFormVsLog::FormCreate() {
    if (created_) return;
    created_ = true;
    const bool statusView = modes::readModeValue(info(), "StatusView") != 0;
    PageControlLog->setCurrentWidget(TabSheetGame);
    placeRestored_ = plat::ui::LoadWindowPosition(info().ProgressWindow, this);
    plat::ui::LoadWindowSize(info().ProgressWindow, this);
    LoadDispAttribute(programFolder_.c_str(), &display_);

    const QFont font = plat::ui::displayFont(sjis::readField(display_.FontName), display_.FontSize);
    auto setUp = [&](QPlainTextEdit* view, uint32_t textColour) {
        view->clear();
        view->setFont(font);
        view->setTabStopDistance(QFontMetricsF(font).horizontalAdvance(QLatin1Char(' ')) * 8);
        QPalette p = view->palette();
        p.setColor(QPalette::Base, plat::ui::colorFromRef(display_.Color[7]));
        p.setColor(QPalette::Text, plat::ui::colorFromRef(textColour));
        view->setPalette(p);
    };
    setUp(RichEditLog, 0x000000);
    setUp(RichEditAkView, display_.Color[0]);
    logSink_ = std::make_unique<TextViewSink>(RichEditLog, true);
    akSink_ = std::make_unique<TextViewSink>(RichEditAkView, false);
    prompt_ = std::string(plat::msg::text(43000));
    StepHost& host = *this;
    stepper_ = std::make_unique<MatchStepper>(settings_, header_, messages_, logName_, display_, prompt_,
                                              statusView, calls_, host);
    toolsChanged();
}

void TFormVsLog::showEvent(QShowEvent* e) {
    QDialog::showEvent(e);
    if (shown_ || !stepper_) return;
    shown_ = true;
    FormShow();
    // FormActivate: the set-up window goes out of the way.
    if (owner_) {
        QPointer<QWidget> owner(owner_);
        QMetaObject::invokeMethod(
            this,
            [owner] {
                if (owner) owner->setWindowState(owner->windowState() | Qt::WindowMinimized);
            },
            Qt::QueuedConnection);
    }
}

void TFormVsLog::FormShow() {
    stepper_->open();
    bool created = false;
    for (int side = 0; side < 2; ++side) {
        if (status_[side]) continue;
        status_[side] = std::make_unique<TFormStatus>(side);
        status_[side]->InitStatusWindow(*ak_[side], display_.Color[1 + side]);
        created = true;
    }
    // The status windows stay above the match window they describe, and one
    // without a place of its own stands beside it and beside the other one,
    // not over the narration; to make room the match window moves when it
    // has no place of its own either.
    if (created) {
        for (auto& s : status_) {
            s->winId();
            if (QWindow* own = s->windowHandle()) own->setTransientParent(QWidget::windowHandle());
        }
        const QSize frame = plat::ui::outerRect(status_[0].get())
                                .size()
                                .expandedTo(plat::ui::outerRect(status_[1].get()).size());
        const QRect matchFrame = plat::ui::outerRect(this);
        const auto places =
            statusWindowPlaces(matchFrame, frame, plat::ui::screenArea(this), !placeRestored_);
        if (places.Match != matchFrame.topLeft()) plat::ui::moveOuterTo(this, places.Match);
        for (int side = 0; side < 2; ++side)
            if (!status_[side]->placeRestored())
                plat::ui::moveOuterTo(status_[side].get(), places.Status[side]);
    }
    panels_[0]->setText(fromSjis(matchTypeText(settings_)));
    panels_[1]->setText(fromSjis(announcerText(settings_)));
    setStatusWindowsVisible(stepper_->statusView());
}

void TFormVsLog::FormClose() {
    if (closed_) return;
    closed_ = true;
    if (stepper_) {
        stepper_->windowClosed();
        modes::writeModeValue(info(), "StatusView", stepper_->statusView() ? 1 : 0);
    }
    if (created_) {
        plat::ui::SaveWindowPosition(info().ProgressWindow, this);
        plat::ui::SaveWindowSize(info().ProgressWindow, this);
    }
    for (auto& s : status_) s.reset();
}

void TFormVsLog::done(int result) {
    FormClose();
    QDialog::done(result);
}

void TFormVsLog::reject() {
    if (stepper_)
        stepper_->end();
    else
        done(1);
}

bool TFormVsLog::event(QEvent* e) {
    if (e->type() == static_cast<QEvent::Type>(WM_STEPMATCH)) {
        if (stepper_) stepper_->step();
        return true;
    }
    return QDialog::event(e);
}

bool TFormVsLog::handleKey(QKeyEvent* e) {
    if (!stepper_ || (e->modifiers() & (Qt::ControlModifier | Qt::AltModifier | Qt::MetaModifier)))
        return false;
    int code = 0;
    switch (e->key()) {
    case Qt::Key_Return:
    case Qt::Key_Enter:
        code = 13;
        break;
    case Qt::Key_Escape:
        code = 27;
        break;
    case Qt::Key_Space:
        code = ' ';
        break;
    default: {
        const QString typed = e->text();
        if (typed.size() == 1 && typed[0].unicode() < 128) code = typed[0].unicode();
    }
    }
    return code != 0 && stepper_->keyPress(code);
}

void TFormVsLog::keyPressEvent(QKeyEvent* e) {
    if (handleKey(e)) return;
    QDialog::keyPressEvent(e);
}

bool TFormVsLog::eventFilter(QObject* watched, QEvent* e) {
    if (e->type() == QEvent::KeyPress && (watched == RichEditLog || watched == RichEditAkView))
        return handleKey(static_cast<QKeyEvent*>(e));
    if (e->type() == QEvent::Wheel && watched == RichEditLog->viewport()) {
        const auto* wheel = static_cast<QWheelEvent*>(e);
        QScrollBar* bar = RichEditLog->verticalScrollBar();
        bar->setValue(bar->value() + (wheel->angleDelta().y() <= 0 ? WheelLines : -WheelLines));
        return true;
    }
    return QDialog::eventFilter(watched, e);
}

QStringList TFormVsLog::logLines() const {
    QStringList lines;
    const int count = logSink_ ? logSink_->lineCount() : 0;
    QTextBlock block = RichEditLog->document()->firstBlock();
    for (int i = 0; i < count && block.isValid(); ++i, block = block.next()) lines << block.text();
    return lines;
}

void TFormVsLog::MenuPlayerFileClick(int tag) {
    if (stepper_) stepper_->openFile(tag);
}

// ---- StepHost ------------------------------------------------------------------

void TFormVsLog::postStep() {
    QCoreApplication::postEvent(this, new QEvent(static_cast<QEvent::Type>(WM_STEPMATCH)));
}

void TFormVsLog::pumpMessages() {
    QCoreApplication::processEvents();
}

void TFormVsLog::setBusyCursor(bool busy) {
    if (busy)
        QApplication::setOverrideCursor(Qt::WaitCursor);
    else
        QApplication::restoreOverrideCursor();
}

void TFormVsLog::toolsChanged() {
    if (!stepper_) return;
    const ToolState& t = stepper_->tools();
    ToolButtonPlay->setEnabled(t.Play);
    ToolButtonFwd->setEnabled(t.Fwd);
    ToolButtonPause->setEnabled(t.Pause);
    ToolButtonP1->setEnabled(t.Player1);
    ToolButtonP2->setEnabled(t.Player2);
    ToolButtonQuit->setEnabled(t.Quit);
    ToolButtonEnd->setEnabled(t.End);
    ToolButtonLog->setChecked(t.Down == DownButton::Log);
    ToolButtonP1->setChecked(t.Down == DownButton::Player1);
    ToolButtonP2->setChecked(t.Down == DownButton::Player2);
    ToolButtonStatus->setChecked(t.StatusDown);
    MenuPlayer1FileA->setEnabled(t.FileAfter[0]);
    MenuPlayer2FileA->setEnabled(t.FileAfter[1]);
    PageControlLog->setCurrentWidget(t.Shown == Page::Game ? TabSheetGame : TabSheetAkView);
}

void TFormVsLog::updateStatusWindows() {
    for (int side = 0; side < 2; ++side)
        if (status_[side]) status_[side]->UpdateStatusWindow(*ak_[side]);
}

void TFormVsLog::setStatusWindowsVisible(bool visible) {
    for (auto& s : status_)
        if (s) s->setVisible(visible);
}

void TFormVsLog::closeWindow(int result) {
    done(result);
}

void TFormVsLog::openDocument(const std::string& path) {
    // A file that cannot be opened is passed over, as a program that would
    // not start was.
    plat::desktop::openDocument(path);
}

void TFormVsLog::refocus() {
    activateWindow();
    setFocus();
}

} // namespace versus::ui
