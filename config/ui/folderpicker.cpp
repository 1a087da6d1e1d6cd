// The folder picker on Qt's directory chooser.
#include "config/ui/folderpicker.h"

#include "base/sjis.h"
#include "config/ui/dialogbase.h"
#include "platform/paths.h"

#include <QFileDialog>
#include <QFileInfo>

namespace cnf::ui {

std::optional<std::string> pickFolder(QWidget* owner, std::string_view title, std::string_view start) {
    QFileDialog dialog(owner, qs(title));
    dialog.setFileMode(QFileDialog::Directory);
    dialog.setOption(QFileDialog::ShowDirsOnly, true);
    if (start.size() > 3) {
        if (auto os = plat::toOsPath(start); os && QFileInfo(QString::fromStdString(*os)).isDir())
            dialog.setDirectory(QString::fromStdString(*os));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    QByteArray utf8 = dialog.selectedFiles().first().toUtf8();
    auto chosen = plat::fromOsName(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
    if (!chosen || chosen->empty() || chosen->size() >= FolderPathSize) return std::nullopt;
    return chosen;
}

bool pickFolder(QWidget* owner, std::string_view title, char* path) {
    if (!path) return false;
    auto chosen = pickFolder(owner, title, sjis::readField(path, FolderPathSize));
    if (!chosen) return false;
    sjis::writeField(path, FolderPathSize, *chosen);
    return true;
}

} // namespace cnf::ui
