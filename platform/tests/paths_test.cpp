#include "platform/files.h"
#include "platform/paths.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <cstdio>
#include <cstdlib>
#include <filesystem>

using testsupport::sj;
using testsupport::TempDir;

TEST(Paths, SeparatorsAreWholeCharacters) {
    // ソ and 表 end in the byte '\'; they are no separators.
    std::string so = sj("ソ");
    EXPECT_FALSE(plat::endsWithSeparator(so));
    EXPECT_TRUE(plat::endsWithSeparator(so + "\\"));
    EXPECT_TRUE(plat::endsWithSeparator("a/"));
    EXPECT_EQ(plat::lastSeparator(sj("a\\表")), 1u);
    EXPECT_EQ(plat::lastSeparator(sj("表")), std::string::npos);
    EXPECT_EQ(plat::joinPath("dir", "x"), "dir/x");
    EXPECT_EQ(plat::joinPath("dir\\", "x"), "dir\\x");
    EXPECT_EQ(plat::joinPath(so, "x"), so + "/x");
}

TEST(Paths, AbsoluteForms) {
    EXPECT_TRUE(plat::isAbsolutePath("C:\\x"));
    EXPECT_TRUE(plat::isAbsolutePath("\\x"));
    EXPECT_TRUE(plat::isAbsolutePath("/x"));
    EXPECT_FALSE(plat::isAbsolutePath("Config\\x"));
    EXPECT_FALSE(plat::isAbsolutePath("ab:c"));
    EXPECT_TRUE(plat::isAbsolutePathLoose("ab:c"));
    EXPECT_FALSE(plat::toOsPath("C:\\x"));
    EXPECT_FALSE(plat::toOsPath("\\x"));
}

TEST(Paths, ShownFormOfEveryKind) {
    // Absolute with '\' and mixed: '/' only, as the file system spells it.
    EXPECT_EQ(plat::shownPath("\\tmp\\x\\prog\\AkData\\"), "/tmp/x/prog/AkData/");
    EXPECT_EQ(plat::shownPath("/tmp/x/prog/AkData\\ak08.dat"), "/tmp/x/prog/AkData/ak08.dat");
    // Stored relative folders, bare names and drive forms stay as stored.
    EXPECT_EQ(plat::shownPath("AkData\\"), "AkData\\");
    EXPECT_EQ(plat::shownPath("Game.txt"), "Game.txt");
    EXPECT_EQ(plat::shownPath("C:\\CVV\\AkData"), "C:\\CVV\\AkData");
    // 表 is 95 5C: its trail byte is no separator and stays.
    EXPECT_EQ(plat::shownPath(sj("/tmp/表\\ソ\\a.dat")), sj("/tmp/表/ソ/a.dat"));
    EXPECT_EQ(plat::shownPath(sj("\\表")), sj("/表"));
    // A folder box shows every kind with '/' only, the trail bytes kept.
    EXPECT_EQ(plat::slashedPath(sj("AkOut\\表\\ソ\\")), sj("AkOut/表/ソ/"));
}

TEST(Paths, PrefixComparesSeparatorsAlike) {
    EXPECT_TRUE(plat::hasPathPrefix("/a/b\\Config\\x", "/a/b/"));
    EXPECT_FALSE(plat::hasPathPrefix("/a/bc", "/a/b/"));
    // ソ (83 5C) in the prefix must not match ソ-less "83/".
    EXPECT_FALSE(plat::hasPathPrefix("/\x83/x", sj("/ソ")));
}

TEST(Paths, SplitsDriveFolderNameAndExtension) {
    auto p = plat::splitPath("C:\\dir\\sub/name.tar.gz");
    EXPECT_EQ(p.drive, "C:");
    EXPECT_EQ(p.dir, "\\dir\\sub/");
    EXPECT_EQ(p.name, "name.tar");
    EXPECT_EQ(p.extension, ".gz");
    auto q = plat::splitPath(sj("表.dat"));
    EXPECT_EQ(q.name, sj("表"));
    EXPECT_EQ(q.extension, ".dat");
}

