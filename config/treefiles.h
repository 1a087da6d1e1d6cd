// The two conf tree files under Config: "VlTreeVw.Cf", the tree text (one
// line per node in pre-order: one TAB per level, the caption, CR LF), and
// "VlTreeVw.Dt", one raw ConfNodeRec per node in the same order. Line i pairs
// with record i, so every line makes a node, an empty one too.
//
// Reading is forgiving and never loses a node: a bare LF ends a line as well,
// a line more than one level deeper than the one before becomes a child of
// that line's node, a node without a record gets a zero record named after
// its caption, and records beyond the last line are dropped. Writing puts
// both files in place only when both were written whole.
#pragma once

#include "base/confrecords.h"

#include <optional>
#include <string>
#include <string_view>
#include <vector>

namespace cnf {

inline constexpr size_t NodeNameMax = sizeof(ConfNodeRec::NodeName) - 1; // 79 bytes

// One node as the files hold it, in pre-order.
struct FlatNode {
    int depth = 0;
    std::string caption;
    ConfNodeRec rec{};
};

// A caption as it is set: CR and LF removed, leading TABs removed.
std::string cleanCaption(std::string_view text);

// The lines of a tree text with their depths (clamped to one below the line
// before; the first line is a root).
struct TreeLine {
    int depth = 0;
    std::string caption;
};
std::vector<TreeLine> parseTreeText(std::string_view bytes);

// Both files decoded. ListLink is cleared; a conf's absolute ConfPath under
// the program folder becomes relative. `recordsMissing` tells that some node
// had no record (the record file missing or short).
struct DecodedTree {
    std::vector<FlatNode> nodes;
    bool recordsMissing = false;
};
DecodedTree decodeTree(std::string_view treeText, std::optional<std::string_view> records,
                       std::string_view programFolder);

// Both files' bytes; ListLink is written as 0.
void encodeTree(const std::vector<FlatNode>& nodes, std::string& treeText, std::string& records);

// Reads the tree files under programFolder\Config. A missing tree text gives
// an empty tree. False when the text could not be read or records were
// missing (message 41042 when `report` is set); the nodes read are kept.
bool readTreeFiles(std::string_view programFolder, std::vector<FlatNode>& nodes, bool report = true);

// Writes both files through temporaries, renamed only when both are whole.
// False (old files kept) on failure, with `failed` (when given) naming the
// file that could not be written; no message.
bool writeTreeFiles(std::string_view programFolder, const std::vector<FlatNode>& nodes,
                    std::string* failed = nullptr);

} // namespace cnf
