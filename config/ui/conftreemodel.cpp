// The Qt item model of the conf tree.
#include "config/ui/conftreemodel.h"

#include "platform/ui/qtsjis.h"

#include <QApplication>
#include <QStyle>

namespace cnf {

ConfTreeModel::ConfTreeModel(ConfTree& tree, QObject* parent, bool movable)
    : QAbstractItemModel(parent), tree_(tree), movable_(movable) {
    tree_.setObserver(this);
}

ConfTreeModel::~ConfTreeModel() {
    tree_.setObserver(nullptr);
}

ConfNode* ConfTreeModel::node(const QModelIndex& index) const {
    return index.isValid() ? static_cast<ConfNode*>(index.internalPointer()) : nullptr;
}

QModelIndex ConfTreeModel::indexOf(const ConfNode* n) const {
    if (!n) return {};
    return createIndex(tree_.rowOf(n), 0, const_cast<ConfNode*>(n));
}

QModelIndex ConfTreeModel::index(int row, int column, const QModelIndex& parent) const {
    if (column != 0 || row < 0) return {};
    const NodeList& list = tree_.childrenOf(node(parent));
    if (row >= static_cast<int>(list.size())) return {};
    return createIndex(row, 0, list[static_cast<size_t>(row)].get());
}

QModelIndex ConfTreeModel::parent(const QModelIndex& child) const {
    ConfNode* n = node(child);
    return n ? indexOf(n->parent) : QModelIndex();
}

int ConfTreeModel::rowCount(const QModelIndex& parent) const {
    if (parent.isValid() && parent.column() != 0) return 0;
    return static_cast<int>(tree_.childrenOf(node(parent)).size());
}

int ConfTreeModel::columnCount(const QModelIndex&) const {
    return 1;
}

QVariant ConfTreeModel::data(const QModelIndex& index, int role) const {
    ConfNode* n = node(index);
    if (!n) return {};
    switch (role) {
    case Qt::DisplayRole:
    case Qt::EditRole:
        return plat::ui::fromSjis(n->caption);
    case Qt::DecorationRole:
        return QApplication::style()->standardIcon(n->isConf() ? QStyle::SP_FileIcon : QStyle::SP_DirIcon);
    default:
        return {};
    }
}

bool ConfTreeModel::setData(const QModelIndex& index, const QVariant& value, int role) {
    ConfNode* n = node(index);
    if (!n || role != Qt::EditRole) return false;
    auto bytes = plat::ui::toSjis(value.toString());
    if (!bytes) return false; // no Shift-JIS form: keep the old caption
    tree_.rename(n, *bytes);
    emit dataChanged(index, index);
    emit captionEdited(n);
    return true;
}

Qt::ItemFlags ConfTreeModel::flags(const QModelIndex& index) const {
    if (!index.isValid()) return movable_ ? Qt::ItemIsDropEnabled : Qt::NoItemFlags;
    Qt::ItemFlags f = Qt::ItemIsEnabled | Qt::ItemIsSelectable | Qt::ItemIsEditable;
    if (movable_) f |= Qt::ItemIsDragEnabled | Qt::ItemIsDropEnabled;
    return f;
}

void ConfTreeModel::beginInsert(ConfNode* parent, int row) {
    beginInsertRows(indexOf(parent), row, row);
}
void ConfTreeModel::endInsert() {
    endInsertRows();
}
void ConfTreeModel::beginRemove(ConfNode* parent, int row) {
    beginRemoveRows(indexOf(parent), row, row);
}
void ConfTreeModel::endRemove() {
    endRemoveRows();
}
void ConfTreeModel::beginMove(ConfNode* fromParent, int fromRow, ConfNode* toParent, int toRow) {
    beginMoveRows(indexOf(fromParent), fromRow, fromRow, indexOf(toParent), toRow);
}
void ConfTreeModel::endMove() {
    endMoveRows();
}
void ConfTreeModel::beginReset() {
    beginResetModel();
}
void ConfTreeModel::endReset() {
    endResetModel();
}
void ConfTreeModel::nodeChanged(ConfNode* n) {
    QModelIndex i = indexOf(n);
    emit dataChanged(i, i);
}

} // namespace cnf
