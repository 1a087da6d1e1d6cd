// The environment dialog's page "試合の設定": the conf tree with its New,
// Property, Delete and Copy buttons, caption editing in place, and moving
// nodes by drag and drop inside the tree. Property opens the game settings
// dialog on a conf (its file is rewritten when it is accepted) and the
// folder dialog on a net (its folders go to every conf below it at once).
// Every change is reported through `changed`.
#pragma once

#include "config/conftree.h"
#include "config/ui/conftreemodel.h"

#include <QTreeView>
#include <QWidget>

#include <functional>
#include <string>

class QPushButton;

namespace cnf::ui {

// The tree view: drags start from an item and may only land in this view.
class ConfTreeView : public QTreeView {
public:
    ConfTreeView(ConfTreeModel* model, QWidget* parent);
    // Where a node dropped at `pos` (viewport coordinates) goes: onto an item
    // (its last child, or before it when it is a conf), the indent left of an
    // item (before it), or below the last item (the last root). False when
    // the tree refused the move.
    bool dropAt(ConfNode* dragged, const QPoint& pos);
    std::function<void()> moved;

protected:
    void startDrag(Qt::DropActions supportedActions) override;
    void dragEnterEvent(QDragEnterEvent* event) override;
    void dragMoveEvent(QDragMoveEvent* event) override;
    void dropEvent(QDropEvent* event) override;

private:
    ConfTreeModel* model_;
    ConfNode* dragged_ = nullptr;
};

class TreePage : public QWidget {
public:
    TreePage(ConfTree& tree, std::string programFolder, std::function<void()> changed, QWidget* parent);

    ConfTreeView* view() const { return view_; }
    ConfTreeModel* model() const { return model_; }
    ConfNode* selected() const;
    void select(ConfNode* node);

    void ButtonNewClick();
    void ButtonPropertyClick();
    void ButtonDeleteClick();
    void ButtonCopyClick();

private:
    void updateButtons();

    ConfTree& tree_;
    std::string folder_;
    std::function<void()> changed_;
    ConfTreeModel* model_;
    ConfTreeView* view_;
    QPushButton* property_;
    QPushButton* delete_;
    QPushButton* copy_;
};

} // namespace cnf::ui
