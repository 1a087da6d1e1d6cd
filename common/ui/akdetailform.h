// TFormAkDetail: the non-modal window in which a mode's set-up window shows
// the AK selected in its list, as seven text sheets on tabs. The window owns
// its AK record. It tells the window that opened it that it is closing by
// posting the private message WM_CLOSEAKDETAIL (a QEvent of type 0x8191);
// the opener then destroys it. The window has no owner, but it stays with the
// opener's window (its transient child): the modes' set-up windows are modal,
// and a window outside a modal window's family would take no input. Without
// a stored place, or where the stored place would cover the opener's
// window, it shows beside that window, inside the screen.
#pragma once

#include "base/confrecords.h"
#include "common/akdetail.h"

#include <QFont>
#include <QPointer>
#include <QWidget>

#include <string>
#include <string_view>

class QPlainTextEdit;
class QPushButton;
class QStatusBar;
class QTabBar;

namespace cmn {

class TFormAkDetail : public QWidget {
    Q_OBJECT

public:
    // The placement name of the window.
    static constexpr const char* PlacementName = "Game_VsAkDetail";

    // programFolder: where the display attributes are read from; notify: the
    // window that receives WM_CLOSEAKDETAIL (may be null).
    TFormAkDetail(std::string_view programFolder, QObject* notify);
    ~TFormAkDetail() override;

    // Shows the AK data file at path (cmnDetailSetAk).
    void setAk(std::string_view path);

    // Closes the window for its opener: no WM_CLOSEAKDETAIL is posted.
    void closeByOwner();

    const AkDetail& detail() const { return detail_; }

protected:
    void closeEvent(QCloseEvent* event) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    void TabControlInfoChange(int index);
    void ButtonCloseClick();
    void showSheet();
    void postCloseNotice();

    AkDetail detail_;
    DispAttribute attr_{};
    QPointer<QObject> notify_;
    bool closingByOwner_ = false;

    QTabBar* TabControlInfo = nullptr;
    QPlainTextEdit* MemoAk = nullptr;
    QStatusBar* StatusBarDetail = nullptr;
    QPushButton* ButtonClose = nullptr;
};

// The font of the AK sheets and the check report: the display attributes'
// font, fixed pitch, so that texts laid out in columns line up.
QFont sheetFont(const DispAttribute& attr);

// Posts the private message `message` (a QEvent of that type, no parameters)
// to target as a queued call; dropped when target is gone by then.
void postWindowMessage(QObject* target, int message);

} // namespace cmn
