// TFormGame, the game settings dialog: one conf's names, folders, match
// rules, output options and special rules on five pages, the head-bounty
// formula check and the regulation text. It edits the caller's conf in
// place only when OK is pressed (the formula check puts the bounty flag, the
// formula and its postfix into the settings as it runs); Cancel stores
// nothing. Controls carry the names the system always gave them
// (EditGameName, ComboBoxAno, CSpinEditColumn, ...).
#pragma once

#include "base/confrecords.h"
#include "config/gameedit.h"
#include "config/ui/dialogbase.h"

#include <string>

class QCheckBox;
class QComboBox;
class QLineEdit;
class QListWidget;
class QPushButton;
class QSpinBox;

namespace cnf::ui {

class TFormGame : public DialogBase {
public:
    TFormGame(QWidget* owner, std::string_view programFolder, ConfFile& conf);

    // The buttons' actions (also reached by the buttons).
    void ButtonOkClick();
    void ButtonCheckClick();
    void ButtonDefaultClick();
    void ButtonOutputClick();

    // What the controls show now, as the conf would store it.
    GameValues shownValues() const;

protected:
    void done(int result) override;

private:
    QWidget* gamePage();
    QWidget* matchPage();
    QWidget* outputPage();
    QWidget* detailPage();
    QWidget* specialPage();
    void fillHistories();
    void chooseFolder(QComboBox* box, const char* title, bool recent);
    void updateEnabling();

    std::string folder_;
    ConfFile& conf_;
    GameValues stored_;

    QLineEdit* name_;
    QLineEdit* memo_;
    QLineEdit* stadium_;
    QLineEdit* organiser_;
    QComboBox* announcer_;
    QComboBox* gameForm_;
    QComboBox* akInput_;
    QComboBox* akOutput_;
    QComboBox* result_;

    QComboBox* matchType_;
    QSpinBox* minutes_;
    QSpinBox* winner_;
    QSpinBox* loser_;
    QSpinBox* minCr_;
    QSpinBox* escape_;
    QSpinBox* compensation_;
    QCheckBox* bounty_;
    QLineEdit* formula_;
    QCheckBox* polish_;
    QPushButton* check_;
    QCheckBox* repair_;
    QCheckBox* winnerSupply_;
    QCheckBox* loserSupply_;
    QCheckBox* rebuy_;
    QCheckBox* rebuyInDebt_;

    QComboBox* digest_;
    QSpinBox* columns_;
    QSpinBox* messagePercent_;
    QCheckBox* statusOn_;
    QSpinBox* status_;
    QListWidget* outputOptions_;

    QListWidget* detailOptions_;
    QCheckBox* weaponCheck_;
    QComboBox* weaponFolder_;
    QPushButton* weaponButton_;

    QSpinBox* berserkAttack_;
    QSpinBox* berserkDefence_;
    QListWidget* cv46Options_;
};

} // namespace cnf::ui
