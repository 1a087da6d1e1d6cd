// The team battle's set-up window driven directly, offscreen: what it shows
// and forces, "決定" and its refusal, registration by double click, Enter,
// drag and drop, the pop-up menu and "全登録", a team left empty (said once,
// no start), a start refused for an unwritable result file, a whole run
// with the bout lines drawn on the board afterwards, and what the window
// stores when it closes.
#include "modes/frame/tests/modetest.h"
#include "modes/frame/textfmt.h"
#include "modes/teamfight/rwmain.h"
#include "platform/ui/qtsjis.h"

#include <QApplication>
#include <QCheckBox>
#include <QClipboard>
#include <QComboBox>
#include <QFontMetrics>
#include <QImage>
#include <QKeyEvent>
#include <QLabel>
#include <QLineEdit>
#include <QMenu>
#include <QPixmap>
#include <QProgressBar>
#include <QPushButton>
#include <QScrollArea>
#include <QStatusBar>
#include <QTextLayout>
#include <QTimer>
#include <QTreeWidget>

#include <algorithm>
#include <filesystem>
#include <set>

namespace {

using namespace modetest;
using teamfight::SlotRef;
using testsupport::sj;

class TeamForm : public ModeTest {
protected:
    void SetUp() override {
        ModeTest::SetUp();
        copySamples({1, 2, 3, 4});
        makeConf(true);
        header_.GameForm = 4;
    }

