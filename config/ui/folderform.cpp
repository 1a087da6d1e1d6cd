// The folder dialog's window.
#include "config/ui/folderform.h"

#include "config/conffile.h"
#include "config/confpath.h"
#include "platform/files.h"
#include "sjis/cnf_ui.h"

#include <QGridLayout>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QPushButton>
#include <QVBoxLayout>

namespace cnf::ui {

namespace {

constexpr const char* Captions[4] = {utext::AkInputButton, utext::AkOutputButton, utext::ResultButton,
                                     utext::WeaponButton};
constexpr int FolderBytes = static_cast<int>(FolderSize) - 1;

} // namespace

TFormFolder::TFormFolder(QWidget* owner, std::string_view programFolder, FolderTexts& texts)
    : DialogBase(owner, "Folder", folderOf(programFolder) + "VellCnf.hlp"), folder_(folderOf(programFolder)),
      texts_(texts) {
    setObjectName("FormFolder");
    setWindowTitle(qs(utext::FolderCaption));
    auto* grid = new QGridLayout;
    for (int tag = 0; tag < 4; ++tag) {
        auto* button = new QPushButton(qs(Captions[tag]), this);
        button->setObjectName(QStringLiteral("ButtonFolder%1").arg(tag));
        button->setAutoDefault(false);
        auto* edit = new QLineEdit(this);
        edit->setObjectName(QStringLiteral("EditFolder%1").arg(tag));
        setupFolderEdit(edit, texts_[static_cast<size_t>(tag)], FolderBytes, FolderBytes);
        edits_[static_cast<size_t>(tag)] = edit;
        connect(button, &QPushButton::clicked, this, [this, tag] { FolderButtonClick(tag); });
        grid->addWidget(button, tag, 0);
        grid->addWidget(edit, tag, 1);
    }
    QHBoxLayout* buttons = okCancelRow(this, [this] { ButtonOkClick(); });
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(grid);
    layout->addLayout(buttons);
    resize(480, sizeHint().height());
}

void TFormFolder::FolderButtonClick(int tag) {
    if (tag < 0 || tag > 3) return;
    QLineEdit* box = edits_[static_cast<size_t>(tag)];
    std::string current = folderText(box);
    std::string start;
    if (!current.empty() && plat::isDirectory(resolve(folder_, current))) start = resolve(folder_, current);
    auto chosen = choosers().folder(this, Captions[tag], start);
    // A folder longer than the conf's field would be stored cut: refused.
    if (!chosen || chosen->size() > static_cast<size_t>(FolderBytes)) return;
    setFolderText(box, *chosen);
}

void TFormFolder::ButtonOkClick() {
    for (size_t i = 0; i < edits_.size(); ++i) texts_[i] = folderText(edits_[i]);
    accept();
}

} // namespace cnf::ui
