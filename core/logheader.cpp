// The log header, the banner, the player and start lines, the
// introductions, the match start, the status sheets and the closing
// narration.
#include "core/logheader.h"

#include "base/sjis.h"
#include "core/aksheet.h"
#include "core/ceremony.h"
#include "core/dice.h"
#include "core/emit.h"
#include "core/endnarration.h"
#include "core/getmsg.h"
#include "core/logwriter.h"
#include "core/module.h"
#include "core/round.h"
#include "core/templates.h"
#include "platform/clock.h"
#include "platform/paths.h"
#include "platform/version.h"
#include "sjis/logheader_text.h"

#include <algorithm>
#include <string>

namespace cv {

namespace {

constexpr int SystemTable = 0;
constexpr int AnnouncerTable = 1;
// The slot of the announcer set among the loaded message sets.
constexpr int AnnouncerSlot = 5;

std::string str(std::string_view s) {
    return std::string(s);
}

void addBlankLines(GameMessageBuffer& buffer, uint32_t n) {
    if (GameMessageLine* last = LastLine(buffer)) last->BlankLinesAfter += n;
}

std::string_view systemLine(int line) {
    return TemplateLine(SystemTable, line);
}

std::string announcerLine(int line, Slots slots = {}) {
    return ExpandMessageSlots(TemplateLine(AnnouncerTable, line), slots);
}

std::string_view matchTypeName(uint8_t type) {
    static const char* const names[] = {lgh::Inning, lgh::Time,      lgh::Battle,
                                        lgh::Death,  lgh::TimeDeath, lgh::HeadDeath};
    return type < std::size(names) ? names[type] : "";
}

bool hasMinutes(uint8_t type) {
    return type == 0 || type == 1 || type == 4;
}

// The file name of a stored path, after its last separator.
std::string_view fileNamePart(std::string_view path) {
    size_t separator = plat::lastSeparator(path);
    return separator == std::string_view::npos ? path : path.substr(separator + 1);
}

size_t longer(std::string_view a, std::string_view b) {
    return std::max(a.size(), b.size());
}

const std::string& engineVersion() {
    LogChannels& logs = Module().Logs;
    if (!logs.VersionRead) {
        logs.VersionRead = true;
        plat::RcVersion version(plat::fileOfAddress(reinterpret_cast<const void*>(&LogBanner)));
        const char* text = nullptr;
        if (version.FileVersion(&text) && text) logs.VersionText = text;
    }
    return logs.VersionText;
}

// A message of the announcer set (the base set when it lacks the id); a
// missing message gives its visible not-found text.
std::string announcerMessage(std::string_view id) {
    std::string out;
    GetMsg(AnnouncerSlot, id, out);
    return out;
}

// The age message of a side's pilot.
std::string ageMessage(int side) {
    std::string out;
    GetMsgAge(out, *Module().Ak[side], *Module().State[side]);
    return out;
}

} // namespace

std::string LogBanner() {
    const GameSettings& gs = Settings();
    std::string text = lgh::Banner;
    text += FormatText(lgh::BannerEngine, engineVersion().c_str());
    text += "/";
    text += sjis::readField(gs.ModeVersionText);
    std::string letters;
    std::string_view all = lgh::OptionLetters;
    for (int n = 0; n < 20; ++n) {
        if (!gs.Options[n]) continue;
        letters += all[n];
        if (n == 7) {
            int32_t mode = gs.DigestMode;
            letters += static_cast<char>('0' + (mode >= 0 && mode <= 9 ? mode : 0));
        }
    }
    if (!letters.empty()) text += "(" + letters + ")";
    text += lgh::BannerDisplay;
    int32_t percent = gs.MessagePercent;
    text += percent > 99 ? std::string(lgh::BannerFull) : std::to_string(percent) + "%";
    text += FormatText(lgh::BannerEscape, int{gs.EscapeRate});
    int32_t compensation = gs.CompensationRate;
    if (compensation >= 1) text += FormatText(lgh::BannerCompensation, compensation);
    return text;
}

void WriteStartHeader(GameMessageBuffer& buffer, std::string_view title) {
    const GameSettings& gs = Settings();
    ModuleState& m = Module();
    if (!m.Ak[0] || !m.Ak[1] || !m.State[0] || !m.State[1]) return;
    const TArmoredKnight* ak[2] = {m.Ak[0], m.Ak[1]};
    const CombatantState* st[2] = {m.State[0], m.State[1]};
    uint8_t type = gs.MatchType;
    int32_t minutes = gs.MatchMinutes;

    if (Option(OptAddHeader) && Option(OptLogOutput)) {
        std::string h(systemLine(8)), g;
        if (!title.empty() && Option(Opt17)) {
            h += title;
        } else {
            h += systemLine(Option(OptBountyMatch) ? 10 : 9);
            h += str(sjis::readField(st[0]->PilotName)) + str(systemLine(12));
            h += str(sjis::readField(st[1]->PilotName)) + str(systemLine(13));
            g = str(sjis::readField(ak[0]->Owner.Name)) + str(systemLine(12));
            g += str(sjis::readField(ak[1]->Owner.Name)) + str(systemLine(13));
            g += matchTypeName(type);
            if (hasMinutes(type)) g += FullWidth(minutes) + lgh::Minutes;
        }
        int32_t width = gs.OutputColumns;
        bool tooLong = width >= 0 && h.size() + g.size() > static_cast<size_t>(width);
        if (tooLong && !Option(OptNoFullToHalf)) g = sjis::zen2Han(g);
        h += g;
        if (width > 0 && h.size() > static_cast<size_t>(width)) h = sjis::cut(h, static_cast<size_t>(width));
        h += '\n';
        LogChannels& logs = m.Logs;
        ChannelPutLine(logs.Text, h);
        if (Option(OptInternalInfo)) ChannelPutLine(logs.Check, h);
    }

    buffer.CurrentKind = KindSystem;
    QueueLine(buffer, KindSystem, 0, LogBanner());

    int editorWidth = static_cast<int>(
        longer(sjis::readField(ak[0]->EditorVersion), sjis::readField(ak[1]->EditorVersion)));
    for (int side = 0; side < 2; ++side) {
        std::string_view file = fileNamePart(sjis::readField(side == 0 ? gs.AkFile1 : gs.AkFile2));
        QueueLine(buffer, KindSystem, 0,
                  FormatText(lgh::PlayerLine, side + 1, editorWidth,
                             str(sjis::readField(ak[side]->EditorVersion)).c_str(),
                             str(sjis::readField(ak[side]->WeaponDataVersion)).c_str(), str(file).c_str()));
    }

    plat::clock::LocalTime now = plat::clock::localNow();
    QueueLine(buffer, KindSystem, 0,
              FormatText(lgh::StartLine, now.year, now.month, now.day, now.hour, now.minute, now.second))
        .BlankLinesAfter = 1;

    std::string match(matchTypeName(type));
    if (hasMinutes(type)) match += FullWidth(minutes) + lgh::Minutes;
    if (Option(OptBountyMatch)) match += lgh::Bounty;
    match += lgh::Slash;
    match += sjis::readField(gs.ChosenAnnouncer.Id);
    QueueLine(buffer, KindSystem, 0, match).BlankLinesAfter = 1;

    int pilotWidth =
        static_cast<int>(longer(sjis::readField(st[0]->PilotName), sjis::readField(st[1]->PilotName)));
    int ownerWidth =
        static_cast<int>(longer(sjis::readField(ak[0]->Owner.Name), sjis::readField(ak[1]->Owner.Name)));
    int msgWidth =
        static_cast<int>(longer(sjis::readField(gs.PilotMsg[0].Id), sjis::readField(gs.PilotMsg[1].Id))) + 4;
    for (int side = 0; side < 2; ++side) {
        std::string pilotMsg = FormatText(lgh::Paren, str(sjis::readField(gs.PilotMsg[side].Id)).c_str());
        std::string computerMsg =
            FormatText(lgh::Paren, str(sjis::readField(gs.ComputerMsg[side].Id)).c_str());
        QueueLine(buffer, KindSystem, 0,
                  FormatText(lgh::PlayerEntry, side + 1, pilotWidth,
                             str(sjis::readField(st[side]->PilotName)).c_str(), ownerWidth,
                             str(sjis::readField(ak[side]->Owner.Name)).c_str(), msgWidth, pilotMsg.c_str(),
                             computerMsg.c_str()));
    }
}

std::string PilotTitle(const TArmoredKnight& ak) {
    int r = RollD100("pilot-title");
    int64_t wins = ak.Pilot.Wins, battles = ak.Pilot.Battles, destroyed = ak.Pilot.Destroyed;
    int64_t kills = ak.Pilot.Kills, escape = ak.Pilot.ExpEscape;
    int32_t movement = ak.Movement, reaction = ak.Reaction;
    int32_t sizeClass = ak.Frame.Strikes[StrikeRightPunch].Destructive;
    if (wins >= 10 && wins == battles) return lgh::Title1;
    if (destroyed >= 100 && r < 61) return lgh::Title2;
    if (destroyed + kills >= 50 && r < 61) return lgh::Title3;
    if (kills >= 10 && r < 61) return lgh::Title4;
    if (destroyed >= 10 && r < 67) return lgh::Title5;
    if (destroyed >= 5 && r < 67) return lgh::Title6;
    if (movement >= 7 && r < 76) return lgh::Title7;
    if (movement == 1) return lgh::Title8;
    if (reaction < 16 && r < 51) return lgh::Title9;
    if (sizeClass == 3 && r < 51) return lgh::Title10;
    if (battles < 11 && r < 21) return lgh::Title11;
    if (battles < 11 && r < 41) return lgh::Title12;
    if (wins > 5 && wins > battles * 2 / 3 && r < 76) return lgh::Title13;
    if (escape >= 30 && r < 51) return lgh::Title14;
    if (battles / 2 > wins && battles >= 11 && r < 51) return lgh::Title15;
    if (battles / 3 > wins && r < 51) return lgh::Title16;
    return announcerMessage("M41A");
}

void WriteIntroductions(GameMessageBuffer& buffer) {
    const GameSettings& gs = Settings();
    ModuleState& m = Module();
    if (!m.Ak[0] || !m.Ak[1] || !m.State[0] || !m.State[1]) return;
    TArmoredKnight& ak1 = *m.Ak[0];
    TArmoredKnight& ak2 = *m.Ak[1];
    std::string name1(sjis::readField(ak1.Pilot.Name)), name2(sjis::readField(ak2.Pilot.Name));
    std::string announcer(sjis::readField(gs.AnnouncerLabel));
    bool bounty = Option(OptBountyMatch);

    addBlankLines(buffer, 1);
    buffer.CurrentKind = KindAnnouncer;
    std::string s(TemplateLine(AnnouncerTable, 1));
    if (RollD100("introduction") >= 30) {
        std::string title1 = PilotTitle(ak1) + name1;
        std::string title2 = PilotTitle(ak2) + name2;
        s += announcerLine(3, {title1, title2});
    } else {
        s += announcerLine(2, {sjis::readField(ak1.AkName), sjis::readField(ak2.AkName)});
    }
    Narrate(buffer, s, announcer, 1);

    std::string minutes = FullWidth(gs.MatchMinutes);
    s = lgh::Blank;
    switch (gs.MatchType) {
    case 0:
        s += announcerLine(4, {minutes});
        break;
    case 1:
        s += announcerLine(5, {minutes});
        break;
    case 2:
        s += TemplateLine(AnnouncerTable, 6);
        break;
    case 3:
        s += TemplateLine(AnnouncerTable, 7);
        break;
    case 4:
        s += announcerLine(8, {minutes});
        break;
    default:
        s += TemplateLine(AnnouncerTable, 9);
        break;
    }
    int32_t compensation = gs.CompensationRate;
    if (compensation > 0)
        s += compensation >= 100 ? str(TemplateLine(AnnouncerTable, 10))
                                 : announcerLine(11, {FullWidth(compensation)});
    std::string_view chosen = sjis::readField(gs.ChosenAnnouncer.Name);
    if (!chosen.empty()) s += announcerLine(12, {chosen});
    s += announcerLine(13, {name1});
    Narrate(buffer, s, "", 1);

    for (int side = 0; side < 2; ++side) {
        TArmoredKnight& ak = *m.Ak[side];
        const CombatantState& st = *m.State[side];
        uint32_t kind = side == 0 ? KindPilot1 : KindPilot2;
        // The greeting: the pilot's introduction comment, "……" when there is none.
        buffer.CurrentKind = kind;
        std::string greeting(sjis::readField(ak.Comments[CommentMatchStart].Text));
        if (greeting.empty()) {
            greeting = lgh::Silence;
            sjis::writeField(ak.Comments[CommentMatchStart].Text, greeting);
        }
        addBlankLines(buffer, 1);
        Narrate(buffer, FormatText(lgh::Quote, greeting.c_str()), sjis::readField(st.PilotLabel), kind);
        addBlankLines(buffer, 1);

        // The announcer's answer.
        buffer.CurrentKind = KindAnnouncer;
        const std::string& name = side == 0 ? name1 : name2;
        s = greeting == lgh::Silence ? str(TemplateLine(AnnouncerTable, 14))
                                     : lgh::QuoteOpen + ageMessage(side);
        if (bounty) {
            int32_t amount = st.Bounty;
            s += announcerLine(15, {name, FullWidth(amount)});
            if (side == 0) s += lgh::FullStop;
        }
        if (side == 0) {
            s += announcerLine(16, {name2});
            Narrate(buffer, s, announcer, 1);
        } else if (s.size() > 2) {
            s += lgh::QuoteClose;
            Narrate(buffer, s, announcer, 2);
        }
    }
    if (buffer.Count >= 2) addBlankLines(buffer, 1);
}

void WriteMatchStart(GameMessageBuffer& buffer) {
    buffer.CurrentKind = KindAnnouncer;
    Narrate(buffer, TemplateLine(AnnouncerTable, 19), sjis::readField(Settings().AnnouncerLabel), 1);
    addBlankLines(buffer, 2);
    QueueLine(buffer, KindAnnouncer, 0, systemLine(3)).BlankLinesAfter = 2;
}

void QueueMatchOpening(GameMessageBuffer& buffer, std::string_view title) {
    if (Option(OptMessagesOff)) return;
    ModuleState& m = Module();
    if (!m.Ak[0] || !m.Ak[1] || !m.State[0] || !m.State[1]) return;
    WriteStartHeader(buffer, title);
    WriteIntroductions(buffer);
    QueuePageBreak(buffer);
    for (int side = 0; side < 2; ++side) {
        TArmoredKnight& ak = *m.Ak[side];
        CombatantState& s = *m.State[side];
        EmitOpening(buffer, side);
        WriteAkProfile(buffer, ak, s);
        QueuePageBreak(buffer);
        WriteAkSpec(buffer, ak, s);
        WriteArmamentList(buffer, ak);
        WriteWeaponTable(buffer, ak);
        QueuePageBreak(buffer);
    }
    GameSettings& gs = Settings();
    int32_t width = gs.NameWidth;
    for (int side = 0; side < 2; ++side)
        width = std::max<int32_t>(width,
                                  static_cast<int32_t>(sjis::readField(m.State[side]->ComputerLabel).size()));
    gs.NameWidth = width;
    WriteMatchStart(buffer);
}

bool StatusSheetsDue(int32_t round) {
    const GameSettings& gs = Settings();
    int32_t interval = gs.StatusInterval, mark = gs.RoundMark;
    if (interval <= 0) return false;
    int64_t played = int64_t{round} - std::max<int64_t>(int64_t{mark} - 1, 0);
    return played % interval == 0;
}

void WriteStatusSheets(GameMessageBuffer& buffer) {
    ModuleState& m = Module();
    for (int side = 0; side < 2; ++side) {
        if (!m.Ak[side] || !m.State[side]) return;
        WriteAkSheet(buffer, *m.Ak[side], *m.State[side]);
        addBlankLines(buffer, 1);
        if (side == 0) QueuePageBreak(buffer);
    }
    addBlankLines(buffer, 1);
}

void WriteStatusSheetsAfterRound(GameMessageBuffer& buffer, uint8_t roundResult) {
    if (roundResult != RoundGoesOn) return;
    int32_t counted = Settings().RoundCounter;
    if (StatusSheetsDue(static_cast<int32_t>(std::max<int64_t>(int64_t{counted} - 1, INT32_MIN))))
        WriteStatusSheets(buffer);
}

void WriteClosingNarration(GameMessageBuffer& buffer) {
    const GameSettings& gs = Settings();
    ModuleState& m = Module();
    if (!m.Ak[0] || !m.Ak[1] || !m.State[0] || !m.State[1]) return;
    int32_t result = gs.Result;
    int winner = result == 1 ? 1 : 0, loser = 1 - winner;
    int32_t round = gs.RoundCounter, mark = gs.RoundMark;
    int64_t minutes = int64_t{round} - std::max<int32_t>(mark, 0);
    EndNarration(buffer, static_cast<int32_t>(std::clamp<int64_t>(minutes, INT32_MIN, INT32_MAX)), winner,
                 loser);
    EmitAfterMatchLines(buffer, winner, loser);
    addBlankLines(buffer, 1);
}

} // namespace cv
