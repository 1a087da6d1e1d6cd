// The one-vs-one rules without a display: folding a narration line at the
// output width, the step display with its page breaks and prompt, the AK
// view, a full view losing its oldest lines, the status bar texts and the
// status windows' contents, and the set-up window's slots on sample AKs.
#include "modes/frame/textfmt.h"
#include "modes/versus/slots.h"
#include "modes/versus/statusinfo.h"
#include "vstest.h"

#include "akdata/akexports.h"

#include <filesystem>

namespace {

using namespace modetest;
using namespace vstest;
using testsupport::sj;
using versus::foldLine;

std::string repeat(const std::string& s, int n) {
    std::string out;
    for (int i = 0; i < n; ++i) out += s;
    return out;
}

TEST(FoldLine, SpeakerColumnAndContinuationLines) {
    const std::string head = "Speaker:  "; // 10 bytes
    std::string body;
    for (int i = 0; i < 150; ++i) body += static_cast<char>('a' + i % 26);
    auto lines = foldLine(head + body, 10, 76);
    ASSERT_EQ(lines.size(), 3u);
    EXPECT_EQ(lines[0], head + body.substr(0, 66));
    EXPECT_EQ(lines[1], std::string(10, ' ') + body.substr(66, 66));
    EXPECT_EQ(lines[2], std::string(10, ' ') + body.substr(132));

    // Without a speaker column, or fitting the width: one line as it stands.
    EXPECT_EQ(foldLine(head + body, 0, 76), std::vector<std::string>{head + body});
    EXPECT_EQ(foldLine("ab:cd", 3, 76), std::vector<std::string>{"ab:cd"});
    // The speaker column alone shows nothing; a shorter text is kept whole.
    EXPECT_EQ(foldLine("ab", 3, 76), std::vector<std::string>{"ab"});
    EXPECT_TRUE(foldLine("abc", 3, 76).empty());
}

TEST(FoldLine, CutsNeverSplitACharacterAndKeepClosingMarksOnTheLine) {
    const std::string a = sj("あ");
    // "A" then double-byte characters: byte 16 of the rest is a trail byte.
    auto lines = foldLine("abc:A" + repeat(a, 10), 4, 20);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "abc:A" + repeat(a, 7)); // 15 bytes of text
    EXPECT_EQ(lines[1], "    " + repeat(a, 3));

    // A full stop at the cut stays on the line being cut.
    lines = foldLine("abc:" + repeat(a, 8) + sj("。いう"), 4, 20);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "abc:" + repeat(a, 8) + sj("。"));
    EXPECT_EQ(lines[1], "    " + sj("いう"));

    // Two of the set in a row both stay; a third does not.
    lines = foldLine("abc:" + repeat(a, 8) + sj("」。」い"), 4, 20);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "abc:" + repeat(a, 8) + sj("」。"));
    EXPECT_EQ(lines[1], "    " + sj("」い"));

    // Every character of the set is kept from a line's start.
    const std::string set = sj("　’”）〕］｝〉》」』】、。，．？！・");
    ASSERT_EQ(set.size(), 38u);
    for (size_t i = 0; i < set.size(); i += 2) EXPECT_TRUE(versus::isNoBreakBefore(set, i)) << i;
    EXPECT_FALSE(versus::isNoBreakBefore(sj("「"), 0));
    EXPECT_FALSE(versus::isNoBreakBefore(a, 1)); // not a character start's lead byte
}

TEST(FoldLine, NoRoomBesideTheSpeakerColumnStillMovesOn) {
    // A width at or below the speaker column (and an indent past the 64
    // kept) must not stall: one character per line.
    const std::string a = sj("あ");
    auto lines = foldLine("abcd" + a + "x", 4, 3);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[0], "abcd" + a);
    EXPECT_EQ(lines[1], "    x");
    // Width 5: one byte of room, and that byte starts a double-byte character.
    lines = foldLine("abcd" + repeat(a, 2), 4, 5);
    ASSERT_EQ(lines.size(), 2u);
    EXPECT_EQ(lines[1], "    " + a);

    std::string wide = std::string(100, '-') + "tail";
    lines = foldLine(wide, 100, 70);
    ASSERT_EQ(lines.size(), 7u); // the column is cut to 64 bytes, 6 left beside it
    EXPECT_EQ(lines[0], std::string(70, '-'));
    EXPECT_EQ(lines[1], std::string(64, ' ') + std::string(6, '-'));
    EXPECT_EQ(lines[6], std::string(64, ' ') + "tail");
    lines = foldLine("abcd" + std::string(10, 'x'), 4, -5);
    EXPECT_EQ(lines.size(), 10u);
}

