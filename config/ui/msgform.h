// TFormMsg, the message entry dialog: one entry of the message table (a
// pilot, computer or announcer entry) as its name, path, four triggers and
// four words. An announcer shows only its name, its path and, in the first
// trigger box, its speaker name. A message file dropped on the dialog, or
// chosen with "メッセージの場所", becomes the path through the message-path
// rule; a dropped archive also names an unnamed entry.
#pragma once

#include "config/msgedit.h"
#include "config/ui/dialogbase.h"

#include <array>
#include <string>

class QGroupBox;
class QLineEdit;

namespace cnf::ui {

class TFormMsg : public DialogBase {
public:
    TFormMsg(QWidget* owner, std::string_view programFolder, MsgKind mode, MsgEntryTexts& entry);

    void ButtonOkClick();
    void ButtonPathClick();
    // Files dropped on the dialog (Shift-JIS paths); the first one counts.
    void dropPaths(const std::vector<std::string>& paths);

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    // Puts a path into the path box; false when it does not fit the entry.
    bool setPath(const std::string& path);

    MsgKind mode_;
    MsgEntryTexts& entry_;
    QLineEdit* name_;
    QLineEdit* path_;
    std::array<QLineEdit*, 4> triggers_{};
    std::array<QLineEdit*, 4> words_{};
};

// The Shift-JIS paths of the local files of a drop.
std::vector<std::string> droppedPaths(const QDropEvent* event);

} // namespace cnf::ui
