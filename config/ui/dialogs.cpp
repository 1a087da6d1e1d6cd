// The dialog entries: node checks, the window system check and the windows.
#include "config/ui/dialogs.h"

#include "config/ui/envform.h"
#include "config/ui/folderform.h"
#include "config/ui/gameform.h"
#include "platform/paths.h"

namespace cnf::ui {

int runGameDialog(QWidget* owner, std::string_view programFolder, ConfFile& conf) {
    TFormGame form(owner, programFolder, conf);
    return form.exec() == QDialog::Accepted ? DialogOk : DialogCancel;
}

int runFolderDialog(QWidget* owner, std::string_view programFolder, FolderTexts& texts) {
    TFormFolder form(owner, programFolder, texts);
    return form.exec() == QDialog::Accepted ? DialogOk : DialogCancel;
}

int runEnvironmentDialog(QWidget* owner, std::string_view programFolder) {
    TFormConf form(owner, programFolder);
    return form.exec() == QDialog::Accepted ? DialogOk : DialogCancel;
}

int configureEnvEntry() {
    if (!guiAvailable()) return DialogCancel;
    return runEnvironmentDialog(nullptr, plat::programFolder());
}

int configureGameEntry(std::string_view programFolder, ConfNodeRec* node) {
    if (!node || node->Kind != 1) return 0;
    if (!guiAvailable()) return DialogCancel;
    return configureGame(programFolder, node,
                         [&](ConfFile& conf) { return runGameDialog(nullptr, programFolder, conf); });
}

int configureFolderEntry(std::string_view programFolder, ConfNodeRec* node, ConfHeader* folders) {
    if (!node || node->Kind == 1) return 0;
    if (!guiAvailable()) return DialogCancel;
    return configureFolder(
        node, folders, [&](FolderTexts& texts) { return runFolderDialog(nullptr, programFolder, texts); });
}

} // namespace cnf::ui
