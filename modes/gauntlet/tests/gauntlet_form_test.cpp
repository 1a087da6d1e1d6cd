// The simulation's set-up window driven directly, offscreen: what it shows
// after FormCreate and the options it forces, the own AK by a double click
// (and a destroyed one refused), enemies added by "一覧に追加" and by a drop
// of selected rows, removal by the menu and the Del key, sorting, the reset,
// drops from elsewhere refused, the start's refusals, and what the window
// stores when it closes.
#include "modes/frame/imports.h"
#include "modes/frame/tests/modetest.h"
#include "modes/frame/textfmt.h"
#include "modes/gauntlet/vmmain.h"
#include "testsupport/qtfont.h"

#include <QAction>
#include <QApplication>
#include <QComboBox>
#include <QKeyEvent>
#include <QLabel>
#include <QMimeData>
#include <QPushButton>
#include <QSpinBox>
#include <QStatusBar>
#include <QTextBlock>
#include <QTextEdit>
#include <QTreeWidget>

#include <filesystem>

namespace {

using namespace modetest;
using testsupport::sj;

class GauntletForm : public ModeTest {
protected:
    void SetUp() override {
        ModeTest::SetUp();
        copySamples({1, 2, 3});
        makeConf();
        // The conf asks for logs and output AK files; the simulation keeps neither.
        settings_.Options[OptLogOutput] = 1;
        settings_.Options[OptAkOutput] = 1;
        settings_.Options[OptImmobileDraw] = 0;
        sources_.Count = 2;
        sjis::writeField(sources_.Names[1], sj("サンプル"));
        sjis::writeField(sources_.Paths[1], programDir() + "AkData");
    }

    std::unique_ptr<gauntlet::TFormGauntlet> open() {
        auto form = std::make_unique<gauntlet::TFormGauntlet>(settings_, header_, sources_);
        form->FormCreate();
        return form;
    }
    static QStringList column(QTreeWidget* list, int c) {
        QStringList texts;
        for (int i = 0; i < list->topLevelItemCount(); ++i) texts << list->topLevelItem(i)->text(c);
        return texts;
    }
    static QString status(gauntlet::TFormGauntlet& form) {
        return form.StatusBar1->findChild<QLabel*>()->text();
    }
    // A double click on row `row` of the AK list.
    static void doubleClick(gauntlet::TFormGauntlet& form, int row) {
        QTreeWidgetItem* item = form.ListViewAk->topLevelItem(row);
        form.ListViewAk->setCurrentItem(item);
        emit form.ListViewAk->itemDoubleClicked(item, 0);
    }
    static void select(QTreeWidget* list, std::initializer_list<int> rows) {
        list->clearSelection();
        for (int r : rows) list->topLevelItem(r)->setSelected(true);
    }

