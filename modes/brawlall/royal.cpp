// The battle royal's set-up, fight texts, guide sentences and result table.
#include "modes/brawlall/royal.h"

#include "base/sjis.h"
#include "modes/brawlall/brmap.h"
#include "modes/frame/outputs.h"
#include "modes/frame/textfmt.h"
#include "sjis/frame_text.h"
#include "sjis/brawlall_text.h"

#include <algorithm>
#include <cmath>
#include <limits>

namespace brawl {

namespace {

constexpr size_t HeadingWidth = 9;
constexpr int NameColumn = 20;

} // namespace

// ---- Set-up ----------------------------------------------------------------

int entrantCount(int typed, int cols, int rows, size_t listRows) {
    long long cells = static_cast<long long>(clampMapSize(cols)) * clampMapSize(rows);
    long long n = std::min<long long>(typed, cells);
    n = std::min<long long>(n, static_cast<long long>(listRows));
    return static_cast<int>(std::max<long long>(n, 0));
}

modes::EntrantList chooseEntrants(std::string_view akFolder, const std::vector<modes::AkRow>& rows, int count,
                                  std::vector<std::string>* passedOver) {
    std::vector<std::string> files;
    for (const modes::AkRow& row : rows) files.push_back(row.File);
    modes::EntrantList list;
    std::vector<size_t> skipped;
    for (size_t i : modes::distinctStemRows(files, static_cast<size_t>(std::max(count, 0)), {}, &skipped))
        list.push_back(modes::makeRoyalEntrant(akFolder, files[i]));
    if (passedOver)
        for (size_t i : skipped) passedOver->push_back(files[i]);
    return list;
}

void shuffleEntrants(modes::EntrantList& list, const std::function<int()>& random) {
    modes::EntrantList shuffled;
    shuffled.reserve(list.size());
    const size_t n = list.size();
    for (size_t k = 0; k < n; ++k) {
        size_t left = list.size();
        size_t pick = static_cast<size_t>(random()) % left;
        shuffled.push_back(std::move(list[pick]));
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(pick));
    }
    list = std::move(shuffled);
}

void appendMarks(char (&field)[80], std::string_view more) {
    std::string joined(sjis::readField(field));
    joined += more;
    sjis::writeField(field, joined);
}

void prepareStart(modes::EntrantList& entrants) {
    for (size_t i = 0; i < entrants.size(); ++i) {
        RoyalEntryRecord* row = entrants[i].royal();
        if (!row) continue;
        if (row->HasMark == 0) sjis::writeField(row->Mark, modes::format("%02x", static_cast<unsigned>(i)));
        row->EntrantNo = static_cast<int32_t>(i);
    }
    for (size_t r = 0; r < entrants.size(); ++r) {
        const RoyalEntryRecord* team = entrants[r].royal();
        if (!team || sjis::readField(team->TeamList).empty()) continue;
        // The lists as they stand when this entrant's turn comes.
        const std::string teamList(sjis::readField(team->TeamList));
        const std::string enemies(sjis::readField(team->EnemyList));
        const std::string friends(sjis::readField(team->FriendList));
        const std::string allies(sjis::readField(team->AllyList));
        for (size_t s = 0; s < entrants.size(); ++s) {
            RoyalEntryRecord* mate = entrants[s].royal();
            if (s == r || !mate || mate->HasMark == 0) continue;
            if (!markListMatches(teamList, sjis::readField(mate->Mark))) continue;
            appendMarks(mate->EnemyList, enemies);
            appendMarks(mate->FriendList, friends);
            appendMarks(mate->AllyList, allies);
        }
    }
}

// ---- Run ---------------------------------------------------------------------

bool deleteOldOutputs(std::string_view akOutputFolder, std::string_view resultFolder,
                      const std::vector<std::string>& keep, const modes::CleanupStep& step) {
    modes::OldOutputs what;
    what.AkOutputFolder = akOutputFolder;
    what.AkFiles = modes::OutputAkFiles::DeleteEntrantsWhereShared;
    what.ResultFolder = resultFolder;
    what.LogPattern = "bt_*.*";
    what.Keep = keep;
    return modes::deleteOldOutputs(what, step);
}

void carryDrainOut(const cv::CombatantState& state, CarriedDrainData& drain) {
    drain.AntiBeamField = state.AntiBeamField;
    drain.BerserkAnnounced = state.BerserkAnnounced;
    drain.ReactionBoost = state.ReactionBoost;
    drain.BoostMinutesLeft = state.BoostMinutesLeft;
    drain.AttackDown = state.AttackDown;
    drain.EvasionDown = state.EvasionDown;
    drain.MovementDown = state.MovementDown;
    drain.ComputerDown = state.ComputerDown;
    drain.SensorDown = state.SensorDown;
    drain.BindDistance = state.BindDistance;
    for (int i = 0; i < 6; ++i) drain.DrainInts[i] = state.DrainInts[i];
}

