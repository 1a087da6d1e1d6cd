#include "platform/filewatch.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <filesystem>
#include <fstream>

namespace fs = std::filesystem;
using testsupport::TempDir;
using testsupport::writeFile;

namespace {

// A scratch folder by its plain path (the watch refuses a path through a
// link, and $TMPDIR may be one), holding sub/f.txt.
class FileWatchTest : public ::testing::Test {
protected:
    void SetUp() override {
        root = fs::canonical(dir.path());
        fs::create_directories(root / "sub");
        writeFile(file(), "one");
    }
    fs::path file() const { return root / "sub" / "f.txt"; }
    // Watches f.txt and checks that nothing is seen yet.
    plat::FileWatch::Ticket start() {
        plat::FileWatch::Ticket t = w.watch(file().string());
        EXPECT_NE(t, 0u);
        w.poll();
        EXPECT_FALSE(w.changed(t));
        return t;
    }
    bool seen(plat::FileWatch::Ticket t) {
        w.poll();
        return w.changed(t);
    }

    TempDir dir;
    fs::path root;
    plat::FileWatch w;
};

} // namespace

TEST_F(FileWatchTest, AWriteIsSeenAtTheNextPoll) {
    plat::FileWatch::Ticket t = start();
    writeFile(file(), "two");   // the same size, maybe the same times
    EXPECT_FALSE(w.changed(t)); // as far as the last poll knows
    w.poll();
    EXPECT_TRUE(w.changed(t));
    w.poll();
    EXPECT_TRUE(w.changed(t)); // until it is watched again
}

TEST_F(FileWatchTest, ChangesToTheFileItself) {
    plat::FileWatch::Ticket t = start();
    writeFile(file(), "two");
    EXPECT_TRUE(seen(t));

    // A new watch starts clean; a change of the permissions counts.
    w.release(t);
    t = start();
    fs::permissions(file(), fs::perms::owner_read, fs::perm_options::replace);
    EXPECT_TRUE(seen(t));

    // A write through another name of the file, in another folder.
    w.release(t);
    fs::permissions(file(), fs::perms::owner_all, fs::perm_options::replace);
    fs::create_directories(root / "other");
    fs::create_hard_link(file(), root / "other" / "link.txt");
    t = start();
    std::ofstream(root / "other" / "link.txt", std::ios::app) << "x";
    EXPECT_TRUE(seen(t));
}

TEST_F(FileWatchTest, ChangesInItsFolder) {
    plat::FileWatch::Ticket t = start();
    // Other names in the folder are no change of the file.
    writeFile(root / "sub" / "g.txt", "g");
    fs::remove(root / "sub" / "g.txt");
    EXPECT_FALSE(seen(t));
    // A name equal ignoring case: a look-up ignoring case may now find it.
    writeFile(root / "sub" / "F.TXT", "other");
    EXPECT_TRUE(seen(t));

    w.release(t);
    t = start();
    writeFile(root / "sub" / "new.txt", "three");
    fs::rename(root / "sub" / "new.txt", file()); // replaced by a rename
    EXPECT_TRUE(seen(t));

    w.release(t);
    t = start();
    fs::remove(file());
    EXPECT_TRUE(seen(t));
}

TEST_F(FileWatchTest, AFolderOnTheWayReplaced) {
    plat::FileWatch::Ticket t = start();
    fs::create_directories(root / "elsewhere");
    EXPECT_FALSE(seen(t));
    fs::rename(root / "sub", root / "old");
    fs::create_directories(root / "sub");
    writeFile(file(), "one");
    EXPECT_TRUE(seen(t));
}

TEST_F(FileWatchTest, PathsThatCannotBeWatchedAlwaysCountAsChanged) {
    fs::create_directory_symlink(root / "sub", root / "link");
    for (const fs::path& p :
         {root / "link" / "f.txt", root / "sub" / "missing.txt", root / "sub" / ".." / "sub" / "f.txt"}) {
        plat::FileWatch::Ticket t = w.watch(p.string());
        EXPECT_EQ(t, 0u) << p;
        w.poll();
        EXPECT_TRUE(w.changed(t)) << p;
    }
    EXPECT_EQ(w.watch("sub/f.txt"), 0u); // relative
    EXPECT_EQ(w.watchedCount(), 0u);
}

TEST_F(FileWatchTest, OnePollPerRound) {
    plat::FileWatch::Ticket t = start();
    {
        plat::FileWatch::Round round(w);
        w.poll();
        writeFile(file(), "two");
        {
            plat::FileWatch::Round inner(w);
            EXPECT_FALSE(seen(t)); // the round has asked already
        }
        EXPECT_FALSE(seen(t));
    }
    EXPECT_TRUE(seen(t));
}

TEST_F(FileWatchTest, ReleasedTicketsAndSharedFolders) {
    writeFile(root / "sub" / "g.txt", "g");
    plat::FileWatch::Ticket f = start();
    plat::FileWatch::Ticket g = w.watch((root / "sub" / "g.txt").string());
    ASSERT_NE(g, 0u);
    EXPECT_EQ(w.watchedCount(), 2u);
    // The folders both watch stay watched for the other one.
    w.release(f);
    EXPECT_TRUE(w.changed(f));
    writeFile(root / "sub" / "g.txt", "G");
    EXPECT_TRUE(seen(g));
    w.release(g);
    EXPECT_EQ(w.watchedCount(), 0u);
}
