// The one-vs-many simulation's rules, tables and run.
#include "modes/gauntlet/gauntletlogic.h"

#include "base/sjis.h"
#include "modes/frame/imports.h"
#include "modes/frame/outputs.h"
#include "modes/frame/standings.h"
#include "modes/frame/textfmt.h"
#include "platform/paths.h"
#include "sjis/frame_text.h"
#include "sjis/gauntlet_text.h"

#include <algorithm>
#include <cstdint>
#include <limits>
#include <numeric>

namespace gauntlet {

namespace {

constexpr int BandCount = 5;
constexpr size_t VerdictLineBytes = 78;

const char* const Marks[BandCount] = {text::Mark0, text::Mark1, text::Mark2, text::Mark3, text::Mark4};
const char* const Verdicts[BandCount] = {text::Verdict0, text::Verdict1, text::Verdict2, text::Verdict3,
                                         text::Verdict4};

char foldAscii(char c) {
    return c >= 'a' && c <= 'z' ? static_cast<char>(c - 'a' + 'A') : c;
}

// Unsigned bytes, a prefix first.
int compareBytes(std::string_view a, std::string_view b) {
    size_t n = std::min(a.size(), b.size());
    for (size_t i = 0; i < n; ++i) {
        auto x = static_cast<unsigned char>(a[i]), y = static_cast<unsigned char>(b[i]);
        if (x != y) return x < y ? -1 : 1;
    }
    return a.size() < b.size() ? -1 : a.size() > b.size() ? 1 : 0;
}

int compareNumbers(int32_t a, int32_t b) {
    return a < b ? -1 : a > b ? 1 : 0;
}

// The folder and the file name of a path joined with '\'.
std::pair<std::string, std::string> splitAtLastSeparator(std::string_view path) {
    size_t cut = std::string_view::npos;
    for (size_t i = 0; i < path.size(); i += sjis::charLength(path, i))
        if (path[i] == '\\' || path[i] == '/') cut = i;
    if (cut == std::string_view::npos) return {std::string(), std::string(path)};
    return {std::string(path.substr(0, cut)), std::string(path.substr(cut + 1))};
}

} // namespace

// ---- Simulation count ------------------------------------------------------

int32_t readCount(std::string_view text) {
    size_t i = 0;
    while (i < text.size() && (text[i] == ' ' || (text[i] >= '\t' && text[i] <= '\r'))) ++i;
    bool negative = false;
    if (i < text.size() && (text[i] == '+' || text[i] == '-')) negative = text[i++] == '-';
    int64_t value = 0;
    for (; i < text.size() && text[i] >= '0' && text[i] <= '9'; ++i) {
        value = value * 10 + (text[i] - '0');
        if (value > int64_t{std::numeric_limits<int32_t>::max()} + 1) break;
    }
    if (negative) value = -value;
    value =
        std::clamp<int64_t>(value, std::numeric_limits<int32_t>::min(), std::numeric_limits<int32_t>::max());
    return static_cast<int32_t>(value);
}

int simulationCount(std::string_view text) {
    return std::clamp<int32_t>(readCount(text), MinSimCount, MaxSimCount);
}

// ---- Own AK ------------------------------------------------------------------

bool fitToFight(const TArmoredKnight& ak) {
    int32_t value = ak.MachineValue;
    return !sjis::readField(ak.Pilot.Name).empty() && value > 0;
}

modes::Lines akSummary(const TArmoredKnight& ak, std::string_view path) {
    int32_t battles = ak.Pilot.Battles, wins = ak.Pilot.Wins, draws = ak.Pilot.Draws;
    int32_t reaction = ak.Reaction, value = ak.MachineValue, cash = ak.Cash, movement = ak.Movement;
    modes::Lines lines;
    lines.push_back(std::string(text::SummaryName) + std::string(sjis::readField(ak.Pilot.Name)));
    lines.push_back(
        modes::format(text::SummaryRecord, battles, wins, battles - wins - draws, draws, reaction));
    lines.push_back(modes::format(text::SummaryValue, value, cash, movement));
    lines.emplace_back();
    for (int slot = 0; slot < WeaponSlotCount; ++slot) {
        std::string name(sjis::readField(ak.Weapon[slot].Name));
        lines.push_back(modes::format(text::SummaryWeapon, slot + 1, name.c_str()));
    }
    lines.emplace_back();
    lines.push_back(std::string(text::SummaryFile) + plat::shownPath(path));
    return lines;
}

bool startAllowed(bool ownSet, std::string_view resultText, const GameSettings& settings, size_t enemies) {
    return ownSet && (!resultText.empty() || !settings.Options[OptLogOutput]) && enemies > 0;
}

bool samePath(std::string_view a, std::string_view b) {
    if (a.size() != b.size()) return false;
    for (size_t i = 0; i < a.size();) {
        size_t n = sjis::charLength(a, i);
        if (n == 1) {
            if (foldAscii(a[i]) != foldAscii(b[i])) return false;
        } else if (a.substr(i, n) != b.substr(i, n)) {
            return false;
        }
        i += n;
    }
    return true;
}

// ---- Enemy list --------------------------------------------------------------

bool EnemyList::contains(std::string_view path) const {
    return std::any_of(entrants_.begin(), entrants_.end(),
                       [path](const modes::Entrant& e) { return samePath(e.Path, path); });
}

bool EnemyList::add(std::string_view folder, const modes::AkRow& row, std::string_view ownPath) {
    std::string path = modes::joinFolder(folder, row.File);
    if (contains(path) || (!ownPath.empty() && samePath(path, ownPath))) return false;
    entrants_.push_back(modes::makeEntrant(folder, row.File));
    shown_.push_back(EnemyShown{row.Pilot, row.Value});
    return true;
}

void EnemyList::clear() {
    entrants_.clear();
    shown_.clear();
}

int EnemyList::remove(std::vector<int> indices) {
    const int n = static_cast<int>(entrants_.size());
    indices.erase(std::remove_if(indices.begin(), indices.end(), [n](int i) { return i < 0 || i >= n; }),
                  indices.end());
    std::sort(indices.begin(), indices.end());
    indices.erase(std::unique(indices.begin(), indices.end()), indices.end());
    if (indices.empty()) return -1;
    for (auto it = indices.rbegin(); it != indices.rend(); ++it) {
        entrants_.erase(entrants_.begin() + *it);
        shown_.erase(shown_.begin() + *it);
    }
    if (entrants_.empty()) return -1;
    // Removed one after the other from the top, the last one stood at its
    // first index less the rows removed before it; the row that moved up
    // into that place is selected (the new last row when none did).
    int last = indices.back() - static_cast<int>(indices.size() - 1);
    return std::min(last, static_cast<int>(entrants_.size()) - 1);
}

void EnemyList::sortBy(int column) {
    if (column < 0 || column >= EnemyColumnCount) return;
    descending_ = column == sortColumn_ ? !descending_ : false;
    sortColumn_ = column;
    std::vector<size_t> order(entrants_.size());
    std::iota(order.begin(), order.end(), size_t{0});
    auto compare = [this, column](size_t x, size_t y) {
        const EnemyShown& a = shown_[x];
        const EnemyShown& b = shown_[y];
        return column == EnemyColPilot ? compareBytes(a.Pilot, b.Pilot)
                                       : compareNumbers(readCount(a.Value), readCount(b.Value));
    };
    std::stable_sort(order.begin(), order.end(), [&](size_t x, size_t y) {
        int c = compare(x, y);
        return descending_ ? c > 0 : c < 0;
    });
    modes::EntrantList entrants;
    std::vector<EnemyShown> shown;
    for (size_t i : order) {
        entrants.push_back(std::move(entrants_[i]));
        shown.push_back(std::move(shown_[i]));
    }
    entrants_ = std::move(entrants);
    shown_ = std::move(shown);
}

void EnemyList::prepareForStart(std::string_view ownPath) {
    std::vector<int> own;
    for (size_t i = 0; i < entrants_.size(); ++i)
        if (samePath(entrants_[i].Path, ownPath)) own.push_back(static_cast<int>(i));
    remove(own);
    for (modes::Entrant& e : entrants_) {
        e.Record = modes::newRow();
        auto [folder, file] = splitAtLastSeparator(e.Path);
        cmnMakeDigest2(folder.c_str(), file.c_str(), e.row());
    }
}

// ---- Counting and bands ------------------------------------------------------

void countMatch(EntryRecord& enemy, const modes::MatchOutcome& outcome) {
    switch (outcome.Result) {
    case 0:
        enemy.Wins += 1;
        if (outcome.AkDestroyed[1]) enemy.Destroyed += 1;
        if (outcome.PilotKilled[1]) enemy.Kills += 1;
        break;
    case 1:
        enemy.Losses += 1;
        if (outcome.AkDestroyed[0]) enemy.OwnAkDestroyed += 1;
        if (outcome.PilotKilled[0]) enemy.OwnPilotKilled += 1;
        break;
    case 2:
        enemy.Draws += 1;
        break;
    default:
        break;
    }
}

int band(int32_t winPercent) {
    if (winPercent < 0) return 0;
    return std::min<int32_t>(winPercent / 20, BandCount - 1);
}

std::string verdictLine(int b) {
    b = std::clamp(b, 0, BandCount - 1);
    std::string line = modes::format(text::VerdictHead, Marks[b]);
    std::string_view verdict = Verdicts[b];
    size_t used = line.size() + verdict.size();
    if (used < VerdictLineBytes) line.append(VerdictLineBytes - used, '-');
    line += verdict;
    return line;
}

// ---- Tables --------------------------------------------------------------------

modes::Lines entryTable(const ConfHeader& header, const GameSettings& settings, const TArmoredKnight& own,
                        const modes::EntrantList& enemies, const plat::clock::LocalTime& now) {
    std::string pilot(sjis::readField(own.Pilot.Name)), owner(sjis::readField(own.Owner.Name));
    modes::Lines lines{modes::eventHeading(header, now),
                       text::OwnHeading,
                       modes::format(text::OwnLine, pilot.c_str(), owner.c_str()),
                       modes::text::EntryHeading,
                       modes::ruleLine(),
                       text::EntryHeader,
                       modes::ruleLine()};
    for (size_t i = 0; i < enemies.size(); ++i) {
        const EntryRecord* row = enemies[i].row();
        if (!row) continue;
        std::string ownerName = modes::tableName(settings, sjis::readField(row->OwnerName), 16);
        std::string pilotName = modes::tableName(settings, sjis::readField(row->PilotName), 20);
        std::string sex = modes::tableName(settings, sjis::readField(row->Sex), 10);
        int32_t age = row->Age, battles = row->Battles, wins = row->Wins, value = row->MachineValue;
        lines.push_back(modes::format(text::EntryRow, static_cast<int>(i + 1), ownerName.c_str(),
                                      pilotName.c_str(), sex.c_str(), age, battles, wins, value));
    }
    lines.push_back(modes::ruleLine());
    return lines;
}

modes::Lines resultTable(const GameSettings& settings, const std::vector<const modes::Entrant*>& standings) {
    modes::Lines lines{"", "", text::ResultHeading, modes::ruleLine(), text::ResultHeader, modes::ruleLine()};
    int current = -1;
    int place = 0;
    for (const modes::Entrant* e : standings) {
        if (e->Absent) {
            // Below the bands: no verdict speaks for an enemy never fought.
            if (current >= 0) lines.push_back(verdictLine(current));
            current = -1;
            lines.push_back(modes::standingRow(settings, *e, ++place));
            continue;
        }
        int b = band(e->row()->Stage);
        if (current >= 0 && b != current) {
            lines.push_back(verdictLine(current));
            lines.emplace_back();
        }
        current = b;
        lines.push_back(modes::standingRow(settings, *e, ++place));
    }
    if (current >= 0) lines.push_back(verdictLine(current));
    lines.push_back(modes::ruleLine());
    std::string organiser(sjis::readField(settings.OrganiserName)),
        stadium(sjis::readField(settings.StadiumName));
    lines.push_back(modes::format(text::Signature, organiser.c_str(), stadium.c_str()));
    return lines;
}

// ---- Run ---------------------------------------------------------------------------

GauntletRun::GauntletRun(modes::EntrantList& enemies, const TArmoredKnight& own, std::string ownPath,
                         int simulationCount, GameSettings& settings, const ConfHeader& header,
                         const MsgWords& words)
    : enemies_(enemies), own_(std::make_unique<TArmoredKnight>(own)), ownPath_(std::move(ownPath)),
      count_(simulationCount), settings_(settings), header_(header), words_(words) {}

int GauntletRun::total() const {
    return static_cast<int>(enemies_.size()) * std::max(count_, 0);
}

void GauntletRun::Execute(modes::RunThread& thread) {
    const int total = this->total();
    int done = 0;
    modes::applyRunSettings(settings_, words_);
    sjis::writeField(settings_.AkFile1, ownPath_);
    // The game processor writes a match's digest even without a log; a
    // simulation's matches must not reach the event's digest files.
    struct DigestOff {
        GameSettings& settings;
        int32_t saved;
        ~DigestOff() { settings.DigestMode = saved; }
    } digestOff{settings_, settings_.DigestMode};
    settings_.DigestMode = 0;
    const std::string resultFolder(sjis::readField(header_.ResultFolder));
    const std::string log = modes::joinFolder(resultFolder, "dummy.txt");
    const std::string akOutputFolder(sjis::readField(header_.AkOutputFolder));
    // The simulation keeps no logs of an earlier run to delete and writes
    // no output AK files: only what a crash left in the results folder goes.
    modes::OldOutputs leftovers;
    leftovers.ResultFolder = resultFolder;
    if (!modes::cleanUpAtRunStart(
            thread, [&](const modes::CleanupStep& step) { return modes::deleteOldOutputs(leftovers, step); }))
        return;

    std::unique_ptr<modes::MatchSides> sides = modes::makeMatchSides();
    auto enemyAk = std::make_unique<TArmoredKnight>();
    auto progress = [&] {
        if (onProgress) thread.post([report = onProgress, done, total] { report(done, total); });
    };
    for (modes::Entrant& enemy : enemies_) {
        const bool loaded = modes::loadAkFile(settings_, *enemyAk, 1, enemy.Path);
        if (!loaded) enemy.Absent = true;
        EntryRecord* row = enemy.row();
        if (row) {
            row->Battles = 0;
            row->Wins = 0;
            row->Losses = 0;
            row->Draws = 0;
            row->Destroyed = 0;
            row->Kills = 0;
            row->OwnAkDestroyed = 0;
            row->OwnPilotKilled = 0;
        }
        if (!loaded) {
            // Nothing to fight: the enemy's share of the run is done at once.
            done += count_;
            if (thread.terminated()) return;
            progress();
            continue;
        }
        for (int k = 0; k < count_; ++k) {
            sides->Ak[0] = *own_;
            sides->Ak[1] = *enemyAk;
            modes::MatchOutcome outcome = modes::fightMatch(settings_, *sides, log, "", akOutputFolder);
            if (row) {
                row->Battles += 1;
                countMatch(*row, outcome);
            }
            ++done;
            if (thread.terminated()) return;
            progress();
        }
    }
    thread.postGameDone();
}

} // namespace gauntlet
