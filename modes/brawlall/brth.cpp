// The battle royal's run thread: turns, fights and their game contexts.
#include "modes/brawlall/brth.h"

#include "base/sjis.h"
#include "modes/brawlall/brturn.h"
#include "modes/brawlall/royal.h"
#include "modes/frame/imports.h"
#include "modes/frame/outputs.h"
#include "modes/frame/textfmt.h"
#include "sjis/brawlall_text.h"

#include <algorithm>

namespace brawl {

namespace {
constexpr int CannotWriteScript = 41020;
} // namespace

TBRoyal::TBRoyal(modes::EntrantList& entrants, const BrMap& map, GameSettings& settings,
                 const ConfHeader& header, const MsgWords& words)
    : entrants_(entrants), map_(map), settings_(settings), header_(header), words_(words),
      view_(std::make_shared<RoyalView>()) {
    fights_.resize(entrants_.size());
}

TBRoyal::~TBRoyal() = default;

int TBRoyal::fightsRunning() const {
    return static_cast<int>(
        std::count_if(fights_.begin(), fights_.end(), [](const auto& f) { return f != nullptr; }));
}

RoyalEntryRecord& TBRoyal::row(int entrantNo) const {
    return *entrants_[static_cast<size_t>(entrantNo)].royal();
}

bool TBRoyal::stopped() const {
    return thread_ && thread_->terminated();
}

void TBRoyal::post(std::function<void(RoyalView&)> call) {
    if (!thread_) return;
    thread_->post([view = view_, call = std::move(call)] { call(*view); });
}

void TBRoyal::paintEntrant(int entrantNo) {
    const RoyalEntryRecord& r = row(entrantNo);
    int32_t x = r.X, y = r.Y;
    RoyalBoard board(entrants_, map_);
    CellPaint paint = board.paintOf(x, y);
    post([paint](RoyalView& v) {
        if (v.paint) v.paint(paint);
    });
}

void TBRoyal::Execute(modes::RunThread& thread) {
    thread_ = &thread;
    if (!prepare()) return;
    try {
        run();
    } catch (...) {
        // The end below still closes the script and tells the window.
    }
    // Fights that "終了" left open stay as they are: their logs take their
    // names as the run ends (a fault has taken them back).
    if (!thread.faulted()) {
        KeepOpenMatches();
        modes::stopOnOutputFault();
    }
    script_.append("End:\n");
    script_.close();
    checkScript();
    // A run stopped on a fault keeps no viewer script, as it publishes no
    // table: the script would replay the fights whose files were taken back.
    if (thread.faulted()) script_.discard();
    post([](RoyalView& v) {
        if (v.scrollMemo) v.scrollMemo();
    });
    // The game processor may still point at a fight freed above; leave it
    // on the event's own settings.
    SetEnvironment(&settings_);
    thread.postGameDone();
}

bool TBRoyal::prepare() {
    modes::applyRunSettings(settings_, words_);
    post([](RoyalView& v) {
        if (v.memo) v.memo({"\r\n\r\n"});
    });
    const std::string akOutputFolder(sjis::readField(header_.AkOutputFolder));
    const std::string resultFolder(sjis::readField(header_.ResultFolder));
    std::vector<std::string> inputs;
    for (modes::Entrant& e : entrants_) {
        e.Written.clear();
        inputs.push_back(e.Path);
    }
    return modes::cleanUpAtRunStart(*thread_, [&](const modes::CleanupStep& step) {
        return deleteOldOutputs(akOutputFolder, resultFolder, inputs, step);
    });
}

void TBRoyal::run() {
    const std::string resultFolder(sjis::readField(header_.ResultFolder));
    ViewerHeader header;
    header.Path = modes::joinFolder(resultFolder, ViewerScriptName);
    char version[cmn::FileVersionSize] = {};
    char* versionOut = version;
    cmnGetFileVersion("BRAWLALL.DLL", &versionOut);
    header.ProgramVersion = sjis::readField(version);
    header.Time = plat::clock::localNow();
    header.Columns = map_.columns();
    header.Rows = map_.rows();
    script_.create(header.Path, viewerHeaderText(header, settings_, entrants_));
    checkScript();

    RoyalBoard board(entrants_, map_);
    TurnListener listener;
    listener.moved = [this](int entrantNo, int dx, int dy) {
        script_.append(viewerMoveText(entrantNo, dx, dy));
    };
    listener.paint = [this](const CellPaint& paint) {
        post([paint](RoyalView& v) {
            if (v.paint) v.paint(paint);
        });
    };
    // Turns in which nothing fights: an event whose free entrants chase
    // each other round in circles ends after this many of them.
    const int idleLimit = std::max(map_.columns() * map_.rows(), 1);
    int idleTurns = 0;
    while (!stopped()) {
        const int turn = turn_;
        post([text = modes::format(text::TurnStatus, turn)](RoyalView& v) {
            if (v.status) v.status(1, text);
        });
        script_.append(viewerTurnText(turn));
        bool changed = false;
        bool going = board.MoveRoyalEntrants(turn, listener, &changed);
        post([](RoyalView& v) {
            if (v.refreshMap) v.refreshMap();
        });
        fightStepped_ = false;
        StepRoyalFights();
        script_.flush();
        checkScript();
        ++turn_;
        if (stopped() || !going) break;
        // Nobody fought and nobody moved or paired: every later turn would
        // be this one again.
        if (!fightStepped_ && !changed) break;
        idleTurns = fightStepped_ ? 0 : idleTurns + 1;
        if (idleTurns >= idleLimit) break;
    }
}

void TBRoyal::StepRoyalFights() {
    if (stopped()) return;
    for (int j = 0; j < static_cast<int>(entrants_.size()); ++j) {
        if (!entrants_[static_cast<size_t>(j)].royal()) continue; // no row: never on the map
        const RoyalEntryRecord& r = row(j);
        int32_t opponent = r.Opponent, fightTurn = r.FightTurn;
        if (j < opponent && fightTurn == turn_ && opponent < static_cast<int>(entrants_.size())) {
            StartRoyalFight(j, opponent);
            DisposeGameMessage();
            if (stopped()) return;
        }
    }
    std::vector<RoyalFight*> running;
    for (const auto& f : fights_)
        if (f) running.push_back(f.get());
    std::sort(running.begin(), running.end(),
              [](const RoyalFight* a, const RoyalFight* b) { return a->Number < b->Number; });
    for (RoyalFight* fight : running) {
        if (stopped()) break;
        stepFight(*fight);
    }
}

void TBRoyal::checkScript() {
    if (!script_.failed()) return;
    modes::reportRunFile(CannotWriteScript, script_.path());
    script_.discard();
}

void TBRoyal::leaveUnloaded(int a, int b, const bool loaded[2]) {
    // A fighter whose AK cannot be read (reported once, as it is never
    // loaded again) leaves the game, marked absent in the result table;
    // its opponent is free again.
    const int sides[2] = {a, b};
    for (int k = 0; k < 2; ++k) {
        RoyalEntryRecord& r = row(sides[k]);
        r.FightTurn = 0;
        r.Opponent = 0;
        if (!loaded[k]) {
            r.OutStatus = 0;
            entrants_[static_cast<size_t>(sides[k])].Absent = true;
        }
        paintEntrant(sides[k]);
    }
}

void TBRoyal::StartRoyalFight(int a, int b) {
    const std::string resultFolder(sjis::readField(header_.ResultFolder));

    auto fight = std::make_unique<RoyalFight>();
    fight->Settings = settings_;
    fight->Settings.RoundMark = turn_;
    fight->Settings.Result = modes::NoResult;
    fight->Entrant[0] = a;
    fight->Entrant[1] = b;

    bool loaded[2];
    for (int k = 0; k < 2; ++k)
        loaded[k] = modes::loadAkFile(fight->Settings, fight->Ak[k], k,
                                      entrants_[static_cast<size_t>(fight->Entrant[k])].nextAkFile());
    if (!loaded[0] || !loaded[1]) {
        for (int k = 0; k < 2; ++k)
            if (!loaded[k] && modes::stopOnLostAkOutput(entrants_[static_cast<size_t>(fight->Entrant[k])]))
                return;
        leaveUnloaded(a, b, loaded);
        return;
    }

    fight->Number = nextFight_++;
    const std::string confName(sjis::readField(header_.ConfName));
    const std::string number = sjis::han2Zen(std::to_string(fight->Number + 1));
    const std::string title = modes::format(text::FightTitle, confName.c_str(), number.c_str());

    SetEnvironment(&fight->Settings);
    SetAkData(&fight->Ak[0], &fight->Ak[1], &fight->State[0].State, &fight->State[1].State);
    fight->Log = modes::joinFolder(resultFolder, modes::format("bt_%03d.txt", fight->Number + 1));
    for (int k = 0; k < 2; ++k) {
        const RoyalEntryRecord& r = row(fight->Entrant[k]);
        int32_t wins = r.Entry.Wins;
        if (wins > 0) carryDrainIn(r.CarriedDrain, fight->State[k].State);
    }
    StartMatch(fight->Log.c_str(), title.c_str());
    modes::stopOnOutputFault();
    fight->LastResult = 0;
    SaveGameContext(fight->Weapons[0], fight->Weapons[1], fight->Comments[0], fight->Comments[1]);

    if (!stopped()) {
        std::string caption = modes::format("%3d", fight->Number + 1);
        std::string pairing = pairingRow(fight->State[0].State, row(a), fight->State[1].State, row(b));
        int fightNo = fight->Number + 1;
        post([fightNo, caption, pairing](RoyalView& v) {
            if (v.addFight) v.addFight(fightNo, caption, pairing);
        });
    }
    fights_[static_cast<size_t>(a)] = std::move(fight);
}

void TBRoyal::stepFight(RoyalFight& fight) {
    fightStepped_ = true;
    RestoreGameContext(&fight.Settings, &fight.Ak[0], &fight.Ak[1], &fight.State[0].State,
                       &fight.State[1].State, fight.Weapons[0], fight.Weapons[1], fight.Comments[0],
                       fight.Comments[1], fight.Log.c_str());
    const uint8_t result = ProcessMatch(fight.Log.c_str());
    fight.LastResult = result;

    FightSide sides[2];
    for (int k = 0; k < 2; ++k) {
        RoyalEntryRecord& r = row(fight.Entrant[k]);
        r.HitPointPct = hitPointPct(fight.State[k].State);
        sides[k].EntrantNo = fight.Entrant[k];
        sides[k].State = &fight.State[k].State;
        sides[k].Ak = &fight.Ak[k];
        sides[k].HitPointPct = r.HitPointPct;
    }
    std::string block = viewerFightText(fight.Number + 1, fight.Settings, sides, result);
    if (result == 0) {
        block += "-1, -1\n";
    } else {
        int32_t outcome = fight.Settings.Result;
        block += modes::format("%d, ", outcome);
    }
    script_.append(block);
    for (int k = 0; k < 2; ++k) paintEntrant(fight.Entrant[k]);

    const bool ended = result != 0;
    if (ended) EndRoyalFight(fight);
    // A file of the fight that could not be written: the run stops here.
    modes::stopOnOutputFault();
    DisposeGameMessage();
    // Freed only now: the game processor's pointers name this fight until
    // its message sets are released.
    if (ended) fights_[static_cast<size_t>(fight.Entrant[0])].reset();
}

void TBRoyal::EndRoyalFight(RoyalFight& fight) {
    const std::string akOutputFolder(sjis::readField(header_.AkOutputFolder));
    // The output AK files EndMatch1 is about to write: the winner's is the
    // file of its next fight. No two entrants share a stem (chooseEntrants,
    // the drop on the map), so both names are known.
    std::array<std::string, 2> outputs = modes::returnFileNames(fight.Settings, akOutputFolder);
    EndMatch1(fight.Log.c_str(), akOutputFolder.c_str());
    EndMatch2(fight.Log.c_str());
    for (int k = 0; k < 2; ++k)
        entrants_[static_cast<size_t>(fight.Entrant[k])].wrote(std::move(outputs[static_cast<size_t>(k)]));

    RoyalEntryRecord* rows[2] = {&row(fight.Entrant[0]), &row(fight.Entrant[1])};
    for (int k = 0; k < 2; ++k) {
        RoyalEntryRecord& r = *rows[k];
        carryDrainOut(fight.State[k].State, r.CarriedDrain);
        r.Entry.TotalCr = fight.Ak[k].TotalCr;
        r.Entry.MachineValue = fight.Ak[k].MachineValue;
        r.FightTurn = 0;
        r.Opponent = 0;
    }

    FightHeading heading;
    heading.FightNo = fight.Number + 1;
    heading.Rows[0] = rows[0];
    heading.Rows[1] = rows[1];
    const int32_t outcome = fight.Settings.Result;
    if (outcome != 0 && outcome != 1) {
        // A draw, and any end without a winner: both leave the game.
        for (RoyalEntryRecord* r : rows) r->OutStatus = 0;
        heading.Marks[0] = heading.Marks[1] = text::MarkDraw;
        heading.Texts[0] = heading.Texts[1] = winnerHeadingText();
        script_.append("0\n");
    } else {
        const int w = outcome, l = 1 - outcome;
        RoyalEntryRecord& winner = *rows[w];
        RoyalEntryRecord& loser = *rows[l];
        int32_t flags = fight.State[l].State.EndStateFlags;
        // A loser always leaves the game, whatever its end state says.
        loser.OutStatus = std::max<int32_t>(flags, 0);
        if (flags > 0 && (flags & cv::EndDead)) winner.Entry.Kills = winner.Entry.Kills + 1;
        if (flags > 0 && (flags & cv::EndExploded)) {
            loser.Entry.OwnAkDestroyed = 1;
            winner.Entry.Destroyed = winner.Entry.Destroyed + 1;
        }
        winner.Entry.Wins = winner.Entry.Wins + 1;
        std::string status(sjis::readField(fight.State[l].State.EndStateText));
        sjis::writeField(loser.Entry.StatusText, status);
        sjis::writeField(winner.Entry.StatusText, "");
        heading.Marks[w] = text::MarkWin;
        heading.Marks[l] = text::MarkLose;
        heading.Texts[w] = winnerHeadingText();
        heading.Texts[l] = loserHeadingText(sjis::readField(loser.Entry.StatusText), l == 0);
        script_.append(modes::format("%d\n", flags));
    }
    int32_t roundCounter = fight.Settings.RoundCounter, roundMark = fight.Settings.RoundMark;
    heading.Minutes = roundCounter - roundMark + 1;

    for (int k = 0; k < 2; ++k) paintEntrant(fight.Entrant[k]);
    ++finished_;
    modes::Lines lines = fightHeadingLines(settings_, heading);
    std::string count = modes::format("%d/%d", finished_, static_cast<int>(entrants_.size()) - 1);
    const int fightNo = fight.Number + 1;
    post([lines, count, fightNo](RoyalView& v) {
        if (v.memo) v.memo(lines);
        if (v.status) v.status(1, count);
        if (v.removeFight) v.removeFight(fightNo);
    });
}

} // namespace brawl