class ShowOutput : public ::testing::Test {
protected:
    void SetUp() override {
        for (uint32_t i = 0; i < 20; ++i) colours[i] = 0x100 + i;
        options.OutputColumns = 40;
        options.Colours = colours;
        options.Prompt = sj("（リターンキーを押すと次に進みます）");
    }
    std::unique_ptr<cv::GameMessageBuffer> buffer = std::make_unique<cv::GameMessageBuffer>();
    uint32_t colours[20];
    versus::DisplayOptions options;
    versus::DisplayState state;
    VectorSink sink;
};

TEST_F(ShowOutput, StepModeStopsAtAPageBreakAndGoesOnWithoutNewLines) {
    addLine(*buffer, cv::KindAnnouncer, 0, "opening", 1);
    addLine(*buffer, cv::KindPageBreak, 0, "---");
    addLine(*buffer, cv::KindPilot1, 4, "P1: " + std::string(50, 'x'));
    addLine(*buffer, cv::KindRecordFrame, 0, "+---+");
    addLine(*buffer, 42, 0, "unknown kind");
    addLine(*buffer, cv::KindTrace, 0, sj("－－ trace"));

    state.OutputPending = false;
    state.StepState = 1;
    versus::showMatchOutput(*buffer, state, options, sink);
    std::vector<std::pair<std::string, uint32_t>> expected{
        {"", 0x100}, {"opening", 0x105}, {"", 0x105}, {options.Prompt, 0x100}};
    EXPECT_EQ(sink.lines, expected);
    EXPECT_TRUE(state.OutputPending);
    EXPECT_EQ(state.ResumeLine, 2);

    // The next display: the prompt gives way to an empty line, the rest.
    versus::showMatchOutput(*buffer, state, options, sink);
    expected = {{"", 0x100},
                {"opening", 0x105},
                {"", 0x105},
                {"", 0x100},
                {"P1: " + std::string(36, 'x'), 0x101},
                {"    " + std::string(14, 'x'), 0x101},
                {sj("－－ trace"), 0x106},
                {options.Prompt, 0x100}};
    EXPECT_EQ(sink.lines, expected);
    EXPECT_FALSE(state.OutputPending);

    // With nothing pending the display starts at the buffer's first line.
    state.Paused = false;
    state.StepState = 5; // done: no prompt
    sink.lines.clear();
    versus::showMatchOutput(*buffer, state, options, sink);
    EXPECT_EQ(state.ResumeLine, 0);
    EXPECT_FALSE(state.OutputPending);
    ASSERT_EQ(sink.lines.size(), 6u); // run mode shows past the page break
    EXPECT_EQ(sink.lines.back().first, sj("－－ trace"));
}

TEST_F(ShowOutput, AFullViewLosesItsOldestLines) {
    VectorSink small(150);
    for (int i = 0; i < 150; ++i) small.addLine("old", 0);
    for (int i = 0; i < 5; ++i) addLine(*buffer, cv::KindSystem, 0, "new" + std::to_string(i));
    state.OutputPending = false;
    state.Paused = false;
    versus::showMatchOutput(*buffer, state, options, small);
    // The last old line made way for the empty line; "new0" was refused and
    // lost, the 100 oldest went, the rest follows.
    ASSERT_EQ(small.lines.size(), 150u - 100u + 4u + 1u);
    EXPECT_EQ(small.lines[49].first, "");
    EXPECT_EQ(small.lines[50].first, "new1");
    EXPECT_EQ(small.lines.back().first, options.Prompt);
}

TEST_F(ShowOutput, CountsAndBlankLinesBeyondTheBufferAreKeptInBounds) {
    addLine(*buffer, cv::KindSystem, 0, "only", 0xFFFFFFFFu);
    buffer->Count = 100000;
    buffer->Lines[1].Kind = 99;
    std::memset(buffer->Lines[2].Text, 'z', sizeof buffer->Lines[2].Text); // no terminator
    buffer->Lines[2].Kind = cv::KindSystem;
    state.OutputPending = false;
    state.Paused = false;
    versus::showMatchOutput(*buffer, state, options, sink);
    EXPECT_LT(sink.lines.size(), 2000u);
    EXPECT_EQ(versus::queuedLines(*buffer), cv::MessageLineCount);
    bool sawZ = false;
    for (const auto& l : sink.lines) sawZ = sawZ || l.first.find('z') != std::string::npos;
    EXPECT_TRUE(sawZ);
}

TEST_F(ShowOutput, AkViewShowsTextsAsTheyStand) {
    sink.addLine("left over", 0);
    addLine(*buffer, cv::KindPilot2, 8, "Name:   " + std::string(60, 'q'), 2);
    addLine(*buffer, cv::KindPageBreak, 0, "---");
    versus::showAkView(*buffer, 0x123, sink);
    std::vector<std::pair<std::string, uint32_t>> expected{
        {"", 0x123}, {"Name:   " + std::string(60, 'q'), 0x123}, {"", 0x123}, {"", 0x123}, {"---", 0x123}};
    EXPECT_EQ(sink.lines, expected);
}

