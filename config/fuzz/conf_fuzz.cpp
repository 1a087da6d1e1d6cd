// Fuzz target for the readers of the configuration files: a conf image, the
// two tree files decoded from bytes, and the decoded tree handed to the tree
// model and taken back, all in memory. Besides the sanitizers' checks it asserts the
// readers' promises: a conf is used only when whole and written back byte
// for byte, every tree line makes exactly one node, depths never jump, and
// a decoded tree encodes to files that decode to the same tree again.
//
// Input: bytes 0-1 (little-endian) are the length of the tree text; the tree
// text follows, the rest is the record file. The whole input is also read as
// a conf image.
#include "config/conffile.h"
#include "config/conftree.h"
#include "config/treefiles.h"
#include "platform/notify.h"

#include <algorithm>
#include <cstdint>
#include <cstdio>
#include <cstdlib>
#include <cstring>
#include <string>
#include <string_view>

#include "fuzz/fuzzcheck.h"

namespace {

void checkConf(std::string_view bytes) {
    auto conf = cnf::confFromBytes(bytes);
    FUZZ_CHECK(conf.has_value() == (bytes.size() >= cnf::ConfFileSize));
    if (conf) FUZZ_CHECK(cnf::confToBytes(*conf) == bytes.substr(0, cnf::ConfFileSize));
}

bool sameNodes(const std::vector<cnf::FlatNode>& a, const std::vector<cnf::FlatNode>& b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size(); ++i) {
        if (a[i].depth != b[i].depth || a[i].caption != b[i].caption) return false;
        if (std::memcmp(&a[i].rec, &b[i].rec, sizeof(ConfNodeRec)) != 0) return false;
    }
    return true;
}

// The decoded nodes through the tree model, as load() and save() hand them
// over: the model keeps every node, in the same order at the same depth.
// `given` is handed over (a copy equal to `nodes`), as load() hands its own.
void checkTreeModel(std::vector<cnf::FlatNode> given, const std::vector<cnf::FlatNode>& nodes) {
    static cnf::ConfTree tree("/nonexistent/program/");
    tree.assign(std::move(given));
    FUZZ_CHECK(tree.size() == nodes.size());
    FUZZ_CHECK(sameNodes(tree.flatten(), nodes));
    // The nodes go within the input that made them: libFuzzer runs an input
    // again to look for a leak whenever memory outlives it.
    tree.clear();
}

void checkTree(std::string_view text, std::string_view records) {
    const char folder[] = "/nonexistent/program/";
    cnf::DecodedTree tree = cnf::decodeTree(text, records, folder);
    // One node per line: per LF, and for a last line without one.
    size_t lines = static_cast<size_t>(std::count(text.begin(), text.end(), '\n'));
    if (!text.empty() && text.back() != '\n') ++lines;
    FUZZ_CHECK(tree.nodes.size() == lines);
    int prev = -1;
    for (const cnf::FlatNode& n : tree.nodes) {
        FUZZ_CHECK(n.depth >= 0 && n.depth <= prev + 1);
        FUZZ_CHECK(n.caption.find('\r') == std::string::npos && n.caption.find('\n') == std::string::npos);
        FUZZ_CHECK(n.rec.ListLink == 0);
        prev = n.depth;
    }
    std::string text2, records2;
    cnf::encodeTree(tree.nodes, text2, records2);
    FUZZ_CHECK(records2.size() == tree.nodes.size() * sizeof(ConfNodeRec));
    cnf::DecodedTree again = cnf::decodeTree(text2, records2, folder);
    FUZZ_CHECK(!again.recordsMissing);
    FUZZ_CHECK(sameNodes(tree.nodes, again.nodes));
    checkTreeModel(std::move(again.nodes), tree.nodes);
}

} // namespace

extern "C" int LLVMFuzzerTestOneInput(const uint8_t* data, size_t size) {
    static bool quiet = (plat::notify::setHeadlessEcho(false), true);
    (void)quiet;
    std::string_view all(reinterpret_cast<const char*>(data), size);
    checkConf(all);
    if (size < 2) return 0;
    size_t textLen = std::min<size_t>(data[0] | (data[1] << 8), size - 2);
    std::string_view text = all.substr(2, textLen);
    std::string_view records = all.substr(2 + textLen);
    checkTree(text, records);
    return 0;
}
