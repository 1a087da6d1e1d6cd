// The tournament's set-up window driven directly, offscreen: what it shows
// and forces, message 41050 for fewer than three entrants, "決定" in list
// order, at random (the general generator seeded from a fixed clock) and by
// hand, seed editing by double-click, Enter, drop and the pop-up commands,
// a file passed over or refused for another entrant's output stem named once,
// the picture on the clipboard, a 2,000-entrant picture painted where it
// shows, columns that fit the names, a whole run with the picture redrawn in
// result mode and the output AK files removed again, the clean-up at the
// start as the window shows it, a cancel after the last match, and what it
// stores.
#include "modes/brackets/tnmain.h"
#include "modes/brackets/tnprog.h"
#include "modes/frame/tests/modetest.h"

#include <QAction>
#include <QApplication>
#include <QClipboard>
#include <QComboBox>
#include <QKeyEvent>
#include <QLineEdit>
#include <QMimeData>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <filesystem>
#include <fstream>

namespace {

using namespace modetest;
using namespace modetest::gui;
using testsupport::sj;

const bool watchdogInstalled = TestWatchdog::install(std::chrono::seconds(180));

class TourForm : public ModeTest {
protected:
    void SetUp() override {
        ModeTest::SetUp();
        copySamples({1, 3, 4});
        makeConf();
        sjis::writeField(header_.ConfName, sj("テスト杯"));
        sjis::writeField(header_.ConfMemo, sj("勝ち抜き"));
    }

