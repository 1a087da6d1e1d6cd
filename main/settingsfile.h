// The settings file of the backup dialog: the program's settings (the keys
// "Software\Corvane" and "Software\Dunmoor\CVVell" of the settings store)
// as "REGEDIT4" text, read back into the store, or reset; and the check that
// a file holds a whole conf.
#pragma once

#include <string>
#include <string_view>

namespace vell {

// The settings file: "REGEDIT4", an empty line, then both keys depth first,
// each "[HKEY_CURRENT_USER\path]", its values "\"name\"=\"value\"" with
// backslashes doubled, and an empty line. CR LF line ends. The settings
// store's escapes (plat::reg::escapeValueText, escapeKeyPath): a control
// byte (CR and LF included) or quote in a name or value is written \xNN or
// \", a control byte, '%', ']' or a '\' inside a key name %NN, so every byte
// but NUL comes back.
std::string settingsFileText();
// Appends one key and its subkeys; a key that does not exist adds nothing.
void ExportRegistryKey(std::string& out, std::string_view keyPath);
// Reads a settings file into the store: every "[" line opens (creating) the
// key after its first backslash under HKEY_CURRENT_USER, whatever root it
// names; every quoted value line under an open key is written as a string,
// its escapes undone (a backslash that starts none stays).
void ImportRegFile(std::string_view text);
// Deletes both keys with all their content.
void resetSettings();

} // namespace vell