TEST(Paths, RelativePathsLiveUnderTheProgramFolderIgnoringCase) {
    TempDir dir;
    plat::setProgramFolder(dir.path().string());
    EXPECT_EQ(plat::programFolder(), dir.folder());
    std::filesystem::create_directories(dir.path() / "Config");
    testsupport::writeFile(dir.path() / "Config" / "VlTreeVw.Cf", "x");
    auto os = plat::toOsPath(plat::resolvePath("config\\VLTREEVW.CF"));
    ASSERT_TRUE(os);
    EXPECT_EQ(*os, (dir.path() / "Config" / "VlTreeVw.Cf").string());
    EXPECT_TRUE(plat::isRegularFile("CONFIG\\vltreevw.cf"));
    // A name that does not exist keeps its spelling below the found folder.
    EXPECT_EQ(*plat::toOsPath(plat::resolvePath("CONFIG\\New.dat")),
              (dir.path() / "Config" / "New.dat").string());
    // Japanese names reach the file system as UTF-8.
    std::string name = sj("ソフト表.dat");
    ASSERT_TRUE(plat::writeWholeFileAtomic(name, "abc"));
    EXPECT_EQ(testsupport::readFile(dir.path() / "ソフト表.dat"), "abc");
    auto listed = plat::listFolder(dir.folder(), "*.DAT");
    ASSERT_EQ(listed.size(), 1u);
    EXPECT_EQ(listed[0], name);
}

// The look-up ignoring case reads a folder once: the program's own
// creations and removals keep its index, a change by anyone else (a new
// modification time) has it read again.
TEST(Paths, FolderIndexFollowsTheFolder) {
    TempDir dir;
    std::string folder = dir.folder();
    testsupport::writeFile(dir.path() / "Old.TXT", "o");
    ASSERT_EQ(*plat::toOsPath(folder + "old.txt"), folder + "Old.TXT");
    const uint64_t reads = plat::folderIndexReads();
    // New files of this program: found in any case, the folder not read.
    for (int i = 0; i < 20; ++i) {
        std::FILE* f = plat::openFile(folder + "Log" + std::to_string(i) + ".txt", "wb");
        ASSERT_NE(f, nullptr);
        std::fclose(f);
    }
    ASSERT_TRUE(plat::writeWholeFileAtomic(folder + "Out.da1", "ak"));
    ASSERT_TRUE(plat::makeDirectory(folder + "Sub"));
    EXPECT_EQ(*plat::toOsPath(folder + "LOG7.TXT"), folder + "Log7.txt");
    EXPECT_EQ(*plat::toOsPath(folder + "out.DA1"), folder + "Out.da1");
    EXPECT_TRUE(plat::isDirectory(folder + "sub"));
    ASSERT_TRUE(plat::removeFile(folder + "log7.txt"));
    EXPECT_EQ(*plat::toOsPath(folder + "LOG7.TXT"), folder + "LOG7.TXT"); // gone: as spelled
    ASSERT_TRUE(plat::renameFile(folder + "LOG8.txt", folder + "Moved.txt"));
    EXPECT_EQ(*plat::toOsPath(folder + "moved.TXT"), folder + "Moved.txt");
    EXPECT_EQ(plat::folderIndexReads(), reads);

    // Another program's file: the folder changed, its index is read again
    // (its time set a tick later, as a change seen by its time).
    testsupport::writeFile(dir.path() / "Theirs.DAT", "t");
    std::filesystem::last_write_time(dir.path(), std::filesystem::last_write_time(dir.path()) +
                                                     std::chrono::seconds(1));
    EXPECT_EQ(*plat::toOsPath(folder + "theirs.dat"), folder + "Theirs.DAT");
    EXPECT_EQ(plat::folderIndexReads(), reads + 1);
    // Removed behind the index's back: never named from the index.
    std::filesystem::remove(dir.path() / "Old.TXT");
    EXPECT_EQ(*plat::toOsPath(folder + "old.txt"), folder + "old.txt");

    // One listing with the keys a clean-up matches on.
    std::vector<plat::FolderName> names = plat::indexedFolderNames(folder);
    ASSERT_EQ(names.size(), 22u); // Log0..19 less Log7 and Log8, Moved, Out, Sub, Theirs
    EXPECT_EQ(names.front().Name, "Log0.txt");
    EXPECT_EQ(names.front().Key, "LOG0.TXT");
    EXPECT_TRUE(plat::indexedFolderNames(folder + "missing").empty());
}

