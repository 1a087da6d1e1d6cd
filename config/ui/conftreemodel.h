// The conf tree as a Qt item model over the shared conf-tree module: one
// column, the caption, a folder icon for a net and a document icon for a
// conf. Caption edits go back into the tree as Shift-JIS through the tree's
// rename rule; a caption with a character that has no Shift-JIS form is
// refused and the old one kept. The model follows every change of the tree
// through its observer interface, so the tree's commands can be called
// directly. With `movable` set, items may be dragged (the view moves them
// through the tree's Move command).
#pragma once

#include "config/conftree.h"

#include <QAbstractItemModel>

namespace cnf {

class ConfTreeModel : public QAbstractItemModel, public TreeObserver {
    Q_OBJECT
public:
    explicit ConfTreeModel(ConfTree& tree, QObject* parent = nullptr, bool movable = false);
    ~ConfTreeModel() override;

    ConfTree& tree() const { return tree_; }
    ConfNode* node(const QModelIndex& index) const;
    QModelIndex indexOf(const ConfNode* node) const;

    QModelIndex index(int row, int column, const QModelIndex& parent = {}) const override;
    QModelIndex parent(const QModelIndex& child) const override;
    int rowCount(const QModelIndex& parent = {}) const override;
    int columnCount(const QModelIndex& parent = {}) const override;
    QVariant data(const QModelIndex& index, int role) const override;
    bool setData(const QModelIndex& index, const QVariant& value, int role) override;
    Qt::ItemFlags flags(const QModelIndex& index) const override;

signals:
    // A caption was edited and stored.
    void captionEdited(cnf::ConfNode* node);

private:
    void beginInsert(ConfNode* parent, int row) override;
    void endInsert() override;
    void beginRemove(ConfNode* parent, int row) override;
    void endRemove() override;
    void beginMove(ConfNode* fromParent, int fromRow, ConfNode* toParent, int toRow) override;
    void endMove() override;
    void beginReset() override;
    void endReset() override;
    void nodeChanged(ConfNode* node) override;

    ConfTree& tree_;
    bool movable_;
};

} // namespace cnf
