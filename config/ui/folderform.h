// TFormFolder, the folder dialog: four folders (AK input, AK output, results,
// weapon data) given once for every conf below a net. Each box starts with
// "変更無し" (leave as it is); its button opens the folder picker, starting
// at the box's folder when that exists.
#pragma once

#include "config/entries.h"
#include "config/ui/dialogbase.h"

#include <array>
#include <string>

class QLineEdit;

namespace cnf::ui {

class TFormFolder : public DialogBase {
public:
    // `texts` are shown in the boxes and, on OK, replaced by what they hold.
    TFormFolder(QWidget* owner, std::string_view programFolder, FolderTexts& texts);

    void ButtonOkClick();
    // The folder button of a box (tag 0 to 3).
    void FolderButtonClick(int tag);
    QLineEdit* edit(int tag) const { return edits_[static_cast<size_t>(tag)]; }

private:
    std::string folder_;
    FolderTexts& texts_;
    std::array<QLineEdit*, 4> edits_{};
};

} // namespace cnf::ui
