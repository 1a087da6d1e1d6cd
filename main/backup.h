// Settings backup and restore: the program's settings (the keys
// "Software\Corvane" and "Software\Dunmoor\CVVell" of the settings store)
// saved to and restored from a "REGEDIT4" text file, reset to their
// installed state, and the selected conf exported as a .vell file (its raw
// records) or such a file imported as a new conf node.
#pragma once

#include "config/conftree.h"

#include <QDialog>

#include <functional>
#include <string>
#include <string_view>

class QPushButton;

namespace vell {

// The settings file: "REGEDIT4", an empty line, then both keys depth first,
// each "[HKEY_CURRENT_USER\path]", its values "\"name\"=\"value\"" with
// backslashes doubled, and an empty line. CR LF line ends.
std::string settingsFileText();
// Appends one key and its subkeys; a key that does not exist adds nothing.
void ExportRegistryKey(std::string& out, std::string_view keyPath);
// Reads a settings file into the store: every "[" line opens (creating) the
// key after its first backslash under HKEY_CURRENT_USER, whatever root it
// names; every quoted value line under an open key is written as a string.
void ImportRegFile(std::string_view text);
// Deletes both keys with all their content.
void resetSettings();

// Reads a conf file whole; nullopt when it cannot be read as a conf.
bool readConfImage(std::string_view path, std::string& image);

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
