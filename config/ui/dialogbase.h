// What every window of the configuration manager shares: an application-
// modal dialog that restores its placement under its name when first shown
// and saves it when it closes, F1 for the help file; text boxes limited in
// Shift-JIS bytes that hand back a stored text's own bytes when the user
// left it alone; and the choosers of the platform (folder, file, colour)
// behind one replaceable set of functions.
#pragma once

#include "platform/catalogue.h"

#include <QColor>
#include <QDialog>
#include <QString>

#include <functional>
#include <optional>
#include <string>
#include <string_view>

class QComboBox;
class QHBoxLayout;
class QLineEdit;

namespace cnf::ui {

// True when windows can be shown: a QApplication runs and this is its thread.
bool guiAvailable();

// Shift-JIS bytes for display.
QString qs(std::string_view sjis);

class DialogBase : public QDialog {
public:
    // `placement` names the stored position and size; `helpFile` is what F1
    // opens.
    DialogBase(QWidget* owner, const char* placement, std::string helpFile);
    // Message boxes raised by this window.
    plat::msg::Style boxStyle() { return plat::msg::Style{true, this}; }

protected:
    void showEvent(QShowEvent* event) override;
    void done(int result) override;
    void keyPressEvent(QKeyEvent* event) override;

private:
    const char* placement_;
    std::string helpFile_;
    bool placed_ = false;
};

// The row of "OK" (ButtonOk, the default button, runs `onOk`) and
// "キャンセル" (ButtonCancel, rejects) at the right of a dialog's foot.
QHBoxLayout* okCancelRow(QDialog* dialog, std::function<void()> onOk);

// The help topic F1 opens while the control (or a child of it) has the
// focus; 0 for none.
void setHelpTopic(QWidget* widget, int topic);
int helpTopic(const QWidget* widget);

// The byte limit of a box over a stored text: the designed limit, widened to
// the stored text's length (never beyond the field) so that a longer stored
// text can still be edited down.
int boxLimit(int designedBytes, std::string_view stored, int fieldBytes);

// Sets up a line edit for a Shift-JIS text: shows it and limits edits.
void setupEdit(QLineEdit* edit, std::string_view stored, int designedBytes, int fieldBytes);

// What a box holds now, as Shift-JIS: the stored bytes when the shown text is
// still theirs (CP932 has more than one code for some characters), else the
// encoding of what the user typed (the validator lets no character without
// a Shift-JIS form in).
std::string editedText(const QString& shown, std::string_view stored);

// Combo box items that keep their Shift-JIS bytes beside the shown text.
void addItem(QComboBox* combo, std::string_view sjis);
std::string itemBytes(const QComboBox* combo, int index);

// Folder boxes: a line edit or an editable combo box over a folder or file
// path. They show every path with '/' only (plat::slashedPath), a stored
// "AkData\" as "AkData/" beside a chosen "/home/…/AkData", and hand back the
// bytes a path was given in while the box still shows it, so that a conf or
// a table nobody edited is written back byte for byte.
void setupFolderEdit(QLineEdit* edit, std::string_view stored, int designedBytes, int fieldBytes);
void setupFolderCombo(QComboBox* combo, std::string_view stored, int designedBytes, int fieldBytes);
// The text a folder box shows for a path.
QString shownFolder(std::string_view sjis);
// Shows `path` in the box and keeps its bytes.
void setFolderText(QLineEdit* edit, std::string_view path);
void setFolderText(QComboBox* combo, std::string_view path);
// A list item of a folder combo box: shown as a folder, its bytes kept.
void addFolderItem(QComboBox* combo, std::string_view path);
// What the box holds as Shift-JIS: the bytes last given to it, or those of
// the item it shows, while its text is theirs; else the encoding of what
// was typed.
std::string folderText(const QLineEdit* edit);
std::string folderText(const QComboBox* combo);

// The platform's choosers. Each returns nullopt when the user cancelled.
struct Choosers {
    // A folder: owner, title, starting folder (Shift-JIS, may be empty).
    std::function<std::optional<std::string>(QWidget*, std::string_view, std::string_view)> folder;
    // A file to open: owner, title, "desc|pat" filter, starting file or
    // folder (Shift-JIS).
    std::function<std::optional<std::string>(QWidget*, std::string_view, std::string_view, std::string_view)>
        openFile;
    // A colour.
    std::function<std::optional<QColor>(QWidget*, const QColor&)> color;
};
// The choosers in use (the platform's dialogs unless replaced).
Choosers& choosers();
// Puts the platform's dialogs back.
void resetChoosers();

} // namespace cnf::ui
