// The battle royal's set-up window driven directly, offscreen: what it shows,
// "決定" refused for fewer than two entrants and placing the entrants on
// the map, placement by drag and drop on the picture, a whole event through
// the progress window (the map, the list of fights, the memo and the result
// file), and what the window stores when it closes.
#include "modes/brawlall/brmain.h"
#include "modes/brawlall/brmapview.h"
#include "modes/brawlall/brprog.h"
#include "modes/brawlall/tests/royaltest.h"
#include "platform/ui/qtsjis.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QLineEdit>
#include <QPushButton>
#include <QScreen>
#include <QScrollArea>
#include <QTabWidget>
#include <QTextEdit>
#include <QTreeWidget>

#include <cstring>
#include <filesystem>
#include <set>

namespace {

using namespace modetest;
using brawl::ui::TFormRoyal;
using testsupport::sj;

class RoyalForm : public ModeTest {
protected:
    void SetUp() override {
        ModeTest::SetUp();
        copySamples({1, 2, 3});
        makeConf();
        royaltest::royalConf(settings_, header_);
        settings_.Options[OptImmobileDraw] = 0;
        settings_.Options[Opt17] = 0;
    }

    std::unique_ptr<TFormRoyal> open() {
        auto form = std::make_unique<TFormRoyal>(settings_, header_, sources_);
        form->FormCreate();
        return form;
    }
    // The pixel in the middle of a cell.
    static QPoint centre(int x, int y) { return {x * 25 + 22, y * 25 + 22}; }
};

TEST_F(RoyalForm, WhatTheWindowShows) {
    auto form = open();
    EXPECT_EQ(settings_.Options[OptImmobileDraw], 1);
    EXPECT_EQ(settings_.Options[Opt17], 1);
    EXPECT_EQ(settings_.Options[OptAkOutput], 1); // for the run
    EXPECT_EQ(form->setup().savedAkOutput(), 0);  // the conf's own
    ASSERT_NE(form->ButtonDecide, nullptr);
    EXPECT_FALSE(form->ButtonStart->isEnabled());
    EXPECT_EQ(form->EditCount->text(), "3");
    EXPECT_EQ(form->EditMapX->text(), "20");
    EXPECT_EQ(form->EditMapY->text(), "20");
    EXPECT_TRUE(form->ScrollBoxBr->isHidden());
    EXPECT_FALSE(form->LabelType->isHidden());
    EXPECT_EQ(form->ScrollBoxBr->height(), 150);
    EXPECT_FALSE(form->CopyMap1->isEnabled());
    EXPECT_EQ(form->CopyMap1->text(), QString::fromUtf8("マップをクリップボードにコピｰ(&C)"));
    EXPECT_EQ(form->JoinDoller1->text(), QString::fromUtf8("ドーラーを参加させる"));
    EXPECT_EQ(form->Absent1->text(), QString::fromUtf8("（不在）に戻す"));
    EXPECT_EQ(form->ComboBoxText->currentText(), "BattleRoyal.txt");
    EXPECT_EQ(form->objectName(), "TFormRoyal");
    EXPECT_EQ(sjis::readField(settings_.ModeVersionText), "BRAWLALL Ver.1.0.0.0 ");
    EXPECT_TRUE(plat::notify::recorded().empty());
}

TEST_F(RoyalForm, DecideNeedsTwoEntrantsAndPlacesThem) {
    auto form = open();
    form->EditCount->setText("1");
    form->ButtonDecideClick();
    auto rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 1u);
    EXPECT_EQ(rec[0].text, sj("トーナメントでは参加機体数を３機以上に設定して下さい"));
    EXPECT_EQ(rec[0].caption, sj("この操作はできません"));
    EXPECT_FALSE(form->ButtonStart->isEnabled());
    EXPECT_TRUE(form->ScrollBoxBr->isHidden());
    EXPECT_TRUE(form->entrants().empty());

