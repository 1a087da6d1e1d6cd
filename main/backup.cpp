#include "main/backup.h"

#include "base/sjis.h"
#include "config/conffile.h"
#include "platform/catalogue.h"
#include "platform/codec.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "platform/ui/placement.h"
#include "platform/ui/qtsjis.h"
#include "sjis/main.h"

#include <QFileDialog>
#include <QGroupBox>
#include <QPushButton>
#include <QVBoxLayout>

#include <algorithm>

namespace vell {

namespace {

constexpr int CannotSaveConf = 41023;     // a conf exported to a file
constexpr int CannotSaveSettings = 41024; // the settings saved to a file
constexpr int NotAConfFile = 41043;

std::string askWithDialog(QWidget* parent, bool save, const std::string& title,
                          const std::string& defaultPath, const std::string& filter,
                          const std::string& extension) {
    QFileDialog dialog(parent, plat::ui::fromSjis(title));
    dialog.setAcceptMode(save ? QFileDialog::AcceptSave : QFileDialog::AcceptOpen);
    dialog.setFileMode(save ? QFileDialog::AnyFile : QFileDialog::ExistingFile);
    dialog.setNameFilter(plat::ui::qtFileFilter(filter));
    dialog.setDefaultSuffix(QString::fromLatin1(extension.c_str()));
    dialog.setOption(QFileDialog::DontConfirmOverwrite, true);
    if (auto os = plat::toOsPath(defaultPath)) dialog.selectFile(QString::fromUtf8(os->c_str()));
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return {};
    auto chosen = plat::fromOsName(dialog.selectedFiles().first().toUtf8().toStdString());
    return chosen.value_or(std::string());
}

} // namespace

std::string exportFileName(std::string_view confName) {
    std::string out;
    for (size_t p = 0, len; (len = sjis::charLength(confName, p)) != 0; p += len) {
        std::string_view ch = confName.substr(p, len);
        unsigned char c = static_cast<unsigned char>(ch[0]);
        bool reserved = len == 1 && (c < 0x20 || c == 0x7F ||
                                     std::string_view("\\/:*?\"<>|").find(ch[0]) != std::string_view::npos);
        // A byte with no character behind it cannot be spelled on disk either.
        out += reserved || !plat::cp932ToUtf8(ch) ? std::string_view("_") : ch;
    }
    return out;
}

TFormBackup::TFormBackup(QWidget* owner, cnf::ConfTree& tree, cnf::ConfNode* selected, bool gameNodeSelected,
                         std::string programFolder)
    : QDialog(owner), tree_(tree), selected_(selected), gameNodeSelected_(gameNodeSelected),
      programFolder_(std::move(programFolder)) {
    setWindowTitle(plat::ui::fromSjis(mt::BackupCaption));
    auto make = [this](const char* name, const char* caption) {
        auto* b = new QPushButton(plat::ui::fromSjis(caption), this);
        b->setObjectName(name);
        return b;
    };
    QPushButton* save = make("ButtonSave", mt::BackupSave);
    QPushButton* restore = make("ButtonRestore", mt::BackupRestore);
    QPushButton* init = make("ButtonInitialize", mt::BackupInitialize);
    QPushButton* saveGame = make("ButtonSaveGame", mt::BackupSaveGame);
    QPushButton* restoreGame = make("ButtonRestoreGame", mt::BackupRestoreGame);
    QPushButton* closeButton = make("ButtonClose", mt::BackupClose);
    saveGame->setEnabled(gameNodeSelected_ && selected_);

    auto* system = new QGroupBox(plat::ui::fromSjis(mt::BackupGroupSystem), this);
    auto* systemLayout = new QVBoxLayout(system);
    systemLayout->addWidget(save);
    systemLayout->addWidget(restore);
    systemLayout->addWidget(init);
    auto* game = new QGroupBox(plat::ui::fromSjis(mt::BackupGroupGame), this);
    auto* gameLayout = new QVBoxLayout(game);
    gameLayout->addWidget(saveGame);
    gameLayout->addWidget(restoreGame);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(system);
    layout->addWidget(game);
    layout->addWidget(closeButton, 0, Qt::AlignRight);
    // As wide as the buttons' texts need and the window manager needs to
    // show the whole caption.
    setMinimumWidth(std::max(layout->minimumSize().width(), plat::ui::captionWidth(windowTitle())));

    connect(save, &QPushButton::clicked, this, [this] { ButtonSaveClick(); });
    connect(restore, &QPushButton::clicked, this, [this] { ButtonRestoreClick(); });
    connect(init, &QPushButton::clicked, this, [this] { ButtonInitializeClick(); });
    connect(saveGame, &QPushButton::clicked, this, [this] { ButtonSaveGameClick(); });
    connect(restoreGame, &QPushButton::clicked, this, [this] { ButtonRestoreGameClick(); });
    connect(closeButton, &QPushButton::clicked, this, &QDialog::accept);

    askSavePath = [this](const std::string& t, const std::string& d, const std::string& f,
                         const std::string& e) { return askWithDialog(this, true, t, d, f, e); };
    askOpenPath = [this](const std::string& t, const std::string& d, const std::string& f,
                         const std::string& e) { return askWithDialog(this, false, t, d, f, e); };
}

QPushButton* TFormBackup::button(const char* name) const {
    return findChild<QPushButton*>(name);
}

void TFormBackup::ButtonSaveClick() {
    plat::msg::Style style{false, this};
    std::string path =
        askSavePath(mt::BackupSave, programFolder_ + "Config\\vellenv1.reg", mt::RegFilter, "reg");
    if (path.empty()) return;
    if (plat::fileExists(path)) {
        if (plat::msg::confirm(40006, {}, style) != plat::notify::IdOk) return;
    }
    // The old file is replaced only once the new one is complete.
    if (!plat::writeWholeFileAtomic(path, settingsFileText())) {
        plat::msg::showError(CannotSaveSettings, {path}, style);
        return;
    }
    plat::msg::inform(40008, {}, style);
}

void TFormBackup::ButtonRestoreClick() {
    plat::msg::Style style{false, this};
    std::string path =
        askOpenPath(mt::BackupRestore, programFolder_ + "Config\\vellenv1.reg", mt::RegFilter, "reg");
    if (path.empty()) return;
    if (!plat::isRegularFile(path)) {
        plat::msg::showError(41042, {}, style);
        return;
    }
    if (plat::msg::confirm(40007, {}, style) != plat::notify::IdOk) return;
    auto text = plat::readWholeFile(path);
    if (!text) {
        plat::msg::showErrorNaming(41042, path, style);
        return;
    }
    ImportRegFile(*text);
    plat::msg::inform(40009, {}, style);
}

void TFormBackup::ButtonInitializeClick() {
    plat::msg::Style style{false, this};
    if (plat::msg::showBox(40012, {}, plat::msg::CaptionError, plat::notify::Icon::Question,
                           plat::notify::Buttons::OkCancel, style) != plat::notify::IdOk)
        return;
    resetSettings();
}

void TFormBackup::ButtonSaveGameClick() {
    plat::msg::Style style{false, this};
    if (!selected_ || !selected_->isConf()) return;
    auto conf = cnf::readConf(programFolder_, sjis::readField(selected_->rec.ConfPath));
    if (!conf) return; // 41042 shown
    std::string name = exportFileName(sjis::readField(conf->Header.ConfName)) + ".vell";
    std::string path =
        askSavePath(mt::BackupSaveGame, programFolder_ + "Config\\" + name, mt::VellFilter, "vell");
    if (path.empty()) return;
    if (plat::fileExists(path) && plat::msg::confirm(40010, {}, style) != plat::notify::IdOk) return;
    if (!plat::writeWholeFileAtomic(path, cnf::confToBytes(*conf)))
        plat::msg::showError(CannotSaveConf, {path}, style);
}

void TFormBackup::ButtonRestoreGameClick() {
    std::string path = askOpenPath(mt::BackupRestoreGame, programFolder_ + "Config\\" + mt::ImportDefaultName,
                                   mt::VellFilter, "vell");
    if (path.empty()) return;
    auto bytes = plat::readWholeFile(path);
    auto conf = bytes ? cnf::confFromBytes(*bytes) : std::nullopt;
    if (!conf) {
        // A file that is there but too short for both records is no conf.
        if (bytes)
            plat::msg::showError(NotAConfFile, {path}, plat::msg::Style{false, this});
        else
            plat::msg::showError(41042, {}, plat::msg::Style{false, this});
        return;
    }
    ConfNodeRec rec{};
    rec.Kind = 1;
    if (!cnf::createConfFile(programFolder_, rec, path)) return;
    sjis::writeField(rec.NodeName, sjis::readField(conf->Header.ConfName));
    // The last child of a selected net, a root without a selection, else the
    // last sibling of the selected conf.
    cnf::ConfNode* parent = nullptr;
    if (selected_) parent = selected_->isConf() ? selected_->parent : selected_;
    tree_.append(parent, rec, sjis::readField(rec.NodeName));
}

} // namespace vell