    std::unique_ptr<teamfight::TFormTeam> open() {
        auto form = std::make_unique<teamfight::TFormTeam>(settings_, header_, sources_);
        form->FormCreate();
        return form;
    }
    static void select(teamfight::TFormTeam& form, int row) {
        form.ListViewAk->setCurrentItem(form.ListViewAk->topLevelItem(row));
    }
    static std::string file(teamfight::TFormTeam& form, SlotRef slot) {
        const modes::Entrant& e = form.teams().Side[slot.Team][static_cast<size_t>(slot.Slot)];
        size_t sep = e.Path.find_last_of('\\');
        return e.row() ? e.Path.substr(sep + 1) : "-";
    }
    static void decide(teamfight::TFormTeam& form, const char* count) {
        form.EditCount->setText(count);
        form.ButtonDecide->click();
    }
    // The middle of a slot on the board.
    static QPoint at(SlotRef slot) { return QPoint(slot.Team == 0 ? 50 : 350, 10 + 24 * slot.Slot + 12); }
};

TEST_F(TeamForm, WhatTheWindowShowsAndForces) {
    auto form = open();
    EXPECT_EQ(settings_.Options[OptImmobileDraw], 1);
    EXPECT_EQ(settings_.Options[Opt17], 1);
    EXPECT_EQ(settings_.Options[OptAkOutput], 1);
    EXPECT_TRUE(form->setup().akOutputForced());
    EXPECT_EQ(form->setup().savedAkOutput(), 0);
    EXPECT_EQ(form->objectName(), "TFormTeam");
    EXPECT_NE(form->ButtonDecide, nullptr);
    EXPECT_FALSE(form->ButtonStart->isEnabled());
    EXPECT_FALSE(form->ButtonRegAll1->isEnabled());
    EXPECT_FALSE(form->ButtonRegAll2->isEnabled());
    EXPECT_FALSE(form->MenuEntry->isEnabled());
    EXPECT_EQ(form->EditCount->text(), "4"); // the rows of the AK list
    EXPECT_EQ(form->LabelType->text(), "Team match");
    EXPECT_EQ(form->ButtonRegAll2->text(), QString::fromUtf8("右に全登録"));
    EXPECT_TRUE(form->CheckBoxContinue->text().startsWith(QString::fromUtf8("対戦を勝ち抜きにする")));
    EXPECT_FALSE(form->LabelCaption->isHidden());
    // The hint is written in the system text colour on the background colour.
    const DispAttribute& display = form->setup().tables().Display;
    EXPECT_EQ(form->LabelCaption->palette().color(QPalette::WindowText),
              plat::ui::colorFromRef(display.Color[0]));
    EXPECT_EQ(form->LabelCaption->palette().color(QPalette::Window),
              plat::ui::colorFromRef(display.Color[7]));
    EXPECT_TRUE(form->ImageTeam->isHidden());
    EXPECT_EQ(form->ScrollBoxTeam->height(), 150);
    EXPECT_EQ(form->ComboBoxText->currentText(), "TeamBattle.txt");
    EXPECT_EQ(form->Copy1->text(), QString::fromUtf8("団体戦の対戦表をクリップボードにコピｰ(&C)"));
    EXPECT_FALSE(form->CheckBoxContinue->isChecked());
    EXPECT_TRUE(plat::notify::recorded().empty());
    // A conf that asks for winner stays has the box checked.
    form.reset();
    settings_.Options[OptTeamBattleWinnerStays] = 1;
    EXPECT_TRUE(open()->CheckBoxContinue->isChecked());
}

// The hint spans the box and wraps at the box's width: no line is wider
// than the box, and a box that holds the second line up to "ドラッグ＆ドロップ"
// does not break the line inside that word.
TEST_F(TeamForm, TheHintWrapsAtTheBoxsWidth) {
    auto form = open();
    form->resize(640, form->height());
    form->show();
    QApplication::processEvents();
    QLabel* hint = form->LabelCaption;
    const int box = form->ScrollBoxTeam->viewport()->width();
    EXPECT_EQ(hint->width(), box);
    EXPECT_GE(hint->height(), hint->heightForWidth(hint->width()));

    const QString text = hint->text();
    const QString second = text.mid(text.indexOf('\n') + 1);
    const QString word = QString::fromUtf8("ドラッグ＆ドロップ");
    ASSERT_LE(QFontMetrics(hint->font()).horizontalAdvance(second.left(second.indexOf(word) + word.size())),
              box);
    // The lines of the second paragraph as the label breaks them at its width.
    QTextLayout layout(second, hint->font());
    QTextOption wrap;
    wrap.setWrapMode(QTextOption::WordWrap); // Qt::TextWordWrap, as a wrapped label draws
    layout.setTextOption(wrap);
    layout.beginLayout();
    std::vector<int> breaks;
    for (QTextLine line = layout.createLine(); line.isValid(); line = layout.createLine()) {
        line.setLineWidth(hint->contentsRect().width());
        EXPECT_LE(line.naturalTextWidth(), box);
        breaks.push_back(line.textStart() + line.textLength());
    }
    layout.endLayout();
    const int start = static_cast<int>(second.indexOf(word));
    for (int b : breaks) EXPECT_FALSE(b > start && b < start + word.size()) << b;
}

TEST_F(TeamForm, DecideNeedsThreeOrMore) {
    auto form = open();
    for (const char* count : {"2", "abc", "-7"}) {
        decide(*form, count);
        auto rec = plat::notify::recorded();
        ASSERT_EQ(rec.size(), 1u) << count;
        EXPECT_EQ(rec[0].text, sj("トーナメントでは参加機体数を３機以上に設定して下さい"));
        EXPECT_EQ(rec[0].caption, sj("この操作はできません"));
        plat::notify::clearRecorded();
        EXPECT_FALSE(form->registration().hasBoard());
    }
    decide(*form, "3");
    EXPECT_TRUE(plat::notify::recorded().empty());
    EXPECT_TRUE(form->LabelCaption->isHidden());
    EXPECT_FALSE(form->ImageTeam->isHidden());
    EXPECT_EQ(form->ImageTeam->size(), QSize(460, 82));
    EXPECT_TRUE(form->ButtonStart->isEnabled());
    EXPECT_TRUE(form->ButtonRegAll1->isEnabled());
    EXPECT_TRUE(form->SetUndo->isEnabled());
    EXPECT_TRUE(form->registration().isOpen());
    // Member numbers have three digits in the bout logs' names.
    decide(*form, "5000");
    EXPECT_EQ(form->teams().size(), 999);
}

TEST_F(TeamForm, RegistrationByListBoardAndMenu) {
    auto form = open();
    decide(*form, "3");
    select(*form, 0);
    form->ListViewAkDblClick();
    EXPECT_EQ(file(*form, {0, 0}), "ak01.dat");
    // Enter in the list acts as the double click.
    select(*form, 1);
    QKeyEvent enter(QEvent::KeyPress, Qt::Key_Return, Qt::NoModifier);
    QApplication::sendEvent(form->ListViewAk, &enter);
    EXPECT_EQ(file(*form, {0, 1}), "ak02.dat");
    EXPECT_EQ(form->registration().cursor(), (SlotRef{0, 2}));

    // Drops: team zones only, from the first slot's top to the picture's end.
    EXPECT_TRUE(form->ImageTeamDragOver(QPoint(187, 10)));
    EXPECT_FALSE(form->ImageTeamDragOver(QPoint(200, 40)));
    EXPECT_FALSE(form->ImageTeamDragOver(QPoint(300, 9)));
    EXPECT_FALSE(form->ImageTeamDragOver(QPoint(300, 82)));
    select(*form, 2);
    form->ImageTeamDragDrop(at({1, 2}));
    EXPECT_EQ(file(*form, {1, 2}), "ak03.dat");

    // The menu puts the selected AK where the right button was released.
    select(*form, 3);
    form->ImageTeamMouseUp(Qt::RightButton, at({1, 0}));
    form->MenuEntryClick();
    EXPECT_EQ(file(*form, {1, 0}), "ak04.dat");
    EXPECT_EQ(form->registration().cursor(), (SlotRef{1, 1}));
    // An AK already on the board moves to where it is put.
    select(*form, 0);
    form->ImageTeamDragDrop(at({1, 1}));
    EXPECT_EQ(file(*form, {1, 1}), "ak01.dat");
    EXPECT_EQ(file(*form, {0, 0}), "-");
    select(*form, 0);
    form->registration().setCursor({0, 0});
    form->ListViewAkDblClick();
    EXPECT_EQ(file(*form, {0, 0}), "ak01.dat");
    EXPECT_EQ(file(*form, {1, 1}), "-");
    EXPECT_EQ(form->registration().cursor(), (SlotRef{0, 1}));
    // "（不在）に戻す" on that point; then, from the list's menu (no point),
    // the slot before the cursor.
    form->SetUndoClick();
    EXPECT_EQ(file(*form, {1, 0}), "-");
    form->popupMenu(QPoint(0, 0), std::nullopt);
    form->PopupMenu->hide();
    form->registration().setCursor({0, 2});
    form->SetUndoClick();
    EXPECT_EQ(file(*form, {0, 1}), "-");
    EXPECT_EQ(form->registration().cursor(), (SlotRef{0, 1}));

    // A closed registration takes nothing.
    form->registration().setOpen(false);
    select(*form, 0);
    form->ListViewAkDblClick();
    EXPECT_EQ(file(*form, {0, 1}), "-");
    EXPECT_FALSE(form->ImageTeamDragOver(at({0, 0})));

    // The board shows the teams in the display colours.
    QImage board = form->boardPicture().toImage();
    EXPECT_EQ(board.size(), QSize(460, 82));
    QColor background = plat::ui::colorFromRef(form->setup().tables().Display.Color[7]);
    EXPECT_EQ(board.pixelColor(459, 81), background);
    // The copy entry puts the board on the clipboard.
    form->Copy1->trigger();
    EXPECT_EQ(QGuiApplication::clipboard()->pixmap().size(), QSize(460, 82));
}

TEST_F(TeamForm, RegisterAllFillsATeamFromTheList) {
    auto form = open();
    decide(*form, "3");
    form->ButtonRegAll2->click();
    std::set<std::string> files;
    for (int i = 0; i < 3; ++i) files.insert(file(*form, {1, i}));
    EXPECT_EQ(files, (std::set<std::string>{"ak01.dat", "ak02.dat", "ak03.dat"}));
    for (int i = 0; i < 3; ++i) EXPECT_EQ(file(*form, {0, i}), "-");
    // The other button on the same folder takes only the AKs the right team
    // does not hold: one AK never stands in both teams.
    form->ButtonRegAll1->click();
    EXPECT_EQ(file(*form, {0, 0}), "ak04.dat");
    EXPECT_EQ(file(*form, {0, 1}), "-");
    EXPECT_EQ(file(*form, {0, 2}), "-");
    files.clear();
    for (int i = 0; i < 3; ++i) files.insert(file(*form, {1, i}));
    EXPECT_EQ(files, (std::set<std::string>{"ak01.dat", "ak02.dat", "ak03.dat"}));
    decide(*form, "5");
    form->ButtonRegAll1->click();
    EXPECT_EQ(file(*form, {0, 4}), "-"); // four AKs for five slots
    EXPECT_NE(file(*form, {0, 3}), "-");
}

// Both teams from one folder of four with four slots: the second team
// registers nobody and says so once; a start with a team of nobody would
// hand the other four walkovers nobody fought, and makes none.
TEST_F(TeamForm, AnEmptyTeamIsSaidAndDoesNotStart) {
    auto form = open();
    decide(*form, "4");
    form->ButtonRegAll1->click();
    form->ButtonRegAll2->click();
    for (int i = 0; i < 4; ++i) EXPECT_EQ(file(*form, {1, i}), "-");
    auto rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 1u);
    EXPECT_EQ(rec[0].text, sj("すでに登録されている機体と出力する機体データのファイル名が重なるため、"
                              "次のファイルは登録しませんでした\nak01.dat\nak02.dat\nak03.dat\nak04.dat"));
    plat::notify::clearRecorded();
    form->ButtonStartClick();
    // The same with the left team empty.
    decide(*form, "3");
    form->ButtonRegAll2->click();
    form->ButtonStartClick();
    EXPECT_TRUE(plat::notify::recorded().empty());
    EXPECT_TRUE(form->registration().isOpen());
    EXPECT_FALSE(std::filesystem::exists(path("result/TeamBattle.txt")));
    EXPECT_FALSE(std::filesystem::exists(path("result/teamentry1.txt")));
}

