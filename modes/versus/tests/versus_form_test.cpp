// The one-vs-one windows offscreen: the set-up window's slots filled by
// keys, double click and drop, the start rule and a start refused; then
// whole matches between sample AKs through the real libcvcore.so in the
// match window driven by key events: stepped to the end, the AK view, the
// status windows and the file menu; the abort dialog answered as a game
// master would (go on, hold with the AKs saved, a chosen winner).
#include "modes/frame/textfmt.h"
#include "modes/versus/vellvs.h"
#include "modes/versus/vslog.h"
#include "modes/versus/vsstatus.h"
#include "vstest.h"

#include "platform/desktop.h"
#include "platform/ui/placement.h"
#include "testsupport/qtfont.h"

#include <QApplication>
#include <QComboBox>
#include <QDialog>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QPlainTextEdit>
#include <QProcess>
#include <QPushButton>
#include <QRadioButton>
#include <QScreen>
#include <QSplitter>
#include <QStackedWidget>
#include <QTextBlock>
#include <QTextDocument>
#include <QTimer>
#include <QToolButton>
#include <QTreeWidget>

#include <cstring>
#include <filesystem>
#include <functional>

namespace {

using namespace modetest;
using modetest::gui::Driver;
using testsupport::sj;
using versus::ui::TFormVersus;
using versus::ui::TFormVsLog;

const QString Prompt = QString::fromUtf8("（リターンキーを押すと次に進みます）");

void key(QWidget* target, int qtKey, const QString& text = {}) {
    QKeyEvent press(QEvent::KeyPress, qtKey, Qt::NoModifier, text);
    QApplication::sendEvent(target, &press);
}

class VersusForm : public ModeTest {
protected:
    void SetUp() override {
        ModeTest::SetUp();
        copySamples({1, 2, 3});
        makeConf(true);
        header_.GameForm = 0;
        plat::desktop::setDocumentOpener([this](const std::string& os) {
            opened_.push_back(os);
            return true;
        });
    }
    void TearDown() override {
        plat::desktop::setDocumentOpener({});
        form_.reset();
        ModeTest::TearDown();
    }

    TFormVersus& open() {
        form_ = std::make_unique<TFormVersus>(settings_, header_, sources_);
        form_->FormCreate();
        return *form_;
    }
    void select(int row) { form_->ListViewAk->setCurrentItem(form_->ListViewAk->topLevelItem(row)); }
    // Player 1 := ak01, player 2 := ak02 by Enter on the list.
    void fillBoth() {
        select(0);
        key(form_->ListViewAk, Qt::Key_Return);
        select(1);
        key(form_->ListViewAk, Qt::Key_Return);
    }
    static QStringList memoLines(QTextEdit* memo) { return memo->toPlainText().split('\n'); }

    // The abort dialog when it is up.
    static QWidget* quitDialog() {
        QWidget* w = QApplication::activeModalWidget();
        return w && w->windowTitle() == QString::fromUtf8("試合終了の結果を選んでください") ? w : nullptr;
    }
    static void clickText(QWidget* dialog, const char* utf8) {
        for (QAbstractButton* b : dialog->findChildren<QAbstractButton*>())
            if (b->text() == QString::fromUtf8(utf8)) {
                b->click();
                return;
            }
        ADD_FAILURE() << "no button " << utf8;
    }
    // Clicks OK once the current call has returned (the dialog runs a loop
    // of its own).
    static void okLater(QWidget* dialog) {
        for (QPushButton* b : dialog->findChildren<QPushButton*>())
            if (b->text() == "OK") QMetaObject::invokeMethod(b, "click", Qt::QueuedConnection);
    }
    // "試合開始" of `f` under a driver that hands the match window to
    // `step` at each of its steps while the window is up, until `stage`
    // has reached `last` (the match window closed by then, or still up).
    // False when the driver ran out of time.
    static bool runMatch(TFormVersus& f, const int& stage, int last,
                         const std::function<void(TFormVsLog*)>& step) {
        Driver driver([&] {
            TFormVsLog* w = f.matchWindow();
            if (!w || stage >= last) return stage >= last;
            step(w);
            return false;
        });
        f.ButtonStartClick();
        return !driver.expired();
    }
    // A match ended through the abort dialog, over two steps of a driver:
    // at stage `at`, Q typed as `typed` on the match window `w`; at the
    // next, once the dialog is up, `answer` and, with `confirm`, its "OK".
    // Each moves `stage` on by one.
    static void quitWith(int& stage, int at, TFormVsLog* w, const char* typed, const char* answer,
                         bool confirm = true) {
        if (stage == at) {
            key(w, Qt::Key_Q, typed);
            stage = at + 1;
        } else if (QWidget* d = quitDialog()) {
            clickText(d, answer);
            if (confirm) okLater(d);
            stage = at + 2;
        }
    }

