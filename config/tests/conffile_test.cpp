// Conf files: the defaults of a new conf byte by byte, creation and copy with
// their failures, whole reads, atomic rewrites and the folder change of one
// conf.
#include "config/conffile.h"

#include "testenv.h"
#include "testsupport/smalldisk.h"

#include <cstring>

using testsupport::hex;
using testsupport::readFile;
using testsupport::sj;
using testsupport::writeFile;

namespace {

class ConfFileTest : public cnftest::ConfigTest {};

void putI32(std::string& image, size_t off, uint32_t v) {
    for (int i = 0; i < 4; ++i) image[off + i] = static_cast<char>((v >> (8 * i)) & 0xFF);
}

// The image of a new conf, built from the byte offsets of the file format.
std::string expectedNewConf() {
    std::string image(6161, '\0');
    const std::string formula = "((G-2000)/8 > 0) + F*2 + W*2 + D*5 + K*10";
    image.replace(192, formula.size(), formula);
    for (int flag : {2, 9, 12, 20, 23, 25, 27, 31, 32, 33}) image[448 + flag] = 1;
    putI32(image, 2148, 76);
    putI32(image, 2152, 3);
    putI32(image, 2160, 20);
    putI32(image, 2172, 10);
    putI32(image, 2184, 100);
    putI32(image, 2196, 200);
    putI32(image, 2200, 300);
    putI32(image, 2204, 2000);
    putI32(image, 2208, 0x80000000u);
    const std::string name = sj("大会名");
    image.replace(4795, name.size(), name);
    image.replace(6157, 4, "\x9F\x86\x01\x00", 4);
    return image;
}

// A conf whose every byte is set, so that nothing can hide behind a zero.
std::string patternedConf() {
    std::string image(6161, '\0');
    for (size_t i = 0; i < image.size(); ++i) image[i] = static_cast<char>((i * 7 + 3) & 0xFF);
    return image;
}

TEST_F(ConfFileTest, NewConfFileHoldsExactlyTheDefaults) {
    ConfNodeRec rec{};
    ASSERT_TRUE(cnf::createConfFile(folder(), rec));
    std::string path(rec.ConfPath);
    ASSERT_EQ(path.size(), 18u);
    EXPECT_EQ(path.substr(0, 12), "Config\\VLCNF");
    EXPECT_EQ(path.find_first_not_of("ABCDEFGHIJKLMNOPQRSTUVWXYZ0123456789", 12), std::string::npos);
    std::string bytes = readFile(file(path));
    ASSERT_EQ(bytes.size(), 6161u);
    std::string expected = expectedNewConf();
    for (size_t i = 0; i < bytes.size(); ++i) ASSERT_EQ(bytes[i], expected[i]) << "byte " << i;
    EXPECT_EQ(boxes(), 0);
}

TEST_F(ConfFileTest, CreationMakesConfigAndFindsItInAnyCase) {
    std::filesystem::remove_all(config());
    ConfNodeRec a{}, b{};
    ASSERT_TRUE(cnf::createConfFile(folder(), a));
    EXPECT_TRUE(std::filesystem::is_directory(program_ / "Config"));

    std::filesystem::rename(config(), program_ / "config");
    ASSERT_TRUE(cnf::createConfFile(folder(), b));
    EXPECT_FALSE(std::filesystem::exists(program_ / "Config"));
    EXPECT_NE(std::string(a.ConfPath), std::string(b.ConfPath));
    EXPECT_EQ(std::string(b.ConfPath).substr(0, 7), "Config\\");
    EXPECT_TRUE(cnf::readConf(folder(), b.ConfPath).has_value());
    EXPECT_TRUE(cnf::readConf(folder(), a.ConfPath).has_value());
}

TEST_F(ConfFileTest, CopyIsIdenticalAndUnreadableSourcesCreateNothing) {
    writeFile(config() / "VLCNFSRC001", patternedConf());
    ConfNodeRec rec{};
    ASSERT_TRUE(cnf::createConfFile(folder(), rec, std::string_view("Config\\VLCNFSRC001")));
    EXPECT_EQ(readFile(file(rec.ConfPath)), patternedConf());

    // Missing and Windows-absolute sources: 41042; a short one is named as
    // no conf. No file, record untouched.
    writeFile(config() / "VLCNFSHORT1", patternedConf().substr(0, 6160));
    const std::string notAConf =
        sj("試合設定ファイル(") + folder() + sj("Config/VLCNFSHORT1)の形式が不正です");
    for (std::string_view src :
         {"Config\\VLCNFNONE00", "Config\\VLCNFSHORT1", "C:\\Vell\\Config\\VLCNFSRC001"}) {
        plat::notify::clearRecorded();
        auto before = confFiles();
        ConfNodeRec none{};
        EXPECT_FALSE(cnf::createConfFile(folder(), none, src)) << src;
        EXPECT_EQ(boxes(), 1) << src;
        EXPECT_EQ(src.find("SHORT") != std::string_view::npos ? shown(notAConf) : shown(41042), 1) << src;
        EXPECT_EQ(confFiles(), before) << src;
        EXPECT_EQ(none.ConfPath[0], '\0');
    }
}

TEST_F(ConfFileTest, FailedCreationLeavesNoFile) {
    plat::setAtomicWriteFault(100);
    ConfNodeRec rec{};
    EXPECT_FALSE(cnf::createConfFile(folder(), rec));
    plat::setAtomicWriteFault(-1);
    ASSERT_EQ(boxes(), 1);
    EXPECT_EQ(
        plat::notify::recorded()[0].text.rfind(sj("試合設定をファイル(") + folder() + "Config/VLCNF", 0), 0u);
    EXPECT_TRUE(confFiles().empty());
    EXPECT_EQ(rec.ConfPath[0], '\0');
}

TEST_F(ConfFileTest, ReadsOnlyWholeConfsAndRewritesByteForByte) {
    writeFile(config() / "VLCNFSHORT1", patternedConf().substr(0, 6160));
    EXPECT_FALSE(cnf::readConf(folder(), "Config\\VLCNFSHORT1").has_value());
    EXPECT_FALSE(cnf::readConf(folder(), "Config\\VLCNFSHORT1", false).has_value());
    EXPECT_EQ(boxes(), 1);
    EXPECT_EQ(shown(sj("試合設定ファイル(") + folder() + sj("Config/VLCNFSHORT1)の形式が不正です")), 1);

    writeFile(config() / "VLCNFFULL01", patternedConf() + "tail");
    auto conf = cnf::readConf(folder(), "config\\vlcnffull01");
    ASSERT_TRUE(conf.has_value());
    ASSERT_TRUE(cnf::writeConf(folder(), "Config\\VLCNFFULL01", *conf));
    EXPECT_EQ(readFile(config() / "VLCNFFULL01"), patternedConf());

    // Unaligned fields read through copies.
    double absorb;
    std::memcpy(&absorb, reinterpret_cast<const char*>(&conf->Settings) + 4547, sizeof absorb);
    std::string image = patternedConf();
    double expected;
    std::memcpy(&expected, image.data() + 4547, sizeof expected);
    EXPECT_EQ(std::memcmp(&absorb, &expected, sizeof absorb), 0);
}

TEST_F(ConfFileTest, FailedRewriteKeepsTheOldFile) {
    writeFile(config() / "VLCNFKEEP01", patternedConf());
    plat::setAtomicWriteFault(3000);
    EXPECT_FALSE(cnf::writeConf(folder(), "Config\\VLCNFKEEP01", cnf::newConf()));
    plat::setAtomicWriteFault(-1);
    EXPECT_EQ(readFile(config() / "VLCNFKEEP01"), patternedConf());
}

// The same on a real small disk that fills up, then turns read-only.
TEST_F(ConfFileTest, FullOrReadOnlyDiskKeepsTheOldFile) {
    testsupport::SmallDisk disk(256);
    if (!disk.mounted()) GTEST_SKIP() << disk.why();
    std::filesystem::create_directory(disk.path() / "Config");
    const std::filesystem::path kept = disk.path() / "Config" / "VLCNFKEEP01";
    writeFile(kept, patternedConf());
    ASSERT_TRUE(disk.fill());
    EXPECT_FALSE(cnf::writeConf(disk.folder(), "Config\\VLCNFKEEP01", cnf::newConf()));
    EXPECT_EQ(readFile(kept), patternedConf());
    ASSERT_TRUE(disk.makeReadOnly());
    EXPECT_FALSE(cnf::writeConf(disk.folder(), "Config\\VLCNFKEEP01", cnf::newConf()));
    EXPECT_EQ(readFile(kept), patternedConf());
    // No temporary file is left.
    EXPECT_EQ(std::distance(std::filesystem::directory_iterator(disk.path() / "Config"), {}), 1);
}

TEST_F(ConfFileTest, FolderChangeTouchesOnlyTheNamedFolders) {
    writeFile(config() / "VLCNFDIR001", patternedConf());
    ConfHeader folders{};
    std::memset(folders.ResultFolder, 'x', sizeof folders.ResultFolder); // garbage after the text
    std::strcpy(folders.ResultFolder, "Result\\");
    std::strcpy(folders.AkInputFolder, "AkData\\");
    ConfNodeRec rec{};
    rec.Kind = 1;
    std::string absolute = folder() + "Config\\VLCNFDIR001";
    std::strcpy(rec.ConfPath, absolute.c_str());
    ASSERT_TRUE(cnf::applyConfFolders(rec, folder(), folders));
    EXPECT_STREQ(rec.ConfPath, "Config\\VLCNFDIR001");

    std::string before = patternedConf(), after = readFile(config() / "VLCNFDIR001");
    ASSERT_EQ(after.size(), before.size());
    for (size_t i = 0; i < after.size(); ++i) {
        bool ak = i >= 5131 && i < 5131 + 256, result = i >= 5643 && i < 5643 + 256;
        if (!ak && !result) {
            ASSERT_EQ(after[i], before[i]) << "byte " << i;
        }
    }
    std::string akField = after.substr(5131, 256), resultField = after.substr(5643, 256);
    EXPECT_EQ(akField, std::string("AkData\\") + std::string(256 - 7, '\0'));
    EXPECT_EQ(resultField, std::string("Result\\") + std::string(256 - 7, '\0'));

    // A conf that is not whole is skipped without a word.
    writeFile(config() / "VLCNFDIR002", before.substr(0, 5000));
    ConfNodeRec shortRec{};
    std::strcpy(shortRec.ConfPath, "Config\\VLCNFDIR002");
    EXPECT_FALSE(cnf::applyConfFolders(shortRec, folder(), folders));
    EXPECT_EQ(readFile(config() / "VLCNFDIR002"), before.substr(0, 5000));
    EXPECT_EQ(boxes(), 0);
}

TEST_F(ConfFileTest, AbsolutePathsOutsideTheProgramFolderStayAbsolute) {
    ConfNodeRec rec{};
    std::string elsewhere = (dir_.path() / "VLCNFOUT001").string();
    writeFile(elsewhere, patternedConf());
    std::strcpy(rec.ConfPath, elsewhere.c_str());
    ConfHeader folders{};
    std::strcpy(folders.WeaponDataFolder, "WpData\\");
    EXPECT_TRUE(cnf::applyConfFolders(rec, folder(), folders));
    EXPECT_EQ(std::string(rec.ConfPath), elsewhere);
    EXPECT_EQ(readFile(elsewhere).substr(5899, 8), std::string("WpData\\\0", 8));

    // A folder that only shares the program folder's length is no prefix.
    std::string sibling = folder();
    sibling.back() = 'X';
    std::strcpy(rec.ConfPath, (sibling + "Config\\VLCNF000001").c_str());
    cnf::applyConfFolders(rec, folder(), folders);
    EXPECT_EQ(std::string(rec.ConfPath), sibling + "Config\\VLCNF000001");
}

TEST_F(ConfFileTest, SettingsDialogRoundTripCarriesNameAndMemo) {
    ConfNodeRec rec{};
    rec.Kind = 1;
    ASSERT_TRUE(cnf::createConfFile(folder(), rec));
    std::strcpy(rec.NodeName, sj("春の大会").c_str());
    auto conf = cnf::openConfOfNode(folder(), rec);
    ASSERT_TRUE(conf.has_value());
    EXPECT_EQ(std::string(conf->Header.ConfName), sj("春の大会"));
    std::strcpy(conf->Header.ConfName, "Spring");
    std::strcpy(conf->Header.ConfMemo, "memo");
    ASSERT_TRUE(cnf::storeConfOfNode(folder(), rec, *conf));
    EXPECT_STREQ(rec.NodeName, "Spring");
    EXPECT_STREQ(rec.NodeMemo, "memo");
    EXPECT_EQ(readFile(file(rec.ConfPath)), cnf::confToBytes(*conf));
}

} // namespace
