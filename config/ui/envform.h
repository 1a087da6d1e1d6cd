// TFormConf, the environment dialog ("CV Vell 設定"): the configuration
// manager's main window with four pages: the conf tree, the message table,
// the desktop and the word lists. Changes stay in the dialog until "適用(&A)"
// or OK writes them: the tree files (and the removal of deleted confs'
// files), the message table and the display attributes. Cancel removes the
// files of the confs created since the last commit and writes nothing else.
// Message files may be dropped on the dialog while the message page is shown.
#pragma once

#include "base/confrecords.h"
#include "config/conftree.h"
#include "config/msgedit.h"
#include "config/ui/dialogbase.h"

#include <string>

class QPushButton;
class QTabWidget;

namespace cnf::ui {

class TreePage;
class MessagePage;
class DesktopPage;
class OtherPage;

class TFormConf : public DialogBase {
public:
    TFormConf(QWidget* owner, std::string_view programFolder);
    ~TFormConf() override;

    // Apply: false when the tree or the settings store could not be saved
    // (41042 shown once, and Apply stays enabled). Tree files that fail stop
    // Apply before anything else is written: no message table, no desktop.
    bool ButtonApplyClick();
    // OK: applies and closes with result 1; stays open when something could
    // not be saved.
    void ButtonOkClick();

    ConfTree& tree() { return tree_; }
    MessageTables& tables() { return tables_; }
    QTabWidget* pages() const { return pages_; }
    TreePage* treePage() const { return treePage_; }
    MessagePage* messagePage() const { return messagePage_; }
    DesktopPage* desktopPage() const { return desktopPage_; }
    OtherPage* otherPage() const { return otherPage_; }
    QPushButton* applyButton() const { return apply_; }

    // Files dropped on the dialog (Shift-JIS paths): taken only while the
    // message page is shown.
    void dropPaths(const std::vector<std::string>& paths);

    // Cancel: the confs created since the last commit lose their files.
    void reject() override;

protected:
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    void changed();
    bool messagePageShown() const;

    std::string folder_;
    ConfTree tree_;
    MessageTables tables_;
    DispAttribute disp_{};
    QTabWidget* pages_;
    TreePage* treePage_;
    MessagePage* messagePage_;
    DesktopPage* desktopPage_;
    OtherPage* otherPage_;
    QPushButton* apply_;
};

} // namespace cnf::ui