    std::unique_ptr<TFormVersus> form_;
    std::vector<std::string> opened_;
};

TEST_F(VersusForm, WhatTheSetUpWindowShows) {
    const std::string modeKey = "Software\\Dunmoor\\CVVell\\DLL\\Versus";
    plat::reg::writeInteger(modeKey, "ScrollHeight", 150);
    TFormVersus& f = open();
    EXPECT_EQ(f.objectName(), "TFormVersus");
    EXPECT_FALSE(f.ButtonStart->isEnabled());
    EXPECT_TRUE(f.ButtonStart->isDefault());
    EXPECT_EQ(f.ButtonDecide, nullptr);
    EXPECT_EQ(f.LabelType->text(), "Duel");
    EXPECT_EQ(f.PanelMiddle->text(), "Vs");
    EXPECT_EQ(f.PanelLHead->text(), "[Player 1]");
    EXPECT_EQ(f.PanelRHead->text(), "Player 2");
    EXPECT_EQ(f.PanelLHead->palette().color(QPalette::WindowText), QColor(0xFF, 0xFF, 0xFF));
    EXPECT_EQ(f.PanelRHead->palette().color(QPalette::WindowText), QColor(0xC0, 0xC0, 0xC0));
    const QStringList hint{"", "", QString::fromUtf8("下からパイロット名をドラッグし、"),
                           QString::fromUtf8("ここにドロップします。")};
    EXPECT_EQ(memoLines(f.MemoLeft), hint);
    EXPECT_EQ(memoLines(f.MemoRight), hint);
    EXPECT_TRUE(f.MemoLeft->isReadOnly());
    EXPECT_EQ(f.MemoLeft->document()->lastBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignHCenter);
    // 488 at the least, pinned where the summaries need more.
    EXPECT_GE(f.minimumWidth(), 488);
    EXPECT_EQ(f.maximumWidth(), f.minimumWidth());
    EXPECT_EQ(f.ComboBoxText->currentText(), "Game.txt");
    bool labelled = false;
    for (QLabel* l : f.findChildren<QLabel*>())
        labelled = labelled || l->text() == QString::fromUtf8("試合結果テキスト");
    EXPECT_TRUE(labelled);
    EXPECT_EQ(f.SplitterVs->widget(0), f.PanelVs);
    EXPECT_EQ(f.SplitterVs->widget(1), f.ListViewAk);
    EXPECT_EQ(f.ListViewAk->topLevelItemCount(), 3);
    EXPECT_EQ(sjis::readField(settings_.ModeVersionText), "VERSUS Ver.1.0.0.0 ");
    EXPECT_NE(f.setup().buffer(), nullptr);
    EXPECT_TRUE(plat::notify::recorded().empty());
    // The slots take their stored height once shown, and keep it.
    f.show();
    QApplication::processEvents();
    EXPECT_EQ(f.SplitterVs->sizes().front(), 150);
    form_.reset();
    EXPECT_EQ(plat::reg::readString(modeKey, "ScrollHeight", ""), "150");
}

TEST_F(VersusForm, SlotsFilledByKeysDoubleClickAndDrop) {
    TFormVersus& f = open();
    select(0);
    key(f.ListViewAk, Qt::Key_Return);
    EXPECT_TRUE(f.akSlots().loaded(0));
    EXPECT_EQ(memoLines(f.MemoLeft).front(), QString::fromUtf8("名前: アレックス・ロウ"));
    EXPECT_EQ(memoLines(f.MemoLeft).back(),
              QString::fromUtf8("ファイル名：") + QString::fromStdString(akFolder() + "/ak01.dat"));
    EXPECT_EQ(f.MemoLeft->document()->firstBlock().blockFormat().alignment() & Qt::AlignHorizontal_Mask,
              Qt::AlignLeft);
    // The other slot is active now.
    EXPECT_EQ(f.akSlots().active(), 1);
    EXPECT_EQ(f.PanelLHead->text(), "Player 1");
    EXPECT_EQ(f.PanelRHead->text(), "[Player 2]");
    EXPECT_EQ(f.PanelRHead->palette().color(QPalette::WindowText), QColor(0xFF, 0xFF, 0xFF));
    EXPECT_FALSE(f.ButtonStart->isEnabled()); // one slot only

    // Left, Right, '4' and '6' switch without loading.
    key(f.ListViewAk, Qt::Key_Right);
    EXPECT_EQ(f.akSlots().active(), 0);
    key(f.ListViewAk, Qt::Key_6, "6");
    EXPECT_EQ(f.akSlots().active(), 1);
    key(f.ListViewAk, Qt::Key_Left);
    key(f.ListViewAk, Qt::Key_4, "4");
    EXPECT_EQ(f.akSlots().active(), 1);
    EXPECT_FALSE(f.akSlots().loaded(1));

    // A drop on the left memo replaces player 1; the active slot stays.
    select(2);
    f.MemoAkDragDrop(f.MemoLeft->tag());
    EXPECT_EQ(f.akSlots().path(0), akFolder() + "\\ak03.dat");
    EXPECT_EQ(f.akSlots().active(), 1);

    // A double click (Space here) fills player 2: start may be pressed.
    select(1);
    key(f.ListViewAk, Qt::Key_Space);
    EXPECT_EQ(f.akSlots().path(1), akFolder() + "\\ak02.dat");
    EXPECT_TRUE(f.ButtonStart->isEnabled());
    EXPECT_EQ(f.akSlots().active(), 0);

    // An AK file that went away leaves the slot as it was.
    std::filesystem::remove(path("ak/ak01.dat"));
    select(0);
    key(f.ListViewAk, Qt::Key_Return);
    EXPECT_EQ(f.akSlots().path(0), akFolder() + "\\ak03.dat");
    EXPECT_EQ(memoLines(f.MemoLeft).back(),
              QString::fromUtf8("ファイル名：") + QString::fromStdString(akFolder() + "/ak03.dat"));
    plat::notify::clearRecorded();
}

// In a larger font the slots' record and value lines still show whole,
// beside the scroll bar: the window grows past 488 to fit them.
TEST_F(VersusForm, TheSummariesAreNotCut) {
    testsupport::SystemFontPixels font(16);
    TFormVersus& f = open();
    fillBoth();
    f.show();
    QApplication::processEvents();
    EXPECT_GT(f.width(), 488);
    for (QTextEdit* memo : {static_cast<QTextEdit*>(f.MemoLeft), static_cast<QTextEdit*>(f.MemoRight)}) {
        const QStringList lines = memoLines(memo);
        ASSERT_EQ(lines.size(), 12);
        const int room = memo->viewport()->width() - 2 * static_cast<int>(memo->document()->documentMargin());
        for (int i : {0, 1, 2})
            EXPECT_LE(memo->fontMetrics().horizontalAdvance(lines[i]), room) << lines[i].toStdString();
    }
}

TEST_F(VersusForm, StartNeedsAResultTextWhileLogsAreWritten) {
    TFormVersus& f = open();
    f.ComboBoxText->setEditText("");
    fillBoth();
    EXPECT_FALSE(f.ButtonStart->isEnabled());
    f.ComboBoxText->setEditText("duel.txt");
    EXPECT_TRUE(f.ButtonStart->isEnabled());
    f.ComboBoxText->setEditText(""); // nothing disables it again
    EXPECT_TRUE(f.ButtonStart->isEnabled());

    settings_.Options[OptLogOutput] = 0;
    TFormVersus& g = open();
    g.ComboBoxText->setEditText("");
    fillBoth();
    EXPECT_TRUE(g.ButtonStart->isEnabled());
}

TEST_F(VersusForm, AResultFileThatCannotBeWrittenStopsTheStart) {
    sjis::writeField(header_.ResultFolder, scratch() + "no/such/folder");
    TFormVersus& f = open();
    fillBoth();
    Driver guard([] { return false; }, 5000);
    f.ButtonStartClick();
    EXPECT_FALSE(guard.expired());
    auto rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 1u);
    EXPECT_EQ(rec[0].text, sj("試合の出力結果をファイル(Game.txt)に作成できません"));
    EXPECT_EQ(rec[0].caption, sj("この操作はできません"));
}

