// A plain caller of libvell_ak.so: the library is loaded by its system name
// from the program folder and every export is called on the sample data
// that the build copies there (WpData, AkData).
#include "akdata/akexports.h"
#include "fixtures.h"

#include "akdata/trigger.h"
#include "platform/loader.h"
#include "platform/notify.h"
#include "platform/paths.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <cstring>
#include <vector>

using testsupport::sj;
using testsupport::u8;

namespace {

// clang-format off
#define AK_EXPORTS(X)                                                                                        \
    X(LoadAkData) X(SaveAkData) X(CalcAkParam) X(LoadWeapon) X(UnloadWpData) X(LoadWpData)                   \
    X(GetWpDataInfo) X(SetWpDataInfo) X(LoadFrameData) X(LoadEngineData) X(LoadArmorData) X(LoadCompData)    \
    X(LoadDiskData) X(LoadSenData) X(LoadMoveData) X(LoadEscData) X(LoadTurboData) X(CheckMustItem)          \
    X(CheckAkData) X(CheckAkData2) X(CheckAkWeight) X(CalkAkPrice) X(GetMctl2Dex) X(CalcHakuhei)             \
    X(CalcWpWeight) X(CalcWpRespMove) X(MakeDigest) X(MakePilotInf) X(MakeAkDetail) X(MakePartsDetail)       \
    X(MakeWpDetail1) X(MakeWpDetail2) X(LoadTrigger) X(UnloadTrigger) X(CnvHan2Zen) X(CnvZen2Han)            \
    X(CnvNameStr)
// clang-format on

// The library's calls, bound by name.
struct VellAk {
#define AK_MEMBER(name) decltype(&::name) name = nullptr;
    AK_EXPORTS(AK_MEMBER)
#undef AK_MEMBER
    plat::Library lib;

    bool bind() {
#define AK_NAME(name) #name,
        if (!lib.load(VELL_PROGRAM_DIR, "VELL_AK.DLL", {AK_EXPORTS(AK_NAME)})) return false;
#undef AK_NAME
#define AK_BIND(name) name = lib.function<decltype(&::name)>(#name);
        AK_EXPORTS(AK_BIND)
#undef AK_BIND
        return true;
    }
};

class ExportsTest : public ::testing::Test {
protected:
    static void SetUpTestSuite() {
        plat::setProgramFolder(VELL_PROGRAM_DIR);
        plat::notify::setHeadlessEcho(false);
        ak = new VellAk;
        ASSERT_TRUE(ak->bind()) << ak->lib.error();
    }
    static void TearDownTestSuite() {
        delete ak;
        ak = nullptr;
    }
    void SetUp() override {
        ASSERT_NE(ak, nullptr);
        plat::notify::clearRecorded();
    }
    void TearDown() override { ak->UnloadWpData(); }

    // A 2048-byte output buffer inside a larger one filled with a sentinel.
    struct Buffer {
        char bytes[4096];
        Buffer() { std::memset(bytes, '#', sizeof bytes); }
        bool withinBounds() const {
            const void* nul = std::memchr(bytes, '\0', 2048);
            return nul && bytes[2048] == '#' && bytes[4095] == '#';
        }
        std::string text() const { return bytes; }
    };

    static VellAk* ak;
};

VellAk* ExportsTest::ak = nullptr;

} // namespace

TEST_F(ExportsTest, LoadsCheckAndSavesAks) {
    ASSERT_EQ(ak->LoadWeapon("WpData"), 1);
    TArmoredKnight a{};
    ASSERT_EQ(ak->LoadAkData(&a, "AkData\\ak01.dat"), 0);
    EXPECT_EQ(+a.TotalWeight, 310);
    Buffer report;
    EXPECT_EQ(ak->CheckAkData(&a, report.bytes), 0);
    EXPECT_TRUE(report.withinBounds());
    EXPECT_NE(report.text().find(sj("シールド")), std::string::npos);

    TArmoredKnight bad{};
    ASSERT_EQ(ak->LoadAkData(&bad, "AkData\\ak07.dat"), 0);
    Buffer badReport;
    EXPECT_EQ(ak->CheckAkData(&bad, badReport.bytes), 1);
    EXPECT_TRUE(badReport.withinBounds());
    EXPECT_NE(badReport.text().find(sj("データ：\r\n")), std::string::npos);

    EXPECT_EQ(ak->CheckMustItem(&a), 0);
    int flags[7] = {9, 9, 9, 9, 9, 9, 9};
    EXPECT_EQ(ak->CheckAkWeight(&a, nullptr, nullptr, flags), 0);
    EXPECT_EQ(flags[0] + flags[6], 0);

    testsupport::TempDir dir;
    std::string out = (dir.path() / "ak01.dat").string();
    ASSERT_EQ(ak->SaveAkData(&a, out.c_str()), 0);
    EXPECT_EQ(testsupport::readFile(out), akfix::sampleBytes("AkData/ak01.dat"));
    EXPECT_EQ(ak->LoadAkData(&a, "AkData\\none.dat"), 1);
    EXPECT_EQ(plat::notify::recorded().size(), 1u);
    EXPECT_EQ(ak->LoadAkData(nullptr, "AkData\\ak01.dat"), 1);
}

