// The tree page of the environment dialog.
#include "config/ui/treepage.h"

#include "config/entries.h"
#include "config/treefolders.h"
#include "config/ui/dialogbase.h"
#include "config/ui/dialogs.h"
#include "config/ui/selconf.h"
#include "sjis/cnf_ui.h"

#include <QDrag>
#include <QDragEnterEvent>
#include <QDropEvent>
#include <QHBoxLayout>
#include <QMimeData>
#include <QPushButton>
#include <QVBoxLayout>

namespace cnf::ui {

namespace {

constexpr char NodeMime[] = "application/x-vell-confnode";

QPushButton* makeButton(QWidget* parent, const char* name, const char* text) {
    auto* b = new QPushButton(qs(text), parent);
    b->setObjectName(name);
    b->setAutoDefault(false);
    return b;
}

} // namespace

ConfTreeView::ConfTreeView(ConfTreeModel* model, QWidget* parent) : QTreeView(parent), model_(model) {
    setModel(model);
    setHeaderHidden(true);
    setDragEnabled(true);
    setAcceptDrops(true);
    setDropIndicatorShown(true);
    setDragDropMode(QAbstractItemView::InternalMove);
    setEditTriggers(QAbstractItemView::EditKeyPressed | QAbstractItemView::SelectedClicked);
}

bool ConfTreeView::dropAt(ConfNode* dragged, const QPoint& pos) {
    if (!dragged) return false;
    QModelIndex index = indexAt(pos);
    ConfNode* target = model_->node(index);
    ConfTree::Drop where = ConfTree::Drop::Below;
    if (target) where = pos.x() < visualRect(index).left() ? ConfTree::Drop::Indent : ConfTree::Drop::OnItem;
    if (!model_->tree().move(dragged, target, where)) return false;
    setCurrentIndex(model_->indexOf(dragged));
    if (moved) moved();
    return true;
}

void ConfTreeView::startDrag(Qt::DropActions) {
    // The view moves the node itself on the drop; nothing is removed after
    // the drag, whatever action it ends with.
    dragged_ = model_->node(currentIndex());
    if (!dragged_) return;
    auto* drag = new QDrag(this);
    auto* mime = new QMimeData;
    mime->setData(NodeMime, QByteArray());
    drag->setMimeData(mime);
    drag->exec(Qt::MoveAction);
    dragged_ = nullptr;
}

void ConfTreeView::dragEnterEvent(QDragEnterEvent* event) {
    if (event->source() == this && dragged_)
        event->acceptProposedAction();
    else
        event->ignore();
}

void ConfTreeView::dragMoveEvent(QDragMoveEvent* event) {
    if (event->source() == this && dragged_)
        event->acceptProposedAction();
    else
        event->ignore();
}

void ConfTreeView::dropEvent(QDropEvent* event) {
    if (event->source() != this || !dragged_) {
        event->ignore();
        return;
    }
    dropAt(dragged_, event->position().toPoint());
    event->acceptProposedAction();
}

TreePage::TreePage(ConfTree& tree, std::string programFolder, std::function<void()> changed, QWidget* parent)
    : QWidget(parent), tree_(tree), folder_(std::move(programFolder)), changed_(std::move(changed)) {
    setObjectName("TabSheetTree");
    model_ = new ConfTreeModel(tree_, this, true);
    view_ = new ConfTreeView(model_, this);
    view_->setObjectName("TreeViewConf");
    view_->moved = [this] { changed_(); };
    auto* add = makeButton(this, "ButtonNew", utext::New);
    property_ = makeButton(this, "ButtonProperty", utext::Property);
    delete_ = makeButton(this, "ButtonDelete", utext::Delete);
    copy_ = makeButton(this, "ButtonCopy", utext::Copy);
    connect(add, &QPushButton::clicked, this, [this] { ButtonNewClick(); });
    connect(property_, &QPushButton::clicked, this, [this] { ButtonPropertyClick(); });
    connect(delete_, &QPushButton::clicked, this, [this] { ButtonDeleteClick(); });
    connect(copy_, &QPushButton::clicked, this, [this] { ButtonCopyClick(); });
    connect(view_->selectionModel(), &QItemSelectionModel::currentChanged, this, [this] { updateButtons(); });
    connect(model_, &QAbstractItemModel::modelReset, this, [this] { updateButtons(); });
    connect(model_, &QAbstractItemModel::rowsRemoved, this, [this] { updateButtons(); });
    connect(model_, &ConfTreeModel::captionEdited, this, [this] { changed_(); });

    auto* buttons = new QVBoxLayout;
    for (QPushButton* b : {add, property_, delete_, copy_}) buttons->addWidget(b);
    buttons->addStretch();
    auto* layout = new QHBoxLayout(this);
    layout->addWidget(view_, 1);
    layout->addLayout(buttons);
    updateButtons();
}

ConfNode* TreePage::selected() const {
    return model_->node(view_->currentIndex());
}

void TreePage::select(ConfNode* node) {
    view_->setCurrentIndex(model_->indexOf(node));
}

void TreePage::updateButtons() {
    bool any = selected() != nullptr;
    property_->setEnabled(any);
    delete_->setEnabled(any);
    copy_->setEnabled(any);
}

void TreePage::ButtonNewClick() {
    TFormSelect ask(window(), folder_);
    if (ask.exec() != QDialog::Accepted) return;
    ConfNode* parentNode = selected();
    if (ConfNode* node = tree_.addNew(parentNode, ask.kind())) {
        if (node->parent) view_->expand(model_->indexOf(node->parent));
        select(node);
        changed_();
    }
}

void TreePage::ButtonCopyClick() {
    if (ConfNode* node = tree_.copy(selected())) {
        select(node);
        changed_();
    }
}

void TreePage::ButtonDeleteClick() {
    ConfNode* node = selected();
    if (!node) return;
    if (tree_.remove(node, plat::msg::Style{true, window()}) == ConfTree::DeleteResult::Deleted) changed_();
    updateButtons();
}

void TreePage::ButtonPropertyClick() {
    ConfNode* node = selected();
    if (!node) return;
    if (node->isConf()) {
        int r = configureGame(folder_, &node->rec,
                              [this](ConfFile& conf) { return runGameDialog(window(), folder_, conf); });
        if (r == DialogOk) {
            tree_.recordChanged(node);
            changed_();
        }
        return;
    }
    ConfHeader folders{};
    int r = configureFolder(&node->rec, &folders,
                            [this](FolderTexts& texts) { return runFolderDialog(window(), folder_, texts); });
    if (r == DialogOk) {
        changeTreeNodeConf(*node, folder_, folders);
        changed_();
    }
}

} // namespace cnf::ui
