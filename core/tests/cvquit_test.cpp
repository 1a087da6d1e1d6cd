// The abort dialog on its own, and behind the AbortMatch export with the
// dialog answered as a game master would.
#include "interfacetest.h"

#include "akdata/akfile.h"
#include "base/sjis.h"
#include "core/cvquit.h"
#include "platform/catalogue.h"
#include "platform/files.h"
#include "platform/notify.h"
#include "testsupport/qtfont.h"

#include <QApplication>
#include <QButtonGroup>
#include <QCheckBox>
#include <QGroupBox>
#include <QPushButton>
#include <QRadioButton>
#include <QTimer>

#include <filesystem>
#include <functional>
#include <string>
#include <vector>

namespace {

using namespace interfacetest;

TEST(FormGameQuit, ChoicesEnableTheirOwnControlsAndOkWritesThem) {
    int mode = -1, value = -1;
    cv::FormGameQuit form(nullptr, mode, value);
    EXPECT_EQ(form.windowTitle().toStdString(), "試合終了の結果を選んでください");
    EXPECT_GE(form.width(), 288);
    EXPECT_GE(form.height(), 236);
    EXPECT_TRUE(form.windowFlags() & Qt::WindowStaysOnTopHint);
    EXPECT_TRUE(form.RadioButtonQuit->isChecked());
    EXPECT_FALSE(form.RadioButtonEnd->isChecked());
    EXPECT_EQ(form.RadioGroupItems->checkedId(), 0);
    EXPECT_TRUE(form.CheckBoxSave->isChecked());
    EXPECT_FALSE(form.CheckBoxSave->isEnabled());
    EXPECT_TRUE(form.ButtonOk->isDefault());
    EXPECT_EQ(form.RadioGroupItems->buttons().size(), 4);

    form.RadioButtonEnd->click();
    EXPECT_FALSE(form.RadioGroupQuit->isEnabled());
    EXPECT_TRUE(form.CheckBoxSave->isEnabled());
    form.CheckBoxSave->click();
    form.ButtonOkClick();
    EXPECT_EQ(mode, 1);
    EXPECT_EQ(value, 0);

    form.RadioButtonQuit->click();
    EXPECT_TRUE(form.RadioGroupQuit->isEnabled());
    EXPECT_FALSE(form.CheckBoxSave->isEnabled());
    form.RadioGroupItems->button(3)->click();
    form.ButtonOkClick();
    EXPECT_EQ(mode, 0);
    EXPECT_EQ(value, 3);
}

// The form's size is the least it takes: with a small font it keeps its
// width of 288 (its nine rows need a little more than 236 in any font), with
// a large one it grows until every choice has the room its text asks for
// and lies inside the form.
TEST(FormGameQuit, GrowsToFitItsTextsAndKeepsItsSizeAsTheLeast) {
    for (int pixels : {8, 24}) {
        testsupport::SystemFontPixels font(pixels);
        int mode = -1, value = -1;
        cv::FormGameQuit form(nullptr, mode, value);
        form.show();
        QApplication::processEvents();
        EXPECT_GE(form.height(), 236);
        if (pixels == 8) {
            EXPECT_EQ(form.width(), 288);
        }
        std::vector<QAbstractButton*> choices{form.RadioButtonQuit, form.RadioButtonEnd, form.CheckBoxSave,
                                              form.ButtonOk, form.ButtonCancel};
        for (QAbstractButton* item : form.RadioGroupItems->buttons()) choices.push_back(item);
        for (QAbstractButton* w : choices) {
            SCOPED_TRACE(w->text().toStdString() + " at " + std::to_string(pixels) + " px");
            EXPECT_GE(w->height(), w->sizeHint().height());
            EXPECT_GE(w->width(), w->sizeHint().width());
            QRect inForm(w->mapTo(&form, QPoint(0, 0)), w->size());
            EXPECT_TRUE(form.rect().contains(inForm));
        }
    }
}

// Answers the next modal dialog with `answer` once it is shown.
void answerDialog(std::function<void(cv::FormGameQuit&)> answer) {
    QTimer::singleShot(0, [answer] {
        auto* form = dynamic_cast<cv::FormGameQuit*>(QApplication::activeModalWidget());
        if (!form) {
            ADD_FAILURE() << "no abort dialog shown";
            if (QWidget* w = QApplication::activeModalWidget()) w->close();
            return;
        }
        answer(*form);
    });
}

class AbortExport : public ::testing::Test {
protected:
    void SetUp() override {
        ASSERT_TRUE(c.load());
        ASSERT_EQ(c.StartSystem(&scratch.Init, &buffer), 0u);
        sjis::writeField(gs.AkFile1, SamplePath(1));
        sjis::writeField(gs.AkFile2, SamplePath(2));
        for (int i = 0; i < 2; ++i) s[i].Ak = LoadAk(SamplePath(i + 1));
        gs.Options[OptAkOutput] = 0; // holding with saving writes all the same
        c.SetEnvironment(&gs);
        c.SetAkData(&s[0].Ak, &s[1].Ak, &s[0].State, &s[1].State);
        c.StartMatch(log.c_str(), "");
        for (int round = 0; round < 3 && c.ProcessMatch(log.c_str()) == 0; ++round) {
        }
    }
    void TearDown() override { c.EndSystem(); }
    uint8_t abort(uint8_t& written) {
        return c.AbortMatch(nullptr, log.c_str(), scratch.AkOut.c_str(), &written);
    }