    std::unique_ptr<brackets::TFormTour> open() {
        auto form = std::make_unique<brackets::TFormTour>(settings_, header_, sources_);
        form->FormCreate();
        return form;
    }
    static std::vector<std::string> slotPilots(brackets::TFormTour& form) {
        std::vector<std::string> pilots;
        brackets::Bracket& b = form.bracket();
        for (int i = 0; i < b.slotCount(); ++i) {
            const EntryRecord* r = b.slot(i)->Row;
            pilots.push_back(r ? testsupport::u8(std::string(sjis::readField(r->PilotName))) : "-");
        }
        return pilots;
    }
    static void select(brackets::TFormTour& form, int row) {
        form.ListViewAk->setCurrentItem(form.ListViewAk->topLevelItem(row));
    }
};

TEST_F(TourForm, WhatTheWindowShowsAndForces) {
    settings_.Options[OptAkOutput] = 0;
    auto form = open();
    EXPECT_EQ(settings_.Options[OptImmobileDraw], 1);
    EXPECT_EQ(settings_.Options[Opt17], 1);
    EXPECT_EQ(settings_.Options[OptAkOutput], 1);
    EXPECT_TRUE(form->setup().akOutputForced());
    EXPECT_EQ(form->setup().savedAkOutput(), 0);
    EXPECT_EQ(form->objectName(), "TFormTour");
    ASSERT_NE(form->ButtonDecide, nullptr);
    EXPECT_FALSE(form->ButtonStart->isEnabled());
    EXPECT_EQ(form->EditCount->text(), "3"); // the rows of the AK list
    ASSERT_EQ(form->ComboBoxAssign->count(), 3);
    EXPECT_EQ(form->ComboBoxAssign->itemText(2), QString::fromUtf8("自分で指定する"));
    EXPECT_EQ(form->ComboBoxAssign->currentIndex(), 0);
    EXPECT_EQ(form->maximumWidth(), 488);
    EXPECT_EQ(form->ScrollBoxTour->height(), 150);
    EXPECT_EQ(form->ComboBoxText->currentText(), "Tournament.txt");
    EXPECT_FALSE(form->Copy1->isEnabled());
    EXPECT_FALSE(form->JoinSlot1->isEnabled());
    EXPECT_FALSE(form->ClearSlot1->isEnabled());
    EXPECT_EQ(form->Copy1->text(), QString::fromUtf8("トーナメント表をクリップボードにコピｰ(&C)"));
    EXPECT_EQ(form->ImageTour->picture().Width, 0);
    EXPECT_TRUE(plat::notify::recorded().empty());
}

TEST_F(TourForm, FewerThanThreeEntrantsAreRefused) {
    auto form = open();
    for (const char* typed : {"2", "0", "", "-5"}) {
        plat::notify::clearRecorded();
        form->EditCount->setText(typed);
        form->ButtonDecideClick();
        auto rec = plat::notify::recorded();
        ASSERT_EQ(rec.size(), 1u) << typed;
        EXPECT_EQ(rec[0].text, sj("トーナメントでは参加機体数を３機以上に設定して下さい"));
        EXPECT_EQ(rec[0].caption, sj("この操作はできません"));
        EXPECT_EQ(rec[0].icon, plat::notify::Icon::Warning);
        EXPECT_FALSE(form->bracket().built());
        EXPECT_FALSE(form->ButtonStart->isEnabled());
    }
}

TEST_F(TourForm, DecideInListOrderAtRandomAndByHand) {
    auto form = open();
    // More seeds than AKs: the missing ones are absent.
    form->EditCount->setText("5");
    form->ButtonDecideClick();
    ASSERT_TRUE(form->bracket().built());
    EXPECT_EQ(form->bracket().entrants().size(), 3u);
    EXPECT_EQ(slotPilots(*form), (std::vector<std::string>{"アレックス・ロウ", "（不在）", "（不在）",
                                                           "シエラ・ブライト", "レン・カザマ"}));
    EXPECT_TRUE(form->ButtonStart->isEnabled());
    EXPECT_TRUE(form->Copy1->isEnabled());
    EXPECT_TRUE(form->JoinSlot1->isEnabled());
    EXPECT_EQ(form->ImageTour->size(), QSize(3 * 32 + 300, 5 * 24 + 20));
    form->Copy1Click();
    EXPECT_EQ(QApplication::clipboard()->image().size(), form->ImageTour->size());

    // At random: the runtime generator seeded from the (fixed) clock.
    auto randomOrder = [&] {
        form->ComboBoxAssign->setCurrentIndex(brackets::TFormTour::AssignRandom);
        form->EditCount->setText("3");
        form->ButtonDecideClick();
        return slotPilots(*form);
    };
    std::vector<std::string> once = randomOrder();
    EXPECT_EQ(randomOrder(), once);
    plat::clock::setFixedEpochSeconds(1775394429 + 1);
    std::vector<std::string> other = randomOrder();
    std::sort(once.begin(), once.end());
    std::sort(other.begin(), other.end());
    EXPECT_EQ(once, other);

    // By hand: every slot starts absent.
    form->ComboBoxAssign->setCurrentIndex(brackets::TFormTour::AssignByHand);
    form->ButtonDecideClick();
    EXPECT_TRUE(form->bracket().entrants().empty());
    EXPECT_EQ(slotPilots(*form), (std::vector<std::string>{"（不在）", "（不在）", "（不在）"}));
}

TEST_F(TourForm, SeedEditing) {
    auto form = open();
    form->ComboBoxAssign->setCurrentIndex(brackets::TFormTour::AssignByHand);
    // Before "決定" nothing is edited.
    select(*form, 0);
    form->ListViewAkDblClick();
    EXPECT_FALSE(form->bracket().built());

    form->ButtonDecideClick();
    ASSERT_EQ(form->bracket().slotCount(), 3);
    // Double-click: the slot under the cursor, which advances.
    select(*form, 1);
    form->ListViewAkDblClick();
    EXPECT_EQ(form->slotCursor(), 1);
    // Enter in the list: the same.
    select(*form, 2);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(form->ListViewAk, &enter);
    EXPECT_EQ(form->slotCursor(), 2);
    // A drop: the slot under the point; the cursor stays.
    select(*form, 0);
    form->ImageTourDragDrop(QPoint(300, 10 + 2 * 24 + 5));
    EXPECT_EQ(form->slotCursor(), 2);
    EXPECT_EQ(slotPilots(*form),
              (std::vector<std::string>{"レン・カザマ", "シエラ・ブライト", "アレックス・ロウ"}));
    EXPECT_EQ(form->bracket().entrants().size(), 3u);
    // The bye of seed 1 follows its slot.
    EXPECT_EQ(form->bracket().root()->Child[0]->Index, 1);

    // "（不在）に戻す" on the right-clicked slot.
    form->ImageTourMouseDown(QPoint(20, 10 + 24 + 3));
    form->ClearSlot1Click();
    EXPECT_EQ(slotPilots(*form), (std::vector<std::string>{"レン・カザマ", "（不在）", "アレックス・ロウ"}));
    EXPECT_EQ(form->bracket().entrants()[1].Path, "");
    // Outside the name column: the slot before the cursor (2 -> 1), wrapping.
    form->ImageTourMouseDown(QPoint(250, 10 + 3));
    form->ClearSlot1Click();
    EXPECT_EQ(slotPilots(*form)[1], "（不在）");
    form->ImageTourMouseDown(QPoint(20, 500));
    form->ListViewAkDblClick(); // cursor 2 -> 0 after the assignment to 2
    EXPECT_EQ(form->slotCursor(), 0);
    form->ClearSlot1Click(); // before 0: the last slot
    EXPECT_EQ(slotPilots(*form)[2], "（不在）");
    EXPECT_EQ(form->bracket().root()->Child[0]->Index, 1);

    // "ドーラーを参加させる": the right-clicked slot becomes the cursor.
    select(*form, 2);
    form->ImageTourMouseDown(QPoint(20, 10 + 2 * 24));
    form->JoinSlot1Click();
    EXPECT_EQ(slotPilots(*form)[2], "シエラ・ブライト");
    EXPECT_EQ(form->slotCursor(), 0);
    // The emptied slot took a new entrant; the emptied list entries stay empty.
    EXPECT_EQ(form->bracket().entrants().size(), 4u);
    EXPECT_EQ(form->bracket().slot(2)->Index, 4);
    // An AK already in the bracket does not enter a second slot.
    select(*form, 1);
    form->ImageTourDragDrop(QPoint(20, 10 + 24));
    EXPECT_EQ(slotPilots(*form)[1], "（不在）");
    EXPECT_EQ(plat::notify::recorded().size(), 1u);
    // A drop from somewhere else than the AK list is not taken.
    QMimeData mime;
    mime.setText("x");
    QDropEvent drop(QPointF(20, 15), Qt::CopyAction, &mime, Qt::LeftButton, Qt::NoModifier);
    QApplication::sendEvent(form->ImageTour, &drop);
    EXPECT_EQ(slotPilots(*form)[0], "レン・カザマ");
}

// ak01.dat and ak01.da1 would both write ak01.da1 after a match: one of
// them enters, and the other is named once, on "決定" and on a seed slot.
TEST_F(TourForm, AFileOfATakenStemIsNamedOnce) {
    std::filesystem::copy_file(path("ak/ak01.dat"), path("ak/ak01.da1"));
    auto form = open();
    form->ComboBoxMask->setCurrentIndex(1); // *.da?
    ASSERT_EQ(form->ListViewAk->topLevelItemCount(), 4);
    EXPECT_EQ(form->EditCount->text(), "4");
    form->ButtonDecideClick();
    // Rows ak01.da1, ak01.dat, ak03.dat, ak04.dat: ak01.dat is passed over;
    // four seeds (top to bottom 1, 4, 3, 2) for the other three, seed 4
    // absent.
    ASSERT_EQ(form->bracket().entrants().size(), 3u);
    EXPECT_EQ(form->bracket().entrants()[0].Path, akFolder() + "\\ak01.da1");
    EXPECT_EQ(slotPilots(*form),
              (std::vector<std::string>{"アレックス・ロウ", "（不在）", "シエラ・ブライト", "レン・カザマ"}));
    const std::string named = sj("すでに登録されている機体と出力する機体データのファイル名が重なるため、"
                                 "次のファイルは登録しませんでした\n") +
                              "ak01.dat";
    auto rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 1u);
    EXPECT_EQ(rec[0].text, named);
    EXPECT_EQ(rec[0].caption, sj("この操作はできません"));
    plat::notify::clearRecorded();

