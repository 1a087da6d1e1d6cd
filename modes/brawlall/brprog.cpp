// The battle royal's progress window.
#include "modes/brawlall/brprog.h"

#include "modes/brawlall/brmapview.h"
#include "modes/brawlall/brth.h"
#include "modes/brawlall/royal.h"
#include "modes/frame/modeinfo.h"
#include "modes/frame/setup.h"
#include "modes/frame/ui/modeform.h"
#include "platform/clock.h"
#include "platform/ui/qtsjis.h"
#include "sjis/brawlall_text.h"

#include <QHeaderView>
#include <QLabel>
#include <QProgressBar>
#include <QScrollArea>
#include <QTabWidget>
#include <QTextEdit>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace brawl::ui {

using plat::ui::fromSjis;

TFormRoyalProgress::TFormRoyalProgress(modes::ui::TFormMode& owner, modes::EntrantList& entrants,
                                       const BrMap& map, std::string resultFile, std::string akFolder)
    : modes::ui::TFormProgress(owner, entrants, std::move(resultFile), std::move(akFolder), "MemoBr"),
      map_(map) {
    setWindowTitle(fromSjis(text::ProgressCaption));
    ProgressBar->hide();
    LabelProgress->hide();
    Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    ScrollBoxBr = new QScrollArea(this);
    ScrollBoxBr->setObjectName("ScrollBoxBr");
    ScrollBoxBr->setWidgetResizable(false);
    ImageBr = new MapView;
    ScrollBoxBr->setWidget(ImageBr);
    scrollHeight_ = scrollBoxHeight(modes::readModeValue(owner.info(), "ScrollHeightProg"));
    ScrollBoxBr->setFixedHeight(scrollHeight_);

    PageControlBr = new QTabWidget(this);
    PageControlBr->setObjectName("PageControlBr");
    TabSheetGame = new QWidget;
    TabSheetGame->setObjectName("TabSheetGame");
    ListViewBattle = new QTreeWidget(TabSheetGame);
    ListViewBattle->setObjectName("ListViewBattle");
    ListViewBattle->setRootIsDecorated(false);
    ListViewBattle->setUniformRowHeights(true);
    ListViewBattle->setHeaderLabels({fromSjis(text::ColumnFightNo), fromSjis(text::ColumnPairing)});
    ListViewBattle->setColumnWidth(0, 65);
    ListViewBattle->setColumnWidth(1, 300);
    (new QVBoxLayout(TabSheetGame))->addWidget(ListViewBattle);
    TabSheetLog = new QWidget;
    TabSheetLog->setObjectName("TabSheetLog");
    body()->removeWidget(Memo);
    Memo->setParent(TabSheetLog);
    (new QVBoxLayout(TabSheetLog))->addWidget(Memo);
    PageControlBr->addTab(TabSheetGame, fromSjis(text::TabGame));
    PageControlBr->addTab(TabSheetLog, fromSjis(text::TabLog));
    body()->insertWidget(0, ScrollBoxBr);
    body()->insertWidget(1, PageControlBr, 1);
}

TFormRoyalProgress::~TFormRoyalProgress() {
    // Calls the run posted reach this window's own members.
    waitForRunEnd();
}

void TFormRoyalProgress::prepare() {
    emptyResultFile();
    PageControlBr->setCurrentWidget(TabSheetLog);
    WriteEntryList();
    PageControlBr->setCurrentWidget(TabSheetGame);
}

void TFormRoyalProgress::WriteEntryList() {
    addLines(modes::entryTable(header(), settings(), entrants(), plat::clock::localNow(), false));
}

modes::RunThread::Body TFormRoyalProgress::createRun() {
    ImageBr->Draw(map_, entrants(), display());
    auto run = std::make_shared<TBRoyal>(entrants(), map_, settings(), header(), words());
    RoyalView& v = run->view();
    v.status = [this](int panel, const std::string& text) { setStatusPanel(panel, text); };
    v.memo = [this](const modes::Lines& lines) { addLines(lines); };
    v.scrollMemo = [this] { Memo->ensureCursorVisible(); };
    v.addFight = [this](int fightNo, const std::string& caption, const std::string& pairing) {
        auto* item = new QTreeWidgetItem(ListViewBattle);
        item->setText(0, fromSjis(caption));
        item->setText(1, fromSjis(pairing));
        item->setData(0, Qt::UserRole, fightNo);
    };
    v.removeFight = [this](int fightNo) {
        for (int i = 0; i < ListViewBattle->topLevelItemCount(); ++i) {
            if (ListViewBattle->topLevelItem(i)->data(0, Qt::UserRole).toInt() == fightNo) {
                delete ListViewBattle->takeTopLevelItem(i);
                return;
            }
        }
    };
    v.paint = [this](const CellPaint& paint) { ImageBr->DrawCell(paint); };
    v.refreshMap = [this] { ImageBr->update(); };
    return [run](modes::RunThread& thread) { run->Execute(thread); };
}

void TFormRoyalProgress::WriteRoyalResult() {
    PageControlBr->setCurrentWidget(TabSheetLog);
    setStatusPanel(0, text::StatusDone);
    addLines(resultTable(settings(), finalStandings(entrants())));
    saveMemo();
}

void TFormRoyalProgress::done(int result) {
    if (!scrollSaved_) {
        scrollSaved_ = true;
        modes::writeModeValue(owner().info(), "ScrollHeightProg", scrollHeight_);
    }
    ImageBr->clear();
    modes::ui::TFormProgress::done(result);
}

} // namespace brawl::ui
