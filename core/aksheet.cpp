// The AK sheets of the log: profile block, specification table, armament
// list and weapon data table.
#include "core/aksheet.h"

#include "base/akparams.h"
#include "base/sjis.h"
#include "core/arith.h"
#include "core/attack.h"
#include "core/emit.h"
#include "core/module.h"
#include "core/rules.h"
#include "core/templates.h"
#include "sjis/aksheet_text.h"

#include <algorithm>
#include <string>

namespace cv {

namespace {

void queue(GameMessageBuffer& buffer, std::string_view text) {
    QueueLine(buffer, KindSystem, 0, text);
}

void addBlankLine(GameMessageBuffer& buffer) {
    if (GameMessageLine* last = LastLine(buffer)) last->BlankLinesAfter += 1;
}

// Lines only the match start shows: before the first round is counted.
bool atMatchStart() {
    return Settings().RoundCounter == 0;
}

std::string str(std::string_view s) {
    return std::string(s);
}

// The one-character digit of a weapon data cell, 0 to 35.
char band36(int64_t value) {
    static constexpr char digits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    return digits[std::clamp<int64_t>(value, 0, 35)];
}

// Puts "受" at bytes 22-23 of a weapon row (the end of its name column)
// without leaving half of a name character beside it.
void markParry(std::string& row) {
    std::string_view mark = aks::Parry;
    if (row.size() < 25 || mark.size() != 2) return;
    bool splitsBefore = !sjis::isBoundary(row, 22);
    bool splitsAfter = !sjis::isBoundary(row, 24);
    if (splitsBefore) row[21] = ' ';
    row[22] = mark[0];
    row[23] = mark[1];
    if (splitsAfter) row[24] = ' ';
}

} // namespace

void AppendBaseValue(std::string& text, int64_t value, bool shown) {
    if (shown) text += FormatText(aks::BaseValue, FullWidth(value).c_str());
}

void WriteAkProfile(GameMessageBuffer& buffer, const TArmoredKnight& ak, const CombatantState& s) {
    buffer.CurrentKind = KindSystem;
    bool start = atMatchStart();

    std::string line = aks::Owner + str(sjis::readField(ak.Owner.Name));
    if (start) line += aks::Slash + sjis::han2Zen(sjis::readField(ak.Owner.Id));
    queue(buffer, line);

    line = aks::Pilot + str(sjis::readField(ak.Pilot.Name));
    if (start)
        line += aks::Slash + str(sjis::readField(s.AgeText)) + aks::Age + str(sjis::readField(ak.Pilot.Sex));
    queue(buffer, line);

    line = aks::Record + str(sjis::readField(s.BattlesText)) + aks::Battles +
           str(sjis::readField(s.WinsText)) + aks::Wins + str(sjis::readField(s.LossesText)) + aks::Losses +
           str(sjis::readField(s.DrawsText)) + aks::Draws + str(sjis::readField(s.DestroyedText)) +
           aks::Destroyed + str(sjis::readField(s.KillsText)) + aks::Kills;
    queue(buffer, line);

    queue(buffer, aks::ExpAttack + FullWidth(ak.Pilot.ExpAttack) + aks::ExpDefence +
                      FullWidth(ak.Pilot.ExpDefence) + aks::ExpEscape + FullWidth(ak.Pilot.ExpEscape));

    if (start) {
        QueueHangingText(buffer, sjis::readField(ak.Pilot.History), aks::History);
        QueueLabelledText(buffer, sjis::readField(ak.Pilot.Profile), aks::Profile);
        addBlankLine(buffer);
        int32_t dex = ak.Team.Dex;
        line = aks::Mechanic + str(sjis::readField(ak.Team.Name)) + aks::Level + FullWidth(ak.Team.Mctl) +
               aks::DexOpen +
               (dex >= 1   ? aks::Plus
                : dex == 0 ? aks::PlusMinus
                           : "") +
               FullWidth(dex) + aks::DexClose;
        queue(buffer, line);
        QueueLabelledText(buffer, sjis::readField(ak.Team.Profile), aks::Profile);
    }
    addBlankLine(buffer);

    if (s.AkDestroyed) queue(buffer, TemplateLine(0, 2));
    queue(buffer, aks::Machine + str(sjis::readField(ak.AkName)));
    queue(buffer, aks::MachineValue + FullWidth(s.CurrentMachineValue) + aks::Credits);

    if (start) {
        QueueLabelledText(buffer, sjis::readField(ak.ProfileText), aks::Profile);
        addBlankLine(buffer);
        line = aks::Computer + str(sjis::readField(ak.Computer.Name));
        if (ak.Computer.MdPrice > 0)
            line += aks::DiskOpen + str(sjis::readField(ak.Computer.MissionDisk)) + aks::DiskClose;
        queue(buffer, line);
        queue(buffer, aks::Nickname + str(sjis::readField(ak.Computer.Nickname)));
        QueueLabelledText(buffer, sjis::readField(ak.Computer.Profile), aks::Profile);
    }
    if (buffer.Count >= 2) addBlankLine(buffer);
}

void WriteAkSpec(GameMessageBuffer& buffer, TArmoredKnight& ak, CombatantState& s) {
    buffer.CurrentKind = KindSystem;
    RoundDerivedValues(ak, s);

    int32_t reaction = ak.Reaction, boost = s.ReactionBoost;
    int64_t liveReaction = int64_t{reaction} + boost;
    std::string reactionText = FullWidth(liveReaction);
    AppendBaseValue(reactionText, reaction, boost != 0);
    int32_t movement = s.Movement;
    double movementDown = s.MovementDown;
    int32_t movementLoss = Trunc32(movementDown);
    std::string movementText = FullWidth(Trunc32(static_cast<double>(movement) - movementDown));
    AppendBaseValue(movementText, movement, movementLoss != 0);
    queue(buffer, FormatText(aks::Spec1, reactionText.c_str(), movementText.c_str()));

    std::string_view sensorType = sjis::readField(ak.Sensor.Type);
    int32_t berserk = 0;
    BerserkModifier(ak, berserk);
    int64_t common = liveReaction / 4 + int64_t{ak.Computer.Level} * 3;
    int64_t attack = (sensorType == "WC" || sensorType == "LC" ? 10 : 0) + int64_t{ak.Sensor.Attack} +
                     berserk + ak.Mover.Attack + common + ak.Pilot.ExpAttack;
    int64_t defence = int64_t{ak.Frame.Evasion} + ak.Computer.MdDefence + ak.Sensor.Defence +
                      ak.Mover.Defence + common + ak.Pilot.ExpDefence;
    double attackDown = s.AttackDown, evasionDown = s.EvasionDown;
    int32_t attackLoss = Trunc32(attackDown), evasionLoss = Trunc32(evasionDown);
    std::string attackText = FullWidth(attack - attackLoss);
    AppendBaseValue(attackText, attack, attackLoss != 0);
    std::string defenceText = FullWidth(defence - evasionLoss);
    AppendBaseValue(defenceText, defence, evasionLoss != 0);
    queue(buffer,
          FormatText(aks::Spec2, attackText.c_str(), defenceText.c_str(), FullWidth(ak.EscapeMod).c_str()));

    queue(buffer, FormatText(aks::Spec3, str(sjis::readField(ak.Engine.Name)).c_str(),
                             FullWidth(s.EffectivePower).c_str(), FullWidth(ak.TotalWeight).c_str()));
    queue(buffer, FormatText(aks::Spec4, str(sjis::readField(ak.Frame.Name)).c_str(),
                             str(sjis::readField(ak.Armor.Name)).c_str()));

    auto armour = [&](int part) { return FullWidth(ak.Armor.Value[part]); };
    auto durability = [&](int part) { return FullWidth(ak.Frame.Durability[part]); };
    auto strike = [&](const char* format, int part, int row) {
        TAkStrike blow = ak.Frame.Strikes[row];
        return FormatText(format, armour(part).c_str(), durability(part).c_str(), FullWidth(blow.Hit).c_str(),
                          FullWidth(blow.Power).c_str(), FullWidth(blow.Destructive).c_str());
    };
    auto device = [&](const char* format, int part, std::string_view name) {
        return FormatText(format, armour(part).c_str(), durability(part).c_str(), str(name).c_str());
    };
    queue(buffer, strike(aks::Spec5, PartHead, StrikeRightPunch));
    queue(buffer, strike(aks::Spec6, PartBody, StrikeRightKick));
    queue(buffer, device(aks::Spec7, PartRightArm, sjis::readField(ak.Sensor.Name)));
    queue(buffer, device(aks::Spec8, PartLeftArm, sjis::readField(ak.Mover.Name)));

    std::string_view turbo = sjis::readField(ak.Turbo.Name);
    std::string line = device(aks::Spec9, PartRightLeg, turbo);
    if (ak.Turbo.Price > 0) {
        const char* sign = sjis::contains(turbo, aks::AntiBeamField) ? "-" : "+";
        line += FormatText(aks::TurboNote, sign, long{ak.Turbo.AmplifyPct}, long{ak.Turbo.StartMinute});
    }
    queue(buffer, line);
    line = device(aks::Spec10, PartLeftLeg, sjis::readField(ak.Escape.Name));
    if (ak.Escape.Price > 0) line += FormatText(aks::EscapeNote, long{ak.Escape.EscapeBonus});
    queue(buffer, line);
}

void WriteArmamentList(GameMessageBuffer& buffer, const TArmoredKnight& ak) {
    buffer.CurrentKind = KindSystem;
    queue(buffer, aks::ArmamentHeading);
    for (int i = 0; i < WeaponSlotCount; ++i) {
        const TAkWeapon& w = ak.Weapon[i];
        if (w.Price <= 0) continue;
        std::string row =
            FormatText(aks::ArmamentRow, i + 1, str(sjis::readField(w.Name)).c_str(),
                       str(sjis::readField(w.Attributes)).c_str(), str(sjis::readField(w.Mount)).c_str());
        std::string ammo = w.ShotsPerAttack == 0 ? std::string(aks::NoShots) : FullWidth(w.AmmoLeft);
        row += FormatText(aks::ArmamentTail, ammo.c_str(), FullWidth(w.ArmorLeft).c_str(),
                          FullWidth(w.ArmorValue).c_str());
        queue(buffer, row);
    }
    addBlankLine(buffer);
}

void WriteWeaponTable(GameMessageBuffer& buffer, const TArmoredKnight& ak) {
    buffer.CurrentKind = KindSystem;
    queue(buffer, aks::WeaponHeading);
    bool keepWidth = Option(OptNoFullToHalf) || Option(OptHtmlLog);
    int64_t totalDefence = 0, totalExposure = 0;
    for (int i = 0; i < WeaponSlotCount; ++i) {
        const TAkWeapon& w = ak.Weapon[i];
        if (w.Price <= 0) continue;
        std::string name = CutString(sjis::readField(w.Name), 24, keepWidth);
        std::string_view attributes = sjis::readField(w.Attributes);
        int64_t melee = MeleeRank(attributes, ak.Reaction, 1);
        int64_t bonus = int64_t{w.Reserved220} / 10;
        std::string hits, powers;
        for (int j = 0; j < WeaponDistanceCount; ++j) {
            int32_t hit = w.HitRate[j], power = w.Power[j];
            hits += band36(hit > 0 ? hit + melee + bonus : 0);
            powers += band36(power > 0 ? power + melee : 0);
        }
        std::string row = FormatText(aks::WeaponRow, name.c_str(), hits.c_str(), powers.c_str());

        char flags[] = " - - -- -- - - - x -- ";
        int32_t shots = w.ShotsPerAttack;
        if (shots != 0) {
            ak::FormatBase36Digits(flags + 0, w.Destructive, 2);
            ak::FormatBase36Digits(flags + 2, shots, 2);
            int32_t attackDown = w.AttackDown, evasionDown = w.EvasionDown, moveDown = w.MoveDown;
            if (attackDown != 0) ak::FormatFixedWidthInt(flags + 4, attackDown, 3);
            if (evasionDown != 0) ak::FormatFixedWidthInt(flags + 7, evasionDown, 3);
            if (moveDown != 0) ak::FormatFixedWidthInt(flags + 10, moveDown, 2);
            int32_t computerDown = w.ComputerDown, sensorDown = w.SensorDown;
            if (computerDown > 1) ak::FormatFixedWidthInt(flags + 12, computerDown, 2);
            if (sensorDown > 1) ak::FormatFixedWidthInt(flags + 14, sensorDown, 2);
        }
        if (w.AntiBeam != 0) flags[17] = 'o';
        int32_t hitTaken = w.HitTaken;
        int64_t exposure = hitTaken;
        if (sjis::contains(attributes, aks::Shield)) {
            ak::FormatFixedWidthInt(flags + 18, hitTaken, 3);
            totalDefence += hitTaken;
            exposure = hitTaken / 2;
        }
        if (sjis::contains(attributes, aks::Parry)) {
            exposure += hitTaken;
            markParry(row);
        }
        totalExposure += exposure;
        row += flags;
        row += FormatText(aks::WeaponTail, Sat32(exposure), int{w.Weight}, int{w.Price});
        queue(buffer, row);
    }
    queue(buffer, FormatText(aks::Totals, Sat32(totalDefence), Sat32(totalExposure)));

    std::string trace = aks::TargetTrace;
    for (int i = 0; i < WeaponSlotCount; ++i) {
        const TAkWeapon& w = ak.Weapon[i];
        bool rated = false;
        for (int j = 0; j < WeaponDistanceCount; ++j)
            if (w.HitRate[j] != 0 || w.Power[j] != 0) rated = true;
        if (w.Price <= 0)
            trace += " x";
        else if (rated)
            trace += FormatText(" %d", int{ak.ExtraValues[i]});
        else
            trace += " -";
    }
    QueueTraceMessage(buffer, trace);
    queue(buffer, std::string(78, '-'));
    if (buffer.Count >= 2) LastLine(buffer)->BlankLinesAfter += 2;
}

void WriteAkSheet(GameMessageBuffer& buffer, TArmoredKnight& ak, CombatantState& s) {
    WriteAkProfile(buffer, ak, s);
    WriteAkSpec(buffer, ak, s);
    WriteArmamentList(buffer, ak);
}

} // namespace cv
