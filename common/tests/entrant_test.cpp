// The entrant rows: the quick row from the head of every sample AK compared
// field by field with the loaded AK, the faults of the head line, the tag
// search, and the battle royal's row from records and from files.
#include "cmntest.h"

#include "base/sjis.h"
#include "common/entrant.h"

#include <cstring>

namespace {

using cmntest::CmnTest;
using testsupport::sj;

TEST_F(CmnTest, QuickRowsOfTheSamplesMatchTheLoadedAks) {
    // Sample 2 carries a result-history block in front of its records.
    ASSERT_NE(testsupport::readFile(cmntest::samplePath(2)).front(), '3');
    for (int n = 1; n <= 8; ++n) {
        SCOPED_TRACE(n);
        auto ak = cmntest::loadAk(cmntest::samplePath(n));
        EntryRecord row{};
        ASSERT_TRUE(cmn::makeEntryRow(cmntest::sampleFolder(), cmntest::sampleFile(n), row));
        EXPECT_EQ(sjis::readField(row.PilotName), sjis::readField(ak->Pilot.Name));
        std::string owner(sjis::readField(ak->Owner.Name));
        if (!sjis::readField(ak->Owner.SubName).empty())
            owner += "(" + std::string(sjis::readField(ak->Owner.SubName)) + ")";
        EXPECT_EQ(sjis::readField(row.OwnerName), owner);
        EXPECT_EQ(sjis::readField(row.Sex), sjis::readField(ak->Pilot.Sex));
        EXPECT_EQ(+row.Age, +ak->Pilot.Age);
        EXPECT_EQ(+row.MachineValue, +ak->MachineValue);
        EXPECT_EQ(+row.Wins, +ak->Pilot.Wins);
        EXPECT_EQ(+row.Battles, +ak->Pilot.Battles);
        EXPECT_EQ(+row.Destroyed, +ak->Pilot.Destroyed);
        // Nothing else is read from the head.
        EXPECT_EQ(+row.TotalCr, 0);
        EXPECT_EQ(+row.Losses, 0);
        EXPECT_EQ(+row.Draws, 0);
        EXPECT_EQ(+row.Stage, 0);
        EXPECT_EQ(+row.Kills, 0);
        EXPECT_EQ(+row.OwnAkDestroyed, 0);
        EXPECT_EQ(+row.OwnPilotKilled, 0);
        EXPECT_EQ(sjis::readField(row.StatusText), "");
    }
    // The owner keeps its bracketed tail as the file has it.
    EntryRecord row{};
    ASSERT_TRUE(cmn::makeEntryRow(cmntest::sampleFolder(), cmntest::sampleFile(8), row));
    EXPECT_EQ(sjis::readField(row.OwnerName), sj("山本剛(山本重機)"));
    EXPECT_EQ(sjis::readField(row.PilotName), sj("ジン・ヤマモト"));
    EXPECT_EQ(+row.MachineValue, 9900);
    EXPECT_EQ(+row.Age, 45);
    EXPECT_EQ(+row.Wins, 25);
    EXPECT_EQ(+row.Battles, 40);
    EXPECT_EQ(+row.Destroyed, 18);
}

TEST_F(CmnTest, QuickRowHeadLine) {
    const std::string records = "\"owner\"\r\n\"id\"\r\n300\r\n\"pilot\",30,\"sex\",1,2,3,4,5,6\r\n";
    {
        EntryRecord row{};
        EXPECT_FALSE(cmn::entryRowFromBytes("1500\r\n" + records, row));
        EXPECT_EQ(+row.MachineValue, 1500); // the only field that may be set
        EXPECT_EQ(sjis::readField(row.OwnerName), "");
    }
    {
        // Text lines and empty lines before the head are passed over; a line
        // of blanks ends the search.
        EntryRecord row{};
        EXPECT_TRUE(cmn::entryRowFromBytes(sj("【見出し】\r\n\r\n  結果\r\n") + "700,5\r\n" + records, row));
        EXPECT_EQ(+row.MachineValue, 700);
        EXPECT_EQ(sjis::readField(row.PilotName), "pilot");
        EXPECT_EQ(+row.Age, 30);
        EXPECT_EQ(+row.Wins, 4);
        EXPECT_EQ(+row.Battles, 5);
        EXPECT_EQ(+row.Destroyed, 6);
        EntryRecord blank{};
        EXPECT_FALSE(cmn::entryRowFromBytes("text\r\n   \r\n700,5\r\n" + records, blank));
        EntryRecord none{};
        EXPECT_FALSE(cmn::entryRowFromBytes("text only\r\n", none));
        EXPECT_FALSE(cmn::entryRowFromBytes("", none));
    }
    {
        // A quoted owner over two lines shifts none of the later records.
        EntryRecord row{};
        EXPECT_TRUE(cmn::entryRowFromBytes(
            "1,2\r\n\"own\r\ner\"\r\n\"id\"\r\n9\r\n\"p\",7,\"s\",0,0,0,1,2,3\r\n", row));
        EXPECT_EQ(sjis::readField(row.OwnerName), "owner");
        EXPECT_EQ(+row.Age, 7);
        EXPECT_EQ(+row.Destroyed, 3);
    }
    {
        // Texts longer than the row's fields are cut on a character boundary.
        std::string longName;
        for (int i = 0; i < 60; ++i) longName += sj("名");
        EntryRecord row{};
        EXPECT_TRUE(cmn::entryRowFromBytes("1,2\r\n\"" + longName + "\"\r\n\"id\"\r\n9\r\n\"" + longName +
                                               "\",1,\"s\",0,0,0,0,0,0\r\n",
                                           row));
        EXPECT_EQ(sjis::readField(row.OwnerName).size(), 78u);
        EXPECT_EQ(sjis::readField(row.PilotName), longName.substr(0, 78));
    }
    EntryRecord row{};
    EXPECT_FALSE(cmn::makeEntryRow(cmntest::sampleFolder(), "missing.dat", row));
}

TEST_F(CmnTest, QuickRowFromAFileReadInPieces) {
    // The file is read a piece at a time: a history block of any length in
    // front of the head, and a head or record cut by a piece's end, give the
    // row the whole file gives.
    const std::string head = "700,5\r\n\"owner\"\r\n\"id\"\r\n300\r\n\"pilot\",30,\"sex\",1,2,3,4,5,6\r\n";
    const std::string tail = "\"the rest of the AK\"\r\n";
    for (size_t history :
         {size_t{0}, size_t{4000}, size_t{4090}, size_t{4093}, size_t{4096}, size_t{12280}, size_t{70000}}) {
        SCOPED_TRACE(history);
        std::string bytes;
        while (bytes.size() + 12 <= history) bytes += sj("　結果の行") + "\r\n";
        bytes.append(history - bytes.size(), 'x');
        bytes += "\r\n" + head + tail;
        EntryRecord whole{};
        ASSERT_TRUE(cmn::entryRowFromBytes(bytes, whole));
        std::string name = "h" + std::to_string(history) + ".dat";
        testsupport::writeFile(scratch() + name, bytes);
        EntryRecord row{};
        ASSERT_TRUE(cmn::makeEntryRow(scratch().substr(0, scratch().size() - 1), name, row));
        EXPECT_EQ(std::memcmp(&row, &whole, sizeof row), 0);
        EXPECT_EQ(sjis::readField(row.PilotName), "pilot");
        EXPECT_EQ(+row.MachineValue, 700);
        // Cut inside the pilot record: the scan fails as it does on the bytes.
        std::string cut = bytes.substr(0, bytes.size() - tail.size() - 5);
        testsupport::writeFile(scratch() + name, cut);
        EntryRecord fromBytes{}, fromFile{};
        bool expected = cmn::entryRowFromBytes(cut, fromBytes);
        EXPECT_EQ(cmn::makeEntryRow(scratch().substr(0, scratch().size() - 1), name, fromFile), expected);
        EXPECT_EQ(std::memcmp(&fromFile, &fromBytes, sizeof fromFile), 0);
    }
}

TEST_F(CmnTest, ExtractBetweenSearchesWholeCharacters) {
    const std::string enemy = sj("敵［");
    const std::string close = sj("］");
    EXPECT_EQ(cmn::extractBetween(sj("前文敵［ＡＢ］後文"), enemy, close), sj("ＡＢ"));
    EXPECT_EQ(cmn::extractBetween(sj("敵［］"), enemy, close), "");
    EXPECT_EQ(cmn::extractBetween(sj("敵［ＡＢ"), enemy, close), "");
    EXPECT_EQ(cmn::extractBetween(sj("］敵［Ａ］"), enemy, close), sj("Ａ"));
    EXPECT_EQ(cmn::extractBetween(sj("ほかの文"), enemy, close), "");
    // ン is 83 93 and 敵 is 93 47: the bytes of the tag inside "ンG［" start
    // on a trail byte and are no match.
    EXPECT_EQ(cmn::extractBetween(sj("ンG［ＸＹ］"), enemy, close), "");
    EXPECT_EQ(cmn::extractBetween(sj("ンG［ＸＹ］敵［Ｚ］"), enemy, close), sj("Ｚ"));
}

// A record with the texts the battle royal reads.
std::unique_ptr<TArmoredKnight> royalAk(const std::string& profile, const std::string& comment,
                                        const std::string& mechanic) {
    auto ak = std::make_unique<TArmoredKnight>();
    sjis::writeField(ak->Pilot.Profile, profile);
    sjis::writeField(ak->Comments[CommentMatchStart].Text, comment);
    sjis::writeField(ak->Team.Profile, mechanic);
    return ak;
}

TEST_F(CmnTest, RoyalRowTagListsAndStartCell) {
    {
        auto ak =
            royalAk(sj("敵［Ａ］"), sj("敵［Ｂ］同盟［Ｃ］"), sj("敵［Ｄ］同盟［Ｅ］味方［Ｆ］チーム［Ｇ］"));
        RoyalEntryRecord row{};
        cmn::fillRoyalRow(*ak, row);
        EXPECT_EQ(sjis::readField(row.EnemyList), sj("Ａ"));  // the profile wins
        EXPECT_EQ(sjis::readField(row.AllyList), sj("Ｃ"));   // then the comment
        EXPECT_EQ(sjis::readField(row.FriendList), sj("Ｆ")); // then the mechanic
        EXPECT_EQ(sjis::readField(row.TeamList), sj("Ｇ"));
        EXPECT_EQ(+row.PresetPosition, 0);
    }
    {
        auto ak = royalAk(sj("敵［Ａ"), "", "");
        RoyalEntryRecord row{};
        cmn::fillRoyalRow(*ak, row);
        EXPECT_EQ(sjis::readField(row.EnemyList), "");
    }
    struct Cell {
        const char* text;
        bool preset;
        int x, y;
    };
    for (const Cell& c : {Cell{"出現位置［３－５］", true, 3, 5}, Cell{"出現位置［１２－　７］", true, 12, 7},
                          Cell{"出現位置［3－15］", true, 3, 15}, Cell{"出現位置［3,5］", false, 0, 0},
                          Cell{"出現位置［３－５", false, 0, 0}, Cell{"出現位置［Ａ－］", true, 0, 0}}) {
        SCOPED_TRACE(c.text);
        auto ak = royalAk("", sj(c.text), "");
        RoyalEntryRecord row{};
        row.PresetPosition = 1;
        cmn::fillRoyalRow(*ak, row);
        EXPECT_EQ(+row.PresetPosition, c.preset ? 1 : 0);
        EXPECT_EQ(+row.X, c.x);
        EXPECT_EQ(+row.Y, c.y);
    }
    {
        // Without "－" an earlier position stays as it was.
        auto ak = royalAk(sj("出現位置［3,5］"), "", "");
        RoyalEntryRecord row{};
        row.X = 9;
        row.Y = 8;
        cmn::fillRoyalRow(*ak, row);
        EXPECT_EQ(+row.X, 9);
        EXPECT_EQ(+row.Y, 8);
    }
}

TEST_F(CmnTest, RoyalRowMarkDurabilityAndEventCounts) {
    auto ak = royalAk("", "", "");
    sjis::writeField(ak->Pilot.Emblem, sj("★鷹"));
    for (int p = 0; p < BodyPartCount; ++p) {
        ak->Frame.MaxDurability[p] = 30;
        ak->Frame.Durability[p] = p == PartBody ? 0 : 30;
    }
    RoyalEntryRecord row{};
    row.EntrantNo = 5;
    row.Opponent = 3;
    row.CarriedDrain.BindDistance = 11;
    row.Entry.Losses = 2;
    row.Entry.Stage = 4;
    cmn::fillRoyalRow(*ak, row);
    EXPECT_EQ(sjis::readField(row.Mark), sj("★鷹"));
    EXPECT_EQ(+row.HasMark, 1);
    EXPECT_EQ(+row.HitPointPct, 83); // 150 * 100 / 180
    EXPECT_EQ(+row.OutStatus, -1);
    EXPECT_EQ(+row.FightTurn, 0);
    EXPECT_EQ(+row.Entry.Losses, 0);
    EXPECT_EQ(+row.Entry.Stage, 0);
    // Left to the caller.
    EXPECT_EQ(+row.EntrantNo, 5);
    EXPECT_EQ(+row.Opponent, 3);
    EXPECT_EQ(+row.CarriedDrain.BindDistance, 11);

    auto bare = royalAk("", "", "");
    RoyalEntryRecord empty{};
    cmn::fillRoyalRow(*bare, empty);
    EXPECT_EQ(+empty.HasMark, 0);
    EXPECT_EQ(+empty.HitPointPct, 0); // no maxima: no division
}

TEST_F(CmnTest, RoyalRowsOfTheSamples) {
    for (int n = 1; n <= 8; ++n) {
        SCOPED_TRACE(n);
        auto ak = cmntest::loadAk(cmntest::samplePath(n));
        RoyalEntryRecord row{};
        ASSERT_TRUE(cmn::makeRoyalRow(cmntest::sampleFolder(), cmntest::sampleFile(n), row));
        const EntryRecord& e = row.Entry;
        EXPECT_EQ(sjis::readField(e.PilotName), sjis::readField(ak->Pilot.Name));
        EXPECT_EQ(sjis::readField(e.OwnerName), sjis::readField(ak->Owner.Name)); // no bracketed tail
        EXPECT_EQ(sjis::readField(e.Sex), sjis::readField(ak->Pilot.Sex));
        EXPECT_EQ(+e.Age, +ak->Pilot.Age);
        EXPECT_EQ(+e.MachineValue, +ak->MachineValue);
        EXPECT_EQ(+e.TotalCr, +ak->TotalCr);
        EXPECT_EQ(+e.Battles, +ak->Pilot.Battles);
        EXPECT_EQ(+e.Wins, +ak->Pilot.Wins);
        EXPECT_EQ(+e.Draws, +ak->Pilot.Draws);
        EXPECT_EQ(+e.Destroyed, +ak->Pilot.Destroyed);
        EXPECT_EQ(+e.Kills, +ak->Pilot.Kills);
        EXPECT_EQ(+row.Reaction, +ak->Reaction);
        EXPECT_EQ(sjis::readField(row.Mark), sjis::readField(ak->Pilot.Emblem));
        EXPECT_EQ(std::memcmp(&row.Turbo, &ak->Turbo, sizeof row.Turbo), 0);
        int64_t now = 0, max = 0;
        for (int p = 0; p < BodyPartCount; ++p) {
            EXPECT_EQ(+row.MaxDurability[p], +ak->Frame.MaxDurability[p]);
            now += ak->Frame.Durability[p];
            max += ak->Frame.MaxDurability[p];
        }
        EXPECT_EQ(+row.HitPointPct, max ? now * 100 / max : 0);
    }
}

TEST_F(CmnTest, RoyalRowFromAnEditedFileAndAMissingOne) {
    std::string path = editedSample(3, "tagged.dat", [](TArmoredKnight& ak) {
        sjis::writeField(ak.Pilot.Profile, sj("傭兵。敵［ＸＹ］出現位置［１０－２］"));
        sjis::writeField(ak.Team.Profile, sj("敵［ＺＺ］チーム［ＴＭ］"));
    });
    RoyalEntryRecord row{};
    ASSERT_TRUE(cmn::makeRoyalRow(scratch().substr(0, scratch().size() - 1), "tagged.dat", row)) << path;
    EXPECT_EQ(sjis::readField(row.EnemyList), sj("ＸＹ"));
    EXPECT_EQ(sjis::readField(row.TeamList), sj("ＴＭ"));
    EXPECT_EQ(+row.PresetPosition, 1);
    EXPECT_EQ(+row.X, 10);
    EXPECT_EQ(+row.Y, 2);

    // A file that does not load clears PresetPosition and nothing else; the
    // AK data library reports it.
    RoyalEntryRecord untouched;
    std::memset(&untouched, 0x5A, sizeof untouched);
    RoyalEntryRecord missing = untouched;
    EXPECT_FALSE(cmn::makeRoyalRow(cmntest::sampleFolder(), "missing.dat", missing));
    EXPECT_EQ(+missing.PresetPosition, 0);
    missing.PresetPosition = untouched.PresetPosition;
    EXPECT_EQ(std::memcmp(&missing, &untouched, sizeof missing), 0);
    EXPECT_EQ(reportsAbout("missing.dat"), 1);
}

} // namespace
