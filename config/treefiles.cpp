// Encoding, decoding, reading and writing of the conf tree files.
#include "config/treefiles.h"

#include "base/sjis.h"
#include "config/confpath.h"
#include "platform/catalogue.h"
#include "platform/files.h"

#include <algorithm>
#include <cstdio>
#include <cstring>

namespace cnf {

namespace {

constexpr size_t RecordSize = sizeof(ConfNodeRec);

} // namespace

std::string cleanCaption(std::string_view text) {
    // CR, LF and TAB never occur as trail bytes, so bytewise removal is safe.
    // The leading TABs go (with any CR or LF among them), then every CR and
    // LF.
    size_t start = 0;
    while (start < text.size() && (text[start] == '\t' || text[start] == '\r' || text[start] == '\n')) ++start;
    text.remove_prefix(start);
    std::string out(text);
    std::erase_if(out, [](char c) { return c == '\r' || c == '\n'; });
    return out;
}

std::vector<TreeLine> parseTreeText(std::string_view bytes) {
    std::vector<std::string_view> text = plat::splitLines(bytes);
    std::vector<TreeLine> lines;
    lines.reserve(text.size());
    int prevDepth = -1;
    // A CR before the LF goes with the others cleanCaption removes.
    for (std::string_view line : text) {
        size_t tabs = 0;
        while (tabs < line.size() && line[tabs] == '\t') ++tabs;
        int depth = static_cast<int>(std::min<size_t>(tabs, static_cast<size_t>(prevDepth + 1)));
        lines.push_back({depth, cleanCaption(line.substr(tabs))});
        prevDepth = depth;
    }
    return lines;
}

DecodedTree decodeTree(std::string_view treeText, std::optional<std::string_view> records,
                       std::string_view programFolder) {
    DecodedTree tree;
    std::vector<TreeLine> lines = parseTreeText(treeText);
    size_t available = records ? records->size() / RecordSize : 0;
    tree.nodes.reserve(lines.size());
    for (size_t i = 0; i < lines.size(); ++i) {
        FlatNode n;
        n.depth = lines[i].depth;
        n.caption = std::move(lines[i].caption);
        if (i < available) {
            std::memcpy(&n.rec, records->data() + i * RecordSize, RecordSize);
            n.rec.ListLink = 0;
            if (n.rec.Kind == 1) {
                std::string stored(sjis::readField(n.rec.ConfPath));
                std::string rel = makeRelative(programFolder, stored);
                if (rel != stored) sjis::writeField(n.rec.ConfPath, rel);
            }
        } else {
            // A zero record: a net named after its caption.
            sjis::writeField(n.rec.NodeName, n.caption);
            tree.recordsMissing = true;
        }
        tree.nodes.push_back(std::move(n));
    }
    return tree;
}

void encodeTree(const std::vector<FlatNode>& nodes, std::string& treeText, std::string& records) {
    treeText.clear();
    records.clear();
    records.reserve(nodes.size() * RecordSize);
    for (const FlatNode& n : nodes) {
        treeText.append(static_cast<size_t>(std::max(n.depth, 0)), '\t');
        treeText += cleanCaption(n.caption);
        treeText += "\r\n";
        ConfNodeRec rec = n.rec;
        rec.ListLink = 0;
        records.append(reinterpret_cast<const char*>(&rec), RecordSize);
    }
}

bool readTreeFiles(std::string_view programFolder, std::vector<FlatNode>& nodes, bool report) {
    nodes.clear();
    std::string textPath = resolve(programFolder, configPath(TreeTextName));
    if (!plat::fileExists(textPath)) return true;
    auto text = plat::readWholeFile(textPath);
    if (!text) {
        if (report) plat::msg::showError(41042);
        return false;
    }
    auto records = plat::readWholeFile(resolve(programFolder, configPath(TreeRecordName)));
    DecodedTree tree =
        decodeTree(*text, records ? std::optional<std::string_view>(*records) : std::nullopt, programFolder);
    nodes = std::move(tree.nodes);
    if (tree.recordsMissing && report) plat::msg::showError(41042);
    return !tree.recordsMissing;
}

bool writeTreeFiles(std::string_view programFolder, const std::vector<FlatNode>& nodes, std::string* failed) {
    std::string text, records;
    encodeTree(nodes, text, records);
    plat::makeDirectory(resolve(programFolder, ConfigFolder));
    std::string textPath = resolve(programFolder, configPath(TreeTextName));
    std::string recordPath = resolve(programFolder, configPath(TreeRecordName));
    std::string scratch;
    std::string& failedPath = failed ? *failed : scratch;
    failedPath = textPath;
    plat::AtomicFile textFile(textPath), recordFile(recordPath);
    if (!textFile.isOpen() || !textFile.write(text) || !textFile.flush()) return false;
    failedPath = recordPath;
    if (!recordFile.isOpen() || !recordFile.write(records) || !recordFile.flush()) return false;
    // Both temporaries are whole; put them in place. Should the second rename
    // fail, the first file goes back to what it was so the pair stays matched.
    auto oldText = plat::readWholeFile(textPath);
    failedPath = textPath;
    if (!textFile.commit()) return false;
    failedPath = recordPath;
    if (!recordFile.commit()) {
        if (oldText)
            plat::writeWholeFileAtomic(textPath, *oldText);
        else
            plat::removeFile(textPath);
        return false;
    }
    failedPath.clear();
    return true;
}

} // namespace cnf