    // ak01.dat dropped on the absent seed: refused, named once.
    select(*form, 1);
    ASSERT_EQ(form->selectedFile(), "ak01.dat");
    form->ImageTourDragDrop(QPoint(20, 10 + 24 + 5));
    EXPECT_EQ(slotPilots(*form)[1], "（不在）");
    EXPECT_EQ(form->bracket().entrants().size(), 3u);
    rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 1u);
    EXPECT_EQ(rec[0].text, named);
    plat::notify::clearRecorded();
    // On ak01.da1's own slot it takes that entrant's place, without a word.
    form->ImageTourDragDrop(QPoint(20, 10 + 5));
    EXPECT_EQ(form->bracket().entrants()[0].Path, akFolder() + "\\ak01.dat");
    EXPECT_TRUE(plat::notify::recorded().empty());
}

TEST_F(TourForm, ARunRedrawsThePictureInResultModeAndRemovesTheOutputs) {
    settings_.Options[OptAkOutput] = 0; // the conf writes no output AK files
    settings_.Options[OptTournamentThirdPlace] = 1;
    auto form = open();
    form->ButtonDecideClick();
    const QImage before = form->ImageTour->wholeImage();
    bool sawDone = false, outEmptyAtEnd = false;
    Driver driver([&] {
        QWidget* w = modal("TFormProgress");
        if (!w ||
            statusText(w, 0) != QString::fromUtf8("お待たせしました。トーナメント戦の処理を終わりました"))
            return false;
        sawDone = true;
        // Gone already with the tables: not made durable only to be deleted.
        outEmptyAtEnd = std::filesystem::is_empty(path("out"));
        clickLater(w, "ButtonCancel");
        return true;
    });
    seedEverything();
    form->ButtonStartClick();
    EXPECT_TRUE(sawDone);
    EXPECT_TRUE(outEmptyAtEnd);
    EXPECT_TRUE(form->bracket().resultMode());
    EXPECT_FALSE(form->ButtonStart->isEnabled());
    EXPECT_FALSE(form->seedEditing());
    EXPECT_NE(form->ImageTour->wholeImage(), before);
    // The run's output AK files are gone again; the result file holds the
    // tables.
    EXPECT_TRUE(std::filesystem::is_empty(path("out")));
    std::string result = testsupport::readFile(path("result/Tournament.txt"));
    EXPECT_EQ(result.rfind(sj("テスト杯／勝ち抜き\r\n"), 0), 0u);
    EXPECT_NE(result.find(sj("【トーナメント組み合わせ】")), std::string::npos);
    EXPECT_NE(result.find(sj("【決勝戦】")), std::string::npos);
    EXPECT_NE(result.find(sj("【トーナメント結果】")), std::string::npos);
    EXPECT_NE(result.find(sj(" 優勝  :  ")), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(path("result/entrylist.txt")));
}