TEST_F(ExportsTest, CatalogTablesAndTheSecondCheck) {
    WpDataRecord* weapons[800] = {};
    FrameCatalogEntry* frames[101];
    PartCatalogEntry* parts[8][101];
    ASSERT_EQ(ak->LoadWpData("WpData\\weapon.dat", weapons), 0);
    EXPECT_EQ(ak->LoadFrameData("WpData\\mf.cat", frames), 3);
    EXPECT_EQ(frames[3], nullptr);
    EXPECT_EQ(ak->LoadEngineData("WpData\\engin.cat", parts[0]), 3);
    EXPECT_EQ(ak->LoadArmorData("WpData\\armer.cat", parts[1]), 2);
    EXPECT_EQ(ak->LoadCompData("WpData\\comp.cat", parts[2]), 2);
    EXPECT_EQ(ak->LoadDiskData("WpData\\md.cat", parts[3]), 2);
    EXPECT_EQ(ak->LoadSenData("WpData\\sen.cat", parts[4]), 2);
    EXPECT_EQ(ak->LoadMoveData("WpData\\mover.cat", parts[5]), 1);
    EXPECT_EQ(ak->LoadEscData("WpData\\esc.cat", parts[6]), 1);
    EXPECT_EQ(ak->LoadTurboData("WpData\\turbo.cat", parts[7]), 1);
    EXPECT_EQ(ak->LoadTurboData("WpData\\missing.cat", parts[7]), 0);
    EXPECT_EQ(parts[7][0], nullptr);
    ak->LoadTurboData("WpData\\turbo.cat", parts[7]);

    int count = 0;
    char* names = nullptr;
    ASSERT_EQ(ak->GetWpDataInfo(&count, &names), 0);
    EXPECT_EQ(count, 11);
    EXPECT_EQ(u8(names), "ビームライフル");
    EXPECT_EQ(u8(names + 32 * 3), "シールド");

    TArmoredKnight a{};
    ASSERT_EQ(ak->LoadAkData(&a, "AkData\\ak04.dat"), 0);
    Buffer report;
    EXPECT_EQ(ak->CheckAkData2(&a, "SAMPLE-1.00", frames, parts[0], parts[1], parts[2], parts[3], parts[4],
                               parts[5], parts[6], parts[7], weapons, report.bytes),
              0)
        << u8(report.text());
    EXPECT_EQ(ak->CheckAkData2(&a, "OTHER", frames, parts[0], parts[1], parts[2], parts[3], parts[4],
                               parts[5], parts[6], parts[7], weapons, report.bytes),
              1);
    // A caller's own sensor table laid out by hand: Name char[32], then the
    // i32 weight (32), price (36), attack (40), defence (44) and the type
    // text as the fifth field (48), in 56-byte entries. ak04 carries
    // 広域センサー, weight 8, price 450, attack 10, defence 5, type WC.
    EXPECT_EQ(std::string(reinterpret_cast<const char*>(parts[4][1]) + 48), "WC");
    alignas(4) unsigned char own[56] = {};
    std::string sensor = sj("広域センサー");
    std::memcpy(own, sensor.data(), sensor.size());
    const int32_t values[4] = {8, 450, 10, 5};
    std::memcpy(own + 32, values, sizeof values);
    std::memcpy(own + 48, "WC", 3);
    PartCatalogEntry* ownTable[2] = {reinterpret_cast<PartCatalogEntry*>(own), nullptr};
    EXPECT_EQ(ak->CheckAkData2(&a, "SAMPLE-1.00", frames, parts[0], parts[1], parts[2], parts[3], ownTable,
                               parts[5], parts[6], parts[7], weapons, report.bytes),
              0)
        << u8(report.text());
    Buffer ownSheet;
    ASSERT_EQ(ak->MakePartsDetail(&a, 1, parts[2], parts[3], ownTable, ownSheet.bytes), 0);
    EXPECT_NE(ownSheet.text().find(sj("    タイプ： WC\r\n")), std::string::npos);
    std::memcpy(own + 48, "NM", 3); // another type: the one mismatch found
    EXPECT_EQ(ak->CheckAkData2(&a, "SAMPLE-1.00", frames, parts[0], parts[1], parts[2], parts[3], ownTable,
                               parts[5], parts[6], parts[7], weapons, report.bytes),
              1);

    // The caller's weapon info limits the catalog numbers the check accepts.
    ASSERT_EQ(ak->SetWpDataInfo(2, names), 0);
    EXPECT_EQ(ak->CheckAkData2(&a, "SAMPLE-1.00", frames, parts[0], parts[1], parts[2], parts[3], parts[4],
                               parts[5], parts[6], parts[7], weapons, report.bytes),
              1);
    int flags[7];
    ak->CheckAkWeight(&a, frames, weapons, flags);
    EXPECT_EQ(flags[0], 0);

    Buffer sheet;
    sheet.bytes[0] = '\0';
    ASSERT_EQ(ak->MakeWpDetail1(sheet.bytes, weapons, 0, 0, 0, 0), 0);
    ASSERT_EQ(ak->MakeWpDetail2(sheet.bytes, &a.Weapon[0], 0, 0, 0), 0);
    std::string both = sheet.text();
    EXPECT_EQ(both.find("  No. 001"), 0u);
    EXPECT_NE(both.find("  No. 001", 10), std::string::npos);
    EXPECT_EQ(ak->MakeWpDetail1(sheet.bytes, weapons, 800, 0, 0, 0), 0); // out of range: nothing
    // A caller's table of one weapon and its null: indexes past the null
    // show nothing and read nothing beyond the table.
    WpDataRecord* shortTable[2] = {weapons[0], nullptr};
    EXPECT_EQ(ak->MakeWpDetail1(sheet.bytes, shortTable, 5, 0, 0, 0), 0);
    EXPECT_EQ(ak->MakeWpDetail1(sheet.bytes, shortTable, 1, 0, 0, 0), 0);
    EXPECT_EQ(sheet.text(), both);
    // LoadWpData ends the table it fills after the 11 sample records.
    std::vector<WpDataRecord*> filled(800, reinterpret_cast<WpDataRecord*>(&sheet));
    ASSERT_EQ(ak->LoadWpData("WpData\\weapon.dat", filled.data()), 0);
    EXPECT_NE(filled[10], nullptr);
    EXPECT_EQ(filled[11], nullptr);

    for (int kind = 0; kind < 3; ++kind) {
        Buffer parts3;
        void* t[3][3] = {
            {frames, parts[0], parts[1]}, {parts[2], parts[3], parts[4]}, {parts[6], parts[5], parts[7]}};
        ASSERT_EQ(ak->MakePartsDetail(&a, kind, t[kind][0], t[kind][1], t[kind][2], parts3.bytes), 0);
        EXPECT_TRUE(parts3.withinBounds());
        EXPECT_GT(std::strlen(parts3.bytes), 50u) << kind;
    }
}

