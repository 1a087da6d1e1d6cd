#include "platform/files.h"
#include "platform/paths.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <chrono>
#include <filesystem>
#include <set>
#include <string>
#include <sys/resource.h>

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
    // One CR before the end is removed, a lone CR inside a line kept.
    EXPECT_EQ(plat::splitLines("a\r\r\n\nc\r"), (std::vector<std::string_view>{"a\r", "", "c"}));
    EXPECT_TRUE(plat::splitLines("").empty());
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

TEST(Files, SameFileMeansOneDeviceAndInode) {
    TempDir dir;
    namespace fs = std::filesystem;
    testsupport::writeFile(dir.path() / "Ak.dat", "a");
    testsupport::writeFile(dir.path() / "copy.dat", "a");
    fs::create_hard_link(dir.path() / "Ak.dat", dir.path() / "link.dat");
    fs::create_directory(dir.path() / "Sub");
    EXPECT_TRUE(plat::sameFile(dir.folder() + "Ak.dat", dir.folder() + "link.dat"));
    EXPECT_TRUE(plat::sameFile(dir.folder() + "ak.DAT", dir.folder() + "Ak.dat")); // found ignoring case
    EXPECT_TRUE(plat::sameFile(dir.folder() + "sub\\.", dir.folder() + "Sub"));
    EXPECT_FALSE(plat::sameFile(dir.folder() + "Ak.dat", dir.folder() + "copy.dat"));
    EXPECT_FALSE(plat::sameFile(dir.folder() + "none.dat", dir.folder() + "none.dat"));
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

// A rewrite far longer than the bytes a file gathers before it writes them
// arrives whole, over a spare that was longer still; a disk that fills in
// its second megabyte leaves the old file.
TEST(Files, LongRewritesArriveWholeOrNotAtAll) {
    TempDir dir;
    std::string path = dir.folder() + "big.da1";
    std::string big(3 << 20, 'x');
    for (size_t k = 0; k < big.size(); k += 4096) big[k] = static_cast<char>('a' + k / 4096 % 26);
    ASSERT_TRUE(plat::writeWholeFileAtomic(path, big + "tail"));
    ASSERT_TRUE(plat::writeWholeFileAtomic(path, big));
    EXPECT_EQ(testsupport::readFile(path), big);
    EXPECT_EQ(plat::readWholeFile(path), big);
    for (int round = 0; round < 2; ++round) { // the second over the first one's spare
        plat::AtomicFile f(path, plat::AtomicFile::SystemPath, plat::Durability::Deferred);
        for (size_t k = 0; k < 1000; ++k) ASSERT_TRUE(f.write(std::string_view(big).substr(k * 1000, 1000)));
        ASSERT_TRUE(f.commit());
        EXPECT_EQ(testsupport::readFile(path), big.substr(0, 1000000));
    }
    plat::setAtomicWriteFault(1500000);
    {
        plat::AtomicFile f(path);
        EXPECT_FALSE(f.write(big) && f.commit());
    }
    plat::setAtomicWriteFault(-1);
    EXPECT_EQ(testsupport::readFile(path), big.substr(0, 1000000));
    EXPECT_TRUE(plat::syncDeferredWrites());
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(dir.path()), {}), 1);
}

