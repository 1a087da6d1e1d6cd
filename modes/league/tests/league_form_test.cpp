// The league's set-up window driven directly, offscreen: what the frame's
// mode form shows after FormCreate, the AK list's sorting, the folder slots
// and the folder picker, the detail window and its close message, the
// result file test, a league of one and an unreadable entrant refused, and
// what the window stores when it closes.
#include "modes/frame/tests/modetest.h"
#include "modes/frame/textfmt.h"
#include "modes/league/lgmain.h"

#include <QApplication>
#include <QCheckBox>
#include <QComboBox>
#include <QEvent>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QToolButton>
#include <QTreeWidget>

#include <filesystem>

namespace {

using namespace modetest;
using testsupport::sj;

class LeagueForm : public ModeTest {
protected:
    void SetUp() override {
        ModeTest::SetUp();
        copySamples({1, 2, 3});
        makeConf();
        sources_.Count = 3;
        sjis::writeField(sources_.Names[1], sj("サンプル"));
        sjis::writeField(sources_.Paths[1], "AkData\\");
        sjis::writeField(sources_.Names[2], "Empty");
    }
    void TearDown() override {
        league::TFormLeague::setFolderChooser({});
        ModeTest::TearDown();
    }

    std::unique_ptr<league::TFormLeague> open() {
        auto form = std::make_unique<league::TFormLeague>(settings_, header_, sources_);
        form->FormCreate();
        return form;
    }
    static QStringList column(QTreeWidget* list, int c) {
        QStringList texts;
        for (int i = 0; i < list->topLevelItemCount(); ++i) texts << list->topLevelItem(i)->text(c);
        return texts;
    }
};

TEST_F(LeagueForm, WhatTheWindowShows) {
    plat::reg::writeInteger("Software\\Dunmoor\\CVVell\\DLL\\League", "RandomSort", 0);
    auto form = open();
    EXPECT_EQ(settings_.Options[OptImmobileDraw], 1);
    EXPECT_EQ(settings_.Options[OptAkOutput], 0);
    EXPECT_TRUE(form->ButtonStart->isEnabled()); // no "決定" in a league
    EXPECT_EQ(form->ButtonDecide, nullptr);
    EXPECT_FALSE(form->CheckBoxRandom->isChecked());
    EXPECT_EQ(form->minimumWidth(), 488);
    EXPECT_EQ(form->maximumWidth(), 488);
    // Paths shown as the file system spells them.
    EXPECT_EQ(form->windowTitle(), QString::fromStdString("Corvane Vell [" + akFolder() + "]"));
    EXPECT_FALSE(form->windowTitle().contains('\\'));
    EXPECT_EQ(form->ComboBoxText->currentText(), "League.txt");
    EXPECT_EQ(form->ComboBoxText->toolTip(), QString::fromStdString(resultFolder()));
    EXPECT_EQ(form->ComboBoxDir->toolTip(), QString::fromStdString(akFolder()));
    ASSERT_EQ(form->ComboBoxDir->count(), 3);
    EXPECT_EQ(form->ComboBoxDir->itemText(0), QString::fromUtf8("試合設定のパス"));
    EXPECT_EQ(form->ComboBoxDir->itemText(1), QString::fromUtf8("サンプル"));
    EXPECT_EQ(form->ComboBoxMask->count(), 5);
    EXPECT_EQ(column(form->ListViewAk, 0), (QStringList{"ak01.dat", "ak02.dat", "ak03.dat"}));
    EXPECT_EQ(column(form->ListViewAk, 1)[0], QString::fromUtf8("アレックス・ロウ"));
    EXPECT_EQ(form->ListViewAk->headerItem()->text(4), QString::fromUtf8("オーナーＩＤ"));
    EXPECT_NE(form->setup().buffer(), nullptr); // the game processor's system is started
    EXPECT_TRUE(plat::notify::recorded().empty());
}

TEST_F(LeagueForm, SortingFolderSlotsAndThePicker) {
    auto form = open();
    // The value column sorts by number, a second click flips it.
    form->ListViewAkColumnClick(2);
    EXPECT_EQ(column(form->ListViewAk, 2), (QStringList{"3800", "5000", "7800"}));
    form->ListViewAkColumnClick(2);
    EXPECT_EQ(column(form->ListViewAk, 2), (QStringList{"7800", "5000", "3800"}));
    // A slot without a folder is ignored; a full one lists its folder.
    form->ComboBoxDirChange(2);
    EXPECT_EQ(form->ListViewAk->topLevelItemCount(), 3);
    form->ComboBoxDirChange(1);
    EXPECT_EQ(form->setup().akFolder(), "AkData\\");
    EXPECT_EQ(form->ListViewAk->topLevelItemCount(), 8);
    // A new folder is listed in its own order; the value column is still
    // the one sorted last, so its next click flips to ascending.
    EXPECT_EQ(column(form->ListViewAk, 0).first(), "ak01.dat");
    EXPECT_EQ(column(form->ListViewAk, 0).last(), "ak08.dat");
    form->ListViewAkColumnClick(2);
    QStringList values = column(form->ListViewAk, 2);
    for (int i = 1; i < values.size(); ++i) EXPECT_LE(values[i - 1].toInt(), values[i].toInt());
    // The folder picker's choice becomes the current folder.
    std::string asked;
    league::TFormLeague::setFolderChooser([&](QWidget*, std::string_view title, std::string_view start) {
        asked = std::string(title) + "|" + std::string(start);
        return std::optional<std::string>(akFolder());
    });
    form->SpeedButtonFolderClick();
    EXPECT_EQ(asked, sj("ＡＫの入力元を設定して下さい") + "|AkData\\");
    EXPECT_EQ(form->ListViewAk->topLevelItemCount(), 3);
    // The mask narrows the list.
    form->ComboBoxMask->setCurrentIndex(2); // *.da1
    EXPECT_EQ(form->ListViewAk->topLevelItemCount(), 0);
}

TEST_F(LeagueForm, DetailWindowFollowsTheSelectionAndItsCloseMessage) {
    auto form = open();
    form->ListViewAk->setCurrentItem(form->ListViewAk->topLevelItem(1));
    EXPECT_EQ(form->selectedFile(), "ak02.dat");
    form->SpeedButtonDetail->click();
    EXPECT_TRUE(form->detailOpen());
    EXPECT_TRUE(form->SpeedButtonDetail->isChecked());
    form->ListViewAk->setCurrentItem(form->ListViewAk->topLevelItem(2));
    // The detail window's own close button posts WM_CLOSEAKDETAIL.
    QEvent closing(static_cast<QEvent::Type>(0x8191));
    QApplication::sendEvent(form.get(), &closing);
    EXPECT_FALSE(form->detailOpen());
    EXPECT_FALSE(form->SpeedButtonDetail->isChecked());
}

TEST_F(LeagueForm, StartIsRefusedWithoutAWritableResultFileOrWithFewerThanTwoEntrants) {
    auto form = open();
    form->ComboBoxText->setEditText("nowhere\\League.txt");
    form->ButtonStartClick();
    auto rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 1u);
    EXPECT_EQ(rec[0].text, sj("試合の出力結果をファイル(nowhere\\League.txt)に作成できません"));
    plat::notify::clearRecorded();

