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
    // The conf is read (and a missing one reported) before any window; a
    // caller without windows gets the cancelled answer after that.
    bool gui = guiAvailable();
    return configureGame(programFolder, node, [&](ConfFile& conf) {
        return gui ? runGameDialog(nullptr, programFolder, conf) : DialogCancel;
    });
}

int configureFolderEntry(std::string_view programFolder, ConfNodeRec* node, ConfHeader* folders) {
    bool gui = guiAvailable();
    return configureFolder(node, folders, [&](FolderTexts& texts) {
        return gui ? runFolderDialog(nullptr, programFolder, texts) : DialogCancel;
    });
}

} // namespace cnf::ui
