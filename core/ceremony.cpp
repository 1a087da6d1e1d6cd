// The entrance and after-match narration (see ceremony.h).
#include "core/ceremony.h"

#include "base/sjis.h"
#include "core/dice.h"
#include "core/emit.h"
#include "core/getmsg.h"
#include "core/module.h"
#include "core/msgarchive.h"
#include "core/templates.h"
#include "sjis/emit_text.h"

#include <algorithm>
#include <string>

namespace cv {

namespace {

constexpr int AnnouncerTable = 1;

enum CeremonyLine : int {
    EntranceLine = 17,
    FamousLine = 20,
    DrawLoserLine = 47,
    LoserAliveLine = 48,
    LoserKilledLine = 49,
    LoserKilledOwnerLine = 50,
};

const TArmoredKnight& akOf(int side) {
    return *Module().Ak[side];
}

const CombatantState& stateOf(int side) {
    return *Module().State[side];
}

bool ready() {
    const ModuleState& m = Module();
    return m.Ak[0] && m.Ak[1] && m.State[0] && m.State[1];
}

std::string announcerLine(int n, Slots slots = {}) {
    return ExpandMessageSlots(TemplateLine(AnnouncerTable, n), slots);
}

void announce(GameMessageBuffer& buffer, int about, const std::string& text) {
    buffer.CurrentKind = KindAnnouncer;
    Narrate(buffer, text, sjis::readField(Settings().AnnouncerLabel), static_cast<uint32_t>(about + 1));
}

std::string_view commentText(int side, int entry) {
    return sjis::readField(akOf(side).Comments[entry].Text);
}

int16_t commentMode(int side, int entry) {
    return akOf(side).Comments[entry].Mode;
}

// After a draw: the AK's draw comment, or "M19A".
void drawWords(GameMessageBuffer& buffer, int side, std::string_view name) {
    std::string_view comment = commentText(side, CommentDraw);
    if (!comment.empty())
        PilotSpeaks(buffer, side, Quoted(comment));
    else
        PilotSays(buffer, side, "M19A", {name});
}

void winnerLines(GameMessageBuffer& buffer, int winner, int loser, bool draw) {
    std::string name(sjis::readField(stateOf(winner).PilotNameFull));
    if (draw) {
        drawWords(buffer, winner, name);
        return;
    }
    // The win comment fits when it was written for a killed opponent
    // (mode 1) exactly when the loser's pilot was killed.
    bool killed = stateOf(loser).PilotKilled != 0;
    std::string_view comment = commentText(winner, CommentWin);
    if (!comment.empty() && (commentMode(winner, CommentWin) == 1) == killed)
        PilotSpeaks(buffer, winner, Quoted(comment));
    else
        PilotSays(buffer, winner, killed ? "M28A" : "M29A", {name});
}

void loserLines(GameMessageBuffer& buffer, int loser, bool draw) {
    const CombatantState& s = stateOf(loser);
    std::string name(sjis::readField(s.PilotNameFull));
    std::string_view comment = commentText(loser, CommentLoss);
    bool deathComment = commentMode(loser, CommentLoss) == 1;
    if (draw) {
        announce(buffer, loser, announcerLine(DrawLoserLine, {name}));
        drawWords(buffer, loser, name);
        return;
    }
    if (s.PilotKilled == 0) {
        announce(buffer, loser, announcerLine(LoserAliveLine, {name}));
        if (!comment.empty() && !deathComment)
            PilotSpeaks(buffer, loser, Quoted(comment));
        else
            PilotSays(buffer, loser, "M18A", {name});
        return;
    }
    // The pilot was killed: the announcer turns to the owner, who speaks
    // the AK's own words for this or the base set's.
    std::string_view ownerName = sjis::readField(akOf(loser).Owner.Name);
    int r = RollD100("after-match");
    if (r < 51 || deathComment)
        announce(buffer, loser, announcerLine(LoserKilledOwnerLine, {name, ownerName}));
    else
        announce(buffer, loser, announcerLine(LoserKilledLine, {name}));
    std::string words;
    if (deathComment && !comment.empty()) {
        words = Quoted(comment);
    } else if (GetMsg(SlotBasic, "M22A", words) == MsgOk) {
        words = ExpandMessageSlots(words, {sjis::readField(s.PilotName)});
    }
    buffer.CurrentKind = KindPilot1 + static_cast<uint32_t>(loser);
    Narrate(buffer, words, ownerName, KindPilot1 + static_cast<uint32_t>(loser));
}

} // namespace

void EmitOpening(GameMessageBuffer& buffer, int side) {
    if (!NarrationOn() || !ready()) return;
    side = side == 1 ? 1 : 0;
    const TAkPilot& p = akOf(side).Pilot;
    int32_t destroyed = p.Destroyed, kills = p.Kills;
    int64_t score = (int64_t{destroyed} + kills) * 4;
    int r = std::max(RollD100("opening"), 10);
    std::string_view akName = sjis::readField(akOf(side).AkName);
    std::string text = announcerLine(EntranceLine, {akName});
    if (score < r) {
        std::string more;
        if (GetMsg(SlotAnnouncer, "M75A", more) == MsgOk) more = ExpandMessageSlots(more, {akName});
        announce(buffer, side, text + more + emt::SpeechClose);
        return;
    }
    announce(buffer, side, text + announcerLine(FamousLine, {akName}));
    for (; score >= r; score /= 2) {
        buffer.CurrentKind = KindAnnouncer;
        Narrate(buffer, BasicMessage("M01B"), emt::Crowd, static_cast<uint32_t>(side + 1));
    }
}

void EmitAfterMatchLines(GameMessageBuffer& buffer, int winner, int loser) {
    if (!NarrationOn() || !ready()) return;
    winner = winner == 1 ? 1 : 0;
    loser = loser == 1 ? 1 : 0;
    int32_t result = Settings().Result;
    bool draw = result == 2;
    winnerLines(buffer, winner, loser, draw);
    loserLines(buffer, loser, draw);
}

} // namespace cv
