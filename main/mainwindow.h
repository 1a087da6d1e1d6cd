// The main window: the tree of nets and confs, the command buttons, the
// version label, the status bar with the selected conf's memo and the help
// menu. The configuration manager's dialogs are bound by name at start; an
// event is started for the selected conf node.
#pragma once

#include "config/conftree.h"
#include "platform/loader.h"

#include <QMainWindow>

#include <memory>
#include <string>

class QLabel;
class QPushButton;
class QTreeView;

namespace cnf {
class ConfTreeModel;
}

namespace vell {

class TFormMain : public QMainWindow {
    Q_OBJECT
public:
    explicit TFormMain(QWidget* parent = nullptr);
    ~TFormMain() override;

    // The configuration manager's entries.
    using ConfigureEnvFn = int (*)(int);
    using ConfigureGameFn = int (*)(const char*, ConfNodeRec*);
    using ConfigureFolderFn = int (*)(const char*, ConfNodeRec*, void*);
    using ChangeTreeNodeConfFn = int (*)(void*, const char*, void*);

    // For the tests and the keys.
    cnf::ConfTree& tree() { return tree_; }
    QTreeView* treeView() const { return treeView_; }
    QPushButton* button(const char* name) const;
    bool dirty() const { return dirty_; }
    bool configurationManagerLoaded() const { return configureEnv_ != nullptr; }
    cnf::ConfNode* selectedNode() const;
    void selectNode(cnf::ConfNode* node);

    // The commands.
    void SpeedButtonGameClick();
    void SpeedButtonPropertyClick();
    void SpeedButtonFolderClick();
    void SpeedButtonConfigClick();
    void SpeedButtonBackupClick();
    void AboutVerClick();

signals:
    void closed();

protected:
    bool eventFilter(QObject* watched, QEvent* event) override;
    void closeEvent(QCloseEvent* event) override;
    void changeEvent(QEvent* event) override;

private:
    void loadTree();
    bool saveTree();
    void selectionChanged();
    void doubleClicked(const QModelIndex& index);
    void showButtonsFor(const cnf::ConfNode* node);

    std::string programFolder_;
    cnf::ConfTree tree_;
    cnf::ConfTreeModel* model_ = nullptr;
    plat::Library configurationManager_;
    ConfigureEnvFn configureEnv_ = nullptr;
    ConfigureGameFn configureGame_ = nullptr;
    ConfigureFolderFn configureFolder_ = nullptr;
    ChangeTreeNodeConfFn changeTreeNodeConf_ = nullptr;
    bool dirty_ = false;
    bool gameNodeSelected_ = false;
    bool reloading_ = false;
    bool closing_ = false;

    QTreeView* treeView_ = nullptr;
    QLabel* version_ = nullptr;
    QPushButton* game_ = nullptr;
    QPushButton* config_ = nullptr;
    QPushButton* end_ = nullptr;
    QPushButton* property_ = nullptr;
    QPushButton* backup_ = nullptr;
    QPushButton* folder_ = nullptr;
};

} // namespace vell