TEST_F(ExportsTest, DerivedValues) {
    TArmoredKnight a{};
    ASSERT_EQ(ak->LoadAkData(&a, "AkData\\ak01.dat"), 0);
    // 1500 + 800 + 300 + 900 + 200 + 300 + armour 70 x 5 + weapons 850 + 400.
    EXPECT_EQ(ak->CalkAkPrice(&a), 5600);
    EXPECT_EQ(ak->GetMctl2Dex(1000), 3);
    EXPECT_EQ(ak->GetMctl2Dex(-160), -2);
    EXPECT_EQ(ak->CalcHakuhei(sj("白切").c_str(), 149), 2);
    EXPECT_EQ(ak->CalcHakuhei(nullptr, 149), 0);
    a.Reaction = 0;
    EXPECT_EQ(ak->CalcAkParam(&a), 0);
    EXPECT_EQ(+a.Reaction, 52);

    TArmoredKnight b{};
    ASSERT_EQ(ak->LoadAkData(&b, "AkData\\ak06.dat"), 0);
    EXPECT_EQ(ak->CalcWpWeight(&b.Weapon[2]), 40); // a full launcher
    b.Weapon[2].AmmoLeft = 6;
    EXPECT_EQ(ak->CalcWpWeight(&b.Weapon[2]), 25);
    int reactions[7], movements[7];
    EXPECT_EQ(ak->CalcWpRespMove(&b, reactions, movements), 3);
    EXPECT_EQ(+b.Weapon[2].AmmoLeft, 6); // restored
}

