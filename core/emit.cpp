// The narration emitters: speaker paths, the optional-line gate, the
// announcer's call names and the lines of each combat event.
#include "core/emit.h"

#include "base/sjis.h"
#include "core/dice.h"
#include "core/getmsg.h"
#include "core/letters.h"
#include "core/module.h"
#include "core/msgarchive.h"
#include "core/msgsets.h"
#include "core/templates.h"
#include "sjis/emit_text.h"

#include <algorithm>
#include <array>
#include <charconv>
#include <span>
#include <string>
#include <utility>

namespace cv {

namespace {

int sideIndex(int side) {
    return side == 1 ? 1 : 0;
}

TArmoredKnight& akOf(int side) {
    return *Module().Ak[sideIndex(side)];
}

CombatantState& stateOf(int side) {
    return *Module().State[sideIndex(side)];
}

char variantDigit(int side) {
    uint16_t variant = stateOf(side).MessageVariant;
    return variant == 1 ? '1' : '0';
}

// The pilot's own first-person word for the generic ones of a message.
void applyPronoun(int side, std::string& text) {
    std::string_view pronoun = sjis::readField(akOf(side).Pilot.FirstPerson);
    if (!pronoun.empty()) ReplaceWords(text, FirstPersonWords(sideIndex(side)), pronoun);
}

// A fetched message with its slots filled. Without slots (the most lines)
// the text is kept as it is: ExpandMessageSlots leaves every letter then,
// and a fetched text is shorter than its limit.
std::string withSlots(std::string text, std::span<const std::string_view> slots) {
    if (slots.empty() && text.size() <= ExpandedTextLimit) return text;
    return ExpandMessageSlots(text, slots);
}

// The message of side's pilot: the id with the variant digit, from the
// pilot's set, in the pilot's words, slots filled.
std::string pilotMessage(int side, std::string_view id, Slots slots) {
    std::string full(id);
    full += variantDigit(side);
    std::string text;
    if (GetMsg(SlotPilot1 + sideIndex(side), full, text) != MsgOk) return text;
    applyPronoun(side, text);
    return withSlots(std::move(text), std::span(slots.begin(), slots.size()));
}

std::string computerMessage(int side, std::string_view id, Slots slots) {
    std::string text;
    if (GetMsg(SlotComputer1 + sideIndex(side), id, text) != MsgOk) return text;
    ApplyMasterCall(side, text);
    return withSlots(std::move(text), std::span(slots.begin(), slots.size()));
}

std::string announcerMessage(std::string_view id, std::span<const std::string_view> slots) {
    std::string text;
    if (GetMsg(SlotAnnouncer, id, text) == MsgOk) text = withSlots(std::move(text), slots);
    text.insert(0, emt::SpeechOpen);
    return text;
}

void speak(GameMessageBuffer& buffer, uint32_t kind, uint32_t subject, std::string_view text,
           std::string_view speaker) {
    buffer.CurrentKind = kind;
    Narrate(buffer, text, speaker, subject);
}

void pilotText(GameMessageBuffer& buffer, int side, std::string_view text) {
    side = sideIndex(side);
    uint32_t kind = KindPilot1 + side;
    speak(buffer, kind, kind, text, sjis::readField(stateOf(side).PilotLabel));
}

void computerText(GameMessageBuffer& buffer, int side, std::string_view text) {
    side = sideIndex(side);
    uint32_t kind = KindComputer1 + side;
    speak(buffer, kind, kind, text, sjis::readField(stateOf(side).ComputerLabel));
}

void announcerText(GameMessageBuffer& buffer, int about, std::string_view text) {
    speak(buffer, KindAnnouncer, sideIndex(about) + 1, text, sjis::readField(Settings().AnnouncerLabel));
}

// An announcer line naming sides: its gate when it is optional, then one
// call name per named side, in order, then the further slots.
void announceNaming(GameMessageBuffer& buffer, int about, std::string_view id,
                    std::initializer_list<int> named, Slots more = {}, bool optional = true) {
    if (optional ? !OptionalLine(id) : !NarrationOn()) return;
    std::string names[2];
    std::string_view slots[4];
    size_t k = 0;
    for (int side : named) {
        if (k == 2) break;
        names[k] = PickCallName(side);
        slots[k] = names[k];
        ++k;
    }
    for (std::string_view extra : more)
        if (k < 4) slots[k++] = extra;
    announcerText(buffer, about, announcerMessage(id, std::span<const std::string_view>(slots, k)));
}

void optionalPilot(GameMessageBuffer& buffer, int side, std::string_view id, Slots slots = {}) {
    if (OptionalLine(id)) PilotSays(buffer, side, id, slots);
}

void optionalComputer(GameMessageBuffer& buffer, int side, std::string_view id, Slots slots = {}) {
    if (OptionalLine(id)) ComputerSays(buffer, side, id, slots);
}

// The comment of weapon slot k with the given mode letter (1 D, 2 E, 3 K),
// or the empty text.
std::string_view slotComment(int side, int k, int mode) {
    if (k < 0 || k >= WeaponSlotCount) return {};
    const TAkComment& c = akOf(side).Comments[k];
    int16_t m = c.Mode;
    return m == mode ? sjis::readField(c.Text) : std::string_view();
}

// A comment of the weapon when it has one of that mode, else the optional id.
void commentOr(GameMessageBuffer& buffer, int side, int slot, int mode, std::string_view id) {
    std::string_view comment = slotComment(side, slot, mode);
    if (!comment.empty()) {
        if (NarrationOn()) PilotSpeaks(buffer, side, Quoted(comment));
    } else {
        optionalPilot(buffer, side, id);
    }
}

// Line `line` of a catalog message (M99A of the pilot, M93A of the
// computer); false when neither the speaker's set nor the base set has it.
bool pilotCatalogLine(GameMessageBuffer& buffer, int side, std::string_view id, int32_t line, Slots slots) {
    std::string full(id);
    full += variantDigit(side);
    std::string text;
    if (GetMsgLine(SlotPilot1 + sideIndex(side), full, text, line) != MsgOk) return false;
    applyPronoun(side, text);
    pilotText(buffer, side, ExpandMessageSlots(text, slots));
    return true;
}

bool computerCatalogLine(GameMessageBuffer& buffer, int side, std::string_view id, int32_t line) {
    std::string text;
    if (GetMsgLine(SlotComputer1 + sideIndex(side), id, text, line) != MsgOk) return false;
    ApplyMasterCall(side, text);
    computerText(buffer, side, text);
    return true;
}

std::string_view weaponName(int side, int slot) {
    if (slot < 0 || slot >= WeaponSlotCount) return {};
    return sjis::readField(akOf(side).Weapon[slot].Name);
}

} // namespace

bool NarrationOn() {
    return !Option(OptMessagesOff);
}

bool TraceOn() {
    return Option(OptInternalInfo);
}

bool OptionalLine(std::string_view id) {
    if (!NarrationOn()) return false;
    std::string tag = "gate:";
    tag += id;
    int r = RollD100(tag);
    int32_t percent = Settings().MessagePercent;
    return r <= percent;
}

std::string PickCallName(int side) {
    if (!NarrationOn()) return {};
    int r = RollD100("call-name");
    if (r > 50) return std::string(sjis::readField(akOf(side).AkName));
    return std::string(sjis::readField(stateOf(side).PilotName)) + emt::PlayerSuffix;
}

std::string FullWidth(int64_t value) {
    // han2Zen of the decimal text, character by character: the full-width
    // forms of the ten digits and the minus sign, taken once from it.
    struct Form {
        char Bytes[2];
        size_t Size;
    };
    static const std::array<Form, 11> forms = [] {
        std::array<Form, 11> f{};
        for (size_t k = 0; k < f.size(); ++k) {
            std::string full = sjis::han2Zen(std::string(1, k < 10 ? static_cast<char>('0' + k) : '-'));
            f[k].Size = std::min(full.size(), sizeof f[k].Bytes);
            std::copy_n(full.data(), f[k].Size, f[k].Bytes);
        }
        return f;
    }();
    char digits[24];
    char* end = std::to_chars(digits, digits + sizeof digits, value).ptr;
    char out[2 * sizeof digits];
    size_t n = 0;
    for (const char* p = digits; p < end; ++p) {
        const Form& f = forms[*p == '-' ? 10 : static_cast<size_t>(*p - '0')];
        for (size_t b = 0; b < f.Size; ++b) out[n++] = f.Bytes[b];
    }
    return std::string(out, n);
}

std::string Quoted(std::string_view text) {
    return std::string(emt::SpeechOpen) + std::string(text) + emt::SpeechClose;
}

void PilotSays(GameMessageBuffer& buffer, int side, std::string_view id, Slots slots) {
    if (!NarrationOn()) return;
    pilotText(buffer, side, pilotMessage(side, id, slots));
}

void ComputerSays(GameMessageBuffer& buffer, int side, std::string_view id, Slots slots) {
    if (!NarrationOn()) return;
    computerText(buffer, side, computerMessage(side, id, slots));
}

void AnnouncerSays(GameMessageBuffer& buffer, int about, std::string_view id, Slots slots) {
    if (!NarrationOn()) return;
    announcerText(buffer, about,
                  announcerMessage(id, std::span<const std::string_view>(slots.begin(), slots.size())));
}

void PilotSpeaks(GameMessageBuffer& buffer, int side, std::string_view text) {
    if (!NarrationOn()) return;
    pilotText(buffer, side, text);
}

void PilotLine(GameMessageBuffer& buffer, int side, int line, Slots slots) {
    if (!NarrationOn()) return;
    side = sideIndex(side);
    int table = 4 + 2 * side + (stateOf(side).MessageVariant == 1 ? 1 : 0);
    pilotText(buffer, side, TemplateText(table, line, slots));
}

void ComputerLine(GameMessageBuffer& buffer, int side, int line, Slots slots) {
    if (!NarrationOn()) return;
    side = sideIndex(side);
    std::string text = TemplateText(2 + side, line, slots);
    ApplyMasterCall(side, text);
    computerText(buffer, side, text);
}

void AnnouncerLine(GameMessageBuffer& buffer, int about, int line, Slots slots) {
    if (!NarrationOn()) return;
    announcerText(buffer, about, TemplateText(1, line, slots));
}

void SystemLine(GameMessageBuffer& buffer, int line, std::string_view speaker, Slots slots) {
    if (!NarrationOn()) return;
    speak(buffer, KindSystem, 1, TemplateText(0, line, slots), speaker);
}

std::string TemplateText(int table, int line, Slots slots) {
    if (!NarrationOn()) return {};
    return ExpandMessageSlots(TemplateLine(table, line), slots);
}

std::string AnnouncerMessage(std::string_view id) {
    std::string text;
    GetMsg(SlotAnnouncer, id, text);
    return text;
}

std::string BasicMessage(std::string_view id) {
    std::string text;
    GetMsg(SlotBasic, id, text);
    return text;
}

std::string AgeMessage(int side) {
    std::string text;
    const ModuleState& m = Module();
    int i = sideIndex(side);
    if (m.Ak[i] && m.State[i]) GetMsgAge(text, *m.Ak[i], *m.State[i]);
    return text;
}

void AnnouncerSaysAs(GameMessageBuffer& buffer, int about, std::string_view speaker, std::string_view id,
                     Slots slots) {
    if (!NarrationOn()) return;
    std::string text;
    if (GetMsg(SlotAnnouncer, id, text) == MsgOk) text = ExpandMessageSlots(text, slots);
    speak(buffer, KindAnnouncer, sideIndex(about) + 1, Quoted(text), speaker);
}

void ApplyMasterCall(int side, std::string& text) {
    side = sideIndex(side);
    const TArmoredKnight* ak = Module().Ak[side];
    if (!ak) return;
    std::string_view master = sjis::readField(ak->Computer.MasterCall);
    if (master.empty()) return;
    ReplaceWords(text, FormsOfAddress(side), master);
}

// ---- Events -----------------------------------------------------------------

void EmitMovement(GameMessageBuffer& buffer, const MoveReport& move) {
    if (!NarrationOn()) return;
    int side = sideIndex(move.Side);
    int other = 1 - side;
    const CombatantState& s = stateOf(side);
    int32_t mode = s.ActionMode;
    bool immobile = s.Immobile != 0;
    bool outOfAction = s.OutOfAction != 0;
    int y = RollD100("move-order");

    auto planLines = [&] {
        // The pilot on its plan (with the initiative, or without it; out of
        // action, on the opponent keeping back or on its own standstill),
        // the computer on the movement.
        if (outOfAction)
            optionalPilot(buffer, side, stateOf(other).ActionMode == -1 ? "M09A" : "M10A");
        else if (mode == -1)
            optionalPilot(buffer, side, "M11A");
        else if (mode == 0)
            optionalPilot(buffer, side, move.HoldsInitiative ? "M12A" : "M13A");
        else
            optionalPilot(buffer, side, move.HoldsInitiative ? "M14A" : "M15A",
                          {sjis::readField(s.ComputerName)});
        std::string_view id = mode == -1           ? "M69A"
                              : immobile           ? "M65A"
                              : move.Direction > 0 ? "M68A"
                              : move.Direction < 0 ? "M67A"
                                                   : "M66A";
        optionalComputer(buffer, side, id);
    };
    auto moveLine = [&] {
        std::string_view id = move.Direction > 0   ? "M76A"
                              : move.Direction < 0 ? "M77A"
                              : move.Move > 0      ? (outOfAction ? "M80A" : "M78A")
                                                   : (outOfAction ? "M81A" : "M79A");
        std::string distance = FullWidth(move.Move), loss = FullWidth(move.MoveLoss);
        announceNaming(buffer, side, id, {side}, {distance, loss});
    };
    if (y <= 50) {
        planLines();
        moveLine();
    } else {
        moveLine();
        planLines();
    }
    if (outOfAction) return;
    optionalPilot(buffer, side, move.Direction > 0 ? "M17A" : "M27A");
    announceNaming(buffer, side, "M82A", {side, other});
    optionalComputer(buffer, side, "M30A");
}

void EmitDefensiveMove(GameMessageBuffer& buffer, int a) {
    if (!NarrationOn()) return;
    std::string_view weapon = sjis::readField(stateOf(a).CurrentAttack.Name);
    announceNaming(buffer, a, "M72A", {a}, {weapon});
    optionalComputer(buffer, a, "M62A");
    optionalPilot(buffer, a, "M01A");
}

void EmitAttackAnnouncement(GameMessageBuffer& buffer, int a, bool reflection) {
    if (!NarrationOn()) return;
    const CombatantState& s = stateOf(a);
    std::string weapon(sjis::readField(s.CurrentAttack.Name));
    int32_t catalogNo = s.CurrentAttack.CatalogNo;
    int32_t ammo = s.CurrentAttack.AmmoLeft;

    if (reflection)
        announceNaming(buffer, a, "M71A", {a}, {weapon});
    else
        announceNaming(buffer, a, "M70A", {a}, {weapon}, false);

    if (reflection) {
        optionalComputer(buffer, a, "M61A");
    } else {
        // The computer names the weapon by its catalog line, or says its
        // general line when its set has no line for that weapon.
        int r = RollD100("announce-computer");
        if (!(r < 34 && catalogNo >= 1 && computerCatalogLine(buffer, a, "M93A", catalogNo)))
            ComputerSays(buffer, a, "M42A");
    }
    if (ammo == 1) ComputerLine(buffer, a, 23, {sjis::readField(s.MasterCallName)});

    std::string_view comment = sjis::readField(s.CurrentComment.Text);
    if (!comment.empty() && RollD100("announce-comment") < 80) {
        PilotSpeaks(buffer, a, Quoted(comment));
        return;
    }
    if (reflection) {
        optionalPilot(buffer, a, "M02A");
        return;
    }
    // The pilot's call of the weapon by its catalog line; without such a
    // line the general (optional) attack line, with its gate.
    int r = RollD100("announce-pilot");
    if (!(r < 90 && catalogNo >= 1 &&
          pilotCatalogLine(buffer, a, "M99A", catalogNo, {sjis::readField(s.PilotName)})))
        optionalPilot(buffer, a, "M03A");
}

void EmitMiss(GameMessageBuffer& buffer, int a, int d, bool malfunction) {
    // The announcer and the defender's computer tell the miss (the computer
    // also a missile's, rocket's or gun's); the order draw puts the
    // attacker's pilot before the defender's pilot (above 50) or after it;
    // a malfunction's lines close it.
    const TAkWeapon& attack = stateOf(a).CurrentAttack;
    std::string_view attributes = sjis::readField(attack.Attributes);
    AnnouncerLine(buffer, a, 52, {sjis::readField(akOf(a).AkName), sjis::readField(akOf(d).AkName)});
    ComputerLine(buffer, d, 38);
    if (HasAny(attributes, {ltr::LetterM, ltr::LetterR, ltr::LetterG})) ComputerLine(buffer, d, 39);
    auto defender = [&] {
        if (stateOf(d).OutOfAction == 0) PilotLine(buffer, d, 12);
    };
    if (RollD100("miss-order") > 50) {
        optionalPilot(buffer, a, "M31A");
        defender();
    } else {
        defender();
        optionalPilot(buffer, a, "M31A");
    }
    if (malfunction) {
        std::string_view weapon = sjis::readField(attack.Name);
        ComputerLine(buffer, a, 73, {weapon});
        PilotLine(buffer, a, 13, {weapon});
    }
}

void EmitShieldDamage(GameMessageBuffer& buffer, int a, int d, int slot, int32_t result) {
    int announcerFirst = RollD100("shield-order");
    int attackerFirst = RollD100("shield-order");
    if (!NarrationOn()) return;
    const TAkWeapon& shield = akOf(d).Weapon[slot];
    int32_t left = shield.ArmorLeft, full = shield.ArmorValue;
    std::string name(sjis::readField(shield.Name));

    auto announcer = [&] { announceNaming(buffer, a, result > 0 ? "M73A" : "M74A", {a, d}, {name}); };
    auto attacker = [&] { optionalPilot(buffer, a, result > 0 ? "M08A" : "M07A"); };
    auto defender = [&] {
        if (left >= 1) {
            if (result < 1)
                commentOr(buffer, d, slot, 2, "M05A");
            else
                commentOr(buffer, d, slot, 3, "M06A");
        } else {
            commentOr(buffer, d, slot, 1, "M15B");
        }
        optionalComputer(buffer, d, result > 0 ? "M63A" : "M64A");
        // Lines 8 to 15 by the share of armour left: 8 used up ... 15 whole.
        int64_t eighths = full > 0 ? int64_t{left} * 8 / full : (left > 0 ? 7 : 0);
        int line = 8 + static_cast<int>(std::clamp<int64_t>(eighths, 0, 7));
        ComputerLine(buffer, d, line, {FullWidth(left), FullWidth(full)});
    };
    if (announcerFirst <= 50) announcer();
    if (attackerFirst <= 50) {
        attacker();
        defender();
    } else {
        defender();
        attacker();
    }
    if (announcerFirst > 50) announcer();
}

void EmitWeaponHit(GameMessageBuffer& buffer, int a, int d, const WeaponHitReport& hit) {
    int order = RollD100("weapon-hit-order");
    if (!NarrationOn()) return;
    std::string name(weaponName(d, hit.Slot));

    std::string_view announcerId = hit.Destroyed ? "M58A" : hit.Parry == 1 ? "M60A" : "M59A";
    announceNaming(buffer, a, announcerId, {a, d}, {name});
    auto attacker = [&] {
        optionalPilot(buffer, a, hit.Destroyed ? "M26A" : "M25A", {name});
        optionalComputer(buffer, a, hit.Destroyed ? "M43A" : hit.Damaged ? "M44A" : "M45A", {name});
    };
    auto defender = [&] {
        if (hit.Exploded)
            PilotSays(buffer, d, "M16A", {name});
        else if (hit.Destroyed)
            commentOr(buffer, d, hit.Slot, 1, "M84A");
        else
            optionalPilot(buffer, d, "M21A", {name});
        optionalComputer(buffer, d, hit.Destroyed ? "M54A" : hit.Damaged ? "M55A" : "M56A", {name});
    };
    if (order < 51) {
        attacker();
        defender();
    } else {
        defender();
        attacker();
    }
}

void EmitBodyHit(GameMessageBuffer& buffer, int a, int d, const BodyHitReport& hit) {
    int order = RollD100("body-hit-order");
    if (!NarrationOn()) return;
    const CombatantState& sd = stateOf(d);
    const TArmoredKnight& D = akOf(d);
    bool destroyed = sd.AkDestroyed != 0;
    bool killed = sd.PilotKilled != 0;
    std::string part(PartName(hit.Part));
    std::string damage = FullWidth(hit.Damage);
    std::string_view master = sjis::readField(sd.MasterCallName);

    auto attacker = [&] {
        if (sd.Exploded != 0) return; // the weapon's explosion was the hit
        std::string_view id = hit.Code == 0                    ? "M34A"
                              : hit.Code == 1                  ? "M39A"
                              : hit.Code == 2 || hit.Code == 3 ? "M40A"
                              : hit.Code == 4 || hit.Code == 5 ? "M37A"
                              : hit.Code == 6                  ? "M33A"
                                                               : "M38A";
        optionalPilot(buffer, a, id, {part, damage});
    };
    auto defender = [&] {
        ComputerLine(buffer, d, 5);
        if (hit.Code >= 1 && hit.Code <= 6)
            ComputerLine(buffer, d, 60 - hit.Code, {master});
        else
            ComputerLine(buffer, d, 6, {part});
        if (hit.Code == 11) ComputerSays(buffer, d, "M57A");

        if (!destroyed) {
            std::string_view id = hit.Part == PartHead                                  ? "M24A"
                                  : hit.Part == PartLeftArm || hit.Part == PartRightArm ? "M32A"
                                  : hit.Part == PartLeftLeg || hit.Part == PartRightLeg ? "M35A"
                                                                                        : "M36A";
            optionalPilot(buffer, d, id, {part});
        } else if (killed) {
            optionalPilot(buffer, d, "M20A");
        } else {
            std::string_view comment = sjis::readField(D.Comments[CommentEscape].Text);
            if (!comment.empty())
                PilotSpeaks(buffer, d, Quoted(comment));
            else
                optionalPilot(buffer, d, "M23A");
        }

        if (destroyed || hit.Code == 6) ComputerLine(buffer, d, 63, {master, damage});
        if (destroyed) {
            ComputerSays(buffer, d, killed ? "M53A" : "M52A");
        } else if (hit.Code == 0) {
            int32_t now = D.Frame.Durability[hit.Part], max = D.Frame.MaxDurability[hit.Part];
            ComputerLine(buffer, d, 17, {part, FullWidth(now), FullWidth(max)});
            optionalComputer(buffer, d, "M46A");
        } else if (hit.Code == 1) {
            ComputerSays(buffer, d, "M51A");
        } else if (hit.Code == 2 || hit.Code == 3) {
            ComputerSays(buffer, d, "M50A");
        } else if (hit.Code == 4 || hit.Code == 5) {
            ComputerSays(buffer, d, "M49A");
        } else if (hit.Code == 6) {
            ComputerSays(buffer, d, killed ? "M48A" : "M47A");
        }
    };
    if (order < 51) {
        attacker();
        defender();
    } else {
        defender();
        attacker();
    }

    if (!destroyed && hit.Code != 6) return;
    int32_t escapeRate = Settings().EscapeRate;
    if (!killed)
        AnnouncerLine(buffer, d, 22);
    else if (escapeRate > 0)
        AnnouncerLine(buffer, d, 23);
    AnnouncerSays(buffer, d, killed ? "M05B" : "M04B");
    announceNaming(buffer, d, "M83A", {a, d});
    // By the end state: 1 dead; else 2 escaped plus 4 saved by the transfer
    // (6 both); 0 none.
    int endState = killed ? 1 : (sd.Escaped != 0 ? 2 : 0) + (sd.EscapeFailed != 0 ? 4 : 0);
    std::string_view endLine = endState == 1   ? "M88A"
                               : endState == 2 ? "M87A"
                               : endState == 4 ? "M86A"
                               : endState == 6 ? "M85A"
                                               : "M90A";
    announceNaming(buffer, d, endLine, {a, d});
    if (destroyed) announceNaming(buffer, d, "M89A", {a, d}, {}, false);
}

} // namespace cv