TEST_F(VersusForm, AMissingWeaponCatalogStopsTheStart) {
    header_.CheckWeaponData = 1;
    sjis::writeField(header_.WeaponDataFolder, scratch() + "nowhere");
    TFormVersus& f = open();
    fillBoth();
    bool matchShown = false;
    Driver guard(
        [&] {
            matchShown = matchShown || f.matchWindow();
            return false;
        },
        5000);
    f.ButtonStartClick();
    EXPECT_FALSE(guard.expired());
    EXPECT_FALSE(matchShown);
    // The result file was tried and left no file behind: no match was
    // started.
    EXPECT_FALSE(std::filesystem::exists(path("result/Game.txt")));
    // Only the AK data library's own word on the missing catalog.
    auto rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 1u);
    EXPECT_NE(rec[0].text.find(sj("武装データファイル")), std::string::npos) << testsupport::u8(rec[0].text);
    plat::notify::clearRecorded();
}

// The status windows on their own: they save their places when they close,
// into settings of the test's own.
class StatusWindow : public ::testing::Test {
protected:
    void SetUp() override { plat::reg::setStorePath((dir_.path() / "registry.reg").string()); }
    void TearDown() override { plat::reg::setStorePath(home_); }

    const std::string home_ = plat::reg::storePath();
    testsupport::TempDir dir_;
};

