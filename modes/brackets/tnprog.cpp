// The tournament's progress window.
#include "modes/brackets/tnprog.h"

#include "modes/brackets/tourlogic.h"
#include "modes/frame/setup.h"
#include "modes/frame/ui/modeform.h"
#include "platform/clock.h"
#include "platform/ui/qtsjis.h"
#include "sjis/brackets_text.h"

#include <QAction>
#include <QMenu>
#include <QProgressBar>
#include <QTextEdit>

#include <memory>

namespace brackets {

using plat::ui::fromSjis;

TFormTourProgress::TFormTourProgress(modes::ui::TFormMode& owner, Bracket& bracket, std::string resultFile,
                                     std::string akFolder)
    : modes::ui::TFormProgress(owner, bracket.entrants(), std::move(resultFile), std::move(akFolder),
                               "MemoTour"),
      bracket_(bracket) {
    setWindowTitle(fromSjis(text::ProgressCaption));
    ProgressBar->setObjectName("ProgressBarTour");
    Memo->setHorizontalScrollBarPolicy(Qt::ScrollBarAlwaysOn);

    PopupMenuMemo = new QMenu(this);
    Copy1 = PopupMenuMemo->addAction(fromSjis(text::CopyMemo));
    Copy1->setObjectName("Copy1");
    SelectAll1 = PopupMenuMemo->addAction(fromSjis(text::SelectAllMemo));
    SelectAll1->setObjectName("SelectAll1");
    connect(Copy1, &QAction::triggered, this, [this] { Copy1Click(); });
    connect(SelectAll1, &QAction::triggered, this, [this] { SelectAll1Click(); });
    Memo->setContextMenuPolicy(Qt::CustomContextMenu);
    connect(Memo, &QWidget::customContextMenuRequested, this,
            [this](const QPoint& at) { PopupMenuMemo->popup(Memo->viewport()->mapToGlobal(at)); });
}

void TFormTourProgress::Copy1Click() {
    Memo->copy();
}

void TFormTourProgress::SelectAll1Click() {
    Memo->selectAll();
}

void TFormTourProgress::prepare() {
    emptyResultFile();
    ProgressBar->setRange(0, bracket_.entrantCount());
    ProgressBar->setValue(0);
    addLines(openingLines(header(), settings(), bracket_, plat::clock::localNow()));
}

modes::RunThread::Body TFormTourProgress::createRun() {
    auto run = std::make_shared<TourRun>(bracket_, settings(), header(), words());
    run->onMemo = [this](const modes::Lines& lines) { addLines(lines); };
    run->onProgress = [this](int done, int total) { SyncProgress(done, total); };
    return [run](modes::RunThread& thread) { run->Execute(thread); };
}

void TFormTourProgress::WriteTourResult() {
    bracket_.setResultMode(true);
    setStatusPanel(0, text::StatusDone);
    ProgressBar->hide();
    Memo->setFocus();
    addLines(resultLines(settings(), bracket_));
    // The run's output AK files that the conf keeps none of go before the
    // event's files are made durable with the result file: written back
    // only to be deleted, they would cost the disk twice. (The set-up
    // window's deletion after the window closes then finds none.)
    setup().deleteForcedOutput(bracket_.entrants());
    saveMemo();
}

} // namespace brackets
