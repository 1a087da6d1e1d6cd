// The message entry dialog's window.
#include "config/ui/msgform.h"

#include "base/sjis.h"
#include "config/confpath.h"
#include "platform/paths.h"
#include "sjis/cnf_ui.h"

#include <QDragEnterEvent>
#include <QDropEvent>
#include <QFormLayout>
#include <QGroupBox>
#include <QHBoxLayout>
#include <QLineEdit>
#include <QMimeData>
#include <QPushButton>
#include <QUrl>
#include <QVBoxLayout>

namespace cnf::ui {

namespace {

// The boxes' designed limits.
constexpr int TriggerBoxBytes = 16;
constexpr int NameFieldBytes = static_cast<int>(IdBytes);
constexpr int PathFieldBytes = static_cast<int>(PathBytes);
constexpr int WordFieldBytes = static_cast<int>(WordBytes);
constexpr int ComputerWordsTopic = 1224;
constexpr int AnnouncerNameTopic = 1225;

bool isArchive(std::string_view path) {
    std::string ext = plat::splitPath(path).extension;
    return plat::equalsIgnoreCase(ext, ".KWP");
}

} // namespace

std::vector<std::string> droppedPaths(const QDropEvent* event) {
    std::vector<std::string> paths;
    if (!event->mimeData() || !event->mimeData()->hasUrls()) return paths;
    for (const QUrl& url : event->mimeData()->urls()) {
        if (!url.isLocalFile()) continue;
        QByteArray utf8 = url.toLocalFile().toUtf8();
        if (auto p = plat::fromOsName(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size()))))
            paths.push_back(*p);
    }
    return paths;
}

TFormMsg::TFormMsg(QWidget* owner, std::string_view programFolder, MsgKind mode, MsgEntryTexts& entry)
    : DialogBase(owner, "SetMsg", folderOf(programFolder) + "VellCnf.hlp"), mode_(mode), entry_(entry) {
    setObjectName("FormMsg");
    setWindowTitle(qs(utext::MsgCaption));
    setAcceptDrops(true);
    bool announcer = mode == MsgKind::Announcer;

    name_ = new QLineEdit(this);
    name_->setObjectName("EditName");
    setupEdit(name_, entry_.id, NameFieldBytes, NameFieldBytes);
    path_ = new QLineEdit(this);
    path_->setObjectName("EditPath");
    setupFolderEdit(path_, entry_.path, PathFieldBytes, PathFieldBytes);
    auto* pathButton = new QPushButton(qs(utext::MsgPlace), this);
    pathButton->setObjectName("ButtonPath");
    pathButton->setAutoDefault(false);
    connect(pathButton, &QPushButton::clicked, this, [this] { ButtonPathClick(); });

    auto* triggerGroup = new QGroupBox(qs(announcer ? utext::AnnouncerName : utext::MsgTriggers), this);
    triggerGroup->setObjectName("GroupTrigger");
    auto* triggerRow = new QHBoxLayout(triggerGroup);
    auto* wordGroup =
        new QGroupBox(qs(mode == MsgKind::Computer ? utext::MasterWords : utext::PilotWords), this);
    wordGroup->setObjectName("GroupWords");
    auto* wordRow = new QHBoxLayout(wordGroup);
    for (size_t i = 0; i < 4; ++i) {
        triggers_[i] = new QLineEdit(triggerGroup);
        triggers_[i]->setObjectName(QStringLiteral("EditTrigger%1").arg(i + 1));
        setupEdit(triggers_[i], entry_.triggers[i], TriggerBoxBytes, NameFieldBytes);
        triggerRow->addWidget(triggers_[i]);
        triggers_[i]->setVisible(!announcer || i == 0);
        words_[i] = new QLineEdit(wordGroup);
        words_[i]->setObjectName(QStringLiteral("EditWord%1").arg(i + 1));
        setupEdit(words_[i], entry_.words[i], TriggerBoxBytes, WordFieldBytes);
        wordRow->addWidget(words_[i]);
    }
    wordGroup->setVisible(!announcer);
    // The help topics of the master's forms of address and the announcer's name.
    if (mode == MsgKind::Computer) setHelpTopic(wordGroup, ComputerWordsTopic);
    if (announcer) setHelpTopic(triggers_[0], AnnouncerNameTopic);

    // A file dropped anywhere on the dialog, a box included, is a message file.
    for (QLineEdit* box : findChildren<QLineEdit*>()) box->setAcceptDrops(false);

    auto* form = new QFormLayout;
    form->addRow(qs(utext::MsgName), name_);
    form->addRow(pathButton, path_);
    QHBoxLayout* buttons = okCancelRow(this, [this] { ButtonOkClick(); });
    auto* layout = new QVBoxLayout(this);
    layout->addLayout(form);
    layout->addWidget(triggerGroup);
    layout->addWidget(wordGroup);
    layout->addLayout(buttons);
}

bool TFormMsg::setPath(const std::string& path) {
    std::string p = messagePath(path);
    if (p.size() > PathBytes) return false; // a cut path would name another file
    setFolderText(path_, p);
    return true;
}

void TFormMsg::ButtonPathClick() {
    std::string current = folderText(path_);
    if (auto chosen = choosers().openFile(this, utext::MsgFileTitle, utext::MsgFilter, current))
        setPath(*chosen);
}

void TFormMsg::dropPaths(const std::vector<std::string>& paths) {
    if (paths.empty()) return;
    const std::string& file = paths.front();
    if (!setPath(file) || !isArchive(file)) return;
    std::string name = sjis::cut(plat::splitPath(file).name, IdBytes);
    if (name_->text().isEmpty()) name_->setText(qs(name));
    if (triggers_[0]->text().isEmpty()) triggers_[0]->setText(qs(name));
}

void TFormMsg::dragEnterEvent(QDragEnterEvent* event) {
    if (event->mimeData() && event->mimeData()->hasUrls()) event->acceptProposedAction();
}

void TFormMsg::dropEvent(QDropEvent* event) {
    dropPaths(droppedPaths(event));
    event->acceptProposedAction();
}

void TFormMsg::ButtonOkClick() {
    MsgEntryTexts e = entry_;
    e.id = editedText(name_->text(), entry_.id);
    e.path = messagePath(folderText(path_));
    for (size_t i = 0; i < 4; ++i) {
        if (mode_ != MsgKind::Announcer || i == 0)
            e.triggers[i] = editedText(triggers_[i]->text(), entry_.triggers[i]);
        if (mode_ != MsgKind::Announcer) e.words[i] = editedText(words_[i]->text(), entry_.words[i]);
    }
    entry_ = std::move(e);
    accept();
}

} // namespace cnf::ui