void carryDrainIn(const CarriedDrainData& drain, cv::CombatantState& state) {
    state.AntiBeamField = drain.AntiBeamField;
    state.BerserkAnnounced = drain.BerserkAnnounced;
    state.ReactionBoost = drain.ReactionBoost;
    state.BoostMinutesLeft = drain.BoostMinutesLeft;
    state.AttackDown = drain.AttackDown;
    state.EvasionDown = drain.EvasionDown;
    state.MovementDown = drain.MovementDown;
    state.ComputerDown = drain.ComputerDown;
    state.SensorDown = drain.SensorDown;
    state.BindDistance = drain.BindDistance;
    for (int i = 0; i < 6; ++i) state.DrainInts[i] = drain.DrainInts[i];
}

int32_t hitPointPct(const cv::CombatantState& state) {
    int64_t max = state.MaxDurabilityTotal, now = state.DurabilityTotal;
    if (max == 0) return 0;
    return static_cast<int32_t>(std::clamp<int64_t>(now * 100 / max, std::numeric_limits<int32_t>::min(),
                                                    std::numeric_limits<int32_t>::max()));
}

int32_t truncated(double value) {
    if (std::isnan(value)) return 0;
    if (value >= 2147483647.0) return std::numeric_limits<int32_t>::max();
    if (value <= -2147483648.0) return std::numeric_limits<int32_t>::min();
    return static_cast<int32_t>(value);
}

std::string pairingRow(const cv::CombatantState& s1, const RoyalEntryRecord& r1, const cv::CombatantState& s2,
                       const RoyalEntryRecord& r2) {
    std::string p1(sjis::readField(s1.PilotName)), p2(sjis::readField(s2.PilotName));
    std::string m1(sjis::readField(r1.Mark)), m2(sjis::readField(r2.Mark));
    int32_t w1 = r1.Entry.Wins, w2 = r2.Entry.Wins;
    return modes::format(text::PairingRow, p1.c_str(), m1.c_str(), w1, p2.c_str(), m2.c_str(), w2);
}

// ---- A finished fight ------------------------------------------------------

std::string winnerHeadingText() {
    return std::string(HeadingWidth, '-');
}

std::string loserHeadingText(std::string_view status, bool side1) {
    std::string shown = sjis::cut(status, HeadingWidth);
    if (side1) {
        std::string text = sjis::cut(shown + std::string(HeadingWidth, '-'), HeadingWidth);
        text.append(HeadingWidth - text.size(), '-');
        return text;
    }
    return std::string(HeadingWidth - shown.size(), '-') + shown;
}

modes::Lines fightHeadingLines(const GameSettings& settings, const FightHeading& h) {
    std::string number = sjis::han2Zen(std::to_string(h.FightNo));
    std::string owner[2], pilot[2];
    for (int s = 0; s < 2; ++s) {
        if (!h.Rows[s]) continue;
        owner[s] = modes::tableName(settings, sjis::readField(h.Rows[s]->Entry.OwnerName), 16);
        pilot[s] = modes::tableName(settings, sjis::readField(h.Rows[s]->Entry.PilotName), 20);
    }
    modes::Lines lines{""};
    lines.push_back(modes::format(text::FightHeading, number.c_str()));
    lines.push_back(modes::format(text::HeadingOwners, NameColumn, owner[0].c_str(), h.Marks[0].c_str(),
                                  h.FightNo, h.Marks[1].c_str(), owner[1].c_str()));
    lines.push_back(modes::format(text::HeadingPilots, NameColumn, pilot[0].c_str(), h.Texts[0].c_str(),
                                  h.Minutes, h.Texts[1].c_str(), pilot[1].c_str()));
    return lines;
}

// ---- Viewer script ---------------------------------------------------------

