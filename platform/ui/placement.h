// Window placement kept in the settings store: a window of name N stores
// N"Top", N"Left", N"Height" and N"Width" as decimal text under
// "Software\Dunmoor\CVVell\Window" (-1 when missing). Windows restore their
// position and size when created and save them when closed.
//
// What is saved and what is restored is one rectangle, the window's client
// area (geometry()): its top-left as Top and Left, its size as Height and
// Width. A window manager adds its frame around that area; saving the frame's
// corner and restoring it as the area's (or the other way round) would move
// the window by the frame on every round trip.
#pragma once

#include "platform/export.h"

#include <QMargins>
#include <QPoint>
#include <QRect>
#include <QSize>
#include <QString>
#include <QStringList>

#include <optional>
#include <string_view>

class QAbstractScrollArea;
class QTextEdit;
class QWidget;

namespace plat::ui {

// True when a stored place was restored; a window without one is centred.
PLAT_API bool LoadWindowPosition(std::string_view name, QWidget* window);
PLAT_API void SaveWindowPosition(std::string_view name, QWidget* window);
PLAT_API void LoadWindowSize(std::string_view name, QWidget* window);
PLAT_API void SaveWindowSize(std::string_view name, QWidget* window);

// Centres the window on the screen it is on (or the primary screen).
PLAT_API void centreOnScreen(QWidget* window);

// The frame a window manager puts around the window's client area: the real
// one once the window is framed, else what a title bar and a thin border
// take in the application's style.
PLAT_API QMargins frameMargins(const QWidget* window);
// The window's outer rectangle, frame included (frameMargins).
PLAT_API QRect outerRect(const QWidget* window);
// The available area of the screen the window is on (or the primary one).
PLAT_API QRect screenArea(const QWidget* window);

// Where a frame of `size` stands beside the frame `owner` inside `area`: to
// its right, top edges level, when the area has room there, else to its
// left; nullopt when neither side has room.
PLAT_API std::optional<QPoint> besideOwner(const QRect& owner, const QSize& size, const QRect& area);
// besideOwner; when neither side has room, at the side with more room,
// pulled inside the area (over the owner's edge).
PLAT_API QPoint besidePlace(const QRect& owner, const QSize& size, const QRect& area);
// Where an owner and a window beside it go (outer corners): besideOwner
// where the area has room beside the owner as it stands; else, when the
// owner may move and the area is as wide as both, the owner moves sideways
// the shorter way that leaves room beside it; else besidePlace.
struct BesidePlaces {
    QPoint Owner;
    QPoint Window;
};
PLAT_API BesidePlaces besidePlaces(const QRect& owner, const QSize& size, const QRect& area,
                                   bool ownerMovable);
// Moves the window so that its outer rectangle's top-left is `corner`.
PLAT_API void moveOuterTo(QWidget* window, const QPoint& corner);
// Puts the window beside its owner window (besidePlaces) on the owner's
// screen, moving the owner to make room when it may.
PLAT_API void placeBeside(QWidget* window, QWidget* owner, bool ownerMovable);

// The least width at which a window manager's title bar shows `caption` in
// full: the caption in a bold form of the application's font, with room for
// the window icon and three border buttons.
PLAT_API int captionWidth(const QString& caption);
// The width at which a scrolled view (a list, a text box) shows `content`
// pixels whole: its frame on both sides and its vertical scroll bar added.
PLAT_API int scrolledWidth(const QAbstractScrollArea* view, int content);
// The least width at which the text box shows each of `lines` whole in its
// font, beside its vertical scroll bar.
PLAT_API int textBoxWidth(const QTextEdit* box, const QStringList& lines);

} // namespace plat::ui
