// GameStart of libversus.so loaded by name ("VERSUS.DLL") from the program
// folder, offscreen, answered as a game master would: two AKs put in the
// slots with Enter, "試合開始", the match run without pause (Space) to its
// end, Esc, then "キャンセル". Only the deliverable is used: the windows are
// found by their object names. Also missing records.
#include "modes/frame/tests/gamestarttest.h"
#include "platform/desktop.h"

#include <QApplication>
#include <QKeyEvent>
#include <QPlainTextEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>

#include <filesystem>

namespace {

using namespace modetest;
using namespace modetest::gui;
using testsupport::sj;

const QString Prompt = QString::fromUtf8("（リターンキーを押すと次に進みます）");

void key(QWidget* target, int qtKey) {
    QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier);
    QApplication::sendEvent(target, &press);
}

class VersusGameStart : public GameStartTest {
protected:
    VersusGameStart() : GameStartTest("VERSUS.DLL", {3, 4}, 0) {}

    void SetUp() override {
        GameStartTest::SetUp();
        plat::desktop::setDocumentOpener([](const std::string&) { return true; });
    }
    void TearDown() override {
        plat::desktop::setDocumentOpener({});
        GameStartTest::TearDown();
    }
};

TEST_F(VersusGameStart, AGameMasterPlaysAMatchWithoutPause) {
    int stage = 0;
    bool ranToTheEnd = false;
    QString lastLine;
    Driver driver(
        [&] {
            switch (stage) {
            case 0:
                if (QWidget* form = modal("TFormVersus")) {
                    auto* list = form->findChild<QTreeWidget*>("ListViewAk");
                    for (int row : {0, 1}) {
                        list->setCurrentItem(list->topLevelItem(row));
                        key(list, Qt::Key_Return);
                    }
                    if (!form->findChild<QPushButton*>("ButtonStart")->isEnabled()) return false;
                    clickLater(form, "ButtonStart");
                    stage = 1;
                }
                return false;
            case 1:
                if (QWidget* log = modal("TFormVsLog")) {
                    key(log, Qt::Key_Space);
                    stage = 2;
                }
                return false;
            case 2:
                if (QWidget* log = modal("TFormVsLog")) {
                    auto* play = log->findChild<QToolButton*>("ToolButtonPlay");
                    auto* end = log->findChild<QToolButton*>("ToolButtonEnd");
                    auto* fwd = log->findChild<QToolButton*>("ToolButtonFwd");
                    QStringList lines =
                        log->findChild<QPlainTextEdit*>("RichEditLog")->toPlainText().split('\n');
                    lastLine = lines.isEmpty() ? QString() : lines.back();
                    // Done: the last display adds no prompt, and only "終了" is left.
                    if (play->isEnabled() || fwd->isEnabled() || !end->isEnabled() || lastLine == Prompt)
                        return false;
                    ranToTheEnd = true;
                    key(log, Qt::Key_Escape);
                    stage = 3;
                }
                return false;
            case 3:
                if (QWidget* form = modal("TFormVersus")) {
                    clickLater(form, "ButtonCancel");
                    stage = 4;
                }
                return false;
            default:
                return true;
            }
        },
        90000);
    EXPECT_EQ(start(), 2);
    EXPECT_FALSE(driver.expired());
    EXPECT_EQ(stage, 4);
    EXPECT_TRUE(ranToTheEnd);

    EXPECT_EQ(settings_.Options[36], 1);
    EXPECT_EQ(settings_.Options[OptMessagesOff], 0);
    EXPECT_EQ(sjis::readField(settings_.ModeVersionText), "VERSUS Ver.1.0.0.0 ");
    // The match log is the result text itself; no entry list.
    std::string log = testsupport::readFile(path("result/Game.txt"));
    EXPECT_NE(log.find(sj("＜＜　試合開始　＞＞")), std::string::npos);
    EXPECT_FALSE(std::filesystem::exists(path("result/entrylist.txt")));

    const std::string key = "Software\\Dunmoor\\CVVell\\DLL\\Versus";
    EXPECT_EQ(plat::reg::readString(key + "\\File", "0000", ""), "Game.txt");
    EXPECT_TRUE(plat::reg::valueExists(key, "ScrollHeight"));
    EXPECT_EQ(plat::reg::readString(key, "StatusView", ""), "1");
    EXPECT_TRUE(plat::reg::valueExists("Software\\Dunmoor\\CVVell\\Window", "Game_VsWidth"));
    for (const auto& r : plat::notify::recorded()) ADD_FAILURE() << testsupport::u8(r.text);
}

TEST_F(VersusGameStart, TheWindowClosesWhenTheSystemCannotStart) {
    expectTheWindowClosesWhenTheSystemCannotStart();
}

TEST_F(VersusGameStart, MissingRecordsAreRefused) {
    expectMissingRecordsAreRefused();
}

} // namespace
