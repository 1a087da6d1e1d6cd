// The tournament's walkovers, names, tables and run.
#include "modes/brackets/tourlogic.h"

#include "base/sjis.h"
#include "core/combatant.h"
#include "modes/frame/imports.h"
#include "modes/frame/outputs.h"
#include "modes/frame/textfmt.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "sjis/brackets_text.h"

#include <algorithm>
#include <climits>

namespace brackets {

namespace {

std::string nameOf(const GameSettings& settings, const char* field, size_t size, size_t width) {
    return modes::tableName(settings, sjis::readField(field, size), width);
}

template <size_t N> std::string nameOf(const GameSettings& settings, const char (&field)[N], size_t width) {
    return nameOf(settings, field, N, width);
}

// The real game processor.
TourEngine& realEngine() {
    static TourEngine engine;
    return engine;
}

} // namespace

void shuffleEntrants(modes::EntrantList& list, const std::function<int()>& random) {
    modes::EntrantList shuffled;
    shuffled.reserve(list.size());
    while (!list.empty()) {
        int draw = random();
        size_t k = static_cast<size_t>(draw < 0 ? -(draw + 1) : draw) % list.size();
        shuffled.push_back(std::move(list[k]));
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(k));
    }
    list = std::move(shuffled);
}

std::string fullWidthNumber(int n) {
    return sjis::han2Zen(modes::format("%d", n));
}

std::string roundLabel(int round, int rounds) {
    if (round == rounds - 1) return text::Semifinal;
    return modes::format(text::RoundLabel, fullWidthNumber(round).c_str());
}

std::string matchTitle(const ConfHeader& header, std::string_view label, int number) {
    std::string conf(sjis::readField(header.ConfName)), l(label);
    return modes::format(text::MatchTitle, conf.c_str(), l.c_str(), fullWidthNumber(number).c_str());
}

std::string logName(std::string_view resultFolder, int round, int counter) {
    return modes::joinFolder(resultFolder, modes::format("tm_%02d_%03d.txt", round, counter));
}

int32_t pilotNumber(std::string_view profile) {
    const std::string_view open = text::ProfileOpen, close = text::ProfileClose;
    if (profile.substr(0, open.size()) != open) return 0;
    std::string half;
    for (size_t pos = open.size(); pos < profile.size();) {
        if (profile.substr(pos, close.size()) == close) break;
        size_t len = sjis::charLength(profile, pos);
        if (len == 0) break;
        std::string ch(profile.substr(pos, len));
        std::string converted = sjis::zen2Han(ch);
        if (len == 2 && converted == ch) break; // no half-width form
        half += converted;
        pos += len;
    }
    int64_t value = 0;
    for (char c : half) {
        if (c < '0' || c > '9') break;
        value = std::min<int64_t>(value * 10 + (c - '0'), INT32_MAX);
    }
    return static_cast<int32_t>(value);
}

bool sidePresent(bool hasEntrant, const TArmoredKnight& ak) {
    int32_t value = ak.MachineValue;
    return hasEntrant && !sjis::readField(ak.Pilot.Name).empty() && value > 0;
}

Walkover decideWalkover(bool has1, const TArmoredKnight& ak1, bool has2, const TArmoredKnight& ak2,
                        bool avoidSameOwner) {
    const bool present[2] = {sidePresent(has1, ak1), sidePresent(has2, ak2)};
    if (present[0] != present[1]) return {present[0] ? 0 : 1, text::Walkover};
    if (!present[0]) return {NobodyAdvances, nullptr};
    if (avoidSameOwner && sjis::readField(ak1.Owner.Name) == sjis::readField(ak2.Owner.Name)) {
        int32_t n1 = pilotNumber(sjis::readField(ak1.Pilot.Profile));
        int32_t n2 = pilotNumber(sjis::readField(ak2.Pilot.Profile));
        if (n1 != 0 && n2 != 0 && n1 != n2) return {n1 < n2 ? 0 : 1, text::Designated};
    }
    return {PlayMatch, nullptr};
}

std::string statusColumn(std::string_view status, int side, bool loser) {
    const std::string dashes(9, '-');
    if (!loser) return dashes;
    std::string shown = sjis::cut(status, 9);
    std::string fill(9 - shown.size(), '-');
    return side == 0 ? shown + fill : fill + shown;
}

