// The environment dialog's window.
#include "config/ui/envform.h"

#include "config/confpath.h"
#include "config/dispattr.h"
#include "config/ui/desktoppage.h"
#include "config/ui/msgform.h"
#include "config/ui/msgpage.h"
#include "config/ui/otherpage.h"
#include "config/ui/treepage.h"
#include "platform/catalogue.h"
#include "platform/paths.h"
#include "platform/registry.h"
#include "sjis/cnf_ui.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QMimeData>
#include <QPushButton>
#include <QTabWidget>
#include <QVBoxLayout>

namespace cnf::ui {

namespace {
constexpr int CannotSaveSettings = 41024; // the settings store's file
} // namespace

TFormConf::TFormConf(QWidget* owner, std::string_view programFolder)
    : DialogBase(owner, "Conf", folderOf(programFolder) + "VellCnf.hlp>Ref"),
      folder_(folderOf(programFolder)), tree_(folder_) {
    setObjectName("FormConf");
    setWindowTitle(qs(utext::ConfCaption));
    setAcceptDrops(true);
    tree_.load();
    tables_.load();
    loadDispAttribute(disp_);

    auto onChange = [this] { changed(); };
    pages_ = new QTabWidget(this);
    pages_->setObjectName("PageControl");
    treePage_ = new TreePage(tree_, folder_, onChange, pages_);
    messagePage_ = new MessagePage(tables_, folder_, onChange, pages_);
    desktopPage_ = new DesktopPage(disp_, folder_, onChange, pages_);
    otherPage_ = new OtherPage(tables_.words, onChange, pages_);
    pages_->addTab(treePage_, qs(utext::PageTree));
    pages_->addTab(messagePage_, qs(utext::PageMessage));
    pages_->addTab(desktopPage_, qs(utext::PageDesktop));
    pages_->addTab(otherPage_, qs(utext::PageOther));
    treePage_->view()->expandAll();
    // Without a base message path nothing can be narrated: show where to set it.
    if (tables_.basePath.empty()) pages_->setCurrentWidget(messagePage_);

    auto* ok = new QPushButton(qs(utext::Ok), this);
    ok->setObjectName("ButtonOk");
    ok->setAutoDefault(false);
    auto* cancel = new QPushButton(qs(utext::Cancel), this);
    cancel->setObjectName("ButtonCancel");
    cancel->setAutoDefault(false);
    apply_ = new QPushButton(qs(utext::Apply), this);
    apply_->setObjectName("ButtonApply");
    apply_->setAutoDefault(false);
    apply_->setEnabled(false);
    connect(ok, &QPushButton::clicked, this, [this] { ButtonOkClick(); });
    connect(cancel, &QPushButton::clicked, this, [this] { reject(); });
    connect(apply_, &QPushButton::clicked, this, [this] { ButtonApplyClick(); });
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    buttons->addWidget(apply_);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(pages_);
    layout->addLayout(buttons);
    resize(560, 440);
}

TFormConf::~TFormConf() {
    // The pages' models watch the tree, which dies with the dialog.
    delete pages_;
}

void TFormConf::changed() {
    apply_->setEnabled(true);
}

bool TFormConf::ButtonApplyClick() {
    // Tree files that could not be saved stop Apply there (41025 shown by
    // the tree): nothing else is written, and Apply stays available.
    if (!tree_.commit()) return false;
    tables_.basePath = messagePage_->basePathText();
    otherPage_->store();
    bool stored = tables_.save();
    messagePage_->showBasePath();
    desktopPage_->store(disp_);
    stored = saveDispAttribute(disp_) && stored;
    // A settings store that could not be saved is no commit either: reported
    // like the tree files, and Apply stays available.
    if (!stored)
        plat::msg::showError(CannotSaveSettings, {plat::fromOsName(plat::reg::storePath()).value_or("")},
                             boxStyle());
    apply_->setEnabled(!stored);
    return stored;
}

void TFormConf::ButtonOkClick() {
    if (ButtonApplyClick()) accept();
}

void TFormConf::reject() {
    tree_.cancel();
    DialogBase::reject();
}

bool TFormConf::messagePageShown() const {
    return pages_->currentWidget() == messagePage_;
}

void TFormConf::dropPaths(const std::vector<std::string>& paths) {
    if (messagePageShown()) messagePage_->dropPaths(paths);
}

void TFormConf::dragEnterEvent(QDragEnterEvent* event) {
    if (messagePageShown() && event->mimeData() && event->mimeData()->hasUrls())
        event->acceptProposedAction();
    else
        event->ignore();
}

void TFormConf::dropEvent(QDropEvent* event) {
    if (!messagePageShown()) {
        event->ignore();
        return;
    }
    dropPaths(droppedPaths(event));
    event->acceptProposedAction();
}

} // namespace cnf::ui
