// Settings backup and restore: the program's settings (the keys
// "Software\Corvane" and "Software\Dunmoor\CVVell" of the settings store)
// saved to and restored from a "REGEDIT4" text file, reset to their
// installed state, and the selected conf exported as a .vell file (its raw
// records) or such a file imported as a new conf node.
#pragma once

#include "config/conftree.h"
#include "main/settingsfile.h"

#include <QDialog>

#include <functional>
#include <string>
#include <string_view>

class QPushButton;

namespace vell {

// The file name a conf is offered under: its name with every character a
// file name cannot hold ('\' '/' ':' '*' '?' '"' '<' '>' '|', control bytes,
// bytes with no character behind them) replaced by '_'.
std::string exportFileName(std::string_view confName);

class TFormBackup : public QDialog {
public:
    TFormBackup(QWidget* owner, cnf::ConfTree& tree, cnf::ConfNode* selected, bool gameNodeSelected,
                std::string programFolder);

    // The file choosers, replaceable in tests: (title, default path, filter,
    // default extension) → chosen Shift-JIS path, empty when cancelled.
    using PathAsker = std::function<std::string(const std::string& title, const std::string& defaultPath,
                                                const std::string& filter, const std::string& extension)>;
    PathAsker askSavePath;
    PathAsker askOpenPath;

    void ButtonSaveClick();
    void ButtonRestoreClick();
    void ButtonInitializeClick();
    void ButtonSaveGameClick();
    void ButtonRestoreGameClick();
    QPushButton* button(const char* name) const;

private:
    cnf::ConfTree& tree_;
    cnf::ConfNode* selected_;
    bool gameNodeSelected_;
    std::string programFolder_;
};

} // namespace vell