    // More than the AK list holds, on a map below the smallest size.
    form->EditCount->setText("8");
    form->EditMapX->setText("5");
    form->EditMapY->setText("99");
    form->ButtonDecideClick();
    EXPECT_EQ(plat::notify::recorded().size(), 1u);
    ASSERT_EQ(form->entrants().size(), 3u);
    EXPECT_EQ(form->map().columns(), 10);
    EXPECT_EQ(form->map().rows(), 40);
    std::set<std::string> files;
    for (size_t i = 0; i < 3; ++i) {
        const modes::Entrant& e = form->entrants()[i];
        files.insert(e.Path);
        int32_t x = e.Record->X, y = e.Record->Y;
        EXPECT_EQ(form->map().cell(x, y), static_cast<int32_t>(i) + 1);
        EXPECT_EQ(+e.Record->OutStatus, -1); // filled from the whole AK
        // The picture shows the emblem (ak02 has one), else the number.
        QString label = form->ImageBr->labelAt(x, y);
        if (e.Path == akFolder() + "\\ak02.dat")
            EXPECT_EQ(label, QString::fromUtf8("北"));
        else
            EXPECT_EQ(label, QString::asprintf("%02x", static_cast<int>(i)));
    }
    EXPECT_EQ(files.size(), 3u);
    EXPECT_TRUE(files.count(akFolder() + "\\ak02.dat"));
    EXPECT_FALSE(form->ScrollBoxBr->isHidden());
    EXPECT_TRUE(form->LabelType->isHidden());
    EXPECT_TRUE(form->ButtonStart->isEnabled());
    EXPECT_TRUE(form->CopyMap1->isEnabled());
    EXPECT_TRUE(form->placementEditing());
    EXPECT_EQ(form->ImageBr->width(), 270);
    EXPECT_EQ(form->ImageBr->height(), 1020);
    // The picture's hint names the entrant under the mouse.
    int32_t x = form->entrants()[0].Record->X, y = form->entrants()[0].Record->Y;
    std::string pilot(sjis::readField(form->entrants()[0].Record->Entry.PilotName));
    std::string owner(sjis::readField(form->entrants()[0].Record->Entry.OwnerName));
    EXPECT_EQ(form->ImageBrHint(centre(x, y)), plat::ui::fromSjis(pilot + sj("／") + owner));
    EXPECT_EQ(form->ImageBrHint(QPoint(2, 2)), QString());
}