modes::Lines matchHeading(const GameSettings& settings, const EntryRecord& side1, const EntryRecord& side2,
                          const std::string marks[2], const std::string columns[2], int counter) {
    std::string owner1 = nameOf(settings, side1.OwnerName, 16),
                owner2 = nameOf(settings, side2.OwnerName, 16);
    std::string pilot1 = nameOf(settings, side1.PilotName, 20),
                pilot2 = nameOf(settings, side2.PilotName, 20);
    int32_t minutes = settings.RoundCounter;
    return {modes::format(text::HeadingOwners, 20, owner1.c_str(), marks[0].c_str(), counter,
                          marks[1].c_str(), owner2.c_str()),
            modes::format(text::HeadingPilots, 20, pilot1.c_str(), columns[0].c_str(), minutes,
                          columns[1].c_str(), pilot2.c_str())};
}

modes::Lines walkoverHeading(const GameSettings& settings, const EntryRecord& winner,
                             const EntryRecord* loser, std::string_view label, int counter) {
    std::string owner1 = nameOf(settings, winner.OwnerName, 16);
    std::string pilot1 = nameOf(settings, winner.PilotName, 20);
    std::string owner2 = loser ? nameOf(settings, loser->OwnerName, 16) : std::string();
    std::string pilot2 = loser ? nameOf(settings, loser->PilotName, 20) : std::string();
    std::string l(label);
    return {modes::format(text::WalkoverOwners, 20, owner1.c_str(), text::MarkWon, counter, owner2.c_str()),
            modes::format(text::WalkoverPilots, 20, pilot1.c_str(), l.c_str(), pilot2.c_str())};
}

bool deleteOldOutputs(std::string_view akOutputFolder, std::string_view resultFolder,
                      const modes::EntrantList& keep, const modes::CleanupStep& step) {
    modes::OldOutputs what;
    what.AkOutputFolder = akOutputFolder;
    what.AkFiles = modes::OutputAkFiles::DeleteEntrantsWhereShared;
    what.ResultFolder = resultFolder;
    what.LogPattern = "tm_*.*";
    for (const modes::Entrant& e : keep)
        if (!e.Path.empty()) what.Keep.push_back(e.Path);
    return modes::deleteOldOutputs(what, step);
}

modes::Lines openingLines(const ConfHeader& header, const GameSettings& settings, Bracket& bracket,
                          const plat::clock::LocalTime& now) {
    modes::Lines lines = modes::entryTable(header, settings, bracket.entrants(), now, true);
    lines.push_back(text::BracketHeading);
    modes::Lines drawn = bracket.text(false);
    lines.insert(lines.end(), drawn.begin(), drawn.end());
    return lines;
}

modes::Lines rankingTable(const GameSettings& settings, const modes::EntrantList& entrants) {
    std::vector<const EntryRecord*> rows;
    for (const modes::Entrant& e : entrants)
        if (const EntryRecord* row = e.row()) rows.push_back(row);
    std::stable_sort(rows.begin(), rows.end(), [](const EntryRecord* a, const EntryRecord* b) {
        int32_t x = a->Stage, y = b->Stage;
        return x > y;
    });
    modes::Lines lines{text::RankingHeading, modes::ruleLine(), text::RankingHeader, modes::ruleLine()};
    for (size_t k = 0; k < rows.size(); ++k) {
        const EntryRecord& row = *rows[k];
        int32_t stage = row.Stage;
        int32_t before = k > 0 ? int32_t{rows[k - 1]->Stage} : 0;
        std::string label;
        if (k == 0)
            label = text::Champion;
        else if (stage != before)
            label =
                k == 1 ? std::string(text::RunnerUp) : modes::format(text::Place, static_cast<int>(k + 1));
        std::string owner = nameOf(settings, row.OwnerName, 16), pilot = nameOf(settings, row.PilotName, 20);
        std::string status(sjis::readField(row.StatusText));
        int32_t value = row.MachineValue, total = row.TotalCr;
        lines.push_back(modes::format(text::RankingRow, label.c_str(), owner.c_str(), pilot.c_str(), value,
                                      total, status.c_str()));
    }
    lines.push_back(modes::ruleLine());
    std::string organiser(sjis::readField(settings.OrganiserName)),
        stadium(sjis::readField(settings.StadiumName));
    lines.push_back(modes::format(text::Signature, organiser.c_str(), stadium.c_str()));
    return lines;
}

modes::Lines resultLines(const GameSettings& settings, const Bracket& bracket) {
    modes::Lines lines{text::ResultBracketHeading};
    modes::Lines drawn = bracket.text(true);
    lines.insert(lines.end(), drawn.begin(), drawn.end());
    modes::Lines ranking = rankingTable(settings, bracket.entrants());
    lines.insert(lines.end(), ranking.begin(), ranking.end());
    return lines;
}

