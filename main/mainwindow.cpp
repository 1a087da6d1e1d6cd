#include "main/mainwindow.h"

#include "base/sjis.h"
#include "config/ui/conftreemodel.h"
#include "main/aboutbox.h"
#include "main/backup.h"
#include "main/eventlaunch.h"
#include "main/mcidevice.h"
#include "main/theme.h"
#include "platform/catalogue.h"
#include "platform/clock.h"
#include "platform/desktop.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "platform/random.h"
#include "platform/ui/host.h"
#include "platform/ui/placement.h"
#include "platform/ui/qtsjis.h"
#include "platform/version.h"
#include "sjis/main.h"

#include <QApplication>
#include <QCloseEvent>
#include <QHBoxLayout>
#include <QHeaderView>
#include <QKeyEvent>
#include <QLabel>
#include <QMenuBar>
#include <QPointer>
#include <QPushButton>
#include <QScreen>
#include <QStatusBar>
#include <QTreeView>
#include <QVBoxLayout>

#include <array>

namespace vell {

namespace {

QPushButton* makeButton(QWidget* parent, const char* objectName, const char* caption) {
    auto* b = new QPushButton(plat::ui::fromSjis(caption), parent);
    b->setObjectName(objectName);
    b->setFocusPolicy(Qt::NoFocus);
    b->setMinimumWidth(120);
    return b;
}

} // namespace

TFormMain::TFormMain(QWidget* parent)
    : QMainWindow(parent, Qt::Window | Qt::CustomizeWindowHint | Qt::WindowTitleHint |
                              Qt::WindowSystemMenuHint | Qt::WindowMinimizeButtonHint |
                              Qt::WindowCloseButtonHint),
      programFolder_(plat::programFolder()), tree_(plat::programFolder()) {
    setObjectName("FormMain");
    auto* central = new QWidget(this);
    treeView_ = new QTreeView(central);
    treeView_->setObjectName("TreeViewConf");
    treeView_->setHeaderHidden(true);
    treeView_->setExpandsOnDoubleClick(false);
    treeView_->setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
    version_ = new QLabel(central);
    version_->setObjectName("Version");
    game_ = makeButton(central, "SpeedButtonGame", mt::ButtonGame);
    property_ = makeButton(central, "SpeedButtonProperty", mt::ButtonProperty);
    folder_ = makeButton(central, "SpeedButtonFolder", mt::ButtonFolder);
    config_ = makeButton(central, "SpeedButtonConfig", mt::ButtonConfig);
    backup_ = makeButton(central, "SpeedButtonBackup", mt::ButtonBackup);
    end_ = makeButton(central, "SpeedButtonEnd", mt::ButtonEnd);

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {game_, property_, folder_, config_, backup_}) buttons->addWidget(b);
    buttons->addStretch();
    buttons->addWidget(version_, 0, Qt::AlignRight);
    buttons->addWidget(end_);
    auto* layout = new QHBoxLayout(central);
    layout->addWidget(treeView_, 1);
    layout->addLayout(buttons);
    setCentralWidget(central);
    statusBar()->setObjectName("StatusBarMain");
    statusBar()->setSizeGripEnabled(false);

    QMenu* help = menuBar()->addMenu(plat::ui::fromSjis(mt::MenuHelp));
    help->setObjectName("HelpGroup");
    QAction* contents = help->addAction(plat::ui::fromSjis(mt::MenuContents));
    QAction* keyword = help->addAction(plat::ui::fromSjis(mt::MenuKeyword));
    help->addSeparator();
    QAction* about = help->addAction(plat::ui::fromSjis(mt::MenuAbout));
    std::string helpFile = programFolder_ + "VellMain.hlp>Proc";
    connect(contents, &QAction::triggered, this, [helpFile] { plat::desktop::showHelp(helpFile, 1, 1); });
    connect(keyword, &QAction::triggered, this, [helpFile] { plat::desktop::showHelp(helpFile, 0, 0); });
    connect(about, &QAction::triggered, this, [this] { AboutVerClick(); });

    // 1. Version label and caption.
    plat::RcVersion rc("Vell.exe");
    const char* fileVersion = "";
    rc.FileVersion(&fileVersion);
    std::string versionText(fileVersion);
    if (versionText.size() > 255) versionText.resize(255);
    version_->setText(QStringLiteral("Version %1").arg(plat::ui::fromSjis(versionText)));
    setWindowTitle(QStringLiteral("Corvane Vell Ver.%1").arg(plat::ui::fromSjis(versionText)));

    // 4. The conf buttons wait for a conf node.
    property_->hide();
    game_->hide();
    dirty_ = false;

