#include "platform/notify.h"
#include "platform/registry.h"
#include "platform/ui/host.h"
#include "platform/ui/placement.h"
#include "platform/ui/qtsjis.h"
#include "testsupport/testsupport.h"

#include <QAbstractButton>
#include <QApplication>
#include <QDir>
#include <QFile>
#include <QLibraryInfo>
#include <QMessageBox>
#include <QScreen>
#include <QTimer>
#include <QWidget>
#include <gtest/gtest.h>

using testsupport::sj;

namespace {

QApplication* app() {
    return qApp;
}

} // namespace

TEST(QtEdge, TextAndColours) {
    app();
    EXPECT_EQ(plat::ui::fromSjis(sj("表示ソ")), QString::fromUtf8("表示ソ"));
    EXPECT_EQ(plat::ui::toSjis(QString::fromUtf8("表示ソ")), sj("表示ソ"));
    EXPECT_FALSE(plat::ui::toSjis(QString::fromUtf8("😀")));
    EXPECT_EQ(plat::ui::colorFromRef(0x000000ffu), QColor(255, 0, 0));
    // Only the top bit makes a system colour: 0x01xxxxxx is 0x00BBGGRR.
    EXPECT_EQ(plat::ui::colorFromRef(0x01123456u), QColor(0x56, 0x34, 0x12));
    // A system colour the palette has no role for: the standard scheme's
    // (1, the desktop, is 0x808000: red 0, green 0x80, blue 0x80).
    EXPECT_EQ(plat::ui::colorFromRef(0x80000001u), QColor(0, 0x80, 0x80));
    EXPECT_EQ(plat::ui::colorRefFrom(QColor(0, 0, 255)), 0x00ff0000u);
    EXPECT_EQ(plat::ui::qtFileFilter(sj("レジストリの項目 (*.reg)|*.reg")),
              QString::fromUtf8("レジストリの項目 (*.reg)"));
    EXPECT_EQ(plat::ui::qtFileFilter("All|*.a;*.b|X|*.x"), QString("All (*.a *.b);;X (*.x)"));
}

TEST(QtEdge, ValidatorCountsShiftJisBytes) {
    app();
    plat::ui::SjisByteValidator v(5);
    int pos = 0;
    QString ok = QString::fromUtf8("あいA");
    EXPECT_EQ(v.validate(ok, pos), QValidator::Acceptable);
    QString tooLong = QString::fromUtf8("あいう");
    EXPECT_EQ(v.validate(tooLong, pos), QValidator::Invalid);
    QString noForm = QString::fromUtf8("😀");
    EXPECT_EQ(v.validate(noForm, pos), QValidator::Invalid);
}

// The boxes' buttons carry the system's texts whatever Qt's language.
TEST(QtEdge, MessageBoxButtonsSpeakJapanese) {
    app();
    plat::ui::installQtHost();
    QStringList seen[2];
    for (int i = 0; i < 2; ++i) {
        QTimer::singleShot(0, [&seen, i] {
            auto* box = qobject_cast<QMessageBox*>(QApplication::activeModalWidget());
            if (!box) return ADD_FAILURE() << "no box";
            for (QAbstractButton* b : box->buttons()) seen[i] << b->text();
            box->button(i == 0 ? QMessageBox::Cancel : QMessageBox::No)->click();
        });
        const auto buttons = i == 0 ? plat::notify::Buttons::OkCancel : plat::notify::Buttons::YesNo;
        EXPECT_EQ(plat::notify::show("?", "", plat::notify::Icon::Question, buttons),
                  i == 0 ? plat::notify::IdCancel : plat::notify::IdNo);
        seen[i].sort();
    }
    plat::notify::setHandler({});
    EXPECT_EQ(seen[0], QStringList({"OK", QString::fromUtf8("キャンセル")}));
    EXPECT_EQ(seen[1], QStringList({QString::fromUtf8("いいえ(&N)"), QString::fromUtf8("はい(&Y)")}));
}

// Qt's own texts in Japanese where Debian's translations are installed; no
// translation, and no harm, from a folder without them.
TEST(QtEdge, QtTranslationsLoadWhereInstalled) {
    app();
    EXPECT_FALSE(plat::ui::installQtTranslations(QDir::tempPath() + "/no-such-translations"));
    EXPECT_EQ(QCoreApplication::translate("QFileDialog", "Look in:"), "Look in:");
    const QString folder = QLibraryInfo::path(QLibraryInfo::TranslationsPath);
    if (!QFile::exists(folder + "/qtbase_ja.qm")) GTEST_SKIP() << "qt6-translations-l10n is not installed";
    ASSERT_TRUE(plat::ui::installQtTranslations());
    EXPECT_NE(QCoreApplication::translate("QFileDialog", "Look in:"), "Look in:");
    EXPECT_FALSE(plat::ui::installQtTranslations(QDir::tempPath() + "/no-such-translations"));
}