// The old logs deleted at the start show in the window: each call the run
// thread hands over is seen as it arrives, with what the calls before it
// left on the screen. While the clean-up goes on, its status, the files
// counted on the bar and in panel 1 and the busy cursor; then the window
// as it was before, for the matches.
TEST_F(TourForm, TheCleanUpAtTheStartShowsInTheWindow) {
    for (int i = 0; i < 300; ++i)
        testsupport::writeFile(path("result/tm_old_" + std::to_string(i) + ".txt"), "x");
    struct Seen {
        QString panel0, panel1;
        int maximum, value;
        Qt::CursorShape cursor;
    };
    struct Watch : QObject {
        std::vector<Seen> seen;
        bool eventFilter(QObject* watched, QEvent* e) override {
            auto* progress = qobject_cast<modes::ui::TFormProgress*>(watched);
            if (progress && e->type() == QEvent::MetaCall)
                seen.push_back({statusText(progress, 0), statusText(progress, 1),
                                progress->ProgressBar->maximum(), progress->ProgressBar->value(),
                                progress->cursor().shape()});
            return false;
        }
    } watch;
    qApp->installEventFilter(&watch);
    auto form = open();
    form->ButtonDecideClick();
    Driver driver([&] {
        QWidget* w = modal("TFormProgress");
        if (!w || w->findChild<QProgressBar*>()->isVisible()) return false;
        clickLater(w, "ButtonCancel");
        return true;
    });
    seedEverything();
    form->ButtonStartClick();
    qApp->removeEventFilter(&watch);
    EXPECT_TRUE(driver.done());
    EXPECT_FALSE(std::filesystem::exists(path("result/tm_old_0.txt")));

    const QString status = QString::fromUtf8("前回の出力を削除しています。ちょっと待ってね。");
    auto cleaning = [&](const Seen& s) { return s.panel0 == status; };
    auto first = std::find_if(watch.seen.begin(), watch.seen.end(), cleaning);
    ASSERT_NE(first, watch.seen.end());
    EXPECT_EQ(first->cursor, Qt::BusyCursor);
    auto counted = std::find_if(first, watch.seen.end(), [](const Seen& s) { return s.maximum == 300; });
    ASSERT_NE(counted, watch.seen.end());
    EXPECT_TRUE(cleaning(*counted));
    EXPECT_EQ(counted->panel1, QString("%1/300").arg(counted->value));
    auto after = std::find_if(counted, watch.seen.end(), [&](const Seen& s) { return !cleaning(s); });
    ASSERT_NE(after, watch.seen.end());
    EXPECT_EQ(after->panel0, ""); // the tournament's status before the run
    EXPECT_EQ(after->panel1, "");
    EXPECT_EQ(after->maximum, 3);
    EXPECT_EQ(after->value, 0);
    EXPECT_EQ(after->cursor, Qt::ArrowCursor);
    EXPECT_TRUE(std::none_of(after, watch.seen.end(), cleaning));
}