TEST(StatusInfo, StatusBarTexts) {
    GameSettings s{};
    s.MatchType = 1;
    s.MatchMinutes = 30;
    EXPECT_EQ(versus::matchTypeText(s), sj("試合形式： タイムマッチ３０分"));
    s.MatchType = 3;
    s.Options[OptBountyMatch] = 1;
    EXPECT_EQ(versus::matchTypeText(s), sj("試合形式： デスマッチ（賞金首試合）"));
    s.MatchType = 4;
    s.MatchMinutes = -5;
    s.Options[OptBountyMatch] = 0;
    EXPECT_EQ(versus::matchTypeText(s), sj("試合形式： タイムデスマッチ－５分"));
    s.MatchType = 200;
    EXPECT_EQ(versus::matchTypeText(s), sj("試合形式： "));
    const char* names[] = {"イニングマッチ", "タイムマッチ",     "バトルマッチ",
                           "デスマッチ",     "タイムデスマッチ", "ヘッドデスマッチ"};
    for (int t = 0; t < 6; ++t) EXPECT_EQ(versus::matchTypeName(t), sj(names[t]));
    sjis::writeField(s.ChosenAnnouncer.Id, sj("実況一号"));
    EXPECT_EQ(versus::announcerText(s), sj("アナウンサー： 実況一号"));
}

TEST(StatusInfo, BarsAndWeaponRows) {
    auto ak = std::make_unique<TArmoredKnight>();
    const int32_t dur[6] = {30, 0, 45, 90, -3, 500};
    const int32_t max[6] = {60, 0, 90, 90, 40, 100};
    for (int i = 0; i < 6; ++i) {
        ak->Frame.Durability[i] = dur[i];
        ak->Frame.MaxDurability[i] = max[i];
    }
    auto bars = versus::partBars(*ak);
    EXPECT_EQ(bars[0].Width, 50);
    EXPECT_EQ(bars[1].Width, 0); // no maximum: an empty bar
    EXPECT_EQ(bars[1].Text, "0/0");
    EXPECT_EQ(bars[2].Width, 50);
    EXPECT_EQ(bars[3].Width, 100);
    EXPECT_EQ(bars[4].Width, 0);   // kept inside the bar
    EXPECT_EQ(bars[5].Width, 100); // kept inside the bar
    EXPECT_EQ(bars[4].Text, "-3/40");

    sjis::writeField(ak->Weapon[0].Name, sj("ビームライフル"));
    ak->Weapon[0].Price = 850;
    ak->Weapon[0].AmmoLeft = 10;
    ak->Weapon[0].ArmorLeft = 12;
    sjis::writeField(ak->Weapon[1].Name, sj("未購入"));
    sjis::writeField(ak->Weapon[3].Name, sj("ソード"));
    ak->Weapon[3].Price = 400;
    ak->Weapon[3].AmmoLeft = 0;
    ak->Weapon[3].ArmorLeft = 30;
    auto rows = versus::weaponRows(*ak);
    ASSERT_EQ(rows.size(), 2u);
    EXPECT_EQ(rows[0].No, "1");
    EXPECT_EQ(rows[0].Name, sj("ビームライフル"));
    EXPECT_EQ(rows[0].Ammo, "10");
    EXPECT_EQ(rows[0].Armor, "12");
    EXPECT_EQ(rows[1].No, "4");
    EXPECT_EQ(rows[1].Ammo, "--");

    sjis::writeField(ak->Pilot.Name, sj("アレックス"));
    sjis::writeField(ak->Owner.Name, sj("田中"));
    EXPECT_EQ(versus::statusTitle(0, *ak), sj("プレイヤー１：アレックス／田中"));
    EXPECT_EQ(versus::statusTitle(1, *ak), sj("プレイヤー２：アレックス／田中"));
}

class Slots : public ModeTest {};

