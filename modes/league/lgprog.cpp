// The league's progress window.
#include "modes/league/lgprog.h"

#include "modes/frame/standings.h"
#include "modes/frame/ui/modeform.h"
#include "modes/league/leaguelogic.h"
#include "platform/clock.h"
#include "platform/ui/qtsjis.h"
#include "sjis/league_text.h"

#include <QProgressBar>
#include <QTextEdit>

#include <memory>

namespace league {

TFormProgress::TFormProgress(modes::ui::TFormMode& owner, modes::EntrantList& entrants,
                             std::string resultFile, std::string akFolder)
    : modes::ui::TFormProgress(owner, entrants, std::move(resultFile), std::move(akFolder), "MemoLeague") {
    setWindowTitle(plat::ui::fromSjis(text::ProgressCaption));
    ProgressBar->setObjectName("ProgressBarLeague");
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setStatusPanel(0, text::StatusRunning);
}

void TFormProgress::prepare() {
    ProgressBar->setRange(0, matchCount(static_cast<int>(entrants().size())));
    ProgressBar->setValue(0);
    WriteEntryList();
}

void TFormProgress::WriteEntryList() {
    addLines(entryTable(header(), settings(), entrants(), plat::clock::localNow()));
}

modes::RunThread::Body TFormProgress::createRun() {
    auto run = std::make_shared<LeagueRun>(entrants(), settings(), header(), words());
    run->onProgress = [this](int done, int total) { SyncProgress(done, total); };
    return [run](modes::RunThread& thread) { run->Execute(thread); };
}

void TFormProgress::WriteLeagueResult() {
    setStatusPanel(0, text::StatusDone);
    ProgressBar->hide();
    computeWinRates(entrants());
    Memo->setFocus();
    addLines(resultTable(settings(), modes::standings(entrants())));
    saveMemo();
}

} // namespace league