// Places of the status windows without stored ones (outer frames).
TEST_F(StatusWindow, PlacesBesideTheMatchWindowAndBesideEachOther) {
    using versus::ui::statusWindowPlaces;
    QSize status(260, 300);
    QRect area(0, 0, 1920, 1040);
    // A centred 640 x 520 match window ends at x 1279: the pair from 1280.
    auto p = statusWindowPlaces(QRect(640, 260, 640, 520), status, area, true);
    EXPECT_EQ(p.Status[0], QPoint(1280, 260));
    EXPECT_EQ(p.Status[1], QPoint(1540, 260));
    EXPECT_EQ(p.Match, QPoint(640, 260));
    // Ending at 1539 leaves 380 on the right: the pair goes left, 900 - 520.
    p = statusWindowPlaces(QRect(900, 0, 640, 520), status, area, true);
    EXPECT_EQ(p.Status[0], QPoint(380, 0));
    EXPECT_EQ(p.Status[1], QPoint(640, 0));
    // No room for the pair beside 363..1002 in 1366 x 728, but for one
    // above the other on the right from 1003; 600 high, the column comes up
    // from 500 to 728 - 600.
    p = statusWindowPlaces(QRect(363, 500, 640, 520), status, QRect(0, 0, 1366, 728), true);
    EXPECT_EQ(p.Status[0], QPoint(1003, 128));
    EXPECT_EQ(p.Status[1], QPoint(1003, 428));
    // 270 x 330 beside a match window at 192..831 of 1024 x 768: 192 on each
    // side. A match window with a place of its own stays, and the column
    // stands at the right edge, 1024 - 270; one without moves left to
    // 1024 - 270 - 640 and the column stands beside it all the same.
    status = QSize(270, 330);
    area = QRect(0, 0, 1024, 768);
    p = statusWindowPlaces(QRect(192, 100, 640, 520), status, area, false);
    EXPECT_EQ(p.Match, QPoint(192, 100));
    EXPECT_EQ(p.Status[0], QPoint(754, 100));
    EXPECT_EQ(p.Status[1], QPoint(754, 430));
    p = statusWindowPlaces(QRect(192, 100, 640, 520), status, area, true);
    EXPECT_EQ(p.Match, QPoint(114, 100));
    EXPECT_EQ(p.Status[0], QPoint(754, 100));
    EXPECT_EQ(p.Status[1], QPoint(754, 430));
}