TEST_F(TourForm, ASlotEmptiedByHandIsNoEntrantOfTheRun) {
    auto form = open();
    form->ComboBoxAssign->setCurrentIndex(brackets::TFormTour::AssignByHand);
    form->ButtonDecideClick();
    for (int row : {0, 1, 2}) {
        select(*form, row);
        form->ListViewAkDblClick();
    }
    form->ImageTourMouseDown(QPoint(20, 10 + 24 + 3));
    form->ClearSlot1Click();
    ASSERT_EQ(form->bracket().entrants()[1].Path, "");
    Driver driver([&] {
        QWidget* w = modal("TFormProgress");
        if (!w || w->findChild<QProgressBar*>()->isVisible()) return false;
        clickLater(w, "ButtonCancel");
        return true;
    });
    form->ButtonStartClick();
    EXPECT_TRUE(driver.done());
    // No report of a file that cannot be opened: the emptied slot has no file.
    for (const auto& r : plat::notify::recorded()) ADD_FAILURE() << testsupport::u8(r.text);
    std::string entries = testsupport::readFile(path("result/entrylist.txt"));
    EXPECT_NE(entries.find(sj("アレックス・ロウ")), std::string::npos);
    EXPECT_NE(entries.find(sj("シエラ・ブライト")), std::string::npos);
    EXPECT_EQ(entries.find(sj("レン・カザマ")), std::string::npos);
    // The one who was left wins the final by walkover.
    std::string result = testsupport::readFile(path("result/Tournament.txt"));
    EXPECT_NE(result.find(sj("不戦勝")), std::string::npos);
}