TEST(Placement, FirstOpenCentresThenRestoresWhereItWasLeft) {
    app();
    testsupport::TempDir dir;
    plat::reg::setStorePath(dir.path().string() + "/registry.reg");
    QRect area = QGuiApplication::primaryScreen()->availableGeometry();
    {
        QWidget w;
        w.resize(300, 200);
        EXPECT_FALSE(plat::ui::LoadWindowPosition("Test", &w));
        plat::ui::LoadWindowSize("Test", &w);
        EXPECT_EQ(w.size(), QSize(300, 200));
        EXPECT_NEAR(w.frameGeometry().center().x(), area.center().x(), 2);
        w.move(area.left() + 20, area.top() + 30);
        w.resize(320, 240);
        plat::ui::SaveWindowPosition("Test", &w);
        plat::ui::SaveWindowSize("Test", &w);
    }
    EXPECT_EQ(plat::reg::readString("Software\\Dunmoor\\CVVell\\Window", "TestWidth", ""), "320");
    {
        QWidget w;
        w.resize(300, 200);
        EXPECT_TRUE(plat::ui::LoadWindowPosition("Test", &w));
        plat::ui::LoadWindowSize("Test", &w);
        EXPECT_EQ(w.pos(), QPoint(area.left() + 20, area.top() + 30));
        EXPECT_EQ(w.size(), QSize(320, 240));
    }
    // A stored Top of -1 centres even with a Left; a place off every screen
    // and a broken size are brought back.
    plat::reg::writeInteger("Software\\Dunmoor\\CVVell\\Window", "TestTop", -1);
    plat::reg::writeInteger("Software\\Dunmoor\\CVVell\\Window", "TestLeft", 5);
    {
        QWidget w;
        w.resize(300, 200);
        plat::ui::LoadWindowPosition("Test", &w);
        EXPECT_NEAR(w.frameGeometry().center().x(), area.center().x(), 2);
    }
    plat::reg::writeInteger("Software\\Dunmoor\\CVVell\\Window", "TestTop", -5000);
    plat::reg::writeInteger("Software\\Dunmoor\\CVVell\\Window", "TestLeft", 99999);
    plat::reg::writeInteger("Software\\Dunmoor\\CVVell\\Window", "TestHeight", 0);
    {
        QWidget w;
        w.resize(300, 200);
        plat::ui::LoadWindowPosition("Test", &w);
        plat::ui::LoadWindowSize("Test", &w);
        EXPECT_TRUE(area.contains(w.pos()));
        EXPECT_EQ(w.size(), QSize(300, 200));
    }
}

// What is stored is the client area's corner, and what is restored puts the
// client area there again, before and after the frame is known: a window
// opened and closed ten times stands where it stood.
TEST(Placement, TheClientAreaIsSavedAndRestoredTenTimesOver) {
    app();
    testsupport::TempDir dir;
    plat::reg::setStorePath(dir.path().string() + "/registry.reg");
    const char* Key = "Software\\Dunmoor\\CVVell\\Window";
    {
        QWidget w;
        w.resize(300, 200);
        w.show();
        w.setGeometry(QRect(QPoint(200, 150), w.size()));
        QApplication::processEvents();
        ASSERT_NE(w.frameGeometry().topLeft(), w.geometry().topLeft()) << "the window has no frame here";
        plat::ui::SaveWindowPosition("Round", &w);
    }
    EXPECT_EQ(plat::reg::readInteger(Key, "RoundTop", 0), 150);
    EXPECT_EQ(plat::reg::readInteger(Key, "RoundLeft", 0), 200);
    for (int i = 0; i < 10; ++i) {
        SCOPED_TRACE(i);
        QWidget w;
        w.resize(300, 200);
        const bool early = i % 2 == 0; // restored before it is shown, or once shown
        if (early) {
            EXPECT_TRUE(plat::ui::LoadWindowPosition("Round", &w));
        }
        w.show();
        if (!early) {
            EXPECT_TRUE(plat::ui::LoadWindowPosition("Round", &w));
        }
        QApplication::processEvents();
        EXPECT_EQ(w.geometry().topLeft(), QPoint(200, 150));
        plat::ui::SaveWindowPosition("Round", &w);
    }
    EXPECT_EQ(plat::reg::readInteger(Key, "RoundTop", 0), 150);
    EXPECT_EQ(plat::reg::readInteger(Key, "RoundLeft", 0), 200);
}

// A window beside its owner: right of it, else left of it, else at the side
// with more room inside the area.
TEST(Placement, BesideTheOwnerInsideTheArea) {
    const QRect area(0, 0, 1000, 800);
    const QSize size(300, 200);
    EXPECT_EQ(plat::ui::besideOwner(QRect(100, 100, 400, 300), size, area), QPoint(500, 100));
    EXPECT_EQ(plat::ui::besideOwner(QRect(600, 100, 400, 300), size, area), QPoint(300, 100));
    // 200..799 leaves 200 on each side: no room; the right one is taken, and
    // the low owner's top 700 comes up to 800 - 200.
    EXPECT_EQ(plat::ui::besideOwner(QRect(200, 700, 600, 300), size, area), std::nullopt);
    EXPECT_EQ(plat::ui::besidePlace(QRect(200, 700, 600, 300), size, area), QPoint(700, 600));
    // 250..949: more room on the left, so at the left edge.
    EXPECT_EQ(plat::ui::besidePlace(QRect(250, 0, 700, 300), size, area), QPoint(0, 0));

    // A 663 wide owner at 309 leaves 308 and 309 beside it on a 1280 wide
    // area; a 564 wide window fits beside it once it moves 255 to the right
    // (256 to the left would do too), the window then at the left edge.
    const QRect owner(309, 250, 663, 480);
    const QRect wide(0, 0, 1280, 1024);
    auto places = plat::ui::besidePlaces(owner, QSize(564, 490), wide, true);
    EXPECT_EQ(places.Owner, QPoint(564, 250));
    EXPECT_EQ(places.Window, QPoint(0, 250));
    places = plat::ui::besidePlaces(owner, QSize(564, 490), wide, false);
    EXPECT_EQ(places.Owner, QPoint(309, 250));
    EXPECT_EQ(places.Window, QPoint(0, 250));
    // Too wide for both: the owner stays.
    EXPECT_EQ(plat::ui::besidePlaces(owner, QSize(700, 490), wide, true).Owner, QPoint(309, 250));
}
