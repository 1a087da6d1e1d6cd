// The battle royal's rules without the game processor: targeting and
// movement on the map turn by turn, the marks and team lists of the start,
// the clean-up of an earlier run, the AK file of a winner's next fight, the
// drain data, the texts of a finished fight, the guide sentences and the
// result table.
#include "base/sjis.h"
#include "modes/brawlall/brturn.h"
#include "modes/brawlall/royal.h"
#include "testsupport/testsupport.h"

#include <gtest/gtest.h>

#include <array>
#include <cmath>
#include <cstring>
#include <filesystem>
#include <limits>

namespace {

using brawl::BrMap;
using brawl::RoyalBoard;
using testsupport::sj;

struct Spec {
    int x, y;
    const char* mark = "";    // UTF-8; empty: the entrant's number
    const char* enemies = ""; // UTF-8 mark lists
    const char* allies = "";
    const char* friends = "";
    int reaction = 0;
};

class Board : public ::testing::Test {
protected:
    void make(std::initializer_list<Spec> specs, int cols = 10, int rows = 10) {
        list_.clear();
        for (const Spec& s : specs) {
            modes::Entrant e;
            e.Path = "ak" + std::to_string(list_.size()) + ".dat";
            e.Record = modes::newRow();
            RoyalEntryRecord& r = *e.Record;
            r.X = s.x;
            r.Y = s.y;
            r.PresetPosition = 1;
            r.OutStatus = -1;
            r.HitPointPct = 100;
            r.Reaction = s.reaction;
            r.HasMark = *s.mark ? 1 : 0;
            sjis::writeField(r.Mark, sj(s.mark));
            sjis::writeField(r.EnemyList, sj(s.enemies));
            sjis::writeField(r.AllyList, sj(s.allies));
            sjis::writeField(r.FriendList, sj(s.friends));
            list_.push_back(std::move(e));
        }
        map_.Place(cols, rows, list_, [] {
            ADD_FAILURE() << "a preset cell was taken";
            return 0;
        });
        brawl::prepareStart(list_);
        board_ = std::make_unique<RoyalBoard>(list_, map_);
        listener_.moved = [this](int no, int dx, int dy) { moves_.push_back({no, dx, dy}); };
        listener_.paint = [this](const brawl::CellPaint& p) { paints_.push_back(p); };
    }
    RoyalEntryRecord& row(int i) { return *list_[static_cast<size_t>(i)].Record; }
    std::pair<int, int> at(int i) {
        int x = row(i).X, y = row(i).Y;
        return {x, y};
    }
    bool turn(int t, bool* changed = nullptr) { return board_->MoveRoyalEntrants(t, listener_, changed); }

