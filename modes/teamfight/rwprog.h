// The team battle's progress window: the entry table of both teams when it
// opens, the result file emptied as the run starts, the run thread TTeam
// (TeamRun) whose bout lines and progress arrive through queued calls, and
// on WM_GAMEDONE the result tables, saved with everything above them as the
// result file.
#pragma once

#include "modes/frame/ui/progressform.h"
#include "modes/teamfight/teamlogic.h"

#include <memory>

class QAction;
class QMenu;

namespace teamfight {

class TFormProgress : public modes::ui::TFormProgress {
    Q_OBJECT
public:
    TFormProgress(modes::ui::TFormMode& owner, Teams& teams, std::string resultFile, std::string akFolder);
    ~TFormProgress() override;

    QMenu* PopupMenu = nullptr;
    QAction* Copy1 = nullptr;
    QAction* SelectAll1 = nullptr;

    void WriteEntryList();
    void WriteTeamResult();
    void Copy1Click();
    void SelectAll1Click();

protected:
    void prepare() override;
    modes::RunThread::Body createRun() override;
    void gameDone() override { WriteTeamResult(); }

private:
    Teams& teams_;
    std::shared_ptr<TeamRun> run_;
};

} // namespace teamfight