// A status window's border: a caption and no icons; not resizable, and as
// wide as its whole caption needs.
TEST_F(StatusWindow, BorderHasNoIconsAndTheWholeCaption) {
    auto ak = std::make_unique<TArmoredKnight>();
    *ak = TArmoredKnight{};
    sjis::writeField(ak->Pilot.Name, sj("アレクサンドル・ヴォルコンスキー"));
    sjis::writeField(ak->Owner.Name, sj("鈴木花子"));
    versus::ui::TFormStatus status(1);
    status.InitStatusWindow(*ak, 0x0000ff);
    const Qt::WindowFlags flags = status.windowFlags();
    EXPECT_EQ(flags & Qt::WindowType_Mask, Qt::Tool);
    EXPECT_TRUE(flags & Qt::CustomizeWindowHint);
    EXPECT_TRUE(flags & Qt::WindowTitleHint);
    for (Qt::WindowType icon : {Qt::WindowSystemMenuHint, Qt::WindowMinimizeButtonHint,
                                Qt::WindowMaximizeButtonHint, Qt::WindowCloseButtonHint})
        EXPECT_FALSE(flags & icon) << icon;
    EXPECT_EQ(status.minimumSize(), status.maximumSize());
    QFont bold = QApplication::font();
    bold.setBold(true);
    EXPECT_EQ(status.windowTitle(),
              QString::fromUtf8("プレイヤー２：アレクサンドル・ヴォルコンスキー／鈴木花子"));
    EXPECT_GT(status.width(), QFontMetrics(bold).horizontalAdvance(status.windowTitle()));
}

// With a large font, every column of the weapon list is as wide as its
// heading and its cells need, and the window shows all four.
TEST_F(StatusWindow, ColumnsFitTheirHeadingsAndTheWeapons) {
    testsupport::SystemFontPixels font(20);
    {
        auto ak = std::make_unique<TArmoredKnight>();
        sjis::writeField(ak->Weapon[0].Name, sj("ロングレンジビームライフル改"));
        ak->Weapon[0].Price = 850;
        ak->Weapon[0].AmmoLeft = 120;
        ak->Weapon[0].ArmorLeft = 1200;
        versus::ui::TFormStatus status(0);
        status.InitStatusWindow(*ak, 0x0000ff);
        status.show();
        QApplication::processEvents();
        QTreeWidget* list = status.ListView1;
        int total = 0;
        for (int i = 0; i < 4; ++i) {
            SCOPED_TRACE(i);
            EXPECT_GE(list->columnWidth(i), list->header()->sectionSizeHint(i));
            EXPECT_GT(list->columnWidth(i),
                      list->fontMetrics().horizontalAdvance(list->topLevelItem(0)->text(i)));
            if (i < 3) total += list->columnWidth(i);
        }
        EXPECT_GE(list->viewport()->width(), total + list->header()->sectionSizeHint(3));
    }
}

// The status window tests run by a filter, alone and after a fixture that
// had a scratch folder of its own, as a developer runs them: nothing goes
// into the home's settings or data folders, nothing is left in the
// temporary folder.
TEST(TestProgram, RunByAFilterKeepsOffTheHomeAndLeavesNothingBehind) {
    for (const char* filter : {"StatusWindow.*", "VersusForm.TheSummariesAreNotCut:StatusWindow.*"}) {
        SCOPED_TRACE(filter);
        testsupport::TempDir home, tmp;
        QProcessEnvironment env = QProcessEnvironment::systemEnvironment();
        env.remove("XDG_CONFIG_HOME");
        env.remove("XDG_DATA_HOME");
        env.insert("HOME", QString::fromStdString(home.path().string()));
        env.insert("TMPDIR", QString::fromStdString(tmp.path().string()));
        QProcess run;
        run.setProcessEnvironment(env);
        run.setProcessChannelMode(QProcess::MergedChannels);
        run.start(QCoreApplication::applicationFilePath(), {QStringLiteral("--gtest_filter=%1").arg(filter)});
        ASSERT_TRUE(run.waitForFinished(600000));
        EXPECT_EQ(run.exitCode(), 0) << run.readAll().toStdString();
        EXPECT_FALSE(std::filesystem::exists(home.path() / ".config"));
        EXPECT_FALSE(std::filesystem::exists(home.path() / ".local"));
        for (const auto& entry : std::filesystem::directory_iterator(tmp.path()))
            EXPECT_NE(entry.path().filename().string().rfind("velltest", 0), 0u) << entry.path();
    }
}