// 2,000 typed with three AKs listed: 2,000 seeds in a picture 48,020
// pixels high, 125 MB and more as one bitmap. Only the strip in view is
// painted: drawing the bracket and a row far down takes a few MB (the
// resident high-water mark, reset first, where Linux allows).
TEST_F(TourForm, ALargeBracketIsPaintedWhereItShows) {
    auto form = open();
    form->ButtonDecideClick(); // fonts and caches in place before measuring
    form->EditCount->setText("2000");
    auto peakKb = [] {
        std::ifstream status("/proc/self/status");
        for (std::string line; std::getline(status, line);)
            if (line.rfind("VmHWM:", 0) == 0) return std::atol(line.c_str() + 6);
        return 0L;
    };
    const bool measured = static_cast<bool>(std::ofstream("/proc/self/clear_refs") << "5" << std::flush);
    const long before = peakKb();
    form->ButtonDecideClick();
    const QImage row = form->ImageTour->grab(QRect(0, 10 + 24 * 1000, 220, 24)).toImage();
    EXPECT_LT(measured ? peakKb() - before : 0, 48 * 1024);
    EXPECT_EQ(form->bracket().slotCount(), 2000);
    EXPECT_EQ(form->ImageTour->height(), 2000 * 24 + 20);
    int ink = 0; // the row's name on the ground
    for (int y = 0; y < row.height(); ++y)
        for (int x = 0; x < row.width(); ++x) ink += row.pixel(x, y) != row.pixel(0, 0);
    EXPECT_GT(ink, 20);
}

// ak08's owner "山本剛(山本重機)" is wider than the 90 pixels the owner
// column has at least: the pilots move right of it.
TEST_F(TourForm, PilotsStandRightOfTheWidestOwner) {
    copySamples({8});
    auto form = open();
    form->ButtonDecideClick();
    EXPECT_GT(form->bracket().pilotColumn(), 100);
}

// "終了" pressed after the last match, while WM_GAMEDONE is on its way
// (pressed here just before it is delivered): the window closes with the
// cancel result, and neither the tables nor the result bracket follow.
TEST_F(TourForm, ACancelAfterTheLastMatchWritesNoTable) {
    struct CancelBeforeGameDone : QObject {
        int result = -1;
        bool eventFilter(QObject* watched, QEvent* e) override {
            auto* progress = qobject_cast<modes::ui::TFormProgress*>(watched);
            if (progress && result < 0 && e->type() == static_cast<QEvent::Type>(modes::ui::WM_GAMEDONE)) {
                progress->ButtonCancelClick();
                result = progress->result();
            }
            return false;
        }
    } cancel;
    qApp->installEventFilter(&cancel);
    auto form = open();
    form->ButtonDecideClick();
    Driver driver([&] { return cancel.result >= 0; });
    seedEverything();
    form->ButtonStartClick();
    qApp->removeEventFilter(&cancel);
    EXPECT_EQ(cancel.result, 2);
    EXPECT_FALSE(form->bracket().resultMode());
    // Emptied when the progress window opened, and left so.
    EXPECT_EQ(testsupport::readFile(path("result/Tournament.txt")), "");
}

TEST_F(TourForm, ClosingStoresItsValues) {
    plat::reg::writeInteger("Software\\Dunmoor\\CVVell\\DLL\\Tournament", "Assign", 7);
    plat::reg::writeInteger("Software\\Dunmoor\\CVVell\\DLL\\Tournament", "ScrollHeight", 220);
    plat::reg::writeValue("Software\\Dunmoor\\CVVell\\DLL\\Tournament\\File", "0000", "old.txt");
    auto form = open();
    EXPECT_EQ(form->ComboBoxText->currentText(), "old.txt");
    EXPECT_EQ(form->ComboBoxAssign->currentIndex(), 2); // clamped
    EXPECT_EQ(form->ScrollBoxTour->height(), 220);
    form->ComboBoxAssign->setCurrentIndex(1);
    form->done(2);
    std::string key = "Software\\Dunmoor\\CVVell\\DLL\\Tournament";
    EXPECT_EQ(plat::reg::readString(key, "Assign", ""), "1");
    EXPECT_EQ(plat::reg::readString(key, "ScrollHeight", ""), "220");
    EXPECT_EQ(plat::reg::readString(key + "\\File", "0000", ""), "old.txt");
    EXPECT_TRUE(plat::reg::valueExists("Software\\Dunmoor\\CVVell\\Window", "Game_TnHeight"));
    EXPECT_EQ(form->setup().buffer(), nullptr);
}

} // namespace