TEST(Files, AnAppendLandsWholeOrNotAtAll) {
    TempDir dir;
    std::string path = dir.folder() + "digest.mom";
    testsupport::writeFile(path, "ab");
    auto append = [&](std::string_view bytes, bool fresh, long long fault) {
        plat::AppendFile f(path, fresh);
        f.write(bytes);
        plat::setAtomicWriteFault(fault);
        bool ok = f.commit();
        plat::setAtomicWriteFault(-1);
        return ok;
    };
    EXPECT_TRUE(append("cd", false, -1));
    EXPECT_EQ(testsupport::readFile(path), "abcd");
    // One byte of "ef" reaches the disk, then it is full: cut back to 4.
    EXPECT_FALSE(append("ef", false, 1));
    EXPECT_EQ(testsupport::readFile(path), "abcd");
    // A commit taken back: the file is cut back to "abcd"; not when someone
    // appended since (their bytes are not the append's to take away).
    for (bool appendedSince : {false, true}) {
        plat::AppendFile f(path, false);
        f.write("gh");
        ASSERT_TRUE(f.commit());
        if (appendedSince) testsupport::writeFile(path, "abcdghi");
        EXPECT_EQ(f.undoCommit(), !appendedSince);
        EXPECT_FALSE(f.undoCommit());
    }
    EXPECT_EQ(testsupport::readFile(path), "abcdghi");
    EXPECT_TRUE(append("new", true, -1));
    EXPECT_EQ(testsupport::readFile(path), "new");
    // A file made anew that fails is not left behind, nor is one the open
    // created and nobody committed.
    EXPECT_FALSE(append("again", true, 2));
    EXPECT_FALSE(std::filesystem::exists(path));
    { plat::AppendFile f(path, false); }
    EXPECT_FALSE(std::filesystem::exists(path));
}

TEST(Files, DeferredCommitsArePutInPlaceAtOnceAndSyncedTogether) {
    TempDir dir;
    plat::syncDeferredWrites();
    ASSERT_FALSE(plat::deferredWritesPending());
    std::string path = dir.folder() + "x.da1";
    {
        plat::AtomicFile f(path, plat::AtomicFile::SystemPath, plat::Durability::Deferred);
        ASSERT_TRUE(f.write("AK"));
        ASSERT_TRUE(f.commit());
    }
    EXPECT_EQ(testsupport::readFile(path), "AK"); // readable before the sync
    EXPECT_TRUE(plat::deferredWritesPending());
    EXPECT_TRUE(plat::syncDeferredWrites());
    EXPECT_FALSE(plat::deferredWritesPending());
    // A failed deferred commit leaves the old file and nothing to sync.
    plat::setAtomicWriteFault(0);
    {
        plat::AtomicFile f(path, plat::AtomicFile::SystemPath, plat::Durability::Deferred);
        f.write("new");
        EXPECT_FALSE(f.commit());
    }
    plat::setAtomicWriteFault(-1);
    EXPECT_EQ(testsupport::readFile(path), "AK");
    EXPECT_FALSE(plat::deferredWritesPending());
    // A folder removed before the sync is passed over.
    std::filesystem::create_directory(dir.path() / "gone");
    ASSERT_TRUE(plat::writeWholeFileAtomic(dir.folder() + "gone/y", "y"));
    {
        plat::AtomicFile f(dir.folder() + "gone/z", plat::AtomicFile::SystemPath, plat::Durability::Deferred);
        f.write("z");
        ASSERT_TRUE(f.commit());
    }
    std::filesystem::remove_all(dir.path() / "gone");
    EXPECT_TRUE(plat::syncDeferredWrites());
}

// The event's sync holds a batch of files open at once; a process near its
// limit of open files still syncs every one of them, a few at a time.
TEST(Files, DeferredSyncWithFewDescriptorsLeftSyncsEveryFile) {
    TempDir dir;
    namespace fs = std::filesystem;
    plat::syncDeferredWrites();
    std::set<int> used;
    for (const fs::directory_entry& e : fs::directory_iterator("/proc/self/fd"))
        used.insert(std::stoi(e.path().filename().string()));
    struct rlimit before;
    ASSERT_EQ(::getrlimit(RLIMIT_NOFILE, &before), 0);
    // Eight free descriptors below the new limit, and more files than that.
    const int limit = *used.rbegin() + 1 + 8;
    const int free = limit - static_cast<int>(used.size()) + 1; // the iterator's own was counted
    ASSERT_LT(static_cast<rlim_t>(limit), before.rlim_cur);
    for (int i = 0; i < free + 20; ++i) {
        plat::AtomicFile f(dir.folder() + std::to_string(i) + ".da1", plat::AtomicFile::SystemPath,
                           plat::Durability::Deferred);
        ASSERT_TRUE(f.write("AK") && f.commit());
    }
    struct rlimit few = before;
    few.rlim_cur = static_cast<rlim_t>(limit);
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &few), 0);
    const bool synced = plat::syncDeferredWrites();
    ASSERT_EQ(::setrlimit(RLIMIT_NOFILE, &before), 0);
    EXPECT_TRUE(synced);
    EXPECT_FALSE(plat::deferredWritesPending());
}

