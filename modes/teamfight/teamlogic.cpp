// The team battle's slots, registration, tables and run.
#include "modes/teamfight/teamlogic.h"

#include "base/sjis.h"
#include "modes/frame/imports.h"
#include "modes/frame/outputs.h"
#include "modes/frame/setup.h"
#include "modes/frame/textfmt.h"
#include "platform/files.h"
#include "platform/paths.h"
#include "sjis/frame_text.h"
#include "sjis/teamfight_text.h"

#include <algorithm>
#include <memory>

namespace teamfight {

namespace {

std::string cutName(const GameSettings& settings, const char (&field)[80], size_t width) {
    return modes::tableName(settings, sjis::readField(field), width);
}

} // namespace

// ---- Teams ----------------------------------------------------------------------------

void Teams::reset(int n) {
    for (modes::EntrantList& team : Side) {
        team.clear();
        team.resize(static_cast<size_t>(std::max(n, 0)));
    }
    Bouts.clear();
}

bool Teams::filled(int team, int slot) const {
    if (team < 0 || team > 1 || slot < 0 || slot >= size()) return false;
    return Side[team][static_cast<size_t>(slot)].row() != nullptr;
}

std::vector<std::string> Teams::paths(int team) const {
    std::vector<std::string> out;
    for (const modes::Entrant& e : Side[team])
        if (e.row() && !e.Path.empty()) out.push_back(e.Path);
    return out;
}

modes::EntrantList Teams::checkList() const {
    modes::EntrantList list;
    for (int t = 0; t < 2; ++t) {
        for (const std::string& path : paths(t)) {
            modes::Entrant e;
            e.Path = path;
            list.push_back(std::move(e));
        }
    }
    return list;
}

// ---- Board ----------------------------------------------------------------------------

int boardHeight(int n) {
    return n * SlotHeight + BoardTop;
}

std::optional<SlotRef> slotAt(int n, int x, int y) {
    if (y < BoardTop) return std::nullopt;
    int slot = (y - BoardTop) / SlotHeight;
    if (slot >= n) return std::nullopt;
    if (x <= Team0ZoneEnd) return SlotRef{0, slot};
    if (x >= Team1ZoneStart) return SlotRef{1, slot};
    return std::nullopt;
}

// ---- Registration -----------------------------------------------------------------

void Registration::decide(int n) {
    teams_.reset(n);
    cursor_ = SlotRef{0, 0};
    open_ = true;
}

bool sameStem(std::string_view a, std::string_view b) {
    return modes::outputStem(a) == modes::outputStem(b);
}

bool Registration::put(SlotRef slot, std::string_view folder, std::string_view file) {
    if (slot.Team < 0 || slot.Team > 1 || slot.Slot < 0 || slot.Slot >= teams_.size()) return false;
    const std::string path = modes::joinFolder(folder, file);
    // One stem, one slot: the AK itself leaves the slot it stood in; another
    // file of its stem keeps its slot and this one stays out.
    modes::Entrant* moved = nullptr;
    for (int t = 0; t < 2; ++t) {
        for (int i = 0; i < teams_.size(); ++i) {
            if (SlotRef{t, i} == slot) continue;
            modes::Entrant& other = teams_.Side[t][static_cast<size_t>(i)];
            if (other.Path.empty() || !sameStem(other.Path, file)) continue;
            if (other.Path != path) return false;
            moved = &other;
        }
    }
    if (moved) {
        moved->Record.reset();
        moved->Path.clear();
    }
    modes::Entrant& e = teams_.Side[slot.Team][static_cast<size_t>(slot.Slot)];
    e.Path = path;
    if (!e.Record) e.Record = modes::newRow();
    *e.Record = RoyalEntryRecord{};
    std::string folderText(folder), fileText(file);
    cmnMakeDigest2(folderText.c_str(), fileText.c_str(), e.row());
    return true;
}

bool Registration::putAtCursor(std::string_view folder, std::string_view file) {
    const int n = teams_.size();
    if (n <= 0) return false;
    if (cursor_.Slot < 0 || cursor_.Slot >= n) cursor_ = SlotRef{1 - cursor_.Team, 0};
    if (!put(cursor_, folder, file)) return false;
    ++cursor_.Slot;
    return true;
}

std::vector<std::string> Registration::registerAll(int team, std::string_view folder,
                                                   const std::vector<std::string>& files,
                                                   const std::function<int()>& random) {
    if (team < 0 || team > 1) return {};
    const int n = teams_.size();
    modes::EntrantList& slots = teams_.Side[team];
    slots.clear();
    slots.resize(static_cast<size_t>(n));
    // One stem, one slot: an AK already in the other team stays there, and
    // of two files of one stem only the first is taken.
    modes::EntrantList taken;
    std::vector<size_t> passedOver;
    for (size_t i :
         modes::distinctStemRows(files, static_cast<size_t>(n), teams_.Side[1 - team], &passedOver))
        taken.push_back(modes::makeEntrant(folder, files[i]));
    modes::EntrantList shuffled;
    while (!taken.empty()) {
        size_t pick = static_cast<size_t>(random()) % taken.size();
        shuffled.push_back(std::move(taken[pick]));
        taken.erase(taken.begin() + static_cast<std::ptrdiff_t>(pick));
    }
    for (size_t i = 0; i < shuffled.size(); ++i) slots[i] = std::move(shuffled[i]);
    std::vector<std::string> names;
    for (size_t i : passedOver) names.push_back(files[i]);
    return names;
}

bool Registration::undo(std::optional<SlotRef> point) {
    const int n = teams_.size();
    if (n <= 0) return false;
    SlotRef slot;
    if (point && point->Slot >= 0 && point->Slot < n) {
        slot = *point;
    } else {
        slot = cursor_;
        slot.Slot = std::min(slot.Slot, n) - 1;
        if (slot.Slot < 0) slot = SlotRef{1 - slot.Team, n - 1};
        cursor_ = slot;
    }
    modes::Entrant& e = teams_.Side[slot.Team][static_cast<size_t>(slot.Slot)];
    if (!e.Record) return false;
    e.Record.reset();
    e.Path.clear();
    return true;
}

// ---- Start ------------------------------------------------------------------------

void refreshRows(Teams& teams) {
    for (modes::EntrantList& team : teams.Side) {
        for (modes::Entrant& e : team) {
            if (!e.Record) continue;
            plat::PathParts parts = plat::splitPath(e.Path);
            std::string folder = parts.drive + parts.dir;
            if (!folder.empty() && plat::endsWithSeparator(folder)) folder.pop_back();
            std::string file = parts.name + parts.extension;
            *e.Record = RoyalEntryRecord{};
            cmnMakeDigest2(folder.c_str(), file.c_str(), e.row());
        }
    }
}

bool writeTeamEntryLists(GameSettings& settings, const ConfHeader& header, const Teams& teams,
                         cv::GameMessageBuffer* buffer) {
    const std::string resultFolder(sjis::readField(header.ResultFolder));
    const char* names[2] = {"teamentry1.txt", "teamentry2.txt"};
    for (int t = 0; t < 2; ++t) {
        std::vector<std::string> paths = teams.paths(t);
        std::vector<const char*> list;
        for (const std::string& p : paths) list.push_back(p.c_str());
        list.push_back(nullptr);
        std::string out = modes::joinFolder(resultFolder, names[t]);
        if (!modes::writeEntryListFile(settings, list.data(), out, buffer)) return false;
    }
    return true;
}

bool clearOldOutputs(std::string_view akOutputFolder, std::string_view resultFolder, const Teams& teams,
                     const modes::CleanupStep& step) {
    modes::OldOutputs what;
    what.AkOutputFolder = akOutputFolder;
    what.AkFiles = modes::OutputAkFiles::DeleteEntrantsWhereShared;
    what.ResultFolder = resultFolder;
    what.LogPattern = "rw_*.*";
    // Someone's entry lying in one of these folders is not an output.
    for (const modes::EntrantList& team : teams.Side)
        for (const modes::Entrant& e : team)
            if (!e.Path.empty()) what.Keep.push_back(e.Path);
    return modes::deleteOldOutputs(what, step);
}

// ---- Tables -----------------------------------------------------------------------

std::string fullWidth(int value) {
    return sjis::han2Zen(std::to_string(value));
}

modes::Lines entryTable(const ConfHeader& header, const GameSettings& settings, Teams& teams,
                        const plat::clock::LocalTime& now) {
    std::string name(sjis::readField(header.ConfName)), memo(sjis::readField(header.ConfMemo));
    const char* style =
        settings.Options[OptTeamBattleWinnerStays] ? text::StyleWinnerStays : text::StyleOneEach;
    modes::Lines lines{
        modes::format(text::EventHeading, name.c_str(), memo.c_str(), style, modes::timeStamp(now).c_str())};
    for (int t = 0; t < 2; ++t) {
        lines.push_back(t == 0 ? text::Team1 : text::Team2);
        lines.push_back(modes::ruleLine());
        lines.push_back(modes::text::EntryHeader);
        lines.push_back(modes::ruleLine());
        int number = 0;
        for (modes::Entrant& e : teams.Side[t]) {
            EntryRecord* row = e.row();
            if (!row) continue;
            std::string owner = cutName(settings, row->OwnerName, OwnerBytes);
            std::string pilot = cutName(settings, row->PilotName, PilotBytes);
            std::string sex = cutName(settings, row->Sex, 10);
            int32_t age = row->Age, battles = row->Battles, wins = row->Wins, value = row->MachineValue;
            lines.push_back(modes::format(modes::text::EntryRow, ++number, owner.c_str(), pilot.c_str(),
                                          sex.c_str(), age, battles, wins, value));
            row->Stage = 0;
            row->Draws = 2;
        }
        lines.push_back(modes::ruleLine());
        lines.push_back("");
    }
    lines.push_back("");
    return lines;
}

void refreshNeverFought(Teams& teams) {
    auto ak = std::make_unique<TArmoredKnight>();
    for (modes::EntrantList& team : teams.Side) {
        for (modes::Entrant& e : team) {
            EntryRecord* row = e.row();
            if (!row || row->Draws != 2 || e.Path.empty()) continue;
            *ak = TArmoredKnight{};
            if (LoadAkData(ak.get(), e.Path.c_str()) != 0) continue;
            row->MachineValue = ak->MachineValue;
            row->TotalCr = ak->TotalCr;
        }
    }
}

modes::Lines resultTables(const GameSettings& settings, const Teams& teams, std::array<int, 2> finalIndex) {
    const bool winnerStays = settings.Options[OptTeamBattleWinnerStays] != 0;
    auto wonByWalkover = [&teams](int team, int slot) {
        return std::any_of(teams.Bouts.begin(), teams.Bouts.end(), [team, slot](const Bout& b) {
            return b.Walkover && b.Winner == team && b.Slot[team] == slot;
        });
    };
    modes::Lines lines{text::ResultHeading};
    int wins[2] = {0, 0}, walkovers[2] = {0, 0};
    for (int t = 0; t < 2; ++t) {
        int slot = -1;
        lines.push_back(t == 0 ? text::Team1 : text::Team2);
        lines.push_back(modes::ruleLine());
        lines.push_back(winnerStays ? text::WinnerStaysHeader : text::OneEachHeader);
        lines.push_back(modes::ruleLine());
        for (const modes::Entrant& e : teams.Side[t]) {
            ++slot;
            const EntryRecord* row = e.row();
            if (!row) continue;
            std::string owner = cutName(settings, row->OwnerName, OwnerBytes);
            std::string pilot = cutName(settings, row->PilotName, PilotBytes);
            int32_t value = row->MachineValue, total = row->TotalCr, stage = row->Stage, draws = row->Draws;
            const bool neverFought = draws == 2;
            std::string status = neverFought ? std::string() : std::string(sjis::readField(row->StatusText));
            if (winnerStays) {
                std::string won = neverFought ? std::string(text::NeverFought)
                                              : modes::format(text::WinsText, fullWidth(stage).c_str());
                lines.push_back(modes::format(text::WinnerStaysRow, won.c_str(), owner.c_str(), pilot.c_str(),
                                              value, total, status.c_str()));
            } else {
                const char* mark = text::MarkLoss;
                if (neverFought) {
                    mark = text::MarkNone;
                    ++wins[t];
                    ++walkovers[t];
                } else if (wonByWalkover(t, slot)) {
                    mark = text::MarkWin;
                    ++wins[t];
                    ++walkovers[t];
                } else if (stage >= 1) {
                    mark = text::MarkWin;
                    ++wins[t];
                } else if (draws == 1) {
                    mark = text::MarkDraw;
                }
                lines.push_back(modes::format(text::OneEachRow, mark, owner.c_str(), pilot.c_str(), value,
                                              total, status.c_str()));
            }
        }
        lines.push_back(modes::ruleLine());
        lines.push_back("");
    }

    // Winner stays: a team's member index counts its members beaten, so
    // the team with the smaller index won, by the other's index to its own.
    // One bout each: the win counts.
    int score[2] = {wins[0], wins[1]};
    if (winnerStays) {
        score[0] = finalIndex[1];
        score[1] = finalIndex[0];
    }
    if (score[0] == score[1]) {
        lines.push_back(
            modes::format(text::TeamsDrew, fullWidth(score[0]).c_str(), fullWidth(score[1]).c_str()));
    } else {
        int w = score[0] > score[1] ? 0 : 1;
        std::string team = fullWidth(w + 1);
        std::string first = fullWidth(score[w]), second = fullWidth(score[1 - w]);
        if (winnerStays) {
            lines.push_back(modes::format(text::TeamWon, first.c_str(), second.c_str(), team.c_str()));
        } else {
            std::string note = walkovers[w] > 0
                                   ? modes::format(text::WalkoverNote, fullWidth(walkovers[w]).c_str())
                                   : std::string();
            lines.push_back(modes::format(text::TeamWonWalkovers, first.c_str(), second.c_str(), team.c_str(),
                                          note.c_str()));
        }
    }
    std::string organiser(sjis::readField(settings.OrganiserName)),
        stadium(sjis::readField(settings.StadiumName));
    lines.push_back(modes::format(text::Signature, organiser.c_str(), stadium.c_str()));
    return lines;
}

std::vector<BoutLine> boutLines(const Teams& teams) {
    std::vector<BoutLine> out;
    for (const Bout& b : teams.Bouts) {
        BoutLine line;
        line.Slot[0] = b.Slot[0];
        line.Slot[1] = b.Slot[1];
        line.Color = b.Winner == 0 ? 1 : b.Winner == 1 ? 2 : 6;
        out.push_back(line);
    }
    return out;
}

// ---- Run -------------------------------------------------------------------------

std::string statusText(std::string_view endState, bool textFirst) {
    std::string state = sjis::cut(endState, 9);
    std::string dashes(9 - state.size(), '-');
    return textFirst ? state + dashes : dashes + state;
}

TeamRun::TeamRun(Teams& teams, GameSettings& settings, const ConfHeader& header, const MsgWords& words)
    : teams_(teams), settings_(settings), header_(header), words_(words) {}

void TeamRun::show(modes::RunThread& thread, modes::Lines lines) {
    if (onLines) thread.post([show = onLines, lines = std::move(lines)] { show(lines); });
}

void TeamRun::Execute(modes::RunThread& thread) {
    modes::applyRunSettings(settings_, words_);
    bout_ = 0;
    index_ = {0, 0};
    winner_ = 0;
    loser_ = 0;
    teams_.Bouts.clear();
    akOutputFolder_ = sjis::readField(header_.AkOutputFolder);
    resultFolder_ = sjis::readField(header_.ResultFolder);
    for (modes::EntrantList& team : teams_.Side)
        for (modes::Entrant& e : team) e.Written.clear();
    if (!modes::cleanUpAtRunStart(thread, [this](const modes::CleanupStep& step) {
            return clearOldOutputs(akOutputFolder_, resultFolder_, teams_, step);
        }))
        return;

    std::unique_ptr<modes::MatchSides> sides = modes::makeMatchSides();
    const int n = teams_.size();
    const std::string confName(sjis::readField(header_.ConfName));
    for (;;) {
        for (int t = 0; t < 2; ++t)
            while (index_[t] < n && !teams_.filled(t, index_[t])) ++index_[t];
        if (index_[0] >= n || index_[1] >= n) break;
        if (thread.terminated()) return;
        std::string bout = fullWidth(bout_ + 1), first = fullWidth(index_[0] + 1),
                    second = fullWidth(index_[1] + 1);
        show(thread, {modes::format(text::BoutHeading, bout.c_str(), first.c_str(), second.c_str()), ""});
        std::string title =
            modes::format(text::BoutTitle, confName.c_str(), bout.c_str(), first.c_str(), second.c_str());
        RunTeamMatch(thread, *sides, title);
        if (thread.terminated()) return;
        if (winner_ != NoSide && settings_.Options[OptTeamBattleWinnerStays]) {
            ++index_[loser_];
        } else {
            ++index_[0];
            ++index_[1];
        }
    }
    thread.postGameDone();
}

void TeamRun::RunTeamMatch(modes::RunThread& thread, modes::MatchSides& sides, const std::string& title) {
    ++bout_;
    const int n = teams_.size();
    bool present[2] = {false, false};
    for (int t = 0; t < 2; ++t) {
        modes::Entrant& member = teams_.Side[t][static_cast<size_t>(index_[t])];
        EntryRecord& r = *member.row();
        // Its own file, or the one its last (won) bout wrote.
        bool loaded = modes::loadSide(settings_, sides, t, member.nextAkFile());
        r.Draws = 0;
        r.OwnAkDestroyed = 0;
        r.OwnPilotKilled = 0;
        if (!loaded) {
            if (modes::stopOnLostAkOutput(member)) return;
            continue; // cannot appear: loses by walkover
        }
        int32_t value = sides.Ak[t].MachineValue, total = sides.Ak[t].TotalCr;
        r.MachineValue = value;
        r.TotalCr = total;
        present[t] = !sjis::readField(sides.Ak[t].Pilot.Name).empty() && value > 0;
    }

    modes::Lines lines;
    const bool fought = present[0] && present[1];
    if (!fought) {
        if (present[0] != present[1]) {
            const int w = present[0] ? 0 : 1, l = 1 - w;
            winner_ = w;
            loser_ = l;
            const EntryRecord& win = row(w);
            const EntryRecord& lose = row(l);
            std::string winOwner = cutName(settings_, win.OwnerName, OwnerBytes);
            std::string loseOwner = cutName(settings_, lose.OwnerName, OwnerBytes);
            std::string winPilot = cutName(settings_, win.PilotName, PilotBytes);
            std::string losePilot = cutName(settings_, lose.PilotName, PilotBytes);
            lines = {
                modes::format(text::WalkoverLine1, 20, winOwner.c_str(), text::MarkWin, bout_,
                              loseOwner.c_str()),
                modes::format(text::WalkoverLine2, 20, winPilot.c_str(), text::Walkover, losePilot.c_str())};
        } else {
            winner_ = NoSide;
        }
    } else {
        std::string log =
            modes::joinFolder(resultFolder_, modes::format("rw_%03d_%03d.txt", index_[0] + 1, index_[1] + 1));
        modes::MatchOutcome outcome = modes::fightMatch(settings_, sides, log, title, akOutputFolder_);
        for (int t = 0; t < 2; ++t)
            teams_.Side[t][static_cast<size_t>(index_[t])].wrote(std::move(outcome.AkOutput[t]));
        for (int t = 0; t < 2; ++t) {
            EntryRecord& r = row(t);
            int32_t value = sides.Ak[t].MachineValue, total = sides.Ak[t].TotalCr;
            r.MachineValue = value;
            r.TotalCr = total;
        }
        std::string mark[2], status[2];
        if (outcome.Result == 0 || outcome.Result == 1) {
            const int w = outcome.Result, l = 1 - w;
            winner_ = w;
            loser_ = l;
            const cv::CombatantState& lost = sides.State[l].State;
            int32_t flags = lost.EndStateFlags;
            uint8_t killed = lost.PilotKilled;
            std::string endState(sjis::readField(lost.EndStateText));
            EntryRecord& loser = row(l);
            EntryRecord& winner = row(w);
            // The flags are -1 when the match was judged: no end state at all.
            loser.OwnAkDestroyed = flags >= 0 && (flags & cv::EndExploded) ? 1 : 0;
            loser.OwnPilotKilled = killed ? 1 : 0;
            sjis::writeField(loser.StatusText, endState);
            sjis::writeField(winner.StatusText, "");
            winner.Stage += 1;
            mark[w] = text::MarkWin;
            mark[l] = text::MarkLoss;
            status[w] = std::string(9, '-');
            status[l] = statusText(endState, l == 0);
        } else {
            // A draw, or a match that ended without a result.
            winner_ = NoSide;
            for (int t = 0; t < 2; ++t) {
                row(t).Draws = 1;
                mark[t] = text::MarkDraw;
                status[t] = std::string(9, '-');
            }
        }
        std::string owner[2], pilot[2];
        for (int t = 0; t < 2; ++t) {
            owner[t] = cutName(settings_, row(t).OwnerName, OwnerBytes);
            pilot[t] = cutName(settings_, row(t).PilotName, PilotBytes);
        }
        int32_t minutes = settings_.RoundCounter;
        lines = {modes::format(text::BoutLine1, 20, owner[0].c_str(), mark[0].c_str(), bout_, mark[1].c_str(),
                               owner[1].c_str()),
                 modes::format(text::BoutLine2, 20, pilot[0].c_str(), status[0].c_str(), minutes,
                               status[1].c_str(), pilot[1].c_str())};
    }
    teams_.Bouts.push_back(Bout{{index_[0], index_[1]}, winner_, !fought && present[0] != present[1]});
    // A cancelled run shows nothing more of the bout.
    if (thread.terminated()) return;
    if (onProgress) {
        int done = bout_, total = std::max(n, bout_);
        thread.post([progress = onProgress, done, total] { progress(done, total); });
    }
    if (!lines.empty()) show(thread, std::move(lines));
}

} // namespace teamfight
