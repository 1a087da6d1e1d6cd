// Shared window behaviour of the configuration manager's dialogs.
#include "config/ui/dialogbase.h"

#include "config/ui/folderpicker.h"
#include "platform/desktop.h"
#include "platform/paths.h"
#include "platform/ui/placement.h"
#include "platform/ui/qtsjis.h"
#include "sjis/cnf_ui.h"

#include <QApplication>
#include <QColorDialog>
#include <QComboBox>
#include <QFileDialog>
#include <QFileInfo>
#include <QHBoxLayout>
#include <QKeyEvent>
#include <QLineEdit>
#include <QPushButton>
#include <QThread>

#include <algorithm>

namespace cnf::ui {

namespace {

// Help command of a topic given by its context number.
constexpr int HelpContext = 1;
constexpr char HelpTopicProperty[] = "helpTopic";
// The bytes of the path a folder box was last given.
constexpr char FolderBytesProperty[] = "folderBytes";

QByteArray bytesOf(std::string_view sjis) {
    return QByteArray(sjis.data(), static_cast<qsizetype>(sjis.size()));
}

std::optional<std::string> openFileDialog(QWidget* owner, std::string_view title, std::string_view filter,
                                          std::string_view start) {
    QFileDialog dialog(owner, qs(title));
    dialog.setFileMode(QFileDialog::ExistingFile);
    dialog.setAcceptMode(QFileDialog::AcceptOpen);
    dialog.setNameFilters(plat::ui::qtFileFilter(filter).split(QStringLiteral(";;")));
    if (!start.empty()) {
        // The folder of the starting path when it exists, and its file name.
        plat::PathParts parts = plat::splitPath(start);
        std::string folder = parts.drive + parts.dir;
        if (auto os = plat::toOsPath(folder.empty() ? std::string_view(".") : std::string_view(folder));
            os && QFileInfo(QString::fromStdString(*os)).isDir())
            dialog.setDirectory(QString::fromStdString(*os));
        dialog.selectFile(qs(parts.name + parts.extension));
    }
    if (dialog.exec() != QDialog::Accepted || dialog.selectedFiles().isEmpty()) return std::nullopt;
    QByteArray utf8 = dialog.selectedFiles().first().toUtf8();
    return plat::fromOsName(std::string_view(utf8.constData(), static_cast<size_t>(utf8.size())));
}

std::optional<QColor> colorDialog(QWidget* owner, const QColor& initial) {
    QColor c = QColorDialog::getColor(initial, owner);
    if (!c.isValid()) return std::nullopt;
    return c;
}

Choosers platformChoosers() {
    return {[](QWidget* owner, std::string_view title, std::string_view start) {
                return pickFolder(owner, title, start);
            },
            openFileDialog, colorDialog};
}

} // namespace

bool guiAvailable() {
    auto* app = qobject_cast<QApplication*>(QCoreApplication::instance());
    return app && QThread::currentThread() == app->thread();
}

QString qs(std::string_view sjis) {
    return plat::ui::fromSjis(sjis);
}

DialogBase::DialogBase(QWidget* owner, const char* placement, std::string helpFile)
    : QDialog(owner, Qt::Dialog | Qt::WindowTitleHint | Qt::WindowSystemMenuHint | Qt::WindowCloseButtonHint),
      placement_(placement), helpFile_(std::move(helpFile)) {
    setWindowModality(Qt::ApplicationModal);
}

void DialogBase::showEvent(QShowEvent* event) {
    if (!placed_) {
        placed_ = true;
        plat::ui::LoadWindowSize(placement_, this);
        plat::ui::LoadWindowPosition(placement_, this);
    }
    QDialog::showEvent(event);
}

void DialogBase::done(int result) {
    plat::ui::SaveWindowPosition(placement_, this);
    plat::ui::SaveWindowSize(placement_, this);
    QDialog::done(result);
}

void DialogBase::keyPressEvent(QKeyEvent* event) {
    if (event->key() == Qt::Key_F1) {
        // The topic of the focused control or of the nearest parent that has one.
        int topic = 0;
        for (QWidget* w = focusWidget(); w && w != this && !topic; w = w->parentWidget())
            topic = helpTopic(w);
        plat::desktop::showHelp(helpFile_, HelpContext, topic);
        return;
    }
    QDialog::keyPressEvent(event);
}

void setHelpTopic(QWidget* widget, int topic) {
    widget->setProperty(HelpTopicProperty, topic);
}

int helpTopic(const QWidget* widget) {
    return widget->property(HelpTopicProperty).toInt();
}

int boxLimit(int designedBytes, std::string_view stored, int fieldBytes) {
    int storedBytes = static_cast<int>(std::min<size_t>(stored.size(), static_cast<size_t>(fieldBytes)));
    return std::max(designedBytes, storedBytes);
}

void setupEdit(QLineEdit* edit, std::string_view stored, int designedBytes, int fieldBytes) {
    edit->setValidator(new plat::ui::SjisByteValidator(boxLimit(designedBytes, stored, fieldBytes), edit));
    edit->setText(qs(stored));
}

std::string editedText(const QString& shown, std::string_view stored) {
    if (shown == qs(stored)) return std::string(stored);
    return plat::ui::toSjis(shown).value_or(std::string(stored));
}

void addItem(QComboBox* combo, std::string_view sjis) {
    combo->addItem(qs(sjis), bytesOf(sjis));
}

std::string itemBytes(const QComboBox* combo, int index) {
    QVariant data = combo->itemData(index);
    if (data.typeId() == QMetaType::QByteArray) return data.toByteArray().toStdString();
    return editedText(combo->itemText(index), "");
}

void setupFolderEdit(QLineEdit* edit, std::string_view stored, int designedBytes, int fieldBytes) {
    edit->setValidator(new plat::ui::SjisByteValidator(boxLimit(designedBytes, stored, fieldBytes), edit));
    setFolderText(edit, stored);
}

void setupFolderCombo(QComboBox* combo, std::string_view stored, int designedBytes, int fieldBytes) {
    combo->setEditable(true);
    combo->setInsertPolicy(QComboBox::NoInsert);
    combo->setValidator(new plat::ui::SjisByteValidator(boxLimit(designedBytes, stored, fieldBytes), combo));
    setFolderText(combo, stored);
}

QString shownFolder(std::string_view sjis) {
    return qs(plat::slashedPath(sjis));
}

void setFolderText(QLineEdit* edit, std::string_view path) {
    edit->setProperty(FolderBytesProperty, bytesOf(path));
    edit->setText(shownFolder(path));
}

void setFolderText(QComboBox* combo, std::string_view path) {
    combo->setProperty(FolderBytesProperty, bytesOf(path));
    combo->setEditText(shownFolder(path));
}

void addFolderItem(QComboBox* combo, std::string_view path) {
    combo->addItem(shownFolder(path), bytesOf(path));
}

std::string folderText(const QLineEdit* edit) {
    const std::string given = edit->property(FolderBytesProperty).toByteArray().toStdString();
    if (edit->text() == shownFolder(given)) return given;
    return editedText(edit->text(), given);
}

std::string folderText(const QComboBox* combo) {
    const std::string given = combo->property(FolderBytesProperty).toByteArray().toStdString();
    const QString shown = combo->currentText();
    if (shown == shownFolder(given)) return given;
    for (int i = 0; i < combo->count(); ++i)
        if (combo->itemText(i) == shown) return itemBytes(combo, i);
    return editedText(shown, given);
}

Choosers& choosers() {
    static Choosers current = platformChoosers();
    return current;
}

void resetChoosers() {
    choosers() = platformChoosers();
}

QHBoxLayout* okCancelRow(QDialog* dialog, std::function<void()> onOk) {
    auto* ok = new QPushButton(qs(utext::Ok), dialog);
    ok->setObjectName("ButtonOk");
    ok->setDefault(true);
    auto* cancel = new QPushButton(qs(utext::Cancel), dialog);
    cancel->setObjectName("ButtonCancel");
    cancel->setAutoDefault(false);
    QObject::connect(ok, &QPushButton::clicked, dialog, std::move(onOk));
    QObject::connect(cancel, &QPushButton::clicked, dialog, &QDialog::reject);
    auto* buttons = new QHBoxLayout;
    buttons->addStretch();
    buttons->addWidget(ok);
    buttons->addWidget(cancel);
    return buttons;
}

} // namespace cnf::ui