TEST_F(TeamForm, AStartRefusedKeepsRegistrationClosedUntilDecide) {
    auto form = open();
    decide(*form, "3");
    form->ButtonRegAll1->click();
    form->registration().put({1, 0}, akFolder(), "ak04.dat");
    form->ComboBoxText->setEditText("nowhere\\TeamBattle.txt");
    form->ButtonStartClick();
    auto rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 1u);
    EXPECT_EQ(rec[0].text, sj("試合の出力結果をファイル(nowhere\\TeamBattle.txt)に作成できません"));
    EXPECT_FALSE(std::filesystem::exists(path("result/teamentry1.txt")));
    // Nothing more goes into the slots until "決定" opens a new board.
    EXPECT_FALSE(form->registration().isOpen());
    select(*form, 0);
    form->registration().setCursor({1, 1});
    form->ListViewAkDblClick();
    EXPECT_EQ(file(*form, {1, 1}), "-");
    EXPECT_FALSE(form->ImageTeamDragOver(at({1, 1})));

    // The weapon-data check that cannot load its catalogue ends the start
    // silently, the same way.
    decide(*form, "3");
    EXPECT_TRUE(form->registration().isOpen());
    form->ButtonRegAll1->click();
    form->registration().put({1, 0}, akFolder(), "ak04.dat");
    form->ComboBoxText->setEditText("TeamBattle.txt");
    header_.CheckWeaponData = 1;
    sjis::writeField(header_.WeaponDataFolder, scratch() + "nowhere");
    plat::notify::clearRecorded();
    form->ButtonStartClick();
    EXPECT_FALSE(form->registration().isOpen());
    EXPECT_FALSE(std::filesystem::exists(path("result/teamentry1.txt")));
    header_.CheckWeaponData = 0;

    // An AK folder of 76 bytes: "\ak01.dat" makes 85, more than the 79
    // the game processor knows a side's file by. Refused with 41022 naming
    // the first member's path, before any bout.
    ASSERT_LT(scratch().size(), 60u);
    const std::string deep = scratch() + std::string(76 - scratch().size(), 'd');
    std::filesystem::create_directories(deep);
    for (int n : {1, 2}) std::filesystem::copy_file(path("ak/" + sampleFile(n)), deep + "/" + sampleFile(n));
    decide(*form, "3");
    form->registration().put({0, 0}, deep, "ak01.dat");
    form->registration().put({1, 0}, deep, "ak02.dat");
    plat::notify::clearRecorded();
    form->ButtonStartClick();
    rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 1u);
    EXPECT_EQ(rec[0].text, sj("機体データをファイル(") + deep + "/ak01.dat" + sj(")から読みこめません"));
    EXPECT_FALSE(std::filesystem::exists(path("result/teamentry1.txt")));
    EXPECT_TRUE(std::filesystem::is_empty(path("out")));
}