TEST_F(RoyalForm, PlacementByDragAndDrop) {
    using Source = TFormRoyal::DragSource;
    auto form = open();
    form->EditCount->setText("2");
    form->EditMapX->setText("10");
    form->EditMapY->setText("10");
    form->ButtonDecideClick();
    ASSERT_EQ(form->entrants().size(), 2u);
    int32_t x0 = form->entrants()[0].Record->X, y0 = form->entrants()[0].Record->Y;
    int32_t x1 = form->entrants()[1].Record->X, y1 = form->entrants()[1].Record->Y;
    // A free cell that is not next to anything in particular.
    int fx = 0, fy = 0;
    while (form->map().cell(fx, fy) != 0) ++fx;

    // Nothing is being dragged from the picture yet; the list has no selection.
    EXPECT_FALSE(form->ImageBrDragOver(Source::Picture, centre(fx, fy)));
    EXPECT_FALSE(form->ImageBrDragOver(Source::AkList, centre(fx, fy)));
    // A press on a placed entrant (the right button starts no drag).
    form->ImageBrMouseDown(Qt::RightButton, centre(x0, y0));
    EXPECT_TRUE(form->ImageBrDragOver(Source::Picture, centre(fx, fy)));
    EXPECT_FALSE(form->ImageBrDragOver(Source::Picture, centre(x1, y1)));   // occupied
    EXPECT_FALSE(form->ImageBrDragOver(Source::Picture, QPoint(5, 100)));   // outside the grid
    EXPECT_FALSE(form->ImageBrDragOver(Source::Picture, QPoint(260, 100))); // the grid's edge
    EXPECT_FALSE(form->ImageBrDragOver(Source::Other, centre(fx, fy)));
    form->ImageBrDragDrop(Source::Picture, centre(fx, fy));
    EXPECT_EQ(form->map().cell(x0, y0), 0);
    EXPECT_EQ(form->map().cell(fx, fy), 1);
    EXPECT_EQ(+form->entrants()[0].Record->X, fx);
    EXPECT_EQ(+form->entrants()[0].Record->Y, fy);
    EXPECT_EQ(form->ImageBr->labelAt(x0, y0), QString());
    EXPECT_EQ(form->ImageBr->labelAt(fx, fy),
              plat::ui::fromSjis(brawl::markLabel(*form->entrants()[0].Record, 0)));
    // A moved label is drawn in the colour of the entrant's state (by the
    // durability its AK has left), as the run draws single cells.
    EXPECT_EQ(form->ImageBr->colourAt(fx, fy),
              plat::ui::colorFromRef(brawl::MarkColour(*form->entrants()[0].Record)));
    // A drop on an occupied cell changes nothing.
    form->ImageBrMouseDown(Qt::RightButton, centre(fx, fy));
    form->ImageBrDragDrop(Source::Picture, centre(x1, y1));
    EXPECT_EQ(form->map().cell(fx, fy), 1);
    EXPECT_EQ(form->map().cell(x1, y1), 2);

    // From the list: the file not yet in the event joins it.
    std::string placed0 = form->entrants()[0].Path, placed1 = form->entrants()[1].Path;
    int missing = -1;
    for (int i = 0; i < 3; ++i) {
        std::string p = akFolder() + "\\" + sampleFile(i + 1);
        if (p != placed0 && p != placed1) missing = i;
    }
    ASSERT_GE(missing, 0);
    form->ListViewAk->setCurrentItem(form->ListViewAk->topLevelItem(missing));
    int gx = 9, gy = 9;
    while (form->map().cell(gx, gy) != 0) --gx;
    ASSERT_TRUE(form->ImageBrDragOver(Source::AkList, centre(gx, gy)));
    form->ImageBrDragDrop(Source::AkList, centre(gx, gy));
    ASSERT_EQ(form->entrants().size(), 3u);
    EXPECT_EQ(form->map().entrantCount(), 3);
    EXPECT_EQ(form->EditCount->text(), "3");
    EXPECT_EQ(form->map().cell(gx, gy), 3);
    EXPECT_EQ(+form->entrants()[2].Record->X, gx);
    // The same file dropped again moves it instead of adding it.
    int hx = gx - 1, hy = gy;
    while (form->map().cell(hx, hy) != 0) --hx;
    form->ImageBrDragDrop(Source::AkList, centre(hx, hy));
    EXPECT_EQ(form->entrants().size(), 3u);
    EXPECT_EQ(form->map().cell(gx, gy), 0);
    EXPECT_EQ(form->map().cell(hx, hy), 3);
}