TEST_F(VersusForm, AWholeMatchSteppedByKeys) {
    settings_.Options[OptAkOutput] = 1;
    // Player 2's status window has a place of its own; player 1's has none.
    plat::reg::writeInteger("Software\\Dunmoor\\CVVell\\Window", "Game_VsStatus1Top", 10);
    plat::reg::writeInteger("Software\\Dunmoor\\CVVell\\Window", "Game_VsStatus1Left", 20);
    TFormVersus& f = open();
    fillBoth();
    int stage = 0, enters = 0;
    QStringList lastLog;
    QString panel0, panel1, caption, akViewText;
    bool minimised = false, statusShown = false, afterEnabled = false, playOff = false;
    bool p1AtStart = true, statusHidden = false;
    QPoint status1At, status2At, status1Default;
    EXPECT_TRUE(runMatch(f, stage, 3, [&](TFormVsLog* w) {
        switch (stage) {
        case 0:
            caption = w->windowTitle();
            panel0 = w->statusPanel(0)->text();
            panel1 = w->statusPanel(1)->text();
            p1AtStart = w->ToolButtonP1->isEnabled();
            statusShown = w->statusWindow(0) && w->statusWindow(0)->isVisible();
            status1At = w->statusWindow(0)->frameGeometry().topLeft();
            status2At = w->statusWindow(1)->geometry().topLeft();
            status1Default = versus::ui::statusWindowPlaces(w->frameGeometry(),
                                                            plat::ui::outerRect(w->statusWindow(0)).size(),
                                                            plat::ui::screenArea(w), true)
                                 .Status[0];
            stage = 1;
            return;
        case 1:
            minimised = minimised || f.isMinimized();
            if (w->stepper().stepState() != versus::StepDone) {
                key(w, Qt::Key_Return);
                ++enters;
                return;
            }
            lastLog = w->logLines();
            playOff = !w->ToolButtonPlay->isEnabled() && w->ToolButtonEnd->isEnabled();
            afterEnabled = w->MenuPlayer1FileA->isEnabled() && w->MenuPlayer2FileA->isEnabled();
            w->MenuPlayer1FileA->trigger();
            key(w, Qt::Key_6, "6");
            akViewText = w->RichEditAkView->toPlainText();
            EXPECT_EQ(w->PageControlLog->currentWidget(), w->TabSheetAkView);
            EXPECT_TRUE(w->ToolButtonP1->isChecked());
            key(w, Qt::Key_6, "6");
            key(w, Qt::Key_6, "6");
            EXPECT_EQ(w->PageControlLog->currentWidget(), w->TabSheetGame);
            EXPECT_TRUE(w->ToolButtonLog->isChecked());
            key(w, Qt::Key_S, "s");
            statusHidden = !w->statusWindow(0)->isVisible() && !w->statusWindow(1)->isVisible();
            key(w, Qt::Key_Escape);
            stage = 3;
        }
    }));
    EXPECT_EQ(stage, 3);
    EXPECT_EQ(f.matchWindow(), nullptr);
    EXPECT_FALSE(f.isMinimized());
    EXPECT_TRUE(minimised);

    EXPECT_EQ(caption, QString::fromUtf8("アレックス・ロウ Vs ミカ・ホクト"));
    EXPECT_EQ(panel0, QString::fromUtf8("試合形式： デスマッチ"));
    EXPECT_TRUE(panel1.startsWith(QString::fromUtf8("アナウンサー： ")));
    EXPECT_GT(panel1.size(), QString::fromUtf8("アナウンサー： ").size());
    EXPECT_FALSE(p1AtStart);
    EXPECT_TRUE(statusShown);
    // Where the rule puts it, give or take the window frames that a window
    // gets once shown.
    EXPECT_LE((status1At - status1Default).manhattanLength(), 16) << status1At.x() << "," << status1At.y();
    EXPECT_EQ(status2At, QPoint(20, 10));
    EXPECT_GT(enters, 3);
    ASSERT_FALSE(lastLog.isEmpty());
    EXPECT_NE(lastLog.back(), Prompt);
    EXPECT_TRUE(lastLog.join('\n').contains(QString::fromUtf8("＜＜　試合開始　＞＞")));
    EXPECT_TRUE(playOff);
    EXPECT_TRUE(afterEnabled);
    // Player 1 lost its pilot in this match: the sheet shows the record as the match left it.
    EXPECT_TRUE(akViewText.contains(QString::fromUtf8("オーナー名　：田中一郎"))) << akViewText.toStdString();
    EXPECT_TRUE(statusHidden);
    ASSERT_EQ(opened_.size(), 1u);
    EXPECT_EQ(opened_[0], scratch() + "out/ak01.da1");

    // What the start set and what the windows kept.
    EXPECT_EQ(settings_.Options[Opt36], 1);
    EXPECT_EQ(settings_.Options[OptMessagesOff], 0);
    EXPECT_EQ(std::memcmp(&settings_.Words[1], &f.setup().tables().Words, sizeof(MsgWords)), 0);
    EXPECT_EQ(sjis::readField(settings_.AkFile2), akFolder() + "\\ak02.dat");
    EXPECT_NE(testsupport::readFile(path("result/Game.txt")).find(sj("ミカ・ホクト")), std::string::npos);
    EXPECT_TRUE(std::filesystem::exists(path("out/ak02.da1")));
    EXPECT_EQ(plat::reg::readString("Software\\Dunmoor\\CVVell\\DLL\\Versus", "StatusView", ""), "0");
    for (const char* v : {"Game_VsLogTop", "Game_VsStatus0Left", "Game_VsStatus1Width"})
        EXPECT_TRUE(plat::reg::valueExists("Software\\Dunmoor\\CVVell\\Window", v)) << v;
    for (const auto& r : plat::notify::recorded()) ADD_FAILURE() << testsupport::u8(r.text);
}

