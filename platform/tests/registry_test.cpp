#include "platform/registry.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include "platform/files.h"
#include "testsupport/smalldisk.h"

#include <filesystem>
#include <sys/stat.h>

namespace reg = plat::reg;
using testsupport::TempDir;

namespace {

class Registry : public ::testing::Test {
protected:
    void SetUp() override { reg::setStorePath(dir.path().string() + "/sub/registry.reg"); }
    void reload() { reg::setStorePath(reg::storePath()); }
    TempDir dir;
};

} // namespace

TEST_F(Registry, ArbitraryBytesSurviveTheFile) {
    std::string bytes;
    for (int c = 1; c < 256; ++c) bytes += static_cast<char>(c);
    bytes += "\\\\\"\"]\r\n";
    std::string name = testsupport::sj("表示ソ") + "\\x\"=";
    ASSERT_TRUE(reg::writeValue("Software\\Corvane\\Message", name, bytes));
    ASSERT_TRUE(reg::writeValue(testsupport::sj("Software\\表\\ソ]"), "v", "1"));
    reload();
    EXPECT_EQ(reg::readValue("Software\\Corvane\\Message", name), bytes);
    // A key name whose trail byte is '\' is one name, not two.
    EXPECT_EQ(reg::readString(testsupport::sj("Software\\表\\ソ]"), "v", ""), "1");
    // Empty names between, before and after separators are no names.
    EXPECT_EQ(reg::readString(testsupport::sj("\\Software\\\\表\\ソ]\\"), "v", ""), "1");
    EXPECT_EQ(reg::subKeyNames("Software").size(), 2u);
}

TEST_F(Registry, NamesIgnoreCaseButKeepIt) {
    reg::writeValue("Software\\Dunmoor\\CVVell\\Window", "MainTop", "12");
    EXPECT_EQ(reg::readInteger("SOFTWARE\\dunmoor\\cvvell\\WINDOW", "maintop", -1), 12);
    reg::writeValue("software\\DUNMOOR\\CVVell\\window", "MAINTOP", "13");
    EXPECT_EQ(reg::valueNames("Software\\Dunmoor\\CVVell\\Window"), std::vector<std::string>{"MainTop"});
    EXPECT_EQ(reg::readInteger("Software\\Dunmoor\\CVVell\\Window", "MainTop", -1), 13);
    reg::writeValue("Software\\b", "x", "");
    reg::writeValue("Software\\A", "x", "");
    reg::writeValue("Software\\c", "x", "");
    EXPECT_EQ(reg::subKeyNames("Software"), (std::vector<std::string>{"A", "b", "c", "Dunmoor"}));
}

TEST_F(Registry, DoubleByteNamesDoNotFoldTogether) {
    // ア (83 41) and ヂ (83 61) differ only in a trail byte that looks like a letter.
    reg::writeValue("Software\\K", testsupport::sj("ア"), "1");
    reg::writeValue("Software\\K", testsupport::sj("ヂ"), "2");
    EXPECT_EQ(reg::valueNames("Software\\K").size(), 2u);
    EXPECT_EQ(reg::readString("Software\\K", testsupport::sj("ア"), ""), "1");
}

TEST_F(Registry, TypedValuesFollowTheStoreConventions) {
    const char* k = "Software\\Dunmoor\\CVVell\\Display";
    reg::writeInteger(k, "i", -5);
    reg::writeBool(k, "b", true);
    reg::writeColor(k, "c", 0x80000008u);
    EXPECT_EQ(reg::readString(k, "i", ""), "-5");
    EXPECT_EQ(reg::readString(k, "b", ""), "1");
    EXPECT_EQ(reg::readString(k, "c", ""), "0x80000008");
    EXPECT_EQ(reg::readColor(k, "c", 0), 0x80000008u);
    reg::writeValue(k, "bad", "12x");
    EXPECT_EQ(reg::readInteger(k, "bad", 7), 7);
    EXPECT_TRUE(reg::readBool(k, "bad", true));
    reg::writeValue(k, "two", "2");
    EXPECT_TRUE(reg::readBool(k, "two", false));
    reg::writeValue(k, "hex", "00ff00");
    EXPECT_EQ(reg::readColor(k, "hex", 0), 0x00ff00u);
    reg::writeValue(k, "big", "99999999999");
    EXPECT_EQ(reg::readInteger(k, "big", 3), 3);
    EXPECT_EQ(reg::readInteger(k, "missing", -1), -1);
}