TEST_F(ExportsTest, SheetsSummaryAndTriggers) {
    TArmoredKnight a{};
    ASSERT_EQ(ak->LoadAkData(&a, "AkData\\ak08.dat"), 0);
    for (int kind = 0; kind <= 7; ++kind) {
        Buffer sheet;
        ASSERT_EQ(ak->MakeAkDetail(&a, kind, sheet.bytes), 0);
        EXPECT_TRUE(sheet.withinBounds()) << kind;
    }
    // Six full weapon comments: more than the buffer takes, cut after a line.
    for (int i = 0; i < 6; ++i) {
        a.Weapon[i].Price = 1;
        std::memset(a.Weapon[i].Name, 'n', 31);
        std::memset(a.Comments[i].Text, 'c', 255);
        a.Comments[i].Mode = 1;
    }
    Buffer big;
    ak->MakeAkDetail(&a, 4, big.bytes);
    EXPECT_TRUE(big.withinBounds());
    EXPECT_GT(std::strlen(big.bytes), 1800u);
    EXPECT_EQ(big.text().substr(big.text().size() - 2), "\r\n");

    int options[5] = {1, 1, 1, 1, 1};
    Buffer block;
    ASSERT_EQ(ak->MakePilotInf(options, "cond", "title", &a, "tail", block.bytes), 0);
    EXPECT_TRUE(block.withinBounds());
    EXPECT_NE(block.text().find("PILOT:"), std::string::npos);

    int value = 0;
    char pilot[80], owner[80], id[80];
    ASSERT_EQ(ak->MakeDigest("AkData\\", "ak02.dat", &value, pilot, owner, id), 0);
    EXPECT_EQ(value, 7800);
    EXPECT_EQ(u8(owner), "鈴木花子(チーム北斗)");
    EXPECT_EQ(u8(pilot), "ミカ・ホクト");
    EXPECT_STREQ(id, "PBM-0002");
    EXPECT_EQ(ak->MakeDigest("AkData\\", "missing.dat", &value, pilot, owner, id), -1);

    testsupport::TempDir dir;
    std::string list = (dir.path() / "words.txt").string();
    testsupport::writeFile(list, "# words\r\nhit strong\r\n");
    void* handle = nullptr;
    ASSERT_EQ(ak->LoadTrigger(list.c_str(), nullptr, list.c_str(), &handle), 0);
    auto* triggers = static_cast<akdata::TriggerBlock*>(handle);
    EXPECT_EQ(triggers->Count[0], 1);
    EXPECT_EQ(triggers->Count[1], 0);
    EXPECT_STREQ(triggers->List[2][0].Key, "hit");
    EXPECT_EQ(ak->UnloadTrigger(), 0);
}

TEST_F(ExportsTest, ShiftJisHelpers) {
    char dst[64];
    EXPECT_EQ(ak->CnvHan2Zen("AB1\xB6", dst), 8);
    EXPECT_EQ(u8(dst), "ＡＢ１カ");
    EXPECT_EQ(ak->CnvZen2Han(sj("ガパ漢").c_str(), dst), 6);
    EXPECT_EQ(std::string(dst), "\xB6\xDE\xCA\xDF" + sj("漢"));
    std::string name = sj("ＡＢＣＤＥＦＧＨＩＪ"); // 20 bytes, 10 half width
    EXPECT_EQ(ak->CnvNameStr(name.c_str(), 12, dst), 0);
    EXPECT_STREQ(dst, "ABCDEFGHIJ");
}
