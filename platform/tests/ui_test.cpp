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