    // 5. The tree, expanded.
    model_ = new cnf::ConfTreeModel(tree_, this);
    treeView_->setModel(model_);
    reloading_ = true;
    loadTree();
    reloading_ = false;
    connect(treeView_->selectionModel(), &QItemSelectionModel::currentChanged, this,
            [this] { selectionChanged(); });
    connect(treeView_, &QTreeView::doubleClicked, this, [this](const QModelIndex& i) { doubleClicked(i); });
    connect(model_, &cnf::ConfTreeModel::captionEdited, this, [this](cnf::ConfNode*) { dirty_ = true; });

    // 6. The configuration manager; without it its buttons do nothing.
    if (configurationManager_.load(
            programFolder_, "vellcnf.dll",
            {"ConfigureEnv", "ConfigureGame", "ConfigureFolder", "ChangeTreeNodeConf"})) {
        configureEnv_ = configurationManager_.function<ConfigureEnvFn>("ConfigureEnv");
        configureGame_ = configurationManager_.function<ConfigureGameFn>("ConfigureGame");
        configureFolder_ = configurationManager_.function<ConfigureFolderFn>("ConfigureFolder");
        changeTreeNodeConf_ = configurationManager_.function<ChangeTreeNodeConfFn>("ChangeTreeNodeConf");
    } else {
        plat::msg::showError(41006, {}, plat::msg::Style{false, this});
    }

    // 7. Size limits around the designed 488 x 368.
    QScreen* screen = QGuiApplication::primaryScreen();
    int screenHeight = screen ? screen->availableGeometry().height() : 768;
    setMinimumSize(488, 368);
    setMaximumSize(788, std::max(368, screenHeight));
    resize(488, 368);

    // 8. The general random numbers from the clock.
    reloading_ = false;
    plat::random::seed(static_cast<uint32_t>(plat::clock::epochSeconds()));

    plat::ui::LoadWindowSize("Main", this);
    plat::ui::LoadWindowPosition("Main", this);

    treeView_->installEventFilter(this);
    installEventFilter(this);
    connect(game_, &QPushButton::clicked, this, [this] { SpeedButtonGameClick(); });
    connect(property_, &QPushButton::clicked, this, [this] { SpeedButtonPropertyClick(); });
    connect(folder_, &QPushButton::clicked, this, [this] { SpeedButtonFolderClick(); });
    connect(config_, &QPushButton::clicked, this, [this] { SpeedButtonConfigClick(); });
    connect(backup_, &QPushButton::clicked, this, [this] { SpeedButtonBackupClick(); });
    connect(end_, &QPushButton::clicked, this, [this] { close(); });
}

TFormMain::~TFormMain() {
    treeView_->setModel(nullptr);
}

QPushButton* TFormMain::button(const char* name) const {
    return findChild<QPushButton*>(name);
}

cnf::ConfNode* TFormMain::selectedNode() const {
    return model_->node(treeView_->currentIndex());
}

void TFormMain::selectNode(cnf::ConfNode* node) {
    treeView_->setCurrentIndex(model_->indexOf(node));
}

void TFormMain::loadTree() {
    tree_.load();
    treeView_->expandAll();
}

bool TFormMain::saveTree() {
    if (!tree_.save()) return false; // 41025 shown; the old files are whole
    dirty_ = false;
    return true;
}

void TFormMain::showButtonsFor(const cnf::ConfNode* node) {
    bool conf = node && node->isConf();
    property_->setVisible(conf);
    game_->setVisible(conf);
    folder_->setVisible(!conf);
    gameNodeSelected_ = conf;
    statusBar()->showMessage(conf ? plat::ui::fromSjis(sjis::readField(node->rec.NodeMemo)) : QString());
}

void TFormMain::selectionChanged() {
    if (reloading_) return;
    showButtonsFor(selectedNode());
}

void TFormMain::doubleClicked(const QModelIndex& index) {
    cnf::ConfNode* node = model_->node(index);
    if (!node) return;
    if (node->isConf())
        SpeedButtonGameClick();
    else
        SpeedButtonFolderClick();
}

void TFormMain::SpeedButtonGameClick() {
    cnf::ConfNode* node = selectedNode();
    if (!node || !node->isConf()) return;
    std::vector<ConfSource> confs;
    for (cnf::ConfNode* n : tree_.preorder())
        if (n->isConf())
            confs.push_back({std::string(sjis::readField(n->rec.NodeName)),
                             std::string(sjis::readField(n->rec.ConfPath))});
    bool busy = false;
    LaunchHooks hooks;
    hooks.owner = this;
    hooks.application = qApp;
    hooks.busy = [&busy] {
        QApplication::setOverrideCursor(Qt::WaitCursor);
        busy = true;
    };
    hooks.beforeGameStart = [this, &busy] {
        // The set-up window shows its own cursor.
        QApplication::restoreOverrideCursor();
        busy = false;
        setWindowState(windowState() | Qt::WindowMinimized);
    };
    hooks.afterGameStart = [this] { setWindowState(windowState() & ~Qt::WindowMinimized); };
    StartEvent(programFolder_, sjis::readField(node->rec.ConfPath), confs, hooks);
    if (busy) QApplication::restoreOverrideCursor();
}