// A deferred rewrite of an existing file trades names with it: the old
// file is kept as the folder's one spare for the next rewrite, which keeps
// the target's permissions and none of the spare's longer old bytes; the
// event's sync removes the spare.
TEST(Files, DeferredRewritesReuseOneSpareFile) {
    TempDir dir;
    namespace fs = std::filesystem;
    auto deferred = [&](const char* name, std::string_view bytes) {
        plat::AtomicFile f(dir.folder() + name, plat::AtomicFile::SystemPath, plat::Durability::Deferred);
        return f.write(bytes) && f.commit();
    };
    auto spares = [&] {
        std::vector<std::string> found;
        for (const fs::directory_entry& e : fs::directory_iterator(dir.path()))
            if (e.path().filename().string().rfind(".vell-tmp-", 0) == 0) found.push_back(e.path().string());
        return found;
    };
    testsupport::writeFile(dir.path() / "a.da1", "old a, longer than new b");
    testsupport::writeFile(dir.path() / "b.da1", "old b");
    fs::permissions(dir.path() / "b.da1", fs::perms::owner_read | fs::perms::owner_write);
    ASSERT_TRUE(deferred("a.da1", "new a"));
    EXPECT_EQ(testsupport::readFile(dir.path() / "a.da1"), "new a");
    std::vector<std::string> first = spares();
    ASSERT_EQ(first.size(), 1u);
    EXPECT_EQ(testsupport::readFile(first[0]), "old a, longer than new b");
    ASSERT_TRUE(deferred("b.da1", "new b"));
    EXPECT_EQ(testsupport::readFile(dir.path() / "b.da1"), "new b");
    EXPECT_EQ(fs::status(dir.path() / "b.da1").permissions() & fs::perms::all,
              fs::perms::owner_read | fs::perms::owner_write);
    EXPECT_EQ(spares(), first); // the same spare, now holding the old b
    EXPECT_EQ(testsupport::readFile(first[0]), "old b");
    // A folder in the target's place is never traded away.
    fs::create_directory(dir.path() / "c.da1");
    EXPECT_FALSE(deferred("c.da1", "c"));
    EXPECT_TRUE(fs::is_directory(dir.path() / "c.da1"));
    EXPECT_TRUE(plat::syncDeferredWrites());
    EXPECT_TRUE(spares().empty());
    EXPECT_EQ(testsupport::readFile(dir.path() / "a.da1"), "new a");
}

// What a rewrite leaves behind when the program dies in it carries the
// name of its temporary file; a clean-up knows it by that name alone, and
// names merely like it (a user's) are not taken for one.
TEST(Files, TempFileNamesAreThoseOfTheRewrites) {
    TempDir dir;
    namespace fs = std::filesystem;
    testsupport::writeFile(dir.path() / "a.da1", "old");
    {
        plat::AtomicFile f(dir.folder() + "a.da1", plat::AtomicFile::SystemPath, plat::Durability::Deferred);
        ASSERT_TRUE(f.write("new") && f.commit()); // the old file stays as the folder's spare
    }
    std::vector<std::string> names;
    for (const fs::directory_entry& e : fs::directory_iterator(dir.path()))
        names.push_back(e.path().filename().string());
    ASSERT_EQ(names.size(), 2u);
    const std::string spare = names[0] == "a.da1" ? names[1] : names[0];
    EXPECT_TRUE(plat::isTempFileName(spare)) << spare;
    EXPECT_TRUE(plat::isTempFileName(".vell-tmp-aZ09xQ"));
    for (const char* name :
         {".vell-tmp-aZ09x", ".vell-tmp-aZ09xQ7", ".vell-tmp-aZ09x.", ".vell-tmp-notes", ".vell-tmp-aZ0.txt",
          "vell-tmp-aZ09xQ", ".VELL-TMP-aZ09xQ", "x.vell-tmp-aZ09xQ", ".vell-tmp-"})
        EXPECT_FALSE(plat::isTempFileName(name)) << name;
    EXPECT_TRUE(plat::syncDeferredWrites());
}