    // These tests run no event loop of their own: a loop can only come from
    // a window opened modally where none should open (a start that was to
    // be refused). That fails the test and is closed at the deadline; the
    // driver has nothing to answer.
    gui::Driver unwinder_{[] { return true; }, 60000};
    Watchdog hard_{std::chrono::seconds(240), "a set-up window test"};
};

TEST_F(GauntletForm, WhatTheWindowShows) {
    auto form = open();
    EXPECT_EQ(settings_.Options[OptImmobileDraw], 1);
    EXPECT_EQ(settings_.Options[OptAkOutput], 0);
    EXPECT_EQ(settings_.Options[OptLogOutput], 0);
    EXPECT_EQ(form->ButtonDecide->text(), QString::fromUtf8("一覧に追加"));
    EXPECT_FALSE(form->ButtonDecide->isEnabled());
    EXPECT_FALSE(form->ButtonStart->isEnabled());
    EXPECT_EQ(form->EditCount->text(), "20");
    // The box itself shows the largest count.
    EXPECT_EQ(form->EditCount->maximum(), 100);
    gui::typeText(form->EditCount, "500"); // the last 0 would pass the limit
    EXPECT_EQ(form->EditCount->text(), "50");
    EXPECT_EQ(form->PanelVs->height(), 185);
    // 488 at the least, pinned where the summary needs more.
    EXPECT_GE(form->minimumWidth(), 488);
    EXPECT_EQ(form->maximumWidth(), form->minimumWidth());
    EXPECT_EQ(form->LabelType->text(), "Simulation");
    EXPECT_EQ(form->ListViewAk->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(form->ListViewEnemies->selectionMode(), QAbstractItemView::ExtendedSelection);
    EXPECT_EQ(form->SetUndo->shortcut(), QKeySequence(Qt::Key_Delete));
    EXPECT_EQ(status(*form), QString::fromUtf8("シミュレーション機体数: 0"));
    QStringList memo = form->MemoLeft->toPlainText().split('\n');
    ASSERT_EQ(memo.size(), 9);
    EXPECT_EQ(memo[2], QString::fromUtf8("他の機体と対戦させる機体を選んで、"));
    EXPECT_EQ(memo[6], QString::fromUtf8("　機体追加ボタンを押すと、"));
    EXPECT_EQ(form->MemoLeft->document()->firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignHCenter);
    EXPECT_NE(form->setup().buffer(), nullptr);
    EXPECT_TRUE(plat::notify::recorded().empty());
}

TEST_F(GauntletForm, OwnAkByDoubleClickAndADestroyedOneRefused) {
    // A copy of ak03 whose pilot is dead (no name).
    TArmoredKnight dead{};
    ASSERT_EQ(LoadAkData(&dead, path("ak/ak03.dat").c_str()), 0);
    sjis::writeField(dead.Pilot.Name, "");
    ASSERT_EQ(SaveAkData(&dead, path("ak/ak04.dat").c_str()), 0);
    auto form = open();
    ASSERT_EQ(form->ListViewAk->topLevelItemCount(), 4);

    doubleClick(*form, 0);
    ASSERT_TRUE(form->ownSet());
    EXPECT_EQ(form->ownPath(), akFolder() + "\\ak01.dat");
    QStringList memo = form->MemoLeft->toPlainText().split('\n');
    ASSERT_EQ(memo.size(), 12);
    EXPECT_EQ(memo[0], QString::fromUtf8("名前: アレックス・ロウ"));
    EXPECT_EQ(memo[4], QString::fromUtf8(" 1: ビームライフル"));
    EXPECT_EQ(memo[11], QString::fromUtf8("ファイル名：") + QString::fromStdString(akFolder() + "/ak01.dat"));
    EXPECT_EQ(form->MemoLeft->document()->firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignLeft);
    EXPECT_TRUE(form->ButtonDecide->isEnabled());
    EXPECT_FALSE(form->ButtonStart->isEnabled()); // no enemy yet

    doubleClick(*form, 3);
    auto rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 1u);
    EXPECT_EQ(rec[0].text, sj("ＡＫが破壊されている、もしくはドーラーが死んでいるデータで試合はできません"));
    EXPECT_EQ(rec[0].caption, sj("この操作はできません"));
    // The own AK is still the first one, record and all.
    EXPECT_EQ(form->ownPath(), akFolder() + "\\ak01.dat");
    EXPECT_EQ(sjis::readField(form->ownAk().Pilot.Name), sj("アレックス・ロウ"));
    EXPECT_EQ(form->MemoLeft->toPlainText().split('\n')[0], QString::fromUtf8("名前: アレックス・ロウ"));

    // A file the AK data library cannot read changes nothing either.
    plat::notify::clearRecorded();
    testsupport::writeFile(path("ak/ak05.dat"), "not an AK\r\n");
    form->MakeAkSummary(akFolder() + "\\ak05.dat");
    EXPECT_EQ(form->ownPath(), akFolder() + "\\ak01.dat");
}

// In a larger font the own AK's record and value lines still show whole:
// the window grows past 488 to fit them.
TEST_F(GauntletForm, TheSummaryIsNotCut) {
    testsupport::SystemFontPixels font(16);
    auto form = open();
    doubleClick(*form, 0);
    form->show();
    QApplication::processEvents();
    EXPECT_GT(form->width(), 488);
    const QStringList lines = form->MemoLeft->toPlainText().split('\n');
    ASSERT_EQ(lines.size(), 12);
    QTextEdit* memo = form->MemoLeft;
    const int room = memo->viewport()->width() - 2 * static_cast<int>(memo->document()->documentMargin());
    for (int i : {0, 1, 2})
        EXPECT_LE(memo->fontMetrics().horizontalAdvance(lines[i]), room) << lines[i].toStdString();
}

TEST_F(GauntletForm, EnemiesAddedOnceRemovedSortedAndReset) {
    auto form = open();
    // A drop before the own AK is set adds the selected rows.
    select(form->ListViewAk, {1});
    form->ListViewEnemiesDragDrop();
    EXPECT_EQ(form->enemies().size(), 1u);
    EXPECT_FALSE(form->ButtonStart->isEnabled());

    doubleClick(*form, 0);
    EXPECT_TRUE(form->ButtonStart->isEnabled());
    form->ButtonDecide->click();
    // ak02 was there already and ak01 is the own AK.
    EXPECT_EQ(column(form->ListViewEnemies, 0).size(), 2);
    EXPECT_EQ(status(*form), QString::fromUtf8("シミュレーション機体数: 2"));
    EXPECT_FALSE(form->ButtonDecide->isEnabled());
    EXPECT_TRUE(form->ButtonStart->isEnabled());
    EXPECT_EQ(column(form->ListViewEnemies, 0),
              (QStringList{column(form->ListViewAk, 1)[1], column(form->ListViewAk, 1)[2]}));
    EXPECT_EQ(column(form->ListViewEnemies, 1), (QStringList{"7800", "3800"}));

    // The sample folder: the rows selected there join; ak02 of another
    // folder is another file and joins too.
    form->ComboBoxDirChange(1);
    ASSERT_EQ(form->ListViewAk->topLevelItemCount(), 8);
    select(form->ListViewAk, {1, 4, 5});
    form->ListViewEnemiesDragDrop();
    EXPECT_EQ(form->enemies().size(), 5u);
    select(form->ListViewAk, {4});
    form->ListViewEnemiesDragDrop();
    EXPECT_EQ(form->enemies().size(), 5u);

    // Sorting by value, then reversed.
    form->ListViewEnemiesColumnClick(1);
    QStringList values = column(form->ListViewEnemies, 1);
    for (int i = 1; i < values.size(); ++i) EXPECT_LE(values[i - 1].toInt(), values[i].toInt());
    form->ListViewEnemiesColumnClick(1);
    values = column(form->ListViewEnemies, 1);
    for (int i = 1; i < values.size(); ++i) EXPECT_GE(values[i - 1].toInt(), values[i].toInt());

    // The menu's entry removes the selection; the row that moved into the
    // place of the last one removed is selected.
    select(form->ListViewEnemies, {1, 2});
    QStringList before = column(form->ListViewEnemies, 0);
    form->SetUndo->trigger();
    EXPECT_EQ(column(form->ListViewEnemies, 0), (QStringList{before[0], before[3], before[4]}));
    ASSERT_EQ(form->ListViewEnemies->selectedItems().size(), 1);
    EXPECT_EQ(form->ListViewEnemies->indexOfTopLevelItem(form->ListViewEnemies->selectedItems()[0]), 1);
    EXPECT_EQ(status(*form), QString::fromUtf8("シミュレーション機体数: 3"));
    // Del on the list does the same.
    QKeyEvent del(QEvent::KeyPress, Qt::Key_Delete, Qt::NoModifier);
    QApplication::sendEvent(form->ListViewEnemies, &del);
    EXPECT_EQ(form->enemies().size(), 2u);
    // Emptied, the list cannot be started.
    select(form->ListViewEnemies, {0, 1});
    form->SetUndoClick();
    EXPECT_TRUE(form->enemies().empty());
    EXPECT_FALSE(form->ButtonStart->isEnabled());

    form->ButtonDecide->setEnabled(false);
    form->ButtonResetClick();
    EXPECT_EQ(form->ListViewEnemies->topLevelItemCount(), 0);
    EXPECT_FALSE(form->ButtonStart->isEnabled());
    EXPECT_TRUE(form->ButtonDecide->isEnabled());
    EXPECT_EQ(status(*form), QString::fromUtf8("シミュレーション機体数: 0"));

    // A drop does what "一覧に追加" does, for the selected rows only.
    select(form->ListViewAk, {2});
    form->ListViewEnemiesDragDrop();
    EXPECT_EQ(form->enemies().size(), 1u);
    EXPECT_TRUE(form->ButtonStart->isEnabled());
    EXPECT_FALSE(form->ButtonDecide->isEnabled());
    EXPECT_EQ(status(*form), QString::fromUtf8("シミュレーション機体数: 1"));
}

TEST_F(GauntletForm, DropsFromElsewhereAreRefused) {
    auto form = open();
    form->ListViewAk->setCurrentItem(form->ListViewAk->topLevelItem(0));
    for (QWidget* target : {form->MemoLeft->viewport(), form->ListViewEnemies->viewport()}) {
        QMimeData data;
        data.setText("ak01.dat");
        QDragEnterEvent enter(QPoint(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &enter);
        EXPECT_FALSE(enter.isAccepted());
        QDropEvent drop(QPointF(5, 5), Qt::CopyAction, &data, Qt::LeftButton, Qt::NoModifier);
        QApplication::sendEvent(target, &drop);
        EXPECT_FALSE(drop.isAccepted());
    }
    EXPECT_FALSE(form->ownSet());
    EXPECT_TRUE(form->enemies().empty());
}

TEST_F(GauntletForm, StartRefusals) {
    auto form = open();
    doubleClick(*form, 1); // ak02 as the own AK
    form->ButtonDecide->click();
    ASSERT_EQ(form->enemies().size(), 2u);

    // No writable result file: 41020, nothing else.
    form->ComboBoxText->setEditText("nowhere\\Simulation.txt");
    form->ButtonStartClick();
    auto rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 1u);
    EXPECT_EQ(rec[0].text, sj("試合の出力結果をファイル(nowhere\\Simulation.txt)に作成できません"));
    EXPECT_EQ(form->enemies().size(), 2u);
    plat::notify::clearRecorded();

    // ak01, the only enemy left, became the own AK meanwhile: the start
    // removes it and, with no enemy left, refuses without a word; the
    // start button waits for an enemy.
    form->ComboBoxText->setEditText("Simulation.txt");
    select(form->ListViewEnemies, {1});
    form->SetUndoClick();
    ASSERT_EQ(form->enemies().size(), 1u);
    doubleClick(*form, 0);
    ASSERT_TRUE(form->ButtonStart->isEnabled());
    form->ButtonStartClick();
    EXPECT_TRUE(plat::notify::recorded().empty());
    EXPECT_TRUE(form->enemies().empty());
    EXPECT_EQ(form->StatusBar1->findChild<QLabel*>()->text(), QString::fromUtf8("シミュレーション機体数: 0"));
    EXPECT_EQ(form->ListViewEnemies->topLevelItemCount(), 0);
    EXPECT_FALSE(form->ButtonStart->isEnabled());
    // Neither an entry list nor a result table was written.
    EXPECT_FALSE(std::filesystem::exists(path("result/entrylist.txt")));
    EXPECT_EQ(testsupport::readFile(path("result/Simulation.txt")), "");
}

TEST_F(GauntletForm, ClosingStoresTheCountAsTypedAndThePanelHeight) {
    plat::reg::writeInteger("Software\\Dunmoor\\CVVell\\DLL\\Gauntlet", "SimCount", 50);
    plat::reg::writeInteger("Software\\Dunmoor\\CVVell\\DLL\\Gauntlet", "ScrollHeight", 99999);
    auto form = open();
    EXPECT_EQ(form->EditCount->text(), "50");
    EXPECT_EQ(form->PanelVs->height(), 600); // kept to what fits the window
    gui::typeText(form->EditCount, "3");
    form->done(2);
    EXPECT_EQ(form->setup().buffer(), nullptr); // EndSystem
    std::string key = "Software\\Dunmoor\\CVVell\\DLL\\Gauntlet";
    EXPECT_EQ(plat::reg::readString(key, "SimCount", ""), "3"); // not clamped
    EXPECT_EQ(plat::reg::readString(key, "ScrollHeight", ""), "600");
    EXPECT_EQ(plat::reg::readString(key + "\\File", "0000", "?"), "");
    EXPECT_TRUE(plat::reg::valueExists("Software\\Dunmoor\\CVVell\\Window", "Game_VmWidth"));
}

} // namespace