    modes::EntrantList list_;
    BrMap map_;
    std::unique_ptr<RoyalBoard> board_;
    brawl::TurnListener listener_;
    std::vector<std::array<int, 3>> moves_;
    std::vector<brawl::CellPaint> paints_;
};

TEST_F(Board, EnemiesWalkTowardsEachOtherAndPairWhenOrthogonallyNext) {
    make({{0, 0, "Ａ", "Ｂ"}, {4, 0, "Ｂ", "Ａ"}});
    EXPECT_TRUE(turn(1));
    // Both step along X; the map follows.
    EXPECT_EQ(moves_, (std::vector<std::array<int, 3>>{{0, 1, 0}, {1, -1, 0}}));
    EXPECT_EQ(at(0), std::make_pair(1, 0));
    EXPECT_EQ(at(1), std::make_pair(3, 0));
    EXPECT_EQ(map_.cell(0, 0), 0);
    EXPECT_EQ(map_.cell(1, 0), 1);
    EXPECT_EQ(map_.cell(3, 0), 2);
    ASSERT_EQ(paints_.size(), 4u);
    EXPECT_TRUE(paints_[0].Empty);
    EXPECT_EQ(paints_[1].Label, sj("Ａ"));
    EXPECT_EQ(paints_[1].Colour, brawl::colour::White);
    EXPECT_EQ(+row(0).FightTurn, 0);
    // Turn 2: the first steps next to the second and pairs with it; the
    // second is then fighting and stays.
    moves_.clear();
    EXPECT_TRUE(turn(2));
    EXPECT_EQ(moves_, (std::vector<std::array<int, 3>>{{0, 1, 0}}));
    EXPECT_EQ(+row(0).FightTurn, 2);
    EXPECT_EQ(+row(0).Opponent, 1);
    EXPECT_EQ(+row(1).FightTurn, 2);
    EXPECT_EQ(+row(1).Opponent, 0);
    // While they fight the turn goes on without moves.
    moves_.clear();
    EXPECT_TRUE(turn(3));
    EXPECT_TRUE(moves_.empty());
}

TEST_F(Board, DiagonalNeighboursTakeOneMoreStep) {
    make({{2, 2, "Ａ", "Ｂ"}, {3, 3, "Ｂ", "Ａ"}});
    bool changed = false;
    EXPECT_TRUE(turn(1, &changed));
    // Distance 2: a step along X (|dx| = |dy|), then the search again finds the pair.
    EXPECT_EQ(moves_, (std::vector<std::array<int, 3>>{{0, 1, 0}}));
    EXPECT_EQ(at(0), std::make_pair(3, 2));
    EXPECT_EQ(+row(0).FightTurn, 1);
    EXPECT_EQ(+row(1).Opponent, 0);
    EXPECT_TRUE(changed);
}

TEST_F(Board, TheLongerAxisFirstAndBlockedSteps) {
    // The first moves along Y (|dx| < |dy|); the way is blocked by a friend
    // standing still, so it steps along X instead.
    make({{5, 5, "Ａ", "Ｃ", "", "Ｂ"}, {5, 6, "Ｂ", "", "", "ＡＣ"}, {6, 9, "Ｃ", "", "", "ＡＢ"}});
    turn(1);
    EXPECT_EQ(moves_, (std::vector<std::array<int, 3>>{{0, 1, 0}}));
    EXPECT_EQ(at(0), std::make_pair(6, 5));
    // Both ways blocked: it stays and reports no change.
    make({{0, 0, "Ａ", "Ｃ", "", "ＢＤ"},
          {1, 0, "Ｂ", "", "", "ＡＣＤ"},
          {0, 1, "Ｄ", "", "", "ＡＢＣ"},
          {3, 3, "Ｃ", "", "", "ＡＢＤ"}});
    moves_.clear();
    bool changed = true;
    EXPECT_TRUE(turn(1, &changed));
    EXPECT_EQ(moves_, (std::vector<std::array<int, 3>>{{0, 0, 0}}));
    EXPECT_EQ(at(0), std::make_pair(0, 0));
    EXPECT_EQ(map_.cell(0, 0), 1);
    EXPECT_FALSE(changed);
    // An entrant out of the game is no obstacle: it is stepped on.
    row(1).OutStatus = 0;
    moves_.clear();
    turn(2);
    EXPECT_EQ(moves_, (std::vector<std::array<int, 3>>{{0, 1, 0}}));
    EXPECT_EQ(map_.cell(1, 0), 1);
}

TEST_F(Board, FriendsAreNeverTargetsAndTheEventEnds) {
    make({{0, 0, "Ａ", "", "", "Ｂ"}, {5, 5, "Ｂ", "", "", "Ａ"}});
    bool changed = true;
    EXPECT_FALSE(turn(1, &changed));
    EXPECT_TRUE(moves_.empty());
    EXPECT_FALSE(changed);
    // Out of the game nobody is a target either.
    make({{0, 0, "Ａ"}, {5, 5, "Ｂ"}});
    row(1).OutStatus = 0;
    EXPECT_FALSE(turn(1));
}

TEST_F(Board, NeutralsBeforeAlliesAndAlliesLast) {
    // A's ally B is nearer than the unaligned C: C is the target.
    make({{0, 0, "Ａ", "", "Ｂ"}, {0, 2, "Ｂ", "", "Ａ"}, {6, 0, "Ｃ"}});
    std::vector<int> order = board_->turnOrder();
    brawl::Target t = board_->FindNearestOpponent(0, order);
    EXPECT_EQ(t.Index, 2);
    EXPECT_EQ(t.Distance, 36);
    // Without the neutral, the ally is attacked.
    row(2).OutStatus = 16;
    t = board_->FindNearestOpponent(0, order);
    EXPECT_EQ(t.Index, 1);
    EXPECT_EQ(t.Distance, 4);
    // An enemy comes before everything.
    make({{0, 0, "Ａ", "Ｄ", "Ｂ"}, {0, 1, "Ｂ"}, {1, 0, "Ｃ"}, {9, 9, "Ｄ"}});
    t = board_->FindNearestOpponent(0, board_->turnOrder());
    EXPECT_EQ(t.Index, 3);
    // A mark in the friend list and in the enemy list is still an enemy.
    make({{0, 0, "Ａ", "Ｂ", "", "Ｂ"}, {0, 3, "Ｂ"}});
    EXPECT_EQ(board_->FindNearestOpponent(0, board_->turnOrder()).Index, 1);
}

TEST_F(Board, TiesGoToTheLaterOneAndFightersAreTheLastResort) {
    // Reaction order: 2, 1, 0 (highest first). B and C are both at distance 4.
    make({{4, 4, "A", "**"}, {4, 2, "B", "", "", "**", 5}, {4, 6, "C", "", "", "**", 9}});
    std::vector<int> order = board_->turnOrder();
    EXPECT_EQ(order, (std::vector<int>{2, 1, 0}));
    EXPECT_EQ(board_->FindNearestOpponent(0, order).Index, 1); // later in the order
    // Both fighting: the last fighting one in the order.
    row(1).FightTurn = 1;
    row(2).FightTurn = 1;
    EXPECT_EQ(board_->FindNearestOpponent(0, order).Index, 1);
    // One free: the free one, although farther.
    row(1).FightTurn = 0;
    map_.setCellValue(4, 2, 0);
    row(1).X = 4;
    row(1).Y = 0;
    map_.setCellValue(4, 0, 2);
    EXPECT_EQ(board_->FindNearestOpponent(0, order).Index, 1);
}

TEST_F(Board, AWaitingEntrantDoesNotPairWithAFighter) {
    make({{0, 0, "Ａ", "Ｃ"}, {2, 0, "Ｂ", "Ｃ"}, {1, 0, "Ｃ", "ＡＢ"}}, 10, 10);
    // Order by reaction (all 0): list order. A pairs with C; B stands next
    // to C too but C is taken, so B waits.
    EXPECT_TRUE(turn(1));
    EXPECT_EQ(+row(0).Opponent, 2);
    EXPECT_EQ(+row(2).Opponent, 0);
    EXPECT_EQ(+row(1).FightTurn, 0);
    EXPECT_TRUE(moves_.empty());
}

TEST(RoyalStart, MarksNumbersAndTeamLists) {
    modes::EntrantList list;
    auto add = [&list](const char* mark, const char* team, const char* enemies, const char* friends,
                       const char* allies) {
        modes::Entrant e;
        e.Record = modes::newRow();
        e.Record->HasMark = *mark ? 1 : 0;
        sjis::writeField(e.Record->Mark, sj(mark));
        sjis::writeField(e.Record->TeamList, sj(team));
        sjis::writeField(e.Record->EnemyList, sj(enemies));
        sjis::writeField(e.Record->FriendList, sj(friends));
        sjis::writeField(e.Record->AllyList, sj(allies));
        list.push_back(std::move(e));
    };
    add("★", "☆", "◆", "☆", "");
    add("☆", "", "", "", "●");
    add("", "", "", "", "");   // no emblem: never a team mate
    add("◇", "★", "", "", ""); // team list naming the first
    for (int i = 4; i < 258; ++i) add("", "", "", "", "");
    brawl::prepareStart(list);
    for (size_t i = 0; i < list.size(); ++i) EXPECT_EQ(+list[i].Record->EntrantNo, static_cast<int>(i));
    EXPECT_EQ(sjis::readField(list[2].Record->Mark), "02");
    EXPECT_EQ(sjis::readField(list[11].Record->Mark), "0b");
    EXPECT_EQ(sjis::readField(list[257].Record->Mark), "101"); // not the mark of entrant 1
    EXPECT_EQ(+list[2].Record->HasMark, 0);
    // The first's lists went to the second (named by its team list).
    EXPECT_EQ(sjis::readField(list[1].Record->EnemyList), sj("◆"));
    EXPECT_EQ(sjis::readField(list[1].Record->FriendList), sj("☆"));
    EXPECT_EQ(sjis::readField(list[1].Record->AllyList), sj("●"));
    // The fourth hands its (empty) lists to the first.
    EXPECT_EQ(sjis::readField(list[0].Record->EnemyList), sj("◆"));
    EXPECT_EQ(sjis::readField(list[2].Record->EnemyList), "");

    char field[80] = {};
    std::string long78(78, 'A');
    brawl::appendMarks(field, long78);
    brawl::appendMarks(field, sj("★"));
    EXPECT_EQ(sjis::readField(field), long78); // a character that does not fit is left out
    brawl::appendMarks(field, "BC");
    EXPECT_EQ(sjis::readField(field), long78 + "B");
}

TEST(RoyalSetUp, CountAndShuffle) {
    EXPECT_EQ(brawl::entrantCount(8, 10, 10, 5), 5);
    EXPECT_EQ(brawl::entrantCount(500, 10, 10, 1000), 100);
    EXPECT_EQ(brawl::entrantCount(500, 5, 5, 1000), 100); // the map is at least 10 × 10
    EXPECT_EQ(brawl::entrantCount(3, 20, 20, 8), 3);

    modes::EntrantList list;
    for (const char* p : {"a", "b", "c", "d"}) list.push_back({p, modes::newRow()});
    std::vector<int> draws{5, 0, 7, 3}; // 5 mod 4 = 1 (b), 0 mod 3 = 0 (a), 7 mod 2 = 1 (d), c
    size_t k = 0;
    brawl::shuffleEntrants(list, [&] { return draws[k++]; });
    std::vector<std::string> order;
    for (const auto& e : list) order.push_back(e.Path);
    EXPECT_EQ(order, (std::vector<std::string>{"b", "a", "d", "c"}));
}

TEST(RoyalRunFiles, OldOutputsButNoEntrantsFile) {
    testsupport::TempDir dir;
    std::filesystem::create_directories(dir.path() / "out");
    std::filesystem::create_directories(dir.path() / "res");
    for (const char* f :
         {"ak01.dat", "ak01.da1", "AK02.DA2", "ak03.daT", "ak04.da10", "ak05.daX", "ak06.da2", "keep.txt"})
        testsupport::writeFile(dir.path() / "out" / f, "x");
    for (const char* f : {"bt_001.txt", "bt_view.vellScript", "BattleRoyal.txt", "bt_ace.dat"})
        testsupport::writeFile(dir.path() / "res" / f, "x");
    // bt_ace.dat is an entrant's own file (the results folder is also an
    // input folder).
    brawl::deleteOldOutputs(dir.folder() + "out", dir.folder() + "res", {dir.folder() + "res\\bt_ace.dat"});
    auto has = [&dir](const char* rel) { return std::filesystem::exists(dir.path() / rel); };
    EXPECT_TRUE(has("out/ak01.dat"));
    EXPECT_FALSE(has("out/ak01.da1"));
    EXPECT_FALSE(has("out/AK02.DA2"));
    EXPECT_TRUE(has("out/ak03.daT"));
    EXPECT_FALSE(has("out/ak04.da10")); // an output up to .da98
    EXPECT_FALSE(has("out/ak06.da2"));
    EXPECT_TRUE(has("out/ak05.daX")); // never written by the game processor
    EXPECT_TRUE(has("out/keep.txt"));
    EXPECT_FALSE(has("res/bt_001.txt"));
    EXPECT_FALSE(has("res/bt_view.vellScript"));
    EXPECT_TRUE(has("res/BattleRoyal.txt"));
    EXPECT_TRUE(has("res/bt_ace.dat"));
}

// The output folder is also an input folder: the entrants' own files stay,
// and so do the output AK files of players outside the event.
TEST(RoyalRunFiles, ASharedOutputFolderKeepsTheFilesOfPlayersOutsideTheEvent) {
    testsupport::TempDir dir;
    std::filesystem::create_directories(dir.path() / "ak");
    for (const char* f : {"ak01.dat", "ak01.da1", "ak01.da2", "ak06.da2", "ak06.da3", "other.da1", "other.da2"})
        testsupport::writeFile(dir.path() / "ak" / f, "x");
    brawl::deleteOldOutputs(dir.folder() + "ak", dir.folder() + "res",
                            {dir.folder() + "ak\\ak01.dat", dir.folder() + "ak\\ak06.da2"});
    auto has = [&dir](const char* rel) { return std::filesystem::exists(dir.path() / "ak" / rel); };
    for (const char* kept : {"ak01.dat", "ak06.da2", "other.da1", "other.da2"}) EXPECT_TRUE(has(kept)) << kept;
    for (const char* gone : {"ak01.da1", "ak01.da2", "ak06.da3"}) EXPECT_FALSE(has(gone)) << gone;
}

TEST(RoyalDrain, CarriedBothWaysAndTheDurabilityLeft) {
    cv::CombatantState s{};
    s.AntiBeamField = 1;
    s.BerserkAnnounced = 1;
    s.ReactionBoost = -12;
    s.BoostMinutesLeft = 3;
    s.AttackDown = 4.5;
    s.EvasionDown = 2.25;
    s.MovementDown = 1.0;
    s.ComputerDown = 1.75;
    s.SensorDown = 1.5;
    s.BindDistance = 2;
    for (int i = 0; i < 6; ++i) s.DrainInts[i] = 10 + i;
    s.Movement = 77; // not drain data
    CarriedDrainData d{};
    brawl::carryDrainOut(s, d);
    EXPECT_EQ(+d.ReactionBoost, -12);
    EXPECT_EQ(+d.SensorDown, 1.5);
    EXPECT_EQ(+d.DrainInts[5], 15);
    cv::CombatantState t{};
    brawl::carryDrainIn(d, t);
    EXPECT_EQ(+t.AntiBeamField, 1);
    EXPECT_EQ(+t.BerserkAnnounced, 1);
    EXPECT_EQ(+t.BoostMinutesLeft, 3);
    EXPECT_EQ(+t.AttackDown, 4.5);
    EXPECT_EQ(+t.EvasionDown, 2.25);
    EXPECT_EQ(+t.ComputerDown, 1.75);
    EXPECT_EQ(+t.BindDistance, 2);
    EXPECT_EQ(+t.DrainInts[0], 10);
    EXPECT_EQ(+t.Movement, 0);

    s.MaxDurabilityTotal = 0;
    s.DurabilityTotal = 50;
    EXPECT_EQ(brawl::hitPointPct(s), 0);
    s.MaxDurabilityTotal = 300;
    s.DurabilityTotal = 299;
    EXPECT_EQ(brawl::hitPointPct(s), 99);
    EXPECT_EQ(brawl::truncated(-1.9), -1);
    EXPECT_EQ(brawl::truncated(std::nan("")), 0);
    EXPECT_EQ(brawl::truncated(1e300), std::numeric_limits<int32_t>::max());
}

TEST(RoyalTexts, HeadingOfAFinishedFight) {
    EXPECT_EQ(brawl::winnerHeadingText(), "---------");
    EXPECT_EQ(brawl::loserHeadingText(sj("死亡"), true), sj("死亡") + "-----");
    EXPECT_EQ(brawl::loserHeadingText(sj("死亡"), false), "-----" + sj("死亡"));
    EXPECT_EQ(brawl::loserHeadingText("", true), "---------");
    EXPECT_EQ(brawl::loserHeadingText(sj("誘爆死亡脱出"), true), sj("誘爆死亡") + "-");
    EXPECT_EQ(brawl::loserHeadingText(sj("誘爆死亡脱出"), false), "-" + sj("誘爆死亡"));

    GameSettings settings{};
    RoyalEntryRecord a{}, b{};
    sjis::writeField(a.Entry.OwnerName, sj("田中一郎"));
    sjis::writeField(a.Entry.PilotName, sj("アレックス・ロウ"));
    sjis::writeField(b.Entry.OwnerName, "Very Long Owner Name Here");
    sjis::writeField(b.Entry.PilotName, "Bob");
    brawl::FightHeading h;
    h.FightNo = 12;
    h.Marks[0] = sj("○");
    h.Marks[1] = sj("×");
    h.Texts[0] = "---------";
    h.Texts[1] = "-----" + sj("死亡");
    h.Minutes = 7;
    h.Rows[0] = &a;
    h.Rows[1] = &b;
    modes::Lines lines = brawl::fightHeadingLines(settings, h);
    ASSERT_EQ(lines.size(), 4u);
    EXPECT_EQ(lines[0], "");
    EXPECT_EQ(lines[1], sj("【第１２試合】"));
    EXPECT_EQ(testsupport::u8(lines[2]),
              testsupport::u8(sj("\t            田中一郎|○        No.12       ×|Very Long Owner ")));
    EXPECT_EQ(testsupport::u8(lines[3]),
              testsupport::u8(sj("\t    アレックス・ロウ|---------  7分 -----死亡|Bob\r\n")));
}

TEST(RoyalTexts, GuideSentences) {
    cv::CombatantState s{};
    auto say = [&s](std::initializer_list<std::pair<char*, const char*>> texts, int32_t end = -1,
                    uint32_t flags = 0) {
        s = cv::CombatantState{};
        s.EndStateFlags = end;
        s.RoundFlags = flags;
        for (auto [field, utf8] : texts) std::strcpy(field, sj(utf8).c_str());
        return testsupport::u8(brawl::guideSentence(s));
    };
    char* weapon = s.AttackWeaponText;
    char* shield = s.ShieldHitName;
    char* shieldResult = s.ShieldStatusText;
    char* parry = s.WeaponHitName;
    char* parryResult = s.ParryText;
    char* status = s.StatusText;
    char* damage = s.HitStatusText;
    EXPECT_EQ(say({{weapon, "ライフル"}}), "ライフルで攻撃。失敗。");
    EXPECT_EQ(say({{weapon, "ライフル"}, {status, "右腕に命中"}, {damage, "３０"}}),
              "ライフルで攻撃。右腕に命中３０ダメージ。");
    EXPECT_EQ(say({{weapon, "ライフル"}, {status, "右腕に命中"}, {damage, "破壊"}}),
              "ライフルで攻撃。右腕に命中破壊。");
    EXPECT_EQ(say({{weapon, "ライフル"}, {shield, "シールド"}}), "ライフルで攻撃。シールドにより防御。");
    EXPECT_EQ(say({{weapon, "ライフル"},
                   {shield, "シールド"},
                   {shieldResult, "貫通"},
                   {status, "胴体に命中"},
                   {damage, "１２"}}),
              "ライフルで攻撃。シールド貫通。胴体に命中１２ダメージ。");
    EXPECT_EQ(say({{weapon, "剣"}, {parry, "斧"}, {parryResult, "成功"}, {damage, "ダメージ５"}}),
              "剣で攻撃。斧による受け流し成功。武装ダメージ５。");
    EXPECT_EQ(say({{weapon, "剣"}, {parry, "斧"}, {parryResult, "失敗"}, {damage, "武装を破壊"}}),
              "剣で攻撃。斧による受け流し失敗。武装破壊。");
    EXPECT_EQ(say({{weapon, "剣"}, {parry, "斧"}, {damage, "に命中"}}), "剣で攻撃。斧に命中。");
    EXPECT_EQ(say({}, 17), "相手の攻撃により敗北。");
    EXPECT_EQ(say({}, 0), "相手の攻撃により敗北。");
    EXPECT_EQ(say({}, -1, cv::RoundOutOfAction | cv::RoundMoves), "気絶中。");
    EXPECT_EQ(say({}, -1, cv::RoundMoves), "防御移動。");
    EXPECT_EQ(say({}, -1, cv::RoundMoves | cv::RoundMovingAttack), "攻撃不能。");
    EXPECT_EQ(say({}), "攻撃不能。");
}

TEST(RoyalTexts, ResultTable) {
    modes::EntrantList list;
    auto add = [&list](const char* owner, const char* pilot, int32_t out, int32_t wins, int32_t destroyed,
                       int32_t kills, const char* status) {
        modes::Entrant e;
        e.Record = modes::newRow();
        RoyalEntryRecord& r = *e.Record;
        sjis::writeField(r.Entry.OwnerName, sj(owner));
        sjis::writeField(r.Entry.PilotName, sj(pilot));
        r.OutStatus = out;
        r.Entry.Wins = wins;
        r.Entry.Destroyed = destroyed;
        r.Entry.Kills = kills;
        r.Entry.MachineValue = 1000 * static_cast<int32_t>(list.size() + 1);
        r.Entry.TotalCr = 1500 * static_cast<int32_t>(list.size() + 1);
        sjis::writeField(r.Entry.StatusText, sj(status));
        list.push_back(std::move(e));
    };
    add("佐藤", "Beta", 1, 1, 0, 1, "死亡");
    add("田中", "Alpha", -1, 2, 0, 0, "");
    add("鈴木", "Gamma", 16, 1, 0, 0, "誘爆");
    add("高橋", "Delta", 0, 0, 0, 0, "");
    add("伊藤", "Epsilon", 0, 1, 2, 0, "");
    // Won a fight, then its file went missing: out of the game, marked.
    add("渡辺", "Zeta", 0, 1, 3, 0, "");
    list.back().Absent = true;
    std::vector<const modes::Entrant*> order = brawl::finalStandings(list);
    ASSERT_EQ(order.size(), 6u);
    EXPECT_EQ(order[0], &list[1]); // still in the game
    EXPECT_EQ(order[1], &list[4]); // one win, more destroyed
    EXPECT_EQ(order[2], &list[0]); // one win, a kill
    EXPECT_EQ(order[3], &list[2]);
    EXPECT_EQ(order[4], &list[3]);
    EXPECT_EQ(order[5], &list[5]); // absent, whatever its record
    GameSettings settings{};
    sjis::writeField(settings.OrganiserName, sj("技術部"));
    sjis::writeField(settings.StadiumName, sj("試験場"));
    std::string text = modes::memoText(brawl::resultTable(settings, order));
    std::string expected =
        sj("\r\n\r\n【結果】\r\n\r\n") + std::string(78, '-') + "\r\n" +
        sj(" 順位     オーナー         パイロット            機体   所持金   勝   状態\r\n") +
        std::string(78, '-') + "\r\n" +
        sj(" 優勝  :  田中             Alpha                 2000 :  3000 :   2 :       \r\n"
           "  2位  :  伊藤             Epsilon               5000 :  7500 :   1 :       \r\n"
           "       :  佐藤             Beta                  1000 :  1500 :   1 : 死亡  \r\n"
           "       :  鈴木             Gamma                 3000 :  4500 :   1 : 誘爆  \r\n"
           "  5位  :  高橋             Delta                 4000 :  6000 :   0 :       \r\n"
           "－     :  渡辺             Zeta                  6000 :  9000 :   1 :       \r\n") +
        std::string(78, '-') + "\r\n" + sj("\r\n\t\t\t\t\t技術部／試験場\r\n");
    EXPECT_EQ(testsupport::u8(text), testsupport::u8(expected));
}

} // namespace
