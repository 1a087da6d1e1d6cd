// The conf tree as the main window's tree view shows it: a Qt item model over
// the shared conf-tree module (one column, the caption; a folder icon for a
// net, a document icon for a conf). Caption edits go back into the tree as
// Shift-JIS; a caption with a character that has no Shift-JIS form is
// refused and the old one kept.
#pragma once

#include "config/conftree.h"

#include <QAbstractItemModel>

namespace vell {

class ConfTreeModel : public QAbstractItemModel, public cnf::TreeObserver {
    Q_OBJECT
public:
    explicit ConfTreeModel(cnf::ConfTree& tree, QObject* parent = nullptr);
    ~ConfTreeModel() override;

    cnf::ConfNode* node(const QModelIndex& index) const;
    QModelIndex indexOf(const cnf::ConfNode* node) const;

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
    // cnf::TreeObserver
    void beginInsert(cnf::ConfNode* parent, int row) override;
    void endInsert() override;
    void beginRemove(cnf::ConfNode* parent, int row) override;
    void endRemove() override;
    void beginMove(cnf::ConfNode* fromParent, int fromRow, cnf::ConfNode* toParent, int toRow) override;
    void endMove() override;
    void beginReset() override;
    void endReset() override;
    void nodeChanged(cnf::ConfNode* node) override;

    cnf::ConfTree& tree_;
};

} // namespace vell
