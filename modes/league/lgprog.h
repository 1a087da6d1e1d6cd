// The league's progress window: the entry table when it opens, the progress
// bar over all n·(n−1)/2 matches, the run thread TLeague (LeagueRun), and
// on WM_GAMEDONE the result table, saved with the entry table as the result
// file. The result file is left as it is until then: a cancelled league
// writes no result file.
#pragma once

#include "modes/frame/ui/progressform.h"

namespace league {

class TFormProgress : public modes::ui::TFormProgress {
    Q_OBJECT
public:
    TFormProgress(modes::ui::TFormMode& owner, modes::EntrantList& entrants, std::string resultFile,
                  std::string akFolder);

    void WriteEntryList();
    void WriteLeagueResult();

protected:
    void prepare() override;
    modes::RunThread::Body createRun() override;
    void gameDone() override { WriteLeagueResult(); }
};

} // namespace league
