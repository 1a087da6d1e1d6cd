// The folder picker: the platform's folder chooser in one call, owned by a
// window, with a title and a starting folder. A starting folder of more than
// three bytes that exists is where the chooser opens; shorter ones (a drive
// root such as "C:\") are not preselected. The chosen folder comes back as a
// Shift-JIS path only when it has a Shift-JIS form and fits the caller's
// 260-byte buffer.
#pragma once

#include <optional>
#include <string>
#include <string_view>

class QWidget;

namespace cnf::ui {

inline constexpr size_t FolderPathSize = 260;

// `start` is an absolute Shift-JIS path, or empty.
std::optional<std::string> pickFolder(QWidget* owner, std::string_view title, std::string_view start);

// The buffer form: `path` (FolderPathSize bytes) holds the starting folder on
// entry and the chosen one on return; false (buffer untouched) when nothing
// was chosen.
bool pickFolder(QWidget* owner, std::string_view title, char* path);

} // namespace cnf::ui
