// The conf tree model, its file round trip and the tree page's commands.
#include "config/conftree.h"

#include "base/sjis.h"
#include "config/conffile.h"
#include "config/confpath.h"
#include "config/treefiles.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "sjis/cnf_text.h"

#include <algorithm>
#include <filesystem>
#include <system_error>

namespace cnf {

namespace {

constexpr int CannotSaveTree = 41025;

std::unique_ptr<ConfNode> makeNode(const ConfNodeRec& rec, std::string caption) {
    auto node = std::make_unique<ConfNode>();
    node->rec = rec;
    node->rec.ListLink = 0;
    node->caption = std::move(caption);
    return node;
}

// Destroys nodes without recursing through their children.
void dismantle(NodeList& list) {
    NodeList pending = std::move(list);
    list.clear();
    while (!pending.empty()) {
        std::unique_ptr<ConfNode> n = std::move(pending.back());
        pending.pop_back();
        for (auto& c : n->children) pending.push_back(std::move(c));
        n->children.clear();
    }
}

// The OS path of a stored path, for comparing files.
std::optional<std::string> osPathOf(std::string_view programFolder, std::string_view path) {
    return plat::toOsPath(resolve(programFolder, path));
}

} // namespace

ConfTree::ConfTree(std::string programFolder) : folder_(folderOf(programFolder)) {}

ConfTree::~ConfTree() {
    dismantle(roots_);
}

const NodeList& ConfTree::childrenOf(const ConfNode* parent) const {
    return parent ? parent->children : roots_;
}

int ConfTree::rowOf(const ConfNode* node) const {
    if (!node) return -1;
    const NodeList& list = childrenOf(node->parent);
    for (size_t i = 0; i < list.size(); ++i)
        if (list[i].get() == node) return static_cast<int>(i);
    return -1;
}

int ConfTree::depthOf(const ConfNode* node) const {
    int depth = -1;
    for (; node; node = node->parent) ++depth;
    return depth;
}

std::vector<ConfNode*> ConfTree::preorder() const {
    // An explicit stack: a tree read from a file may be very deep.
    std::vector<ConfNode*> out;
    std::vector<ConfNode*> stack;
    for (auto it = roots_.rbegin(); it != roots_.rend(); ++it) stack.push_back(it->get());
    while (!stack.empty()) {
        ConfNode* n = stack.back();
        stack.pop_back();
        out.push_back(n);
        for (auto it = n->children.rbegin(); it != n->children.rend(); ++it) stack.push_back(it->get());
    }
    return out;
}

size_t ConfTree::size() const {
    return preorder().size();
}

bool ConfTree::isWithin(const ConfNode* node, const ConfNode* ancestor) {
    for (; node; node = node->parent)
        if (node == ancestor) return true;
    return false;
}

bool ConfTree::load() {
    std::vector<FlatNode> flat;
    bool ok = readTreeFiles(folder_, flat, true);
    assign(std::move(flat));
    return ok;
}

void ConfTree::assign(std::vector<FlatNode> flat) {
    if (observer_) observer_->beginReset();
    dismantle(roots_);
    // Depths never jump by more than one, so the path to the last node gives
    // every node's parent.
    std::vector<ConfNode*> path;
    for (FlatNode& f : flat) {
        path.resize(static_cast<size_t>(f.depth));
        ConfNode* parent = path.empty() ? nullptr : path.back();
        auto node = makeNode(f.rec, std::move(f.caption));
        node->parent = parent;
        path.push_back(node.get());
        siblings(parent).push_back(std::move(node));
    }
    if (observer_) observer_->endReset();
}

std::vector<FlatNode> ConfTree::flatten() const {
    std::vector<FlatNode> flat;
    std::vector<std::pair<const ConfNode*, int>> stack;
    for (auto it = roots_.rbegin(); it != roots_.rend(); ++it) stack.emplace_back(it->get(), 0);
    while (!stack.empty()) {
        auto [n, depth] = stack.back();
        stack.pop_back();
        flat.push_back({depth, n->caption, n->rec});
        for (auto it = n->children.rbegin(); it != n->children.rend(); ++it)
            stack.emplace_back(it->get(), depth + 1);
    }
    return flat;
}

bool ConfTree::save() const {
    std::string failed;
    if (writeTreeFiles(folder_, flatten(), &failed)) return true;
    plat::msg::showError(CannotSaveTree, {failed});
    return false;
}

void ConfTree::clear() {
    if (observer_) observer_->beginReset();
    dismantle(roots_);
    if (observer_) observer_->endReset();
}

ConfNode* ConfTree::insertAt(ConfNode* parent, size_t row, std::unique_ptr<ConfNode> node) {
    NodeList& list = siblings(parent);
    row = std::min(row, list.size());
    node->parent = parent;
    if (observer_) observer_->beginInsert(parent, static_cast<int>(row));
    ConfNode* raw = node.get();
    list.insert(list.begin() + static_cast<std::ptrdiff_t>(row), std::move(node));
    if (observer_) observer_->endInsert();
    return raw;
}

ConfNode* ConfTree::append(ConfNode* parent, const ConfNodeRec& rec, std::string_view caption) {
    return insertAt(parent, siblings(parent).size(), makeNode(rec, cleanCaption(caption)));
}

ConfNode* ConfTree::addNew(ConfNode* selected, NewKind kind) {
    ConfNodeRec rec{};
    if (kind == NewKind::Conf) {
        rec.Kind = 1;
        sjis::writeField(rec.NodeName, text::NewConfName);
        if (!createConfFile(folder_, rec)) return nullptr;
        created_.emplace_back(sjis::readField(rec.ConfPath));
    } else {
        rec.Kind = 0;
        sjis::writeField(rec.NodeName, text::NewNetName);
    }
    ConfNode* parent = selected && selected->isConf() ? selected->parent : selected;
    return insertAt(parent, siblings(parent).size(),
                    makeNode(rec, std::string(sjis::readField(rec.NodeName))));
}

ConfNode* ConfTree::copy(ConfNode* selected) {
    if (!selected) return nullptr;
    ConfNodeRec rec = selected->rec;
    std::string name = sjis::cut(cleanCaption(selected->caption + text::CopySuffix), NodeNameMax);
    sjis::writeField(rec.NodeName, name);
    if (selected->isConf()) {
        if (!createConfFile(folder_, rec, sjis::readField(selected->rec.ConfPath))) return nullptr;
        created_.emplace_back(sjis::readField(rec.ConfPath));
    }
    ConfNode* parent = selected->parent;
    return insertAt(parent, siblings(parent).size(), makeNode(rec, name));
}

ConfTree::DeleteResult ConfTree::remove(ConfNode* node, plat::msg::Style style) {
    if (!node || rowOf(node) < 0) return DeleteResult::Refused;
    if (!node->children.empty()) {
        plat::msg::showError(41001, {}, style);
        return DeleteResult::Refused;
    }
    if (node->isConf()) {
        if (plat::msg::confirm(40001, {node->caption}, style) != plat::notify::IdOk)
            return DeleteResult::Cancelled;
        deleted_.emplace_back(sjis::readField(node->rec.ConfPath));
    }
    ConfNode* parent = node->parent;
    int row = rowOf(node);
    NodeList& list = siblings(parent);
    if (observer_) observer_->beginRemove(parent, row);
    list.erase(list.begin() + row);
    if (observer_) observer_->endRemove();
    return DeleteResult::Deleted;
}

void ConfTree::rename(ConfNode* node, std::string_view text) {
    if (!node) return;
    node->caption = sjis::cut(cleanCaption(text), NodeNameMax);
    sjis::writeField(node->rec.NodeName, node->caption);
    if (observer_) observer_->nodeChanged(node);
}

void ConfTree::recordChanged(ConfNode* node) {
    if (!node) return;
    node->caption = std::string(sjis::readField(node->rec.NodeName));
    if (observer_) observer_->nodeChanged(node);
}

bool ConfTree::move(ConfNode* node, ConfNode* target, Drop where) {
    if (!node || node == target || rowOf(node) < 0) return false;
    if (target && (rowOf(target) < 0 || isWithin(target, node))) return false;
    ConfNode* parent = nullptr;
    size_t row = 0;
    switch (where) {
    case Drop::OnItem:
        if (!target) return false;
        if (target->isConf()) {
            parent = target->parent;
            row = static_cast<size_t>(rowOf(target));
        } else {
            parent = target;
            row = target->children.size();
        }
        break;
    case Drop::Below:
        parent = target ? target->parent : nullptr;
        row = siblings(parent).size();
        break;
    case Drop::Indent:
        if (!target) return false;
        parent = target->parent;
        row = static_cast<size_t>(rowOf(target));
        break;
    }
    ConfNode* from = node->parent;
    size_t fromRow = static_cast<size_t>(rowOf(node));
    // Dropping a node just before or just after itself changes nothing.
    if (from == parent && (row == fromRow || row == fromRow + 1)) return true;
    if (observer_) observer_->beginMove(from, static_cast<int>(fromRow), parent, static_cast<int>(row));
    NodeList& src = siblings(from);
    std::unique_ptr<ConfNode> owned = std::move(src[fromRow]);
    src.erase(src.begin() + static_cast<std::ptrdiff_t>(fromRow));
    if (from == parent && fromRow < row) --row;
    owned->parent = parent;
    NodeList& dst = siblings(parent);
    dst.insert(dst.begin() + static_cast<std::ptrdiff_t>(row), std::move(owned));
    if (observer_) observer_->endMove();
    return true;
}

void ConfTree::deleteConfFiles(const std::vector<std::string>& paths) const {
    // The files the saved tree still names are never deleted, whatever the
    // lists say (two nodes may share a file).
    std::vector<FlatNode> saved;
    readTreeFiles(folder_, saved, false);
    std::vector<std::string> referenced;
    for (const FlatNode& n : saved) {
        std::string_view p = sjis::readField(n.rec.ConfPath);
        if (p.empty()) continue;
        if (auto os = osPathOf(folder_, p)) referenced.push_back(*os);
    }
    for (const std::string& path : paths) {
        std::string file = resolve(folder_, path);
        if (!hasConfFileName(file) || !plat::isRegularFile(file)) continue;
        auto os = osPathOf(folder_, path);
        if (!os) continue;
        bool inUse = std::any_of(referenced.begin(), referenced.end(), [&](const std::string& r) {
            std::error_code ec;
            return std::filesystem::equivalent(r, *os, ec);
        });
        if (!inUse) plat::removeFile(file);
    }
}

bool ConfTree::commit() {
    if (!save()) return false;
    deleteConfFiles(deleted_);
    deleted_.clear();
    created_.clear();
    return true;
}

void ConfTree::cancel() {
    deleteConfFiles(created_);
    created_.clear();
}

} // namespace cnf
