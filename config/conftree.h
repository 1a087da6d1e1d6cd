// The conf tree: nets (folder nodes) and confs (one event's settings, each
// backed by a conf file), shared by the main window and the environment
// dialog. The model is plain data: each node owns its ConfNodeRec, its
// caption and its children; node pointers stay valid until the node is
// removed, so a Qt item model can use them as internal pointers. A
// TreeObserver hears about every insertion, removal, move, change and reload
// in the order a QAbstractItemModel wants them.
//
// The tree page's commands live here as well: New, Copy, Delete, Rename and
// Move, with the pending lists of conf files created and deleted since the
// last commit. A deleted conf keeps its file until the dialog commits (Apply
// or OK); a created one loses its file when the dialog is cancelled, so that
// Cancel leaves the Config folder as it was at the last commit. The lists
// hold copies of the paths, never the records of live nodes.
#pragma once

#include "base/confrecords.h"
#include "config/treefiles.h"
#include "platform/catalogue.h"

#include <memory>
#include <string>
#include <string_view>
#include <vector>

namespace cnf {

struct ConfNode {
    ConfNodeRec rec{};
    std::string caption; // Shift-JIS, as the tree shows it
    ConfNode* parent = nullptr;
    std::vector<std::unique_ptr<ConfNode>> children;

    // Only Kind 1 is a conf; any other kind behaves as a net.
    bool isConf() const { return rec.Kind == 1; }
};

using NodeList = std::vector<std::unique_ptr<ConfNode>>;

// Change notifications; rows are indexes among the parent's children (a null
// parent stands for the roots). A move reports the destination row counted
// before the node is taken out, as QAbstractItemModel::beginMoveRows does.
class TreeObserver {
public:
    virtual ~TreeObserver() = default;
    virtual void beginInsert(ConfNode* /*parent*/, int /*row*/) {}
    virtual void endInsert() {}
    virtual void beginRemove(ConfNode* /*parent*/, int /*row*/) {}
    virtual void endRemove() {}
    virtual void beginMove(ConfNode* /*fromParent*/, int /*fromRow*/, ConfNode* /*toParent*/, int /*toRow*/) {
    }
    virtual void endMove() {}
    virtual void beginReset() {}
    virtual void endReset() {}
    virtual void nodeChanged(ConfNode* /*node*/) {}
};

class ConfTree {
public:
    // An empty program folder stands for the running program's folder.
    explicit ConfTree(std::string programFolder = {});
    ~ConfTree();
    ConfTree(const ConfTree&) = delete;
    ConfTree& operator=(const ConfTree&) = delete;

    const std::string& programFolder() const { return folder_; }
    void setObserver(TreeObserver* observer) { observer_ = observer; }

    // ---- Structure ----
    const NodeList& roots() const { return roots_; }
    // The children of parent, or the roots for null.
    const NodeList& childrenOf(const ConfNode* parent) const;
    // Index of the node among its siblings; -1 for null.
    int rowOf(const ConfNode* node) const;
    int depthOf(const ConfNode* node) const;
    // Every node, parents before their children (the files' order).
    std::vector<ConfNode*> preorder() const;
    size_t size() const;
    bool empty() const { return roots_.empty(); }
    // True when node lies in the subtree of ancestor (ancestor included).
    static bool isWithin(const ConfNode* node, const ConfNode* ancestor);

    // ---- Files ----
    // Replaces the tree with the files' content (empty when there are none).
    // False when a fault was reported (41042); the nodes read are kept.
    bool load();
    // Writes both files; on failure reports 41025 naming the file that could
    // not be written, keeps the old files and returns false. The pending lists are not touched.
    bool save() const;
    // The in-memory halves of load() and save(): the tree replaced by nodes
    // in the files' order, and the tree in that order.
    void assign(std::vector<FlatNode> flat);
    std::vector<FlatNode> flatten() const;
    void clear();

    // Appends a node with the given record and caption as the last child of
    // parent (a root for null): for loaders, tools and tests.
    ConfNode* append(ConfNode* parent, const ConfNodeRec& rec, std::string_view caption);

    // ---- Commands of the tree page ----
    enum class NewKind { Net, Conf };
    // A new net "ネット名" or a new conf "大会名" with a new default conf file.
    // Placed as the last child of a selected net, the last sibling of a
    // selected conf, or the last root without a selection. Null when the conf
    // file could not be made (41042 shown).
    ConfNode* addNew(ConfNode* selected, NewKind kind);
    // A copy of the selected node (without its children) named caption +
    // " のコピー" (cut to 79 bytes), as the last sibling of the selection; a
    // conf's copy gets its own copy of the conf file. Null on failure.
    ConfNode* copy(ConfNode* selected);

    enum class DeleteResult { Deleted, Cancelled, Refused };
    // A conf asks first (40001) and goes onto the deleted list; a net without
    // children goes without a question; a node with children is refused
    // (41001). `style` places the boxes.
    DeleteResult remove(ConfNode* node, plat::msg::Style style = {});

    // Sets a caption typed by the user: CR, LF and leading TABs dropped, cut
    // to 79 bytes on a character boundary, and copied into NodeName.
    void rename(ConfNode* node, std::string_view text);
    // After the record was changed from outside (the settings dialog): the
    // caption follows NodeName.
    void recordChanged(ConfNode* node);

    // Drag and drop: where the drop landed relative to the target node.
    enum class Drop {
        OnItem, // the target's last child; before the target when it is a conf
        Below,  // the last sibling of the target (the last root without target)
        Indent, // before the target
    };
    // False when the move is not possible (no target where one is needed, or
    // a node dropped into its own subtree).
    bool move(ConfNode* node, ConfNode* target, Drop where);

    // ---- Pending lists ----
    const std::vector<std::string>& createdList() const { return created_; }
    const std::vector<std::string>& deletedList() const { return deleted_; }
    // Apply/OK: saves the tree, then deletes the deleted confs' files and
    // empties both lists. False when the save failed (nothing deleted, the
    // lists kept).
    bool commit();
    // Cancel: deletes the files of the confs created since the last commit
    // and empties the created list.
    void cancel();

private:
    NodeList& siblings(ConfNode* parent) { return parent ? parent->children : roots_; }
    ConfNode* insertAt(ConfNode* parent, size_t row, std::unique_ptr<ConfNode> node);
    void deleteConfFiles(const std::vector<std::string>& paths) const;

    std::string folder_;
    NodeList roots_;
    std::vector<std::string> created_;
    std::vector<std::string> deleted_;
    TreeObserver* observer_ = nullptr;
};

} // namespace cnf