TEST_F(Slots, SummaryActiveSlotAndStartRule) {
    versus::VersusSlots slots;
    const std::string p1 = programDir() + "AkData/ak01.dat";
    EXPECT_FALSE(slots.startAllowed(true, true));
    ASSERT_TRUE(slots.load(0, p1));
    EXPECT_FALSE(slots.startAllowed(true, true)); // one slot only
    ASSERT_TRUE(slots.load(1, programDir() + "AkData/ak02.dat"));
    EXPECT_TRUE(slots.startAllowed(true, true));
    EXPECT_FALSE(slots.startAllowed(false, true));
    EXPECT_TRUE(slots.startAllowed(false, false));

    // A file that does not load leaves the slot as it was.
    const std::string pilot(sjis::readField(slots.ak(1).Pilot.Name));
    EXPECT_FALSE(slots.load(1, scratch() + "missing.dat"));
    EXPECT_EQ(slots.path(1), programDir() + "AkData/ak02.dat");
    EXPECT_EQ(sjis::readField(slots.ak(1).Pilot.Name), pilot);
    plat::notify::clearRecorded();
    // A file that holds no AK data is refused, and said so once.
    testsupport::writeFile(scratch() + "empty.dat", "no numbers here\r\n");
    EXPECT_FALSE(slots.load(1, scratch() + "empty.dat"));
    EXPECT_EQ(slots.path(1), programDir() + "AkData/ak02.dat");
    ASSERT_EQ(plat::notify::recorded().size(), 1u);
    EXPECT_EQ(plat::notify::recorded()[0].text,
              sj("機体データをファイル(") + scratch() + sj("empty.dat)から読みこめません"));
    plat::notify::clearRecorded();

    // A path the game settings cannot hold whole is refused with the
    // system's message: cut to 79 bytes it would name some other file.
    const std::string deep = scratch() + std::string(80, 'd') + "/";
    std::filesystem::create_directories(deep);
    std::filesystem::copy_file(p1, deep + "ak01.dat");
    EXPECT_FALSE(slots.load(1, deep + "ak01.dat"));
    EXPECT_EQ(slots.path(1), programDir() + "AkData/ak02.dat");
    auto rec = plat::notify::recorded();
    ASSERT_EQ(rec.size(), 1u);
    EXPECT_EQ(rec[0].text, sj("機体データをファイル(") + deep + sj("ak01.dat)から読みこめません"));
    EXPECT_EQ(rec[0].caption, sj("この操作はできません"));
    plat::notify::clearRecorded();
    const std::string fits = scratch() + "f.dat";
    ASSERT_LT(fits.size(), 80u);
    std::filesystem::copy_file(p1, fits);
    EXPECT_TRUE(slots.load(1, fits));
    EXPECT_TRUE(modes::fitsAkFileField(std::string(79, 'x')));
    EXPECT_FALSE(modes::fitsAkFileField(std::string(80, 'x')));
    ASSERT_TRUE(slots.load(1, programDir() + "AkData/ak02.dat"));

    auto lines = versus::akSummaryLines(slots.ak(0), p1);
    ASSERT_EQ(lines.size(), 12u);
    EXPECT_EQ(lines[0], sj("名前: アレックス・ロウ"));
    EXPECT_EQ(lines[1].substr(0, sj("戦績: ").size()), sj("戦績: "));
    EXPECT_NE(lines[1].find(sj("    反応: ")), std::string::npos);
    EXPECT_EQ(lines[3], "");
    EXPECT_EQ(lines[4], sj(" 1: ビームライフル"));
    EXPECT_EQ(lines[5], sj(" 2: シールド"));
    EXPECT_EQ(lines[6], " 3: ");
    EXPECT_EQ(lines[9], " 6: ");
    EXPECT_EQ(lines[10], "");
    EXPECT_EQ(lines[11], sj("ファイル名：") + p1);
    EXPECT_EQ(slots.title(), std::string(sjis::readField(slots.ak(0).Pilot.Name)) + " Vs " + pilot);

    EXPECT_EQ(slots.active(), 0);
    slots.switchActive();
    EXPECT_EQ(slots.active(), 1);
    EXPECT_EQ(versus::headText(0, false), "Player 1");
    EXPECT_EQ(versus::headText(1, true), "[Player 2]");
}

TEST_F(Slots, RecordNumbersShowAsNumbers) {
    auto ak = std::make_unique<TArmoredKnight>();
    ak->Pilot.Battles = 12;
    ak->Pilot.Wins = 7;
    ak->Pilot.Draws = 2;
    ak->Reaction = 31;
    ak->MachineValue = 5000;
    ak->Cash = 1200;
    ak->Movement = 52;
    auto lines = versus::akSummaryLines(*ak, "x.dat");
    EXPECT_EQ(lines[1], sj("戦績: 12戦 7勝 3敗 2分    反応: 31"));
    EXPECT_EQ(lines[2], sj("価値: 5000Cr.  所持: 1200Cr    移動: 52"));
    // A record whose losses would not fit a 32-bit number stays readable.
    ak->Pilot.Battles = INT32_MIN;
    ak->Pilot.Wins = INT32_MAX;
    lines = versus::akSummaryLines(*ak, "x.dat");
    EXPECT_NE(lines[1].find(sj("-2147483648敗")), std::string::npos);
}

} // namespace