std::string guideSentence(const cv::CombatantState& state) {
    const std::string attack(sjis::readField(state.AttackWeaponText));
    if (attack.empty()) {
        int32_t end = state.EndStateFlags;
        if (end != -1) return text::GuideDefeated;
        uint32_t flags = state.RoundFlags;
        if (flags & cv::RoundOutOfAction) return text::GuideStunned;
        // Moved this round without an attack of either kind: a defensive move.
        if ((flags & cv::RoundMoves) && !(flags & (cv::RoundMovingAttack | cv::RoundStaticAttack)))
            return text::GuideDefensiveMove;
        return text::GuideCannotAttack;
    }
    const std::string defence(sjis::readField(state.ShieldHitName));
    const std::string defenceResult(sjis::readField(state.ShieldStatusText));
    const std::string parryWeapon(sjis::readField(state.WeaponHitName));
    const std::string parryResult(sjis::readField(state.ParryText));
    const std::string status(sjis::readField(state.StatusText));
    const std::string damage(sjis::readField(state.HitStatusText));
    const std::string_view destroyed(text::DestroyedWord);

    std::string s = modes::format(text::GuideAttack, attack.c_str());
    if (defence.empty() && parryWeapon.empty() && status.empty()) return s + text::GuideFailed;
    if (!defence.empty()) {
        s += defence;
        s += defenceResult.empty() ? std::string(text::GuideDefended) : defenceResult + text::FullStop;
    }
    if (parryWeapon.empty()) {
        if (status.empty()) return s;
        s += status;
        bool broken = damage.compare(0, destroyed.size(), destroyed) == 0;
        s += modes::format(broken ? text::GuideDestroyed : text::GuideDamage, damage.c_str());
    } else if (!parryResult.empty()) {
        s += modes::format(text::GuideParry, parryWeapon.c_str(), parryResult.c_str());
        if (sjis::contains(damage, destroyed))
            s += text::GuideArmsDestroyed;
        else
            s += modes::format(text::GuideArms, damage.c_str());
    } else {
        s += modes::format(text::GuideParryPlain, parryWeapon.c_str(), damage.c_str());
    }
    return s;
}

// ---- Result table ------------------------------------------------------------

std::vector<const modes::Entrant*> finalStandings(const modes::EntrantList& entrants) {
    std::vector<const modes::Entrant*> rows;
    for (const modes::Entrant& e : entrants)
        if (e.royal()) rows.push_back(&e);
    std::stable_sort(rows.begin(), rows.end(), [](const modes::Entrant* ea, const modes::Entrant* eb) {
        if (ea->Absent != eb->Absent) return eb->Absent;
        const RoyalEntryRecord* a = ea->royal();
        const RoyalEntryRecord* b = eb->royal();
        bool inA = a->OutStatus == -1, inB = b->OutStatus == -1;
        if (inA != inB) return inA;
        int32_t wa = a->Entry.Wins, wb = b->Entry.Wins;
        if (wa != wb) return wa > wb;
        int32_t da = a->Entry.Destroyed, db = b->Entry.Destroyed;
        if (da != db) return da > db;
        int32_t ka = a->Entry.Kills, kb = b->Entry.Kills;
        return ka > kb;
    });
    return rows;
}

modes::Lines resultTable(const GameSettings& settings, const std::vector<const modes::Entrant*>& standings) {
    modes::Lines lines{"", "", text::ResultHeading, modes::ruleLine(), text::ResultHeader, modes::ruleLine()};
    for (size_t k = 0; k < standings.size(); ++k) {
        const RoyalEntryRecord& r = *standings[k]->royal();
        std::string label;
        if (standings[k]->Absent) {
            label = modes::text::AbsentMark;
        } else if (k == 0) {
            label = text::Champion;
        } else {
            const RoyalEntryRecord& before = *standings[k - 1]->royal();
            int32_t wins = r.Entry.Wins, winsBefore = before.Entry.Wins;
            bool in = r.OutStatus == -1, inBefore = before.OutStatus == -1;
            if (wins != winsBefore || in != inBefore)
                label = modes::format(text::RankLabel, static_cast<int>(k + 1));
        }
        std::string owner = modes::tableName(settings, sjis::readField(r.Entry.OwnerName), 16);
        std::string pilot = modes::tableName(settings, sjis::readField(r.Entry.PilotName), 16);
        std::string status(sjis::readField(r.Entry.StatusText));
        int32_t value = r.Entry.MachineValue, total = r.Entry.TotalCr, wins = r.Entry.Wins;
        lines.push_back(modes::format(text::ResultRow, label.c_str(), owner.c_str(), pilot.c_str(), value,
                                      total, wins, status.c_str()));
    }
    lines.push_back(modes::ruleLine());
    std::string organiser(sjis::readField(settings.OrganiserName)),
        stadium(sjis::readField(settings.StadiumName));
    lines.push_back(modes::format(text::Signature, organiser.c_str(), stadium.c_str()));
    return lines;
}

} // namespace brawl