TEST_F(VersusForm, TheAbortDialogGoOnThenHoldWithTheAksSaved) {
    settings_.Options[OptAkOutput] = 0;
    TFormVersus& f = open();
    fillBoth();
    int stage = 0;
    bool wentOn = false, held = false, afterEnabled = false;
    QStringList log;
    EXPECT_TRUE(runMatch(f, stage, 6, [&](TFormVsLog* w) {
        switch (stage) {
        case 0: // through the opening
            if (w->stepper().stepState() == versus::StepOpeningShown) {
                key(w, Qt::Key_Return);
                return;
            }
            [[fallthrough]];
        case 1: // go on
            quitWith(stage, 0, w, "q", "キャンセル", false);
            return;
        case 2:
            if (w->stepper().busy()) return;
            wentOn = w->stepper().stepState() == versus::StepRounds && w->stepper().paused() &&
                     w->ToolButtonPlay->isEnabled() && !w->ToolButtonPause->isEnabled();
            stage = 3;
            [[fallthrough]];
        case 3:
        case 4: // hold
            quitWith(stage, 3, w, "Q", "試合を保留します");
            return;
        case 5:
            if (w->stepper().busy() || w->stepper().stepState() != versus::StepDone) return;
            held = !w->ToolButtonPlay->isEnabled() && w->ToolButtonEnd->isEnabled();
            afterEnabled = w->MenuPlayer2FileA->isEnabled();
            log = w->logLines();
            w->ToolButtonEnd->click();
            stage = 6;
        }
    }));
    EXPECT_TRUE(wentOn);
    EXPECT_TRUE(held);
    EXPECT_TRUE(afterEnabled);
    EXPECT_TRUE(log.join('\n').contains(QString::fromUtf8("試合保留時点の機体データを書きこみます")));
    EXPECT_NE(log.back(), Prompt);
    // Saved although the conf writes no AK output.
    EXPECT_TRUE(std::filesystem::exists(path("out/ak01.da1")));
    EXPECT_TRUE(std::filesystem::exists(path("out/ak02.da1")));
}

TEST_F(VersusForm, TheAbortDialogEndsWithAChosenWinner) {
    TFormVersus& f = open();
    fillBoth();
    int stage = 0;
    bool decided = false;
    EXPECT_TRUE(runMatch(f, stage, 3, [&](TFormVsLog* w) {
        switch (stage) {
        case 0:
        case 1:
            quitWith(stage, 0, w, "q", "プレイヤー２を勝者とします");
            return;
        case 2:
            if (w->stepper().busy()) return;
            if (w->stepper().stepState() == versus::StepDecided) decided = true;
            if (w->stepper().stepState() != versus::StepDone) {
                key(w, Qt::Key_Return);
                return;
            }
            key(w, Qt::Key_Escape);
            stage = 3;
        }
    }));
    EXPECT_TRUE(decided);
    EXPECT_EQ(settings_.Result, 1);
    EXPECT_NE(testsupport::readFile(path("result/Game.txt")).find(sj("ミカ・ホクト")), std::string::npos);
}

} // namespace