// A file another program made after the index was read, then changes of
// this program's own in the same folder that need no look-up (a rewrite
// and a removal of files that exist as spelled): the index was not current
// before them, so it does not take the folder's new time and miss their
// file. Their change moves the folder's time to an hour back, so that it
// shows even within one tick of the clock.
TEST(Paths, OwnChangeAfterAnotherProgramsKeepsTheirName) {
    TempDir dir;
    namespace fs = std::filesystem;
    const std::string folder = dir.folder();
    auto theirs = [&](const char* name, int hoursBack) {
        testsupport::writeFile(dir.path() / name, "t");
        fs::last_write_time(dir.path(), fs::file_time_type::clock::now() - std::chrono::hours(hoursBack));
    };
    testsupport::writeFile(dir.path() / "Ours.txt", "o");
    testsupport::writeFile(dir.path() / "Gone.txt", "g");
    ASSERT_EQ(*plat::toOsPath(folder + "ours.TXT"), folder + "Ours.txt");
    theirs("Theirs.DAT", 1);
    ASSERT_TRUE(plat::writeWholeFileAtomic(folder + "Ours.txt", "new"));
    EXPECT_EQ(*plat::toOsPath(folder + "theirs.dat"), folder + "Theirs.DAT");
    theirs("Late.DAT", 2);
    ASSERT_TRUE(plat::removeFile(folder + "Gone.txt"));
    EXPECT_EQ(*plat::toOsPath(folder + "late.dat"), folder + "Late.DAT");
}

TEST(Paths, CaseFoldingLeavesDoubleByteCharactersAlone) {
    // ア is 83 41 and ヂ is 83 61: trail bytes that look like 'A' and 'a'.
    EXPECT_FALSE(plat::equalsIgnoreCase(sj("ア"), sj("ヂ")));
    EXPECT_TRUE(plat::equalsIgnoreCase(sj("アb"), sj("アB")));
    EXPECT_LT(plat::compareIgnoreCase("abc", "ABD"), 0);
    EXPECT_EQ(plat::compareIgnoreCase("", ""), 0);
    EXPECT_LT(plat::compareIgnoreCase("ab", "abc"), 0);
    EXPECT_TRUE(plat::asciiEqualsIgnoreCase("Config", "CONFIG"));
}

// The game master's data and settings folders follow the desktop's rules:
// the variable when it holds an absolute path, else under the home folder.
TEST(Paths, UserFoldersFollowTheXdgVariables) {
    const char* home = std::getenv("HOME");
    const std::string saved = std::getenv("XDG_DATA_HOME") ? std::getenv("XDG_DATA_HOME") : "";
    ::setenv("XDG_DATA_HOME", "/srv/gm/", 1);
    EXPECT_EQ(plat::userFolder("XDG_DATA_HOME", ".local/share"), "/srv/gm/corvane-vell/");
    ::setenv("XDG_DATA_HOME", "relative/data", 1);
    EXPECT_EQ(plat::userFolder("XDG_DATA_HOME", ".local/share"),
              std::string(home ? home : "/tmp") + "/.local/share/corvane-vell/");
    ::unsetenv("XDG_DATA_HOME");
    EXPECT_EQ(plat::userFolder("XDG_DATA_HOME", ".local/share"),
              std::string(home ? home : "/tmp") + "/.local/share/corvane-vell/");
    if (!saved.empty()) ::setenv("XDG_DATA_HOME", saved.c_str(), 1);
}
