// The team battle's progress window.
#include "modes/teamfight/rwprog.h"

#include "modes/frame/ui/modeform.h"
#include "platform/clock.h"
#include "platform/ui/qtsjis.h"
#include "sjis/teamfight_text.h"

#include <QAction>
#include <QMenu>
#include <QProgressBar>
#include <QTextEdit>

namespace teamfight {

using plat::ui::fromSjis;

TFormProgress::TFormProgress(modes::ui::TFormMode& owner, Teams& teams, std::string resultFile,
                             std::string akFolder)
    : modes::ui::TFormProgress(owner, teams.Side[0], std::move(resultFile), std::move(akFolder), "MemoTeam"),
      teams_(teams) {
    setWindowTitle(fromSjis(text::ProgressCaption));
    ProgressBar->setObjectName("ProgressBarTeam");
    Memo->setVerticalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAsNeeded);
    setStatusPanel(0, text::StatusRunning);

    PopupMenu = new QMenu(this);
    Copy1 = PopupMenu->addAction(fromSjis(text::MenuCopy));
    Copy1->setObjectName("Copy1");
    SelectAll1 = PopupMenu->addAction(fromSjis(text::MenuSelectAll));
    SelectAll1->setObjectName("SelectAll1");
    Memo->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Memo, &QTextEdit::customContextMenuRequested, this,
            [this](const QPoint& p) { PopupMenu->popup(Memo->viewport()->mapToGlobal(p)); });
    connect(Copy1, &QAction::triggered, this, [this] { Copy1Click(); });
    connect(SelectAll1, &QAction::triggered, this, [this] { SelectAll1Click(); });
}

TFormProgress::~TFormProgress() {
    // The run's queued calls reach this class: the run must be over first.
    waitForRunEnd();
}

void TFormProgress::prepare() {
    ProgressBar->setRange(0, teams_.size());
    ProgressBar->setValue(0);
    WriteEntryList();
}

void TFormProgress::WriteEntryList() {
    addLines(entryTable(header(), settings(), teams_, plat::clock::localNow()));
}

modes::RunThread::Body TFormProgress::createRun() {
    emptyResultFile();
    run_ = std::make_shared<TeamRun>(teams_, settings(), header(), words());
    run_->onLines = [this](const modes::Lines& lines) { addLines(lines); };
    run_->onProgress = [this](int done, int total) { SyncProgress(done, total); };
    return [run = run_](modes::RunThread& thread) { run->Execute(thread); };
}

void TFormProgress::WriteTeamResult() {
    setStatusPanel(0, text::StatusDone);
    ProgressBar->hide();
    Memo->setFocus();
    refreshNeverFought(teams_);
    std::array<int, 2> index = run_ ? run_->memberIndex() : std::array<int, 2>{0, 0};
    addLines(resultTables(settings(), teams_, index));
    saveMemo();
}

void TFormProgress::Copy1Click() {
    Memo->copy();
}

void TFormProgress::SelectAll1Click() {
    Memo->selectAll();
}

} // namespace teamfight
