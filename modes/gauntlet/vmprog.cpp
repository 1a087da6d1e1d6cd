// The one-vs-many simulation's progress window.
#include "modes/gauntlet/vmprog.h"

#include "modes/frame/standings.h"
#include "modes/frame/ui/modeform.h"
#include "modes/gauntlet/gauntletlogic.h"
#include "platform/clock.h"
#include "platform/ui/qtsjis.h"
#include "sjis/gauntlet_text.h"

#include <QProgressBar>
#include <QTextEdit>

namespace gauntlet {

TFormProgress::TFormProgress(modes::ui::TFormMode& owner, modes::EntrantList& enemies,
                             const TArmoredKnight& own, std::string ownPath, int simulationCount,
                             std::string resultFile, std::string akFolder)
    : modes::ui::TFormProgress(owner, enemies, std::move(resultFile), std::move(akFolder), "MemoGauntlet"),
      own_(std::make_unique<TArmoredKnight>(own)), ownPath_(std::move(ownPath)), count_(simulationCount) {
    setWindowTitle(plat::ui::fromSjis(text::ProgressCaption));
    ProgressBar->setObjectName("ProgressBarGauntlet");
    Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setStatusPanel(0, text::StatusRunning);
}

void TFormProgress::prepare() {
    ProgressBar->setRange(0, static_cast<int>(entrants().size()) * count_);
    ProgressBar->setValue(0);
    WriteEntryList();
}

void TFormProgress::WriteEntryList() {
    addLines(entryTable(header(), settings(), *own_, entrants(), plat::clock::localNow()));
}

modes::RunThread::Body TFormProgress::createRun() {
    auto run =
        std::make_shared<GauntletRun>(entrants(), *own_, ownPath_, count_, settings(), header(), words());
    run->onProgress = [this](int done, int total) { SyncProgress(done, total); };
    return [run](modes::RunThread& thread) { run->Execute(thread); };
}

void TFormProgress::WriteSimulationResult() {
    setStatusPanel(0, text::StatusDone);
    ProgressBar->hide();
    computeWinRates(entrants());
    Memo->setFocus();
    addLines(resultTable(settings(), modes::standings(entrants())));
    saveMemo();
}

} // namespace gauntlet