// A file that has another name too (a backup made with cp -l) keeps its
// bytes through deferred rewrites: it never becomes the spare that the
// next rewrite empties, nor is a spare linked since then emptied.
TEST(Files, DeferredRewritesLeaveHardLinkedFilesAlone) {
    TempDir dir;
    namespace fs = std::filesystem;
    auto deferred = [&](const char* name, std::string_view bytes) {
        plat::AtomicFile f(dir.folder() + name, plat::AtomicFile::SystemPath, plat::Durability::Deferred);
        return f.write(bytes) && f.commit();
    };
    testsupport::writeFile(dir.path() / "a.da1", "old a");
    fs::create_hard_link(dir.path() / "a.da1", dir.path() / "backup.da1");
    testsupport::writeFile(dir.path() / "b.da1", "old b");
    ASSERT_TRUE(deferred("a.da1", "new a"));
    ASSERT_TRUE(deferred("b.da1", "new b")); // traded: old b is the spare
    EXPECT_EQ(testsupport::readFile(dir.path() / "backup.da1"), "old a");
    for (const fs::directory_entry& e : fs::directory_iterator(dir.path()))
        if (e.path().filename().string().rfind(".vell-tmp-", 0) == 0)
            fs::create_hard_link(e.path(), dir.path() / "backup.da2");
    ASSERT_TRUE(deferred("c.da1", "new c"));
    EXPECT_EQ(testsupport::readFile(dir.path() / "backup.da2"), "old b");
    EXPECT_EQ(testsupport::readFile(dir.path() / "a.da1"), "new a");
    EXPECT_EQ(testsupport::readFile(dir.path() / "b.da1"), "new b");
    EXPECT_EQ(testsupport::readFile(dir.path() / "c.da1"), "new c");
    EXPECT_TRUE(plat::syncDeferredWrites());
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 5); // no spare left
}

// The writers tell the folder index what they create and remove, so a
// folder only this program fills is never read again for a look-up that
// ignores case (the folder's time is set back first, so that every change
// below shows in it).
TEST(Files, WritersKeepTheFolderIndexCurrent) {
    TempDir dir;
    namespace fs = std::filesystem;
    const std::string folder = dir.folder();
    testsupport::writeFile(dir.path() / "Seen.txt", "s");
    fs::last_write_time(dir.path(), fs::last_write_time(dir.path()) - std::chrono::hours(1));
    ASSERT_EQ(*plat::toOsPath(folder + "seen.TXT"), folder + "Seen.txt");
    const uint64_t reads = plat::folderIndexReads();
    {
        plat::AppendFile digest(folder + "Digest.mom", false);
        digest.write("d");
        ASSERT_TRUE(digest.commit());
        plat::AppendFile failed(folder + "Failed.mom", true);
        failed.write("f");
        plat::setAtomicWriteFault(0);
        EXPECT_FALSE(failed.commit());
        plat::setAtomicWriteFault(-1);
        plat::AppendFile never(folder + "Never.mom", false);
        plat::AtomicFile dropped(folder + "Dropped.dat");
        dropped.write("x");
        dropped.abandon();
        plat::AtomicFile refused(folder + "Refused.dat");
        plat::setAtomicWriteFault(0);
        refused.write("x");
        plat::setAtomicWriteFault(-1);
        EXPECT_FALSE(refused.commit());
    }
    EXPECT_EQ(*plat::toOsPath(folder + "digest.MOM"), folder + "Digest.mom");
    EXPECT_EQ(*plat::toOsPath(folder + "never.MOM"), folder + "never.MOM"); // gone: as spelled
    EXPECT_EQ(plat::folderIndexReads(), reads);
    EXPECT_EQ(std::distance(fs::directory_iterator(dir.path()), {}), 2); // Seen.txt, Digest.mom
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
