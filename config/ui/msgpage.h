// The environment dialog's page "メッセージ": the user entries of the
// message table under the tabs "パイロット", "コンピュータ" and "アナウンサー"
// in one list, with New, Property, Delete, the message-table text, the
// import of the older program's settings, dropped message archives, and the
// base message path. The list shows the dialog's table, so switching tabs
// keeps unsaved entries.
#pragma once

#include "config/msgedit.h"

#include <QWidget>

#include <functional>
#include <string>

class QLineEdit;
class QTabBar;
class QTreeWidget;

namespace cnf::ui {

class MessagePage : public QWidget {
public:
    MessagePage(MessageTables& tables, std::string programFolder, std::function<void()> changed,
                QWidget* parent);

    MsgKind kind() const;
    void showKind(MsgKind kind);
    QTreeWidget* list() const { return list_; }
    QLineEdit* basePathBox() const { return basePath_; }

    // The base path as the box holds it (Shift-JIS).
    std::string basePathText() const;
    // Shows the table's base path (after Apply has put it through the rule).
    void showBasePath();

    void ButtonNewClick();
    void ButtonPropertyClick();
    void ButtonDeleteClick();
    void ButtonListClick();
    void ButtonImportClick();
    void ButtonBaseMessageClick();
    // Files dropped on the dialog (Shift-JIS paths).
    void dropPaths(const std::vector<std::string>& paths);

private:
    void fill();
    int selectedRow() const;

    MessageTables& tables_;
    std::string folder_;
    std::function<void()> changed_;
    QTabBar* tabs_;
    QTreeWidget* list_;
    QLineEdit* basePath_;
};

} // namespace cnf::ui
