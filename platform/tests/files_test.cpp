#include "platform/files.h"
#include "platform/paths.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <set>

using testsupport::TempDir;

TEST(Files, ReadsWholeLinesOfAnyLength) {
    TempDir dir;
    std::string longLine(5000, 'a');
    testsupport::writeFile(dir.path() / "t.txt", "one\r\n" + longLine + "\nthree\r\r\nlast");
    std::FILE* f = plat::openFile(dir.folder() + "t.txt", "rb");
    ASSERT_NE(f, nullptr);
    std::string line;
    bool nl = false;
    std::vector<std::string> lines;
    while (plat::readLine(f, line, &nl)) lines.push_back(line);
    std::fclose(f);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "one");
    EXPECT_EQ(lines[1], longLine);
    EXPECT_EQ(lines[2], "three\r");
    EXPECT_EQ(lines[3], "last");
    EXPECT_FALSE(nl);
    // The same bytes held in memory split into the same lines.
    std::string bytes = testsupport::readFile(dir.path() / "t.txt");
    std::vector<std::string_view> split = plat::splitLines(bytes);
    EXPECT_EQ(std::vector<std::string>(split.begin(), split.end()), lines);
    EXPECT_EQ(plat::splitLines("a\n\nb\n").size(), 3u); // an empty line counts, nothing after the last LF
}

TEST(Files, WildcardsMatchCharactersIgnoringAsciiCase) {
    EXPECT_TRUE(plat::wildcardMatch("*.msg", "PLAY_ANA.MSG"));
    EXPECT_TRUE(plat::wildcardMatch("*.*", "noext"));
    EXPECT_TRUE(plat::wildcardMatch("a?c", testsupport::sj("aあc")));
    EXPECT_FALSE(plat::wildcardMatch("a?c", testsupport::sj("aああc")));
    EXPECT_FALSE(plat::wildcardMatch("*.msg", "a.msgx"));
    EXPECT_TRUE(plat::wildcardMatch("VLCNF*", "vlcnfABC123"));
}

TEST(Files, ListingsAreSortedAndFiltered) {
    TempDir dir;
    for (const char* n : {"b.dat", "A.DAT", "c.txt"}) testsupport::writeFile(dir.path() / n, "");
    std::filesystem::create_directory(dir.path() / "sub.dat");
    EXPECT_EQ(plat::listFolder(dir.folder(), "*.dat"), (std::vector<std::string>{"A.DAT", "b.dat"}));
    EXPECT_EQ(plat::listFolder(dir.folder(), "*.dat", true),
              (std::vector<std::string>{"A.DAT", "b.dat", "sub.dat"}));
}

TEST(Files, UniqueNamesAreExclusiveAndCaseDistinct) {
    TempDir dir;
    std::set<std::string> upper;
    for (int i = 0; i < 50; ++i) {
        auto name = plat::createUniqueFile(dir.folder(), "VLCNF", 6);
        ASSERT_TRUE(name);
        ASSERT_EQ(name->size(), 11u);
        EXPECT_EQ(name->substr(0, 5), "VLCNF");
        EXPECT_TRUE(upper.insert(*name).second);
        EXPECT_EQ(std::filesystem::file_size(dir.path() / *name), 0u);
    }
    EXPECT_FALSE(plat::createUniqueFile(dir.folder() + "missing/", "VLCNF", 6));
}

TEST(Files, AtomicRewriteKeepsTheOldFileOnFailure) {
    TempDir dir;
    std::string path = dir.folder() + "ak.dat";
    ASSERT_TRUE(plat::writeWholeFileAtomic(path, "old content"));
    plat::setAtomicWriteFault(3);
    EXPECT_FALSE(plat::writeWholeFileAtomic(path, "new content"));
    plat::setAtomicWriteFault(-1);
    EXPECT_EQ(testsupport::readFile(path), "old content");
    {
        plat::AtomicFile f(path);
        ASSERT_TRUE(f.isOpen());
        f.write("never committed");
    }
    EXPECT_EQ(testsupport::readFile(path), "old content");
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
    ASSERT_TRUE(plat::writeWholeFileAtomic(path, "new"));
    EXPECT_EQ(testsupport::readFile(path), "new");
}

TEST(Files, TempFolderIsRemovedWithItsContent) {
    std::string p;
    {
        plat::TempFolder t;
        ASSERT_TRUE(t.ok());
        p = t.osPath();
        testsupport::writeFile(p + "/x", "1");
    }
    EXPECT_FALSE(std::filesystem::exists(p));
}
