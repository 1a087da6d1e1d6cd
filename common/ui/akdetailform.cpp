// The AK detail window: a tab bar over one read-only memo, a status bar with
// the shown file's path and a close button. The memo takes the colours and
// font of the display attributes, like the modes' message views.
#include "common/ui/akdetailform.h"

#include "base/sjis.h"
#include "common/vellcmn.h"
#include "config/vellcnf.h"
#include "platform/paths.h"
#include "platform/ui/host.h"
#include "platform/ui/placement.h"
#include "platform/ui/qtsjis.h"
#include "sjis/cmn_text.h"

#include <QCloseEvent>
#include <QCoreApplication>
#include <QGuiApplication>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QVBoxLayout>
#include <QWindow>

namespace cmn {

namespace {

// Sheet texts end their lines with CR LF; the memo wants bare line feeds.
QString memoText(std::string_view sheet) {
    QString text = plat::ui::fromSjis(sheet);
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text;
}

} // namespace

QFont sheetFont(const DispAttribute& attr) {
    QFont font = plat::ui::displayFont(sjis::readField(attr.FontName), attr.FontSize);
    font.setFixedPitch(true);
    font.setStyleHint(QFont::TypeWriter);
    return font;
}

void postWindowMessage(QObject* target, int message) {
    if (!target) return;
    QPointer<QObject> guard(target);
    plat::ui::post(target, [guard, message] {
        if (!guard) return;
        QEvent event(static_cast<QEvent::Type>(message));
        QCoreApplication::sendEvent(guard.data(), &event);
    });
}

TFormAkDetail::TFormAkDetail(std::string_view programFolder, QObject* notify) : notify_(notify) {
    setObjectName(QStringLiteral("FormAkDetail"));
    setWindowTitle(plat::ui::fromSjis(cmt::DetailCaption));

    const std::string folder(programFolder);
    LoadDispAttribute(folder.c_str(), &attr_);

    TabControlInfo = new QTabBar(this);
    TabControlInfo->setObjectName(QStringLiteral("TabControlInfo"));
    for (const char* name : {cmt::TabTeam, cmt::TabMachine, cmt::TabFrameArms, cmt::TabWeaponData,
                             cmt::TabWeaponMessages, cmt::TabMatchMessages, cmt::TabOtherMessages})
        TabControlInfo->addTab(plat::ui::fromSjis(name));
    TabControlInfo->setExpanding(false);

    MemoAk = new QPlainTextEdit(this);
    MemoAk->setObjectName(QStringLiteral("MemoAk"));
    MemoAk->setReadOnly(true);
    MemoAk->setLineWrapMode(QPlainTextEdit::NoWrap);
    MemoAk->clear();
    MemoAk->setFont(sheetFont(attr_));
    QPalette palette = MemoAk->palette();
    palette.setColor(QPalette::Text, plat::ui::colorFromRef(attr_.Color[0]));
    palette.setColor(QPalette::Base, plat::ui::colorFromRef(attr_.Color[7]));
    MemoAk->setPalette(palette);

    StatusBarDetail = new QStatusBar(this);
    StatusBarDetail->setObjectName(QStringLiteral("StatusBarDetail"));
    StatusBarDetail->setSizeGripEnabled(false);

    ButtonClose = new QPushButton(plat::ui::fromSjis(cmt::CloseButton), this);
    ButtonClose->setObjectName(QStringLiteral("ButtonClose"));
    ButtonClose->setDefault(true);

    auto* buttons = new QHBoxLayout;
    buttons->addStretch(1);
    buttons->addWidget(ButtonClose);
    auto* layout = new QVBoxLayout(this);
    layout->setContentsMargins(4, 4, 4, 0);
    layout->setSpacing(2);
    layout->addWidget(TabControlInfo);
    layout->addWidget(MemoAk, 1);
    layout->addLayout(buttons);
    layout->addWidget(StatusBarDetail);

    // Nothing is shown until an AK has loaded.
    TabControlInfo->setEnabled(false);
    MemoAk->setEnabled(false);

    connect(TabControlInfo, &QTabBar::currentChanged, this,
            [this](int index) { TabControlInfoChange(index); });
    connect(ButtonClose, &QPushButton::clicked, this, [this] { ButtonCloseClick(); });

    if (QScreen* screen = QGuiApplication::primaryScreen()) setMaximumSize(screen->size());
    setMinimumSize(480, 200);
    resize(560, 460);
    plat::ui::LoadWindowSize(PlacementName, this);
    const bool placeRestored = plat::ui::LoadWindowPosition(PlacementName, this);

    // The window belongs to the opener's window before it is first shown, so
    // that the window manager keeps it with that window from the start. One
    // without a stored place stands beside it, not over the list it
    // describes, and the opener moves aside where the screen has room for
    // both only so. The stored place is shared by every mode's set-up
    // window: where it would cover this opener (another mode's window, or
    // this one moved since), the window stands beside the opener as well.
    if (auto* opener = qobject_cast<QWidget*>(notify_.data())) {
        QWidget* openerWindow = opener->window();
        if (openerWindow->windowHandle()) {
            winId();
            if (QWindow* own = windowHandle()) own->setTransientParent(openerWindow->windowHandle());
        }
        if (openerWindow->isVisible() &&
            (!placeRestored || plat::ui::outerRect(this).intersects(plat::ui::outerRect(openerWindow))))
            plat::ui::placeBeside(this, openerWindow, true);
    }
}

TFormAkDetail::~TFormAkDetail() = default;

void TFormAkDetail::setAk(std::string_view path) {
    if (detail_.setAk(path)) {
        showSheet();
        setWindowTitle(plat::ui::fromSjis(detail_.caption()));
    }
    TabControlInfo->setEnabled(detail_.loaded());
    MemoAk->setEnabled(detail_.loaded());
    StatusBarDetail->showMessage(plat::ui::fromSjis(plat::shownPath(path)));
}

void TFormAkDetail::closeByOwner() {
    closingByOwner_ = true;
    close();
}

void TFormAkDetail::TabControlInfoChange(int) {
    showSheet();
}

void TFormAkDetail::ButtonCloseClick() {
    close();
}

void TFormAkDetail::showSheet() {
    if (!detail_.loaded()) return;
    MemoAk->setPlainText(memoText(detail_.sheet(TabControlInfo->currentIndex())));
}

void TFormAkDetail::postCloseNotice() {
    postWindowMessage(notify_.data(), WM_CLOSEAKDETAIL);
}

void TFormAkDetail::closeEvent(QCloseEvent* event) {
    plat::ui::SaveWindowPosition(PlacementName, this);
    plat::ui::SaveWindowSize(PlacementName, this);
    // Closed by the user (its button or the window's close box): the opener
    // destroys the window and releases its detail button when told.
    if (!closingByOwner_ && isVisible()) postCloseNotice();
    QWidget::closeEvent(event);
}

void TFormAkDetail::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_Return || event->key() == Qt::Key_Enter) {
        ButtonCloseClick();
        return;
    }
    QWidget::keyPressEvent(event);
}

} // namespace cmn
