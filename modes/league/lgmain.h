// The league's set-up window: the frame's mode form with the check box for
// a random order of the pairings and the type label; no entrant count and
// no "決定": every AK of the list enters, in the list's order as shown.
#pragma once

#include "modes/frame/ui/modeform.h"

class QCheckBox;
class QLabel;

namespace league {

class TFormLeague : public modes::ui::TFormMode {
    Q_OBJECT
public:
    // Forces option 16 (immobile means a draw) on and option 23 (output AK
    // files) off: a league writes no output AK files, so every match starts
    // from the entrants' own files.
    TFormLeague(GameSettings& settings, ConfHeader& header, AkSourceList& sources);

    QCheckBox* CheckBoxRandom = nullptr;
    QLabel* LabelType = nullptr;

    void CheckBoxRandomClick();
    void ButtonStartClick() override;

    bool randomSort() const { return randomSort_ != 0; }

protected:
    void readModeValues() override;
    void writeModeValues() override;

private:
    int32_t randomSort_ = 1;
};

} // namespace league
