// The battle royal's progress window: the map picture in its scroll box
// above two pages, the list of running fights (ListViewBattle) and the memo
// (MemoBr) with the entry table, the heading of every finished fight and at
// the end the result table, which is saved as the result file. The run
// thread is TBRoyal; it reports the turn ("%d分") and the count of
// finished fights in status panel 1.
#pragma once

#include "modes/brawlall/brmap.h"
#include "modes/frame/ui/progressform.h"

class QScrollArea;
class QTabWidget;
class QTreeWidget;

namespace brawl::ui {

class MapView;

class TFormRoyalProgress : public modes::ui::TFormProgress {
    Q_OBJECT
public:
    // `map` is the set-up window's map as placed.
    TFormRoyalProgress(modes::ui::TFormMode& owner, modes::EntrantList& entrants, const BrMap& map,
                       std::string resultFile, std::string akFolder);
    ~TFormRoyalProgress() override;

    QTabWidget* PageControlBr = nullptr;
    QWidget* TabSheetGame = nullptr;
    QWidget* TabSheetLog = nullptr;
    QTreeWidget* ListViewBattle = nullptr;
    QScrollArea* ScrollBoxBr = nullptr;
    MapView* ImageBr = nullptr;

    void WriteEntryList();
    void WriteRoyalResult();
    void done(int result) override;

protected:
    void prepare() override;
    modes::RunThread::Body createRun() override;
    void gameDone() override { WriteRoyalResult(); }
    bool publishesAfterCancel() const override { return true; }

private:
    BrMap map_;
    int scrollHeight_ = 150;
    bool scrollSaved_ = false;
};

} // namespace brawl::ui
