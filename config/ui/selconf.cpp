// The "new node" question of the tree page.
#include "config/ui/selconf.h"

#include "config/confpath.h"
#include "sjis/cnf_ui.h"

#include <QButtonGroup>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QPushButton>
#include <QRadioButton>
#include <QVBoxLayout>

namespace cnf::ui {

TFormSelect::TFormSelect(QWidget* owner, std::string_view programFolder)
    : DialogBase(owner, "Select", folderOf(programFolder) + "VellCnf.hlp") {
    setObjectName("FormSelect");
    setWindowTitle(qs(utext::SelectCaption));
    auto* group = new QGroupBox(this);
    group->setObjectName("RadioGroupKind");
    net_ = new QRadioButton(qs(utext::SelectNet), group);
    net_->setObjectName("RadioNet");
    conf_ = new QRadioButton(qs(utext::SelectConf), group);
    conf_->setObjectName("RadioConf");
    conf_->setChecked(true);
    auto* radios = new QVBoxLayout(group);
    radios->addWidget(net_);
    radios->addWidget(conf_);

    QHBoxLayout* buttons = okCancelRow(this, [this] { accept(); });
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(group);
    layout->addLayout(buttons);
}

ConfTree::NewKind TFormSelect::kind() const {
    return net_->isChecked() ? ConfTree::NewKind::Net : ConfTree::NewKind::Conf;
}

void TFormSelect::choose(ConfTree::NewKind kind) {
    (kind == ConfTree::NewKind::Net ? net_ : conf_)->setChecked(true);
}

} // namespace cnf::ui