    Scratch scratch;
    Cvcore c;
    cv::GameMessageBuffer* buffer = nullptr;
    GameSettings gs = MatchSettings();
    Side s[2];
    std::string log = scratch.Results + "vs";
};

TEST_F(AbortExport, CancelGoesOn) {
    answerDialog([](cv::FormGameQuit& f) { f.ButtonCancel->click(); });
    uint8_t written = 9;
    EXPECT_EQ(abort(written), 0);
    EXPECT_EQ(written, 0);
    EXPECT_EQ(+gs.ImmobileDraw, 0);
}

TEST_F(AbortExport, HoldWithSavingWritesBothAksWithTheHoldBookedAndNothingToResume) {
    answerDialog([](cv::FormGameQuit& f) {
        f.RadioButtonEnd->click();
        f.ButtonOk->click();
    });
    const int32_t round = gs.RoundCounter;
    uint8_t written = 0;
    // The AK output folder without its separator: the files are named
    // folder + '\' + name, and the log shows them with '/' only.
    const std::string akOut = scratch.AkOut.substr(0, scratch.AkOut.size() - 1);
    EXPECT_EQ(c.AbortMatch(nullptr, log.c_str(), akOut.c_str(), &written), 4);
    EXPECT_EQ(written, 1);
    EXPECT_EQ(+gs.RoundCounter, round);
    EXPECT_EQ(+gs.Options[OptAkOutput], 0);
    EXPECT_EQ(+gs.ImmobileDraw, 1);
    for (const char* name : {"ak01.da1", "ak02.da1"}) {
        std::string out = Read(scratch.AkOut + name);
        size_t p = out.find("\"$DRAINDATA02$\",");
        ASSERT_NE(p, std::string::npos) << name;
        std::string line = out.substr(p, out.find('\r', p) - p);
        // Fields 9 to 14: binding, round, distance, money, value, announcer.
        EXPECT_NE(line.find(",0,0,0,0,0,0,"), std::string::npos) << line;
    }
    // Each file books the held match as a forced end after the records of
    // its input: ak01.dat has none, ak02.dat two (its six lines up to the
    // empty line). The opponents: ミカ・ホクト of 鈴木花子, アレックス・ロウ of
    // 田中一郎. The match is undecided after three rounds but for a rare
    // early end, whose result the record then names.
    const std::string marker = "--- CVVELL Game Result --- ";
    const std::string input2 = Read(SamplePath(2));
    const size_t history = input2.find(marker);
    ASSERT_NE(history, std::string::npos);
    const std::string copied = input2.substr(history, input2.find("\r\n\r\n", history) + 2 - history);
    const char* opponents[2] = {"ミカ・ホクト／鈴木花子", "アレックス・ロウ／田中一郎"};
    const bool draw = gs.Result == 2;
    for (int side = 0; side < 2; ++side) {
        const std::string out = Read(scratch.AkOut + "ak0" + std::to_string(side + 1) + ".da1");
        const std::string mark = draw ? "△" : gs.Result == side ? "○" : "×";
        const std::string record =
            "\r\n" + sj("　結果：" + mark + "、対戦相手：" + opponents[side]) + "\r\n" + sj("　") +
            sjis::han2Zen(std::to_string(round)) +
            sj("分。コルヴェインによる強制中断。" + std::string(draw ? "しかも引き分け。" : "")) + "\r\n\r\n";
        const size_t last = out.rfind(marker);
        ASSERT_NE(last, std::string::npos) << side;
        EXPECT_EQ(out.find(marker), side == 0 ? last : out.find(copied + marker)) << side;
        const size_t dateTime = 19; // "yyyy/mm/dd hh:mm:ss"
        EXPECT_EQ(out.compare(last + marker.size() + dateTime, record.size(), record), 0) << side;
        TArmoredKnight back{};
        EXPECT_EQ(akdata::parseAkData(back, out), akdata::LoadOk) << side;
    }
    std::string text = Read(log + ".txt");
    EXPECT_NE(text.find(sj("試合保留時点の機体データを書きこみます")), std::string::npos);
    EXPECT_NE(text.find(" PLAYER2=>" + scratch.AkOut + "ak02.da1"), std::string::npos);
}

TEST_F(AbortExport, HoldWhoseSavingFailsLeavesNoFileOfTheMatch) {
    // Side 2's output name is taken by a folder: its file cannot be put in
    // place. 41021 names it; side 1's file and the match's log are taken
    // back, so akWritten stays 0.
    std::filesystem::create_directories(scratch.AkOut + "ak02.da1");
    plat::notify::clearRecorded();
    plat::notify::setHeadlessEcho(false);
    answerDialog([](cv::FormGameQuit& f) {
        f.RadioButtonEnd->click();
        f.ButtonOk->click();
    });
    uint8_t written = 9;
    EXPECT_EQ(abort(written), 4);
    plat::notify::setHeadlessEcho(true);
    EXPECT_EQ(written, 0);
    ASSERT_EQ(plat::notify::recorded().size(), 1u);
    EXPECT_EQ(plat::notify::recorded()[0].text, plat::msg::format(41021, {scratch.AkOut + "ak02.da1"}));
    EXPECT_FALSE(plat::fileExists(scratch.AkOut + "ak01.da1"));
    EXPECT_FALSE(plat::fileExists(log + ".txt"));
}

TEST_F(AbortExport, HoldWithoutSavingWritesNothing) {
    answerDialog([](cv::FormGameQuit& f) {
        f.RadioButtonEnd->click();
        f.CheckBoxSave->click();
        f.ButtonOk->click();
    });
    uint8_t written = 9;
    EXPECT_EQ(abort(written), 4);
    EXPECT_EQ(written, 0);
    EXPECT_FALSE(plat::fileExists(scratch.AkOut + "ak01.da1"));
    EXPECT_NE(Read(log + ".txt").find(sj("機体データを書きこみません")), std::string::npos);
}

TEST_F(AbortExport, EqualDamageJudgedIsADraw) {
    // Both sides as good as new: equal damage.
    for (Side& side : s) side.State.DurabilityTotal = side.State.MaxDurabilityTotal;
    answerDialog([](cv::FormGameQuit& f) { f.ButtonOk->click(); });
    uint8_t written = 9;
    EXPECT_EQ(abort(written), 1);
    EXPECT_EQ(+gs.Result, 2);
    EXPECT_EQ(written, 0);
    EXPECT_EQ(c.EndMatch1(log.c_str(), scratch.AkOut.c_str()), 0);
    EXPECT_EQ(c.EndMatch2(log.c_str()), 0);
    EXPECT_FALSE(plat::fileExists(scratch.AkOut + "ak01.da1")); // option 23 off here
}

} // namespace