TEST_F(TeamForm, ARunEndsWithTheBoutLinesOnTheBoard) {
    copySamples({5, 6});
    auto form = open();
    decide(*form, "3");
    form->ButtonRegAll1->click();
    form->ButtonRegAll2->click();
    // Both teams from one folder: three AKs each, none in both.
    std::set<std::string> files;
    for (int t = 0; t < 2; ++t)
        for (int i = 0; i < 3; ++i) files.insert(file(*form, {t, i}));
    EXPECT_EQ(files.size(), 6u);
    form->CheckBoxContinue->setChecked(true);
    const QString done = QString::fromUtf8("お待たせしました。団体戦の処理を終わりました");
    QString caption, memo;
    int barMax = -1;
    QString bouts;
    gui::Driver driver([&] {
        QWidget* w = gui::modal("TFormProgress");
        if (!w || gui::statusText(w, 0) != done) return false;
        caption = w->windowTitle();
        barMax = w->findChild<QProgressBar*>("ProgressBarTeam")->maximum();
        bouts = gui::statusText(w, 1);
        gui::clickLater(w, "ButtonCancel");
        return true;
    });
    form->ButtonStartClick();
    EXPECT_TRUE(driver.done());
    EXPECT_EQ(caption, QString::fromUtf8("Corvane Vell 団体戦"));
    EXPECT_EQ(barMax, 3);
    EXPECT_EQ(settings_.Options[OptTeamBattleWinnerStays], 1);

    // The bouts as the run decided them: as many as it fought (winner
    // stays, teams of three: three to five).
    ASSERT_FALSE(form->drawnLines().empty());
    EXPECT_EQ(form->drawnLines(), teamfight::boutLines(form->teams()));
    EXPECT_EQ(form->drawnLines().size(), form->teams().Bouts.size());
    const int fought = static_cast<int>(form->drawnLines().size());
    EXPECT_EQ(bouts, QString("%1/%2").arg(fought).arg(std::max(3, fought)));
    EXPECT_EQ(form->drawnLines().front().Slot[0], 0);
    EXPECT_EQ(form->drawnLines().front().Slot[1], 0);
    EXPECT_TRUE(form->registration().isOpen());
    // The outputs; the run's output AK files are gone again (the conf's own
    // option 23 is off).
    EXPECT_TRUE(std::filesystem::exists(path("result/teamentry1.txt")));
    EXPECT_TRUE(std::filesystem::exists(path("result/teamentry2.txt")));
    EXPECT_TRUE(std::filesystem::exists(path("result/rw_001_001.txt")));
    EXPECT_TRUE(std::filesystem::is_empty(path("out")));
    std::string result = testsupport::readFile(path("result/TeamBattle.txt"));
    EXPECT_EQ(result.rfind(sj("テストリーグ／総当たり （勝ち抜き方式）\r\n"), 0), 0u);
    EXPECT_NE(result.find(sj("【団体戦結果】")), std::string::npos);
    // A line in one of the three display colours runs across the middle band.
    QImage board = form->boardPicture().toImage();
    const DispAttribute& display = form->setup().tables().Display;
    std::set<QRgb> colours{plat::ui::colorFromRef(display.Color[1]).rgb(),
                           plat::ui::colorFromRef(display.Color[2]).rgb(),
                           plat::ui::colorFromRef(display.Color[6]).rgb()};
    bool found = false;
    for (int y = 0; y < board.height() && !found; ++y) found = colours.count(board.pixel(227, y)) > 0;
    EXPECT_TRUE(found);
}

TEST_F(TeamForm, ClosingStoresTheScrollHeight) {
    std::string key = "Software\\Dunmoor\\CVVell\\DLL\\TeamBattle";
    plat::reg::writeInteger(key, "ScrollHeight", 200);
    auto form = open();
    EXPECT_EQ(form->ScrollBoxTeam->height(), 200);
    form->done(2);
    EXPECT_EQ(form->setup().buffer(), nullptr);
    EXPECT_EQ(plat::reg::readString(key, "ScrollHeight", ""), "200");
    EXPECT_TRUE(plat::reg::valueExists("Software\\Dunmoor\\CVVell\\Window", "Game_TeamWidth"));
    // A stored height out of all measure is kept to a usable one.
    plat::reg::writeInteger(key, "ScrollHeight", -5);
    auto again = open();
    EXPECT_EQ(again->ScrollBoxTeam->height(), 40);
}

} // namespace
