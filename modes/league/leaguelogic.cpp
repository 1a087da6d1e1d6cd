// The league's pairing, counting, tables and run.
#include "modes/league/leaguelogic.h"

#include "base/sjis.h"
#include "modes/frame/imports.h"
#include "modes/frame/standings.h"
#include "modes/frame/textfmt.h"
#include "sjis/frame_text.h"
#include "sjis/league_text.h"

#include <memory>

namespace league {

int matchCount(int entrants) {
    return entrants < 2 ? 0 : entrants * (entrants - 1) / 2;
}

std::vector<std::pair<int, int>> pairings(int entrants) {
    std::vector<std::pair<int, int>> pairs;
    for (int i = 0; i < entrants; ++i)
        for (int j = i + 1; j < entrants; ++j) pairs.emplace_back(i, j);
    return pairs;
}

std::string logName(std::string_view resultFolder, int first, int second) {
    return modes::joinFolder(resultFolder, modes::format("lg_%03d_%03d.txt", first, second));
}

void shuffleEntrants(modes::EntrantList& list, const std::function<int()>& random) {
    modes::EntrantList shuffled;
    shuffled.reserve(list.size());
    size_t n = list.size();
    for (size_t k = 0; k < n; ++k) {
        size_t left = list.size();
        size_t b = left ? static_cast<size_t>(random()) % left : 0;
        if (b >= left) break;
        shuffled.push_back(std::move(list[b]));
        list.erase(list.begin() + static_cast<std::ptrdiff_t>(b));
    }
    list = std::move(shuffled);
}

void countResult(EntryRecord& first, EntryRecord& second, const modes::MatchOutcome& outcome) {
    auto win = [&outcome](EntryRecord& winner, EntryRecord& loser, int loserSide) {
        winner.Wins += 1;
        loser.Losses += 1;
        if (outcome.AkDestroyed[loserSide]) {
            winner.Destroyed += 1;
            loser.OwnAkDestroyed += 1;
        }
        if (outcome.PilotKilled[loserSide]) {
            winner.Kills += 1;
            loser.OwnPilotKilled += 1;
        }
    };
    switch (outcome.Result) {
    case 0:
        win(first, second, 1);
        break;
    case 1:
        win(second, first, 0);
        break;
    case 2:
        first.Draws += 1;
        second.Draws += 1;
        break;
    default:
        break;
    }
}

bool deleteLeagueLogs(std::string_view resultFolder, const modes::CleanupStep& step) {
    modes::OldOutputs what;
    what.ResultFolder = resultFolder;
    what.LogPattern = "lg_*.*";
    return modes::deleteOldOutputs(what, step);
}

modes::Lines entryTable(const ConfHeader& header, const GameSettings& settings,
                        const modes::EntrantList& entrants, const plat::clock::LocalTime& now) {
    modes::Lines lines{modes::eventHeading(header, now), modes::text::EntryHeading, modes::ruleLine(),
                       text::EntryHeader, modes::ruleLine()};
    for (size_t i = 0; i < entrants.size(); ++i) {
        const EntryRecord* row = entrants[i].row();
        if (!row) continue;
        std::string owner = modes::tableName(settings, sjis::readField(row->OwnerName), 16);
        std::string pilot = modes::tableName(settings, sjis::readField(row->PilotName), 20);
        std::string sex = modes::tableName(settings, sjis::readField(row->Sex), 10);
        int32_t age = row->Age, battles = row->Battles, wins = row->Wins, value = row->MachineValue;
        lines.push_back(modes::format(text::EntryRow, static_cast<int>(i + 1), owner.c_str(), pilot.c_str(),
                                      sex.c_str(), age, battles, wins, value));
    }
    lines.push_back(modes::ruleLine());
    return lines;
}

modes::Lines resultTable(const GameSettings& settings, const std::vector<const modes::Entrant*>& standings) {
    modes::Lines lines{"", "", text::ResultHeading, modes::ruleLine(), text::ResultHeader, modes::ruleLine()};
    int place = 0;
    for (const modes::Entrant* e : standings) lines.push_back(modes::standingRow(settings, *e, ++place));
    lines.push_back(modes::ruleLine());
    std::string organiser(sjis::readField(settings.OrganiserName)),
        stadium(sjis::readField(settings.StadiumName));
    lines.push_back(modes::format(text::Signature, organiser.c_str(), stadium.c_str()));
    return lines;
}

LeagueRun::LeagueRun(modes::EntrantList& entrants, GameSettings& settings, const ConfHeader& header,
                     const MsgWords& words)
    : entrants_(entrants), settings_(settings), header_(header), words_(words) {}

void LeagueRun::Execute(modes::RunThread& thread) {
    const int n = static_cast<int>(entrants_.size());
    const int total = matchCount(n);
    for (modes::Entrant& e : entrants_) {
        if (EntryRecord* row = e.row()) {
            row->Battles = 0;
            row->Wins = 0;
            row->Destroyed = 0;
        }
    }
    modes::applyRunSettings(settings_, words_);
    const std::string resultFolder(sjis::readField(header_.ResultFolder));
    const std::string akOutputFolder(sjis::readField(header_.AkOutputFolder));
    if (!modes::cleanUpAtRunStart(
            thread, [&](const modes::CleanupStep& step) { return deleteLeagueLogs(resultFolder, step); }))
        return;

    std::unique_ptr<modes::MatchSides> sides = modes::makeMatchSides();
    auto kept = std::make_unique<TArmoredKnight>();
    int done = 0;
    for (int i = 0; i < n; ++i) {
        modes::Entrant& first = entrants_[static_cast<size_t>(i)];
        if (!first.Absent && !modes::loadSide(settings_, *sides, 0, first.Path)) first.Absent = true;
        *kept = sides->Ak[0];
        for (int j = i + 1; j < n; ++j) {
            modes::Entrant& second = entrants_[static_cast<size_t>(j)];
            modes::MatchOutcome outcome;
            if (!first.Absent && !second.Absent) {
                sides->Ak[0] = *kept;
                if (modes::loadSide(settings_, *sides, 1, second.Path))
                    outcome = modes::fightMatch(settings_, *sides, logName(resultFolder, i + 1, j + 1), "",
                                                akOutputFolder);
                else
                    second.Absent = true;
            }
            EntryRecord* a = first.row();
            EntryRecord* b = second.row();
            if (outcome.Played && a && b) {
                a->Battles += 1;
                b->Battles += 1;
                countResult(*a, *b, outcome);
            }
            ++done;
            if (thread.terminated()) return;
            if (onProgress) thread.post([progress = onProgress, done, total] { progress(done, total); });
        }
    }
    thread.postGameDone();
}

} // namespace league
