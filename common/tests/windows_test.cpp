// The two windows offscreen: the detail window's seven sheets, its state
// after a file that does not load, its colours, its close notice and
// placement; the check dialog answered by a timer.
#include "cmntest.h"

#include "base/sjis.h"
#include "common/akcheck.h"
#include "common/ui/akcheckform.h"
#include "common/ui/akdetailform.h"
#include "common/vellcmn.h"
#include "config/vellcnf.h"
#include "platform/registry.h"
#include "platform/ui/qtsjis.h"

#include <QApplication>
#include <QFontMetrics>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTabBar>
#include <QTimer>
#include <QWindow>

#include <functional>
#include <vector>

namespace {

using cmntest::CmnTest;
using testsupport::sj;

QString qs(const char* utf8) {
    return QString::fromUtf8(utf8);
}

// A mode form's stand-in: counts the close notices it receives.
class Opener : public QObject {
public:
    int notices = 0;
    std::function<void()> onNotice;
    bool event(QEvent* e) override {
        if (e->type() == static_cast<QEvent::Type>(cmn::WM_CLOSEAKDETAIL)) {
            ++notices;
            if (onNotice) onNotice();
            return true;
        }
        return QObject::event(e);
    }
};

std::string sheetOf(const std::string& path, int kind) {
    auto ak = cmntest::loadAk(path);
    std::vector<char> out(2048, '\0');
    MakeAkDetail(ak.get(), kind, out.data());
    QString text = plat::ui::fromSjis(sjis::readField(out.data(), out.size()));
    text.replace(QStringLiteral("\r\n"), QStringLiteral("\n"));
    return text.toStdString();
}

TEST_F(CmnTest, DetailWindowShowsSevenSheets) {
    DispAttribute attr{};
    LoadDispAttribute(cmntest::programDir().c_str(), &attr);
    attr.Color[0] = 0x000000FF; // red text
    attr.Color[7] = 0x0000FFFF; // yellow background
    SaveDispAttribute(cmntest::programDir().c_str(), &attr);

    Opener opener;
    cmn::TFormAkDetail window(cmntest::programDir(), &opener);
    auto* tabs = window.findChild<QTabBar*>("TabControlInfo");
    auto* memo = window.findChild<QPlainTextEdit*>("MemoAk");
    auto* status = window.findChild<QStatusBar*>("StatusBarDetail");
    auto* close = window.findChild<QPushButton*>("ButtonClose");
    ASSERT_TRUE(tabs && memo && status && close);
    EXPECT_EQ(window.windowTitle(), qs("ＡＫデータの詳細情報"));
    const char* names[] = {"チームの情報",   "機体の情報",     "フレームと武装の一覧", "武装の詳細データ",
                           "武装メッセージ", "試合メッセージ", "各種メッセージ"};
    ASSERT_EQ(tabs->count(), 7);
    for (int i = 0; i < 7; ++i) EXPECT_EQ(tabs->tabText(i), qs(names[i]));
    EXPECT_EQ(close->text(), qs("閉じる"));
    EXPECT_TRUE(close->isDefault());
    EXPECT_TRUE(memo->isReadOnly());
    EXPECT_FALSE(tabs->isEnabled());
    EXPECT_FALSE(memo->isEnabled());
    EXPECT_EQ(memo->palette().color(QPalette::Text), QColor(255, 0, 0));
    EXPECT_EQ(memo->palette().color(QPalette::Base), QColor(255, 255, 0));
    EXPECT_GE(window.minimumWidth(), 480);
    EXPECT_GE(window.minimumHeight(), 200);
    window.show();

    const std::string path = cmntest::samplePath(5);
    // Given as a mode form joins folder and name, shown with '/' only.
    std::string joined = path;
    joined[joined.rfind('/')] = '\\';
    window.setAk(joined);
    EXPECT_TRUE(tabs->isEnabled());
    EXPECT_TRUE(memo->isEnabled());
    EXPECT_EQ(window.windowTitle(), qs("ＡＫデータの詳細情報 [ゴウ・イトウ]"));
    EXPECT_EQ(status->currentMessage(), plat::ui::fromSjis(path));
    EXPECT_EQ(memo->toPlainText().toStdString(), sheetOf(path, 0));
    for (int kind = 6; kind >= 0; --kind) {
        tabs->setCurrentIndex(kind);
        EXPECT_EQ(memo->toPlainText().toStdString(), sheetOf(path, kind)) << kind;
    }

    // A file that does not load disables the tabs and keeps the last sheet.
    tabs->setCurrentIndex(2);
    const QString before = memo->toPlainText();
    const std::string missing = scratch() + "missing.dat";
    window.setAk(missing);
    EXPECT_FALSE(tabs->isEnabled());
    EXPECT_FALSE(memo->isEnabled());
    EXPECT_EQ(memo->toPlainText(), before);
    EXPECT_EQ(status->currentMessage(), plat::ui::fromSjis(missing));
    EXPECT_EQ(window.windowTitle(), qs("ＡＫデータの詳細情報 [ゴウ・イトウ]"));
    EXPECT_EQ(reportsAbout(missing), 1);

    // The next good file shows the current tab's sheet again.
    window.setAk(cmntest::samplePath(6));
    EXPECT_TRUE(tabs->isEnabled());
    EXPECT_EQ(memo->toPlainText().toStdString(), sheetOf(cmntest::samplePath(6), 2));
    window.closeByOwner();
}

TEST_F(CmnTest, DetailWindowCloseNoticeAndPlacement) {
    Opener opener;
    {
        // The close button posts one notice (a queued call) and hides the
        // window; the opener's answer destroys it.
        auto* window = new cmn::TFormAkDetail(cmntest::programDir(), &opener);
        QPointer<cmn::TFormAkDetail> alive(window);
        opener.onNotice = [&] {
            window->closeByOwner();
            delete window;
        };
        window->show();
        window->move(40, 30);
        window->resize(600, 420);
        window->findChild<QPushButton*>("ButtonClose")->click();
        EXPECT_FALSE(window->isVisible());
        EXPECT_EQ(opener.notices, 0); // not before the event loop runs
        QApplication::processEvents();
        EXPECT_EQ(opener.notices, 1);
        EXPECT_TRUE(alive.isNull());
        const char* key = "Software\\Dunmoor\\CVVell\\Window";
        EXPECT_EQ(plat::reg::readInteger(key, "Game_VsAkDetailWidth", -1), 600);
        EXPECT_EQ(plat::reg::readInteger(key, "Game_VsAkDetailHeight", -1), 420);
    }
    opener.onNotice = nullptr;
    {
        // The next window comes back where the last one was.
        cmn::TFormAkDetail window(cmntest::programDir(), &opener);
        EXPECT_EQ(window.size(), QSize(600, 420));
        // The close box notifies as well; the owner's own close does not.
        window.show();
        window.close();
        QApplication::processEvents();
        EXPECT_EQ(opener.notices, 2);
        window.show();
        window.closeByOwner();
        QApplication::processEvents();
        EXPECT_EQ(opener.notices, 2);
    }
    {
        // A notice to an opener that is gone by then is dropped.
        auto gone = std::make_unique<Opener>();
        cmn::TFormAkDetail window(cmntest::programDir(), gone.get());
        window.show();
        window.close();
        gone.reset();
        QApplication::processEvents();
        cmn::TFormAkDetail silent(cmntest::programDir(), nullptr);
        silent.show();
        silent.close();
        QApplication::processEvents();
    }
}

// Without a stored place the detail window first shows beside the window
// that opened it, inside the screen, and stays with that window.
TEST_F(CmnTest, DetailWindowStandsBesideItsOpener) {
    QWidget opener;
    opener.resize(200, 300);
    opener.show();
    opener.setGeometry(QRect(QPoint(2, 30), opener.size()));
    QApplication::processEvents();
    cmn::TFormAkDetail window(cmntest::programDir(), &opener);
    window.show();
    QApplication::processEvents();
    EXPECT_FALSE(window.frameGeometry().intersects(opener.frameGeometry()));
    EXPECT_GT(window.geometry().left(), opener.geometry().right());
    EXPECT_TRUE(window.screen()->availableGeometry().contains(window.frameGeometry()));
    ASSERT_NE(window.windowHandle(), nullptr);
    EXPECT_EQ(window.windowHandle()->transientParent(), opener.windowHandle());
}

// Every mode keeps one stored place for the detail window: a place clear of
// the opener's window is kept, one that would cover it (stored by another
// mode's window, or before the opener moved) gives way to a place beside it.
TEST_F(CmnTest, DetailWindowStoredOverItsOpenerStandsBeside) {
    QWidget opener;
    opener.resize(200, 300);
    opener.show();
    opener.setGeometry(QRect(QPoint(2, 30), opener.size()));
    QApplication::processEvents();
    auto store = [](int left, int top) {
        const char* key = "Software\\Dunmoor\\CVVell\\Window";
        plat::reg::writeInteger(key, "Game_VsAkDetailLeft", left);
        plat::reg::writeInteger(key, "Game_VsAkDetailTop", top);
        plat::reg::writeInteger(key, "Game_VsAkDetailWidth", 480);
        plat::reg::writeInteger(key, "Game_VsAkDetailHeight", 300);
    };
    store(300, 30);
    {
        cmn::TFormAkDetail window(cmntest::programDir(), &opener);
        window.show();
        QApplication::processEvents();
        EXPECT_EQ(window.geometry(), QRect(300, 30, 480, 300));
        window.closeByOwner();
    }
    store(100, 100);
    cmn::TFormAkDetail window(cmntest::programDir(), &opener);
    window.show();
    QApplication::processEvents();
    EXPECT_EQ(window.size(), QSize(480, 300));
    EXPECT_FALSE(window.frameGeometry().intersects(opener.frameGeometry()));
    EXPECT_GT(window.geometry().left(), opener.geometry().right());
    EXPECT_TRUE(window.screen()->availableGeometry().contains(window.frameGeometry()));
    window.closeByOwner();
}

// Runs `answer` on the check dialog once it is up.
void whenModal(std::function<void(cmn::TFormAkCheck*)> answer) {
    QTimer::singleShot(0, [answer] {
        auto* dialog = qobject_cast<cmn::TFormAkCheck*>(QApplication::activeModalWidget());
        ASSERT_NE(dialog, nullptr);
        answer(dialog);
    });
}

TEST_F(CmnTest, CheckDialogAnswers) {
    const std::string caption = sj("ＡＫデータチェック： ジン・ヤマモト 選手");
    const std::string report = sj("武装１の価格が違います\r\n武装２の重量が違います\r\n");
    whenModal([](cmn::TFormAkCheck* dialog) {
        EXPECT_EQ(dialog->windowTitle(), qs("ＡＫデータチェック： ジン・ヤマモト 選手"));
        auto* memo = dialog->findChild<QPlainTextEdit*>("MemoCheck");
        ASSERT_NE(memo, nullptr);
        EXPECT_TRUE(memo->isReadOnly());
        EXPECT_EQ(memo->verticalScrollBarPolicy(), Qt::ScrollBarAlwaysOn);
        // The report's columns line up: it is shown in the detail window's
        // fixed-pitch sheet font, every half-width character as wide as the
        // next. (How wide a full-width blank comes out depends on the
        // Japanese fonts the machine has.)
        DispAttribute attr{};
        LoadDispAttribute("", &attr);
        EXPECT_EQ(memo->font(), cmn::sheetFont(attr));
        const QFontMetrics metrics(memo->font());
        const int half = metrics.horizontalAdvance(QLatin1Char('W'));
        EXPECT_EQ(metrics.horizontalAdvance(QLatin1Char('i')), half);
        EXPECT_EQ(metrics.horizontalAdvance(QLatin1Char('1')), half);
        EXPECT_EQ(memo->toPlainText(), qs("武装１の価格が違います\n武装２の重量が違います\n"));
        EXPECT_GE(dialog->minimumWidth(), 500);
        EXPECT_GE(dialog->minimumHeight(), 300);
        auto* start = dialog->findChild<QPushButton*>("ButtonStart");
        EXPECT_EQ(start->text(), qs("試合を行う"));
        start->click();
    });
    EXPECT_EQ(cmn::TFormAkCheck::ask(caption, report), cmn::CheckGoOn);

    whenModal([](cmn::TFormAkCheck* dialog) {
        auto* stop = dialog->findChild<QPushButton*>("ButtonCancel");
        EXPECT_EQ(stop->text(), qs("試合の中断"));
        stop->click();
    });
    EXPECT_EQ(cmn::TFormAkCheck::ask(caption, report), cmn::CheckStop);

    // The close box and Escape count as "試合の中断".
    whenModal([](cmn::TFormAkCheck* dialog) { dialog->close(); });
    EXPECT_EQ(cmn::TFormAkCheck::ask(caption, report), cmn::CheckStop);
    whenModal([](cmn::TFormAkCheck* dialog) { dialog->reject(); });
    EXPECT_EQ(cmn::TFormAkCheck::ask(caption, report), cmn::CheckStop);
    EXPECT_NE(plat::reg::readInteger("Software\\Dunmoor\\CVVell\\Window", "Game_VsAkCheckWidth", -1), -1);
}

} // namespace