TEST_F(Registry, DeleteKeyIsRecursive) {
    reg::writeValue("Software\\Corvane\\Message\\0001", "Name", "x");
    reg::writeValue("Software\\Corvane", "Top", "y");
    reg::writeValue("Software\\Other", "Keep", "z");
    EXPECT_TRUE(reg::deleteKey("software\\corvane"));
    EXPECT_FALSE(reg::keyExists("Software\\Corvane\\Message"));
    EXPECT_FALSE(reg::deleteKey("Software\\Corvane"));
    reload();
    EXPECT_FALSE(reg::keyExists("Software\\Corvane"));
    EXPECT_EQ(reg::readString("Software\\Other", "Keep", ""), "z");
    EXPECT_FALSE(reg::openKey("Software\\New", false));
    EXPECT_TRUE(reg::openKey("Software\\New", true));
    EXPECT_TRUE(reg::keyExists("Software\\New"));
}

TEST_F(Registry, FailedSaveKeepsTheOldFile) {
    reg::writeValue("Software\\A", "v", "old");
    std::string file = reg::storePath();
    std::string before = testsupport::readFile(file);
    // The disk fills up half way through the next save.
    plat::setAtomicWriteFault(10);
    bool saved = reg::writeValue("Software\\A", "v", "new");
    plat::setAtomicWriteFault(-1);
    EXPECT_FALSE(saved);
    EXPECT_EQ(testsupport::readFile(file), before);
    // No temporary file is left behind.
    std::string folder = file.substr(0, file.rfind('/'));
    int entries = 0;
    for (auto& e : std::filesystem::directory_iterator(folder)) entries += e.is_regular_file();
    EXPECT_EQ(entries, 1);
    // The change is still pending and is saved by the next successful save.
    EXPECT_TRUE(reg::flush());
    reload();
    EXPECT_EQ(reg::readString("Software\\A", "v", ""), "new");
}

TEST_F(Registry, BatchSavesOnceAtTheEnd) {
    {
        reg::Batch batch;
        for (int i = 0; i < 200; ++i) reg::writeInteger("Software\\Many", "v" + std::to_string(i), i);
        struct stat st;
        EXPECT_NE(::stat(reg::storePath().c_str(), &st), 0);
    }
    reload();
    EXPECT_EQ(reg::readInteger("Software\\Many", "v199", -1), 199);
}

TEST_F(Registry, StoreTextIsTheFileFormKeptInMemory) {
    reg::writeValue("Software\\A", "v", "x\"y\\z");
    const std::string file = reg::storePath();
    const std::string saved = testsupport::readFile(file);
    EXPECT_EQ(reg::storeText(), saved);

    reg::setStoreText(saved);
    EXPECT_EQ(reg::readString("Software\\A", "v", ""), "x\"y\\z");
    // A backslash that starts no escape is dropped (the settings file of the
    // backup dialog keeps it).
    reg::setStoreText("[HKEY_CURRENT_USER\\S]\n\"q\"=\"a\\qb\"\n");
    EXPECT_EQ(reg::readString("S", "q", ""), "aqb");
    reg::setStoreText(saved);
    // A key read while missing is found once a write makes it.
    EXPECT_FALSE(reg::keyExists("Software\\B"));
    EXPECT_TRUE(reg::writeValue("Software\\B", "w", "1"));
    EXPECT_EQ(reg::readString("software\\b", "W", ""), "1");
    EXPECT_TRUE(reg::flush());
    // The change lives in memory only: the file is as it was.
    EXPECT_EQ(testsupport::readFile(file), saved);
    EXPECT_NE(reg::storeText(), saved);

    reload(); // back to the file
    EXPECT_FALSE(reg::keyExists("Software\\B"));
}

// The same as FailedSaveKeepsTheOldFile on a real small disk that fills up,
// then turns read-only.
TEST(RegistryDisk, FullOrReadOnlyDiskKeepsTheOldFile) {
    testsupport::SmallDisk disk(256);
    if (!disk.mounted()) GTEST_SKIP() << disk.why();
    const std::string file = disk.folder() + "registry.reg";
    reg::setStorePath(file);
    ASSERT_TRUE(reg::writeValue("Software\\A", "v", "old"));
    const std::string before = testsupport::readFile(file);

    ASSERT_TRUE(disk.fill());
    EXPECT_FALSE(reg::writeValue("Software\\A", "v", std::string(8192, 'n')));
    EXPECT_EQ(testsupport::readFile(file), before);
    ASSERT_TRUE(disk.makeReadOnly());
    EXPECT_FALSE(reg::writeValue("Software\\A", "w", "1"));
    EXPECT_EQ(testsupport::readFile(file), before);
    // Only the store and the filler: no temporary file is left.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(disk.path()), {}), 2);
    reg::setStorePath(file);
    EXPECT_EQ(reg::readString("Software\\A", "v", ""), "old");
    reg::setStoreText("");
}