bool TourEngine::load(GameSettings& settings, modes::MatchSides& sides, int side, std::string_view path) {
    return modes::loadSide(settings, sides, side, path);
}

modes::MatchOutcome TourEngine::fight(GameSettings& settings, modes::MatchSides& sides,
                                      std::string_view logName, std::string_view title,
                                      std::string_view akOutputFolder) {
    // No stop flag: a match taken up is fought to its end.
    return modes::fightMatch(settings, sides, logName, title, akOutputFolder, nullptr);
}

TourRun::TourRun(Bracket& bracket, GameSettings& settings, const ConfHeader& header, const MsgWords& words,
                 TourEngine* engine)
    : bracket_(bracket), settings_(settings), header_(header), words_(words),
      engine_(engine ? engine : &realEngine()) {}

void TourRun::memo(modes::RunThread& thread, modes::Lines lines) {
    if (onMemo) thread.post([sink = onMemo, lines = std::move(lines)] { sink(lines); });
}

TourSide TourRun::sideOf(const BracketNode* node) {
    if (!node) return {};
    return {node->Row, node->Index};
}

void TourRun::Execute(modes::RunThread& thread) {
    modes::applyRunSettings(settings_, words_);
    counter_ = 0;
    third_ = BracketNode{};
    resultFolder_ = sjis::readField(header_.ResultFolder);
    akOutputFolder_ = sjis::readField(header_.AkOutputFolder);
    memo(thread, {"\r\n\r\n"});
    for (modes::Entrant& e : bracket_.entrants()) e.Written.clear();
    if (!modes::cleanUpAtRunStart(thread, [this](const modes::CleanupStep& step) {
            return deleteOldOutputs(akOutputFolder_, resultFolder_, bracket_.entrants(), step);
        }))
        return;
    sides_ = modes::makeMatchSides();

    BracketNode* root = bracket_.root();
    if (!root) return;
    const int rounds = bracket_.rounds();
    BracketNode* taken[2] = {nullptr, nullptr}; // the last two matches taken up
    int takenCount = 0;
    for (int round = 1; round <= rounds - 1; ++round) {
        const std::string label = roundLabel(round, rounds);
        memo(thread, {modes::format(text::RoundHeading, label.c_str())});
        for (int number = 1; number <= bracket_.matchCount(); ++number) {
            BracketNode* node = bracket_.match(number);
            if (!node || node->Round != round) continue;
            if (thread.terminated()) return;
            RunTourMatch(thread, round, *node, sideOf(node->Child[0].get()), sideOf(node->Child[1].get()),
                         matchTitle(header_, label, counter_ + 1));
            taken[0] = taken[1];
            taken[1] = node;
            ++takenCount;
            if (thread.terminated()) return;
        }
    }

    if (takenCount > 1 && settings_.Options[OptTournamentThirdPlace]) {
        memo(thread, {text::ThirdPlaceHeading});
        TourSide losers[2];
        for (int k = 0; k < 2; ++k) {
            const BracketNode* semi = taken[k];
            if (semi && semi->Result != NoWinner) losers[k] = sideOf(semi->Child[1 - semi->Result].get());
        }
        third_.Round = root->Round - 1;
        if (thread.terminated()) return;
        bool wrote = RunTourMatch(thread, third_.Round, third_, losers[0], losers[1],
                                  matchTitle(header_, text::ThirdPlace, counter_ + 1));
        if (thread.terminated()) return;
        if (wrote) {
            EntryRecord* winner = bracket_.rowOf(third_.Index);
            if (third_.Result != NoWinner && winner && bracket_.rowOf(losers[0].Index) &&
                bracket_.rowOf(losers[1].Index))
                winner->Stage = winner->Stage + 1;
        } else {
            memo(thread, {text::NoMatch});
        }
    }

    memo(thread, {text::FinalHeading});
    if (thread.terminated()) return;
    bool wrote = RunTourMatch(thread, root->Round + 2, *root, sideOf(root->Child[0].get()),
                              sideOf(root->Child[1].get()), matchTitle(header_, text::Final, counter_ + 1));
    if (thread.terminated()) return;
    if (EntryRecord* winner = bracket_.rowOf(root->Index); winner && root->Result != NoWinner)
        winner->Stage = winner->Stage + 1;
    if (!wrote) memo(thread, {text::NoMatch});
    thread.postGameDone();
}

