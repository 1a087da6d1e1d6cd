// The seven detail sheets of an AK.
#include "akdata/aksheets.h"

#include "akdata/sheettext.h"
#include "base/akparams.h"
#include "base/sjis.h"
#include "sjis/akparams.h"
#include "sjis/aktext.h"

#include <algorithm>

namespace akdata {

namespace {

template <size_t N> std::string text(const char (&field)[N]) {
    return std::string(sjis::readField(field));
}

const std::string TenBlanks(10, ' ');

// The mode word of a comment entry's mode, empty when it has none.
std::string_view modeWord(int entry, int mode) {
    static const char* const weapon[] = {aks::WeaponMode1, aks::WeaponMode2, aks::WeaponMode3};
    if (entry >= CommentWeapon0 && entry < CommentWeapon0 + WeaponSlotCount)
        return mode >= 1 && mode <= 3 ? weapon[mode - 1] : "";
    if (entry == CommentWin && mode == 1) return aks::WinMode1;
    if (entry == CommentLoss && mode == 1) return aks::LossMode1;
    if (entry == CommentDraw && mode == 1) return aks::DrawMode1;
    if (entry == CommentDraw && mode == 2) return aks::DrawMode2;
    if (entry == CommentEscape && mode == 1) return aks::EscapeMode1;
    return {};
}

std::string modeTag(int entry, int mode) {
    std::string_view word = modeWord(entry, mode);
    return word.empty() ? std::string() : formatText(aks::ModeWord, std::string(word).c_str());
}

std::string pilotSheet(const TArmoredKnight& ak) {
    const int32_t battles = ak.Pilot.Battles, wins = ak.Pilot.Wins;
    const std::string rate = battles <= 0 ? zen(0) : zen(ak::div32(ak::wrap32(int64_t{wins} * 100), battles));
    const int32_t dex = ak::Mctl2DexCore(ak.Team.Mctl);
    std::string out;
    out += formatText(aks::OwnerLine, text(ak.Owner.Name).c_str(), sjis::han2Zen(text(ak.Owner.Id)).c_str());
    out += formatText(aks::CashLine, zen(ak.TotalCr).c_str());
    out += formatText(aks::PilotLine, text(ak.Pilot.Name).c_str(), zen(ak.Pilot.Age).c_str(),
                      text(ak.Pilot.Sex).c_str());
    out += formatText(aks::FirstPersonLine, text(ak.Pilot.FirstPerson).c_str());
    out += formatText(aks::RecordLine, zen(battles).c_str(), zen(wins).c_str(), zen(ak.Pilot.Draws).c_str(),
                      zen(ak.Pilot.Destroyed).c_str(), zen(ak.Pilot.Kills).c_str(), rate.c_str());
    out += formatText(aks::ExpLine, zen(ak.Pilot.ExpAttack).c_str(), zen(ak.Pilot.ExpDefence).c_str(),
                      zen(ak.Pilot.ExpEscape).c_str());
    std::string emblem = text(ak.Pilot.Emblem);
    out += emblem.empty() ? std::string(aks::NoEmblem) : formatText(aks::EmblemLine, emblem.c_str());
    out += wrapLabelled(aks::LabelHistory, text(ak.Pilot.History));
    out += wrapLabelled(aks::LabelProfile, text(ak.Pilot.Profile));
    out += formatText(aks::MechanicLine, text(ak.Team.Name).c_str(), zen(ak.Team.Mctl).c_str(),
                      dex > 0 ? aks::ZenPlus : "", zen(dex).c_str());
    out += wrapLabelled(aks::LabelProfile, text(ak.Team.Profile));
    return out;
}

std::string machineSheet(const TArmoredKnight& ak) {
    std::string out;
    out += formatText(aks::MachineName, text(ak.AkName).c_str());
    out += formatText(aks::MachineValue, zen(ak.MachineValue).c_str());
    out += wrapLabelled(aks::LabelProfile, text(ak.ProfileText));
    out += formatText(aks::ComputerLine, text(ak.Computer.Name).c_str());
    out += formatText(aks::NicknameLine, text(ak.Computer.Nickname).c_str());
    out += formatText(aks::MasterCallLine, text(ak.Computer.MasterCall).c_str());
    out += wrapLabelled(aks::LabelProfile, text(ak.Computer.Profile));
    out += formatText(aks::PlanMoving, zen(ak.MovingAttackPct).c_str());
    out += formatText(aks::PlanStatic, zen(ak.StaticAttackPct).c_str());
    out += formatText(aks::PlanDefensive, zen(ak.DefensiveMovePct).c_str());
    out += formatText(aks::Versions, text(ak.WeaponDataVersion).c_str(), text(ak.EditorVersion).c_str());
    return out;
}

std::string weaponList(const TArmoredKnight& ak) {
    std::string out = aks::WeaponHead;
    for (int i = 0; i < WeaponSlotCount; ++i) {
        const TAkWeapon& w = ak.Weapon[i];
        if (w.Price == 0) {
            out += formatText("%1d:\r\n", i + 1);
            continue;
        }
        const bool noShots = w.ShotsPerAttack == 0;
        out += formatText(aks::WeaponRow, i + 1, text(w.Name).c_str(), text(w.Attributes).c_str(),
                          text(w.Mount).c_str());
        out += formatText(aks::WeaponValues, noShots ? aks::NoValue : zen(w.AmmoLeft).c_str(),
                          zen(w.ArmorValue).c_str(), noShots ? aks::NoValue : zen(ak.ExtraValues[i]).c_str());
    }
    return out;
}

std::string specificationSheet(const TArmoredKnight& ak) {
    // Reaction and movement now, then as each weight-losing weapon empties.
    TArmoredKnight copy = ak;
    int32_t reactions[WeaponSlotCount + 1] = {}, movements[WeaponSlotCount + 1] = {};
    const int pairs = ak::CalcWpRespMove(copy, reactions, movements);
    std::string reaction = zen(ak.Reaction), movement = zen(ak.Movement);
    for (int k = 1; k < pairs; ++k) {
        reaction.append("/").append(zen(reactions[k]));
        movement.append("/").append(zen(movements[k]));
    }
    std::string out;
    out += formatText(aks::SpecAkName, text(ak.AkName).c_str(), zen(ak.MachineValue).c_str());
    out +=
        formatText(aks::SpecComputer, text(ak.Computer.Name).c_str(), text(ak.Computer.MissionDisk).c_str());
    out += formatText(aks::SpecReaction, reaction.c_str(), movement.c_str());
    out += formatText(aks::SpecMods, zen(ak.AttackMod).c_str(), zen(ak.DefenceMod).c_str(),
                      zen(ak.EscapeMod).c_str());
    out += formatText(aks::SpecEngine, text(ak.Engine.Name).c_str(), zen(ak.Engine.Power).c_str(),
                      zen(ak.TotalWeight).c_str());
    out += formatText(aks::SpecFrame, text(ak.Frame.Name).c_str(), text(ak.Armor.Name).c_str());

    auto part = [&](const char* name, int p) {
        return formatText(aks::SpecPart, name, zen(ak.Armor.Value[p]).c_str(), name,
                          zen(ak.Frame.Durability[p]).c_str());
    };
    auto strike = [&](const char* format, int r) {
        const TAkStrike& s = ak.Frame.Strikes[r];
        return formatText(format, zen(s.Hit).c_str(), zen(s.Power).c_str(), zen(s.Destructive).c_str());
    };
    out += part(aks::PartHead, PartHead) + strike(aks::SpecPunch, StrikeRightPunch) + "\r\n";
    out += part(aks::PartBody, PartBody) + strike(aks::SpecKick, StrikeRightKick) + "\r\n";
    out += part(aks::PartRightArm, PartRightArm) + formatText(aks::SpecSensor, text(ak.Sensor.Name).c_str()) +
           "\r\n";
    out += part(aks::PartLeftArm, PartLeftArm) + formatText(aks::SpecMover, text(ak.Mover.Name).c_str()) +
           "\r\n";
    // The amplifier's and the escape device's values follow their names
    // whether or not the part is named.
    out += part(aks::PartRightLeg, PartRightLeg) + formatText(aks::SpecTurbo, text(ak.Turbo.Name).c_str()) +
           formatText(aks::SpecTurboValues, static_cast<int>(ak.Turbo.AmplifyPct),
                      static_cast<int>(ak.Turbo.StartMinute)) +
           "\r\n";
    out += part(aks::PartLeftLeg, PartLeftLeg) + formatText(aks::SpecEscape, text(ak.Escape.Name).c_str()) +
           formatText(aks::SpecEscapeValue, static_cast<int>(ak.Escape.EscapeBonus)) + "\r\n\r\n";
    out += weaponList(ak);
    return out;
}

// One character of the digit columns: 0-9, A-Z, "Z" from 35 on, "0" below 0.
char digit36(int32_t v) {
    static const char digits[] = "0123456789ABCDEFGHIJKLMNOPQRSTUVWXYZ";
    return digits[std::clamp<int32_t>(v, 0, 35)];
}

std::string weaponDataSheet(const TArmoredKnight& ak) {
    std::string out = weaponList(ak);
    out += aks::DataHead;
    for (const TAkWeapon& w : ak.Weapon) {
        if (w.Price == 0) continue;
        std::string name = text(w.Name);
        if (name.size() >= 21) name = sjis::zen2Han(name);
        const std::string attrs = text(w.Attributes);
        const int32_t melee = ak::CalcHakuhei(attrs, ak.Reaction);
        const int32_t bonus = ak::wrap32(int64_t{melee} + w.Reserved220 / 10);
        std::string hits, powers;
        for (int d = 0; d < WeaponDistanceCount; ++d) {
            int32_t h = w.HitRate[d], p = w.Power[d];
            hits += digit36(h > 0 ? ak::wrap32(int64_t{h} + bonus) : h);
            powers += digit36(p > 0 ? ak::wrap32(int64_t{p} + melee) : p);
        }
        out += padRight(name, 24) + hits + " " + powers;

        // " - - -- -- - - - x -- ": destructive, shots, attack-down,
        // evasion-down, movement-down, computer-down, sensor-down, anti-beam
        // and a shield's hit-taken; negative values show as 0.
        std::string t = " - - -- -- - - - x -- ";
        auto nonNegative = [](int32_t v) { return std::max<int32_t>(v, 0); };
        const bool shield = sjis::contains(attrs, akp::Tate);
        ak::FormatBase36Digits(&t[0], nonNegative(w.Destructive), 2);
        ak::FormatBase36Digits(&t[2], nonNegative(w.ShotsPerAttack), 2);
        if (w.AttackDown != 0) ak::FormatFixedWidthInt(&t[4], nonNegative(w.AttackDown), 3);
        if (w.EvasionDown != 0) ak::FormatFixedWidthInt(&t[7], nonNegative(w.EvasionDown), 3);
        if (w.MoveDown != 0) ak::FormatFixedWidthInt(&t[10], nonNegative(w.MoveDown), 2);
        if (w.ComputerDown > 1) ak::FormatFixedWidthInt(&t[12], w.ComputerDown, 2);
        if (w.SensorDown > 1) ak::FormatFixedWidthInt(&t[14], w.SensorDown, 2);
        if (w.AntiBeam != 0) t[17] = 'o';
        if (shield) ak::FormatFixedWidthInt(&t[18], nonNegative(w.HitTaken), 3);
        out += t;

        const int32_t v = w.HitTaken;
        int32_t defence = shield ? v / 2 : v;
        if (sjis::contains(attrs, akp::Uke)) defence = ak::wrap32(int64_t{defence} + v);
        out += formatText("%3d%3d%5d\r\n", defence, static_cast<int>(w.Weight), static_cast<int>(w.Price));
    }
    out += std::string(77, '-') + "\r\n";
    out += formatText(aks::DataTotals, static_cast<int>(ak.ShieldTotal), static_cast<int>(ak.HitTakenTotal));
    return out;
}

std::string weaponCommentSheet(const TArmoredKnight& ak) {
    std::string out;
    for (int i = 0; i < WeaponSlotCount; ++i) {
        const TAkWeapon& w = ak.Weapon[i];
        if (w.Price == 0) continue;
        const TAkComment& c = ak.Comments[CommentWeapon0 + i];
        out += text(w.Name) + modeTag(CommentWeapon0 + i, c.Mode) + "\r\n";
        out += wrapLabelled(TenBlanks, text(c.Text));
    }
    return out;
}

std::string matchCommentSheet(const TArmoredKnight& ak) {
    static const char* const titles[] = {aks::TitleStart, aks::TitleWin, aks::TitleLoss, aks::TitleDraw};
    std::string out;
    for (int e = CommentMatchStart; e <= CommentDraw; ++e) {
        const TAkComment& c = ak.Comments[e];
        out += formatText(aks::CommentTitle, titles[e - CommentMatchStart]) + modeTag(e, c.Mode) + "\r\n";
        out += wrapLabelled(TenBlanks, text(c.Text));
        out += "\r\n\r\n";
    }
    return out;
}

std::string otherCommentSheet(const TArmoredKnight& ak) {
    static const char* const titles[] = {aks::TitleEscape,    aks::TitleTurbo,     aks::TitleRightPunch,
                                         aks::TitleLeftPunch, aks::TitleRightKick, aks::TitleLeftKick};
    std::string out;
    for (int e = CommentEscape; e <= CommentLeftKick; ++e) {
        const TAkComment& c = ak.Comments[e];
        out += titles[e - CommentEscape] + modeTag(e, c.Mode) + "\r\n";
        out += wrapLabelled(TenBlanks, text(c.Text));
        out += "\r\n";
        if (e == CommentEscape || e == CommentTurbo) out += "\r\n";
    }
    return out;
}

} // namespace

std::string akDetailSheet(const TArmoredKnight& ak, int kind) {
    switch (kind) {
    case 0:
        return pilotSheet(ak);
    case 1:
        return machineSheet(ak);
    case 2:
        return specificationSheet(ak);
    case 3:
        return weaponDataSheet(ak);
    case 4:
        return weaponCommentSheet(ak);
    case 5:
        return matchCommentSheet(ak);
    case 6:
        return otherCommentSheet(ak);
    default:
        return {};
    }
}

} // namespace akdata