TEST_F(RoyalForm, OneEntrantPerOutputStem) {
    // ak01.dat and ak01.da1 would both write ak01.da1 after a fight, and a
    // winner on side 2 would fight on with the loser's AK.
    std::filesystem::copy_file(path("ak/ak01.dat"), path("ak/ak01.da1"));
    auto form = open();
    form->ComboBoxMask->setCurrentIndex(1); // *.da?
    ASSERT_EQ(form->ListViewAk->topLevelItemCount(), 4);
    form->EditCount->setText("4");
    form->ButtonDecideClick();
    // The later of the two in the list (ak01.da1, ak01.dat, ak02.dat,
    // ak03.dat) is passed over, and the box says so: three entrants, one of
    // stem ak01.
    ASSERT_EQ(form->entrants().size(), 3u);
    int ak01 = 0;
    for (const modes::Entrant& e : form->entrants()) ak01 += modes::outputStem(e.Path) == "AK01";
    EXPECT_EQ(ak01, 1);
    const std::string passedOver = sj("すでに登録されている機体と出力する機体データのファイル名が重なるため、"
                                      "次のファイルは登録しませんでした\n") +
                                   "ak01.dat";
    auto rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 1u);
    EXPECT_EQ(rec[0].text, passedOver);
    EXPECT_EQ(rec[0].caption, sj("この操作はできません"));
    plat::notify::clearRecorded();
    // Dropping the other one on the map is refused too, with the same box.
    for (int row = 0; row < 4; ++row) {
        form->ListViewAk->setCurrentItem(form->ListViewAk->topLevelItem(row));
        const std::string path = akFolder() + "\\" + form->selectedFile();
        bool entered = false;
        for (const modes::Entrant& e : form->entrants()) entered = entered || e.Path == path;
        if (entered) continue;
        int fx = 0, fy = 0;
        while (form->map().cell(fx, fy) != 0) ++fx;
        form->ImageBrDragDrop(TFormRoyal::DragSource::AkList, centre(fx, fy));
        EXPECT_EQ(form->map().cell(fx, fy), 0);
    }
    EXPECT_EQ(form->entrants().size(), 3u);
    rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 1u);
    EXPECT_EQ(rec[0].text, passedOver);
    plat::notify::clearRecorded();

    // The event runs with the three: three entry sheets, a winner, no box.
    gui::Driver driver([&] {
        QWidget* progress = gui::modal("TFormProgress");
        if (!progress || gui::statusText(progress, 0) !=
                             QString::fromUtf8("お待たせしました。バトルロイヤル戦の処理を終わりました"))
            return false;
        gui::clickLater(progress, "ButtonCancel");
        return true;
    });
    form->ButtonStartClick();
    EXPECT_TRUE(driver.done());
    const std::string entries = testsupport::readFile(path("result/entrylist.txt"));
    EXPECT_NE(entries.find(sj("【エントリー No.3")), std::string::npos);
    EXPECT_EQ(entries.find(sj("【エントリー No.4")), std::string::npos);
    EXPECT_NE(testsupport::readFile(path("result/BattleRoyal.txt")).find(sj(" 優勝  :")), std::string::npos);
    EXPECT_TRUE(plat::notify::recorded().empty());
}

TEST_F(RoyalForm, AStartThatEndsEarlyLeavesThePlacement) {
    // A team list naming ak02's emblem: its lists would be handed on.
    royaltest::writeAk(path("ak"), "ak01.dat", 1, "", "チーム［北］敵［＊］");
    header_.CheckWeaponData = 1;
    sjis::writeField(header_.WeaponDataFolder, scratch() + "nowhere"); // no catalogs: the start ends
    auto form = open();
    form->ButtonDecideClick();
    ASSERT_EQ(form->entrants().size(), 3u);
    std::vector<RoyalEntryRecord> before;
    for (const modes::Entrant& e : form->entrants()) before.push_back(*e.Record);
    for (int attempt = 0; attempt < 2; ++attempt) {
        form->ButtonStartClick();
        EXPECT_TRUE(form->placementEditing());
        EXPECT_TRUE(form->ButtonStart->isEnabled());
        for (size_t i = 0; i < 3; ++i)
            EXPECT_EQ(std::memcmp(&before[i], form->entrants()[i].Record.get(), sizeof(RoyalEntryRecord)), 0)
                << i;
    }
    EXPECT_FALSE(std::filesystem::exists(path("result/entrylist.txt")));
    EXPECT_FALSE(std::filesystem::exists(path("result/bt_view.vellScript")));
}