void TFormMain::SpeedButtonPropertyClick() {
    cnf::ConfNode* node = selectedNode();
    if (!node || !configureGame_) return;
    if (configureGame_(programFolder_.c_str(), &node->rec) == 1) {
        dirty_ = true;
        tree_.recordChanged(node);
    }
}

void TFormMain::SpeedButtonFolderClick() {
    cnf::ConfNode* node = selectedNode();
    if (!node || !configureFolder_ || !changeTreeNodeConf_) return;
    std::array<char, 1368> buffer{};
    if (configureFolder_(programFolder_.c_str(), &node->rec, buffer.data()) == 1)
        changeTreeNodeConf_(node, programFolder_.c_str(), buffer.data());
}

void TFormMain::SpeedButtonConfigClick() {
    if (!configureEnv_) return;
    if (dirty_ && !saveTree()) return; // a failed save must not meet the dialog's own save
    configureEnv_(0);
    // The dialog may have applied changes even when it was cancelled at the
    // end, so the tree is always read again.
    reloading_ = true;
    treeView_->setUpdatesEnabled(false);
    loadTree();
    treeView_->setUpdatesEnabled(true);
    reloading_ = false;
    dirty_ = false;
    treeView_->setCurrentIndex(QModelIndex());
    property_->hide();
    game_->hide();
    folder_->show();
    gameNodeSelected_ = false;
    statusBar()->clearMessage();
}

void TFormMain::SpeedButtonBackupClick() {
    TFormBackup dialog(this, tree_, selectedNode(), gameNodeSelected_, programFolder_);
    dialog.exec();
    // An imported conf is a new node: the tree is saved with it.
    dirty_ = true;
}

void TFormMain::AboutVerClick() {
    plat::IniFile ini = OpenThemeIni(programFolder_);
    mciDevice player;
    std::string music = resolveThemeName(programFolder_, ini.readString("Music", "About", ""), "Music\\");
    if (!music.empty() && plat::isRegularFile(music) &&
        player.open(plat::desktop::MediaSequencer, music) == 0)
        player.play();
    TAboutBox box(programFolder_, this);
    box.exec();
    player.close();
}

bool TFormMain::eventFilter(QObject* watched, QEvent* event) {
    if (event->type() == QEvent::KeyPress && (watched == treeView_ || watched == this)) {
        auto* key = static_cast<QKeyEvent*>(event);
        if (key->key() == Qt::Key_F1) {
            plat::desktop::showHelp("vellmain.hlp>Proc", 1, 1);
            return true;
        }
        // While a caption is edited the editor has the keys.
        QWidget* focus = QApplication::focusWidget();
        if (focus && focus != treeView_ && treeView_->isAncestorOf(focus)) return false;
        cnf::ConfNode* node = selectedNode();
        if (node && node->isConf()) {
            switch (key->key()) {
            case Qt::Key_Return:
            case Qt::Key_Enter:
                SpeedButtonGameClick();
                return true;
            case Qt::Key_Escape:
                close();
                return true;
            case Qt::Key_Space:
                SpeedButtonPropertyClick();
                return true;
            default:
                break;
            }
        }
    }
    return QMainWindow::eventFilter(watched, event);
}

void TFormMain::closeEvent(QCloseEvent* event) {
    if (closing_) {
        event->accept();
        return;
    }
    closing_ = true;
    if (dirty_) saveTree(); // on failure the message was shown; the window closes all the same
    plat::ui::SaveWindowPosition("Main", this);
    plat::ui::SaveWindowSize("Main", this);
    event->accept();
    emit closed();
}

void TFormMain::changeEvent(QEvent* event) {
    QMainWindow::changeEvent(event);
    // The border has no maximise box. A window manager that draws one all the
    // same (or maximises on a double click of the caption) finds the window
    // back at its own size.
    if (event->type() == QEvent::WindowStateChange && (windowState() & Qt::WindowMaximized)) {
        QPointer<TFormMain> self(this);
        QMetaObject::invokeMethod(
            this,
            [self] {
                if (self) self->setWindowState(self->windowState() & ~Qt::WindowMaximized);
            },
            Qt::QueuedConnection);
    }
}

} // namespace vell
