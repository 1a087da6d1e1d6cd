// Reading and writing the AK data file.
#include "akdata/akfile.h"

#include "akdata/akcompose.h"
#include "akdata/csvreader.h"
#include "base/akparams.h"
#include "base/sjis.h"
#include "platform/catalogue.h"
#include "platform/files.h"
#include "sjis/aktext.h"

#include <algorithm>
#include <charconv>
#include <cstring>
#include <string>

namespace akdata {

namespace {

// ---- Reading ----------------------------------------------------------------

template <size_t N> void put(char (&field)[N], std::string_view text) {
    sjis::writeField(field, text);
}

// Trimmed of ASCII blanks on both sides, before and after the cut.
template <size_t N> void putTrimmed(char (&field)[N], std::string_view text) {
    std::string cut = sjis::cut(sjis::trimField(text), N - 1);
    sjis::writeField(field, sjis::trimField(cut));
}

// Comment entry e from its quoted text: the mode letter is split off first,
// so a comment that fills its field keeps its "/x".
void putComment(TArmoredKnight& ak, int e, std::string_view text) {
    std::string t(text);
    ak.Comments[e].Mode = stripModeLetter(t, modeLetterRow(e));
    put(ak.Comments[e].Text, t);
}

void readWeaponLines(LineSource& in, TArmoredKnight& ak, int i) {
    TAkWeapon& w = ak.Weapon[i];
    CsvRecord a(in, "qqqnnnnnnnnnnn");
    putTrimmed(w.Name, a.text(0));
    put(w.Mount, a.text(1));
    putTrimmed(w.Attributes, a.text(2));
    w.TotalAmmo = a.num(3);
    w.ShotsPerAttack = a.num(4);
    for (int d = 0; d < WeaponDistanceCount; ++d) w.HitRate[d] = a.num(5 + d);

    CsvRecord b(in, "nnnnnnnnnn");
    for (int d = 0; d < WeaponDistanceCount; ++d) w.Power[d] = b.num(d);
    w.Destructive = b.num(9);

    CsvRecord c(in, "nnnnnnnnnn");
    w.AttackDown = c.num(0);
    w.EvasionDown = c.num(1);
    w.MoveDown = c.num(2);
    w.ArmorValue = c.num(3);
    w.InducedExplosion = c.num(4);
    w.HitTaken = c.num(5);
    w.AntiBeam = c.num(6);
    w.Weight = c.num(7);
    w.Price = c.num(8);
    w.Reserved220 = c.num(9);

    CsvRecord d(in, "nnnqn");
    w.CatalogNo = d.num(0);
    w.ComputerDown = d.num(1);
    w.SensorDown = d.num(2);
    putComment(ak, CommentWeapon0 + i, d.text(3));
    w.AmmoLeft = d.num(4);
}

void readRecordLines(LineSource& in, TArmoredKnight& ak) {
    {
        CsvRecord r(in, "q"); // line 2
        ParenParts owner = splitParenthesised(r.text(0));
        put(ak.Owner.Name, owner.main);
        put(ak.Owner.SubName, owner.sub);
    }
    put(ak.Owner.Id, CsvRecord(in, "q").text(0)); // line 3
    ak.TotalWeight = CsvRecord(in, "n").num(0);   // line 4
    {
        CsvRecord r(in, "qnqnnnnnn"); // line 5
        put(ak.Pilot.Name, r.text(0));
        ak.Pilot.Age = r.num(1);
        put(ak.Pilot.Sex, r.text(2));
        ak.Pilot.ExpAttack = r.num(3);
        ak.Pilot.ExpDefence = r.num(4);
        ak.Pilot.ExpEscape = r.num(5);
        ak.Pilot.Wins = r.num(6);
        ak.Pilot.Battles = r.num(7);
        ak.Pilot.Destroyed = r.num(8);
    }
    {
        ParenParts profile = splitParenthesised(CsvRecord(in, "q").text(0)); // line 6
        put(ak.Pilot.Profile, profile.main);
        put(ak.Pilot.ProfileSub, profile.sub);
    }
    {
        HistoryParts h = splitHistory(CsvRecord(in, "q").text(0)); // line 7
        put(ak.Pilot.History, h.history);
        put(ak.Pilot.Emblem, h.emblem);
        ak.Pilot.Draws = h.draws;
        ak.Pilot.Kills = h.kills;
    }
    putComment(ak, CommentMatchStart, CsvRecord(in, "q").text(0)); // line 8
    {
        CsvRecord r(in, "qnnnnnnnnn"); // line 9
        put(ak.Frame.Name, r.text(0));
        ak.Frame.Evasion = r.num(1);
        ak.Frame.Weight = r.num(2);
        ak.Frame.Price = r.num(3);
        for (int p = 0; p < BodyPartCount; ++p) ak.Frame.MaxDurability[p] = r.num(4 + p);
    }
    {
        CsvRecord r(in, "nnnnnn"); // line 10
        for (int p = 0; p < BodyPartCount; ++p) ak.Frame.Durability[p] = r.num(p);
    }
    {
        CsvRecord r(in, "qnnnqqnnnn"); // line 11
        put(ak.Computer.Name, r.text(0));
        ak.Computer.Level = r.num(1);
        ak.Computer.Price = r.num(2);
        ak.Computer.Weight = r.num(3);
        NicknameParts nick = splitNickname(r.text(4));
        put(ak.Computer.Nickname, nick.nickname);
        put(ak.Computer.NicknameTail, nick.tail);
        put(ak.Computer.MissionDisk, r.text(5));
        ak.Computer.MdLevel = r.num(6);
        ak.Computer.MdAttack = r.num(7);
        ak.Computer.MdDefence = r.num(8);
        ak.Computer.MdPrice = r.num(9);
    }
    {
        ParenParts profile = splitParenthesised(CsvRecord(in, "q").text(0)); // line 12
        put(ak.Computer.Profile, profile.main);
        put(ak.Computer.ProfileSub, profile.sub);
    }
    {
        CsvRecord r(in, "qnnn"); // line 13
        putTrimmed(ak.Engine.Name, r.text(0));
        ak.Engine.Weight = r.num(1);
        ak.Engine.Price = r.num(2);
        ak.Engine.Power = r.num(3);
    }
    {
        CsvRecord r(in, "qnnnnnnnn"); // line 14: head, body, right arm, left arm, right leg, left leg
        put(ak.Armor.Name, r.text(0));
        static const int order[BodyPartCount] = {PartHead,    PartBody,     PartRightArm,
                                                 PartLeftArm, PartRightLeg, PartLeftLeg};
        for (int k = 0; k < BodyPartCount; ++k) ak.Armor.Value[order[k]] = r.num(1 + k);
        ak.Armor.PriceFactor = r.num(7);
        ak.Armor.WeightFactor = r.num(8);
    }
    {
        CsvRecord r(in, "qnnnnq"); // line 15
        put(ak.Sensor.Name, r.text(0));
        ak.Sensor.Price = r.num(1);
        ak.Sensor.Weight = r.num(2);
        ak.Sensor.Attack = r.num(3);
        ak.Sensor.Defence = r.num(4);
        put(ak.Sensor.Type, r.text(5));
    }
    {
        CsvRecord r(in, "qnnnnn"); // line 16
        put(ak.Mover.Name, r.text(0));
        ak.Mover.MoveBonus = r.num(1);
        ak.Mover.Attack = r.num(2);
        ak.Mover.Defence = r.num(3);
        ak.Mover.Weight = r.num(4);
        ak.Mover.Price = r.num(5);
    }
    {
        CsvRecord r(in, "qnnn"); // line 17
        put(ak.Escape.Name, r.text(0));
        ak.Escape.EscapeBonus = r.num(1);
        ak.Escape.Weight = r.num(2);
        ak.Escape.Price = r.num(3);
    }
    for (int i = 0; i < WeaponSlotCount; ++i) readWeaponLines(in, ak, i); // lines 18-41
    for (int s = 0; s < StrikeCount; ++s) {                               // lines 42-45
        CsvRecord r(in, "nnn");
        ak.Frame.Strikes[s].Hit = r.num(0);
        ak.Frame.Strikes[s].Power = r.num(1);
        ak.Frame.Strikes[s].Destructive = r.num(2);
    }
    {
        CsvRecord r(in, "nnnnnn"); // line 46
        for (int m = 0; m < MountCount; ++m) ak.MountUsed[m] = r.num(m);
    }
    {
        CsvRecord r(in, "nnn"); // line 47
        ak.DefensiveMovePct = r.num(0);
        ak.MovingAttackPct = r.num(1);
        ak.StaticAttackPct = r.num(2);
    }
    {
        CsvRecord r(in, "nnnnnn"); // line 48
        for (int i = 0; i < WeaponSlotCount; ++i) ak.ExtraValues[i] = r.num(i);
    }
    {
        CsvRecord r(in, "qnnnn"); // line 49
        put(ak.Turbo.Name, r.text(0));
        ak.Turbo.AmplifyPct = r.num(1);
        ak.Turbo.Weight = r.num(2);
        ak.Turbo.Price = r.num(3);
        ak.Turbo.StartMinute = r.num(4);
    }
    put(ak.AkName, CsvRecord(in, "q").text(0));      // line 50
    put(ak.ProfileText, CsvRecord(in, "q").text(0)); // line 51
    {
        CsvRecord r(in, "nn"); // line 52
        ak.Reaction = r.num(0);
        ak.Movement = r.num(1);
    }
    put(ak.EditorVersion, CsvRecord(in, "q").text(0));         // line 53
    ak.Frame.EngineLevel = CsvRecord(in, "n").num(0);          // line 54
    for (int e = CommentRightPunch; e <= CommentLeftKick; ++e) // lines 55-58
        put(ak.Comments[e].Text, CsvRecord(in, "q").text(0));
    {
        CsvRecord r(in, "qqnqn"); // line 59
        put(ak.WeaponDataVersion, r.text(0));
        put(ak.Team.Name, r.text(1));
        ak.Team.Mctl = r.num(2);
        put(ak.Team.Profile, r.text(3));
        ak.Team.TeamValue = r.num(4);
    }
    put(ak.Pilot.FirstPerson, CsvRecord(in, "q").text(0));                            // line 60
    put(ak.Computer.MasterCall, CsvRecord(in, "q").text(0));                          // line 61
    for (int e : {CommentEscape, CommentTurbo, CommentWin, CommentLoss, CommentDraw}) // lines 62-66
        putComment(ak, e, CsvRecord(in, "q").text(0));
    {
        // Line 67: the remaining armour values, slot by slot as far as the
        // line goes; the match data counts only when all six are there. A
        // line holding a text (a drain line where line 67 is missing) is no
        // remaining-values line, and nothing of it is kept.
        LineSource peek = in;
        std::string_view line;
        bool holdsText = peek.next(line) && line.find('"') != std::string::npos;
        CsvRecord r(in, "nnnnnn");
        int numbers = holdsText ? 0 : std::max(r.count(), 0);
        for (int i = 0; i < numbers; ++i) ak.Weapon[i].ArmorLeft = r.num(i);
        ak.hasMatchData = numbers == WeaponSlotCount ? 1 : 0;
    }
}

// ---- Writing ----------------------------------------------------------------

// One comma-separated line, written straight into the file text.
class Line {
public:
    explicit Line(std::string& out) : out_(out) {}
    Line& q(std::string_view text) {
        sep();
        out_ += '"';
        const size_t at = out_.size();
        out_ += text;
        // A '"' inside becomes a blank ('"' is never a trail byte).
        std::replace(out_.begin() + static_cast<std::ptrdiff_t>(at), out_.end(), '"', ' ');
        out_ += '"';
        return *this;
    }
    Line& n(int32_t v) {
        sep();
        char digits[12];
        out_.append(digits, std::to_chars(digits, digits + sizeof digits, v).ptr);
        return *this;
    }
    void end() { out_ += "\r\n"; }

private:
    void sep() {
        if (!first_) out_ += ',';
        first_ = false;
    }
    std::string& out_;
    bool first_ = true;
};

template <size_t N> std::string_view text(const char (&field)[N]) {
    return sjis::readField(field);
}

// A profile with its "(...)" part; the editor keeps the quoted text within
// 255 bytes by cutting the profile.
std::string profileText(std::string_view profile, std::string_view sub, bool cutToFit) {
    constexpr size_t limit = 255;
    if (cutToFit && !sub.empty() && profile.size() + sub.size() + 2 > limit)
        profile = profile.substr(0, sjis::cutLength(profile, limit - 2 - sub.size()));
    return joinParenthesised(profile, sub);
}

template <size_t N> void sanitise(char (&field)[N]) {
    for (size_t i = 0; i < N && field[i] != '\0'; ++i)
        if (static_cast<unsigned char>(field[i]) < 0x20) field[i] = ' ';
}

} // namespace

int parseAkData(TArmoredKnight& ak, std::string_view bytes) {
    ak = TArmoredKnight{};
    LineSource in(bytes);
    std::string_view line;
    for (;;) {
        if (!in.next(line)) return LoadBadHead;
        if (line.empty() || line.front() == '\0') continue;
        int32_t value = 0, cash = 0;
        int n = scanHead(line, value, cash);
        if (n == 0) continue; // a header or history line
        if (n != 2) return LoadBadHead;
        ak.MachineValue = value;
        ak.Cash = cash;
        break;
    }
    ak.TotalCr = ak::wrap32(int64_t{ak.MachineValue} + ak.Cash);
    readRecordLines(in, ak);
    completeAkData(ak);
    return LoadOk;
}

void completeAkData(TArmoredKnight& ak) {
    ak.Team.Dex = ak::Mctl2DexCore(ak.Team.Mctl);
    ak::UpdateAkParam(ak);
    ak.TotalWeight = ak::CalcAkWeight(ak);
    for (int m = 0; m < MountCount; ++m) ak.MountUsed[m] = 0;
    for (const TAkWeapon& w : ak.Weapon) {
        if (text(w.Name).empty()) continue;
        int m = ak::MountSlotIndex(text(w.Mount));
        if (m < MountCount) {
            ak.MountUsed[m] = 1;
        } else {
            ak.MountUsed[MountRightHand] = 1;
            ak.MountUsed[MountLeftHand] = 1;
        }
    }
}

int loadAkData(TArmoredKnight& ak, std::string_view path) {
    std::optional<std::string> bytes = plat::readWholeFile(path);
    if (!bytes) {
        plat::msg::showError(41022, {path});
        ak = TArmoredKnight{};
        completeAkData(ak);
        return LoadCannotOpen;
    }
    return parseAkData(ak, *bytes);
}

std::string formatAkData(const TArmoredKnight& ak, AkFileStyle style) {
    const bool editor = style == AkFileStyle::Editor;
    std::string out;
    out.reserve(4096);                                                                 // most records fit
    Line(out).n(ak.MachineValue).n(ak.Cash).end();                                     // 1
    Line(out).q(joinParenthesised(text(ak.Owner.Name), text(ak.Owner.SubName))).end(); // 2
    Line(out).q(text(ak.Owner.Id)).end();                                              // 3
    Line(out).n(ak.TotalWeight).end();                                                 // 4
    Line(out)                                                                          // 5
        .q(text(ak.Pilot.Name))
        .n(ak.Pilot.Age)
        .q(text(ak.Pilot.Sex))
        .n(ak.Pilot.ExpAttack)
        .n(ak.Pilot.ExpDefence)
        .n(ak.Pilot.ExpEscape)
        .n(ak.Pilot.Wins)
        .n(ak.Pilot.Battles)
        .n(ak.Pilot.Destroyed)
        .end();
    Line(out).q(profileText(text(ak.Pilot.Profile), text(ak.Pilot.ProfileSub), editor)).end(); // 6
    Line(out)                                                                                  // 7
        .q(joinHistory(text(ak.Pilot.History), text(ak.Pilot.Emblem), ak.Pilot.Draws, ak.Pilot.Kills))
        .end();
    std::string_view start = text(ak.Comments[CommentMatchStart].Text); // 8
    Line(out).q(editor && start.empty() ? std::string_view(akt::NoMatchStartComment) : start).end();
    Line l9(out); // 9
    l9.q(text(ak.Frame.Name)).n(ak.Frame.Evasion).n(ak.Frame.Weight).n(ak.Frame.Price);
    for (int p = 0; p < BodyPartCount; ++p) l9.n(ak.Frame.MaxDurability[p]);
    l9.end();
    Line l10(out); // 10
    for (int p = 0; p < BodyPartCount; ++p) l10.n(ak.Frame.Durability[p]);
    l10.end();
    Line(out) // 11
        .q(text(ak.Computer.Name))
        .n(ak.Computer.Level)
        .n(ak.Computer.Price)
        .n(ak.Computer.Weight)
        .q(joinNickname(text(ak.Computer.Nickname), text(ak.Computer.NicknameTail)))
        .q(text(ak.Computer.MissionDisk))
        .n(ak.Computer.MdLevel)
        .n(ak.Computer.MdAttack)
        .n(ak.Computer.MdDefence)
        .n(ak.Computer.MdPrice)
        .end();
    Line(out).q(profileText(text(ak.Computer.Profile), text(ak.Computer.ProfileSub), editor)).end();   // 12
    Line(out).q(text(ak.Engine.Name)).n(ak.Engine.Weight).n(ak.Engine.Price).n(ak.Engine.Power).end(); // 13
    Line l14(out);                                                                                     // 14
    l14.q(text(ak.Armor.Name));
    for (int p : {PartHead, PartBody, PartRightArm, PartLeftArm, PartRightLeg, PartLeftLeg})
        l14.n(ak.Armor.Value[p]);
    l14.n(ak.Armor.PriceFactor).n(ak.Armor.WeightFactor).end();
    Line(out) // 15
        .q(text(ak.Sensor.Name))
        .n(ak.Sensor.Price)
        .n(ak.Sensor.Weight)
        .n(ak.Sensor.Attack)
        .n(ak.Sensor.Defence)
        .q(text(ak.Sensor.Type))
        .end();
    Line(out) // 16
        .q(text(ak.Mover.Name))
        .n(ak.Mover.MoveBonus)
        .n(ak.Mover.Attack)
        .n(ak.Mover.Defence)
        .n(ak.Mover.Weight)
        .n(ak.Mover.Price)
        .end();
    Line(out)
        .q(text(ak.Escape.Name))
        .n(ak.Escape.EscapeBonus)
        .n(ak.Escape.Weight)
        .n(ak.Escape.Price)
        .end();                                 // 17
    for (int i = 0; i < WeaponSlotCount; ++i) { // 18-41
        const TAkWeapon& w = ak.Weapon[i];
        Line a(out);
        a.q(text(w.Name)).q(text(w.Mount)).q(text(w.Attributes)).n(w.TotalAmmo).n(w.ShotsPerAttack);
        for (int d = 0; d < WeaponDistanceCount; ++d) a.n(w.HitRate[d]);
        a.end();
        Line b(out);
        for (int d = 0; d < WeaponDistanceCount; ++d) b.n(w.Power[d]);
        b.n(w.Destructive).end();
        Line(out)
            .n(w.AttackDown)
            .n(w.EvasionDown)
            .n(w.MoveDown)
            .n(w.ArmorValue)
            .n(w.InducedExplosion)
            .n(w.HitTaken)
            .n(w.AntiBeam)
            .n(w.Weight)
            .n(w.Price)
            .n(w.Reserved220)
            .end();
        std::string comment;
        int32_t price = w.Price;
        if (!editor || price > 0) {
            const TAkComment& c = ak.Comments[CommentWeapon0 + i];
            std::string_view t = text(c.Text);
            comment =
                t.empty() ? std::string() : withModeLetter(t, c.Mode, modeLetterRow(CommentWeapon0 + i));
        }
        Line(out).n(w.CatalogNo).n(w.ComputerDown).n(w.SensorDown).q(comment).n(w.AmmoLeft).end();
    }
    for (const TAkStrike& s : ak.Frame.Strikes) Line(out).n(s.Hit).n(s.Power).n(s.Destructive).end(); // 42-45
    Line l46(out);                                                                                    // 46
    for (int m = 0; m < MountCount; ++m) l46.n(ak.MountUsed[m]);
    l46.end();
    Line(out).n(ak.DefensiveMovePct).n(ak.MovingAttackPct).n(ak.StaticAttackPct).end(); // 47
    Line l48(out);                                                                      // 48
    for (int i = 0; i < WeaponSlotCount; ++i) l48.n(ak.ExtraValues[i]);
    l48.end();
    Line(out) // 49
        .q(text(ak.Turbo.Name))
        .n(ak.Turbo.AmplifyPct)
        .n(ak.Turbo.Weight)
        .n(ak.Turbo.Price)
        .n(ak.Turbo.StartMinute)
        .end();
    Line(out).q(text(ak.AkName)).end();                        // 50
    Line(out).q(text(ak.ProfileText)).end();                   // 51
    Line(out).n(ak.Reaction).n(ak.Movement).end();             // 52
    Line(out).q(text(ak.EditorVersion)).end();                 // 53
    Line(out).n(ak.Frame.EngineLevel).end();                   // 54
    for (int e = CommentRightPunch; e <= CommentLeftKick; ++e) // 55-58
        Line(out).q(text(ak.Comments[e].Text)).end();
    Line(out) // 59
        .q(text(ak.WeaponDataVersion))
        .q(text(ak.Team.Name))
        .n(ak.Team.Mctl)
        .q(text(ak.Team.Profile))
        .n(ak.Team.TeamValue)
        .end();
    Line(out).q(text(ak.Pilot.FirstPerson)).end();                                    // 60
    Line(out).q(text(ak.Computer.MasterCall)).end();                                  // 61
    for (int e : {CommentEscape, CommentTurbo, CommentWin, CommentLoss, CommentDraw}) // 62-66
        Line(out).q(withModeLetter(text(ak.Comments[e].Text), ak.Comments[e].Mode, modeLetterRow(e))).end();
    if (!editor) { // 67
        Line l67(out);
        for (const TAkWeapon& w : ak.Weapon) l67.n(w.ArmorLeft);
        l67.end();
    }
    return out;
}

void sanitiseAkTexts(TArmoredKnight& ak) {
    sanitise(ak.Owner.Name);
    sanitise(ak.Owner.Id);
    sanitise(ak.Owner.SubName);
    sanitise(ak.Pilot.Name);
    sanitise(ak.Pilot.Sex);
    sanitise(ak.Pilot.Profile);
    sanitise(ak.Pilot.History);
    sanitise(ak.Pilot.FirstPerson);
    sanitise(ak.Pilot.Emblem);
    sanitise(ak.Pilot.ProfileSub);
    sanitise(ak.Computer.Nickname);
    sanitise(ak.Computer.NicknameTail);
    sanitise(ak.Computer.Profile);
    sanitise(ak.Computer.MasterCall);
    sanitise(ak.Computer.ProfileSub);
    sanitise(ak.Team.Name);
    sanitise(ak.Team.Profile);
    for (TAkComment& c : ak.Comments) sanitise(c.Text);
    sanitise(ak.ProfileText);
    sanitise(ak.AkName);
}

int saveAkData(const TArmoredKnight& ak, std::string_view path) {
    TArmoredKnight copy = ak;
    sanitiseAkTexts(copy);
    std::string bytes = formatAkData(copy, AkFileStyle::Editor);
    plat::AtomicFile file(path);
    if (!file.isOpen() || !file.write(bytes) || !file.commit()) {
        plat::msg::showError(41021, {path});
        return 1;
    }
    return 0;
}

} // namespace akdata