    form->ComboBoxText->setEditText("League.txt");
    form->ComboBoxMask->setCurrentIndex(2); // no AK: *.da1
    testsupport::writeFile(path("ak/ak01.da1"), testsupport::readFile(path("ak/ak01.dat")));
    form->FillAkList();
    ASSERT_EQ(form->ListViewAk->topLevelItemCount(), 1);
    // One entrant, or none with or without the weapon-data check: the
    // start ends silently, as for an empty list.
    form->ButtonStartClick();
    form->ComboBoxMask->setCurrentIndex(4); // *.da3
    ASSERT_EQ(form->ListViewAk->topLevelItemCount(), 0);
    for (uint8_t check : {1, 0}) {
        header_.CheckWeaponData = check;
        form->ButtonStartClick();
    }
    EXPECT_TRUE(plat::notify::recorded().empty());
    EXPECT_FALSE(std::filesystem::exists(path("result/entrylist.txt")));
}

TEST_F(LeagueForm, AnEntrantThatCannotBeReadRefusesTheStart) {
    // Its matches would not be played and the others' win rates would fall.
    testsupport::writeFile(path("ak/ak04.dat"), "no AK data\r\n");
    auto form = open();
    ASSERT_EQ(form->ListViewAk->topLevelItemCount(), 4);
    form->ButtonStartClick();
    auto rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 1u);
    EXPECT_EQ(rec[0].text,
              sj("機体データをファイル(") + akFolder() + "/ak04.dat" + sj(")から読みこめません"));
    EXPECT_FALSE(std::filesystem::exists(path("result/entrylist.txt")));
}

TEST_F(LeagueForm, ClosingStoresHistoryValuesAndPlacement) {
    plat::reg::writeValue("Software\\Dunmoor\\CVVell\\DLL\\League\\File", "0000", "old.txt");
    auto form = open();
    EXPECT_EQ(form->ComboBoxText->currentText(), "old.txt");
    EXPECT_TRUE(form->CheckBoxRandom->isChecked()); // default 1
    form->CheckBoxRandom->click();
    form->done(2);
    EXPECT_EQ(form->setup().buffer(), nullptr); // EndSystem
    std::string key = "Software\\Dunmoor\\CVVell\\DLL\\League";
    EXPECT_EQ(plat::reg::readString(key, "RandomSort", ""), "0");
    EXPECT_EQ(plat::reg::readString(key + "\\File", "0000", ""), "old.txt");
    EXPECT_EQ(plat::reg::readString(key + "\\File", "0001", "?"), "");
    EXPECT_TRUE(plat::reg::valueExists("Software\\Dunmoor\\CVVell\\Window", "Game_LgHeight"));
}

} // namespace
