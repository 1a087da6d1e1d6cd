// The one-vs-many simulation's progress window: the entry table (the own
// AK and the enemies with their career figures) when it opens, the progress
// bar over enemies × simulation count matches, the run thread TGauntlet
// (GauntletRun), and on WM_GAMEDONE the result table, saved with the entry
// table as the result file. A cancelled simulation writes no result file.
#pragma once

#include "base/akrecord.h"
#include "modes/frame/ui/progressform.h"

#include <memory>
#include <string>

namespace gauntlet {

class TFormProgress : public modes::ui::TFormProgress {
    Q_OBJECT
public:
    // The own AK is copied; `enemies` stays the set-up window's.
    TFormProgress(modes::ui::TFormMode& owner, modes::EntrantList& enemies, const TArmoredKnight& own,
                  std::string ownPath, int simulationCount, std::string resultFile, std::string akFolder);

    int simulationCount() const { return count_; }

    void WriteEntryList();
    void WriteSimulationResult();

protected:
    void prepare() override;
    modes::RunThread::Body createRun() override;
    void gameDone() override { WriteSimulationResult(); }

private:
    std::unique_ptr<TArmoredKnight> own_;
    std::string ownPath_;
    int count_;
};

} // namespace gauntlet