bool TourRun::RunTourMatch(modes::RunThread& thread, int round, BracketNode& node, TourSide side1,
                           TourSide side2, std::string_view title) {
    if (!sides_) sides_ = modes::makeMatchSides();
    ++counter_;
    TourSide side[2] = {side1, side2};
    bool has[2] = {false, false};
    for (int k = 0; k < 2; ++k) {
        // A fresh record: an AK that fails to load must not fight with the
        // previous match's data.
        sides_->Ak[k] = TArmoredKnight{};
        EntryRecord* row = bracket_.rowOf(side[k].Index);
        if (!row) {
            side[k] = TourSide{};
            continue;
        }
        has[k] = true;
        side[k].Row = row;
        // The file its last match wrote (a semifinal loser's too, for the
        // third-place match).
        const modes::Entrant& entrant = *bracket_.entrantOf(side[k].Index);
        if (!engine_->load(settings_, *sides_, k, entrant.nextAkFile())) {
            if (modes::stopOnLostAkOutput(entrant)) return false;
            sides_->Ak[k] = TArmoredKnight{};
        }
        row->Stage = round;
        int32_t total = sides_->Ak[k].TotalCr, value = sides_->Ak[k].MachineValue;
        row->TotalCr = total;
        row->MachineValue = value;
    }

    const Walkover verdict = decideWalkover(has[0], sides_->Ak[0], has[1], sides_->Ak[1],
                                            settings_.Options[OptTournamentAvoidSameOwner] != 0);
    if (verdict.Decision == NobodyAdvances) {
        node.Row = nullptr;
        node.Index = NoEntrant;
        node.Result = NoWinner;
        return false;
    }
    if (verdict.Decision == 0 || verdict.Decision == 1) {
        const int w = verdict.Decision;
        memo(thread, walkoverHeading(settings_, *side[w].Row, side[1 - w].Row, verdict.Label, counter_));
        node.Row = side[w].Row;
        node.Index = side[w].Index;
        node.Result = w;
        return true;
    }

    const modes::MatchOutcome outcome =
        engine_->fight(settings_, *sides_, logName(resultFolder_, round, counter_), title, akOutputFolder_);
    for (int k = 0; k < 2; ++k) bracket_.entrantOf(side[k].Index)->wrote(outcome.AkOutput[k]);
    for (int k = 0; k < 2; ++k) {
        int32_t total = sides_->Ak[k].TotalCr, value = sides_->Ak[k].MachineValue;
        side[k].Row->TotalCr = total;
        side[k].Row->MachineValue = value;
    }
    std::string marks[2], columns[2];
    const int32_t result = outcome.Result;
    if (result != 0 && result != 1) {
        // A draw, or a match that ended without a result: nobody advances.
        marks[0] = marks[1] = text::MarkDraw;
        columns[0] = columns[1] = statusColumn("", 0, false);
        node.Row = nullptr;
        node.Index = NoEntrant;
        node.Result = NoWinner;
    } else {
        const int w = result, l = 1 - result;
        EntryRecord& loser = *side[l].Row;
        EntryRecord& winner = *side[w].Row;
        const cv::CombatantState& state = sides_->State[l].State;
        // EndStateFlags is -1 for a match judged at the limit: no flag set.
        int32_t flags = state.EndStateFlags;
        if (flags > 0 && (flags & cv::EndExploded)) loser.OwnAkDestroyed = 1;
        if (outcome.PilotKilled[l]) loser.OwnPilotKilled = 1;
        std::string status(sjis::readField(state.EndStateText));
        sjis::writeField(loser.StatusText, status);
        sjis::writeField(winner.StatusText, "");
        marks[w] = text::MarkWon;
        marks[l] = text::MarkLost;
        columns[w] = statusColumn("", w, false);
        columns[l] = statusColumn(sjis::readField(loser.StatusText), l, true);
        node.Row = side[w].Row;
        node.Index = side[w].Index;
        node.Result = w;
    }
    if (!thread.terminated()) {
        for (int k = 0; k < 2; ++k) side[k].Row->Wins = side[k].Row->Wins + 1;
        if (onProgress)
            thread.post(
                [sink = onProgress, done = counter_, total = bracket_.entrantCount()] { sink(done, total); });
        memo(thread, matchHeading(settings_, *side[0].Row, *side[1].Row, marks, columns, counter_));
    }
    return true;
}

} // namespace brackets
