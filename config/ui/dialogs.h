// The dialogs as calls: each shows its window modally and returns its result
// (1 OK, 2 cancelled). The entries used by the exports check first that
// windows can be shown at all; a caller without a running QApplication on its
// thread gets the cancelled answer and no window.
#pragma once

#include "base/confrecords.h"
#include "config/entries.h"

#include <string_view>

class QWidget;

namespace cnf::ui {

int runGameDialog(QWidget* owner, std::string_view programFolder, ConfFile& conf);
int runFolderDialog(QWidget* owner, std::string_view programFolder, FolderTexts& texts);
int runEnvironmentDialog(QWidget* owner, std::string_view programFolder);

// ConfigureEnv: the environment dialog on the running program's folder.
int configureEnvEntry();
// ConfigureGame and ConfigureFolder with their node checks.
int configureGameEntry(std::string_view programFolder, ConfNodeRec* node);
int configureFolderEntry(std::string_view programFolder, ConfNodeRec* node, ConfHeader* folders);

} // namespace cnf::ui
