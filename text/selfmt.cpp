// The template chooser window.
#include "text/selfmt.h"

#include "platform/paths.h"
#include "platform/ui/placement.h"
#include "platform/ui/qtsjis.h"
#include "sjis/velltext_text.h"
#include "text/templatelist.h"

#include <QApplication>
#include <QFileDialog>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QLineEdit>
#include <QPushButton>
#include <QTreeWidget>
#include <QVBoxLayout>

namespace vtext {

namespace {

constexpr const char* PlacementName = "Template";
constexpr int OutputPathLimit = 80;
constexpr const char* DefaultOutput = "output.txt";

std::optional<std::string> askWithDialog(QWidget* parent, const std::string& current) {
    QFileDialog dialog(parent, plat::ui::fromSjis(text::SaveDialogTitle));
    dialog.setAcceptMode(QFileDialog::AcceptSave);
    dialog.setFileMode(QFileDialog::AnyFile);
    dialog.setNameFilter(plat::ui::qtFileFilter(text::SaveDialogFilter));
    if (!current.empty()) {
        if (auto os = plat::toOsPath(current)) dialog.selectFile(QString::fromUtf8(os->c_str()));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    return plat::fromOsName(dialog.selectedFiles().first().toUtf8().toStdString());
}

} // namespace

TFormTemplate::TFormTemplate(std::string programFolder, std::string pattern, QWidget* parent)
    : QDialog(parent), programFolder_(std::move(programFolder)), pattern_(std::move(pattern)) {
    setObjectName("FormTemplate");
    setWindowTitle(plat::ui::fromSjis(std::string(text::ChooserCaption) + " - " + pattern_));

    list_ = new QTreeWidget(this);
    list_->setObjectName("ListViewTemplate");
    list_->setRootIsDecorated(false);
    list_->setSelectionMode(QAbstractItemView::SingleSelection);
    list_->setSelectionBehavior(QAbstractItemView::SelectRows);
    list_->setHeaderLabels({plat::ui::fromSjis(text::ColumnFile), plat::ui::fromSjis(text::ColumnTitle)});
    list_->header()->setSectionResizeMode(0, QHeaderView::ResizeToContents);

    path_ = new QLineEdit(this);
    path_->setObjectName("EditPath");
    path_->setValidator(new plat::ui::SjisByteValidator(OutputPathLimit, path_));
    path_->setText(QString::fromLatin1(DefaultOutput));

    auto* pathButton = new QPushButton(plat::ui::fromSjis(text::ButtonPath), this);
    pathButton->setObjectName("ButtonPath");
    ok_ = new QPushButton(plat::ui::fromSjis(text::ButtonOk), this);
    ok_->setObjectName("ButtonOk");
    ok_->setDefault(true);
    auto* cancel = new QPushButton(plat::ui::fromSjis(text::ButtonCancel), this);
    cancel->setObjectName("ButtonCancel");

    auto* pathRow = new QHBoxLayout;
    pathRow->addWidget(path_, 1);
    pathRow->addWidget(pathButton);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok_);
    buttons->addWidget(cancel);
    auto* layout = new QVBoxLayout(this);
    layout->addWidget(list_, 1);
    layout->addLayout(pathRow);
    layout->addLayout(buttons);

    connect(list_, &QTreeWidget::itemSelectionChanged, this, [this] { ListViewTemplateChange(); });
    connect(list_, &QTreeWidget::itemDoubleClicked, this, [this] {
        if (ok_->isEnabled()) ButtonOkClick();
    });
    connect(pathButton, &QPushButton::clicked, this, [this] { ButtonPathClick(); });
    connect(ok_, &QPushButton::clicked, this, [this] { ButtonOkClick(); });
    connect(cancel, &QPushButton::clicked, this, &QDialog::reject);
    askOutputPath = [this](const std::string& current) { return askWithDialog(this, current); };

    ListTemplates();
    ListViewTemplateChange();
    resize(480, 320);
    plat::ui::LoadWindowSize(PlacementName, this);
    plat::ui::LoadWindowPosition(PlacementName, this);
}

void TFormTemplate::ListTemplates() {
    list_->clear();
    for (const TemplateRow& row : vtext::ListTemplates(programFolder_, pattern_)) {
        auto* item = new QTreeWidgetItem(list_);
        item->setText(0, plat::ui::fromSjis(row.fileName));
        item->setText(1, plat::ui::fromSjis(row.title));
        item->setData(0, Qt::UserRole, QByteArray::fromStdString(row.fileName));
    }
}

void TFormTemplate::ListViewTemplateChange() {
    ok_->setEnabled(!list_->selectedItems().isEmpty());
}

void TFormTemplate::ButtonPathClick() {
    if (!askOutputPath) return;
    std::optional<std::string> chosen =
        askOutputPath(plat::ui::toSjis(path_->text()).value_or(std::string()));
    if (chosen && !chosen->empty()) path_->setText(plat::ui::fromSjis(*chosen));
}

void TFormTemplate::ButtonOkClick() {
    const QList<QTreeWidgetItem*> selected = list_->selectedItems();
    if (selected.isEmpty()) return;
    const std::string name = selected.first()->data(0, Qt::UserRole).toByteArray().toStdString();
    templatePath_ = templatePath(programFolder_, name);
    outputPath_ = plat::ui::toSjis(path_->text()).value_or(std::string());
    accept();
}

void TFormTemplate::done(int result) {
    plat::ui::SaveWindowPosition(PlacementName, this);
    plat::ui::SaveWindowSize(PlacementName, this);
    QDialog::done(result);
}

bool SelectTemplate(std::string_view programFolder, std::string_view pattern, std::string& templatePath,
                    std::string& outputPath) {
    if (!qobject_cast<QApplication*>(QCoreApplication::instance())) return false;
    TFormTemplate form{std::string(programFolder), std::string(pattern)};
    if (form.exec() != QDialog::Accepted) return false;
    templatePath = form.chosenTemplate();
    outputPath = form.chosenOutput();
    return true;
}

} // namespace vtext
