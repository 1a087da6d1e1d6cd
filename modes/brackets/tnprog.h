// The tournament's progress window: when it opens the result file is
// emptied and the memo shows the entry table and the empty bracket; the
// progress bar counts matches up to n; the run thread TTour (TourRun)
// writes each match's heading; on WM_GAMEDONE the result bracket and the
// ranking follow and the memo is saved as the result file. The memo's
// pop-up menu copies the selection or selects all.
#pragma once

#include "modes/brackets/bracket.h"
#include "modes/frame/ui/progressform.h"

class QAction;
class QMenu;

namespace brackets {

class TFormTourProgress : public modes::ui::TFormProgress {
    Q_OBJECT
public:
    TFormTourProgress(modes::ui::TFormMode& owner, Bracket& bracket, std::string resultFile,
                      std::string akFolder);

    QMenu* PopupMenuMemo = nullptr;
    QAction* Copy1 = nullptr;
    QAction* SelectAll1 = nullptr;

    void Copy1Click();
    void SelectAll1Click();
    void WriteTourResult();

protected:
    void prepare() override;
    modes::RunThread::Body createRun() override;
    void gameDone() override { WriteTourResult(); }

private:
    Bracket& bracket_;
};

} // namespace brackets
