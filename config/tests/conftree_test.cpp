// The conf tree: the file format, the forgiving reader, the commands of the
// tree page with their pending lists, and the bulk folder change.
#include "config/conffile.h"
#include "config/conftree.h"
#include "config/treefiles.h"
#include "config/treefolders.h"

#include "testenv.h"

#include <cstring>

using testsupport::hex;
using testsupport::readFile;
using testsupport::sj;
using testsupport::writeFile;

namespace {

class ConfTreeTest : public cnftest::ConfigTest {
protected:
    ConfNodeRec record(int kind, const std::string& name, const std::string& path = "",
                       const std::string& memo = "") {
        ConfNodeRec r{};
        r.Kind = kind;
        std::strcpy(r.NodeName, name.c_str());
        std::strcpy(r.ConfPath, path.c_str());
        std::strcpy(r.NodeMemo, memo.c_str());
        return r;
    }
    cnf::ConfNode* addConf(cnf::ConfTree& tree, cnf::ConfNode* parent, const std::string& name) {
        ConfNodeRec r = record(1, name);
        EXPECT_TRUE(cnf::createConfFile(folder(), r));
        return tree.append(parent, r, name);
    }
    std::string treeText() const { return readFile(config() / "VlTreeVw.Cf"); }
    std::string treeRecords() const { return readFile(config() / "VlTreeVw.Dt"); }
    static std::vector<std::string> captions(const cnf::ConfTree& tree) {
        std::vector<std::string> out;
        for (auto* n : tree.preorder()) out.push_back(std::string(tree.depthOf(n), '>') + n->caption);
        return out;
    }
};

TEST_F(ConfTreeTest, SavesPreOrderLinesAndRecords) {
    cnf::ConfTree tree(folder());
    ConfNodeRec net = record(0, "N");
    net.ListLink = 0xDEADBEEF;
    auto* n = tree.append(nullptr, net, "N");
    tree.append(n, record(1, "A", "Config\\VLCNF00000A", "memo A"), "A");
    tree.append(n, record(1, "B", "Config\\VLCNF00000B"), "B");
    ASSERT_TRUE(tree.save());
    EXPECT_EQ(hex(treeText()), "4E 0D 0A 09 41 0D 0A 09 42 0D 0A");
    std::string dt = treeRecords();
    ASSERT_EQ(dt.size(), 1272u);
    EXPECT_EQ(hex(dt.substr(0, 8)), "00 00 00 00 00 00 00 00");
    EXPECT_EQ(dt.substr(424 + 88, 19), std::string("Config\\VLCNF00000A\0", 19));
}

TEST_F(ConfTreeTest, NestedTreeReloadsByteIdentically) {
    cnf::ConfTree tree(folder());
    auto* north = tree.append(nullptr, record(0, sj("北辰ネット")), sj("北辰ネット"));
    auto* practice = tree.append(north, record(0, sj("練習会")), sj("練習会"));
    addConf(tree, practice, sj("ソフト杯"));
    addConf(tree, north, "Cup");
    tree.append(nullptr, record(0, "Empty"), "Empty");
    addConf(tree, nullptr, "Root conf");
    ASSERT_TRUE(tree.save());
    std::string cf = treeText(), dt = treeRecords();

    cnf::ConfTree again(folder());
    ASSERT_TRUE(again.load());
    EXPECT_EQ(captions(again), captions(tree));
    auto a = tree.preorder(), b = again.preorder();
    ASSERT_EQ(a.size(), b.size());
    for (size_t i = 0; i < a.size(); ++i)
        EXPECT_EQ(std::memcmp(&a[i]->rec, &b[i]->rec, sizeof(ConfNodeRec)), 0);
    ASSERT_TRUE(again.save());
    EXPECT_EQ(treeText(), cf);
    EXPECT_EQ(treeRecords(), dt);
    EXPECT_EQ(boxes(), 0);
}

TEST_F(ConfTreeTest, TreeFilesAreFoundInAnyCaseAndKeepTheirSpelling) {
    cnf::ConfTree tree(folder());
    tree.append(nullptr, record(0, "N"), "N");
    ASSERT_TRUE(tree.save());
    std::filesystem::rename(config() / "VlTreeVw.Cf", config() / "vltreevw.cf");
    std::filesystem::rename(config() / "VlTreeVw.Dt", config() / "VLTREEVW.DT");
    std::filesystem::rename(config(), program_ / "CONFIG");
    cnf::ConfTree again(folder());
    ASSERT_TRUE(again.load());
    ASSERT_EQ(again.size(), 1u);
    again.rename(again.roots()[0].get(), "M");
    ASSERT_TRUE(again.save());
    std::vector<std::string> names;
    for (const auto& e : std::filesystem::directory_iterator(program_ / "CONFIG"))
        names.push_back(e.path().filename().string());
    std::sort(names.begin(), names.end());
    EXPECT_EQ(names, (std::vector<std::string>{"VLTREEVW.DT", "vltreevw.cf"}));
    EXPECT_EQ(readFile(program_ / "CONFIG" / "vltreevw.cf"), "M\r\n");
}

TEST_F(ConfTreeTest, TreeTextReaderIsForgiving) {
    // Bare LF, an empty line, a jump of three levels, a last line without an
    // end, a first line with TABs, CRs inside a line.
    auto lines = cnf::parseTreeText("\t\tTop\r\n\t\t\t\tDeep\n\nX\r\tY\r\n\t\t\tZ");
    ASSERT_EQ(lines.size(), 5u);
    EXPECT_EQ(lines[0].depth, 0);
    EXPECT_EQ(lines[0].caption, "Top");
    EXPECT_EQ(lines[1].depth, 1);
    EXPECT_EQ(lines[2].depth, 0);
    EXPECT_EQ(lines[2].caption, "");
    EXPECT_EQ(lines[3].caption, "X\tY");
    EXPECT_EQ(lines[4].depth, 1);
    EXPECT_TRUE(cnf::parseTreeText("").empty());
    EXPECT_EQ(cnf::parseTreeText("\r\n").size(), 1u);
}

TEST_F(ConfTreeTest, CaptionLosesBreaksAndLeadingTabs) {
    // TABs are leading up to the first other byte, CRs and LFs among them.
    EXPECT_EQ(cnf::cleanCaption("\r\t\n\tA\tB\r\nC\n"), "A\tBC");
    EXPECT_EQ(cnf::cleanCaption("A\rB\rC\nD"), "ABCD");
    EXPECT_EQ(cnf::cleanCaption("A\nB\rC"), "ABC");
    EXPECT_EQ(cnf::cleanCaption("\t\r\n"), "");
}

TEST_F(ConfTreeTest, MissingRecordsGiveNamedNetsAndOneReport) {
    std::string longCaption;
    for (int i = 0; i < 42; ++i) longCaption += sj("あ");
    longCaption += "B";
    cnf::ConfTree tree(folder());
    tree.append(nullptr, record(1, "A", "Config\\VLCNF00000A"), "A");
    tree.append(nullptr, record(0, "B"), "B");
    ASSERT_TRUE(tree.save());
    std::string dt = treeRecords();
    writeFile(config() / "VlTreeVw.Cf", "A\r\n" + longCaption + "\r\n\tC\r\n");
    writeFile(config() / "VlTreeVw.Dt", dt.substr(0, 424 + 100)); // one whole record, one torn

    cnf::ConfTree loaded(folder());
    EXPECT_FALSE(loaded.load());
    EXPECT_EQ(shown(41042), 1);
    auto nodes = loaded.preorder();
    ASSERT_EQ(nodes.size(), 3u);
    EXPECT_TRUE(nodes[0]->isConf());
    EXPECT_EQ(nodes[1]->rec.Kind, 0);
    EXPECT_EQ(std::strlen(nodes[1]->rec.NodeName), 78u);
    EXPECT_EQ(nodes[1]->caption, longCaption);
    EXPECT_STREQ(nodes[2]->rec.NodeName, "C");
    EXPECT_EQ(nodes[2]->parent, nodes[1]);

    // Records beyond the last line are dropped; no record file at all is one report too.
    writeFile(config() / "VlTreeVw.Cf", "A\r\n");
    writeFile(config() / "VlTreeVw.Dt", dt);
    EXPECT_TRUE(loaded.load());
    EXPECT_EQ(loaded.size(), 1u);
    std::filesystem::remove(config() / "VlTreeVw.Dt");
    plat::notify::clearRecorded();
    EXPECT_FALSE(loaded.load());
    EXPECT_EQ(shown(41042), 1);
    EXPECT_EQ(loaded.size(), 1u);

    std::filesystem::remove(config() / "VlTreeVw.Cf");
    EXPECT_TRUE(loaded.load());
    EXPECT_TRUE(loaded.empty());
}

TEST_F(ConfTreeTest, AbsoluteConfPathsBecomeRelativeOnlyUnderTheProgramFolder) {
    std::string under = folder() + "Config\\VLCNF000001";
    std::string mixed = program_.string() + "\\Config\\VLCNF000002";
    std::string other = "C:\\CVV\\Config\\VLCNF000003";
    std::string dt;
    for (const std::string& p : {under, mixed, other, under}) {
        ConfNodeRec r = record(1, "x", p);
        dt.append(reinterpret_cast<const char*>(&r), sizeof r);
    }
    dt[3 * 424 + 4] = 0; // the last one is a net: its path is left alone
    auto tree = cnf::decodeTree("a\r\nb\r\nc\r\nd\r\n", dt, folder());
    ASSERT_EQ(tree.nodes.size(), 4u);
    EXPECT_STREQ(tree.nodes[0].rec.ConfPath, "Config\\VLCNF000001");
    EXPECT_STREQ(tree.nodes[1].rec.ConfPath, "Config\\VLCNF000002");
    EXPECT_EQ(std::string(tree.nodes[2].rec.ConfPath), other);
    EXPECT_EQ(std::string(tree.nodes[3].rec.ConfPath), under);
}

TEST_F(ConfTreeTest, NewAndCopyArePlacedAtTheEndOfTheRightList) {
    cnf::ConfTree tree(folder());
    auto* root = tree.addNew(nullptr, cnf::ConfTree::NewKind::Net);
    ASSERT_NE(root, nullptr);
    EXPECT_EQ(root->caption, sj("ネット名"));
    auto* first = tree.addNew(root, cnf::ConfTree::NewKind::Conf);
    tree.addNew(root, cnf::ConfTree::NewKind::Net);
    auto* sibling = tree.addNew(first, cnf::ConfTree::NewKind::Conf); // a conf selected: last sibling
    ASSERT_NE(sibling, nullptr);
    EXPECT_EQ(sibling->parent, root);
    EXPECT_EQ(tree.rowOf(sibling), 2);
    EXPECT_EQ(first->caption, sj("大会名"));
    EXPECT_STREQ(first->rec.NodeName, sj("大会名").c_str());

    auto* copy = tree.copy(first);
    ASSERT_NE(copy, nullptr);
    EXPECT_EQ(tree.rowOf(copy), 3);
    EXPECT_EQ(copy->caption, sj("大会名 のコピー"));
    EXPECT_STRNE(copy->rec.ConfPath, first->rec.ConfPath);
    EXPECT_EQ(readFile(file(copy->rec.ConfPath)), readFile(file(first->rec.ConfPath)));
    EXPECT_EQ(tree.createdList().size(), 3u);

    auto* netCopy = tree.copy(root);
    EXPECT_EQ(tree.rowOf(netCopy), 1);
    EXPECT_TRUE(netCopy->children.empty());
    EXPECT_EQ(tree.createdList().size(), 3u);

    // A long name is cut on a character boundary to 79 bytes.
    std::string name = "A";
    for (int i = 0; i < 38; ++i) name += sj("ソ");
    tree.rename(first, name);
    auto* longCopy = tree.copy(first);
    EXPECT_EQ(longCopy->caption, name + " ");
    EXPECT_EQ(std::string(longCopy->rec.NodeName), name + " ");
}

TEST_F(ConfTreeTest, RenameCutsOnCharacterBoundaries) {
    cnf::ConfTree tree(folder());
    auto* n = tree.append(nullptr, record(0, "x"), "x");
    auto repeat = [](const std::string& s, int k) {
        std::string out;
        for (int i = 0; i < k; ++i) out += s;
        return out;
    };
    tree.rename(n, repeat(sj("あ"), 42) + "B");
    EXPECT_EQ(n->caption.size(), 78u);
    tree.rename(n, "A" + repeat(sj("メ"), 42));
    EXPECT_EQ(n->caption.size(), 79u);
    tree.rename(n, repeat(sj("ソ"), 42) + "B");
    EXPECT_EQ(n->caption.size(), 78u);
    EXPECT_EQ(std::string(n->rec.NodeName), n->caption);
    tree.rename(n, "\t\tNew\r\nName");
    EXPECT_EQ(n->caption, "NewName");
}

TEST_F(ConfTreeTest, DeleteAsksForConfsAndRefusesParents) {
    cnf::ConfTree tree(folder());
    auto* net = tree.append(nullptr, record(0, "Net"), "Net");
    auto* conf = addConf(tree, net, "Cup");
    plat::notify::setHeadlessAnswer(plat::notify::IdCancel);
    EXPECT_EQ(tree.remove(conf), cnf::ConfTree::DeleteResult::Cancelled);
    EXPECT_EQ(shown(plat::msg::format(40001, {"Cup"})), 1);
    EXPECT_EQ(tree.remove(net), cnf::ConfTree::DeleteResult::Refused);
    EXPECT_EQ(shown(41001), 1);
    plat::notify::setHeadlessAnswer(0);
    std::string path = conf->rec.ConfPath;
    EXPECT_EQ(tree.remove(conf), cnf::ConfTree::DeleteResult::Deleted);
    EXPECT_EQ(tree.deletedList(), std::vector<std::string>{path});
    plat::notify::clearRecorded();
    EXPECT_EQ(tree.remove(net), cnf::ConfTree::DeleteResult::Deleted);
    EXPECT_EQ(boxes(), 0);
    EXPECT_TRUE(tree.empty());
    EXPECT_TRUE(std::filesystem::exists(file(path)));
}

TEST_F(ConfTreeTest, CommitAndCancelDeleteOnlyWhatTheyShould) {
    cnf::ConfTree tree(folder());
    auto* kept = addConf(tree, nullptr, "Kept");
    auto* gone = addConf(tree, nullptr, "Gone");
    ASSERT_TRUE(tree.save());
    std::string keptPath = kept->rec.ConfPath, gonePath = gone->rec.ConfPath;

    // Delete, then cancel: the file stays.
    tree.remove(gone);
    tree.cancel();
    EXPECT_TRUE(std::filesystem::exists(file(gonePath)));

    // Create and copy, then cancel: their files go, the source stays.
    auto* created = tree.addNew(nullptr, cnf::ConfTree::NewKind::Conf);
    auto* copied = tree.copy(kept);
    std::string createdPath = created->rec.ConfPath, copiedPath = copied->rec.ConfPath;
    tree.cancel();
    EXPECT_FALSE(std::filesystem::exists(file(createdPath)));
    EXPECT_FALSE(std::filesystem::exists(file(copiedPath)));
    EXPECT_TRUE(std::filesystem::exists(file(keptPath)));
    EXPECT_TRUE(tree.createdList().empty());
    EXPECT_EQ(tree.deletedList().size(), 1u);

    // Commit: the deleted conf's file goes, created ones stay.
    tree.load();
    tree.remove(tree.roots()[1].get());
    auto* fresh = tree.addNew(nullptr, cnf::ConfTree::NewKind::Conf);
    std::string freshPath = fresh->rec.ConfPath;
    ASSERT_TRUE(tree.commit());
    EXPECT_FALSE(std::filesystem::exists(file(gonePath)));
    EXPECT_TRUE(std::filesystem::exists(file(freshPath)));
    EXPECT_TRUE(tree.createdList().empty() && tree.deletedList().empty());
    tree.cancel();
    EXPECT_TRUE(std::filesystem::exists(file(freshPath)));
}

TEST_F(ConfTreeTest, FailedCommitDeletesNothing) {
    cnf::ConfTree tree(folder());
    tree.append(nullptr, record(0, "Stay"), "Stay");
    auto* conf = addConf(tree, nullptr, "Cup");
    ASSERT_TRUE(tree.save());
    std::string cf = treeText(), dt = treeRecords(), path = conf->rec.ConfPath;
    tree.remove(conf);
    plat::setAtomicWriteFault(0);
    EXPECT_FALSE(tree.commit());
    plat::setAtomicWriteFault(-1);
    EXPECT_EQ(shown(sj("試合設定の一覧をファイル(") + folder() + sj("Config/VlTreeVw.Cf)に保存できません")),
              1);
    EXPECT_EQ(treeText(), cf);
    EXPECT_EQ(treeRecords(), dt);
    EXPECT_TRUE(std::filesystem::exists(file(path)));
    EXPECT_EQ(tree.deletedList().size(), 1u);
}

TEST_F(ConfTreeTest, NeverDeletesForeignOrStillReferencedFiles) {
    cnf::ConfTree tree(folder());
    writeFile(program_ / "Precious.dat", "x");
    ConfNodeRec foreign = record(1, "Foreign", "Precious.dat");
    auto* a = tree.append(nullptr, foreign, "Foreign");
    auto* shared1 = addConf(tree, nullptr, "Shared");
    ConfNodeRec twin = shared1->rec;
    tree.append(nullptr, twin, "Twin");
    tree.remove(a);
    tree.remove(shared1);
    ASSERT_TRUE(tree.commit());
    EXPECT_TRUE(std::filesystem::exists(program_ / "Precious.dat"));
    EXPECT_TRUE(std::filesystem::exists(file(twin.ConfPath)));
}

struct Recorder : cnf::TreeObserver {
    std::vector<std::string> events;
    void beginInsert(cnf::ConfNode*, int row) override { events.push_back("insert " + std::to_string(row)); }
    void beginRemove(cnf::ConfNode*, int row) override { events.push_back("remove " + std::to_string(row)); }
    void beginMove(cnf::ConfNode*, int from, cnf::ConfNode*, int to) override {
        events.push_back("move " + std::to_string(from) + " " + std::to_string(to));
    }
    void beginReset() override { events.push_back("reset"); }
};

TEST_F(ConfTreeTest, MovesFollowTheDropAndReportIt) {
    cnf::ConfTree tree(folder());
    Recorder rec;
    tree.setObserver(&rec);
    auto* net = tree.append(nullptr, record(0, "Net"), "Net");
    auto* inner = tree.append(net, record(0, "Inner"), "Inner");
    auto* c1 = tree.append(net, record(1, "C1"), "C1");
    auto* c2 = tree.append(nullptr, record(1, "C2"), "C2");
    EXPECT_FALSE(tree.move(net, inner, cnf::ConfTree::Drop::OnItem)); // into its own subtree
    EXPECT_TRUE(tree.move(c2, c1, cnf::ConfTree::Drop::OnItem));      // onto a conf: before it
    EXPECT_EQ(c2->parent, net);
    EXPECT_EQ(tree.rowOf(c2), 1);
    EXPECT_TRUE(tree.move(c1, inner, cnf::ConfTree::Drop::OnItem)); // onto a net: last child
    EXPECT_EQ(c1->parent, inner);
    EXPECT_TRUE(tree.move(inner, nullptr, cnf::ConfTree::Drop::Below)); // below everything: last root
    EXPECT_EQ(tree.rowOf(inner), 1);
    EXPECT_EQ(inner->parent, nullptr);
    EXPECT_EQ(captions(tree), (std::vector<std::string>{"Net", ">C2", "Inner", ">C1"}));
    EXPECT_EQ(rec.events, (std::vector<std::string>{"insert 0", "insert 0", "insert 1", "insert 1",
                                                    "move 1 1", "move 2 0", "move 0 1"}));
}

TEST_F(ConfTreeTest, FolderChangeReachesEveryConfBelowTheNode) {
    std::filesystem::create_directories(program_ / "Result");
    cnf::ConfTree tree(folder());
    auto* net = tree.append(nullptr, record(0, "Net"), "Net");
    auto* sub = tree.append(net, record(0, "Sub"), "Sub");
    auto* deep = addConf(tree, tree.append(sub, record(0, "Deeper"), "Deeper"), "Deep");
    auto* near = addConf(tree, net, "Near");
    auto* outside = addConf(tree, nullptr, "Outside");
    tree.append(net, record(0, "Lonely"), "Lonely");
    std::string deepBefore = readFile(file(deep->rec.ConfPath));

    // The dialog's preset in all four fields changes nothing, even with a
    // folder of that name present.
    std::filesystem::create_directories(program_ / "変更無し"); // the OS name is UTF-8
    ConfHeader folders{};
    for (char* f :
         {folders.AkInputFolder, folders.AkOutputFolder, folders.ResultFolder, folders.WeaponDataFolder})
        std::strcpy(f, sj("変更無し").c_str());
    EXPECT_EQ(cnf::changeTreeNodeConf(*net, folder(), folders), 0);
    EXPECT_EQ(folders.AkInputFolder[0], '\0');
    EXPECT_EQ(readFile(file(deep->rec.ConfPath)), deepBefore);

    // One existing folder (relative to the program folder, not the current
    // one), one missing.
    std::strcpy(folders.ResultFolder, "Result\\");
    std::strcpy(folders.AkInputFolder, "NoSuchFolder\\");
    cnf::changeTreeNodeConf(*net, folder(), folders);
    EXPECT_EQ(folders.AkInputFolder[0], '\0');
    EXPECT_STREQ(folders.ResultFolder, "Result\\");
    for (auto* n : {deep, near}) {
        auto conf = cnf::readConf(folder(), n->rec.ConfPath);
        ASSERT_TRUE(conf.has_value());
        EXPECT_STREQ(conf->Header.ResultFolder, "Result\\");
        EXPECT_STREQ(conf->Header.AkInputFolder, "");
    }
    EXPECT_STREQ(cnf::readConf(folder(), outside->rec.ConfPath)->Header.ResultFolder, "");
    std::string deepAfter = readFile(file(deep->rec.ConfPath));
    EXPECT_EQ(deepAfter.substr(0, 5643), deepBefore.substr(0, 5643));
    EXPECT_EQ(deepAfter.substr(5899), deepBefore.substr(5899));
    EXPECT_EQ(boxes(), 0);
}

} // namespace