TEST_F(RoyalForm, AnEventThroughTheProgressWindow) {
    royaltest::writeAk(path("ak"), "ak01.dat", 1, "★", "");
    testsupport::writeFile(path("out/ak02.da1"), "stale"); // removed by the run
    auto form = open();
    form->EditCount->setText("3");
    form->EditMapX->setText("10");
    form->EditMapY->setText("10");
    form->ButtonDecideClick();
    ASSERT_EQ(form->entrants().size(), 3u);

    const QString done = QString::fromUtf8("お待たせしました。バトルロイヤル戦の処理を終わりました");
    bool sawMap = false, sawList = false, sawTabs = false, pressed = false;
    QString title;
    gui::Driver driver([&] {
        auto* progress = qobject_cast<brawl::ui::TFormRoyalProgress*>(QApplication::activeModalWidget());
        if (!progress) return false;
        title = progress->windowTitle();
        sawMap = sawMap || progress->ImageBr->hasPicture();
        sawList = progress->ListViewBattle->headerItem()->text(0) == QString::fromUtf8("試合番号") &&
                  progress->ListViewBattle->headerItem()->text(1) == QString::fromUtf8("対戦の組み合わせ");
        sawTabs = progress->PageControlBr->count() == 2;
        if (gui::statusText(progress, 0) != done) return false;
        EXPECT_EQ(progress->PageControlBr->currentWidget(), progress->TabSheetLog);
        EXPECT_EQ(progress->ListViewBattle->topLevelItemCount(), 0); // every fight ended
        pressed = true;
        gui::clickLater(progress, "ButtonCancel");
        return true;
    });
    form->ButtonStartClick();
    EXPECT_TRUE(driver.done());
    EXPECT_TRUE(pressed);
    EXPECT_TRUE(sawMap);
    EXPECT_TRUE(sawList);
    EXPECT_TRUE(sawTabs);
    EXPECT_EQ(title, QString::fromUtf8("Corvane Vell バトルロイヤル戦"));

    // The set-up window after the run.
    EXPECT_TRUE(form->ScrollBoxBr->isHidden());
    EXPECT_FALSE(form->ButtonStart->isEnabled());
    EXPECT_FALSE(form->CopyMap1->isEnabled());
    EXPECT_FALSE(form->placementEditing());
    EXPECT_EQ(sjis::readField(form->entrants()[0].Record->Mark).empty(), false);
    // The conf's own option 23 was off: the run's output AK files are gone.
    for (const auto& entry : std::filesystem::directory_iterator(path("out")))
        ADD_FAILURE() << "left in the output folder: " << entry.path();

    std::string result = testsupport::readFile(path("result/BattleRoyal.txt"));
    EXPECT_EQ(result.rfind(sj("テストロイヤル／乱戦\r\n"), 0), 0u);
    EXPECT_NE(result.find(sj("【エントリー】")), std::string::npos);
    EXPECT_NE(result.find(sj("【第１試合】")), std::string::npos);
    EXPECT_NE(result.find(sj("【結果】")), std::string::npos);
    EXPECT_NE(result.find(sj(" 優勝  :")), std::string::npos);
    EXPECT_EQ(result.substr(result.size() - sj("技術部／試験場\r\n").size()), sj("技術部／試験場\r\n"));
    EXPECT_TRUE(std::filesystem::exists(path("result/entrylist.txt")));
    std::string script = testsupport::readFile(path("result/bt_view.vellScript"));
    EXPECT_EQ(script.rfind("#----- Header Section --------------------\n", 0), 0u);
    EXPECT_NE(script.find(sj("Emblem: ★\n")), std::string::npos);
    EXPECT_EQ(script.substr(script.size() - 5), "End:\n");
    EXPECT_EQ(plat::reg::readString("Software\\Dunmoor\\CVVell\\DLL\\BrawlAll", "ScrollHeightProg", ""),
              "150");
    for (const auto& r : plat::notify::recorded()) ADD_FAILURE() << testsupport::u8(r.text);
}

TEST_F(RoyalForm, ClosingStoresTheMapSizeAndTheScrollHeight) {
    std::string key = "Software\\Dunmoor\\CVVell\\DLL\\BrawlAll";
    plat::reg::writeInteger(key, "ScrollHeight", 200);
    plat::reg::writeInteger(key, "MapSizeX", 12);
    auto form = open();
    EXPECT_EQ(form->ScrollBoxBr->height(), 200);
    EXPECT_EQ(form->EditMapX->text(), "12");
    form->EditMapX->setText("3");
    form->EditMapY->setText("77");
    form->done(2);
    EXPECT_EQ(form->setup().buffer(), nullptr);
    EXPECT_EQ(plat::reg::readString(key, "ScrollHeight", ""), "200");
    EXPECT_EQ(plat::reg::readString(key, "MapSizeX", ""), "10");
    EXPECT_EQ(plat::reg::readString(key, "MapSizeY", ""), "40");
    EXPECT_TRUE(plat::reg::valueExists("Software\\Dunmoor\\CVVell\\Window", "Game_BrHeight"));

    // A damaged height makes no picture area beyond the screen.
    plat::reg::writeInteger(key, "ScrollHeight", 50000000);
    auto damaged = open();
    EXPECT_LE(damaged->ScrollBoxBr->height(), QGuiApplication::primaryScreen()->size().height());
}

} // namespace
